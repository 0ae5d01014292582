// The expression evaluator: expression texts evaluated straight from their text, token by token,
// with values on the ScratchStack; the entry points the rest of the runtime calls.
//
// Values: a text value is a TextRef on the ScratchStack; a number (FixedNumber, the value times
// 10^D, D = _PRECIS limited to 0..4) is an 8-byte level holding the integer. Values carry no type
// tag: the class of the token that produced a value (its text bit) says which it is, and travels
// in the TokenCursor.
//
// Ownership: every entry point takes a ScratchStack mark first and releases to it, keeping only
// its result: EvalExpression leaves the value one level above the caller's depth, EvalText and
// EvalIfText answer a TextRef there (valid until the caller releases below it), the others leave
// the stack as they found it.
//
// Grammar, as the operator loop reads it (no tree is built):
//   text      := statement { (";" | "," | ":" | unknown operator) statement }
//   statement := operand { operator operand }     -- operators bind by the precedence table;
//                                                     equal precedences group from the left
//   operand   := number | "." name | 'text' | "text" | name | name "(" args ")" | "(" text ")"
//              | field "{" file "}" | empty         -- an empty operand is 0: "-5" is 0 - 5
// An empty operand (a sign) binds to everything after it of at least its operator's precedence,
// so "2*-3+4" is 2 * (0 - 3 + 4). An assignment met on the right of an operator is made first,
// since its target has no value of its own: "a=b=5" sets b and then a, "1+c=5" gives 6.
#pragma once

#include <cstdint>

#include "runtime/text/scratch_stack.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"
#include "script/tokens.h"

namespace vodarir {

using FixedNumber = std::int64_t;

// Nested groups, calls, array indexes and signs deeper than this are refused with kStrOutBound
// instead of running the machine's stack out.
inline constexpr std::uint16_t kMaxEvalNesting = 200;
// Origins of errors recorded by the evaluator in the error trail.
inline constexpr std::uint16_t kOriginEvaluation = 14;
inline constexpr std::uint16_t kOriginAssignment = 15;

// --- Entry points ------------------------------------------------------------------------------

// A status when it is not 0; otherwise 0 when the value left on the stack is a number, 1 when it
// is a text.
StatusCode EvalExpression(TextRef text);
// EvalExpression, telling the kind of the value also when the status is informative (below 128,
// when EvalExpression answers the status instead): isText receives it. The value is left as
// EvalExpression leaves it.
StatusCode EvalValue(TextRef text, bool* isText);
// 1 for an empty (or blank) text; 1 for a number other than 0; 0 for zero or a text value; an
// error status (128 or more) is passed through.
StatusCode EvalCondition(TextRef text);
// The value as a 16-bit integer (value / 10^D, rounded half away from zero). An error, a text
// result or a value outside -32768..32767 is reported as a failed assertion naming the text, and
// then answers 0; failure, when given, receives why, so that the caller gives up with it: the
// evaluation's own status, kIncompatibleTypes for a text, kDataOutBound for a value out of range (0
// when it succeeded).
std::int16_t EvalInteger(TextRef text, StatusCode* failure = nullptr);
// The raw FixedNumber; 0 on an error or a text result.
FixedNumber EvalNumber(TextRef text);
// A number in its shortest decimal form, or the text value; the failed TextRef of the status on
// an error.
TextRef EvalText(TextRef text);
// The status when it is 128 or more, else 0.
StatusCode EvalStatus(TextRef text);
// When a scan of the text's tokens raises no status and its last token is a text, EvalText of
// it; otherwise the input text itself.
TextRef EvalIfText(TextRef text);

// --- Steps the built-in functions and prompt dialogs call --------------------------------------

// Reads the operand that follows the cursor and pushes its value (exactly one level), unless it
// is the target of "=" or its token failed to classify (then nothing is pushed). An empty
// operand pushes 0 and answers status kNullExpression.
TokenCursor ReadOperand(TokenCursor cursor);
// The precedence loop: the cursor describes the left operand, already on the stack, and the
// operator after it. Applies operators of at least `minimum` precedence, leaving one value where
// the left operand was. The returned cursor's class is reduced to its text bit.
TokenCursor ApplyOperators(TokenCursor cursor, std::uint16_t minimum);
// The statement sequence over an already prepared text (blank-free, macros expanded), as a group
// is evaluated: the value of the last statement is left one level above the caller's depth.
// kind receives 1 for a text value, 0 for a number.
StatusCode EvalPrepared(TextRef text, std::uint16_t* kind);

// --- Arguments of a group: the text between the parentheses of a call or an array element ----

// A cursor over the group that follows the token of `call`, before its first argument.
TokenCursor ArgumentCursor(const TokenCursor& call);
inline bool ArgumentsLeft(const TokenCursor& args) { return args.next < args.length; }
// True when the next argument is empty: a ";" or "," comes right away.
bool ArgumentIsEmpty(const TokenCursor& args);
// Evaluates the next argument, up to the ";" or "," that ends it, and moves the cursor past it.
// The value is left one level above the caller's depth (nothing on an error of 128 or more);
// isText receives its kind. An empty argument gives 0 and status kNullExpression.
StatusCode EvalArgument(TokenCursor* args, bool* isText);
// Moves the cursor past the next argument without evaluating anything: up to the next ";" or ","
// outside quotes and outside nested parentheses, or to the end.
void SkipArgument(TokenCursor* args);

// --- Values on the stack -----------------------------------------------------------------------

StatusCode PushNumber(FixedNumber value);
// n × 10^D.
StatusCode PushInteger(std::int64_t n);
StatusCode PushText(TextRef text);
// Leaves the top value one level above mark, copying it down over what lies between (or pushes
// the number 0 when nothing is above mark).
StatusCode KeepTopValue(ScratchLevel mark);
// The number a value level holds (0 for a level that is not 8 bytes long).
FixedNumber NumberValue(TextRef value);
// The text form of a value: a number in its shortest decimal form (on the ScratchStack), a text
// as it is.
TextRef ValueText(TextRef value, bool isText);

} // namespace vodarir
