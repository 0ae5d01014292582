// Built-in function calls: the function list, argument evaluation onto SlotStore group 35, the
// handler table, SQLCHILD scopes and the argument readers.
//
// Invariants:
//  1. During a call, group 35 holds the caller's entries up to call.base, then exactly
//     call.count argument entries; readers only ever shorten it, and the call cuts it back to
//     call.base before returning, whatever the handler did.
//  2. kHandlers[n - 1] is the handler of built-in n; g_added[k] that of added function 34 + k.
#include "script/builtins.h"

#include <cstring>

#include "runtime/store/number_text.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/builtin_functions.h"
#include "script/evaluator.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr std::uint16_t kKindNumber = 0;
constexpr std::uint16_t kKindText = 1;
constexpr char kListSeparator = ',';
// Integer system variables an SQLCHILD scope saves, sets and restores.
constexpr std::uint16_t kSqlStackVar = 16;  // _SQLSTK
constexpr std::uint16_t kCurrentRowVar = 9; // _CURROW
constexpr std::uint16_t kIoStatusVar = 14;  // _IER

// How many arguments a function has evaluated for it before its handler runs.
constexpr std::uint16_t kEvaluateAll = 0xFFFF;
struct ArgumentPlan {
    std::uint16_t number;
    std::uint16_t evaluated;
};
constexpr ArgumentPlan kArgumentPlans[] = {
    {fn::kSum, 0},      {fn::kFieldValue, 0},   {fn::kCheckNumber, 1},         {fn::kCheckText, 1},
    {fn::kTemplate, 1}, {fn::kFileRelation, 4}, {fn::kSqlChild, kEvaluateAll},
};

std::uint16_t EvaluatedArguments(std::uint16_t number) {
    for (const ArgumentPlan& plan : kArgumentPlans) {
        if (plan.number == number) return plan.evaluated;
    }
    return kMaxCallArguments;
}

// The built-in handlers by function number.
constexpr BuiltinHandler kHandlers[kBuiltinFunctionCount] = {
    builtin::Accumulator,  // 1 _#
    builtin::FileLengthOf, // 2 FN#FLEN
    builtin::TextLength,   // 3 FN#SLEN
    builtin::ListPosition, // 4 FN#PARM
    builtin::Value,        // 5 FN#VALN
    builtin::Sum,          // 6 FN#ACUM
    builtin::CheckNumber,  // 7 CHK#
    builtin::FileFind,     // 8 FILEFIND
    builtin::FileRelation, // 9 FILEREL
    builtin::FileLocate,   // 10 FILELOCATE
    builtin::FileSelect,   // 11 FILESEL
    builtin::Change,       // 12 FN$CHNG
    builtin::Characters,   // 13 FN$CHRS
    builtin::Date,         // 14 FN$DATE
    builtin::FieldValue,   // 15 FN$FLDS
    builtin::Mask,         // 16 FN$MASK
    builtin::Middle,       // 17 FN$MIDS
    builtin::ListItemText, // 18 FN$PARM
    builtin::Trim,         // 19 FN$TRIM
    builtin::Envelop,      // 20 ENVELOP$
    builtin::CheckText,    // 21 CHK$
    builtin::Sort,         // 22 SORT$
    builtin::Execute,      // 23 EXEC$
    builtin::Read,         // 24 READ$
    builtin::Write,        // 25 WRITE
    builtin::Macro,        // 26 MACRO$
    builtin::Environment,  // 27 ENVRON$
    builtin::Slots,        // 28 _$
    builtin::Key,          // 29 KEY$
    builtin::Time,         // 30 TIME$
    builtin::IoStatus,     // 31 IER
    builtin::Template,     // 32 EXP$
    builtin::SqlChild,     // 33 SQLCHILD
};

BuiltinHandler g_added[kMaxAddedFunctions] = {};

BuiltinHandler HandlerOf(std::uint16_t number) {
    if (number >= 1 && number <= kBuiltinFunctionCount) return kHandlers[number - 1];
    const std::uint32_t added = std::uint32_t{number} - kBuiltinFunctionCount - 1;
    return number > kBuiltinFunctionCount && added < kMaxAddedFunctions ? g_added[added] : nullptr;
}

// Position of name among the items of list (items split at "," outside quotes), 0 if absent.
std::uint16_t FindItem(TextRef list, TextRef name) {
    const std::uint32_t length = list.size();
    std::uint32_t begin = 0;
    std::uint16_t item = 1;
    for (std::uint32_t i = 0; i <= length; ++i) {
        const char c = i < length ? list.data[i] : kListSeparator;
        if (c == '\'' || c == '"') {
            const void* close = std::memchr(list.data + i + 1, c, length - i - 1);
            i = close == nullptr
                    ? length - 1
                    : static_cast<std::uint32_t>(static_cast<const char*>(close) - list.data);
            continue;
        }
        if (c != kListSeparator) continue;
        if (i - begin == name.length &&
            std::memcmp(list.data + begin, name.data, name.length) == 0) {
            return item;
        }
        ++item;
        begin = i + 1;
    }
    return 0;
}

// Raises the SQLCHILD nesting level for one call and puts everything back afterwards.
class SqlScope {
public:
    StatusCode Enter() {
        level_ = static_cast<std::int16_t>(IntVarGet(kSqlStackVar) + 1);
        if (level_ > kMaxSqlNesting) return status::kStrOutBound;
        savedRow_ = IntVarGet(kCurrentRowVar);
        savedIoStatus_ = IntVarGet(kIoStatusVar);
        IntVarSet(kCurrentRowVar, 0);
        IntVarSet(kSqlStackVar, level_);
        active_ = true;
        return status::kOk;
    }
    ~SqlScope() {
        if (!active_) return;
        IntVarSet(kSqlStackVar, static_cast<std::int16_t>(level_ - 1));
        IntVarSet(kCurrentRowVar, savedRow_);
        IntVarSet(kIoStatusVar, savedIoStatus_);
    }

private:
    bool active_ = false;
    std::int16_t level_ = 0;
    std::int16_t savedRow_ = 0;
    std::int16_t savedIoStatus_ = 0;
};

// Evaluates the arguments onto group 35 and records their kinds (at most kMaxCallArguments;
// SQLCHILD evaluates the rest too, for their effects, without keeping them).
StatusCode EvaluateArguments(BuiltinCall* call, std::uint16_t* kinds) {
    const std::uint16_t wanted = EvaluatedArguments(call->number);
    TokenCursor args = ArgumentCursor(call->token);
    std::uint32_t seen = 0;
    while (ArgumentsLeft(args) && (wanted == kEvaluateAll || seen < wanted)) {
        const bool keep = call->count < kMaxCallArguments;
        ++seen;
        ScratchScope scope;
        bool isText = false;
        StatusCode st = status::kOk;
        TextRef value(&kEmptyArgumentMarker, 1);
        if (ArgumentIsEmpty(args)) {
            SkipArgument(&args);
        } else {
            st = EvalArgument(&args, &isText);
            if (st >= status::kFirstError) return st;
            value = ScratchTop();
        }
        st = keep ? SlotPush(slotgroup::kValueStack, value) : status::kOk;
        if (st != status::kOk) return st;
        if (keep) kinds[call->count++] = isText ? kKindText : kKindNumber;
    }
    return status::kOk;
}

// Slot of argument i (1 <= i <= count).
TextRef ArgumentSlot(const BuiltinCall& call, std::uint16_t i) {
    return SlotGet(slotgroup::kValueStack, static_cast<SlotIndex>(call.base + i - 1));
}

bool Omitted(const BuiltinCall& call, std::uint16_t i, TextRef slot) {
    return ArgKind(call, i) == kKindNumber && slot.length == 1 &&
           slot.data[0] == kEmptyArgumentMarker;
}

// Takes argument i (and anything above it) off group 35.
void TakeArgument(const BuiltinCall& call, std::uint16_t i) {
    SlotPopTo(slotgroup::kValueStack, static_cast<std::uint16_t>(call.base + i - 1));
}

bool Present(const BuiltinCall& call, std::uint16_t i) { return i >= 1 && i <= call.count; }

} // namespace

TextRef ActiveFunctionList() {
    const TextRef active = SlotGet(slotgroup::kEnvironment, kFunctionListSlot);
    return active.empty() ? TextView(kBuiltinFunctionList) : active;
}

std::uint16_t FunctionNumber(TextRef name) {
    if (name.empty()) return 0;
    return FindItem(ActiveFunctionList(), name);
}

StatusCode CallBuiltin(const TokenCursor& cursor) {
    ScratchScope levels;
    BuiltinCall call;
    call.token = cursor;
    call.number = cursor.function;
    call.base = SlotCount(slotgroup::kValueStack);
    std::uint16_t kinds[kMaxCallArguments] = {};
    SqlScope scope;
    StatusCode st = call.number == fn::kSqlChild ? scope.Enter() : status::kOk;
    if (st == status::kOk) st = EvaluateArguments(&call, kinds);
    call.kinds = TextRef(reinterpret_cast<const char*>(kinds),
                         static_cast<std::uint16_t>(call.count * sizeof kinds[0]));
    if (st < status::kFirstError) {
        const BuiltinHandler handler = HandlerOf(call.number);
        st = handler != nullptr ? handler(call) : status::kSyntax;
    }
    if (st >= status::kFirstError) {
        levels.Release();
    } else {
        // A handler that left nothing gives the empty value of its kind.
        if (ScratchDepth() == levels.mark() && (cursor.cls & tokenclass::kText) != 0) {
            ScratchPush(""_t);
        }
        const StatusCode kept = KeepTopValue(levels.mark());
        if (st == status::kOk) st = kept;
        levels.Keep();
    }
    const StatusCode cut = SlotPopTo(slotgroup::kValueStack, call.base);
    return st != status::kOk ? st : cut;
}

StatusCode RegisterFunction(TextRef name, BuiltinHandler handler) {
    if (name.empty() || name.view().find_first_of(",'\"") != std::string_view::npos) {
        return status::kSyntax;
    }
    ScratchScope scope;
    StatusCode st = status::kOk;
    if (SlotGet(slotgroup::kEnvironment, kFunctionListSlot).empty()) {
        st = SlotSet(slotgroup::kEnvironment, kFunctionListSlot, TextView(kBuiltinFunctionList));
    }
    const TextRef list = SlotGet(slotgroup::kEnvironment, kFunctionListSlot);
    const std::uint32_t number = std::uint32_t{ListCount(list, kListSeparator)} + 1;
    const std::uint32_t added = number - kBuiltinFunctionCount - 1;
    if (st == status::kOk) st = ScratchConcat(list, ","_t);
    if (st == status::kOk) st = ScratchConcat(ScratchTop(), name);
    if (st == status::kOk) st = CheckFunctionList(ScratchTop());
    if (st == status::kOk) st = SlotSet(slotgroup::kEnvironment, kFunctionListSlot, ScratchTop());
    if (st == status::kOk) g_added[added] = handler;
    return st;
}

StatusCode CheckFunctionList(TextRef list) {
    if (list.failed()) return list.status();
    if (list.empty()) return status::kOk;
    const std::string_view builtin(kBuiltinFunctionList);
    const std::string_view text = list.view();
    if (text.substr(0, builtin.size()) != builtin) return status::kDataOutBound;
    if (text.size() == builtin.size()) return status::kOk;
    if (text[builtin.size()] != kListSeparator) return status::kDataOutBound;
    std::string_view rest = text.substr(builtin.size() + 1);
    for (std::uint16_t added = 1;; ++added) {
        if (added > kMaxAddedFunctions) return status::kDataOutBound;
        const std::size_t end = rest.find(kListSeparator);
        const std::string_view name = rest.substr(0, end);
        if (name.empty() || name.find_first_of("'\"") != std::string_view::npos) {
            return status::kSyntax;
        }
        if (end == std::string_view::npos) return status::kOk;
        rest.remove_prefix(end + 1);
    }
}

void ClearRegisteredFunctions() {
    for (BuiltinHandler& h : g_added) h = nullptr;
}

std::uint16_t ArgKind(const BuiltinCall& call, std::uint16_t i) {
    if (!Present(call, i) || call.kinds.size() < i * sizeof(std::uint16_t)) return kKindNumber;
    std::uint16_t kind = 0;
    std::memcpy(&kind, call.kinds.data + (i - 1) * sizeof kind, sizeof kind);
    return kind;
}

bool ArgGiven(const BuiltinCall& call, std::uint16_t i) {
    return Present(call, i) && !Omitted(call, i, ArgumentSlot(call, i));
}

StatusCode ArgCountIn(const BuiltinCall& call, std::uint16_t min, std::uint16_t max) {
    return call.count < min || call.count > max ? status::kSyntax : status::kOk;
}

StatusCode ArgNumber(const BuiltinCall& call, std::uint16_t i, FixedNumber fallback,
                     FixedNumber* out) {
    *out = fallback;
    if (!Present(call, i)) return status::kOk;
    const TextRef slot = ArgumentSlot(call, i);
    StatusCode st = status::kOk;
    if (ArgKind(call, i) == kKindText) {
        st = status::kIncompatibleTypes;
    } else if (!Omitted(call, i, slot)) {
        *out = NumberValue(slot);
    }
    TakeArgument(call, i);
    return st;
}

StatusCode ArgInteger(const BuiltinCall& call, std::uint16_t i, std::int16_t fallback,
                      std::int16_t* out) {
    *out = fallback;
    const bool omitted = !Present(call, i) || Omitted(call, i, ArgumentSlot(call, i));
    FixedNumber value = 0;
    const StatusCode st = ArgNumber(call, i, 0, &value);
    if (st != status::kOk || omitted) return st;
    const std::int64_t whole = FixedToWhole(value, FixedDecimals());
    if (whole < INT16_MIN || whole > INT16_MAX) return status::kDataOutBound;
    *out = static_cast<std::int16_t>(whole);
    return status::kOk;
}

StatusCode ArgText(const BuiltinCall& call, std::uint16_t i, TextRef fallback, TextRef* out) {
    *out = fallback;
    if (!Present(call, i)) return status::kOk;
    const TextRef slot = ArgumentSlot(call, i);
    StatusCode st = status::kOk;
    if (ArgKind(call, i) == kKindText) {
        st = ScratchPush(slot); // the store moves once the argument is taken off it
        if (st == status::kOk) *out = ScratchTop();
    } else if (!Omitted(call, i, slot)) {
        st = status::kIncompatibleTypes;
    }
    TakeArgument(call, i);
    return st;
}

StatusCode ArgAny(const BuiltinCall& call, std::uint16_t i, TextRef fallback, bool* isText) {
    *isText = true;
    TextRef value = fallback;
    if (Present(call, i)) {
        const TextRef slot = ArgumentSlot(call, i);
        if (!Omitted(call, i, slot)) {
            value = slot;
            *isText = ArgKind(call, i) == kKindText;
        }
    }
    const StatusCode st = ScratchPush(value);
    if (Present(call, i)) TakeArgument(call, i);
    return st;
}

StatusCode ArgsBySpec(const BuiltinCall& call, std::string_view spec, ArgValue* values) {
    if (call.count > spec.size()) return status::kSyntax;
    StatusCode result = status::kOk;
    for (std::size_t place = spec.size(); place >= 1; --place) {
        const auto i = static_cast<std::uint16_t>(place);
        ArgValue& value = values[place - 1];
        value = ArgValue{};
        const bool wantText = spec[place - 1] == kSpecText;
        const bool kindMatches = !ArgGiven(call, i) || (ArgKind(call, i) == 1) == wantText;
        StatusCode st = wantText ? ArgText(call, i, TextRef(), &value.text)
                                 : ArgInteger(call, i, 0, &value.integer);
        if (!kindMatches) st = status::kSyntax;
        if (result == status::kOk) result = st;
    }
    return result;
}

} // namespace vodarir
