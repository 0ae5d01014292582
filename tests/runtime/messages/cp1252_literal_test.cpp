// UTF-8 literals turned into cp1252 bytes while compiling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/text/cp1252_literal.h"

namespace vodarir {
namespace {

// Checked by the compiler: the conversion happens during compilation.
static_assert(Cp1252("abc").length == 3);
static_assert(Cp1252("Precaución ").length == 11);
static_assert(Cp1252("ó").view()[0] == '\xF3');

struct Row {
    std::string converted; // bytes of a Cp1252 literal
    std::string expected;
};

TEST(Cp1252Literal, ConvertsLatinLettersAndTheWindowsExtras) {
    static constexpr auto kAscii = Cp1252("plain ASCII\t\r\n");
    static constexpr auto kSpanish = Cp1252("¿Continuar? Precaución añadir Menú");
    static constexpr auto kFrench = Cp1252("À propos d’écran œuvre");
    static constexpr auto kGerman = Cp1252("Größer Übersicht ä");
    static constexpr auto kSymbols = Cp1252("© € – … ™ Ÿ");
    const std::vector<Row> rows = {
        {std::string(kAscii.view()), "plain ASCII\t\r\n"},
        {std::string(kSpanish.view()), "\xBF"
                                       "Continuar? Precauci\xF3n a\xF1"
                                       "adir Men\xFA"},
        {std::string(kFrench.view()), "\xC0 propos d\x92\xE9"
                                      "cran \x9C"
                                      "uvre"},
        {std::string(kGerman.view()), "Gr\xF6\xDF"
                                      "er \xDC"
                                      "bersicht \xE4"},
        {std::string(kSymbols.view()), "\xA9 \x80 \x96 \x85 \x99 \x9F"},
    };
    for (const Row& row : rows) EXPECT_EQ(row.converted, row.expected) << row.expected;
}

TEST(Cp1252Literal, TextViewsTheSameBytes) {
    static constexpr auto kText = Cp1252("Información");
    const TextRef text = kText.text();
    EXPECT_EQ(text.length, 11);
    EXPECT_EQ(std::string(text.view()), "Informaci\xF3n");
}

} // namespace
} // namespace vodarir
