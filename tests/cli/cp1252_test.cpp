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
