// The error trail: the first serious failure of the run, with the processing step it happened in.
//
// Invariants:
//  1. The record starts as (0, 0) and is set by the first error of status kFirstError or more.
//  2. Once set it stays for the rest of the run, unless a later record is forced (condition 2).
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

struct ErrorRecord {
    StatusCode status = 0;
    std::uint16_t step = 0;
};

// When condition is non-zero, records (status, step) if nothing is recorded yet and status is an
// error (128 or more), or unconditionally when condition is 2. Returns result unchanged, or 0 when
// condition is 0: the recorded status and the answer may differ on purpose.
StatusCode NoteFirstError(int condition, std::uint16_t step, StatusCode status, StatusCode result);

ErrorRecord RecordedError();

// NoteFirstError; then, when condition is non-zero, the failed TextRef carrying status, else text.
TextRef ErrorCheckText(int condition, std::uint16_t step, StatusCode status, TextRef text);

// Forgets the record; the runtime's initialisation and tests start from a clean trail.
void ClearRecordedError();

} // namespace vodarir
