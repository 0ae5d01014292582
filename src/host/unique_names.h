// Unique temporary names, and files created under a name no other file of their folder has.
//
// Ownership: texts are placed on the ScratchStack (caller's level discipline).
#pragma once

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// How many names CreateUniqueFile tries before it gives up.
inline constexpr int kUniqueNameAttempts = 64;

// A short name made of letters and digits that this process has not answered before and that is
// unlikely to be in use by another (it mixes the process id, the clock and a counter), and that
// nobody can predict (random bits from the system go into it).
TextRef UniqueName();

// Creates the empty file folder / (before + UniqueName() + after), only if no file of that name
// exists, so two callers can never be handed the same file. Answers its path, or the failed
// TextRef kFileNotFound when the folder does not take new files (recorded with the folder as
// detail).
TextRef CreateUniqueFile(TextRef folder, TextRef before, TextRef after);

} // namespace vodarir
