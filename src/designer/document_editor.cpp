// Documents and scripts: their files, edit 2500 and the Document Function Selector.
#include "designer/document_editor.h"

#include <algorithm>
#include <map>
#include <optional>

#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "designer/text_lines.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/choice_prompts.h"

namespace vodarir {

namespace {

using namespace literals;
using platform::WindowId;

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kBlanks = " \t";

platform::Ui& Ui() { return platform::CurrentUi(); }

// A number field: blanks read as nothing, anything not a number as 0.
int FieldValue(std::string_view line, std::size_t from, std::size_t width) {
    if (from >= line.size()) return 0;
    std::string_view field = line.substr(from, width);
    const std::size_t first = field.find_first_not_of(' ');
    if (first == std::string_view::npos) return 0;
    field = field.substr(first);
    int value = 0;
    for (const char c : field) {
        if (c == ' ') break;
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

unsigned char Convert(unsigned char c, bool toFile) {
    for (const DocumentMarker& m : kDocumentMarkers) {
        if (c == (toFile ? m.editor : m.file)) return toFile ? m.file : m.editor;
    }
    return c;
}

void ConvertMarkers(std::string& s, bool toFile) {
    for (char& c : s) c = static_cast<char>(Convert(static_cast<unsigned char>(c), toFile));
}

std::string Padded(int value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), ' ');
    return digits;
}

// Refuses a file the editor could not hold, with its size in the error detail.
StatusCode CheckLoadSize(TextRef path) {
    const std::int64_t size = FileLength(path);
    if (size <= static_cast<std::int64_t>(kMaxEditorText)) return status::kOk;
    ScratchScope scope;
    const TextRef detail = TextConcat(
        path, TextFormat(64, " (%lld > %zu bytes)", static_cast<long long>(size), kMaxEditorText));
    LogErrorText(status::kStringTooLong, detail, true);
    return NoteFirstError(1, step::kLoadFileStr, status::kStringTooLong, status::kStringTooLong);
}

// The editor's text, refused when it is longer than the editor may hold.
StatusCode TakeEditorText(WindowId dialog, std::string* text) {
    std::optional<std::string> shown = EditorText(dialog);
    if (!shown) return status::kData;
    if (shown->size() > kMaxEditorText) return status::kStringTooLong;
    *text = std::move(*shown);
    return status::kOk;
}

StatusCode WriteWhole(TextRef path, std::string_view bytes) {
    const TextRef text = TextFromString(bytes);
    return text.failed() ? text.status() : FileSave(path, kRewritePosition, text);
}

} // namespace

// ---- Document conversions -----------------------------------------------------------------------

StatusCode DocumentTextFromFile(std::string_view file, std::string* text) {
    std::string out;
    int rows = 1;             // rows of the text so far
    std::size_t rowStart = 0; // where the last row begins
    bool tooLong = false;
    for (const std::string_view line : FileLines(file)) {
        if (tooLong) break;
        const int row = FieldValue(line, 0, kDocumentRowWidth);
        const int column = FieldValue(line, kDocumentRowWidth, kDocumentColumnWidth);
        const std::size_t textAt = kDocumentRowWidth + kDocumentColumnWidth;
        const std::string_view rest = line.size() > textAt ? line.substr(textAt) : "";
        // A line placed before the current end goes at the end as it is.
        for (; rows < row && out.size() <= kMaxEditorText; ++rows) {
            out += kLineEnd;
            rowStart = out.size();
        }
        if (row == rows && column > 1) {
            const std::size_t want = static_cast<std::size_t>(column - 1);
            if (out.size() - rowStart < want) out.append(want - (out.size() - rowStart), ' ');
        }
        out += rest;
        tooLong = out.size() > kMaxEditorText;
    }
    if (tooLong) return status::kStringTooLong;
    ConvertMarkers(out, false);
    *text = std::move(out);
    return status::kOk;
}

StatusCode DocumentFileFromText(std::string_view text, std::string* file) {
    std::string converted(text);
    ConvertMarkers(converted, true);
    std::string out;
    int row = 0;
    StatusCode st = status::kOk;
    // Rows end as the editor ends them (CR LF), and as a pasted lone CR or LF would end a line
    // when the file is read back.
    std::size_t at = 0;
    while (at <= converted.size() && st == status::kOk) {
        std::size_t end = converted.find_first_of("\r\n", at);
        if (end == std::string::npos) end = converted.size();
        const std::string_view line = std::string_view(converted).substr(at, end - at);
        ++row;
        const std::size_t first = line.find_first_not_of(kBlanks);
        if (first != std::string_view::npos) {
            const std::size_t last = line.find_last_not_of(kBlanks);
            const int column = static_cast<int>(first) + 1;
            if (row > kMaxDocumentRow || column > kMaxDocumentColumn) {
                ScratchScope scope;
                LogErrorText(status::kDataOutBound,
                             TextFormat(64, "(%d, %d) > (%d, %d)", row, column, kMaxDocumentRow,
                                        kMaxDocumentColumn),
                             true);
                st = status::kDataOutBound;
                break;
            }
            out += Padded(row, kDocumentRowWidth);
            out += Padded(column, kDocumentColumnWidth);
            out += line.substr(first, last - first + 1);
            out += kLineEnd;
        }
        if (end == converted.size()) break;
        at = end +
             ((converted[end] == '\r' && end + 1 < converted.size() && converted[end + 1] == '\n')
                  ? 2
                  : 1);
    }
    if (st != status::kOk) return st;
    if (out.size() > kMaxEditorText) return status::kStringTooLong;
    *file = std::move(out);
    return status::kOk;
}

// ---- Lines a save would not keep
// -----------------------------------------------------------------

namespace {

constexpr char kLinesNotKeptNote[] =
    "1050 Saving this document will change or drop lines %s of its file (%s in all): their "
    "positions or characters cannot be written back as they are.";
constexpr char kLinesNotKeptQuestion[] =
    "1051 Saving will change or drop lines %s (%s in all) of the file this document was opened "
    "from. Save anyway?";
constexpr char kWarningCaption[] = "0012";
constexpr std::uint16_t kMaxNoteLength = 1024;
// How many line numbers a message lists before it says "...".
constexpr std::size_t kLinesListed = 5;

// A position field the loader reads as it stands: blanks, digits, blanks (or nothing).
bool ReadableField(std::string_view field) {
    std::size_t at = field.find_first_not_of(' ');
    if (at == std::string_view::npos) return true;
    while (at < field.size() && field[at] >= '0' && field[at] <= '9') ++at;
    return field.find_first_not_of(' ', at) == std::string_view::npos;
}

// The characters of a document file by row and column (both from 1; unset cells are blanks).
class CellGrid {
public:
    void place(int row, int column, std::string_view text) {
        std::string& cells = rows_[row];
        const std::size_t from = static_cast<std::size_t>(column - 1);
        if (cells.size() < from + text.size()) cells.resize(from + text.size(), ' ');
        cells.replace(from, text.size(), text);
    }
    char at(int row, int column) const {
        const auto found = rows_.find(row);
        const std::size_t i = static_cast<std::size_t>(column - 1);
        return found == rows_.end() || i >= found->second.size() ? ' ' : found->second[i];
    }

private:
    std::map<int, std::string> rows_;
};

struct LinePosition {
    int row = 0;
    int column = 1;
    std::string_view text;
};

// Where a line of a document file puts its text; nullopt when the loader cannot read the position
// as it stands (a field that is not a number, row 0, a line shorter than its position).
std::optional<LinePosition> PositionOf(std::string_view line) {
    const std::size_t textAt = kDocumentRowWidth + kDocumentColumnWidth;
    if (line.size() < textAt) return std::nullopt;
    const std::string_view rowField = line.substr(0, kDocumentRowWidth);
    const std::string_view columnField = line.substr(kDocumentRowWidth, kDocumentColumnWidth);
    if (!ReadableField(rowField) || !ReadableField(columnField)) return std::nullopt;
    LinePosition p;
    p.row = FieldValue(line, 0, kDocumentRowWidth);
    p.column = std::max(1, FieldValue(line, kDocumentRowWidth, kDocumentColumnWidth));
    p.text = line.substr(textAt);
    if (p.row < 1) return std::nullopt;
    return p;
}

// "3, 7, 12" or "3, 7, 12, 20, 31, ...", and how many in all.
TextRef ListedLines(const std::vector<std::size_t>& lines, TextRef* count) {
    std::string listed;
    for (std::size_t i = 0; i < lines.size() && i < kLinesListed; ++i) {
        if (i > 0) listed += ", ";
        listed += std::to_string(lines[i]);
    }
    if (lines.size() > kLinesListed) listed += ", ...";
    *count = TextFormat(24, "%zu", lines.size());
    return TextDup(TextView(listed));
}

TextRef LinesNotKeptText(const char* message) {
    const std::vector<std::size_t>& lines = Designer().documentLinesNotKept;
    TextRef count;
    const TextRef listed = ListedLines(lines, &count);
    return TextFill(kMaxNoteLength, MsgText(message), {listed, count});
}

} // namespace

std::vector<std::size_t> DocumentLinesNotKept(std::string_view file) {
    std::string text;
    std::string saved;
    if (DocumentTextFromFile(file, &text) != status::kOk) return {};
    if (DocumentFileFromText(text, &saved) != status::kOk) return {};
    CellGrid grid;
    for (const std::string_view line : FileLines(saved)) {
        const std::optional<LinePosition> p = PositionOf(line);
        if (p) grid.place(p->row, p->column, p->text);
    }
    std::vector<std::size_t> lost;
    std::size_t number = 0;
    for (const std::string_view line : FileLines(file)) {
        ++number;
        if (line.find_first_not_of(kBlanks) == std::string_view::npos) continue;
        const std::optional<LinePosition> p = PositionOf(line);
        bool kept = p.has_value();
        for (std::size_t k = 0; kept && k < p->text.size(); ++k) {
            const char c = p->text[k];
            // Blanks and tabs are what saving trims and counts as columns: only the rest moves.
            kept = kBlanks.find(c) != std::string_view::npos ||
                   grid.at(p->row, p->column + static_cast<int>(k)) == c;
        }
        if (!kept) lost.push_back(number);
    }
    return lost;
}

void NoteDocumentLinesNotKept() {
    if (Designer().documentLinesNotKept.empty()) return;
    ScratchScope scope;
    MsgBox(LinesNotKeptText(kLinesNotKeptNote), MsgText(kWarningCaption), BoxKind::Warning);
}

bool ConfirmDocumentLinesNotKept() {
    if (Designer().documentLinesNotKept.empty()) return true;
    ScratchScope scope;
    return AskYesNo(LinesNotKeptText(kLinesNotKeptQuestion));
}

// ---- Documents ----------------------------------------------------------------------------------

StatusCode LoadDocument(WindowId dialog, TextRef path) {
    ScratchScope scope;
    std::string text;
    std::vector<std::size_t> lost;
    StatusCode st = status::kOk;
    if (!PathOnDisk(path).failed()) { // a missing document is a new, empty one
        st = CheckLoadSize(path);
        const TextRef bytes = st == status::kOk ? FileReadAll(path, 0, kWholeFile) : TextRef();
        if (st == status::kOk) st = bytes.status();
        if (st == status::kOk) st = DocumentTextFromFile(bytes.view(), &text);
        if (st == status::kOk) lost = DocumentLinesNotKept(bytes.view());
    }
    if (st == status::kOk) {
        Ui().setText(dialog, designerctl::kEdit, text);
        Designer().documentLinesNotKept = std::move(lost);
    }
    return st;
}

StatusCode SaveDocument(WindowId dialog, TextRef basePath) {
    ScratchScope scope;
    StatusCode st = SetDesignerSlot(designerslot::kDocumentBase, basePath);
    std::string text;
    std::string file;
    if (st == status::kOk) st = TakeEditorText(dialog, &text);
    if (st == status::kOk) st = DocumentFileFromText(text, &file);
    if (st == status::kOk) {
        const TextRef base = TextDup(DesignerSlot(designerslot::kDocumentBase));
        st = WriteWhole(WithKindExtension(base, extension::kDocument), file);
    }
    return st;
}

void DocumentTextChanged(WindowId dialog) {
    const std::optional<platform::Selection> caret = Ui().editSelection(dialog, designerctl::kEdit);
    if (!caret || caret->start <= 0) return;
    std::optional<std::string> text = EditorText(dialog);
    const std::size_t at = static_cast<std::size_t>(caret->start) - 1;
    if (!text || at >= text->size() || static_cast<unsigned char>((*text)[at]) != kMaskDelimiter) {
        return;
    }
    std::uint16_t choice = 0;
    {
        ScratchScope scope;
        choice = ChooseItem(TextView(kFunctionSelectorTitle), TextView(kFunctionSelectorItems),
                            chooseflag::kOwnWindow);
    }
    constexpr std::uint16_t kChoices = std::size(kDocumentMarkers);
    if (choice == 0 || choice > kChoices) return; // cancelled: the bar stays
    (*text)[at] = static_cast<char>(kDocumentMarkers[choice - 1].editor);
    Ui().setText(dialog, designerctl::kEdit, *text);
    Ui().setEditSelection(dialog, designerctl::kEdit, caret->start, 0);
}

// ---- Scripts ------------------------------------------------------------------------------------

StatusCode LoadScript(WindowId dialog, TextRef path) {
    ScratchScope scope;
    StatusCode st = PathOnDisk(path).failed() ? status::kOk : CheckLoadSize(path);
    if (st == status::kOk) {
        const TextRef bytes = FileReadAll(path, 0, kWholeFile);
        st = bytes.status();
        if (st == status::kOk) Ui().setText(dialog, designerctl::kEdit, bytes.view());
    }
    return st;
}

StatusCode SaveScript(WindowId dialog, TextRef basePath) {
    ScratchScope scope;
    StatusCode st = SetDesignerSlot(designerslot::kScriptBase, basePath);
    std::string text;
    if (st == status::kOk) st = TakeEditorText(dialog, &text);
    if (st == status::kOk) {
        const TextRef base = TextDup(DesignerSlot(designerslot::kScriptBase));
        st = WriteWhole(WithKindExtension(base, extension::kScript), text);
    }
    return st;
}

} // namespace vodarir
