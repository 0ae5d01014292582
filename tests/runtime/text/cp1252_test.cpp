// cp1252 <-> UTF-8: every byte survives the round trip; what cp1252 cannot hold is refused.
#include <gtest/gtest.h>

#include <string>

#include "runtime/text/cp1252.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::string back;
    ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), &back));
    EXPECT_EQ(back, all);
}

TEST(Cp1252, KnownCharactersMapBothWays) {
    const struct {
        const char* cp1252;
        const char* utf8;
    } rows[] = {
        {"\x80", "\xE2\x82\xAC"}, // euro sign
        {"\xA6", "\xC2\xA6"},     // broken bar
        {"\xAB\xBB", "\xC2\xAB\xC2\xBB"},
        {"\xF7", "\xC3\xB7"},     // division sign, the runtime's percentage operator
        {"a\xF1o", "a\xC3\xB1o"}, // año
        {"\x9F", "\xC5\xB8"},     // Y with diaeresis
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Cp1252ToUtf8(r.cp1252), r.utf8) << r.cp1252;
        std::string back;
        EXPECT_TRUE(Utf8ToCp1252(r.utf8, &back));
        EXPECT_EQ(back, r.cp1252);
    }
}

TEST(Cp1252, UnholdableOrMalformedUtf8IsRefused) {
    std::string out;
    for (const char* bad :
         {"\xE2\x98\x83", "\xC3", "\xC3\x28", "\x80", "\xC1\x81", "\xF0\x9F\x98\x80"}) {
        EXPECT_FALSE(Utf8ToCp1252(bad, &out)) << ::testing::PrintToString(std::string(bad));
    }
}

TEST(Cp1252, CaseIsFoldedForAccentedLettersButNotForSigns) {
    EXPECT_TRUE(Cp1252EqualNoCase("D\xCD"
                                  "A.TXT",
                                  "d\xED"
                                  "a.txt"));
    EXPECT_TRUE(Cp1252EqualNoCase("\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"));
    EXPECT_FALSE(Cp1252EqualNoCase("\xD7", "\xF7")) << "multiplication and division signs";
    EXPECT_FALSE(Cp1252EqualNoCase("ab", "abc"));
}

class Cp1252ScratchTest : public testing::RuntimeTest {};

TEST_F(Cp1252ScratchTest, ScratchFormsFollowTheLevelDisciplineAndTheLengthLimit) {
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(TextToUtf8("\x80 1"_t)), "\xE2\x82\xAC 1");
    EXPECT_EQ(ScratchDepth(), mark + 1);
    EXPECT_EQ(Str(TextFromUtf8("\xE2\x82\xAC 1")), "\x80 1");
    EXPECT_EQ(ScratchDepth(), mark + 2);
    EXPECT_EQ(TextFromUtf8("\xE2\x98\x83").status(), status::kBadStringType);
    EXPECT_EQ(ScratchDepth(), mark + 2) << "a refusal leaves nothing behind";
    const std::string wide(30000, '\xF1'); // two UTF-8 bytes each: 60000, still a text
    EXPECT_EQ(TextToUtf8(TextView(wide)).length, 60000);
    const std::string wider(40000, '\xF1');
    EXPECT_EQ(TextToUtf8(TextView(wider)).status(), status::kStringTooLong);
    EXPECT_EQ(TextToUtf8(TextRef::Failed(163)).status(), 163);
    ScratchRelease(mark);
}

} // namespace
} // namespace vodarir
