// Bracket templates, the item mark, and condition texts.
#include "script/templates.h"

#include <cstring>
#include <initializer_list>

#include "host/paths.h"
#include "masks/plain_number.h"
#include "runtime/store/command_options.h"
#include "runtime/store/number_text.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ops.h"
#include "script/evaluator.h"

namespace vodarir {

using namespace literals;

namespace {

constexpr char kOpen = '[';
constexpr char kClose = ']';
constexpr char kNameSeparator = ',';
constexpr TextRef kKeyValueSeparators = "=:"_t;
constexpr TextRef kItemMark = "[$]"_t;
constexpr TextRef kAnd = "&&"_t;
constexpr TextRef kOr = "||"_t;
// EvalExpression answers this for a text value (0 for a number).
constexpr StatusCode kTextValue = 1;

bool IsQuote(char c) { return c == '\'' || c == '"'; }

// The last "[" before `before`, outside quotes unless plain.
std::uint16_t LastOpen(TextRef t, std::uint16_t before, bool plain) {
    std::uint16_t found = kNotFound;
    char quote = 0;
    for (std::uint16_t i = 0; i < before; ++i) {
        const char c = t.data[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (!plain && IsQuote(c)) {
            quote = c;
        } else if (c == kOpen) {
            found = i;
        }
    }
    return found;
}

// The value of key in a comma list of key=value or key:value items.
bool NamedValue(TextRef names, TextRef key, TextRef* value) {
    const std::uint16_t count = ListCount(names, kNameSeparator);
    for (std::uint16_t n = 1; n <= count; ++n) {
        const TextRef item = ListItem(names, kNameSeparator, n);
        const std::uint16_t at = TextFindAny(item, 0, kKeyValueSeparators, true);
        if (at == kNotFound) continue;
        if (TextTrim(TextSub(item, 0, at), TrimSides::Both).view() != key.view()) continue;
        *value = TextClean(TextSub(item, at + 1, -1));
        return true;
    }
    return false;
}

// Names, command-line options, environment: the first that knows the name (a non-empty value
// outside the name list).
bool LookedUpValue(TextRef name, TextRef names, TextRef* value) {
    if (NamedValue(names, name, value)) return true;
    bool found = false;
    const TextRef option = CommandLineOption(name, &found);
    if (found && !option.empty()) {
        *value = option;
        return true;
    }
    const TextRef env = EnvValue(name);
    if (!env.failed() && !env.empty()) {
        *value = env;
        return true;
    }
    return false;
}

TextRef EvaluatedValue(TextRef expression, int flags) {
    const StatusCode st = EvalExpression(expression);
    if (st >= status::kFirstError) return TextRef::Failed(st);
    const TextRef top = ScratchTop();
    if (st == kTextValue) return top;
    const TextRef number = FixedToText(NumberValue(top));
    if (number.empty() && (flags & templateflag::kZeroIsEmpty) == 0) return TextDup("0"_t);
    return number;
}

TextRef BracketValue(TextRef inner, int flags, TextRef names) {
    TextRef value;
    if ((flags & templateflag::kLookUpNames) == 0 || !LookedUpValue(inner, names, &value)) {
        value = EvaluatedValue(inner, flags);
    }
    if (value.failed()) return value;
    if ((flags & templateflag::kKeepBlanks) == 0) value = TextTrim(value, TrimSides::Both);
    if ((flags & templateflag::kEnclose) != 0) {
        value = TextEnclose(value, (flags & templateflag::kDoubleQuotes) != 0 ? '"' : '\'');
    }
    return value;
}

// Both texts read as whole plain numbers, or -2 when one does not; else -1, 0 or 1.
int CompareNumbers(TextRef a, TextRef b) {
    FixedNumber x = 0;
    FixedNumber y = 0;
    const masks::PlainNumber na = masks::ReadPlainNumber(a);
    const masks::PlainNumber nb = masks::ReadPlainNumber(b);
    if (!na.valid || !nb.valid || na.used != a.size() || nb.used != b.size()) return -2;
    if (FixedFromText(a, kMaxDecimals, &x) != status::kOk) return -2;
    if (FixedFromText(b, kMaxDecimals, &y) != status::kOk) return -2;
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool Less(TextRef a, TextRef b) {
    const int numeric = CompareNumbers(a, b);
    return numeric == -2 ? TextCompare(a, b) < 0 : numeric < 0;
}

// The pieces one after the other in one new level; kStringTooLong beyond 65535 bytes.
TextRef Joined(std::initializer_list<TextRef> pieces) {
    std::uint32_t length = 0;
    for (TextRef p : pieces) {
        if (p.failed()) return p;
        length += p.size();
    }
    if (length > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    const TextRef out = ScratchAllocText(length, kNoFill);
    if (out.failed()) return out;
    char* at = out.mutableData();
    for (TextRef p : pieces) {
        if (p.size() != 0) std::memcpy(at, p.data, p.size());
        at += p.size();
    }
    return out;
}

TextRef FieldRange(TextRef field, TextRef from, TextRef to) {
    if (to.empty() || !Less(from, to)) return Joined({field, "=="_t, from});
    return Joined({"("_t, field, ">="_t, from, kAnd, field, "<="_t, to, ")"_t});
}

} // namespace

TextRef ExpandTemplate(TextRef text, int flags, TextRef names) {
    if (text.failed()) return text;
    const bool plain = (flags & templateflag::kPlainSearch) != 0;
    ScratchScope scope;
    // Copies first: evaluating a bracket may change the slot store these might be views of.
    const TextRef keys = TextDup(names.failed() ? TextRef() : names);
    const ScratchLevel base = ScratchDepth(); // the working text is kept just above the keys
    TextRef current = TextDup(text);
    std::uint16_t from = 0;
    while (!current.failed()) {
        const std::uint16_t close = TextFindChr(current, from, kClose, plain);
        const std::uint16_t open = close == kNotFound ? kNotFound : LastOpen(current, close, plain);
        if (open == kNotFound) break;
        const TextRef inner = TextSub(current, open + 1, close - open - 1);
        const TextRef value = BracketValue(inner, flags, keys);
        if (value.failed()) {
            current = value;
            break;
        }
        const TextRef expanded = TextConcat(TextConcat(TextSub(current, 0, open), value),
                                            TextSub(current, close + 1, -1));
        from = static_cast<std::uint16_t>(open + value.size());
        current = ScratchReturn(base, expanded);
    }
    return scope.Return(current);
}

TextRef ReplaceItemMark(TextRef text, TextRef value) {
    return TextReplace(text, kItemMark, value, true);
}

TextRef ConditionCompare(TextRef field, CompareOp op, TextRef value, char type) {
    if (field.failed()) return field;
    if (value.failed()) return value;
    if (value.empty()) return TextDup(TextRef());
    ScratchScope scope;
    const int n = static_cast<int>(op);
    const int last = static_cast<int>(kLastCompareOperator);
    const int k = n < 1 ? 1 : (n > last ? last : n);
    const TextRef oper = ListItem(kCompareOperators, ',', static_cast<std::uint16_t>(k));
    const bool unquoted =
        type != '\0' && TextFindChr(kUnquotedFieldTypes, 0, type, true) != kNotFound;
    const TextRef quote = unquoted ? TextRef() : "'"_t;
    return scope.Return(Joined({field, oper, quote, value, quote}));
}

TextRef ConditionAppend(TextRef condition, TextRef comparison) {
    return TextJoin(condition, kAnd, comparison);
}

TextRef KeyRangeCondition(TextRef fields, TextRef from, TextRef to) {
    for (TextRef in : {fields, from, to}) {
        if (in.failed()) return in;
    }
    ScratchScope scope;
    TextRef out = TextRef();
    const std::uint16_t count = from.empty() ? 0 : ListCount(fields, ',');
    for (std::uint16_t n = 1; n <= count && !out.failed(); ++n) {
        const TextRef field = TextTrim(ListItem(fields, ',', n), TrimSides::Both);
        if (field.empty()) continue;
        out = TextJoin(out, kOr, FieldRange(field, from, to));
    }
    return scope.Return(out);
}

} // namespace vodarir
