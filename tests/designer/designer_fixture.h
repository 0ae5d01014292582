// Fixture of the designer's tests: a runtime started as the designer starts it, the scripted face,
// a fresh current folder, and a main-dialog window for the dispatcher to build layouts in.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "host/text_files.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/messages/language_files.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "screens/list_views.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir::testing {

class DesignerTest : public ::testing::Test {
protected:
    void SetUp() override {
        PoolFailAllocationsAfter(-1);
        FileFailWritesAfter(-1);
        ClearRecordedError();
        PoolConfigure(256, kKeepValue, kKeepValue);
        SlotStoreConfigureDefaults();
        oldFolder_ = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        platform::SetUi(&ui);
        const std::string line = "\"" + folder.File("vodarir") + "\" " + arguments();
        ASSERT_EQ(RuntimeStart(nullptr, TextView(line), RuntimeInit), status::kOk);
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 3, TextView("Vodarir")), status::kOk);
        DesignerStateClear();
        for (EditorKind k : {editorkind::kFileStructure, editorkind::kScreen}) {
            InstallKindEditor(k, KindEditorHooks{});
        }
        platform::WindowSpec spec;
        spec.name = "Dialog";
        spec.title = "Vodarir";
        spec.frame = {0, 0, 800, 600};
        dialog = ui.createWindow(spec, &events);
        ASSERT_NE(dialog, platform::kNoWindow);
    }

    void TearDown() override {
        if (ui.windowExists(dialog)) ui.destroyWindow(dialog);
        ListViewsReset();
        FileFailWritesAfter(-1);
        EXPECT_EQ(ScratchDepth(), 0) << "a command left the scratch stack unbalanced";
        EXPECT_EQ(ui.pendingCount(), 0u) << "queued answers were never asked for";
        EXPECT_EQ(SlotStoreShutdown(), status::kOk) << "a block was left live";
        platform::SetUi(nullptr);
        DesignerStateClear();
        std::filesystem::current_path(oldFolder_);
    }

    // What follows the program on the command line.
    virtual std::string arguments() const { return {}; }

    // The text of edit 2500 (empty when there is none).
    std::string editText() const {
        const platform::ShownControl* c = ui.control(dialog, designerctl::kEdit);
        return c != nullptr ? c->text : std::string();
    }
    std::string slot(SlotIndex index) const { return Str(DesignerSlot(index)); }
    // The captions and texts of every box shown so far, "[caption] text".
    std::vector<std::string> boxes() const {
        std::vector<std::string> out;
        for (const platform::ShownBox& b : ui.shownBoxes()) {
            out.push_back("[" + b.caption + "] " + b.text);
        }
        return out;
    }

    TempFolder folder;
    platform::ScriptedUi ui;
    platform::WindowEvents events;
    platform::WindowId dialog = platform::kNoWindow;

private:
    std::filesystem::path oldFolder_;
};

} // namespace vodarir::testing
