// The log file, assertion failures and the output file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "diagnostics/assert.h"
#include "diagnostics/log.h"
#include "host/text_files.h"
#include "host/time_texts.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir::testing {
namespace {

using namespace literals;

ClockReading Morning() { return {2026, 12, 6, 9, 5, 30}; }

// The record LogRecord writes at 09:05 on 6 December 2026, with the date in the given order.
std::string Record(const std::string& date, const std::string& text) {
    return "*****************************\r\n Date:" + date + " - Time:09:05 - User:0\r\n" + text +
           "\r\n**********************\r\n\r\n";
}

class LogTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(RuntimeInit(), status::kOk);
        TimeSetClock(Morning);
        platform::SetUi(&ui);
        char here[4096];
        ASSERT_NE(::getcwd(here, sizeof here), nullptr);
        previous_ = here;
        // The log file lives in the working folder.
        ASSERT_EQ(::chdir(folder.path().c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(::chdir(previous_.c_str()), 0);
        platform::SetUi(nullptr);
        TimeSetClock(nullptr);
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        RuntimeTest::TearDown();
    }
    static void Env(SlotGroup group, SlotIndex slot, const std::string& value) {
        ASSERT_EQ(SlotSet(group, slot, TextView(value)), status::kOk);
    }
    static std::string Path() {
        const ScratchLevel mark = ScratchMark();
        std::string s = Str(LogFilePath());
        ScratchRelease(mark);
        return s;
    }

    TempFolder folder;
    platform::ScriptedUi ui;
    std::string previous_;
};

TEST_F(LogTest, TheLogFileIsNamedAfterTheApplication) {
    Env(slotgroup::kEnvironment, kApplicationNameSlot, "VENTAS");
    EXPECT_EQ(Path(), "VElog.txt");
    ASSERT_EQ(LogRecord("hello"_t), status::kOk);
    EXPECT_EQ(folder.Read("VElog.txt"), Record("12-06-2026", "hello"));
}

TEST_F(LogTest, AnEmptyApplicationNameLogsToLogTxt) {
    EXPECT_EQ(Path(), "log.txt");
    ASSERT_EQ(LogRecord("x"_t), status::kOk);
    EXPECT_TRUE(folder.Exists("log.txt"));
    EXPECT_EQ(folder.EntryCount(), 1);
}

TEST_F(LogTest, TheErrorSlotOverridesThePath) {
    Env(slotgroup::kEnvironment, kApplicationNameSlot, "VENTAS");
    Env(slotgroup::kRuntimeMessages, kLogPathSlot, folder.File("elsewhere.log"));
    EXPECT_EQ(Path(), folder.File("elsewhere.log"));
    ASSERT_EQ(LogRecord("moved"_t), status::kOk);
    EXPECT_EQ(folder.Read("elsewhere.log"), Record("12-06-2026", "moved"));
    EXPECT_FALSE(folder.Exists("VElog.txt"));
}

TEST_F(LogTest, RecordsAreAppendedAndTheDateFollowsTheLanguage) {
    folder.Write("log.txt", "earlier\r\n");
    Env(slotgroup::kEnvironment, 4, "ES");
    ASSERT_EQ(LogRecord("one"_t), status::kOk);
    ASSERT_EQ(LogRecord(""_t), status::kOk);
    EXPECT_EQ(folder.Read("log.txt"),
              "earlier\r\n" + Record("06-12-2026", "one") + Record("06-12-2026", ""));
}

TEST_F(LogTest, ALogFileThatCannotBeOpenedDropsTheRecord) {
    Env(slotgroup::kRuntimeMessages, kLogPathSlot, folder.File("missing/folder/log.txt"));
    EXPECT_EQ(LogRecord("lost"_t), status::kFileNotFound);
    EXPECT_EQ(RecordedError().status, status::kFileNotFound); // the open noted it
    EXPECT_TRUE(ui.shownBoxes().empty());                     // but nothing is shown
    EXPECT_EQ(folder.EntryCount(), 0);
}

TEST_F(LogTest, ALongRecordIsWrittenWhole) {
    const std::string text(65000, 'x'); // with its frame beyond one text
    ASSERT_EQ(LogRecord(TextView(text)), status::kOk);
    EXPECT_EQ(folder.Read("log.txt"), Record("12-06-2026", text));
}

// --- Assertions --------------------------------------------------------------------------------

TEST_F(LogTest, AHoldingAssertionDoesNothing) {
    EXPECT_TRUE(Assert(true, "ScreenSetWin"_t));
    EXPECT_TRUE(ui.shownBoxes().empty());
    EXPECT_FALSE(folder.Exists("log.txt"));
}

TEST_F(LogTest, TwoAssertionFailuresGiveTwoBoxesAndTwoCompleteRecords) {
    EXPECT_FALSE(Assert(false, "ScreenSetWin"_t));
    EXPECT_FALSE(Assert(1 > 2, "AcceptWinSelect"_t));
    ASSERT_EQ(ui.shownBoxes().size(), 2u);
    for (const platform::ShownBox& box : ui.shownBoxes()) {
        EXPECT_EQ(box.caption, "Assertion Fail");
        EXPECT_EQ(box.icon, platform::BoxIcon::Stop);
        EXPECT_EQ(box.buttons, platform::BoxButtons::Ok);
        EXPECT_EQ(box.owner, platform::kNoWindow);
    }
    EXPECT_EQ(ui.shownBoxes()[0].text, "ScreenSetWin");
    EXPECT_EQ(ui.shownBoxes()[1].text, "AcceptWinSelect");
    EXPECT_EQ(folder.Read("log.txt"),
              Record("12-06-2026", "ScreenSetWin") + Record("12-06-2026", "AcceptWinSelect"));
}

// --- The output file ---------------------------------------------------------------------------

TEST_F(LogTest, OutputLineWithoutTheOptionWritesNothing) {
    Env(slotgroup::kEnvironment, 1, "prog /APNAME=VE");
    EXPECT_EQ(OutputLine("'a','b'"_t), 0);
    Env(slotgroup::kEnvironment, 1, "prog /OUTPUT=");
    EXPECT_EQ(OutputLine("'a','b'"_t), 0);
    EXPECT_EQ(folder.EntryCount(), 0);
}

TEST_F(LogTest, OutputLineAppendsToTheNamedFile) {
    Env(slotgroup::kEnvironment, 1, "prog /OUTPUT=" + folder.File("out.txt") + " /TRACE=1");
    EXPECT_EQ(OutputLine("'a','b'"_t), 1);
    EXPECT_EQ(OutputLine("'c'"_t), 1);
    EXPECT_EQ(folder.Read("out.txt"), "'a','b'\r\n'c'\r\n");
}

TEST_F(LogTest, OutputLineReportsTheFileEvenWhenTheWriteFails) {
    Env(slotgroup::kEnvironment, 1, "prog /output=" + folder.File("no/such/out.txt"));
    EXPECT_EQ(OutputLine("x"_t), 1);
    FileFailWritesAfter(0);
    Env(slotgroup::kEnvironment, 1, "prog /OUTPUT=" + folder.File("out.txt"));
    EXPECT_EQ(OutputLine("x"_t), 1);
    FileFailWritesAfter(-1);
}

} // namespace
} // namespace vodarir::testing
