// The numbers that cross the platform seam: virtual keys, modifiers, notification codes, scroll
// codes and the standard command ids.
//
// Every number here has the value of its Win32 namesake (VK_RETURN, EN_CHANGE, NM_DBLCLK, SB_...,
// IDOK), with the prefix turned into a namespace: vk::Return is VK_RETURN. The runtime's key and
// command tables were written against those numbers, so keeping them lets the tables stand as
// data; each face translates its toolkit's codes into these and nothing else.
#pragma once

#include <cstdint>

namespace vodarir::platform {

using VirtualKey = std::int32_t;

// Virtual-key codes (Win32 values). Letters and digits are their upper-case ASCII codes ('A' is
// 0x41, '0' is 0x30); use the character literal for those.
namespace vk {
inline constexpr VirtualKey None = 0x00; // a key the face cannot name: an ordinary editing key
inline constexpr VirtualKey Back = 0x08;
inline constexpr VirtualKey Tab = 0x09;
inline constexpr VirtualKey Return = 0x0D;
inline constexpr VirtualKey Shift = 0x10;
inline constexpr VirtualKey Control = 0x11;
inline constexpr VirtualKey Menu = 0x12; // Alt
inline constexpr VirtualKey Pause = 0x13;
inline constexpr VirtualKey Capital = 0x14; // Caps Lock
inline constexpr VirtualKey Escape = 0x1B;
inline constexpr VirtualKey Space = 0x20;
inline constexpr VirtualKey Prior = 0x21; // Page Up
inline constexpr VirtualKey Next = 0x22;  // Page Down
inline constexpr VirtualKey End = 0x23;
inline constexpr VirtualKey Home = 0x24;
inline constexpr VirtualKey Left = 0x25;
inline constexpr VirtualKey Up = 0x26;
inline constexpr VirtualKey Right = 0x27;
inline constexpr VirtualKey Down = 0x28;
inline constexpr VirtualKey Snapshot = 0x2C; // Print Screen
inline constexpr VirtualKey Insert = 0x2D;
inline constexpr VirtualKey Delete = 0x2E;
inline constexpr VirtualKey LeftWin = 0x5B;
inline constexpr VirtualKey Apps = 0x5D;    // the context-menu key
inline constexpr VirtualKey Numpad0 = 0x60; // Numpad0 + n for digit n on the keypad
inline constexpr VirtualKey Multiply = 0x6A;
inline constexpr VirtualKey Add = 0x6B;
inline constexpr VirtualKey Subtract = 0x6D;
inline constexpr VirtualKey Decimal = 0x6E;
inline constexpr VirtualKey Divide = 0x6F;
inline constexpr VirtualKey F1 = 0x70; // F1 + n - 1 for Fn, up to F24
inline constexpr VirtualKey F2 = 0x71;
inline constexpr VirtualKey F3 = 0x72;
inline constexpr VirtualKey F4 = 0x73;
inline constexpr VirtualKey F5 = 0x74;
inline constexpr VirtualKey F6 = 0x75;
inline constexpr VirtualKey F7 = 0x76;
inline constexpr VirtualKey F8 = 0x77;
inline constexpr VirtualKey F9 = 0x78;
inline constexpr VirtualKey F10 = 0x79;
inline constexpr VirtualKey F11 = 0x7A;
inline constexpr VirtualKey F12 = 0x7B;
inline constexpr VirtualKey F24 = 0x87;
inline constexpr VirtualKey NumLock = 0x90;
inline constexpr VirtualKey Scroll = 0x91;
// The punctuation keys, named by their US-layout characters.
inline constexpr VirtualKey Oem1 = 0xBA; // ; :
inline constexpr VirtualKey OemPlus = 0xBB;
inline constexpr VirtualKey OemComma = 0xBC;
inline constexpr VirtualKey OemMinus = 0xBD;
inline constexpr VirtualKey OemPeriod = 0xBE;
inline constexpr VirtualKey Oem2 = 0xBF;   // / ?
inline constexpr VirtualKey Oem3 = 0xC0;   // ` ~
inline constexpr VirtualKey Oem4 = 0xDB;   // [ {
inline constexpr VirtualKey Oem5 = 0xDC;   // \ |
inline constexpr VirtualKey Oem6 = 0xDD;   // ] }
inline constexpr VirtualKey Oem7 = 0xDE;   // ' "
inline constexpr VirtualKey Oem102 = 0xE2; // < > on 102-key keyboards
} // namespace vk

// Modifier keys held during a key event; a bit set.
using Modifiers = std::uint8_t;
inline constexpr Modifiers kModNone = 0;
inline constexpr Modifiers kModShift = 1;
inline constexpr Modifiers kModControl = 2;
inline constexpr Modifiers kModAlt = 4;

// Notification codes of WindowEvents::onCommand and onListNotify (Win32 values).
namespace notify {
// Commands (onCommand). A menu command also arrives with 0, as in Win32.
inline constexpr int BnClicked = 0;     // a button was pressed, or a menu item chosen
inline constexpr int LbnSelChange = 1;  // the user moved a list box's selection
inline constexpr int LbnDblClk = 2;     // double click on a list-box item
inline constexpr int CbnSelEndOk = 9;   // a drop-down list's selection was confirmed
inline constexpr int EnChange = 0x0300; // the user changed an edit's text
// The user moved the caret or the selection of a multi-line edit (a key, the pointer); a face may
// also send it after a change of the text. Never for the core's own setText or setEditSelection.
inline constexpr int EnSelChange = 0x0702;
// List views (onListNotify).
inline constexpr int NmClick = -2;
inline constexpr int NmDblClk = -3;
inline constexpr int NmRClick = -5;
} // namespace notify

// Scroll-bar request codes of WindowEvents::onScroll (Win32 SB_ values).
namespace scroll {
inline constexpr int LineUp = 0; // also "line left"
inline constexpr int LineDown = 1;
inline constexpr int PageUp = 2;
inline constexpr int PageDown = 3;
inline constexpr int ThumbPosition = 4;
inline constexpr int ThumbTrack = 5;
inline constexpr int Top = 6;
inline constexpr int Bottom = 7;
inline constexpr int EndScroll = 8;
} // namespace scroll

// The standard command ids: what Enter and Esc send in a dialog window, and the results of
// runModal for a window the user closed.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

} // namespace vodarir::platform
