// The dictionary tests' runtime, temporary folders and model description.
#include "dictionary_fixture.h"

#include <cstdio>
#include <sstream>

#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::testing {

void DictionaryFolder::WriteLines(const std::string& name,
                                  const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    Write(name, bytes);
}

void DictionaryTest::SetUp() {
    PoolFailAllocationsAfter(-1);
    ClearRecordedError();
    PoolConfigure(256, kKeepValue, kKeepValue);
    SlotStoreConfigureDefaults();
    ASSERT_EQ(RuntimeInit(), status::kOk);
    // The counters are process-wide and outlive the previous test's runtime.
    ASSERT_EQ(ClearDictionary(), status::kOk);
    ASSERT_EQ(ScratchDepth(), 0);
}

void DictionaryTest::TearDown() {
    PoolFailAllocationsAfter(-1);
    EXPECT_EQ(ScratchDepth(), 0) << "a scratch level was left behind";
    EXPECT_EQ(SlotStoreShutdown(), status::kOk) << "a block was left live";
}

StatusCode DictionaryTest::Load(const std::string& prefix, const std::string& defaultLocation) {
    return LoadDictionary(TextView(folder_.path()), TextView(prefix), TextView(defaultLocation));
}

std::vector<std::string> DesignerLines() {
    std::vector<std::string> lines;
    for (std::uint16_t f = 1; f <= FileCount(); ++f) {
        char line[160];
        std::snprintf(line, sizeof line, "%02u* *  %s", unsigned{f},
                      std::string(FileName(f).view()).c_str());
        lines.push_back(line);
        for (std::uint16_t k = 1; k <= FieldCount(f); ++k) {
            std::snprintf(line, sizeof line, "%02u00<    %3u>%c%s", unsigned{f},
                          unsigned{FieldLength(f, k)}, FieldType(f, k),
                          std::string(FieldName(f, k).view()).c_str());
            lines.push_back(line);
        }
    }
    return lines;
}

std::string DescribeIndexes(std::uint16_t file) {
    std::string out;
    for (std::uint16_t i = 1; i <= IndexCount(file); ++i) {
        const IndexDefinitionRecord index = IndexDefinition(file, i);
        if (i > 1) out += " ";
        for (std::uint32_t s = 0; s < index.segmentCount; ++s) {
            out += "(" + std::to_string(index.segments[s].start) + "," +
                   std::to_string(index.segments[s].length) + ")";
        }
    }
    return out;
}

std::string DescribeDictionary() {
    std::ostringstream out;
    for (std::uint16_t f = 1; f <= FileCount(); ++f) {
        const FileStructRecord record = FileStruct(f);
        out << std::string(FileName(f).view()) << "(" << int{record.fileClass} << ","
            << std::string(FileLocation(f).view()) << ") len " << record.recordLength;
        for (std::uint16_t k = 1; k <= FieldCount(f); ++k) {
            const FieldEntryRecord entry = FieldEntry(f, k);
            out << " " << std::string(FieldName(f, k).view()) << ":" << entry.type << " "
                << entry.length << "@" << entry.offset;
        }
        out << " | " << DescribeIndexes(f) << " | " << std::string(RelationText(f).view()) << "\n";
    }
    return out.str();
}

} // namespace vodarir::testing
