// The process-wide record of the first serious failure.
#include "runtime/messages/error_trail.h"

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

void ClearRecordedError() { g_lastError = {}; }

} // namespace vodarir
