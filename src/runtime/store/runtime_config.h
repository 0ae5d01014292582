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
// The instance RuntimeStart remembered.
void* RuntimeInstance();
// SlotStoreInit, the typed tables, then every system variable with its default.
StatusCode RuntimeInit();
// flags 0: the program as started; 1: the first argument (empty when it begins with "/", unless
// it names an existing file); 2 added: only its drive and folder.
// RunPath and the expansions answer on the ScratchStack (caller's level discipline).
TextRef RunPath(int flags);
// Replaces every %NAME% outside quotes by its configuration value (unknown names by nothing);
// references inside quotes and a lone "%" stay as they are. Always ends: a value that refers to
// itself is expanded a bounded number of times.
TextRef ExpandConfig(TextRef text);
// Replaces the application folder and environment names (also inside quotes), then the
// configuration names as ExpandConfig does. A first reference that is neither hands the whole
// text to ExpandConfig, so later folder names in it expand to nothing.
TextRef ExpandPaths(TextRef text);
// The About box.
void AboutShow();

} // namespace vodarir
