// Built-in functions over texts and lists: FN#PARM, FN$PARM, FN$TRIM, FN$CHRS, FN$CHNG, ENVELOP$,
// EXP$, FN$MASK and MACRO$.
#include <cstring>

#include "masks/formatting.h"
#include "runtime/store/number_text.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/builtin_functions.h"
#include "script/builtin_support.h"
#include "script/evaluator.h"
#include "script/templates.h"

namespace vodarir::builtin {

namespace {

using namespace literals;

constexpr char kComma = ',';
constexpr std::int64_t kLastItem = 0xFFFF;

constexpr TextRef kTrimModes = "LEFTTRIM,RIGHTRIM,BOTHTRIM,FIT"_t;
constexpr int kTrimFit = 4; // item number of "FIT"

constexpr TextRef kChangeKeywords = "UCASE,LCASE,CLEAN,FILTER"_t;
namespace change {
constexpr std::uint16_t kUpper = 1;
constexpr std::uint16_t kLower = 2;
constexpr std::uint16_t kClean = 3;
constexpr std::uint16_t kFilter = 4;
} // namespace change

// MACRO$ flags: names given (expanded with kNamedTemplateFlags), and evaluate the result.
constexpr std::int64_t kMacroNames = 4;
constexpr std::int64_t kMacroEvaluate = 8;
constexpr std::int64_t kMaxFlags = 0xFFFF;

constexpr std::uint16_t kPlaceholderMaximum = 8; // "$" + five digits + "_"

// The characters of subject that occur in keep, in order.
TextRef KeepOnly(TextRef subject, TextRef keep) {
    const TextRef out = ScratchAllocText(subject.length, kNoFill);
    if (out.failed()) return out;
    std::uint16_t n = 0;
    for (std::uint16_t i = 0; i < subject.length; ++i) {
        if (keep.length != 0 && std::memchr(keep.data, subject.data[i], keep.length) != nullptr) {
            out.mutableData()[n++] = subject.data[i];
        }
    }
    return TextRef(out.data, n);
}

// with cut into as many equal pieces as codes has characters; every occurrence of piece k is
// replaced by character k of codes, from the first piece to the last.
TextRef ReplacePieces(TextRef subject, TextRef with, TextRef codes) {
    const std::uint16_t piece = codes.length == 0 ? 0 : with.length / codes.length;
    if (piece == 0) return TextDup(subject);
    ScratchScope scope;
    TextRef result = subject;
    for (std::uint16_t k = 0; k < codes.length && !result.failed(); ++k) {
        const TextRef from(with.data + k * piece, piece);
        result = ScratchReturn(scope.mark(),
                               TextReplace(result, from, TextRef(codes.data + k, 1), true));
    }
    return scope.Return(result);
}

TextRef ChangeText(TextRef subject, TextRef what, TextRef with, bool flagGiven, bool flagText,
                   TextRef flagValue) {
    switch (ListFind(kChangeKeywords, what, kComma)) {
    case change::kUpper:
        return TextCase(subject, LetterCase::Upper);
    case change::kLower:
        return TextCase(subject, LetterCase::Lower);
    case change::kClean:
        return TextSqueeze(subject, ' ', true);
    case change::kFilter:
        return flagGiven && flagText ? ReplacePieces(subject, with, flagValue)
                                     : KeepOnly(subject, with);
    default: {
        // A number flag other than 0 replaces inside quoted literals too.
        const bool plain = flagGiven && !flagText && NumberValue(flagValue) != 0;
        return TextReplace(subject, what, with, plain);
    }
    }
}

} // namespace

StatusCode ListPosition(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 3);
    TextRef values = ""_t;
    TextRef item = ""_t;
    TextRef list = ""_t;
    if (st == status::kOk) st = ArgText(call, 3, ""_t, &values);
    if (st == status::kOk) st = ArgTextAny(call, 2, ""_t, &item);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &list);
    if (st != status::kOk) return st;
    if (call.count == 1) return PushInteger(ListCount(list, kComma));
    const std::uint16_t position = ListFind(list, item, kComma);
    if (call.count == 2) return PushInteger(position);
    const TextRef entry =
        TextUnquote(TextTrim(ListItem(values, kComma, position), TrimSides::Both));
    FixedNumber value = 0;
    st = FixedFromText(entry, &value);
    return st != status::kOk ? st : PushNumber(value);
}

StatusCode ListItemText(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 3);
    char separator = kComma;
    std::int64_t item = -1;
    TextRef list = ""_t;
    if (st == status::kOk) st = ArgCharacter(call, 3, kComma, &separator);
    if (st == status::kOk) st = ArgWhole(call, 2, -1, INT16_MIN, kLastItem, &item);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &list);
    if (st != status::kOk) return st;
    // Item 0 and negative items name nothing.
    if (item <= 0) return PushText(""_t);
    return PushResult(ListItem(list, separator, static_cast<std::uint16_t>(item)));
}

StatusCode Trim(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 2);
    TextRef mode = "BOTHTRIM"_t;
    TextRef text = ""_t;
    if (st == status::kOk) st = ArgText(call, 2, mode, &mode);
    if (st == status::kOk) st = ArgTextAny(call, 1, ""_t, &text);
    if (st != status::kOk) return st;
    const int which = ListFind(kTrimModes, mode, kComma);
    if (which == 0) return status::kSyntax;
    if (which == kTrimFit) return PushResult(TextClean(text));
    // The first three keywords are the ends by their numbers.
    return PushResult(TextTrim(text, static_cast<TrimSides>(which)));
}

StatusCode Characters(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 2);
    std::int64_t count = 1;
    if (st == status::kOk) st = ArgWhole(call, 2, 1, INT64_MIN, kMaxTextLength, &count);
    if (st != status::kOk) return st;
    bool isText = false;
    TextRef unit;
    ScratchScope scope;
    st = ArgAny(call, 1, ""_t, &isText);
    if (st != status::kOk) return st;
    char code = 0;
    if (isText) {
        unit = ScratchTop();
    } else {
        const std::int64_t whole = FixedToWhole(NumberValue(ScratchTop()), FixedDecimals());
        if (whole < 0 || whole > kMaxCharacterCode) return status::kDataOutBound;
        code = static_cast<char>(whole);
        unit = TextRef(&code, 1);
    }
    // A count of 0 or less (a width already exceeded) repeats nothing.
    const TextRef result = count <= 0 ? ""_t : TextRepeat(unit, static_cast<std::uint16_t>(count));
    return result.failed() ? result.status() : scope.Return(result).status();
}

StatusCode Change(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 2, 4);
    if (st != status::kOk) return st;
    const bool flagGiven = ArgGiven(call, 4);
    bool flagText = false;
    st = ArgAny(call, 4, ""_t, &flagText);
    const TextRef flag = ScratchTop();
    TextRef with = ""_t;
    TextRef what = ""_t;
    TextRef subject = ""_t;
    if (st == status::kOk) st = ArgText(call, 3, ""_t, &with);
    if (st == status::kOk) st = ArgText(call, 2, ""_t, &what);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &subject);
    if (st != status::kOk) return st;
    return PushResult(ChangeText(subject, what, with, flagGiven, flagText, flag));
}

StatusCode Envelop(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 2);
    char character = '\'';
    TextRef text = ""_t;
    if (st == status::kOk) st = ArgCharacter(call, 2, character, &character);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &text);
    return st != status::kOk ? st : PushResult(TextEnclose(text, character));
}

StatusCode Template(const BuiltinCall& call) {
    TextRef result = ""_t;
    StatusCode st = ArgText(call, 1, ""_t, &result);
    if (st != status::kOk) return st;
    TokenCursor args = ArgumentCursor(call.token);
    SkipArgument(&args); // the template itself
    ScratchScope scope;
    for (unsigned k = 1; ArgumentsLeft(args); ++k) {
        const TextRef token = NextRawArgument(&args);
        const TextRef placeholder = TextFormat(kPlaceholderMaximum, "$%u_", k);
        result = placeholder.failed() ? placeholder : TextReplace(result, placeholder, token, true);
        if (result.failed()) return result.status();
        result = ScratchReturn(scope.mark(), result);
    }
    // The result goes on top of its last copy; the call keeps the top value.
    scope.Keep();
    return PushResult(result);
}

StatusCode Mask(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 2, 3);
    std::int64_t style = 0;
    TextRef value = ""_t;
    TextRef mask = ""_t;
    if (st == status::kOk) st = ArgWhole(call, 3, 0, INT16_MIN, INT16_MAX, &style);
    if (st == status::kOk) st = ArgTextAny(call, 2, ""_t, &value);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &mask);
    if (st != status::kOk) return st;
    return PushResult(style != 0 ? NumericMask(mask, value, false) : ApplyMask(mask, value));
}

StatusCode Macro(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 3);
    TextRef names = ""_t;
    std::int64_t flags = 0;
    TextRef subject = ""_t;
    if (st == status::kOk) st = ArgText(call, 3, ""_t, &names);
    if (st == status::kOk) st = ArgWhole(call, 2, 0, 0, kMaxFlags, &flags);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &subject);
    if (st != status::kOk) return st;
    const bool named = (flags & kMacroNames) != 0;
    TextRef result = ExpandTemplate(subject, named ? kNamedTemplateFlags : static_cast<int>(flags),
                                    named ? names : TextRef());
    if (!result.failed() && (flags & kMacroEvaluate) != 0) {
        result = EvalText(TextTrim(result, TrimSides::Both));
    }
    return PushResult(result);
}

} // namespace vodarir::builtin
