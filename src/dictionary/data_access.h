// The record operations of the application's data files, present by name: this program describes
// and edits applications but holds no data, so every operation answers kFeatureRemoved with
// its own name as the error detail, and the record-buffer queries give fixed empty answers.
//
// None of these changes the pending error record: callers treat kFeatureRemoved like any error of
// 128 or more, and the first error recorded earlier stays the one reported.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// --- Record operations: each sets the detail to its name and answers kFeatureRemoved
// -------------------------
StatusCode BufferFldPutExp(TextRef assignment);
StatusCode BufferDataSet(std::uint16_t file, TextRef data);
StatusCode BufferFldPut(std::uint16_t file, std::uint16_t field, TextRef value);
StatusCode DataFileCounter(std::uint16_t file, std::uint16_t mode, TextRef text);
StatusCode DataFileEof(std::uint16_t file);
StatusCode DataFileRelUpdateLow(std::uint16_t targetFile);
StatusCode DataFileDelete(std::uint16_t file, std::uint16_t flags);
StatusCode DataFileFind(std::uint16_t file, std::uint16_t index);
StatusCode DataFileFindChk(std::uint16_t file);
StatusCode DataFileInsert(std::uint16_t file);
// direction: 16, or 20 after key 23.
StatusCode DataFileMove(std::uint16_t file, std::uint16_t direction);
StatusCode DataFileSelect(TextRef selection);
StatusCode DataFileWrite(std::uint16_t file);

// --- Fixed answers of the record buffer ----------------------------------------------------------
// A move code meaning "no code".
inline constexpr std::uint16_t kNoMoveCode = 0xFFFF;
// The record actions a move code could be asked for.
inline constexpr char kRecordActionNames[] =
    "NEW,TOP,PRV,RLD,NXT,BOT,FND,SVE,INS,DEL,LST,NLS,BLS,IMP,MDE,DDE,PRN";

// The value of a field of a file's record buffer: always the empty text.
TextRef BufferFldGet(std::uint16_t file, std::uint16_t field);
// A file was added to the dictionary: nothing to prepare.
void DataFileAdded(std::uint16_t file);
// The move code of a record action name: always kNoMoveCode.
std::uint16_t RecordActionCode(TextRef action);
// The record-buffer control block of a file: always none.
const void* BufferControlBlock(std::uint16_t file);
// A screen is being opened: nothing to prepare.
void DataScreenOpening(std::uint16_t screen);

} // namespace vodarir
