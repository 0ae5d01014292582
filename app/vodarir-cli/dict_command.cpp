// vodarir-cli dict PATH: loads a dictionary and prints its model, one record a line.
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli_commands.h"
#include "dictionary/dictionary.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::cli {

namespace {

std::string Number(unsigned n) { return std::to_string(n); }

std::string Record(std::initializer_list<std::string_view> columns) {
    std::string line;
    bool first = true;
    for (const std::string_view column : columns) {
        if (!first) line += '\t';
        first = false;
        line += column;
    }
    return line;
}

void FileRecords(std::uint16_t file, std::vector<std::string>* out) {
    const FileStructRecord record = FileStruct(file);
    const std::string f = Number(file);
    out->push_back(Record({"file", f, Column(FileName(file)), Number(record.fileClass),
                           Column(FileLocation(file)), Number(record.fieldCount),
                           Number(record.recordLength), Number(record.indexCount)}));
    for (std::uint16_t k = 1; k <= record.fieldCount; ++k) {
        const FieldEntryRecord entry = FieldEntry(file, k);
        out->push_back(
            Record({"field", f, Number(k), Column(FieldName(file, k)),
                    Column(TextRef(&entry.type, 1)), Number(entry.length), Number(entry.offset)}));
    }
    for (std::uint16_t i = 1; i <= record.indexCount; ++i) {
        const IndexDefinitionRecord index = IndexDefinition(file, i);
        std::string segments = "index\t" + f + "\t" + Number(i);
        for (std::uint32_t s = 0; s < index.segmentCount; ++s) {
            segments +=
                "\t" + Number(index.segments[s].start) + "," + Number(index.segments[s].length);
        }
        out->push_back(segments);
    }
    const TextRef relation = RelationText(file);
    if (!relation.empty()) out->push_back(Record({"relation", f, Column(relation)}));
}

} // namespace

std::vector<std::string> DictionaryRecords(const std::string& pathText, bool* ok) {
    std::vector<std::string> out;
    std::error_code moved;
    const std::filesystem::path start = std::filesystem::current_path(moved);
    const StatusCode st = LoadDictionaryFile(pathText.c_str());
    for (std::uint16_t f = 1; f <= FileCount(); ++f) FileRecords(f, &out);
    if (st != status::kOk) {
        ScratchScope scope;
        out.push_back(Record({"error", std::to_string(st), Column(StatusText(st))}));
    } else {
        out.push_back(Record(
            {"ok", Number(FileCount()), Number(TotalFieldCount()), Number(TotalIndexCount())}));
    }
    // The runtime's one dictionary is left empty for whatever runs in it next.
    ClearDictionary();
    std::error_code back;
    if (!start.empty()) std::filesystem::current_path(start, back);
    *ok = st == status::kOk;
    return out;
}

int RunDict(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: vodarir-cli dict PATH\n");
        return kExitUsage;
    }
    RuntimeSession session(argc, argv);
    if (!session.ok()) {
        PrintError(session.status());
        return kExitFailed;
    }
    bool ok = false;
    for (const std::string& record : DictionaryRecords(argv[0], &ok)) PrintRecord({record});
    return ok ? kExitOk : kExitFailed;
}

} // namespace vodarir::cli
