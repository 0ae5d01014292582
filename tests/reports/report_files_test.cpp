// Report files in the temporary folder: made new under unpredictable names and written whole or
// not at all (a failing write at every point in turn), a saved report that replaces a planted
// link instead of writing through it, and reading reports back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>

#include "reports/report_files.h"
#include "reports_fixture.h"
#include "runtime/store/error_detail.h"

namespace vodarir::testing {
namespace {

namespace fs = std::filesystem;

class ReportFilesTest : public ReportsTest {
protected:
    // A text of n bytes that is not one byte repeated, so a misplaced chunk shows.
    static std::string Bytes(std::size_t n) {
        std::string bytes;
        for (std::size_t i = 0; bytes.size() < n; ++i) bytes += std::to_string(i) + "\r\n";
        bytes.resize(n);
        return bytes;
    }
    std::string Written(std::string_view bytes, ReportFileKind kind, StatusCode* st) {
        ScratchScope scope;
        const TextRef path = WriteNewReport(bytes, kind);
        *st = path.status();
        return path.failed() ? std::string() : Str(path);
    }
};

TEST_F(ReportFilesTest, ANewReportIsAFileOfItsOwnHoldingEveryByte) {
    const std::string bytes = Bytes(3 * kMaxTextLength + 7); // several chunks, beyond a text
    StatusCode st = 0;
    const std::string first = Written(bytes, ReportFileKind::Text, &st);
    ASSERT_EQ(st, status::kOk);
    const std::string second = Written("<html>", ReportFileKind::Html, &st);
    ASSERT_EQ(st, status::kOk);
    EXPECT_NE(first, second);
    const std::regex named(
        std::regex_replace(temp.path(), std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&") +
        "/report\\.t[0-9a-z]{9}\\.(txt|html)");
    EXPECT_TRUE(std::regex_match(first, named)) << first;
    EXPECT_EQ(fs::path(first).extension(), ".txt");
    EXPECT_EQ(fs::path(second).extension(), ".html");
    EXPECT_EQ(temp.Read(fs::path(first).filename()), bytes);
    EXPECT_EQ(temp.Read(fs::path(second).filename()), "<html>");
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(ReportFilesTest, AWriteThatFailsAnywhereLeavesNoFile) {
    const std::string bytes = Bytes(5 * kReportWriteChunk + 100);
    bool succeeded = false;
    for (int allowed = 0; allowed < 1000 && !succeeded; ++allowed) {
        FileFailWritesAfter(allowed, 7);
        StatusCode st = 0;
        Written(bytes, ReportFileKind::Text, &st);
        FileFailWritesAfter(-1);
        if (st == status::kOk) {
            succeeded = true;
            EXPECT_EQ(temp.EntryCount(), 1);
            break;
        }
        EXPECT_EQ(st, status::kFileIo) << "write " << allowed;
        EXPECT_EQ(temp.EntryCount(), 0) << "half a report was left after write " << allowed;
    }
    EXPECT_TRUE(succeeded);
}

TEST_F(ReportFilesTest, ATemporaryFolderThatTakesNoFileIsReported) {
    temp.Write("plain", "a file, not a folder");
    for (const std::string& folder : {temp.File("missing"), temp.File("plain")}) {
        ScopedEnv env("TEMP", folder.c_str());
        LogErrorText(status::kOk, TextRef(), false);
        StatusCode st = 0;
        Written("text", ReportFileKind::Text, &st);
        EXPECT_EQ(st, status::kFileNotFound) << folder;
        EXPECT_EQ(Str(ErrorDetail()), folder);
    }
    EXPECT_EQ(temp.EntryCount(), 1);
    EXPECT_EQ(temp.Read("plain"), "a file, not a folder");
}

TEST_F(ReportFilesTest, ASavedReportReplacesAPlantedLinkInsteadOfWritingThroughIt) {
    TempFolder elsewhere;
    elsewhere.Write("victim", "precious");
    ASSERT_EQ(::symlink(elsewhere.File("victim").c_str(), temp.File("filereport.txt").c_str()), 0);
    {
        ScratchScope scope;
        const TextRef path = SaveReport("the report", kSavedStructureReport);
        ASSERT_FALSE(path.failed()) << path.status();
        EXPECT_EQ(Str(path), temp.File("filereport.txt"));
    }
    EXPECT_EQ(elsewhere.Read("victim"), "precious");
    EXPECT_FALSE(fs::is_symlink(temp.File("filereport.txt")));
    EXPECT_EQ(temp.Read("filereport.txt"), "the report");
    for (const auto& entry : fs::directory_iterator(temp.path())) {
        EXPECT_NE(entry.path().filename().string().rfind("report.", 0), 0u)
            << "the new file became the saved one";
    }
}

TEST_F(ReportFilesTest, AFailedSaveKeepsTheEarlierSavedReport) {
    temp.Write("scrreport.txt", "earlier");
    FileFailWritesAfter(0);
    {
        ScratchScope scope;
        const TextRef path = SaveReport("later", kSavedScreenReport);
        EXPECT_EQ(path.status(), status::kFileIo);
    }
    FileFailWritesAfter(-1);
    EXPECT_EQ(temp.Read("scrreport.txt"), "earlier");
    EXPECT_EQ(temp.EntryCount(), 1);
}

TEST_F(ReportFilesTest, ReportsAreReadBackWhole) {
    const std::string bytes = Bytes(2 * kMaxTextLength);
    temp.Write("big.txt", bytes);
    fs::create_directory(temp.File("folder.txt"));
    std::string read = "old";
    EXPECT_EQ(ReadReport(TextView(temp.File("big.txt")), &read), status::kOk);
    EXPECT_EQ(read, bytes);
    const struct {
        std::string name;
        StatusCode expected;
    } rows[] = {{"missing.txt", status::kFileNotFound}, {"folder.txt", status::kOpen}};
    for (const auto& r : rows) {
        read = "old";
        EXPECT_EQ(ReadReport(TextView(temp.File(r.name)), &read), r.expected) << r.name;
        EXPECT_TRUE(read.empty()) << r.name;
    }
    EXPECT_EQ(ScratchDepth(), 0);
}

} // namespace
} // namespace vodarir::testing
