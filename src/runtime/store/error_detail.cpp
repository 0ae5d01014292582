// The error detail, kept in the slot store.
#include "runtime/store/error_detail.h"

#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {
constexpr SlotIndex kDetailSlot = 9;
}

StatusCode LogErrorText(StatusCode status, TextRef text, bool append) {
    const TextRef existing = SlotGet(slotgroup::kRuntimeMessages, kDetailSlot);
    if (!append || existing.empty()) {
        SlotSet(slotgroup::kRuntimeMessages, kDetailSlot, text);
        return status;
    }
    ScratchScope scope;
    using namespace literals;
    if (ScratchConcat(existing, "\r\n"_t) == status::kOk &&
        ScratchConcat(ScratchTop(), text) == status::kOk) {
        SlotSet(slotgroup::kRuntimeMessages, kDetailSlot, ScratchTop());
    }
    return status;
}

TextRef ErrorDetail() { return SlotGet(slotgroup::kRuntimeMessages, kDetailSlot); }

} // namespace vodarir
