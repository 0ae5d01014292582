// The file-structure report: every data file of the dictionary with its fields, laid out as text
// (three columns of description and length), HTML (the same columns in a table), trans (one
// assignment line per file) or for comparing (one line per field, with or without its type).
//
// A report is built whole in memory of its own (a std::string of cp1252 bytes), never in one
// TextRef: a full dictionary gives far more than a text's 65535 bytes. Scratch levels taken while
// building are released before the builder returns.
//
// Names go into the HTML layout escaped (&, <, >, "), so a file or field name can neither break
// the page nor put markup into it; every other layout keeps the bytes as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

enum class StructureLayout : std::uint8_t {
    Text,    // three columns of "## DESCRIPTION  LENGTH" under a header per file
    Html,    // the same columns in a table, the values of a column joined with <br>
    Trans,   // name="length;field{},..." per file
    Compare, // "TABLA name" and one line per field (description, length, the type when asked)
};

// A report never grows beyond this many bytes: a longer one is refused (146), not cut.
inline constexpr std::size_t kMaxReportBytes = std::size_t{64} << 20;
// The columns of the text and HTML layouts, and the files under one DATABASE heading.
inline constexpr int kReportColumns = 3;
inline constexpr int kFilesPerDatabase = 2;

// The report of every file of the dictionary under reportName (the structure file's base path),
// appended to *out. withTypes adds each field's type character to the compare layout. Answers 0,
// kFileOutBound when the dictionary has no file, kData when a trans line's field list holds both
// quote characters, 146 when the report would pass kMaxReportBytes, 145 when memory runs out, or a
// mask's failure. On failure *out is left as it was.
StatusCode BuildStructureReport(StructureLayout layout, TextRef reportName, bool withTypes,
                                std::string* out);

// The rows of a column split of count fields: count / kReportColumns, one more for a remainder.
// Row r (from 1) holds fields r, r + rows and r + 2 * rows, those that exist.
int ReportRows(int count);

// text with &, <, > and the double quote written as HTML entities, appended to *out.
void AppendHtmlEscaped(std::string_view text, std::string* out);

} // namespace vodarir
