// The expansion of %NAME% references: configuration names, application folders and environment
// names, as paths and commands in definition files write them.
//
// Ownership: the expansions answer on the ScratchStack (caller's level discipline).
#pragma once

#include "runtime/text/text_ref.h"

namespace vodarir {

// Replaces every %NAME% outside quotes by its configuration value (unknown names by nothing);
// references inside quotes and a lone "%" stay as they are. Always ends: a value that refers to
// itself is expanded a bounded number of times.
TextRef ExpandConfig(TextRef text);
// Replaces the application folder and environment names (also inside quotes), then the
// configuration names as ExpandConfig does. A first reference that is neither hands the whole
// text to ExpandConfig, so later folder names in it expand to nothing.
TextRef ExpandPaths(TextRef text);

} // namespace vodarir
