// The application's log file (framed records, assertion failures among them) and the output file
// named by the command-line option OUTPUT.
//
// Log file: environment slot 0.2's first two characters followed by "log.txt" in the working
// folder (an empty application name logs to "log.txt"), unless runtime-message slot 9.10 holds a
// path, which then wins. Each record is appended whole, the file being opened and closed around
// it, so records of separate processes interleave only between records.
//
// Record layout:
//   "*****************************\r\n Date:<date> - Time:<time> - User:0\r\n"  (29 asterisks)
//   <text>
//   "\r\n**********************\r\n\r\n"                                        (22 asterisks)
// The date is today in the numeric date style (day, month, four-digit year joined with "-", in the
// language's order), the time the current hours and minutes ("09:05").
//
// Ownership: LogFilePath answers on the ScratchStack; the others leave the stack as they found it.
#pragma once

#include <cstdint>

#include "runtime/store/slot_store.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

inline constexpr SlotIndex kApplicationNameSlot = 2;
inline constexpr SlotIndex kLogPathSlot = 10; // in the runtime-message group 9
inline constexpr TextRef kLogFileSuffix = TextView("log.txt");
inline constexpr std::uint16_t kApplicationPrefixLength = 2;
inline constexpr TextRef kLogUser = TextView("0");

// The log file's path (see above).
TextRef LogFilePath();
// Appends one framed record holding text. A log file that cannot be opened drops the record: the
// open records its failure in the error trail as every open does, and the status (kFileNotFound or
// the like) is answered but never shown. kFileIo when the write did not complete.
StatusCode LogRecord(TextRef text);
// Appends text and CR LF to the file named by the command-line option OUTPUT. Answers 1 when an
// output file is named (whether or not the write succeeded), 0 when the option is absent or empty.
int OutputLine(TextRef text);

} // namespace vodarir
