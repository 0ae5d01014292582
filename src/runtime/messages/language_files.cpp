// Loading language files into segments of loaded messages, and finding a number in them.
//
// Invariants of the catalogue:
//  1. used <= kMaxLoadedMessages; endOffset[0..used) never decreases and entry k spans from
//     endOffset[k - 1] (0 for k = 0) to endOffset[k] in SlotStore slot 9.2.
//  2. Segments are kept in load order; each covers the codes first..last with the entries
//     start..start + (last - first), all below used. Their entry ranges follow one another.
//  3. A segment exists only once one of its lines was given an entry, so every segment covers at
//     least one code, and there are never more segments than entries.
//  4. state is kLoaded once any message got an entry; nothing but MsgCatalogReset lowers it.
#include "runtime/messages/language_files.h"

#include <array>

#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr SlotIndex kLoadedTextsSlot = 2; // group 9: all loaded texts, end to end
constexpr SlotIndex kLanguageSlot = 4;    // group 0: the language code
constexpr SlotIndex kDefaultFolderSlot = 5;
constexpr std::uint16_t kCodeWidth = 4;
constexpr std::uint16_t kTextColumn = 5; // 0-based: after the code and its separator
constexpr std::uint16_t kMaxFileNameLength = 15;
// Where an installed program's language files live, from the program's own folder: a package puts
// the program in bin/ and the files it reads in share/vodarir/.
constexpr TextRef kInstalledLanguageFolder = "../share/vodarir"_t;

struct Segment {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
    std::uint16_t start = 0;
};

struct Catalog {
    int state = catalog::kNotTried;
    std::uint16_t used = 0;
    std::array<std::uint16_t, kMaxLoadedMessages> endOffset{};
    std::uint16_t segmentCount = 0;
    std::array<Segment, kMaxLoadedMessages> segments{};
};

Catalog g_catalog;

std::uint16_t EntryEnd(std::uint16_t index) {
    return index == 0 ? 0 : g_catalog.endOffset[index - 1];
}

// The code of a line: its first four characters, all digits. Anything else is not a message line.
std::uint16_t LineCode(TextRef line) {
    if (line.size() < kCodeWidth) return 0;
    std::uint16_t code = 0;
    for (std::uint16_t i = 0; i < kCodeWidth; ++i) {
        const unsigned char ch = line.at(i);
        if (ch < '0' || ch > '9') return 0;
        code = static_cast<std::uint16_t>(code * 10 + (ch - '0'));
    }
    return code;
}

// Appends the text to slot 9.2; answers false (slot unchanged, failure recorded) when it cannot.
bool AppendLoadedText(TextRef text) {
    ScratchScope scope;
    const StatusCode joined =
        ScratchConcat(SlotGet(slotgroup::kRuntimeMessages, kLoadedTextsSlot), text);
    if (joined != status::kOk) {
        NoteFirstError(1, step::kStringAssign, status::kLoadString, joined);
        return false;
    }
    return SlotSet(slotgroup::kRuntimeMessages, kLoadedTextsSlot, ScratchTop()) == status::kOk;
}

// Where a file's lines are going: the segment of the file's latest message, if any.
struct FileLoad {
    Segment* segment = nullptr;
};

void StartSegment(FileLoad& load, std::uint16_t code) {
    Segment& s = g_catalog.segments[g_catalog.segmentCount++];
    s = Segment{code, code, g_catalog.used};
    load.segment = &s;
}

// Loads one line (a copy the caller owns). Lines that are not message lines, that come out of
// order, or that no longer fit the entry table are left out without touching the catalogue.
void LoadLine(FileLoad& load, TextRef line) {
    const std::uint16_t code = LineCode(line);
    if (code == 0 || g_catalog.used >= kMaxLoadedMessages) return;
    Segment* segment = load.segment;
    if (segment != nullptr && code <= segment->last) return;
    if (segment == nullptr || code - segment->last > kMaxSegmentGap) {
        StartSegment(load, code);
        segment = load.segment;
    }
    // Codes skipped inside the segment get empty entries.
    const std::uint32_t index = std::uint32_t{segment->start} + (code - segment->first);
    while (g_catalog.used < index && g_catalog.used < kMaxLoadedMessages) {
        g_catalog.endOffset[g_catalog.used] = EntryEnd(g_catalog.used);
        ++g_catalog.used;
    }
    if (g_catalog.used >= kMaxLoadedMessages) return;

    using namespace literals;
    const TextRef raw =
        line.size() > kTextColumn ? TextSub(line, kTextColumn, kMaxTextLength) : ""_t;
    const TextRef text = TextReplace(raw, "\\n"_t, "\r\n"_t, true);
    std::uint16_t end = EntryEnd(g_catalog.used);
    // A text that cannot be stored reads empty; the messages before it stay as they were.
    if (!text.failed() && AppendLoadedText(text)) {
        end = SlotGet(slotgroup::kRuntimeMessages, kLoadedTextsSlot).size();
    }
    g_catalog.endOffset[g_catalog.used++] = end;
    segment->last = code;
    g_catalog.state = catalog::kLoaded;
}

void DiscardLines(std::uint16_t count) {
    for (std::uint16_t i = 0; i < count && SlotCount(slotgroup::kFileLines) > 0; ++i) {
        SlotPop(slotgroup::kFileLines);
    }
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A file-name pattern with "*" (any run) and "?" (any character), ASCII case ignored.
bool NameMatches(std::string_view pattern, std::string_view name) {
    if (pattern.empty()) return name.empty();
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= name.size(); ++skip) {
            if (NameMatches(pattern.substr(1), name.substr(skip))) return true;
        }
        return false;
    }
    if (name.empty()) return false;
    if (pattern.front() != '?' && LowerAscii(pattern.front()) != LowerAscii(name.front())) {
        return false;
    }
    return NameMatches(pattern.substr(1), name.substr(1));
}

// The path of the first file of the folder whose name matches, on the ScratchStack; empty when
// none does. The exact spelling is tried first; file systems that tell case apart still find a
// file shipped as DU_ZERA_ES.MSJ when the code was stored as "es".
TextRef FindLanguageFile(TextRef folder, TextRef name) {
    using namespace literals;
    const bool wildcard = TextFindAny(name, 0, "*?"_t, true) != kNotFound;
    if (!wildcard) {
        const TextRef exact = PathJoin(folder, name);
        bool found = false;
        {
            ScratchScope probe; // the names FileFind leaves are not wanted here
            found = FileFind(exact) == status::kOk;
        }
        if (found) return exact;
    }
    if (FileFind(PathJoin(folder, "*"_t)) != status::kOk) return TextRef();
    const std::string_view names = ScratchTop().view();
    std::size_t from = 0;
    while (from < names.size()) {
        std::size_t end = names.find('\0', from);
        if (end == std::string_view::npos) end = names.size();
        const std::string_view candidate = names.substr(from, end - from);
        if (!candidate.empty() && NameMatches(name.view(), candidate)) {
            return PathJoin(folder, TextView(candidate));
        }
        from = end + 1;
    }
    return TextRef();
}

// "DU_ZERA_xx.MSJ" for the language code, "DU_ZERA_*.MSJ" without one; empty when the code is
// too long to make a file name of at most 15 characters.
TextRef LanguageFileName(TextRef languageCode) {
    using namespace literals;
    const TextRef code = languageCode.empty() ? "*"_t : languageCode;
    constexpr std::uint16_t kFixedPart = sizeof("DU_ZERA_.MSJ") - 1;
    if (code.size() > kMaxFileNameLength - kFixedPart) return TextRef();
    return TextFormat(kMaxFileNameLength, "DU_ZERA_%s.MSJ", TextCStr(code));
}

// The language file of that name among those installed with the program; empty when there is
// none, or when the program's folder is unknown (a relative folder would search the current one).
TextRef FindInstalledLanguageFile(TextRef name) {
    ScratchScope scope;
    const TextRef program = ProgramFolder();
    if (program.failed() || program.empty()) return scope.Return(TextRef());
    return scope.Return(FindLanguageFile(PathResolve(program, kInstalledLanguageFolder), name));
}

// Reads the file's lines into group 37 and loads them; lines of a read that failed half-way are
// taken back out so that the next reader of the group does not get them.
void LoadLanguageFile(TextRef path) {
    const std::uint16_t before = SlotCount(slotgroup::kFileLines);
    const std::uint16_t count = ReadLines(path, 0, 0, slotgroup::kFileLines);
    if (count == kIoFailed) {
        const std::uint16_t after = SlotCount(slotgroup::kFileLines);
        if (after > before) DiscardLines(static_cast<std::uint16_t>(after - before));
        return;
    }
    MsgLoadFile(count);
}

} // namespace

int MsgCatalogState() { return g_catalog.state; }

void MsgCatalogReset() {
    g_catalog = Catalog{};
    if (SlotStoreReady() && SlotCount(slotgroup::kRuntimeMessages) > kLoadedTextsSlot) {
        SlotSet(slotgroup::kRuntimeMessages, kLoadedTextsSlot, TextRef());
    }
}

bool MsgLoadedFind(std::uint16_t number, TextRef* text) {
    for (std::uint16_t i = 0; i < g_catalog.segmentCount; ++i) {
        const Segment& s = g_catalog.segments[i];
        if (number < s.first || number > s.last) continue;
        const std::uint32_t index = std::uint32_t{s.start} + (number - s.first);
        if (index >= g_catalog.used) return false;
        const TextRef all = SlotGet(slotgroup::kRuntimeMessages, kLoadedTextsSlot);
        const std::uint16_t begin = EntryEnd(static_cast<std::uint16_t>(index));
        const std::uint16_t end = g_catalog.endOffset[index];
        if (end > all.size()) return false; // the slot was changed behind the catalogue's back
        if (text != nullptr)
            *text = TextRef(all.data + begin, static_cast<std::uint16_t>(end - begin));
        return true;
    }
    return false;
}

TextRef MsgLoaded(std::uint16_t number) {
    TextRef text;
    return MsgLoadedFind(number, &text) ? text : TextRef();
}

void MsgLoadFile(std::uint16_t lineCount) {
    if (lineCount == 0) return;
    if (lineCount >= kMaxLoadedMessages) {
        DiscardLines(lineCount);
        return;
    }
    FileLoad load;
    for (std::uint16_t i = 0; i < lineCount && SlotCount(slotgroup::kFileLines) > 0; ++i) {
        {
            ScratchScope scope;
            // A copy: storing a text moves every slot of the later groups, this line included.
            if (ScratchPush(SlotGet(slotgroup::kFileLines, 0)) == status::kOk)
                LoadLine(load, ScratchTop());
        }
        SlotPop(slotgroup::kFileLines);
    }
}

void MsgLoadLanguage(MsgLoaderFn loader, std::uint16_t resource) {
    // A later attempt that finds nothing must not hide what an earlier one loaded.
    if (g_catalog.state != catalog::kLoaded) g_catalog.state = catalog::kTried;
    ScratchScope scope;
    const TextRef name = LanguageFileName(SlotGet(slotgroup::kEnvironment, kLanguageSlot));
    TextRef path;
    if (!name.failed() && !name.empty()) {
        path = FindLanguageFile(SlotGet(slotgroup::kEnvironment, kDefaultFolderSlot), name);
        // A file of the named language the default folder lacks comes from the files installed
        // with the program. Without a code any file would do, and an installed one would pick a
        // language at random, so that search stays in the default folder.
        const bool named = TextFindAny(name, 0, "*?"_t, true) == kNotFound;
        if (named && !path.failed() && path.empty()) path = FindInstalledLanguageFile(name);
    }
    if (!path.failed() && !path.empty()) {
        LoadLanguageFile(path);
    } else if (loader != nullptr) {
        MsgLoadFile(loader(resource, 0, 0));
    }
}

StatusCode MsgStartLanguage(TextRef languageCode, MsgLoaderFn loader, std::uint16_t firstResource,
                            std::uint16_t secondResource) {
    const StatusCode stored = SlotSet(slotgroup::kEnvironment, kLanguageSlot, languageCode);
    if (stored != status::kOk) return stored;
    MsgLoadLanguage(loader, firstResource);
    if (secondResource != 0 && loader != nullptr) MsgLoadFile(loader(secondResource, 0, 0));
    return status::kOk;
}

} // namespace vodarir
