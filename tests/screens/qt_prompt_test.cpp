// Prompt dialogs and screen windows on the real Qt face (offscreen): labels and edits stand on
// their character cells in the fixed-pitch font, keys move between the fields and Enter in the
// last one accepts. Each test saves a screenshot in the temporary folder (vodarir-shots/).
#include <gtest/gtest.h>

#include "masks/cell_fonts.h"
#include "platform/qt/qt_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/ui/win_basics.h"
#include "runtime/ui/window_geometry.h"
#include "screens/list_views.h"
#include "screens/prompt_dialog.h"
#include "screens/screen_windows.h"
#include "script/prompt_spec.h"
#include "support/runtime_fixture.h"

// Qt's headers last: they define "slots" as a word of their own.
#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace vodarir {
namespace {

using namespace literals;
using platform::WindowId;

class QtPromptTest : public testing::RuntimeTest {
protected:
    platform::QtUi ui;

    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(RuntimeInit(), status::kOk);
        platform::SetUi(&ui);
        Reset();
    }
    void TearDown() override {
        ScreensReset();
        Reset();
        platform::SetUi(nullptr);
        RuntimeTest::TearDown();
    }
    static void Reset() {
        WinStackReset();
        CellFontsReset();
        ListViewsReset();
        GeometryReset();
    }
    static QString Shot(QWidget* window, const QString& name) {
        const QString folder = QDir::temp().filePath(QStringLiteral("vodarir-shots"));
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
        EXPECT_TRUE(window->grab().save(path)) << path.toStdString();
        return path;
    }
    static void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    }
};

TEST_F(QtPromptTest, APromptStandsOnItsCellsAndAnswersTheKeys) {
    const CellDims cell = CellSize();
    ASSERT_GT(cell.width, 1);
    ASSERT_GT(cell.height, 3);
    QString shot;
    bool checked = false;
    QTimer::singleShot(200, [&] {
        const WindowId dialog = WinTop();
        QWidget* w = ui.windowWidget(dialog);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Conexion"));
        // Labels and edits on their cells, in the fixed-pitch font the cells were measured with.
        auto* user = qobject_cast<QLineEdit*>(ui.controlWidget(dialog, 2001));
        ASSERT_NE(user, nullptr);
        EXPECT_TRUE(QFontInfo(user->font()).fixedPitch());
        EXPECT_EQ(user->geometry().y(), RowY(2));
        EXPECT_EQ(user->geometry().x(), ColumnX(17) - cell.width / 4);
        EXPECT_EQ(user->height(), cell.height);
        auto* pass = qobject_cast<QLineEdit*>(ui.controlWidget(dialog, 2002));
        ASSERT_NE(pass, nullptr);
        EXPECT_EQ(pass->echoMode(), QLineEdit::Password);
        bool labelOnItsCell = false;
        for (QLabel* label : w->findChildren<QLabel*>()) {
            if (label->text() == QStringLiteral("Usuario:")) {
                labelOnItsCell = label->geometry().topLeft() == QPoint(ColumnX(1), RowY(2));
                EXPECT_TRUE(QFontInfo(label->font()).fixedPitch());
            }
        }
        EXPECT_TRUE(labelOnItsCell);
        checked = true;
        Key(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ana"));
        Key(Qt::Key_Return);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("secreto"));
        Key(Qt::Key_Tab, Qt::ShiftModifier);
        Key(Qt::Key_Tab);
        QTest::qWait(50);
        shot = Shot(w, QStringLiteral("prompt"));
        Key(Qt::Key_Return);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("y"));
        Key(Qt::Key_Return);
    });
    const PromptResult r =
        RunPrompt("'Servidor:':'A30'::'local','Usuario:':'A30'::'','Clave:':'P30'::'',"
                  "'Recordar (S/N):':'L1'"_t,
                  "Conexion"_t, 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(r.status, status::kOk);
    EXPECT_EQ(r.answers, "'local','ana','secreto','1'");
    EXPECT_EQ(WinTop(), platform::kNoWindow);
    std::printf("prompt dialog: %s\n", shot.toStdString().c_str());
}

TEST_F(QtPromptTest, AScreenWindowTakesEscapeThroughItsAction) {
    std::uint16_t screen = 0;
    const std::string def = "0 2 2Cliente:\r\n1 212 0 020A\r\n0 3 2Importe:\r\n1 312 0 0 8N\r\n";
    ASSERT_EQ(OpenScreen(2, TextView(def), "FD$='CLI$,IMP#'"_t, 0, &screen), status::kOk);
    ASSERT_EQ(OpenScreenWindow(2, 0, "Clientes"_t, nullptr), status::kOk);
    ASSERT_EQ(ScreenSetWin(0), status::kOk);
    ScreenActionSet([](std::uint16_t event,
                       void*) -> StatusCode { return event == 21 ? 8 : BuiltinScreenEvent(event); },
                    nullptr, nullptr);
    const WindowId native = CurrentNativeWindow();
    WinShowTop();
    ui.setFocus(native, 2000);
    QString shot;
    QTimer::singleShot(200, [&] {
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Garcia"));
        Key(Qt::Key_Return);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1250"));
        QTest::qWait(50);
        shot = Shot(ui.windowWidget(native), QStringLiteral("screen"));
        Key(Qt::Key_Escape);
    });
    PumpUntilQuit(native);
    EXPECT_FALSE(ui.windowExists(native));
    ScreenMakeCurrent(screen);
    EXPECT_EQ(ScreenFieldOf(screen, 1)->value, "Garcia") << "Enter stored it";
    EXPECT_EQ(ScreenFieldOf(screen, 2)->value, "") << "Escape does not";
    std::printf("screen window: %s\n", shot.toStdString().c_str());
}

} // namespace
} // namespace vodarir
