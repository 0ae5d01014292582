// Memory checks run before each editing operation (usage advice and snapshot comparison) and the
// plain-text usage report shown when one fails.
//
// State (process-wide, for the life of the process):
//  1. The advice threshold, a percentage of the pool's handle table. It starts at
//     kInitialAdviceThreshold and only ever rises (by kAdviceStep per failed advice, saturating at
//     255); a mode of 2..254 replaces it only while it still has its initial value.
//  2. The snapshot: the pool's handle-table pointer, entry count and live count, and the shape of
//     each of the twelve structures, as taken by the last MemoryCheck(kTakeSnapshot). Before any
//     is taken it holds zeros.
//
// Ownership: texts answered are placed on the ScratchStack (caller's level discipline).
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Modes of MemoryCheck besides the thresholds 2..254.
namespace memcheck {
inline constexpr std::uint8_t kCompareSnapshot = 0;
inline constexpr std::uint8_t kTakeSnapshot = 1;
inline constexpr std::uint8_t kAdvice = 255;
} // namespace memcheck

inline constexpr std::uint8_t kInitialAdviceThreshold = 80;
inline constexpr std::uint8_t kAdviceStep = 5;
// A raised threshold below this makes the advice a warning (kUndefinedWarning); from it on, an
// error (kOutOfMemory).
inline constexpr std::uint8_t kAdviceErrorThreshold = 95;
// What a snapshot comparison that finds a difference answers (-1 as 16 bits).
inline constexpr StatusCode kSnapshotMismatch = 0xFFFF;
// The structures of the report: the typed tables 0 to 11, numbered 1 to 12 here.
inline constexpr std::uint16_t kStructureCount = 12;
inline constexpr char kStructureNames[] =
    "_FILESTRUC,_FIELDENTRY,_INDEXENTRY,_INDEXSEGS,_SCREENS ,_SCRWIND,_VARSTRUCTS,_INTVALUES,"
    "_NUMVALUES,_MEMTREES,_EXECPROCS,_MAXSTRUCT";
// StructurePointers lists the addresses of this many elements at most (and any without storage).
inline constexpr std::uint16_t kListedElements = 5;

// mode 1 takes the snapshot (answers 0). mode 0 compares with it: kSnapshotMismatch and a box
// with the report at the first difference, else 0. Any other mode gives usage advice: 0 while the
// pool's usage is not above the threshold; otherwise the threshold rises and the answer is
// kUndefinedWarning while the raised threshold is below kAdviceErrorThreshold, else kOutOfMemory,
// shown in a box with the report (a warning box for kUndefinedWarning, an error box otherwise).
StatusCode MemoryCheck(std::uint8_t mode);

// prefix, CR LF and the usage report: the pool and ScratchStack figures, one line per structure
// and the counts of screens and windows. Never fails short of a full ScratchStack.
TextRef UsageReport(TextRef prefix);
// The numbers of the current runtime screen and window (0: none) for the report's closing block;
// the runtime screens install it, and without it both read 0.
using CurrentScreensFn = void (*)(unsigned* screen, unsigned* window);
void MemoryReportSetCurrentScreens(CurrentScreensFn fn);

// The pointer column of structure number (1..12): the addresses of its first kListedElements
// elements, the 32-bit value just after its storage in hexadecimal, and " OK." when that value is
// the pool's guard pattern, else " Fail.". An empty structure lists nothing and is " OK.". Any
// other number gives the empty text.
TextRef StructurePointers(std::uint16_t number);

// The current advice threshold.
std::uint8_t AdviceThreshold();
// Back to the state of a fresh process: the initial threshold and a zero snapshot. For a runtime
// started again, and for tests.
void MemoryCheckReset();

} // namespace vodarir
