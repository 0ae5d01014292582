// The event tables of runtime screen windows: keys to runtime key codes, key codes to events in
// the two key maps, and control commands to events. Plain data and lookups, no window.
//
// An event value carries the event number in its low byte and a parameter in its high byte
// (EventValue); 0 is no event.
#pragma once

#include <cstdint>

#include "platform/ui.h"

namespace vodarir {

// Event numbers of screen windows.
namespace screenevent {
inline constexpr std::uint8_t kNextField = 1;
inline constexpr std::uint8_t kPreviousField = 2;
inline constexpr std::uint8_t kPosted = 18;
inline constexpr std::uint8_t kHelp = 19;
inline constexpr std::uint8_t kRestore = 20;
inline constexpr std::uint8_t kEscape = 21;
inline constexpr std::uint8_t kToEnd = 22;
inline constexpr std::uint8_t kWindowMessage = 23;
inline constexpr std::uint8_t kCaptured = 24;
inline constexpr std::uint8_t kButton = 25;
inline constexpr std::uint8_t kClose = 28;
inline constexpr std::uint8_t kCheckFailed = 30;
inline constexpr std::uint8_t kDown = 31;
inline constexpr std::uint8_t kUp = 32;
inline constexpr std::uint8_t kFieldEntered = 38;
inline constexpr std::uint8_t kMenuCommand = 15;
inline constexpr std::uint8_t kChoiceCommand = 16;
inline constexpr std::uint8_t kListCommand = 43;
inline constexpr std::uint8_t kOtherCommand = 44;
inline constexpr std::uint8_t kFocus = 91;
inline constexpr std::uint8_t kFocusLost = 92;
inline constexpr std::uint8_t kListChosen = 94;
inline constexpr std::uint8_t kFirstActivation = 95;
} // namespace screenevent

// Results of events with a meaning of their own.
namespace screenresult {
inline constexpr std::uint16_t kCloseWindow = 8;  // with a result below 128
inline constexpr std::uint16_t kCleared = 0xFFE3; // bits 4, 8 and 16 cleared
inline constexpr std::uint16_t kNoMove = 64;      // no field to move to
inline constexpr std::uint16_t kShown = 122;      // from here on a result is shown
inline constexpr std::uint16_t kCheckFailed = 126;
} // namespace screenresult

// Buttons of the screens' button bar (the parameter of event 25).
inline constexpr std::uint8_t kAcceptButton = 100;
inline constexpr std::uint8_t kCancelButton = 101;
inline constexpr platform::ControlId kAcceptCommand = 3100;
inline constexpr platform::ControlId kCancelCommand = 3101;
inline constexpr platform::ControlId kFirstButtonCommand = 3000;

// Runtime key codes with a meaning only in field edits.
inline constexpr std::uint16_t kKeyShiftTab = 8;
inline constexpr std::uint16_t kKeyCtrlEnd = 32;

// Private messages of screen windows.
inline constexpr int kMessageToControl = 35041; // event 18 to the focused field
inline constexpr int kMessageToWindow = 35040;  // event param × 256 + 23

constexpr std::uint16_t EventValue(std::uint8_t number, std::uint8_t parameter) {
    return static_cast<std::uint16_t>(number | (parameter << 8));
}
constexpr std::uint8_t EventNumber(std::uint16_t value) { return value & 0xFF; }
constexpr std::uint8_t EventParameter(std::uint16_t value) { return value >> 8; }

// The key maps of the key-event table; a map above this has no events.
inline constexpr std::uint16_t kLastKeyMap = 1;
inline constexpr std::uint16_t kKeyMapStride = 33;

// The runtime key code of a key in a field edit: Shift+Tab (only Shift held) is 8, Ctrl+End
// (only Ctrl held) is 32, every other key as KeyCode gives it.
std::uint16_t FieldKeyCode(platform::VirtualKey key, platform::Modifiers mods);
// The event of key code k in key map m; 0 when none (a key map above kLastKeyMap has none).
std::uint16_t KeyEvent(std::uint16_t keyCode, std::uint16_t keyMap);
// The event of a command from control `id`; 0 when it gives none (a parameter that does not fit
// the event's high byte gives none either).
std::uint16_t CommandEvent(platform::ControlId id);
// True for the key codes after which a field's text is stored before the event is dispatched
// (and not again when the field loses the focus).
bool IsNavigationKey(std::int32_t keyCode);

} // namespace vodarir
