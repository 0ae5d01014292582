// Code page 1252 to and from Qt's UTF-16: the one place where the core's bytes meet the toolkit's
// characters (multi-line edits add their line breaks on top, see qt_multiline_edit.h).
//
// Every byte has a character: the 27 bytes 0x80-0x9F that code page 1252 defines map to their
// characters (0x80 is U+20AC, 0x82 is U+201A ...); the five it leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 controls of the same number, so any byte string survives a
// round trip. A character the code page lacks becomes "?" on the way back.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace vodarir::platform::qtface {

// The character of a byte.
char16_t Cp1252ToUnicode(unsigned char byte);
// The byte of a character; -1 when the code page has none.
int UnicodeToCp1252(char16_t ch);

QString FromCp1252(std::string_view bytes);
// Characters without a byte become '?'; `lost` (when given) counts them.
std::string ToCp1252(const QString& text, int* lost = nullptr);

} // namespace vodarir::platform::qtface
