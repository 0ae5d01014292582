// Every save path swept with injected faults. For each path, each kind of fault (an open, a read, a
// write that fails or comes up short, a flush, a rename; once, or from then on) strikes the 1st,
// 2nd, ... step of its kind, until the save meets no k-th such step and goes through. After each
// attempt: the files the save replaces hold their old bytes or all hold the new ones, never
// anything between and never some old and some new (a screen file and its parameter file go
// together); no temporary file is left beside them (the attempt's folder is also the temporary
// folder, where the screen's work files and the saved reports live); the backups folder holds
// only whole copies of the old files; a save that kept the old files said so once, with its
// status; and the user's change is still in the editor (the edit, the structure editor's model
// and lists, the screen model and its work files), still counted as modified (a save that went
// through leaves it unmodified).
//
// The paths: documents (also through a symbolic link), scripts (also of a file with another
// name), selection lists, config.txt, the structure file, the screen file with its parameter file
// (also through symbolic links), the work files (the screen being left stored in the PAN file,
// the screen's attributes in the PPN file), and the screen report kept to compare. A new save path
// joins with one row of SavePaths(): the files it replaces with their old and new bytes, what else
// stands beside them, how to open them and leave the user's change in place, and how the user saves
// (arming the fault just before the save starts).
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <optional>
#include <set>

#include "designer/app_selector.h"
#include "designer/main_dialog.h"
#include "designer/screen_editor.h"
#include "designer/screen_files.h"
#include "designer/structure_dialogs.h"
#include "designer/structure_editor.h"
#include "designer_fixture.h"
#include "dictionary/dictionary.h"
#include "host/file_faults.h"
#include "reports/report_files.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/text_ops.h"

namespace vodarir::testing {
namespace {

namespace fs = std::filesystem;
namespace act = platform::act;

// How a file a save replaces stands on disk.
enum class Shape {
    kPlain,
    kHardLink,     // it has a second name, which must see the same bytes
    kSymbolicLink, // the name is a link to the file that holds the bytes
};
// The second name of a hard-linked file, and the file a symbolic link names, are these before the
// file's own name.
constexpr char kOtherName[] = "OTHER_";
constexpr char kLinkedFile[] = "REAL_";
constexpr char kBackups[] = "Backups";
// Far more steps of one kind than any save takes: a sweep that reaches it never ends.
constexpr int kMostSteps = 64;

class SaveSweepTest;

// One file a save replaces, in the attempt's folder.
struct SavedFile {
    std::string name;
    Shape shape = Shape::kPlain;
    std::string oldBytes;
    // What a complete save leaves there.
    std::function<std::string(const SaveSweepTest&)> newBytes;
};

struct SavePath {
    std::string name;
    // The files one save replaces together: after it, every one holds its old bytes or every one
    // its new bytes.
    std::vector<SavedFile> files;
    // What else may stand in the folder afterwards: files the path reads, or keeps as its own.
    std::vector<std::string> beside;
    // Puts what the save starts from in place and leaves the user's change, unsaved (before any
    // fault is armed). The saved files already hold their old bytes.
    std::function<void(SaveSweepTest&)> prepare;
    // Saves as the user does, arming the plan just before the save itself starts.
    std::function<void(SaveSweepTest&, const FileFaultPlan&)> save;
    // Whether the user's change is still there and still counts as modified; null where a save
    // leaves nothing open (config.txt, a saved report).
    std::function<bool(SaveSweepTest&)> textKept;
};

class SaveSweepTest : public DesignerTest {
public:
    using DesignerTest::dialog;
    using DesignerTest::ui;
    // The current folder of the attempt under way; it is also the temporary folder (TEMP).
    const std::string& here() const { return here_; }
    std::string hereFile(const std::string& name) const { return here_ + "/" + name; }
    std::string hereBytes(const std::string& name) const {
        std::ifstream in(hereFile(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }
    std::string editorText() const { return editText(); }
    // What the user typed, where a row needs to remember it.
    std::string typed;

    // One attempt of a path with a fault; answers whether the fault struck.
    bool attempt(const SavePath& path, const FileFaultPlan& plan);

protected:
    void TearDown() override {
        FileFaultsOff();
        temp_.reset();
        DesignerTest::TearDown();
    }

private:
    void begin(const SavePath& path);
    void resetDesigner();
    std::string bytesOf(const SavedFile& file) const;
    void checkFolder(const SavePath& path) const;

    std::string here_;
    int attempts_ = 0;
    std::optional<ScopedEnv> temp_;
    // A report shown is given to a program that does nothing.
    ScopedEnv viewer_{"VODARIR_TEXT_VIEWER", "/bin/true"};
};

void SaveSweepTest::resetDesigner() {
    if (ui.windowExists(dialog)) ui.destroyWindow(dialog);
    ListViewsReset();
    DesignerStateClear();
    platform::WindowSpec spec;
    spec.name = "Dialog";
    spec.title = "Vodarir";
    spec.frame = {0, 0, 800, 600};
    dialog = ui.createWindow(spec, &events);
    ASSERT_NE(dialog, platform::kNoWindow);
}

void SaveSweepTest::begin(const SavePath& path) {
    here_ = folder.File("attempt" + std::to_string(++attempts_));
    fs::create_directory(here_);
    fs::current_path(here_);
    temp_.reset();
    temp_.emplace("TEMP", here_.c_str());
    for (const SavedFile& f : path.files) {
        const std::string holder = f.shape == Shape::kSymbolicLink ? kLinkedFile + f.name : f.name;
        std::ofstream(hereFile(holder), std::ios::binary) << f.oldBytes;
        if (f.shape == Shape::kHardLink)
            fs::create_hard_link(hereFile(f.name), hereFile(kOtherName + f.name));
        if (f.shape == Shape::kSymbolicLink) fs::create_symlink(holder, hereFile(f.name));
    }
    resetDesigner();
}

std::string SaveSweepTest::bytesOf(const SavedFile& file) const {
    return hereBytes(file.shape == Shape::kSymbolicLink ? kLinkedFile + file.name : file.name);
}

std::string Extension(const std::string& name) {
    std::string ext = fs::path(name).extension().string();
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

// Nothing beside the files but what was there and the backups folder; every backup a whole copy
// of the old file it was made of (told by its extension).
void SaveSweepTest::checkFolder(const SavePath& path) const {
    std::set<std::string> allowed(path.beside.begin(), path.beside.end());
    allowed.insert(kBackups);
    for (const SavedFile& f : path.files) {
        allowed.insert(f.name);
        if (f.shape == Shape::kHardLink) allowed.insert(kOtherName + f.name);
        if (f.shape == Shape::kSymbolicLink) allowed.insert(kLinkedFile + f.name);
    }
    for (const fs::directory_entry& e : fs::directory_iterator(here_)) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(allowed.count(name) == 1 || e.is_directory()) << "left behind: " << name;
    }
    for (const SavedFile& f : path.files) {
        if (f.shape == Shape::kHardLink) {
            EXPECT_EQ(hereBytes(kOtherName + f.name), bytesOf(f))
                << "the other name sees what " << f.name << " holds";
        }
        if (f.shape == Shape::kSymbolicLink) {
            EXPECT_TRUE(fs::is_symlink(hereFile(f.name))) << "the link stays a link";
        }
    }
    std::error_code none;
    for (const fs::directory_entry& e : fs::directory_iterator(hereFile(kBackups), none)) {
        const std::string name = e.path().filename().string();
        const SavedFile* of = nullptr;
        for (const SavedFile& f : path.files) {
            if (Extension(f.name) == Extension(name)) of = &f;
        }
        if (of == nullptr) {
            ADD_FAILURE() << "a backup of no file the save replaces: " << name;
            continue;
        }
        std::ifstream in(e.path(), std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), of->oldBytes)
            << "a backup is a whole copy of the old file: " << name;
    }
}

// Whether a box names one of the statuses a save stops with.
bool NamesAFailure(const std::string& text) {
    constexpr StatusCode kStops[] = {status::kDiskIo,       status::kFileIo,
                                     status::kRead,         status::kOpen,
                                     status::kFileNotFound, status::kPermissionDenied};
    for (const StatusCode st : kStops) {
        if (text.find(Str(StatusName(st))) != std::string::npos) return true;
    }
    return false;
}

// The boxes that say something (not the questions a save may ask on its way), from `from` on.
std::vector<std::string> SaidSince(const platform::ScriptedUi& ui, std::size_t from) {
    std::vector<std::string> said;
    for (std::size_t i = from; i < ui.shownBoxes().size(); ++i) {
        const platform::ShownBox& box = ui.shownBoxes()[i];
        if (box.buttons == platform::BoxButtons::Ok) said.push_back(box.text);
    }
    return said;
}

bool SaveSweepTest::attempt(const SavePath& path, const FileFaultPlan& plan) {
    begin(path);
    path.prepare(*this);
    const std::size_t boxesBefore = ui.shownBoxes().size();
    // As every command of the designer starts: no earlier failure's detail.
    ClearRecordedError();
    LogErrorText(status::kOk, TextRef(), false);
    path.save(*this, plan);
    const bool struck = FileFaultStruck();
    FileFaultsOff();
    fs::current_path(here_); // a save may have moved on (the application folder)

    // All old or all new, and each file whole.
    std::size_t old = 0;
    std::size_t fresh = 0;
    for (const SavedFile& f : path.files) {
        const std::string bytes = bytesOf(f);
        if (bytes == f.oldBytes) {
            ++old;
        } else if (bytes == f.newBytes(*this)) {
            ++fresh;
        } else {
            ADD_FAILURE() << f.name << " holds neither the old file nor the new one, but: "
                          << bytes.substr(0, 80);
        }
    }
    const bool kept = old == path.files.size();
    EXPECT_TRUE(kept || fresh == path.files.size())
        << old << " of the files old, " << fresh << " new: they are not in step";
    checkFolder(path);
    const std::vector<std::string> said = SaidSince(ui, boxesBefore);
    if (!struck) {
        EXPECT_FALSE(kept) << "no fault, yet not saved";
    }
    if (kept) {
        // Said once, with the status that stopped the save.
        EXPECT_EQ(said.size(), 1u) << "a save that kept the old file must say why";
        if (said.size() == 1) {
            EXPECT_TRUE(NamesAFailure(said.front())) << said.front();
        }
        if (path.textKept) {
            EXPECT_TRUE(path.textKept(*this)) << "the user's change is lost";
        }
    } else {
        EXPECT_TRUE(said.empty()) << "a save that went through says nothing: "
                                  << (said.empty() ? "" : said.back());
        if (path.textKept) {
            EXPECT_FALSE(path.textKept(*this)) << "saved, yet still modified";
        }
    }
    EXPECT_EQ(ScratchDepth(), 0);
    EXPECT_EQ(FilesOpen(), 0) << "a file was left open";
    EXPECT_EQ(ui.pendingCount(), 0u);
    return struck;
}

// ---- The save paths -------------------------------------------------------------------------

std::function<std::string(const SaveSweepTest&)> Fixed(std::string bytes) {
    return [bytes](const SaveSweepTest&) { return bytes; };
}

std::string Sample(const std::string& name) {
    std::ifstream in(fs::path(VODARIR_EXAMPLES_DIR) / "almacen" / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A document or a script: opened from its file, replaced by the user's text, saved with Save.
SavePath TextKind(std::string name, EditorKind kind, std::string file, Shape shape,
                  std::string oldBytes, std::string typed, std::string newBytes) {
    SavePath p;
    p.name = std::move(name);
    p.files = {{file, shape, std::move(oldBytes), Fixed(std::move(newBytes))}};
    p.prepare = [kind, file, typed](SaveSweepTest& t) {
        constexpr std::uint16_t kOpen = stepflag::kLayout | stepflag::kStoreName | stepflag::kLoad;
        ASSERT_EQ(OpenEditor(t.dialog, kind, kOpen, TextView(t.hereFile(file))), status::kOk);
        t.ui.setText(t.dialog, designerctl::kEdit, typed);
        MarkModified(markop::kMark);
    };
    p.save = [kind](SaveSweepTest& t, const FileFaultPlan& plan) {
        FileFaultArm(plan);
        SaveCommand(t.dialog, kind, false);
    };
    p.textKept = [kind, typed](SaveSweepTest& t) {
        return t.editorText() == typed && KindModified(kind);
    };
    return p;
}

// A selection list: opened in its dialog, a line typed, OK. The dialog closes after OK whatever
// the write did, so it keeps no text to check.
SavePath SelectionList() {
    SavePath p;
    p.name = "selection list";
    p.files = {{"APPS.ZAA", Shape::kPlain, "AL,Almacen,ALMENU.PPN,datos\r\n; comentario\r\n",
                Fixed("AL,Almacen,ALMENU.PPN,datos\r\n; comentario\r\nVE,Ventas\r\n")}};
    p.prepare = [](SaveSweepTest&) {};
    p.save = [](SaveSweepTest& t, const FileFaultPlan& plan) {
        t.ui.queueFileChoice(t.hereFile("APPS.ZAA"));
        // The list is read before the dialog shows; the fault is for the write OK starts.
        t.ui.queueModal(kAppSelectWindowName,
                        [plan](platform::ScriptedUi& ui, platform::WindowId w) {
                            const auto end = [&](platform::ControlId id) {
                                return static_cast<int>(ui.text(w, id).value_or("").size());
                            };
                            ui.selectText(w, appselectctl::kIds, end(appselectctl::kIds), 0);
                            ui.type(w, appselectctl::kIds, "\nVE");
                            ui.selectText(w, appselectctl::kNames, end(appselectctl::kNames), 0);
                            ui.type(w, appselectctl::kNames, "\nVentas");
                            FileFaultArm(plan);
                            ui.click(w, platform::kIdOk);
                        });
        AppSelectOpen(t.dialog);
    };
    return p;
}

// config.txt: the designer starts, the user chooses another application folder.
SavePath Config() {
    SavePath p;
    p.name = "config.txt";
    p.files = {{kConfigFileName, Shape::kPlain, "/the/folder/before",
                [](const SaveSweepTest& t) { return t.hereFile("app"); }}};
    p.prepare = [](SaveSweepTest& t) { fs::create_directory(t.hereFile("app")); };
    p.save = [](SaveSweepTest& t, const FileFaultPlan& plan) {
        t.ui.queueFolderChoice(t.hereFile("app"));
        t.ui.queueModal(kMainDialogName, {act::Key(platform::kNoControl, platform::vk::Escape)});
        FileFaultArm(plan);
        CVodarirDlg dlg;
        dlg.DoModal();
    };
    return p;
}

// What the saves below leave, from the samples.
// The structure file with the file added after the last.
std::string SavedStructure() { return Sample("ALDICC.DAT") + "08* *  nuevo\r\n"; }
// The screen file: "Alta " typed before row 1's heading is a run of text of its own, first.
std::string SavedScreenFile() { return "\" 10 1 1Alta\"\r\n" + Sample("ALPANT.PAN"); }
// The parameter file: the attribute at the end of screen 1's block.
std::string SavedParameters() {
    std::string ppn = Sample("ALPANT.PPN");
    return ppn.insert(ppn.find("\r\n 2 ") + 2, " 1 ACBOUND$='AB'\r\n");
}
// The report of screen 1's attributes.
constexpr char kSampleScreenReport[] =
    "OPEN$='1,3,4'\r\nNOEDIT$='EXISTENC#'\r\nHELP$='ARTICULOS'\r\nRELOPT%=1\r\nUNICNDX%=1\r\n"
    "KEYMAP%=0\r\nFD$='CODART$,DESCRIP$,CODFAM$,CODPRO$,PRECIO#,COSTE#,IVA#,EXISTENC#,"
    "STOCKMIN#,FECALTA$,ACTIVO$'\r\nALARM$=',,,,PRECIO#>=0,COSTE#>=0,IVA#>=0,,,,'";

// The structure file: the sample opened with File > Open, a file added through the "+" row and
// the File New dialog, File > Save. Its REL.DAT is read, never written.
SavePath Structure() {
    SavePath p;
    p.name = "structure file";
    p.files = {{"ALDICC.DAT", Shape::kPlain, Sample("ALDICC.DAT"), Fixed(SavedStructure())}};
    p.beside = {"ALREL.DAT"};
    p.prepare = [](SaveSweepTest& t) {
        std::ofstream(t.hereFile("ALREL.DAT"), std::ios::binary) << Sample("ALREL.DAT");
        const EditorKind kind = editorkind::kFileStructure;
        ASSERT_EQ(OpenEditor(t.dialog, kind, KindRow(kind)->openSteps,
                             TextView(t.hereFile("ALDICC.DAT"))),
                  status::kOk);
        t.ui.queueModal(kFileNewTitle, {act::Type(filenewctl::kName, "nuevo"), act::Click(1)});
        KindEditor(kind).listNotify(t.dialog, designerctl::kFileList, platform::notify::NmDblClk,
                                    7);
    };
    p.save = [](SaveSweepTest& t, const FileFaultPlan& plan) {
        FileFaultArm(plan);
        SaveCommand(t.dialog, editorkind::kFileStructure, false);
    };
    // The model, the structure the editor writes and the file list all still hold the new file.
    p.textKept = [](SaveSweepTest& t) {
        return KindModified(editorkind::kFileStructure) && FileCount() == 8 &&
               Str(FileName(8)) == "nuevo" && EditedStructure().Bytes() == SavedStructure() &&
               t.ui.listCell(t.dialog, designerctl::kFileList, 7, 0) == "nuevo";
    };
    return p;
}

// The screen designer on the sample screen file, opened with Screen > Open, its work files under
// a name the test gives (the designer makes a unique one) in the temporary folder.
constexpr char kWorkBase[] = "TRABAJO";
// What the user types at the start of screen 1.
constexpr char kTypedOnScreen[] = "Alta ";

// The sample's files are in place already where a row saves them.
void OpenSampleScreen(SaveSweepTest& t) {
    for (const char* name : {"ALPANT.PAN", "ALPANT.PPN"}) {
        if (!fs::exists(t.hereFile(name))) {
            std::ofstream(t.hereFile(name), std::ios::binary) << Sample(name);
        }
    }
    InstallKindEditor(editorkind::kScreen, ScreenEditorActions());
    ASSERT_EQ(SetDesignerSlot(designerslot::kWorkBase, TextView(t.hereFile(kWorkBase))),
              status::kOk);
    const EditorKind kind = editorkind::kScreen;
    ASSERT_EQ(
        OpenEditor(t.dialog, kind, KindRow(kind)->openSteps, TextView(t.hereFile("ALPANT.PAN"))),
        status::kOk);
}

// Types at the start of the screen, as the edit tells the editor of every change.
void TypeOnScreen(SaveSweepTest& t) {
    t.typed = kTypedOnScreen + CurrentScreenModel().text;
    t.ui.setText(t.dialog, designerctl::kEdit, t.typed);
    KindEditor(editorkind::kScreen).textChanged(t.dialog);
}

// Screen > Save: the text typed goes into the PAN file, an attribute set in the screen's form
// into the PPN file; both files are replaced together (through links, the files they name).
SavePath ScreenFile(std::string name, Shape shape) {
    SavePath p;
    p.name = std::move(name);
    p.files = {{"ALPANT.PAN", shape, Sample("ALPANT.PAN"), Fixed(SavedScreenFile())},
               {"ALPANT.PPN", shape, Sample("ALPANT.PPN"), Fixed(SavedParameters())}};
    p.beside = {std::string(kWorkBase) + ".PAN", std::string(kWorkBase) + ".PPN"};
    p.prepare = [](SaveSweepTest& t) {
        OpenSampleScreen(t);
        TypeOnScreen(t);
        t.ui.queueModal("Screen type selection", {act::Click(1503)});
        t.ui.queueModal("Screen Attributes (ALPANT #1)", {act::Type(2002, "AB"), act::Click(3100)});
        KindEditor(editorkind::kScreen).command(t.dialog, screenctl::kScreenAttributes);
    };
    p.save = [](SaveSweepTest& t, const FileFaultPlan& plan) {
        FileFaultArm(plan);
        SaveCommand(t.dialog, editorkind::kScreen, false);
    };
    p.textKept = [](SaveSweepTest& t) {
        return KindModified(editorkind::kScreen) && CurrentScreenModel().text == t.typed &&
               t.hereBytes(std::string(kWorkBase) + ".PPN") == SavedParameters();
    };
    return p;
}

// The work files: Screen > New, answered to add a screen to the file, first stores the screen
// being left into the work PAN file, which is all that keeps the user's work on it.
SavePath WorkFiles() {
    SavePath p;
    p.name = "work file of the screen left for a new one";
    p.files = {{std::string(kWorkBase) + ".PAN", Shape::kPlain, Sample("ALPANT.PAN"),
                Fixed(SavedScreenFile())}};
    p.beside = {"ALPANT.PAN", "ALPANT.PPN", std::string(kWorkBase) + ".PPN"};
    p.prepare = [](SaveSweepTest& t) {
        OpenSampleScreen(t);
        TypeOnScreen(t);
    };
    p.save = [](SaveSweepTest& t, const FileFaultPlan& plan) {
        t.ui.queueBoxAnswer(platform::BoxAnswer::No); // a screen added, not a new file
        FileFaultArm(plan);
        const EditorKind kind = editorkind::kScreen;
        ScratchScope scope;
        OpenEditor(t.dialog, kind, KindRow(kind)->newSteps,
                   TextDup(DesignerSlot(KindRow(kind)->slot)));
    };
    // Left on its screen with what was typed: the new screen would show nothing of it.
    p.textKept = [](SaveSweepTest& t) {
        return KindModified(editorkind::kScreen) && Designer().screenNumber == 1 &&
               CurrentScreenModel().text == t.typed;
    };
    return p;
}

// The screen's attribute form: its OK writes the screen's block of the work PPN file, all that
// keeps the attributes until the screen file is saved. The form closes whatever the write did.
SavePath AttributesInWorkFile() {
    SavePath p;
    p.name = "attributes of the screen in its work file";
    p.files = {{std::string(kWorkBase) + ".PPN", Shape::kPlain, Sample("ALPANT.PPN"),
                Fixed(SavedParameters())}};
    p.beside = {"ALPANT.PAN", "ALPANT.PPN", std::string(kWorkBase) + ".PAN"};
    p.prepare = OpenSampleScreen;
    p.save = [](SaveSweepTest& t, const FileFaultPlan& plan) {
        t.ui.queueModal("Screen type selection", {act::Click(1503)});
        // The block is read before the form shows; the fault is for the write its OK starts.
        t.ui.queueModal(
            "Screen Attributes (ALPANT #1)",
            {act::Type(2002, "AB"),
             act::Run([plan](platform::ScriptedUi&, platform::WindowId) { FileFaultArm(plan); }),
             act::Click(3100)});
        KindEditor(editorkind::kScreen).command(t.dialog, screenctl::kScreenAttributes);
    };
    return p;
}

// Screen > Report, "Save to Compare": the report of the current screen kept in the temporary
// folder as the one later reports are compared with.
SavePath SavedReport() {
    SavePath p;
    p.name = "screen report kept to compare";
    p.files = {{std::string(kSavedScreenReport), Shape::kPlain, "an earlier report\r\n",
                Fixed(kSampleScreenReport)}};
    p.beside = {"ALPANT.PAN", "ALPANT.PPN", std::string(kWorkBase) + ".PAN",
                std::string(kWorkBase) + ".PPN"};
    p.prepare = OpenSampleScreen;
    p.save = [](SaveSweepTest& t, const FileFaultPlan& plan) {
        t.ui.queueModal("Report Type", {act::Click(1502)}); // its third choice
        FileFaultArm(plan);
        KindEditor(editorkind::kScreen).report(t.dialog);
    };
    return p;
}

std::vector<SavePath> SavePaths() {
    const std::string oldScript = "' total\r\n" + std::string(1500, 'o') + "\r\n";
    const std::string newScript = "' total nuevo\n" + std::string(2100, 'n') + "\r|";
    std::vector<SavePath> paths = {
        TextKind("document", editorkind::kDocument, "PEDIDO.PDC", Shape::kPlain,
                 " 1  1Viejo\r\n 3  2pie\r\n", "Nuevo\r\n  texto \xbb",
                 " 1  1Nuevo\r\n 2  3texto \x19\r\n"),
        TextKind("script", editorkind::kScript, "TOTAL.PRX", Shape::kPlain, oldScript, newScript,
                 newScript),
        TextKind("script of a file with another name", editorkind::kScript, "TOTAL.PRX",
                 Shape::kHardLink, oldScript, newScript, newScript),
        TextKind("document through a symbolic link", editorkind::kDocument, "PEDIDO.PDC",
                 Shape::kSymbolicLink, " 1  1Viejo\r\n", "Nuevo", " 1  1Nuevo\r\n"),
        SelectionList(),
        Config(),
        Structure(),
        ScreenFile("screen file and its parameter file", Shape::kPlain),
        ScreenFile("screen file and its parameter file through symbolic links",
                   Shape::kSymbolicLink),
        WorkFiles(),
        AttributesInWorkFile(),
        SavedReport(),
    };
    return paths;
}

struct Fault {
    const char* name;
    FileOp op;
    FileFault fault;
    bool persist;
};
constexpr Fault kFaults[] = {
    {"open", FileOp::kOpen, FileFault::kFail, false},
    {"every open from then on", FileOp::kOpen, FileFault::kFail, true},
    {"read", FileOp::kRead, FileFault::kFail, false},
    {"write", FileOp::kWrite, FileFault::kFail, false},
    {"short write", FileOp::kWrite, FileFault::kShort, false},
    {"full disk", FileOp::kWrite, FileFault::kShort, true},
    {"flush", FileOp::kFlush, FileFault::kFail, false},
    {"every flush from then on", FileOp::kFlush, FileFault::kFail, true},
    {"rename", FileOp::kRename, FileFault::kFail, false},
};

TEST_F(SaveSweepTest, NoFaultAtAnyStepOfAnySaveLosesOrCutsAFile) {
    for (const SavePath& path : SavePaths()) {
        for (const Fault& f : kFaults) {
            for (int k = 1; k <= kMostSteps; ++k) {
                SCOPED_TRACE(path.name + ": " + f.name + " at step " + std::to_string(k));
                FileFaultPlan plan{f.op, k, f.fault, f.persist, 100};
                const bool struck = attempt(path, plan);
                if (::testing::Test::HasFatalFailure()) return;
                // Every save opens, writes and flushes, and all but an in-place rewrite rename:
                // a sweep that never met such a step would prove nothing.
                const bool met =
                    f.op != FileOp::kRead &&
                    (f.op != FileOp::kRename || path.files.front().shape != Shape::kHardLink);
                if (k == 1 && met) {
                    EXPECT_TRUE(struck) << "the save took no such step";
                }
                if (!struck) break; // fewer than k such steps: the save went through
                ASSERT_LT(k, kMostSteps) << "the fault never stops striking";
            }
        }
    }
}

} // namespace
} // namespace vodarir::testing
