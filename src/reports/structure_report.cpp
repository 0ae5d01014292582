// The file-structure report in its four layouts.
#include "reports/structure_report.h"

#include <algorithm>
#include <array>
#include <new>
#include <string_view>

#include "dictionary/dictionary.h"
#include "masks/formatting.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;
using namespace std::string_view_literals;

// ---- The texts of the layouts ---------------------------------------------------------------

constexpr std::string_view kCrLf = "\r\n";
// CR LF pairs after a DATABASE section and after a file of the text layout.
constexpr int kSectionGap = 5;

constexpr std::string_view kTextHeader = "\r\n                                Report ";
constexpr std::string_view kTextHeaderEnd = "\r\n\r\n";
constexpr std::string_view kTextDatabase = "                               DATABASE ";
constexpr std::string_view kTextTable = "                                  TABLA ";
constexpr std::string_view kTextColumns =
    "## DESCRIPTION       LENGTH   ## DESCRIPTION       LENGTH   ## DESCRIPTION       LENGTH\r\n"
    "==================  ========  ==================  ========  ==================  ========\r\n";

constexpr std::string_view kHtmlHeader =
    "<html>\r\n\r\n<head>\r\n<meta http-equiv=\"Content-Language\" content=\"es\">\r\n<meta "
    "http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n<title>Report ";
constexpr std::string_view kHtmlHeaderEnd =
    "</title>\r\n</head>\r\n\r\n<body topmargin=\"0\" leftmargin=\"0\">\r\n\r\n"
    "<table border=\"0\" cellpadding=\"5\" cellspacing=\"0\" style=\"border-collapse: collapse\" "
    "bordercolor=\"#111111\" width=\"680\">\r\n";
constexpr std::string_view kHtmlDatabase =
    "  <tr>\r\n    <td align=\"center\" width=\"100%\" colspan=\"8\" bgcolor=\"#9999FF\">\r\n"
    "\t<p>&nbsp;</p>\r\n\t<p><b>DATABASE ";
constexpr std::string_view kHtmlDatabaseEnd = "</b><br></p>\r\n    </td>\r\n";
constexpr std::string_view kHtmlBottomStart = "<tr>";
constexpr std::string_view kHtmlBottomCell = "<td height=\"100\">&nbsp;</td>";
constexpr int kHtmlBottomCells = 8;
constexpr std::string_view kHtmlBottomEnd = "</tr>";
constexpr std::string_view kHtmlTable =
    "  </tr>\r\n  <tr>\r\n    <td align=\"center\" width=\"100%\" colspan=\"8\" "
    "bgcolor=\"#9966FF\">    <p><br>\r\n    TABLA ";
constexpr std::string_view kHtmlTableEnd = "<br>\r\n&nbsp;</td>\r\n  </tr>\r\n  <tr>\r\n";
constexpr std::string_view kHtmlColumns =
    "<td bgcolor=\"#9999FF\"><b>## DESCRIPTION</b></td><td bgcolor=\"#9999FF\" "
    "align=\"right\"><b>LENGTH</b></td><td bgcolor=\"#9999FF\"></td><td "
    "bgcolor=\"#9999FF\"><b>## DESCRIPTION</b></td><td bgcolor=\"#9999FF\" "
    "align=\"right\"><b>LENGTH</b></td><td bgcolor=\"#9999FF\"></td><td "
    "bgcolor=\"#9999FF\"><b>## DESCRIPTION</b></td><td bgcolor=\"#9999FF\" "
    "align=\"right\"><b>LENGTH</b></td></tr>\r\n<tr>";
constexpr std::string_view kHtmlColumnGap = "    <td height=\"300\">&nbsp;</td>";
constexpr std::string_view kHtmlDescription = "    <td height=\"300\" valign=\"top\">";
constexpr std::string_view kHtmlDescriptionEnd = "</td>\r\n";
constexpr std::string_view kHtmlLength =
    "    <td height=\"300\" valign=\"top\">\r\n    <p align=\"right\">";
constexpr std::string_view kHtmlLengthEnd = "</td>\r\n";
constexpr std::string_view kHtmlValueBreak = "<br>";
constexpr std::string_view kHtmlRowEnd = "</tr>";

constexpr std::string_view kCompareTable = "\r\nTABLA ";

constexpr char kTransAssign = '=';
constexpr char kTransLengthEnd = ';';
constexpr std::string_view kTransFileRef = "{}";
constexpr char kTransSeparator = ',';

// ---- Cells --------------------------------------------------------------------------------------

// The field number's mask (two digits, a leading zero, a blank), the description cell's (19 text
// places) and the length cell's (five digit places between three blanks on each side).
constexpr TextRef kNumberMask = "00 "_t;
constexpr int kDescriptionWidth = 19;
constexpr auto kDescriptionMaskBytes = [] {
    std::array<char, kDescriptionWidth> places{};
    places.fill('\\');
    return places;
}();
constexpr TextRef kDescriptionMask(kDescriptionMaskBytes.data(), kDescriptionWidth);
constexpr TextRef kLengthMask = "   #####   "_t;
constexpr std::uint16_t kNumberRoom = 8;

// Whole decimal digits of n, on the ScratchStack.
TextRef Digits(std::uint16_t n) { return TextFormat(kNumberRoom, "%u", unsigned{n}); }

// "01 " for field 1. Numbers above 99 do not fit the mask's two places; they are shown whole
// (then a blank), so a file of that many fields still gets its report.
TextRef NumberText(std::uint16_t field) {
    ScratchScope scope;
    const TextRef digits = Digits(field);
    const TextRef masked = ApplyMask(kNumberMask, digits);
    if (masked.status() == status::kDataOutBound) return scope.Return(TextConcat(digits, " "_t));
    return scope.Return(masked);
}

struct FieldCells {
    std::string description; // masked (text layouts) or plain (HTML)
    std::string length;
};

// The cells of field k of file f. masked: cut and padded to their columns (text and compare
// layouts); otherwise the number and the name, and the length in plain digits (HTML).
StatusCode Cells(std::uint16_t f, std::uint16_t k, bool masked, FieldCells* cells) {
    ScratchScope scope;
    TextRef description = TextConcat(NumberText(k), FieldName(f, k));
    TextRef length = Digits(FieldLength(f, k));
    if (masked) {
        description = ApplyMask(kDescriptionMask, description);
        length = ApplyMask(kLengthMask, length);
    }
    if (description.failed()) return description.status();
    if (length.failed()) return length.status();
    cells->description.assign(description.view());
    cells->length.assign(length.view());
    return status::kOk;
}

// ---- The builder --------------------------------------------------------------------------------

// Builds one report into out, checking its size as it grows.
class Builder {
public:
    Builder(TextRef name, bool withTypes, std::string* out)
        : name_(name.view()), withTypes_(withTypes), out_(*out) {}

    StatusCode Text();
    StatusCode Html();
    StatusCode Trans();
    StatusCode Compare();

private:
    void Put(std::string_view s) { out_.append(s); }
    void PutEscaped(std::string_view s) { AppendHtmlEscaped(s, &out_); }
    void PutRepeated(std::string_view s, int times) {
        for (int i = 0; i < times; ++i) out_.append(s);
    }
    StatusCode Checked(StatusCode st) const {
        if (st == status::kOk && out_.size() > kMaxReportBytes) return status::kStringTooLong;
        return st;
    }
    StatusCode TextFile(std::uint16_t f);
    StatusCode HtmlFile(std::uint16_t f);
    StatusCode HtmlColumn(std::uint16_t f, int first, int last);

    std::string_view name_;
    bool withTypes_;
    std::string& out_;
};

StatusCode Builder::Text() {
    Put(kTextHeader);
    Put(name_);
    Put(kTextHeaderEnd);
    StatusCode st = status::kOk;
    for (std::uint16_t f = 1; f <= FileCount() && st == status::kOk; f += kFilesPerDatabase) {
        Put(kTextDatabase);
        Put(name_);
        Put(kTextHeaderEnd);
        for (std::uint16_t g = f; g < f + kFilesPerDatabase && g <= FileCount(); ++g) {
            st = TextFile(g);
            if (st != status::kOk) break;
        }
        PutRepeated(kCrLf, kSectionGap);
        st = Checked(st);
    }
    return st;
}

StatusCode Builder::TextFile(std::uint16_t f) {
    Put(kTextTable);
    Put(FileName(f).view());
    Put(kTextHeaderEnd);
    Put(kTextColumns);
    const int count = FieldCount(f);
    const int rows = ReportRows(count);
    FieldCells cells;
    for (int r = 1; r <= rows; ++r) {
        for (int c = 0; c < kReportColumns; ++c) {
            const int k = r + c * rows;
            if (k > count) continue; // a missing field leaves its cells empty
            const StatusCode st = Cells(f, static_cast<std::uint16_t>(k), true, &cells);
            if (st != status::kOk) return st;
            Put(cells.description);
            Put(cells.length);
        }
        Put(kCrLf);
    }
    PutRepeated(kCrLf, kSectionGap);
    return Checked(status::kOk);
}

StatusCode Builder::Html() {
    Put(kHtmlHeader);
    PutEscaped(name_);
    Put(kHtmlHeaderEnd);
    StatusCode st = status::kOk;
    for (std::uint16_t f = 1; f <= FileCount() && st == status::kOk; f += kFilesPerDatabase) {
        Put(kHtmlDatabase);
        PutEscaped(name_);
        Put(kHtmlDatabaseEnd);
        for (std::uint16_t g = f; g < f + kFilesPerDatabase && g <= FileCount(); ++g) {
            st = HtmlFile(g);
            if (st != status::kOk) break;
        }
        Put(kHtmlBottomStart);
        PutRepeated(kHtmlBottomCell, kHtmlBottomCells);
        Put(kHtmlBottomEnd);
        st = Checked(st);
    }
    return st;
}

StatusCode Builder::HtmlFile(std::uint16_t f) {
    Put(kHtmlTable);
    PutEscaped(FileName(f).view());
    Put(kHtmlTableEnd);
    Put(kHtmlColumns);
    const int count = FieldCount(f);
    const int rows = ReportRows(count);
    for (int c = 0; c < kReportColumns; ++c) {
        if (c > 0) Put(kHtmlColumnGap);
        const StatusCode st = HtmlColumn(f, c * rows + 1, std::min(count, (c + 1) * rows));
        if (st != status::kOk) return st;
    }
    Put(kHtmlRowEnd);
    return Checked(status::kOk);
}

// The description and length cells of one column: fields first..last, joined with <br>.
StatusCode Builder::HtmlColumn(std::uint16_t f, int first, int last) {
    std::string lengths;
    FieldCells cells;
    Put(kHtmlDescription);
    for (int k = first; k <= last; ++k) {
        const StatusCode st = Cells(f, static_cast<std::uint16_t>(k), false, &cells);
        if (st != status::kOk) return st;
        if (k > first) {
            Put(kHtmlValueBreak);
            lengths.append(kHtmlValueBreak);
        }
        PutEscaped(cells.description);
        lengths.append(cells.length);
    }
    Put(kHtmlDescriptionEnd);
    Put(kHtmlLength);
    Put(lengths);
    Put(kHtmlLengthEnd);
    return status::kOk;
}

// The field list goes in double quotes, or in apostrophes when it holds a double quote: how the
// expression language quotes a text value. One holding both cannot be quoted (163).
StatusCode Builder::Trans() {
    std::string list;
    for (std::uint16_t f = 1; f <= FileCount(); ++f) {
        list.clear();
        for (std::uint16_t k = 1; k <= FieldCount(f); ++k) {
            ScratchScope scope;
            if (k > 1) list += kTransSeparator;
            list.append(Digits(FieldLength(f, k)).view());
            list += kTransLengthEnd;
            list.append(FieldName(f, k).view());
            list.append(kTransFileRef);
        }
        const bool hasDouble = list.find('"') != std::string::npos;
        const char quote = hasDouble ? '\'' : '"';
        if (hasDouble && list.find('\'') != std::string::npos) return status::kData;
        Put(FileName(f).view());
        out_ += kTransAssign;
        out_ += quote;
        Put(list);
        out_ += quote;
        Put(kCrLf);
        const StatusCode st = Checked(status::kOk);
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

StatusCode Builder::Compare() {
    FieldCells cells;
    for (std::uint16_t f = 1; f <= FileCount(); ++f) {
        Put(kCompareTable);
        Put(FileName(f).view());
        Put(kCrLf);
        for (std::uint16_t k = 1; k <= FieldCount(f); ++k) {
            const StatusCode st = Cells(f, k, true, &cells);
            if (st != status::kOk) return st;
            Put(kCrLf);
            Put(cells.description);
            Put(cells.length);
            if (withTypes_) out_ += FieldType(f, k);
        }
        Put(kCrLf);
        const StatusCode st = Checked(status::kOk);
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

} // namespace

int ReportRows(int count) { return count / kReportColumns + (count % kReportColumns != 0 ? 1 : 0); }

void AppendHtmlEscaped(std::string_view text, std::string* out) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out->append("&amp;");
            break;
        case '<':
            out->append("&lt;");
            break;
        case '>':
            out->append("&gt;");
            break;
        case '"':
            out->append("&quot;");
            break;
        default:
            out->push_back(c);
        }
    }
}

StatusCode BuildStructureReport(StructureLayout layout, TextRef reportName, bool withTypes,
                                std::string* out) {
    if (reportName.failed()) return reportName.status();
    if (FileCount() == 0) return status::kFileOutBound;
    const std::size_t before = out->size();
    StatusCode st = status::kOk;
    try {
        Builder builder(reportName, withTypes, out);
        switch (layout) {
        case StructureLayout::Text:
            st = builder.Text();
            break;
        case StructureLayout::Html:
            st = builder.Html();
            break;
        case StructureLayout::Trans:
            st = builder.Trans();
            break;
        case StructureLayout::Compare:
            st = builder.Compare();
            break;
        }
    } catch (const std::bad_alloc&) {
        st = status::kOutOfMemory;
    }
    if (st != status::kOk) out->resize(before);
    return st;
}

} // namespace vodarir
