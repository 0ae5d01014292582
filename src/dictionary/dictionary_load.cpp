// LoadDictionary: reads prefix DICC.DAT and prefix REL.DAT line by line into the model, loading
// included dictionaries at their include lines.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "dictionary/dictionary.h"
#include "dictionary/dictionary_internal.h"
#include "dictionary/dictionary_lines.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

using namespace literals;
using namespace dictionary_detail;

namespace {

// The dictionary's file names; entries 3 to 5 (relational updates, menu) are not read here.
constexpr char kDictionaryFileNames[] = "DICC.DAT,REL.DAT,RELUP.DAT,RELUPSQL.DAT,MENU.PPN";
constexpr std::uint16_t kDiccEntry = 1;
constexpr std::uint16_t kRelEntry = 2;
constexpr std::uint16_t kPrefixLength = 2;
constexpr char kChainSeparator[] = " > ";
// The detail of a line that could not be read: its file's path and its number.
constexpr std::uint16_t kLineDetailRoom = kMaxPathLength + 16;

// A prefix being loaded, as written in the include line or given by the caller.
struct HeldPrefix {
    char bytes[kPrefixLength] = {};
    std::uint16_t length = 0;
    TextRef text() const { return TextRef(bytes, length); }
};

// One load: what every nesting level shares, and the prefixes being loaded, outermost first.
//
// Invariant: depth <= kMaxNestedDictionaries, and prefixes[0 .. depth) are the dictionaries whose
// files are being read right now; no prefix is loaded inside itself (compared without case, as
// the file names it gives are found without case).
struct LoadContext {
    TextRef folders; // copies on the ScratchStack, below every level the load takes
    TextRef defaultLocation;
    const DictionaryTexts* from = nullptr; // the files' lines, when they come from memory
    DictionaryTexts* keep = nullptr;       // where the lines read are kept, when asked
    HeldPrefix prefixes[kMaxNestedDictionaries];
    std::uint16_t depth = 0;
};

HeldPrefix PrefixOf(TextRef prefix) {
    HeldPrefix held;
    held.length = std::min<std::uint16_t>(prefix.size(), kPrefixLength);
    if (held.length > 0) std::memcpy(held.bytes, prefix.data, held.length);
    return held;
}

bool SamePrefix(const HeldPrefix& a, const HeldPrefix& b) {
    if (a.length != b.length) return false;
    for (std::uint16_t i = 0; i < a.length; ++i) {
        if (std::toupper(static_cast<unsigned char>(a.bytes[i])) !=
            std::toupper(static_cast<unsigned char>(b.bytes[i]))) {
            return false;
        }
    }
    return true;
}

// kLoopFailure with the chain of includes that was refused as detail: "ALDICC.DAT > VEDICC.DAT >
// ...".
StatusCode RefuseInclude(const LoadContext& ctx, const HeldPrefix& refused) {
    ScratchScope scope;
    const TextRef dicc = ListItem(TextView(kDictionaryFileNames), ',', kDiccEntry);
    TextRef chain;
    for (std::uint16_t i = 0; i <= ctx.depth; ++i) {
        const HeldPrefix& held = i < ctx.depth ? ctx.prefixes[i] : refused;
        chain = TextJoin(chain, TextView(kChainSeparator), TextConcat(held.text(), dicc));
    }
    LogErrorText(status::kLoopFailure, chain.failed() ? TextRef() : chain, false);
    return status::kLoopFailure;
}

StatusCode LoadLevel(LoadContext& ctx, TextRef prefix);

// One dictionary's reading, across its DICC and REL files.
struct FileReader {
    LoadContext& ctx;
    // Index and relation line N names file N + base. It starts at the files loaded before this
    // dictionary, so a dictionary's own numbers keep naming its own files when it is included
    // after other files (or loaded on top of another); an include line then sets it to the file
    // count - 1.
    int base = 0;
    int lastKind = -1; // kind of the last line acted on in the current file
};

StatusCode FileOrFieldLine(FileReader& reader, TextRef line, bool hasStar) {
    FileLine file;
    if (hasStar && ParseFileLine(line, &file)) {
        if (file.include) {
            const StatusCode st = LoadLevel(reader.ctx, file.name);
            if (st == status::kOk) reader.base = FileCount() - 1;
            return st;
        }
        return AddFile(file.fileClass, file.name,
                       file.location.empty() ? reader.ctx.defaultLocation : file.location);
    }
    FieldLine field;
    ParseFieldLine(line, &field);
    return AddField(field.name, field.length, field.type);
}

// The file a numbered line names; 0 when outside the dictionary.
std::uint16_t NumberedFile(const FileReader& reader, const LineClass& cls) {
    const int file = cls.relativeFile + reader.base;
    return file >= 1 && file <= FileCount() ? static_cast<std::uint16_t>(file) : 0;
}

StatusCode ActOnLine(FileReader& reader, TextRef line) {
    // Blank lines and lines too short to be a field carry nothing; they are passed over and do
    // not count as the last line read.
    bool hasStar = false; // walked: a library search costs more to start than a line is long
    for (std::uint16_t i = 0; i < line.size() && !hasStar; ++i) hasStar = line.data[i] == '*';
    const LineClass cls = ClassifyDictionaryLine(line);
    if (cls.kind == linekind::kFileOrField && !hasStar && line.size() < kMinFieldLineLength) {
        return status::kOk;
    }
    reader.lastKind = cls.kind;
    switch (cls.kind) {
    case linekind::kFileOrField:
        return FileOrFieldLine(reader, line, hasStar);
    case linekind::kIndex: {
        const std::uint16_t file = NumberedFile(reader, cls);
        if (file == 0) return status::kBadFileNumber;
        const IndexDefinitionRecord index = ParseIndexLine(line);
        return AddIndex(file, static_cast<std::uint16_t>(index.segmentCount), index.segments);
    }
    case linekind::kRelation: {
        const std::uint16_t file = NumberedFile(reader, cls);
        if (file == 0) return status::kBadFileNumber;
        return AppendRelation(file, RelationLineText(line));
    }
    default:
        return status::kOk; // codes 91 and above are ignored
    }
}

// A line that could not be read (one over kLineBufferSize bytes, a read failure): the status,
// with the file and the line number as its detail, so the user knows where to look.
StatusCode LineFailure(StatusCode st, TextRef path, std::uint32_t line) {
    ScratchScope scope;
    const TextRef where =
        TextFormat(kLineDetailRoom, "%s (Line:%u)", PathNative(path), static_cast<unsigned>(line));
    LogErrorText(st, where.failed() ? path : where, false);
    return NoteFirstError(1, step::kInputLines, st, st);
}

// Reads lines until the end; the end of the file is a read failure at the file's size. Each line
// read is kept in entry `kept` of the load's kept texts when there is one (by its place: the
// includes a line loads add entries and move them).
StatusCode ReadLines(FileReader& reader, FileNumber number, TextRef path, std::size_t kept) {
    DictionaryTexts* keep = reader.ctx.keep;
    for (std::uint32_t lineNumber = 1;; ++lineNumber) {
        ScratchScope scope;
        // A view: ActOnLine copies what it keeps, and reads no further in this file.
        const TextRef line = FileLineView(number);
        if (line.failed()) {
            if (FilePos(number) >= FileSize(number)) return status::kOk;
            return LineFailure(line.status(), path, lineNumber);
        }
        if (keep != nullptr) (*keep)[kept].lines.emplace_back(line.view());
        const StatusCode st = ActOnLine(reader, line);
        if (st != status::kOk) return st;
        if (keep != nullptr) (*keep)[kept].filesAfter.push_back(FileCount());
    }
}

// The lines of a file kept in memory, each acted on as if read from the file.
StatusCode ActOnLines(FileReader& reader, const DictionaryTextFile& file) {
    std::uint32_t lineNumber = 0;
    for (const std::string& text : file.lines) {
        ++lineNumber;
        if (text.size() > kLineBufferSize) return status::kStringTooLong; // no file could hold it
        ScratchScope scope;
        const StatusCode st = ActOnLine(reader, TextView(text));
        if (st == status::kBadFileNumber) {
            // The line names a file the dictionary does not hold (any more): say which line.
            const TextRef where =
                TextFormat(kLineDetailRoom, "%s (Line:%u)", file.name.c_str(), lineNumber);
            LogErrorText(st, where.failed() ? TextRef() : where, false);
        }
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

// A file of the load taken from memory: its lines, or for a missing DICC.DAT 164 with its name.
StatusCode LoadFileFromTexts(FileReader& reader, TextRef name, std::uint16_t entry) {
    const DictionaryTextFile* file = FindDictionaryText(*reader.ctx.from, name.view());
    if (file == nullptr) {
        return entry == kDiccEntry ? LogErrorText(status::kFileNotFound, name, true) : status::kOk;
    }
    reader.lastKind = -1;
    StatusCode st = ActOnLines(reader, *file);
    if (entry == kDiccEntry && st == status::kOk && reader.lastKind == linekind::kFileOrField) {
        st = CompleteDefaultIndexes(FileCount());
    }
    return st;
}

// A REL.DAT that did not open: nothing there is normal (0); anything else (a folder of that name,
// a file that may not be read) would silently cost the dictionary its indexes and relations, so
// it fails the load with its reason and the path as the detail.
StatusCode RelFileRefused(TextRef path) {
    const StatusCode why = FileReadRefusal(path);
    if (why == status::kFileNotFound) return status::kOk;
    const StatusCode st = why == status::kOk ? status::kOpen : why; // it opens now: it did not then
    LogErrorText(st, path, true);
    return NoteFirstError(1, step::kStreamInit, st, st);
}

StatusCode LoadFile(FileReader& reader, TextRef prefix, std::uint16_t entry) {
    LoadContext& ctx = reader.ctx;
    ScratchScope scope;
    const TextRef name = TextConcat(TextSub(prefix, 0, kPrefixLength),
                                    ListItem(TextView(kDictionaryFileNames), ',', entry));
    if (name.failed()) return name.status();
    if (ctx.from != nullptr) return LoadFileFromTexts(reader, name, entry);
    TextRef path = FindInFolders(ctx.folders, name);
    if (path.failed() || path.empty()) path = name;
    // A missing REL.DAT is normal: its open must not leave a failure in the error trail.
    const std::uint16_t flags =
        entry == kDiccEntry ? openflag::kNoPlus : openflag::kNoPlus | openflag::kQuiet;
    const std::uint16_t number = FileOpen(path, flags);
    if (number >= status::kFirstError) {
        StatusCode st = status::kOk;
        if (entry == kDiccEntry) {
            const TextRef where =
                TextConcat(TextConcat(TextConcat("["_t, ctx.folders), "]"_t), name);
            st = LogErrorText(status::kFileNotFound, where.failed() ? name : where, true);
        } else {
            st = RelFileRefused(path);
        }
        return st;
    }
    reader.lastKind = -1;
    std::size_t kept = 0;
    if (ctx.keep != nullptr) {
        kept = ctx.keep->size();
        ctx.keep->push_back(DictionaryTextFile{std::string(name.view()), {}, {}});
    }
    StatusCode st = ReadLines(reader, number, path, kept);
    FileClose(number);
    if (entry == kDiccEntry && st == status::kOk && reader.lastKind == linekind::kFileOrField) {
        st = CompleteDefaultIndexes(FileCount());
    }
    return st;
}

StatusCode LoadLevel(LoadContext& ctx, TextRef prefix) {
    const HeldPrefix held = PrefixOf(prefix);
    for (std::uint16_t i = 0; i < ctx.depth; ++i) {
        if (SamePrefix(ctx.prefixes[i], held)) return RefuseInclude(ctx, held);
    }
    if (ctx.depth >= kMaxNestedDictionaries) return RefuseInclude(ctx, held);
    ctx.prefixes[ctx.depth++] = held;
    FileReader reader{ctx, FileCount()};
    StatusCode st = LoadFile(reader, prefix, kDiccEntry);
    if (st == status::kOk) st = LoadFile(reader, prefix, kRelEntry);
    --ctx.depth;
    return st;
}

// One load from the start: the texts handed in are copied first, as callers may hand views into
// the SlotStore, which every stored text moves.
StatusCode RunLoad(TextRef folderList, TextRef prefix, TextRef defaultLocation,
                   const DictionaryTexts* from, DictionaryTexts* keep) {
    if (folderList.failed()) return folderList.status();
    if (prefix.failed()) return prefix.status();
    if (defaultLocation.failed()) return defaultLocation.status();
    ScratchScope scope;
    // Callers may hand views into the SlotStore, which every stored text moves: copy them.
    LoadContext ctx;
    ctx.folders = TextDup(folderList);
    ctx.defaultLocation = TextDup(defaultLocation);
    ctx.from = from;
    ctx.keep = keep;
    const TextRef ownPrefix = TextDup(prefix);
    return ctx.folders.failed()           ? ctx.folders.status()
           : ctx.defaultLocation.failed() ? ctx.defaultLocation.status()
           : ownPrefix.failed()           ? ownPrefix.status()
                                          : LoadLevel(ctx, ownPrefix);
}

bool SameDictionaryName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

const DictionaryTextFile* FindDictionaryText(const DictionaryTexts& texts, std::string_view name) {
    for (const DictionaryTextFile& file : texts) {
        if (SameDictionaryName(file.name, name)) return &file;
    }
    return nullptr;
}

DictionaryTextFile* FindDictionaryText(DictionaryTexts& texts, std::string_view name) {
    for (DictionaryTextFile& file : texts) {
        if (SameDictionaryName(file.name, name)) return &file;
    }
    return nullptr;
}

std::string DictionaryFileName(std::string_view prefix, DictionaryFile which) {
    ScratchScope scope;
    const TextRef entry = ListItem(TextView(kDictionaryFileNames), ',',
                                   which == DictionaryFile::Relations ? kRelEntry : kDiccEntry);
    return std::string(prefix.substr(0, kPrefixLength)) + std::string(entry.view());
}

StatusCode LoadDictionary(TextRef folderList, TextRef prefix, TextRef defaultLocation) {
    return RunLoad(folderList, prefix, defaultLocation, nullptr, nullptr);
}

StatusCode LoadDictionaryKeepingTexts(TextRef folderList, TextRef prefix, TextRef defaultLocation,
                                      DictionaryTexts* read) {
    return RunLoad(folderList, prefix, defaultLocation, nullptr, read);
}

StatusCode LoadDictionaryFromTexts(const DictionaryTexts& texts, TextRef prefix,
                                   TextRef defaultLocation) {
    return RunLoad(TextRef(), prefix, defaultLocation, &texts, nullptr);
}

} // namespace vodarir
