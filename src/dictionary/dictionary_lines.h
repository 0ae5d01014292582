// The line formats of the dictionary files: classification by line code and the parsers of file,
// field, index and relation lines. Pure functions over one line; nothing is stored.
//
// Ownership: the TextRefs of FileLine, FieldLine and RelationLineText are views into the line.
#pragma once

#include <cstdint>

#include "dictionary/dictionary.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Line codes count in runs of this many: 1..30 file and field lines, 31..60 index lines, 61..90
// relation lines, 91 and above ignored.
inline constexpr int kLineCodeSpan = 30;
inline constexpr std::uint16_t kLineCodeWidth = 2;

namespace linekind {
inline constexpr int kFileOrField = 0;
inline constexpr int kIndex = 1;
inline constexpr int kRelation = 2;
} // namespace linekind

// Field line columns (0-based), as the designer writes them: "%02s%02s<%4s%3s>%1s%s".
namespace fieldcol {
inline constexpr std::uint16_t kLengthAt = 9;
inline constexpr std::uint16_t kLengthWidth = 3;
inline constexpr std::uint16_t kTypeAt = 13;
inline constexpr std::uint16_t kNameAt = 14;
} // namespace fieldcol
// A field line needs its type letter; shorter lines (blank ones too) carry no field.
inline constexpr std::uint16_t kMinFieldLineLength = fieldcol::kNameAt;

// Index segments: a 4-digit 1-based start and a 3-digit length.
inline constexpr std::uint16_t kSegmentStartWidth = 4;
inline constexpr std::uint16_t kSegmentLengthWidth = 3;
inline constexpr std::uint16_t kSegmentWidth = kSegmentStartWidth + kSegmentLengthWidth;

// The decimal number at the start of t after blanks and tabs (digits only, no sign); 0 when none.
// Saturates at 0xFFFFFFFF.
std::uint32_t ReadDecimal(TextRef t);

struct LineClass {
    int kind = linekind::kFileOrField;
    int relativeFile = 0; // the file the line names, before the include base is added
};
// The line's kind from its two-character code (non-numeric codes read as 0, kind 0).
LineClass ClassifyDictionaryLine(TextRef line);

struct FileLine {
    TextRef location; // trailing blanks and tabs removed; empty means the default
    std::uint8_t fileClass = 0;
    TextRef name;         // trailing blanks and tabs removed, case as written
    bool include = false; // the location holds "$": name is another application's prefix
};
// Splits a line holding "*": code "*" location "*" class(2) name. False without "*".
bool ParseFileLine(TextRef line, FileLine* out);

struct FieldLine {
    TextRef name;
    std::uint16_t length = 0;
    char type = 0;
};
// False for a line shorter than kMinFieldLineLength.
bool ParseFieldLine(TextRef line, FieldLine* out);

// The segments after the first "<" (from the first character without one) up to the last
// character, which is excluded; at most kMaxKeySegments, further characters ignored. A start read
// as 0 stays 0.
IndexDefinitionRecord ParseIndexLine(TextRef line);

// The text after the first ":" outside quoted runs; the whole line when there is none.
TextRef RelationLineText(TextRef line);

// TextRef trimmed of trailing blanks and tabs (a view).
TextRef TrimTrailingBlanks(TextRef t);

} // namespace vodarir
