// Prompt specifications: normalising, parts, positions, labels, specifications made from names,
// and the answers of the last dialog.
#include "script/prompt_spec.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "dictionary/dictionary.h"
#include "masks/formatting.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/evaluator.h"
#include "script/tokens.h"

namespace vodarir {

namespace {

using namespace literals;

bool IsQuoteChar(char c) { return c == '\'' || c == '"'; }

// Walks a text byte by byte knowing whether each byte lies inside a quoted literal. The quote
// characters themselves count as inside.
class QuoteWalk {
public:
    explicit QuoteWalk(std::string_view text) : text_(text) {}
    bool done() const { return at_ >= text_.size(); }
    std::size_t at() const { return at_; }
    char ch() const { return text_[at_]; }
    bool outside() const { return quote_ == 0 && !IsQuoteChar(text_[at_]); }
    void step() {
        const char c = text_[at_];
        if (quote_ == 0 && IsQuoteChar(c)) {
            quote_ = c;
        } else if (quote_ != 0 && c == quote_) {
            quote_ = 0;
        }
        ++at_;
    }
    bool open() const { return quote_ != 0; }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    char quote_ = 0;
};

bool HasOutside(std::string_view text, char wanted) {
    for (QuoteWalk w(text); !w.done(); w.step()) {
        if (w.outside() && w.ch() == wanted) return true;
    }
    return false;
}

bool QuotesClose(std::string_view text) {
    QuoteWalk w(text);
    while (!w.done()) w.step();
    return !w.open();
}

// The position option `name` ("/ROW") at or after the start of `text`, outside quotes and in
// either letter case; npos when absent.
std::size_t FindOption(std::string_view text, std::string_view name) {
    for (QuoteWalk w(text); !w.done(); w.step()) {
        if (!w.outside() || w.ch() != '/') continue;
        const std::string_view rest = text.substr(w.at());
        if (rest.size() < name.size()) return std::string_view::npos;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            same = std::toupper(static_cast<unsigned char>(rest[i])) == name[i];
        }
        if (same) return w.at();
    }
    return std::string_view::npos;
}

// The whole number after an option, blanks skipped; 0 when none or beyond the limit.
std::uint16_t OptionNumber(std::string_view text, std::size_t at) {
    while (at < text.size() && text[at] == ' ') ++at;
    std::uint32_t n = 0;
    bool any = false;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0; ++at) {
        n = n * 10 + static_cast<std::uint32_t>(text[at] - '0');
        any = true;
        if (n > kMaxPromptPosition) return 0;
    }
    return any ? static_cast<std::uint16_t>(n) : 0;
}

constexpr std::string_view kRowOption = "/ROW";
constexpr std::string_view kColumnOption = "/COL";
// What separates a label from its window options.
constexpr std::string_view kWindowOptions = " /";

// The comparison words of a limit prompt, in the order of the comparison numbers.
constexpr char kComparisonWords[] = "0080";
constexpr std::uint16_t kComparisonCount = 6;
// The two type-and-width texts PromptFromNames gives: integers, then texts.
constexpr TextRef kGeneratedTypes = "A32,A511"_t;
constexpr std::size_t kGeneratedItemRoom = 2 * 0xFF + 64;

} // namespace

TextRef NormalizePrompt(TextRef spec) {
    if (spec.failed()) return spec;
    const std::string_view text = spec.view();
    if (HasOutside(text, kPromptPartSeparator) || !HasOutside(text, kPromptAltSeparator)) {
        return spec;
    }
    ScratchScope scope;
    const TextRef copy = TextDup(spec);
    if (copy.failed()) return copy;
    char* out = copy.mutableData();
    for (QuoteWalk w(text); !w.done(); w.step()) {
        if (w.outside() && w.ch() == kPromptAltSeparator) out[w.at()] = kPromptPartSeparator;
    }
    return scope.Return(copy);
}

std::uint16_t PromptItemCount(TextRef spec) {
    if (spec.failed() || spec.empty()) return 0;
    return ListCount(spec, kPromptItemSeparator);
}

TextRef PromptPart(TextRef spec, std::uint16_t item, PromptPartKind part) {
    if (spec.failed()) return spec;
    if (item == 0 || item > PromptItemCount(spec)) return TextRef(spec.data, 0);
    const TextRef whole = ListItem(spec, kPromptItemSeparator, item);
    return ListItem(whole, kPromptPartSeparator, static_cast<std::uint16_t>(part));
}

PromptPosition SplitPosition(TextRef text) {
    PromptPosition p;
    if (text.failed()) {
        p.value = text;
        return p;
    }
    const std::string_view s = text.view();
    const std::size_t row = FindOption(s, kRowOption);
    const std::size_t column = FindOption(s, kColumnOption);
    if (row != std::string_view::npos) p.row = OptionNumber(s, row + kRowOption.size());
    if (column != std::string_view::npos) {
        p.column = OptionNumber(s, column + kColumnOption.size());
    }
    std::size_t end = std::min(row, column);
    if (end == std::string_view::npos) end = s.size();
    while (end > 0 && s[end - 1] == ' ') --end;
    p.value = TextRef(text.data, static_cast<std::uint16_t>(end));
    return p;
}

TextRef PromptLabel(TextRef spec, std::uint16_t item, std::uint16_t comparison) {
    ScratchScope scope;
    const TextRef normal = NormalizePrompt(spec);
    if (normal.failed()) return normal;
    TextRef label = SplitPosition(PromptPart(normal, item, PromptPartKind::Label)).value;
    const std::size_t options = label.view().find(kWindowOptions);
    if (options != std::string_view::npos) {
        label = TextRef(label.data, static_cast<std::uint16_t>(options));
    }
    label = TextTrim(label, TrimSides::Both);
    if (label.empty()) return scope.Return(label);

    const TokenCursor token = NextToken(NewCursor(label));
    const std::uint16_t cls = ClassifyToken(token);
    if (cls < tokenclass::kFirstStatus && (cls & tokenclass::kField) != 0 &&
        token.tokenLength == label.length) {
        const FieldEntryRecord field = ResolveFieldRef(label);
        if (field.status == status::kOk && field.field != 0) {
            TextRef shown = TextConcat(FieldName(field.file, field.field), ":"_t);
            if (comparison >= 1 && comparison <= kComparisonCount) {
                shown = TextConcat(shown, ListItem(MsgText(kComparisonWords), ',', comparison));
            }
            return scope.Return(shown);
        }
    }
    if (cls < tokenclass::kFirstStatus && (cls & tokenclass::kText) != 0) {
        return scope.Return(EvalText(label));
    }
    return scope.Return(label);
}

TextRef PromptFromNames(TextRef names, bool withTarget, std::uint16_t item) {
    if (names.failed()) return names;
    ScratchScope scope;
    std::string spec;
    const std::uint16_t count = ListCount(names, ',');
    for (std::uint16_t i = 1; i <= count; ++i) {
        const TextRef name = TextTrim(ListItem(names, ',', i), TrimSides::Both);
        const std::uint16_t kind = VarType(name);
        if (name.empty() ||
            (kind != vartype::kInteger && kind != vartype::kString && kind != vartype::kReadOnly)) {
            continue;
        }
        const TextRef type = ListItem(kGeneratedTypes, ',', kind == vartype::kString ? 2 : 1);
        const TextRef bare = TextRemoveChars(name, "%"_t);
        if (bare.failed()) return bare;
        const TextRef target = withTarget ? name : TextRef();
        const std::string n(name.view());
        const std::string t(type.view());
        const std::string g(target.view());
        const std::string b(bare.view());
        const auto room = static_cast<std::uint16_t>(std::min<std::size_t>(
            kGeneratedItemRoom + std::size_t{name.length} * 3, kMaxTextLength));
        const TextRef line =
            item != 0 ? TextFormat(room, "\"%s: \":\"%s\":%s:FN$PARM([%s];%u)", n.c_str(),
                                   t.c_str(), g.c_str(), b.c_str(), unsigned{item})
                      : TextFormat(room, "\"%s: \":\"%s\":%s:[%s]", n.c_str(), t.c_str(), g.c_str(),
                                   b.c_str());
        if (line.failed()) return line;
        if (!spec.empty()) spec += kPromptItemSeparator;
        spec.append(line.view());
        if (spec.size() > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    }
    return scope.Return(TextView(spec));
}

TextRef Answer(std::uint16_t k) {
    ScratchScope scope;
    const TextRef answers = TextDup(SlotGet(kAnswerGroup, kAnswersSlot));
    if (answers.failed() || k == 0 || k > ListCount(answers, ',')) {
        return scope.Return(TextRef());
    }
    return scope.Return(TextUnquote(ListItem(answers, ',', k)));
}

StatusCode RememberPrompt(TextRef spec) {
    if (spec.failed()) return spec.status();
    if (SlotGet(kAnswerGroup, kAnswerSpecSlot).view() == spec.view()) return status::kOk;
    const StatusCode st = SlotSet(kAnswerGroup, kAnswersSlot, TextRef());
    if (st != status::kOk) return st;
    return SlotSet(kAnswerGroup, kAnswerSpecSlot, spec);
}

bool PromptTypeWidth(TextRef spec, std::uint16_t item, char* type, std::uint16_t* width) {
    const TextRef part = TextUnquote(TextTrim(
        SplitPosition(PromptPart(spec, item, PromptPartKind::TypeWidth)).value, TrimSides::Both));
    if (part.size() < 2) return false;
    const char letter = static_cast<char>(std::toupper(part.at(0)));
    if (letter != 'P' && kTypeLetters.view().find(letter) == std::string_view::npos) return false;
    std::uint32_t n = 0;
    for (std::size_t i = 1; i < part.length; ++i) {
        if (std::isdigit(part.at(i)) == 0) return false;
        n = n * 10 + (part.at(i) - '0');
        if (n > kMaxPromptWidth) return false;
    }
    if (n == 0) return false;
    *type = letter;
    *width = static_cast<std::uint16_t>(n);
    return true;
}

StatusCode PromptCheck(TextRef spec) {
    if (spec.failed()) return spec.status();
    if (spec.empty()) return LogErrorText(status::kData, "(empty prompt)"_t, false);
    if (!QuotesClose(spec.view())) return LogErrorText(status::kData, spec, false);
    const std::uint16_t count = PromptItemCount(spec);
    if (count > kMaxPromptItems) return LogErrorText(status::kData, spec, false);
    for (std::uint16_t i = 1; i <= count; ++i) {
        char type = 0;
        std::uint16_t width = 0;
        if (!PromptTypeWidth(spec, i, &type, &width)) {
            ScratchScope scope;
            return LogErrorText(status::kData, ListItem(spec, kPromptItemSeparator, i), false);
        }
    }
    return status::kOk;
}

} // namespace vodarir
