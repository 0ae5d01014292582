// Every reader of a definition swept with a read that fails, at the 1st, 2nd, ... read step until
// the load meets no k-th read and goes through: a failure part way gives its status (136, with the
// file), and never leaves a half-read definition standing as if it were whole; a load the fault
// missed gives the whole definition.
//
// A new reader joins with one row of LoadPaths().
#include <gtest/gtest.h>

#include <functional>

#include "designer/app_selector.h"
#include "designer/document_editor.h"
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
        std::string dicc;
        std::string rel;
        char line[64];
        for (int f = 1; f <= 30; ++f) {
            std::snprintf(line, sizeof line, "%02d* *  fichero%02d\r\n", f, f);
            dicc += line;
            for (int k = 1; k <= 60; ++k) {
                std::snprintf(line, sizeof line, "%02d00<    %3d>ACAMPO%02d\r\n", f, k, k);
                dicc += line;
            }
            std::snprintf(line, sizeof line, "%02d:%dR1K1=CAMPO01\r\n", 60 + f, f % 30 + 1);
            rel += line;
        }
        std::ofstream(t.here + "/BEDICC.DAT", std::ios::binary) << dicc;
        std::ofstream(t.here + "/BEREL.DAT", std::ios::binary) << rel;
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
