// Assertions of the runtime: a failed one is shown in a message box captioned "Assertion Fail"
// and then appended to the application's log file as a framed record.
//
// After a failure the failing operation is not continued: Assert answers false and the caller
// gives up, answering its own failure status (kAssertionStatus where it answers a status) to its
// caller. The program goes on running.
#pragma once

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The caption of the box that reports a failed assertion.
inline constexpr char kAssertionCaption[] = "Assertion Fail";
// The status an operation answers when it gives up after a failed assertion (INTERNAL).
inline constexpr StatusCode kAssertionStatus = status::kInternal;

// Does nothing and answers true when condition holds. Otherwise shows text (the name of the
// failing operation, or the expression that could not be evaluated) in an ownerless error box
// captioned kAssertionCaption, waits for it to be dismissed, appends a log record holding the
// text (LogRecord) and answers false, so the caller can give up the failing operation.
bool Assert(bool condition, TextRef text);

} // namespace vodarir
