// Options of the stored command line, by name and by number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/store/command_options.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class CommandOptionsTest : public RuntimeTest {
protected:
    void TearDown() override {
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        RuntimeTest::TearDown();
    }
    static void Line(const std::string& line) {
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 1, TextView(line)), status::kOk);
    }
    // The value, or "absent".
    static std::string Option(const std::string& name) {
        const ScratchLevel mark = ScratchMark();
        bool found = false;
        const TextRef value = CommandLineOption(TextView(name), &found);
        EXPECT_EQ(ScratchDepth(), mark + 1);
        std::string out = found ? Str(value) : "absent";
        ScratchRelease(mark);
        return out;
    }
    static std::string Numbered(int n) {
        const ScratchLevel mark = ScratchMark();
        bool found = false;
        const TextRef value = CommandLineOptionNumber(n, &found);
        EXPECT_EQ(ScratchDepth(), mark + 1);
        std::string out = found ? Str(value) : "absent";
        ScratchRelease(mark);
        return out;
    }
};

struct Row {
    const char* line;
    const char* name;
    const char* expected;
};

TEST_F(CommandOptionsTest, OptionsByName) {
    const std::vector<Row> rows = {
        {"prog /OUTPUT=out.txt", "OUTPUT", "out.txt"},
        {"prog /OUTPUT=/tmp/out.txt", "OUTPUT", "/tmp/out.txt"}, // a path keeps its slashes
        {"prog /OUTPUT:C:\\x.txt", "OUTPUT", "C:\\x.txt"},
        {"prog \"/OUTPUT=/tmp/a b.txt\"", "OUTPUT", "/tmp/a b.txt"},
        {"prog /OUTPUT=\"a b\" /X=1", "OUTPUT", "a b"},
        {"prog /OUTPUT=\"a b\" /X=1", "X", "1"},
        {"prog file.PAN /TRACE=2", "TRACE", "2"},
        {"prog /output=lower", "OUTPUT", "lower"},   // any case when not as written
        {"prog /output=a /OUTPUT=b", "OUTPUT", "b"}, // as written first
        {"prog /output=a /OUTPUT=b", "output", "a"},
        {"prog /HELP", "HELP", ""},
        {"prog /OUTPUTX=1", "OUTPUT", "absent"},
        {"prog OUTPUT=1", "OUTPUT", "absent"},           // no option without "/"
        {"/OUTPUT=prog /APNAME=VE", "OUTPUT", "absent"}, // the program is no option
        {"prog", "OUTPUT", "absent"},
        {"", "OUTPUT", "absent"},
        {"prog /=1", "", "absent"},
    };
    for (const Row& r : rows) {
        Line(r.line);
        EXPECT_EQ(Option(r.name), r.expected) << r.line << " asking " << r.name;
    }
}

TEST_F(CommandOptionsTest, OptionsByNumber) {
    Line("prog /? /OUTPUT=o.txt /SCRWID=132");
    EXPECT_EQ(Numbered(cmdoption::kHelp), "");
    EXPECT_EQ(Numbered(cmdoption::kOutput), "o.txt");
    EXPECT_EQ(Numbered(cmdoption::kScreenWidth), "132");
    EXPECT_EQ(Numbered(cmdoption::kTrace), "absent");
    EXPECT_EQ(Numbered(0), "absent");
    EXPECT_EQ(Numbered(15), "absent");
    Line("prog /HELP=yes");
    EXPECT_EQ(Numbered(cmdoption::kHelp), "yes"); // the second spelling of option 1
}

TEST_F(CommandOptionsTest, ValuesDoNotMoveWithTheStore) {
    Line("prog /OUTPUT=out.txt");
    const ScratchLevel mark = ScratchMark();
    const TextRef value = CommandLineOption("OUTPUT"_t);
    Line("a much longer command line that moves every byte of the store behind it");
    EXPECT_EQ(Str(value), "out.txt");
    ScratchRelease(mark);
}

} // namespace
} // namespace vodarir::testing
