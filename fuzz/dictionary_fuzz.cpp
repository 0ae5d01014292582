// Fuzz target: the dictionary loader. The input is the files of a folder of dictionaries, parts
// separated by a line "~~~~": FZDICC.DAT, FZREL.DAT, then IADICC.DAT, IAREL.DAT, IBDICC.DAT and
// IBREL.DAT, which include lines ("NN*$*  IA") reach; an include of FZ itself is a cycle.
//
// Properties: the model a load leaves (whole or up to its first error) holds the dictionary's
// invariants and answers its lookups consistently; loading again gives the same model and the same
// status; a checkpoint taken before a second load on top gives back exactly the first model; every
// file opened is closed and the scratch stack is balanced.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/dictionary.h"
#include "fuzz_support.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {
namespace {

using fuzz::Require;

constexpr const char* kFileNames[] = {"FZDICC.DAT", "IADICC.DAT", "IBDICC.DAT"};
constexpr const char* kRelNames[] = {"FZREL.DAT", "IAREL.DAT", "IBREL.DAT"};
constexpr std::size_t kParts = 6;

bool HasUpperCase(TextRef t) {
    for (const char c : t.view()) {
        if (c >= 'A' && c <= 'Z') return true;
    }
    return false;
}

// Everything the model holds, one line per item, for comparisons.
std::string Describe() {
    std::string out = std::to_string(FileCount()) + " files " + std::to_string(TotalFieldCount()) +
                      " fields " + std::to_string(TotalIndexCount()) + " indexes\n";
    for (std::uint16_t f = 1; f <= FileCount(); ++f) {
        const FileStructRecord r = FileStruct(f);
        out += "F" + std::to_string(r.number) + "/" + std::to_string(r.fileClass) + " " +
               std::string(FileName(f).view()) + " @" + std::string(FileLocation(f).view()) + " " +
               std::to_string(r.fieldCount) + "/" + std::to_string(r.recordLength) + "/" +
               std::to_string(r.indexCount) + " rel " + std::string(RelationText(f).view()) + "\n";
        for (std::uint16_t k = 1; k <= r.fieldCount; ++k) {
            const FieldEntryRecord e = FieldEntry(f, k);
            out += " " + std::string(FieldName(f, k).view()) + ":" + std::string(1, e.type) + ":" +
                   std::to_string(e.length) + "@" + std::to_string(e.offset) + "\n";
        }
        for (std::uint16_t i = 1; i <= r.indexCount; ++i) {
            const IndexDefinitionRecord index = IndexDefinition(f, i);
            out += " index";
            for (std::uint32_t s = 0; s < index.segmentCount && s < kMaxKeySegments; ++s) {
                out += " " + std::to_string(index.segments[s].start) + "," +
                       std::to_string(index.segments[s].length);
            }
            out += "\n";
        }
    }
    return out;
}

// The dictionary's invariants, as far as its accessors show them. (When the dictionary gains a
// CheckInvariants of its own, it is called first here.)
void CheckModel() {
    Require(FileCount() <= kMaxDictionaryFiles);
    Require(LastIndexedFile() <= FileCount());
    std::uint32_t fields = 0;
    std::uint32_t indexes = 0;
    const ScratchScope scope;
    for (std::uint16_t f = 1; f <= FileCount(); ++f) {
        const FileStructRecord r = FileStruct(f);
        Require(r.number == f);
        Require(!HasUpperCase(FileName(f))); // names are kept in lower case
        const TextRef name = FileName(f);
        if (!name.empty() && static_cast<unsigned char>(name.at(0)) >= 'A') {
            // A name is found, as the first file of that name.
            const std::uint16_t found = FileNumberOf(name);
            Require(found >= 1 && found <= f && FileName(found).view() == FileName(f).view());
        }
        std::uint32_t offset = 0;
        for (std::uint16_t k = 1; k <= r.fieldCount; ++k) {
            const FieldEntryRecord e = FieldEntry(f, k);
            // A loaded file's fields follow one another: each starts where the one before ended.
            Require(e.file == f && e.field == k && e.offset == offset && e.status == 0);
            Require(CheckField(f, k) == status::kOk);
            offset += e.length;
            const std::uint16_t found = FindField(f, FieldName(f, k));
            Require(found >= 1 && found <= k);
            Require(FieldName(f, found).view() == FieldName(f, k).view());
            scope.Release();
        }
        Require(offset == r.recordLength);
        Require(CheckField(f, static_cast<std::uint16_t>(r.fieldCount + 1)) != status::kOk);
        for (std::uint16_t i = 1; i <= r.indexCount; ++i) {
            const IndexDefinitionRecord index = IndexDefinition(f, i);
            Require(CheckIndex(f, i) == status::kOk);
            Require(index.segmentCount <= kMaxKeySegments);
            std::uint32_t total = 0;
            for (std::uint32_t s = 0; s < index.segmentCount; ++s)
                total += index.segments[s].length;
            if (index.segmentCount > 0) {
                Require(KeyLength(f, i, kAllSegments) == std::min<std::uint32_t>(total, 0xFFFF));
            }
            scope.Release();
        }
        Require(CheckIndex(f, static_cast<std::uint16_t>(r.indexCount + 1)) != status::kOk);
        fields += r.fieldCount;
        indexes += r.indexCount;
    }
    Require(fields == TotalFieldCount());
    Require(indexes == TotalIndexCount());
}

StatusCode Load() {
    const ScratchLevel depth = ScratchDepth();
    const StatusCode st = LoadDictionary(TextView(fuzz::Folder()), TextView("FZ"), TextView("loc"));
    fuzz::RequireBalanced(depth);
    return st;
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::ClearFolder();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto parts = fuzz::SplitParts(input, kParts);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        fuzz::WriteFile(i % 2 == 0 ? kFileNames[i / 2] : kRelNames[i / 2], parts[i]);
    }

    Require(ClearDictionary() == status::kOk);
    const StatusCode first = Load();
    CheckModel();
    const std::string model = Describe();

    // The same files load into the same model, with the same outcome.
    Require(ClearDictionary() == status::kOk);
    Require(Load() == first);
    Require(Describe() == model);

    // A checkpoint gives back exactly what was there, whatever a load on top added.
    Require(PushCheckpoint() == status::kOk);
    Load();
    Require(DiscardAboveCheckpoint() == status::kOk);
    Require(Describe() == model);
    CheckModel();

    // Once the structure-file writer is in the tree: save the model, load the saved files into an
    // empty dictionary, and Require(Describe() == model).
    Require(ClearDictionary() == status::kOk);
    return 0;
}
