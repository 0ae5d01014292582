// The process-wide record of the first serious failure.
#include "runtime/messages/error_trail.h"

#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {
ErrorRecord g_lastError;
}

StatusCode NoteFirstError(int condition, std::uint16_t step, StatusCode status, StatusCode result) {
    if (condition == 0) return 0;
    const bool firstError = g_lastError.status == 0 && status >= status::kFirstError;
    if (firstError || condition == 2) g_lastError = {status, step};
    return result;
}

ErrorRecord RecordedError() { return g_lastError; }

TextRef ErrorCheckText(int condition, std::uint16_t step, StatusCode status, TextRef text) {
    NoteFirstError(condition, step, status, status);
    return condition != 0 ? TextRef::Failed(status) : text;
}

namespace {
constexpr SlotIndex kDetailSlot = 9;
}

StatusCode LogErrorText(StatusCode status, TextRef text, bool append) {
    const TextRef existing = SlotGet(slotgroup::kRuntimeMessages, kDetailSlot);
    if (!append || existing.empty()) {
        SlotSet(slotgroup::kRuntimeMessages, kDetailSlot, text);
        return status;
    }
    const ScratchLevel mark = ScratchMark();
    using namespace literals;
    if (ScratchConcat(existing, "\r\n"_t) == status::kOk &&
        ScratchConcat(ScratchTop(), text) == status::kOk) {
        SlotSet(slotgroup::kRuntimeMessages, kDetailSlot, ScratchTop());
    }
    ScratchRelease(mark);
    return status;
}

TextRef ErrorDetail() { return SlotGet(slotgroup::kRuntimeMessages, kDetailSlot); }

void ClearRecordedError() { g_lastError = {}; }

} // namespace vodarir
