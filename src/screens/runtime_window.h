// Runtime windows of the dialog kinds: their names, frame styles, sizes on the character grid,
// clamping to the screen, placement beside their owner and scroll ranges.
//
// A runtime window is a WinCreate window (runtime/ui/win_basics.h): it joins the window stack and
// its owner is the window on top. Its size comes from the grid (ClientSize), its frame from the
// kind's style set, and a window that does not fit the screen is cut to it and scrolls over its
// whole content.
//
// Ownership: the caller owns the procedure object and keeps it alive until the window is gone.
#pragma once

#include <cstdint>

#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The dialog kinds. Numbers 8 to 10 are accepted too (they have no name); 11 and above are not.
enum class DialogKind : std::uint16_t {
    None = 0,
    LnMant = 1,
    Mant = 2,
    MantDlg = 3,
    Grid = 4,
    Dialog = 5,
    DevSel = 6,
    Progress = 7,
};
inline constexpr std::uint16_t kLastDialogKind = 10;
// Kind k is named by item k + 1.
inline constexpr char kDialogKindNames[] = ",LnMant,Mant,MantDlg,Grid,Dialog,DevSel,Progress";

// A kind from its number at the runtime's boundary; false for 11 and above.
bool DialogKindFromNumber(std::uint16_t number, DialogKind* kind);
// The runtime style value (winstyle::) of the kind's frame.
std::uint32_t DialogKindStyle(DialogKind kind);

// Placement flags.
namespace placeflag {
// Under the control that has the focus in the owner, two cell heights down.
inline constexpr std::uint16_t kUnderFocus = 0x40;
} // namespace placeflag
// _SCRSTAT bit that moves an ownerless window off the centre.
inline constexpr std::uint16_t kScrStatOffCentre = 8;
// How far a window opened over another is moved from that window's corner, and what a scroll
// bar takes when a window is cut to the screen.
inline constexpr int kOwnerOffsetX = 100;
inline constexpr int kOwnerOffsetY = 60;
inline constexpr int kScrollBarRoom = 24;

// Everything OpenRuntimeWindow decides before it creates the window.
struct RuntimeWindowPlan {
    std::uint32_t style = 0; // winstyle:: value
    platform::Size outer;    // the framed size before clamping (the content to scroll over)
    platform::Rect frame;    // position and clamped size on the screen
};

// The window name of a kind: its kind name, else the application name (SlotStore 0.2), else the
// title. On the ScratchStack; empty when all three are.
TextRef RuntimeWindowName(DialogKind kind, TextRef title);
// The size, clamping and position of a window of the kind with a client area of columns × rows
// cells (kWholeGrid: the grid's own), as OpenRuntimeWindow would open it now.
RuntimeWindowPlan PlanRuntimeWindow(DialogKind kind, std::uint16_t placement, bool withMenu,
                                    std::uint16_t columns, std::uint16_t rows);

// Opens a runtime window of the kind (a number at the boundary). Answers the window, or
// platform::kNoWindow with the reason in *status: 163 for a kind of 11 or more or a name that
// stays empty, 143 when the window stack already holds kMaxRegisteredWindows windows (the detail
// names the count), 179 when the face cannot make it. status may be null.
platform::WindowId OpenRuntimeWindow(std::uint16_t kind, std::uint16_t placement, TextRef title,
                                     const platform::Menu* menu, std::uint16_t columns,
                                     std::uint16_t rows, platform::WindowEvents* procedure,
                                     StatusCode* status);

} // namespace vodarir
