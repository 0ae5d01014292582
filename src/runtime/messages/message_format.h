// Filling a message's placeholders with texts, safely: the format comes from a language file the
// user may edit, so it is never handed to the C library's printf.
//
// Ownership: the result is a new ScratchStack level one above the caller's depth (caller's level
// discipline); a failure leaves the stack as it was.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "runtime/text/text_ref.h"

namespace vodarir {

// The format's placeholders, in order, each take the next argument:
//   %s, %i, %d     the argument's text (the messages that carry %i and %d are given texts too)
//   %-5s %05s %.3s flags "-" (align left) and "0" (pad with zeros), a width, a precision that keeps
//                  at most that many bytes of the argument
//   %%             one "%"
// A placeholder beyond the arguments reads as the empty text. Anything else after "%" (a "%n",
// a "%p", a lone "%" at the end) is copied as it stands: no byte of the format can make the
// formatter read or write beyond its arguments and its result.
// Answers the failed TextRef 146 (recorded with step 16) when the result would exceed `maximum`
// bytes, and passes a failed format or argument on.
TextRef MsgFormat(std::uint16_t maximum, TextRef format, std::initializer_list<TextRef> args);

} // namespace vodarir
