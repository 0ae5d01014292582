// Fuzz target: arbitrary expression texts through the evaluator's entry points, in one runtime
// with a small dictionary, declared arrays, hooks and an added function, checking that every
// evaluation ends and leaves the ScratchStack and the argument group as it found them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dictionary/dictionary.h"
#include "runtime/messages/error_trail.h"
#include "runtime/store/runtime_config.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/builtins.h"
#include "script/evaluator.h"

namespace vodarir {
namespace {

using namespace literals;

// Integer system variables an input may set that later runs depend on.
constexpr std::uint16_t kResetVariables[] = {sysvar::kCurRow, 14 /* _IER */, 16 /* _SQLSTK */};

void Require(bool ok) {
    if (!ok) std::abort();
}

// Hook 0 answers one "_" name and declines the rest; hook 2 answers user calls by their kind.
TextRef ReadHook(TextRef name, int mode) {
    if (mode == kHookRead && name.view() == "_FZ") return "12.5"_t;
    return TextRef::Failed(status::kData);
}

TextRef CallHook(TextRef name, int) {
    if (name.view() == "_F$") return "text"_t;
    if (name.view() == "_F" || name.view() == "_F#") return "3"_t;
    return TextRef::Failed(status::kData);
}

// An added function that reads every argument with the readers, from the last to the first.
StatusCode ReadAll(const BuiltinCall& call) {
    for (std::uint16_t i = call.count; i >= 1; --i) {
        bool isText = false;
        if (ArgKind(call, i) == 1) {
            TextRef t;
            ArgText(call, i, ""_t, &t);
        } else if (i % 2 == 0) {
            std::int16_t n = 0;
            ArgInteger(call, i, 0, &n);
        } else {
            ArgAny(call, i, "d"_t, &isText);
        }
    }
    return PushInteger(call.count);
}

bool Start() {
    PoolConfigure(256, kKeepValue, kKeepValue);
    if (RuntimeStart(nullptr, TextRef(), RuntimeInit) != status::kOk) return false;
    AddFile(0, "clientes"_t, ""_t);
    AddField("codigo"_t, 6, 'N');
    AddField("nombre"_t, 30, 'A');
    AddFile(0, "pedidos"_t, ""_t);
    AddField("fecha"_t, 8, 'D');
    ArrayDim("A("_t, {5});
    ArrayDim("M#("_t, {2, 3});
    SlotPush(slotgroup::kValueStack, "    "_t);
    ArrayDim("T$("_t, {3});
    SlotPop(slotgroup::kValueStack);
    VarSetHook(0, ReadHook);
    VarSetHook(2, CallHook);
    RegisterFunction("FZ"_t, ReadAll);
    return true;
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    static const bool started = Start();
    Require(started);
    if (size > kMaxTextLength) size = kMaxTextLength;
    const TextRef text(reinterpret_cast<const char*>(data), static_cast<std::uint16_t>(size));

    // Variables the input creates are dropped afterwards, so runs stay independent and small.
    const VarSnapshotRecord variables = VarSnapshot();
    const std::uint16_t group35 = SlotCount(slotgroup::kValueStack);
    const std::int16_t precis = IntVarGet(sysvar::kPrecis);

    const ScratchLevel listMark = ScratchMark();
    const TextRef functions = TextDup(SlotGet(slotgroup::kEnvironment, kFunctionListSlot));
    const ScratchLevel mark = ScratchMark();

    const StatusCode st = EvalExpression(text);
    Require(ScratchDepth() == (st >= status::kFirstError ? mark : mark + 1));
    ScratchRelease(mark);
    const TextRef shown = EvalText(text);
    Require(ScratchDepth() == (shown.failed() ? mark : mark + 1));
    ScratchRelease(mark);
    EvalCondition(text);
    EvalInteger(text);
    EvalIfText(text);
    ScratchRelease(mark);
    Require(ScratchDepth() == mark);
    Require(SlotCount(slotgroup::kValueStack) == group35);

    VarRestore(variables);
    IntVarSet(sysvar::kPrecis, precis);
    for (const std::uint16_t n : kResetVariables) IntVarSet(n, 0);
    SlotSet(slotgroup::kEnvironment, kFunctionListSlot, functions);
    ScratchRelease(listMark);
    LogErrorText(0, ""_t, false);
    ClearRecordedError();
    return 0;
}
