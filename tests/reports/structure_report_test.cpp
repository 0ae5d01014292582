// The file-structure report: the column split, whole reports far beyond a text's 64 KB, names
// escaped in the HTML layout only, the edges of the masks and of the trans quoting, and failures
// that leave the caller's text as it was.
#include <gtest/gtest.h>

#include <string>

#include "reports/structure_report.h"
#include "reports_fixture.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class StructureReportTest : public ReportsTest {
protected:
    static std::string Build(StructureLayout layout, bool withTypes = false,
                             const std::string& name = "/app/ALDICC") {
        std::string out;
        const StatusCode st = BuildStructureReport(layout, TextView(name), withTypes, &out);
        EXPECT_EQ(st, status::kOk);
        EXPECT_EQ(ScratchDepth(), 0);
        return out;
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + what.size())) {
            ++n;
        }
        return n;
    }
};

TEST(ReportRows, ThreeColumnsFilledColumnByColumn) {
    const struct {
        int fields, rows;
    } rows[] = {{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 2}, {6, 2}, {7, 3}, {60, 20}, {61, 21}};
    for (const auto& r : rows) EXPECT_EQ(ReportRows(r.fields), r.rows) << r.fields << " fields";
}

TEST_F(StructureReportTest, AFullDictionaryGivesItsWholeReportFarBeyondOneText) {
    for (int f = 1; f <= kMaxDictionaryFiles; ++f) {
        AddFileWith("file" + std::to_string(f), Numbered(60, "F" + std::to_string(f) + "X"));
    }
    ASSERT_EQ(FileCount(), kMaxDictionaryFiles);
    for (const StructureLayout layout :
         {StructureLayout::Text, StructureLayout::Html, StructureLayout::Compare}) {
        const std::string report = Build(layout);
        // Every field of every file is there, the last ones too.
        EXPECT_EQ(Count(report, "X60"), 30) << static_cast<int>(layout);
        EXPECT_EQ(Count(report, "F30X"), 60) << static_cast<int>(layout);
        EXPECT_EQ(Count(report, "TABLA file30"), 1);
    }
    EXPECT_GT(Build(StructureLayout::Html).size(), kMaxTextLength)
        << "the case is one a single text cannot hold";
    const std::string text = Build(StructureLayout::Text);
    EXPECT_EQ(Count(text, "DATABASE /app/ALDICC"), 15) << "two files under each heading";
    std::string gaps;
    for (int i = 0; i < 10; ++i) gaps += "\r\n";
    EXPECT_EQ(text.substr(text.size() - gaps.size()), gaps)
        << "the last file's gap and the section's gap close the report";
}

TEST_F(StructureReportTest, NamesAreEscapedInTheHtmlLayoutOnly) {
    AddFileWith("a<b&c", {{"X<Y>", 4, 'A'}, {"Q\"&R", 2, 'N'}});
    const std::string html = Build(StructureLayout::Html, false, "/app/<AL>&\"DICC\"");
    EXPECT_NE(html.find("<title>Report /app/&lt;AL&gt;&amp;&quot;DICC&quot;</title>"),
              std::string::npos);
    EXPECT_NE(html.find("<b>DATABASE /app/&lt;AL&gt;&amp;&quot;DICC&quot;</b>"), std::string::npos);
    EXPECT_NE(html.find("TABLA a&lt;b&amp;c<br>"), std::string::npos);
    EXPECT_NE(html.find(">01 X&lt;Y&gt;</td>"), std::string::npos);
    EXPECT_NE(html.find(">02 Q&quot;&amp;R</td>"), std::string::npos);
    EXPECT_EQ(html.find("X<Y"), std::string::npos) << "no markup of a name reaches the page";
    EXPECT_EQ(html.find("a<b"), std::string::npos);
    // The text layouts keep the names' bytes.
    const std::string text = Build(StructureLayout::Text);
    EXPECT_NE(text.find("TABLA a<b&c\r\n"), std::string::npos);
    EXPECT_NE(text.find("01 X<Y>"), std::string::npos);
    EXPECT_NE(Build(StructureLayout::Trans).find("a<b&c='4;X<Y>{},2;Q\"&R{}'\r\n"),
              std::string::npos)
        << "a list holding a double quote goes in apostrophes";
}

TEST_F(StructureReportTest, NoFileIsReportedAsSuchAndTheCallersTextStays) {
    std::string out = "kept";
    EXPECT_EQ(BuildStructureReport(StructureLayout::Text, "/app/ALDICC"_t, false, &out),
              status::kFileOutBound);
    EXPECT_EQ(out, "kept");
    // A list that no quote can enclose fails the trans layout whole: nothing of it is added.
    AddFileWith("ok", {{"A", 1, 'A'}});
    AddFileWith("bad", {{"A\"B", 1, 'A'}, {"C'D", 1, 'A'}});
    EXPECT_EQ(BuildStructureReport(StructureLayout::Trans, "/app/ALDICC"_t, false, &out),
              status::kData);
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(StructureReportTest, ACompareLineHoldsTheTypeOnlyWhenAsked) {
    AddFileWith("clientes", {{"CODIGO", 10, 'C'}, {"NOMBRE", 40, 'A'}});
    EXPECT_EQ(Build(StructureLayout::Compare),
              "\r\nTABLA clientes\r\n\r\n01 CODIGO                10   "
              "\r\n02 NOMBRE                40   \r\n");
    EXPECT_EQ(Build(StructureLayout::Compare, true),
              "\r\nTABLA clientes\r\n\r\n01 CODIGO                10   C"
              "\r\n02 NOMBRE                40   A\r\n");
}

TEST_F(StructureReportTest, LongNamesAreCutAndNumbersBeyondTwoDigitsShowWhole) {
    std::vector<FieldSpec> fields = Numbered(101);
    fields[0].name = "AVERYLONGFIELDNAMEINDEED";
    fields[0].length = 60000;
    AddFileWith("big", fields);
    const std::string compare = Build(StructureLayout::Compare);
    EXPECT_NE(compare.find("\r\n01 AVERYLONGFIELDNA   60000   \r\n"), std::string::npos);
    EXPECT_NE(compare.find("\r\n99 F99                   10   \r\n"), std::string::npos);
    EXPECT_NE(compare.find("\r\n100 F100                 10   \r\n"), std::string::npos);
    EXPECT_NE(compare.find("\r\n101 F101                 10   \r\n"), std::string::npos);
    EXPECT_NE(Build(StructureLayout::Html).find("<br>101 F101</td>"), std::string::npos);
}

TEST_F(StructureReportTest, AFileWithoutFieldsKeepsItsHeading) {
    AddFileWith("vacio", {});
    AddFileWith("otro", {{"A", 1, 'A'}});
    const std::string text = Build(StructureLayout::Text);
    EXPECT_NE(text.find("TABLA vacio\r\n\r\n## DESCRIPTION"), std::string::npos);
    EXPECT_NE(text.find("========\r\n\r\n\r\n\r\n\r\n\r\n                                  "
                        "TABLA otro"),
              std::string::npos)
        << "no row, then the file's gap";
    EXPECT_EQ(Build(StructureLayout::Trans), "vacio=\"\"\r\notro=\"1;A{}\"\r\n");
}

} // namespace
} // namespace vodarir::testing
