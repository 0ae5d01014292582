// Numbered text files: a 40-entry table over the C library's streams, the line reader, whole-file
// helpers and the loader that pours a file's lines into a SlotStore group.
//
// Ownership: texts read are placed on the ScratchStack (caller's level discipline). File numbers
// 0..2 are the standard streams and are never closed.
#pragma once

#include <cstdint>

#include "runtime/messages/status.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

using FileNumber = std::uint16_t;
inline constexpr FileNumber kFileTableSize = 40;

// Open flags.
namespace openflag {
inline constexpr std::uint16_t kReadWrite = 1;
inline constexpr std::uint16_t kCreate = 2;    // create or truncate
inline constexpr std::uint16_t kAppend = 4;
inline constexpr std::uint16_t kNoPlus = 8;    // read only, never create
inline constexpr std::uint16_t kQuiet = 0x80;  // do not record a failure
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
    int numberAt;       // -1: the kind has no number
    int numberWidth;
    int recordAt;
    int notInRecord;    // characters of the line that are not part of the record
};
LineKindLayout LineLayout(int kind);

// A file number (below 128), or a StatusCode (128 or more).
std::uint16_t FileOpen(TextRef path, std::uint16_t flags);
void FileClose(FileNumber number);
std::int64_t FileSize(FileNumber number);
std::int64_t FilePos(FileNumber number);
StatusCode FileSeek(FileNumber number, std::int64_t position);
bool FileAtEnd(FileNumber number);
std::uint16_t FileRead(FileNumber number, std::int64_t position, std::uint16_t count, char* buffer,
                       std::uint32_t bufferSize);
TextRef FileReadLine(FileNumber number, std::int64_t position, std::uint16_t count);
std::uint16_t FileWrite(FileNumber number, std::int64_t position, TextRef text);
TextRef FileReadAll(TextRef path, std::int64_t position, std::uint16_t count);
TextRef FileReadAllJoined(TextRef path, TextRef separator);
std::uint16_t FileWriteAll(TextRef path, std::int64_t position, TextRef text);
StatusCode FileSave(TextRef path, std::int64_t position, TextRef text);
std::int64_t FileLength(TextRef path);
StatusCode FileDelete(TextRef path);
StatusCode FileRename(TextRef oldPath, TextRef newPath);

// Lines of the file (kind 0: all; else those whose number is key, as records) pushed onto group.
// Answers the number of lines, or 0xFFFF.
std::uint16_t ReadLines(TextRef path, int kind, int key, SlotGroup group);
void PushFileText(TextRef path, int kind, int key);
void PopFileText();

// name + "." + the extension of file kind k (1-based, "PPN,PAN,STP,DAT,DAT,PDC,PRX,ZAA,PMT,PDF,TXT,PDI,HLP").
TextRef WithKindExtension(TextRef name, int kind);
// Index-file extensions ",.FD,.DIR,.NDX,.TMP,.TXT", lower-cased when 0x80 is added to k.
TextRef IndexExtension(int k);

} // namespace vodarir
