// cp1252 <-> UTF-8 at the program's edges: the runtime holds cp1252 bytes, while the operating
// system (file names, the environment, command lines, the terminal) speaks UTF-8.
//
// Ownership: the std::string forms return owned strings; the TextRef forms place their result on
// the ScratchStack (caller's level discipline).
#pragma once

#include <string>
#include <string_view>

#include "runtime/text/text_ref.h"

namespace vodarir {

// The character of a cp1252 byte; the five bytes cp1252 leaves unassigned stand for the C1
// controls of the same number, so every byte string survives the round trip.
char32_t Cp1252CodePoint(unsigned char byte);
// The cp1252 byte of a character, or -1 when cp1252 has none.
int Cp1252ByteOf(char32_t c);

// The lower-case form of a cp1252 letter, accented ones included ("Í" → "í", "Š" → "š"); any other
// byte is itself.
unsigned char Cp1252Lower(unsigned char byte);
// Equal without regard to case, as the file systems definitions come from compare names.
bool Cp1252EqualNoCase(std::string_view a, std::string_view b);

std::string Cp1252ToUtf8(std::string_view bytes);
// False (out unspecified) for malformed UTF-8 or a character cp1252 cannot hold.
bool Utf8ToCp1252(std::string_view utf8, std::string* out);

// The same on the ScratchStack: kStringTooLong when the result would exceed 65535 bytes;
// TextFromUtf8 gives kBadStringType for malformed UTF-8 or a character cp1252 cannot hold.
TextRef TextToUtf8(TextRef text);
TextRef TextFromUtf8(std::string_view utf8);

} // namespace vodarir
