// Built-in functions over data files and sort work areas: FILEFIND, FILEREL, FILELOCATE, KEY$,
// IER and SORT$. Record operations go through the data-access entry points, which in this
// program hold no data and answer kFeatureRemoved; sort work areas are fully present.
#include "dictionary/data_access.h"
#include "dictionary/dictionary.h"
#include "dictionary/sort_areas.h"
#include "runtime/store/number_text.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/builtin_functions.h"
#include "script/builtin_support.h"
#include "script/evaluator.h"
#include "script/relations.h"

namespace vodarir::builtin {

namespace {

using namespace literals;

constexpr std::uint16_t kIoStatusVariable = 14; // _IER
constexpr std::int64_t kLargestNumber = 0xFFFF;
// FILEREL evaluates its first four arguments; the rest of its group is the update expression.
constexpr int kRelationArguments = 4;

// SORT$ commands and their argument counts.
constexpr TextRef kSortCommands = "NEW,ADD,MOVE,GET,KILL"_t;
struct SortCommand {
    std::uint16_t min;
    std::uint16_t max;
};
constexpr SortCommand kSortCounts[] = {
    {1, 2}, // no keyword: a list sorted in one step
    {2, 4}, // NEW
    {3, 3}, // ADD
    {3, 3}, // MOVE
    {2, 2}, // GET
    {2, 2}, // KILL
};
namespace sortcmd {
constexpr std::uint16_t kList = 0;
constexpr std::uint16_t kNew = 1;
constexpr std::uint16_t kAdd = 2;
constexpr std::uint16_t kMove = 3;
constexpr std::uint16_t kGet = 4;
constexpr std::uint16_t kKill = 5;
} // namespace sortcmd
constexpr std::uint16_t kMaxSortArguments = 4;
constexpr std::int64_t kLargestFlags = 0xFF;

// One argument of SORT$, read before the command decides what it means.
struct Arg {
    bool given = false;
    bool isText = false;
    TextRef value;
};

StatusCode ReadArguments(const BuiltinCall& call, Arg (&args)[kMaxSortArguments + 1]) {
    for (std::uint16_t i = call.count; i >= 1; --i) {
        args[i].given = ArgGiven(call, i);
        const StatusCode st = ArgAny(call, i, ""_t, &args[i].isText);
        if (st != status::kOk) return st;
        args[i].value = ScratchTop();
    }
    return status::kOk;
}

StatusCode WholeOf(const Arg& a, std::int64_t fallback, std::int64_t max, std::int64_t* out) {
    *out = fallback;
    if (!a.given) return status::kOk;
    if (a.isText) return status::kIncompatibleTypes;
    const std::int64_t whole = FixedToWhole(NumberValue(a.value), FixedDecimals());
    if (whole < 0 || whole > max) return status::kDataOutBound;
    *out = whole;
    return status::kOk;
}

StatusCode HandleOf(const Arg& a, SortHandle* handle) {
    return a.isText ? SortHandleFromText(a.value, handle) : status::kSyntax;
}

// The handle the call hands back, with the operation's result in _IER: an informative status
// on the call itself would keep "h$=SORT$(...)" from storing the new handle.
StatusCode ReturnHandle(const SortHandle& handle, StatusCode st) {
    if (st >= status::kFirstError) return st;
    IntVarSet(kIoStatusVariable, static_cast<std::int16_t>(st));
    return PushText(handle.text());
}

StatusCode SortNewArea(const Arg (&a)[kMaxSortArguments + 1]) {
    std::int64_t entry = 0;
    std::int64_t key = 0;
    std::int64_t flags = 0;
    StatusCode st = WholeOf(a[2], 0, kLargestNumber, &entry);
    if (st == status::kOk) st = WholeOf(a[3], entry, kLargestNumber, &key);
    if (st == status::kOk) st = WholeOf(a[4], 0, kLargestFlags, &flags);
    SortHandle handle;
    if (st == status::kOk) {
        st = SortNew(static_cast<int>(entry), static_cast<int>(key),
                     static_cast<std::uint8_t>(flags), &handle);
    }
    return st != status::kOk ? st : PushText(handle.text());
}

StatusCode SortAddEntry(const Arg (&a)[kMaxSortArguments + 1]) {
    SortHandle handle;
    const StatusCode st = HandleOf(a[2], &handle);
    if (st != status::kOk) return st;
    if (!a[3].isText) return status::kIncompatibleTypes;
    return ReturnHandle(handle, SortAdd(&handle, a[3].value));
}

StatusCode SortMoveTo(const Arg (&a)[kMaxSortArguments + 1]) {
    SortHandle handle;
    const StatusCode st = HandleOf(a[2], &handle);
    if (st != status::kOk) return st;
    // A record action's name asks the data layer for its move code; a number is the code itself
    // (the dot constants .top, .next, .previous and .bottom).
    std::int64_t code = 0;
    if (a[3].isText) {
        if (ListFind(TextView(kRecordActionNames), a[3].value, ',') == 0) return status::kSyntax;
        code = RecordActionCode(a[3].value);
    } else {
        const StatusCode read = WholeOf(a[3], 0, kLargestNumber, &code);
        if (read != status::kOk) return read;
    }
    return ReturnHandle(handle, SortMove(&handle, static_cast<std::uint16_t>(code)));
}

StatusCode SortGetEntry(const Arg (&a)[kMaxSortArguments + 1]) {
    SortHandle handle;
    const StatusCode st = HandleOf(a[2], &handle);
    return st != status::kOk ? st : PushResult(SortGet(handle));
}

StatusCode SortKillArea(const Arg (&a)[kMaxSortArguments + 1]) {
    SortHandle handle;
    StatusCode st = HandleOf(a[2], &handle);
    if (st == status::kOk) st = SortKill(handle);
    return st != status::kOk ? st : PushText(""_t);
}

StatusCode SortListed(const Arg (&a)[kMaxSortArguments + 1]) {
    if (!a[1].isText) return status::kIncompatibleTypes;
    std::int64_t flags = 0;
    const StatusCode st = WholeOf(a[2], 0, kLargestFlags, &flags);
    return st != status::kOk ? st
                             : PushResult(SortList(a[1].value, static_cast<std::uint8_t>(flags)));
}

// A record operation's answer as the call's number (its status when it failed).
StatusCode RecordResult(StatusCode st) { return st >= status::kFirstError ? st : PushInteger(st); }

StatusCode RelationThroughHook(const BuiltinCall& call, bool* declined) {
    *declined = true;
    const VarHook hook = VarGetHook(kRelationalUpdateHook);
    if (hook == nullptr || !IntVarTest(sysvar::kUpStat, kUpStatUseRelationHook)) {
        return status::kOk;
    }
    const TextRef answer = hook(GroupText(call.token), kHookRead);
    if (answer.failed() && answer.status() == status::kData) return status::kOk;
    *declined = false;
    if (answer.failed()) return answer.status();
    FixedNumber value = 0;
    const StatusCode st = FixedFromText(answer, &value);
    return st != status::kOk ? st : PushNumber(value);
}

} // namespace

StatusCode FileFind(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 2, 4);
    std::int64_t unused = 0;
    std::int64_t key = 0;
    TextRef file = ""_t;
    if (st == status::kOk) st = ArgWhole(call, 4, 0, INT16_MIN, kLargestNumber, &unused);
    if (st == status::kOk) st = ArgWhole(call, 3, 0, INT16_MIN, kLargestNumber, &unused);
    if (st == status::kOk) st = ArgWhole(call, 2, 0, 0, kLargestNumber, &key);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &file);
    if (st != status::kOk) return st;
    return RecordResult(
        DataFileFind(CheckFile(FileNumberOf(file)), static_cast<std::uint16_t>(key)));
}

StatusCode FileRelation(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 3, kRelationArguments);
    std::int64_t mode = 0;
    std::int64_t relation = 0;
    std::int64_t target = 0;
    std::int64_t source = 0;
    if (st == status::kOk) st = ArgWhole(call, 4, 0, 0, kLargestNumber, &mode);
    if (st == status::kOk) st = ArgWhole(call, 3, 0, 0, kLargestNumber, &relation);
    if (st == status::kOk) st = ArgWhole(call, 2, 0, 0, kLargestNumber, &target);
    if (st == status::kOk) st = ArgWhole(call, 1, 0, 0, kLargestNumber, &source);
    if (st != status::kOk) return st;
    bool declined = true;
    st = RelationThroughHook(call, &declined);
    if (!declined) return st;
    TokenCursor args = ArgumentCursor(call.token);
    for (int k = 0; k < kRelationArguments && ArgumentsLeft(args); ++k) SkipArgument(&args);
    const TextRef update = RestOfGroup(args);
    return RecordResult(RelateRecord(
        static_cast<std::uint16_t>(source), static_cast<std::uint16_t>(target),
        static_cast<std::uint16_t>(relation), static_cast<std::uint16_t>(mode), update));
}

StatusCode FileLocate(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 0, 2);
    std::int64_t file = 0;
    TextRef action = "NXT"_t;
    if (st == status::kOk) st = ArgWhole(call, 2, 0, 0, kLargestNumber, &file);
    if (st == status::kOk) st = ArgText(call, 1, action, &action);
    if (st != status::kOk) return st;
    if (ListFind(TextView(kRecordActionNames), action, ',') == 0) return status::kSyntax;
    return RecordResult(
        DataFileMove(CheckFile(static_cast<std::uint16_t>(file)), RecordActionCode(action)));
}

StatusCode Key(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 2, 4);
    std::int64_t unused = 0;
    for (std::uint16_t i = call.count; i >= 1 && st == status::kOk; --i) {
        st = ArgWhole(call, i, 0, INT16_MIN, kLargestNumber, &unused);
    }
    // No record is ever current here: every key reads as not defined.
    return st != status::kOk ? st : PushText(""_t);
}

StatusCode IoStatus(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 0, 1);
    std::int64_t file = 0;
    if (st == status::kOk) st = ArgWhole(call, 1, 0, 0, kLargestNumber, &file);
    // One input/output status serves every file: the data layer keeps no status per file.
    return st != status::kOk ? st : PushInteger(IntVarGet(kIoStatusVariable));
}

StatusCode Sort(const BuiltinCall& call) {
    if (call.count < 1 || call.count > kMaxSortArguments) return status::kSyntax;
    Arg a[kMaxSortArguments + 1];
    StatusCode st = ReadArguments(call, a);
    if (st != status::kOk) return st;
    const std::uint16_t command =
        a[1].isText ? ListFind(kSortCommands, a[1].value, ',') : sortcmd::kList;
    if (call.count < kSortCounts[command].min || call.count > kSortCounts[command].max) {
        return status::kSyntax;
    }
    switch (command) {
    case sortcmd::kNew:
        return SortNewArea(a);
    case sortcmd::kAdd:
        return SortAddEntry(a);
    case sortcmd::kMove:
        return SortMoveTo(a);
    case sortcmd::kGet:
        return SortGetEntry(a);
    case sortcmd::kKill:
        return SortKillArea(a);
    default:
        return SortListed(a);
    }
}

} // namespace vodarir::builtin
