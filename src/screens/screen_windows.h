// Runtime screens and their windows: the tables of loaded screens (_SCREENS ) and open screen
// windows (_SCRWIND), opening a screen from its definition and attribute texts, one edit per
// field, the fields' values, and the events that keys, commands and focus changes raise.
//
// Numbers. Screens and windows are numbered from 1 (0: none); fields are numbered from 1 within
// their screen, and field n's edit is control kFirstFieldControl + n - 1.
//
// Definition text: the screen's records, one a line (CR LF or LF), each as the screen file
// writes it without its number: "0rrccText" a text at row rr, column cc; "1rrccFFffLLT" a field
// at row rr, column cc bound to file FF, field ff, of length LL and type T (two-column numbers,
// blank-padded). Fields are numbered in the order of their records.
//
// Attribute text: the ":"-joined KEY=value items of the screen's parameters (FD$, BOUNDS$,
// BEGINFLD%, FILEDEF$, UNICNDX%, AUTONDX%, KEYMAP%, ALARM$, WIDTHS$, HIDDEN$, NOEDIT$, EDIT$...),
// field keywords being comma lists with item n for field n.
//
// Field values: each field keeps its value in its stored form (the form of its type letter); the
// field-value operation turns a typed text into it and also assigns it to the variable the field
// is named after, so that conditions and scripts read it by that name. A field's leave condition
// is item n of ALARM$: a condition that must hold for the focus to leave the field.
//
// Ownership: the records live in typed tables 4 and 5 (Part of the runtime's accounted memory);
// each screen's fields and texts live in a block of this layer until the screen is closed. A
// screen window's procedure belongs to this layer and lives until its window is destroyed.
//
// Invariants:
//  1. Table 4 holds ScreenCount() records and table 5 WindowCount() records; a record whose inUse
//     is 0 is a free place, and the last record of each table is in use (or the table is empty).
//  2. The current screen and window are 0 or the number of a record in use.
//  3. A window in use names a screen in use and a native window that exists, registered on the
//     window stack with its number as value.
//  4. A field's control, when it has one, is kFirstFieldControl + n - 1 in its screen's window.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"
#include "screens/runtime_window.h"

namespace vodarir {

inline constexpr std::uint16_t kMaxScreenFields = 80;
inline constexpr std::uint16_t kMaxScreens = 64;
inline constexpr std::uint16_t kMaxScreenWindows = 32;
inline constexpr platform::ControlId kFirstFieldControl = 2000;
inline constexpr platform::ControlId kLastFieldControl = 2999;
// Longest field value and display length a definition may ask for.
inline constexpr std::uint16_t kMaxFieldLength = 511;

// Edit orders with a meaning of their own.
inline constexpr std::uint16_t kEditOrderNone = 0;    // shown, not editable
inline constexpr std::uint16_t kEditOrderHidden = 81; // no control at all
// Property bit of every field with a non-zero edit order.
inline constexpr std::uint16_t kFieldEditable = 512;
// Screen flag: fields without a binding are bound by name to the screen's data file.
inline constexpr std::uint8_t kScreenBindByName = 4;
// Window flag: no action function, the built-in handling.
inline constexpr std::uint8_t kWindowBuiltin = 0x80;

// ScreenSetWin modes.
namespace screenmode {
inline constexpr std::uint8_t kNoControls = 1; // empties SlotStore group 38, makes no control
inline constexpr std::uint8_t kInline = 2;     // grid edits (also 4)
inline constexpr std::uint8_t kInlineAlt = 4;
} // namespace screenmode

struct ScreenField {
    StatusCode status = 0;
    std::uint16_t row = 0;
    std::uint16_t column = 0;
    std::uint16_t maxLength = 0;
    std::uint16_t displayLength = 0;
    std::uint16_t editOrder = 0;
    std::uint8_t file = 0;
    std::uint16_t field = 0;
    char type = 'A';
    std::uint16_t properties = 0;
    platform::ControlId control = platform::kNoControl;
    std::string name;  // item n of FD$
    std::string alarm; // item n of ALARM$: the leave condition
    std::string value; // the stored form
};

struct ScreenRecord {
    std::uint16_t useCount = 0;
    std::uint16_t fieldCount = 0;
    std::uint16_t linesFirst = 0; // the repeated-lines area, 0 when none
    std::uint16_t linesLast = 0;
    std::uint8_t windowMode = 0;
    std::uint8_t keyMap = 0;
    std::uint16_t startField = 0; // BEGINFLD% - 1, not below 0
    std::uint8_t dataFile = 0;
    std::uint8_t indexMode = 0;
    std::uint8_t flags = 0;
    std::uint8_t inUse = 0;
};

// An action takes an event value (number in the low byte, parameter in the high byte) and the
// window's extra value, and answers a result: 0 handled, bit 8 closes the window, 122 and above
// an error that is shown. A chain gives the event after `event` (-1: stop) from its two values.
using ScreenAction = StatusCode (*)(std::uint16_t event, void* extra);
using ScreenChain = std::int32_t (*)(std::int32_t first, std::int32_t second, std::uint16_t event);

struct WindowRecord {
    std::uint16_t screen = 0;
    std::uint8_t dataFile = 0;
    std::uint16_t currentField = 0;
    std::uint8_t flags = 0;
    platform::WindowId native = platform::kNoWindow;
    std::uint8_t kind = 0;
    ScreenAction action = nullptr;
    ScreenChain chain = nullptr;
    std::int32_t chainFirst = 0;
    std::int32_t chainSecond = 0;
    void* extra = nullptr;
    std::uint8_t inUse = 0;
};

// ---- Screens ----------------------------------------------------------------------------------

// Builds a screen from its texts and makes it current; its number in *number (may be null).
// kScreenStruct for a definition or attribute text whose counts, items or records are out of range
// (the detail names what), 161 for a data file that does not exist, 177 when kMaxScreens are open.
StatusCode OpenScreen(std::uint16_t fieldCount, TextRef definition, TextRef attributes,
                      std::uint8_t flags, std::uint16_t* number);
// Frees a screen (and closes its windows). Nothing for a number not in use.
void CloseScreen(std::uint16_t screen);
std::uint16_t CurrentScreen();
// Makes an open screen current again (a prompt closing over it); nothing for one not open.
void ScreenMakeCurrent(std::uint16_t screen);
std::uint16_t ScreenCount();     // records in table 4, free places included
std::uint16_t OpenScreenCount(); // records in use
std::uint16_t OpenWindowCount(); // windows in use
// A copy of the screen's record; inUse 0 for a number not in use.
ScreenRecord ScreenInfo(std::uint16_t screen);
// A field of a screen; null for a number not in use. Valid until the screen is closed.
const ScreenField* ScreenFieldOf(std::uint16_t screen, std::uint16_t field);
// The screen's text records (labels), as (row, column, text).
struct ScreenLabel {
    std::uint16_t row = 0;
    std::uint16_t column = 0;
    std::string text;
};
const std::vector<ScreenLabel>* ScreenLabels(std::uint16_t screen);

// ---- Windows ----------------------------------------------------------------------------------

// Opens a window of the kind for the current screen (its whole grid), with the screen windows'
// procedure, and makes it current. 0 and the number in *number, or the status of
// OpenRuntimeWindow, or kScreenStruct without a current screen or when kMaxScreenWindows are open.
StatusCode OpenScreenWindow(std::uint16_t kind, std::uint16_t placement, TextRef title,
                            std::uint16_t* number);
// Makes window n current (n = -1 only asks); answers the current window number, 0 when none.
std::uint16_t SelectWindow(std::int32_t n);
std::uint16_t CurrentWindow();
WindowRecord WindowInfo(std::uint16_t window);
// The native window of the current screen window, kNoWindow when none.
platform::WindowId CurrentNativeWindow();
void ScreenActionSet(ScreenAction action, ScreenChain chain, void* extra);
// Sets the two values the chain is called with.
void ScreenChainValues(std::int32_t first, std::int32_t second);
// Creates the field edits (and the labels) of the current screen in the current window.
StatusCode ScreenSetWin(std::uint8_t mode);
// One field's edit at (x, y) pixels in the current window.
StatusCode CreateFieldControl(std::uint16_t n, ScreenField& field, int x, int y, std::uint8_t mode);
// Which procedure a control's events go through.
enum class ControlProcedure : std::uint8_t { None = 0, Field = 1, ListOrButton = 2 };
void Subclass(platform::ControlId control, ControlProcedure kind);
// Destroys the current window (its native window and record).
void CloseCurrentWindow();
// Closes every window and screen and forgets the capture (runtime shutdown, tests).
void ScreensReset();

// ---- Values -----------------------------------------------------------------------------------

// The field-value operation: the typed text through the field's type and mask into its stored
// form (EntryValue), trimmed, kept, and assigned to the field's variable. 0, or the status of
// the conversion or the assignment (the value is then unchanged); 177 for a field that does not
// exist.
StatusCode ScreenFieldSet(std::uint16_t field, TextRef text);
// Shows the field's value in its edit. A value that cannot be shown in the field's display length
// appends message 0017 (field number, field name) to the error detail and answers its status.
StatusCode ScreenFieldShow(std::uint16_t field);
// The stored value of a field of the current screen (a view valid until it changes).
TextRef ScreenFieldValue(std::uint16_t field);
// The leave check: 0 when item n of ALARM$ holds (or is empty), 126 with the condition as the
// error detail when it does not.
StatusCode FieldLeaveCheck(std::uint16_t field);

// ---- Events -----------------------------------------------------------------------------------

// The central event entry (control kNoControl: the window). Results of 122 and above are shown in
// the error box before they are answered.
StatusCode DispatchEvent(platform::ControlId control, std::uint16_t event);
// The event to the current window: its action (and chain), or the built-in handling.
StatusCode DispatchToWindow(std::uint16_t event);
// The built-in handling of a window without an action (navigation); 163 for other events.
StatusCode BuiltinScreenEvent(std::uint16_t event);
// The field after `from` in the direction (+1, -1), or -1 when there is none.
std::int32_t NextField(std::uint16_t from, std::int32_t direction);
void SetCurrentField(std::uint16_t n);
void Scroll(platform::WindowId window, platform::ScrollBar bar, int code, int position);

// Character capture: the longest text it gathers.
inline constexpr std::uint32_t kMaxCapture = 0xFFFF;
inline constexpr unsigned char kCaptureStart = 29;
bool CaptureActive();

} // namespace vodarir
