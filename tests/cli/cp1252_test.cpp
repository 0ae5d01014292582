// vodarir-cli's text output: cp1252 to UTF-8 and one-line columns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_commands.h"

namespace vodarir::cli {
namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}

TEST(Cp1252ToUtf8, EveryRangeOfTheCodePage) {
    struct Row {
        std::string cp1252;
        std::string utf8;
    };
    const std::vector<Row> rows = {
        {"plain ASCII 09~", "plain ASCII 09~"},
        {"A\xD1O", "A\xC3\x91O"}, // AÑO
        {"\xF1"
         "and\xFA"
         "es",
         "\xC3\xB1"
         "and\xC3\xBA"
         "es"},                           // ñandúes
        {"\xA0", "\xC2\xA0"},             // no-break space
        {"\xFF", "\xC3\xBF"},             // ÿ
        {"\x80", "\xE2\x82\xAC"},         // €
        {"\x85", "\xE2\x80\xA6"},         // …
        {"\x9F", "\xC5\xB8"},             // Ÿ
        {"\x8A\x9A", "\xC5\xA0\xC5\xA1"}, // Š š
        {"\x81", "\xC2\x81"},             // no character: kept as a control
        {"\x9D", "\xC2\x9D"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Hex(Cp1252ToUtf8(row.cp1252)), Hex(row.utf8)) << "input: " << Hex(row.cp1252);
    }
}

TEST(Utf8ToCp1252, EveryCp1252ByteComesBackFromItsUtf8) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        std::string back;
        ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(byte), &back)) << "byte " << b;
        EXPECT_EQ(Hex(back), Hex(byte)) << "byte " << b;
    }
}

TEST(Utf8ToCp1252, RefusesWhatCp1252CannotHoldAndMalformedSequences) {
    const std::vector<std::string> refused = {
        "\xE2\x98\x83",     // a snowman: no cp1252 byte
        "a\xC2\x80",        // U+0080, a control cp1252 puts the euro sign in place of
        "\xF0\x9F\x98\x80", // beyond the basic plane
        "\xC3",             // cut short
        "\xC3"
        "A",        // not a continuation byte
        "\x80",     // a lone continuation byte
        "\xC0\xAF", // an overlong form of "/"
        "\xE0\x80\xAF",
        "\xFF",
    };
    for (const std::string& text : refused) {
        std::string out;
        EXPECT_FALSE(Utf8ToCp1252(text, &out)) << "input: " << Hex(text);
    }
    std::string out;
    ASSERT_TRUE(Utf8ToCp1252("\xC3\xB1"
                             "and\xC3\xBA"
                             "es \xE2\x82\xAC"
                             "5",
                             &out));
    EXPECT_EQ(Hex(out), Hex("\xF1"
                            "and\xFA"
                            "es \x80"
                            "5"));
}

TEST(CliColumns, TabsAndLineBreaksBecomeOneBlankEach) {
    struct Row {
        std::string text;
        std::string column;
    };
    const std::vector<Row> rows = {
        {"a\tb", "a b"},
        {"a\r\nb", "a b"},
        {"a\nb\rc", "a b c"},
        {"a\r\n\r\nb", "a  b"},
        {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
        {"", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Column(TextView(row.text)), row.column) << "text: " << Hex(row.text);
    }
}

} // namespace
} // namespace vodarir::cli
