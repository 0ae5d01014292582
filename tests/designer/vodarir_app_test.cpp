// The application object: the start-up in its order, the runtime shut down when the dialog ends,
// a start that fails before the dialog, and the command line made from the program's arguments.
#include <gtest/gtest.h>

#include <filesystem>

#include "designer/main_dialog.h"
#include "designer/vodarir_app.h"
#include "masks/number_format.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/messages/messages.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir::testing {
namespace {

using namespace literals;
namespace act = platform::act;

TEST(CommandLine, ArgumentsWithBlanksAreQuoted) {
    struct Row {
        std::vector<const char*> args;
        const char* line;
    };
    const Row rows[] = {
        {{"/opt/vodarir/vodarir"}, "/opt/vodarir/vodarir"},
        {{"/opt/v/vodarir", "ALTOTAL.PRX"}, "/opt/v/vodarir ALTOTAL.PRX"},
        {{"/opt/my apps/vodarir", "/home/ana/mis apps/AL.PRX", "/X=1"},
         "\"/opt/my apps/vodarir\" \"/home/ana/mis apps/AL.PRX\" /X=1"},
        {{"v", "a\tb", ""}, "v \"a\tb\" "},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(JoinCommandLine(static_cast<int>(row.args.size()), row.args.data()), row.line)
            << row.line;
    }
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        PoolFailAllocationsAfter(-1);
        ClearRecordedError();
        SlotStoreConfigureDefaults();
        before_ = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        platform::SetUi(&ui);
    }
    void TearDown() override {
        PoolFailAllocationsAfter(-1);
        if (PoolReady()) SlotStoreShutdown();
        platform::SetUi(nullptr);
        std::filesystem::current_path(before_);
        EXPECT_EQ(ui.pendingCount(), 0u);
    }
    bool Start(const std::string& line) { return app.InitInstance(TextView(line)); }

    TempFolder folder;
    platform::ScriptedUi ui;
    CVodarirApp app;

private:
    std::filesystem::path before_;
};

TEST_F(AppTest, StartUpPreparesTheRuntimeThenShutsItDown) {
    folder.Write("DU_ZERA_ES.MSJ", "0018 Cambios sin guardar\r\n");
    // "a b" is a file of no kind the designer edits: no editor, and no folder to choose.
    ui.queueModal(kMainDialogName,
                  {act::Run([&](platform::ScriptedUi&, platform::WindowId) {
                       EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 1)), "\"/opt/v\" \"a b\"")
                           << "quote, two blanks, quote became quote, blank, quote";
                       EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 3)), "Vodarir");
                       EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 4)), "ES");
                       EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 7)), "Help");
                       EXPECT_TRUE(IntVarTest(sysvar::kCompat, kCompatDesignMode));
                       EXPECT_EQ(Str(MsgText("0018")), "Cambios sin guardar")
                           << "the language file of \"es\" in the start folder";
                   }),
                   act::Close()});
    EXPECT_FALSE(Start("\"/opt/v\"  \"a b\""));
    EXPECT_FALSE(PoolReady()) << "the runtime is shut down when the dialog ends";
    EXPECT_EQ(app.startStatus(), status::kOk);
    EXPECT_EQ(app.shutdownStatus(), status::kOk);
}

TEST_F(AppTest, WithoutALanguageFileTheBuiltInMessagesAnswer) {
    ui.queueFolderChoice(folder.path());
    ui.queueModal(kMainDialogName, {act::Run([](platform::ScriptedUi&, platform::WindowId) {
                                        EXPECT_EQ(Str(MsgText("0018")),
                                                  "Posible perdida de datos. Por favor confirmar");
                                    }),
                                    act::Close()});
    Start(folder.File("vodarir"));
}

TEST_F(AppTest, NumbersAndDatesFollowTheDesignersLanguage) {
    // The language file of "es" gives its own month names; the built-in table its separators.
    folder.Write("DU_ZERA_ES.MSJ", "0117 ene,feb,mar,abr,may,jun,jul,ago,sep,oct,nov,dic,"
                                   "'[D] de [M] de [Y]'\r\n");
    ui.queueFolderChoice(folder.path());
    ui.queueModal(kMainDialogName, {act::Run([](platform::ScriptedUi&, platform::WindowId) {
                                        EXPECT_EQ(DecimalSeparator(false), ',');
                                        EXPECT_EQ(ThousandsSeparator(false), '.');
                                        EXPECT_EQ(Str(MonthName(3)), "mar");
                                        EXPECT_EQ(Str(LongDateTemplate()), "[D] de [M] de [Y]");
                                    }),
                                    act::Close()});
    Start(folder.File("vodarir"));
}

TEST_F(AppTest, AStartThatFailsShowsNothing) {
    PoolFailAllocationsAfter(0);
    EXPECT_FALSE(Start("vodarir"));
    EXPECT_NE(app.startStatus(), status::kOk);
    EXPECT_TRUE(ui.transcript().empty()) << "no dialog, no message";
}

} // namespace
} // namespace vodarir::testing
