// The report commands on the scripted face: what the user is asked, what the viewer is given, and
// that a report which cannot be built, written or shown says so once and leaves nothing behind.
// The stories of every report type are the scenarios report_files and report_screen.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "reports/report_commands.h"
#include "reports/report_files.h"
#include "reports_fixture.h"
#include "runtime/store/variables.h"

namespace vodarir::testing {
namespace {

namespace act = platform::act;
using platform::BoxAnswer;

constexpr char kTypeTitle[] = "Report Type";

class ReportCommandsTest : public ReportsTest {
protected:
    void SetUp() override {
        ReportsTest::SetUp();
        // The viewers record the file they were given, one line each.
        viewers.Write("viewer", "#!/bin/sh\nprintf '%s %s\\n' \"$1\" \"$2\" >> \"${0%/*}/seen\"\n");
        ASSERT_EQ(::chmod(viewers.File("viewer").c_str(), 0755), 0);
        text_.emplace("VODARIR_TEXT_VIEWER", (viewers.File("viewer") + " text").c_str());
        html_.emplace("VODARIR_HTML_VIEWER", (viewers.File("viewer") + " html").c_str());
        registry_.emplace("VODARIR_REGISTRY", viewers.File("settings.txt").c_str());
    }
    void TearDown() override {
        text_.reset();
        html_.reset();
        registry_.reset();
        ReportsTest::TearDown();
    }
    void Choose(int choice) {
        ui.queueModal(kTypeTitle, {act::Click(static_cast<platform::ControlId>(1499 + choice))});
    }
    // What the viewers were given, waiting a little for a viewer that runs on its own.
    std::string Seen(int lines) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::string seen;
        while (std::chrono::steady_clock::now() < until) {
            seen = viewers.Read("seen");
            if (std::count(seen.begin(), seen.end(), '\n') >= lines) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return seen;
    }
    std::string Box(std::size_t n) const {
        return n < ui.shownBoxes().size() ? ui.shownBoxes()[n].text : std::string("(none)");
    }

    TempFolder viewers;

private:
    std::optional<ScopedEnv> text_, html_, registry_;
};

TEST_F(ReportCommandsTest, CancellingTheTypeDoesNothing) {
    AddFileWith("clientes", Numbered(2));
    ui.queueModal(kTypeTitle, {act::Key(platform::kNoControl, platform::vk::Escape)});
    StructureReportCommand(TextView("/app/ALDICC"));
    ui.queueModal(kTypeTitle, {act::Key(platform::kNoControl, platform::vk::Escape)});
    ScreenReportCommand(TextView(temp.File("ALCLI")), 1);
    EXPECT_TRUE(ui.shownBoxes().empty());
    EXPECT_EQ(temp.EntryCount(), 0);
}

TEST_F(ReportCommandsTest, TheAnswerAboutTypesIsKeptForTheComparisons) {
    AddFileWith("clientes", {{"CODIGO", 6, 'C'}});
    IntVarSet(sysvar::kUser01, 7);
    Choose(1); // text: nothing asked, _USER01 untouched
    StructureReportCommand(TextView("/app/ALDICC"));
    EXPECT_EQ(IntVarGet(sysvar::kUser01), 7);
    const std::pair<BoxAnswer, int> answers[] = {{BoxAnswer::Yes, 1}, {BoxAnswer::No, 0}};
    for (const auto& [answer, kept] : answers) {
        Choose(4);
        ui.queueBoxAnswer(answer);
        StructureReportCommand(TextView("/app/ALDICC"));
        EXPECT_EQ(IntVarGet(sysvar::kUser01), kept);
        EXPECT_EQ(temp.Read("filereport.txt"), std::string("\r\nTABLA clientes\r\n\r\n01 CODIGO"
                                                           "                 6   ") +
                                                   (kept != 0 ? "C" : "") + "\r\n");
    }
    ASSERT_GE(ui.shownBoxes().size(), 2u);
    EXPECT_EQ(Box(0), "Include Field Types?");
    const std::string seen = Seen(3);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), '\n'), 3) << seen;
    EXPECT_NE(seen.find("text " + temp.File("filereport.txt")), std::string::npos) << seen;
}

TEST_F(ReportCommandsTest, AReportOfNothingSaysSoAndWritesNothing) {
    Choose(2);
    StructureReportCommand(TextView("/app/ALDICC")); // no file loaded
    Choose(1);
    ScreenReportCommand(TextRef(), 0); // no screen file
    temp.Write("EMPTY.PPN", " 1 _X=1\r\n 2 SET$='otra'\r\n   SET$='ninguna'\r\n");
    Choose(1);
    ScreenReportCommand(TextView(temp.File("EMPTY")), 1); // a screen with nothing to report
    Choose(1);
    ScreenReportCommand(TextView(temp.File("EMPTY")), 0); // no screen is current
    ASSERT_EQ(ui.shownBoxes().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(Box(i), "Error FILEOUTBOUND") << i;
    EXPECT_EQ(temp.EntryCount(), 1) << "only the parameter file";
    EXPECT_TRUE(viewers.Read("seen").empty());
}

TEST_F(ReportCommandsTest, AMissingParameterFileIsNamed) {
    Choose(1);
    ScreenReportCommand(TextView(temp.File("ALCLI")), 1);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_NE(Box(0).find(temp.File("ALCLI.PPN")), std::string::npos) << Box(0);
    EXPECT_EQ(temp.EntryCount(), 0);
}

TEST_F(ReportCommandsTest, ATemporaryFolderThatTakesNothingIsReportedAndNothingShown) {
    AddFileWith("clientes", Numbered(2));
    const std::string missing = temp.File("no such folder");
    ScopedEnv env("TEMP", missing.c_str());
    for (int choice = 1; choice <= kStructureReportTypes; ++choice) {
        Choose(choice);
        if (choice >= 4) ui.queueBoxAnswer(BoxAnswer::No);
        StructureReportCommand(TextView("/app/ALDICC"));
    }
    std::size_t errors = 0;
    for (const platform::ShownBox& box : ui.shownBoxes()) {
        if (box.text.find(missing) != std::string::npos) ++errors;
    }
    EXPECT_EQ(errors, 5u) << "one error for each report type";
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(viewers.Read("seen").empty()) << "no viewer for a report that is not there";
}

TEST_F(ReportCommandsTest, AReportNoProgramCanShowSaysWhereItIs) {
    AddFileWith("clientes", Numbered(2));
    ScopedEnv text("VODARIR_TEXT_VIEWER", nullptr);
    ScopedEnv path("PATH", viewers.File("empty").c_str()); // no xdg-open either
    Choose(1);
    StructureReportCommand(TextView("/app/ALDICC"));
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    ASSERT_EQ(temp.EntryCount(), 1);
    const std::string written = std::filesystem::directory_iterator(temp.path())->path().string();
    EXPECT_EQ(Box(0), "The report was written to " + written +
                          ", but no program could be started to show it.");
}

} // namespace
} // namespace vodarir::testing
