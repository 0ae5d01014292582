// vodarir-cli dict PATH: loads a dictionary and prints its model, one record a line.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "cli_commands.h"
#include "dictionary/dictionary.h"
#include "runtime/store/error_detail.h"

namespace vodarir::cli {

namespace {

constexpr std::size_t kPrefixLength = 2;

void PrintFile(std::uint16_t file) {
    const FileStructRecord record = FileStruct(file);
    std::printf("file\t%u\t%s\t%u\t%s\t%u\t%u\t%u\n", unsigned{file},
                Column(FileName(file)).c_str(), unsigned{record.fileClass},
                Column(FileLocation(file)).c_str(), unsigned{record.fieldCount},
                unsigned{record.recordLength}, unsigned{record.indexCount});
    for (std::uint16_t k = 1; k <= record.fieldCount; ++k) {
        const FieldEntryRecord entry = FieldEntry(file, k);
        const char type[2] = {entry.type, 0};
        std::printf("field\t%u\t%u\t%s\t%s\t%u\t%u\n", unsigned{file}, unsigned{k},
                    Column(FieldName(file, k)).c_str(), Column(TextView(type)).c_str(),
                    unsigned{entry.length}, unsigned{entry.offset});
    }
    for (std::uint16_t i = 1; i <= record.indexCount; ++i) {
        const IndexDefinitionRecord index = IndexDefinition(file, i);
        std::printf("index\t%u\t%u", unsigned{file}, unsigned{i});
        for (std::uint32_t s = 0; s < index.segmentCount; ++s) {
            std::printf("\t%u,%u", unsigned{index.segments[s].start},
                        unsigned{index.segments[s].length});
        }
        std::printf("\n");
    }
    const TextRef relation = RelationText(file);
    if (!relation.empty())
        std::printf("relation\t%u\t%s\n", unsigned{file}, Column(relation).c_str());
}

} // namespace

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
    const std::filesystem::path path(argv[0]);
    const std::string prefix = path.filename().string().substr(0, kPrefixLength);
    StatusCode st = status::kOk;
    std::error_code moved;
    if (path.has_parent_path()) std::filesystem::current_path(path.parent_path(), moved);
    if (moved) {
        st = LogErrorText(status::kFileNotFound, TextView(path.parent_path().string()), false);
    } else {
        st = LoadDictionary(TextRef(), TextView(prefix), TextRef());
    }
    for (std::uint16_t f = 1; f <= FileCount(); ++f) PrintFile(f);
    if (st != status::kOk) {
        PrintError(st);
        return kExitFailed;
    }
    std::printf("ok\t%u\t%u\t%u\n", unsigned{FileCount()}, unsigned{TotalFieldCount()},
                unsigned{TotalIndexCount()});
    return kExitOk;
}

} // namespace vodarir::cli
