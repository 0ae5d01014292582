// The process-wide record of the first serious failure.
#include "runtime/text/error_trail.h"

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

void ClearRecordedError() { g_lastError = {}; }

} // namespace vodarir
