// The message formatter: placeholders filled with texts, and formats from a language file that
// could never make it read or write beyond its arguments and its result.
#include <gtest/gtest.h>

#include "runtime/messages/error_trail.h"
#include "runtime/messages/message_format.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class MessageFormatTest : public RuntimeTest {};

struct Row {
    const char* format;
    const char* expected;
};

TEST_F(MessageFormatTest, PlaceholdersTakeTheArgumentsInOrder) {
    const Row rows[] = {
        {"%s File Structure (%s%s)", "Vodarir File Structure (ALDICC)"},
        {"AppSelect (%s)", "AppSelect (Vodarir)"},
        {"%s-%i-%d", "Vodarir-ALDICC-"},
        {"100%% %s", "100% Vodarir"},
        {"[%8s]", "[ Vodarir]"},
        {"[%-8s]", "[Vodarir ]"},
        {"[%08s]", "[0Vodarir]"},
        {"[%.3s]", "[Vod]"},
        {"[%6.2s]", "[    Vo]"},
        {"no placeholder", "no placeholder"},
        {"", ""},
    };
    for (const Row& row : rows) {
        const ScratchLevel mark = ScratchMark();
        const TextRef out = MsgFormat(200, TextView(row.format), {"Vodarir"_t, "ALDICC"_t});
        EXPECT_EQ(Str(out), row.expected) << "format: " << row.format;
        ScratchRelease(mark);
    }
}

TEST_F(MessageFormatTest, WhatIsNotAPlaceholderStandsAsWritten) {
    // A translator's typo or a hostile file: none of these may read an argument that is not
    // there or write anywhere but the result.
    const Row rows[] = {
        {"%n%s", "%nA"},          {"%p %x %s", "%p %x A"},
        {"50%", "50%"},           {"%s %s %s %s", "A   "},
        {"%5", "%5"},             {"%-", "%-"},
        {"%.s|", "|"},            {"%ls", "%ls"},
    };
    for (const Row& row : rows) {
        const ScratchLevel mark = ScratchMark();
        const TextRef out = MsgFormat(200, TextView(row.format), {"A"_t});
        EXPECT_EQ(Str(out), row.expected) << "format: " << row.format;
        ScratchRelease(mark);
    }
}

TEST_F(MessageFormatTest, AResultBeyondTheMaximumIsRefusedNotCut) {
    const ScratchLevel mark = ScratchMark();
    const TextRef exact = MsgFormat(10, "%s"_t, {"0123456789"_t});
    EXPECT_EQ(Str(exact), "0123456789");
    ScratchRelease(mark);
    const TextRef over = MsgFormat(10, "%s!"_t, {"0123456789"_t});
    EXPECT_TRUE(over.failed());
    EXPECT_EQ(over.status(), status::kStringTooLong);
    EXPECT_EQ(RecordedError().step, step::kFormatString);
    const TextRef wide = MsgFormat(10, "%60000s"_t, {"x"_t});
    EXPECT_EQ(wide.status(), status::kStringTooLong);
    EXPECT_EQ(ScratchDepth(), mark) << "a refused result leaves no level behind";
}

TEST_F(MessageFormatTest, FailedInputsPassOn) {
    EXPECT_EQ(MsgFormat(10, TextRef::Failed(164), {"x"_t}).status(), 164);
    EXPECT_EQ(MsgFormat(10, "%s"_t, {"x"_t, TextRef::Failed(145)}).status(), 145);
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(MessageFormatTest, TheResultSitsOneLevelAboveTheCaller) {
    const ScratchLevel mark = ScratchMark();
    const TextRef out = MsgFormat(100, "<%s>"_t, {"abc"_t});
    EXPECT_EQ(ScratchDepth(), mark + 1);
    EXPECT_EQ(Str(out), "<abc>");
    ScratchRelease(mark);
}

} // namespace
} // namespace vodarir::testing
