// Message boxes: the kinds' buttons, icons and captions, and the answers in the language's letters.
#include <cstdint>

#include "platform/ui.h"
#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using platform::BoxAnswer;
using platform::BoxButtons;
using platform::BoxIcon;

struct BoxKindSpec {
    BoxButtons buttons;
    BoxIcon icon;
    const char* caption; // message code of the caption used when none is given
};

// Indexed by box kind.
constexpr BoxKindSpec kBoxKinds[] = {
    {BoxButtons::Ok, BoxIcon::Information, "0014"},
    {BoxButtons::Ok, BoxIcon::Exclamation, "0012"},
    {BoxButtons::OkCancel, BoxIcon::Information, "0014"},
    {BoxButtons::Ok, BoxIcon::Stop, "0013"},
    {BoxButtons::RetryCancel, BoxIcon::Stop, "0012"},
    {BoxButtons::YesNo, BoxIcon::Information, "0014"},
    {BoxButtons::YesNoCancel, BoxIcon::Information, "0014"},
};
constexpr BoxKindSpec kOtherKind = {BoxButtons::Ok, BoxIcon::None, "0014"};
constexpr int kKindCount = static_cast<int>(sizeof(kBoxKinds) / sizeof(kBoxKinds[0]));

constexpr char kAnswersCode[] = "0011";
constexpr std::uint16_t kYesItem = 1;
constexpr std::uint16_t kNoItem = 2;

bool UsableAnswers(TextRef answers) {
    const TextRef yes = ListItem(answers, ',', kYesItem);
    const TextRef no = ListItem(answers, ',', kNoItem);
    return !yes.empty() && !no.empty() && yes.at(0) != no.at(0);
}

// The answer letters "yes,no" of the language. A translation that leaves them empty or makes
// both start alike would turn a No into a Yes; the built-in letters answer instead.
TextRef AnswerLetters() {
    const TextRef translated = MsgText(kAnswersCode);
    if (!translated.failed() && UsableAnswers(translated)) return translated;
    return MsgBuiltin(TextView(kAnswersCode));
}

int FirstLetterOfItem(TextRef list, std::uint16_t item) {
    const TextRef text = ListItem(list, ',', item);
    return text.empty() ? kBoxFailed : text.at(0);
}

int AnswerCode(BoxAnswer answer) {
    switch (answer) {
    case BoxAnswer::Ok:
    case BoxAnswer::Retry:
    case BoxAnswer::Yes:
        return FirstLetterOfItem(AnswerLetters(), kYesItem);
    case BoxAnswer::No:
        return FirstLetterOfItem(AnswerLetters(), kNoItem);
    case BoxAnswer::Cancel:
    case BoxAnswer::Abort:
    case BoxAnswer::Ignore:
        return kBoxCancelled;
    case BoxAnswer::Failed:
        break;
    }
    return kBoxFailed;
}

} // namespace

int MsgBox(TextRef text, TextRef caption, BoxKind kind) {
    ScratchScope scope;
    const int n = static_cast<int>(kind);
    const BoxKindSpec& spec = n >= 0 && n < kKindCount ? kBoxKinds[n] : kOtherKind;
    const TextRef shownCaption = caption.empty() ? MsgText(spec.caption) : caption;
    const BoxAnswer answer = platform::CurrentUi().messageBox(
        platform::kNoWindow, text.view(), shownCaption.view(), spec.buttons, spec.icon);
    return AnswerCode(answer);
}

void MsgInfo(TextRef caption, TextRef text) { MsgBox(text, caption, BoxKind::Information); }

void MsgOutcome(bool success, TextRef text) {
    ScratchScope scope;
    if (success) {
        MsgBox(text.empty() ? MsgText("0005") : text, TextRef(), BoxKind::Warning);
    } else {
        MsgBox(text, TextRef(), BoxKind::Error);
    }
}

bool IsYesAnswer(TextRef text) {
    const TextRef trimmed = TextTrim(text, TrimSides::Both);
    if (trimmed.empty()) return false;
    ScratchScope scope;
    const TextRef yes = ListItem(AnswerLetters(), ',', kYesItem);
    return TextFindChr(yes, 0, static_cast<char>(trimmed.at(0)), true) != kNotFound;
}

bool AskYesNo(TextRef text) {
    ScratchScope scope;
    const int answer = MsgBox(text, TextRef(), BoxKind::YesNo);
    return answer == FirstLetterOfItem(AnswerLetters(), kYesItem);
}

} // namespace vodarir
