// Every reader of a definition swept with a read that fails, at the 1st, 2nd, ... read step until
// the load meets no k-th read and goes through: a failure part way gives its status (136, with the
// file), and never leaves a half-read definition standing as if it were whole; a load the fault
// missed gives the whole definition.
//
// The readers: documents, scripts, selection lists, the dictionary, language files, File > Open
// of a structure file (the structure shown before stays, in the model and the lists), Screen >
// Open (both files read, and copied to the work files both or neither), and the next screen read
// from the work files. A new reader joins with one row of LoadPaths().
#include <gtest/gtest.h>

#include <functional>

#include "designer/app_selector.h"
#include "designer/document_editor.h"
#include "designer/screen_editor.h"
#include "designer/screen_files.h"
#include "designer/structure_editor.h"
#include "designer_fixture.h"
#include "dictionary/dictionary.h"
#include "host/file_faults.h"
#include "runtime/messages/language_files.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"

namespace vodarir::testing {
namespace {

namespace fs = std::filesystem;
using namespace literals;

constexpr int kMostReads = 64;
constexpr StatusCode kLastStatus = 255;

class LoadSweepTest;

struct LoadPath {
    std::string name;
    std::string named; // what the error detail of a failed load names (the file)
    // The files on disk, in the current folder (before any fault is armed).
    std::function<void(LoadSweepTest&)> prepare;
    // Loads as the program does, the fault armed; answers the status the load gave.
    std::function<StatusCode(LoadSweepTest&)> load;
    // The definition, whole, is where the program shows or keeps it.
    std::function<bool(LoadSweepTest&)> whole;
    // Nothing of the definition shows (the editor as it was, nothing loaded); null where what a
    // failed load added stays, flagged by its status (the dictionary, whose loader keeps what it
    // read before an error, as a nested load must).
    std::function<bool(LoadSweepTest&)> untouched;
};

class LoadSweepTest : public DesignerTest {
public:
    using DesignerTest::dialog;
    using DesignerTest::slot;
    using DesignerTest::ui;
    std::string here;
    std::string editorText() const { return editText(); }
    // The selection-list dialogs shown so far, and the last of them.
    int selectors() const {
        int n = 0;
        for (platform::WindowId i = 1; ui.window(i) != nullptr; ++i) {
            if (ui.window(i)->name == kAppSelectWindowName) ++n;
        }
        return n;
    }
    const platform::ShownWindow* lastSelector() const {
        const platform::ShownWindow* last = nullptr;
        for (platform::WindowId i = 1; ui.window(i) != nullptr; ++i) {
            if (ui.window(i)->name == kAppSelectWindowName) last = ui.window(i);
        }
        return last;
    }
    int windowsBefore = 0;
};

// Lines long enough that a file takes several read blocks.
std::string Filler(int n) { return std::string(200 + n % 50, static_cast<char>('a' + n % 26)); }

std::string LargeDocument() {
    std::string file;
    for (int row = 1; row <= 99; ++row) {
        char head[8];
        std::snprintf(head, sizeof head, "%2d  1", row);
        file += head + Filler(row).substr(0, 150) + "\r\n";
    }
    return file;
}

std::string LargeScript() {
    std::string script;
    for (int i = 0; i < 200; ++i) script += Filler(i) + "\r\n";
    return script;
}

// A text editor's row: the edit holds "before" until a load replaces it.
LoadPath TextKind(std::string name, EditorKind kind, std::string file, std::string bytes) {
    LoadPath p;
    p.name = std::move(name);
    p.named = file;
    p.prepare = [kind, file, bytes](LoadSweepTest& t) {
        std::ofstream(t.here + "/" + file, std::ios::binary) << bytes;
        ASSERT_EQ(OpenEditor(t.dialog, kind, stepflag::kLayout, TextRef()), status::kOk);
        t.ui.setText(t.dialog, designerctl::kEdit, "before");
    };
    p.load = [kind, file](LoadSweepTest& t) {
        constexpr std::uint16_t kOpen = stepflag::kLayout | stepflag::kStoreName | stepflag::kLoad;
        return OpenEditor(t.dialog, kind, kOpen, TextView(t.here + "/" + file));
    };
    p.untouched = [](LoadSweepTest& t) { return t.editorText() == "before"; };
    return p;
}

// Dictionary BE: 30 files of `fields` fields each, and a relation for each file.
void WriteLargeDictionary(LoadSweepTest& t, int fields) {
    std::string dicc;
    std::string rel;
    char line[64];
    for (int f = 1; f <= 30; ++f) {
        std::snprintf(line, sizeof line, "%02d* *  fichero%02d\r\n", f, f);
        dicc += line;
        for (int k = 1; k <= fields; ++k) {
            std::snprintf(line, sizeof line, "%02d00<    %3d>ACAMPO%02d\r\n", f, k, k);
            dicc += line;
        }
        std::snprintf(line, sizeof line, "%02d:%dR1K1=CAMPO01\r\n", 60 + f, f % 30 + 1);
        rel += line;
    }
    std::ofstream(t.here + "/BEDICC.DAT", std::ios::binary) << dicc;
    std::ofstream(t.here + "/BEREL.DAT", std::ios::binary) << rel;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// File > Open of a structure file, over one already shown.
LoadPath StructureFile() {
    LoadPath p;
    p.name = "structure file";
    p.named = "BE";
    constexpr char kBefore[] = "01* *  antes\r\n0100<     10>ACODIGO\r\n";
    p.prepare = [kBefore](LoadSweepTest& t) {
        WriteLargeDictionary(t, 20);
        std::ofstream(t.here + "/ANDICC.DAT", std::ios::binary) << kBefore;
        const EditorKind kind = editorkind::kFileStructure;
        ASSERT_EQ(
            OpenEditor(t.dialog, kind, KindRow(kind)->openSteps, TextView(t.here + "/ANDICC.DAT")),
            status::kOk);
    };
    p.load = [](LoadSweepTest& t) {
        const EditorKind kind = editorkind::kFileStructure;
        return OpenEditor(t.dialog, kind, KindRow(kind)->openSteps,
                          TextView(t.here + "/BEDICC.DAT"));
    };
    p.whole = [](LoadSweepTest& t) {
        return FileCount() == 30 && TotalFieldCount() == 600 && !RelationText(30).empty() &&
               EditedStructure().Bytes() == Bytes(t.here + "/BEDICC.DAT") &&
               t.ui.listRowCount(t.dialog, designerctl::kFileList) == 31 &&
               t.slot(designerslot::kStructureBase) == t.here + "/BEDICC";
    };
    // The structure shown before, in the model, the editor and its list, under its name.
    p.untouched = [kBefore](LoadSweepTest& t) {
        return FileCount() == 1 && Str(FileName(1)) == "antes" &&
               EditedStructure().Bytes() == kBefore &&
               t.ui.listCell(t.dialog, designerctl::kFileList, 0, 0) == "antes" &&
               t.slot(designerslot::kStructureBase) == t.here + "/ANDICC";
    };
    return p;
}

// Screen > Open of a screen file of several screens, over one already open. The file's two files
// become the work files (under a name the test gives), both or neither.
constexpr int kLargeScreens = 6;
constexpr int kLargeRows = 20;

std::string LargeScreenFile() {
    std::string pan;
    char line[128];
    for (int s = 1; s <= kLargeScreens; ++s) {
        for (int r = 1; r <= kLargeRows; ++r) {
            std::snprintf(line, sizeof line, "\"%2d0%2d 1Pantalla %d fila %d %s\"\r\n", s, r, s, r,
                          Filler(r).substr(0, 40).c_str());
            pan += line;
        }
        std::snprintf(line, sizeof line, "\"%2d1%2d60 1 110C\"\r\n", s, kLargeRows);
        pan += line;
    }
    return pan;
}

std::string LargeParameters() {
    std::string ppn;
    for (int s = 1; s <= kLargeScreens; ++s) {
        for (int i = 1; i <= 10; ++i) {
            ppn += (s < 10 ? " " : "") + std::to_string(s) + " HELP" + std::to_string(i) + "$='" +
                   Filler(i * s).substr(0, 60) + "'\r\n";
        }
    }
    return ppn;
}

LoadPath ScreenFile() {
    LoadPath p;
    p.name = "screen file";
    p.named = "GRANDE";
    p.prepare = [](LoadSweepTest& t) {
        std::ofstream(t.here + "/GRANDE.PAN", std::ios::binary) << LargeScreenFile();
        std::ofstream(t.here + "/GRANDE.PPN", std::ios::binary) << LargeParameters();
        std::ofstream(t.here + "/ANTES.PAN", std::ios::binary) << "\" 10 1 1uno\"\r\n";
        std::ofstream(t.here + "/ANTES.PPN", std::ios::binary) << " 1 HELP$='UNO'\r\n";
        InstallKindEditor(editorkind::kScreen, ScreenEditorActions());
        ASSERT_EQ(SetDesignerSlot(designerslot::kWorkBase, TextView(t.here + "/TRABAJO")),
                  status::kOk);
        const EditorKind kind = editorkind::kScreen;
        ASSERT_EQ(
            OpenEditor(t.dialog, kind, KindRow(kind)->openSteps, TextView(t.here + "/ANTES.PAN")),
            status::kOk);
    };
    p.load = [](LoadSweepTest& t) {
        const EditorKind kind = editorkind::kScreen;
        return OpenEditor(t.dialog, kind, KindRow(kind)->openSteps,
                          TextView(t.here + "/GRANDE.PAN"));
    };
    p.whole = [](LoadSweepTest& t) {
        char last[64];
        std::snprintf(last, sizeof last, "Pantalla 1 fila %d", kLargeRows);
        return Designer().screenCount == kLargeScreens && Designer().screenNumber == 1 &&
               CurrentScreenModel().text.find(last) != std::string::npos &&
               CurrentScreenModel().fields.size() == 1 &&
               Bytes(t.here + "/TRABAJO.PAN") == LargeScreenFile() &&
               Bytes(t.here + "/TRABAJO.PPN") == LargeParameters();
    };
    // The screen before, its name, and work files that are still wholly its own.
    p.untouched = [](LoadSweepTest& t) {
        return CurrentScreenModel().text == "uno" && Designer().screenCount == 1 &&
               t.slot(designerslot::kScreenBase) == t.here + "/ANTES" &&
               Bytes(t.here + "/TRABAJO.PAN") == "\" 10 1 1uno\"\r\n" &&
               Bytes(t.here + "/TRABAJO.PPN") == " 1 HELP$='UNO'\r\n";
    };
    return p;
}

// Next Screen: the screen shown is stored into the work PAN file and the next one read from it.
// A failure leaves the screen shown before, as it was.
LoadPath NextScreen() {
    LoadPath p;
    p.name = "next screen from the work files";
    p.named = "TRABAJO";
    p.prepare = [](LoadSweepTest& t) {
        std::ifstream in(std::string(VODARIR_EXAMPLES_DIR) + "/almacen/ALPANT.PAN",
                         std::ios::binary);
        std::ofstream(t.here + "/ALPANT.PAN", std::ios::binary) << in.rdbuf();
        InstallKindEditor(editorkind::kScreen, ScreenEditorActions());
        ASSERT_EQ(SetDesignerSlot(designerslot::kWorkBase, TextView(t.here + "/TRABAJO")),
                  status::kOk);
        const EditorKind kind = editorkind::kScreen;
        ASSERT_EQ(
            OpenEditor(t.dialog, kind, KindRow(kind)->openSteps, TextView(t.here + "/ALPANT.PAN")),
            status::kOk);
        t.ui.setText(t.dialog, designerctl::kEdit, "Alta" + CurrentScreenModel().text);
        KindEditor(kind).textChanged(t.dialog);
    };
    // The status is the one the box shows.
    p.load = [](LoadSweepTest& t) -> StatusCode {
        const std::size_t boxes = t.ui.shownBoxes().size();
        KindEditor(editorkind::kScreen).command(t.dialog, screenctl::kNextScreen);
        if (t.ui.shownBoxes().size() == boxes) return status::kOk;
        for (StatusCode st = status::kFirstError; st <= kLastStatus; ++st) {
            ScratchScope scope;
            if (Str(StatusText(st)) == t.ui.shownBoxes().back().text) return st;
        }
        return status::kInternal;
    };
    p.whole = [](LoadSweepTest& t) {
        return Designer().screenNumber == 2 &&
               CurrentScreenModel().text.find("PEDIDO DE CLIENTE") != std::string::npos &&
               t.editorText() == CurrentScreenModel().text;
    };
    p.untouched = [](LoadSweepTest& t) {
        return Designer().screenNumber == 1 && CurrentScreenModel().text.starts_with("Alta") &&
               t.editorText() == CurrentScreenModel().text;
    };
    return p;
}

std::vector<LoadPath> LoadPaths() {
    std::vector<LoadPath> paths;

    LoadPath document = TextKind("document", editorkind::kDocument, "LARGO.PDC", LargeDocument());
    document.whole = [](LoadSweepTest& t) {
        std::string text;
        DocumentTextFromFile(LargeDocument(), &text);
        return t.editorText() == text;
    };
    paths.push_back(document);

    LoadPath script = TextKind("script", editorkind::kScript, "LARGO.PRX", LargeScript());
    script.whole = [](LoadSweepTest& t) { return t.editorText() == LargeScript(); };
    paths.push_back(script);

    LoadPath list;
    list.name = "selection list";
    list.named = "APPS.ZAA";
    list.prepare = [](LoadSweepTest& t) {
        std::string bytes;
        for (int i = 0; i < 150; ++i) bytes += "A" + std::to_string(i) + "," + Filler(i) + "\r\n";
        std::ofstream(t.here + "/APPS.ZAA", std::ios::binary) << bytes;
    };
    // The dialog's script is queued in case the list shows; one that failed to be read shows no
    // dialog, and the sweep takes the script back afterwards.
    list.load = [](LoadSweepTest& t) {
        t.windowsBefore = t.selectors();
        t.ui.queueFileChoice(t.here + "/APPS.ZAA");
        t.ui.queueModal(kAppSelectWindowName, {platform::act::Click(platform::kIdCancel)});
        AppSelectOpen(t.dialog);
        return RecordedError().status;
    };
    list.whole = [](LoadSweepTest& t) {
        const platform::ShownWindow* shown = t.lastSelector();
        return t.selectors() > t.windowsBefore &&
               shown->control(appselectctl::kIds)->text.find("A149") != std::string::npos;
    };
    list.untouched = [](LoadSweepTest& t) { return t.selectors() == t.windowsBefore; };
    paths.push_back(list);

    LoadPath dictionary;
    dictionary.name = "dictionary";
    dictionary.named = "BE"; // its DICC.DAT or its REL.DAT, with the line
    dictionary.prepare = [](LoadSweepTest& t) {
        WriteLargeDictionary(t, 60);
        ASSERT_EQ(ClearDictionary(), status::kOk);
    };
    dictionary.load = [](LoadSweepTest&) { return LoadDictionary(TextRef(), "BE"_t, TextRef()); };
    dictionary.whole = [](LoadSweepTest&) {
        return FileCount() == 30 && TotalFieldCount() == 1800 && !RelationText(30).empty();
    };
    paths.push_back(dictionary);

    LoadPath language;
    language.name = "language file";
    language.named = "DU_ZERA_XX.MSJ";
    language.prepare = [](LoadSweepTest& t) {
        std::string bytes;
        for (int code = 1; code <= 120; ++code) {
            char head[8];
            std::snprintf(head, sizeof head, "%04d ", code);
            bytes += head + Filler(code) + "\r\n";
        }
        std::ofstream(t.here + "/DU_ZERA_XX.MSJ", std::ios::binary) << bytes;
        MsgCatalogReset();
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 4, TextView("XX")), status::kOk);
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 5, TextView(t.here)), status::kOk);
    };
    language.load = [](LoadSweepTest&) {
        MsgLoadLanguage(nullptr, 0);
        return RecordedError().status;
    };
    language.whole = [](LoadSweepTest&) {
        return MsgCatalogState() == catalog::kLoaded && Str(MsgLoaded(120)) == Filler(120);
    };
    language.untouched = [](LoadSweepTest&) {
        return MsgCatalogState() == catalog::kTried && MsgLoaded(1).empty() &&
               SlotCount(slotgroup::kFileLines) == 0;
    };
    paths.push_back(language);
    paths.push_back(StructureFile());
    paths.push_back(ScreenFile());
    paths.push_back(NextScreen());
    return paths;
}

TEST_F(LoadSweepTest, AReadThatFailsPartWayIsSaidAndNeverPassesForWhole) {
    int attempts = 0;
    for (const LoadPath& path : LoadPaths()) {
        for (int k = 1; k <= kMostReads; ++k) {
            SCOPED_TRACE(path.name + ": read step " + std::to_string(k));
            here = folder.File("attempt" + std::to_string(++attempts));
            fs::create_directory(here);
            fs::current_path(here);
            DesignerStateClear();
            path.prepare(*this);
            if (HasFatalFailure()) return;
            ClearRecordedError();
            LogErrorText(status::kOk, TextRef(), false);
            FileFaultArm({FileOp::kRead, k, FileFault::kFail, false, 0});
            const StatusCode st = path.load(*this);
            const bool struck = FileFaultStruck();
            FileFaultsOff();
            EXPECT_EQ(FilesOpen(), 0);
            EXPECT_EQ(ScratchDepth(), 0);
            if (st == status::kOk) {
                EXPECT_TRUE(path.whole(*this)) << "a load that says it went through is whole";
            } else {
                EXPECT_TRUE(struck) << "failed without a fault: " << st;
                EXPECT_EQ(st, status::kRead);
                EXPECT_NE(Str(ErrorDetail()).find(path.named), std::string::npos)
                    << "the failure names the file: " << Str(ErrorDetail());
                EXPECT_FALSE(path.whole(*this));
                if (path.untouched) {
                    EXPECT_TRUE(path.untouched(*this)) << "half a definition shows";
                }
            }
            if (ui.pendingCount() > 0) { // the script of a dialog that was never shown
                ui.queueFileChoice(here + "/APPS.ZAA");
                AppSelectOpen(dialog);
                EXPECT_EQ(ui.pendingCount(), 0u);
            }
            if (!struck) break;
            ASSERT_LT(k, kMostReads);
        }
    }
}

} // namespace
} // namespace vodarir::testing
