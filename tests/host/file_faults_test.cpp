// The file layer's fault seam (every open, read, write, flush and rename can be made to fail at
// its k-th step) and the line reader's blocks read ahead: lines across block edges, positions, and
// the other steps on a file that is being read line by line.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "host/file_faults.h"
#include "host/text_files.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;

class FileFaultsTest : public testing::RuntimeTest {
protected:
    void TearDown() override {
        FileFaultsOff();
        for (FileNumber n = 3; n < kFileTableSize; ++n) FileClose(n);
        EXPECT_EQ(ScratchDepth(), 0);
        RuntimeTest::TearDown();
    }
    TextRef Path(const std::string& name) {
        paths_.push_back(dir_.File(name));
        return TextView(paths_.back());
    }
    // The lines read one by one from an open file, until the first failure (its status in *end).
    std::vector<std::string> Lines(FileNumber n, StatusCode* end) {
        std::vector<std::string> lines;
        for (;;) {
            const ScratchScope scope;
            const TextRef line = FileReadLine(n, kCurrentPosition, kReadOneLine);
            if (line.failed()) {
                *end = line.status();
                return lines;
            }
            lines.push_back(Str(line));
        }
    }

    testing::TempFolder dir_;
    std::deque<std::string> paths_; // a deque never moves what TextViews point at
};

TEST_F(FileFaultsTest, EachKindOfStepFailsAtItsKthTurnOnceOrFromThenOn) {
    struct Row {
        FileOp op;
        int at;
        bool persist;
        // Which of three saves of the same file fail.
        bool fails[3];
    };
    // A whole-file save opens one file, writes one chunk, flushes three times (the C library, the
    // system, the close) and renames once.
    const Row rows[] = {
        {FileOp::kOpen, 1, false, {true, false, false}},
        {FileOp::kOpen, 2, false, {false, true, false}},
        {FileOp::kOpen, 2, true, {false, true, true}},
        {FileOp::kWrite, 1, false, {true, false, false}},
        {FileOp::kFlush, 3, false, {true, false, false}},
        {FileOp::kFlush, 4, false, {false, true, false}},
        {FileOp::kFlush, 6, true, {false, true, true}},
        {FileOp::kRename, 3, false, {false, false, true}},
    };
    for (const Row& r : rows) {
        dir_.Write("f.txt", "old");
        FileFaultArm({r.op, r.at, FileFault::kFail, r.persist, 0});
        for (int i = 0; i < 3; ++i) {
            const std::string text = "new" + std::to_string(i);
            const StatusCode st = FileSave(Path("f.txt"), kRewritePosition, TextView(text));
            EXPECT_EQ(st != status::kOk, r.fails[i])
                << FileOpName(r.op) << " " << r.at << " #" << i;
            if (st == status::kOk) {
                EXPECT_EQ(dir_.Read("f.txt"), text);
            }
        }
        EXPECT_TRUE(FileFaultStruck());
        EXPECT_EQ(dir_.EntryCount(), 1) << FileOpName(r.op) << ": no temporary file left";
        FileFaultsOff();
        EXPECT_FALSE(FileFaultStruck());
        EXPECT_EQ(FileOpCount(r.op), 0) << "counts start again";
    }
}

TEST_F(FileFaultsTest, StepsAreCountedByKind) {
    dir_.Write("f.txt", std::string(1200, 'x'));
    FileFaultsOff();
    EXPECT_EQ(FileSave(Path("f.txt"), kRewritePosition, TextView(std::string(1200, 'y'))),
              status::kOk);
    EXPECT_EQ(FileOpCount(FileOp::kOpen), 1);
    EXPECT_EQ(FileOpCount(FileOp::kWrite), 3) << "chunks of 512 bytes";
    EXPECT_EQ(FileOpCount(FileOp::kFlush), 3);
    EXPECT_EQ(FileOpCount(FileOp::kRename), 1);
    EXPECT_EQ(FileOpCount(FileOp::kRead), 0);
    const ScratchScope scope;
    EXPECT_EQ(FileReadAll(Path("f.txt"), 0, kWholeFile).size(), 1200);
    EXPECT_EQ(FileOpCount(FileOp::kOpen), 2);
    EXPECT_GE(FileOpCount(FileOp::kRead), 1);
}

TEST_F(FileFaultsTest, AShortWriteStoresPartOfItsChunkAndIsReported) {
    const std::uint16_t n = FileOpen(Path("w.txt"), openflag::kCreate);
    ASSERT_LT(n, kFileTableSize);
    FileFaultArm({FileOp::kWrite, 2, FileFault::kShort, false, 100});
    EXPECT_EQ(FileWrite(n, 0, TextView(std::string(1500, 'w'))), 512 + 100)
        << "one chunk whole, the second cut short, nothing after";
    FileFaultArm({FileOp::kWrite, 1, FileFault::kFail, false, 100});
    EXPECT_EQ(FileWrite(n, 0, TextView(std::string(10, 'w'))), 0) << "a failing write stores none";
    FileFaultArm({FileOp::kFlush, 1, FileFault::kFail, false, 0});
    EXPECT_EQ(FileWrite(n, 0, "abc"_t), 0) << "bytes that never left the C library";
    FileClose(n);
}

TEST_F(FileFaultsTest, AReadThatFailsGives136AndLeavesThePositionAtTheLine) {
    std::string content;
    for (int i = 0; i < 2000; ++i) content += "line " + std::to_string(i) + "\r\n";
    dir_.Write("r.txt", content); // about 21 KB: two blocks
    for (int at = 1; at <= 2; ++at) {
        const std::uint16_t n = FileOpen(Path("r.txt"), openflag::kNoPlus);
        FileFaultArm({FileOp::kRead, at, FileFault::kFail, false, 0});
        StatusCode end = 0;
        const std::vector<std::string> lines = Lines(n, &end);
        EXPECT_EQ(end, status::kRead) << at;
        EXPECT_EQ(FilePos(n), static_cast<std::int64_t>(
                                  content.find("line " + std::to_string(lines.size()) + "\r")))
            << "the failed line starts where the reading stopped";
        FileFaultsOff();
        const std::vector<std::string> rest = Lines(n, &end);
        EXPECT_EQ(end, status::kDiskIo);
        EXPECT_EQ(lines.size() + rest.size(), 2000u) << "the reading goes on from the same line";
        FileClose(n);
    }
    FileFaultArm({FileOp::kRead, 1, FileFault::kFail, false, 0});
    const ScratchScope scope;
    EXPECT_EQ(FileReadAll(Path("r.txt"), 0, kWholeFile).status(), status::kRead);
    char buffer[64];
    const std::uint16_t n = FileOpen(Path("r.txt"), openflag::kNoPlus);
    FileFaultArm({FileOp::kRead, 1, FileFault::kFail, false, 0});
    EXPECT_EQ(FileRead(n, 0, 40, buffer, sizeof buffer), kIoFailed) << "never the bytes before";
    FileClose(n);
}

TEST_F(FileFaultsTest, LinesAcrossTheEdgesOfTheBlocksReadAhead) {
    // Line endings of every kind land on both sides of the 16 KB edges, a CR LF split by one.
    constexpr std::size_t kBlock = 16384;
    struct Row {
        std::size_t firstLine; // the first line's length, which places the next ending
        const char* ending;
    };
    const Row rows[] = {{kBlock - 1, "\r\n"}, {kBlock - 2, "\r\n"}, {kBlock - 1, "\r"},
                        {kBlock - 1, "\n"},   {kBlock, "\r\n"},     {kBlock + 1, "\n"}};
    for (const Row& r : rows) {
        // Short lines up to the edge, then the ending there, then a last line.
        std::string content;
        std::vector<std::string> want;
        while (content.size() + 30 < r.firstLine) {
            want.push_back(std::string(20, static_cast<char>('a' + want.size() % 26)));
            content += want.back() + "\n";
        }
        want.push_back(std::string(r.firstLine - content.size(), 'z'));
        content += want.back() + r.ending;
        want.push_back("last");
        content += "last";
        dir_.Write("edge.txt", content);
        const std::uint16_t n = FileOpen(Path("edge.txt"), openflag::kNoPlus);
        StatusCode end = 0;
        EXPECT_EQ(Lines(n, &end), want)
            << r.firstLine << " " << (r.ending[0] == '\r' ? "CR" : "LF");
        EXPECT_EQ(end, status::kDiskIo);
        FileClose(n);
    }
}

TEST_F(FileFaultsTest, TheLineViewGivesWhatTheLineReaderGives) {
    // Endings of every kind, a CR LF split by the edge of a block, a Ctrl-Z line, a line of
    // exactly 512 bytes at the end of the file and one too long.
    // Lines of 29 bytes: the CR of the 565th is the last byte of the first 16 KB block.
    std::string edge;
    for (int i = 0; i < 600; ++i) edge += "abcdefghijklmnopqrstuvwxyz0\r\n";
    const std::string x512(kLineBufferSize, 'x');
    const std::string contents[] = {
        "a\r\nb\nc\rd",   "one\n\x1a\ntwo\r\n\r\n",      "1234\n" + edge + "\r\nlast",
        "first\n" + x512, "first\n" + x512 + "y\nnever",
    };
    for (const std::string& content : contents) {
        dir_.Write("a.txt", content);
        dir_.Write("b.txt", "other\nfile\n");
        const std::uint16_t n = FileOpen(Path("a.txt"), openflag::kNoPlus);
        StatusCode end = 0;
        const std::vector<std::string> want = Lines(n, &end);
        FileClose(n);
        const std::uint16_t v = FileOpen(Path("a.txt"), openflag::kNoPlus);
        const std::uint16_t other = FileOpen(Path("b.txt"), openflag::kNoPlus);
        std::vector<std::string> got;
        for (;;) {
            const TextRef line = FileLineView(v);
            if (line.failed()) {
                EXPECT_EQ(line.status(), end) << content.substr(0, 10);
                break;
            }
            // A view stays whole while another file is read.
            const std::string kept(line.view());
            FileLineView(other);
            EXPECT_EQ(std::string(line.view()), kept);
            got.push_back(kept);
        }
        EXPECT_EQ(got, want) << content.substr(0, 10);
        EXPECT_EQ(ScratchDepth(), 0) << "a view takes no scratch level";
        FileClose(v);
        FileClose(other);
    }
}

TEST_F(FileFaultsTest, OtherStepsOnAFileReadLineByLineSeeItsPosition) {
    dir_.Write("m.txt", "one\r\ntwo\r\nthree\r\n");
    const std::uint16_t n = FileOpen(Path("m.txt"), openflag::kReadWrite);
    const ScratchScope scope;
    EXPECT_EQ(Str(FileReadLine(n, kCurrentPosition, kReadOneLine)), "one");
    EXPECT_EQ(FilePos(n), 5) << "after the line, not after the block read ahead";
    EXPECT_FALSE(FileAtEnd(n));
    EXPECT_EQ(Str(FileReadLine(n, kCurrentPosition, 3)), "two") << "a counted read goes on there";
    EXPECT_EQ(FileWrite(n, 10, "THREE"_t), 5);
    EXPECT_EQ(Str(FileReadLine(n, 5, kReadOneLine)), "two");
    EXPECT_EQ(Str(FileReadLine(n, kCurrentPosition, kReadOneLine)), "THREE")
        << "a write is seen by the lines read after it";
    EXPECT_TRUE(FileAtEnd(n));
    EXPECT_EQ(FileSeek(n, 0), status::kOk);
    EXPECT_EQ(Str(FileReadLine(n, kCurrentPosition, kReadOneLine)), "one");
    EXPECT_EQ(FileWrite(n, kCurrentPosition, "four\r\n"_t), 6) << "appended";
    EXPECT_EQ(Str(FileReadLine(n, 17, kReadOneLine)), "four");
    FileClose(n);
    EXPECT_EQ(FilesOpen(), 0);
}

} // namespace
} // namespace vodarir
