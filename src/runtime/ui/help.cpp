// Help: finding help files in the current, default and help folders (with the language's suffix
// as a second try), opening the help index in the browser and showing topics of a help file.
#include "runtime/ui/help.h"

#include <array>

#include "host/paths.h"
#include "host/processes.h"
#include "host/text_files.h"
#include "runtime/messages/language_files.h"
#include "runtime/messages/messages.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/about_box.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr SlotIndex kAppNameSlot = 2;
constexpr SlotIndex kLanguageSlot = 4;
constexpr SlotIndex kDefaultFolderSlot = 5;
constexpr SlotIndex kHelpFolderSlot = 7;
// The application's prefix: the first characters of its name.
constexpr int kPrefixLength = 2;

constexpr TextRef kLanguages = TextView(kLanguageCodes);
constexpr TextRef kLanguageSuffixes = "_en,_es,_fr,_de,_it"_t;
constexpr TextRef kGenericIndex = "index.html"_t;
constexpr std::uint16_t kPathLimit = kMaxPathLength;
constexpr TextRef kLineBreak = "\r\n"_t;

TextRef Environment(SlotIndex slot) { return SlotGet(slotgroup::kEnvironment, slot); }

// The application's prefix, copied: the SlotStore moves under views of it.
TextRef AppPrefix() { return TextDup(TextSub(Environment(kAppNameSlot), 0, kPrefixLength)); }

// The name tried first: as given (the current directory), then in the default folder and in
// the help folder. Folders are taken one by one, not as one comma list: a folder may hold a comma.
TextRef FindAlongHelpFolders(TextRef name) {
    ScratchScope scope;
    TextRef found = PathOnDisk(name);
    const std::array<SlotIndex, 2> folders = {kDefaultFolderSlot, kHelpFolderSlot};
    for (const SlotIndex slot : folders) {
        if (!found.failed()) break;
        const TextRef folder = TextTrim(TextDup(Environment(slot)), TrimSides::Both);
        if (!folder.empty()) found = PathOnDisk(PathJoin(folder, name));
    }
    return scope.Return(found.failed() ? TextRef() : found);
}

// The name with the current language's suffix before its extension ("index.html" ->
// "index_es.html"); the failed TextRef kData when the language has no suffix.
TextRef LanguageName(TextRef name) {
    ScratchScope scope;
    const std::uint16_t n =
        ListFind(kLanguages, TextTrim(Environment(kLanguageSlot), TrimSides::Both), ',');
    if (n == 0) return scope.Return(TextRef::Failed(status::kData));
    const TextRef suffix = ListItem(kLanguageSuffixes, ',', n);
    const std::uint16_t folderEnd = TextFindLast(name, "/\\"_t, LastOf::AnyOfSet);
    std::uint16_t dot = TextFindLast(name, "."_t, LastOf::FirstByte);
    if (dot == kNotFound || (folderEnd != kNotFound && dot < folderEnd)) dot = name.size();
    const TextRef named = TextConcat(TextConcat(TextSub(name, 0, dot), suffix),
                                     TextSub(name, dot, name.size() - dot));
    return scope.Return(named);
}

// Opens a help page in the web browser without waiting.
StatusCode OpenHelpPage(TextRef quotedPath) {
    return OpenInViewer(Viewer::Html, quotedPath, startflag::kNoWait);
}

} // namespace

TextRef HelpFind(TextRef name) {
    if (name.failed()) return name;
    ScratchScope scope;
    TextRef wanted = name;
    if (wanted.empty()) {
        const TextRef prefix = AppPrefix();
        wanted =
            TextFormat(kPathLimit, "%.*sHELP.HLP", static_cast<int>(prefix.size()), prefix.data);
    }
    TextRef found = FindAlongHelpFolders(wanted);
    if (found.empty()) {
        const TextRef translated = LanguageName(wanted);
        if (!translated.failed()) found = FindAlongHelpFolders(translated);
    }
    if (!found.empty() && PathPart(found, pathpart::kDrive | pathpart::kFolder).empty()) {
        found = PathJoin(CurrentFolder(), found);
    }
    return scope.Return(found.failed() ? TextRef() : found);
}

void HelpShow(TextRef /*topic*/, bool about) {
    if (about) {
        AboutShow();
        return;
    }
    ScratchScope scope;
    const TextRef prefix = AppPrefix();
    const TextRef appIndex =
        TextFormat(kPathLimit, "%.*sindex.html", static_cast<int>(prefix.size()), prefix.data);
    TextRef page = HelpFind(appIndex);
    if (page.empty()) page = HelpFind(kGenericIndex);
    if (page.empty()) {
        MsgInfo(MsgText("0071"), MsgText("0072"));
    } else {
        OpenHelpPage(TextQuote(page, '"'));
    }
}

StatusCode HelpTopic(TextRef fileAndTopic) {
    if (fileAndTopic.failed()) return fileAndTopic.status();
    ScratchScope scope;
    const TextRef file = TextTrim(ListItem(fileAndTopic, ',', 1), TrimSides::Both);
    const int topic = TextToInt(ListItem(fileAndTopic, ',', 2));
    const TextRef path = HelpFind(file);
    const SlotGroup lines = slotgroup::kFileLines;
    const std::uint16_t before = SlotCount(lines);
    const std::uint16_t read =
        path.empty() ? kIoFailed
                     : ReadLines(path, topic <= kHelpShortTopicLimit ? 1 : 3, topic, lines);
    if (read == kIoFailed || read == 0) {
        while (SlotCount(lines) > before) SlotDelete(lines, before);
        return status::kFileNotFound;
    }
    const TextRef caption = TextDup(SlotGet(lines, before));
    // Every line after the first is text, empty ones included: each but the first starts with
    // a line break.
    ScratchScope textScope;
    TextRef text = TextDup(TextRef());
    for (std::uint16_t i = before + 1; i < SlotCount(lines) && !text.failed(); ++i) {
        const TextRef line = SlotGet(lines, i);
        // Only the text so far is kept, one level above the text's mark.
        text = ScratchReturn(textScope.mark(),
                             i == before + 1 ? TextConcat(text, line)
                                             : TextConcat(TextConcat(text, kLineBreak), line));
    }
    while (SlotCount(lines) > before) SlotDelete(lines, before);
    StatusCode result = text.status();
    if (result == status::kOk) MsgInfo(caption, text);
    return result;
}

StatusCode HelpFolderSet(TextRef pattern) {
    if (pattern.failed()) return pattern.status();
    ScratchScope scope;
    const TextRef code = TextCase(Environment(kLanguageSlot), LetterCase::Lower);
    const TextRef folder = TextFill(kPathLimit, pattern, {code});
    return folder.failed() ? folder.status()
                           : SlotSet(slotgroup::kEnvironment, kHelpFolderSlot, folder);
}

} // namespace vodarir
