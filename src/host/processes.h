// External viewers and child processes: starting programs with or without waiting, capturing a
// console program's output through a pipe, and comparing two files with the system's comparer.
//
// Commands are one text: the program and its arguments separated by blanks. A run of characters
// inside '...' or "..." belongs to one word and loses its quotes, so paths with blanks are written
// quoted ("/tmp/my report.txt"). The program is looked up along PATH unless it holds a "/".
//
// Viewers: the text viewer (1), the web browser (2) and the PDF reader (3) are the programs named
// by VODARIR_TEXT_VIEWER, VODARIR_HTML_VIEWER and VODARIR_PDF_VIEWER, else xdg-open. The browser
// and the reader are first looked up in the settings store under the application-paths key (see
// host/registry.h); a value found there wins and is used as one quoted path. A variable may
// hold options after the program ("viewer --new-window").
//
// Child processes never outlive their bookkeeping as zombies: a program that is waited for is
// reaped here; one that is not is started through a short-lived intermediate process, so it
// belongs to the system's reaper from the start.
//
// Ownership: texts answered (RunToText, RunToTempFile) are placed on the ScratchStack (caller's
// level discipline). A sink's bytes live only during the sink call.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Viewers of OpenInViewer.
enum class Viewer { Text = 1, Html = 2, Pdf = 3 };

// Start flags of StartProgram and OpenInViewer.
namespace startflag {
inline constexpr int kNoWait = 1;     // do not wait for the program
inline constexpr int kDetached = 2;   // start it in a session of its own
inline constexpr int kWaitAnyway = 4; // wait even when kNoWait is set
} // namespace startflag

// OpenInViewer's answer when no program for the viewer can be found.
inline constexpr StatusCode kNoViewer = 0xFFFF;
// The program and at most seven arguments.
inline constexpr std::uint16_t kMaxCommandWords = 8;
// A captured command may carry more arguments; this many words at most.
inline constexpr std::uint16_t kMaxCapturedWords = 64;
// Captured output reaches the sink in chunks of at most this many bytes.
inline constexpr std::uint16_t kCaptureChunk = 1024;

// Receives a chunk of captured output; a non-zero answer ends the capture with that status.
using CaptureSink = StatusCode (*)(void* context, const char* bytes, std::uint16_t length);

// Starts the viewer's program with argument (already quoted by the caller where it holds blanks)
// through StartProgram. kNoViewer when the viewer is unknown or no program for it can be found.
StatusCode OpenInViewer(Viewer viewer, TextRef argument, int flags);

// Runs command. Runs of blanks outside quotes count as one. Answers 0 when it was started and not
// waited for (kNoWait without kWaitAnyway); otherwise waits and answers its exit code, where a
// program ended by a signal, or ending with 255 (the exit code -1 here), answers kUndefinedWarning.
// kFileNotFound when the program cannot be found or started, kBadCommandLine for an empty command
// or one of more than kMaxCommandWords words (nothing is dropped silently), kInternal when the
// system refuses a process.
StatusCode StartProgram(TextRef command, int flags);

// Starts command with its standard output and error going to a pipe and no input (it reads end of
// file), and hands every chunk of output to sink (may be null: the output is read and dropped)
// until the program has ended and its output is drained. Answers 0, the first non-zero status of
// the sink (the program is then stopped and reaped), kInternal when no pipe can be made,
// kFileNotFound when the program cannot be found or started, kBadCommandLine for an empty or
// over-long command, kOutOfMemory when the ScratchStack has no room for a chunk. The caller's
// thread waits; the pipe is polled, never spun on.
StatusCode RunCaptured(TextRef command, void* context, CaptureSink sink);

// The whole output of command as one text, or the failed TextRef with RunCaptured's status;
// kStringTooLong when the output exceeds 65535 bytes.
TextRef RunToText(TextRef command);

// The path of a new file "vodarir-*.txt" in the temporary folder holding command's output, or the
// failed TextRef with the status (the file is then removed): kWrite when writing failed,
// kFileOpening when no file could be made, or RunCaptured's status.
TextRef RunToTempFile(TextRef command);

// The command that compares two files, line by line: diff with each path quoted. Its output is
// empty for equal files. On the ScratchStack; the failed TextRef 163 for a path holding both
// quote characters.
TextRef ComparerCommand(TextRef first, TextRef second);

// Runs ComparerCommand, writes its output to a temporary text file and opens that in the text
// viewer without waiting. Answers RunToTempFile's status or OpenInViewer's.
StatusCode CompareFiles(TextRef first, TextRef second);

} // namespace vodarir
