// Built-in functions over files: FN#FLEN, FILESEL, READ$, WRITE (with the key=value merge) and
// EXEC$ (procedure files and the execute hook).
//
// File names given to these functions have their %NAME% references expanded first (application
// folders, environment, configuration), as the runtime's other file paths do.
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dictionary/data_access.h"
#include "dictionary/dictionary.h"
#include "host/expansions.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/number_text.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/builtin_functions.h"
#include "script/builtin_support.h"
#include "script/evaluator.h"

namespace vodarir::builtin {

namespace {

using namespace literals;

// FILESEL: the mode bits that become open flags (read/write, write, append, no update access).
constexpr std::int64_t kOpenModeBits =
    openflag::kReadWrite | openflag::kCreate | openflag::kAppend | openflag::kNoPlus;
constexpr std::int64_t kDefaultOpenMode = openflag::kReadWrite;
constexpr std::int64_t kMaxMode = 0xFFFF;

// READ$ and WRITE: -1 (or 0xFFFF) is the current position and the whole rest; WRITE's -2 merges.
constexpr std::int64_t kCurrent = -1;
constexpr std::int64_t kMerge = -2;
constexpr std::int64_t kRuntimeCurrent = 0xFFFF;
constexpr std::int64_t kLargestPosition = INT64_MAX / 2;
constexpr std::int64_t kLargestCount = 0xFFFF;

// EXEC$: the procedure-file kind among the definition extensions, and where procedures live.
constexpr TextRef kDefinitionExtensions = "PPN,PAN,STP,DAT,DAT,PDC,PRX,ZAA,PMT,PDF,TXT,PDI,HLP"_t;
constexpr std::uint16_t kProcedureKind = 7;
constexpr std::uint16_t kMaxExtension = 8;
constexpr SlotIndex kProcedureFolderSlot = 5; // dot constant "docpath"
// The lines of a procedure file become one text of statements.
constexpr TextRef kStatementJoint = ";,"_t;
constexpr TextRef kExecuteDetail = "EXEC$()"_t;

// WRITE -2: entries of the file, items of the text, and how the file is written back.
constexpr char kEntrySeparator = ';';
constexpr char kItemSeparator = ',';
constexpr TextRef kLineEnd = "\r\n"_t;

TextRef Expanded(TextRef path) { return ExpandPaths(path); }

// --- Procedure files
// -------------------------------------------------------------------------------

// The statements of a procedure file run in order; kFileNotFound (with the name as the detail) when
// the file is missing or empty.
StatusCode RunProcedure(TextRef path, TextRef name) {
    ScratchScope scope;
    const TextRef text =
        FileLength(path) > 0 ? FileReadAllJoined(path, kStatementJoint) : TextRef();
    StatusCode st = status::kOk;
    if (text.failed() && text.status() != status::kFileNotFound) {
        st = text.status();
    } else if (text.empty()) {
        st = LogErrorText(status::kFileNotFound, name, true);
    } else {
        st = EvalStatus(text);
    }
    return st;
}

// A bare procedure name lies in the procedure folder; a name with a folder is used as given.
TextRef ProcedurePath(TextRef file) {
    if (!PathPart(file, pathpart::kDrive | pathpart::kFolder).empty()) return file;
    return PathJoin(SlotGet(slotgroup::kEnvironment, kProcedureFolderSlot), file);
}

// The definition kind of a file name by its extension (compared in capitals, as the file
// systems the applications come from compare names), 0 when none.
std::uint16_t DefinitionKind(TextRef file) {
    const std::uint16_t dot = TextFindLast(file, "."_t, LastOf::FirstByte);
    if (dot == kNotFound) return 0;
    const TextRef extension = TextSub(file, dot + 1, kMaxExtension);
    return ListFind(kDefinitionExtensions, TextCase(extension, LetterCase::Upper), ',');
}

StatusCode ExecuteThroughHook(TextRef file, TextRef arguments) {
    if (const VarHook hook = VarGetHook(kExecuteHook)) {
        const StatusCode st = PushText(arguments);
        if (st != status::kOk) return st;
        const TextRef answer = hook(file, kHookWrite);
        if (!answer.failed()) return PushText(answer);
        if (answer.status() != status::kData) return answer.status();
    }
    return LogErrorText(status::kFeatureRemoved, kExecuteDetail, true);
}

// --- WRITE -2 ------------------------------------------------------------------------------------

TextRef EntryKey(TextRef entry) {
    const std::uint16_t equals = TextFindChr(entry, 0, '=', false);
    return TextTrim(equals == kNotFound ? entry : TextSub(entry, 0, equals), TrimSides::Both);
}

// The item's value as the file writes it: evaluated, then a text for a text variable in quotes
// and a number in its decimal form, so that running the file assigns it back.
TextRef EntryFor(TextRef key, TextRef expression) {
    const TextRef value = EvalText(expression);
    if (value.failed()) return value;
    const bool text = VarType(key) == vartype::kString;
    const TextRef written = text ? TextQuote(value, '\'') : (value.empty() ? "0"_t : value);
    if (written.failed()) return written;
    const TextRef head = TextConcat(key, "="_t);
    return head.failed() ? head : TextConcat(head, written);
}

// Calls f with each item of list (items between separators outside quoted runs), as the list
// operations split it, in one walk of the text.
template <typename F> void ForEachItem(TextRef list, char separator, F f) {
    if (list.empty()) return;
    std::uint32_t from = 0;
    for (;;) {
        const std::uint16_t hit =
            from < list.length
                ? TextFindChr(list, static_cast<std::uint16_t>(from), separator, false)
                : kNotFound;
        const std::uint32_t end = hit == kNotFound ? list.length : hit;
        f(TextRef(list.data + from, static_cast<std::uint16_t>(end - from)));
        if (hit == kNotFound) return;
        from = std::uint32_t{hit} + 1;
    }
}

// The entries of a key=value file while WRITE -2 merges items into them: in order, each a view
// into the file's text or into a new entry kept here, with the first entry of every key at hand.
// A merge so costs one walk of the file and of the items, where looking each key up along the
// file made it grow with the cube of the file's entries.
class MergedFile {
public:
    // The entries of text; text must outlive the object.
    explicit MergedFile(TextRef text) {
        ForEachItem(text, kEntrySeparator, [this](TextRef entry) { Add(entry); });
    }

    // entry takes the place of the first entry of key, or goes after the last one.
    void Put(TextRef key, TextRef entry) {
        owned_.emplace_back(entry.view());
        const TextRef kept = TextView(owned_.back());
        const auto found = first_.find(key.view());
        if (found != first_.end()) {
            entries_[found->second] = kept;
        } else {
            Add(kept);
        }
    }

    // One entry a line, blank entries left out, on a new ScratchStack level; kStringTooLong beyond
    // 65535 bytes.
    TextRef Lines() const {
        std::uint32_t total = 0;
        EachLine([&](TextRef line) { total += line.length + kLineEnd.length; });
        if (total > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
        const TextRef lines = ScratchAllocText(static_cast<std::uint16_t>(total), kNoFill);
        if (lines.failed()) return lines;
        char* out = lines.mutableData();
        EachLine([&](TextRef line) {
            for (TextRef part : {line, kLineEnd}) {
                std::memcpy(out, part.data, part.length);
                out += part.length;
            }
        });
        return lines;
    }

private:
    void Add(TextRef entry) {
        first_.emplace(EntryKey(entry).view(), entries_.size()); // an earlier entry stays first
        entries_.push_back(entry);
    }

    template <typename F> void EachLine(F f) const {
        for (const TextRef entry : entries_) {
            ForEachItem(entry, kEntrySeparator, [&](TextRef part) {
                const TextRef line = TextTrim(part, TrimSides::Both);
                if (!line.empty()) f(line);
            });
        }
    }

    std::vector<TextRef> entries_;
    std::deque<std::string> owned_; // never moves what entries_ points at
    std::unordered_map<std::string_view, std::size_t> first_;
};

// Merges the items of text into the file's entries: an item replaces the entry of its key, or is
// added after the last entry. The file's new lines on a new ScratchStack level.
TextRef MergedLines(TextRef entries, TextRef items) {
    ScratchScope scope;
    MergedFile file(entries);
    StatusCode st = status::kOk;
    ForEachItem(items, kItemSeparator, [&](TextRef raw) {
        const TextRef item = TextTrim(raw, TrimSides::Both);
        if (st != status::kOk || item.empty()) return;
        const std::uint16_t equals = TextFindChr(item, 0, '=', false);
        const TextRef key = EntryKey(item);
        if (equals == kNotFound || key.empty()) {
            st = status::kSyntax;
            return;
        }
        ScratchScope entryScope;
        const TextRef entry = EntryFor(key, TextSub(item, equals + 1, -1));
        if (entry.failed()) {
            st = entry.status();
        } else {
            file.Put(key, entry); // kept by the file: the scratch copy can go
        }
    });
    if (st != status::kOk) return scope.Return(TextRef::Failed(st));
    return scope.Return(file.Lines());
}

StatusCode MergeAndRun(TextRef path, TextRef items) {
    ScratchScope scope;
    TextRef entries =
        FileLength(path) > 0 ? FileReadAllJoined(path, TextRef(&kEntrySeparator, 1)) : TextRef();
    const TextRef lines = entries.failed() ? entries : MergedLines(entries, items);
    StatusCode st = lines.failed() ? lines.status() : FileSave(path, kRewritePosition, lines);
    if (st == status::kOk) st = RunProcedure(path, path);
    return st;
}

// --- Handles
// ---------------------------------------------------------------------------------------

std::int64_t Position(std::int64_t given) { return given == kRuntimeCurrent ? kCurrent : given; }

StatusCode WriteHandle(std::int64_t handle, std::int64_t position, TextRef text) {
    const std::uint16_t written = FileWrite(static_cast<FileNumber>(handle),
                                            position < 0 ? kCurrentPosition : position, text);
    return PushInteger(written == text.length ? written : kIoFailed);
}

} // namespace

StatusCode FileLengthOf(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 1);
    TextRef name = ""_t;
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &name);
    if (st != status::kOk) return st;
    const std::uint16_t file = name.empty() ? 0 : FileNumberOf(name);
    if (file >= 1 && file <= FileCount()) return DataFileCounter(file, 1, name);
    return PushInteger(FileLength(Expanded(name)));
}

StatusCode FileSelect(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 2);
    std::int64_t mode = kDefaultOpenMode;
    if (st == status::kOk) st = ArgWhole(call, 2, mode, 0, kMaxMode, &mode);
    if (st != status::kOk) return st;
    bool isText = false;
    st = ArgAny(call, 1, ""_t, &isText);
    if (st != status::kOk) return st;
    const TextRef target = ScratchTop();
    if (call.count == 1 && isText) return DataFileSelect(target);
    if (!isText) {
        if (call.count == 2) return status::kIncompatibleTypes;
        // The standard streams (0 to 2) stay open; FileClose knows them.
        const std::int64_t handle = FixedToWhole(NumberValue(target), FixedDecimals());
        if (handle >= 0 && handle < kFileTableSize) FileClose(static_cast<FileNumber>(handle));
        return PushInteger(0);
    }
    const std::uint16_t handle =
        FileOpen(Expanded(target), static_cast<std::uint16_t>(mode & kOpenModeBits));
    return handle >= status::kFirstError ? handle : PushInteger(handle);
}

StatusCode Read(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 3);
    std::int64_t count = kCurrent;
    std::int64_t position = 0;
    if (st == status::kOk) st = ArgWhole(call, 3, count, kCurrent, kLargestCount, &count);
    if (st == status::kOk) st = ArgWhole(call, 2, 0, kCurrent, kLargestPosition, &position);
    if (st != status::kOk) return st;
    const std::uint16_t amount =
        count == kCurrent ? kWholeFile : static_cast<std::uint16_t>(count); // 0xFFFF in both cases
    bool isText = false;
    st = ArgAny(call, 1, ""_t, &isText);
    if (st != status::kOk) return st;
    const TextRef source = ScratchTop();
    TextRef text;
    if (isText) {
        text = FileReadAll(Expanded(source), position < 0 ? 0 : position, amount);
    } else {
        const std::int64_t handle = FixedToWhole(NumberValue(source), FixedDecimals());
        text = handle < 0 || handle >= kFileTableSize
                   ? TextRef::Failed(status::kBadFileNumber)
                   : FileReadLine(static_cast<FileNumber>(handle), Position(position), amount);
    }
    return PushText(text.failed() ? ""_t : text);
}

StatusCode Write(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 3, 3);
    TextRef text = ""_t;
    std::int64_t position = 0;
    if (st == status::kOk) st = ArgText(call, 3, ""_t, &text);
    if (st == status::kOk) st = ArgWhole(call, 2, 0, kMerge, kLargestPosition, &position);
    if (st != status::kOk) return st;
    bool isText = false;
    TextRef target;
    st = ArgAny(call, 1, ""_t, &isText);
    if (st != status::kOk) return st;
    target = ScratchTop();
    if (!isText) {
        const std::int64_t handle = FixedToWhole(NumberValue(target), FixedDecimals());
        if (handle < 0 || handle >= kFileTableSize) return PushInteger(kIoFailed);
        return WriteHandle(handle, Position(position), text);
    }
    const TextRef path = Expanded(target);
    if (path.failed()) return path.status();
    st = position == kMerge
             ? MergeAndRun(path, text)
             : FileSave(path, Position(position) < 0 ? kCurrentPosition : position, text);
    return st != status::kOk ? st : PushInteger(0);
}

StatusCode Execute(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 2);
    TextRef arguments = ""_t;
    TextRef file = ""_t;
    if (st == status::kOk) st = ArgText(call, 2, ""_t, &arguments);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &file);
    if (st != status::kOk) return st;
    if (DefinitionKind(file) != kProcedureKind || !arguments.empty()) {
        return ExecuteThroughHook(file, arguments);
    }
    const TextRef path = ProcedurePath(file);
    if (path.failed()) return path.status();
    st = RunProcedure(path, file);
    return st != status::kOk ? st : PushText(""_t);
}

} // namespace vodarir::builtin
