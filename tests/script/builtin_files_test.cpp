// Built-in functions over files: procedure files and the execute hook (EXEC$), text files by
// handle and by name (FILESEL, READ$, WRITE), the key=value merge of WRITE -2, file lengths.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "builtin_fixture.h"
#include "host/text_files.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/scratch_stack.h"
#include "support/temp_folder.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class FileFunctionsTest : public BuiltinTest {
protected:
    void TearDown() override {
        FileFailWritesAfter(-1);
        BuiltinTest::TearDown();
    }
    // A path of the temporary folder quoted for an expression.
    std::string Q(const std::string& name) const { return "'" + folder_.File(name) + "'"; }

    TempFolder folder_;
};

// --- EXEC$ ---------------------------------------------------------------------------------------

TEST_F(FileFunctionsTest, AProcedureFileRunsFromTheProcedureFolder) {
    folder_.Write("proc.prx", "a=1\r\nb=a+1\nc$='x;y'\r\n\r\n");
    SetSlot(slotgroup::kEnvironment, 5, folder_.path());
    EXPECT_EQ(Eval("EXEC$('proc.prx')"), "''");
    EXPECT_EQ(Var("a"), "1");
    EXPECT_EQ(Var("b"), "2");
    EXPECT_EQ(Var("c$"), "x;y");
    // The extension is found whatever its letter case, and a path with a folder is used as is.
    folder_.Write("OTHER.PRX", "d=4");
    EXPECT_EQ(Eval("EXEC$('OTHER.PRX')"), "''");
    EXPECT_EQ(Var("d"), "4");
    SetSlot(slotgroup::kEnvironment, 5, "/nonexistent");
    EXPECT_EQ(Eval("EXEC$(" + Q("OTHER.PRX") + ")"), "''");
}

TEST_F(FileFunctionsTest, AMissingOrEmptyProcedureIsNotFound) {
    SetSlot(slotgroup::kEnvironment, 5, folder_.path());
    folder_.Write("empty.prx", "");
    LogErrorText(0, ""_t, false);
    EXPECT_EQ(Eval("EXEC$('missing.prx')"), "error 164");
    EXPECT_NE(Detail().find("missing.prx"), std::string::npos) << Detail();
    EXPECT_EQ(Eval("EXEC$('empty.prx')"), "error 164");
    EXPECT_NE(Detail().find("empty.prx"), std::string::npos) << Detail();
}

TEST_F(FileFunctionsTest, AFailingProcedureStopsAtItsFailure) {
    SetSlot(slotgroup::kEnvironment, 5, folder_.path());
    folder_.Write("bad.prx", "a=7\r\nb=1*'x'\r\nc=9\r\n");
    EXPECT_EQ(Eval("EXEC$('bad.prx')"), "error 128");
    EXPECT_EQ(Var("a"), "7") << "what ran before the failure stays";
    EXPECT_EQ(Var("c"), "0");
}

TEST_F(FileFunctionsTest, OtherFilesGoToTheExecuteHook) {
    LogErrorText(0, ""_t, false);
    EXPECT_EQ(Eval("EXEC$('screen.pan')"), "error 148");
    EXPECT_NE(Detail().find("EXEC$()"), std::string::npos) << Detail();
    EXPECT_EQ(Eval("EXEC$('proc.prx';'with arguments')"), "error 148");
    EXPECT_EQ(Eval("EXEC$('noextension')"), "error 148");
    EXPECT_EQ(Eval("EXEC$()"), "error 147");
    EXPECT_EQ(Eval("EXEC$(5)"), "error 128");
}

std::string g_executed;
TextRef ExecuteHook(TextRef file, int mode) {
    g_executed = std::string(file.view()) + "|" + std::to_string(mode) + "|" +
                 std::string(ScratchTop().view());
    if (file.view() == "declined.pan") return TextRef::Failed(status::kData);
    if (file.view() == "failing.pan") return TextRef::Failed(status::kChildExec);
    return "ran"_t;
}

TEST_F(FileFunctionsTest, TheExecuteHookGetsTheFileAndItsArguments) {
    VarSetHook(kExecuteHook, ExecuteHook);
    EXPECT_EQ(Eval("EXEC$('screen.pan';'a'+'b')"), "'ran'");
    EXPECT_EQ(g_executed, "screen.pan|5|ab");
    EXPECT_EQ(Eval("EXEC$('proc.prx';'x')"), "'ran'");
    EXPECT_EQ(g_executed, "proc.prx|5|x");
    EXPECT_EQ(Eval("EXEC$('failing.pan')"), "error 167");
    EXPECT_EQ(Eval("EXEC$('declined.pan')"), "error 148");
}

// --- Text files by handle ------------------------------------------------------------------------

TEST_F(FileFunctionsTest, WritingAndReadingThroughHandles) {
    Run("h=FILESEL(" + Q("t.txt") + ";2)");
    EXPECT_GE(std::stoi(Var("h")), 3) << "the standard streams keep 0 to 2";
    EXPECT_EQ(Eval("WRITE(h;-1;'one'+FN$CHRS(13)+FN$CHRS(10))"), "5.00");
    EXPECT_EQ(Eval("WRITE(h;65535;'two')"), "3.00");
    EXPECT_EQ(Eval("FILESEL(h)"), "0.00");
    EXPECT_EQ(folder_.Read("t.txt"), "one\r\ntwo");

    Run("h=FILESEL(" + Q("t.txt") + ";8)");
    ExpectRows({
        {"READ$(h;-1)", "'one'"},
        {"READ$(h;-1)", "'two'"},
        {"READ$(h;-1)", "''"}, // the end of the file
        {"READ$(h)", "'one'"}, // position 0 by default
        {"READ$(h;5)", "'two'"},
        {"READ$(h;0;2)", "'on'"},        // a count of bytes
        {"WRITE(h;-1;'x')", "65535.00"}, // opened without update access
    });
    EXPECT_EQ(Eval("FILESEL(h)"), "0.00");
    EXPECT_EQ(Eval("READ$(h;-1)"), "''") << "a closed handle reads nothing";
    EXPECT_EQ(Eval("WRITE(h;-1;'x')"), "65535.00");
}

TEST_F(FileFunctionsTest, HandleEdgeCases) {
    ExpectBuiltRows({
        {"FILESEL(1)", "0.00"}, // the standard streams are left open
        {"READ$(99)", "''"},
        {"READ$(-1)", "''"},
        {"WRITE(99;0;'x')", "65535.00"},
        {"WRITE(-1;0;'x')", "65535.00"},
        {"FILESEL(3;1)", "error 128"},
        {"FILESEL('" + folder_.File("no/such/dir") + "/x';8)", "error 164"},
        {"WRITE(1;0)", "error 147"},
        {"WRITE(1;0;5)", "error 128"},
        {"READ$(1;-5)", "error 168"},
    });
}

TEST_F(FileFunctionsTest, AppendMode) {
    folder_.Write("log.txt", "start|");
    Run("h=FILESEL(" + Q("log.txt") + ";4)");
    EXPECT_EQ(Eval("WRITE(h;-1;'more')"), "4.00");
    EXPECT_EQ(Eval("FILESEL(h)"), "0.00");
    EXPECT_EQ(folder_.Read("log.txt"), "start|more");
}

// --- Text files by name --------------------------------------------------------------------------

TEST_F(FileFunctionsTest, WholeFilesByName) {
    folder_.Write("r.txt", "one\ntwo");
    ExpectBuiltRows({
        {"READ$(" + Q("r.txt") + ")", "'one\ntwo'"},
        {"READ$(" + Q("r.txt") + ";4)", "'two'"},
        {"READ$(" + Q("r.txt") + ";0;3)", "'one'"},
        {"READ$(" + Q("missing.txt") + ")", "''"},
        {"WRITE(" + Q("w.txt") + ";0;'abc')", "0.00"},
        {"WRITE(" + Q("w.txt") + ";-1;'def')", "0.00"}, // at the end
        {"WRITE(" + Q("w.txt") + ";1;'X')", "0.00"},
        {"READ$(" + Q("w.txt") + ")", "'aXcdef'"},
        {"FN#FLEN(" + Q("w.txt") + ")", "6.00"},
        {"FN#FLEN(" + Q("missing.txt") + ")", "0.00"},
    });
}

TEST_F(FileFunctionsTest, NamesExpandEnvironmentReferences) {
    ScopedEnv temp("TEMP", folder_.path().c_str());
    folder_.Write("env.txt", "from temp");
    EXPECT_EQ(Eval("READ$('%TEMP%/env.txt')"), "'from temp'");
    EXPECT_EQ(Eval("WRITE('%TEMP%/out.txt';0;'w')"), "0.00");
    EXPECT_EQ(folder_.Read("out.txt"), "w");
    EXPECT_EQ(Eval("FN#FLEN('%TEMP%/env.txt')"), "9.00");
}

TEST_F(FileFunctionsTest, AFailedSaveIsAnError) {
    FileFailWritesAfter(0, 1);
    EXPECT_EQ(Eval("WRITE(" + Q("f.txt") + ";0;'abcdef')"), "error 131");
}

// --- WRITE -2: the key=value merge ---------------------------------------------------------------

TEST_F(FileFunctionsTest, MergeRoundTrip) {
    folder_.Write("cfg.txt", "A=1\r\nN$='x'\r\n");
    EXPECT_EQ(Eval("WRITE(" + Q("cfg.txt") + ";-2;\"A=2+3,N$='y',C=7\")"), "0.00");
    EXPECT_EQ(folder_.Read("cfg.txt"), "A=5\r\nN$='y'\r\nC=7\r\n");
    EXPECT_EQ(Var("A"), "5") << "the file ran afterwards";
    EXPECT_EQ(Var("N$"), "y");
    EXPECT_EQ(Var("C"), "7");

    // An item for an entry the file does not hold is added after the others.
    EXPECT_EQ(Eval("WRITE(" + Q("cfg.txt") + ";-2;'B=1,Z=0')"), "0.00");
    EXPECT_EQ(folder_.Read("cfg.txt"), "A=5\r\nN$='y'\r\nC=7\r\nB=1\r\nZ=0\r\n");
    // Running the file assigns its entries again: a value changed since comes back.
    Run("A=99");
    EXPECT_EQ(Eval("WRITE(" + Q("cfg.txt") + ";-2;'')"), "0.00");
    EXPECT_EQ(Var("A"), "5");
    EXPECT_EQ(folder_.EntryCount(), 1) << "no temporary file left behind";
}

TEST_F(FileFunctionsTest, MergeIntoANewFileAndEntriesOnOneLine) {
    EXPECT_EQ(Eval("WRITE(" + Q("new.txt") + ";-2;'K=4')"), "0.00");
    EXPECT_EQ(folder_.Read("new.txt"), "K=4\r\n");
    folder_.Write("one.txt", "P=1;Q=2;R$=\"a;b\"");
    EXPECT_EQ(Eval("WRITE(" + Q("one.txt") + ";-2;'Q=3')"), "0.00");
    EXPECT_EQ(folder_.Read("one.txt"), "P=1\r\nQ=3\r\nR$=\"a;b\"\r\n");
    EXPECT_EQ(Var("R$"), "a;b");
}

// A file of thousands of entries merges as a small one does, in a time that grows with the file
// rather than with its cube (4000 entries used to take minutes).
TEST_F(FileFunctionsTest, MergeIntoALargeFile) {
    constexpr int kEntries = 4000;
    std::string before;
    for (int k = 1; k <= kEntries; ++k) {
        before += "x" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
    }
    folder_.Write("big.txt", before);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Eval("WRITE(" + Q("big.txt") + ";-2;'x2000=7,x1=5,y=1')"), "0.00");
    const auto took = std::chrono::steady_clock::now() - start;
    std::string after = before;
    after.replace(after.find("x2000=2000\r\n"), 12, "x2000=7\r\n");
    after.replace(0, 6, "x1=5\r\n");
    EXPECT_EQ(folder_.Read("big.txt"), after + "y=1\r\n");
    EXPECT_EQ(Var("x2000"), "7");
    EXPECT_EQ(Var("x4000"), "4000");
    EXPECT_LT(took, std::chrono::seconds(10));
}

TEST_F(FileFunctionsTest, AFailedMergeLeavesTheFileAsItWas) {
    const std::string before = "A=1\r\nB=2\r\n";
    folder_.Write("keep.txt", before);
    ExpectBuiltRows({
        {"WRITE(" + Q("keep.txt") + ";-2;\"A=1*'x'\")", "error 128"}, // the value fails
        {"WRITE(" + Q("keep.txt") + ";-2;'NOVALUE')", "error 147"},
        {"WRITE(" + Q("keep.txt") + ";-2;'=3')", "error 147"},
        {"X$='a'+FN$CHRS(34)+FN$CHRS(39);WRITE(" + Q("keep.txt") + ";-2;'S$=X$')", "error 163"},
    });
    EXPECT_EQ(folder_.Read("keep.txt"), before);
    FileFailWritesAfter(0, 1); // a full disk while the new contents are written
    EXPECT_EQ(Eval("WRITE(" + Q("keep.txt") + ";-2;'A=2')"), "error 131");
    FileFailWritesAfter(-1);
    EXPECT_EQ(folder_.Read("keep.txt"), before);
    EXPECT_EQ(folder_.EntryCount(), 1);
}

} // namespace
} // namespace vodarir::testing
