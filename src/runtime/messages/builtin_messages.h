// The built-in Spanish texts the catalogue answers with when no language file covers a code.
//
// Ownership: every function returns a view of constant program data, valid for the whole run.
#pragma once

#include "runtime/text/text_ref.h"

namespace vodarir {

// Entries "\t" + four-digit code + " " + message, ending with a tab.
TextRef BuiltinMessageTable();
// Comma list: item n names status kCallerText + n (an empty item: no name).
TextRef StatusNameList();
// Comma list whose first item is empty: item step + 1 names a processing step.
TextRef StepNameList();
// What a status without a name reads as.
TextRef UndefinedStatusName();

} // namespace vodarir
