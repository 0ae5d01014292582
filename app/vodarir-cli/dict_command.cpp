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

std::string Number(unsigned n) { return std::to_string(n); }

void PrintFile(std::uint16_t file) {
    const FileStructRecord record = FileStruct(file);
    const std::string f = Number(file);
    PrintRecord({"file", f, Column(FileName(file)), Number(record.fileClass),
                 Column(FileLocation(file)), Number(record.fieldCount), Number(record.recordLength),
                 Number(record.indexCount)});
    for (std::uint16_t k = 1; k <= record.fieldCount; ++k) {
        const FieldEntryRecord entry = FieldEntry(file, k);
        PrintRecord({"field", f, Number(k), Column(FieldName(file, k)),
                     Column(TextRef(&entry.type, 1)), Number(entry.length), Number(entry.offset)});
    }
    for (std::uint16_t i = 1; i <= record.indexCount; ++i) {
        const IndexDefinitionRecord index = IndexDefinition(file, i);
        std::string segments = "index\t" + f + "\t" + Number(i);
        for (std::uint32_t s = 0; s < index.segmentCount; ++s) {
            segments +=
                "\t" + Number(index.segments[s].start) + "," + Number(index.segments[s].length);
        }
        PrintRecord({segments});
    }
    const TextRef relation = RelationText(file);
    if (!relation.empty()) PrintRecord({"relation", f, Column(relation)});
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
    const StatusCode st = LoadDictionaryFile(argv[0]);
    for (std::uint16_t f = 1; f <= FileCount(); ++f) PrintFile(f);
    if (st != status::kOk) {
        PrintError(st);
        return kExitFailed;
    }
    PrintRecord({"ok", Number(FileCount()), Number(TotalFieldCount()), Number(TotalIndexCount())});
    return kExitOk;
}

} // namespace vodarir::cli
