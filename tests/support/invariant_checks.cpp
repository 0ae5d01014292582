// The list of invariant checks and the GoogleTest listener that runs them for every test; linked
// into every test program, which installs the listener before its tests start.
#include "support/invariant_checks.h"

#include <gtest/gtest.h>

#include "designer/designer_state.h"
#include "designer/screen_files.h"
#include "designer/screen_model.h"
#include "dictionary/dictionary.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/invariants.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::testing {

namespace {

struct NamedCheck {
    const char* part;
    InvariantStatus (*check)();
};

// The designer's records answer with a message; these give their answers the common form.
template <typename Record, Record& (*Current)()> InvariantStatus RecordInvariants() {
    std::string message;
    if (CheckInvariants(Current(), &message)) return {};
    return InvariantStatus::Broken("%s", message.c_str());
}

// Every stateful part with a CheckInvariants has its row here.
constexpr NamedCheck kChecks[] = {
    {"scratch stack", ScratchCheckInvariants},
    {"slot store", SlotStoreCheckInvariants},
    {"dictionary", DictionaryCheckInvariants},
    {"designer state", RecordInvariants<DesignerState, Designer>},
    {"screen model", RecordInvariants<ScreenModel, CurrentScreenModel>},
};

void FailOnBrokenInvariants(const char* when) {
    const std::string broken = BrokenInvariants();
    if (!broken.empty()) ADD_FAILURE() << "broken invariant " << when << ":\n" << broken;
}

void CheckAtShutdown() { FailOnBrokenInvariants("at the runtime's shutdown"); }

class InvariantListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        SlotStoreSetShutdownWatcher(CheckAtShutdown);
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        FailOnBrokenInvariants("after the test");
    }
};

const bool g_installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new InvariantListener);
    return true;
}();

} // namespace

std::string BrokenInvariants() {
    std::string lines;
    for (const NamedCheck& c : kChecks) {
        const InvariantStatus s = c.check();
        if (!s.holds) lines += std::string(c.part) + ": " + s.broken + "\n";
    }
    return lines;
}

} // namespace vodarir::testing
