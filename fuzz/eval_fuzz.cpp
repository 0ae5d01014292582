// Fuzz target: arbitrary expression texts through the evaluator's entry points, in one runtime
// with a small dictionary (relations included), declared arrays, the accumulators, hooks, an added
// function and a working folder holding a procedure file and a text file. Checks that every
// evaluation ends and leaves the ScratchStack and the argument group as it found them; after each
// input the files and sort areas it left open are released and the state later inputs depend on
// (variables, system integers, environment slots, stack groups, the dictionary) is put back.
//
// The built-in functions reach files. The target moves into a folder of its own at the first input
// (also the procedure folder and TEMP), so names without a folder stay inside it; the log file
// goes to /dev/null. Give the fuzzer absolute paths for its corpus and artifacts. A generated
// absolute path is not confined: run the target as an unprivileged user.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "diagnostics/log.h"
#include "dictionary/dictionary.h"
#include "dictionary/sort_areas.h"
#include "fuzz_input.h"
#include "host/text_files.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/builtin_functions.h"
#include "script/builtins.h"
#include "script/evaluator.h"

namespace vodarir {
namespace {

using fuzz::Require;

using namespace literals;

constexpr SlotIndex kProcedureFolderSlot = 5;
constexpr FileNumber kFirstOwnFile = 3;

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

// The execute hook runs ".pan" files; the relational-update hook answers a number.
TextRef ExecuteHook(TextRef file, int) {
    return TextFind(file, ".pan"_t, true) != kNotFound ? "ran"_t : TextRef::Failed(status::kData);
}

TextRef RelationHook(TextRef text, int) {
    return text.size() % 2 == 0 ? "1"_t : TextRef::Failed(status::kData);
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

// A sum nested in a sum runs up to 65536 × 65536 steps: slow, not wrong, so such inputs are
// left out.
bool NestedSums(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t first = text.find("FN#ACUM(");
    return first != std::string_view::npos &&
           text.find("FN#ACUM(", first + 1) != std::string_view::npos;
}

// The working folder, made once and entered. What scripts write to the standard output goes
// nowhere.
std::string MakeFolder() {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return "";
    std::string pattern = (std::filesystem::temp_directory_path() / "vodarir-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr || ::chdir(pattern.c_str()) != 0) return "";
    ::setenv("TEMP", pattern.c_str(), 1);
    return pattern;
}

// The files every input starts from: a procedure file, a text file and a key=value file. Only a
// file an earlier input changed is written again (writing is what costs).
constexpr const char* kFiles[][2] = {
    {"p.prx", "x=1\r\ny$='a;b'\r\nz=FN#SLEN(y$)\r\n"},
    {"t.txt", "one\r\ntwo\nthree"},
    {"k.txt", "A=1\r\nB$='b'\r\n"},
};

void WriteFiles() {
    for (const auto& file : kFiles) {
        std::ifstream in(file[0], std::ios::binary);
        const std::string now((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
        if (now != file[1]) std::ofstream(file[0], std::ios::binary | std::ios::trunc) << file[1];
    }
}

// The dictionary every input starts from.
void MakeDictionary() {
    ClearDictionary();
    AddFile(0, "clientes"_t, ""_t);
    AddField("codigo"_t, 6, 'N');
    AddField("nombre"_t, 30, 'A');
    AddFile(0, "pedidos"_t, ""_t);
    AddField("fecha"_t, 8, 'D');
    AppendRelation(2, "1R1K1=codigo{2}:1R2K1='x'"_t);
}

// Environment and message slots an input may change that later runs depend on.
struct SavedSlot {
    SlotGroup group;
    SlotIndex index;
};
constexpr SavedSlot kSavedSlots[] = {
    {slotgroup::kEnvironment, 1},
    {slotgroup::kEnvironment, kProcedureFolderSlot},
    {slotgroup::kEnvironment, kFunctionListSlot},
    {slotgroup::kRuntimeMessages, kLogPathSlot},
    {slotgroup::kVariableNames, 0},
    {slotgroup::kVariableNames, 1},
    {slotgroup::kVariableNames, 2},
    {slotgroup::kVariableNames, 3},
};
constexpr std::uint16_t kSystemIntegers = 42;
constexpr SlotGroup kFirstStack = 30;
constexpr SlotGroup kLastGroup = 38;

// What an input starts from, taken once the runtime is set up.
struct Baseline {
    VarSnapshotRecord variables;
    std::int16_t integers[kSystemIntegers] = {};
    std::string slots[sizeof kSavedSlots / sizeof kSavedSlots[0]];
    std::uint16_t stackCounts[kLastGroup + 1] = {};
};
Baseline g_baseline;

bool Start(const std::string& folder) {
    PoolConfigure(256, kKeepValue, kKeepValue);
    if (RuntimeStart(nullptr, TextRef(), RuntimeInit) != status::kOk) return false;
    SlotSet(slotgroup::kRuntimeMessages, kLogPathSlot, "/dev/null"_t);
    SlotSet(slotgroup::kEnvironment, kProcedureFolderSlot, TextView(folder));
    SlotSet(slotgroup::kEnvironment, 1, "prog /DB=base /USER='Ana Perez'"_t);
    MakeDictionary();
    ArrayDim("A("_t, {5});
    ArrayDim("M#("_t, {2, 3});
    ArrayDim("_#("_t, {256});
    VarAssign("_ACUMX$"_t, "IVA,VENTAS"_t);
    SlotPush(slotgroup::kValueStack, "    "_t);
    ArrayDim("T$("_t, {3});
    SlotPop(slotgroup::kValueStack);
    VarSetHook(0, ReadHook);
    VarSetHook(2, CallHook);
    VarSetHook(kExecuteHook, ExecuteHook);
    VarSetHook(kRelationalUpdateHook, RelationHook);
    RegisterFunction("FZ"_t, ReadAll);

    g_baseline.variables = VarSnapshot();
    for (std::uint16_t n = 0; n < kSystemIntegers; ++n) g_baseline.integers[n] = IntVarGet(n);
    for (std::size_t k = 0; k < sizeof kSavedSlots / sizeof kSavedSlots[0]; ++k) {
        g_baseline.slots[k] =
            std::string(SlotGet(kSavedSlots[k].group, kSavedSlots[k].index).view());
    }
    for (SlotGroup g = kFirstStack; g <= kLastGroup; ++g) g_baseline.stackCounts[g] = SlotCount(g);
    ClearRecordedError();
    return true;
}

// What a script may leave behind: open text files and sort areas it never released.
void ReleaseLeftovers() {
    for (FileNumber n = kFirstOwnFile; n < kFileTableSize; ++n) FileClose(n);
    const PoolControl pool = PoolSnapshot();
    for (std::uint16_t i = 0; i < pool.entryCount; ++i) {
        const BlockEntry& entry = pool.table[i];
        if (entry.block != nullptr && entry.tag == kSortAreaTag) {
            Require(BlockFree(kSortAreaTag, entry.block) == status::kOk);
        }
    }
}

// Back to the baseline, so that inputs stay independent of each other.
void Reset() {
    ReleaseLeftovers();
    for (std::size_t k = 0; k < sizeof kSavedSlots / sizeof kSavedSlots[0]; ++k) {
        SlotSet(kSavedSlots[k].group, kSavedSlots[k].index, TextView(g_baseline.slots[k]));
    }
    VarRestore(g_baseline.variables);
    for (std::uint16_t n = 0; n < kSystemIntegers; ++n) IntVarSet(n, g_baseline.integers[n]);
    for (SlotGroup g = kFirstStack; g <= kLastGroup; ++g) {
        SlotPopTo(g, g_baseline.stackCounts[g]);
    }
    MakeDictionary();
    LogErrorText(0, ""_t, false);
    ClearRecordedError();
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    if (NestedSums(data, size)) return 0;
    static const std::string folder = MakeFolder();
    static const bool started = !folder.empty() && Start(folder);
    Require(started);
    WriteFiles();
    if (size > kMaxTextLength) size = kMaxTextLength;
    const TextRef text(reinterpret_cast<const char*>(data), static_cast<std::uint16_t>(size));

    const std::uint16_t group35 = SlotCount(slotgroup::kValueStack);
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();

    const StatusCode st = EvalExpression(text);
    fuzz::RequireInvariants();
    Require(ScratchDepth() == (st >= status::kFirstError ? mark : mark + 1));
    scope.Release();
    const TextRef shown = EvalText(text);
    fuzz::RequireInvariants();
    Require(ScratchDepth() == (shown.failed() ? mark : mark + 1));
    scope.Release();
    EvalCondition(text);
    fuzz::RequireInvariants();
    EvalInteger(text);
    fuzz::RequireInvariants();
    EvalIfText(text);
    fuzz::RequireInvariants();
    scope.Release();
    Require(ScratchDepth() == mark);
    Require(SlotCount(slotgroup::kValueStack) == group35);

    Reset();
    fuzz::RequireInvariants();
    return 0;
}
