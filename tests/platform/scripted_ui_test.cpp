// The scripted face: queued answers, windows and controls, modal scripts and their failures,
// lists, and the transcript.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/event_recorder.h"
#include "platform/scripted/scripted_ui.h"

namespace vodarir::platform {
namespace {

using testing::EventRecorder;

// The message of the failure `fn` raises, or "" when it raises none.
template <typename Fn> std::string FailureOf(Fn fn) {
    try {
        fn();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

WindowSpec Dialog(std::string_view title, WindowId owner = kNoWindow) {
    WindowSpec spec;
    spec.owner = owner;
    spec.name = "Dialog";
    spec.title = title;
    spec.frame = {10, 20, 300, 200};
    spec.style = kWinCaption | kWinSystemMenu | kWinDialogKeys;
    return spec;
}

ControlSpec Control(ControlKind kind, ControlId id, std::string_view text = {},
                    ControlStyle style = kTabStop) {
    ControlSpec spec;
    spec.kind = kind;
    spec.id = id;
    spec.rect = {5, 5, 100, 20};
    spec.text = text;
    spec.style = style;
    return spec;
}

// ---- Message boxes, file and folder dialogs, popups ---------------------------------------------

TEST(ScriptedBoxes, QueuedAnswersAreGivenInOrderAndOkBoxesNeedNone) {
    ScriptedUi ui;
    ui.queueBoxAnswer(BoxAnswer::No);
    ui.queueBoxAnswer(BoxAnswer::Yes);
    EXPECT_EQ(ui.messageBox(kNoWindow, "first", "Q", BoxButtons::YesNo, BoxIcon::None),
              BoxAnswer::No);
    EXPECT_EQ(ui.messageBox(kNoWindow, "info", "I", BoxButtons::Ok, BoxIcon::Information),
              BoxAnswer::Yes)
        << "a queued answer is taken even by an OK box";
    EXPECT_EQ(ui.messageBox(kNoWindow, "info", "I", BoxButtons::Ok, BoxIcon::Information),
              BoxAnswer::Ok);
    ASSERT_EQ(ui.shownBoxes().size(), 3u);
    EXPECT_EQ(ui.shownBoxes()[0].text, "first");
    EXPECT_EQ(ui.transcript().front(), "box [Q] first");
}

TEST(ScriptedBoxes, AQuestionNobodyAnsweredFailsNamingIt) {
    ScriptedUi ui;
    const std::string failure = FailureOf([&] {
        ui.messageBox(kNoWindow, "Posible perdida", "0018", BoxButtons::YesNo, BoxIcon::None);
    });
    EXPECT_NE(failure.find("message box [0018] Posible perdida"), std::string::npos) << failure;
}

TEST(ScriptedDialogs, FileChoicesAreAnsweredAndTheSpecKept) {
    ScriptedUi ui;
    ui.queueFileChoice("/apps/CLDICC.DAT");
    ui.queueFileChoice("");
    FileDialogSpec spec;
    spec.filters = {{"Ficheros de Estructura (*.DAT)", "*.DAT"}, {"Todos (*.*)", "*.*"}};
    spec.initialName = "??DICC.DAT";
    EXPECT_EQ(ui.chooseFile(kNoWindow, spec), "/apps/CLDICC.DAT");
    spec.mode = FileDialogMode::Save;
    spec.defaultExtension = "DAT";
    EXPECT_EQ(ui.chooseFile(kNoWindow, spec), "") << "an empty choice cancels";
    ASSERT_EQ(ui.shownFileDialogs().size(), 2u);
    EXPECT_EQ(ui.shownFileDialogs()[0].spec.filters[1].pattern, "*.*");
    EXPECT_EQ(ui.shownFileDialogs()[1].spec.mode, FileDialogMode::Save);
    EXPECT_EQ(ui.transcript()[0],
              "file-open [] {Ficheros de Estructura (*.DAT) = *.DAT | Todos (*.*) = *.*} name "
              "??DICC.DAT -> /apps/CLDICC.DAT");
    EXPECT_NE(ui.transcript()[1].find("-> cancelled"), std::string::npos);
    EXPECT_NE(FailureOf([&] { ui.chooseFile(kNoWindow, spec); }).find("file-save"),
              std::string::npos);
}

TEST(ScriptedDialogs, FolderChoicesAreAnsweredAndAnUnqueuedOneFails) {
    ScriptedUi ui;
    ui.queueFolderChoice("/apps/demo");
    EXPECT_EQ(ui.chooseFolder(kNoWindow, "Please choose a folder.", "/apps"), "/apps/demo");
    EXPECT_EQ(ui.shownFolderDialogs()[0].start, "/apps");
    const std::string failure =
        FailureOf([&] { ui.chooseFolder(kNoWindow, "Please choose a folder.", "/x"); });
    EXPECT_NE(failure.find("folder [Please choose a folder.]"), std::string::npos) << failure;
}

TEST(ScriptedPopups, AnItemIsChosenByItsShownTextOrTheMenuDismissed) {
    ScriptedUi ui;
    const Menu menu = {MenuCommand("&View", 1700), MenuCommand("&Insert", 1701),
                       MenuCommand("&Delete", 1702)};
    ui.queuePopupChoice("Delete");
    ui.queuePopupDismiss();
    EXPECT_EQ(ui.popupMenu(kNoWindow, menu, {40, 50}, PopupAnchor::BottomLeft), 1702);
    EXPECT_EQ(ui.popupMenu(kNoWindow, menu, {40, 50}, PopupAnchor::BottomLeft), 0);
    EXPECT_EQ(ui.shownPopups()[0].at, (Point{40, 50}));
    EXPECT_EQ(ui.transcript()[0], "popup View|Insert|Delete -> Delete");
}

TEST(ScriptedPopups, AChoiceTheMenuDoesNotOfferFails) {
    ScriptedUi ui;
    const Menu menu = {MenuCommand("View", 1700), MenuCommand("Modify", 1701, false)};
    ui.queuePopupChoice("Modify");
    const std::string failure =
        FailureOf([&] { ui.popupMenu(kNoWindow, menu, {}, PopupAnchor::TopLeft); });
    EXPECT_NE(failure.find("View|Modify(disabled)"), std::string::npos) << failure;
    EXPECT_NE(FailureOf([&] { ui.popupMenu(kNoWindow, menu, {}, PopupAnchor::TopLeft); }), "");
}

// ---- Windows -----------------------------------------------------------------------------------

TEST(ScriptedWindows, AWindowKeepsWhatItWasGivenAndItsClientAreaExcludesTheFrame) {
    ScriptedUi ui;
    const WindowId w = ui.createWindow(Dialog("Add New File"), nullptr);
    ASSERT_NE(w, kNoWindow);
    EXPECT_EQ(ui.title(w), "Add New File");
    EXPECT_EQ(ui.windowRect(w), (Rect{10, 20, 300, 200}));
    const Margins m = ui.frameMargins(kWinCaption | kWinSystemMenu, false);
    EXPECT_EQ(ui.clientSize(w), (Size{300 - m.left - m.right, 200 - m.top - m.bottom}));
    ui.setMenu(w, {MenuPopup("&File", {MenuCommand("&Open", 57601)})});
    const Margins withMenu = ui.frameMargins(kWinCaption, true);
    EXPECT_GT(withMenu.top, m.top);
    EXPECT_EQ(ui.clientSize(w).height, 200 - withMenu.top - withMenu.bottom);
}

TEST(ScriptedWindows, DestroyingAnOwnerDestroysWhatItOwnsFirstAndKeepsThemReadable) {
    ScriptedUi ui;
    EventRecorder ownerEvents, childEvents;
    const WindowId owner = ui.createWindow(Dialog("Owner"), &ownerEvents);
    const WindowId child = ui.createWindow(Dialog("Child", owner), &childEvents);
    ui.createControl(child, Control(ControlKind::Edit, 1008, "A"));
    EXPECT_TRUE(ui.destroyWindow(owner));
    EXPECT_FALSE(ui.windowExists(child));
    EXPECT_EQ(childEvents.lines, std::vector<std::string>{"destroy"});
    EXPECT_EQ(ownerEvents.lines, std::vector<std::string>{"destroy"});
    ASSERT_NE(ui.window(child), nullptr);
    EXPECT_FALSE(ui.window(child)->alive);
    EXPECT_EQ(ui.window(child)->control(1008)->text, "A") << "the last state stays readable";
    EXPECT_FALSE(ui.setText(child, 1008, "B"));
    EXPECT_FALSE(ui.destroyWindow(owner));
    EXPECT_EQ(ui.createWindow(Dialog("Orphan", owner), nullptr), kNoWindow);
    EXPECT_GT(ui.createWindow(Dialog("Next"), nullptr), child) << "ids are never reused";
}

TEST(ScriptedWindows, ControlIdsAreUniqueExceptTheAnonymousOne) {
    ScriptedUi ui;
    const WindowId w = ui.createWindow(Dialog("D"), nullptr);
    EXPECT_TRUE(ui.createControl(w, Control(ControlKind::Button, 1500, "Field Attributes")));
    EXPECT_FALSE(ui.createControl(w, Control(ControlKind::Button, 1500, "again")));
    EXPECT_FALSE(ui.createControl(w, Control(ControlKind::Button, kNoControl, "none")));
    EXPECT_TRUE(ui.createControl(w, Control(ControlKind::StaticText, kAnonymousControl, "a", 0)));
    EXPECT_TRUE(ui.createControl(w, Control(ControlKind::StaticText, kAnonymousControl, "b", 0)));
    EXPECT_FALSE(ui.createControl(w + 1, Control(ControlKind::Button, 1, "OK")));
    EXPECT_EQ(ui.window(w)->controls.size(), 3u);
    EXPECT_EQ(ui.controlKind(w, 1500), ControlKind::Button);
    EXPECT_FALSE(ui.controlKind(w, 1501).has_value());
}

TEST(ScriptedWindows, DestroyingTabStopsLeavesLabelsAndTheFocusedControlLosesTheFocus) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("D"), &events);
    ui.createControl(w, Control(ControlKind::StaticText, kAnonymousControl, "Field #:", 0));
    ui.createControl(w, Control(ControlKind::Edit, 2000));
    ui.createControl(w, Control(ControlKind::Edit, 2001));
    ASSERT_TRUE(ui.setFocus(w, 2001));
    events.lines.clear();
    ui.destroyControls(w, ChildFilter::TabStops);
    EXPECT_FALSE(ui.hasControl(w, 2000));
    EXPECT_FALSE(ui.hasControl(w, 2001));
    EXPECT_EQ(ui.window(w)->controls.size(), 1u);
    EXPECT_EQ(events.lines, std::vector<std::string>{"focus 2001 -"});
    EXPECT_EQ(ui.focusedControl(w), kNoControl);
    ui.destroyControls(w, ChildFilter::All);
    EXPECT_TRUE(ui.window(w)->controls.empty());
}

TEST(ScriptedWindows, ProgrammaticChangesRaiseNoNotificationsButFocusChangesDo) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("D"), &events);
    ui.createControl(w, Control(ControlKind::Edit, 2500, "", kTabStop | kMultiLine));
    ui.createControl(w, Control(ControlKind::Edit, 2501));
    ui.setText(w, 2500, "line 1\r\nline 2");
    ui.setEditSelection(w, 2500, 8, 4);
    EXPECT_TRUE(events.lines.empty());
    EXPECT_EQ(ui.editSelection(w, 2500), (Selection{8, 4}));
    ui.setFocus(w, 2500);
    ui.setFocus(w, 2501);
    ui.setFocus(w, 2501);
    EXPECT_EQ(events.lines,
              (std::vector<std::string>{"focus 2500 +", "focus 2500 -", "focus 2501 +"}));
}

TEST(ScriptedWindows, AFocusHandlerThatTakesTheFocusBackHasTheLastWord) {
    // A field whose leave check fails keeps the focus.
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("D"), &events);
    ui.createControl(w, Control(ControlKind::Edit, 2000));
    ui.createControl(w, Control(ControlKind::Edit, 2001));
    ui.setFocus(w, 2000);
    events.onFocusDo = [&](ControlId c, bool gained) {
        if (c == 2000 && !gained) ui.setFocus(w, 2000);
    };
    events.lines.clear();
    ui.setFocus(w, 2001);
    EXPECT_EQ(ui.focusedControl(w), 2000);
    EXPECT_EQ(events.only("focus 2001"), std::vector<std::string>{})
        << "the refused control never hears it had the focus";
}

TEST(ScriptedWindows, EditSelectionsAreClampedToTheText) {
    struct Row {
        int start, length;
        Selection expected;
    };
    const Row rows[] = {{0, 0, {0, 0}},  {2, -1, {2, 3}}, {4, 10, {4, 1}},
                        {-3, 2, {0, 2}}, {9, 1, {5, 0}},  {1, 2, {1, 2}}};
    ScriptedUi ui;
    const WindowId w = ui.createWindow(Dialog("D"), nullptr);
    ui.createControl(w, Control(ControlKind::Edit, 1, "abcde"));
    for (const Row& r : rows) {
        ASSERT_TRUE(ui.setEditSelection(w, 1, r.start, r.length));
        EXPECT_EQ(ui.editSelection(w, 1), r.expected)
            << "start " << r.start << " length " << r.length;
    }
    EXPECT_FALSE(ui.setEditSelection(w, 2, 0, 0));
}

TEST(ScriptedWindows, ScrollingMovesEveryControlAndBarsKeepTheirPositionInRange) {
    ScriptedUi ui;
    const WindowId w = ui.createWindow(Dialog("D"), nullptr);
    ui.createControl(w, Control(ControlKind::Edit, 2000));
    ui.scrollContents(w, 0, -32);
    EXPECT_EQ(ui.controlRect(w, 2000), (Rect{5, -27, 100, 20}));
    ui.setScrollBar(w, ScrollBar::Vertical, {0, 5, 1, 9, true});
    EXPECT_EQ(ui.scrollBar(w, ScrollBar::Vertical).pos, 5);
    EXPECT_EQ(ui.scrollBar(w, ScrollBar::Horizontal), ScrollInfo{});
}

TEST(ScriptedWindows, ABorderedControlsClientAreaLosesItsEdges) {
    ScriptedUi ui;
    const WindowId w = ui.createWindow(Dialog("D"), nullptr);
    ControlSpec lv = Control(ControlKind::ListView, 3200, "", kTabStop | kBorder);
    lv.rect = {20, 30, 326, 100};
    ui.createControl(w, lv);
    EXPECT_EQ(ui.controlClientSize(w, 3200), (Size{322, 96}));
}

TEST(ScriptedWindows, MissingImagesAreRefused) {
    ScriptedUi ui;
    ui.setImageMissing("102");
    const WindowId w = ui.createWindow(Dialog("D"), nullptr);
    ui.createControl(w, Control(ControlKind::Image, kAnonymousControl, "", 0));
    EXPECT_FALSE(ui.setImage(w, kAnonymousControl, "102"));
    EXPECT_TRUE(ui.setImage(w, kAnonymousControl, "idle"));
    EXPECT_EQ(ui.window(w)->controls[0].image, "idle");
}

TEST(ScriptedWindows, FontsHaveMetricsUntilDestroyed) {
    ScriptedUi ui;
    EXPECT_EQ(ui.fontMetrics(kFixedFont).averageWidth, 7);
    EXPECT_EQ(ui.fontMetrics(kFixedFont).height, 13);
    const FontId f = ui.createFont({20, 9, 700, "Courier"});
    ASSERT_NE(f, kNoFont);
    EXPECT_EQ(ui.fontMetrics(f).height, 20);
    EXPECT_EQ(ui.fontMetrics(f).averageWidth, 9);
    EXPECT_TRUE(ui.destroyFont(f));
    EXPECT_FALSE(ui.destroyFont(f));
    EXPECT_EQ(ui.fontMetrics(f), FontMetrics{});
    EXPECT_FALSE(ui.destroyFont(kFixedFont));
    EXPECT_EQ(ui.createFont({0, 0, 400, "x"}), kNoFont);
}

// ---- List views and list boxes -----------------------------------------------------------------

TEST(ScriptedLists, RowsHaveOneCellPerColumnAndDeletingMovesTheSelection) {
    ScriptedUi ui;
    const WindowId w = ui.createWindow(Dialog("D"), nullptr);
    ui.createControl(w, Control(ControlKind::ListView, 3201));
    const ListColumn cols[] = {{"Field Name", 122}, {"Length", 160}, {"Type", 20}};
    ASSERT_TRUE(ui.setListColumns(w, 3201, cols));
    for (int r = 0; r < 4; ++r) ASSERT_TRUE(ui.insertListRow(w, 3201, r));
    EXPECT_FALSE(ui.insertListRow(w, 3201, 6));
    EXPECT_TRUE(ui.setListCell(w, 3201, 3, 2, "A"));
    EXPECT_FALSE(ui.setListCell(w, 3201, 4, 0, "x")) << "no row 4";
    EXPECT_FALSE(ui.setListCell(w, 3201, 0, 3, "x")) << "no column 3";
    ui.selectListRow(w, 3201, 3);
    ui.deleteListRow(w, 3201, 1);
    EXPECT_EQ(ui.listSelection(w, 3201), 2);
    EXPECT_EQ(ui.listCell(w, 3201, 2, 2), "A");
    ui.deleteListRow(w, 3201, 2);
    EXPECT_EQ(ui.listSelection(w, 3201), -1);
    EXPECT_EQ(ui.listRowCount(w, 3201), 2);
    EXPECT_EQ(ui.listColumnCount(w, 3201), 3);
    EXPECT_EQ(ui.listRowCount(w, 9999), -1);
}

TEST(ScriptedLists, ClickingARowSelectsItThenNotifiesWithTheRow) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("D"), &events);
    ui.showWindow(w, true);
    ui.createControl(w, Control(ControlKind::ListView, 3200));
    for (int r = 0; r < 3; ++r) ui.insertListRow(w, 3200, r);
    int selectedWhenNotified = -2;
    struct Peek : EventRecorder {
        ScriptedUi* ui;
        WindowId w;
        int* seen;
        void onListNotify(ControlId id, int code, int row) override {
            *seen = ui->listSelection(w, id);
            EventRecorder::onListNotify(id, code, row);
        }
    } peek;
    peek.ui = &ui;
    peek.w = w;
    peek.seen = &selectedWhenNotified;
    ui.setWindowEvents(w, &peek);
    ui.perform(w, act::RightClickRow(3200, 2));
    EXPECT_EQ(selectedWhenNotified, 2);
    ui.perform(w, act::DoubleClickRow(3200, -1));
    EXPECT_EQ(ui.listSelection(w, 3200), 2) << "a click beside the rows keeps the selection";
    EXPECT_EQ(peek.only("list"), (std::vector<std::string>{"list 3200 -5 2", "list 3200 -3 -1"}));
    EXPECT_NE(FailureOf([&] { ui.perform(w, act::ClickRow(3200, 3)); }), "");
}

TEST(ScriptedLists, ListBoxItemsAreChosenByClickDoubleClickAndArrows) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("Choice"), &events);
    ui.showWindow(w, true);
    ui.createControl(w, Control(ControlKind::ListBox, 3351));
    for (const char* item : {"uno", "dos", "tres"}) ui.addListItem(w, 3351, item);
    ui.perform(w, act::DoubleClickItem(3351, 2));
    EXPECT_EQ(ui.currentListItem(w, 3351), 2);
    ui.perform(w, act::Key(3351, vk::Up));
    EXPECT_EQ(ui.currentListItem(w, 3351), 1);
    ui.perform(w, act::Key(3351, vk::Up));
    ui.perform(w, act::Key(3351, vk::Up));
    EXPECT_EQ(ui.currentListItem(w, 3351), 0) << "the caret stops at the first item";
    EXPECT_EQ(events.only("cmd"),
              (std::vector<std::string>{"cmd 3351 1", "cmd 3351 2", "cmd 3351 1", "cmd 3351 1"}));
    EXPECT_EQ(ui.listItem(w, 3351, 1), "dos");
    EXPECT_FALSE(ui.listItem(w, 3351, 3).has_value());
}

TEST(ScriptedLists, ADropDownListReportsItsChoiceAsItsText) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("D"), &events);
    ui.showWindow(w, true);
    ui.createControl(w, Control(ControlKind::ComboBox, 3600));
    ui.addListItem(w, 3600, "(Desde)");
    ui.addListItem(w, 3600, "(Hasta)");
    EXPECT_EQ(ui.text(w, 3600), "");
    ui.perform(w, act::SelectItem(3600, 1));
    EXPECT_EQ(ui.text(w, 3600), "(Hasta)");
    EXPECT_EQ(events.only("cmd"), std::vector<std::string>{"cmd 3600 9"});
}

// ---- Modal loops -------------------------------------------------------------------------------

TEST(ScriptedModal, AQueuedScriptRunsInsideTheLoopAndItsEndIsTheResult) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("Add New File"), &events);
    ui.createControl(w, Control(ControlKind::Edit, 1005));
    ui.createControl(w, Control(ControlKind::DefaultButton, kIdOk, "OK"));
    std::string nameAtOk;
    events.onCommandDo = [&](ControlId id, int) {
        if (id == kIdOk) {
            nameAtOk = *ui.text(w, 1005);
            ui.endModal(w, kIdOk);
        }
    };
    ui.queueModal("Add New File", {act::Type(1005, "clientes"), act::Key(1005, vk::Return)});
    EXPECT_EQ(ui.runModal(w), kIdOk);
    EXPECT_EQ(nameAtOk, "clientes");
    EXPECT_FALSE(ui.window(w)->visible) << "the loop's end hides the window";
    EXPECT_TRUE(ui.modalStack().empty());
    EXPECT_EQ(ui.pendingCount(), 0u);
}

TEST(ScriptedModal, AModalWindowWithNothingQueuedFailsNamingTheWindow) {
    ScriptedUi ui;
    const WindowId w = ui.createWindow(Dialog("Screen Field Properties"), nullptr);
    const std::string failure = FailureOf([&] { ui.runModal(w); });
    EXPECT_NE(failure.find("modal window"), std::string::npos) << failure;
    EXPECT_NE(failure.find("[Screen Field Properties]"), std::string::npos) << failure;
}

TEST(ScriptedModal, TheHandlerCanRecordTheFailureInsteadOfThrowing) {
    static std::string seen;
    seen.clear();
    ScriptedUi ui;
    ui.setUnexpectedHandler([](const std::string& what) { seen = what; });
    const WindowId w = ui.createWindow(Dialog("AppSelect (New)"), nullptr);
    EXPECT_EQ(ui.runModal(w), kModalAbandoned);
    EXPECT_NE(seen.find("AppSelect (New)"), std::string::npos) << seen;
}

TEST(ScriptedModal, AScriptThatLeavesTheWindowOpenFails) {
    ScriptedUi ui;
    const WindowId w = ui.createWindow(Dialog("Add New File"), nullptr);
    ui.createControl(w, Control(ControlKind::Edit, 1005));
    ui.queueModal("", {act::Type(1005, "x")});
    const std::string failure = FailureOf([&] { ui.runModal(w); });
    EXPECT_NE(failure.find("open at its end"), std::string::npos) << failure;
}

TEST(ScriptedModal, AScriptForAnotherWindowFails) {
    ScriptedUi ui;
    const WindowId w = ui.createWindow(Dialog("File Field Properties"), nullptr);
    ui.queueModal("Add New File", std::vector<UiAction>{});
    const std::string failure = FailureOf([&] { ui.runModal(w); });
    EXPECT_NE(failure.find("expected the modal window [Add New File]"), std::string::npos)
        << failure;
}

TEST(ScriptedModal, ActsLeftAfterTheWindowClosedFail) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("D"), &events);
    ui.createControl(w, Control(ControlKind::Button, kIdCancel, "Cancel"));
    events.onCommandDo = [&](ControlId, int) { ui.endModal(w, kIdCancel); };
    ui.queueModal("D", {act::Click(kIdCancel), act::Click(kIdCancel)});
    const std::string failure = FailureOf([&] { ui.runModal(w); });
    EXPECT_NE(failure.find("1 acts left"), std::string::npos) << failure;
}

TEST(ScriptedModal, NestedLoopsTakeTheirScriptsInTheOrderTheyOpen) {
    ScriptedUi ui;
    EventRecorder mainEvents, dialogEvents;
    const WindowId main = ui.createWindow(Dialog("Vodarir"), &mainEvents);
    ui.setMenu(main, {MenuPopup("&File", {MenuCommand("&New", 57600)})});
    WindowId dialog = kNoWindow;
    int dialogResult = 0;
    mainEvents.onCommandDo = [&](ControlId id, int) {
        if (id == 57600) {
            dialog = ui.createWindow(Dialog("Add New File", main), &dialogEvents);
            ui.createControl(dialog, Control(ControlKind::DefaultButton, kIdOk, "OK"));
            ui.enableWindow(main, false);
            dialogResult = ui.runModal(dialog);
            ui.enableWindow(main, true);
            ui.destroyWindow(dialog);
        }
    };
    dialogEvents.onCommandDo = [&](ControlId id, int) { ui.endModal(dialog, id); };
    ui.queueModal("Vodarir", {act::ChooseMenu(57600),
                              act::Run([&](ScriptedUi& s, WindowId w) { s.endModal(w, 0); })});
    ui.queueModal("Add New File", {act::Click(kIdOk)});
    EXPECT_EQ(ui.runModal(main), 0);
    EXPECT_EQ(dialogResult, kIdOk);
    EXPECT_EQ(ui.pendingCount(), 0u);
}

TEST(ScriptedModal, InputToAWindowUnderAModalOneFails) {
    ScriptedUi ui;
    const WindowId main = ui.createWindow(Dialog("Main"), nullptr);
    ui.showWindow(main, true);
    ui.createControl(main, Control(ControlKind::Button, 1500, "Field Attributes"));
    const WindowId dialog = ui.createWindow(Dialog("Dialog", main), nullptr);
    ui.queueModal("Dialog", [&](ScriptedUi& s, WindowId w) {
        s.click(main, 1500);
        s.endModal(w, 1);
    });
    const std::string failure = FailureOf([&] { ui.runModal(dialog); });
    EXPECT_NE(failure.find("while the modal window"), std::string::npos) << failure;
}

TEST(ScriptedModal, ClosingEndsTheLoopWithCancelUnlessTheCoreRefuses) {
    ScriptedUi ui;
    EventRecorder events;
    events.allowClose = false;
    const WindowId w = ui.createWindow(Dialog("D"), &events);
    ui.queueModal("D", [&](ScriptedUi& s, WindowId win) {
        s.closeWindow(win);
        EXPECT_TRUE(s.windowExists(win)) << "a refused close keeps the window";
        events.allowClose = true;
        s.closeWindow(win);
    });
    EXPECT_EQ(ui.runModal(w), kIdCancel);
    EXPECT_FALSE(ui.windowExists(w));
    EXPECT_EQ(events.lines, (std::vector<std::string>{"close", "close", "destroy"}));
}

TEST(ScriptedModal, ALoopWithoutAWindowEndsWhenItIsEnded) {
    ScriptedUi ui;
    ui.queueModal("", [](ScriptedUi& s, WindowId w) {
        EXPECT_EQ(w, kNoWindow);
        s.endModal(kNoWindow, 7);
    });
    EXPECT_EQ(ui.runModal(kNoWindow), 7);
    EXPECT_FALSE(ui.endModal(kNoWindow, 1)) << "no loop is running any more";
}

TEST(ScriptedModal, PostedMessagesArriveAfterTheActThatPostedThemInOrder) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("D"), &events);
    ui.createControl(w, Control(ControlKind::Button, 3100, "Aceptar"));
    events.onCommandDo = [&](ControlId, int) {
        ui.post(w, 35040, 2);
        ui.post(w, 35041, 0);
        events.lines.push_back("handler done");
    };
    events.onPostedDo = [&](int message, int) {
        if (message == 35041) ui.endModal(w, 5);
    };
    ui.queueModal("D", {act::Click(3100)});
    EXPECT_EQ(ui.runModal(w), 5);
    EXPECT_EQ(events.only("posted"),
              (std::vector<std::string>{"posted 35040 2", "posted 35041 0"}));
    EXPECT_EQ(events.lines[events.lines.size() - 3], "handler done");
}

TEST(ScriptedModal, PostsToADestroyedWindowAreDropped) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("D"), &events);
    ui.post(w, 1, 1);
    ui.destroyWindow(w);
    ui.pumpPending();
    EXPECT_TRUE(events.only("posted").empty());
    EXPECT_FALSE(ui.post(w, 1, 1));
}

// ---- Menus -------------------------------------------------------------------------------------

TEST(ScriptedMenus, OnlyEnabledItemsUnderEnabledPopupsCanBeChosen) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("Vodarir"), &events);
    ui.showWindow(w, true);
    ui.setMenu(w, {MenuPopup("&File", {MenuCommand("&View", 32772), MenuSeparator(),
                                       MenuCommand("&Save", 57603, false)}),
                   MenuPopup("&Help", {MenuCommand("&About", 32800)})});
    ui.chooseMenu(w, 32772);
    EXPECT_EQ(events.only("cmd"), std::vector<std::string>{"cmd 32772 0"});
    EXPECT_NE(FailureOf([&] { ui.chooseMenu(w, 57603); }).find("disabled"), std::string::npos);
    EXPECT_NE(FailureOf([&] { ui.chooseMenu(w, 1); }).find("no such item"), std::string::npos);
    ASSERT_TRUE(ui.enableMenuItem(w, 57603, true));
    ui.chooseMenu(w, 57603);
    ui.setMenu(w, {MenuPopup("&Help", {MenuCommand("&About", 32800)})});
    EXPECT_NE(FailureOf([&] { ui.chooseMenu(w, 57603); }), "")
        << "the new bar replaces the old one entirely";
    EXPECT_TRUE(ui.checkMenuItem(w, 32800, true));
    EXPECT_TRUE(ui.window(w)->menu[0].items[0].checked);
    EXPECT_FALSE(ui.checkMenuItem(w, 32772, true));
}

// ---- Transcript --------------------------------------------------------------------------------

TEST(ScriptedTranscript, EventsAndActsAreOneLineEachAndSnapshotsListControls) {
    ScriptedUi ui;
    EventRecorder events;
    const WindowId w = ui.createWindow(Dialog("Vodarir"), &events);
    ui.showWindow(w, true);
    ui.setTitle(w, "Vodarir File Structure (New)");
    ui.createControl(w, Control(ControlKind::Edit, 2500, "", kTabStop | kMultiLine | kWantReturn));
    ui.createControl(w, Control(ControlKind::ListView, 3200));
    ui.insertListRow(w, 3200, 0);
    ui.setListCell(w, 3200, 0, 0, "       +      ");
    ui.type(w, 2500, "a\r\n");
    ui.recordSnapshot(w);
    const std::vector<std::string> expected = {
        "window #1 Dialog [Vodarir] open",
        "title #1 [Vodarir File Structure (New)]",
        "> type 2500 \"a\\r\\n\"",
        "window #1 Dialog [Vodarir File Structure (New)]",
        "  edit 2500 focused \"a\\r\\n\"",
        "  listview 3200",
        "    columns ",
        "     row 0:        +      ",
    };
    EXPECT_EQ(ui.transcript(), expected);
}

TEST(NullFace, RefusesEverythingUntilAFaceIsInstalled) {
    SetUi(nullptr);
    Ui& ui = CurrentUi();
    EXPECT_EQ(ui.createWindow(Dialog("x"), nullptr), kNoWindow);
    EXPECT_EQ(ui.runModal(kNoWindow), kModalAbandoned);
    EXPECT_EQ(ui.chooseFile(kNoWindow, {}), "");
    EXPECT_EQ(ui.messageBox(kNoWindow, "t", "c", BoxButtons::Ok, BoxIcon::None), BoxAnswer::Failed);
    ScriptedUi scripted;
    SetUi(&scripted);
    EXPECT_NE(CurrentUi().createWindow(Dialog("x"), nullptr), kNoWindow);
    SetUi(nullptr);
}

} // namespace
} // namespace vodarir::platform
