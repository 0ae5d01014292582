// Built-in functions: text length, substring, the conditional pair and the nested SQL scope.
#include "script/builtin_functions.h"

#include <algorithm>

#include "runtime/store/number_text.h"
#include "runtime/text/scratch_stack.h"
#include "script/evaluator.h"

namespace vodarir::builtin {

namespace {

using namespace literals;

// The empty value of a kind: the empty text or the number 0.
StatusCode PushEmpty(bool text) { return text ? PushText(""_t) : PushNumber(0); }

// Evaluates every argument left in turn, keeping only the last value.
StatusCode EvalRemaining(TokenCursor* args, bool* isText) {
    ScratchScope scope;
    StatusCode st = status::kOk;
    while (ArgumentsLeft(*args)) {
        scope.Release();
        st = EvalArgument(args, isText);
        if (st >= status::kFirstError) return st;
    }
    scope.Keep();
    return st;
}

// CHK# and CHK$: the condition (already evaluated as argument 1) chooses between the raw
// argument texts that follow it; only the chosen one is evaluated.
StatusCode Check(const BuiltinCall& call, bool wantText) {
    FixedNumber condition = 0;
    const StatusCode st = ArgNumber(call, 1, 0, &condition);
    if (st != status::kOk) return st;
    TokenCursor args = ArgumentCursor(call.token);
    SkipArgument(&args); // the condition
    const bool first = FixedToWhole(condition, FixedDecimals()) != 0;
    if (!first) SkipArgument(&args); // a
    if (!ArgumentsLeft(args) || (first && ArgumentIsEmpty(args))) return PushEmpty(wantText);
    ScratchScope scope;
    bool isText = wantText;
    const StatusCode chosen = first ? EvalArgument(&args, &isText) : EvalRemaining(&args, &isText);
    if (chosen >= status::kFirstError) return chosen;
    if (isText != wantText) return status::kUnusualType; // the value goes with the scope
    scope.Keep();
    return status::kOk;
}

} // namespace

StatusCode TextLength(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 0, 1);
    TextRef text = ""_t;
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &text);
    return st != status::kOk ? st : PushInteger(text.length);
}

StatusCode Middle(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 3);
    std::int16_t length = -1;
    std::int16_t start = -1;
    TextRef text = ""_t;
    if (st == status::kOk) st = ArgInteger(call, 3, -1, &length);
    if (st == status::kOk) st = ArgInteger(call, 2, -1, &start);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &text);
    if (st != status::kOk) return st;
    const int size = text.length;
    // Start 1 is the first character, -1 the last; 0 reads as the first.
    int from = start > 0 ? start - 1 : (start < 0 ? size + start : 0);
    from = std::clamp(from, 0, size);
    const int count = length < 0 ? size - from : std::min<int>(length, size - from);
    return PushText(TextRef(text.data + from, static_cast<std::uint16_t>(count)));
}

StatusCode CheckNumber(const BuiltinCall& call) { return Check(call, false); }

StatusCode CheckText(const BuiltinCall& call) { return Check(call, true); }

StatusCode SqlChild(const BuiltinCall&) { return PushNumber(0); }

} // namespace vodarir::builtin
