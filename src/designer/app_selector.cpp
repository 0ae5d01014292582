// The application folder, the selection-list model and its writer, the AppSelect dialog and the
// AppSelection commands.
#include "designer/app_selector.h"

#include <array>

#include "designer/designer_state.h"
#include "designer/dialog_geometry.h"
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

namespace vodarir {

namespace {

using namespace literals;
using platform::ControlId;
using platform::ControlKind;
using platform::WindowId;

constexpr SlotIndex kDefinitionsSlot = 5;
constexpr SlotIndex kHelpSlot = 7;
constexpr TextRef kAppsFolder = "..\\APPS"_t;
constexpr char kCaption[] = "1010 AppSelect (%s)";
constexpr char kNewName[] = "1006 New";
constexpr std::uint16_t kMaxCaptionLength = 384;
constexpr std::uint16_t kMaxMessageLength = 1024;
constexpr char kFieldWouldSplit[] =
    "1053 In column %s on line %s a comma (or a quote) would split the text into other fields "
    "when the list is read again. Remove it and press OK.";
constexpr char kFieldWouldBreakLine[] =
    "1057 In column %s on line %s a line break would cut the line in two when the list is read "
    "again. Remove it and press OK.";
constexpr char kWarningCaption[] = "0012";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::uint16_t kFieldsPerLine = 4;

platform::Ui& Ui() { return platform::CurrentUi(); }

// ---- Columns --------------------------------------------------------------------------------

// The items of a column: its lines, split at CR LF (as the column becomes a comma list, a lone
// line break never splits an item either).
std::vector<std::string_view> ColumnItems(std::string_view column) {
    std::vector<std::string_view> items;
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = column.find(kLineEnd, at);
        items.push_back(column.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) break;
        at = end + kLineEnd.size();
    }
    return items;
}

std::string_view ItemAt(const std::vector<std::string_view>& items, std::size_t i) {
    return i < items.size() ? items[i] : std::string_view();
}

// ---- Writing the list ---------------------------------------------------------------------------

using Fields = std::array<std::string_view, kFieldsPerLine>;

// A line the list was read from: its four fields as the runtime's list reader splits them, and
// what follows the fourth (from its comma on).
struct LoadedLine {
    std::string_view text;
    Fields fields;
    std::string_view beyond;
    bool used = false;
};

std::vector<LoadedLine> SplitLoaded(const std::vector<std::string>& loaded) {
    std::vector<LoadedLine> out;
    for (const std::string& line : loaded) {
        LoadedLine l;
        l.text = line;
        const TextRef text = TextFromString(line);
        for (std::uint16_t k = 1; k <= kFieldsPerLine; ++k) {
            l.fields[k - 1] = ListItem(text, ',', k).view();
        }
        if (ListCount(text, ',') > kFieldsPerLine) {
            const TextRef fifth = ListItem(text, ',', kFieldsPerLine + 1);
            l.beyond =
                std::string_view(line).substr(static_cast<std::size_t>(fifth.data - text.data) - 1);
        }
        out.push_back(l);
    }
    return out;
}

// A line about to be written: its text, whether it was made from the row's fields (not a loaded
// line given back), the row it comes from (from 0) and the fields it must read back as.
struct PlannedLine {
    std::string text;
    bool built = false;
    std::size_t row = 0;
    Fields fields;
};

std::string BuildLine(const Fields& f, std::string_view beyond) {
    std::string line(f[0]);
    line += ',';
    line += f[1];
    if (!f[2].empty() || !f[3].empty() || !beyond.empty()) {
        line += ',';
        line += f[2];
        line += ',';
        line += f[3];
    }
    line += beyond;
    return line;
}

// The lines of the list, in row order. A row that is still a loaded line (any one not yet given
// back) is that line, as it was; any other row with an identifier is built from its fields, with
// the fields beyond the fourth of the loaded line of that identifier; a row without one is dropped.
std::vector<PlannedLine> PlanAppList(const AppSelection& value,
                                     const std::vector<std::string>& loaded) {
    const std::vector<std::string_view> ids = ColumnItems(value.ids);
    const std::vector<std::string_view> names = ColumnItems(value.names);
    const std::vector<std::string_view> menus = ColumnItems(value.menus);
    const std::vector<std::string_view> folders = ColumnItems(value.folders);
    std::vector<LoadedLine> lines = SplitLoaded(loaded);
    std::vector<std::optional<PlannedLine>> rows(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const Fields f = {ids[i], ItemAt(names, i), ItemAt(menus, i), ItemAt(folders, i)};
        for (LoadedLine& l : lines) {
            if (l.used || l.fields != f) continue;
            l.used = true;
            rows[i] = PlannedLine{std::string(l.text), false, i, f};
            break;
        }
    }
    std::vector<PlannedLine> out;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (!rows[i] && !ids[i].empty()) { // an application without an identifier is dropped
            const Fields f = {ids[i], ItemAt(names, i), ItemAt(menus, i), ItemAt(folders, i)};
            std::string_view beyond;
            for (LoadedLine& l : lines) {
                if (l.used || l.fields[0] != ids[i] || l.beyond.empty()) continue;
                l.used = true;
                beyond = l.beyond;
                break;
            }
            rows[i] = PlannedLine{BuildLine(f, beyond), true, i, f};
        }
        if (rows[i]) out.push_back(std::move(*rows[i]));
    }
    return out;
}

// ---- The dialog window --------------------------------------------------------------------------

// Template 140, in dialog units.
constexpr int kTemplateWidth = 450;
constexpr int kTemplateHeight = 142;
constexpr int kMargin = 7;
constexpr int kColumnGap = 4;
constexpr int kLabelTop = 6;
constexpr int kLabelHeight = 9;
constexpr int kEditTop = 16;
constexpr int kEditHeight = 100;
constexpr int kButtonTop = 122;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 6;

struct ColumnControl {
    ControlId id;
    const char* label;
    std::string AppSelection::*field;
};
constexpr std::array<ColumnControl, kFieldsPerLine> kColumns = {{
    {appselectctl::kIds, "App ID", &AppSelection::ids},
    {appselectctl::kNames, "App Denomination", &AppSelection::names},
    {appselectctl::kMenus, "Menu File", &AppSelection::menus},
    {appselectctl::kFolders, "Data Folder", &AppSelection::folders},
}};

class AppSelectWindow final : public platform::WindowEvents {
public:
    AppSelectWindow(AppSelection value, const std::vector<std::string>& loaded)
        : value_(std::move(value)), loaded_(loaded) {}

    bool open(WindowId owner, std::string_view caption);
    int run() { return Ui().runModal(window_); }
    void close() {
        if (Ui().windowExists(window_)) Ui().destroyWindow(window_);
    }
    const AppSelection& value() const { return value_; }

    void onCommand(ControlId id, int notification) override {
        if (notification != platform::notify::BnClicked) return;
        if (id == platform::kIdOk) {
            for (const ColumnControl& c : kColumns) {
                value_.*(c.field) = Ui().text(window_, c.id).value_or(std::string());
            }
            if (const std::optional<AppListProblem> problem = FindAppListProblem(value_, loaded_)) {
                refuse(*problem);
                return;
            }
            Ui().endModal(window_, platform::kIdOk);
        } else if (id == platform::kIdCancel) {
            Ui().endModal(window_, platform::kIdCancel);
        }
    }

private:
    bool add(ControlKind kind, ControlId id, platform::Rect units, std::string_view text,
             platform::ControlStyle style) {
        return AddDialogControl(window_, kind, id, units, text, style);
    }

    // A field that would not read back: said, with the column and the line, and the dialog stays
    // open on that column so the user can mend it.
    void refuse(const AppListProblem& problem) {
        {
            ScratchScope scope;
            const TextRef line = TextFormat(24, "%zu", problem.line);
            const char* const message = problem.fault == AppListFault::kSplitsLine
                                            ? kFieldWouldBreakLine
                                            : kFieldWouldSplit;
            MsgBox(TextFill(kMaxMessageLength, MsgText(message),
                            {TextView(AppColumnLabel(problem.column)), line}),
                   MsgText(kWarningCaption), BoxKind::Warning);
        }
        Ui().setFocus(window_, kColumns[static_cast<std::size_t>(problem.column)].id);
    }

    AppSelection value_;
    const std::vector<std::string>& loaded_;
    WindowId window_ = platform::kNoWindow;
};

bool AppSelectWindow::open(WindowId owner, std::string_view caption) {
    constexpr platform::WindowStyle kStyle =
        platform::kWinCaption | platform::kWinSystemMenu | platform::kWinDialogKeys;
    platform::WindowSpec spec;
    spec.owner = owner;
    spec.name = kAppSelectWindowName;
    spec.title = caption;
    spec.style = kStyle;
    spec.frame = CentredFrame(DialogUnits(kTemplateWidth, kTemplateHeight), kStyle, false, owner);
    window_ = Ui().createWindow(spec, this);
    if (window_ == platform::kNoWindow) return false;
    constexpr int kColumnWidth =
        (kTemplateWidth - 2 * kMargin - (kFieldsPerLine - 1) * kColumnGap) / kFieldsPerLine;
    bool ok = true;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const int x = kMargin + static_cast<int>(i) * (kColumnWidth + kColumnGap);
        ok = ok && add(ControlKind::StaticText, platform::kAnonymousControl,
                       {x, kLabelTop, kColumnWidth, kLabelHeight}, kColumns[i].label, 0);
    }
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const int x = kMargin + static_cast<int>(i) * (kColumnWidth + kColumnGap);
        ok = ok && add(ControlKind::Edit, kColumns[i].id, {x, kEditTop, kColumnWidth, kEditHeight},
                       value_.*(kColumns[i].field),
                       platform::kTabStop | platform::kBorder | platform::kMultiLine |
                           platform::kWantReturn | platform::kScrollBars);
    }
    const int cancelX = kTemplateWidth - kMargin - kButtonWidth;
    const int okX = cancelX - kButtonGap - kButtonWidth;
    ok = ok && add(ControlKind::DefaultButton, platform::kIdOk,
                   {okX, kButtonTop, kButtonWidth, kButtonHeight}, "OK", platform::kTabStop);
    ok =
        ok && add(ControlKind::Button, platform::kIdCancel,
                  {cancelX, kButtonTop, kButtonWidth, kButtonHeight}, "Cancel", platform::kTabStop);
    if (ok) Ui().setFocus(window_, appselectctl::kIds);
    return ok;
}

// ---- The commands ---------------------------------------------------------------------------

// Where OK writes: the list named in slot 9, or a name asked now and used for this write only.
TextRef TargetPath(WindowId dialog) {
    const TextRef base = DesignerSlot(designerslot::kAppListBase);
    if (!base.empty()) return WithKindExtension(TextDup(base), extension::kAppList);
    return ChooseDefinitionFile(dialog, true, dialogtype::kAppList);
}

void WriteList(WindowId dialog, const AppSelection& value, const std::vector<std::string>& loaded) {
    ScratchScope scope;
    const TextRef target = TargetPath(dialog);
    if (!target.empty() && !RefuseReadOnly(target)) {
        const std::string file = AppListFromSelection(value, loaded);
        // The list being replaced is kept in the backups folder first, as every definition is.
        const StatusCode backup = BackupFile(target);
        if (backup != status::kOk) {
            ShowWarning(backup);
        } else {
            const TextRef text = TextFromString(file);
            const StatusCode st =
                text.failed() ? text.status() : FileSave(target, kRewritePosition, text);
            if (st != status::kOk) StatusReport(st);
        }
    }
}

// A list that could not be opened shows nothing and says nothing; one that opened and then failed
// to be read is a fault of the disk, said, so a list is never taken for empty or whole when it was
// cut short.
void ReportFailedRead(StatusCode st) {
    if (st == status::kRead) StatusReport(st);
}

void ShowSelector(WindowId dialog, const std::vector<std::string>& lines) {
    std::optional<AppSelection> edited;
    {
        ScratchScope scope;
        const TextRef caption = AppSelectCaption();
        edited = RunAppSelect(dialog, AppSelectionFromLines(lines),
                              caption.failed() ? std::string_view() : caption.view(), lines);
    }
    if (edited) WriteList(dialog, *edited, lines);
}

} // namespace

// ---- The application folder ---------------------------------------------------------------------

TextRef ChooseFolder(WindowId owner, TextRef start) {
    const std::string chosen = Ui().chooseFolder(owner, kChooseFolderTitle, start.view());
    if (chosen.size() > kMaxTextLength) return TextRef();
    return TextDup(TextView(chosen));
}

TextRef RememberedFolder() {
    ScratchScope scope;
    // No config.txt is the first start, not a failure to keep in the error trail.
    const TextRef config = TextView(kConfigFileName);
    const TextRef remembered =
        PathOnDisk(config).failed() ? TextRef() : FileReadAll(config, 0, kWholeFile);
    // Only the line ends an editor may have added are not part of the folder.
    const TextRef folder =
        remembered.failed() ? TextRef() : TextTrim(remembered, TrimSides::Trailing, "\r\n"_t);
    return scope.Return(folder.failed() ? TextRef() : folder);
}

StatusCode RememberFolder(TextRef folder) {
    if (folder.failed()) return folder.status();
    return FileSave(TextView(kConfigFileName), kRewritePosition, folder);
}

StatusCode SetupAppFolders(int mode) {
    const int base = mode & foldermode::kBaseMask;
    if (base != foldermode::kProgramFolder && base != foldermode::kAppsFolder) {
        return status::kData;
    }
    const bool replace = base == foldermode::kAppsFolder;
    ScratchScope scope;
    StatusCode st = status::kOk;
    if (replace || SlotGet(slotgroup::kEnvironment, kDefinitionsSlot).empty()) {
        const TextRef folder = replace ? PathResolve(CurrentFolder(), kAppsFolder) : RunPath(2);
        st = folder.failed() ? folder.status()
                             : SlotSet(slotgroup::kEnvironment, kDefinitionsSlot, folder);
    }
    if (st == status::kOk && (replace || SlotGet(slotgroup::kEnvironment, kHelpSlot).empty())) {
        const TextRef help = AppFolder(AppFolderKind::Help);
        st = help.failed() ? help.status() : SlotSet(slotgroup::kEnvironment, kHelpSlot, help);
    }
    if (st == status::kOk && (mode & foldermode::kCreateBackups) != 0) {
        const TextRef backups = AppFolder(AppFolderKind::Backup);
        st = MakeFolders(backups);
        // The box names the folder that could not be made, not whatever failed before it.
        if (st != status::kOk) {
            LogErrorText(st, PathAbsolute(backups), false);
            NoteFirstError(1, step::kFileSystem, st, st);
        }
    }
    return st;
}

// ---- The selection list -----------------------------------------------------------------------

AppSelection AppSelectionFromLines(const std::vector<std::string>& lines) {
    AppSelection value;
    bool first = true;
    for (const std::string& line : lines) {
        const TextRef text = TextFromString(line);
        for (std::uint16_t field = 1; field <= kFieldsPerLine; ++field) {
            std::string& column = value.*(kColumns[field - 1].field);
            if (!first) column += kLineEnd;
            column += ListItem(text, ',', field).view();
        }
        first = false;
    }
    return value;
}

std::string AppListFromSelection(const AppSelection& value,
                                 const std::vector<std::string>& loaded) {
    std::string file;
    for (const PlannedLine& planned : PlanAppList(value, loaded)) {
        file += planned.text;
        file += kLineEnd;
    }
    return file;
}

std::optional<AppListProblem> FindAppListProblem(const AppSelection& value,
                                                 const std::vector<std::string>& loaded) {
    for (const PlannedLine& planned : PlanAppList(value, loaded)) {
        if (!planned.built) continue; // a loaded line goes back as it came
        const TextRef line = TextFromString(planned.text);
        for (std::uint16_t k = 1; k <= kFieldsPerLine; ++k) {
            // The list is read a line at a time: a break inside a field ends its line there.
            if (planned.fields[k - 1].find_first_of("\r\n") != std::string_view::npos) {
                return AppListProblem{k - 1, planned.row + 1, AppListFault::kSplitsLine};
            }
            if (ListItem(line, ',', k).view() != planned.fields[k - 1]) {
                return AppListProblem{k - 1, planned.row + 1};
            }
        }
    }
    return std::nullopt;
}

std::string_view AppColumnLabel(int column) {
    return column >= 0 && column < static_cast<int>(kColumns.size()) ? kColumns[column].label
                                                                     : std::string_view();
}

std::optional<std::vector<std::string>> ReadAppList(TextRef path, StatusCode* status) {
    ScratchScope scope;
    const TextRef bytes = FileReadAll(path, 0, kWholeFile);
    if (status != nullptr) *status = bytes.failed() ? bytes.status() : status::kOk;
    if (bytes.failed()) return std::nullopt;
    std::vector<std::string> lines;
    for (const std::string_view line : FileLines(bytes.view())) lines.emplace_back(line);
    return lines;
}

std::optional<AppSelection> RunAppSelect(WindowId owner, const AppSelection& value,
                                         std::string_view caption,
                                         const std::vector<std::string>& loaded) {
    AppSelectWindow window(value, loaded);
    const bool opened = window.open(owner, caption);
    const int result = opened ? window.run() : platform::kModalAbandoned;
    window.close();
    if (result != platform::kIdOk) return std::nullopt;
    return window.value();
}

// ---- The commands ---------------------------------------------------------------------------

TextRef AppSelectCaption() {
    ScratchScope scope;
    const TextRef base = DesignerSlot(designerslot::kAppListBase);
    const TextRef shown = base.empty() ? MsgText(kNewName) : TextDup(base);
    return scope.Return(TextFill(kMaxCaptionLength, MsgText(kCaption), {shown}));
}

void AppSelectView(WindowId dialog) {
    std::vector<std::string> lines;
    bool readable = true;
    StatusCode st = status::kOk;
    {
        ScratchScope scope;
        const TextRef base = TextDup(DesignerSlot(designerslot::kAppListBase));
        if (!base.empty()) {
            std::optional<std::vector<std::string>> read =
                ReadAppList(WithKindExtension(base, extension::kAppList), &st);
            readable = read.has_value();
            if (read) lines = std::move(*read);
        }
    }
    if (readable) ShowSelector(dialog, lines);
    ReportFailedRead(st);
}

void AppSelectNew(WindowId dialog) {
    SetDesignerSlot(designerslot::kAppListBase, TextRef());
    ShowSelector(dialog, {});
}

void AppSelectOpen(WindowId dialog) {
    std::optional<std::vector<std::string>> lines;
    StatusCode st = status::kOk;
    {
        ScratchScope scope;
        const TextRef chosen = ChooseDefinitionFile(dialog, false, dialogtype::kAppList);
        if (chosen.empty()) return;
        SetDesignerSlot(designerslot::kAppListBase, BasePath(chosen));
        lines = ReadAppList(chosen, &st);
    }
    if (lines) ShowSelector(dialog, *lines);
    ReportFailedRead(st);
}

} // namespace vodarir
