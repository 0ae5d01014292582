// Numbered-line files and files put in place together: blocks read and rewritten in place of the
// old one, lines too long refused, whole copies of any size, and a failure part way that leaves
// every old file as it was.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "host/file_copies.h"
#include "host/numbered_files.h"
#include "host/text_files.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using Records = std::vector<std::string>;
using testing::Str;

class NumberedFilesTest : public testing::RuntimeTest {
protected:
    void TearDown() override {
        FileFailWritesAfter(-1);
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        RuntimeTest::TearDown();
    }
    TextRef Path(const std::string& name) {
        paths_.push_back(dir.File(name));
        return TextView(paths_.back());
    }
    testing::TempFolder dir;

private:
    std::deque<std::string> paths_;
};

TEST_F(NumberedFilesTest, LinesAreWrittenAndReadInTheirLayouts) {
    EXPECT_EQ(NumberedLine(LineKind::Parameters, 1, "RELOPT%=1"), " 1 RELOPT%=1");
    EXPECT_EQ(NumberedLine(LineKind::Screen, 12, "0 310Cliente:"), "\"120 310Cliente:\"");
    EXPECT_EQ(LineNumberOf(LineKind::Screen, "\"120 310Cliente:\""), 12);
    EXPECT_EQ(LineRecordOf(LineKind::Screen, "\"120 310Cliente:\""), "0 310Cliente:");
    EXPECT_EQ(LineNumberOf(LineKind::Parameters, " 7 A=1"), 7);
    EXPECT_EQ(LineNumberOf(LineKind::Parameters, "x7 A=1"), 0) << "not a number: 0";
    EXPECT_EQ(LineRecordOf(LineKind::Screen, "\" 1"), "");
}

TEST_F(NumberedFilesTest, ABlockIsReadInFileOrderWhateverItsNeighbours) {
    dir.Write("S.PAN", "\" 10 1 1uno\"\r\n\" 20 1 1dos\"\n\" 10 2 1tres\"\r\"12x\"\r\n");
    Records records;
    ASSERT_EQ(ReadBlock(Path("S.PAN"), LineKind::Screen, 1, &records), status::kOk);
    EXPECT_EQ(records, (Records{"0 1 1uno", "0 2 1tres"}));
    std::uint16_t highest = 0;
    ASSERT_EQ(HighestBlock(Path("S.PAN"), LineKind::Screen, &highest), status::kOk);
    EXPECT_EQ(highest, 12);
    EXPECT_EQ(ReadBlock(Path("NADA.PAN"), LineKind::Screen, 1, &records), status::kFileNotFound);
    // All blocks in one pass are the blocks read one by one, the numbers between them empty.
    std::vector<Records> blocks;
    ASSERT_EQ(ReadBlocks(Path("S.PAN"), LineKind::Screen, &blocks), status::kOk);
    ASSERT_EQ(blocks.size(), 13u);
    EXPECT_EQ(blocks[1], (Records{"0 1 1uno", "0 2 1tres"}));
    EXPECT_EQ(blocks[2], (Records{"0 1 1dos"}));
    EXPECT_TRUE(blocks[5].empty());
    EXPECT_EQ(blocks[12], (Records{"x"}));
    EXPECT_EQ(ReadBlocks(Path("NADA.PAN"), LineKind::Screen, &blocks), status::kFileNotFound);
}

TEST_F(NumberedFilesTest, ALineTooLongIsRefusedNamingItRatherThanCut) {
    dir.Write("L.PPN", " 1 A=1\r\n 1 B='" + std::string(600, 'x') + "'\r\n");
    Records records;
    EXPECT_EQ(ReadBlock(Path("L.PPN"), LineKind::Parameters, 1, &records), status::kStringTooLong);
    EXPECT_NE(Str(ErrorDetail()).find("L.PPN, line 2"), std::string::npos) << Str(ErrorDetail());
    // Nor is one written that could not be read back.
    dir.Write("W.PPN", " 1 A=1\r\n");
    EXPECT_EQ(
        RewriteBlock(Path("W.PPN"), LineKind::Parameters, 1, {"B='" + std::string(510, 'y') + "'"}),
        status::kStringTooLong);
    EXPECT_EQ(dir.Read("W.PPN"), " 1 A=1\r\n");
    EXPECT_EQ(RewriteBlock(Path("W.PPN"), LineKind::Parameters, 1, {std::string(509, 'z')}),
              status::kOk)
        << "a line of exactly 512 characters is read back";
    ASSERT_EQ(ReadBlock(Path("W.PPN"), LineKind::Parameters, 1, &records), status::kOk);
    EXPECT_EQ(records, Records{std::string(509, 'z')});
}

TEST_F(NumberedFilesTest, ANewBlockStandsWhereTheOldOneWasOrBeforeAHigherNumber) {
    struct Row {
        const char* name;
        const char* before;
        std::uint16_t number;
        Records records;
        const char* after;
    };
    const Row rows[] = {
        {"screen 2 between 1 and 3",
         " 1 a\r\n 3 c\r\n",
         2,
         {"b1", "b2"},
         " 1 a\r\n 2 b1\r\n 2 b2\r\n 3 c\r\n"},
        {"the old block replaced in place",
         " 1 a\r\n 2 old\r\n 2 old2\r\n 3 c\r\n",
         2,
         {"new"},
         " 1 a\r\n 2 new\r\n 3 c\r\n"},
        {"after every lower block", " 1 a\r\n 2 b\r\n", 9, {"z"}, " 1 a\r\n 2 b\r\n 9 z\r\n"},
        {"no records: the block goes", " 1 a\r\n 2 b\r\n 3 c\r\n", 2, {}, " 1 a\r\n 3 c\r\n"},
        {"a missing file is made", nullptr, 4, {"x"}, " 4 x\r\n"},
        {"other lines kept as they were",
         "free text\r\n 1 a\n 3 c",
         2,
         {"b"},
         "free text\r\n 1 a\r\n 2 b\r\n 3 c\r\n"},
    };
    for (const Row& r : rows) {
        if (r.before != nullptr)
            dir.Write("P.PPN", r.before);
        else
            std::filesystem::remove(dir.File("P.PPN"));
        ASSERT_EQ(RewriteBlock(Path("P.PPN"), LineKind::Parameters, r.number, r.records),
                  status::kOk)
            << r.name;
        EXPECT_EQ(dir.Read("P.PPN"), r.after) << r.name;
        EXPECT_EQ(dir.EntryCount(), 1) << r.name << ": no temporary file is left";
    }
    EXPECT_EQ(RewriteBlock(Path("P.PPN"), LineKind::Parameters, 100, {"x"}), status::kDataOutBound)
        << "two columns hold no block 100";
}

TEST_F(NumberedFilesTest, ARewriteThatFailsAtAnyWriteLeavesTheFileAsItWas) {
    const std::string before = " 1 a\r\n 2 b\r\n 3 c\r\n";
    for (int allowed = 0; allowed < 3; ++allowed) {
        dir.Write("F.PPN", before);
        FileFailWritesAfter(allowed);
        const StatusCode st =
            RewriteBlock(Path("F.PPN"), LineKind::Parameters, 2, {std::string(400, 'n')});
        FileFailWritesAfter(-1);
        if (st == status::kOk) break; // every write went through
        EXPECT_EQ(dir.Read("F.PPN"), before) << "failing after " << allowed << " writes";
        EXPECT_EQ(dir.EntryCount(), 1) << "failing after " << allowed << " writes";
    }
}

TEST_F(NumberedFilesTest, CopiesTakeTheWholeFileWhateverItsSize) {
    std::string big;
    for (int i = 0; big.size() < 200000; ++i) big += "line " + std::to_string(i) + "\r\n";
    dir.Write("BIG", big);
    ASSERT_EQ(CopyFileWhole(Path("BIG"), Path("COPY")), status::kOk);
    EXPECT_EQ(dir.Read("COPY"), big);
    dir.Write("OLD", "old");
    ASSERT_EQ(ReplaceWithCopy(Path("BIG"), Path("OLD")), status::kOk);
    EXPECT_EQ(dir.Read("OLD"), big);
    EXPECT_EQ(dir.EntryCount(), 3);
    EXPECT_EQ(CopyFileWhole(Path("NONE"), Path("X")), status::kFileNotFound);
}

TEST_F(NumberedFilesTest, FilesPutInPlaceTogetherAllGoOrNoneDoes) {
    dir.Write("A.PAN", "old pan");
    dir.Write("A.PPN", "old ppn");
    dir.Write("new-pan", "new pan");
    dir.Write("new-ppn", "new ppn");
    // The second target cannot be replaced: a folder that is not empty stands in its place.
    std::filesystem::create_directory(dir.File("B.PPN"));
    dir.Write("B.PPN/inside", "x");
    const Placement blocked[] = {{dir.File("new-pan"), dir.File("A.PAN")},
                                 {dir.File("new-ppn"), dir.File("B.PPN")}};
    EXPECT_NE(PutInPlace(blocked), status::kOk);
    EXPECT_EQ(dir.Read("A.PAN"), "old pan") << "the first target got its old file back";
    EXPECT_FALSE(dir.Exists("new-pan"));
    EXPECT_FALSE(dir.Exists("new-ppn"));
    EXPECT_EQ(dir.EntryCount(), 3) << "A.PAN, A.PPN and the folder: nothing else is left";

    dir.Write("new-pan", "new pan");
    dir.Write("new-ppn", "new ppn");
    const Placement both[] = {{dir.File("new-pan"), dir.File("A.PAN")},
                              {dir.File("new-ppn"), dir.File("A.PPN")}};
    EXPECT_EQ(PutInPlace(both), status::kOk);
    EXPECT_EQ(dir.Read("A.PAN"), "new pan");
    EXPECT_EQ(dir.Read("A.PPN"), "new ppn");
    EXPECT_EQ(dir.EntryCount(), 3);
}

TEST_F(NumberedFilesTest, ALinkIsWrittenThroughAndStaysALink) {
    dir.Write("real.PPN", " 1 a\r\n");
    std::filesystem::create_symlink(dir.File("real.PPN"), dir.File("link.PPN"));
    ASSERT_EQ(RewriteBlock(Path("link.PPN"), LineKind::Parameters, 1, {"b"}), status::kOk);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.PPN")));
    EXPECT_EQ(dir.Read("real.PPN"), " 1 b\r\n");
}

} // namespace
} // namespace vodarir
