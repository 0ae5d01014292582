// Child processes: command words, exit codes, waiting or not, capture in chunks, the viewers and
// the file comparer. Every program started here is a small shell script or a system tool; the
// viewer variables always point at a recording script, so no test can open a real window.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/processes.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::ScopedEnv;
using testing::Str;
using testing::TempFolder;

constexpr auto kPatience = std::chrono::seconds(10);

// A script that appends its arguments, each in brackets, as one line to <name>.log beside itself
// and then leaves <name>.done. Only shell built-ins: tests may empty PATH.
std::string RecorderScript(const std::string& name) {
    return "#!/bin/sh\n"
           "here=\"${0%/*}\"\n"
           "{ for a in \"$@\"; do printf '[%s]' \"$a\"; done; printf '\\n'; } >> \"$here/" +
           name + ".log\"\n: > \"$here/" + name + ".done\"\n";
}

void WriteScript(const TempFolder& folder, const std::string& name, const std::string& body) {
    folder.Write(name, body);
    ASSERT_EQ(::chmod(folder.File(name).c_str(), 0755), 0) << name;
}

bool WaitForFile(const std::string& path) {
    const auto until = std::chrono::steady_clock::now() + kPatience;
    struct stat info;
    while (::stat(path.c_str(), &info) != 0) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// True when this process has no child at all, not even a zombie waiting to be reaped.
bool NoChildLeft() {
    int raw = 0;
    return ::waitpid(-1, &raw, WNOHANG) == -1 && errno == ECHILD;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

class ProcessesTest : public testing::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        WriteScript(folder_, "rec", RecorderScript("rec"));
        // Every viewer records; the settings store is empty unless a test writes one.
        text_.emplace("VODARIR_TEXT_VIEWER", folder_.File("rec").c_str());
        html_.emplace("VODARIR_HTML_VIEWER", folder_.File("rec").c_str());
        pdf_.emplace("VODARIR_PDF_VIEWER", folder_.File("rec").c_str());
        registry_.emplace("VODARIR_REGISTRY", folder_.File("no-store.txt").c_str());
        temp_.emplace("TEMP", folder_.path().c_str());
    }
    void TearDown() override {
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        EXPECT_TRUE(NoChildLeft()) << "a child process was left to reap";
        RuntimeTest::TearDown();
    }

    std::string Record(const std::string& name = "rec") {
        EXPECT_TRUE(WaitForFile(folder_.File(name + ".done"))) << name << " never ran";
        return folder_.Read(name + ".log");
    }
    std::string Rec() const { return folder_.File("rec"); }

    StatusCode Start(const std::string& command, int flags) {
        return StartProgram(TextView(command), flags);
    }

    TempFolder folder_;

private:
    std::optional<ScopedEnv> text_, html_, pdf_, registry_, temp_;
};

// --- Command words -------------------------------------------------------------------------------

TEST_F(ProcessesTest, WordsAreSplitAtBlanksOutsideQuotesAndLoseTheirQuotes) {
    struct Row {
        const char* arguments;
        const char* received;
    };
    const Row rows[] = {
        {"a b c", "[a][b][c]"},
        {"a    b\t\tc", "[a][b][c]"},
        {"\"x  y\" z", "[x  y][z]"}, // blanks inside quotes are kept, also runs of them
        {"'it \"is\"' \"it's\"", "[it \"is\"][it's]"},
        {"--title=\"My Doc\"", "[--title=My Doc]"},
        {"\"\" a", "[][a]"},
        {"\"open to the end", "[open to the end]"},
        {"", ""}, // no arguments at all
    };
    for (const Row& r : rows) {
        std::remove(folder_.File("rec.log").c_str());
        ASSERT_EQ(Start(Rec() + " " + r.arguments, 0), 0) << r.arguments;
        EXPECT_EQ(folder_.Read("rec.log"), std::string(r.received) + "\n") << r.arguments;
    }
}

TEST_F(ProcessesTest, RunsOfBlanksStartTheSameProgramWithTheSameArguments) {
    ASSERT_EQ(Start(Rec() + " one two \"three four\"", 0), 0);
    ASSERT_EQ(Start("   " + Rec() + "   one     two  \"three four\"   ", 0), 0);
    EXPECT_EQ(folder_.Read("rec.log"), "[one][two][three four]\n[one][two][three four]\n");
}

TEST_F(ProcessesTest, AProgramPathWithBlanksWorksWhenQuoted) {
    ASSERT_EQ(::mkdir(folder_.File("my tools").c_str(), 0755), 0);
    WriteScript(folder_, "my tools/rec", RecorderScript("rec"));
    ASSERT_EQ(Start(Quoted(folder_.File("my tools/rec")) + " x", 0), 0);
    EXPECT_EQ(folder_.Read("my tools/rec.log"), "[x]\n");
    // Unquoted, the path is two words and the first names nothing.
    EXPECT_EQ(Start(folder_.File("my tools/rec") + " x", 0), status::kFileNotFound);
}

TEST_F(ProcessesTest, AtMostEightWordsAndNothingDroppedBeyond) {
    ASSERT_EQ(Start(Rec() + " 1 2 3 4 5 6 7", 0), 0);
    EXPECT_EQ(Record(), "[1][2][3][4][5][6][7]\n");
    std::remove(folder_.File("rec.log").c_str());
    EXPECT_EQ(Start(Rec() + " 1 2 3 4 5 6 7 8", 0), status::kBadCommandLine);
    EXPECT_FALSE(folder_.Exists("rec.log")) << "a cut command was started";
}

TEST_F(ProcessesTest, EmptyAndNulCommandsAreRefused) {
    EXPECT_EQ(Start("", 0), status::kBadCommandLine);
    EXPECT_EQ(Start("   \t ", 0), status::kBadCommandLine);
    EXPECT_EQ(StartProgram(TextRef("sh\0x", 4), 0), status::kBadCommandLine);
    EXPECT_EQ(StartProgram(TextRef::Failed(status::kData), 0), status::kData);
}

// --- Exit codes and waiting ----------------------------------------------------------------------

TEST_F(ProcessesTest, AWaitedProgramAnswersItsExitCode) {
    struct Row {
        const char* script;
        StatusCode expected;
    };
    const Row rows[] = {
        {"exit 0", 0},
        {"exit 3", 3},
        {"exit 200", 200},
        {"exit 255", status::kUndefinedWarning}, // exit(-1) arrives as 255
        {"kill -9 $$", status::kUndefinedWarning},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Start(std::string("sh -c ") + Quoted(r.script), 0), r.expected) << r.script;
        EXPECT_EQ(Start(std::string("sh -c ") + Quoted(r.script),
                        startflag::kNoWait | startflag::kWaitAnyway),
                  r.expected)
            << r.script << " with the wait-anyway flag";
    }
}

TEST_F(ProcessesTest, AProgramThatCannotStartIs164WithOrWithoutWaiting) {
    folder_.Write("plain.txt", "not a program\n");
    ASSERT_EQ(::chmod(folder_.File("plain.txt").c_str(), 0644), 0);
    folder_.Write("garbage", "\x7f\x01\x02\x03 no format");
    ASSERT_EQ(::chmod(folder_.File("garbage").c_str(), 0755), 0);
    for (int flags : {0, startflag::kNoWait, startflag::kNoWait | startflag::kDetached}) {
        EXPECT_EQ(Start("no-such-program-here x", flags), status::kFileNotFound) << flags;
        EXPECT_EQ(Start(folder_.File("missing") + " x", flags), status::kFileNotFound) << flags;
        EXPECT_EQ(Start(folder_.File("plain.txt"), flags), status::kFileNotFound) << flags;
        // Executable, but exec refuses it: only the child can tell.
        EXPECT_EQ(Start(folder_.File("garbage"), flags), status::kFileNotFound) << flags;
        EXPECT_EQ(Start(folder_.path(), flags), status::kFileNotFound) << "a folder, " << flags;
    }
}

// A script that writes its pid, then waits (up to the patience) for a release file.
std::string HeldScript(const TempFolder& folder) {
    return "#!/bin/sh\necho $$ > '" + folder.File("pid.tmp") + "'\nmv '" + folder.File("pid.tmp") +
           "' '" + folder.File("pid") + "'\ni=0\nwhile [ ! -e '" + folder.File("release") +
           "' ] && [ $i -lt 1000 ]; do sleep 0.01; i=$((i+1)); done\n"
           "if [ -e '" +
           folder.File("release") + "' ]; then echo released; else echo timeout; fi > '" +
           folder.File("out.tmp") + "'\nmv '" + folder.File("out.tmp") + "' '" +
           folder.File("out") + "'\n";
}

TEST_F(ProcessesTest, WithoutWaitingTheProgramRunsOnAndIsNoChildToReap) {
    WriteScript(folder_, "held", HeldScript(folder_));
    // Answering only after the program ended would mean it timed out waiting for us.
    ASSERT_EQ(Start(folder_.File("held"), startflag::kNoWait), 0);
    ASSERT_TRUE(WaitForFile(folder_.File("pid")));
    EXPECT_TRUE(NoChildLeft()) << "the started program is still our child";
    folder_.Write("release", "");
    ASSERT_TRUE(WaitForFile(folder_.File("out")));
    EXPECT_EQ(folder_.Read("out"), "released\n");
}

TEST_F(ProcessesTest, DetachedProgramsRunInASessionOfTheirOwn) {
    WriteScript(folder_, "held", HeldScript(folder_));
    ASSERT_EQ(Start(folder_.File("held"), startflag::kNoWait | startflag::kDetached), 0);
    ASSERT_TRUE(WaitForFile(folder_.File("pid")));
    const pid_t pid = static_cast<pid_t>(std::stol(folder_.Read("pid")));
    EXPECT_NE(::getsid(pid), ::getsid(0));
    EXPECT_EQ(::getsid(pid), pid) << "it should lead its session";
    folder_.Write("release", "");
    ASSERT_TRUE(WaitForFile(folder_.File("out")));

    std::remove(folder_.File("pid").c_str());
    std::remove(folder_.File("out").c_str());
    std::remove(folder_.File("release").c_str());
    // Without the flag the program stays in ours.
    ASSERT_EQ(Start(folder_.File("held"), startflag::kNoWait), 0);
    ASSERT_TRUE(WaitForFile(folder_.File("pid")));
    EXPECT_EQ(::getsid(static_cast<pid_t>(std::stol(folder_.Read("pid")))), ::getsid(0));
    folder_.Write("release", "");
    ASSERT_TRUE(WaitForFile(folder_.File("out")));
}

// --- Capture -------------------------------------------------------------------------------------

struct Chunks {
    std::vector<std::string> got;
    StatusCode refuseAfter = 0; // with stopAt, the status answered from that chunk on
    std::size_t stopAt = SIZE_MAX;
};

StatusCode Collect(void* context, const char* bytes, std::uint16_t length) {
    auto* c = static_cast<Chunks*>(context);
    c->got.emplace_back(bytes, length);
    return c->got.size() >= c->stopAt ? c->refuseAfter : status::kOk;
}

std::string Joined(const Chunks& c) {
    std::string all;
    for (const std::string& s : c.got) all += s;
    return all;
}

std::string Capture(const std::string& command) {
    const ScratchLevel mark = ScratchMark();
    const TextRef t = RunToText(TextView(command));
    std::string s = t.failed() ? "error " + std::to_string(t.status()) : Str(t);
    EXPECT_EQ(ScratchDepth(), t.failed() ? mark : mark + 1) << command;
    ScratchRelease(mark);
    return s;
}

TEST_F(ProcessesTest, ASilentProgramGivesZeroAndAnEmptyCapture) {
    Chunks c;
    EXPECT_EQ(RunCaptured("true"_t, &c, Collect), 0);
    EXPECT_TRUE(c.got.empty());
    EXPECT_EQ(Capture("true"), "");
    // A failing exit code is not the capture's failure.
    EXPECT_EQ(RunCaptured("false"_t, &c, Collect), 0);
}

TEST_F(ProcessesTest, LargeOutputArrivesInOrderInChunksOfAtMost1024Bytes) {
    // 600 numbered lines of 16 bytes: 9600 bytes.
    WriteScript(folder_, "count",
                "#!/bin/sh\ni=0\nwhile [ $i -lt 600 ]; do printf '%04d:abcdefghij\\n' $i; "
                "i=$((i+1)); done\n");
    std::string expected;
    for (int i = 0; i < 600; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%04d:abcdefghij\n", i);
        expected += line;
    }
    Chunks c;
    ASSERT_EQ(RunCaptured(TextView(folder_.File("count")), &c, Collect), 0);
    EXPECT_GE(c.got.size(), 10u);
    for (const std::string& s : c.got) {
        EXPECT_LE(s.size(), kCaptureChunk);
        EXPECT_FALSE(s.empty());
    }
    EXPECT_EQ(Joined(c), expected);
    EXPECT_EQ(Capture(folder_.File("count")), expected);
}

TEST_F(ProcessesTest, ErrorOutputIsCapturedWithTheOutput) {
    EXPECT_EQ(Capture("sh -c \"echo out; echo err 1>&2; echo end\""), "out\nerr\nend\n");
}

TEST_F(ProcessesTest, AProgramThatReadsItsInputSeesTheEndInsteadOfHanging) {
    EXPECT_EQ(Capture("cat"), "");
    EXPECT_EQ(Capture("sh -c \"read line; echo got:$?\""), "got:1\n");
}

TEST_F(ProcessesTest, OutputBeyondThePipeBufferDoesNotBlockTheChild) {
    // 300000 bytes: far more than a pipe holds, so the child can only finish if we keep reading.
    Chunks c;
    ASSERT_EQ(RunCaptured("head -c 300000 /dev/zero"_t, &c, Collect), 0);
    EXPECT_EQ(Joined(c), std::string(300000, '\0'));
    std::size_t largest = 0;
    for (const std::string& s : c.got) largest = std::max(largest, s.size());
    EXPECT_EQ(largest, kCaptureChunk) << "a full pipe is read in whole chunks, never more";
}

TEST_F(ProcessesTest, ASinkStatusEndsTheCaptureAndTheChildIsReaped) {
    // yes never ends by itself: returning at all proves it was stopped.
    Chunks c;
    c.stopAt = 3;
    c.refuseAfter = status::kWrite;
    EXPECT_EQ(RunCaptured("yes"_t, &c, Collect), status::kWrite);
    EXPECT_EQ(c.got.size(), 3u);
    EXPECT_TRUE(NoChildLeft());
}

TEST_F(ProcessesTest, OutputLongerThanATextIsRefusedNotCut) {
    EXPECT_EQ(Capture("head -c 65535 /dev/zero").size(), 65535u);
    EXPECT_EQ(Capture("head -c 65536 /dev/zero"), "error 146");
}

TEST_F(ProcessesTest, AProgramThatCannotBeStartedGives164AndNoOutput) {
    Chunks c;
    EXPECT_EQ(RunCaptured("no-such-program-here --help"_t, &c, Collect), status::kFileNotFound);
    EXPECT_EQ(RunCaptured(TextView(folder_.File("nothing")), &c, Collect), status::kFileNotFound);
    EXPECT_EQ(RunCaptured(""_t, &c, Collect), status::kBadCommandLine);
    EXPECT_TRUE(c.got.empty());
    EXPECT_EQ(Capture("no-such-program-here"), "error 164");
}

TEST_F(ProcessesTest, ANullSinkDrainsTheOutputAndWaits) {
    EXPECT_EQ(RunCaptured("head -c 200000 /dev/zero"_t, nullptr, nullptr), 0);
    EXPECT_EQ(RunCaptured(TextView("sh -c \"echo x > '" + folder_.File("made") + "'\""), nullptr,
                          nullptr),
              0);
    EXPECT_EQ(folder_.Read("made"), "x\n") << "the program ran to its end before the answer";
}

TEST_F(ProcessesTest, ADescendantHoldingThePipeDoesNotHoldTheCaller) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Capture("sh -c \"sleep 8 & echo started\""), "started\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(ProcessesTest, TempFileCaptureWritesAUniqueTxtFileInTheTemporaryFolder) {
    const ScratchLevel mark = ScratchMark();
    const TextRef first = RunToTempFile("printf 'a\\nb'"_t);
    ASSERT_FALSE(first.failed()) << first.status();
    const std::string firstPath = Str(first);
    const TextRef second = RunToTempFile("printf 'c'"_t);
    ASSERT_FALSE(second.failed()) << second.status();
    const std::string secondPath = Str(second);
    ScratchRelease(mark);
    EXPECT_NE(firstPath, secondPath);
    for (const std::string& p : {firstPath, secondPath}) {
        EXPECT_EQ(p.rfind(folder_.path() + "/vodarir-", 0), 0u) << p;
        EXPECT_EQ(p.substr(p.size() - 4), ".txt") << p;
    }
    EXPECT_EQ(folder_.Read(firstPath.substr(folder_.path().size() + 1)), "a\nb");
    EXPECT_EQ(folder_.Read(secondPath.substr(folder_.path().size() + 1)), "c");
}

TEST_F(ProcessesTest, AFailedTempFileCaptureLeavesNoFile) {
    const int before = folder_.EntryCount();
    const ScratchLevel mark = ScratchMark();
    const TextRef t = RunToTempFile("no-such-program-here"_t);
    EXPECT_EQ(ScratchDepth(), mark);
    EXPECT_TRUE(t.failed());
    EXPECT_EQ(t.status(), status::kFileNotFound);
    EXPECT_EQ(folder_.EntryCount(), before);
    ScopedEnv nowhere("TEMP", folder_.File("not-a-folder").c_str());
    EXPECT_EQ(RunToTempFile("true"_t).status(), status::kFileOpening);
    EXPECT_EQ(ScratchDepth(), mark);
}

TEST_F(ProcessesTest, AFullDiskWhileCapturingToAFileIsAFailureAndLeavesNoFile) {
    // A file-size limit makes the writes fail the way a full disk would.
    struct rlimit old;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct sigaction ignore = {}, previous;
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
    struct rlimit small = old;
    small.rlim_cur = 3000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int before = folder_.EntryCount();
    const TextRef t = RunToTempFile("head -c 5000 /dev/zero"_t);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_EQ(t.status(), status::kWrite);
    EXPECT_EQ(folder_.EntryCount(), before) << "the cut file was left behind";
}

// --- Viewers -------------------------------------------------------------------------------------

TEST_F(ProcessesTest, EachViewerStartsItsProgramWithTheArgument) {
    WriteScript(folder_, "html", RecorderScript("html"));
    WriteScript(folder_, "pdf", RecorderScript("pdf"));
    ScopedEnv html("VODARIR_HTML_VIEWER", folder_.File("html").c_str());
    ScopedEnv pdf("VODARIR_PDF_VIEWER", folder_.File("pdf").c_str());
    EXPECT_EQ(OpenInViewer(Viewer::Text, "\"/tmp/a b/report.txt\""_t, 0), 0);
    EXPECT_EQ(OpenInViewer(Viewer::Html, "'/tmp/x \"y\".html'"_t, 0), 0);
    EXPECT_EQ(OpenInViewer(Viewer::Pdf, "/tmp/doc.pdf"_t, 0), 0);
    EXPECT_EQ(Record("rec"), "[/tmp/a b/report.txt]\n");
    EXPECT_EQ(Record("html"), "[/tmp/x \"y\".html]\n");
    EXPECT_EQ(Record("pdf"), "[/tmp/doc.pdf]\n");
}

TEST_F(ProcessesTest, AViewerStartedWithoutWaitingAnswersZero) {
    WriteScript(folder_, "held", HeldScript(folder_));
    ScopedEnv text("VODARIR_TEXT_VIEWER", folder_.File("held").c_str());
    EXPECT_EQ(OpenInViewer(Viewer::Text, "x"_t, startflag::kNoWait), 0);
    folder_.Write("release", "");
    ASSERT_TRUE(WaitForFile(folder_.File("out")));
    EXPECT_EQ(folder_.Read("out"), "released\n");
}

TEST_F(ProcessesTest, AViewerVariableMayCarryOptions) {
    ScopedEnv pdf("VODARIR_PDF_VIEWER", (Rec() + " --page 3").c_str());
    EXPECT_EQ(OpenInViewer(Viewer::Pdf, "\"my file.pdf\""_t, 0), 0);
    EXPECT_EQ(Record(), "[--page][3][my file.pdf]\n");
}

TEST_F(ProcessesTest, TheSettingsStoreNamesTheBrowserAndReaderFirst) {
    ASSERT_EQ(::mkdir(folder_.File("Program Files").c_str(), 0755), 0);
    WriteScript(folder_, "Program Files/browser", RecorderScript("browser"));
    const std::string key =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    folder_.Write("store.txt", key + "Iexplore.exe\\=" + folder_.File("Program Files/browser") +
                                   "\n" + key + "AcroRd32.exe\\Path=/nowhere/reader\n");
    ScopedEnv store("VODARIR_REGISTRY", folder_.File("store.txt").c_str());
    EXPECT_EQ(OpenInViewer(Viewer::Html, "page.html"_t, 0), 0);
    EXPECT_EQ(folder_.Read("Program Files/browser.log"), "[page.html]\n");
    EXPECT_FALSE(folder_.Exists("rec.log")) << "the variable was used over the store";
    // Only the default value of the reader's key counts: a named value falls back to the variable.
    EXPECT_EQ(OpenInViewer(Viewer::Pdf, "doc.pdf"_t, 0), 0);
    EXPECT_EQ(Record(), "[doc.pdf]\n");
}

TEST_F(ProcessesTest, WithoutVariablesTheDesktopOpenerIsUsed) {
    TempFolder bin;
    WriteScript(bin, "xdg-open", RecorderScript("opened"));
    ScopedEnv path("PATH", bin.path().c_str());
    ScopedEnv text("VODARIR_TEXT_VIEWER", nullptr);
    ScopedEnv html("VODARIR_HTML_VIEWER", ""); // set but empty counts as unset
    EXPECT_EQ(OpenInViewer(Viewer::Text, "a.txt"_t, 0), 0);
    EXPECT_EQ(OpenInViewer(Viewer::Html, "b.html"_t, 0), 0);
    EXPECT_EQ(bin.Read("opened.log"), "[a.txt]\n[b.html]\n");
}

TEST_F(ProcessesTest, NoViewerAtAllAnswersFFFFAndStartsNothing) {
    TempFolder emptyBin;
    ScopedEnv path("PATH", emptyBin.path().c_str());
    ScopedEnv text("VODARIR_TEXT_VIEWER", nullptr);
    EXPECT_EQ(OpenInViewer(Viewer::Text, "a.txt"_t, 0), kNoViewer);
    for (int which : {0, 4, -1}) {
        EXPECT_EQ(OpenInViewer(static_cast<Viewer>(which), "a.txt"_t, 0), kNoViewer) << which;
    }
    EXPECT_FALSE(folder_.Exists("rec.log"));
    EXPECT_EQ(OpenInViewer(Viewer::Text, TextRef::Failed(status::kData), 0), status::kData);
}

TEST_F(ProcessesTest, EverythingWorksOnTheSmallestScratchStack) {
    ASSERT_EQ(SlotStoreShutdown(), status::kOk);
    PoolConfigure(kDefaultScratchSize, kKeepValue, kKeepValue);
    ASSERT_EQ(SlotStoreInit(), status::kOk);
    folder_.Write("store.txt", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                               "App Paths\\AcroRd32.exe\\=" +
                                   Rec() + "\n");
    ScopedEnv store("VODARIR_REGISTRY", folder_.File("store.txt").c_str());
    EXPECT_EQ(OpenInViewer(Viewer::Pdf, "a.pdf"_t, 0), 0);
    EXPECT_EQ(Record(), "[a.pdf]\n");
    EXPECT_EQ(Capture("printf abc"), "abc");
    folder_.Write("x.txt", "x\n");
    std::remove(folder_.File("rec.done").c_str());
    EXPECT_EQ(CompareFiles(TextView(folder_.File("x.txt")), TextView(folder_.File("x.txt"))), 0);
    EXPECT_EQ(Record().rfind("[a.pdf]\n[" + folder_.path() + "/vodarir-", 0), 0u);
}

// --- Comparing files -----------------------------------------------------------------------------

class CompareFilesTest : public ProcessesTest {
protected:
    // The temporary file the text viewer was given, read back.
    std::string Shown() {
        const std::string line = Record();
        EXPECT_GE(line.size(), 3u);
        const std::string path = line.substr(1, line.size() - 3); // "[path]\n"
        EXPECT_EQ(path.rfind(folder_.path() + "/vodarir-", 0), 0u) << path;
        return folder_.Read(path.substr(folder_.path().size() + 1));
    }
};

TEST_F(CompareFilesTest, PathsWithBlanksAreComparedAndTheOutputShown) {
    ASSERT_EQ(::mkdir(folder_.File("saved reports").c_str(), 0755), 0);
    folder_.Write("saved reports/old report.txt", "one\ntwo\nthree\n");
    folder_.Write("saved reports/new report.txt", "one\n2\nthree\n");
    EXPECT_EQ(CompareFiles(TextView(folder_.File("saved reports/old report.txt")),
                           TextView(folder_.File("saved reports/new report.txt"))),
              0);
    EXPECT_EQ(Shown(), "2c2\n< two\n---\n> 2\n");
}

TEST_F(CompareFilesTest, EqualFilesShowAnEmptyComparison) {
    folder_.Write("a b.txt", "same\n");
    folder_.Write("c d.txt", "same\n");
    EXPECT_EQ(CompareFiles(TextView(folder_.File("a b.txt")), TextView(folder_.File("c d.txt"))),
              0);
    EXPECT_EQ(Shown(), "");
}

TEST_F(CompareFilesTest, TheComparersComplaintsAreShownToo) {
    folder_.Write("a.txt", "x\n");
    EXPECT_EQ(CompareFiles(TextView(folder_.File("a.txt")), TextView(folder_.File("gone.txt"))), 0);
    const std::string shown = Shown();
    EXPECT_NE(shown.find("gone.txt"), std::string::npos) << shown;
}

TEST_F(CompareFilesTest, WithoutAComparerNothingIsShown) {
    TempFolder emptyBin;
    ScopedEnv path("PATH", emptyBin.path().c_str());
    folder_.Write("a.txt", "x\n");
    EXPECT_EQ(CompareFiles(TextView(folder_.File("a.txt")), TextView(folder_.File("a.txt"))),
              status::kFileNotFound);
    EXPECT_FALSE(folder_.Exists("rec.done"));
    // A path holding both quote characters cannot be quoted.
    EXPECT_EQ(CompareFiles("it's \"x\""_t, "b"_t), status::kData);
}

} // namespace
} // namespace vodarir
