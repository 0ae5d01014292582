// Numbered text files: opening modes, the line reader, whole-file helpers, failed writes, loaders.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;

class TextFilesTest : public testing::RuntimeTest {
protected:
    void TearDown() override {
        FileFailWritesAfter(-1);
        for (FileNumber n = 3; n < kFileTableSize; ++n) FileClose(n);
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        RuntimeTest::TearDown();
    }
    TextRef Path(const std::string& name) {
        paths_.push_back(dir_.File(name));
        return TextView(paths_.back());
    }
    // Every line FileReadLine gives, then the status that ended the reading.
    std::vector<std::string> Lines(const std::string& content, StatusCode* end = nullptr) {
        dir_.Write("lines.txt", content);
        const std::uint16_t n = FileOpen(Path("lines.txt"), openflag::kNoPlus);
        std::vector<std::string> lines;
        EXPECT_LT(n, kFileTableSize);
        for (int guard = 0; guard < 1000; ++guard) {
            const ScratchLevel mark = ScratchMark();
            const TextRef line = FileReadLine(n, kCurrentPosition, kReadOneLine);
            if (line.failed()) {
                if (end != nullptr) *end = line.status();
                ScratchRelease(mark);
                break;
            }
            lines.push_back(Str(line));
            ScratchRelease(mark);
        }
        FileClose(n);
        return lines;
    }
    static std::vector<std::string> Group(SlotGroup g) {
        std::vector<std::string> all;
        for (SlotIndex i = 0; i < SlotCount(g); ++i) all.push_back(Str(SlotGet(g, i)));
        return all;
    }

    testing::TempFolder dir_;
    std::deque<std::string> paths_; // a deque never moves what TextViews point at
};

using Strings = std::vector<std::string>;

TEST_F(TextFilesTest, LineEndingsOfEveryKindGiveTheSameLines) {
    struct Row {
        std::string content;
        Strings lines;
    };
    const std::string x511(511, 'x');
    const Row rows[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}}, // mixed endings, no final line break
        {"a\r\nb\r\nc\r\n", {"a", "b", "c"}},
        {"a\nb\nc\n", {"a", "b", "c"}},
        {"a\rb\rc\r", {"a", "b", "c"}},
        {"a\r\n\r\nb\n", {"a", "", "b"}},
        {"\r\r\n", {"", ""}}, // a lone CR, then CR LF
        {"\n\n", {"", ""}},
        {"x", {"x"}},
        {"", {}},
        {"a\n\x1a\nb", {"a", "b"}}, // a Ctrl-Z line is skipped
        {"a\n\x1a", {"a"}},
        {"\x1a\x1a\nz", {"\x1a\x1a", "z"}}, // two of them are a line
        {"\x1a"
         "a\n",
         {"\x1a"
          "a"}},
        {x511 + "\r\nb", {x511, "b"}}, // CR LF split across two reads
        {x511 + "\rb", {x511, "b"}},
    };
    for (const Row& r : rows) {
        StatusCode end = 0;
        EXPECT_EQ(Lines(r.content, &end), r.lines) << "content: " << r.content.substr(0, 20);
        EXPECT_EQ(end, status::kDiskIo) << "the end of the file reads as 130";
    }
}

TEST_F(TextFilesTest, LinesUpToTheBufferFitAndLongerOnesFailClearly) {
    const std::string x512(kLineBufferSize, 'x');
    EXPECT_EQ(Lines(x512 + "\nz"), (Strings{x512, "z"}));
    EXPECT_EQ(Lines(x512 + "\r\nz"), (Strings{x512, "z"}));
    EXPECT_EQ(Lines(x512 + "\rz"), (Strings{x512, "z"}));
    EXPECT_EQ(Lines(x512), (Strings{x512}));
    StatusCode end = 0;
    EXPECT_EQ(Lines("first\n" + x512 + "y\nlast", &end), (Strings{"first"}))
        << "nothing after an over-long line is taken for its rest";
    EXPECT_EQ(end, status::kStringTooLong) << "a long line is refused, not cut";

    dir_.Write("long.txt", "ab\n" + x512 + "y\n");
    const std::uint16_t n = FileOpen(Path("long.txt"), openflag::kNoPlus);
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(FileReadLine(n, kCurrentPosition, kReadOneLine)), "ab");
    EXPECT_EQ(FileReadLine(n, kCurrentPosition, kReadOneLine).status(), status::kStringTooLong);
    EXPECT_EQ(FilePos(n), 3) << "the position stays at the start of the long line";
    char buffer[600];
    EXPECT_EQ(FileRead(n, kCurrentPosition, kReadOneLine, buffer, sizeof buffer), 513)
        << "a caller with a bigger buffer can still read it";
    ScratchRelease(mark);
    FileClose(n);
}

TEST_F(TextFilesTest, ReadAtAPositionAndCountedReads) {
    dir_.Write("f.txt", "one\ntwo\nthree");
    const std::uint16_t n = FileOpen(Path("f.txt"), openflag::kNoPlus);
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(FileReadLine(n, 4, kReadOneLine)), "two");
    EXPECT_EQ(FilePos(n), 8);
    EXPECT_EQ(Str(FileReadLine(n, 0, 5)), "one\nt") << "counted";
    EXPECT_EQ(Str(FileReadLine(n, 10, 100)), "ree") << "bounded by the file";
    EXPECT_EQ(FileReadLine(n, kCurrentPosition, 4).status(), status::kDiskIo) << "at the end";
    EXPECT_TRUE(FileAtEnd(n));
    EXPECT_EQ(FileSize(n), 13);
    EXPECT_EQ(FileSeek(n, 2), status::kOk);
    EXPECT_EQ(Str(FileReadLine(n, kCurrentPosition, kReadOneLine)), "e");
    ScratchRelease(mark);
    FileClose(n);
    EXPECT_EQ(FileReadLine(n, 0, kReadOneLine).status(), status::kDiskIo) << "closed: end of file";
    EXPECT_EQ(FileSeek(n, 0), status::kDiskIo);
    EXPECT_TRUE(FileAtEnd(n));
}

TEST_F(TextFilesTest, OpenModes) {
    const TextRef created = Path("created.txt");
    const std::uint16_t a = FileOpen(created, openflag::kReadWrite);
    ASSERT_LT(a, kFileTableSize) << "flags 1 create a missing file";
    EXPECT_TRUE(dir_.Exists("created.txt"));
    EXPECT_EQ(FileWrite(a, kCurrentPosition, "hello"_t), 5);
    FileClose(a);

    const std::uint16_t b = FileOpen(created, openflag::kAppend);
    EXPECT_EQ(FileWrite(b, 0, " world"_t), 6) << "append mode writes at the end";
    FileClose(b);
    EXPECT_EQ(dir_.Read("created.txt"), "hello world");

    const std::uint16_t c = FileOpen(created, openflag::kNoPlus);
    EXPECT_LT(FileWrite(c, 0, "X"_t), 1) << "read-only";
    FileClose(c);
    EXPECT_EQ(dir_.Read("created.txt"), "hello world");

    const std::uint16_t d = FileOpen(created, openflag::kCreate);
    FileClose(d);
    EXPECT_EQ(dir_.Read("created.txt"), "") << "flags 2 truncate";
}

TEST_F(TextFilesTest, OpenFailuresAndWhatTheyLeaveInTheErrorTrail) {
    ClearRecordedError();
    const TextRef missing = Path("missing.txt");
    EXPECT_EQ(FileOpen(missing, openflag::kQuiet | openflag::kNoPlus | openflag::kReadWrite),
              status::kFileNotFound);
    EXPECT_EQ(RecordedError().status, 0) << "0x80 records nothing";
    EXPECT_EQ(ErrorDetail().length, 0);
    EXPECT_FALSE(dir_.Exists("missing.txt")) << "flags 8 never create";

    EXPECT_EQ(FileOpen(missing, openflag::kNoPlus), status::kFileNotFound);
    EXPECT_EQ(RecordedError().status, status::kFileNotFound);
    EXPECT_EQ(RecordedError().step, step::kStreamInit);
    EXPECT_EQ(Str(ErrorDetail()), dir_.File("missing.txt"));
    EXPECT_EQ(FileOpen(Path("again.txt"), openflag::kNoPlus), status::kFileNotFound);
    EXPECT_EQ(Str(ErrorDetail()), dir_.File("missing.txt") + "\r\n" + dir_.File("again.txt"))
        << "details are appended";

    EXPECT_EQ(FileOpen(""_t, 1), status::kData);
    const std::string tooLong(kMaxPathLength, 'p');
    EXPECT_EQ(FileOpen(TextView(tooLong), 1), status::kData);
    EXPECT_EQ(FileOpen(TextView(dir_.path()), openflag::kNoPlus), status::kFileNotFound)
        << "a folder is not a text file";
    EXPECT_EQ(FileOpen(Path("no/such/folder.txt"), 1), status::kFileNotFound);
}

// Reading takes only regular files. A FIFO that nobody writes would hold the open for good, and
// a device gives nothing a definition could be read from.
TEST_F(TextFilesTest, ReadingModesTakeOnlyRegularFiles) {
    const std::string fifo = dir_.File("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::uint16_t reading[] = {openflag::kNoPlus, openflag::kReadWrite, 0,
                                     openflag::kQuiet | openflag::kNoPlus | openflag::kReadWrite};
    // The opens run in a child, so an open that waits fails the test instead of hanging it.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int wrong = 0;
        for (const std::uint16_t flags : reading) {
            if (FileOpen(TextView(fifo), flags) != status::kFileNotFound) ++wrong;
        }
        ::_exit(wrong);
    }
    int outcome = 0;
    pid_t done = 0;
    for (int waited = 0; waited < 500 && done == 0; ++waited) { // 5 s
        done = ::waitpid(child, &outcome, WNOHANG);
        if (done == 0) ::usleep(10000);
    }
    if (done == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &outcome, 0);
        FAIL() << "an open of a FIFO waited for a writer";
    }
    ASSERT_TRUE(WIFEXITED(outcome));
    EXPECT_EQ(WEXITSTATUS(outcome), 0) << "opens of the FIFO that were not refused";

    const TextRef device = "/dev/null"_t;
    for (const std::uint16_t flags : reading) {
        EXPECT_EQ(FileOpen(device, flags), status::kFileNotFound) << flags;
    }
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(FileReadAll(device, 0, kWholeFile).status(), status::kFileNotFound);
    ScratchRelease(mark);
    EXPECT_EQ(ReadLines(device, 0, 0, 30), kIoFailed);
    // Writing to a device stays possible: only what is read must be a file.
    const std::uint16_t sink = FileOpen(device, openflag::kCreate);
    EXPECT_LT(sink, kFileTableSize);
    FileClose(sink);
}

TEST_F(TextFilesTest, WhyAFileDoesNotOpenForReading) {
    dir_.Write("plain.txt", "x");
    ASSERT_EQ(::mkfifo(dir_.File("pipe").c_str(), 0600), 0);
    ClearRecordedError();
    EXPECT_EQ(FileReadRefusal(Path("plain.txt")), status::kOk);
    EXPECT_EQ(FileReadRefusal(Path("PLAIN.TXT")), status::kOk) << "found without case";
    EXPECT_EQ(FileReadRefusal(Path("none.txt")), status::kFileNotFound);
    EXPECT_EQ(FileReadRefusal(Path("none/x.txt")), status::kFileNotFound);
    EXPECT_EQ(FileReadRefusal(TextView(dir_.path())), status::kOpen) << "a folder";
    EXPECT_EQ(FileReadRefusal(Path("pipe")), status::kOpen) << "a FIFO";
    EXPECT_EQ(FileReadRefusal("/dev/null"_t), status::kOpen) << "a device";
    EXPECT_EQ(FileReadRefusal(""_t), status::kData);
    EXPECT_EQ(RecordedError().status, 0) << "records nothing";
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir_.File("plain.txt"), std::filesystem::perms::none);
        EXPECT_EQ(FileReadRefusal(Path("plain.txt")), status::kPermissionDenied);
    }
}

TEST_F(TextFilesTest, AnExistingFileThatWillNotOpenIsNeverTruncated) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    dir_.Write("ro.txt", "keep");
    std::filesystem::permissions(dir_.File("ro.txt"), std::filesystem::perms::owner_read);
    EXPECT_EQ(FileOpen(Path("ro.txt"), openflag::kReadWrite), status::kFileNotFound);
    EXPECT_EQ(dir_.Read("ro.txt"), "keep");
}

TEST_F(TextFilesTest, AllNumbersInUseGive168) {
    dir_.Write("f.txt", "x");
    const TextRef f = Path("f.txt");
    std::vector<std::uint16_t> open;
    for (FileNumber n = 3; n < kFileTableSize; ++n) {
        open.push_back(FileOpen(f, openflag::kNoPlus));
        EXPECT_EQ(open.back(), n) << "numbers are given out first-free from 3";
    }
    EXPECT_EQ(FileOpen(f, openflag::kNoPlus), status::kDataOutBound);
    FileClose(10);
    EXPECT_EQ(FileOpen(f, openflag::kNoPlus), 10);
}

TEST_F(TextFilesTest, ConsoleIsTheStandardStreams) {
    EXPECT_EQ(FileOpen("CON"_t, openflag::kCreate), 1);
    EXPECT_EQ(FileOpen("CON"_t, openflag::kReadWrite), 0);
    EXPECT_EQ(FileOpen("CON"_t, openflag::kCreate | openflag::kQuiet), 1);
    EXPECT_EQ(FileOpen("CON"_t, openflag::kCreate | openflag::kReadWrite), 0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(FileWrite(1, kCurrentPosition, "to the console\n"_t), 15);
    FileClose(1); // never closed
    EXPECT_EQ(FileWrite(1, kCurrentPosition, "still open\n"_t), 11);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "to the console\nstill open\n");
}

TEST_F(TextFilesTest, StandardInputIsReadLineByLine) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const std::string input = "a\r\nb\n\x1a\nc\r" + std::string(kLineBufferSize + 1, 'x') + "\r\nd";
    ASSERT_EQ(::write(pipeEnds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    ::close(pipeEnds[1]);
    const int saved = ::dup(0);
    ::dup2(pipeEnds[0], 0);
    ::close(pipeEnds[0]);
    std::clearerr(stdin);
    Strings lines;
    for (int guard = 0; guard < 10; ++guard) {
        const ScratchLevel mark = ScratchMark();
        const TextRef line = FileReadLine(0, kCurrentPosition, kReadOneLine);
        lines.push_back(line.failed() ? "error " + std::to_string(line.status()) : Str(line));
        ScratchRelease(mark);
        if (line.status() == status::kDiskIo) break;
    }
    ::dup2(saved, 0);
    ::close(saved);
    std::clearerr(stdin);
    EXPECT_EQ(lines, (Strings{"a", "b", "c", "error 146", "d", "error 130"}))
        << "an over-long line is refused whole; the next read is the next line";
}

TEST_F(TextFilesTest, OpenFindsAFileInAnotherLetterCase) {
    dir_.Write("dicc.dat", "content");
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(FileReadAll(Path("DICC.DAT"), 0, kWholeFile)), "content");
    ScratchRelease(mark);
    EXPECT_EQ(FileSave(Path("Dicc.Dat"), kRewritePosition, "new"_t), status::kOk);
    EXPECT_EQ(dir_.Read("dicc.dat"), "new") << "the file on disk is rewritten";
    EXPECT_EQ(dir_.EntryCount(), 1) << "and no second file in another case appears";
}

TEST_F(TextFilesTest, ReadAllTakesTheRestOfTheFile) {
    dir_.Write("f.txt", "0123456789");
    struct Row {
        std::int64_t position;
        std::uint16_t count;
        std::string out;
    };
    const Row rows[] = {
        {0, kWholeFile, "0123456789"},
        {kCurrentPosition, kWholeFile, "0123456789"},
        {4, kWholeFile, "456789"},
        {4, 3, "456"},
        {8, 5, "89"},
        {20, kWholeFile, ""},
    };
    for (const Row& r : rows) {
        const ScratchLevel mark = ScratchMark();
        const TextRef t = FileReadAll(Path("f.txt"), r.position, r.count);
        EXPECT_EQ(t.failed() ? "error" : Str(t), r.out) << r.position << "/" << r.count;
        ScratchRelease(mark);
    }
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(FileReadAll(Path("none.txt"), 0, kWholeFile).status(), status::kFileNotFound);
    EXPECT_FALSE(dir_.Exists("none.txt")) << "reading creates nothing";
    ScratchRelease(mark);
}

TEST_F(TextFilesTest, ReadAllRefusesWhatATextCannotHold) {
    dir_.Write("max.txt", std::string(kMaxTextLength, 'm'));
    dir_.Write("big.txt", std::string(kMaxTextLength + 1, 'b'));
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(FileReadAll(Path("max.txt"), 0, kWholeFile).length, kMaxTextLength);
    ScratchRelease(mark);
    ClearRecordedError();
    EXPECT_EQ(FileReadAll(Path("big.txt"), 0, kWholeFile).status(), status::kStringTooLong);
    EXPECT_EQ(RecordedError().status, status::kStringTooLong);
    EXPECT_EQ(Str(ErrorDetail()), dir_.File("big.txt"));
    EXPECT_EQ(FileReadAll(Path("big.txt"), 1, kWholeFile).length, kMaxTextLength)
        << "from one byte on, the rest fits";
    ScratchRelease(mark);

    // Fill the stack until less room than the file is left.
    while (ScratchFreeBytes() > 1000) {
        ASSERT_NE(
            ScratchAllocPtr(std::min<std::uint32_t>(60000, ScratchFreeBytes() - 900), kNoFill),
            nullptr);
    }
    dir_.Write("k.txt", std::string(2000, 'k'));
    EXPECT_EQ(FileReadAll(Path("k.txt"), 0, kWholeFile).status(), status::kOutOfMemory);
    ScratchRelease(mark);
}

TEST_F(TextFilesTest, ReadAllJoinedReplacesLineEnds) {
    dir_.Write("f.txt", "a\r\nb\nc\r\n");
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(FileReadAllJoined(Path("f.txt"), "|"_t)), "a|b|c|");
    EXPECT_EQ(Str(FileReadAllJoined(Path("f.txt"), ""_t)), "abc");
    ScratchRelease(mark);
}

TEST_F(TextFilesTest, WriteAllAtPositions) {
    const TextRef f = Path("w.txt");
    EXPECT_EQ(FileWriteAll(f, 0, "abcdef"_t), 6);
    EXPECT_EQ(FileWriteAll(f, 2, "XY"_t), 2);
    EXPECT_EQ(dir_.Read("w.txt"), "abXYef") << "writing inside keeps the rest";
    EXPECT_EQ(FileWriteAll(f, kCurrentPosition, "++"_t), 2);
    EXPECT_EQ(dir_.Read("w.txt"), "abXYef++");
    EXPECT_EQ(FileWriteAll(f, kRewritePosition, "new"_t), 3);
    EXPECT_EQ(dir_.Read("w.txt"), "new") << "the whole file replaced";
    EXPECT_EQ(FileSave(f, kRewritePosition, ""_t), status::kOk);
    EXPECT_EQ(dir_.Read("w.txt"), "");
    EXPECT_EQ(FileLength(f), 0);
    const std::string big(5000, 'q');
    EXPECT_EQ(FileSave(f, kRewritePosition, TextView(big)), status::kOk);
    EXPECT_EQ(FileLength(f), 5000);
    EXPECT_EQ(dir_.EntryCount(), 1) << "no temporary file left";
    EXPECT_EQ(FileWriteAll(f, 0, TextRef::Failed(145)), kIoFailed);
}

TEST_F(TextFilesTest, FailedWritesLoseNothing) {
    const std::string old(3000, 'o');
    dir_.Write("keep.txt", old);
    const TextRef f = Path("keep.txt");
    const std::string fresh(3000, 'n');
    struct Row {
        int allowed;
        std::uint16_t partial;
    };
    for (const Row& r : {Row{0, 0}, Row{0, 100}, Row{3, 511}, Row{5, 0}}) {
        ClearRecordedError();
        FileFailWritesAfter(r.allowed, r.partial);
        EXPECT_EQ(FileSave(f, kRewritePosition, TextView(fresh)), status::kFileIo)
            << r.allowed << "/" << r.partial;
        FileFailWritesAfter(-1);
        EXPECT_EQ(dir_.Read("keep.txt"), old) << "the old contents are intact";
        EXPECT_EQ(dir_.EntryCount(), 1) << "the half-written copy is gone";
        EXPECT_EQ(RecordedError().status, status::kFileIo);
        EXPECT_EQ(Str(ErrorDetail()).find(dir_.File("keep.txt")), 0u);
    }
    EXPECT_EQ(FileSave(f, kRewritePosition, TextView(fresh)), status::kOk);
    EXPECT_EQ(dir_.Read("keep.txt"), fresh);
}

TEST_F(TextFilesTest, RewritingThroughASymbolicLinkWritesTheFileItNames) {
    namespace fs = std::filesystem;
    dir_.Write("real.txt", "old");
    fs::create_directory(dir_.File("sub"));
    fs::create_symlink("real.txt", dir_.File("link.txt"));
    fs::create_symlink("link.txt", dir_.File("chain.txt"));
    fs::create_symlink("sub/later.txt", dir_.File("dangling.txt"));
    struct Row {
        const char* name;   // written through
        const char* target; // what must hold the text afterwards
    };
    const Row rows[] = {
        {"link.txt", "real.txt"}, {"chain.txt", "real.txt"}, {"dangling.txt", "sub/later.txt"}};
    for (const Row& row : rows) {
        const std::string text = std::string("new through ") + row.name;
        EXPECT_EQ(FileSave(Path(row.name), kRewritePosition, TextView(text)), status::kOk)
            << row.name;
        EXPECT_TRUE(fs::is_symlink(dir_.File(row.name))) << row.name << " is still a link";
        EXPECT_EQ(dir_.Read(row.target), text) << row.name;
    }
    EXPECT_EQ(dir_.EntryCount(), 5) << "no temporary file left, nothing else made";
}

TEST_F(TextFilesTest, AFileWithOtherNamesKeepsThemAll) {
    namespace fs = std::filesystem;
    const std::string old(1500, 'o');
    dir_.Write("one.txt", old);
    fs::create_hard_link(dir_.File("one.txt"), dir_.File("two.txt"));
    const TextRef f = Path("one.txt");
    // A write that fails part way, longer or shorter than the old text, loses nothing.
    for (const std::size_t size : {std::size_t{3000}, std::size_t{700}}) {
        const std::string fresh(size, 'n');
        for (const int allowed : {0, 1}) { // the first or the second 512-byte write fails
            FileFailWritesAfter(allowed, 100);
            EXPECT_EQ(FileSave(f, kRewritePosition, TextView(fresh)), status::kFileIo)
                << size << "/" << allowed;
            FileFailWritesAfter(-1);
            EXPECT_EQ(dir_.Read("one.txt"), old) << size << "/" << allowed;
            EXPECT_EQ(dir_.Read("two.txt"), old) << size << "/" << allowed;
        }
    }
    for (const std::size_t size : {std::size_t{3000}, std::size_t{700}}) {
        const std::string fresh(size, static_cast<char>('a' + size % 26));
        EXPECT_EQ(FileSave(f, kRewritePosition, TextView(fresh)), status::kOk) << size;
        EXPECT_EQ(dir_.Read("one.txt"), fresh) << size;
        EXPECT_EQ(dir_.Read("two.txt"), fresh) << "the other name sees the new contents";
        EXPECT_EQ(fs::hard_link_count(dir_.File("two.txt")), 2u);
    }
    EXPECT_EQ(dir_.EntryCount(), 2);
}

TEST_F(TextFilesTest, AReadOnlyFileIsRefusedAndKept) {
    namespace fs = std::filesystem;
    // Mode bits decide, so this holds for the superuser too.
    dir_.Write("ro.txt", "old");
    fs::permissions(dir_.File("ro.txt"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_symlink("ro.txt", dir_.File("to-ro.txt"));
    dir_.Write("rw.txt", "old");
    EXPECT_TRUE(FileReadOnly(Path("ro.txt")));
    EXPECT_TRUE(FileReadOnly(Path("to-ro.txt")));
    EXPECT_TRUE(FileReadOnly(Path("RO.TXT"))) << "found in another letter case";
    EXPECT_FALSE(FileReadOnly(Path("rw.txt")));
    EXPECT_FALSE(FileReadOnly(Path("missing.txt")));
    for (const char* name : {"ro.txt", "to-ro.txt"}) {
        ClearRecordedError();
        LogErrorText(status::kOk, TextRef(), false);
        EXPECT_EQ(FileSave(Path(name), kRewritePosition, "new"_t), status::kPermissionDenied)
            << name;
        EXPECT_EQ(dir_.Read("ro.txt"), "old") << name;
        EXPECT_EQ(RecordedError().status, status::kPermissionDenied);
        EXPECT_EQ(Str(ErrorDetail()).find(dir_.File(name)), 0u) << Str(ErrorDetail());
    }
    EXPECT_TRUE(fs::is_symlink(dir_.File("to-ro.txt")));
    EXPECT_EQ(dir_.EntryCount(), 3);
}

TEST_F(TextFilesTest, AShortWriteIsReportedByItsCount) {
    const std::uint16_t n = FileOpen(Path("short.txt"), openflag::kCreate);
    const std::string text(2000, 's');
    FileFailWritesAfter(1, 100);
    EXPECT_EQ(FileWrite(n, 0, TextView(text)), 512 + 100) << "one chunk, then a short one";
    FileFailWritesAfter(-1);
    FileClose(n);
    EXPECT_EQ(FileSave(Path("short.txt"), 0, TextView(text)), status::kOk);
    FileFailWritesAfter(0);
    EXPECT_EQ(FileSave(Path("short.txt"), 0, TextView(text)), status::kFileIo);
}

TEST_F(TextFilesTest, LengthDeleteAndRename) {
    dir_.Write("a.txt", "12345");
    EXPECT_EQ(FileLength(Path("a.txt")), 5);
    EXPECT_EQ(FileLength(Path("A.TXT")), 5);
    EXPECT_EQ(FileLength(Path("none")), 0);
    EXPECT_EQ(FileLength(TextView(dir_.path())), 0) << "a folder has no length";
    EXPECT_EQ(FileRename(Path("a.txt"), Path("b.txt")), status::kOk);
    EXPECT_FALSE(dir_.Exists("a.txt"));
    EXPECT_EQ(dir_.Read("b.txt"), "12345");
    EXPECT_EQ(FileRename(Path("a.txt"), Path("c.txt")), status::kFileNotFound);
    EXPECT_EQ(FileDelete(Path("B.TXT")), status::kOk);
    EXPECT_FALSE(dir_.Exists("b.txt"));
    EXPECT_EQ(FileDelete(Path("b.txt")), status::kFileNotFound);
}

TEST_F(TextFilesTest, ReadLinesTakesTheBlockOfAKey) {
    struct Row {
        std::string content;
        int kind, key;
        Strings records;
    };
    const Row rows[] = {
        {"one\ntwo\n", 0, 7, {"one", "two"}},
        {"01 alpha\n 2 beta\n01 gamma\nxx delta\n 1\n", 1, 1, {"alpha", "gamma", ""}},
        {"01 alpha\nxx delta\n", 1, 0, {"delta"}}, // a field that is not a number reads 0
        {"\" 1abc\"\n\"12long text\"\n\" 1\"\n", 2, 1, {"abc", ""}},
        {"\" 1abc\"\n\"12long text\"\n", 2, 12, {"long text"}},
        {"0042 rec\n  42 blank\n0043 no\n", 3, 42, {"rec", "blank"}},
        {"07rec\r\n08x\r\n", 4, 7, {"rec"}},
        {"00005 whole\n00006 other\n", 6, 5, {"00005 whole"}},
        {"p\nq\n", 5, 3, {"p", "q"}},
    };
    for (const Row& r : rows) {
        dir_.Write("k.ppn", r.content);
        SlotPopTo(30, 0);
        EXPECT_EQ(ReadLines(Path("k.ppn"), r.kind, r.key, 30), r.records.size())
            << "kind " << r.kind << " key " << r.key;
        EXPECT_EQ(Group(30), r.records) << "kind " << r.kind << " key " << r.key;
    }
}

TEST_F(TextFilesTest, ReadLinesLooksForABareNameAlongTheDefaultFolders) {
    std::filesystem::create_directories(dir_.File("apps"));
    dir_.Write("apps/menu.pan", "l1\nl2\n");
    const std::string folders = dir_.File("none") + "," + dir_.File("apps");
    SlotSet(slotgroup::kEnvironment, 5, TextView(folders));
    ClearRecordedError();
    EXPECT_EQ(ReadLines("menu.pan"_t, 0, 0, 30), 2);
    EXPECT_EQ(Group(30), (Strings{"l1", "l2"}));
    EXPECT_EQ(RecordedError().status, 0) << "the first, quiet attempt records nothing";
    EXPECT_EQ(ReadLines("absent.pan"_t, 0, 0, 30), kIoFailed);
    EXPECT_EQ(ReadLines(Path("absent.pan"), 0, 0, 30), kIoFailed) << "with a folder: no search";
}

TEST_F(TextFilesTest, ReadLinesTakesBackAHalfReadFile) {
    SlotPush(slotgroup::kFileLines, "earlier"_t);
    dir_.Write("bad.txt", "a\nb\n" + std::string(kLineBufferSize + 1, 'x') + "\nc\n");
    EXPECT_EQ(ReadLines(Path("bad.txt"), 0, 0, slotgroup::kFileLines), kIoFailed);
    EXPECT_EQ(Group(slotgroup::kFileLines), (Strings{"earlier"})) << "nothing half-read stays";
}

TEST_F(TextFilesTest, PushFileTextJoinsTheBlockWithColons) {
    dir_.Write("s.ppn", "01 a=1\n02 x\n01 b=2\n01 \n");
    PushFileText(Path("s.ppn"), 1, 1);
    EXPECT_EQ(Str(SlotTop(slotgroup::kFileTexts)), "a=1:b=2:");
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0) << "the lines were consumed";
    PushFileText(Path("missing.ppn"), 1, 1);
    EXPECT_EQ(SlotCount(slotgroup::kFileTexts), 2);
    EXPECT_EQ(Str(SlotTop(slotgroup::kFileTexts)), "") << "a missing file pushes an empty text";
    PopFileText();
    PopFileText();
    EXPECT_EQ(SlotCount(slotgroup::kFileTexts), 0);
}

TEST_F(TextFilesTest, KindAndIndexExtensions) {
    struct Row {
        const char* name;
        int kind;
        const char* out;
    };
    const Row rows[] = {
        {"X", 1, "X.PPN"}, {"X", 2, "X.PAN"}, {"X", 5, "X.DAT"}, {"X", 13, "X.HLP"},
        {"X", 0, "X"},     {"X", 14, "X"},    {"", 7, "PRX"},
    };
    for (const Row& r : rows) {
        const ScratchLevel mark = ScratchMark();
        EXPECT_EQ(Str(WithKindExtension(TextView(r.name), r.kind)), r.out) << r.name << r.kind;
        ScratchRelease(mark);
    }
    struct IndexRow {
        int k;
        const char* out;
    };
    for (const IndexRow& r : {IndexRow{1, ""}, IndexRow{2, ".FD"}, IndexRow{0x82, ".fd"},
                              IndexRow{6, ".TXT"}, IndexRow{0x86, ".txt"}, IndexRow{7, ""}}) {
        const ScratchLevel mark = ScratchMark();
        EXPECT_EQ(Str(IndexExtension(r.k)), r.out) << r.k;
        ScratchRelease(mark);
    }
}

} // namespace
} // namespace vodarir
