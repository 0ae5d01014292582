// Runtime variables: types by name, assignment and reading, the "_" hook, snapshots and arrays.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/store/slot_store.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;

class VariablesTest : public testing::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(TypedTablesInit(), status::kOk);
        SlotStoreSetTablesRelease(VariablesRelease);
        IntVarSet(sysvar::kPrecis, 2);
    }
    void TearDown() override {
        VarSetHook(0, nullptr);
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        RuntimeTest::TearDown(); // the shutdown frees arrays and tables, and fails on a leak
    }
    static std::string Value(TextRef name) {
        const ScratchLevel mark = ScratchMark();
        TextRef v;
        const StatusCode st = VarValue(name, &v);
        std::string out = st == 0 ? Str(v) : "error " + std::to_string(st);
        ScratchRelease(mark);
        return out;
    }
    static std::string Element(TextRef name, std::initializer_list<std::uint16_t> at) {
        const ScratchLevel mark = ScratchMark();
        TextRef v;
        const StatusCode st = ArrayGet(name, at, &v);
        std::string out = st == 0 ? Str(v) : "error " + std::to_string(st);
        ScratchRelease(mark);
        return out;
    }
    static bool Known(TextRef name) { return VarLocate(name).number != kNoSlot; }
    // The element block of the only live array, as the pool holds it.
    static const char* OnlyArrayBlock() {
        const PoolControl pool = PoolSnapshot();
        const char* found = nullptr;
        for (std::uint16_t i = 0; i < pool.entryCount; ++i) {
            if (pool.table[i].block != nullptr && pool.table[i].tag == tag::kArray) {
                EXPECT_EQ(found, nullptr) << "more than one array block";
                found = pool.table[i].block;
            }
        }
        return found;
    }
    static int ArrayBlocks() {
        const PoolControl pool = PoolSnapshot();
        int n = 0;
        for (std::uint16_t i = 0; i < pool.entryCount; ++i) {
            n += pool.table[i].block != nullptr && pool.table[i].tag == tag::kArray;
        }
        return n;
    }
};

TEST_F(VariablesTest, TypeFollowsTheFirstMarkerInTestOrder) {
    struct Row {
        const char* name;
        std::uint16_t type;
    };
    const Row rows[] = {
        {"A$", vartype::kString},     {"A#", vartype::kNumber},    {"A", vartype::kInteger},
        {"A(", vartype::kArray},      {"A$#", vartype::kString},   {"A#$", vartype::kString},
        {"A$(", vartype::kArray},     {"@A$", vartype::kReadOnly}, {"A(@", vartype::kReadOnly},
        {"_STAT", vartype::kInteger}, {"A%", vartype::kInteger},   {"", vartype::kInteger},
    };
    for (const Row& r : rows) EXPECT_EQ(VarType(TextView(r.name)), r.type) << r.name;
}

TEST_F(VariablesTest, AssignedValuesReadBackInTheirTypesForm) {
    struct Row {
        const char* name;
        const char* value;
        const char* reads;
    };
    const Row rows[] = {
        {"N", "12", "12"},      {"N", "12.5", "13"},       {"N", "-12.5", "-13"},
        {"N", "0", "0"},        {"N", "-32768", "-32768"}, {"N", "abc", "0"},
        {"R#", "1.25", "1.25"}, {"R#", "1.255", "1.26"},   {"R#", "0", ""},
        {"R#", "-0.5", "-.5"},  {"R#", "2D3", "2000"},     {"S$", "h\xe9llo, 'x'", "h\xe9llo, 'x'"},
        {"S$", "", ""},
    };
    for (const Row& r : rows) {
        ASSERT_EQ(VarAssign(TextView(r.name), TextView(r.value)), status::kOk)
            << r.name << "=" << r.value;
        EXPECT_EQ(Value(TextView(r.name)), r.reads) << r.name << "=" << r.value;
    }
}

TEST_F(VariablesTest, AbsentVariablesReadZeroOrEmpty) {
    EXPECT_EQ(Value("NEVER"_t), "0");
    EXPECT_EQ(Value("NEVER#"_t), "");
    EXPECT_EQ(Value("NEVER$"_t), "");
    EXPECT_FALSE(Known("NEVER"_t)) << "reading does not create";
    EXPECT_EQ(Value("A("_t), "error 147");
    EXPECT_EQ(Value("@A"_t), "error 147");
}

TEST_F(VariablesTest, RefusedAssignmentsChangeNothing) {
    struct Row {
        const char* name;
        const char* value;
        StatusCode status;
    };
    const Row rows[] = {
        {"@X", "1", status::kSyntax},          {"A(", "1", status::kSyntax},
        {"A,B", "1", status::kVarName},        {"Q'$", "x", status::kVarName},
        {"N", "40000", status::kDataOutBound}, {"R#", "1D30", status::kDataOutBound},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(VarAssign(TextView(r.name), TextView(r.value)), r.status) << r.name;
    }
    for (SlotIndex list = 0; list < 4; ++list) {
        EXPECT_EQ(Str(SlotGet(slotgroup::kVariableNames, list)), list == 0   ? "N"
                                                                 : list == 1 ? "R#"
                                                                             : "")
            << "only the names whose value failed to convert were created, list " << list;
    }
    EXPECT_EQ(Value("N"_t), "0");
    EXPECT_EQ(RecordedError().status, status::kSyntax) << "the first failure is recorded";
    EXPECT_EQ(RecordedError().step, step::kVarNameAssign);
    EXPECT_EQ(VarAssign(TextRef::Failed(145), "1"_t), 145);
    EXPECT_EQ(VarAssign("N"_t, TextRef::Failed(146)), 146);
}

TEST_F(VariablesTest, EachTypeNumbersItsOwnListFromZero) {
    for (const char* n : {"A", "B$", "C", "D#", "E$"}) VarAssign(TextView(n), "1"_t);
    struct Row {
        const char* name;
        std::uint16_t type, number;
    };
    for (const Row& r :
         {Row{"A", 2, 0}, Row{"C", 2, 1}, Row{"B$", 3, 0}, Row{"E$", 3, 1}, Row{"D#", 6, 0}}) {
        const VarLocation at = VarLocate(TextView(r.name));
        EXPECT_EQ(at.type, r.type) << r.name;
        EXPECT_EQ(at.number, r.number) << r.name;
    }
    EXPECT_EQ(Str(SlotGet(slotgroup::kVariableNames, 0)), "A,C");
    EXPECT_EQ(Str(SlotGet(slotgroup::kStringValues, 1)), "1");
    EXPECT_FALSE(Known("AB"_t)) << "a name is found whole, not as a prefix";
}

TEST_F(VariablesTest, ValueMayBeAViewOfTheStoreThatCreationMoves) {
    ASSERT_EQ(VarAssign("FIRST$"_t, "the first value"_t), status::kOk);
    const TextRef view = SlotGet(slotgroup::kStringValues, VarLocate("FIRST$"_t).number);
    ASSERT_EQ(VarAssign("SECOND$"_t, view), status::kOk);
    EXPECT_EQ(Value("SECOND$"_t), "the first value");
}

TEST_F(VariablesTest, FullStoreRefusesANewNameWith157) {
    const std::uint32_t room = SlotFreeBytes();
    std::string filler(room - 8, 'f');
    ASSERT_EQ(SlotSet(20, 0, TextView(filler)), status::kOk);
    EXPECT_EQ(VarAssign("A_RATHER_LONG_NAME"_t, "1"_t), status::kVarName);
    EXPECT_FALSE(Known("A_RATHER_LONG_NAME"_t));
}

TEST_F(VariablesTest, IntegerBitsAreSetTestedAndCleared) {
    IntVarSet(sysvar::kCompat, 0x0001);
    EXPECT_EQ(IntVarFlags(sysvar::kCompat, kCompatDesignMode, true), kCompatDesignMode);
    EXPECT_TRUE(IntVarTest(sysvar::kCompat, kCompatDesignMode));
    EXPECT_EQ(IntVarGet(sysvar::kCompat), 0x0401) << "other bits stay";
    EXPECT_EQ(IntVarFlags(sysvar::kCompat, kCompatDesignMode, false), 0);
    EXPECT_FALSE(IntVarTest(sysvar::kCompat, kCompatDesignMode));
    EXPECT_EQ(IntVarFlags(sysvar::kCompat, 0x8000, true), 0x8000) << "the top bit too";
    EXPECT_EQ(IntVarGet(sysvar::kCompat), static_cast<std::int16_t>(0x8001));
    NumVarSet(3, -12345);
    EXPECT_EQ(NumVarGet(3), -12345);
    EXPECT_EQ(NumVarGet(4), 0);
}

// --- The hook for "_" names ---------------------------------------------------------------------

struct HookLog {
    std::string name, pushed;
    int mode = 0;
    int calls = 0;
    TextRef answer;
};
HookLog g_log;

TextRef RecordingHook(TextRef name, int mode) {
    ++g_log.calls;
    g_log.name = Str(name);
    g_log.mode = mode;
    if (mode == kHookWrite) g_log.pushed = Str(ScratchTop());
    return g_log.answer;
}

TEST_F(VariablesTest, HookServesUnderscoreNamesUnlessItDeclines) {
    VarSetHook(0, RecordingHook);
    g_log = HookLog{};
    g_log.answer = "taken"_t;
    EXPECT_EQ(VarAssign("_MINE"_t, "42"_t), status::kOk);
    EXPECT_EQ(g_log.mode, kHookWrite);
    EXPECT_EQ(g_log.name, "_MINE");
    EXPECT_EQ(g_log.pushed, "42") << "the value waits on top of the stack";
    EXPECT_FALSE(Known("_MINE"_t)) << "the hook took it: the store is untouched";

    g_log.answer = TextRef::Failed(status::kData);
    EXPECT_EQ(VarAssign("_MINE"_t, "42"_t), status::kOk);
    EXPECT_EQ(Value("_MINE"_t), "42") << "declined: the ordinary store";

    g_log.answer = TextRef::Failed(status::kOutOfMemory);
    EXPECT_EQ(VarAssign("_MINE"_t, "7"_t), status::kOutOfMemory);

    g_log.calls = 0;
    EXPECT_EQ(VarAssign("PLAIN"_t, "1"_t), status::kOk);
    EXPECT_EQ(g_log.calls, 0) << "other names never reach the hook";
}

TEST_F(VariablesTest, HookAnswersReadsValidatedForTheType) {
    VarSetHook(0, RecordingHook);
    struct Row {
        const char* name;
        TextRef answer;
        std::string reads;
    };
    const Row rows[] = {
        {"_N", "12"_t, "12"},         {"_N", " 12 "_t, " 12 "},
        {"_N", "abc"_t, "error 128"}, {"_N#", "1.5x"_t, "error 128"},
        {"_S$", "abc"_t, "abc"},      {"_N", TextRef::Failed(status::kOutOfMemory), "error 145"},
    };
    for (const Row& r : rows) {
        g_log = HookLog{};
        g_log.answer = r.answer;
        EXPECT_EQ(Value(TextView(r.name)), r.reads) << r.name;
        EXPECT_EQ(g_log.mode, kHookRead) << r.name;
    }
    g_log.answer = TextRef::Failed(status::kData); // declines: the store answers
    ASSERT_EQ(VarAssign("_STAT"_t, "9"_t), status::kOk);
    EXPECT_EQ(Value("_STAT"_t), "9");
}

// --- Snapshots
// ------------------------------------------------------------------------------------

TEST_F(VariablesTest, RestoreForgetsWhatWasCreatedSinceAndKeepsTheRest) {
    VarAssign("OLD"_t, "5"_t);
    VarAssign("OLD$"_t, "kept"_t);
    VarCreate("LATE#"_t); // exists at the snapshot, gets its first value afterwards
    const VarSnapshotRecord snap = VarSnapshot();

    VarAssign("X$"_t, "gone"_t);
    VarAssign("Y"_t, "3"_t);
    VarAssign("Z#"_t, "1.5"_t);
    VarAssign("LATE#"_t, "2.5"_t);
    VarAssign("OLD"_t, "6"_t);
    ASSERT_EQ(ArrayDim("T("_t, {3}), status::kOk);

    ASSERT_EQ(VarRestore(snap), status::kOk);
    for (TextRef gone : {"X$"_t, "Y"_t, "Z#"_t, "T("_t}) EXPECT_FALSE(Known(gone)) << Str(gone);
    EXPECT_EQ(Value("X$"_t), "");
    EXPECT_EQ(Value("OLD"_t), "6") << "older variables keep their values";
    EXPECT_EQ(Value("OLD$"_t), "kept");
    EXPECT_EQ(Value("LATE#"_t), "2.5");
    EXPECT_EQ(ArrayBlocks(), 0) << "the new array's block is freed";
    EXPECT_EQ(SlotCount(slotgroup::kStringValues), 1);
    VarAssign("W"_t, "1"_t);
    EXPECT_EQ(VarLocate("W"_t).number, 1) << "numbering goes on from the restored lists";
}

TEST_F(VariablesTest, RestoreRefusesListsShorterThanRecorded) {
    VarAssign("ABC"_t, "1"_t);
    const VarSnapshotRecord snap = VarSnapshot();
    SlotSet(slotgroup::kVariableNames, 0, "A"_t);
    EXPECT_EQ(VarRestore(snap), status::kInternal);
    EXPECT_EQ(Str(SlotGet(slotgroup::kVariableNames, 0)), "A");
}

// --- Arrays ------------------------------------------------------------------------------------

TEST_F(VariablesTest, ElementsAreAddressedRowMajor) {
    ASSERT_EQ(ArrayDim("M("_t, {2, 3}), status::kOk); // 3 × 4 elements
    for (std::uint16_t i = 0; i <= 2; ++i) {
        for (std::uint16_t j = 0; j <= 3; ++j) {
            const std::string v = std::to_string(i * 10 + j);
            ASSERT_EQ(ArraySet("M("_t, {i, j}, TextView(v)), status::kOk);
        }
    }
    const char* block = OnlyArrayBlock();
    ASSERT_NE(block, nullptr);
    for (std::uint16_t i = 0; i <= 2; ++i) {
        for (std::uint16_t j = 0; j <= 3; ++j) {
            std::int16_t stored;
            std::memcpy(&stored, block + (i * 4 + j) * 2, 2);
            EXPECT_EQ(stored, i * 10 + j) << "element (" << i << "," << j << ")";
            EXPECT_EQ(Element("M(2,3)"_t, {i, j}), std::to_string(i * 10 + j));
        }
    }
}

TEST_F(VariablesTest, BoundsAndShapesAreChecked) {
    ASSERT_EQ(ArrayDim("B"_t, {1, 1, 1, 2}), status::kOk) << "four dimensions";
    EXPECT_EQ(Element("B("_t, {1, 1, 1, 2}), "0") << "a name without \"(\" declares the same array";
    EXPECT_EQ(Element("B("_t, {1, 1, 1, 3}), "error 168");
    EXPECT_EQ(Element("B("_t, {2, 0, 0, 0}), "error 168");
    EXPECT_EQ(Element("B("_t, {1, 1, 1}), "error 168") << "too few indices";
    EXPECT_EQ(ArraySet("B("_t, {0, 0, 0, 3}, "1"_t), status::kDataOutBound);
    EXPECT_EQ(Element("NONE("_t, {0}), "error 157");

    struct DimRow {
        const char* name;
        std::initializer_list<std::uint16_t> bounds;
        StatusCode status;
    };
    const DimRow dims[] = {
        {"F(", {1, 1, 1, 1, 1}, status::kDimStruct},
        {"G(", {0}, status::kSyntax}, // one element
        {"H(", {0, 0}, status::kSyntax},
        {"@(", {3}, status::kIncompatibleTypes},
        {"K(", {255, 255, 1}, status::kDimStruct}, // more elements than 16-bit numbers reach
    };
    for (const DimRow& d : dims)
        EXPECT_EQ(ArrayDim(TextView(d.name), d.bounds), d.status) << d.name;
    EXPECT_EQ(ArrayBlocks(), 1) << "refused declarations allocate nothing";
    EXPECT_EQ(RecordedError().step, step::kVarStructs);
}

TEST_F(VariablesTest, NumberAndIntegerElementsConvertLikeVariables) {
    ASSERT_EQ(ArrayDim("P#("_t, {4}), status::kOk);
    EXPECT_EQ(Element("P#("_t, {4}), "") << "numbers start at 0";
    ASSERT_EQ(ArraySet("P#("_t, {4}, "1.255"_t), status::kOk);
    EXPECT_EQ(Element("P#("_t, {4}), "1.26");
    ASSERT_EQ(ArrayDim("I("_t, {4}), status::kOk);
    EXPECT_EQ(ArraySet("I("_t, {1}, "70000"_t), status::kDataOutBound);
    EXPECT_EQ(Element("I("_t, {1}), "0");
}

TEST_F(VariablesTest, StringElementsTakeTheWidthOfTheInitialValue) {
    ASSERT_EQ(SlotPush(slotgroup::kValueStack, "ab   "_t), status::kOk);
    ASSERT_EQ(ArrayDim("S$("_t, {3}), status::kOk);
    for (std::uint16_t i = 0; i <= 3; ++i) EXPECT_EQ(Element("S$("_t, {i}), "ab   ");
    ASSERT_EQ(ArraySet("S$("_t, {2}, "xyz"_t), status::kOk);
    EXPECT_EQ(Element("S$("_t, {2}), "xyz  ") << "a shorter value is padded with blanks";
    EXPECT_EQ(ArraySet("S$("_t, {2}, "toolong"_t), status::kStringTooLong) << "never cut";
    EXPECT_EQ(Element("S$("_t, {2}), "xyz  ");
    EXPECT_EQ(Element("S$("_t, {1}), "ab   ") << "neighbours untouched";

    SlotPop(slotgroup::kValueStack);
    EXPECT_EQ(ArrayDim("E$("_t, {3}), status::kSyntax) << "an empty initial value has no width";
}

TEST_F(VariablesTest, CheckAndRedeclaration) {
    EXPECT_FALSE(ArrayCheck("A("_t));
    ASSERT_EQ(ArrayDim("A("_t, {9}), status::kOk);
    EXPECT_TRUE(ArrayCheck("A("_t));
    EXPECT_TRUE(ArrayCheck("A(3)"_t));
    EXPECT_FALSE(ArrayCheck("A"_t)) << "only a name with \"(\" denotes an array";
    ArraySet("A("_t, {9}, "5"_t);
    ASSERT_EQ(ArrayDim("A("_t, {19}), status::kOk);
    EXPECT_EQ(ArrayBlocks(), 1) << "the first block was given back";
    EXPECT_EQ(Element("A("_t, {19}), "0");
    EXPECT_EQ(Element("A("_t, {9}), "0") << "a new declaration starts afresh";
}

} // namespace
} // namespace vodarir
