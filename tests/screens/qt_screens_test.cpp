// Smoke tests on the real Qt face (offscreen): a choice window answers keys, a list view and the
// idle picture show in a runtime window. Each test saves a screenshot in the temporary folder
// (vodarir-shots/) for a person to look at.
#include <gtest/gtest.h>

#include "masks/cell_fonts.h"
#include "platform/qt/qt_ui.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/ui/choice_prompts.h"
#include "runtime/ui/win_basics.h"
#include "screens/list_views.h"
#include "support/runtime_fixture.h"

// Qt's headers last: they define "slots" as a word of their own.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace vodarir {
namespace {

using namespace literals;
using platform::WindowId;

class QtScreensTest : public testing::RuntimeTest {
protected:
    platform::QtUi ui;

    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(TypedTablesInit(), status::kOk);
        SlotStoreSetTablesRelease(VariablesRelease);
        platform::SetUi(&ui);
        Reset();
    }
    void TearDown() override {
        Reset();
        platform::SetUi(nullptr);
        RuntimeTest::TearDown();
    }
    static void Reset() {
        WinStackReset();
        CellFontsReset();
        ListViewsReset();
    }
    // Saves what the window shows; answers the path.
    static QString Shot(QWidget* window, const QString& name) {
        const QString folder = QDir::temp().filePath(QStringLiteral("vodarir-shots"));
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
        EXPECT_TRUE(window->grab().save(path)) << path.toStdString();
        return path;
    }
    // Types a key into whatever has the focus in the window.
    static void Press(QWidget* window, Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : window, key);
    }
};

TEST_F(QtScreensTest, AChoiceWindowAnswersTheKeys) {
    const WindowId main =
        WinCreate("Mant"_t, "Vodarir"_t, winstyle::kOverlapped, 40, 40, 500, 300, nullptr, nullptr);
    ASSERT_NE(main, platform::kNoWindow);
    ui.showWindow(main, true);
    QString shot;
    int buttons = 0;
    QTimer::singleShot(300, [&] {
        const WindowId choice = WinTop();
        QWidget* w = ui.windowWidget(choice);
        ASSERT_NE(w, nullptr);
        buttons = ButtonCount(choice);
        Press(w, Qt::Key_Down);
        Press(w, Qt::Key_Down);
        QTest::qWait(50);
        shot = Shot(w, QStringLiteral("choice"));
        Press(w, Qt::Key_Return);
    });
    const std::uint16_t chosen = ChooseItem(
        "Report Type"_t, "Text,HTML,\"Trans, compact\",Compare"_t, chooseflag::kOwnWindow);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(buttons, 4);
    EXPECT_EQ(WinTop(), main);
    EXPECT_TRUE(ui.isWindowEnabled(main)) << "the window below is usable again";
    const QImage image(shot);
    EXPECT_FALSE(image.isNull());
    std::printf("choice window: %s\n", shot.toStdString().c_str());
}

TEST_F(QtScreensTest, AListViewAndTheIdlePictureShow) {
    const WindowId main = WinCreate("Dialog"_t, "Vodarir File Structure (CL)"_t,
                                    winstyle::kOverlapped, 40, 40, 860, 600, nullptr, nullptr);
    ui.showWindow(main, true);
    ASSERT_EQ(ShowBackgroundImage(main), status::kOk) << "the picture is a resource of the face";
    QTest::qWait(50);
    const QString idle = Shot(ui.windowWidget(main), QStringLiteral("idle"));

    ui.destroyControls(main, platform::ChildFilter::All);
    ASSERT_EQ(ListViewCreate(main, 4, 4, 420, 300), 0);
    ASSERT_EQ(ListViewSetColumns(0, "Nombre,Longitud,T"_t), status::kOk);
    const char* rows[][3] = {{"CODIGO", "6", "N"}, {"NOMBRE", "40", "A"}, {"ALTA", "8", "D"}};
    for (std::uint16_t r = 0; r < 3; ++r) {
        for (std::uint16_t c = 0; c < 3; ++c) {
            ASSERT_EQ(ListViewSetCell(0, r, c, TextView(rows[r][c])), status::kOk);
        }
    }
    ASSERT_EQ(ListViewSetCell(0, 3, 0, "       +      "_t), status::kOk);
    auto* tree = qobject_cast<QTreeWidget*>(ui.controlWidget(main, 3200));
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->isVisible());
    EXPECT_EQ(tree->topLevelItemCount(), 4);
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("NOMBRE"));
    QTest::qWait(50);
    const QString list = Shot(ui.windowWidget(main), QStringLiteral("listview"));
    std::printf("idle picture: %s\nlist view: %s\n", idle.toStdString().c_str(),
                list.toStdString().c_str());
}

} // namespace
} // namespace vodarir
