// The designer on the real Qt face, offscreen: the program's start with a file on its command
// line, the idle dialog and its menu, a script, a document with the Document Function Selector,
// the AppSelect dialog and the About box. Each test saves screenshots in the temporary folder
// (vodarir-shots/) for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "designer/screen_files.h"
#include "designer/vodarir_app.h"
#include "dictionary/dictionary.h"
#include "platform/qt/qt_ui.h"
#include "support/temp_folder.h"

// Qt's headers last: they define "slots" as a word of their own.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>

namespace vodarir {
namespace {

namespace fs = std::filesystem;

// How long a test may wait for the designer before it gives up and ends every loop.
constexpr int kPatienceMs = 20000;
constexpr int kTickMs = 20;

// Runs steps one after the other from a timer, which fires inside whatever loop the designer is
// in (its dialog, a message box, a choice window). A step answers true when it is done.
class Driver {
public:
    using Step = std::function<bool()>;
    explicit Driver(std::vector<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(kTickMs);
    }
    bool finished() const { return next_ == steps_.size(); }
    std::size_t reached() const { return next_; }

private:
    void tick() {
        if (finished()) return;
        if (steps_[next_]()) {
            ++next_;
            waited_ = 0;
        } else if ((waited_ += kTickMs) > kPatienceMs) {

            ADD_FAILURE() << "step " << next_ << " never happened";
            timer_.stop();
            QCoreApplication::exit(1); // ends every loop, so the test can end
        }
    }
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int waited_ = 0;
    QTimer timer_;
};

QWidget* TopWindow(const QString& titleStart) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle().startsWith(titleStart)) return w;
    }
    return nullptr;
}

QMessageBox* ShownBox() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

QAction* MenuAction(QWidget* window, int command) {
    for (QAction* a : window->findChildren<QAction*>()) {
        if (a->data().toInt() == command) return a;
    }
    return nullptr;
}

QPushButton* Button(QWidget* window, const QString& text) {
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text().remove(u'&') == text) return b;
    }
    return nullptr;
}

void Shot(QWidget* window, const char* name) {
    const QString folder = QDir::temp().filePath(QStringLiteral("vodarir-shots"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    EXPECT_TRUE(window->grab().save(path)) << path.toStdString();
}

class QtDesignerTest : public ::testing::Test {
protected:
    void SetUp() override {
        before_ = fs::current_path();
        for (const char* f : {"ALTOTAL.PRX", "ALPEDIDO.PDC", "ALAPPS.ZAA", "ALPANT.PAN",
                              "ALPANT.PPN", "ALDICC.DAT", "ALREL.DAT"}) {
            fs::copy_file(fs::path(VODARIR_EXAMPLES_DIR) / "almacen" / f, folder.File(f));
        }
        platform::SetUi(&ui);
    }
    void TearDown() override {
        platform::SetUi(nullptr);
        fs::current_path(before_);
    }
    // Starts the designer on the file, as the program would, and runs the steps inside it.
    void Run(const std::string& file, std::vector<Driver::Step> steps) {
        const std::string program = folder.File("vodarir");
        const char* argv[] = {program.c_str(), file.c_str()};
        const std::string line = JoinCommandLine(2, argv);
        Driver driver(std::move(steps));
        CVodarirApp app;
        app.InitInstance(TextView(line));
        EXPECT_TRUE(driver.finished()) << "stopped at step " << driver.reached();
        EXPECT_EQ(app.shutdownStatus(), status::kOk);
    }

    testing::TempFolder folder;
    platform::QtUi ui;

private:
    fs::path before_;
};

TEST_F(QtDesignerTest, TheIdleDialogShowsItsPictureMenuAndAboutBox) {
    QWidget* main = nullptr;
    // A file of no kind the designer edits: it starts idle, without asking for the folder.
    folder.Write("notas.txt", "");
    Run(folder.File("notas.txt"),
        {[&] { return (main = TopWindow(QStringLiteral("Vodarir"))) != nullptr; },
         [&] {
             EXPECT_EQ(main->windowTitle(), QStringLiteral("Vodarir"));
             auto* bar = main->findChild<QMenuBar*>();
             EXPECT_NE(bar, nullptr);
             EXPECT_TRUE(MenuAction(main, 57601)->isEnabled()) << "File > Open";
             EXPECT_TRUE(MenuAction(main, 32774)->isEnabled()) << "File > Report";
             EXPECT_TRUE(MenuAction(main, 32787)->isEnabled());
             bool picture = false;
             for (QLabel* l : main->findChildren<QLabel*>()) {
                 picture = picture || (l->isVisible() && !l->pixmap().isNull());
             }
             EXPECT_TRUE(picture) << "the idle picture is shown";
             Shot(main, "designer-idle");
             QTimer::singleShot(0, [main] { MenuAction(main, 32800)->trigger(); });
             return true;
         },
         [&] { return ShownBox() != nullptr; },
         [&] {
             QMessageBox* box = ShownBox();
             EXPECT_EQ(box->windowTitle(), QStringLiteral("Acerca de"));
             EXPECT_TRUE(box->text().contains(QStringLiteral("Versión 2.09p")))
                 << box->text().toStdString();
             Shot(box, "designer-about");
             box->button(QMessageBox::Ok) != nullptr ? box->button(QMessageBox::Ok)->click()
                                                     : box->accept();
             return true;
         },
         [&] { return ShownBox() == nullptr; },
         [&] {
             main->close();
             return true;
         }});
}

TEST_F(QtDesignerTest, AScriptFromTheCommandLineIsEditedAndKeptAcrossLayouts) {
    QWidget* main = nullptr;
    QPlainTextEdit* edit = nullptr;
    Run(folder.File("ALTOTAL.PRX"),
        {[&] { return (main = TopWindow(QStringLiteral("Vodarir Script"))) != nullptr; },
         [&] {
             EXPECT_EQ(main->windowTitle(), QStringLiteral("Vodarir Script Edition (ALTOTAL)"));
             edit = main->findChild<QPlainTextEdit*>();
             EXPECT_NE(edit, nullptr);
             EXPECT_TRUE(edit->toPlainText().contains(QStringLiteral("÷DTO{lineas}")));
             EXPECT_TRUE(edit->toPlainText().contains(QStringLiteral("líneas")));
             Shot(main, "designer-script");
             edit->setFocus();
             QTest::keyClicks(edit, QStringLiteral("; ok"));
             QTimer::singleShot(0, [main] { MenuAction(main, 32781)->trigger(); });
             return true;
         },
         [&] { return main->windowTitle().startsWith(QStringLiteral("Vodarir Document")); },
         [&] {
             QTimer::singleShot(0, [main] { MenuAction(main, 32785)->trigger(); });
             return true;
         },
         [&] { return main->windowTitle().startsWith(QStringLiteral("Vodarir Script")); },
         [&] {
             edit = main->findChild<QPlainTextEdit*>();
             EXPECT_TRUE(edit->toPlainText().startsWith(QStringLiteral("; ok; Recalcula")))
                 << edit->toPlainText().left(40).toStdString();
             QTimer::singleShot(0, [main] { main->close(); });
             return true;
         },
         [&] { return ShownBox() != nullptr; },
         [&] {
             EXPECT_TRUE(ShownBox()->text().contains(QStringLiteral("Posible perdida")));
             ShownBox()->button(QMessageBox::Yes)->click();
             return true;
         }});
}

TEST_F(QtDesignerTest, TypingABarInADocumentOffersTheFunctions) {
    QWidget* main = nullptr;
    QPlainTextEdit* edit = nullptr;
    QWidget* chooser = nullptr;
    Run(folder.File("ALPEDIDO.PDC"),
        {[&] { return (main = TopWindow(QStringLiteral("Vodarir Document"))) != nullptr; },
         [&] {
             edit = main->findChild<QPlainTextEdit*>();
             EXPECT_TRUE(edit->toPlainText().contains(QStringLiteral("» |##########|")));
             EXPECT_TRUE(edit->toPlainText().contains(QStringLiteral("«Observaciones")));
             Shot(main, "designer-document");
             edit->setFocus();
             edit->moveCursor(QTextCursor::End);
             QTimer::singleShot(0, [edit] {
                 QTest::keyClick(edit, Qt::Key_Return);
                 QTest::keyClicks(edit, QStringLiteral("|"));
             });
             return true;
         },
         [&] { return (chooser = TopWindow(QStringLiteral("Document Function"))) != nullptr; },
         [&] {
             Shot(chooser, "designer-function-selector");
             QPushButton* loop = Button(chooser, QStringLiteral("Loop"));
             EXPECT_NE(loop, nullptr);
             if (loop != nullptr) loop->click();
             return true;
         },
         [&] { return TopWindow(QStringLiteral("Document Function")) == nullptr; },
         [&] {
             EXPECT_TRUE(edit->toPlainText().endsWith(QStringLiteral("confianza\n»")))
                 << edit->toPlainText().right(20).toStdString();
             QTimer::singleShot(0, [main] { main->close(); });
             return true;
         },
         [&] { return ShownBox() != nullptr; },
         [&] {
             ShownBox()->button(QMessageBox::Yes)->click();
             return true;
         }});
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The list of a window whose header's first column starts with the text.
QTreeWidget* ListTitled(QWidget* window, const QString& title) {
    for (QTreeWidget* t : window->findChildren<QTreeWidget*>()) {
        if (t->isVisible() && t->headerItem()->text(0).trimmed().startsWith(title)) return t;
    }
    return nullptr;
}

// A double-click on a row of a list, where the user's pointer would be.
void DoubleClickRow(QTreeWidget* list, int row) {
    const QRect at = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at.center());
}

TEST_F(QtDesignerTest, TheSamplesStructureIsEditedWithTheMouseAndTheKeyboard) {
    QWidget* main = nullptr;
    QWidget* properties = nullptr;
    Run(folder.File("ALDICC.DAT"),
        {[&] { return (main = TopWindow(QStringLiteral("Vodarir File Structure"))) != nullptr; },
         [&] {
             QTreeWidget* files = ListTitled(main, QStringLiteral("File Name"));
             EXPECT_NE(files, nullptr);
             if (files == nullptr) return true;
             EXPECT_EQ(files->topLevelItemCount(), 8);
             EXPECT_EQ(files->topLevelItem(3)->text(0), QStringLiteral("familias"));
             DoubleClickRow(files, 3);
             return true;
         },
         [&] {
             QTreeWidget* fields = ListTitled(main, QStringLiteral("Field Name"));
             if (fields == nullptr || fields->topLevelItemCount() != 4) return false;
             EXPECT_EQ(fields->topLevelItem(1)->text(0), QStringLiteral("DESCRIP"));
             Shot(main, "designer-structure");
             fields->setFocus();
             fields->setCurrentItem(fields->topLevelItem(3)); // the "+" row
             QTimer::singleShot(0, [fields] { QTest::keyClick(fields, Qt::Key_Insert); });
             return true;
         },
         [&] {
             return (properties = TopWindow(QStringLiteral("File Field Properties"))) != nullptr;
         },
         [&] {
             QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("PAIS"));
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
             QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("3"));
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
             QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("C"));
             Shot(properties, "designer-field-properties");
             QTimer::singleShot(
                 0, [properties] { Button(properties, QStringLiteral("OK"))->click(); });
             return true;
         },
         [&] { return TopWindow(QStringLiteral("File Field Properties")) == nullptr; },
         [&] {
             QTreeWidget* fields = ListTitled(main, QStringLiteral("Field Name"));
             if (fields == nullptr || fields->topLevelItemCount() != 5) return false;
             EXPECT_EQ(fields->topLevelItem(3)->text(0), QStringLiteral("PAIS"));
             EXPECT_EQ(fields->topLevelItem(3)->text(1), QStringLiteral("3"));
             Shot(main, "designer-structure-edited");
             fields->setFocus();
             QTest::keyClick(fields, Qt::Key_Z, Qt::ControlModifier);
             return true;
         },
         [&] {
             QTreeWidget* fields = ListTitled(main, QStringLiteral("Field Name"));
             if (fields == nullptr || fields->topLevelItemCount() != 4) return false;
             // An undo is a change to save: Save asks nothing and writes.
             QTimer::singleShot(0, [main] { MenuAction(main, 57603)->trigger(); });
             return true;
         },
         [&] { return folder.Exists("Backups"); },
         [&] {
             EXPECT_EQ(ShownBox(), nullptr);
             EXPECT_EQ(folder.Read("ALDICC.DAT"),
                       ReadAll(fs::path(VODARIR_EXAMPLES_DIR) / "almacen" / "ALDICC.DAT"))
                 << "changed and undone, the file is saved as it was, byte for byte";
             QTimer::singleShot(0, [main] { main->close(); });
             return true;
         }});
}

TEST_F(QtDesignerTest, ASelectionListFromTheCommandLineOpensTheSelector) {
    QWidget* selector = nullptr;
    Run(folder.File("ALAPPS.ZAA"),
        {[&] { return (selector = TopWindow(QStringLiteral("AppSelect"))) != nullptr; },
         [&] {
             const QList<QPlainTextEdit*> columns = selector->findChildren<QPlainTextEdit*>();
             EXPECT_EQ(columns.size(), 4);
             bool ids = false;
             for (QPlainTextEdit* c : columns) {
                 ids = ids || c->toPlainText() == QStringLiteral("AL\nTD\nPR");
             }
             EXPECT_TRUE(ids);
             Shot(selector, "designer-appselect");
             Button(selector, QStringLiteral("Cancel"))->click();
             return true;
         },
         [&] {
             // The selection list has no title of its own: the designer's caption is empty.
             QWidget* main = nullptr;
             for (QWidget* w : QApplication::topLevelWidgets()) {
                 if (w->isVisible() && w->findChild<QMenuBar*>() != nullptr) main = w;
             }
             if (main == nullptr) return false;
             EXPECT_EQ(main->windowTitle(), QString());
             main->close();
             return true;
         }});
}

TEST_F(QtDesignerTest, ADocumentWhoseLinesCannotAllComeBackSaysSoWhenOpened) {
    QWidget* main = nullptr;
    // A line without its position, and a row written after a later one.
    folder.Write("RARO.PDC", " 1  1Pedido\r\nsuelta\r\n 5  1Total\r\n 3  1Cliente\r\n");
    Run(folder.File("RARO.PDC"),
        {[&] { return ShownBox() != nullptr; },
         [&] {
             QMessageBox* box = ShownBox();
             EXPECT_TRUE(box->text().contains(QStringLiteral("lines 2, 4 of its file (2 in all)")))
                 << box->text().toStdString();
             Shot(box, "designer-document-lines");
             box->button(QMessageBox::Ok)->click();
             return true;
         },
         [&] { return (main = TopWindow(QStringLiteral("Vodarir Document"))) != nullptr; },
         [&] {
             main->close();
             return true;
         }});
}

TEST_F(QtDesignerTest, ACommaTypedIntoTheSelectorIsRefusedNamingItsColumn) {
    QWidget* selector = nullptr;
    QPlainTextEdit* names = nullptr;
    Run(folder.File("ALAPPS.ZAA"),
        {[&] { return (selector = TopWindow(QStringLiteral("AppSelect"))) != nullptr; },
         [&] {
             for (QPlainTextEdit* c : selector->findChildren<QPlainTextEdit*>()) {
                 if (c->toPlainText().startsWith(QStringLiteral("Almac"))) names = c;
             }
             EXPECT_NE(names, nullptr);
             if (names == nullptr) return true;
             names->setFocus();
             names->moveCursor(QTextCursor::End);
             QTest::keyClicks(names, QStringLiteral(", Sur"));
             QTimer::singleShot(0, [selector] { Button(selector, QStringLiteral("OK"))->click(); });
             return true;
         },
         [&] { return ShownBox() != nullptr; },
         [&] {
             QMessageBox* box = ShownBox();
             EXPECT_TRUE(
                 box->text().startsWith(QStringLiteral("In column App Denomination on line")))
                 << box->text().toStdString();
             Shot(box, "designer-appselect-comma");
             box->button(QMessageBox::Ok)->click();
             return true;
         },
         [&] { return ShownBox() == nullptr; },
         [&] {
             EXPECT_TRUE(selector->isVisible()) << "the selector stays open to mend the text";
             Shot(selector, "designer-appselect-refused");
             Button(selector, QStringLiteral("Cancel"))->click();
             return true;
         },
         [&] {
             QWidget* main = nullptr;
             for (QWidget* w : QApplication::topLevelWidgets()) {
                 if (w->isVisible() && w->findChild<QMenuBar*>() != nullptr) main = w;
             }
             if (main == nullptr) return false;
             main->close();
             return true;
         }});
    EXPECT_EQ(folder.Read("ALAPPS.ZAA").find(", Sur"), std::string::npos);
}

// A label of the window whose text starts so (the screen editor's status line).
QLabel* LabelStarting(QWidget* window, const QString& start) {
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (l->isVisible() && l->text().startsWith(start)) return l;
    }
    return nullptr;
}

// A line edit of the window whose text is `text`.
QLineEdit* LineEdit(QWidget* window, const QString& text) {
    for (QLineEdit* e : window->findChildren<QLineEdit*>()) {
        if (e->isVisible() && e->text() == text) return e;
    }
    return nullptr;
}

TEST_F(QtDesignerTest, AScreenIsDrawnBoundPreviewedAndSaved) {
    QWidget* main = nullptr;
    QPlainTextEdit* edit = nullptr;
    QWidget* fields = nullptr;
    QWidget* form = nullptr;
    QWidget* preview = nullptr;
    Run(folder.File("ALPANT.PAN"),
        {[&] { return (main = TopWindow(QStringLiteral("Vodarir Screen Design"))) != nullptr; },
         [&] {
             // The application's dictionary, so the status line names the bound fields.
             EXPECT_EQ(LoadDictionary(TextRef(), TextView("ALDICC"), TextRef()), status::kOk);
             edit = main->findChild<QPlainTextEdit*>();
             EXPECT_NE(edit, nullptr);
             EXPECT_TRUE(edit->toPlainText().contains(QStringLiteral("MANTENIMIENTO DE ART")));
             edit->setFocus();
             // The end of the IVA row: a cost with taxes, typed from outside this step because
             // the bar opens the field dialog's own loop.
             QTextCursor c = edit->textCursor();
             c.setPosition(edit->document()->findBlockByNumber(9).position() + 22);
             edit->setTextCursor(c);
             QTimer::singleShot(
                 0, [edit] { QTest::keyClicks(edit, QStringLiteral("        Coste + IVA: |")); });
             return true;
         },
         [&] { return (fields = TopWindow(QStringLiteral("Screen Field Properties"))) != nullptr; },
         [&] {
             // The new field took the bindings of the field whose place it took.
             EXPECT_NE(LineEdit(fields, QStringLiteral("8")), nullptr);
             const QList<QLineEdit*> edits = fields->findChildren<QLineEdit*>();
             // Type, length, file, field in the order the dialog made them.
             const QString values[] = {QStringLiteral("2"), QStringLiteral("10"),
                                       QStringLiteral("1"), QStringLiteral("6")};
             int v = 0;
             for (QLineEdit* e : edits) {
                 if (!e->isEnabled() || v == 4) continue;
                 e->setFocus();
                 e->selectAll();
                 QTest::keyClicks(e, values[v++]);
             }
             Shot(fields, "designer-screen-field");
             QTimer::singleShot(
                 0, [fields] { Button(fields, QStringLiteral("Field Parms"))->click(); });
             return true;
         },
         [&] { return (form = TopWindow(QStringLiteral("Field Attributes"))) != nullptr; },
         [&] {
             QLineEdit* name = nullptr;
             for (QLineEdit* e : form->findChildren<QLineEdit*>()) {
                 if (e->isVisible() && name == nullptr) name = e;
             }
             EXPECT_NE(name, nullptr);
             if (name != nullptr) {
                 name->setFocus();
                 name->selectAll();
                 QTest::keyClicks(name, QStringLiteral("COSTEIVA#"));
             }
             Shot(form, "designer-screen-form");
             QTimer::singleShot(0, [form] { Button(form, QStringLiteral("Aceptar"))->click(); });
             return true;
         },
         [&] { return TopWindow(QStringLiteral("Field Attributes")) == nullptr; },
         [&] {
             Button(fields, QStringLiteral("Done"))->click();
             return true;
         },
         [&] { return TopWindow(QStringLiteral("Screen Field Properties")) == nullptr; },
         [&] {
             QLabel* status = LabelStarting(main, QStringLiteral("Row 10"));
             EXPECT_NE(status, nullptr);
             if (status != nullptr) {
                 EXPECT_TRUE(status->text().contains(QStringLiteral("file 1 articulos, field 6 "
                                                                    "COSTE, length 10, type 2")))
                     << status->text().toStdString();
             }
             Shot(main, "designer-screen");
             QTimer::singleShot(0, [main] { MenuAction(main, 32805)->trigger(); });
             return true;
         },
         [&] { return (preview = TopWindow(QStringLiteral("Preview of ALPANT"))) != nullptr; },
         [&] {
             Shot(preview, "designer-screen-preview");
             QWidget* focused = QApplication::focusWidget();
             QTest::keyClick(focused != nullptr ? focused : preview, Qt::Key_Escape);
             return true;
         },
         [&] { return TopWindow(QStringLiteral("Preview of ALPANT")) == nullptr; },
         [&] {
             QTimer::singleShot(0, [main] { MenuAction(main, 32778)->trigger(); });
             return true;
         },
         [&] { return !main->windowTitle().isEmpty() && ShownBox() == nullptr; },
         [&] {
             main->close();
             return true;
         }});
    const std::string pan = folder.Read("ALPANT.PAN");
    EXPECT_NE(pan.find("\" 111044 1 6102\""), std::string::npos) << "the new field, saved";
    EXPECT_NE(folder.Read("ALPANT.PPN").find("COSTEIVA#"), std::string::npos);
}

TEST_F(QtDesignerTest, TheApplicationCheckListsTheProblemsAndOpensTheOneChosen) {
    // The broken copy of the sample in place of the sample's own files.
    for (const char* f : {"ALPANT.PAN", "ALPANT.PPN", "ALDICC.DAT", "ALREL.DAT", "ALTOTAL.PRX",
                          "ALPEDIDO.PDC", "ALAPPS.ZAA"}) {
        fs::copy_file(fs::path(VODARIR_CHECK_DIR) / "broken_app" / f, folder.File(f),
                      fs::copy_options::overwrite_existing);
    }
    fs::current_path(folder.path());
    QWidget* main = nullptr;
    QWidget* check = nullptr;
    Run(folder.File("ALTOTAL.PRX"),
        {[&] { return (main = TopWindow(QStringLiteral("Vodarir Script"))) != nullptr; },
         [&] {
             QTimer::singleShot(0, [main] { MenuAction(main, 32801)->trigger(); });
             return true;
         },
         [&] { return (check = TopWindow(QStringLiteral("Application check"))) != nullptr; },
         [&] {
             auto* list = check->findChild<QTreeWidget*>();
             EXPECT_NE(list, nullptr);
             if (list == nullptr) return true;
             EXPECT_EQ(list->topLevelItemCount(), 22);
             // The field whose type differs from its dictionary field's.
             QTreeWidgetItem* row = nullptr;
             for (int i = 0; i < list->topLevelItemCount(); ++i) {
                 QTreeWidgetItem* item = list->topLevelItem(i);
                 if (item->text(3).startsWith(QStringLiteral("Field 9 has type"))) row = item;
             }
             EXPECT_NE(row, nullptr);
             if (row != nullptr) list->setCurrentItem(row);
             Shot(check, "check");
             QTimer::singleShot(0, [check] { Button(check, QStringLiteral("Open"))->click(); });
             return true;
         },
         [&] { return TopWindow(QStringLiteral("Vodarir Screen Design")) != nullptr; },
         [&] {
             auto* edit = main->findChild<QPlainTextEdit*>();
             EXPECT_NE(edit, nullptr);
             if (edit != nullptr) {
                 EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("|"))
                     << "the field's bar is selected";
             }
             QLabel* status = LabelStarting(main, QStringLiteral("Row 12"));
             EXPECT_NE(status, nullptr);
             if (status != nullptr) {
                 EXPECT_TRUE(status->text().contains(QStringLiteral("Field 9 of 11")))
                     << status->text().toStdString();
             }
             Shot(main, "check-opened");
             main->close();
             return true;
         }});
}

} // namespace
} // namespace vodarir
