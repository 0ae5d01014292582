// Numbered text files: a 40-entry table over the C library's streams, the line reader, whole-file
// helpers and the loader that pours a file's lines into a SlotStore group.
//
// Ownership: texts read are placed on the ScratchStack (caller's level discipline). File numbers
// 0..2 are the standard streams and are never closed.
#pragma once

#include <cstdint>

#include "runtime/store/slot_store.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

using FileNumber = std::uint16_t;
inline constexpr FileNumber kFileTableSize = 40;

// Open flags.
namespace openflag {
inline constexpr std::uint16_t kReadWrite = 1;
inline constexpr std::uint16_t kCreate = 2; // create or truncate
inline constexpr std::uint16_t kAppend = 4;
inline constexpr std::uint16_t kNoPlus = 8;   // read only, never create
inline constexpr std::uint16_t kQuiet = 0x80; // do not record a failure
} // namespace openflag

// Positions: the current one (the runtime's 0xFFFF), or delete-first for FileWriteAll.
inline constexpr std::int64_t kCurrentPosition = -1;
inline constexpr std::int64_t kRewritePosition = -2;
inline constexpr std::uint16_t kWholeFile = 0xFFFF;
inline constexpr std::uint16_t kReadOneLine = 0xFFFF;
inline constexpr std::uint16_t kIoFailed = 0xFFFF;
inline constexpr std::size_t kMaxPathLength = 384;
inline constexpr std::size_t kLineBufferSize = 512;

// The numbered-line layout of a file kind.
struct LineKindLayout {
    int numberAt; // -1: the kind has no number
    int numberWidth;
    int recordAt;
    int notInRecord; // characters of the line that are not part of the record
};
LineKindLayout LineLayout(int kind);

// A file number (below 128), or a StatusCode (128 or more): 163 for an empty path or one of 384
// characters or more, 168 when every number is in use, 164 when the file cannot be opened. "CON"
// is standard input, or standard output when the mode bits are exactly kCreate. A name that does
// not exist as written is looked up case-insensitively in its folder. The reading modes (neither
// kCreate nor kAppend) take only regular files: a folder, a FIFO or a device gives kFileNotFound at
// once, without waiting on it. Unless kQuiet, a failure appends the path to the error detail and is
// recorded with step 12.
std::uint16_t FileOpen(TextRef path, std::uint16_t flags);
// Why path would not open for reading, for callers to whom a missing file is normal and any other
// failure is not: 0 when it opens, 164 when nothing is there, 175 when access is refused, 138 when
// what is there is no regular file (a folder, a FIFO, a device) or fails otherwise. Records
// nothing.
StatusCode FileReadRefusal(TextRef path);
void FileClose(FileNumber number);
// How many file numbers from 3 up are open: every reader closes what it opened.
std::uint16_t FilesOpen();
std::int64_t FileSize(FileNumber number);
std::int64_t FilePos(FileNumber number);
StatusCode FileSeek(FileNumber number, std::int64_t position);
bool FileAtEnd(FileNumber number);
// count kReadOneLine reads one line (CR LF, CR or LF ends it; a line that is one Ctrl-Z is
// skipped; the end of the file ends the last line) and leaves the position after its ending.
// Answers the bytes read, or kIoFailed at the end of the file, on failure, or when the line does
// not fit the buffer (the position then stays at the line's start). A counted read that fails part
// way answers kIoFailed too, never the bytes before the failure. Lines are read ahead in blocks;
// FilePos answers the position after the last line taken.
std::uint16_t FileRead(FileNumber number, std::int64_t position, std::uint16_t count, char* buffer,
                       std::uint32_t bufferSize);
// FileRead into a new ScratchStack level. A line takes at most kLineBufferSize characters; a longer
// one gives the failed TextRef kStringTooLong rather than a cut line. The end of the file gives
// kDiskIo, a read that fails kRead.
TextRef FileReadLine(FileNumber number, std::int64_t position, std::uint16_t count);
// The next line of a file number from 3 up as FileReadLine gives it with kReadOneLine (the same
// lines, the same statuses; on a failure the position stays at the line's start), but as a view
// into what the file layer read ahead rather than a new scratch level: valid until the next step
// on that file number (a read, a seek, a write, its close). For readers that act on one line at a
// time and copy what they keep; it saves a level and a copy a line.
TextRef FileLineView(FileNumber number);
// Writes at position (kCurrentPosition: at the end) in chunks of 512 bytes; answers the bytes
// written (fewer than the text's length when a write failed), kIoFailed when nothing could start.
std::uint16_t FileWrite(FileNumber number, std::int64_t position, TextRef text);
// The file from position (count kWholeFile: all the rest) on a new ScratchStack level. 146 when
// the rest exceeds 65535 bytes, 145 when the stack has no room, 136 (recorded, with the path) when
// a read fails or the file comes up shorter than its size.
TextRef FileReadAll(TextRef path, std::int64_t position, std::uint16_t count);
// FileReadAll with every CR LF, then every remaining LF, replaced by separator.
TextRef FileReadAllJoined(TextRef path, TextRef separator);
// Opens with kReadWrite, writes at position, closes. kRewritePosition replaces the whole file, but
// only once the new contents are complete on disk: a failed rewrite leaves the old file as it was.
// It writes the file a symbolic link names (the link stays); a file with other names (hard links)
// is rewritten where it is, so they all see the new contents; a read-only file (FileReadOnly) is
// refused with kPermissionDenied and left as it was.
// A text of exactly 65535 bytes answers 65535 = kIoFailed either way: use FileSave to be sure.
std::uint16_t FileWriteAll(TextRef path, std::int64_t position, TextRef text);
// FileWriteAll; 0 when every byte was written, kPermissionDenied for a read-only file, else
// kFileIo.
StatusCode FileSave(TextRef path, std::int64_t position, TextRef text);
// Whether the path names an existing file (through symbolic links) that may not be written: it has
// no write bit at all, or none that lets this process write. Decided by the permission bits, so a
// read-only file stays one for the superuser too.
bool FileReadOnly(TextRef path);
// Whether the path names an existing file (through symbolic links) that has other names (hard
// links): a file put in its place by a rename leaves those names with the old contents.
bool FileHasOtherNames(TextRef path);
std::int64_t FileLength(TextRef path);
StatusCode FileDelete(TextRef path);
StatusCode FileRename(TextRef oldPath, TextRef newPath);

// Lines of the file (kind 0: all; else those whose number is key, as records) pushed onto group.
// A bare name that does not open is looked for along the default folders (environment slot 5).
// Answers the number of lines, or 0xFFFF; on a failure part way (an over-long line, a full store,
// a read that fails, which is recorded with the path) the lines already pushed are taken back out
// of the group.
std::uint16_t ReadLines(TextRef path, int kind, int key, SlotGroup group);
void PushFileText(TextRef path, int kind, int key);
void PopFileText();

// Test seam for "a failed write loses nothing": after `allowed` further write calls succeed, each
// write call stores fewer bytes than asked (at most `partial`) and reports it, as on a full disk,
// until reset with -1 (which turns every fault of host/file_faults.h off). A shorthand for a
// persistent short-write plan of FileFaultArm.
void FileFailWritesAfter(int allowed, std::uint16_t partial = 0);

// name + "." + the extension of file kind k (1-based,
// "PPN,PAN,STP,DAT,DAT,PDC,PRX,ZAA,PMT,PDF,TXT,PDI,HLP").
TextRef WithKindExtension(TextRef name, int kind);
// Index-file extensions ",.FD,.DIR,.NDX,.TMP,.TXT", lower-cased when 0x80 is added to k.
TextRef IndexExtension(int k);

} // namespace vodarir
