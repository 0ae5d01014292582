// The error detail: the text that says what failed (a file name, an expression), kept beside the
// error trail's first record for the messages that report it.
//
// Ownership: ErrorDetail is a view into the SlotStore, valid until the store next changes.
#pragma once

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Stores text as the error detail (SlotStore 9.9). With append, an existing detail is kept and the
// new text follows it after CR LF. Answers status unchanged.
StatusCode LogErrorText(StatusCode status, TextRef text, bool append);
// The current error detail (a view into the SlotStore).
TextRef ErrorDetail();

} // namespace vodarir
