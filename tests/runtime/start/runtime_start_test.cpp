// Runtime start: system variables, the command line, RunPath and the %NAME% expansions.
#include <gtest/gtest.h>

#include <string>

#include "host/expansions.h"
#include "host/paths.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::ScopedEnv;
using testing::Str;

class RuntimeConfigTest : public testing::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(RuntimeInit(), status::kOk);
    }
    void TearDown() override {
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        RuntimeTest::TearDown(); // VariablesRelease runs first: no table may be left
    }
    static void Env(SlotIndex slot, TextRef value) {
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, slot, value), status::kOk);
    }
    static std::string Of(TextRef (*f)(TextRef), TextRef in) {
        const ScratchLevel mark = ScratchMark();
        const TextRef out = f(in);
        std::string s = out.failed() ? "error " + std::to_string(out.status()) : Str(out);
        ScratchRelease(mark);
        return s;
    }
    static std::string Run(int flags) {
        const ScratchLevel mark = ScratchMark();
        std::string s = Str(RunPath(flags));
        ScratchRelease(mark);
        return s;
    }
};

TEST_F(RuntimeConfigTest, SystemVariablesExistInOrderWithTheirDefaults) {
    struct Row {
        const char* name;
        std::uint16_t number;
        std::int16_t value;
    };
    const Row rows[] = {
        {"_ERRCODE", 0, 0}, {"_CURFIL", 2, 0},   {"_DEVHIG", 4, 24},   {"_DEVWID", 5, 80},
        {"_STAT", 10, 0},   {"_LASTKEY", 11, 4}, {"_UPSTAT", 13, 1},   {"_COUNT", 17, 0},
        {"_HCOUNT", 18, 0}, {"_COMPAT", 20, 0},  {"_LB", 27, 128},     {"_KEYMAP", 29, 0},
        {"_TRACE", 31, 1},  {"_PRECIS", 32, 2},  {"_BYEAR", 33, 2000}, {"_BKYEAR", 34, 80},
        {"_DATE", 38, 0},   {"_USER03", 41, 0},
    };
    for (const Row& r : rows) {
        const VarLocation at = VarLocate(TextView(r.name));
        EXPECT_EQ(at.type, vartype::kInteger) << r.name;
        EXPECT_EQ(at.number, r.number) << r.name;
        EXPECT_EQ(IntVarGet(r.number), r.value) << r.name;
    }
    EXPECT_EQ(VarLocate("_ACUM$"_t).number, 0);
    EXPECT_EQ(VarLocate("_LTEXT$"_t).number, 2);
    EXPECT_EQ(TableCount(table::kIntValues), 42) << "42 integers, number 30 among them";
}

TEST_F(RuntimeConfigTest, RefusedTablesStopTheStart) {
    SlotStoreShutdown();
    PoolConfigure(256, kKeepValue, kKeepValue);
    ASSERT_EQ(SlotStoreInit(), status::kOk);
    PoolFailAllocationsAfter(0); // the store exists; the typed tables' registry is refused
    EXPECT_EQ(RuntimeInit(), status::kStructMemory);
    PoolFailAllocationsAfter(-1);
    EXPECT_EQ(VarLocate("_ERRCODE"_t).number, kNoSlot) << "no variable was created";
}

StatusCode FailingInit() { return status::kStrOutBound; }
StatusCode QuietInit() { return status::kOk; }

TEST_F(RuntimeConfigTest, StartStoresTheCommandLineWithQuotedPartsOneBlankApart) {
    struct Row {
        const char* given;
        const char* stored;
    };
    const Row rows[] = {
        {"\"C:\\prog.exe\"  \"file x.pan\"", "\"C:\\prog.exe\" \"file x.pan\""},
        {"\"a\"  \"b\"  \"c\"", "\"a\" \"b\" \"c\""},
        {"prog  file", "prog  file"}, // only quote-blank-blank-quote is shortened
        {"\"a\"   \"b\"", "\"a\"   \"b\""},
    };
    int instance = 0;
    for (const Row& r : rows) {
        ASSERT_EQ(RuntimeStart(&instance, TextView(r.given), QuietInit), status::kOk) << r.given;
        EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 1)), r.stored) << r.given;
    }
    EXPECT_EQ(RuntimeInstance(), &instance);
}

TEST_F(RuntimeConfigTest, FailedInitLeavesTheCommandLineUnstored) {
    EXPECT_EQ(RuntimeStart(nullptr, "prog x"_t, FailingInit), status::kStrOutBound);
    EXPECT_EQ(SlotGet(slotgroup::kEnvironment, 1).length, 0);
}

TEST_F(RuntimeConfigTest, RunPathPicksProgramOrFirstArgument) {
    testing::TempFolder dir;
    dir.Write("def.pan", "x");
    const std::string existing = dir.File("def.pan");
    struct Row {
        std::string line;
        int flags;
        std::string path;
    };
    const Row rows[] = {
        {"\"/opt/app/prog\" /X", 1, ""},
        {"\"/opt/app/prog\" /X", 0, "/opt/app/prog"},
        {"\"/opt/app/prog\" /X", 2, "/opt/app"},
        {"\"/opt/my app/prog\" \"my file.pan\"", 1, "my file.pan"},
        {"prog file.pan", 2, ""},
        {"prog \"/d/e/f.pan\"", 3, ""},    // "/d/e/f.pan" does not exist: an option
        {"prog " + existing, 1, existing}, // an existing file that begins with "/" is a file
        {"prog " + existing, 3, dir.path()},
        {"C:\\apps\\prog.exe x", 2, "C:/apps"},
        {"prog", 1, ""},
    };
    for (const Row& r : rows) {
        Env(1, TextView(r.line));
        EXPECT_EQ(Run(r.flags), r.path) << r.line << " flags " << r.flags;
    }
}

class ExpandTest : public RuntimeConfigTest {
protected:
    void SetUp() override {
        RuntimeConfigTest::SetUp();
        Env(1, "prog x"_t);
        Env(2, "VODAR"_t);
        Env(3, "the designer"_t);
        Env(5, "/srv/apps"_t);
        Env(6, "/srv/common/docs"_t);
        Env(11, "srv,db,'Ana'"_t);
    }
    ScopedEnv temp_{"TEMP", "/tmp/vt"};
};

TEST_F(ExpandTest, ConfigurationNames) {
    struct Row {
        const char* in;
        const char* out;
    };
    const Row rows[] = {
        {"%APNAME%x", "VOx"},
        {"%APDESCRIP%", "the designer"},
        {"%COMMANDLINE%", "prog x"},
        {"%DATAPATH%/%APNAME%", "/srv/apps/VO"},
        {"%DATABASE_USER%", "Ana"},
        {"%DATABASE_HOST%", "SRV"}, // an unquoted item is cleaned to upper case
        {"%DATABASE_PASSW%", ""},
        {"a%UNKNOWN%b", "ab"},
        {"%apname%", ""}, // names are case-sensitive
        {"%APNAME%-%APNAME%", "VO-VO"},
        {"'%APNAME%' %APNAME%", "'%APNAME%' VO"},
        {"'%APNAME%'", "'%APNAME%'"}, // only inside quotes: kept, and the expansion ends
        {"\"%APNAME%\"%APNAME%", "\"%APNAME%\"VO"},
        {"'50%' %APNAME%", "'50%' VO"},
        {"it's %APNAME%", "it's %APNAME%"}, // an unclosed quote hides the rest
        {"50%", "50%"},
        {"%", "%"},
        {"%%", ""},
        {"a%%b", "ab"},
        {"%TEMP%\\x", "\\x"}, // not a configuration name
        {"", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(Of(ExpandConfig, TextView(r.in)), r.out) << r.in;
}

TEST_F(ExpandTest, EmptyDatabaseSettingsExpandToNothing) {
    Env(11, ""_t);
    EXPECT_EQ(Of(ExpandConfig, "[%DATABASE_USER%]"_t), "[]");
}

TEST_F(ExpandTest, ValuesAreReadAgainButSelfReferenceEnds) {
    Env(5, "%APNAME%data"_t);
    EXPECT_EQ(Of(ExpandConfig, "%DATAPATH%"_t), "VOdata");
    Env(3, "<%APDESCRIP%>"_t);
    const std::string out = Of(ExpandConfig, "%APDESCRIP%"_t);
    EXPECT_EQ(out.rfind("<<<", 0), 0u) << "expanded, and it came to an end: " << out.size();
}

TEST_F(ExpandTest, PathAndEnvironmentNames) {
    ScopedEnv home("HOMEPATH", nullptr);
    ScopedEnv root("SystemRoot", "/sys/root");
    struct Row {
        const char* in;
        const char* out;
    };
    const Row rows[] = {
        {"%TEMP%\\x", "/tmp/vt\\x"},
        {"%SystemRoot%/fc", "/sys/root/fc"},
        {"[%HOMEPATH%]", "[]"},
        {"%APPPATH_DEFAULT%", "/srv/apps"},
        {"%APPPATH_DATA%", "/srv/common/data"},
        {"%APPPATH_BACKUP%", "/srv/common/docs/Backups"},
        {"%TEMP%-%APNAME%", "/tmp/vt-VO"},
        {"%APNAME%-%TEMP%", "VO-"}, // the first reference decides: configuration rules only
        {"%FOO%%TEMP%\\x", "\\x"},  // unknown first: later folder names expand to nothing
        {"'%TEMP%'", "'/tmp/vt'"},  // folder names are replaced inside quotes too
        {"'%APNAME%' %TEMP%", "'%APNAME%' "},
        {"%TEMP%%", "/tmp/vt%"},
        {"%%", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(Of(ExpandPaths, TextView(r.in)), r.out) << r.in;
}

TEST_F(ExpandTest, TempFallsBackWhenUnset) {
    ScopedEnv temp("TEMP", nullptr);
    ScopedEnv tmpdir("TMPDIR", "/var/tmp/x");
    EXPECT_EQ(Of(ExpandPaths, "%TEMP%/r.txt"_t), "/var/tmp/x/r.txt");
}

TEST_F(ExpandTest, EnvironmentValueNamingItselfEnds) {
    ScopedEnv self("TEMP", "%TEMP%");
    EXPECT_EQ(Of(ExpandPaths, "%TEMP%"_t), "");
    ScopedEnv loop("USERPROFILE", "a%USERPROFILE%");
    const std::string out = Of(ExpandPaths, "%USERPROFILE%"_t);
    EXPECT_EQ(out.rfind("aaa", 0), 0u) << out;
}

} // namespace
} // namespace vodarir
