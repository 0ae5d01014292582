// Fault injection for the file layer: a test makes the k-th open, read, write, flush or rename
// from now on fail (once, or from then on), so that "a failure loses nothing" is shown at every
// point a save or a load can fail, not at a few chosen ones.
//
// Every such step of the file layer (host/text_files) asks FileFaultHits before it goes to the
// system, and counts there; nothing else in the program asks. A plan is process-wide and stays
// armed until FileFaultsOff (or another plan) replaces it.
#pragma once

#include <cstdint>
#include <string_view>

namespace vodarir {

// The steps that can fail. kFlush is every step that makes written bytes reach the disk: the
// C library's flush, the system's sync and the close of a written file.
enum class FileOp : std::uint8_t { kOpen, kRead, kWrite, kFlush, kRename };
inline constexpr int kFileOpKinds = 5;

enum class FileFault : std::uint8_t {
    kFail,  // the step fails and does nothing
    kShort, // a write stores fewer bytes than asked (at most `partial`) and says so, as a full
            // disk does; any other step fails as with kFail
};

struct FileFaultPlan {
    FileOp op = FileOp::kWrite;
    int at = 1; // the at-th step of that kind after arming fails (1-based)
    FileFault fault = FileFault::kFail;
    bool persist = false; // every later step of that kind fails too (a disk that stays full)
    std::uint32_t partial = 0;
};

void FileFaultArm(const FileFaultPlan& plan);
// No fault; the counts start again from 0.
void FileFaultsOff();
// How many steps of the kind the file layer took since the last arming (or FileFaultsOff).
int FileOpCount(FileOp op);
// Whether the armed fault has struck since it was armed.
bool FileFaultStruck();
std::string_view FileOpName(FileOp op);

// For the file layer: counts one step of the kind and answers whether it must fail. For a short
// write, *partial (when given) receives the bytes the step may still store; else it is 0.
bool FileFaultHits(FileOp op, std::uint32_t* partial = nullptr);

} // namespace vodarir
