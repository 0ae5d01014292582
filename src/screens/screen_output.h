// The field values of the current runtime screen written as one line of the output file.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The integer variable that says an output is wanted (_OUTHND).
inline constexpr std::uint16_t kOutputHandleVariable = 37;

// One value as it stands in the line: in apostrophes, or in double quotes when it holds an
// apostrophe; a value holding both has each of its double quotes doubled inside the double
// quotes, so that the line still reads back into the same values. On the ScratchStack.
TextRef OutputValue(TextRef value);

// When _OUTHND is not 0 and the current screen has fields, appends the line of their values (in
// field order, each as OutputValue writes it, joined with ",") to the output file. Answers what
// OutputLine answers (1 when an output file is named), 0 when nothing was to be written, or
// kStringTooLong when the line would pass 65535 bytes.
int OutputScreenValues();

} // namespace vodarir
