// Assertions of the runtime: a failed one is shown in a message box captioned "Assertion Fail".
//
// The record of a failed assertion in the application's log file is added with the log file
// itself; until then a failure is shown and answered, nothing more.
#pragma once

#include "runtime/text/text_ref.h"

namespace vodarir {

// The caption of the box that reports a failed assertion.
inline constexpr char kAssertionCaption[] = "Assertion Fail";

// Does nothing and answers true when condition holds. Otherwise shows text (the name of the
// failing operation, or the expression that could not be evaluated) in an ownerless error box
// captioned kAssertionCaption, waits for it to be dismissed and answers false, so the caller can
// give up the failing operation.
bool Assert(bool condition, TextRef text);

} // namespace vodarir
