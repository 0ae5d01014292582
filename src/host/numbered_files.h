// Numbered-line files: every line starts with a block number, and the lines of one number form
// a block. Reading one block's records, finding the highest number, and rewriting one block in
// place of the old one; the screen files and their parameter files are written this way.
//
// Limits: a line holds at most kLineBufferSize characters (the line reader's buffer), so a line
// that would be longer is refused before anything is written, and a file holding one is refused
// when read, never cut. Files themselves may be of any size: they are read line by line and
// written in pieces.
//
// Ownership: records are handed out as std::string; nothing is kept between calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The numbered-line layouts these files use (the numbers of the line layout table).
enum class LineKind : std::uint8_t {
    Parameters = 1, // the number in two columns, a blank, the record
    Screen = 2,     // a double quote, the number in two columns, the record, a double quote
};
// The highest block number two columns can hold.
inline constexpr std::uint16_t kMaxBlockNumber = 99;

// The line that holds `record` in block `number` (without its line end).
std::string NumberedLine(LineKind kind, std::uint16_t number, std::string_view record);
// The number of a line (blanks read as zeros; a number field that is not a number reads 0), and
// its record.
std::uint16_t LineNumberOf(LineKind kind, std::string_view line);
std::string_view LineRecordOf(LineKind kind, std::string_view line);

// The records of block `number`, in file order. A bare name that does not open is looked for
// along the definitions folders. 164 when the file cannot be opened; 146 for a line longer than
// the line reader takes (the error detail names the file and the line).
StatusCode ReadBlock(TextRef path, LineKind kind, std::uint16_t number,
                     std::vector<std::string>* records);
// Every block of the file in one pass: blocks[n] holds the records of block n in file order
// (the vector has the highest number plus one entries). Fails as ReadBlock.
StatusCode ReadBlocks(TextRef path, LineKind kind, std::vector<std::vector<std::string>>* blocks);
// The highest number of any line of the file (0 for an empty one). 164 when it cannot be opened,
// 146 as ReadBlock.
StatusCode HighestBlock(TextRef path, LineKind kind, std::uint16_t* highest);
// Replaces block `number` of the file by `records` (none: the block goes): the other lines are
// copied in order, and the new block stands where the old one began, or before the first line of
// a higher number, or at the end. The new file is written beside the old one and put in its
// place only when complete; a missing file is made. 168 for a number beyond kMaxBlockNumber, 146
// for a record whose line would be too long to read back (nothing is written then).
StatusCode RewriteBlock(TextRef path, LineKind kind, std::uint16_t number,
                        const std::vector<std::string>& records);

} // namespace vodarir
