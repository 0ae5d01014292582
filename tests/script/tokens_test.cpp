// The tokenizer: what NextToken cuts and how it describes a token, operator lookup, groups and
// dot constants.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval_fixture.h"
#include "script/tokens.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class TokensTest : public EvalTest {};

struct TokenRow {
    const char* text;
    const char* token;
    std::uint16_t op;
    std::uint16_t cls;
    std::uint16_t next;
    std::uint16_t groupLength;
    std::uint16_t function;
};

std::string Describe(const TokenCursor& c) {
    return "token '" + std::string(TokenText(c).view()) + "' op " + std::to_string(c.op) +
           " class " + std::to_string(c.cls) + " next " + std::to_string(c.next) + " group " +
           std::to_string(c.groupLength) + " function " + std::to_string(c.function) + " status " +
           std::to_string(c.status);
}

std::string Expected(const TokenRow& r) {
    TokenCursor c;
    c.text = r.token;
    c.tokenLength = static_cast<std::uint16_t>(std::string(r.token).size());
    c.op = r.op;
    c.cls = r.cls;
    c.next = r.next;
    c.groupLength = r.groupLength;
    c.function = r.function;
    return Describe(c);
}

TEST_F(TokensTest, FirstTokenOfAText) {
    const std::vector<TokenRow> rows = {
        {"abc+1", "abc", opcode::kAdd, 2, 4, 0, 0},
        {"12*3", "12", opcode::kMultiply, 0, 3, 0, 0},
        {"a==b", "a", opcode::kEqual, 2, 3, 0, 0},
        {"a<>b", "a", opcode::kNotEqual, 2, 3, 0, 0},
        {"a>=b", "a", opcode::kGreaterEqual, 2, 3, 0, 0},
        {"a<=b", "a", opcode::kLessEqual, 2, 3, 0, 0},
        {"a!=b", "a", opcode::kNone, 2, 3, 0, 0}, // unknown pair: ends the expression
        {"a=>b", "a", opcode::kNone, 2, 3, 0, 0},
        {"a+=b", "a", opcode::kNone, 2, 3, 0, 0},
        {"a=-1", "a", opcode::kAssign, 2, 2, 0, 0}, // "-" cannot follow as a second character
        {"a&&b", "a", opcode::kAnd, 2, 3, 0, 0},
        {"a||b", "a", opcode::kOr, 2, 3, 0, 0},
        {"a@@b", "a", opcode::kXor, 2, 3, 0, 0},
        {"a@b", "a", opcode::kCombineAlt, 2, 2, 0, 0},
        {"a|b", "a", opcode::kCombine, 2, 2, 0, 0},
        {"a&b", "a", opcode::kBitAnd, 2, 2, 0, 0},
        {"1\xF7"
         "2",
         "1", opcode::kDiscount, 0, 2, 0, 0},
        {"1%2", "1", opcode::kPercent, 0, 2, 0, 0},
        {"1!2", "1", opcode::kRound, 0, 2, 0, 0},
        {"x;y", "x", opcode::kNone, 2, 2, 0, 0},
        {"x,y", "x", opcode::kNone, 2, 2, 0, 0},
        {"x:y", "x", opcode::kNone, 2, 2, 0, 0},
        {"x)y", "x", opcode::kNone, 2, 2, 0, 0},
        {"x", "x", opcode::kNone, 2, 1, 0, 0},
        {"", "", opcode::kNone, 0, 0, 0, 0},
        {"-5", "", opcode::kSubtract, 0, 1, 0, 0},
        {"'a+b'*2", "'a+b'", opcode::kMultiply, 1, 6, 0, 0},
        {"'a+b", "'a+b", opcode::kNone, 1, 4, 0, 0}, // an unclosed quote hides the rest
        {"\"x'y\"+1", "\"x'y\"", opcode::kAdd, 1, 6, 0, 0},
        {"n$+1", "n$", opcode::kAdd, 3, 3, 0, 0},
        {"n#", "n#", opcode::kNone, 6, 2, 0, 0},
        {"n#$", "n#$", opcode::kNone, 3, 3, 0, 0},   // "$" outranks "#"
        {"x'1'", "x'1'", opcode::kNone, 1, 4, 0, 0}, // a quote outranks everything
        {"_x*2", "_x", opcode::kMultiply, 2, 3, 0, 0},
        {".datey", ".datey", opcode::kNone, 0, 6, 0, 0},
        {"\xE9t\xE9", "\xE9t\xE9", opcode::kNone, 2, 3, 0, 0},
        {"F$(1;2)*3", "F$", opcode::kMultiply, 19, 8, 3, 0},
        {"FN$MIDS('a';1)+1", "FN$MIDS", opcode::kAdd, 35, 15, 5, 17},
        {"FN#SLEN(x)", "FN#SLEN", opcode::kNone, 38, 10, 1, 3},
        {"_$(1)", "_$", opcode::kNone, 35, 5, 1, 28},
        {"_#(1)", "_#", opcode::kNone, 38, 5, 1, 1},
        {"fn#slen(x)", "fn#slen", opcode::kNone, 22, 10, 1, 0}, // names are case-sensitive
        {"(1+2)*3", "", opcode::kMultiply, 80, 6, 3, 0},
        {"(1+(2))", "", opcode::kNone, 80, 7, 5, 0},
        {"(')')", "", opcode::kNone, 80, 5, 3, 0},
        {"(1+2", "", opcode::kNone, 80, 4, 3, 0},    // runs to the end
        {"A(1)B+2", "A", opcode::kAdd, 18, 6, 1, 0}, // up to the next operator after the group
        {"A()", "A", opcode::kNone, 18, 3, 0, 0},
    };
    for (const TokenRow& row : rows) {
        const TokenCursor c = NextToken(NewCursor(TextView(row.text)));
        EXPECT_EQ(Describe(c), Expected(row)) << "text: " << row.text;
        if (row.op != opcode::kNone) {
            EXPECT_EQ(c.precedence, kOperatorPrecedence[row.op - 1]) << "text: " << row.text;
        }
    }
}

TEST_F(TokensTest, FollowingTokensForgetTheGroupBeforeThem) {
    TokenCursor c = NextToken(NewCursor("F(1)*-2"_t));
    EXPECT_EQ(c.groupLength, 1);
    c = NextToken(c);
    EXPECT_EQ(Describe(c), "token '' op 7 class 0 next 6 group 0 function 0 status 0");
    c = NextToken(c);
    EXPECT_EQ(Describe(c), "token '2' op 0 class 0 next 7 group 0 function 0 status 0");
}

TEST_F(TokensTest, SeparatorsResetThePrecedence) {
    TokenCursor c = NextToken(NewCursor("1*2;3"_t));
    EXPECT_EQ(c.precedence, 4);
    c = NextToken(c);
    EXPECT_EQ(c.op, opcode::kNone);
    EXPECT_EQ(c.precedence, 0);
}

TEST_F(TokensTest, UnresolvableFieldReferencesAreAStatus) {
    const TokenCursor c = NextToken(NewCursor("name{1}+1"_t));
    EXPECT_EQ(c.status, status::kFileOutBound); // no dictionary is loaded
    EXPECT_EQ(c.cls, 0);
    EXPECT_EQ(c.op, opcode::kAdd);
}

TEST_F(TokensTest, WalkingAnyTextEnds) {
    const std::vector<std::string> texts = {
        "",           "(",       ")",          "'",          "\"",        "((((",
        "))))",       "a(b(c(d", "'unclosed(", ";;;",        "==",        "!!!",
        "x(1)(2)(3)", "a)b)c",   "\xF7\xF7",   "(((a)))b(c", "\"'\"'\"'", std::string(70, '('),
    };
    for (const std::string& text : texts) {
        TokenCursor c = NewCursor(TextView(text));
        int steps = 0;
        while (c.next < c.length) {
            const std::uint16_t before = c.next;
            c = NextToken(c);
            ASSERT_GT(c.next, before) << "no progress in: " << text;
            ASSERT_LE(std::uint32_t{c.start} + c.tokenLength, c.length) << text;
            ASSERT_LE(c.next, c.length) << text;
            ++steps;
        }
        EXPECT_LE(steps, static_cast<int>(text.size())) << text;
    }
}

TEST_F(TokensTest, OperatorCharactersOutsideQuotes) {
    struct Row {
        const char* text;
        std::uint32_t from;
        std::uint32_t expected;
    };
    const std::vector<Row> rows = {
        {"ab+c", 0, 2}, {"ab+c", 3, 4}, {"'+'+", 0, 3},  {"\"'+\"+", 0, 4}, {"'+", 0, 2},
        {"abc", 0, 3},  {"a(b", 0, 1},  {"a\xF7", 0, 1}, {"a{b}c", 0, 5},
    };
    for (const Row& row : rows) {
        const std::string text = row.text;
        EXPECT_EQ(FindOperatorChar(text.data(), static_cast<std::uint32_t>(text.size()), row.from),
                  row.expected)
            << "text: " << row.text << " from " << row.from;
    }
}

TEST_F(TokensTest, GroupLengthCountsNestingOutsideQuotes) {
    struct Row {
        const char* text;
        std::uint16_t tokenLength;
        std::uint16_t expected;
        bool closed;
    };
    const std::vector<Row> rows = {
        {"F((a)(b))x", 1, 6, true}, {"F(')')", 1, 3, true}, {"F(a", 1, 1, false},
        {"F()", 1, 0, true},        {"(", 0, 0, false},     {"F('(')", 1, 3, true},
        {"F(\"(\"", 1, 3, false},
    };
    for (const Row& row : rows) {
        TokenCursor c = NewCursor(TextView(row.text));
        c.tokenLength = row.tokenLength;
        c.groupLength = GroupLength(c);
        EXPECT_EQ(c.groupLength, row.expected) << "text: " << row.text;
        EXPECT_EQ(GroupClosed(c), row.closed) << "text: " << row.text;
    }
}

TEST_F(TokensTest, EveryOperatorOfTheListIsFoundByItsSpelling) {
    const std::string list = kOperatorList;
    std::uint16_t index = 0;
    std::size_t begin = 0;
    while (begin <= list.size()) {
        std::size_t end = list.find(',', begin);
        if (end == std::string::npos) end = list.size();
        const std::string op = list.substr(begin, end - begin);
        ++index;
        EXPECT_EQ(OperatorIndex(op[0], op.size() > 1 ? op[1] : 0), index) << "operator " << op;
        begin = end + 1;
    }
    EXPECT_EQ(index, kOperatorCount);
    for (const char* unknown : {"!=", "=<", "+=", "=>", "((", ";", ":", ")", "|&", "**"}) {
        EXPECT_EQ(OperatorIndex(unknown[0], unknown[1]), 0) << unknown;
    }
}

TEST_F(TokensTest, DotConstantsByName) {
    struct Row {
        const char* name;
        bool found;
        std::int16_t value;
    };
    const std::vector<Row> rows = {
        {"envron", true, 0},  {"cmdline", true, 1},  {"datey", true, 10000}, {"datem", true, 100},
        {"fnparm", true, 35}, {"funclist", true, 8}, {"bottom", true, 32},   {"previous", true, 20},
        {"usrfif", true, 38}, {"Datey", false, 0},   {"", false, 0},         {"date", false, 0},
        {"dateyy", false, 0},
    };
    for (const Row& row : rows) {
        std::int16_t value = -1;
        EXPECT_EQ(DotConstant(TextView(row.name), &value), row.found) << row.name;
        if (row.found) {
            EXPECT_EQ(value, row.value) << row.name;
        }
    }
}

} // namespace
} // namespace vodarir::testing
