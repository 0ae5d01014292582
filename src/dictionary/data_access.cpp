// The record operations present by name, and the record buffer's fixed answers.
#include "dictionary/data_access.h"

#include "runtime/store/error_detail.h"

namespace vodarir {

namespace {

// Only the detail changes: the pending error record is left to the first real failure.
StatusCode Removed(TextRef name) { return LogErrorText(status::kFeatureRemoved, name, false); }

} // namespace

using namespace literals;

StatusCode BufferFldPutExp(TextRef) { return Removed("BufferFldPutExp"_t); }
StatusCode BufferDataSet(std::uint16_t, TextRef) { return Removed("BufferDataSet"_t); }
StatusCode BufferFldPut(std::uint16_t, std::uint16_t, TextRef) { return Removed("BufferFldPut"_t); }
StatusCode DataFileCounter(std::uint16_t, std::uint16_t, TextRef) {
    return Removed("DataFileCounter"_t);
}
StatusCode DataFileEof(std::uint16_t) { return Removed("DataFileEof"_t); }
StatusCode DataFileRelUpdateLow(std::uint16_t) { return Removed("DataFileRelUpdateLow"_t); }
StatusCode DataFileDelete(std::uint16_t, std::uint16_t) { return Removed("DataFileDelete"_t); }
StatusCode DataFileFind(std::uint16_t, std::uint16_t) { return Removed("DataFileFind"_t); }
StatusCode DataFileFindChk(std::uint16_t) { return Removed("DataFileFindChk"_t); }
StatusCode DataFileInsert(std::uint16_t) { return Removed("DataFileInsert"_t); }
StatusCode DataFileMove(std::uint16_t, std::uint16_t) { return Removed("DataFileMove"_t); }
StatusCode DataFileSelect(TextRef) { return Removed("DataFileSelect"_t); }
StatusCode DataFileWrite(std::uint16_t) { return Removed("DataFileWrite"_t); }

TextRef BufferFldGet(std::uint16_t, std::uint16_t) { return TextRef(); }
void DataFileAdded(std::uint16_t) {}
std::uint16_t RecordActionCode(TextRef) { return kNoMoveCode; }
const void* BufferControlBlock(std::uint16_t) { return nullptr; }
void DataScreenOpening(std::uint16_t) {}

} // namespace vodarir
