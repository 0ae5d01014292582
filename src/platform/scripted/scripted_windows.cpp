// The scripted face's windows, controls, list views and list boxes: the state the core builds,
// kept in memory for the test to read back.
#include <algorithm>

#include "platform/scripted/scripted_internal.h"
#include "platform/scripted/scripted_ui.h"

namespace vodarir::platform {

const ShownControl* ShownWindow::control(ControlId id) const {
    for (const ShownControl& c : controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

// ---- Lookup ------------------------------------------------------------------------------------

ScriptedUi::WindowRec* ScriptedUi::rec(WindowId id) {
    if (id < 1 || static_cast<std::size_t>(id) > windows_.size()) return nullptr;
    WindowRec* w = windows_[static_cast<std::size_t>(id) - 1].get();
    return w->shown.alive ? w : nullptr;
}

const ScriptedUi::WindowRec* ScriptedUi::rec(WindowId id) const {
    return const_cast<ScriptedUi*>(this)->rec(id);
}

ShownControl* ScriptedUi::find(WindowId window, ControlId id) {
    WindowRec* w = rec(window);
    if (w == nullptr || id == kNoControl || id == kAnonymousControl) return nullptr;
    for (ShownControl& c : w->shown.controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

const ShownControl* ScriptedUi::find(WindowId window, ControlId id) const {
    return const_cast<ScriptedUi*>(this)->find(window, id);
}

WindowEvents* ScriptedUi::events(WindowId window) const {
    const WindowRec* w = rec(window);
    return w != nullptr ? w->events : nullptr;
}

const ShownWindow* ScriptedUi::window(WindowId id) const {
    if (id < 1 || static_cast<std::size_t>(id) > windows_.size()) return nullptr;
    return &windows_[static_cast<std::size_t>(id) - 1]->shown;
}

const ShownControl* ScriptedUi::control(WindowId window, ControlId id) const {
    const ShownWindow* w = this->window(window);
    return w != nullptr ? w->control(id) : nullptr;
}

WindowId ScriptedUi::findWindow(std::string_view titleOrName) const {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        const ShownWindow& w = (*it)->shown;
        if (w.alive && (w.title == titleOrName || w.name == titleOrName)) return w.id;
    }
    return kNoWindow;
}

// ---- Windows -----------------------------------------------------------------------------------

WindowId ScriptedUi::createWindow(const WindowSpec& spec, WindowEvents* events) {
    if (spec.owner != kNoWindow && rec(spec.owner) == nullptr) return kNoWindow;
    auto w = std::make_unique<WindowRec>();
    w->shown.id = static_cast<WindowId>(windows_.size() + 1);
    w->shown.owner = spec.owner;
    w->shown.name = std::string(spec.name);
    w->shown.title = std::string(spec.title);
    w->shown.frame = spec.frame;
    w->shown.style = spec.style;
    w->shown.font = spec.font;
    w->events = events;
    windows_.push_back(std::move(w));
    const WindowId id = windows_.back()->shown.id;
    record("window " + label(id) + " open");
    if (spec.style & kWinVisible) showWindow(id, true);
    return id;
}

bool ScriptedUi::destroyWindow(WindowId id) {
    if (rec(id) == nullptr) return false;
    // Owned windows go first, as their owner's frame takes them down with it.
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        const ShownWindow& other = windows_[i]->shown;
        if (other.alive && other.owner == id) destroyWindow(other.id);
    }
    if (WindowEvents* e = events(id)) e->onDestroy();
    WindowRec* w = rec(id);
    if (w == nullptr) return true; // the handler destroyed it already
    w->shown.alive = false;
    w->shown.visible = false;
    w->shown.focus = kNoControl;
    w->events = nullptr;
    std::erase_if(posted_, [id](const Posted& p) { return p.window == id; });
    record("window " + label(id) + " closed");
    return true;
}

bool ScriptedUi::windowExists(WindowId id) const { return rec(id) != nullptr; }

bool ScriptedUi::setWindowEvents(WindowId id, WindowEvents* events) {
    WindowRec* w = rec(id);
    if (w == nullptr) return false;
    w->events = events;
    return true;
}

bool ScriptedUi::setTitle(WindowId id, std::string_view title) {
    WindowRec* w = rec(id);
    if (w == nullptr) return false;
    w->shown.title = std::string(title);
    record("title #" + std::to_string(id) + " [" + w->shown.title + "]");
    return true;
}

std::string ScriptedUi::title(WindowId id) const {
    const WindowRec* w = rec(id);
    return w != nullptr ? w->shown.title : std::string();
}

bool ScriptedUi::setWindowRect(WindowId id, Rect frame) {
    WindowRec* w = rec(id);
    if (w == nullptr) return false;
    w->shown.frame = frame;
    return true;
}

Rect ScriptedUi::windowRect(WindowId id) const {
    const WindowRec* w = rec(id);
    return w != nullptr ? w->shown.frame : Rect{};
}

Size ScriptedUi::clientSize(WindowId id) const {
    const WindowRec* w = rec(id);
    if (w == nullptr) return {};
    const Margins m = frameMargins(w->shown.style, !w->shown.menu.empty());
    return {std::max(0, w->shown.frame.width - m.left - m.right),
            std::max(0, w->shown.frame.height - m.top - m.bottom)};
}

bool ScriptedUi::showWindow(WindowId id, bool visible) {
    WindowRec* w = rec(id);
    if (w == nullptr) return false;
    const bool was = w->shown.visible;
    w->shown.visible = visible;
    if (visible && !was) autoFocus(id);
    return true;
}

bool ScriptedUi::enableWindow(WindowId id, bool enabled) {
    WindowRec* w = rec(id);
    if (w == nullptr) return false;
    w->shown.enabled = enabled;
    return true;
}

bool ScriptedUi::isWindowEnabled(WindowId id) const {
    const WindowRec* w = rec(id);
    return w != nullptr && w->shown.enabled;
}

bool ScriptedUi::activateWindow(WindowId id) {
    WindowRec* w = rec(id);
    if (w == nullptr) return false;
    w->shown.visible = true;
    return true;
}

namespace {

MenuItem* FindMenuItem(Menu& menu, CommandId command) {
    for (MenuItem& item : menu) {
        if (item.kind == MenuItem::Kind::Command && item.command == command) return &item;
        if (item.kind == MenuItem::Kind::Popup) {
            if (MenuItem* found = FindMenuItem(item.items, command)) return found;
        }
    }
    return nullptr;
}

} // namespace

bool ScriptedUi::setMenu(WindowId id, const Menu& menu) {
    WindowRec* w = rec(id);
    if (w == nullptr) return false;
    w->shown.menu = menu;
    return true;
}

bool ScriptedUi::enableMenuItem(WindowId id, CommandId command, bool enabled) {
    WindowRec* w = rec(id);
    MenuItem* item = w != nullptr ? FindMenuItem(w->shown.menu, command) : nullptr;
    if (item == nullptr) return false;
    item->enabled = enabled;
    return true;
}

bool ScriptedUi::checkMenuItem(WindowId id, CommandId command, bool checked) {
    WindowRec* w = rec(id);
    MenuItem* item = w != nullptr ? FindMenuItem(w->shown.menu, command) : nullptr;
    if (item == nullptr) return false;
    item->checked = checked;
    return true;
}

bool ScriptedUi::setScrollBar(WindowId id, ScrollBar bar, const ScrollInfo& info) {
    WindowRec* w = rec(id);
    if (w == nullptr) return false;
    ScrollInfo& slot = bar == ScrollBar::Horizontal ? w->shown.hscroll : w->shown.vscroll;
    slot = info;
    slot.pos = std::clamp(info.pos, info.min, std::max(info.min, info.max));
    return true;
}

ScrollInfo ScriptedUi::scrollBar(WindowId id, ScrollBar bar) const {
    const WindowRec* w = rec(id);
    if (w == nullptr) return {};
    return bar == ScrollBar::Horizontal ? w->shown.hscroll : w->shown.vscroll;
}

bool ScriptedUi::scrollContents(WindowId id, int dx, int dy) {
    WindowRec* w = rec(id);
    if (w == nullptr) return false;
    for (ShownControl& c : w->shown.controls) {
        c.rect.x += dx;
        c.rect.y += dy;
    }
    w->shown.scrolled.x += dx;
    w->shown.scrolled.y += dy;
    return true;
}

// ---- Controls ----------------------------------------------------------------------------------

bool ScriptedUi::createControl(WindowId window, const ControlSpec& spec) {
    WindowRec* w = rec(window);
    if (w == nullptr || spec.id == kNoControl) return false;
    if (spec.id != kAnonymousControl && find(window, spec.id) != nullptr) return false;
    ShownControl c;
    c.id = spec.id;
    c.kind = spec.kind;
    c.rect = spec.rect;
    c.style = spec.style;
    c.text = std::string(spec.text);
    c.enabled = (spec.style & kDisabled) == 0;
    c.visible = (spec.style & kHidden) == 0;
    c.font = w->shown.font;
    w->shown.controls.push_back(std::move(c));
    return true;
}

void ScriptedUi::removeControlAt(WindowRec& w, std::size_t index) {
    const ControlId id = w.shown.controls[index].id;
    if (id != kAnonymousControl && w.shown.focus == id) {
        // The control loses the focus while it still exists; the window keeps it.
        moveFocus(w.shown.id, kNoControl);
        WindowRec* again = rec(w.shown.id);
        if (again == nullptr) return;
        auto& list = again->shown.controls;
        auto it = std::find_if(list.begin(), list.end(),
                               [id](const ShownControl& c) { return c.id == id; });
        if (it != list.end()) list.erase(it);
        return;
    }
    w.shown.controls.erase(w.shown.controls.begin() + static_cast<std::ptrdiff_t>(index));
}

bool ScriptedUi::destroyControl(WindowId window, ControlId id) {
    WindowRec* w = rec(window);
    if (w == nullptr || find(window, id) == nullptr) return false;
    auto& list = w->shown.controls;
    const auto it =
        std::find_if(list.begin(), list.end(), [id](const ShownControl& c) { return c.id == id; });
    removeControlAt(*w, static_cast<std::size_t>(it - list.begin()));
    return true;
}

void ScriptedUi::destroyControls(WindowId window, ChildFilter which) {
    auto matches = [which](const ShownControl& c) {
        return which == ChildFilter::All || (c.style & kTabStop) != 0;
    };
    WindowRec* w = rec(window);
    if (w == nullptr) return;
    // Counted first: a focus handler creating controls meanwhile does not make this endless.
    std::size_t left = static_cast<std::size_t>(
        std::count_if(w->shown.controls.begin(), w->shown.controls.end(), matches));
    for (; left > 0; --left) {
        w = rec(window);
        if (w == nullptr) return;
        auto& list = w->shown.controls;
        const auto it = std::find_if(list.begin(), list.end(), matches);
        if (it == list.end()) return;
        removeControlAt(*w, static_cast<std::size_t>(it - list.begin()));
    }
}

bool ScriptedUi::hasControl(WindowId window, ControlId id) const {
    return find(window, id) != nullptr;
}

std::optional<ControlKind> ScriptedUi::controlKind(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    if (c == nullptr) return std::nullopt;
    return c->kind;
}

bool ScriptedUi::setControlRect(WindowId window, ControlId id, Rect rect) {
    ShownControl* c = find(window, id);
    if (c == nullptr) return false;
    c->rect = rect;
    return true;
}

std::optional<Rect> ScriptedUi::controlRect(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    if (c == nullptr) return std::nullopt;
    return c->rect;
}

std::optional<Size> ScriptedUi::controlClientSize(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    if (c == nullptr) return std::nullopt;
    const int edge = (c->style & kBorder) ? 2 * scripted::kControlBorder : 0;
    return Size{std::max(0, c->rect.width - edge), std::max(0, c->rect.height - edge)};
}

bool ScriptedUi::setText(WindowId window, ControlId id, std::string_view text) {
    ShownControl* c = find(window, id);
    if (c == nullptr) return false;
    c->text = std::string(text);
    c->selection = {};
    return true;
}

std::optional<std::string> ScriptedUi::text(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    if (c == nullptr) return std::nullopt;
    if (c->kind == ControlKind::ComboBox) {
        return c->currentItem >= 0 ? c->items[static_cast<std::size_t>(c->currentItem)]
                                   : std::string();
    }
    return c->text;
}

bool ScriptedUi::enableControl(WindowId window, ControlId id, bool enabled) {
    ShownControl* c = find(window, id);
    if (c == nullptr) return false;
    c->enabled = enabled;
    if (!enabled && focusedControl(window) == id) moveFocus(window, kNoControl);
    return true;
}

bool ScriptedUi::isControlEnabled(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    return c != nullptr && c->enabled;
}

bool ScriptedUi::showControl(WindowId window, ControlId id, bool visible) {
    ShownControl* c = find(window, id);
    if (c == nullptr) return false;
    c->visible = visible;
    if (!visible && focusedControl(window) == id) moveFocus(window, kNoControl);
    return true;
}

bool ScriptedUi::isControlVisible(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    return c != nullptr && c->visible;
}

bool ScriptedUi::setControlFont(WindowId window, ControlId id, FontId font) {
    ShownControl* c = find(window, id);
    if (c == nullptr || fontMetrics(font) == FontMetrics{}) return false;
    c->font = font;
    return true;
}

bool ScriptedUi::setControlColors(WindowId window, ControlId id, Rgb text, Rgb background) {
    ShownControl* c = find(window, id);
    if (c == nullptr) return false;
    c->hasColors = true;
    c->textColor = text;
    c->background = background;
    return true;
}

bool ScriptedUi::setImage(WindowId window, ControlId id, std::string_view image) {
    // The idle picture is usually anonymous: the newest anonymous image control takes it.
    ShownControl* c = nullptr;
    if (id == kAnonymousControl) {
        if (WindowRec* w = rec(window)) {
            for (ShownControl& each : w->shown.controls) {
                if (each.id == id && each.kind == ControlKind::Image) c = &each;
            }
        }
    } else {
        c = find(window, id);
    }
    if (c == nullptr || c->kind != ControlKind::Image) return false;
    if (image.empty() || missingImages_.count(std::string(image)) != 0) return false;
    c->image = std::string(image);
    return true;
}

// ---- Focus and edits ---------------------------------------------------------------------------

void ScriptedUi::moveFocus(WindowId window, ControlId to) {
    WindowRec* w = rec(window);
    if (w == nullptr || w->shown.focus == to) return;
    const ControlId from = w->shown.focus;
    if (from != kNoControl) {
        // While the old control hears of its loss nothing has the focus; a handler that puts
        // it somewhere (back on the old control, when its leave check fails) has the last word,
        // and `to` never hears of a focus it did not get.
        w->shown.focus = kNoControl;
        if (WindowEvents* e = events(window)) e->onFocus(from, false);
        w = rec(window);
        if (w == nullptr || w->shown.focus != kNoControl) return;
        if (to != kNoControl && find(window, to) == nullptr) return;
    }
    w->shown.focus = to;
    if (to != kNoControl) {
        if (WindowEvents* e = events(window)) e->onFocus(to, true);
    }
}

bool ScriptedUi::setFocus(WindowId window, ControlId id) {
    if (rec(window) == nullptr) return false;
    if (id != kNoControl) {
        const ShownControl* c = find(window, id);
        if (c == nullptr || !c->visible || !c->enabled) return false;
    }
    moveFocus(window, id);
    return true;
}

ControlId ScriptedUi::focusedControl(WindowId window) const {
    const WindowRec* w = rec(window);
    return w != nullptr ? w->shown.focus : kNoControl;
}

namespace {

// A CR LF is one line break: a position inside it counts as after it, so nothing typed there
// splits it into a lone CR and a lone LF (the Qt face has no position there at all).
int OutsideLineBreak(std::string_view text, int pos) {
    const auto at = static_cast<std::size_t>(pos);
    return pos > 0 && at < text.size() && text[at - 1] == '\r' && text[at] == '\n' ? pos + 1 : pos;
}

} // namespace

bool ScriptedUi::setEditSelection(WindowId window, ControlId id, int start, int length) {
    ShownControl* c = find(window, id);
    if (c == nullptr || !c->isEdit()) return false;
    const int size = static_cast<int>(c->text.size());
    start = std::clamp(start, 0, size);
    const int end =
        OutsideLineBreak(c->text, length < 0 ? size : start + std::min(length, size - start));
    start = OutsideLineBreak(c->text, start);
    c->selection = {start, std::max(0, end - start)};
    return true;
}

std::optional<Selection> ScriptedUi::editSelection(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    if (c == nullptr || !c->isEdit()) return std::nullopt;
    return c->selection;
}

bool ScriptedUi::selectAll(WindowId window, ControlId id) {
    return setEditSelection(window, id, 0, -1);
}

bool ScriptedUi::setReadOnly(WindowId window, ControlId id, bool readOnly) {
    ShownControl* c = find(window, id);
    if (c == nullptr || !c->isEdit()) return false;
    c->style = readOnly ? (c->style | kReadOnly) : (c->style & ~kReadOnly);
    return true;
}

bool ScriptedUi::setEditLimit(WindowId window, ControlId id, int limit) {
    ShownControl* c = find(window, id);
    if (c == nullptr || !c->isEdit() || limit < 0) return false;
    c->limit = limit;
    return true;
}

// ---- List views --------------------------------------------------------------------------------

namespace {

bool IsListView(const ShownControl* c) { return c != nullptr && c->kind == ControlKind::ListView; }
bool IsItemList(const ShownControl* c) {
    return c != nullptr && (c->kind == ControlKind::ListBox || c->kind == ControlKind::ComboBox);
}
std::size_t CellCount(const ShownControl& c) { return std::max<std::size_t>(1, c.columns.size()); }

} // namespace

bool ScriptedUi::setListColumns(WindowId window, ControlId id, std::span<const ListColumn> cols) {
    ShownControl* c = find(window, id);
    if (!IsListView(c)) return false;
    c->columns.assign(cols.begin(), cols.end());
    for (auto& row : c->rows) row.resize(CellCount(*c));
    return true;
}

int ScriptedUi::listColumnCount(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    return IsListView(c) ? static_cast<int>(c->columns.size()) : -1;
}

bool ScriptedUi::insertListRow(WindowId window, ControlId id, int row) {
    ShownControl* c = find(window, id);
    if (!IsListView(c) || row < 0 || row > static_cast<int>(c->rows.size())) return false;
    c->rows.insert(c->rows.begin() + row, std::vector<std::string>(CellCount(*c)));
    if (c->selectedRow >= row) ++c->selectedRow;
    return true;
}

bool ScriptedUi::deleteListRow(WindowId window, ControlId id, int row) {
    ShownControl* c = find(window, id);
    if (!IsListView(c) || row < 0 || row >= static_cast<int>(c->rows.size())) return false;
    c->rows.erase(c->rows.begin() + row);
    if (c->selectedRow == row) {
        c->selectedRow = -1;
    } else if (c->selectedRow > row) {
        --c->selectedRow;
    }
    return true;
}

bool ScriptedUi::clearListRows(WindowId window, ControlId id) {
    ShownControl* c = find(window, id);
    if (!IsListView(c)) return false;
    c->rows.clear();
    c->selectedRow = -1;
    return true;
}

int ScriptedUi::listRowCount(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    return IsListView(c) ? static_cast<int>(c->rows.size()) : -1;
}

bool ScriptedUi::setListCell(WindowId window, ControlId id, int row, int column,
                             std::string_view text) {
    ShownControl* c = find(window, id);
    if (!IsListView(c) || row < 0 || row >= static_cast<int>(c->rows.size()) || column < 0 ||
        column >= static_cast<int>(CellCount(*c))) {
        return false;
    }
    c->rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = std::string(text);
    return true;
}

std::optional<std::string> ScriptedUi::listCell(WindowId window, ControlId id, int row,
                                                int column) const {
    const ShownControl* c = find(window, id);
    if (!IsListView(c) || row < 0 || row >= static_cast<int>(c->rows.size()) || column < 0 ||
        column >= static_cast<int>(CellCount(*c))) {
        return std::nullopt;
    }
    return c->rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

int ScriptedUi::listSelection(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    return IsListView(c) ? c->selectedRow : -1;
}

bool ScriptedUi::selectListRow(WindowId window, ControlId id, int row) {
    ShownControl* c = find(window, id);
    if (!IsListView(c) || row < -1 || row >= static_cast<int>(c->rows.size())) return false;
    c->selectedRow = row;
    return true;
}

// ---- List boxes and drop-down lists ------------------------------------------------------------

bool ScriptedUi::addListItem(WindowId window, ControlId id, std::string_view text) {
    ShownControl* c = find(window, id);
    if (!IsItemList(c)) return false;
    c->items.emplace_back(text);
    return true;
}

bool ScriptedUi::clearListItems(WindowId window, ControlId id) {
    ShownControl* c = find(window, id);
    if (!IsItemList(c)) return false;
    c->items.clear();
    c->currentItem = -1;
    return true;
}

int ScriptedUi::listItemCount(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    return IsItemList(c) ? static_cast<int>(c->items.size()) : -1;
}

std::optional<std::string> ScriptedUi::listItem(WindowId window, ControlId id, int index) const {
    const ShownControl* c = find(window, id);
    if (!IsItemList(c) || index < 0 || index >= static_cast<int>(c->items.size())) {
        return std::nullopt;
    }
    return c->items[static_cast<std::size_t>(index)];
}

int ScriptedUi::currentListItem(WindowId window, ControlId id) const {
    const ShownControl* c = find(window, id);
    return IsItemList(c) ? c->currentItem : -1;
}

bool ScriptedUi::setCurrentListItem(WindowId window, ControlId id, int index) {
    ShownControl* c = find(window, id);
    if (!IsItemList(c) || index < -1 || index >= static_cast<int>(c->items.size())) return false;
    c->currentItem = index;
    return true;
}

} // namespace vodarir::platform
