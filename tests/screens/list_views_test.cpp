// List views in their four slots, column widths and cells, popup menus from comma lists, and the
// idle picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/list_views.h"
#include "support/scripted_runtime.h"

namespace vodarir {
namespace {

using namespace literals;
using platform::kNoWindow;
using platform::Rect;
using platform::WindowId;

class ListViewTest : public testing::ScriptedRuntimeTest {
protected:
    WindowId dialog = kNoWindow;
    void SetUp() override {
        ScriptedRuntimeTest::SetUp();
        platform::WindowSpec spec;
        spec.name = "Dialog";
        spec.title = "Vodarir";
        spec.frame = {0, 0, 806, 625}; // client 800 x 600
        dialog = ui.createWindow(spec, nullptr);
        ui.showWindow(dialog, true);
    }
    const platform::ShownControl* View(int slot) {
        return ui.control(dialog, kFirstListView + slot);
    }
    std::vector<int> Widths(int slot) {
        std::vector<int> widths;
        for (const platform::ListColumn& c : View(slot)->columns) widths.push_back(c.width);
        return widths;
    }
};

// ---- The slot table ---------------------------------------------------------------------------

TEST_F(ListViewTest, AFifthListViewFailsAndAFreedSlotIsTakenAgain) {
    for (int expected = 0; expected < kListViewSlots; ++expected) {
        EXPECT_EQ(ListViewCreate(dialog, 10 * expected, 5, 100, 100), expected);
    }
    EXPECT_EQ(ListViewCreate(dialog, 0, 0, 100, 100), kNoListViewSlot);
    EXPECT_EQ(ui.window(dialog)->controls.size(), 4u) << "the refused one made nothing";
    EXPECT_EQ(ListViewDestroy(1), 0);
    EXPECT_FALSE(ui.hasControl(dialog, 3201));
    EXPECT_EQ(ListViewCreate(dialog, 0, 0, 100, 100), 1);
    EXPECT_TRUE(ui.hasControl(dialog, 3201));
}

TEST_F(ListViewTest, ANewListViewIsHiddenColouredAndRemembersWhereItIs) {
    ASSERT_EQ(ListViewCreate(dialog, 7, 9, 300, 200), 0);
    const platform::ShownControl* v = View(0);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->kind, platform::ControlKind::ListView);
    EXPECT_FALSE(v->visible) << "shown once filled";
    EXPECT_EQ(v->rect, (Rect{7, 9, 300, 200}));
    EXPECT_TRUE(v->hasColors);
    EXPECT_EQ(v->textColor, (platform::Rgb{0, 0, 0}));
    EXPECT_EQ(v->background, (platform::Rgb{0xE0, 0xE0, 0xFF}));
    EXPECT_EQ(v->style & (platform::kGridLines | platform::kFullRowSelect),
              platform::kGridLines | platform::kFullRowSelect);
    EXPECT_EQ(v->font, platform::kFixedFont);
    const ListViewSlot s = ListViewSlotInfo(0);
    EXPECT_EQ(s.window, dialog);
    EXPECT_EQ(s.x, 7);
    EXPECT_EQ(s.y, 9);
    EXPECT_EQ(s.rows, 0);
    EXPECT_EQ(s.columns, 0);
}

TEST_F(ListViewTest, AListViewThatCannotBeMadeTakesNoSlot) {
    EXPECT_EQ(ListViewCreate(999, 0, 0, 10, 10), kNoListViewSlot);
    EXPECT_EQ(ListViewCreate(dialog, 0, 0, 10, 10), 0);
}

TEST_F(ListViewTest, DestroyingAnEmptySlotAnswersNone) {
    EXPECT_EQ(ListViewDestroy(0), kListViewNone);
    EXPECT_EQ(ListViewDestroy(4), kListViewNone);
    EXPECT_EQ(ListViewDestroy(-2), kListViewNone);
    EXPECT_EQ(ListViewSlotInfo(0).window, kNoWindow);
}

TEST_F(ListViewTest, DestroyingAllSlots) {
    ListViewCreate(dialog, 0, 0, 10, 10);
    ListViewCreate(dialog, 0, 0, 10, 10);
    EXPECT_EQ(ListViewDestroy(kAllListViewSlots), 0);
    for (int s = 0; s < kListViewSlots; ++s) EXPECT_EQ(ListViewSlotInfo(s).window, kNoWindow);
    EXPECT_TRUE(ui.window(dialog)->controls.empty());
}

TEST_F(ListViewTest, ASlotWhoseListViewIsGoneIsFreedAllTheSame) {
    ASSERT_EQ(ListViewCreate(dialog, 0, 0, 10, 10), 0);
    ui.destroyControls(dialog, platform::ChildFilter::All);
    EXPECT_EQ(ListViewDestroy(0), kListViewNone) << "nothing was left to destroy";
    EXPECT_EQ(ListViewCreate(dialog, 0, 0, 10, 10), 0) << "but the slot is free again";
}

TEST_F(ListViewTest, SlotOfSearchesTheTable) {
    ListViewCreate(dialog, 0, 0, 10, 10);
    ListViewCreate(dialog, 0, 0, 10, 10);
    EXPECT_EQ(ListViewSlotOf(dialog, 3201), 1);
    EXPECT_EQ(ListViewSlotOf(dialog, 3200), 0);
    EXPECT_EQ(ListViewSlotOf(dialog, 3202), kListViewNone);
    EXPECT_EQ(ListViewSlotOf(999, 3200), kListViewNone);
}

// ---- Columns and cells ------------------------------------------------------------------------

TEST_F(ListViewTest, ColumnWidthsShareTheRoomByTitleLength) {
    // A client width of 322 inside the border: (322 - 22) / 15 letters = 20 pixels a letter.
    ASSERT_EQ(ListViewCreate(dialog, 0, 0, 326, 200), 0);
    EXPECT_EQ(ListViewSetColumns(0, "Nombre,Longitud,T"_t), status::kOk);
    EXPECT_EQ(Widths(0), (std::vector<int>{122, 160, 20}));
    EXPECT_TRUE(View(0)->visible);
    EXPECT_EQ(View(0)->columns[1].title, "Longitud");
    EXPECT_EQ(ListViewSlotInfo(0).columns, 3);
}

TEST_F(ListViewTest, TheUnitRoundsToTheNearestPixel) {
    struct Row {
        int clientWidth;
        const char* titles;
        std::vector<int> widths;
    };
    const std::vector<Row> rows = {
        {22 + 29, "ab,c", {2 * 10 + 2, 10}},    // 29 / 3 = 9.67: 10
        {22 + 28, "ab,c", {2 * 9 + 2, 9}},      // 9.33: 9
        {22 + 15, "ab,cd", {2 * 4 + 2, 2 * 4}}, // 3.75: 4
        {22 + 14, "ab,cd", {2 * 4 + 2, 2 * 4}}, // 3.5: a remainder of half rounds up
        {22 + 13, "ab,cd", {2 * 3 + 2, 2 * 3}}, // 3.25: 3
        {10, "abc", {3 * 0 + 2}},               // narrower than the slack: no room
        {100, ",", {2, 0}},                     // no letters at all: unit 0
    };
    for (const Row& r : rows) {
        ListViewDestroy(kAllListViewSlots);
        ASSERT_EQ(ListViewCreate(dialog, 0, 0, r.clientWidth + 4, 100), 0);
        EXPECT_EQ(ListViewSetColumns(0, TextView(r.titles)), status::kOk);
        EXPECT_EQ(Widths(0), r.widths) << "client " << r.clientWidth << " titles " << r.titles;
    }
}

TEST_F(ListViewTest, FormatLettersAlignColumns) {
    ASSERT_EQ(ListViewCreate(dialog, 0, 0, 300, 100), 0);
    ASSERT_EQ(ListViewSetColumns(0, "Name,Size,Kind,Count"_t, "AN"_t), status::kOk);
    std::vector<platform::Align> aligns;
    for (const auto& c : View(0)->columns) aligns.push_back(c.align);
    using platform::Align;
    EXPECT_EQ(aligns, (std::vector<Align>{Align::Left, Align::Right, Align::Right, Align::Right}))
        << "the last letter stands for the rest";
    ASSERT_EQ(ListViewSetColumns(0, "Name,Size"_t, "A"_t), status::kOk);
    EXPECT_EQ(View(0)->columns.size(), 2u) << "the columns are replaced";
    EXPECT_EQ(View(0)->columns[1].align, Align::Left);
}

TEST_F(ListViewTest, ACellOfRowThreeFirstMakesRowsZeroToThree) {
    ASSERT_EQ(ListViewCreate(dialog, 0, 0, 300, 100), 0);
    ASSERT_EQ(ListViewSetColumns(0, "Name,Size"_t), status::kOk);
    EXPECT_EQ(ListViewSetCell(0, 3, 1, "40"_t), status::kOk);
    const platform::ShownControl* v = View(0);
    ASSERT_EQ(v->rows.size(), 4u);
    EXPECT_EQ(v->rows[3], (std::vector<std::string>{"", "40"}));
    EXPECT_EQ(v->rows[0], (std::vector<std::string>{"", ""}));
    EXPECT_EQ(ListViewSlotInfo(0).rows, 4);
    EXPECT_EQ(ListViewSetCell(0, 1, 0, "       +      "_t), status::kOk);
    EXPECT_EQ(v->rows.size(), 4u) << "an existing row is not added again";
    EXPECT_EQ(v->rows[1][0], "       +      ");
}

TEST_F(ListViewTest, CellsOfAFreeSlotOrBeyondTheColumnsFail) {
    EXPECT_EQ(ListViewSetCell(2, 0, 0, "x"_t), status::kData);
    EXPECT_EQ(ListViewSetColumns(2, "A"_t), status::kData);
    ASSERT_EQ(ListViewCreate(dialog, 0, 0, 300, 100), 0);
    ASSERT_EQ(ListViewSetColumns(0, "Name"_t), status::kOk);
    EXPECT_EQ(ListViewSetCell(0, 0, 5, "x"_t), status::kWindowsControl);
    EXPECT_EQ(ListViewSetCell(0, 0xFFFF, 0, "x"_t), status::kData)
        << "row 65535 would need more rows than can be counted";
    EXPECT_EQ(ListViewSetCell(0, 0, 0, TextRef::Failed(145)), status::kData);
}

TEST_F(ListViewTest, TheSelectedRow) {
    ASSERT_EQ(ListViewCreate(dialog, 0, 0, 300, 100), 0);
    ListViewSetColumns(0, "Name"_t);
    for (std::uint16_t r = 0; r < 3; ++r) ListViewSetCell(0, r, 0, "x"_t);
    EXPECT_EQ(ListViewSelectedRow(0), kListViewNone);
    ui.clickRow(dialog, 3200, 2, platform::notify::NmClick);
    EXPECT_EQ(ListViewSelectedRow(0), 2);
    ui.clickRow(dialog, 3200, 0, platform::notify::NmClick);
    EXPECT_EQ(ListViewSelectedRow(0), 0) << "row 0 is a selection too";
    EXPECT_EQ(ListViewSelectedRow(3), kListViewNone);
}

// ---- Popup menus ------------------------------------------------------------------------------

std::uint32_t FixedPoint() { return (std::uint32_t{300} << 16) | 200; }

TEST_F(ListViewTest, DismissingAPopupAnswersZeroAndTheSecondItemTwo) {
    ui.queuePopupDismiss();
    EXPECT_EQ(PopupMenuChoose(dialog, "View,Insert,Delete,Modify"_t, nullptr), 0);
    ui.queuePopupChoice("Insert");
    EXPECT_EQ(PopupMenuChoose(dialog, "View,Insert,Delete,Modify"_t, nullptr), 2);
    ui.queuePopupChoice("Modify");
    EXPECT_EQ(PopupMenuChoose(dialog, "View,Insert,Delete,Modify"_t, nullptr), 4);
    ASSERT_EQ(ui.shownPopups().size(), 3u);
    const platform::ShownPopup& p = ui.shownPopups()[1];
    EXPECT_EQ(p.owner, dialog);
    ASSERT_EQ(p.menu.size(), 4u);
    EXPECT_EQ(p.menu[0].command, 1700);
    EXPECT_EQ(p.menu[3].command, 1703);
    EXPECT_EQ(p.anchor, platform::PopupAnchor::BottomLeft);
}

TEST_F(ListViewTest, ThePopupOpensAtThePointerOrThePositionGiven) {
    ui.setCursorPos({55, 66});
    ui.queuePopupDismiss();
    PopupMenuChoose(dialog, "A,B"_t, nullptr);
    ui.queuePopupDismiss();
    PopupMenuChoose(dialog, "A,B"_t, FixedPoint);
    EXPECT_EQ(ui.shownPopups()[0].at, (platform::Point{55, 66}));
    EXPECT_EQ(ui.shownPopups()[1].at, (platform::Point{300, 200})) << "x high, y low";
}

TEST_F(ListViewTest, WithoutAnOwnerATemporaryWindowOwnsTheMenu) {
    const std::size_t windowsBefore = 1;
    ui.queuePopupChoice("B");
    EXPECT_EQ(PopupMenuChoose(kNoWindow, "A,B"_t, FixedPoint), 2);
    const WindowId owner = ui.shownPopups()[0].owner;
    ASSERT_NE(owner, kNoWindow);
    ASSERT_NE(owner, dialog);
    EXPECT_FALSE(ui.windowExists(owner)) << "gone with the menu";
    EXPECT_EQ(ui.window(owner)->frame, (Rect{300, 200, 0, 0}));
    EXPECT_GT(owner, static_cast<WindowId>(windowsBefore));
}

TEST_F(ListViewTest, AnEmptyListShowsNoMenu) {
    EXPECT_EQ(PopupMenuChoose(dialog, ""_t, nullptr), 0);
    EXPECT_EQ(PopupMenuChoose(dialog, TextRef::Failed(145), nullptr), 0);
    EXPECT_TRUE(ui.shownPopups().empty());
}

// ---- The idle picture -------------------------------------------------------------------------

TEST_F(ListViewTest, ThePictureFillsTheDialogLessAMargin) {
    EXPECT_EQ(ShowBackgroundImage(dialog), status::kOk);
    const platform::ShownControl* picture = ui.control(dialog, kIdlePictureId);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->kind, platform::ControlKind::Image);
    EXPECT_EQ(picture->image, kIdlePictureName);
    EXPECT_EQ(picture->rect, (Rect{3, 3, 794, 594}));
}

TEST_F(ListViewTest, ASecondPictureControlStaysEmptyWhileTheFirstIsShown) {
    ASSERT_EQ(ShowBackgroundImage(dialog), status::kOk);
    EXPECT_EQ(ShowBackgroundImage(dialog), status::kOk);
    const auto& controls = ui.window(dialog)->controls;
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[1].id, platform::kAnonymousControl);
    EXPECT_EQ(controls[1].image, "");
}

TEST_F(ListViewTest, ThePictureComesBackAfterTheDialogsControlsWereRebuilt) {
    ASSERT_EQ(ShowBackgroundImage(dialog), status::kOk);
    ui.destroyControls(dialog, platform::ChildFilter::All);
    ASSERT_EQ(ShowBackgroundImage(dialog), status::kOk);
    const platform::ShownControl* picture = ui.control(dialog, kIdlePictureId);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->image, kIdlePictureName);
}

TEST_F(ListViewTest, AMissingPictureLeavesTheAreaBlank) {
    ui.setImageMissing(kIdlePictureName);
    EXPECT_EQ(ShowBackgroundImage(dialog), status::kData);
    EXPECT_TRUE(ui.window(dialog)->controls.empty());
    EXPECT_EQ(ShowBackgroundImage(999), status::kData);
}

} // namespace
} // namespace vodarir
