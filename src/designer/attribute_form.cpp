// Attribute forms: the plan of a form, its prompt specification, its answers, the new attribute
// text, and the form run over the parameter file.
#include "designer/attribute_form.h"

#include <algorithm>
#include <array>
#include <set>

#include "host/numbered_files.h"
#include "host/text_files.h"
#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"
#include "screens/prompt_dialog.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr std::array<ScreenTypeRow, 4> kScreenTypes = {{
    {ScreenType::Basic,
     "SCREENSIZE$,SET$,OPEN$,EDIT$,NOEDIT$,WRITE$,DOC$,DOCSETS$,HELP$,SAVED$,HIDDEN$,RELOPT%,"
     "UNICNDX%,AUTONDX%,KEYMAP%,SCANDEF$,SCANWIN$,SCANSET$,VOIDMODE%",
     "SCR_MAIN.HLP"},
    {ScreenType::Extended,
     "NUMCAB$,WRITECAB0$,WRITECABS$,WRITELINS$,FITCLC$,FTCLC$,READLINS$,LNINS$,LNDEL$,"
     "ALARMLINS$,BOUNDS$,DOCTYPETXT$,MODE$,FASTFIND$,FLDUPDATE$,BEGINFLD%,MAXLIN%",
     "SCR_MOVS.HLP"},
    {ScreenType::Menu, "MODULES$,MENU$,CALLER$,SUBMENU$,LOAD$,EXEC$,COUNTER$", "SCR_MENU.HLP"},
    {ScreenType::Report, "DEVICE$,DOCNAME$,ACBOUND$,INDEX%,LIMITS$,AUXLOAD$,RESET$,STEPS$,PRCNAME$",
     ""},
}};

constexpr std::string_view kNumberCharacters = ".-1234567890";
// The characters that end a key or a value in the attribute text, or quote one.
constexpr std::string_view kNotInKey = ": &/=,'\"";
constexpr char kHelpSetting[] = "HELP$";
// A parameter file line: the number, a blank, the item.
constexpr std::size_t kMaxItemLength = kLineBufferSize - 3;
constexpr char kRefused[] = "1075 %s: the value cannot be kept in the parameter file as it was "
                            "entered, because %s. Change it and confirm the form again.";
constexpr char kRefusalReasons[] =
    "1076 it holds a quote,it holds a line break,its line would be too long for the parameter "
    "file,a comma would split the list of the fields' values,it would read back otherwise";
constexpr char kWarningCaption[] = "0012";
constexpr std::uint16_t kMaxMessageLength = 1024;

bool IsQuote(char c) { return c == '\'' || c == '"'; }

std::string RightTrimmed(std::string_view s) {
    const std::size_t end = s.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(s.substr(0, end + 1));
}

std::string Trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// What the runtime reads of a keyword.
std::string KeywordValue(std::string_view attributes, std::string_view key) {
    if (attributes.size() > kMaxTextLength || key.size() > kMaxTextLength) return {};
    ScratchScope scope;
    const TextRef value = TextOptGet(TextView(attributes), TextView(key));
    return value.failed() ? std::string() : std::string(value.view());
}

std::uint16_t ItemCount(std::string_view list) {
    if (list.size() > kMaxTextLength) return 0;
    return ListCount(TextView(list), ',');
}

// Item n of a field keyword's list, as the runtime reads it: trimmed and unquoted.
std::string ItemValue(std::string_view list, std::uint16_t n) {
    if (list.size() > kMaxTextLength) return {};
    ScratchScope scope;
    return std::string(
        TextUnquote(TextTrim(ListItem(TextView(list), ',', n), TrimSides::Both)).view());
}

std::string WithItem(std::string_view list, std::uint16_t n, std::string_view value) {
    if (list.size() > kMaxTextLength || value.size() > kMaxTextLength) return std::string(list);
    ScratchScope scope;
    const TextRef set = ListSetItem(TextView(list), ',', n, TextView(value));
    return set.failed() ? std::string(list) : std::string(set.view());
}

// A value as an expression of the language that gives it: a quoted literal, or for a value with
// both kinds of quote, literals joined with "+".
std::string Literal(std::string_view value) {
    if (value.find('\'') == std::string_view::npos) return "'" + std::string(value) + "'";
    if (value.find('"') == std::string_view::npos) return "\"" + std::string(value) + "\"";
    std::string out;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t quote = value.find('\'', start);
        const std::size_t end = quote == std::string_view::npos ? value.size() : quote;
        if (!out.empty()) out += '+';
        out += "'" + std::string(value.substr(start, end - start)) + "'";
        if (quote == std::string_view::npos) break;
        out += "+\"'\"";
        start = quote + 1;
    }
    return out;
}

// The key of an item ("KEY=value"): what stands before its "=".
std::string_view ItemKey(std::string_view item) {
    const std::size_t eq = item.find('=');
    std::string_view key = item.substr(0, eq);
    while (!key.empty() && key.front() == ' ') key.remove_prefix(1);
    while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
    return eq == std::string_view::npos ? std::string_view() : key;
}

// The text with the keyword's item replaced by key=stored (added at the end when it had none);
// an empty stored value removes every item of the keyword.
std::string SetItem(std::string_view attributes, std::string_view key, std::string_view stored) {
    std::vector<std::string> items = AttributeItems(attributes);
    bool found = false;
    for (std::string& item : items) {
        if (ItemKey(item) != key || found) continue;
        found = true;
        if (!stored.empty()) item = std::string(key) + "=" + std::string(stored);
    }
    if (stored.empty()) {
        std::erase_if(items, [&](const std::string& item) { return ItemKey(item) == key; });
    } else if (!found) {
        items.push_back(std::string(key) + "=" + std::string(stored));
    }
    return JoinAttributeItems(items);
}

std::string Stored(std::string_view value) {
    if (value.empty() || value.find_first_not_of(kNumberCharacters) == std::string_view::npos) {
        return std::string(value);
    }
    return "'" + std::string(value) + "'";
}

// Whether the new text reads back as planned: every line's keyword gives what was entered (or,
// left alone, what it gave before), the other items of a field list stay, and every other key of
// the old text gives what it gave. The first line that does not, or npos.
std::size_t FirstMismatch(const AttributeFormPlan& plan, std::string_view before,
                          std::string_view after, const std::vector<std::string>& expected) {
    std::set<std::string> planned;
    for (std::size_t i = 0; i < plan.lines.size(); ++i) {
        const FormLine& line = plan.lines[i];
        planned.insert(line.keyword);
        const std::string now = KeywordValue(after, line.keyword);
        if (!line.perField) {
            if (now != expected[i]) return i;
            continue;
        }
        const std::string old = KeywordValue(before, line.keyword);
        if (ItemValue(now, plan.field) != expected[i]) return i;
        const std::uint16_t count = std::max(ItemCount(old), ItemCount(now));
        for (std::uint16_t n = 1; n <= count; ++n) {
            if (n != plan.field && ItemValue(now, n) != ItemValue(old, n)) return i;
        }
    }
    for (const std::string& item : AttributeItems(before)) {
        const std::string key(ItemKey(item));
        if (key.empty() || planned.count(key) != 0) continue;
        if (KeywordValue(after, key) != KeywordValue(before, key)) return 0;
    }
    return std::string::npos;
}

ValueRefusal RefusalOf(const FormLine& line, std::string_view entered, std::string_view stored) {
    if (entered.find_first_of("\r\n") != std::string_view::npos) return ValueRefusal::LineBreak;
    if (entered.find('\'') != std::string_view::npos) return ValueRefusal::Quote;
    if (line.perField && entered.find(',') != std::string_view::npos) return ValueRefusal::Comma;
    if (line.keyword.size() + 1 + stored.size() > kMaxItemLength) return ValueRefusal::TooLong;
    return ValueRefusal::None;
}

void ShowRefusal(std::string_view keyword, ValueRefusal refusal) {
    ScratchScope scope;
    const auto reason = static_cast<std::uint16_t>(refusal);
    MsgBox(TextFill(kMaxMessageLength, MsgText(kRefused),
                    {TextView(keyword), ListItem(MsgText(kRefusalReasons), ',', reason)}),
           MsgText(kWarningCaption), BoxKind::Warning);
}

} // namespace

KeywordKind KindOfKeyword(std::string_view keyword) {
    for (const char c : std::string_view("@($#")) {
        if (keyword.find(c) == std::string_view::npos) continue;
        if (c == '@') return KeywordKind::Short;
        if (c == '$') return KeywordKind::Long;
        return KeywordKind::NotOffered;
    }
    return KeywordKind::Short;
}

std::span<const ScreenTypeRow> ScreenTypes() { return kScreenTypes; }

std::vector<std::string> AttributeItems(std::string_view attributes) {
    std::vector<std::string> items;
    if (attributes.empty()) return items;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const char c = attributes[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (IsQuote(c)) {
            quote = c;
        } else if (c == ':') {
            items.emplace_back(attributes.substr(start, i - start));
            start = i + 1;
        }
    }
    items.emplace_back(attributes.substr(start));
    return items;
}

std::string JoinAttributeItems(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += ':';
        text += items[i];
    }
    return text;
}

std::vector<std::string> ParameterLines(std::string_view attributes) {
    std::vector<std::string> lines;
    for (std::string& item : AttributeItems(attributes)) {
        if (item.size() <= kMaxItemLength) {
            lines.push_back(std::move(item));
            continue;
        }
        std::size_t start = 0;
        for (std::size_t colon = item.find(':'); colon != std::string::npos;
             colon = item.find(':', start)) {
            lines.push_back(item.substr(start, colon - start));
            start = colon + 1;
        }
        lines.push_back(item.substr(start));
    }
    return lines;
}

AttributeFormPlan PlanAttributeForm(std::string_view keywords, std::string_view attributes,
                                    std::uint16_t field, std::string_view helpFile) {
    AttributeFormPlan plan;
    plan.field = field;
    plan.helpFile = helpFile;
    const auto add = [&](std::string keyword, bool perField) {
        FormLine line;
        line.kind = KindOfKeyword(keyword);
        if (line.kind == KeywordKind::NotOffered) return;
        line.perField = perField;
        const std::string value = KeywordValue(attributes, keyword);
        line.current = perField ? ItemValue(value, field) : value;
        const std::size_t width =
            line.kind == KeywordKind::Long ? kLongValueWidth : kShortValueWidth;
        if (line.current.size() > width) return; // the form could not show it whole
        line.shown = line.current;
        line.keyword = std::move(keyword);
        plan.lines.push_back(std::move(line));
    };
    std::size_t at = 0;
    while (at <= keywords.size()) {
        std::size_t comma = keywords.find(',', at);
        if (comma == std::string_view::npos) comma = keywords.size();
        const std::string keyword = Trimmed(keywords.substr(at, comma - at));
        if (!keyword.empty()) add(keyword, field != 0);
        at = comma + 1;
    }
    if (field != 0) {
        const std::string name =
            ItemValue(KeywordValue(attributes, kFieldNamesKeyword), field) + "$";
        const bool usable = name.size() > 1 && name.find_first_of(kNotInKey) == std::string::npos;
        const bool known = std::any_of(plan.lines.begin(), plan.lines.end(),
                                       [&](const FormLine& l) { return l.keyword == name; });
        if (usable && !known) add(name, false);
    }
    return plan;
}

std::string FormSpecification(const AttributeFormPlan& plan) {
    std::string spec;
    for (std::size_t i = 0; i < plan.lines.size(); ++i) {
        const FormLine& line = plan.lines[i];
        if (i > 0) spec += ',';
        spec += "\"" + line.keyword + ": \"";
        if (i == 0 && !plan.helpFile.empty()) {
            spec += std::string(" /") + kHelpSetting + "=\"" + plan.helpFile + "\"";
        }
        spec += line.kind == KeywordKind::Long ? ":\"A511\"" : ":\"A32\"";
        spec += "::" + Literal(line.shown);
    }
    return spec;
}

bool ReadAnswers(std::string_view answers, std::size_t count, std::vector<std::string>* values) {
    values->clear();
    if (answers.size() > kMaxTextLength) return false;
    ScratchScope scope;
    const TextRef list = TextView(answers);
    if (ListCount(list, ',') != count) return false;
    std::string again;
    for (std::uint16_t k = 1; k <= count; ++k) {
        const std::string value(TextUnquote(ListItem(list, ',', k)).view());
        const char quote = value.find('\'') != std::string::npos ? '"' : '\'';
        if (k > 1) again += ',';
        again += quote + value + quote;
        values->push_back(value);
    }
    return again == answers;
}

FormApplied ApplyFormValues(const AttributeFormPlan& plan, std::string_view attributes,
                            const std::vector<std::string>& values) {
    FormApplied out;
    out.attributes.assign(attributes);
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < plan.lines.size(); ++i) {
        const FormLine& line = plan.lines[i];
        const std::string entered =
            i < values.size() ? (line.perField ? Trimmed(values[i]) : RightTrimmed(values[i]))
                              : line.current;
        expected.push_back(entered == RightTrimmed(line.current) ? line.current : entered);
        if (entered == RightTrimmed(line.current)) continue;
        const std::string value =
            line.perField
                ? WithItem(KeywordValue(out.attributes, line.keyword), plan.field, entered)
                : entered;
        const std::string stored = Stored(value);
        const ValueRefusal refusal = RefusalOf(line, entered, stored);
        if (refusal != ValueRefusal::None) {
            return {std::string(attributes), false, refusal, i};
        }
        out.attributes = SetItem(out.attributes, line.keyword, stored);
        out.changed = true;
    }
    const std::size_t mismatch = FirstMismatch(plan, attributes, out.attributes, expected);
    if (mismatch != std::string::npos) {
        return {std::string(attributes), false, ValueRefusal::Other, mismatch};
    }
    return out;
}

StatusCode RunAttributeForm(std::string_view keywords, TextRef title, TextRef parameters,
                            std::uint16_t screen, std::uint16_t field, std::string_view helpFile) {
    std::vector<std::string> records;
    StatusCode st = ReadBlock(parameters, LineKind::Parameters, screen, &records);
    if (st == status::kFileNotFound) {
        st = status::kOk; // no parameter file yet: no attributes yet
    } else if (st != status::kOk) {
        return st;
    }
    const std::string attributes = JoinAttributeItems(records);
    AttributeFormPlan plan = PlanAttributeForm(keywords, attributes, field, helpFile);
    FormApplied applied;
    for (;;) {
        const std::string spec = FormSpecification(plan);
        if (spec.size() > kMaxTextLength) return status::kStringTooLong;
        PromptResult result;
        {
            ScratchScope scope;
            result = RunPrompt(TextView(spec), title, 0);
        }
        if (result.status == status::kCancelled) return formresult::kCancelled;
        if (result.status != status::kOk) return result.status;
        std::vector<std::string> values;
        if (!ReadAnswers(result.answers, plan.lines.size(), &values)) {
            ShowRefusal("", ValueRefusal::Quote);
            continue;
        }
        applied = ApplyFormValues(plan, attributes, values);
        if (applied.refusal == ValueRefusal::None) break;
        ShowRefusal(plan.lines[applied.line].keyword, applied.refusal);
        for (std::size_t i = 0; i < plan.lines.size() && i < values.size(); ++i) {
            plan.lines[i].shown = values[i];
        }
    }
    if (applied.changed || field != 0) {
        st = RewriteBlock(parameters, LineKind::Parameters, screen,
                          ParameterLines(applied.attributes));
        if (st != status::kOk) return st;
    }
    return applied.changed ? formresult::kChanged : formresult::kUnchanged;
}

} // namespace vodarir
