// Argument helpers shared by the built-in handlers.
#include "script/builtin_support.h"

#include "runtime/store/number_text.h"
#include "runtime/text/scratch_stack.h"
#include "script/evaluator.h"

namespace vodarir::builtin {

StatusCode ArgTextAny(const BuiltinCall& call, std::uint16_t i, TextRef fallback, TextRef* out,
                      bool* isText) {
    bool text = true;
    const StatusCode st = ArgAny(call, i, fallback, &text);
    if (isText != nullptr) *isText = text;
    if (st != status::kOk) return st;
    *out = text ? ScratchTop() : FixedToText(NumberValue(ScratchTop()));
    return out->failed() ? out->status() : status::kOk;
}

StatusCode ArgWhole(const BuiltinCall& call, std::uint16_t i, std::int64_t fallback,
                    std::int64_t min, std::int64_t max, std::int64_t* out) {
    *out = fallback;
    FixedNumber value = 0;
    const bool given = ArgGiven(call, i);
    const StatusCode st = ArgNumber(call, i, 0, &value);
    if (st != status::kOk || !given) return st;
    const std::int64_t whole = FixedToWhole(value, FixedDecimals());
    if (whole < min || whole > max) return status::kDataOutBound;
    *out = whole;
    return status::kOk;
}

StatusCode ArgCharacter(const BuiltinCall& call, std::uint16_t i, char fallback, char* out) {
    std::int64_t code = static_cast<unsigned char>(fallback);
    const StatusCode st = ArgWhole(call, i, code, 0, kMaxCharacterCode, &code);
    *out = static_cast<char>(code);
    return st;
}

StatusCode PushResult(TextRef text) { return text.failed() ? text.status() : PushText(text); }

TextRef RestOfGroup(const TokenCursor& args) {
    const std::uint32_t from = args.next < args.length ? args.next : args.length;
    return TextRef(args.text + from, static_cast<std::uint16_t>(args.length - from));
}

TextRef NextRawArgument(TokenCursor* args) {
    const std::uint32_t begin = args->next;
    SkipArgument(args);
    std::uint32_t end = args->next;
    // The separator that ended the argument is not part of it.
    if (end > begin && (args->text[end - 1] == ';' || args->text[end - 1] == ',')) --end;
    if (begin >= end) return TextRef(args->text + (begin < args->length ? begin : args->length), 0);
    return TextRef(args->text + begin, static_cast<std::uint16_t>(end - begin));
}

} // namespace vodarir::builtin
