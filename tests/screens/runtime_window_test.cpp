// Runtime windows of the dialog kinds: names, styles, sizes, clamping, placement, scroll ranges
// and the limit of the window stack.
#include <gtest/gtest.h>

#include "masks/cell_fonts.h"
#include "runtime/store/error_detail.h"
#include "runtime/ui/window_geometry.h"
#include "screens/runtime_window.h"
#include "support/scripted_runtime.h"

namespace vodarir {
namespace {

using namespace literals;
using platform::kNoWindow;
using platform::Rect;
using platform::ScrollBar;

// The scripted face's frame: 3 pixels on every side and a 19-pixel caption.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 25;

class RuntimeWindowTest : public testing::ScriptedRuntimeTest {
protected:
    void SetUp() override {
        ScriptedRuntimeTest::SetUp();
        GeometryReset();
        SetCellFont(16, 8, 0, ""_t); // cells of 8 × 16: the grid is 640 × 400
    }
    void TearDown() override {
        GeometryReset();
        ScriptedRuntimeTest::TearDown();
    }
    platform::WindowId OpenKind(std::uint16_t kind, const char* title = "T",
                                std::uint16_t placement = 0, StatusCode* st = nullptr) {
        return OpenRuntimeWindow(kind, placement, TextView(title), nullptr, kWholeGrid, kWholeGrid,
                                 nullptr, st);
    }
};

TEST_F(RuntimeWindowTest, KindsChooseTheirStyleSetAndName) {
    const struct {
        std::uint16_t kind;
        std::uint32_t style;
        const char* name;
    } rows[] = {
        {0, winstyle::kOverlapped, "VENTAS"},      {1, winstyle::kOverlapped, "LnMant"},
        {2, winstyle::kOverlapped, "Mant"},        {3, winstyle::kModalPopup, "MantDlg"},
        {4, winstyle::kModalNoSysMenu, "Grid"},    {5, winstyle::kModalNoSysMenu, "Dialog"},
        {6, winstyle::kModalNoSysMenu, "DevSel"},  {7, winstyle::kModalNoSysMenu, "Progress"},
        {8, winstyle::kOverlapped, "VENTAS"},      {9, winstyle::kModalPopup, "VENTAS"},
        {10, winstyle::kModalNoSysMenu, "VENTAS"},
    };
    ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 2, "VENTAS"_t), status::kOk);
    for (const auto& r : rows) {
        DialogKind kind{};
        ASSERT_TRUE(DialogKindFromNumber(r.kind, &kind)) << r.kind;
        EXPECT_EQ(DialogKindStyle(kind), r.style) << "kind " << r.kind;
        const platform::WindowId w = OpenKind(r.kind);
        ASSERT_NE(w, kNoWindow) << "kind " << r.kind;
        EXPECT_EQ(Shown(w).name, r.name) << "kind " << r.kind;
        EXPECT_EQ(Shown(w).title, "T");
        WinDestroy(w);
    }
}

TEST_F(RuntimeWindowTest, AKindOfElevenOrANameThatStaysEmptyIsRefusedWith163) {
    StatusCode st = 0;
    EXPECT_EQ(OpenKind(11, "T", 0, &st), kNoWindow);
    EXPECT_EQ(st, status::kData);
    EXPECT_EQ(OpenKind(0xFFFF, "T", 0, &st), kNoWindow);
    EXPECT_EQ(st, status::kData);
    // Kind 0 without an application name takes the title, and without a title has no name.
    const platform::WindowId titled = OpenKind(0, "Clientes", 0, &st);
    EXPECT_EQ(Shown(titled).name, "Clientes");
    EXPECT_EQ(OpenKind(0, "", 0, &st), kNoWindow);
    EXPECT_EQ(st, status::kData);
}

TEST_F(RuntimeWindowTest, SizeClampingAndScrollRangesAgainstTheScreen) {
    const int outerWidth = 640 + kFrameWidth;
    const int outerHeight = 400 + kFrameHeight;
    const struct {
        Rect screen;
        int width, height;  // the window's frame after clamping
        int hRange, vRange; // 0: the bar is not shown
        const char* what;
    } rows[] = {
        {{0, 0, 1024, 738}, outerWidth, outerHeight, 0, 0, "fits"},
        {{0, 0, 1024, 300},
         outerWidth + 24,
         300,
         0,
         outerHeight - 300,
         "too high: the screen's height, 24 pixels wider"},
        {{0, 0, 600, 738},
         600,
         outerHeight + 24,
         outerWidth - 600,
         0,
         "too wide: the screen's width, 24 pixels higher"},
        {{0, 0, 600, 300},
         600,
         300,
         outerWidth - 600,
         outerHeight - 300,
         "neither fits: the whole screen"},
        {{0, 0, outerWidth + 10, outerHeight - 1},
         outerWidth + 10,
         outerHeight - 1,
         0,
         1,
         "a pixel too high, wide enough for the bar"},
    };
    for (const auto& r : rows) {
        ui.setWorkArea(r.screen);
        const platform::WindowId w = OpenKind(2);
        ASSERT_NE(w, kNoWindow) << r.what;
        EXPECT_EQ(Shown(w).frame.width, r.width) << r.what;
        EXPECT_EQ(Shown(w).frame.height, r.height) << r.what;
        EXPECT_EQ(Shown(w).hscroll.visible ? Shown(w).hscroll.max : 0, r.hRange) << r.what;
        EXPECT_EQ(Shown(w).vscroll.visible ? Shown(w).vscroll.max : 0, r.vRange) << r.what;
        WinDestroy(w);
    }
}

TEST_F(RuntimeWindowTest, WithoutAnOwnerTheGridIsCentredAndScrStatMovesIt) {
    ui.setWorkArea({0, 0, 1024, 738});
    const platform::WindowId centred = OpenKind(2);
    EXPECT_EQ(Shown(centred).frame.x, (1024 - 640) / 2);
    EXPECT_EQ(Shown(centred).frame.y, (738 - 400) / 2);
    WinDestroy(centred);

    IntVarFlags(sysvar::kScrStat, kScrStatOffCentre, true);
    const platform::WindowId moved = OpenKind(2);
    EXPECT_EQ(Shown(moved).frame.x, (1024 - 640) / 2 + 100);
    EXPECT_EQ(Shown(moved).frame.y, (738 - 400) / 2 + 60);
    WinDestroy(moved);

    // Moved off centre on a small screen, the window is lowered so that it ends on it.
    ui.setWorkArea({0, 0, 700, 500});
    const platform::WindowId lowered = OpenKind(2);
    EXPECT_EQ(Shown(lowered).frame.x, 700 - (640 + kFrameWidth));
    EXPECT_EQ(Shown(lowered).frame.y, 500 - (400 + kFrameHeight));
}

TEST_F(RuntimeWindowTest, OverAnOwnerTheWindowOpens100RightAnd60Down) {
    ui.setWorkArea({0, 0, 1024, 738});
    const platform::WindowId owner =
        Open("Owner", nullptr, winstyle::kOverlapped, {20, 30, 300, 200});
    const platform::WindowId w = OpenKind(3);
    EXPECT_EQ(Shown(w).owner, owner);
    EXPECT_EQ(Shown(w).frame.x, 120);
    EXPECT_EQ(Shown(w).frame.y, 90);
    WinDestroy(w);

    // An owner near the screen's corner: the window would leave the screen and is moved back.
    ui.setWindowRect(owner, {900, 700, 100, 30});
    const platform::WindowId back = OpenKind(3);
    EXPECT_EQ(Shown(back).frame.x, 1024 - (640 + kFrameWidth));
    EXPECT_EQ(Shown(back).frame.y, 738 - (400 + kFrameHeight));
}

TEST_F(RuntimeWindowTest, UnderTheFocusedControlTwoCellHeightsDown) {
    ui.setWorkArea({0, 0, 1024, 738});
    GeometrySize(20, 5, false); // a small grid, so the window fits below the field
    const platform::WindowId owner =
        Open("Owner", nullptr, winstyle::kOverlapped, {40, 50, 400, 300});
    ASSERT_TRUE(ui.createControl(owner, {platform::ControlKind::Edit, 2003, {57, 33, 80, 16}, ""}));
    ui.setFocus(owner, 2003);
    const Rect outer = ui.windowRect(owner);
    const platform::Size client = ui.clientSize(owner);
    const int side = (outer.width - client.width) / 2;
    const int top = outer.height - client.height - side;

    const platform::WindowId w = OpenKind(5, "Prompt", placeflag::kUnderFocus);
    EXPECT_EQ(Shown(w).frame.x, 40 + side + 57);
    EXPECT_EQ(Shown(w).frame.y, 50 + top + 33 + 2 * 16);
    WinDestroy(w);

    // With nothing focused, the owner's corner moved down.
    ui.setFocus(owner, platform::kNoControl);
    const platform::WindowId corner = OpenKind(5, "Prompt", placeflag::kUnderFocus);
    EXPECT_EQ(Shown(corner).frame.x, 40);
    EXPECT_EQ(Shown(corner).frame.y, 50 + 32);
}

TEST_F(RuntimeWindowTest, AThirtyThirdWindowIsRefusedWithAClearStatus) {
    GeometrySize(10, 2, false);
    std::vector<platform::WindowId> open;
    for (int i = 0; i < kMaxRegisteredWindows; ++i) {
        const platform::WindowId w = OpenKind(2);
        ASSERT_NE(w, kNoWindow) << "window " << i + 1;
        open.push_back(w);
    }
    StatusCode st = 0;
    EXPECT_EQ(OpenKind(2, "T", 0, &st), kNoWindow);
    EXPECT_EQ(st, status::kScreenEnvironment);
    EXPECT_EQ(testing::Str(ErrorDetail()), "32 windows are open");
    EXPECT_EQ(WinTop(), open.back()) << "the stack is as it was";
    // One closed, one more can open.
    WinDestroy(open.back());
    EXPECT_NE(OpenKind(2, "T", 0, &st), kNoWindow);
}

} // namespace
} // namespace vodarir
