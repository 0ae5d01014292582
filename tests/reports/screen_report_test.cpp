// The screen report: what a screen's items make of it, its HTML form, reading a screen's block of
// a parameter file, and the comparison of two reports entry by entry.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "reports/screen_report.h"
#include "reports_fixture.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"

namespace vodarir::testing {
namespace {

using namespace literals;

std::string Shown(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

TEST(KnownScreenKeywords, EveryKeywordOnceInTheReportsOrder) {
    const auto& known = KnownScreenKeywords();
    EXPECT_EQ(known.front(), "MODULES$");
    EXPECT_EQ(known.back(), "STRUCT$");
    const std::set<std::string_view> distinct(known.begin(), known.end());
    EXPECT_EQ(distinct.size(), known.size()) << "a keyword twice would be reported twice";
    EXPECT_EQ(known.size(), 7u + 19u + 17u + 17u + 11u + 9u + 16u);
}

TEST(ScreenReportText, KnownKeywordsInTheirOrderThenTheOthersMarked) {
    const struct {
        std::vector<std::string> items;
        std::string expected;
    } rows[] = {
        {{}, ""},
        {{"", "_X=1", "_INTERNO='a'"}, ""},
        // Known keywords follow the keywords' order, not the file's; an empty value says nothing.
        {{"RELOPT%=1", "SET$='clientes'", "MENU$=", "FD$='A$,B#'"},
         "SET$='clientes'\r\nRELOPT%=1\r\nFD$='A$,B#'"},
        // A prefix names a known keyword after its dot: listed right after the keyword itself.
        {{"A.SET$='pedidos'", "SET$='clientes'", "B.SET$='lineas'", "A.OPEN$='x'"},
         "SET$='clientes'\r\nA.SET$='pedidos'\r\nB.SET$='lineas'\r\nA.OPEN$='x'\r\n"
         "(*) A.SET$='pedidos'\r\n(*) B.SET$='lineas'\r\n(*) A.OPEN$='x'"},
        // Unknown items, marked, in the file's order; an underscore item is neither.
        {{"COLOR$='azul'", "_X=1", "WD=80", "NOTA"}, "WD=80\r\n(*) COLOR$='azul'\r\n(*) NOTA"},
        {{"COLOR$='azul'"}, "(*) COLOR$='azul'"},
        // The first value of a key is the one listed.
        {{"SET$='uno'", "SET$='dos'"}, "SET$='uno'"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Shown(ScreenReportText(r.items)), Shown(r.expected))
            << r.items.size() << " items, first: " << (r.items.empty() ? "" : r.items[0]);
    }
}

TEST(ScreenReportHtml, EscapedWithABreakBeforeEveryLineEnd) {
    EXPECT_EQ(ScreenReportHtml("SET$='a<b'\r\n(*) X=\"&\""),
              "SET$='a&lt;b'<br>\r\n(*) X=&quot;&amp;&quot;");
    EXPECT_EQ(ScreenReportHtml("WD=80"), "WD=80");
}

TEST(ReportLines, EveryLineEndTheLineReaderKnows) {
    const struct {
        std::string text;
        std::vector<std::string_view> lines;
    } rows[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\rc\r\n\r\nd", {"a", "b", "c", "", "d"}},
    };
    for (const auto& r : rows) EXPECT_EQ(ReportLines(r.text), r.lines) << Shown(r.text);
}

// One entry: marker, old line, new line.
std::string Entry(const std::string& marker, const std::string& old, const std::string& now) {
    return marker + "\r\n" + old + "\r\n" + now + "\r\n";
}

TEST(CompareScreenReports, EachDifferenceIsOneEntryOfThreeLines) {
    const struct {
        const char* what;
        std::string saved, now, expected;
    } rows[] = {
        {"the same", "SET$='a'\r\nWD=80", "SET$='a'\r\nWD=80", ""},
        {"empty lines pass", "SET$='a'\r\n\r\nWD=80\r\n", "\r\nSET$='a'\r\nWD=80", ""},
        {"a value changed", "SET$='ab'\r\nWD=80", "SET$='ax'\r\nWD=80",
         Entry(".......#.", "SET$='ab'", "SET$='ax'")},
        {"a longer value", "WD=8", "WD=80", Entry("....#", "WD=8", "WD=80")},
        {"added", "SET$='a'", "SET$='a'\r\nWD=80", Entry("#....", "", "WD=80")},
        {"removed before a kept one", "OPEN$='x'\r\nSET$='a'\r\nWD=80", "SET$='a'\r\nWD=80",
         Entry("#........", "OPEN$='x'", "")},
        {"removed and changed", "A=1\r\nB=2\r\nC=3", "C=4",
         Entry("#..", "A=1", "") + Entry("#..", "B=2", "") + Entry("..#", "C=3", "C=4")},
        {"removed at the end", "SET$='a'\r\nWD=80", "SET$='a'", Entry("#....", "WD=80", "")},
        {"no saved report", "", "SET$='a'\r\nWD=80",
         Entry("#.......", "", "SET$='a'") + Entry("#....", "", "WD=80")},
        {"a line without =", "(*) NOTA", "(*) NOTA2",
         Entry("#........", "", "(*) NOTA2") + Entry("#.......", "(*) NOTA", "")},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Shown(CompareScreenReports(r.saved, r.now)), Shown(r.expected)) << r.what;
    }
}

class ReadScreenItemsTest : public ReportsTest {};

TEST_F(ReadScreenItemsTest, TheScreensBlockItemByItem) {
    temp.Write("ALCLI.PPN", " 1 SET$='clientes'\r\n"
                            " 2 SET$='otros'\r\n"
                            " 1 WD=80:INDEX%=2\r\n"
                            " 1 TITLE$='Ficha: clientes'\r\n"
                            "10 SET$='diez'\r\n");
    const std::uint16_t linesBefore = SlotCount(slotgroup::kFileLines);
    std::vector<std::string> items = {"kept"};
    ASSERT_EQ(ReadScreenItems(TextView(temp.File("ALCLI.PPN")), 1, &items), status::kOk);
    EXPECT_EQ(items, (std::vector<std::string>{"kept", "SET$='clientes'", "WD=80", "INDEX%=2",
                                               "TITLE$='Ficha: clientes'"}));
    items.clear();
    ASSERT_EQ(ReadScreenItems(TextView(temp.File("ALCLI.PPN")), 10, &items), status::kOk);
    EXPECT_EQ(items, (std::vector<std::string>{"SET$='diez'"}));
    items.clear();
    ASSERT_EQ(ReadScreenItems(TextView(temp.File("ALCLI.PPN")), 3, &items), status::kOk);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), linesBefore) << "the lines' group is left empty";
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(ReadScreenItemsTest, AFileThatCannotBeReadNamesItself) {
    std::filesystem::create_directory(temp.File("FOLDER.PPN"));
    temp.Write("LONG.PPN", " 1 A='" + std::string(600, 'x') + "'\r\n");
    const struct {
        std::string file;
        StatusCode expected;
    } rows[] = {
        {"MISSING.PPN", status::kFileNotFound},
        {"FOLDER.PPN", status::kOpen},
        {"LONG.PPN", status::kRead},
    };
    for (const auto& r : rows) {
        std::vector<std::string> items = {"kept"};
        EXPECT_EQ(ReadScreenItems(TextView(temp.File(r.file)), 1, &items), r.expected) << r.file;
        EXPECT_EQ(items, std::vector<std::string>{"kept"}) << r.file;
        EXPECT_EQ(Str(ErrorDetail()), temp.File(r.file));
    }
    EXPECT_EQ(ScratchDepth(), 0);
}

} // namespace
} // namespace vodarir::testing
