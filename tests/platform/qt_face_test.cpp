// Smoke tests of the Qt face on the offscreen platform: windows, menus and edits open, texts
// cross in cp1252, keys reach the core as virtual keys, modal loops end when asked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>

#include "platform/event_recorder.h"
#include "platform/qt/qt_ui.h"

namespace vodarir::platform {
namespace {

using testing::EventRecorder;
using Lines = std::vector<std::string>;

// A shown, active window on a fresh face; controls are added by the test.
struct QtBench : ::testing::Test {
    QtUi ui;
    EventRecorder events;
    WindowId w = kNoWindow;

    void open(WindowStyle style = kWinCaption | kWinSystemMenu,
              std::string_view title = "Vodarir") {
        WindowSpec spec;
        spec.name = "Dialog";
        spec.title = title;
        spec.frame = {40, 40, 480, 320};
        spec.style = style;
        w = ui.createWindow(spec, &events);
        ASSERT_NE(w, kNoWindow);
        ui.activateWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(ui.windowWidget(w)));
    }
    void add(ControlKind kind, ControlId id, ControlStyle style = kTabStop,
             std::string_view text = {}, Rect rect = {10, 10, 200, 24}) {
        ControlSpec spec;
        spec.kind = kind;
        spec.id = id;
        spec.rect = rect;
        spec.style = style;
        spec.text = text;
        ASSERT_TRUE(ui.createControl(w, spec));
    }
    QWidget* widget(ControlId id) { return ui.controlWidget(w, id); }
    void focus(ControlId id) {
        ASSERT_TRUE(ui.setFocus(w, id));
        QTRY_VERIFY(widget(id)->hasFocus());
        events.lines.clear();
    }
};

TEST_F(QtBench, AWindowWithAMenuAndAnEditOpens) {
    open();
    ui.setMenu(w, {MenuPopup("&File", {MenuCommand("&View", 32772), MenuSeparator(),
                                       MenuCommand("&Save", 57603, false)}),
                   MenuPopup("&Help", {MenuCommand("&About", 32800)})});
    add(ControlKind::Edit, 2500, kTabStop | kMultiLine | kScrollBars | kBorder, "",
        {0, 25, 480, 200});
    ui.setControlFont(w, 2500, kFixedFont);
    QWidget* top = ui.windowWidget(w);
    auto* bar = top->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), QStringLiteral("&File"));
    EXPECT_TRUE(widget(2500)->isVisible());
    EXPECT_EQ(ui.controlRect(w, 2500), (Rect{0, 25, 480, 200}));
    EXPECT_EQ(ui.title(w), "Vodarir");
    const Size client = ui.clientSize(w);
    EXPECT_GT(client.width, 0);
    EXPECT_LT(client.height, top->height()) << "the menu bar is not client area";
    // A menu command reaches the core with notification 0; a disabled one cannot be chosen.
    QAction* view = nullptr;
    QAction* save = nullptr;
    for (QAction* a : bar->findChildren<QAction*>()) {
        if (a->data().toInt() == 32772) view = a;
        if (a->data().toInt() == 57603) save = a;
    }
    ASSERT_TRUE(view && save);
    EXPECT_FALSE(save->isEnabled());
    view->trigger();
    EXPECT_EQ(events.only("cmd"), Lines{"cmd 32772 0"});
    EXPECT_TRUE(ui.enableMenuItem(w, 57603, true));
    EXPECT_TRUE(save->isEnabled());
}

TEST_F(QtBench, TextsCrossInCp1252BothWays) {
    open();
    add(ControlKind::Edit, 1008);
    add(ControlKind::Edit, 2500, kTabStop | kMultiLine, "", {10, 40, 200, 100});
    add(ControlKind::StaticText, 3101, 0);
    const std::string line = "\xA6 \xAB"
                             "x\xBB \xF7 \x80 \x81\x8D \xA0 \xF1";
    const std::string lines = "\x80\xA0"
                              "a\r\n\xAB\xF7\xBB\r\n";
    ASSERT_TRUE(ui.setText(w, 1008, line));
    ASSERT_TRUE(ui.setText(w, 2500, lines));
    ASSERT_TRUE(ui.setText(w, 3101, line));
    EXPECT_EQ(ui.text(w, 1008), line);
    EXPECT_EQ(ui.text(w, 2500), lines);
    EXPECT_EQ(ui.text(w, 3101), line);
    const QString shown = static_cast<QLineEdit*>(widget(1008))->text();
    EXPECT_EQ(shown, QString::fromUtf8("\xC2\xA6 \xC2\xABx\xC2\xBB \xC3\xB7 \xE2\x82\xAC \xC2\x81"
                                       "\xC2\x8D \xC2\xA0 \xC3\xB1"));
    EXPECT_TRUE(events.only("cmd").empty()) << "the core's own texts raise no change";
}

// Characters no key of a US keyboard makes, as an input method delivers them: a key event
// with no key code and the character as its text.
void TypeCharacters(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

TEST_F(QtBench, TypedCharactersReachTheCoreAsCp1252Bytes) {
    open();
    add(ControlKind::Edit, 1008);
    focus(1008);
    TypeCharacters(widget(1008), QString::fromUtf8("\xC3\xB7\xE2\x82\xAC"
                                                   "a"));
    EXPECT_EQ(ui.text(w, 1008), "\xF7\x80"
                                "a");
    EXPECT_EQ(events.only("char"), (Lines{"char 1008 F7", "char 1008 80", "char 1008 61"}));
    EXPECT_EQ(events.only("cmd").size(), 3u) << "one change per character typed";
}

TEST_F(QtBench, KeysReachTheCoreAsVirtualKeys) {
    open();
    add(ControlKind::Edit, 2000);
    add(ControlKind::Edit, 2001, kTabStop, "", {10, 40, 200, 24});
    focus(2000);
    QTest::keyClick(widget(2000), Qt::Key_F4);
    EXPECT_EQ(events.lines, (Lines{"down 2000 73 0", "up 2000 73 0"}));
    events.lines.clear();
    QTest::keyClick(widget(2000), Qt::Key_PageDown);
    QTest::keyClick(widget(2000), Qt::Key_End, Qt::ControlModifier);
    // Ctrl goes down first, as on a keyboard, and holds its own modifier.
    EXPECT_EQ(events.only("down"), (Lines{"down 2000 22 0", "down 2000 11 2", "down 2000 23 2"}));
    events.lines.clear();
    // Shift+Tab: a Tab with Shift, then the focus moves back as the key was not consumed.
    ui.setFocus(w, 2001);
    QTRY_VERIFY(widget(2001)->hasFocus());
    events.lines.clear();
    QTest::keyClick(widget(2001), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(events.only("down"), (Lines{"down 2001 10 1", "down 2001 09 1"}));
    EXPECT_EQ(ui.focusedControl(w), 2000);
}

TEST_F(QtBench, AConsumedKeyNeverReachesTheControl) {
    open();
    add(ControlKind::Edit, 2000);
    focus(2000);
    events.consumeKeys = {'X', vk::Tab};
    QTest::keyClick(widget(2000), Qt::Key_X);
    QTest::keyClick(widget(2000), Qt::Key_Y);
    EXPECT_EQ(ui.text(w, 2000), "y");
    EXPECT_EQ(events.only("char"), Lines{"char 2000 79"});
    QTest::keyClick(widget(2000), Qt::Key_Tab);
    EXPECT_EQ(ui.focusedControl(w), 2000) << "a consumed Tab moves nothing";
}

TEST_F(QtBench, EnterAndEscInADialogPressTheDefaultButtonAndCancel) {
    open(kWinCaption | kWinSystemMenu | kWinDialogKeys, "File Field Properties");
    add(ControlKind::Edit, 1002);
    add(ControlKind::DefaultButton, kIdOk, kTabStop, "OK", {10, 40, 80, 24});
    add(ControlKind::Edit, 2500, kTabStop | kMultiLine | kWantReturn, "", {10, 70, 200, 80});
    focus(1002);
    QTest::keyClick(widget(1002), Qt::Key_Return);
    QTest::keyClick(widget(1002), Qt::Key_Escape);
    EXPECT_EQ(events.only("cmd"), (Lines{"cmd 1 0", "cmd 2 0"}));
    focus(2500);
    QTest::keyClick(widget(2500), Qt::Key_Return);
    EXPECT_EQ(ui.text(w, 2500), "\r\n") << "a multi-line edit that wants Enter takes it";
}

TEST_F(QtBench, AModalLoopEndsWhenAskedWithItsResult) {
    open();
    QTimer::singleShot(0, [&] { ui.endModal(w, 42); });
    EXPECT_EQ(ui.runModal(w), 42);
    EXPECT_FALSE(ui.windowWidget(w)->isVisible()) << "the loop's end hides the window";

    // Nested: the outer end waits for the inner loop, then both return their own results.
    WindowSpec spec;
    spec.owner = w;
    spec.title = "inner";
    spec.frame = {60, 60, 200, 100};
    const WindowId inner = ui.createWindow(spec, nullptr);
    int innerResult = 0;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            ui.endModal(w, 7);
            ui.endModal(inner, 8);
        });
        innerResult = ui.runModal(inner);
    });
    EXPECT_EQ(ui.runModal(w), 7);
    EXPECT_EQ(innerResult, 8);
}

TEST_F(QtBench, ALoopWhoseWindowIsDestroyedOrClosedEnds) {
    open();
    QTimer::singleShot(0, [&] { ui.destroyWindow(w); });
    EXPECT_EQ(ui.runModal(w), kModalAbandoned);
    EXPECT_EQ(events.lines.back(), "destroy");

    open();
    events.allowClose = false;
    QTimer::singleShot(0, [&] {
        ui.windowWidget(w)->close();
        EXPECT_TRUE(ui.windowExists(w)) << "the core refused";
        events.allowClose = true;
        ui.windowWidget(w)->close();
    });
    EXPECT_EQ(ui.runModal(w), kIdCancel);
    EXPECT_FALSE(ui.windowExists(w));
}

TEST_F(QtBench, ALoopWithoutAWindowRunsUntilEnded) {
    QTimer::singleShot(0, [&] { ui.endModal(kNoWindow, 3); });
    EXPECT_EQ(ui.runModal(kNoWindow), 3);
}

TEST_F(QtBench, MultiLineSelectionsAreInTheCoresCrLfPositions) {
    open();
    add(ControlKind::Edit, 2500, kTabStop | kMultiLine, "", {10, 10, 300, 120});
    ui.setText(w, 2500, "ab\r\ncd\r\nef");
    ASSERT_TRUE(ui.setEditSelection(w, 2500, 4, 2));
    auto* e = static_cast<QPlainTextEdit*>(widget(2500));
    EXPECT_EQ(e->textCursor().selectedText(), QStringLiteral("cd"));
    EXPECT_EQ(ui.editSelection(w, 2500), (Selection{4, 2}));
    ASSERT_TRUE(ui.selectAll(w, 2500));
    EXPECT_EQ(ui.editSelection(w, 2500), (Selection{0, 10}));
}

// The multi-line edit keeps each line break's bytes: what the conformance table cannot reach
// through the seam (copying, undo, Shift+Enter, the lines shown).
struct QtLinesBench : QtBench {
    QPlainTextEdit* edit = nullptr;
    void SetUp() override {
        open();
        add(ControlKind::Edit, 2500, kTabStop | kMultiLine | kWantReturn | kBorder, "",
            {10, 10, 300, 200});
        edit = static_cast<QPlainTextEdit*>(widget(2500));
        focus(2500);
    }
    std::string text() { return ui.text(w, 2500).value_or("<none>"); }
};

TEST_F(QtLinesBench, ACopyWithinTheEditCarriesTheLineBreaksAsTheyAre) {
    const std::string script = "a\nb\r\nc\rd";
    ui.setText(w, 2500, script);
    ui.setEditSelection(w, 2500, 0, -1);
    edit->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\nb\r\nc\rd"));
    ui.setEditSelection(w, 2500, static_cast<int>(script.size()), 0);
    edit->paste();
    EXPECT_EQ(text(), script + script);
    // Cut and pasted back where it was: nothing changed.
    ui.setEditSelection(w, 2500, 1, 6);
    edit->cut();
    EXPECT_EQ(text(), "ad" + script);
    edit->paste();
    EXPECT_EQ(text(), script + script);
}

TEST_F(QtLinesBench, UndoBringsBackALineBreakWithItsBytes) {
    ui.setText(w, 2500, "ab\ncd\ref");
    edit->undo();
    EXPECT_EQ(text(), "ab\ncd\ref") << "a text the core set leaves nothing to undo";
    ui.setEditSelection(w, 2500, 2, 5); // "\ncd\re"
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(text(), "abf");
    edit->undo();
    EXPECT_EQ(text(), "ab\ncd\ref");
    edit->redo();
    EXPECT_EQ(text(), "abf");
}

TEST_F(QtLinesBench, ShiftEnterBreaksTheLineWithCrLfAsEnterDoes) {
    ui.setText(w, 2500, "a\nb");
    ui.setEditSelection(w, 2500, 3, 0);
    QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(text(), "a\nb\r\n\r\n");
    EXPECT_EQ(edit->document()->blockCount(), 4) << "no soft line break inside a line";
}

TEST_F(QtLinesBench, EveryKindOfLineBreakShowsALineOfItsOwn) {
    ui.setControlFont(w, 2500, kFixedFont);
    ui.setText(w, 2500, "PROC uno\nLET a = 1\rLET b = 2\r\n\nEND\r");
    QApplication::processEvents();
    const QStringList lines = {"PROC uno", "LET a = 1", "LET b = 2", "", "END", ""};
    ASSERT_EQ(edit->document()->blockCount(), lines.size());
    int lastTop = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QTextBlock block = edit->document()->findBlockByNumber(i);
        EXPECT_EQ(block.text(), lines[i]) << "line " << i;
        ASSERT_NE(block.layout(), nullptr);
        EXPECT_EQ(block.layout()->lineCount(), 1) << "line " << i;
        // Each below the one before it, as a line of its own on the screen.
        const int top = edit->cursorRect(QTextCursor(block)).top();
        EXPECT_GT(top, lastTop) << "line " << i;
        lastTop = top;
    }
    const QImage shot = ui.windowWidget(w)->grab().toImage();
    if (const char* dir = std::getenv("VODARIR_SHOT_DIR")) {
        shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/qt_face_line_breaks.png"));
    }
}

TEST_F(QtBench, ListViewsKeepCellsAndReportClicksOnRows) {
    open();
    add(ControlKind::ListView, 3200, kTabStop | kBorder | kFullRowSelect | kGridLines, "",
        {20, 30, 326, 150});
    const ListColumn cols[] = {{"Nombre", 122}, {"Longitud", 160}, {"T", 20, Align::Right}};
    ASSERT_TRUE(ui.setListColumns(w, 3200, cols));
    for (int r = 0; r < 3; ++r) {
        ASSERT_TRUE(ui.insertListRow(w, 3200, r));
        ASSERT_TRUE(ui.setListCell(w, 3200, r, 0,
                                   r == 2 ? "       +      "
                                          : "cli\xF1"
                                            "a"));
    }
    EXPECT_EQ(ui.listCell(w, 3200, 0, 0), "cli\xF1"
                                          "a");
    EXPECT_FALSE(ui.setListCell(w, 3200, 3, 0, "x"));
    auto* tree = static_cast<QTreeWidget*>(widget(3200));
    EXPECT_EQ(tree->header()->sectionSize(1), 160);
    const QRect row1 = tree->visualItemRect(tree->topLevelItem(1));
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, row1.center());
    EXPECT_EQ(ui.listSelection(w, 3200), 1);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, row1.center());
    EXPECT_EQ(events.only("list"), (Lines{"list 3200 -5 1", "list 3200 -3 1"}));
    ui.selectListRow(w, 3200, 2);
    EXPECT_EQ(ui.listSelection(w, 3200), 2);
    ui.deleteListRow(w, 3200, 0);
    EXPECT_EQ(ui.listRowCount(w, 3200), 2);
}

TEST_F(QtBench, FocusChangesAreToldOnceAndAHandlerMayRefuseThem) {
    open();
    add(ControlKind::Edit, 2000);
    add(ControlKind::Edit, 2001, kTabStop, "", {10, 40, 200, 24});
    focus(2000);
    ui.setFocus(w, 2001);
    QTRY_VERIFY(widget(2001)->hasFocus());
    EXPECT_EQ(events.only("focus"), (Lines{"focus 2000 -", "focus 2001 +"}));
    // A failed leave check takes the focus back: the control the user chose hears nothing.
    events.lines.clear();
    events.onFocusDo = [&](ControlId c, bool gained) {
        if (c == 2001 && !gained) ui.setFocus(w, 2001);
    };
    QTest::mouseClick(widget(2000), Qt::LeftButton);
    QTRY_COMPARE(ui.focusedControl(w), 2001);
    EXPECT_TRUE(events.only("focus 2000").empty());
    EXPECT_TRUE(widget(2001)->hasFocus());
}

TEST_F(QtBench, DestroyingTheFocusedControlTellsTheCoreBeforeItGoes) {
    open();
    add(ControlKind::Edit, 2000);
    add(ControlKind::Edit, 2001, kTabStop, "", {10, 40, 200, 24});
    focus(2000);
    std::string textWhenLost;
    events.onFocusDo = [&](ControlId c, bool gained) {
        if (!gained) textWhenLost = ui.text(w, c).value_or("<gone>");
    };
    ui.setText(w, 2000, "kept");
    ui.destroyControls(w, ChildFilter::TabStops);
    EXPECT_EQ(textWhenLost, "kept");
    EXPECT_EQ(events.only("focus"), Lines{"focus 2000 -"});
    EXPECT_EQ(ui.focusedControl(w), kNoControl);
    EXPECT_FALSE(ui.hasControl(w, 2001));
}

TEST_F(QtBench, PostedMessagesArriveWhenTheLoopRuns) {
    open();
    ui.post(w, 35040, 2);
    ui.post(w, 35041, 0);
    EXPECT_TRUE(events.only("posted").empty());
    ui.pumpPending();
    EXPECT_EQ(events.only("posted"), (Lines{"posted 35040 2", "posted 35041 0"}));
}

TEST_F(QtBench, FontsHaveCellMetrics) {
    const FontMetrics fixed = ui.fontMetrics(kFixedFont);
    EXPECT_GT(fixed.averageWidth, 0);
    EXPECT_EQ(fixed.height, fixed.ascent + fixed.descent);
    const FontId f = ui.createFont({16, 0, 700, "Courier New"});
    ASSERT_NE(f, kNoFont);
    EXPECT_GE(ui.fontMetrics(f).height, 16);
    EXPECT_TRUE(ui.destroyFont(f));
    EXPECT_EQ(ui.fontMetrics(f), FontMetrics{});
}

TEST_F(QtBench, ADemoWindowRendersSomething) {
    open(kWinCaption | kWinSystemMenu | kWinDialogKeys, "Screen Field Properties");
    ui.setMenu(w, {MenuPopup("&File", {MenuCommand("&Open", 57601)})});
    add(ControlKind::StaticText, kAnonymousControl, 0, "Field #:", {10, 12, 70, 20});
    add(ControlKind::Edit, 1011, kBorder | kDisabled | kAlignRight, "3", {90, 10, 60, 22});
    add(ControlKind::StaticText, kAnonymousControl, 0, "Type", {10, 42, 70, 20});
    add(ControlKind::Edit, 1008, kTabStop | kBorder | kAlignCentre, "A", {90, 40, 60, 22});
    add(ControlKind::Button, 1014, kTabStop, "<-", {170, 10, 40, 24});
    add(ControlKind::DefaultButton, kIdOk, kTabStop, "Done", {220, 10, 70, 24});
    add(ControlKind::Edit, 2500, kTabStop | kMultiLine | kBorder | kScrollBars,
        "Nombre: ______  \xF7 \x80 \xAB\xBB\r\nDirecci\xF3n: __________", {10, 80, 300, 80});
    ui.setControlFont(w, 2500, kFixedFont);
    add(ControlKind::ListView, 3200, kTabStop | kBorder, "", {320, 10, 150, 150});
    const ListColumn cols[] = {{"File Name", 120}};
    ui.setListColumns(w, 3200, cols);
    ui.insertListRow(w, 3200, 0);
    ui.setListCell(w, 3200, 0, 0, "clientes");
    ui.setControlColors(w, 3200, {0, 0, 0}, RgbFromColorRef(0xFFE0E0));
    QApplication::processEvents();
    const QImage shot = ui.windowWidget(w)->grab().toImage();
    if (const char* dir = std::getenv("VODARIR_SHOT_DIR")) {
        shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/qt_face_demo.png"));
    }
    // Not one colour: widgets and text were drawn.
    const QRgb first = shot.pixel(0, 0);
    int differing = 0;
    for (int y = 0; y < shot.height(); y += 3) {
        for (int x = 0; x < shot.width(); x += 3) differing += shot.pixel(x, y) != first;
    }
    EXPECT_GT(differing, 100);
}

} // namespace
} // namespace vodarir::platform
