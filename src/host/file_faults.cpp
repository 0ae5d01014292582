// The file layer's fault plan and its step counts.
#include "host/file_faults.h"

#include <array>

namespace vodarir {

namespace {

struct FaultState {
    bool armed = false;
    FileFaultPlan plan;
    bool struck = false;
    std::array<int, kFileOpKinds> counts{};
};

FaultState g_faults;

constexpr std::array<std::string_view, kFileOpKinds> kOpNames = {"open", "read", "write", "flush",
                                                                 "rename"};

int Index(FileOp op) { return static_cast<int>(op); }

} // namespace

void FileFaultArm(const FileFaultPlan& plan) {
    g_faults = FaultState{};
    g_faults.armed = true;
    g_faults.plan = plan;
}

void FileFaultsOff() { g_faults = FaultState{}; }

int FileOpCount(FileOp op) { return g_faults.counts[Index(op)]; }

bool FileFaultStruck() { return g_faults.struck; }

std::string_view FileOpName(FileOp op) { return kOpNames[Index(op)]; }

bool FileFaultHits(FileOp op, std::uint32_t* partial) {
    if (partial != nullptr) *partial = 0;
    const int n = ++g_faults.counts[Index(op)];
    if (!g_faults.armed || g_faults.plan.op != op) return false;
    const bool hit = n == g_faults.plan.at || (g_faults.plan.persist && n > g_faults.plan.at);
    if (!hit) return false;
    g_faults.struck = true;
    if (partial != nullptr && g_faults.plan.fault == FileFault::kShort) {
        *partial = g_faults.plan.partial;
    }
    return true;
}

} // namespace vodarir
