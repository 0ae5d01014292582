// Report files in the temporary folder (TEMP, else TMPDIR, else /tmp): new ones, created only
// where no file stood, under a name with a random part; the saved reports that later ones are
// compared with, put in place whole; and reports read back.
//
// The temporary folder may be shared with other users, who could plant a file, or a link to one
// of ours, under a name they expect us to write. So a report is only ever written into a file
// this call has just created (O_EXCL) under an unpredictable name, and a saved report takes its
// fixed name by a rename, which replaces whatever stood there instead of writing through it.
// Bytes go out through the host's file functions (FileOpen, FileWrite), so a failing disk can be
// simulated there; a report that cannot be written whole leaves no file behind.
//
// Ownership: paths are answered on the ScratchStack (caller's level discipline); report bytes are
// the caller's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// What a new report file holds, which gives its extension: the text viewer is told by the
// extension, on this platform, how to show a file.
enum class ReportFileKind : std::uint8_t {
    Text, // .txt
    Html, // .html
};

// The saved reports later ones are compared with, in the temporary folder.
inline constexpr std::string_view kSavedStructureReport = "filereport.txt";
inline constexpr std::string_view kSavedScreenReport = "scrreport.txt";
// Bytes handed to one FileWrite call.
inline constexpr std::uint16_t kReportWriteChunk = 0x4000;

// The path of a new file "report.<unique>.txt" (or ".html") in the temporary folder holding
// bytes. The failed TextRef: 164 when the folder takes no new file (the folder is the error
// detail), 131 when the bytes could not all be written (the file is removed again).
TextRef WriteNewReport(std::string_view bytes, ReportFileKind kind);

// Writes bytes as the temporary folder's file name (a saved report): into a new file first, which
// then takes the name, replacing what stood there (a link itself, never the file it points to).
// Answers its path, or the failed TextRef: WriteNewReport's statuses, or the rename's (175 when
// the folder keeps another user's file of that name); the earlier saved report then stays.
TextRef SaveReport(std::string_view bytes, std::string_view name);

// The path of the temporary folder's file name (no file is made).
TextRef SavedReportPath(std::string_view name);

// The whole file into *bytes (replacing what it held). 164 when it is not there, 175 when it may
// not be read, 138 when it is no file, 136 when it cannot be read whole (the path is the error
// detail); *bytes is then left empty.
StatusCode ReadReport(TextRef path, std::string* bytes);

} // namespace vodarir
