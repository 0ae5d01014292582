// The window stack, runtime window creation and placement, scroll ranges, the message pumps,
// menus of dynamic commands and screen-field edit styles, on the scripted face.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/ui/choice_prompts.h"
#include "runtime/ui/win_basics.h"
#include "support/scripted_runtime.h"

namespace vodarir {
namespace {

using namespace literals;
using platform::kNoWindow;
using platform::Rect;
using platform::ScriptedUi;
using platform::WindowId;
using testing::EventRecorder;
namespace act = platform::act;
namespace vk = platform::vk;

class WindowStackTest : public testing::ScriptedRuntimeTest {};

// ---- The stack ----------------------------------------------------------------------------------

TEST_F(WindowStackTest, AnEmptyStackHasNoTopAndNoValues) {
    EXPECT_EQ(WinTop(), kNoWindow);
    EXPECT_EQ(WinValue(7), kNoWinValue);
    EXPECT_EQ(WinCount(), 0);
}

TEST_F(WindowStackTest, RegisteringAgainMovesToTheTopWithTheNewValue) {
    WinRegister(1, 10);
    WinRegister(2, 20);
    WinRegister(3, 30);
    EXPECT_EQ(WinTop(), 3);
    WinRegister(1, 11);
    EXPECT_EQ(WinTop(), 1);
    EXPECT_EQ(WinValue(1), 11);
    EXPECT_EQ(WinValue(2), 20);
    EXPECT_EQ(WinCount(), 3) << "a window is never in the stack twice";
    WinUnregister(1);
    EXPECT_EQ(WinTop(), 3) << "the one below takes the top again";
    EXPECT_EQ(WinValue(1), kNoWinValue);
    WinUnregister(1); // not there: nothing changes
    EXPECT_EQ(WinCount(), 2);
}

TEST_F(WindowStackTest, TheThirtyThirdWindowIsNotRegistered) {
    for (WindowId w = 1; w <= kMaxRegisteredWindows; ++w) WinRegister(w, 0);
    WinRegister(100, 5);
    EXPECT_EQ(WinCount(), kMaxRegisteredWindows);
    EXPECT_EQ(WinTop(), static_cast<WindowId>(kMaxRegisteredWindows));
    EXPECT_EQ(WinValue(100), kNoWinValue);
    // A registered one still moves to the top when the stack is full.
    WinRegister(3, 33);
    EXPECT_EQ(WinTop(), 3);
    EXPECT_EQ(WinCount(), kMaxRegisteredWindows);
}

TEST_F(WindowStackTest, NoWindowIsNeverRegistered) {
    WinRegister(kNoWindow, 1);
    EXPECT_EQ(WinCount(), 0);
}

// ---- Creation ---------------------------------------------------------------------------------

TEST_F(WindowStackTest, FrameStylesOfTheRuntimeStyleValues) {
    using namespace platform;
    struct Row {
        std::uint32_t style;
        WindowStyle frame;
    };
    const Row rows[] = {
        {winstyle::kOverlapped, kWinCaption | kWinSystemMenu | kWinMinimizeBox},
        {winstyle::kModalPopup, kWinCaption | kWinSystemMenu},
        {winstyle::kModalNoSysMenu, kWinCaption},
        {winstyle::kModalNoSysMenu | winstyle::kVisible, kWinCaption | kWinVisible},
        {winstyle::kOverlapped | winstyle::kThickFrame,
         kWinCaption | kWinSystemMenu | kWinMinimizeBox | kWinResizable},
        {0x00400000, 0}, // half of the caption bits is a frame without a caption
    };
    for (const Row& r : rows) {
        EXPECT_EQ(WinFrameStyle(r.style), r.frame) << std::hex << "style 0x" << r.style;
    }
}

TEST_F(WindowStackTest, ACreatedWindowIsRegisteredOnTopAndOwnedByTheOneBelow) {
    const WindowId a = Open("First");
    ASSERT_NE(a, kNoWindow);
    EXPECT_EQ(WinTop(), a);
    EXPECT_EQ(WinValue(a), kNoWinValue);
    EXPECT_EQ(Shown(a).owner, kNoWindow);
    EXPECT_EQ(Shown(a).name, "Mant");
    EXPECT_TRUE(Shown(a).style & platform::kWinTaskbar) << "an application window";
    const WindowId b = Open("Second");
    EXPECT_EQ(WinTop(), b);
    EXPECT_EQ(Shown(b).owner, a);
    EXPECT_FALSE(Shown(b).style & platform::kWinTaskbar);
    EXPECT_TRUE(Shown(a).enabled) << "no modal marker: the owner stays usable";
}

TEST_F(WindowStackTest, AWindowWithoutAClassNameIsNotMade) {
    EXPECT_EQ(WinCreate(TextRef(), "T"_t, winstyle::kOverlapped, 0, 0, 10, 10, nullptr, nullptr),
              kNoWindow);
    EXPECT_EQ(WinCount(), 0);
    EXPECT_TRUE(ui.transcript().empty());
}

TEST_F(WindowStackTest, AMenuGoesOnTheWindow) {
    platform::Menu menu = {platform::MenuCommand("&Go", 1501)};
    const WindowId a =
        WinCreate("Mant"_t, "M"_t, winstyle::kOverlapped, 0, 0, 100, 100, &menu, nullptr);
    ASSERT_EQ(Shown(a).menu.size(), 1u);
    EXPECT_EQ(Shown(a).menu[0].command, 1501);
}

TEST_F(WindowStackTest, AModalPopupDisablesTheTopUntilItIsDestroyed) {
    const WindowId main = Open("Main");
    const WindowId popup = Open("Prompt", nullptr, winstyle::kModalPopup);
    EXPECT_FALSE(Shown(main).enabled);
    EXPECT_TRUE(Shown(popup).enabled);
    ASSERT_TRUE(WinDestroy(popup));
    EXPECT_TRUE(Shown(main).enabled);
    EXPECT_EQ(WinTop(), main);
    EXPECT_TRUE(Shown(main).visible) << "brought back to the front";
}

TEST_F(WindowStackTest, AModalPopupLeavesAWindowDisabledBySomeoneElseDisabled) {
    const WindowId main = Open("Main");
    ui.enableWindow(main, false);
    const WindowId popup = Open("Prompt", nullptr, winstyle::kModalPopup);
    WinDestroy(popup);
    EXPECT_FALSE(Shown(main).enabled);
}

TEST_F(WindowStackTest, ClosingAWindowByTheUserTakesItOffTheStack) {
    EventRecorder events;
    const WindowId main = Open("Main");
    const WindowId popup = Open("Prompt", &events, winstyle::kModalPopup);
    ui.showWindow(main, true);
    ui.showWindow(popup, true);
    ui.closeWindow(popup);
    EXPECT_FALSE(ui.windowExists(popup));
    EXPECT_EQ(WinTop(), main);
    EXPECT_EQ(WinValue(popup), kNoWinValue);
    EXPECT_TRUE(Shown(main).enabled);
    EXPECT_EQ(events.lines.back(), "destroy");
}

TEST_F(WindowStackTest, DestroyingTheOwnerTakesOwnedWindowsOffTheStack) {
    const WindowId a = Open("A");
    const WindowId b = Open("B", nullptr, winstyle::kModalPopup);
    const WindowId c = Open("C");
    ASSERT_EQ(WinCount(), 3);
    WinDestroy(a);
    EXPECT_FALSE(ui.windowExists(b));
    EXPECT_FALSE(ui.windowExists(c));
    EXPECT_EQ(WinCount(), 0);
    EXPECT_EQ(WinTop(), kNoWindow);
}

// ---- Showing and placing ------------------------------------------------------------------------

// The scripted screen: 1024 x 738 pixels, frames of 3 pixels and a 19-pixel caption, cells 8 x 16.
class PlaceTest : public testing::ScriptedRuntimeTest {
protected:
    WindowId w = kNoWindow;
    void SetUp() override {
        ScriptedRuntimeTest::SetUp();
        w = Open("Placed");
    }
    Rect Frame() { return Shown(w).frame; }
};

TEST_F(PlaceTest, CentredOnTheScreenWithTheFrameAddedToTheCells) {
    WinPlace(kCentrePlace, 0, 80, 25);
    // 640 x 400 client pixels, 646 x 425 outer.
    EXPECT_EQ(Frame(), (Rect{189, 156, 646, 425}));
    EXPECT_EQ(ui.clientSize(w), (platform::Size{640, 400}));
    EXPECT_FALSE(Shown(w).hscroll.visible);
    EXPECT_FALSE(Shown(w).vscroll.visible);
}

TEST_F(PlaceTest, KeepsPositionAndSizeWhenAskedTo) {
    WinPlace(kKeepPlace, 0, kKeepPlace, kKeepPlace);
    EXPECT_EQ(Frame(), (Rect{10, 10, 300, 200}));
    WinPlace(kKeepPlace, 0, 10, kKeepPlace);
    EXPECT_EQ(Frame(), (Rect{10, 10, 86, 200}));
}

TEST_F(PlaceTest, AWindowWiderThanTheScreenStartsAtTheLeftEdgeAndScrolls) {
    WinPlace(500, 10, 200, 10);
    // 1600 + 6 pixels wanted, 1024 shown: the bar ranges over the 582 pixels left out.
    EXPECT_EQ(Frame(), (Rect{0, 10, 1024, 185}));
    EXPECT_TRUE(Shown(w).hscroll.visible);
    EXPECT_EQ(Shown(w).hscroll.min, 0);
    EXPECT_EQ(Shown(w).hscroll.max, 582);
    EXPECT_FALSE(Shown(w).vscroll.visible);
}

TEST_F(PlaceTest, AnEdgeBeyondTheScreenMovesTheWindowBack) {
    struct Row {
        int x, y, columns, rows;
        Rect frame;
    };
    const Row rows[] = {
        {900, 700, 10, 5, {900, 633, 86, 105}}, // bottom edge beyond: moved up
        {1000, 20, 10, 5, {938, 20, 86, 105}},  // right edge beyond: moved left
        {12, 13, 10, 5, {12, 13, 86, 105}},     // fits: as given
        {5, 300, 10, 60, {5, 0, 86, 738}},      // taller than the screen: at the top, cut
    };
    for (const Row& r : rows) {
        WinPlace(static_cast<std::uint16_t>(r.x), static_cast<std::uint16_t>(r.y),
                 static_cast<std::uint16_t>(r.columns), static_cast<std::uint16_t>(r.rows));
        EXPECT_EQ(Frame(), r.frame) << r.x << "," << r.y << " " << r.columns << "x" << r.rows;
    }
}

TEST_F(PlaceTest, WithoutATopWindowNothingIsPlaced) {
    WinUnregister(w);
    WinPlace(kCentrePlace, 0, 80, 25);
    EXPECT_EQ(Frame(), (Rect{10, 10, 300, 200}));
}

TEST_F(PlaceTest, ScrollRangeOnlyWhenTheContentIsLarger) {
    ScrollRange(w, platform::ScrollBar::Vertical, 30, 25);
    EXPECT_EQ(Shown(w).vscroll, (platform::ScrollInfo{0, 5, 0, 0, true}));
    ui.setScrollBar(w, platform::ScrollBar::Horizontal, {0, 9, 0, 4, true});
    ScrollRange(w, platform::ScrollBar::Horizontal, 25, 25);
    EXPECT_EQ(Shown(w).hscroll, (platform::ScrollInfo{0, 9, 0, 4, true})) << "left as it was";
    ScrollRange(w, platform::ScrollBar::Horizontal, 27, 25);
    EXPECT_EQ(Shown(w).hscroll, (platform::ScrollInfo{0, 2, 0, 2, true}))
        << "the position stays within the new range";
}

TEST_F(PlaceTest, ScreenSizeCursorAndShowingTheTop) {
    EXPECT_EQ(ScreenSize(kNoWindow), (platform::Size{1024, 738}));
    EXPECT_EQ(ScreenSize(w), (platform::Size{294, 175}));
    ui.setCursorPos({321, 123});
    EXPECT_EQ(CursorPos(), (platform::Point{321, 123}));
    EXPECT_FALSE(Shown(w).visible);
    WinShowTop();
    EXPECT_TRUE(Shown(w).visible);
}

TEST_F(PlaceTest, DestroyTabChildrenKeepsLabels) {
    platform::ControlSpec edit{
        platform::ControlKind::Edit, 2000, {0, 0, 10, 10}, "", platform::kTabStop};
    platform::ControlSpec label{platform::ControlKind::StaticText, 2100, {0, 0, 10, 10}, "L", 0};
    ASSERT_TRUE(ui.createControl(w, edit));
    ASSERT_TRUE(ui.createControl(w, label));
    DestroyTabChildren(w);
    EXPECT_FALSE(ui.hasControl(w, 2000));
    EXPECT_TRUE(ui.hasControl(w, 2100));
}

TEST_F(PlaceTest, TopItemTextGoesToTheTopWindow) {
    platform::ControlSpec label{platform::ControlKind::StaticText, 3101, {0, 0, 10, 10}, "", 0};
    ASSERT_TRUE(ui.createControl(w, label));
    EXPECT_EQ(SetTopItemText(3101, "Ready"_t), status::kOk);
    EXPECT_EQ(*ui.text(w, 3101), "Ready");
    EXPECT_EQ(SetTopItemText(3999, "x"_t), status::kWindowsControl);
}

TEST_F(PlaceTest, EnableFocusGivesAFocusedControlItsFocusBack) {
    platform::ControlSpec edit{
        platform::ControlKind::Edit, 2000, {0, 0, 10, 10}, "", platform::kTabStop};
    ASSERT_TRUE(ui.createControl(w, edit));
    ui.showWindow(w, true);
    ASSERT_EQ(ui.focusedControl(w), 2000);
    ui.enableWindow(w, false);
    WinEnableFocus(w);
    EXPECT_TRUE(Shown(w).enabled);
    EXPECT_EQ(ui.focusedControl(w), 2000);
}

// ---- Pumps --------------------------------------------------------------------------------------

class PumpTest : public testing::ScriptedRuntimeTest {
protected:
    EventRecorder events;
    WindowId w = kNoWindow;
    void SetUp() override {
        ScriptedRuntimeTest::SetUp();
        w = Open("Screen", &events);
        ui.showWindow(w, true);
    }
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (const std::string& l : events.lines) {
            if (l.rfind("down", 0) == 0) keys.push_back(l);
        }
        return keys;
    }
};

TEST_F(PumpTest, UntilKeyAnswersTheKeyNumberAndKeepsTheKeyFromTheWindow) {
    ui.queueModal("", [&](ScriptedUi& s, WindowId) { s.key(w, platform::kNoControl, vk::F4); });
    EXPECT_EQ(PumpUntilKey(), 14);
    EXPECT_TRUE(Keys().empty()) << "the key that ended the wait is not delivered";
    ui.key(w, platform::kNoControl, vk::F5);
    EXPECT_EQ(Keys().size(), 1u) << "later keys reach the window again";
}

TEST_F(PumpTest, UntilKeyEndsWithAQuit) {
    ui.queueModal("", [&](ScriptedUi&, WindowId) { PostQuit(w); });
    EXPECT_EQ(PumpUntilKey(), kPumpQuit);
}

TEST_F(PumpTest, UntilKeyWithoutAnyRuntimeWindowDoesNotWait) {
    WinDestroy(w);
    EXPECT_EQ(PumpUntilKey(), kPumpQuit);
    EXPECT_TRUE(ui.modalStack().empty());
}

TEST_F(PumpTest, PendingReportsAQuitOnce) {
    EXPECT_EQ(PumpPending(w), 0);
    PostQuit(w);
    EXPECT_EQ(PumpPending(kNoWindow), 1);
    EXPECT_EQ(PumpPending(kNoWindow), 0);
    PostQuit(kNoWindow); // no window to post to: pending at once
    EXPECT_EQ(PumpPending(w), 1);
}

TEST_F(PumpTest, PendingDeliversPostedMessages) {
    ui.post(w, 0x0400, 7);
    EXPECT_EQ(PumpPending(w), 0);
    EXPECT_EQ(events.lines.back(), "posted 1024 7");
}

TEST_F(PumpTest, ModalWithoutAWindowRunsUntilAQuit) {
    bool ranAfterQuit = false;
    ui.queueModal("", [&](ScriptedUi& s, WindowId) {
        s.key(w, platform::kNoControl, vk::F2);
        EXPECT_FALSE(ranAfterQuit);
        PostQuit(w);
    });
    PumpModal(kNoWindow);
    ranAfterQuit = true;
    EXPECT_EQ(Keys().size(), 1u) << "keys are delivered while it waits";
    EXPECT_EQ(PumpPending(w), 0) << "the quit was taken by the wait";
}

TEST_F(PumpTest, ModalWithAWindowReturnsWhenItIsDestroyed) {
    ui.queueModal("", [&](ScriptedUi&, WindowId) { WinDestroy(w); });
    PumpModal(w);
    EXPECT_FALSE(ui.windowExists(w));
}

TEST_F(PumpTest, ModalWithAWindowReturnsWhenAnotherIsRaisedAboveIt) {
    WindowId above = kNoWindow;
    ui.queueModal("", [&](ScriptedUi&, WindowId) { above = Open("Above"); });
    PumpModal(w);
    EXPECT_EQ(WinTop(), above);
    EXPECT_TRUE(ui.windowExists(w));
}

TEST_F(PumpTest, ModalWithAWindowThatIsNotOnTopDoesNotWait) {
    Open("Above");
    PumpModal(w);
    EXPECT_TRUE(ui.modalStack().empty());
}

TEST_F(PumpTest, AnOuterWaitEndsOnlyAfterTheInnerOne) {
    std::uint16_t inner = 0;
    ui.queueModal("", [&](ScriptedUi&, WindowId) { inner = PumpUntilKey(); });
    ui.queueModal("", [&](ScriptedUi& s, WindowId) {
        const WindowId above = Open("Above");
        ui.showWindow(above, true);
        // The outer wait is over now, but the inner loop still runs and takes the key.
        EXPECT_EQ(ui.modalStack().size(), 2u);
        s.key(above, platform::kNoControl, vk::Escape);
    });
    PumpModal(w);
    EXPECT_EQ(inner, runkey::kEsc);
    EXPECT_TRUE(ui.modalStack().empty());
}

// ---- Menus of dynamic commands ----------------------------------------------------------------

class MenuItemTest : public testing::ScriptedRuntimeTest {};

TEST_F(MenuItemTest, ACommandKeepsItsDataInTheButtonTexts) {
    platform::Menu menu;
    EXPECT_EQ(AddMenuItem(menu, 1503, "&Print"_t, "DO PRINT"_t), 0);
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].kind, platform::MenuItem::Kind::Command);
    EXPECT_EQ(menu[0].command, 1503);
    EXPECT_EQ(menu[0].text, "&Print");
    EXPECT_EQ(testing::Str(SlotGet(slotgroup::kButtonTexts, 3)), "DO PRINT");
    EXPECT_EQ(testing::Str(MenuItemData(1503)), "DO PRINT");
}

TEST_F(MenuItemTest, EmptyDataMakesASubMenuEntry) {
    platform::Menu menu;
    EXPECT_EQ(AddMenuItem(menu, 0, "&Reports"_t, TextRef()), 0);
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].kind, platform::MenuItem::Kind::Popup);
    EXPECT_EQ(AddMenuItem(menu.back().items, 1500, "&Daily"_t, "D"_t), 0);
    EXPECT_EQ(menu[0].items.size(), 1u);
}

TEST_F(MenuItemTest, ACommandOutsideTheDynamicRangeIsRefused) {
    platform::Menu menu;
    EXPECT_EQ(AddMenuItem(menu, 1499, "x"_t, "data"_t), kMenuRefused);
    EXPECT_EQ(AddMenuItem(menu, 1700, "x"_t, "data"_t), kMenuRefused);
    EXPECT_TRUE(menu.empty());
    EXPECT_EQ(SlotCount(slotgroup::kButtonTexts), 0);
}

// ---- Screen field edits -------------------------------------------------------------------------

TEST(EditStyleForTest, StylesByTypeAndEditability) {
    using namespace platform;
    struct Row {
        char type;
        bool editable;
        ControlStyle style;
        char typeAfter;
    };
    const Row rows[] = {
        {'A', true, kTabStop, 'A'},
        {'A', false, kTabStop | kReadOnly, 'A'},
        {'P', true, kTabStop | kPassword, 'A'},
        {'P', false, kTabStop | kPassword | kReadOnly, 'A'},
        {'N', true, kTabStop | kAlignRight, 'N'},
        {'L', true, kTabStop | kAlignRight, 'L'},
        {'1', true, kTabStop | kAlignRight, '1'},
        {'9', false, kTabStop | kAlignRight | kReadOnly, '9'},
        {'0', true, kTabStop, '0'},
        {'D', true, kTabStop, 'D'},
        {'n', true, kTabStop, 'n'},
        {'\0', true, kTabStop, '\0'},
    };
    for (const Row& r : rows) {
        char type = r.type;
        EXPECT_EQ(EditStyleFor(type, r.editable), r.style)
            << "type '" << r.type << "' editable " << r.editable;
        EXPECT_EQ(type, r.typeAfter) << "type '" << r.type << "'";
    }
}

} // namespace
} // namespace vodarir

namespace vodarir {
namespace {

using namespace literals;

class LabelAndBannerTest : public testing::ScriptedRuntimeTest {};

TEST_F(LabelAndBannerTest, ALabelSitsOnItsCells) {
    SetCellFont(16, 8, 0, ""_t);
    const platform::WindowId w = Open("Labels");
    ASSERT_EQ(MakeLabel(w, 3, 5, 10, 1, "Nombre:"_t), platform::kAnonymousControl);
    const platform::ShownWindow& shown = Shown(w);
    ASSERT_FALSE(shown.controls.empty());
    const platform::ShownControl& label = shown.controls.back();
    EXPECT_EQ(label.kind, platform::ControlKind::StaticText);
    EXPECT_EQ(label.text, "Nombre:");
    EXPECT_EQ(label.rect, (platform::Rect{33, 33, 80, 16}));
    EXPECT_EQ(MakeLabel(w, 1, 1, 1, 1, TextRef::Failed(163)), platform::kNoControl);
    EXPECT_EQ(MakeLabel(12345, 1, 1, 1, 1, "x"_t), platform::kNoControl) << "no such window";
}

TEST_F(LabelAndBannerTest, ABannerCoversTheClientAreaAndIsRepaintedInPlace) {
    const platform::WindowId w = Open("Banner");
    ASSERT_TRUE(PaintBanner(w, "Cargando..."_t));
    ASSERT_TRUE(PaintBanner(w, "Listo"_t));
    const platform::ShownControl* banner = ui.control(w, kBannerControl);
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->text, "Listo");
    const platform::Size client = ui.clientSize(w);
    EXPECT_EQ(banner->rect, (platform::Rect{0, 0, client.width, client.height}));
    EXPECT_TRUE(banner->hasColors);
    EXPECT_EQ(banner->textColor.r, 255);
    EXPECT_EQ(banner->background.r, 128);
    EXPECT_NE(banner->style & platform::kAlignCentre, 0u);
    int banners = 0;
    for (const platform::ShownControl& c : Shown(w).controls) banners += c.id == kBannerControl;
    EXPECT_EQ(banners, 1);
}

} // namespace
} // namespace vodarir
