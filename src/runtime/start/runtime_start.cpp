// Runtime start: the system variables, the command line and the state that lives in the store.
#include "runtime/start/runtime_start.h"

#include "masks/number_format.h"
#include "runtime/messages/language_files.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

// The system variables in their order of creation, with their defaults. The integers are numbered
// 0..41 in this order (number 30 is kept free and unused), then the strings 0..2.
constexpr TextRef kSystemVariables =
    "_ERRCODE,_ERRFUNC,_CURFIL,_CUREDFLD,_DEVHIG=24,_DEVWID=80,_DEVLIN,_DEVPOS,_DEVPAG,_CURROW,"
    "_STAT,_LASTKEY=4,_SGN,_UPSTAT=1,_IER,_SYSCOMPAT,_SQLSTK,_COUNT,_HCOUNT,_ADMSTAT,_COMPAT,"
    "_SCRSTAT,_LMAX,_LNUM,_LLST,_HNUM,_SAFE,_LB=128,_AUX,_KEYMAP,_RESERVED,_TRACE=1,_PRECIS=2,"
    "_BYEAR=2000,_BKYEAR=80,_DX,_INHND,_OUTHND,_DATE,_USER01,_USER02,_USER03,"
    "_ACUM$,_ACUMX$,_LTEXT$"_t;

constexpr SlotIndex kCommandLineSlot = 1;

void* g_instance = nullptr;

StatusCode CreateSystemVariable(TextRef item) {
    const std::size_t eq = item.view().find('=');
    if (eq == std::string_view::npos) return VarAssign(item, TextRef());
    const TextRef name(item.data, static_cast<std::uint16_t>(eq));
    const TextRef value(item.data + eq + 1, static_cast<std::uint16_t>(item.length - eq - 1));
    return VarAssign(name, value);
}

} // namespace

StatusCode RuntimeInit() {
    ClearRecordedError();
    StatusCode st = SlotStoreInit();
    if (st != status::kOk) return st;
    // The loaded language texts lived in the store just replaced, and so did the number format.
    MsgCatalogReset();
    UseBuiltinFormat();
    st = TypedTablesInit();
    if (st != status::kOk) return st;
    SlotStoreSetTablesRelease(VariablesRelease);
    const std::uint16_t count = ListCount(kSystemVariables, ',');
    for (std::uint16_t i = 1; i <= count && st == status::kOk; ++i) {
        ScratchScope scope;
        st = CreateSystemVariable(ListItem(kSystemVariables, ',', i));
    }
    return st;
}

StatusCode RuntimeStart(void* instance, TextRef commandLine, RuntimeInitFn init) {
    g_instance = instance;
    StatusCode st = init != nullptr ? init() : status::kOk;
    if (st != status::kOk || commandLine.failed() || commandLine.empty()) return st;
    ScratchScope scope;
    // A program path and its argument, both quoted, come apart with two blanks on some systems.
    const TextRef line = TextReplace(commandLine, "\"  \""_t, "\" \""_t, true);
    return line.failed() ? line.status() : SlotSet(slotgroup::kEnvironment, kCommandLineSlot, line);
}

void* RuntimeInstance() { return g_instance; }

} // namespace vodarir
