// Choice prompts: ChooseItem's windows, keys, clicks and column flow, the button helpers, and the
// dynamic controls and their texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/ui/choice_prompts.h"
#include "support/scripted_runtime.h"

namespace vodarir {
namespace {

using namespace literals;
using platform::ControlKind;
using platform::kNoControl;
using platform::kNoWindow;
using platform::Rect;
using platform::ScriptedUi;
using platform::UiAction;
using platform::WindowId;
using testing::Str;
namespace act = platform::act;
namespace vk = platform::vk;

// ---- ChooseItem -------------------------------------------------------------------------------

class ChooseItemTest : public testing::ScriptedRuntimeTest {
protected:
    // The choice window the script acts in.
    static WindowId Choice(ScriptedUi& s) { return s.findWindow(kChoiceWindowName); }
    std::vector<std::string> Labels(WindowId w) {
        std::vector<std::string> labels;
        for (const auto& c : Shown(w).controls) {
            if (c.kind == ControlKind::Button) labels.push_back(c.text);
        }
        return labels;
    }
    static std::uint16_t Stat() { return static_cast<std::uint16_t>(IntVarGet(sysvar::kStat)); }
};

TEST_F(ChooseItemTest, BadInputShowsNothing) {
    const struct {
        TextRef title, items;
        int flags;
    } rows[] = {
        {""_t, "A,B"_t, chooseflag::kOwnWindow},
        {TextRef(), "A,B"_t, chooseflag::kOwnWindow | chooseflag::kListBox},
        {"Title"_t, ""_t, chooseflag::kOwnWindow},
        {"Title"_t, ""_t, chooseflag::kListBox},
        {"Title"_t, TextRef::Failed(145), chooseflag::kOwnWindow},
        {TextRef::Failed(145), "A"_t, 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(ChooseItem(r.title, r.items, r.flags), kChoiceRefused)
            << "\"" << Str(r.title) << "\" / \"" << Str(r.items) << "\"";
    }
    EXPECT_TRUE(ui.transcript().empty());
    EXPECT_EQ(WinCount(), 0);
}

TEST_F(ChooseItemTest, EscCancels) {
    ui.queueModal("Pick", {act::Key(kNoControl, vk::Escape)});
    IntVarSet(sysvar::kStat, 9);
    EXPECT_EQ(ChooseItem("Pick"_t, "One,Two,Three"_t, chooseflag::kOwnWindow), 0);
    EXPECT_EQ(Stat(), 0);
}

TEST_F(ChooseItemTest, EnterOnTheSecondButtonChoosesTwo) {
    WindowId seen = kNoWindow;
    ui.queueModal("Pick", {act::Key(kNoControl, vk::Down), act::Key(kNoControl, vk::Down),
                           act::Run([&](ScriptedUi& s, WindowId w) {
                               seen = w;
                               EXPECT_EQ(s.focusedControl(w), 1501);
                           }),
                           act::Key(kNoControl, vk::Return)});
    EXPECT_EQ(ChooseItem("Pick"_t, "One,Two,Three"_t, chooseflag::kOwnWindow), 2);
    EXPECT_EQ(Stat(), 2) << "the choice is left for the runtime's scripts";
    EXPECT_FALSE(ui.windowExists(seen)) << "the window lives for one choice only";
    EXPECT_EQ(WinTop(), kNoWindow);
}

TEST_F(ChooseItemTest, EnterOnAFocusedButtonAndAClickChoose) {
    ui.queueModal("Pick", {act::Key(1503, vk::Return)});
    EXPECT_EQ(ChooseItem("Pick"_t, "a,b,c,d,e"_t, chooseflag::kOwnWindow), 4);
    ui.queueModal("Pick", {act::Click(1502)});
    EXPECT_EQ(ChooseItem("Pick"_t, "a,b,c,d,e"_t, chooseflag::kOwnWindow), 3);
    ui.queueModal("Pick", {act::Key(1500, vk::Space)});
    EXPECT_EQ(ChooseItem("Pick"_t, "a,b,c,d,e"_t, chooseflag::kOwnWindow), 1);
}

TEST_F(ChooseItemTest, EnterWithNoButtonHighlightedWaitsOn) {
    ui.queueModal("Pick",
                  {act::Key(kNoControl, vk::Return), act::Run([](ScriptedUi& s, WindowId w) {
                       EXPECT_TRUE(s.windowExists(w)) << "still choosing";
                   }),
                   act::Key(kNoControl, vk::Up), act::Key(kNoControl, vk::Return)});
    EXPECT_EQ(ChooseItem("Pick"_t, "One,Two,Three"_t, chooseflag::kOwnWindow), 3)
        << "Up with nothing highlighted takes the last";
}

TEST_F(ChooseItemTest, DownOnTheLastWrapsToTheFirstAndUpOnTheFirstToTheLast) {
    ui.queueModal("Pick", [&](ScriptedUi& s, WindowId w) {
        const std::vector<std::pair<platform::VirtualKey, platform::ControlId>> steps = {
            {vk::Down, 1500}, {vk::Down, 1501}, {vk::Down, 1502}, {vk::Down, 1500},
            {vk::Up, 1502},   {vk::Up, 1501},   {vk::Up, 1500},   {vk::Up, 1502},
        };
        for (const auto& [key, focus] : steps) {
            s.key(w, kNoControl, key);
            EXPECT_EQ(s.focusedControl(w), focus) << "after key 0x" << std::hex << key;
        }
        s.key(w, kNoControl, vk::Escape);
    });
    EXPECT_EQ(ChooseItem("Pick"_t, "One,Two,Three"_t, chooseflag::kOwnWindow), 0);
}

TEST_F(ChooseItemTest, ItemsInQuotesAreShownWithoutThem) {
    ui.queueModal("Pick", [&](ScriptedUi& s, WindowId w) {
        EXPECT_EQ(Labels(w), (std::vector<std::string>{"Plain", "Quoted, with comma", "Single"}));
        EXPECT_EQ(Shown(w).title, "Pick");
        s.key(w, kNoControl, vk::Escape);
    });
    EXPECT_EQ(
        ChooseItem("Pick"_t, "Plain,\"Quoted, with comma\",'Single'"_t, chooseflag::kOwnWindow), 0);
}

TEST_F(ChooseItemTest, OneColumnOfButtonsCentredOnTheScreen) {
    ui.queueModal("Pick", [&](ScriptedUi& s, WindowId w) {
        // Longest item 5 + 5 characters of 8 pixels; rows two cells of 16 pixels high.
        EXPECT_EQ(s.control(w, 1500)->rect, (Rect{0, 0, 80, 32}));
        EXPECT_EQ(s.control(w, 1502)->rect, (Rect{0, 64, 80, 32}));
        EXPECT_EQ(s.clientSize(w), (platform::Size{80, 96}));
        const Rect frame = Shown(w).frame;
        EXPECT_EQ(frame.x, (1024 - frame.width) / 2);
        EXPECT_EQ(frame.y, (738 - frame.height) / 2);
        s.key(w, kNoControl, vk::Escape);
    });
    ChooseItem("Pick"_t, "Alpha,Beta,Gamma"_t, chooseflag::kOwnWindow);
}

TEST_F(ChooseItemTest, TenItemsOnAScreenOfFiveRowsFlowIntoTwoColumns) {
    // Five rows of 32 pixels fit in 200, ten do not.
    ui.setWorkArea({0, 0, 800, 200});
    ui.queueModal("Pick", [&](ScriptedUi& s, WindowId w) {
        // Items of 3 characters: 8 wide; the window 8 * 4 - 4 - 2 - 1 = 25 characters.
        EXPECT_EQ(s.clientSize(w).width, 25 * 8);
        EXPECT_EQ(s.clientSize(w).height, 5 * 32);
        for (int k = 1; k <= 10; ++k) {
            const Rect r = s.control(w, 1499 + k)->rect;
            const int column = (k - 1) / 5;
            EXPECT_EQ(r.y, ((k - 1) % 5) * 32) << "button " << k;
            EXPECT_EQ(r.x, column * 100) << "button " << k;
            EXPECT_EQ(r.width, 64);
        }
        s.click(w, 1507);
    });
    EXPECT_EQ(
        ChooseItem("Pick"_t, "aaa,bbb,ccc,ddd,eee,fff,ggg,hhh,iii,jjj"_t, chooseflag::kOwnWindow),
        8);
}

TEST_F(ChooseItemTest, ManyItemsKeepHalvingAndNoButtonIsLost) {
    ui.setWorkArea({0, 0, 1024, 100});
    ui.queueModal("Pick", [&](ScriptedUi& s, WindowId w) {
        // 3 rows of 32 pixels fit in 100: 25 -> 12 -> 6 -> 3 rows, 9 columns.
        EXPECT_EQ(ButtonCount(w), 25);
        EXPECT_EQ(s.control(w, 1502)->rect.y, 64);
        EXPECT_EQ(s.control(w, 1503)->rect.y, 0) << "the fourth starts the second column";
        EXPECT_EQ(s.control(w, 1524)->rect.y, 0) << "the last starts the ninth column";
        EXPECT_GT(s.control(w, 1524)->rect.x, s.control(w, 1521)->rect.x);
        EXPECT_LE(s.control(w, 1524)->rect.x + s.control(w, 1524)->rect.width,
                  s.clientSize(w).width)
            << "every column inside the window";
        s.key(w, kNoControl, vk::Escape);
    });
    std::string items;
    for (int i = 0; i < 25; ++i) items += (i ? ",item" : "item") + std::to_string(i);
    ChooseItem("Pick"_t, TextView(items), chooseflag::kOwnWindow);
}

TEST_F(ChooseItemTest, MoreButtonsThanCommandsAreRefused) {
    std::string items = "x";
    for (int i = 1; i < 201; ++i) items += ",x";
    EXPECT_EQ(ChooseItem("Pick"_t, TextView(items), chooseflag::kOwnWindow), kChoiceRefused);
    EXPECT_TRUE(ui.transcript().empty());
    // A list box has room for them all.
    ui.queueModal("Pick", {act::DoubleClickItem(3350, 200)});
    EXPECT_EQ(ChooseItem("Pick"_t, TextView(items), chooseflag::kOwnWindow | chooseflag::kListBox),
              201);
}

TEST_F(ChooseItemTest, ADoubleClickOnTheThirdListItemChoosesThree) {
    ui.queueModal("Pick", [&](ScriptedUi& s, WindowId w) {
        const platform::ShownControl* list = s.control(w, 3350);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->items, (std::vector<std::string>{"One", "Two", "Three", "Four"}));
        EXPECT_EQ(s.focusedControl(w), 3350);
        // One row more than the items, at least 15 characters.
        EXPECT_EQ(list->rect, (Rect{0, 0, 15 * 8, 5 * 16}));
        s.selectItem(w, 3350, 1, false); // a single click chooses nothing
        EXPECT_TRUE(s.windowExists(w));
        s.selectItem(w, 3350, 2, true);
    });
    EXPECT_EQ(
        ChooseItem("Pick"_t, "One,Two,Three,Four"_t, chooseflag::kOwnWindow | chooseflag::kListBox),
        3);
}

TEST_F(ChooseItemTest, EnterInTheListTakesItsCurrentItem) {
    ui.queueModal("Pick",
                  {act::Key(3350, vk::Down), act::Key(3350, vk::Down), act::Key(3350, vk::Return)});
    EXPECT_EQ(
        ChooseItem("Pick"_t, "One,Two,Three,Four"_t, chooseflag::kOwnWindow | chooseflag::kListBox),
        3);
    ui.queueModal("Pick", {act::Key(3350, vk::Return)});
    EXPECT_EQ(ChooseItem("Pick"_t, "One,Two"_t, chooseflag::kOwnWindow | chooseflag::kListBox), 1)
        << "the list starts on its first item";
    ui.queueModal("Pick", {act::Key(3350, vk::Escape)});
    EXPECT_EQ(ChooseItem("Pick"_t, "One,Two"_t, chooseflag::kOwnWindow | chooseflag::kListBox), 0);
}

TEST_F(ChooseItemTest, TheCloseButtonCancels) {
    ui.queueModal("Pick", {act::Close()});
    EXPECT_EQ(ChooseItem("Pick"_t, "One,Two"_t, chooseflag::kOwnWindow), 0);
    EXPECT_EQ(WinTop(), kNoWindow);
}

TEST_F(ChooseItemTest, TheWindowBelowIsDisabledMeanwhileAndFocusedAfter) {
    const WindowId main = Open("Main");
    ui.showWindow(main, true);
    ui.queueModal("Pick", [&](ScriptedUi& s, WindowId w) {
        EXPECT_FALSE(Shown(main).enabled);
        EXPECT_EQ(Shown(w).owner, main);
        EXPECT_EQ(WinTop(), w);
        s.click(w, 1500);
    });
    EXPECT_EQ(ChooseItem("Pick"_t, "One,Two"_t, chooseflag::kOwnWindow), 1);
    EXPECT_TRUE(Shown(main).enabled);
    EXPECT_EQ(WinTop(), main);
}

TEST_F(ChooseItemTest, WithoutItsOwnWindowTheButtonsGoIntoTheTopWindow) {
    testing::EventRecorder events;
    const WindowId main = Open("Main", &events);
    ui.showWindow(main, true);
    ui.queueModal("", [&](ScriptedUi& s, WindowId) {
        EXPECT_EQ(Labels(main), (std::vector<std::string>{"Yes", "No"}));
        s.key(main, kNoControl, vk::Down);
        s.key(main, kNoControl, vk::Down);
        EXPECT_TRUE(events.only("down").empty()) << "the prompt takes the keys it knows";
        s.key(main, kNoControl, vk::Return);
    });
    EXPECT_EQ(ChooseItem("Confirm"_t, "Yes,No"_t, 0), 2);
    EXPECT_TRUE(Labels(main).empty()) << "the buttons are gone afterwards";
    EXPECT_TRUE(ui.windowExists(main));
    EXPECT_EQ(ui.findWindow(kChoiceWindowName), kNoWindow);
    ui.key(main, kNoControl, vk::Down);
    EXPECT_EQ(events.only("down").size(), 1u) << "keys reach the window again";
    WinDestroy(main); // before its procedure goes out of scope
}

TEST_F(ChooseItemTest, EscInsideTheTopWindowLeavesItOpen) {
    const WindowId main = Open("Main");
    ui.showWindow(main, true);
    ui.queueModal("", [&](ScriptedUi& s, WindowId) { s.key(main, kNoControl, vk::Escape); });
    EXPECT_EQ(ChooseItem("Confirm"_t, "Yes,No"_t, chooseflag::kListBox), 0);
    EXPECT_TRUE(ui.windowExists(main));
    EXPECT_FALSE(ui.hasControl(main, 3350));
}

TEST_F(ChooseItemTest, WithoutARuntimeWindowThePromptOpensItsOwn) {
    ui.queueModal("Confirm", {act::Click(1501)});
    EXPECT_EQ(ChooseItem("Confirm"_t, "Yes,No"_t, 0), 2);
}

TEST_F(ChooseItemTest, ButtonsThatClashWithTheTopWindowsControlsAreRefused) {
    const WindowId main = Open("Main");
    platform::ControlSpec taken{ControlKind::Button, 1501, {0, 0, 10, 10}, "Mine", 0};
    ASSERT_TRUE(ui.createControl(main, taken));
    EXPECT_EQ(ChooseItem("Confirm"_t, "Yes,No,Maybe"_t, 0), kChoiceRefused);
    EXPECT_FALSE(ui.hasControl(main, 1500)) << "what was built is taken away again";
    EXPECT_EQ(*ui.text(main, 1501), "Mine");
}

// ---- Button helpers ---------------------------------------------------------------------------

class ButtonsTest : public testing::ScriptedRuntimeTest {
protected:
    WindowId w = kNoWindow;
    void SetUp() override {
        ScriptedRuntimeTest::SetUp();
        w = Open("Buttons");
        ui.showWindow(w, true);
    }
};

TEST_F(ButtonsTest, CountStopsAtTheFirstGap) {
    EXPECT_EQ(ButtonCount(w), 0);
    for (platform::ControlId id : {1500, 1501, 1502, 1504}) {
        ASSERT_EQ(MakeButton(w, 0, 0, 10, 10, id), id);
    }
    EXPECT_EQ(ButtonCount(w), 3);
    EXPECT_EQ(ButtonFocused(w), 0);
    ui.setFocus(w, 1502);
    EXPECT_EQ(ButtonFocused(w), 3);
    ui.setFocus(w, 1504);
    EXPECT_EQ(ButtonFocused(w), 0) << "beyond the gap is not a choice button";
    ButtonStep(runkey::kEnter, w);
    EXPECT_EQ(ui.focusedControl(w), 1504) << "other keys do nothing";
}

TEST_F(ButtonsTest, StepWithoutButtonsDoesNothing) {
    ButtonStep(runkey::kDown, w);
    EXPECT_EQ(ui.focusedControl(w), kNoControl);
}

// ---- Dynamic controls ---------------------------------------------------------------------------

TEST_F(ButtonsTest, AListBoxHoldsTheUnquotedItems) {
    EXPECT_EQ(MakeListBox(w, 1, 2, 100, 50, 3, "a,'b,c',\"d\""_t), 3353);
    const platform::ShownControl* list = ui.control(w, 3353);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->items, (std::vector<std::string>{"a", "b,c", "d"}));
    EXPECT_EQ(list->rect, (Rect{1, 2, 100, 50}));
    EXPECT_EQ(MakeListBox(w, 0, 0, 1, 1, 3, "x"_t), kNoControl) << "3353 is taken";
    EXPECT_EQ(MakeListBox(w, 0, 0, 1, 1, 150, "x"_t), kNoControl) << "beyond 3499";
    EXPECT_EQ(MakeListBox(w, 0, 0, 1, 1, -1, "x"_t), kNoControl);
}

TEST_F(ButtonsTest, EditFlags) {
    using namespace platform;
    struct Row {
        int flags;
        ControlStyle on;
        ControlStyle off;
        FontId font;
    };
    const Row rows[] = {
        {0, kBorder | kTabStop, kMultiLine | kReadOnly | kDisabled, kFixedFont},
        {editflag::kMultiLine, kMultiLine | kScrollBars, kReadOnly, kFixedFont},
        {editflag::kDisabled, kDisabled, kMultiLine, kFixedFont},
        {editflag::kSystemFont, kBorder, kMultiLine, kUiFont},
        {editflag::kReadOnlyLook, kReadOnly, kDisabled, kFixedFont},
    };
    ControlId id = 1480;
    for (const Row& r : rows) {
        ASSERT_EQ(MakeEdit(w, 0, 0, 10, 10, id, r.flags), id) << "flags " << r.flags;
        const ShownControl* c = ui.control(w, id);
        EXPECT_EQ(c->style & r.on, r.on) << "flags " << r.flags;
        EXPECT_EQ(c->style & r.off, 0u) << "flags " << r.flags;
        EXPECT_EQ(c->font, r.font) << "flags " << r.flags;
        ++id;
    }
    EXPECT_EQ(MakeEdit(w, 0, 0, 10, 10, 1480, 0), kNoControl) << "an id in use";
}

TEST_F(ButtonsTest, ControlTextIsCopiedOrRefusedWhole) {
    MakeEdit(w, 0, 0, 10, 10, 2000, 0);
    ui.setText(w, 2000, "hello");
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(ControlText(w, 2000, 5)), "hello");
    EXPECT_EQ(Str(DialogItemText(w, 2000, 100)), "hello");
    EXPECT_EQ(ControlText(w, 2000, 4).status(), status::kStringTooLong) << "never a cut text";
    EXPECT_EQ(ControlText(w, 2999, 100).status(), status::kData);
    EXPECT_EQ(ControlText(999, 2000, 100).status(), status::kData);
    ScratchRelease(mark);
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(ButtonsTest, ControlTextLongerThanAnyTextIsRefused) {
    MakeEdit(w, 0, 0, 10, 10, 2000, editflag::kMultiLine);
    ui.setText(w, 2000, std::string(70000, 'x'));
    EXPECT_EQ(ControlText(w, 2000, 0xFFFF).status(), status::kStringTooLong);
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(ButtonsTest, DialogItemTextAndSelections) {
    MakeEdit(w, 0, 0, 10, 10, 2000, 0);
    EXPECT_EQ(SetDialogItemText(w, 2000, "abcdef"_t), status::kOk);
    EXPECT_EQ(*ui.text(w, 2000), "abcdef");
    EXPECT_EQ(SetDialogItemText(w, 2001, "x"_t), status::kWindowsControl);
    EXPECT_EQ(SetDialogItemText(w, 2000, TextRef::Failed(145)), status::kWindowsControl);
    EXPECT_TRUE(EditSelect(w, 2000, 2, 3));
    EXPECT_EQ(EditSelection(w, 2000), 2);
    EXPECT_EQ(ui.control(w, 2000)->selection, (platform::Selection{2, 3}));
    EXPECT_EQ(EditSelection(w, 2999), 0);
}

TEST_F(ButtonsTest, TheStatusRowSitsAtTheBottom) {
    // Client 294 x 175; cells 8 x 16; the dialog font's average width 6: 60 units are 90 pixels.
    EXPECT_EQ(StatusRow(w, statusrow::kLabel | statusrow::kLeftEdit | statusrow::kRightEdit),
              status::kOk);
    EXPECT_EQ(ui.control(w, kStatusLabel)->rect, (Rect{0, 159, 90, 16}));
    EXPECT_EQ(ui.control(w, kStatusEditLeft)->rect, (Rect{90, 159, 56, 16}));
    EXPECT_EQ(ui.control(w, kStatusEditRight)->rect, (Rect{146, 159, 148, 16}));
    for (platform::ControlId id : {kStatusEditLeft, kStatusEditRight}) {
        EXPECT_FALSE(ui.control(w, id)->enabled);
        EXPECT_TRUE(ui.control(w, id)->style & platform::kReadOnly);
    }
}

TEST_F(ButtonsTest, AStatusRowOfOneEdit) {
    EXPECT_EQ(StatusRow(w, statusrow::kRightEdit), status::kOk);
    EXPECT_FALSE(ui.hasControl(w, kStatusLabel));
    EXPECT_EQ(ui.control(w, kStatusEditRight)->rect, (Rect{0, 159, 294, 16}));
    EXPECT_EQ(StatusRow(w, statusrow::kRightEdit), status::kWindowsControl) << "already there";
    EXPECT_EQ(StatusRow(999, statusrow::kLabel), status::kWindowsControl);
}

} // namespace
} // namespace vodarir
