// The table from Qt keys to virtual keys.
#include "platform/qt/qt_keys.h"

namespace vodarir::platform::qtface {

namespace {

struct KeyMap {
    int qt;
    VirtualKey vk;
};

// Keys that are not letters, digits or function keys. The shifted punctuation of the US layout
// (Qt names the character, Windows the key) maps to the key it is on.
constexpr KeyMap kKeys[] = {
    {Qt::Key_Backspace, vk::Back},
    {Qt::Key_Tab, vk::Tab},
    {Qt::Key_Backtab, vk::Tab},
    {Qt::Key_Return, vk::Return},
    {Qt::Key_Enter, vk::Return},
    {Qt::Key_Shift, vk::Shift},
    {Qt::Key_Control, vk::Control},
    {Qt::Key_Alt, vk::Menu},
    {Qt::Key_AltGr, vk::Menu},
    {Qt::Key_Pause, vk::Pause},
    {Qt::Key_CapsLock, vk::Capital},
    {Qt::Key_Escape, vk::Escape},
    {Qt::Key_Space, vk::Space},
    {Qt::Key_PageUp, vk::Prior},
    {Qt::Key_PageDown, vk::Next},
    {Qt::Key_End, vk::End},
    {Qt::Key_Home, vk::Home},
    {Qt::Key_Left, vk::Left},
    {Qt::Key_Up, vk::Up},
    {Qt::Key_Right, vk::Right},
    {Qt::Key_Down, vk::Down},
    {Qt::Key_Print, vk::Snapshot},
    {Qt::Key_Insert, vk::Insert},
    {Qt::Key_Delete, vk::Delete},
    {Qt::Key_Meta, vk::LeftWin},
    {Qt::Key_Menu, vk::Apps},
    {Qt::Key_NumLock, vk::NumLock},
    {Qt::Key_ScrollLock, vk::Scroll},
    {Qt::Key_Semicolon, vk::Oem1},
    {Qt::Key_Colon, vk::Oem1},
    {Qt::Key_Equal, vk::OemPlus},
    {Qt::Key_Plus, vk::OemPlus},
    {Qt::Key_Comma, vk::OemComma},
    {Qt::Key_Less, vk::OemComma},
    {Qt::Key_Minus, vk::OemMinus},
    {Qt::Key_Underscore, vk::OemMinus},
    {Qt::Key_Period, vk::OemPeriod},
    {Qt::Key_Greater, vk::OemPeriod},
    {Qt::Key_Slash, vk::Oem2},
    {Qt::Key_Question, vk::Oem2},
    {Qt::Key_QuoteLeft, vk::Oem3},
    {Qt::Key_AsciiTilde, vk::Oem3},
    {Qt::Key_BracketLeft, vk::Oem4},
    {Qt::Key_BraceLeft, vk::Oem4},
    {Qt::Key_Backslash, vk::Oem5},
    {Qt::Key_Bar, vk::Oem5},
    {Qt::Key_BracketRight, vk::Oem6},
    {Qt::Key_BraceRight, vk::Oem6},
    {Qt::Key_Apostrophe, vk::Oem7},
    {Qt::Key_QuoteDbl, vk::Oem7},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// On the keypad the operators and the point have keys of their own.
constexpr KeyMap kKeypadKeys[] = {
    {Qt::Key_Asterisk, vk::Multiply}, {Qt::Key_Plus, vk::Add},      {Qt::Key_Minus, vk::Subtract},
    {Qt::Key_Period, vk::Decimal},    {Qt::Key_Comma, vk::Decimal}, {Qt::Key_Slash, vk::Divide},
};

constexpr int kFunctionKeys = 24;

} // namespace

VirtualKey VirtualKeyOf(int qtKey, bool keypad) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return keypad ? vk::Numpad0 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0);
    }
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + kFunctionKeys) {
        return vk::F1 + (qtKey - Qt::Key_F1);
    }
    if (keypad) {
        for (const KeyMap& k : kKeypadKeys) {
            if (k.qt == qtKey) return k.vk;
        }
    }
    for (const KeyMap& k : kKeys) {
        if (k.qt == qtKey) return k.vk;
    }
    return vk::None;
}

Modifiers ModifiersOf(Qt::KeyboardModifiers mods) {
    Modifiers out = kModNone;
    if (mods & Qt::ShiftModifier) out |= kModShift;
    if (mods & Qt::ControlModifier) out |= kModControl;
    if (mods & Qt::AltModifier) out |= kModAlt;
    return out;
}

} // namespace vodarir::platform::qtface
