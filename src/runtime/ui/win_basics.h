// The runtime's own top-level windows: the window stack, creation, placement, scroll ranges, the
// message pumps, menus of dynamic commands and the edit style of a screen field.
//
// Windows are platform::Ui windows. The runtime talks to them with the same numbers its window
// functions always used: style values are Win32 style bits (winstyle::), a window's "procedure"
// is a platform::WindowEvents object, and key numbers come from KeyCode (runtime/ui/key_codes.h).
//
// Ownership and lifetime:
//  - The caller owns every procedure object and keeps it alive until its window is destroyed.
//  - A window made by WinCreate is wrapped by this layer: its events reach the procedure through
//    a forwarder that keeps the window stack right whoever destroys the window (the core, the
//    user with the close button, its owner going down). The forwarder lives here until the
//    window is gone.
//  - The window stack is process-wide and starts empty; WinStackReset (runtime shutdown, tests)
//    destroys the windows WinCreate made that are still open and empties the stack.
//
// Invariants of the window stack:
//  1. At most kMaxRegisteredWindows entries; no window appears twice.
//  2. The order list is the stacking order: the last entry is the top window.
//  3. A registered window that is destroyed through the seam leaves the stack before its
//     procedure's onDestroy has returned.
//  4. A window created with the modal marker (winstyle::kModalMarker) disabled the window that was
//     on top; that window is enabled again, and given the focus, when the marked window goes.
#pragma once

#include <cstdint>

#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

using platform::ControlId;
using platform::WindowId;

// ---- The window stack -------------------------------------------------------------------------

inline constexpr std::uint16_t kMaxRegisteredWindows = 32;
// WinValue of a window that is not registered; also the value WinCreate registers with.
inline constexpr std::uint16_t kNoWinValue = 0xFFFF;

// A window already in the stack moves to the top and takes the value; a new one is added on top
// (nothing happens when the stack is full). kNoWindow is never registered.
void WinRegister(WindowId window, std::uint16_t value);
std::uint16_t WinValue(WindowId window);
// The top window, kNoWindow when none is registered.
WindowId WinTop();
void WinUnregister(WindowId window);
std::uint16_t WinCount();
// Destroys every window WinCreate made that is still open, then forgets every registration and
// every pending wait. Call it before the face in use goes away.
void WinStackReset();

// ---- Creation ---------------------------------------------------------------------------------

// Style values of WinCreate, with their Win32 numbers.
namespace winstyle {
inline constexpr std::uint32_t kModalMarker = 0x00000080; // the runtime's own: a modal popup
inline constexpr std::uint32_t kMinimizeBox = 0x00020000;
inline constexpr std::uint32_t kThickFrame = 0x00040000; // resizable
inline constexpr std::uint32_t kSysMenu = 0x00080000;
inline constexpr std::uint32_t kCaption = 0x00C00000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kPopup = 0x80000000;
// The frames runtime windows use.
inline constexpr std::uint32_t kOverlapped = 0x00CA0000;     // caption, system menu, minimise
inline constexpr std::uint32_t kModalPopup = 0x80C80080;     // popup, caption, system menu
inline constexpr std::uint32_t kModalNoSysMenu = 0x80C00080; // popup, caption only
} // namespace winstyle

// The platform frame of a runtime style value.
platform::WindowStyle WinFrameStyle(std::uint32_t style);

// Creates a top-level window owned by the current top window and registers it with kNoWinValue.
// className names the kind of window (transcripts, the face's window name); an empty one cannot
// be registered and nothing is made. procedure may be null: the default procedure, which lets
// the user close the window. With kModalMarker the current top window is disabled first (and
// enabled again when creation fails). menu may be null. Answers kNoWindow on failure.
WindowId WinCreate(TextRef className, TextRef title, std::uint32_t style, int x, int y, int width,
                   int height, const platform::Menu* menu, platform::WindowEvents* procedure);
// Destroys a window; its registration and the modal marker's disabled owner are settled as for
// any destruction. False when there is no such window.
bool WinDestroy(WindowId window);
// Events that go to `filter` before the window's procedure while it is set: key and character
// events the filter consumes go no further, every other event reaches both. Null removes it.
// False when the window was not made by WinCreate.
bool WinSetFilter(WindowId window, platform::WindowEvents* filter);

// ---- Showing and placing ------------------------------------------------------------------------

// Shows (and so repaints) the top window.
void WinShowTop();
// Enables the window, makes it the active one and gives it the focus (back from a modal popup).
void WinEnableFocus(WindowId window);

inline constexpr std::uint16_t kKeepPlace = 0xFFFF; // WinPlace: keep the position or client size
inline constexpr std::uint16_t kCentrePlace = 0;    // WinPlace x: centre on the screen

// Sizes and places the top window. columns and rows are character cells (kKeepPlace: the current
// client size); x kCentrePlace centres the window, x kKeepPlace keeps its position, else x and y
// are screen pixels. The frame is added to the client size; a window larger than the screen is
// cut to the screen and scrolls over the rest; the position is moved left and up so the window
// ends on the screen, never beyond its top-left corner.
void WinPlace(std::uint16_t x, std::uint16_t y, std::uint16_t columns, std::uint16_t rows);
// When content > visible, shows the bar with the range 0 .. content - visible (its position kept
// within it); otherwise the bar is left as it was.
void ScrollRange(WindowId window, platform::ScrollBar bar, int content, int visible);
// The client size of the window, or of the usable screen for kNoWindow.
platform::Size ScreenSize(WindowId window);
// The mouse pointer in screen pixels.
platform::Point CursorPos();
// Destroys every tab-stop child control of the window.
void DestroyTabChildren(WindowId window);
// The text of control `id` of the top window: 0, or kWindowsControl when the control does not take
// it.
StatusCode SetTopItemText(ControlId id, TextRef text);

// A static text at a cell position (row and column 1-based, width and height in cells). Answers
// its id (anonymous), or platform::kNoControl when it cannot be made.
ControlId MakeLabel(WindowId parent, std::uint16_t row, std::uint16_t column, std::uint16_t width,
                    std::uint16_t height, TextRef text);
// The control PaintBanner keeps over the client area, one per window.
inline constexpr ControlId kBannerControl = 0xFFFD;
// Covers the client area in grey with the text in white, centred horizontally; painting again
// replaces the text.
bool PaintBanner(WindowId window, TextRef text);

// ---- Message pumps ----------------------------------------------------------------------------

// PumpUntilKey's answer when a quit message ended the wait (or nothing could send a key).
inline constexpr std::uint16_t kPumpQuit = 0xFFFF;
// The message number PostQuit posts; procedures post their own messages under other numbers.
inline constexpr int kQuitMessage = 0x0012;

// Waits until a key goes down in a window made by WinCreate; that key is not delivered, and its
// runtime key number (KeyCode) is the answer. kPumpQuit when a quit message comes first, or when
// no such window exists.
std::uint16_t PumpUntilKey();
// Delivers every pending event; 1 when a quit message was among them (or was still pending),
// else 0. The window argument names the caller's window and may be kNoWindow.
int PumpPending(WindowId window);
// Shows the top window and waits: with kNoWindow until a quit message arrives; with a window
// until it is no longer the top window (destroyed, unregistered, or another raised above it),
// then delivers what is still pending.
void PumpModal(WindowId window);
// A nested loop in which `window` takes the input (kNoWindow: every window, none made modal)
// until a quit message arrives or the window is destroyed; true when a quit ended it. The loop
// of a window that must wait for a choice (a choice prompt, say).
bool PumpUntilQuit(WindowId window);
// Posts the quit message that ends the innermost wait (through the window's queue when it was
// made by WinCreate, else at once).
void PostQuit(WindowId window);

// ---- Menus of dynamic commands ----------------------------------------------------------------

// Dynamic commands are 1500 and up; the data of command c lives in SlotStore group 5 slot
// c - 1500 until the command runs.
inline constexpr platform::CommandId kFirstDynamicCommand = 1500;
inline constexpr platform::CommandId kLastDynamicCommand = 1699;
inline constexpr std::uint16_t kMenuRefused = 0xFFFF;

// A non-empty data text appends a command item `id` with `text` and stores the data; an empty
// data text appends a sub-menu entry `text` (its items are then added to menu.back().items).
// 0, or kMenuRefused when the command is outside the dynamic range or its data cannot be stored.
std::uint16_t AddMenuItem(platform::Menu& menu, platform::CommandId id, TextRef text, TextRef data);
// The data stored for a dynamic command (a view into the SlotStore); empty when none.
TextRef MenuItemData(platform::CommandId id);

// ---- Screen field edits -----------------------------------------------------------------------

// The edit control style of a screen field: read-only when the field cannot be edited; type "P"
// is password entry and the field's type becomes "A"; a type in "NL123456789" is right-aligned;
// otherwise left-aligned. Always a tab stop.
platform::ControlStyle EditStyleFor(char& fieldType, bool editable);

} // namespace vodarir
