// The main designer dialog: its window, menu, initialisation, message map and close check.
#include "designer/main_dialog.h"

#include <array>

#include "designer/app_selector.h"
#include "designer/designer_state.h"
#include "designer/dialog_geometry.h"
#include "designer/document_editor.h"
#include "designer/editor_dispatch.h"
#include "designer/main_menu.h"
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

// The step flags of the menu's commands.
using namespace stepflag;
constexpr std::uint16_t kView = kLayout;                                                 // 1
constexpr std::uint16_t kNewStructureSteps = kLayout | kStoreName | kNewStructure;       // 11
constexpr std::uint16_t kOpenStructure = kNewStructureSteps | kLoad;                     // 139
constexpr std::uint16_t kNewScreenSteps = kLayout | kStoreName | kWorkBase | kNewScreen; // 23
constexpr std::uint16_t kOpenScreen = kLayout | kStoreName | kWorkBase | kLoad;          // 135
constexpr std::uint16_t kNewDocumentSteps = kLayout | kNewDocument;                      // 33
constexpr std::uint16_t kNewScriptSteps = kLayout | kNewScript;                          // 65
constexpr std::uint16_t kOpenText = kLayout | kStoreName | kLoad;                        // 131

platform::Ui& Ui() { return platform::CurrentUi(); }

// ---- Menu commands (the message map) ----------------------------------------------------------

using Handler = void (*)(WindowId dialog);

template <EditorKind Kind, std::uint16_t Flags> void Open(WindowId dialog) {
    OpenEditor(dialog, Kind, Flags, TextRef());
}

// Open: the open dialog first; cancelling it cancels the command.
template <EditorKind Kind, std::uint16_t Flags> void OpenChosen(WindowId dialog) {
    const TextRef name = ChooseDefinitionFile(dialog, false, Kind);
    if (!name.empty()) OpenEditor(dialog, Kind, Flags, name);
}

template <EditorKind Kind, bool AskName> void Save(WindowId dialog) {
    SaveCommand(dialog, Kind, AskName);
}

template <EditorKind Kind> void Report(WindowId dialog) {
    if (KindEditor(Kind).report != nullptr) KindEditor(Kind).report(dialog);
}

void NewScreen(WindowId dialog) {
    const TextRef base = TextDup(DesignerSlot(designerslot::kScreenBase));
    OpenEditor(dialog, editorkind::kScreen, kNewScreenSteps, base);
}

void ShowHelp(WindowId) { HelpShow(TextRef(), false); }
void ShowAbout(WindowId) { AboutShow(); }

struct CommandRow {
    platform::CommandId command;
    Handler handler;
};

using namespace editorkind;
constexpr std::array<CommandRow, 27> kCommands = {{
    {menucmd::kFileView, Open<kFileStructure, kView>},
    {menucmd::kFileNew, Open<kFileStructure, kNewStructureSteps>},
    {menucmd::kFileOpen, OpenChosen<kFileStructure, kOpenStructure>},
    {menucmd::kFileReport, Report<kFileStructure>},
    {menucmd::kFileSave, Save<kFileStructure, false>},
    {menucmd::kFileSaveAs, Save<kFileStructure, true>},
    {menucmd::kScreenView, Open<kScreen, kView>},
    {menucmd::kScreenNew, NewScreen},
    {menucmd::kScreenOpen, OpenChosen<kScreen, kOpenScreen>},
    {menucmd::kScreenReport, Report<kScreen>},
    {menucmd::kScreenSave, Save<kScreen, false>},
    {menucmd::kScreenSaveAs, Save<kScreen, true>},
    {menucmd::kDocumentView, Open<kDocument, kView>},
    {menucmd::kDocumentNew, Open<kDocument, kNewDocumentSteps>},
    {menucmd::kDocumentOpen, OpenChosen<kDocument, kOpenText>},
    {menucmd::kDocumentSave, Save<kDocument, false>},
    {menucmd::kDocumentSaveAs, Save<kDocument, true>},
    {menucmd::kScriptView, Open<kScript, kView>},
    {menucmd::kScriptNew, Open<kScript, kNewScriptSteps>},
    {menucmd::kScriptOpen, OpenChosen<kScript, kOpenText>},
    {menucmd::kScriptSave, Save<kScript, false>},
    {menucmd::kScriptSaveAs, Save<kScript, true>},
    {menucmd::kAppSelectView, AppSelectView},
    {menucmd::kAppSelectNew, AppSelectNew},
    {menucmd::kAppSelectOpen, AppSelectOpen},
    {menucmd::kHelp, ShowHelp},
    {menucmd::kAbout, ShowAbout},
}};

// Whether the menu offers the command now (a disabled item is never carried out).
bool CommandEnabled(platform::CommandId command) {
    for (const MainMenuItem& item : MainMenuItems()) {
        if (item.command != command) continue;
        if (item.kind == editorkind::kNone) return true;
        return KindAvailable(item.kind) && (!item.report || KindEditor(item.kind).report);
    }
    return false;
}

Handler FindHandler(platform::CommandId command) {
    for (const CommandRow& row : kCommands) {
        if (row.command == command) return row.handler;
    }
    return nullptr;
}

// Edit-change of edit 2500: the editor of the layout shown hears of it.
void EditorTextChanged(WindowId dialog) {
    switch (Designer().builtKind) {
    case editorkind::kDocument:
        MarkModified(markop::kMark);
        DocumentTextChanged(dialog);
        break;
    case editorkind::kScript:
        MarkModified(markop::kMark);
        break;
    case editorkind::kScreen:
        if (KindEditor(kScreen).textChanged != nullptr) KindEditor(kScreen).textChanged(dialog);
        break;
    default:
        break;
    }
}

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
    window_ = platform::kNoWindow;
    return result;
}

bool CVodarirDlg::OnInitDialog() {
    const ScratchLevel mark = ScratchMark();
    // The seam has no system menu to add an About item to, and no window icon: the desktop
    // program gives its windows the icon through the toolkit.
    ShowBackgroundImage(window_);
    if (!OpenCommandLineFile()) ChooseApplicationFolder();
    ScratchRelease(mark);
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
    switch (ExtensionNumber(ext)) {
    case extension::kParameters:
    case extension::kScreen:
        if (KindAvailable(kScreen)) OpenEditor(window_, kScreen, kOpenScreen, argument);
        break;
    case extension::kStructure:
    case extension::kStructureAlt:
        if (KindAvailable(kFileStructure))
            OpenEditor(window_, kFileStructure, kOpenStructure, argument);
        break;
    case extension::kDocument:
        OpenEditor(window_, kDocument, kOpenText, argument);
        break;
    case extension::kScript:
        OpenEditor(window_, kScript, kOpenText, argument);
        break;
    case extension::kAppList:
        OpenEditor(window_, kAppSelection, kOpenText, argument);
        AppSelectView(window_);
        break;
    default:
        break;
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

void CVodarirDlg::OnCancel() {
    if (Designer().modifiedMask != 0) {
        const ScratchLevel mark = ScratchMark();
        const bool yes = AskYesNo(MsgText(kDiscardQuestion));
        ScratchRelease(mark);
        if (!yes) return;
    }
    DeleteWorkFiles();
    EndDialog(platform::kIdCancel);
}

bool CVodarirDlg::onClose() {
    if (Designer().modifiedMask != 0) {
        const ScratchLevel mark = ScratchMark();
        const bool yes = AskYesNo(MsgText(kDiscardQuestion));
        ScratchRelease(mark);
        if (!yes) return false;
    }
    // Answered (or nothing to lose): the close goes on to the cancel override, which now finds
    // nothing modified and asks nothing more.
    Designer().modifiedMask = 0;
    DeleteWorkFiles();
    OnCancel();
    return false;
}

void CVodarirDlg::onCommand(ControlId id, int notification) {
    const ScratchLevel mark = ScratchMark();
    StartCommand();
    if (id == designerctl::kEdit) {
        if (notification == platform::notify::EnChange) EditorTextChanged(window_);
    } else if (id == platform::kIdOk && notification == platform::notify::BnClicked) {
        OnOK();
    } else if (id == platform::kIdCancel && notification == platform::notify::BnClicked) {
        OnCancel();
    } else if (id >= designerctl::kFirstScreenButton && id <= designerctl::kLastScreenCommand) {
        if (KindEditor(kScreen).command != nullptr) KindEditor(kScreen).command(window_, id);
    } else if (notification == platform::notify::BnClicked && CommandEnabled(id)) {
        if (const Handler handler = FindHandler(id)) handler(window_);
    }
    ScratchRelease(mark);
}

void CVodarirDlg::onListNotify(ControlId id, int code, int row) {
    if (id != designerctl::kFileList && id != designerctl::kFieldList) return;
    if (code != platform::notify::NmDblClk && code != platform::notify::NmRClick) return;
    const ScratchLevel mark = ScratchMark();
    StartCommand();
    if (KindEditor(kFileStructure).listNotify != nullptr) {
        KindEditor(kFileStructure).listNotify(window_, id, code, row);
    }
    ScratchRelease(mark);
}

} // namespace vodarir
