// The text operations: results, views versus copies, quote skipping, limits and failed inputs.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;

class TextOpsTest : public testing::RuntimeTest {};

// A failed text with a status no operation makes up by itself, so passing it on is visible.
const TextRef kBad = TextRef::Failed(status::kBadStringType);

TextRef T(const std::string& s) { return TextView(s); }

// --- Construction and copies ------------------------------------------------------------------

TEST_F(TextOpsTest, CStringsBecomeTextsOrFailures) {
    const TextRef none = TextFromCStr(nullptr);
    EXPECT_TRUE(none.failed());
    EXPECT_EQ(TextStatus(none), status::kData);
    EXPECT_EQ(TextOr(none, "x"_t).status(), status::kData) << "a failed text has a length";
    EXPECT_EQ(Str(TextOr(""_t, "x"_t)), "x");
    EXPECT_EQ(Str(TextFromCStr("hello")), "hello");
    const std::string huge(70000, 'h');
    EXPECT_EQ(TextFromCStr(huge.c_str()).status(), status::kStringTooLong)
        << "never cut to 16 bits";
}

// The one checked way from a C++ string to a text: a view up to the greatest length, never a cut
// text beyond it.
TEST_F(TextOpsTest, StringsBecomeViewsOrFailWhenTooLong) {
    struct Row {
        std::size_t length;
        bool fits;
    } rows[] = {{0, true},
                {1, true},
                {kMaxTextLength - 1, true},
                {kMaxTextLength, true},
                {kMaxTextLength + 1, false},
                {3 * kMaxTextLength, false}};
    for (const Row& r : rows) {
        const std::string s(r.length, 'x');
        const TextRef t = TextFromString(s);
        EXPECT_EQ(t.failed(), !r.fits) << r.length;
        if (r.fits) {
            EXPECT_EQ(t.data, s.data()) << "a view, not a copy";
            EXPECT_EQ(t.length, r.length);
        } else {
            EXPECT_EQ(t.status(), status::kStringTooLong) << r.length;
        }
    }
    const std::string_view withNul("a\0b", 3);
    EXPECT_EQ(TextFromString(withNul).length, 3) << "a NUL is a byte like any other";
    EXPECT_EQ(Str(TextFromString("plain C string")), "plain C string");
}

#ifndef NDEBUG
// What callers used to check by hand alone, debug builds now assert.
TEST(TextRefPreconditions, DebugBuildsAssertThem) {
    const std::string huge(kMaxTextLength + 1, 'x');
    EXPECT_DEATH(TextView(huge), "more than 65535");
    const TextRef ab = "ab"_t;
    EXPECT_DEATH((void)ab.at(2), "beyond the text");
    EXPECT_DEATH((void)TextRef::Failed(status::kData).at(0), "beyond the text");
}
#endif

TEST_F(TextOpsTest, SubSelectsAViewWithClampedBounds) {
    struct Row {
        const char* text;
        int start, count;
        const char* want;
    } rows[] = {
        {"abcdef", -2, 0, "ef"}, {"abcdef", -2, 100, "ef"}, {"abcdef", -9, 1, "abcdef"},
        {"abcdef", 1, 3, "bcd"}, {"abcdef", 4, 9, "ef"},    {"abc", 5, 1, ""},
        {"abc", 3, 1, ""},       {"abcdef", 2, -1, "cdef"}, {"abc", 0, 0, ""},
    };
    for (const Row& r : rows) {
        const TextRef t = TextFromCStr(r.text);
        const TextRef sub = TextSub(t, r.start, r.count);
        EXPECT_EQ(Str(sub), r.want) << r.text << " from " << r.start << " count " << r.count;
        EXPECT_TRUE(sub.data >= t.data && sub.data <= t.data + t.length) << "a view, not a copy";
    }
}

TEST_F(TextOpsTest, CopiesJoinsAndRepeats) {
    EXPECT_EQ(Str(TextConcat("ab"_t, "cd"_t)), "abcd");
    EXPECT_EQ(Str(TextJoin("a"_t, ", "_t, "b"_t)), "a, b");
    EXPECT_EQ(Str(TextJoin(""_t, ", "_t, "b"_t)), "b");
    EXPECT_EQ(Str(TextJoin("a"_t, ", "_t, ""_t)), "a");
    EXPECT_EQ(Str(TextKeyValue("K"_t, "v"_t)), "K=v");
    EXPECT_EQ(TextKeyValue(""_t, "v"_t).status(), status::kData);
    EXPECT_EQ(TextKeyValue("K"_t, ""_t).status(), status::kData);
    EXPECT_EQ(Str(TextRepeat("ab"_t, 3)), "ababab");
    EXPECT_EQ(Str(TextRepeat("ab"_t, 0)), "");
    EXPECT_EQ(Str(TextChar('\xe9')), "\xe9");
    const TextRef copy = TextDup("abc"_t);
    EXPECT_EQ(copy.data, ScratchTop().data) << "the copy lives on the stack";
    ScratchRelease(0);
}

TEST_F(TextOpsTest, ResultsBeyond65535BytesFailInsteadOfWrapping) {
    const std::string half(40000, 'x');
    EXPECT_EQ(TextConcat(T(half), T(half)).status(), status::kStringTooLong);
    EXPECT_EQ(TextJoin(T(half), ","_t, T(half)).status(), status::kStringTooLong);
    EXPECT_EQ(TextRepeat("abc"_t, 21846).status(), status::kStringTooLong);
    EXPECT_EQ(TextRepeat("abc"_t, 21845).length, 65535);
    ScratchRelease(0);
    EXPECT_EQ(TextEnclose(T(std::string(65534, 'e')), '[').status(), status::kStringTooLong);
    EXPECT_EQ(ScratchDepth(), 0) << "a refused result leaves nothing behind";
}

TEST_F(TextOpsTest, CStrTerminatesEvenAtTheGreatestLength) {
    EXPECT_STREQ(TextCStr("abc"_t), "abc");
    EXPECT_STREQ(TextCStr(kBad), "");
    const std::string full(65535, 'f');
    const char* c = TextCStr(T(full));
    EXPECT_EQ(std::strlen(c), 65535u);
    EXPECT_EQ(ScratchDepth(), 2);
    ScratchRelease(0);
}

TEST_F(TextOpsTest, OverwriteStaysInsideTheDestination) {
    struct Row {
        int offset;
        const char* source;
        const char* want;
    } rows[] = {
        {0, "XY", "XYcdef"}, {4, "XYZ", "abcdXY"}, {-2, "XYZ", "abcdXY"}, {-9, "X", "Xbcdef"},
        {6, "X", "abcdef"},  {9, "X", "abcdef"},   {2, "", "abcdef"},
    };
    for (const Row& r : rows) {
        char buffer[] = "abcdef";
        EXPECT_EQ(TextOverwrite(TextRef(buffer, 6), r.offset, TextFromCStr(r.source)), 0);
        EXPECT_EQ(std::string(buffer), r.want) << "offset " << r.offset << " source " << r.source;
    }
    char buffer[] = "abc";
    EXPECT_EQ(TextOverwrite(kBad, 0, "x"_t), status::kBadStringType);
    EXPECT_EQ(TextOverwrite(TextRef(buffer, 3), 0, kBad), status::kBadStringType);
}

TEST_F(TextOpsTest, PutAtAppendsToACallersBuffer) {
    char buffer[16] = {};
    TextRef built = TextPutAt("ab"_t, buffer, 0);
    built = TextPutAt("cde"_t, buffer, built.length);
    EXPECT_EQ(Str(built), "abcde");
    EXPECT_EQ(built.data, buffer);
    EXPECT_EQ(TextPutAt("x"_t, buffer, 65535).status(), status::kStringTooLong);
}

// --- Formatting -------------------------------------------------------------------------------

TEST_F(TextOpsTest, FormatFitsExactlyTheMaximum) {
    const TextRef fits = TextFormat(15, "DU_ZERA_%s.MSJ", "ES0"); // 15 characters
    EXPECT_EQ(Str(fits), "DU_ZERA_ES0.MSJ");
    EXPECT_EQ(ScratchDepth(), 1);
    EXPECT_EQ(RecordedError().status, 0);
    EXPECT_EQ(Str(TextFormat(10, "%d-%i", 12, -3)), "12--3");
    ScratchRelease(0);
}

TEST_F(TextOpsTest, FormatOneBeyondTheMaximumFailsAndIsRecorded) {
    const TextRef tooLong = TextFormat(15, "DU_ZERA_%s.MSJ", "ES00");
    EXPECT_EQ(tooLong.status(), status::kStringTooLong);
    EXPECT_EQ(ScratchDepth(), 0);
    EXPECT_EQ(RecordedError().status, status::kStringTooLong);
    EXPECT_EQ(RecordedError().step, step::kFormatString);
}

TEST_F(TextOpsTest, FormatNeverWritesBeyondMaximumPlusOne) {
    char* landing = ScratchFree().mutableData();
    std::memset(landing, 'Z', 64);
    EXPECT_TRUE(TextFormat(7, "%s", "abcdefghijklmnopqrstuvwxyz").failed());
    for (int i = 8; i < 64; ++i) ASSERT_EQ(landing[i], 'Z') << "byte " << i << " was written";
}

TEST_F(TextOpsTest, FormatErrorOfTheCLibraryIsAFailure) {
    // A wide character the C locale cannot convert makes the formatter give up.
    const TextRef r = TextFormat(20, "%ls", L"\u00e9");
    EXPECT_EQ(r.status(), status::kFormatFailure);
    EXPECT_EQ(RecordedError().step, step::kFormatString);
}

// --- Search -----------------------------------------------------------------------------------

TEST_F(TextOpsTest, FindChrSkipsQuotedRunsUnlessPlain) {
    struct Row {
        const char* text;
        int from;
        char ch;
        bool plain;
        int want; // -1: not found
    } rows[] = {
        {"a,b", 0, ',', false, 1},
        {"'a,b',c", 0, ',', false, 5},
        {"'a,b',c", 0, ',', true, 2},
        {"'a,b", 0, ',', false, -1},
        {"x,'a\"b',\"c,d\",e", 0, ',', false, 1},
        {"x,'a\"b',\"c,d\",e", 2, ',', false, 7},
        {"x,'a\"b',\"c,d\",e", 8, ',', false, 13},
        {"a\"b\"c", 0, '"', false, -1},
        {"abc", 3, 'c', true, -1},
        {"abcabc", 3, 'a', true, 3},
    };
    for (const Row& r : rows) {
        const std::uint16_t got =
            TextFindChr(TextFromCStr(r.text), static_cast<std::uint16_t>(r.from), r.ch, r.plain);
        EXPECT_EQ(got, r.want < 0 ? kNotFound : r.want)
            << r.text << " from " << r.from << " '" << r.ch << "' plain " << r.plain;
    }
    EXPECT_EQ(TextFindChr(kBad, 0, 'a', true), kNotFound);
}

TEST_F(TextOpsTest, FindAnyAndFindUseTheSameSkipping) {
    EXPECT_EQ(TextFindAny("ab'+'-c+"_t, 0, "+-"_t, false), 5);
    EXPECT_EQ(TextFindAny("ab'+'-c+"_t, 0, "+-"_t, true), 3);
    EXPECT_EQ(TextFindAny("abc"_t, 0, kBad, true), kNotFound);
    EXPECT_EQ(TextFind("say 'and' and"_t, "and"_t, false), 10);
    EXPECT_EQ(TextFind("say 'and' and"_t, "and"_t, true), 5);
    EXPECT_EQ(TextFind("aab"_t, "ab"_t, true), 1);
    EXPECT_EQ(TextFind("ab"_t, "abc"_t, true), kNotFound);
    EXPECT_EQ(TextFind("ab"_t, ""_t, true), kNotFound);
}

TEST_F(TextOpsTest, FindLastByMode) {
    EXPECT_EQ(TextFindLast("a/b\\c/d"_t, "/\\"_t, LastOf::AnyOfSet), 5);
    EXPECT_EQ(TextFindLast("a.b.c"_t, "."_t, LastOf::FirstByte), 3);
    EXPECT_EQ(TextFindLast("aaa"_t, "aa"_t, LastOf::Substring), 1);
    EXPECT_EQ(TextFindLast("abc"_t, "x"_t, LastOf::FirstByte), kNotFound);
    EXPECT_EQ(TextFindLast("abc"_t, "abcd"_t, LastOf::Substring), kNotFound);
}

TEST_F(TextOpsTest, SpansAndBetween) {
    EXPECT_EQ(TextSpanIn("123abc"_t, "0123456789"_t), 3);
    EXPECT_TRUE(TextAllIn("1201"_t, "012"_t));
    EXPECT_FALSE(TextAllIn("1231"_t, "012"_t));
    EXPECT_EQ(Str(TextBetween("a|bc|d|"_t, '|', true)), "bc");
    EXPECT_EQ(Str(TextBetween("a|bc"_t, '|', true)), "");
    EXPECT_EQ(Str(TextBetween("say \"hi\""_t, '"', true)), "hi");
    EXPECT_EQ(Str(TextBetween("'|x|'|y|"_t, '|', false)), "y");
}

// --- Lists ------------------------------------------------------------------------------------

TEST_F(TextOpsTest, ListCountAndItemsRespectQuotes) {
    struct Row {
        const char* list;
        int count;
        int n;
        const char* item;
    } rows[] = {
        {"a,b,", 3, 3, ""},
        {"", 0, 1, ""},
        {"a", 1, 1, "a"},
        {"a,b", 2, 3, ""},
        {"x,'a,b',y", 3, 2, "'a,b'"},
        {"x,\"a,b\",y", 3, 3, "y"},
        {"x,'a,b", 2, 2, "'a,b"},
        {"a,b,c", 3, 0, ""},
        {"one,two", 2, 2, "two"},
    };
    for (const Row& r : rows) {
        const TextRef list = TextFromCStr(r.list);
        EXPECT_EQ(ListCount(list, ','), r.count) << r.list;
        EXPECT_EQ(Str(ListItem(list, ',', static_cast<std::uint16_t>(r.n))), r.item)
            << r.list << " item " << r.n;
    }
    EXPECT_EQ(ListCount(TextRef("a\0'b\0c", 6), '\0'), 3) << "separator 0 is searched plainly";
    EXPECT_EQ(ListItem("a,b"_t, ',', 9).data, "a,b"_t.data + 3) << "beyond the end: at the end";
}

TEST_F(TextOpsTest, ListFindIsExactAndCaseSensitive) {
    const TextRef codes = "EN,ES,FR,DE,IT"_t;
    EXPECT_EQ(ListFind(codes, "es"_t, ','), 0);
    EXPECT_EQ(ListFind(codes, "ES"_t, ','), 2);
    EXPECT_EQ(ListFind(codes, "E"_t, ','), 0);
    EXPECT_EQ(ListFind("a,,b"_t, ""_t, ','), 2);
    EXPECT_EQ(ListFind("ab"_t, "abc"_t, ','), 0);
    EXPECT_EQ(ListFind(kBad, "a"_t, ','), 0);
    EXPECT_EQ(ListItemNum("1, 'x', 42 ,yes"_t, ',', 3), 42);
    EXPECT_EQ(ListItemNum("1, 'x', 42 ,yes"_t, ',', 4), 1);
}

TEST_F(TextOpsTest, ListSetItemReplacesPadsAppendsAndDeletes) {
    struct Row {
        const char* list;
        int n;
        const char* value;
        const char* want;
    } rows[] = {
        {"a,b,c", 2, "X", "a,X,c"},
        {"a,b,c", 3, "X", "a,b,X"},
        {"a", 3, "X", "a,,X"},
        {"", 1, "X", "X"},
        {"", 2, "X", ",X"},
        {"a,b", 0, "X", "a,b,X"},
        {"", 0, "X", "X"},
        {"a,b,c", -2, "", "a,c"},
        {"a,b,c", -1, "", "b,c"},
        {"a,b,c", -3, "", "a,b"},
        {"a", -1, "", ""},
        {"a,b", -5, "", "a,b"},
        {"'a,b',c", 2, "X", "'a,b',X"},
        {"a,'b,c',d", -2, "", "a,d"},
    };
    for (const Row& r : rows) {
        const TextRef got = ListSetItem(TextFromCStr(r.list), ',', r.n, TextFromCStr(r.value));
        EXPECT_EQ(Str(got), r.want) << r.list << " n=" << r.n << " value " << r.value;
        ScratchRelease(0);
    }
    EXPECT_EQ(ListSetItem("a"_t, ',', 70000, "x"_t).status(), status::kStringTooLong);
}

TEST_F(TextOpsTest, ListUnionAndMinus) {
    struct Row {
        const char* list;
        const char* other;
        const char* unite;
        const char* minus;
    } rows[] = {
        {"a,b", "b,c,a,d", "a,b,c,d", ""}, {"", "x,y", "x,y", ""},
        {"a,b,c", "", "a,b,c", "a,b,c"},   {"a,b,c", "b", "a,b,c", "a,c"},
        {"a", "c,c", "a,c", "a"},          {"a,,b", "x", "a,,b,x", "a,,b"},
    };
    for (const Row& r : rows) {
        const TextRef list = TextFromCStr(r.list), other = TextFromCStr(r.other);
        EXPECT_EQ(Str(ListUnion(list, other, ',')), r.unite) << r.list << " + " << r.other;
        EXPECT_EQ(Str(ListMinus(list, other, ',')), r.minus) << r.list << " - " << r.other;
        ScratchRelease(0);
    }
}

TEST_F(TextOpsTest, SplitGivesViewsAndBoundedAccess) {
    const TextRef list = "a,'b,c',,d"_t;
    const TextArray parts = ListSplit(list, ',');
    ASSERT_EQ(parts.count, 4);
    EXPECT_EQ(Str(TextArrayGet(parts, 2)), "'b,c'");
    EXPECT_EQ(TextArrayGet(parts, 2).data, list.data + 2);
    EXPECT_EQ(Str(TextArrayGet(parts, 3)), "");
    EXPECT_EQ(Str(TextArrayGet(parts, 0)), "");
    EXPECT_EQ(Str(TextArrayGet(parts, 5)), "");
    EXPECT_EQ(ScratchDepth(), 1);
    ScratchRelease(0);
    std::string many;
    for (int i = 0; i < 5000; ++i) many += "x,";
    EXPECT_EQ(ListSplit(T(many), ',').items, nullptr) << "too many items for one level";
}

TEST_F(TextOpsTest, ItemLengthsAndByteLists) {
    EXPECT_EQ(ListMaxItemLen("ab,'cdef',g"_t, ',', ItemLength::Greatest), 4);
    EXPECT_EQ(ListMaxItemLen("ab,'cdef',g"_t, ',', ItemLength::Least), 1);
    EXPECT_EQ(ListMaxItemLen(""_t, ',', ItemLength::Greatest), 0);
    const TextRef bytes = ListToBytes("1, 2,255,256,si"_t);
    ASSERT_EQ(bytes.length, 5);
    const unsigned char want[] = {1, 2, 255, 0, 1};
    EXPECT_EQ(std::memcmp(bytes.data, want, 5), 0);
    ScratchRelease(0);
}

// --- Editing and conversion -------------------------------------------------------------------

TEST_F(TextOpsTest, TrimUnquoteAndClean) {
    EXPECT_EQ(Str(TextTrim(" \tab \t"_t, TrimSides::Both)), "ab");
    EXPECT_EQ(Str(TextTrim(" ab "_t, TrimSides::Leading)), "ab ");
    EXPECT_EQ(Str(TextTrim(" ab "_t, TrimSides::Trailing)), " ab");
    EXPECT_EQ(Str(TextTrim("xxabx"_t, TrimSides::Both, "x"_t)), "ab");
    EXPECT_EQ(Str(TextTrim("   "_t, TrimSides::Both)), "");
    struct Row {
        const char* in;
        const char* unquoted;
        const char* cleaned;
    } rows[] = {
        {" 'Abc' ", " 'Abc' ", "Abc"},
        {"abc", "abc", "ABC"},
        {" abc", " abc", "abc"},
        {"\"x y\"", "x y", "x y"},
        {"'a\"", "'a\"", "'A\""},
        {"'", "'", "'"},
        {"''", "", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Str(TextUnquote(TextFromCStr(r.in))), r.unquoted) << "[" << r.in << "]";
        EXPECT_EQ(Str(TextClean(TextFromCStr(r.in))), r.cleaned) << "[" << r.in << "]";
        ScratchRelease(0);
    }
}

TEST_F(TextOpsTest, CaseChangesAsciiAndLeavesHighBytesToTheCLocale) {
    // In the C locale the library maps only ASCII letters; cp1252 letters pass unchanged.
    EXPECT_EQ(Str(TextCase("ab\xe9\xc9Z1\xff"_t, 1)), "AB\xe9\xc9Z1\xff");
    EXPECT_EQ(Str(TextCase("AB\xe9\xc9z1\x80"_t, 0)), "ab\xe9\xc9z1\x80");
    EXPECT_EQ(Str(TextCase("MiX"_t, 7)), "mix") << "any mode but 1 lowers";
    ScratchRelease(0);
}

TEST_F(TextOpsTest, NumbersAndYesWords) {
    struct Row {
        const char* in;
        int want;
    } rows[] = {
        {"si", 1},          {"ON", 1},
        {"y", 1},           {"12x", 12},
        {" -7", -7},        {"", 0},
        {"no", 0},          {"yes!", 0},
        {"32767", 32767},   {"99999999999999999999", 32767},
        {"-40000", -32768},
    };
    for (const Row& r : rows)
        EXPECT_EQ(TextToInt(TextFromCStr(r.in)), r.want) << "[" << r.in << "]";
    EXPECT_TRUE(IsYesWord("Si"_t));
    EXPECT_FALSE(IsYesWord("SIS"_t));
    EXPECT_EQ(TextToInt(kBad), 0);
    EXPECT_EQ(Max16(-3, 2), 2);
    EXPECT_EQ(Min16(-3, 2), -3);
}

TEST_F(TextOpsTest, CompareIsUnsignedAndLongerIsGreater) {
    struct Row {
        const char* a;
        const char* b;
        int want;
    } rows[] = {
        {"ab", "abc", -1}, {"abc", "ab", 1}, {"ab", "ab", 0}, {"", "", 0},
        {"\xe9", "z", 1},  {"b", "a", 1},    {"", "a", -1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(TextCompare(TextFromCStr(r.a), TextFromCStr(r.b)), r.want) << r.a << " ? " << r.b;
    }
    EXPECT_EQ(TextCompare(kBad, "a"_t), 159);
    EXPECT_EQ(TextCompare("a"_t, kBad), 159);
    // op:                  1 eq   2 gt   3 ge   4 lt   5 le
    const bool less[] = {false, false, false, true, true};
    const bool same[] = {true, false, true, false, true};
    for (int n = 1; n <= 5; ++n) {
        const auto op = static_cast<CompareOp>(n);
        EXPECT_EQ(TextCompareOp("a"_t, "b"_t, op), less[n - 1]) << "op " << n;
        EXPECT_EQ(TextCompareOp("b"_t, "b"_t, op), same[n - 1]) << "op " << n;
        EXPECT_FALSE(TextCompareOp(kBad, "b"_t, op)) << "op " << n;
    }
    EXPECT_TRUE(TextCompareOp("b"_t, "a"_t, CompareOp::Greater));
    EXPECT_TRUE(TextCompareOp("a"_t, "b"_t, CompareOp::NotEqual));
    EXPECT_TRUE(TextCompareOp("b"_t, "a"_t, CompareOp::NotEqual));
    EXPECT_FALSE(TextCompareOp("b"_t, "b"_t, CompareOp::NotEqual));
    EXPECT_FALSE(TextCompareOp(kBad, "b"_t, CompareOp::NotEqual))
        << "a failed text differs from nothing";
    EXPECT_FALSE(TextCompareOp("b"_t, "b"_t, CompareOp::None)) << "no operator holds for nothing";
    EXPECT_EQ(Str(TextPick("a"_t, "b"_t, CompareOp::Greater)), "b");
    EXPECT_EQ(Str(TextPick("a"_t, "b"_t, CompareOp::Less)), "a");
    EXPECT_EQ(Str(TextPick("c"_t, "b"_t, CompareOp::Greater)), "c");
    EXPECT_EQ(Str(TextPick(""_t, "b"_t, CompareOp::None)), "b");
    EXPECT_EQ(Str(TextPick("a"_t, ""_t, CompareOp::Less)), "a");
    EXPECT_EQ(Str(TextPick("a"_t, "b"_t, CompareOp::Equal)), "a");
}

TEST_F(TextOpsTest, ReplaceGrowsShrinksAndSkipsQuotes) {
    struct Row {
        const char* text;
        const char* oldText;
        const char* newText;
        bool plain;
        const char* want;
    } rows[] = {
        {"a-b-c", "-", "--", true, "a--b--c"},
        {"a--b--c", "--", "", true, "abc"},
        {"aaaa", "aa", "b", true, "bb"},
        {"x 'x' x", "x", "y", false, "y 'x' y"},
        {"x 'x' x", "x", "y", true, "y 'y' y"},
        {"'a'", "'", "\"", false, "\"a\""},
        {"abc", "", "z", true, "abc"},
        {"abc", "abcd", "z", true, "abc"},
        {"abab", "ab", "abab", true, "abababab"},
    };
    for (const Row& r : rows) {
        const TextRef got = TextReplace(TextFromCStr(r.text), TextFromCStr(r.oldText),
                                        TextFromCStr(r.newText), r.plain);
        EXPECT_EQ(Str(got), r.want) << r.text << ": " << r.oldText << " -> " << r.newText;
        ScratchRelease(0);
    }
}

TEST_F(TextOpsTest, ReplaceRefusesResultsBeyond65535Bytes) {
    const std::string base(32767, 'a');
    const std::string fits = base + "b"; // 32768 bytes, one b
    EXPECT_EQ(TextReplace(T(fits), "a"_t, "aa"_t, true).length, 65535);
    ScratchRelease(0);
    EXPECT_EQ(RecordedError().status, 0);
    const TextRef over = TextReplace(T(base + "a"), "a"_t, "aa"_t, true);
    EXPECT_EQ(over.status(), status::kMemTest);
    EXPECT_EQ(ScratchDepth(), 0);
    EXPECT_EQ(RecordedError().status, status::kMemTest);
    EXPECT_EQ(RecordedError().step, step::kStrConcat);
}

TEST_F(TextOpsTest, ReplaceListWorksFromTheLastItem) {
    // The last pair runs first, so "ab" is replaced before "a" could break it up.
    EXPECT_EQ(Str(TextReplaceList("ab a"_t, "a,ab"_t, "1,2"_t, ',')), "2 1");
    EXPECT_EQ(Str(TextReplaceList("abc"_t, "b"_t, ""_t, ',')), "ac");
    EXPECT_EQ(ScratchDepth(), 2);
    ScratchRelease(0);
}

TEST_F(TextOpsTest, CharacterLevelEdits) {
    EXPECT_EQ(Str(TextRemoveChars("a-b_c-"_t, "-_"_t)), "abc");
    EXPECT_EQ(Str(TextTranslate("a.b,c"_t, ".,"_t, "/;"_t)), "a/b;c");
    EXPECT_EQ(Str(TextTranslate("a.b,c"_t, ".,"_t, "/"_t)), "a/b,c");
    EXPECT_EQ(Str(TextTranslate("xa"_t, "aa"_t, "12"_t)), "x1");
    EXPECT_EQ(Str(TextSqueeze("a  b   c "_t, ' ', true)), "a b c ");
    EXPECT_EQ(Str(TextSqueeze("a  '  ' b"_t, ' ', false)), "a '  ' b");
    EXPECT_EQ(Str(TextSqueeze("a  '  ' b"_t, ' ', true)), "a ' ' b");
    ScratchRelease(0);
}

TEST_F(TextOpsTest, EncloseAndQuote) {
    const std::pair<char, const char*> rows[] = {{'[', "[x]"}, {'(', "(x)"}, {'{', "{x}"},
                                                 {'<', "<x>"}, {'%', "%x%"}, {']', "]x]"}};
    for (auto [ch, want] : rows) EXPECT_EQ(Str(TextEnclose("x"_t, ch)), want) << ch;
    EXPECT_EQ(Str(TextQuote("a b"_t, '"')), "\"a b\"");
    EXPECT_EQ(Str(TextQuote("say \"x\""_t, '"')), "'say \"x\"'");
    EXPECT_EQ(Str(TextQuote("it's"_t, '\'')), "\"it's\"");
    EXPECT_EQ(TextQuote("'\""_t, '"').status(), status::kData);
    ScratchRelease(0);
}

TEST_F(TextOpsTest, SubstVarReplacesEveryReference) {
    bool complete = false;
    EXPECT_EQ(Str(TextSubstVar("%T%\\a;'%T%'"_t, "T"_t, "/tmp"_t, &complete)), "/tmp\\a;'/tmp'");
    EXPECT_TRUE(complete);
    EXPECT_EQ(Str(TextSubstVar("%T%\\%U%"_t, "T"_t, "x"_t, &complete)), "x\\%U%");
    EXPECT_FALSE(complete);
    EXPECT_EQ(ScratchDepth(), 2);
    ScratchRelease(0);
}

// --- Options ----------------------------------------------------------------------------------

TEST_F(TextOpsTest, OptGetFindsKeysAtBoundariesOnly) {
    struct Row {
        const char* text;
        const char* key;
        const char* want;
    } rows[] = {
        {"A:1:B=two", "B", "TWO"},
        {"A:1:B=two", "A", "1"},
        {"XB=1 B=2", "B", "2"},
        {"B=1:B:2", "B", "2"},
        {"W=5&H=7/D=x", "H", "7"},
        {"W=5&H=7/D=x", "D", "X"},
        {"P='c:/x y':Q=1", "P", "c:/x y"},
        {"A=1", "Z", ""},
        {"A=", "A", ""},
        {"ab=1", "b", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Str(TextOptGet(TextFromCStr(r.text), TextFromCStr(r.key))), r.want)
            << r.text << " key " << r.key;
        ScratchRelease(0);
    }
}

TEST_F(TextOpsTest, OptSetRewritesOnlyTheOptionAndRoundTrips) {
    struct Row {
        const char* text;
        const char* key;
        const char* value;
        const char* want;
    } rows[] = {
        {"A=1:B=2", "B", "9", "A=1:B=9"},
        {"A=1:B=2", "C", "3", "A=1:B=2:C=3"},
        {"", "C", "3", "C=3"},
        {"A:1:B:2", "A", "7", "A:7:B:2"},
        {"K:1 K:2", "K", "3", "K:3 K:2"},
        {"Q&E", "E", "5", "Q&E=5"},
        {"QE", "E", "5", "QE:E=5"},
        {"W=5 H=7 D=1", "H", "8", "W=5 H=8 D=1"},
        {"P='a b':Q=1", "P", "'c d'", "P='c d':Q=1"},
    };
    for (const Row& r : rows) {
        const TextRef set =
            TextOptSet(TextFromCStr(r.text), TextFromCStr(r.key), TextFromCStr(r.value));
        EXPECT_EQ(Str(set), r.want) << r.text << " " << r.key << "=" << r.value;
        EXPECT_EQ(Str(TextOptGet(set, TextFromCStr(r.key))), Str(TextClean(TextFromCStr(r.value))))
            << "round trip of " << r.want;
        ScratchRelease(0);
    }
    EXPECT_EQ(TextOptSet("A=1"_t, ""_t, "x"_t).status(), status::kData);
}

// --- Failed inputs and the level discipline ---------------------------------------------------

TEST_F(TextOpsTest, FailedInputsPassThrough) {
    const std::pair<const char*, std::function<TextRef()>> rows[] = {
        {"TextSub", [] { return TextSub(kBad, 0, 1); }},
        {"TextDup", [] { return TextDup(kBad); }},
        {"TextConcat a", [] { return TextConcat(kBad, "x"_t); }},
        {"TextConcat b", [] { return TextConcat("x"_t, kBad); }},
        {"TextJoin", [] { return TextJoin("a"_t, kBad, "b"_t); }},
        {"TextRepeat", [] { return TextRepeat(kBad, 2); }},
        {"TextBetween", [] { return TextBetween(kBad, ',', true); }},
        {"ListItem", [] { return ListItem(kBad, ',', 1); }},
        {"ListSetItem", [] { return ListSetItem(kBad, ',', 1, "x"_t); }},
        {"ListSetItem value", [] { return ListSetItem("a"_t, ',', 1, kBad); }},
        {"ListUnion", [] { return ListUnion("a"_t, kBad, ','); }},
        {"ListMinus", [] { return ListMinus(kBad, "a"_t, ','); }},
        {"ListToBytes", [] { return ListToBytes(kBad); }},
        {"TextTrim", [] { return TextTrim(kBad, TrimSides::Both); }},
        {"TextUnquote", [] { return TextUnquote(kBad); }},
        {"TextClean", [] { return TextClean(kBad); }},
        {"TextCase", [] { return TextCase(kBad, 1); }},
        {"TextPick", [] { return TextPick("a"_t, kBad, CompareOp::Greater); }},
        {"TextReplace", [] { return TextReplace("a"_t, "a"_t, kBad, true); }},
        {"TextReplaceList", [] { return TextReplaceList("a"_t, kBad, "b"_t, ','); }},
        {"TextRemoveChars", [] { return TextRemoveChars(kBad, "a"_t); }},
        {"TextTranslate", [] { return TextTranslate("a"_t, "a"_t, kBad); }},
        {"TextSqueeze", [] { return TextSqueeze(kBad, ' ', true); }},
        {"TextEnclose", [] { return TextEnclose(kBad, '['); }},
        {"TextQuote", [] { return TextQuote(kBad, '"'); }},
        {"TextOptGet", [] { return TextOptGet(kBad, "A"_t); }},
        {"TextOptSet", [] { return TextOptSet("A=1"_t, "A"_t, kBad); }},
        {"TextSubstVar", [] { return TextSubstVar(kBad, "A"_t, "b"_t, nullptr); }},
        {"TextPutAt", [] { return TextPutAt(kBad, nullptr, 0); }},
    };
    for (const auto& [name, call] : rows) {
        const TextRef r = call();
        EXPECT_EQ(r.status(), status::kBadStringType) << name;
        EXPECT_EQ(ScratchDepth(), 0) << name << " left a level behind";
        ScratchRelease(0);
    }
}

TEST_F(TextOpsTest, MakersLeaveOneLevelAndViewsNone) {
    struct Row {
        const char* name;
        std::function<TextRef()> call;
        int levels;
    } rows[] = {
        {"TextSub", [] { return TextSub("abc"_t, 1, 1); }, 0},
        {"ListItem", [] { return ListItem("a,b"_t, ',', 2); }, 0},
        {"TextTrim", [] { return TextTrim(" a "_t, TrimSides::Both); }, 0},
        {"TextUnquote", [] { return TextUnquote("'a'"_t); }, 0},
        {"TextBetween", [] { return TextBetween("|a|"_t, '|', true); }, 0},
        {"TextPick", [] { return TextPick("a"_t, "b"_t, CompareOp::Greater); }, 0},
        {"TextDup", [] { return TextDup("a"_t); }, 1},
        {"TextConcat", [] { return TextConcat("a"_t, "b"_t); }, 1},
        {"TextJoin", [] { return TextJoin("a"_t, ","_t, "b"_t); }, 1},
        {"TextKeyValue", [] { return TextKeyValue("a"_t, "b"_t); }, 1},
        {"TextRepeat", [] { return TextRepeat("a"_t, 3); }, 1},
        {"TextChar", [] { return TextChar('a'); }, 1},
        {"TextFormat", [] { return TextFormat(9, "%d", 42); }, 1},
        {"ListSetItem", [] { return ListSetItem("a,b"_t, ',', -1, ""_t); }, 1},
        {"ListUnion", [] { return ListUnion("a"_t, "b"_t, ','); }, 1},
        {"ListMinus", [] { return ListMinus("a,b"_t, "b"_t, ','); }, 1},
        {"ListToBytes", [] { return ListToBytes("1,2, yes"_t); }, 1},
        {"TextClean quoted", [] { return TextClean(" 'a' "_t); }, 1},
        {"TextClean bare", [] { return TextClean("a"_t); }, 1},
        {"TextCase", [] { return TextCase("a"_t, 1); }, 1},
        {"TextReplace", [] { return TextReplace("aXa"_t, "a"_t, "bb"_t, true); }, 1},
        {"TextReplaceList", [] { return TextReplaceList("abc"_t, "a,b,c"_t, "1,2,3"_t, ','); }, 1},
        {"TextRemoveChars", [] { return TextRemoveChars("abc"_t, "b"_t); }, 1},
        {"TextTranslate", [] { return TextTranslate("abc"_t, "b"_t, "B"_t); }, 1},
        {"TextSqueeze", [] { return TextSqueeze("a  b"_t, ' ', true); }, 1},
        {"TextEnclose", [] { return TextEnclose("a"_t, '('); }, 1},
        {"TextQuote", [] { return TextQuote("a"_t, '"'); }, 1},
        {"TextOptGet found", [] { return TextOptGet("A='x'"_t, "A"_t); }, 1},
        {"TextOptGet absent", [] { return TextOptGet("A=1"_t, "B"_t); }, 1},
        {"TextOptSet", [] { return TextOptSet("A=1"_t, "B"_t, "2"_t); }, 1},
        {"TextSubstVar", [] { return TextSubstVar("%A%"_t, "A"_t, "1"_t, nullptr); }, 1},
        {"TextToInt", [] { return TextRef("", static_cast<std::uint16_t>(TextToInt("12"_t))); }, 0},
        {"IsYesWord", [] { return TextRef("", IsYesWord("si"_t)); }, 0},
        {"ListItemNum", [] { return TextRef("", ListItemNum("1,'2'"_t, ',', 2)); }, 0},
    };
    for (const Row& r : rows) {
        // Start above level 0, as a caller with temporaries of its own would.
        ASSERT_EQ(ScratchAlloc(5, 'k'), status::kOk);
        const ScratchLevel caller = ScratchDepth();
        const TextRef result = r.call();
        ASSERT_FALSE(result.failed()) << r.name;
        EXPECT_EQ(ScratchDepth(), caller + r.levels) << r.name;
        if (r.levels == 1) {
            EXPECT_EQ(ScratchTop().data, result.data) << r.name << ": result is the new level";
            EXPECT_EQ(ScratchTop().length, result.length) << r.name;
        }
        ScratchRelease(0);
    }
}

// --- Elements of a byte buffer ----------------------------------------------------------------

TEST_F(TextOpsTest, ElementsAreBoundsCheckedAndUnaligned) {
    alignas(8) char storage[1 + 4 * 8] = {};
    const TextRef b16(storage + 1, 7); // three 16-bit elements, the last byte unused
    EXPECT_EQ(ElementFindFree16(b16), 0);
    EXPECT_TRUE(ElementSet16(b16, 0, -2));
    EXPECT_TRUE(ElementSet16(b16, 2, 300));
    EXPECT_FALSE(ElementSet16(b16, 3, 1)) << "index 3 needs bytes 6 and 7";
    EXPECT_EQ(storage[7], 0) << "a refused write changes nothing";
    EXPECT_EQ(ElementGet16(b16, 0), -2);
    EXPECT_EQ(ElementGet16(b16, 2), 300);
    EXPECT_EQ(ElementGet16(b16, 3), 0);
    EXPECT_EQ(ElementFindFree16(b16), 1);
    EXPECT_TRUE(ElementSet16(b16, 1, 5));
    EXPECT_EQ(ElementFindFree16(b16), kNotFound);

    const TextRef b64(storage + 1, 16);
    EXPECT_TRUE(ElementSet64(b64, 1, -1234567890123LL));
    EXPECT_EQ(ElementGet64(b64, 1), -1234567890123LL);
    EXPECT_FALSE(ElementSet64(b64, 2, 1));
    EXPECT_EQ(ElementGet64(b64, 2), 0);
    EXPECT_EQ(ElementFindFree64(b64), kNotFound) << "element 0 holds the 16-bit values";
    EXPECT_EQ(ElementGet64(kBad, 0), 0);
}

} // namespace
} // namespace vodarir
