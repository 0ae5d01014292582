// Relations between files: item lookup in relation texts, the relation's index and key, and the
// relational operation up to its first record operation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "dictionary_fixture.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "script/relations.h"

namespace vodarir::testing {
namespace {

using namespace literals;

constexpr std::uint16_t kUpStat = 13;
constexpr std::int16_t kUpStatLowLevel = 32;

class RelationsTest : public DictionaryTest {
protected:
    // Files a, b, c, d with the relation lines of file 1 (given without their "61:").
    void Relations(const std::vector<std::string>& lines) {
        std::vector<std::string> dicc = {"01* *  a",        "0100<      4>Ax", "02* *  b",
                                         "0200<      4>Ay", "03* *  c",        "0300<      4>Az",
                                         "04* *  d",        "0400<      4>Aw"};
        for (const std::string& line : lines) dicc.push_back("61:" + line);
        folder_.WriteLines("TTDICC.DAT", dicc);
        ASSERT_EQ(Load("TT"), status::kOk);
    }
    static std::string Key(std::uint16_t source, std::uint16_t target, std::uint16_t relation) {
        return Str(RelationKey(source, target, relation));
    }
};

TEST_F(RelationsTest, IndexAndKeyOfARelation) {
    Relations({"2R1K1=CODCLI"});
    ASSERT_EQ(Str(RelationText(1)), "2R1K1=CODCLI");
    EXPECT_EQ(RelationIndex(1, 2, 1), 1);
    EXPECT_EQ(Key(1, 2, 1), "CODCLI");
    EXPECT_EQ(RelationIndex(1, 2, 2), 0);
    EXPECT_EQ(Key(1, 2, 2), "");
    EXPECT_EQ(RelationIndex(1, 3, 1), 0);
    EXPECT_EQ(RelationIndex(2, 2, 1), 0) << "file 2 has no relations";
}

TEST_F(RelationsTest, TwoRelationLinesOfOneFile) {
    Relations({"2R1K1=A", "3R1K2='B'"});
    ASSERT_EQ(Str(RelationText(1)), "2R1K1=A:3R1K2='B'");
    EXPECT_EQ(RelationIndex(1, 3, 1), 2);
    EXPECT_EQ(Key(1, 3, 1), "B") << "the quotes are not part of the key";
    EXPECT_EQ(Key(1, 2, 1), "A");
}

TEST_F(RelationsTest, KeysAndIndexesByTable) {
    struct Row {
        const char* text;
        std::uint16_t target;
        std::uint16_t relation;
        std::uint16_t index;
        const char* key;
    };
    const std::vector<Row> rows = {
        {"2R1K1:CODCLI", 2, 1, 1, "CODCLI"},       // ":" introduces a value too
        {"2R1K3=A&2R2K1=B", 2, 2, 1, "B"},         // "&" separates items
        {"2R1K3=A 2R2K1=B", 2, 2, 1, "B"},         // so does a blank
        {"2R1K3=A/2R2K1=B", 2, 2, 1, "B"},         // and "/"
        {"2R1K1='X:Y/Z W'", 2, 1, 1, "X:Y/Z W"},   // separators inside quotes belong to it
        {"2R1K1=\"A&B\"", 2, 1, 1, "A&B"},         // double quotes alike
        {"2R1K1='A", 2, 1, 1, "'A"},               // an unclosed quote stays
        {"2R1K1=A+'x'", 2, 1, 1, "A+'x'"},         // quotes not around the whole value stay
        {"2R1K12=K", 2, 1, 12, "K"},               // an index of two digits
        {"12R1K3=A:2R1K1=B", 2, 1, 1, "B"},        // 12R1K is not 2R1K
        {"3R1K1='2R1K5=Q':2R1K1=C", 2, 1, 1, "C"}, // a token inside a quoted value is no item
        {"3R1K1=Z2R1K5:2R1K1=C", 2, 1, 1, "C"},    // nor one inside a plain value
        {"2R1K1=", 2, 1, 1, ""},                   // an item without a value
        {"2R1K=A", 2, 1, 0, ""},                   // no index number
        {"2R1K99999=A", 2, 1, 0, ""},              // an index beyond 16 bits
        {"2R1K1=A:2R1K1:B", 2, 1, 1, "B"},         // ":" is looked for before "="
        {"20R10K2=P", 20, 10, 2, "P"},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(ClearDictionary(), status::kOk);
        Relations({row.text});
        EXPECT_EQ(RelationIndex(1, row.target, row.relation), row.index) << row.text;
        EXPECT_EQ(Key(1, row.target, row.relation), row.key) << row.text;
    }
}

TEST_F(RelationsTest, ItemValues) {
    struct Row {
        const char* text;
        const char* name;
        const char* value; // "!" for none
    };
    const std::vector<Row> rows = {
        {"A=1 B:2", "B", "2"},
        {"A=1 B:2", "A", "1"},
        {"XA=1", "A", "!"},
        {"'A=1' A=2", "A", "2"},
        {"A='x y'&B=3", "A", "'x y'"}, // answered as written
        {"A=1", "", "!"},
        {"", "A", "!"},
        {"A=", "A", ""},
        {"/DB=base /USER=ana", "USER", "ana"},
    };
    for (const Row& row : rows) {
        const TextRef v = ItemValue(TextView(row.text), TextView(row.name));
        EXPECT_EQ(v.failed() ? std::string("!") : Str(v), row.value)
            << row.text << " / " << row.name;
    }
}

// --- The relational operation
// ----------------------------------------------------------------------

TEST_F(RelationsTest, AMissingRelationFailsBeforeAnyRecordOperation) {
    Relations({"2R1K1=CODCLI"});
    LogErrorText(0, "before"_t, false);
    EXPECT_EQ(RelateRecord(1, 3, 1, 0, ""_t), status::kData);
    EXPECT_EQ(RelateRecord(1, 2, 7, 0, ""_t), status::kData);
    EXPECT_EQ(Str(ErrorDetail()), "before") << "no record operation ran";
}

TEST_F(RelationsTest, AnExistingRelationReachesTheFindThroughItsIndex) {
    Relations({"2R1K1=CODCLI"});
    EXPECT_EQ(RelateRecord(1, 2, 1, 0, ""_t), status::kFeatureRemoved);
    EXPECT_EQ(Str(ErrorDetail()), "DataFileFind");
    EXPECT_EQ(RelateRecord(1, 2, 1, 4 | 8, "x=1"_t), status::kFeatureRemoved);
    EXPECT_EQ(Str(ErrorDetail()), "DataFileFind");
}

TEST_F(RelationsTest, TheKeyIsEvaluatedFirst) {
    Relations({"2R1K1=K$*2", "3R1K1='1+'"});
    LogErrorText(0, ""_t, false);
    EXPECT_EQ(RelateRecord(1, 2, 1, 0, ""_t), status::kIncompatibleTypes);
    EXPECT_EQ(RelateRecord(1, 3, 1, 0, ""_t), status::kSyntax);
    EXPECT_EQ(Str(ErrorDetail()).find("DataFile"), std::string::npos);
}

TEST_F(RelationsTest, TheLowLevelUpdateTakesTheExpandedUpdateExpression) {
    Relations({"2R1K1=1"});
    IntVarSet(kUpStat, kUpStatLowLevel);
    // The update expression's value, once expanded, is not empty: the update runs.
    EXPECT_EQ(RelateRecord(1, 2, 1, 0, "'[1+1]'"_t), status::kFeatureRemoved);
    EXPECT_EQ(Str(ErrorDetail()), "DataFileRelUpdateLow");
    // Nothing to update: no record operation at all.
    LogErrorText(0, "none"_t, false);
    EXPECT_EQ(RelateRecord(1, 2, 1, 0, ""_t), status::kOk);
    EXPECT_EQ(RelateRecord(1, 2, 1, 0, "''"_t), status::kOk);
    EXPECT_EQ(Str(ErrorDetail()), "none");
    // A failing bracket expression is the result.
    EXPECT_EQ(RelateRecord(1, 2, 1, 0, "'[1*\"a\"]'"_t), status::kIncompatibleTypes);
    // Insert and update together (a delete) go through the index even so.
    EXPECT_EQ(RelateRecord(1, 2, 1, 4 | 8, "'x'"_t), status::kFeatureRemoved);
    EXPECT_EQ(Str(ErrorDetail()), "DataFileFind");
}

} // namespace
} // namespace vodarir::testing
