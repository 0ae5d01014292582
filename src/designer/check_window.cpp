#include "designer/check_window.h"

#include <algorithm>
#include <array>

#include "designer/app_selector.h"
#include "designer/designer_state.h"
#include "designer/dialog_geometry.h"
#include "designer/editor_dispatch.h"
#include "designer/screen_editor.h"
#include "designer/structure_editor.h"
#include "host/paths.h"
#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using platform::ControlId;
using platform::ControlKind;
using platform::WindowId;

constexpr char kTitle[] = "1100 Application check: %s";
constexpr char kColumnTitles[] = "1101 Severity,File,Place,Problem";
constexpr char kSeverityWords[] = "1102 error,warning";
constexpr char kSummaryCounts[] = "1103 %s errors and %s warnings in %s files read.";
constexpr char kSummaryClean[] = "1104 No problems: %s files read, %s screens.";
constexpr char kButtonWords[] = "1105 Open,Close";
constexpr std::uint16_t kMaxTitleText = 384;
constexpr std::uint16_t kMaxSummaryText = 256;

// The window's template, in dialog units.
constexpr int kTemplateWidth = 620;
constexpr int kTemplateHeight = 260;
constexpr int kMargin = 7;
constexpr int kListTop = 7;
constexpr int kListHeight = 206;
constexpr int kSummaryTop = 218;
constexpr int kSummaryHeight = 10;
constexpr int kButtonTop = 236;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
// The share of the list's width each column takes, in parts of kWidthParts.
constexpr std::array<int, kCheckColumns> kColumnParts = {7, 12, 14, 67};
constexpr int kWidthParts = 100;

platform::Ui& Ui() { return platform::CurrentUi(); }

// Item n (from 1) of a message's comma list.
std::string MessageItem(const char* code, std::uint16_t n) {
    ScratchScope scope;
    return std::string(ListItem(MsgText(code), ',', n).view());
}

std::string Number(std::uint32_t n) { return std::to_string(n); }

std::string Filled(std::uint16_t maximum, const char* code,
                   std::initializer_list<std::string> values) {
    ScratchScope scope;
    std::vector<TextRef> refs;
    for (const std::string& v : values) refs.push_back(TextFromString(v));
    TextRef text;
    switch (refs.size()) {
    case 1:
        text = TextFill(maximum, MsgText(code), {refs[0]});
        break;
    case 2:
        text = TextFill(maximum, MsgText(code), {refs[0], refs[1]});
        break;
    default:
        text = TextFill(maximum, MsgText(code), {refs[0], refs[1], refs[2]});
        break;
    }
    return text.failed() ? std::string() : std::string(text.view());
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool HasExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           Upper(name.substr(name.size() - extension.size())) == extension;
}

class CheckWindow final : public platform::WindowEvents {
public:
    explicit CheckWindow(const CheckReport& report) : report_(report) {}

    bool open(WindowId owner, std::string_view folder);
    int run() { return Ui().runModal(window_); }
    void close() {
        if (Ui().windowExists(window_)) Ui().destroyWindow(window_);
    }
    int chosen() const { return chosen_; }

    void onCommand(ControlId id, int notification) override {
        if (notification != platform::notify::BnClicked) return;
        if (id == platform::kIdOk) {
            choose(Ui().listSelection(window_, checkctl::kList));
        } else if (id == platform::kIdCancel) {
            Ui().endModal(window_, platform::kIdCancel);
        }
    }
    void onListNotify(ControlId id, int code, int row) override {
        if (id == checkctl::kList && code == platform::notify::NmDblClk) choose(row);
    }

private:
    void choose(int row) {
        if (row < 0 || row >= static_cast<int>(report_.problems.size())) return;
        chosen_ = row;
        Ui().endModal(window_, platform::kIdOk);
    }
    bool add(ControlKind kind, ControlId id, platform::Rect units, std::string_view text,
             platform::ControlStyle style) {
        return AddDialogControl(window_, kind, id, units, text, style);
    }

    const CheckReport& report_;
    WindowId window_ = platform::kNoWindow;
    int chosen_ = -1;
};

bool CheckWindow::open(WindowId owner, std::string_view folder) {
    constexpr platform::WindowStyle kStyle =
        platform::kWinCaption | platform::kWinSystemMenu | platform::kWinDialogKeys;
    const std::string title = Filled(kMaxTitleText, kTitle, {std::string(folder)});
    platform::WindowSpec spec;
    spec.owner = owner;
    spec.name = kCheckWindowName;
    spec.title = title;
    spec.style = kStyle;
    spec.frame = CentredFrame(DialogUnits(kTemplateWidth, kTemplateHeight), kStyle, false, owner);
    window_ = Ui().createWindow(spec, this);
    if (window_ == platform::kNoWindow) return false;
    const int listWidth = kTemplateWidth - 2 * kMargin;
    bool ok =
        add(ControlKind::ListView, checkctl::kList, {kMargin, kListTop, listWidth, kListHeight}, "",
            platform::kTabStop | platform::kBorder);
    ok = ok && add(ControlKind::StaticText, checkctl::kSummary,
                   {kMargin, kSummaryTop, listWidth, kSummaryHeight}, CheckSummary(report_), 0);
    const int closeX = kTemplateWidth - kMargin - kButtonWidth;
    const int openX = closeX - kButtonGap - kButtonWidth;
    ok = ok && add(ControlKind::DefaultButton, platform::kIdOk,
                   {openX, kButtonTop, kButtonWidth, kButtonHeight}, MessageItem(kButtonWords, 1),
                   platform::kTabStop);
    ok = ok && add(ControlKind::Button, platform::kIdCancel,
                   {closeX, kButtonTop, kButtonWidth, kButtonHeight}, MessageItem(kButtonWords, 2),
                   platform::kTabStop);
    if (!ok) return false;
    const int width = DialogUnits(listWidth, kListHeight).width;
    std::vector<platform::ListColumn> columns;
    for (int c = 0; c < kCheckColumns; ++c) {
        columns.push_back({MessageItem(kColumnTitles, static_cast<std::uint16_t>(c + 1)),
                           width * kColumnParts[static_cast<std::size_t>(c)] / kWidthParts,
                           platform::Align::Left});
    }
    ok = Ui().setListColumns(window_, checkctl::kList, columns);
    const std::vector<CheckRow> rows = CheckRows(report_);
    for (std::size_t r = 0; r < rows.size() && ok; ++r) {
        const int row = static_cast<int>(r);
        ok = Ui().insertListRow(window_, checkctl::kList, row);
        for (int c = 0; c < kCheckColumns && ok; ++c) {
            ok = Ui().setListCell(window_, checkctl::kList, row, c,
                                  rows[r].cells[static_cast<std::size_t>(c)]);
        }
    }
    if (!rows.empty()) Ui().selectListRow(window_, checkctl::kList, 0);
    Ui().setFocus(window_, checkctl::kList);
    return ok;
}

} // namespace

std::vector<CheckRow> CheckRows(const CheckReport& report) {
    const std::string error = MessageItem(kSeverityWords, 1);
    const std::string warning = MessageItem(kSeverityWords, 2);
    std::vector<CheckRow> rows;
    rows.reserve(report.problems.size());
    for (const CheckProblem& p : report.problems) {
        rows.push_back(CheckRow{{p.severity == Severity::Error ? error : warning, p.file,
                                 PlaceText(p.place), p.sentence}});
    }
    return rows;
}

std::string CheckSummary(const CheckReport& report) {
    if (report.errors == 0 && report.warnings == 0) {
        return Filled(kMaxSummaryText, kSummaryClean,
                      {Number(report.filesRead), Number(report.screens)});
    }
    return Filled(kMaxSummaryText, kSummaryCounts,
                  {Number(report.errors), Number(report.warnings), Number(report.filesRead)});
}

OpenPlan PlanProblemOpen(const CheckProblem& problem) {
    OpenPlan plan;
    const std::string& file = problem.file;
    const CheckPlace& place = problem.place;
    if (HasExtension(file, ".DAT")) {
        // Relations live in REL.DAT, but the structure editor opens the dictionary by its DICC.DAT.
        plan.kind = OpenKind::Structure;
        plan.file = file.substr(0, std::min<std::size_t>(file.size(), 2)) + "DICC.DAT";
        if (place.kind == PlaceKind::DictionaryFile || place.kind == PlaceKind::DictionaryField ||
            place.kind == PlaceKind::DictionaryIndex) {
            plan.number = place.number;
        }
        if (place.kind == PlaceKind::DictionaryField) plan.item = place.item;
    } else if (HasExtension(file, ".PAN") || HasExtension(file, ".PPN")) {
        plan.kind = OpenKind::Screen;
        const bool lower = file.back() >= 'a' && file.back() <= 'z';
        plan.file = file.substr(0, file.size() - 4) + (lower ? ".pan" : ".PAN");
        if (place.kind != PlaceKind::File) plan.number = place.number;
        if (place.kind == PlaceKind::ScreenField) plan.item = place.item;
        if (place.kind == PlaceKind::ScreenRow) plan.row = place.item;
    } else if (HasExtension(file, ".PDC")) {
        plan.kind = OpenKind::Document;
        plan.file = file;
        if (place.kind == PlaceKind::DocumentRow) plan.number = place.number;
    } else if (HasExtension(file, ".PRX")) {
        plan.kind = OpenKind::Script;
        plan.file = file;
        if (place.kind == PlaceKind::Line) plan.number = place.number;
    } else if (HasExtension(file, ".ZAA")) {
        plan.kind = OpenKind::SelectionList;
        plan.file = file;
    }
    return plan;
}

std::size_t LineStart(std::string_view text, std::uint16_t line) {
    std::size_t at = 0;
    for (std::uint16_t n = 1; n < line; ++n) {
        const std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) return text.size();
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return at;
}

std::optional<std::size_t> RunCheckWindow(WindowId owner, std::string_view folder,
                                          const CheckReport& report) {
    CheckWindow window(report);
    const bool opened = window.open(owner, folder);
    const int result = opened ? window.run() : platform::kModalAbandoned;
    window.close();
    if (result != platform::kIdOk || window.chosen() < 0) return std::nullopt;
    return static_cast<std::size_t>(window.chosen());
}

bool OpenAtPlace(WindowId dialog, const std::string& folder, const OpenPlan& plan) {
    if (plan.kind == OpenKind::Nothing) return false;
    const std::string path = folder.empty() ? plan.file : folder + "/" + plan.file;
    if (plan.kind == OpenKind::SelectionList) {
        {
            ScratchScope scope;
            SetDesignerSlot(designerslot::kAppListBase, BasePath(TextFromString(path)));
        }
        AppSelectView(dialog);
        return true;
    }
    EditorKind kind = EditorKind::Script;
    if (plan.kind == OpenKind::Structure) kind = EditorKind::FileStructure;
    if (plan.kind == OpenKind::Screen) kind = EditorKind::Screen;
    if (plan.kind == OpenKind::Document) kind = EditorKind::Document;
    StatusCode st = status::kOk;
    {
        ScratchScope scope;
        st = OpenEditor(dialog, kind, KindRow(kind)->openSteps, TextFromString(path));
    }
    if (st != status::kOk || Designer().currentKind != kind) return false;
    switch (plan.kind) {
    case OpenKind::Structure:
        return plan.number == 0 || ShowStructurePlace(dialog, plan.number, plan.item);
    case OpenKind::Screen:
        return plan.number == 0 || ShowScreenPlace(dialog, plan.number, plan.item, plan.row);
    default: {
        const std::optional<std::string> text = EditorText(dialog);
        if (!text) return false;
        const auto start =
            static_cast<int>(LineStart(*text, std::max<std::uint16_t>(plan.number, 1)));
        Ui().setFocus(dialog, designerctl::kEdit);
        Ui().setEditSelection(dialog, designerctl::kEdit, start, 0);
        return true;
    }
    }
}

void CheckApplicationCommand(WindowId dialog) {
    std::string folder;
    {
        ScratchScope scope;
        folder = std::string(CurrentFolder().view());
    }
    const CheckReport report = CheckApplication(folder);
    const std::optional<std::size_t> chosen = RunCheckWindow(dialog, folder, report);
    if (chosen) OpenAtPlace(dialog, folder, PlanProblemOpen(report.problems[*chosen]));
}

} // namespace vodarir
