// Fixture of the message tests: a started runtime, an empty catalogue and the scripted face.
#pragma once

#include <string>
#include <vector>

#include "platform/scripted/scripted_ui.h"
#include "runtime/messages/language_files.h"
#include "runtime/store/slot_store.h"
#include "support/runtime_fixture.h"

namespace vodarir::testing {

class MessagesTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        MsgCatalogReset();
        platform::SetUi(&ui);
    }
    void TearDown() override {
        platform::SetUi(nullptr);
        MsgCatalogReset();
        RuntimeTest::TearDown();
    }

    // Loads the lines as one language file, the way the file reader hands them over.
    static void LoadLines(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            ASSERT_EQ(SlotPush(slotgroup::kFileLines, TextView(line)), status::kOk) << line;
        }
        MsgLoadFile(static_cast<std::uint16_t>(lines.size()));
    }

    platform::ScriptedUi ui;
};

} // namespace vodarir::testing
