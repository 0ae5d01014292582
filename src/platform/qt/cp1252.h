// Code page 1252 to and from Qt's UTF-16, and the line breaks and positions of multi-line text:
// the one place where the core's bytes meet the toolkit's characters.
//
// Every byte has a character: the 27 bytes 0x80-0x9F that code page 1252 defines map to their
// characters (0x80 is U+20AC, 0x82 is U+201A ...); the five it leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 controls of the same number, so any byte string survives a
// round trip. A character the code page lacks becomes "?" on the way back.
//
// Multi-line edits: the core separates lines with CR LF; the toolkit with one character (LF, or
// U+2029 in a document's raw text). Positions in the core's text count CR LF as two.
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

// Multi-line text: CR LF, a lone CR and a lone LF all become one LF.
QString FromCp1252Lines(std::string_view bytes);
// LF, U+2029 (paragraph separator) and U+2028 (line separator) all become CR LF.
std::string ToCp1252Lines(const QString& text, int* lost = nullptr);

// A position in the core's CR LF text to the toolkit's one-character breaks, and back. A
// position inside a CR LF pair counts as after it. Both clamp to the text.
int CrLfToWidgetPos(std::string_view crlfText, int pos);
int WidgetToCrLfPos(std::string_view crlfText, int pos);

} // namespace vodarir::platform::qtface
