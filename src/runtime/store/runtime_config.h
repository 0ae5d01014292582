// Runtime start, the command line and the expansion of %NAME% references.
#pragma once

#include <cstdint>

#include "runtime/messages/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

using RuntimeInitFn = StatusCode (*)();

// Remembers the instance, runs init, then stores the command line in environment slot 0.1 with
// every quote-two-blanks-quote shortened to quote-blank-quote.
StatusCode RuntimeStart(void* instance, TextRef commandLine, RuntimeInitFn init);
// SlotStoreInit, the typed tables, then every system variable with its default.
StatusCode RuntimeInit();
// flags 0: the program as started; 1: the first argument (empty when it begins with "/");
// 2 added: only its drive and folder.
TextRef RunPath(int flags);
TextRef ExpandConfig(TextRef text);
TextRef ExpandPaths(TextRef text);
// The About box.
void AboutShow();

} // namespace vodarir
