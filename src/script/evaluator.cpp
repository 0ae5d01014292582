// The expression evaluator: operands, the precedence loop, assignment, the statement sequence and
// the entry points.
//
// Stack discipline inside one statement:
//  1. ReadOperand leaves exactly one value level, except for an assignment target (the token
//     before "=") and a token that failed to classify, which leave none.
//  2. ApplyOperators finds its left operand on top of the stack (unless the operator is "=") and
//     puts each result where the left operand was, so a long chain of operators uses a constant
//     number of levels.
//  3. A status of 128 or more ends the statement; its levels are released by the statement loop.
#include "script/evaluator.h"

#include <cstring>

#include "diagnostics/assert.h"
#include "dictionary/data_access.h"
#include "dictionary/dictionary.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/number_text.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/builtins.h"
#include "script/operations.h"
#include "script/prepare.h"

namespace vodarir {

namespace {

using namespace literals;
using detail::CurrentDecimals;
using detail::Decimals;

constexpr char kOpenParen = '(';
constexpr char kDot = '.';
// Array elements and user calls take at most this many indexes.
constexpr std::size_t kMaxIndexes = kMaxArrayDims;
// An index that cannot be read addresses no element.
constexpr std::int16_t kUnreadableIndex = -1;
// The hook of the variable store that serves user calls ("_name(...)").
constexpr std::uint16_t kUserCallHook = 2;
// A hook answering this failed status declines the name.
constexpr StatusCode kHookDeclines = status::kData;

bool IsQuote(char c) { return c == '\'' || c == '"'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool Has(std::uint16_t cls, std::uint16_t bits) { return (cls & bits) != 0; }

void ReadOperandIn(TokenCursor& c);
void ApplyOperatorsIn(TokenCursor& cursor, std::uint16_t minimum);

// Depth of nested operands and operator loops; see kMaxEvalNesting.
std::uint16_t g_nesting = 0;

class NestingGuard {
public:
    NestingGuard() : ok_(g_nesting < kMaxEvalNesting) { ++g_nesting; }
    ~NestingGuard() { --g_nesting; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_;
};

// --- Reading values ------------------------------------------------------------------------------

// A value text read as a number with the current decimals, pushed.
StatusCode PushNumberText(TextRef text) {
    FixedNumber value = 0;
    const StatusCode st = FixedFromText(text, &value);
    return st != status::kOk ? st : PushNumber(value);
}

// A value text read as a whole number (rounded), pushed as n × 10^D.
StatusCode PushIntegerText(TextRef text) {
    const int decimals = FixedDecimals();
    FixedNumber value = 0;
    const StatusCode st = FixedFromText(text, decimals, &value);
    return st != status::kOk ? st : PushInteger(FixedToWhole(value, decimals));
}

// A value text pushed by the kind of the name it belongs to.
StatusCode PushByNameKind(TextRef name, TextRef text) {
    switch (VarType(name)) {
    case vartype::kInteger:
        return PushIntegerText(text);
    case vartype::kNumber:
        return PushNumberText(text);
    case vartype::kString:
        return ScratchPush(text);
    default:
        return status::kSyntax;
    }
}

// The 16-bit integer of a value, or kUnreadableIndex for a text or a number out of range.
std::int16_t IndexOf(TextRef value, bool isText) {
    if (isText) return kUnreadableIndex;
    const std::int64_t whole = FixedToWhole(NumberValue(value), FixedDecimals());
    return whole < INT16_MIN || whole > INT16_MAX ? kUnreadableIndex
                                                  : static_cast<std::int16_t>(whole);
}

struct Indexes {
    std::uint16_t value[kMaxIndexes] = {};
    std::size_t count = 0;
};

// Evaluates up to four index arguments of the group after the token; an index that cannot be
// read counts as -1 (and so addresses no element). Errors of 128 or more are passed on.
StatusCode EvaluateIndexes(const TokenCursor& token, Indexes* out) {
    TokenCursor args = ArgumentCursor(token);
    while (ArgumentsLeft(args) && out->count < kMaxIndexes) {
        std::int16_t index = kUnreadableIndex;
        if (ArgumentIsEmpty(args)) {
            SkipArgument(&args);
        } else {
            ScratchScope scope;
            bool isText = false;
            const StatusCode st = EvalArgument(&args, &isText);
            if (st >= status::kFirstError) return st;
            if (st == status::kOk) index = IndexOf(ScratchTop(), isText);
        }
        out->value[out->count++] = static_cast<std::uint16_t>(index);
    }
    return status::kOk;
}

// Runs an array operation with as many indexes as were given.
template <class Fn> StatusCode WithIndexes(const Indexes& i, Fn&& fn) {
    const std::uint16_t* v = i.value;
    switch (i.count) {
    case 0:
        return fn(std::initializer_list<std::uint16_t>{});
    case 1:
        return fn({v[0]});
    case 2:
        return fn({v[0], v[1]});
    case 3:
        return fn({v[0], v[1], v[2]});
    default:
        return fn({v[0], v[1], v[2], v[3]});
    }
}

// The array's name as the variable store knows it: the token with its "(".
TextRef ArrayName(const TokenCursor& c) {
    return TextRef(c.text + c.start, static_cast<std::uint16_t>(c.tokenLength + 1));
}

// --- Operands ------------------------------------------------------------------------------------

StatusCode PushGroup(TokenCursor* c) {
    if (!GroupClosed(*c)) {
        // The group's own count of parentheses fails: what evaluating it alone would report.
        LogErrorText(status::kLoopFailure, GroupText(*c), true);
        return NoteFirstError(1, kOriginEvaluation, status::kLoopFailure, status::kLoopFailure);
    }
    std::uint16_t kind = 0;
    const StatusCode st = EvalPrepared(GroupText(*c), &kind);
    c->cls = kind;
    return st;
}

StatusCode PushUserCall(const TokenCursor& c, VarHook hook, bool* declined) {
    Indexes indexes;
    StatusCode st = EvaluateIndexes(c, &indexes);
    if (st != status::kOk) return st;
    const int first = indexes.count == 0 ? 0 : static_cast<std::int16_t>(indexes.value[0]);
    const TextRef answer = hook(TokenText(c), first);
    *declined = answer.failed() && answer.status() == kHookDeclines;
    if (*declined) return status::kOk;
    if (answer.failed()) return answer.status();
    return PushByNameKind(TokenText(c), answer);
}

StatusCode PushArrayElement(const TokenCursor& c) {
    const TextRef name = TokenText(c);
    if (name.length > 0 && name.at(0) == '_') {
        if (const VarHook hook = VarGetHook(kUserCallHook)) {
            bool declined = false;
            const StatusCode st = PushUserCall(c, hook, &declined);
            if (!declined) return st;
        }
    }
    Indexes indexes;
    const StatusCode st = EvaluateIndexes(c, &indexes);
    if (st != status::kOk) return st;
    TextRef element;
    const StatusCode got = WithIndexes(indexes, [&](std::initializer_list<std::uint16_t> i) {
        return ArrayGet(ArrayName(c), i, &element);
    });
    // The store creates no array on reading: an undeclared one answers kVarName, the
    // name being no variable, rather than an internal failure.
    if (got != status::kOk) return got;
    return PushByNameKind(name, element);
}

StatusCode PushField(const TokenCursor& c) {
    const FieldEntryRecord entry = ResolveFieldRef(TokenText(c));
    if (entry.status != status::kOk) return entry.status;
    const TextRef value = BufferFldGet(entry.file, entry.field);
    return Has(c.cls, tokenclass::kText) ? ScratchPush(value) : PushNumberText(value);
}

StatusCode PushVariable(const TokenCursor& c) {
    TextRef value;
    const StatusCode st = VarValue(TokenText(c), &value);
    if (st != status::kOk) return st;
    return Has(c.cls, tokenclass::kText) ? status::kOk : PushNumberText(value);
}

StatusCode PushLiteral(const TokenCursor& c) {
    TextRef t = TokenText(c);
    if (t.length > 0 && IsQuote(t.data[0])) {
        const char quote = t.data[0];
        t = TextRef(t.data + 1, static_cast<std::uint16_t>(t.length - 1));
        if (t.length > 0 && t.data[t.length - 1] == quote) --t.length;
    }
    return ScratchPush(t);
}

StatusCode PushConstant(const TokenCursor& c) {
    TextRef t = TokenText(c);
    if (t.length >= 2 && t.data[0] == kDot && IsAsciiLetter(t.data[1])) {
        t = TextRef(t.data + 1, static_cast<std::uint16_t>(t.length - 1));
        std::int16_t value = 0;
        if (DotConstant(t, &value)) return PushInteger(value);
    }
    return PushNumberText(t);
}

// Pushes the value of the operand the cursor describes; the class of a group becomes the kind
// of its value.
StatusCode PushOperand(TokenCursor* c) {
    const std::uint16_t cls = c->cls;
    if (Has(cls, tokenclass::kGroup)) return PushGroup(c);
    if (c->tokenLength == 0) {
        const StatusCode st = PushNumber(0);
        return st != status::kOk ? st : status::kNullExpression;
    }
    if (Has(cls, tokenclass::kCall)) return PushArrayElement(*c);
    if (Has(cls, tokenclass::kBuiltin)) return CallBuiltin(*c);
    if (Has(cls, tokenclass::kField)) return PushField(*c);
    if (Has(cls, tokenclass::kName)) return PushVariable(*c);
    if (Has(cls, tokenclass::kText)) return PushLiteral(*c);
    if (cls == 0) return PushConstant(*c);
    return status::kSyntax;
}

// --- Operators -----------------------------------------------------------------------------------

// An empty operand (a sign) or a tighter operator on the right is applied first; so is a
// further assignment, whose target has no value to combine before it is assigned.
bool RightBindsFirst(const TokenCursor& current, const TokenCursor& right) {
    if (right.op == opcode::kAssign) return true;
    if (right.tokenLength == 0 && right.groupLength == 0) return true;
    return right.op != opcode::kNone && right.precedence > current.precedence;
}

// Replaces everything from the left operand (at below + 1) up with the number; a numeric left
// operand's own level takes it, and stays where it is.
StatusCode ResultNumber(ScratchLevel below, TextRef left, FixedNumber value) {
    if (left.size() == sizeof value) {
        std::memcpy(left.mutableData(), &value, sizeof value);
        return ScratchReturn(below, left).status();
    }
    const TextRef bytes(reinterpret_cast<const char*>(&value), sizeof value);
    return ScratchReturn(below, bytes).status();
}

StatusCode NumericResult(std::uint16_t op, TextRef left, FixedNumber r, ScratchLevel below) {
    FixedNumber out = 0;
    const StatusCode st =
        detail::NumericOperation(op, NumberValue(left), r, CurrentDecimals(), &out);
    return st != status::kOk ? st : ResultNumber(below, left, out);
}

StatusCode TextResult(std::uint16_t op, TextRef l, TextRef r, ScratchLevel below, bool* isText) {
    switch (detail::TextOperationKind(op)) {
    case detail::TextMeaning::kConcatenate: {
        StatusCode st = ScratchConcat(l, r);
        if (st == status::kOk) st = ScratchReturn(below, ScratchTop()).status();
        *isText = true;
        return st;
    }
    case detail::TextMeaning::kCompare:
        return ResultNumber(below, l,
                            detail::TextComparisonHolds(op, l, r) ? CurrentDecimals().scale : 0);
    default:
        return status::kSyntax;
    }
}

// Combines the left operand (at below + 1) and the right one (on top) by the current operator.
StatusCode Combine(const TokenCursor& current, TextRef left, const TokenCursor& right,
                   ScratchLevel below, bool* isText) {
    const TextRef value = ScratchTop();
    const bool leftText = Has(current.cls, tokenclass::kText);
    const bool rightText = Has(right.cls, tokenclass::kText);
    *isText = false;
    if (leftText && rightText) return TextResult(current.op, left, value, below, isText);
    if (!leftText && !rightText) {
        return NumericResult(current.op, left, NumberValue(value), below);
    }
    // A numeric field takes a text as the number it reads as.
    if (!leftText && Has(current.cls, tokenclass::kField)) {
        FixedNumber r = 0;
        const StatusCode st = FixedFromText(value, &r);
        return st != status::kOk ? st : NumericResult(current.op, left, r, below);
    }
    return status::kIncompatibleTypes;
}

StatusCode AssignElement(const TokenCursor& target, TextRef value, bool isText) {
    if (Has(target.cls, tokenclass::kBuiltin) && !ArrayCheck(ArrayName(target))) {
        return status::kSyntax;
    }
    Indexes indexes;
    const StatusCode st = EvaluateIndexes(target, &indexes);
    if (st != status::kOk) return st;
    const TextRef text = ValueText(value, isText);
    const StatusCode set = WithIndexes(indexes, [&](std::initializer_list<std::uint16_t> i) {
        return ArraySet(ArrayName(target), i, text);
    });
    return set; // an undeclared array: kVarName, as when it is read
}

StatusCode AssignField(const TokenCursor& target, TextRef value, bool isText) {
    const FieldEntryRecord entry = ResolveFieldRef(TokenText(target));
    if (entry.status != status::kOk) return entry.status;
    return BufferFldPut(entry.file, entry.field, ValueText(value, isText));
}

StatusCode AssignVariable(const TokenCursor& target, TextRef value, bool isText) {
    if (Has(target.cls, tokenclass::kText) != isText) return status::kIncompatibleTypes;
    return VarAssign(TokenText(target), ValueText(value, isText));
}

// Assigns the value on top (at below + 1) to the target token and leaves it as the result.
StatusCode Assign(const TokenCursor& target, const TokenCursor& right, ScratchLevel below,
                  bool* isText) {
    const TextRef value = ScratchTop();
    *isText = Has(right.cls, tokenclass::kText);
    StatusCode st = status::kSyntax;
    if (Has(target.cls, tokenclass::kGroup)) {
        st = status::kSyntax;
    } else if (Has(target.cls, tokenclass::kCall | tokenclass::kBuiltin)) {
        st = AssignElement(target, value, *isText);
    } else if (Has(target.cls, tokenclass::kField)) {
        st = AssignField(target, value, *isText);
    } else if (Has(target.cls, tokenclass::kName)) {
        st = AssignVariable(target, value, *isText);
    }
    // The value stays where it is; whatever the assignment left above it goes.
    if (st == status::kOk) st = ScratchReturn(below, value).status();
    return st;
}

// --- Statements ----------------------------------------------------------------------------------

// The statement sequence, leaving the last value one level above the caller's depth; kind
// receives its text bit. Errors are recorded and the failing statement's text logged.
StatusCode RunStatements(TextRef text, std::uint16_t* kind) {
    ScratchScope scope;
    TokenCursor c = NewCursor(text);
    StatusCode st = status::kOk;
    std::uint16_t statementStart = 0;
    do {
        c.status = status::kOk;
        statementStart = c.next;
        ReadOperandIn(c);
        ApplyOperatorsIn(c, 0);
        st = static_cast<StatusCode>(c.status);
        if (st < status::kFirstError) {
            const StatusCode kept = KeepTopValue(scope.mark());
            if (kept != status::kOk) st = kept;
        }
    } while (c.next < c.length && st < status::kFirstError);
    *kind = c.cls & tokenclass::kText;
    if (st < status::kFirstError && *kind != 0 && st == status::kUnusualType) {
        st = ScratchReturn(scope.mark(), ""_t).status();
    }
    if (st < status::kFirstError) {
        scope.Keep();
        return st;
    }
    scope.Release();
    NoteFirstError(1, kOriginEvaluation, st, st);
    const std::uint16_t failing = statementStart < text.length ? statementStart : text.length;
    LogErrorText(0, TextRef(text.data + failing, static_cast<std::uint16_t>(text.length - failing)),
                 true);
    return st;
}

// Preparation and the statements; the value is left one level above the caller's depth.
StatusCode Evaluate(TextRef text, std::uint16_t* kind) {
    *kind = 0;
    ScratchScope scope;
    const TextRef prepared = PrepareExpression(text);
    if (prepared.failed()) {
        const StatusCode st = prepared.status();
        LogErrorText(st, text, true);
        return NoteFirstError(1, kOriginEvaluation, st, st);
    }
    const StatusCode st = EvalPrepared(prepared, kind);
    if (st >= status::kFirstError) return st;
    const TextRef kept = scope.Return(ScratchTop());
    return kept.failed() ? kept.status() : st;
}

bool OnlyBlanks(TextRef text) {
    for (std::uint16_t i = 0; i < text.size(); ++i) {
        if (text.data[i] != ' ') return false;
    }
    return !text.failed();
}

} // namespace

// --- Values --------------------------------------------------------------------------------------

StatusCode PushNumber(FixedNumber value) {
    char* bytes = ScratchAllocPtr(sizeof value, kNoFill);
    if (bytes == nullptr) return status::kOutOfMemory;
    std::memcpy(bytes, &value, sizeof value);
    return status::kOk;
}

StatusCode PushInteger(std::int64_t n) {
    FixedNumber value = 0;
    const StatusCode st = FixedFromWhole(n, FixedDecimals(), &value);
    return st != status::kOk ? st : PushNumber(value);
}

StatusCode PushText(TextRef text) { return ScratchPush(text); }

StatusCode KeepTopValue(ScratchLevel mark) {
    const ScratchLevel depth = ScratchDepth();
    if (depth == mark + 1) return status::kOk;
    if (depth <= mark) return PushNumber(0);
    return ScratchReturn(mark, ScratchTop()).status();
}

FixedNumber NumberValue(TextRef value) {
    FixedNumber n = 0;
    if (value.size() == sizeof n) std::memcpy(&n, value.data, sizeof n);
    return n;
}

TextRef ValueText(TextRef value, bool isText) {
    return isText ? value : FixedToText(NumberValue(value));
}

// --- Arguments -----------------------------------------------------------------------------------

TokenCursor ArgumentCursor(const TokenCursor& call) { return NewCursor(GroupText(call)); }

bool ArgumentIsEmpty(const TokenCursor& args) {
    if (!ArgumentsLeft(args)) return false;
    const char c = args.text[args.next];
    return c == ';' || c == ',';
}

StatusCode EvalArgument(TokenCursor* args, bool* isText) {
    ScratchScope scope;
    TokenCursor& c = *args;
    c.status = status::kOk;
    ReadOperandIn(c);
    ApplyOperatorsIn(c, 0);
    *isText = Has(c.cls, tokenclass::kText);
    const StatusCode st = static_cast<StatusCode>(c.status);
    if (st >= status::kFirstError) return st;
    const StatusCode kept = KeepTopValue(scope.mark());
    if (kept != status::kOk) return kept;
    scope.Keep();
    return st;
}

void SkipArgument(TokenCursor* args) {
    std::uint32_t depth = 0;
    std::uint32_t i = args->next;
    while ((i = FindOperatorChar(args->text, args->length, i)) < args->length) {
        const char c = args->text[i];
        if (c == kOpenParen) ++depth;
        if (c == ')' && depth > 0) --depth;
        if (depth == 0 && (c == ';' || c == ',')) {
            args->next = static_cast<std::uint16_t>(i + 1);
            return;
        }
        ++i;
    }
    args->next = static_cast<std::uint16_t>(args->length);
}

// --- The operand reader and the operator loop ----------------------------------------------------

namespace {

// ReadOperand on the cursor itself.
void ReadOperandIn(TokenCursor& c) {
    NestingGuard guard;
    ScratchScope scope;
    const bool rightOfAssignment = c.op == opcode::kAssign;
    AdvanceToken(c);
    StatusCode st = static_cast<StatusCode>(c.status);
    if (st == status::kOk && c.op != opcode::kAssign) {
        st = guard.ok() ? PushOperand(&c) : status::kStrOutBound;
        if (st == status::kUnusualType && rightOfAssignment) st = status::kIncompatibleTypes;
    }
    c.status = st;
    if (st >= status::kFirstError) {
        if (c.tokenLength != 0) LogErrorText(st, TokenText(c), true);
    } else if (c.op != opcode::kAssign) {
        const StatusCode kept = KeepTopValue(scope.mark());
        if (kept != status::kOk) c.status = kept;
        scope.Keep();
    }
}

// ApplyOperators on the cursor itself: on return it describes the last operand read.
void ApplyOperatorsIn(TokenCursor& cursor, std::uint16_t minimum) {
    NestingGuard guard;
    while (cursor.status < status::kFirstError && cursor.op != opcode::kNone &&
           cursor.precedence >= minimum) {
        if (!guard.ok()) {
            cursor.status = status::kStrOutBound;
            break;
        }
        const bool assignment = cursor.op == opcode::kAssign;
        const ScratchLevel depth = ScratchDepth();
        // The left operand is on top, except for an assignment target, which has no value.
        const ScratchLevel below = assignment || depth == 0 ? depth : depth - 1;
        const TextRef left = assignment ? TextRef() : ScratchTop();

        TokenCursor right = cursor;
        ReadOperandIn(right);
        if (right.status == status::kNullExpression &&
            (Has(cursor.cls, tokenclass::kText) || right.op == opcode::kNone)) {
            right.status = status::kSyntax;
        }
        while (right.status < status::kFirstError && RightBindsFirst(cursor, right)) {
            if (right.op == opcode::kNone) {
                right.status = status::kSyntax;
                break;
            }
            ApplyOperatorsIn(right, right.precedence);
        }
        if (right.status != status::kOk) {
            cursor = right; // nothing to combine; the loop's condition decides
            continue;
        }
        bool isText = false;
        const StatusCode st = assignment ? Assign(cursor, right, below, &isText)
                                         : Combine(cursor, left, right, below, &isText);
        cursor = right;
        cursor.status = st;
        cursor.cls = isText ? tokenclass::kText : 0;
    }
    cursor.cls &= tokenclass::kText;
}

} // namespace

TokenCursor ReadOperand(TokenCursor cursor) {
    ReadOperandIn(cursor);
    return cursor;
}

TokenCursor ApplyOperators(TokenCursor cursor, std::uint16_t minimum) {
    ApplyOperatorsIn(cursor, minimum);
    return cursor;
}

StatusCode EvalPrepared(TextRef text, std::uint16_t* kind) {
    *kind = 0;
    if (text.failed()) return text.status();
    return RunStatements(text, kind);
}

// --- Entry points --------------------------------------------------------------------------------

StatusCode EvalExpression(TextRef text) {
    std::uint16_t kind = 0;
    const StatusCode st = Evaluate(text, &kind);
    return st != status::kOk ? st : kind;
}

StatusCode EvalValue(TextRef text, bool* isText) {
    std::uint16_t kind = 0;
    const StatusCode st = Evaluate(text, &kind);
    *isText = kind != 0;
    return st;
}

StatusCode EvalCondition(TextRef text) {
    if (OnlyBlanks(text)) return 1;
    ScratchScope scope;
    std::uint16_t kind = 0;
    const StatusCode st = Evaluate(text, &kind);
    const bool holds = st < status::kFirstError && kind == 0 && NumberValue(ScratchTop()) != 0;
    if (st >= status::kFirstError) return st;
    return holds ? 1 : 0;
}

std::int16_t EvalInteger(TextRef text, StatusCode* failure) {
    std::uint16_t kind = 0;
    StatusCode st = status::kOk;
    std::int64_t whole = 0;
    {
        ScratchScope scope;
        st = Evaluate(text, &kind);
        if (st < status::kFirstError) {
            st = kind != 0 ? status::kIncompatibleTypes : status::kOk;
        }
        if (st == status::kOk) {
            whole = FixedToWhole(NumberValue(ScratchTop()), FixedDecimals());
            if (whole < INT16_MIN || whole > INT16_MAX) st = status::kDataOutBound;
        }
    }
    if (failure != nullptr) *failure = st;
    if (!Assert(st == status::kOk, text)) return 0;
    return static_cast<std::int16_t>(whole);
}

FixedNumber EvalNumber(TextRef text) {
    ScratchScope scope;
    std::uint16_t kind = 0;
    const StatusCode st = Evaluate(text, &kind);
    return st < status::kFirstError && kind == 0 ? NumberValue(ScratchTop()) : 0;
}

TextRef EvalText(TextRef text) {
    ScratchScope scope;
    std::uint16_t kind = 0;
    const StatusCode st = Evaluate(text, &kind);
    if (st >= status::kFirstError) return TextRef::Failed(st);
    if (kind != 0) {
        scope.Keep(); // the text value is the result, already in place
        return ScratchTop();
    }
    return scope.Return(FixedToText(NumberValue(ScratchTop())));
}

StatusCode EvalStatus(TextRef text) {
    ScratchScope scope;
    std::uint16_t kind = 0;
    const StatusCode st = Evaluate(text, &kind);
    return st >= status::kFirstError ? st : status::kOk;
}

TextRef EvalIfText(TextRef text) {
    TokenCursor c = NewCursor(text);
    if (c.status != status::kOk || c.length == 0) return text;
    while (c.next < c.length) {
        c = NextToken(c);
        if (c.status != status::kOk) return text;
    }
    // A text ending in an operator ends with an empty operand.
    if (c.op != opcode::kNone) c = NextToken(c);
    return Has(c.cls, tokenclass::kText) ? EvalText(text) : text;
}

} // namespace vodarir
