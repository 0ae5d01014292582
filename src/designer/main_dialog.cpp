// The main designer dialog: its window, menu, initialisation, message map and close check.
#include "designer/main_dialog.h"

#include <array>

#include "designer/app_selector.h"
#include "designer/check_window.h"
#include "designer/designer_state.h"
#include "designer/dialog_geometry.h"
#include "designer/document_editor.h"
#include "designer/editor_dispatch.h"
#include "designer/main_menu.h"
#include "designer/screen_editor.h"
#include "designer/structure_editor.h"
#include "dictionary/dictionary.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/about_box.h"
#include "runtime/ui/help.h"
#include "screens/list_views.h"

namespace vodarir {

namespace {

using namespace literals;
using platform::ControlId;
using platform::WindowId;

constexpr char kDiscardQuestion[] = "0018";
constexpr platform::WindowStyle kMainStyle = platform::kWinCaption | platform::kWinSystemMenu |
                                             platform::kWinTaskbar | platform::kWinDialogKeys;
// RunPath's flag for the first argument.
constexpr int kFirstArgument = 1;

platform::Ui& Ui() { return platform::CurrentUi(); }

// ---- Menu commands (the message map) ----------------------------------------------------------

using Handler = void (*)(WindowId dialog);

const EditorKindRow& Row(EditorKind kind) { return *KindRow(kind); }

template <EditorKind Kind> void View(WindowId dialog) {
    OpenEditor(dialog, Kind, stepflag::kLayout, TextRef());
}

template <EditorKind Kind> void New(WindowId dialog) {
    OpenEditor(dialog, Kind, Row(Kind).newSteps, TextRef());
}

// Open: the open dialog first; cancelling it cancels the command.
template <EditorKind Kind> void OpenChosen(WindowId dialog) {
    const TextRef name = ChooseDefinitionFile(dialog, false, Row(Kind).dialog);
    if (!name.empty()) OpenEditor(dialog, Kind, Row(Kind).openSteps, name);
}

template <EditorKind Kind, bool AskName> void Save(WindowId dialog) {
    SaveCommand(dialog, Kind, AskName);
}

template <EditorKind Kind> void Report(WindowId dialog) {
    if (KindEditor(Kind).report != nullptr) KindEditor(Kind).report(dialog);
}

// Screen > New goes on from the screen file being edited.
void NewScreen(WindowId dialog) {
    const TextRef base = TextDup(DesignerSlot(Row(editorkind::kScreen).slot));
    OpenEditor(dialog, editorkind::kScreen, Row(editorkind::kScreen).newSteps, base);
}

void ShowHelp(WindowId) { HelpShow(TextRef(), false); }
void ShowAbout(WindowId) { AboutShow(); }

struct CommandRow {
    platform::CommandId command;
    Handler handler;
};

using namespace editorkind;
constexpr std::array<CommandRow, 29> kCommands = {{
    {menucmd::kFileView, View<kFileStructure>},
    {menucmd::kFileNew, New<kFileStructure>},
    {menucmd::kFileOpen, OpenChosen<kFileStructure>},
    {menucmd::kFileReport, Report<kFileStructure>},
    {menucmd::kFileSave, Save<kFileStructure, false>},
    {menucmd::kFileSaveAs, Save<kFileStructure, true>},
    {menucmd::kScreenView, View<kScreen>},
    {menucmd::kScreenNew, NewScreen},
    {menucmd::kScreenOpen, OpenChosen<kScreen>},
    {menucmd::kScreenReport, Report<kScreen>},
    {menucmd::kScreenSave, Save<kScreen, false>},
    {menucmd::kScreenSaveAs, Save<kScreen, true>},
    {menucmd::kScreenPreview, ScreenPreview},
    {menucmd::kDocumentView, View<kDocument>},
    {menucmd::kDocumentNew, New<kDocument>},
    {menucmd::kDocumentOpen, OpenChosen<kDocument>},
    {menucmd::kDocumentSave, Save<kDocument, false>},
    {menucmd::kDocumentSaveAs, Save<kDocument, true>},
    {menucmd::kScriptView, View<kScript>},
    {menucmd::kScriptNew, New<kScript>},
    {menucmd::kScriptOpen, OpenChosen<kScript>},
    {menucmd::kScriptSave, Save<kScript, false>},
    {menucmd::kScriptSaveAs, Save<kScript, true>},
    {menucmd::kAppSelectView, AppSelectView},
    {menucmd::kAppSelectNew, AppSelectNew},
    {menucmd::kAppSelectOpen, AppSelectOpen},
    {menucmd::kCheckApplication, CheckApplicationCommand},
    {menucmd::kHelp, ShowHelp},
    {menucmd::kAbout, ShowAbout},
}};

// Whether the menu offers the command now (a disabled item is never carried out).
bool CommandEnabled(platform::CommandId command) {
    for (const MainMenuItem& item : MainMenuItems()) {
        if (item.command == command) return MenuItemEnabled(item);
    }
    return false;
}

Handler FindHandler(platform::CommandId command) {
    for (const CommandRow& row : kCommands) {
        if (row.command == command) return row.handler;
    }
    return nullptr;
}

// The actions of the kind whose layout is shown: its controls' events go to them.
const KindEditorHooks& ShownEditor() { return KindEditor(Designer().builtKind); }

// The error detail belongs to the command that failed; one command's paths never show in the
// next one's box.
void StartCommand() { LogErrorText(status::kOk, TextRef(), false); }

} // namespace

CVodarirDlg::CVodarirDlg() { DesignerStateClear(); }

CVodarirDlg::~CVodarirDlg() {
    if (window_ != platform::kNoWindow && Ui().windowExists(window_)) Ui().destroyWindow(window_);
}

int CVodarirDlg::DoModal() {
    platform::WindowSpec spec;
    spec.name = kMainDialogName;
    spec.title = kMainDialogCaption;
    spec.style = kMainStyle;
    spec.frame = CentredFrame(DialogUnits(kMainDialogWidth, kMainDialogHeight), kMainStyle, true,
                              platform::kNoWindow);
    window_ = Ui().createWindow(spec, this);
    if (window_ == platform::kNoWindow) return platform::kModalAbandoned;
    Ui().setMenu(window_, BuildMainMenu());
    ended_ = false;
    OnInitDialog();
    const int result = ended_ ? platform::kIdCancel : Ui().runModal(window_);
    if (Ui().windowExists(window_)) Ui().destroyWindow(window_);
    ListViewsReset(); // the list views went with the window
    // The structure shown belongs to this dialog's life: a runtime started again in the same
    // process (the command-line tool's looks after a scenario) starts from an empty dictionary.
    ClearDictionary();
    StructureEditorReset();
    window_ = platform::kNoWindow;
    return result;
}

bool CVodarirDlg::OnInitDialog() {
    ScratchScope scope;
    // The seam has no system menu to add an About item to, and no window icon: the desktop
    // program gives its windows the icon through the toolkit.
    ShowBackgroundImage(window_);
    if (!OpenCommandLineFile()) ChooseApplicationFolder();
    return true;
}

bool CVodarirDlg::OpenCommandLineFile() {
    const TextRef given = RunPath(kFirstArgument);
    if (given.failed() || given.empty()) return false;
    // Made full first: the designer moves into the file's folder before it opens the file, and a
    // name relative to the start folder would then point elsewhere.
    const TextRef argument = PathAbsolute(given);
    if (argument.failed()) return false;
    const TextRef folder = PathPart(argument, pathpart::kDrive | pathpart::kFolder);
    const TextRef drive = PathPart(argument, pathpart::kDrive);
    if (!drive.empty()) ChangeDrive(drive);
    if (!folder.empty()) ChangeFolder(folder);
    const TextRef ext = TextSub(PathPart(argument, pathpart::kExtension), 1, -1);
    StartCommand();
    const EditorKind kind = KindOfExtension(ExtensionNumber(ext));
    if (kind != editorkind::kNone && KindAvailable(kind)) {
        OpenEditor(window_, kind, KindRow(kind)->openSteps, argument);
        if (KindEditor(kind).openedAtStart != nullptr) KindEditor(kind).openedAtStart(window_);
    }
    return true;
}

void CVodarirDlg::ChooseApplicationFolder() {
    const TextRef last = RememberedFolder();
    const TextRef current = CurrentFolder();
    const TextRef chosen = ChooseFolder(window_, last.empty() ? current : last);
    if (chosen.empty()) {
        OnCancel();
        return;
    }
    if (chosen.view() == current.view()) return;
    // Replaced only once the new one is complete: a full disk keeps the folder remembered before.
    // The chosen folder is used either way; a failure is reported once, the set-up's first.
    const StatusCode remembered = RememberFolder(chosen);
    StatusCode st = ChangeFolder(chosen);
    if (st == status::kOk) st = SetupAppFolders(foldermode::kDesignerFolders);
    if (st == status::kOk) st = remembered;
    if (st != status::kOk) StatusReport(st);
}

void CVodarirDlg::EndDialog(int result) {
    ended_ = true;
    Ui().endModal(window_, result);
}

namespace {

// Whether the user lets unsaved changes go (asked only when there are any).
bool LetChangesGo() {
    if (Designer().modifiedMask == 0) return true;
    ScratchScope scope;
    return AskYesNo(MsgText(kDiscardQuestion));
}

} // namespace

void CVodarirDlg::OnCancel() {
    if (!LetChangesGo()) return;
    DeleteWorkFiles();
    EndDialog(platform::kIdCancel);
}

bool CVodarirDlg::onClose() {
    if (!LetChangesGo()) return false;
    // Answered (or nothing to lose): the close goes on to the cancel override, which now finds
    // nothing modified and asks nothing more.
    Designer().modifiedMask = 0;
    DeleteWorkFiles();
    OnCancel();
    return false;
}

void CVodarirDlg::onCommand(ControlId id, int notification) {
    ScratchScope scope;
    StartCommand();
    if (id == designerctl::kEdit) {
        if (notification == platform::notify::EnChange && ShownEditor().textChanged != nullptr) {
            ShownEditor().textChanged(window_);
        } else if (notification == platform::notify::EnSelChange &&
                   ShownEditor().caretMoved != nullptr) {
            ShownEditor().caretMoved(window_);
        }
    } else if (id == platform::kIdOk && notification == platform::notify::BnClicked) {
        OnOK();
    } else if (id == platform::kIdCancel && notification == platform::notify::BnClicked) {
        OnCancel();
    } else if (id >= designerctl::kFirstScreenButton && id <= designerctl::kLastScreenCommand) {
        if (ShownEditor().command != nullptr) ShownEditor().command(window_, id);
    } else if (notification == platform::notify::BnClicked && CommandEnabled(id)) {
        if (const Handler handler = FindHandler(id)) handler(window_);
    }
}

void CVodarirDlg::onListNotify(ControlId id, int code, int row) {
    if (id != designerctl::kFileList && id != designerctl::kFieldList) return;
    if (code != platform::notify::NmDblClk && code != platform::notify::NmRClick) return;
    ScratchScope scope;
    StartCommand();
    if (ShownEditor().listNotify != nullptr) ShownEditor().listNotify(window_, id, code, row);
}

bool CVodarirDlg::onKeyDown(ControlId control, platform::VirtualKey key, platform::Modifiers mods) {
    if (ShownEditor().key == nullptr) return false;
    ScratchScope scope;
    StartCommand();
    return ShownEditor().key(window_, control, key, mods);
}

} // namespace vodarir
