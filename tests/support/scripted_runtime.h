// A runtime on the scripted face: pool, slot store and variables up, the scripted face
// installed, and the runtime's window, font and list-view state reset before and after.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "masks/cell_fonts.h"
#include "platform/event_recorder.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/ui/win_basics.h"
#include "screens/list_views.h"
#include "support/runtime_fixture.h"

namespace vodarir::testing {

class ScriptedRuntimeTest : public RuntimeTest {
protected:
    platform::ScriptedUi ui;

    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(TypedTablesInit(), status::kOk);
        SlotStoreSetTablesRelease(VariablesRelease);
        platform::SetUi(&ui);
        ResetUiState();
    }
    void TearDown() override {
        ResetUiState();
        platform::SetUi(nullptr);
        EXPECT_EQ(ui.pendingCount(), 0u) << "a queued answer or script was never used";
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a scratch level behind";
        RuntimeTest::TearDown();
    }
    static void ResetUiState() {
        WinStackReset();
        CellFontsReset();
        ListViewsReset();
    }

    // A runtime window (overlapped frame) with `events` as its procedure.
    platform::WindowId Open(const char* title, platform::WindowEvents* events = nullptr,
                            std::uint32_t style = winstyle::kOverlapped,
                            platform::Rect frame = {10, 10, 300, 200}) {
        return WinCreate(TextView("Mant"), TextView(title), style, frame.x, frame.y, frame.width,
                         frame.height, nullptr, events);
    }
    const platform::ShownWindow& Shown(platform::WindowId id) {
        static const platform::ShownWindow kNone;
        const platform::ShownWindow* w = ui.window(id);
        return w != nullptr ? *w : kNone;
    }
    bool TranscriptHas(const std::string& line) const {
        for (const std::string& l : ui.transcript()) {
            if (l == line) return true;
        }
        return false;
    }
};

} // namespace vodarir::testing
