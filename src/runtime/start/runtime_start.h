// Runtime start: the store, the typed tables and the system variables, and the command line.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

using RuntimeInitFn = StatusCode (*)();

// Remembers the instance, runs init, then stores the command line in environment slot 0.1 with
// every quote-two-blanks-quote shortened to quote-blank-quote.
StatusCode RuntimeStart(void* instance, TextRef commandLine, RuntimeInitFn init);
// The instance RuntimeStart remembered.
void* RuntimeInstance();
// SlotStoreInit, the typed tables, then every system variable with its default.
StatusCode RuntimeInit();

} // namespace vodarir
