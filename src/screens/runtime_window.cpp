// Runtime windows of the dialog kinds: name, style, size, clamping, placement and scroll ranges.
#include "screens/runtime_window.h"

#include <algorithm>
#include <array>

#include "masks/cell_fonts.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/win_basics.h"
#include "runtime/ui/window_geometry.h"

namespace vodarir {

namespace {

using platform::CurrentUi;
using platform::kNoControl;
using platform::kNoWindow;

// The style set of each kind, indexed by kind number.
constexpr std::array<std::uint8_t, kLastDialogKind + 1> kKindStyleSet = {0, 0, 0, 1, 2, 2,
                                                                         2, 2, 0, 1, 2};
constexpr std::array<std::uint32_t, 3> kStyleSets = {
    winstyle::kOverlapped,      // caption, system menu, minimise box
    winstyle::kModalPopup,      // popup with caption and system menu, modal
    winstyle::kModalNoSysMenu}; // popup with caption only, modal

constexpr SlotIndex kApplicationNameSlot = 2;

// The frame the outer size is measured with: the overlapped one, except the dialog kind's popup.
std::uint32_t MeasuringStyle(DialogKind kind) {
    return kind == DialogKind::Dialog ? winstyle::kModalPopup : winstyle::kOverlapped;
}

platform::Size Framed(platform::Size client, DialogKind kind, bool withMenu) {
    const platform::Margins m =
        CurrentUi().frameMargins(WinFrameStyle(MeasuringStyle(kind)), withMenu);
    return {client.width + m.left + m.right, client.height + m.top + m.bottom};
}

// Cut to the screen: a height that does not fit takes the screen's and leaves room for a vertical
// scroll bar; then a width that does not fit takes the screen's and leaves room for a horizontal
// one, or, when that room is not there either, the window is the whole screen.
platform::Size Clamped(platform::Size size, platform::Size screen) {
    if (size.height > screen.height) {
        size.height = screen.height;
        size.width += kScrollBarRoom;
    }
    if (size.width > screen.width) {
        if (size.height + kScrollBarRoom > screen.height) {
            size = screen;
        } else {
            size.width = screen.width;
            size.height += kScrollBarRoom;
        }
    }
    return size;
}

// The top-left corner of the owner's client area on the screen, its frame taken as even on the
// sides and bottom.
platform::Point ClientOrigin(platform::WindowId owner) {
    const platform::Rect outer = CurrentUi().windowRect(owner);
    const platform::Size client = CurrentUi().clientSize(owner);
    const int side = std::max(0, (outer.width - client.width) / 2);
    const int top = std::max(0, outer.height - client.height - side);
    return {outer.x + side, outer.y + top};
}

platform::Point PlacedCorner(std::uint16_t placement, platform::Size size, platform::Rect screen) {
    const platform::WindowId owner = WinTop();
    platform::Point at;
    if (owner != kNoWindow && CurrentUi().windowExists(owner)) {
        const platform::Rect ownerRect = CurrentUi().windowRect(owner);
        if ((placement & placeflag::kUnderFocus) != 0) {
            at = {ownerRect.x, ownerRect.y};
            const platform::ControlId focused = CurrentUi().focusedControl(owner);
            if (focused != kNoControl) {
                if (const auto r = CurrentUi().controlRect(owner, focused)) {
                    const platform::Point origin = ClientOrigin(owner);
                    at = {origin.x + r->x, origin.y + r->y};
                }
            }
            at.y += 2 * CellSize().height;
        } else {
            at = {ownerRect.x + kOwnerOffsetX, ownerRect.y + kOwnerOffsetY};
        }
    } else {
        const int gridWidth = GridWidth(kWholeGrid);
        const int gridHeight = GridHeight(kWholeGrid);
        at = {screen.x + (screen.width - gridWidth) / 2,
              screen.y + (screen.height - gridHeight) / 2};
        if (IntVarTest(sysvar::kScrStat, kScrStatOffCentre)) {
            at.x += kOwnerOffsetX;
            at.y += kOwnerOffsetY;
        }
    }
    // Lowered so that the window ends on the screen, never beyond its top-left corner.
    at.x = std::max(screen.x, std::min(at.x, screen.x + screen.width - size.width));
    at.y = std::max(screen.y, std::min(at.y, screen.y + screen.height - size.height));
    return at;
}

} // namespace

bool DialogKindFromNumber(std::uint16_t number, DialogKind* kind) {
    if (number > kLastDialogKind) return false;
    *kind = static_cast<DialogKind>(number);
    return true;
}

std::uint32_t DialogKindStyle(DialogKind kind) {
    const auto k = static_cast<std::uint16_t>(kind);
    return k > kLastDialogKind ? kStyleSets[0] : kStyleSets[kKindStyleSet[k]];
}

TextRef RuntimeWindowName(DialogKind kind, TextRef title) {
    ScratchScope scope;
    const auto k = static_cast<std::uint16_t>(kind);
    TextRef name =
        TextDup(ListItem(TextView(kDialogKindNames), ',', static_cast<std::uint16_t>(k + 1)));
    if (name.empty()) name = TextDup(SlotGet(slotgroup::kEnvironment, kApplicationNameSlot));
    if (name.empty() && !title.failed()) name = title;
    return scope.Return(name);
}

RuntimeWindowPlan PlanRuntimeWindow(DialogKind kind, std::uint16_t placement, bool withMenu,
                                    std::uint16_t columns, std::uint16_t rows) {
    RuntimeWindowPlan plan;
    plan.style = DialogKindStyle(kind);
    plan.outer = Framed(ClientSize(columns, rows), kind, withMenu);
    const platform::Rect screen = CurrentUi().workArea();
    const platform::Size size = Clamped(plan.outer, {screen.width, screen.height});
    const platform::Point at = PlacedCorner(placement, size, screen);
    plan.frame = {at.x, at.y, size.width, size.height};
    return plan;
}

platform::WindowId OpenRuntimeWindow(std::uint16_t kindNumber, std::uint16_t placement,
                                     TextRef title, const platform::Menu* menu,
                                     std::uint16_t columns, std::uint16_t rows,
                                     platform::WindowEvents* procedure, StatusCode* status) {
    StatusCode ignored = status::kOk;
    StatusCode& st = status != nullptr ? *status : ignored;
    st = status::kOk;
    DialogKind kind = DialogKind::None;
    if (!DialogKindFromNumber(kindNumber, &kind)) {
        st = status::kData;
        return kNoWindow;
    }
    ScratchScope scope;
    const TextRef name = RuntimeWindowName(kind, title);
    if (name.failed() || name.empty()) {
        st = status::kData;
        return kNoWindow;
    }
    // The stack holds a fixed number of windows: one more would never be the top window, never
    // own a box, and never be found again, so it is refused rather than made.
    if (WinCount() >= kMaxRegisteredWindows) {
        st = LogErrorText(status::kScreenEnvironment,
                          TextFormat(64, "%u windows are open", unsigned{WinCount()}), false);
        return kNoWindow;
    }
    const bool withMenu = menu != nullptr && !menu->empty();
    const RuntimeWindowPlan plan = PlanRuntimeWindow(kind, placement, withMenu, columns, rows);
    const platform::WindowId window =
        WinCreate(name, title.failed() ? TextRef() : title, plan.style, plan.frame.x, plan.frame.y,
                  plan.frame.width, plan.frame.height, menu, procedure);
    if (window == kNoWindow) {
        st = status::kWindowsControl;
        return kNoWindow;
    }
    ScrollRange(window, platform::ScrollBar::Horizontal, plan.outer.width, plan.frame.width);
    ScrollRange(window, platform::ScrollBar::Vertical, plan.outer.height, plan.frame.height);
    return window;
}

} // namespace vodarir
