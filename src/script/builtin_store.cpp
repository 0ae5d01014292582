// Built-in functions over the runtime's stores: _$ (slots), ENVRON$ (environment entries), _#
// (accumulators), FN#ACUM (sums over a counter variable) and FN$FLDS (values by name).
#include <cstdint>
#include <cstring>

#include "dictionary/data_access.h"
#include "dictionary/dictionary.h"
#include "runtime/store/number_text.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/builtin_functions.h"
#include "script/builtin_support.h"
#include "script/builtins.h"
#include "script/evaluator.h"
#include "script/relations.h"

namespace vodarir::builtin {

namespace {

using namespace literals;

// _$: groups from this one on are stacks; below it, indexed groups.
constexpr std::int64_t kFirstStackGroup = 30;
constexpr std::int64_t kDefaultSlotGroup = kFirstStackGroup;
constexpr std::int64_t kMaxSlotNumber = 0xFFFF;

// ENVRON$: slots 0 and 1 hold name=value lists (the environment list and the command line).
constexpr std::int64_t kLastListSlot = 1;
constexpr std::int64_t kDefaultEnvironmentSlot = 1;

// _#: the accumulator array, its name list (string variable 1, _ACUMX$) and its commands.
constexpr TextRef kAccumulatorArray = "_#("_t;
constexpr SlotIndex kAccumulatorNamesSlot = 1;
constexpr TextRef kAccumulatorCommands = "CLS,DIM"_t;
constexpr std::uint16_t kCommandClear = 1;
constexpr std::uint16_t kCommandDim = 2;
constexpr std::int64_t kClearAllLast = 256;
constexpr std::uint16_t kClearTextMaximum = 64;
constexpr std::int64_t kNoAccumulator = -1;

// FN#ACUM: the pieces of its raw argument text.
constexpr int kSumPieces = 4;

// FN$FLDS: index separators inside an element's parentheses.
constexpr TextRef kIndexSeparators = ";,"_t;
constexpr std::uint16_t kNoIndex = 0xFFFF;

// Whether c occurs in text outside quoted runs (plain: anywhere).
bool Contains(TextRef text, char c, bool plain = false) {
    return TextFindChr(text, 0, c, plain) != kNotFound;
}

// --- _$
// --------------------------------------------------------------------------------------------

StatusCode PopStack(SlotGroup group, std::int64_t count) {
    for (std::int64_t k = 0; k < count; ++k) {
        if (SlotCount(group) == 0) return status::kNoData;
        const StatusCode st = SlotPop(group);
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

// --- _#
// --------------------------------------------------------------------------------------------

// The accumulator base a name stands for: its position in the name list, minus 1.
std::int64_t AccumulatorBase(TextRef name) {
    return std::int64_t{
               ListFind(SlotGet(slotgroup::kStringValues, kAccumulatorNamesSlot), name, ',')} -
           1;
}

StatusCode ClearAccumulators(std::int64_t from, std::int64_t to) {
    if (!ArrayCheck(kAccumulatorArray)) return PushInteger(0);
    const TextRef text = TextFormat(kClearTextMaximum, "FN#ACUM(_#(_x)=0;_x;%lld;%lld)",
                                    static_cast<long long>(from),
                                    static_cast<long long>(to == 0 ? kClearAllLast : to));
    if (text.failed()) return text.status();
    const StatusCode st = EvalStatus(text);
    return st != status::kOk ? st : PushInteger(0);
}

StatusCode ReadAccumulator(std::int64_t index) {
    if (!ArrayCheck(kAccumulatorArray)) return PushInteger(0);
    if (index < 0 || index >= kNoIndex) return status::kDataOutBound;
    TextRef element;
    const StatusCode st =
        ArrayGet(kAccumulatorArray, {static_cast<std::uint16_t>(index)}, &element);
    if (st != status::kOk) return st;
    FixedNumber value = 0;
    const StatusCode read = FixedFromText(element, &value);
    return read != status::kOk ? read : PushNumber(value);
}

// --- FN#ACUM -------------------------------------------------------------------------------------

// name "=" value, or name "=" name "+1" for the step.
TextRef AssignmentText(TextRef name, TextRef value) {
    const TextRef left = TextConcat(name, "="_t);
    return left.failed() ? left : TextConcat(left, value);
}

// Adds the value of expr to *sum. Informative statuses end the sum (answered as they are).
StatusCode AddValue(TextRef expr, FixedNumber* sum) {
    ScratchScope scope;
    StatusCode st = EvalExpression(expr);
    FixedNumber value = 0;
    if (st == 1) {
        st = FixedFromText(ScratchTop(), &value);
    } else if (st == 0) {
        value = NumberValue(ScratchTop());
    }
    scope.Release();
    if (st != status::kOk) return st;
    return __builtin_add_overflow(*sum, value, sum) ? status::kDataOutBound : status::kOk;
}

StatusCode RunSum(const TextRef (&piece)[kSumPieces], FixedNumber* sum) {
    const TextRef& expr = piece[0];
    const TextRef& var = piece[1];
    if (var.empty()) return status::kSyntax;
    // A bound or counter that does not read as an integer has been reported as a failed
    // assertion; the sum gives up with the reason rather than answer a number.
    StatusCode st = status::kOk;
    const std::int16_t to = EvalInteger(piece[3], &st);
    if (st != status::kOk) return st;
    const TextRef start = AssignmentText(var, piece[2]);
    st = start.failed() ? start.status() : EvalStatus(start);
    if (st != status::kOk) return st;
    const TextRef step = AssignmentText(var, TextConcat(var, "+1"_t));
    if (step.failed()) return step.status();
    // Every step must move the counter up. One that does not (the summed expression sets it back,
    // or the name is no variable the step can change) would repeat for ever: kLoopFailure instead.
    // A 16-bit counter that keeps rising ends within 65536 steps.
    std::int32_t previous = INT32_MIN;
    for (;;) {
        const std::int16_t counter = EvalInteger(var, &st);
        if (st != status::kOk) return st;
        if (counter > to) return status::kOk;
        if (counter <= previous) return status::kLoopFailure;
        previous = counter;
        st = AddValue(expr, sum);
        if (st == status::kOk) st = EvalStatus(step);
        if (st != status::kOk) return st;
    }
}

// --- FN$FLDS -------------------------------------------------------------------------------------

// The text a hook of the variable store gives for an unknown name, pushed; kSyntax when it
// declines.
StatusCode FromNameHook(TextRef name) {
    const VarHook hook = VarGetHook(0);
    if (hook == nullptr) return status::kSyntax;
    const TextRef answer = hook(name, kHookRead);
    if (answer.failed())
        return answer.status() == status::kData ? status::kSyntax : answer.status();
    return PushText(answer);
}

// Indexes written as whole numbers inside the parentheses; an index that is not a number of
// 0..65534 addresses no element.
StatusCode ReadIndexes(TextRef inside, std::uint16_t (&index)[kMaxArrayDims], std::size_t* count) {
    *count = 0;
    std::uint16_t from = 0;
    while (from <= inside.length) {
        if (*count == kMaxArrayDims) return status::kDimStruct;
        const std::uint16_t stop = TextFindAny(inside, from, kIndexSeparators, false);
        const std::uint16_t end = stop == kNotFound ? inside.length : stop;
        FixedNumber value = 0;
        std::uint16_t used = 0;
        const TextRef item(inside.data + from, static_cast<std::uint16_t>(end - from));
        const bool number = FixedFromText(item, 0, &value, &used) == status::kOk &&
                            used == item.length && item.length > 0;
        index[(*count)++] =
            number && value >= 0 && value < kNoIndex ? static_cast<std::uint16_t>(value) : kNoIndex;
        if (stop == kNotFound) break;
        from = static_cast<std::uint16_t>(stop + 1);
    }
    return status::kOk;
}

StatusCode ElementByName(TextRef raw) {
    const std::uint16_t open = TextFindChr(raw, 0, '(', false);
    const std::uint16_t close = TextFindLast(raw, ")"_t, LastOf::FirstByte);
    if (close == kNotFound || close < open || close != raw.length - 1) return status::kSyntax;
    const TextRef name(raw.data, static_cast<std::uint16_t>(open + 1));
    if (!ArrayCheck(name)) return FromNameHook(raw);
    std::uint16_t index[kMaxArrayDims] = {};
    std::size_t count = 0;
    StatusCode st = ReadIndexes(
        TextRef(raw.data + open + 1, static_cast<std::uint16_t>(close - open - 1)), index, &count);
    if (st != status::kOk) return st;
    TextRef value;
    switch (count) {
    case 1:
        st = ArrayGet(name, {index[0]}, &value);
        break;
    case 2:
        st = ArrayGet(name, {index[0], index[1]}, &value);
        break;
    case 3:
        st = ArrayGet(name, {index[0], index[1], index[2]}, &value);
        break;
    default:
        st = ArrayGet(name, {index[0], index[1], index[2], index[3]}, &value);
        break;
    }
    return st != status::kOk ? st : PushText(value);
}

StatusCode VariableByName(TextRef name) {
    const bool hooked = name.at(0) == '_' && VarGetHook(0) != nullptr;
    if (!hooked && VarLocate(name).number == kNoSlot) return FromNameHook(name);
    TextRef value;
    const StatusCode st = VarValue(name, &value);
    return st != status::kOk ? st : PushText(value);
}

} // namespace

StatusCode Slots(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 0, 3);
    const bool withValue = ArgGiven(call, 3);
    TextRef value = ""_t;
    std::int64_t slot = 0;
    std::int64_t group = kDefaultSlotGroup;
    if (st == status::kOk) st = ArgText(call, 3, ""_t, &value);
    if (st == status::kOk) st = ArgWhole(call, 2, 0, -kMaxSlotNumber, kMaxSlotNumber - 1, &slot);
    if (st == status::kOk) st = ArgWhole(call, 1, group, 0, kMaxSlotNumber - 1, &group);
    if (st != status::kOk) return st;
    const auto g = static_cast<SlotGroup>(group);
    const bool stack = group >= kFirstStackGroup;
    if (!stack && slot < 0) return status::kSyntax;
    if (withValue && !stack && g == slotgroup::kEnvironment && slot == kFunctionListSlot) {
        // The function list: one that is not the built-in list (with added names) would leave
        // every built-in function unknown for the rest of the session.
        st = CheckFunctionList(value);
        if (st != status::kOk) return st;
    }
    if (withValue) {
        st = stack ? SlotPush(g, value) : SlotSet(g, static_cast<SlotIndex>(slot), value);
        if (st != status::kOk) return st;
    }
    if (slot < 0) {
        // The popped entries are gone; the result is the empty text, and kNoData when the group ran
        // out before all of them were taken.
        st = PopStack(g, -slot);
        if (st >= status::kFirstError) return st;
        const StatusCode pushed = PushText(""_t);
        return pushed != status::kOk ? pushed : st;
    }
    return PushText(stack ? SlotTop(g) : SlotGet(g, static_cast<SlotIndex>(slot)));
}

StatusCode Environment(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 0, 2);
    std::int64_t slot = kDefaultEnvironmentSlot;
    TextRef name = ""_t;
    if (st == status::kOk) st = ArgWhole(call, 2, slot, 0, kMaxSlotNumber - 1, &slot);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &name);
    if (st != status::kOk) return st;
    const TextRef text = SlotGet(slotgroup::kEnvironment, static_cast<SlotIndex>(slot));
    if (slot > kLastListSlot) return PushText(text);
    const TextRef found = ItemValue(text, name);
    if (found.failed()) return PushText(""_t);
    // A value holding a %NAME% reference keeps its quotes for the expansion that follows.
    return PushText(Contains(found, '%', true) ? found : TextUnquote(found));
}

StatusCode Accumulator(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 0, 3);
    std::int64_t third = 0;
    std::int64_t second = 0;
    if (st == status::kOk) st = ArgWhole(call, 3, 0, INT16_MIN, INT16_MAX, &third);
    if (st == status::kOk) st = ArgWhole(call, 2, 0, INT16_MIN, INT16_MAX, &second);
    if (st != status::kOk) return st;
    const bool given = ArgGiven(call, 1);
    bool isText = false;
    st = ArgAny(call, 1, ""_t, &isText);
    if (st != status::kOk) return st;
    const TextRef first = ScratchTop();
    std::int64_t base = 0;
    if (given && !isText) {
        base = FixedToWhole(NumberValue(first), FixedDecimals());
    } else if (given) {
        switch (ListFind(kAccumulatorCommands, first, ',')) {
        case kCommandClear:
            return ClearAccumulators(third, second);
        case kCommandDim:
            base = 0;
            break;
        default:
            base = AccumulatorBase(first);
            break;
        }
    }
    if (base == kNoAccumulator) return PushInteger(0);
    return ReadAccumulator(base + second);
}

StatusCode Sum(const BuiltinCall& call) {
    TokenCursor args = ArgumentCursor(call.token);
    TextRef piece[kSumPieces];
    for (TextRef& p : piece) p = ArgumentsLeft(args) ? NextRawArgument(&args) : ""_t;
    FixedNumber sum = 0;
    const StatusCode st = RunSum(piece, &sum);
    if (st >= status::kFirstError) return st;
    const StatusCode pushed = PushNumber(sum);
    return pushed != status::kOk ? pushed : st;
}

StatusCode FieldValue(const BuiltinCall& call) {
    const TextRef raw = GroupText(call.token);
    if (raw.empty()) return status::kSyntax;
    if (Contains(raw, '{')) {
        const FieldEntryRecord entry = ResolveFieldRef(raw);
        if (entry.status != status::kOk) return entry.status;
        return PushText(BufferFldGet(entry.file, entry.field));
    }
    if (Contains(raw, '(')) return ElementByName(raw);
    return VariableByName(raw);
}

} // namespace vodarir::builtin
