// Every save path swept with injected faults. For each path, each kind of fault (an open, a read, a
// write that fails or comes up short, a flush, a rename; once, or from then on) strikes the 1st,
// 2nd, ... step of its kind, until the save meets no k-th such step and goes through. After each
// attempt: the file holds its old bytes or the new ones, never anything between; no temporary file
// is left beside it; the backups folder holds only whole copies of the old file; a save that kept
// the old file said so with its status; and the user's text is still in the editor, still counted
// as modified (a save that went through leaves it unmodified).
//
// A new save path joins with one row of SavePaths(): how to open the old file and leave the user's
// new text in place, and how the user saves (arming the fault just before the save starts).
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "designer/app_selector.h"
#include "designer/main_dialog.h"
#include "designer_fixture.h"
#include "host/file_faults.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"

namespace vodarir::testing {
namespace {

namespace fs = std::filesystem;
namespace act = platform::act;

// How the file a save replaces stands on disk.
enum class Shape {
    kPlain,
    kHardLink,     // it has a second name, which must see the same bytes
    kSymbolicLink, // the name is a link to the file that holds the bytes
};
constexpr char kOtherName[] = "OTHER";
constexpr char kLinkedFile[] = "REAL";
constexpr char kBackups[] = "Backups";
// Far more steps of one kind than any save takes: a sweep that reaches it never ends.
constexpr int kMostSteps = 64;

class SaveSweepTest;

struct SavePath {
    std::string name;
    std::string file; // the name a save replaces, in the attempt's folder
    Shape shape = Shape::kPlain;
    std::string oldBytes;
    // What a complete save leaves there.
    std::function<std::string(const SaveSweepTest&)> newBytes;
    // Opens the old file and leaves the user's new text, unsaved (before any fault is armed).
    std::function<void(SaveSweepTest&)> prepare;
    // Saves as the user does, arming the plan just before the save itself starts.
    std::function<void(SaveSweepTest&, const FileFaultPlan&)> save;
    // Whether the user's text is still there and still counts as modified; null where a save
    // leaves nothing open (config.txt).
    std::function<bool(SaveSweepTest&)> textKept;
};

class SaveSweepTest : public DesignerTest {
public:
    using DesignerTest::dialog;
    using DesignerTest::ui;
    // The current folder of the attempt under way.
    const std::string& here() const { return here_; }
    std::string hereFile(const std::string& name) const { return here_ + "/" + name; }
    std::string editorText() const { return editText(); }

    // One attempt of a path with a fault; answers whether the fault struck.
    bool attempt(const SavePath& path, const FileFaultPlan& plan);

protected:
    void TearDown() override {
        FileFaultsOff();
        DesignerTest::TearDown();
    }

private:
    void begin(const SavePath& path);
    void resetDesigner();
    std::string bytesOf(const SavePath& path) const;
    void checkFolder(const SavePath& path) const;

    std::string here_;
    int attempts_ = 0;
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
    const std::string holder = path.shape == Shape::kSymbolicLink ? kLinkedFile : path.file;
    std::ofstream(hereFile(holder), std::ios::binary) << path.oldBytes;
    if (path.shape == Shape::kHardLink)
        fs::create_hard_link(hereFile(path.file), hereFile(kOtherName));
    if (path.shape == Shape::kSymbolicLink) fs::create_symlink(kLinkedFile, hereFile(path.file));
    resetDesigner();
}

std::string SaveSweepTest::bytesOf(const SavePath& path) const {
    const std::string holder = path.shape == Shape::kSymbolicLink ? kLinkedFile : path.file;
    std::ifstream in(hereFile(holder), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Nothing beside the file but what was there and the backups folder; every backup a whole copy of
// the old file.
void SaveSweepTest::checkFolder(const SavePath& path) const {
    std::set<std::string> allowed = {path.file, kBackups};
    if (path.shape == Shape::kHardLink) allowed.insert(kOtherName);
    if (path.shape == Shape::kSymbolicLink) allowed.insert(kLinkedFile);
    for (const fs::directory_entry& e : fs::directory_iterator(here_)) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(allowed.count(name) == 1 || e.is_directory()) << "left behind: " << name;
    }
    if (path.shape == Shape::kHardLink) {
        std::ifstream in(hereFile(kOtherName), std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), bytesOf(path))
            << "the other name sees what the file holds";
    }
    if (path.shape == Shape::kSymbolicLink) {
        EXPECT_TRUE(fs::is_symlink(hereFile(path.file))) << "the link stays a link";
    }
    std::error_code none;
    for (const fs::directory_entry& e : fs::directory_iterator(hereFile(kBackups), none)) {
        std::ifstream in(e.path(), std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), path.oldBytes)
            << "a backup is a whole copy of the old file: " << e.path().filename();
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

    const std::string bytes = bytesOf(path);
    const bool kept = bytes == path.oldBytes;
    EXPECT_TRUE(kept || bytes == path.newBytes(*this))
        << "neither the old file nor the new one, but: " << bytes.substr(0, 80);
    checkFolder(path);
    const std::size_t boxes = ui.shownBoxes().size() - boxesBefore;
    if (!struck) {
        EXPECT_FALSE(kept) << "no fault, yet not saved";
    }
    if (kept) {
        // Said once, with the status that stopped the save.
        EXPECT_EQ(boxes, 1u) << "a save that kept the old file must say why";
        if (boxes == 1) {
            const std::string& text = ui.shownBoxes().back().text;
            EXPECT_TRUE(NamesAFailure(text)) << text;
        }
        if (path.textKept) {
            EXPECT_TRUE(path.textKept(*this)) << "the user's text is lost";
        }
    } else {
        EXPECT_EQ(boxes, 0u) << "a save that went through says nothing: "
                             << (boxes > 0 ? ui.shownBoxes().back().text : "");
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

// A document or a script: opened from its file, replaced by the user's text, saved with Save.
SavePath TextKind(std::string name, EditorKind kind, std::string file, Shape shape,
                  std::string oldBytes, std::string typed, std::string newBytes) {
    SavePath p;
    p.name = std::move(name);
    p.file = std::move(file);
    p.shape = shape;
    p.oldBytes = std::move(oldBytes);
    p.newBytes = [newBytes](const SaveSweepTest&) { return newBytes; };
    const std::string fileName = p.file;
    p.prepare = [kind, fileName, typed](SaveSweepTest& t) {
        constexpr std::uint16_t kOpen = stepflag::kLayout | stepflag::kStoreName | stepflag::kLoad;
        ASSERT_EQ(OpenEditor(t.dialog, kind, kOpen, TextView(t.hereFile(fileName))), status::kOk);
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
    p.file = "APPS.ZAA";
    p.oldBytes = "AL,Almacen,ALMENU.PPN,datos\r\n; comentario\r\n";
    p.newBytes = [](const SaveSweepTest&) {
        return std::string("AL,Almacen,ALMENU.PPN,datos\r\n; comentario\r\nVE,Ventas\r\n");
    };
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
    p.file = kConfigFileName;
    p.oldBytes = "/the/folder/before";
    p.newBytes = [](const SaveSweepTest& t) { return t.hereFile("app"); };
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
                const bool met = f.op != FileOp::kRead &&
                                 (f.op != FileOp::kRename || path.shape != Shape::kHardLink);
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
