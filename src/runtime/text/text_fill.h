// TextFill: printf's "%s" for formats that come from data (message files, patterns a caller
// passes), where a real printf would read arguments that are not there.
//
// Ownership: the result is placed on the ScratchStack (caller's level discipline).
#pragma once

#include <cstdint>
#include <initializer_list>

#include "runtime/text/text_ref.h"

namespace vodarir {

// Each "%s" of format takes the next value (the empty text once they run out), "%%" is one "%",
// and every other "%" stands for itself. A result longer than maximum is the failed TextRef
// kStringTooLong, recorded with step 16, never a cut text. A failed format or value is passed on.
TextRef TextFill(std::uint16_t maximum, TextRef format, std::initializer_list<TextRef> values);

} // namespace vodarir
