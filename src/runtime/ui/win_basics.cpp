// The window stack, runtime window creation and placement, the message pumps, menus of dynamic
// commands and the edit style of screen fields.
#include "runtime/ui/win_basics.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "masks/cell_fonts.h"
#include "runtime/store/slot_store.h"
#include "runtime/ui/key_codes.h"
#include "runtime/ui/window_geometry.h"

namespace vodarir {

namespace {

using platform::CurrentUi;
using platform::kNoControl;
using platform::kNoWindow;
using platform::Ui;
using platform::WindowEvents;

// ---- The stack ----------------------------------------------------------------------------------

struct Registration {
    WindowId window = kNoWindow;
    std::uint16_t value = kNoWinValue;
};

// Entries 0..count-1 in stacking order: the last one is the top window.
struct WindowStack {
    std::array<Registration, kMaxRegisteredWindows> entries{};
    std::uint16_t count = 0;

    int find(WindowId window) const {
        for (std::uint16_t i = 0; i < count; ++i) {
            if (entries[i].window == window) return i;
        }
        return -1;
    }
    void remove(int at) {
        std::copy(entries.begin() + at + 1, entries.begin() + count, entries.begin() + at);
        --count;
        entries[count] = Registration{};
    }
};

WindowStack g_stack;

// ---- Waits ------------------------------------------------------------------------------------

// One nested loop run by a pump. Waits nest: only the innermost unfinished one can end, since a
// face ends loops from the inside out; an outer wait that is satisfied meanwhile ends as soon as
// the ones inside it have.
enum class WaitFor { Quit, NotTop, Key };
struct Wait {
    WaitFor what = WaitFor::Quit;
    WindowId frame = kNoWindow;  // the window the loop runs for
    WindowId window = kNoWindow; // NotTop: the window watched
    bool running = false;        // its loop has started
    bool satisfied = false;
    bool ended = false; // endModal was asked for (or not needed)
    std::uint16_t key = kPumpQuit;
};

std::vector<Wait> g_waits;
bool g_quitPending = false;

bool WaitTakesQuit(const Wait& w) { return w.what == WaitFor::Quit || w.what == WaitFor::Key; }

// Ends every wait that can end now, innermost first.
void SettleWaits() {
    for (auto it = g_waits.rbegin(); it != g_waits.rend(); ++it) {
        Wait& w = *it;
        if (w.ended) continue;
        if (w.what == WaitFor::NotTop && WinTop() != w.window) w.satisfied = true;
        if (!w.satisfied && g_quitPending && WaitTakesQuit(w)) {
            g_quitPending = false;
            w.satisfied = true;
        }
        if (!w.satisfied) return;
        w.ended = true;
        if (w.running) CurrentUi().endModal(w.frame, 0);
    }
}

void QuitArrived() {
    g_quitPending = true;
    SettleWaits();
}

// A key for a wait that wants one: true when it was taken (and so must not be delivered).
bool KeyArrived(platform::VirtualKey key) {
    for (auto it = g_waits.rbegin(); it != g_waits.rend(); ++it) {
        if (it->ended) continue;
        if (it->what != WaitFor::Key) return false;
        it->key = KeyCode(key);
        it->satisfied = true;
        SettleWaits();
        return true;
    }
    return false;
}

// Runs one wait's loop; answers the wait as it ended.
Wait RunWait(Wait wait) {
    g_waits.push_back(wait);
    SettleWaits();
    const std::size_t at = g_waits.size() - 1;
    if (!g_waits[at].ended) {
        g_waits[at].running = true;
        CurrentUi().runModal(wait.frame);
    }
    const Wait done = g_waits[at];
    g_waits.erase(g_waits.begin() + static_cast<std::ptrdiff_t>(at), g_waits.end());
    SettleWaits();
    return done;
}

// ---- Windows made here --------------------------------------------------------------------------

WindowEvents g_defaultProcedure; // ignores everything and lets the user close the window

// Stands between the face and a runtime window's procedure: keeps the stack right when the
// window goes, gives keys to a waiting pump first, and lets a filter see events before the
// procedure does.
class Forwarder final : public WindowEvents {
public:
    Forwarder(WindowEvents* procedure, platform::WindowStyle frame, bool withMenu)
        : procedure_(procedure), frame_(frame), withMenu_(withMenu) {}

    WindowId window = kNoWindow;
    WindowId disabledOwner = kNoWindow; // the window its modal marker disabled
    WindowEvents* filter = nullptr;

    bool gone() const { return gone_; }
    bool busy() const { return depth_ > 0; }
    platform::WindowStyle frame() const { return frame_; }
    bool withMenu() const { return withMenu_; }
    void setWithMenu(bool withMenu) { withMenu_ = withMenu; }

    void onCommand(ControlId id, int notification) override {
        Busy busy(*this);
        if (filter != nullptr) filter->onCommand(id, notification);
        if (!gone_) procedure_->onCommand(id, notification);
    }
    bool onKeyDown(ControlId control, platform::VirtualKey key, platform::Modifiers mods) override {
        Busy busy(*this);
        if (KeyArrived(key)) return true;
        if (filter != nullptr && filter->onKeyDown(control, key, mods)) return true;
        return gone_ || procedure_->onKeyDown(control, key, mods);
    }
    bool onKeyUp(ControlId control, platform::VirtualKey key, platform::Modifiers mods) override {
        Busy busy(*this);
        if (filter != nullptr && filter->onKeyUp(control, key, mods)) return true;
        return gone_ || procedure_->onKeyUp(control, key, mods);
    }
    bool onChar(ControlId control, unsigned char ch) override {
        Busy busy(*this);
        if (filter != nullptr && filter->onChar(control, ch)) return true;
        return gone_ || procedure_->onChar(control, ch);
    }
    void onFocus(ControlId control, bool gained) override {
        Busy busy(*this);
        if (filter != nullptr) filter->onFocus(control, gained);
        if (!gone_) procedure_->onFocus(control, gained);
    }
    void onActivate(bool active) override {
        Busy busy(*this);
        if (filter != nullptr) filter->onActivate(active);
        if (!gone_) procedure_->onActivate(active);
    }
    bool onClose() override {
        Busy busy(*this);
        if (filter != nullptr && !filter->onClose()) return false;
        return gone_ || procedure_->onClose();
    }
    void onListNotify(ControlId id, int code, int row) override {
        Busy busy(*this);
        if (filter != nullptr) filter->onListNotify(id, code, row);
        if (!gone_) procedure_->onListNotify(id, code, row);
    }
    void onScroll(platform::ScrollBar bar, int code, int position) override {
        Busy busy(*this);
        if (filter != nullptr) filter->onScroll(bar, code, position);
        if (!gone_) procedure_->onScroll(bar, code, position);
    }
    void onPosted(int message, int param) override {
        Busy busy(*this);
        if (message == kQuitMessage) {
            QuitArrived();
            return;
        }
        if (filter != nullptr) filter->onPosted(message, param);
        if (!gone_) procedure_->onPosted(message, param);
    }
    void onDestroy() override {
        Busy busy(*this);
        // Off the stack before anyone hears of it, so the procedure already sees the new top.
        WinUnregister(window);
        if (filter != nullptr) filter->onDestroy();
        procedure_->onDestroy();
        gone_ = true;
        if (disabledOwner != kNoWindow && CurrentUi().windowExists(disabledOwner)) {
            WinEnableFocus(disabledOwner);
        }
        SettleWaits();
    }

private:
    // Counts the event calls running on this object, so it is never freed under one of them.
    struct Busy {
        explicit Busy(Forwarder& f) : f_(f) { ++f_.depth_; }
        ~Busy() { --f_.depth_; }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
        Forwarder& f_;
    };

    WindowEvents* procedure_;
    platform::WindowStyle frame_;
    bool withMenu_;
    bool gone_ = false;
    int depth_ = 0;
};

std::vector<std::unique_ptr<Forwarder>> g_forwarders;

Forwarder* ForwarderOf(WindowId window) {
    for (const auto& f : g_forwarders) {
        if (f->window == window && !f->gone()) return f.get();
    }
    return nullptr;
}

// Frees the forwarders of windows that are gone, except any still inside an event call.
void ForgetGoneWindows() {
    std::erase_if(g_forwarders,
                  [](const std::unique_ptr<Forwarder>& f) { return f->gone() && !f->busy(); });
}

bool AnyRuntimeWindow() {
    return std::any_of(g_forwarders.begin(), g_forwarders.end(),
                       [](const std::unique_ptr<Forwarder>& f) { return !f->gone(); });
}

bool HasBits(std::uint32_t style, std::uint32_t bits) { return (style & bits) == bits; }

// What the window's frame adds around its client area.
platform::Margins FrameOf(WindowId window) {
    const Ui& ui = CurrentUi();
    if (const Forwarder* f = ForwarderOf(window)) return ui.frameMargins(f->frame(), f->withMenu());
    const platform::Rect outer = ui.windowRect(window);
    const platform::Size client = ui.clientSize(window);
    return {0, 0, std::max(0, outer.width - client.width),
            std::max(0, outer.height - client.height)};
}

// The first coordinate from `wanted` at which `length` pixels end inside [start, start + room),
// never before start.
int ClampInto(int wanted, int length, int start, int room) {
    return std::max(start, std::min(wanted, start + room - length));
}

} // namespace

// ---- The window stack
// -----------------------------------------------------------------------------

void WinRegister(WindowId window, std::uint16_t value) {
    if (window == kNoWindow) return;
    const int at = g_stack.find(window);
    if (at >= 0) {
        g_stack.remove(at);
    } else if (g_stack.count >= kMaxRegisteredWindows) {
        return;
    }
    g_stack.entries[g_stack.count++] = {window, value};
    SettleWaits();
}

std::uint16_t WinValue(WindowId window) {
    const int at = g_stack.find(window);
    return at < 0 ? kNoWinValue : g_stack.entries[at].value;
}

WindowId WinTop() {
    return g_stack.count == 0 ? kNoWindow : g_stack.entries[g_stack.count - 1].window;
}

void WinUnregister(WindowId window) {
    const int at = g_stack.find(window);
    if (at < 0) return;
    g_stack.remove(at);
    SettleWaits();
}

std::uint16_t WinCount() { return g_stack.count; }

void WinStackReset() {
    // Destroying a window may destroy others it owns: collect the ids first.
    std::vector<WindowId> live;
    for (const auto& f : g_forwarders) {
        if (!f->gone()) live.push_back(f->window);
    }
    for (const WindowId w : live) {
        if (CurrentUi().windowExists(w)) CurrentUi().destroyWindow(w);
    }
    g_forwarders.clear();
    g_stack = WindowStack{};
    g_waits.clear();
    g_quitPending = false;
}

// ---- Creation
// -------------------------------------------------------------------------------------

platform::WindowStyle WinFrameStyle(std::uint32_t style) {
    platform::WindowStyle frame = 0;
    if (HasBits(style, winstyle::kCaption)) frame |= platform::kWinCaption;
    if (HasBits(style, winstyle::kSysMenu)) frame |= platform::kWinSystemMenu;
    if (HasBits(style, winstyle::kMinimizeBox)) frame |= platform::kWinMinimizeBox;
    if (HasBits(style, winstyle::kThickFrame)) frame |= platform::kWinResizable;
    if (HasBits(style, winstyle::kVisible)) frame |= platform::kWinVisible;
    return frame;
}

WindowId WinCreate(TextRef className, TextRef title, std::uint32_t style, int x, int y, int width,
                   int height, const platform::Menu* menu, WindowEvents* procedure) {
    if (className.empty() || title.failed()) return kNoWindow;
    ForgetGoneWindows();
    Ui& ui = CurrentUi();
    WindowId owner = WinTop();
    if (owner != kNoWindow && !ui.windowExists(owner)) owner = kNoWindow;

    WindowId disabled = kNoWindow;
    if ((style & winstyle::kModalMarker) && owner != kNoWindow && ui.isWindowEnabled(owner)) {
        ui.enableWindow(owner, false);
        disabled = owner;
    }
    platform::WindowStyle frame = WinFrameStyle(style);
    if (owner == kNoWindow && !HasBits(style, winstyle::kPopup)) frame |= platform::kWinTaskbar;
    const bool withMenu = menu != nullptr && !menu->empty();
    auto forwarder = std::make_unique<Forwarder>(
        procedure != nullptr ? procedure : &g_defaultProcedure, frame, withMenu);

    platform::WindowSpec spec;
    spec.owner = owner;
    spec.name = className.view();
    spec.title = title.view();
    spec.frame = {x, y, width, height};
    spec.style = frame;
    spec.font = platform::kFixedFont;
    const WindowId window = ui.createWindow(spec, forwarder.get());
    if (window == kNoWindow) {
        if (disabled != kNoWindow) ui.enableWindow(disabled, true);
        return kNoWindow;
    }
    forwarder->window = window;
    forwarder->disabledOwner = disabled;
    g_forwarders.push_back(std::move(forwarder));
    if (withMenu) ui.setMenu(window, *menu);
    WinRegister(window, kNoWinValue);
    return window;
}

bool WinDestroy(WindowId window) { return CurrentUi().destroyWindow(window); }

bool WinSetFilter(WindowId window, WindowEvents* filter) {
    Forwarder* f = ForwarderOf(window);
    if (f == nullptr) return false;
    f->filter = filter;
    return true;
}

// ---- Showing and placing ------------------------------------------------------------------------

void WinShowTop() {
    const WindowId top = WinTop();
    if (top != kNoWindow) CurrentUi().showWindow(top, true);
}

void WinEnableFocus(WindowId window) {
    Ui& ui = CurrentUi();
    if (!ui.windowExists(window)) return;
    ui.enableWindow(window, true);
    ui.activateWindow(window);
    // A control that had the focus keeps it, as a dialog coming back to the front does.
    if (ui.focusedControl(window) == kNoControl) ui.setFocus(window, kNoControl);
}

void WinPlace(std::uint16_t x, std::uint16_t y, std::uint16_t columns, std::uint16_t rows) {
    const WindowId top = WinTop();
    Ui& ui = CurrentUi();
    if (top == kNoWindow || !ui.windowExists(top)) return;
    const platform::Rect now = ui.windowRect(top);
    const platform::Size client = ui.clientSize(top);
    const CellDims cell = CellSize();
    const platform::Margins m = FrameOf(top);

    const int clientWidth = columns == kKeepPlace ? client.width : columns * cell.width;
    const int clientHeight = rows == kKeepPlace ? client.height : rows * cell.height;
    const int wantedWidth = clientWidth + m.left + m.right;
    const int wantedHeight = clientHeight + m.top + m.bottom;
    // A window larger than the screen is cut to it and scrolls over the rest.
    const platform::Rect screen = ui.workArea();
    const int width = std::min(wantedWidth, screen.width);
    const int height = std::min(wantedHeight, screen.height);

    int px = x;
    int py = y;
    if (x == kKeepPlace) {
        px = now.x;
        py = now.y;
    } else if (x == kCentrePlace) {
        px = screen.x + (screen.width - width) / 2;
        py = screen.y + (screen.height - height) / 2;
    }
    px = ClampInto(px, width, screen.x, screen.width);
    py = ClampInto(py, height, screen.y, screen.height);
    ui.setWindowRect(top, {px, py, width, height});
    ScrollRange(top, platform::ScrollBar::Horizontal, wantedWidth, width);
    ScrollRange(top, platform::ScrollBar::Vertical, wantedHeight, height);
}

void ScrollRange(WindowId window, platform::ScrollBar bar, int content, int visible) {
    if (content <= visible) return;
    Ui& ui = CurrentUi();
    platform::ScrollInfo info = ui.scrollBar(window, bar);
    info.min = 0;
    info.max = content - visible;
    info.pos = std::clamp(info.pos, info.min, info.max);
    info.visible = true;
    ui.setScrollBar(window, bar, info);
}

platform::Size ScreenSize(WindowId window) {
    const Ui& ui = CurrentUi();
    if (window != kNoWindow) return ui.clientSize(window);
    const platform::Rect area = ui.workArea();
    return {area.width, area.height};
}

platform::Point CursorPos() { return CurrentUi().cursorPos(); }

void DestroyTabChildren(WindowId window) {
    CurrentUi().destroyControls(window, platform::ChildFilter::TabStops);
}

StatusCode SetTopItemText(ControlId id, TextRef text) {
    if (text.failed()) return status::kWindowsControl;
    return CurrentUi().setText(WinTop(), id, text.view()) ? status::kOk : status::kWindowsControl;
}

ControlId MakeLabel(WindowId parent, std::uint16_t row, std::uint16_t column, std::uint16_t width,
                    std::uint16_t height, TextRef text) {
    if (text.failed()) return platform::kNoControl;
    const platform::Rect rect{ColumnX(column), RowY(row), GridWidth(width), GridHeight(height)};
    const platform::ControlSpec spec{platform::ControlKind::StaticText, platform::kAnonymousControl,
                                     rect, text.view()};
    return CurrentUi().createControl(parent, spec) ? platform::kAnonymousControl
                                                   : platform::kNoControl;
}

bool PaintBanner(WindowId window, TextRef text) {
    if (text.failed()) return false;
    platform::Ui& ui = CurrentUi();
    const platform::Size client = ui.clientSize(window);
    const platform::Rect rect{0, 0, client.width, client.height};
    if (ui.hasControl(window, kBannerControl)) {
        ui.setControlRect(window, kBannerControl, rect);
        return ui.setText(window, kBannerControl, text.view());
    }
    const platform::ControlSpec spec{platform::ControlKind::StaticText, kBannerControl, rect,
                                     text.view(), platform::kAlignCentre};
    if (!ui.createControl(window, spec)) return false;
    constexpr platform::Rgb kWhite{255, 255, 255};
    constexpr platform::Rgb kGrey{128, 128, 128};
    return ui.setControlColors(window, kBannerControl, kWhite, kGrey);
}

// ---- Message pumps ----------------------------------------------------------------------------

std::uint16_t PumpUntilKey() {
    if (!AnyRuntimeWindow()) return kPumpQuit;
    Wait wait;
    wait.what = WaitFor::Key;
    const Wait done = RunWait(wait);
    return done.satisfied ? done.key : kPumpQuit;
}

int PumpPending(WindowId /*window*/) {
    CurrentUi().pumpPending();
    const bool quit = g_quitPending;
    g_quitPending = false;
    return quit ? 1 : 0;
}

bool PumpUntilQuit(WindowId window) {
    Wait wait;
    wait.what = WaitFor::Quit;
    wait.frame = window;
    return RunWait(wait).satisfied;
}

void PumpModal(WindowId window) {
    WinShowTop();
    if (window == kNoWindow) {
        PumpUntilQuit(kNoWindow);
        return;
    }
    if (WinTop() == window) {
        Wait wait;
        wait.what = WaitFor::NotTop;
        wait.window = window;
        RunWait(wait);
    }
    CurrentUi().pumpPending();
}

void PostQuit(WindowId window) {
    if (ForwarderOf(window) != nullptr && CurrentUi().post(window, kQuitMessage, 0)) return;
    QuitArrived();
}

// ---- Menus of dynamic commands ----------------------------------------------------------------

std::uint16_t AddMenuItem(platform::Menu& menu, platform::CommandId id, TextRef text,
                          TextRef data) {
    if (text.failed() || data.failed()) return kMenuRefused;
    if (data.empty()) {
        menu.push_back(platform::MenuPopup(std::string(text.view()), {}));
        return 0;
    }
    if (id < kFirstDynamicCommand || id > kLastDynamicCommand) return kMenuRefused;
    const auto slot = static_cast<SlotIndex>(id - kFirstDynamicCommand);
    if (SlotSet(slotgroup::kButtonTexts, slot, data) != status::kOk) return kMenuRefused;
    menu.push_back(platform::MenuCommand(std::string(text.view()), id));
    return 0;
}

TextRef MenuItemData(platform::CommandId id) {
    if (id < kFirstDynamicCommand || id > kLastDynamicCommand) return TextRef();
    return SlotGet(slotgroup::kButtonTexts, static_cast<SlotIndex>(id - kFirstDynamicCommand));
}

// ---- Screen field edits -----------------------------------------------------------------------

platform::ControlStyle EditStyleFor(char& fieldType, bool editable) {
    static constexpr std::string_view kRightAligned = "NL123456789";
    platform::ControlStyle style = platform::kTabStop;
    if (!editable) style |= platform::kReadOnly;
    if (fieldType == 'P') {
        style |= platform::kPassword;
        fieldType = 'A';
    } else if (fieldType != '\0' && kRightAligned.find(fieldType) != std::string_view::npos) {
        style |= platform::kAlignRight;
    }
    return style;
}

} // namespace vodarir
