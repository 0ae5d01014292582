// Built-in functions of the expression language: the function list, the call (arguments
// evaluated onto SlotStore group 35, then the handler), the handler table, the argument readers
// and the cursor API that handlers use to read raw argument text.
//
// Ownership: arguments live in SlotStore group 35 for the duration of one call and are cut back
// when it returns; a handler leaves its result on the ScratchStack (one value level) and the
// call hands it down to the caller's depth. Texts the argument readers answer are copies on the
// ScratchStack (the store moves as arguments are taken off it).
//
// Writing a handler (StatusCode Handler(const BuiltinCall& call)):
//  - Evaluated arguments: call.count of them, kinds ArgKind(call, i) (0 number, 1 text; an
//    omitted argument is a number-kind marker that every reader treats as absent). Check the
//    count first with ArgCountIn, then read them once each, from the last to the first, with
//    ArgInteger / ArgNumber / ArgText / ArgAny: each reader takes its argument off group 35.
//  - Raw argument text (functions that evaluate only some of their arguments, or none):
//    GroupText(call.token) is the text between the parentheses. ArgumentCursor(call.token)
//    (script/evaluator.h) gives a cursor over it; ArgumentsLeft(c) tells whether anything is
//    left, ArgumentIsEmpty(c) whether the next argument is empty, SkipArgument(&c) steps over
//    one argument without evaluating it, EvalArgument(&c, &isText) evaluates one and leaves its
//    value on the ScratchStack (hold a ScratchScope around it when it is not the result).
//    EvalText / EvalInteger / EvalStatus (script/evaluator.h) evaluate a whole text of their own.
//  - The result: push exactly one value of the function's kind (a name with "$" returns text,
//    every other name a number) with PushText, PushNumber (a FixedNumber) or PushInteger (a whole
//    number, scaled by 10^D). A handler that pushes nothing gets the empty text or 0.
//  - Answer 0, or the status: kSyntax for a wrong argument count, kIncompatibleTypes for a wrong
//    argument kind, kUnusualType for a result of the wrong kind. Statuses below 128 keep the
//    result; 128 and above drop it and end the expression.
//  - Fill its entry of the table in builtins.cpp (kHandlers, by function number).
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/store/slot_store.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"
#include "script/tokens.h"

namespace vodarir {

using FixedNumber = std::int64_t;

// The built-in names; a function's number is its 1-based position.
inline constexpr char kBuiltinFunctionList[] =
    "_#,FN#FLEN,FN#SLEN,FN#PARM,FN#VALN,FN#ACUM,CHK#,FILEFIND,FILEREL,FILELOCATE,FILESEL,FN$CHNG,"
    "FN$CHRS,FN$DATE,FN$FLDS,FN$MASK,FN$MIDS,FN$PARM,FN$TRIM,ENVELOP$,CHK$,SORT$,EXEC$,READ$,"
    "WRITE,MACRO$,ENVRON$,_$,KEY$,TIME$,IER,EXP$,SQLCHILD";
inline constexpr std::uint16_t kBuiltinFunctionCount = 33;
// The host may add this many functions (numbers 34 to 49) with RegisterFunction.
inline constexpr std::uint16_t kMaxAddedFunctions = 16;
// Environment slot holding the active list when it is not empty (dot constant "funclist").
inline constexpr SlotIndex kFunctionListSlot = 8;
// Arguments evaluated per call; further arguments are not evaluated.
inline constexpr std::uint16_t kMaxCallArguments = 16;
// An omitted argument on group 35.
inline constexpr char kEmptyArgumentMarker = '\x1B';
// SQLCHILD scopes may nest this deep.
inline constexpr std::int16_t kMaxSqlNesting = 7;

// Function numbers.
namespace fn {
inline constexpr std::uint16_t kAccumulator = 1;  // _#
inline constexpr std::uint16_t kFileLength = 2;   // FN#FLEN
inline constexpr std::uint16_t kTextLength = 3;   // FN#SLEN
inline constexpr std::uint16_t kListPosition = 4; // FN#PARM
inline constexpr std::uint16_t kValue = 5;        // FN#VALN
inline constexpr std::uint16_t kSum = 6;          // FN#ACUM
inline constexpr std::uint16_t kCheckNumber = 7;  // CHK#
inline constexpr std::uint16_t kFileFind = 8;
inline constexpr std::uint16_t kFileRelation = 9; // FILEREL
inline constexpr std::uint16_t kFileLocate = 10;
inline constexpr std::uint16_t kFileSelect = 11;
inline constexpr std::uint16_t kChange = 12;      // FN$CHNG
inline constexpr std::uint16_t kCharacters = 13;  // FN$CHRS
inline constexpr std::uint16_t kDate = 14;        // FN$DATE
inline constexpr std::uint16_t kFieldValue = 15;  // FN$FLDS
inline constexpr std::uint16_t kMask = 16;        // FN$MASK
inline constexpr std::uint16_t kMiddle = 17;      // FN$MIDS
inline constexpr std::uint16_t kListItem = 18;    // FN$PARM
inline constexpr std::uint16_t kTrim = 19;        // FN$TRIM
inline constexpr std::uint16_t kEnvelop = 20;     // ENVELOP$
inline constexpr std::uint16_t kCheckText = 21;   // CHK$
inline constexpr std::uint16_t kSort = 22;        // SORT$
inline constexpr std::uint16_t kExecute = 23;     // EXEC$
inline constexpr std::uint16_t kRead = 24;        // READ$
inline constexpr std::uint16_t kWrite = 25;       // WRITE
inline constexpr std::uint16_t kMacro = 26;       // MACRO$
inline constexpr std::uint16_t kEnvironment = 27; // ENVRON$
inline constexpr std::uint16_t kSlots = 28;       // _$
inline constexpr std::uint16_t kKey = 29;         // KEY$
inline constexpr std::uint16_t kTime = 30;        // TIME$
inline constexpr std::uint16_t kIoStatus = 31;    // IER
inline constexpr std::uint16_t kTemplate = 32;    // EXP$
inline constexpr std::uint16_t kSqlChild = 33;    // SQLCHILD
} // namespace fn

// One call as its handler sees it.
struct BuiltinCall {
    TokenCursor token;        // the call's token: TokenText = name, GroupText = raw arguments
    std::uint16_t number = 0; // function number
    std::uint16_t base = 0;   // size of group 35 before the call: argument i is slot base + i - 1
    std::uint16_t count = 0;  // arguments evaluated
    TextRef kinds;            // one 16-bit entry per argument: 0 number (or omitted), 1 text
};
using BuiltinHandler = StatusCode (*)(const BuiltinCall& call);

// The text in environment slot 8 when it is not empty, else kBuiltinFunctionList.
TextRef ActiveFunctionList();
// 1-based position of name in the active list (exact, case-sensitive), 0 when absent.
std::uint16_t FunctionNumber(TextRef name);

// Calls the built-in function of a token of class 32: evaluates its arguments onto group 35,
// runs its handler, leaves the result one level above the caller's depth (nothing on an error of
// 128 or more) and cuts group 35 back. kSyntax for a number without a handler.
StatusCode CallBuiltin(const TokenCursor& cursor);

// Adds a function named name as number count + 1 of the active list (filled with the built-in
// list first when empty). kDataOutBound beyond kMaxAddedFunctions or when the list is not the
// built-in one followed by added names; kSyntax for an empty name or one holding a separator.
StatusCode RegisterFunction(TextRef name, BuiltinHandler handler);
// Whether list may become the active list (environment slot 8), as RegisterFunction keeps it: 0
// for the empty text (the built-in list applies) or the built-in list followed by at most
// kMaxAddedFunctions names; kDataOutBound when it does not begin with the built-in list or names
// more; kSyntax for an added name that is empty or holds a quote. A script writing slot 8 is
// checked with it, so that it cannot take the built-in functions away for the rest of the session.
StatusCode CheckFunctionList(TextRef list);
// Forgets the handlers of added functions (the list in slot 8 belongs to the SlotStore).
void ClearRegisteredFunctions();

// --- Argument readers (i is the 1-based argument number)
// ------------------------------------------

// The kind of argument i: 0 number (or omitted), 1 text; 0 beyond the count.
std::uint16_t ArgKind(const BuiltinCall& call, std::uint16_t i);
// True when argument i is present and not omitted (ask before its reader takes it).
bool ArgGiven(const BuiltinCall& call, std::uint16_t i);
// kSyntax when the count is outside min..max.
StatusCode ArgCountIn(const BuiltinCall& call, std::uint16_t min, std::uint16_t max);
// Argument i as a 16-bit integer (value / 10^D rounded); the default when absent or omitted.
// kIncompatibleTypes for a text, kDataOutBound for a number outside -32768..32767 (out keeps the
// default).
StatusCode ArgInteger(const BuiltinCall& call, std::uint16_t i, std::int16_t fallback,
                      std::int16_t* out);
// Argument i as its FixedNumber; the default when absent or omitted; kIncompatibleTypes for a text.
StatusCode ArgNumber(const BuiltinCall& call, std::uint16_t i, FixedNumber fallback,
                     FixedNumber* out);
// Argument i's text, copied onto the ScratchStack; the default when absent or omitted;
// kIncompatibleTypes for a number.
StatusCode ArgText(const BuiltinCall& call, std::uint16_t i, TextRef fallback, TextRef* out);
// Pushes argument i (or the default text when it is absent or omitted) and tells its kind.
StatusCode ArgAny(const BuiltinCall& call, std::uint16_t i, TextRef fallback, bool* isText);

// One argument read by ArgsBySpec: the integer of an 'I' place, the text of a 'T' place.
struct ArgValue {
    std::int16_t integer = 0;
    TextRef text;
};
inline constexpr char kSpecInteger = 'I';
inline constexpr char kSpecText = 'T';
// Reads every argument at once, from the last to the first, as its place in spec says (one letter
// per argument: kSpecInteger or kSpecText) into values[0 .. spec size - 1]; places beyond the
// count, and omitted arguments, read 0 or the empty text. kSyntax when the call has more arguments
// than spec has places, or an argument's kind is not its place's; the first failure is answered.
StatusCode ArgsBySpec(const BuiltinCall& call, std::string_view spec, ArgValue* values);

} // namespace vodarir
