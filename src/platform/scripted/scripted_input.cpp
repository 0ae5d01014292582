// The scripted face's user: typing, keys, clicks, menu choices and list choices, each raising
// the events the Qt face raises for the same act, in the same order.
#include <algorithm>
#include <cstdio>

#include "platform/scripted/scripted_internal.h"
#include "platform/scripted/scripted_ui.h"

namespace vodarir::platform {

// ---- Text helpers ------------------------------------------------------------------------------

namespace scripted {

std::string MenuLabel(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && text[i] != '\t'; ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') out += text[++i];
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        switch (ch) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (b < 0x20 || b == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", b);
                out += hex;
            } else {
                out += ch;
            }
        }
    }
    return out;
}

} // namespace scripted

// ---- Keys and characters -----------------------------------------------------------------------

namespace {

// The keys that make a character, with the US-layout character unshifted and shifted. Letters
// are handled apart (their key is the upper-case letter). The keypad rows come after the main
// keys so that a character found here maps to its main key.
struct KeyChar {
    VirtualKey key;
    char plain;
    char shifted;
};
constexpr KeyChar kKeyChars[] = {
    {vk::Space, ' ', ' '},
    {'0', '0', ')'},
    {'1', '1', '!'},
    {'2', '2', '@'},
    {'3', '3', '#'},
    {'4', '4', '$'},
    {'5', '5', '%'},
    {'6', '6', '^'},
    {'7', '7', '&'},
    {'8', '8', '*'},
    {'9', '9', '('},
    {vk::Oem1, ';', ':'},
    {vk::OemPlus, '=', '+'},
    {vk::OemComma, ',', '<'},
    {vk::OemMinus, '-', '_'},
    {vk::OemPeriod, '.', '>'},
    {vk::Oem2, '/', '?'},
    {vk::Oem3, '`', '~'},
    {vk::Oem4, '[', '{'},
    {vk::Oem5, '\\', '|'},
    {vk::Oem6, ']', '}'},
    {vk::Oem7, '\'', '"'},
    {vk::Multiply, '*', '*'},
    {vk::Add, '+', '+'},
    {vk::Subtract, '-', '-'},
    {vk::Decimal, '.', '.'},
    {vk::Divide, '/', '/'},
    {vk::Return, '\r', '\r'},
    {vk::Tab, '\t', '\t'},
    {vk::Back, '\b', '\b'},
    {vk::Escape, '\x1B', '\x1B'},
};

// The character a key makes with these modifiers; 0 when none.
unsigned char CharForKey(VirtualKey key, Modifiers mods) {
    const bool shift = (mods & kModShift) != 0;
    if (mods & kModAlt) return 0;
    if (key >= 'A' && key <= 'Z') {
        if (mods & kModControl) return static_cast<unsigned char>(key - 'A' + 1);
        return static_cast<unsigned char>(shift ? key : key - 'A' + 'a');
    }
    if (mods & kModControl) return 0;
    if (key >= vk::Numpad0 && key <= vk::Numpad0 + 9) {
        return static_cast<unsigned char>('0' + key - vk::Numpad0);
    }
    for (const KeyChar& k : kKeyChars) {
        if (k.key == key) return static_cast<unsigned char>(shift ? k.shifted : k.plain);
    }
    return 0;
}

struct KeyStroke {
    VirtualKey key;
    Modifiers mods;
};

// The key a user presses for a character; vk::None for characters no key makes directly.
KeyStroke KeyForChar(unsigned char ch) {
    if (ch >= 'a' && ch <= 'z') return {ch - 'a' + 'A', kModNone};
    if (ch >= 'A' && ch <= 'Z') return {ch, kModShift};
    if (ch == '\n') return {vk::Return, kModNone};
    for (const KeyChar& k : kKeyChars) {
        if (static_cast<unsigned char>(k.plain) == ch) return {k.key, kModNone};
        if (static_cast<unsigned char>(k.shifted) == ch) return {k.key, kModShift};
    }
    return {vk::None, kModNone};
}

std::string KeyName(VirtualKey key, Modifiers mods) {
    std::string name;
    if (mods & kModControl) name += "ctrl+";
    if (mods & kModAlt) name += "alt+";
    if (mods & kModShift) name += "shift+";
    if (key >= 'A' && key <= 'Z') return name + static_cast<char>(key);
    if (key >= vk::F1 && key <= vk::F24) return name + "F" + std::to_string(key - vk::F1 + 1);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(key));
    return name + hex;
}

bool IsTabTarget(const ShownControl& c) {
    return (c.style & kTabStop) && c.visible && c.enabled && c.id != kAnonymousControl &&
           c.kind != ControlKind::StaticText && c.kind != ControlKind::Image &&
           c.kind != ControlKind::GroupBox;
}

} // namespace

// ---- Action builders ---------------------------------------------------------------------------

namespace act {
namespace {
UiAction Make(UiAction::Kind kind, ControlId control, int value = 0) {
    UiAction a;
    a.kind = kind;
    a.control = control;
    a.value = value;
    return a;
}
} // namespace

UiAction Type(ControlId control, std::string text) {
    UiAction a = Make(UiAction::Kind::Type, control);
    a.text = std::move(text);
    return a;
}
UiAction Paste(ControlId control, std::string text) {
    UiAction a = Make(UiAction::Kind::Paste, control);
    a.text = std::move(text);
    return a;
}
UiAction Select(ControlId control, int start, int length) {
    UiAction a = Make(UiAction::Kind::Select, control, length);
    a.value2 = start;
    return a;
}
UiAction Key(ControlId control, VirtualKey key, Modifiers mods) {
    UiAction a = Make(UiAction::Kind::Key, control, key);
    a.mods = mods;
    return a;
}
UiAction Click(ControlId button) { return Make(UiAction::Kind::Click, button); }
UiAction Focus(ControlId control) { return Make(UiAction::Kind::Focus, control); }
UiAction ChooseMenu(CommandId command) {
    return Make(UiAction::Kind::ChooseMenu, kNoControl, command);
}
UiAction ClickRow(ControlId listView, int row) {
    return Make(UiAction::Kind::ClickRow, listView, row);
}
UiAction DoubleClickRow(ControlId listView, int row) {
    return Make(UiAction::Kind::DoubleClickRow, listView, row);
}
UiAction RightClickRow(ControlId listView, int row) {
    return Make(UiAction::Kind::RightClickRow, listView, row);
}
UiAction SelectItem(ControlId list, int index) {
    return Make(UiAction::Kind::SelectItem, list, index);
}
UiAction DoubleClickItem(ControlId listBox, int index) {
    return Make(UiAction::Kind::DoubleClickItem, listBox, index);
}
UiAction Close() { return Make(UiAction::Kind::Close, kNoControl); }
UiAction Run(std::function<void(ScriptedUi&, WindowId)> fn) {
    UiAction a = Make(UiAction::Kind::Run, kNoControl);
    a.run = std::move(fn);
    return a;
}
} // namespace act

void ScriptedUi::perform(WindowId window, const UiAction& a) {
    using K = UiAction::Kind;
    switch (a.kind) {
    case K::Type:
        type(window, a.control, a.text);
        break;
    case K::Paste:
        paste(window, a.control, a.text);
        break;
    case K::Select:
        selectText(window, a.control, a.value2, a.value);
        break;
    case K::Key:
        key(window, a.control, a.value, a.mods);
        break;
    case K::Click:
        click(window, a.control);
        break;
    case K::Focus:
        focusControl(window, a.control);
        break;
    case K::ChooseMenu:
        chooseMenu(window, a.value);
        break;
    case K::ClickRow:
        clickRow(window, a.control, a.value, notify::NmClick);
        break;
    case K::DoubleClickRow:
        clickRow(window, a.control, a.value, notify::NmDblClk);
        break;
    case K::RightClickRow:
        clickRow(window, a.control, a.value, notify::NmRClick);
        break;
    case K::SelectItem:
        selectItem(window, a.control, a.value, false);
        break;
    case K::DoubleClickItem:
        selectItem(window, a.control, a.value, true);
        break;
    case K::Close:
        closeWindow(window);
        break;
    case K::Run:
        if (a.run) a.run(*this, window);
        break;
    }
}

// ---- Reaching a window and a control ---------------------------------------------------------

bool ScriptedUi::acceptsInput(WindowId window, const char* act) {
    const ShownWindow* w = rec(window) != nullptr ? &rec(window)->shown : nullptr;
    if (w == nullptr) {
        scriptError(std::string(act) + " in window #" + std::to_string(window) +
                    ", which is not open");
        return false;
    }
    if (!w->visible || !w->enabled) {
        scriptError(std::string(act) + " in " + label(window) + ", which is " +
                    (w->visible ? "disabled" : "hidden"));
        return false;
    }
    // The innermost modal window, and the windows it owns, take the input.
    if (!frames_.empty() && frames_.back().window != kNoWindow) {
        const WindowId modal = frames_.back().window;
        WindowId up = window;
        while (up != kNoWindow && up != modal) up = rec(up) != nullptr ? rec(up)->shown.owner : 0;
        if (up != modal && windowExists(modal)) {
            scriptError(std::string(act) + " in " + label(window) + " while the modal window " +
                        label(modal) + " is open");
            return false;
        }
    }
    return true;
}

ShownControl* ScriptedUi::reachable(WindowId window, ControlId id, const char* act) {
    if (!acceptsInput(window, act)) return nullptr;
    ShownControl* c = find(window, id);
    if (c == nullptr) {
        scriptError(std::string(act) + " on control " + std::to_string(id) + " of " +
                    label(window) + ", which has no such control");
        return nullptr;
    }
    if (!c->visible || !c->enabled) {
        scriptError(std::string(act) + " on control " + std::to_string(id) + " of " +
                    label(window) + ", which is " + (c->visible ? "disabled" : "hidden"));
        return nullptr;
    }
    return c;
}

void ScriptedUi::command(WindowId window, ControlId id, int notification) {
    if (WindowEvents* e = events(window)) e->onCommand(id, notification);
}

// ---- Focus -------------------------------------------------------------------------------------

void ScriptedUi::autoFocus(WindowId window) {
    const WindowRec* w = rec(window);
    if (w == nullptr || w->shown.focus != kNoControl) return;
    for (const ShownControl& c : w->shown.controls) {
        if (IsTabTarget(c)) {
            moveFocus(window, c.id);
            return;
        }
    }
}

void ScriptedUi::tabFocus(WindowId window, bool backwards) {
    const WindowRec* w = rec(window);
    if (w == nullptr) return;
    std::vector<ControlId> stops;
    for (const ShownControl& c : w->shown.controls) {
        if (IsTabTarget(c)) stops.push_back(c.id);
    }
    if (stops.empty()) return;
    const auto at = std::find(stops.begin(), stops.end(), w->shown.focus);
    const auto n = static_cast<std::ptrdiff_t>(stops.size());
    std::ptrdiff_t i = at == stops.end() ? (backwards ? 0 : -1) : at - stops.begin();
    i = backwards ? (i - 1 + n) % n : (i + 1) % n;
    moveFocus(window, stops[static_cast<std::size_t>(i)]);
}

void ScriptedUi::focusControl(WindowId window, ControlId control) {
    if (reachable(window, control, "focus") == nullptr) return;
    record("> focus " + std::to_string(control));
    moveFocus(window, control);
}

// ---- Edits -------------------------------------------------------------------------------------

bool ScriptedUi::editInsert(WindowId window, ControlId id, std::string_view text) {
    ShownControl* c = find(window, id);
    if (c == nullptr || !c->isEdit() || !c->enabled || (c->style & kReadOnly)) return false;
    if (c->style & kDigitsOnly) {
        if (!std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
            return false;
    }
    const std::size_t grown =
        c->text.size() - static_cast<std::size_t>(c->selection.length) + text.size();
    if (c->limit > 0 && grown > static_cast<std::size_t>(c->limit) && grown > c->text.size()) {
        return false;
    }
    const auto start = static_cast<std::size_t>(c->selection.start);
    c->text.replace(start, static_cast<std::size_t>(c->selection.length), text);
    c->selection = {static_cast<int>(start + text.size()), 0};
    command(window, id, notify::EnChange);
    return true;
}

void ScriptedUi::editErase(WindowId window, ControlId id, bool forward) {
    ShownControl* c = find(window, id);
    if (c == nullptr || !c->isEdit() || !c->enabled || (c->style & kReadOnly)) return;
    std::size_t from = static_cast<std::size_t>(c->selection.start);
    std::size_t count = static_cast<std::size_t>(c->selection.length);
    if (count == 0) {
        // A line break is one CR LF pair: it goes as a whole.
        if (forward) {
            if (from >= c->text.size()) return;
            count = c->text.compare(from, 2, "\r\n") == 0 ? 2 : 1;
        } else {
            if (from == 0) return;
            count = from >= 2 && c->text.compare(from - 2, 2, "\r\n") == 0 ? 2 : 1;
            from -= count;
        }
    }
    c->text.erase(from, count);
    c->selection = {static_cast<int>(from), 0};
    command(window, id, notify::EnChange);
}

void ScriptedUi::editMoveCaret(ShownControl& c, VirtualKey key) {
    const int size = static_cast<int>(c.text.size());
    int pos = c.selection.start + c.selection.length;
    if (key == vk::Left) pos = c.selection.length > 0 ? c.selection.start : pos - 1;
    if (key == vk::Right && c.selection.length == 0) pos += 1;
    if (key == vk::Home) {
        const std::size_t nl = c.text.rfind('\n', static_cast<std::size_t>(std::max(0, pos - 1)));
        pos = (pos == 0 || nl == std::string::npos) ? 0 : static_cast<int>(nl) + 1;
    }
    if (key == vk::End) {
        const std::size_t cr = c.text.find("\r\n", static_cast<std::size_t>(pos));
        pos = cr == std::string::npos ? size : static_cast<int>(cr);
    }
    // Never inside a CR LF pair.
    pos = std::clamp(pos, 0, size);
    if (pos > 0 && pos < size && c.text[static_cast<std::size_t>(pos)] == '\n' &&
        c.text[static_cast<std::size_t>(pos) - 1] == '\r') {
        pos += key == vk::Left ? -1 : 1;
    }
    c.selection = {pos, 0};
}

void ScriptedUi::paste(WindowId window, ControlId control, std::string_view text) {
    ShownControl* c = reachable(window, control, "paste");
    if (c == nullptr) return;
    if (!c->isEdit() || (c->style & kReadOnly)) {
        scriptError("pasted into control " + std::to_string(control) + " of " + label(window) +
                    ", which takes no text");
        return;
    }
    record("> paste " + std::to_string(control) + " \"" + scripted::Escaped(text) + "\"");
    moveFocus(window, control);
    if (!editInsert(window, control, text)) record("  (refused by the edit)");
}

void ScriptedUi::selectText(WindowId window, ControlId control, int start, int length) {
    ShownControl* c = reachable(window, control, "select");
    if (c == nullptr) return;
    if (!c->isEdit()) {
        scriptError("selected text in control " + std::to_string(control) + ", not an edit");
        return;
    }
    record("> select " + std::to_string(control) + " " + std::to_string(start) + "+" +
           std::to_string(length));
    moveFocus(window, control);
    setEditSelection(window, control, start, length);
}

void ScriptedUi::type(WindowId window, ControlId control, std::string_view text) {
    if (reachable(window, control, "type") == nullptr) return;
    record("> type " + std::to_string(control) + " \"" + scripted::Escaped(text) + "\"");
    moveFocus(window, control);
    for (std::size_t i = 0; i < text.size() && windowExists(window); ++i) {
        auto ch = static_cast<unsigned char>(text[i]);
        if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (ch == '\n') ch = '\r';
        const KeyStroke k = KeyForChar(ch);
        press(window, k.key, k.mods, ch);
    }
}

// ---- Keys --------------------------------------------------------------------------------------

void ScriptedUi::key(WindowId window, ControlId control, VirtualKey key, Modifiers mods) {
    if (control == kNoControl) {
        if (!acceptsInput(window, "key")) return;
    } else if (reachable(window, control, "key") == nullptr) {
        return;
    }
    record("> key " + std::to_string(control) + " " + KeyName(key, mods));
    if (control != kNoControl) moveFocus(window, control);
    press(window, key, mods, CharForKey(key, mods));
}

void ScriptedUi::press(WindowId window, VirtualKey key, Modifiers mods, unsigned char ch) {
    const ControlId target = focusedControl(window);
    bool consumed = false;
    if (WindowEvents* e = events(window)) consumed = e->onKeyDown(target, key, mods);
    if (!consumed && ch != 0 && windowExists(window)) {
        if (WindowEvents* e = events(window)) consumed = e->onChar(target, ch);
    }
    if (!consumed && windowExists(window)) defaultKey(window, target, key, mods, ch);
    // The key comes up wherever the focus is now.
    if (!windowExists(window)) return;
    const ControlId up = focusedControl(window);
    bool upConsumed = false;
    if (WindowEvents* e = events(window)) upConsumed = e->onKeyUp(up, key, mods);
    // A button pressed with Space clicks when the key comes up, as real buttons do.
    const ShownControl* c = find(window, up);
    if (!consumed && !upConsumed && key == vk::Space && (mods & (kModControl | kModAlt)) == 0 &&
        up == target && c != nullptr && c->isButton()) {
        command(window, up, notify::BnClicked);
    }
}

void ScriptedUi::defaultKey(WindowId window, ControlId control, VirtualKey key, Modifiers mods,
                            unsigned char ch) {
    const WindowRec* w = rec(window);
    ShownControl* c = find(window, control);
    const bool dialog = (w->shown.style & kWinDialogKeys) != 0;
    const bool plain = (mods & (kModControl | kModAlt)) == 0;
    const bool multiLine = c != nullptr && c->isEdit() && (c->style & kMultiLine);

    if (key == vk::Tab && (mods & kModAlt) == 0) {
        // Ctrl+Tab types a tab into a dialog's multi-line edit; Tab alone moves on, except in
        // a multi-line edit outside dialogs, which takes the tab.
        if (multiLine && (dialog ? (mods & kModControl) != 0 : plain)) {
            editInsert(window, control, "\t");
        } else if ((mods & kModControl) == 0) {
            tabFocus(window, (mods & kModShift) != 0);
        }
        return;
    }
    if (dialog && plain && key == vk::Return && !(multiLine && (c->style & kWantReturn) != 0)) {
        ControlId id = kIdOk;
        if (c != nullptr && c->isButton()) {
            id = c->id;
        } else {
            for (const ShownControl& each : w->shown.controls) {
                if (each.kind == ControlKind::DefaultButton && each.visible && each.enabled) {
                    id = each.id;
                    break;
                }
            }
        }
        command(window, id, notify::BnClicked);
        return;
    }
    if (dialog && plain && key == vk::Escape) {
        command(window, kIdCancel, notify::BnClicked);
        return;
    }
    if (c == nullptr) return;
    switch (c->kind) {
    case ControlKind::Edit:
        if (key == vk::Return) {
            if (multiLine) editInsert(window, control, "\r\n");
        } else if (key == vk::Back) {
            editErase(window, control, false);
        } else if (key == vk::Delete) {
            editErase(window, control, true);
        } else if (key == vk::Left || key == vk::Right || key == vk::Home || key == vk::End) {
            const Selection before = c->selection;
            editMoveCaret(*c, key);
            if (multiLine && c->selection != before) command(window, control, notify::EnSelChange);
        } else if (plain && ch >= 0x20 && ch != 0x7F) {
            editInsert(window, control, std::string_view(reinterpret_cast<const char*>(&ch), 1));
        }
        break;
    case ControlKind::ListBox:
    case ControlKind::ComboBox: {
        const int count = static_cast<int>(c->items.size());
        int next = c->currentItem;
        if (key == vk::Up) next = std::max(0, next - 1);
        if (key == vk::Down) next = std::min(count - 1, next + 1);
        if (key == vk::Home) next = 0;
        if (key == vk::End) next = count - 1;
        if (count > 0 && next != c->currentItem) {
            c->currentItem = next;
            command(window, control,
                    c->kind == ControlKind::ListBox ? notify::LbnSelChange : notify::CbnSelEndOk);
        }
        break;
    }
    case ControlKind::ListView: {
        const int count = static_cast<int>(c->rows.size());
        if (key == vk::Up && c->selectedRow > 0) --c->selectedRow;
        if (key == vk::Down && c->selectedRow + 1 < count) ++c->selectedRow;
        break;
    }
    default:
        break;
    }
}

// ---- Clicks, menus, lists, closing -------------------------------------------------------------

void ScriptedUi::click(WindowId window, ControlId button) {
    ShownControl* c = reachable(window, button, "click");
    if (c == nullptr) return;
    if (!c->isButton()) {
        scriptError("clicked control " + std::to_string(button) + " of " + label(window) +
                    ", which is not a button");
        return;
    }
    record("> click " + std::to_string(button) + " [" + scripted::MenuLabel(c->text) + "]");
    moveFocus(window, button);
    if (windowExists(window)) command(window, button, notify::BnClicked);
}

void ScriptedUi::chooseMenu(WindowId window, CommandId commandId) {
    if (!acceptsInput(window, "menu choice")) return;
    // The item must be reachable: itself and every popup above it enabled.
    const MenuItem* found = nullptr;
    bool reachableItem = false;
    auto search = [&](auto& self, const Menu& menu, bool open) -> void {
        for (const MenuItem& item : menu) {
            if (item.kind == MenuItem::Kind::Popup) {
                self(self, item.items, open && item.enabled);
            } else if (item.kind == MenuItem::Kind::Command && item.command == commandId &&
                       found == nullptr) {
                found = &item;
                reachableItem = open && item.enabled;
            }
        }
    };
    search(search, rec(window)->shown.menu, true);
    if (found == nullptr || !reachableItem) {
        scriptError("chose menu command " + std::to_string(commandId) + " in " + label(window) +
                    (found == nullptr ? ", whose menu has no such item" : ", which is disabled"));
        return;
    }
    record("> menu " + std::to_string(commandId) + " [" + scripted::MenuLabel(found->text) + "]");
    command(window, commandId, notify::BnClicked);
}

void ScriptedUi::clickRow(WindowId window, ControlId listView, int row, int code) {
    ShownControl* c = reachable(window, listView, "row click");
    if (c == nullptr) return;
    if (c->kind != ControlKind::ListView || row < -1 || row >= static_cast<int>(c->rows.size())) {
        scriptError("clicked row " + std::to_string(row) + " of control " +
                    std::to_string(listView) + " in " + label(window) +
                    ", which is not a row of a list view");
        return;
    }
    const char* how = code == notify::NmDblClk   ? "row-dblclick"
                      : code == notify::NmRClick ? "row-rclick"
                                                 : "row-click";
    record("> " + std::string(how) + " " + std::to_string(listView) + " " + std::to_string(row));
    // Any button on a row selects it first; a click beside the rows leaves the selection.
    if (row >= 0) c->selectedRow = row;
    moveFocus(window, listView);
    if (WindowEvents* e = events(window)) e->onListNotify(listView, code, row);
}

void ScriptedUi::selectItem(WindowId window, ControlId list, int index, bool doubleClick) {
    ShownControl* c = reachable(window, list, "item choice");
    if (c == nullptr) return;
    const bool box = c->kind == ControlKind::ListBox;
    if ((!box && c->kind != ControlKind::ComboBox) || (doubleClick && !box) || index < 0 ||
        index >= static_cast<int>(c->items.size())) {
        scriptError("chose item " + std::to_string(index) + " of control " + std::to_string(list) +
                    " in " + label(window) + ", which has no such item");
        return;
    }
    record(std::string(doubleClick ? "> item-dblclick " : "> item ") + std::to_string(list) + " " +
           std::to_string(index));
    c->currentItem = index;
    moveFocus(window, list);
    if (!windowExists(window)) return;
    if (!box) {
        command(window, list, notify::CbnSelEndOk);
        return;
    }
    command(window, list, notify::LbnSelChange);
    if (doubleClick && windowExists(window)) command(window, list, notify::LbnDblClk);
}

void ScriptedUi::closeWindow(WindowId window) {
    if (!acceptsInput(window, "close")) return;
    record("> close " + label(window));
    WindowEvents* e = events(window);
    const bool allowed = e == nullptr || e->onClose();
    if (allowed && windowExists(window)) {
        endModal(window, kIdCancel);
        destroyWindow(window);
    }
}

} // namespace vodarir::platform
