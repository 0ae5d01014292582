// platform::Ui: the only way from the core to a screen. The Qt face implements it with real
// widgets, the scripted face in memory for tests and scenarios.
//
// Texts crossing this seam are cp1252 bytes, exactly as the core holds them; a face converts at
// its own boundary. The core never learns which face it talks to. A text read back is whatever
// the user typed and may be longer than a TextRef holds: the core checks its length before it
// makes one, and reports the overflow rather than cutting the text.
//
// Shape. A window is a top-level frame addressed by a WindowId; its children are controls
// addressed by an integer ControlId unique within the window. Geometry is in pixels: a window's
// rectangle is its outer frame in screen coordinates, a control's is relative to the top-left
// corner of its window's client area (below the menu bar). The core computes pixels from
// character cells and dialog units itself, from fontMetrics(), workArea() and frameMargins().
//
// Events come back through a WindowEvents object the core registers per window. Every event is
// delivered on the one user-interface thread, from inside a call of the core into the seam
// (runModal, pumpPending, a message box...) or, for the scripted face, from the test's script.
// A handler may call back into the seam freely, including destroying the control or the window
// that raised the event.
//
// Ownership and lifetime:
//  - The face owns windows and controls; the core owns every WindowEvents object and keeps it
//    alive until the window is destroyed (or it is replaced with setWindowEvents).
//  - Destroying a window destroys its controls and the windows it owns; each destroyed window
//    gets onDestroy() first.
//  - Spec structs passed by const reference are read during the call only.
//  - Queries about a window or control that does not exist answer the empty or failed value
//    stated with them and change nothing; commands on one answer false.
//  - The programmatic calls (setText, setEditSelection, list updates...) never raise
//    notifications; setFocus and destroying a focused control do raise onFocus, as a focus
//    change by the user would.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui_codes.h"

namespace vodarir::platform {

using WindowId = std::int32_t;
inline constexpr WindowId kNoWindow = 0;

using ControlId = std::int32_t;
// Stands for the window itself in events and focus calls; never the id of a control.
inline constexpr ControlId kNoControl = 0;
// Controls nobody addresses again (labels, the idle picture) may all take this id; they are
// removed only with the whole window or by destroyControls.
inline constexpr ControlId kAnonymousControl = 0xFFFF;

using CommandId = std::int32_t; // menu and popup-menu commands; 0 is "nothing chosen"

using FontId = std::int32_t;
inline constexpr FontId kNoFont = 0;
inline constexpr FontId kUiFont = 1;    // the platform's dialog font
inline constexpr FontId kFixedFont = 2; // the platform's fixed-pitch font (runtime screens, 2500)

// runModal's answer when its window was destroyed without endModal, or nothing could be run.
inline constexpr int kModalAbandoned = -1;

enum class BoxButtons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel };
enum class BoxIcon { None, Information, Exclamation, Stop };
enum class BoxAnswer { Failed, Ok, Cancel, Abort, Retry, Ignore, Yes, No };

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};
struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};
// What a window's frame (and menu bar) adds around its client area, in pixels.
struct Margins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Margins&, const Margins&) = default;
};
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
// A Win32 COLORREF (0x00BBGGRR) as a colour: 0xFFE0E0 is red E0, green E0, blue FF.
constexpr Rgb RgbFromColorRef(std::uint32_t c) {
    return Rgb{static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
               static_cast<std::uint8_t>((c >> 16) & 0xFF)};
}

// ---- Windows ----------------------------------------------------------------------------------

// Window style bits.
using WindowStyle = std::uint32_t;
inline constexpr WindowStyle kWinCaption = 1u << 0;     // a title bar
inline constexpr WindowStyle kWinSystemMenu = 1u << 1;  // the close button
inline constexpr WindowStyle kWinMinimizeBox = 1u << 2; // a minimise button
inline constexpr WindowStyle kWinResizable = 1u << 3;   // otherwise a fixed frame
inline constexpr WindowStyle kWinTaskbar = 1u << 4; // shown on the task bar (application window)
inline constexpr WindowStyle kWinVisible = 1u
                                           << 5; // shown on creation (else at showWindow/runModal)
// Dialog keyboard: Enter not taken by the focused control presses the default button (or sends
// kIdOk), Esc sends kIdCancel, both as onCommand(id, notify::BnClicked).
inline constexpr WindowStyle kWinDialogKeys = 1u << 6;

struct WindowSpec {
    WindowId owner = kNoWindow; // stays above its owner; destroyed with it
    std::string_view name;      // the window's kind name ("Dialog", "AppSelect"): transcripts only
    std::string_view title;
    Rect frame; // outer rectangle in screen pixels
    WindowStyle style = kWinCaption | kWinSystemMenu;
    FontId font = kUiFont; // default font of the window's controls
};

// ---- Menus ------------------------------------------------------------------------------------

// A menu as plain data: the menu bar's top-level items are popups; a popup menu is a list of
// commands. Texts are cp1252; "&" marks the mnemonic, "&&" is a literal ampersand, and a tab
// separates an accelerator text shown at the right.
struct MenuItem {
    enum class Kind : std::uint8_t { Command, Separator, Popup };
    Kind kind = Kind::Command;
    std::string text;
    CommandId command = 0; // Command only
    bool enabled = true;
    bool checked = false;
    std::vector<MenuItem> items; // Popup only
};
using Menu = std::vector<MenuItem>;

inline MenuItem MenuCommand(std::string text, CommandId command, bool enabled = true) {
    MenuItem item;
    item.text = std::move(text);
    item.command = command;
    item.enabled = enabled;
    return item;
}
inline MenuItem MenuSeparator() {
    MenuItem item;
    item.kind = MenuItem::Kind::Separator;
    return item;
}
inline MenuItem MenuPopup(std::string text, std::vector<MenuItem> items) {
    MenuItem item;
    item.kind = MenuItem::Kind::Popup;
    item.text = std::move(text);
    item.items = std::move(items);
    return item;
}

// Where a popup menu's position lies on the menu.
enum class PopupAnchor { TopLeft, BottomLeft };

// ---- Controls ---------------------------------------------------------------------------------

enum class ControlKind {
    Button,        // a push button
    DefaultButton, // the push button Enter presses in a kWinDialogKeys window
    Edit,          // single or multi-line text entry (see the edit style bits)
    StaticText,    // a label
    Image,         // a picture from the program's images (setImage)
    GroupBox,      // a frame with a caption around other controls
    ListBox,       // a one-column list of texts
    ComboBox,      // a drop-down list of texts
    ListView,      // a report-style list: columns with titles, rows of cells
};

using ControlStyle = std::uint32_t;
// Any control.
inline constexpr ControlStyle kTabStop = 1u << 0;
inline constexpr ControlStyle kDisabled = 1u << 1;
inline constexpr ControlStyle kHidden = 1u << 2;
inline constexpr ControlStyle kBorder = 1u << 3; // a sunken client edge
inline constexpr ControlStyle kOnTop = 1u << 4;  // above its overlapping siblings
// Edit.
// Lines separated by CR LF in its text; a lone LF or a lone CR the core sets is a line break too
// and stays the byte it was. Enter breaks a line with CR LF.
inline constexpr ControlStyle kMultiLine = 1u << 8;
inline constexpr ControlStyle kReadOnly = 1u << 9;
inline constexpr ControlStyle kPassword = 1u << 10;
inline constexpr ControlStyle kAlignRight = 1u << 11; // also text of labels
inline constexpr ControlStyle kAlignCentre = 1u << 12;
inline constexpr ControlStyle kWantReturn = 1u << 13; // multi-line: Enter is a line break
inline constexpr ControlStyle kScrollBars = 1u << 14; // multi-line: both scroll bars
inline constexpr ControlStyle kDigitsOnly = 1u << 15; // typing accepts digits only
// List view.
inline constexpr ControlStyle kGridLines = 1u << 20;
inline constexpr ControlStyle kFullRowSelect = 1u << 21;
inline constexpr ControlStyle kHeaderDragDrop = 1u << 22;

struct ControlSpec {
    ControlKind kind = ControlKind::StaticText;
    ControlId id = kAnonymousControl;
    Rect rect; // in the window's client area
    std::string_view text;
    ControlStyle style = 0;
};

struct Selection {
    // In bytes of the control's text: a CR LF counts two, a lone LF or CR one. A position the
    // core sets inside a CR LF counts as after it (the pair is one line break).
    int start = 0;
    int length = 0;
    friend bool operator==(const Selection&, const Selection&) = default;
};

enum class Align { Left, Right, Centre };
struct ListColumn {
    std::string title;
    int width = 0; // pixels
    Align align = Align::Left;
};

// Which children destroyControls removes.
enum class ChildFilter { All, TabStops };

// ---- Scroll bars, fonts, common dialogs -------------------------------------------------------

enum class ScrollBar { Horizontal, Vertical };
struct ScrollInfo {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    bool visible = false;
    friend bool operator==(const ScrollInfo&, const ScrollInfo&) = default;
};

// A font asked for by pixel size (what a runtime screen's character cells need).
struct FontSpec {
    int height = 0;        // character height in pixels
    int width = 0;         // average character width; 0 lets the face choose
    int weight = 400;      // 400 normal, 700 bold
    std::string_view face; // a face name; the face substitutes a fixed-pitch font it has
};
struct FontMetrics {
    int averageWidth = 0; // average character width
    int maxWidth = 0;
    int height = 0; // ascent + descent
    int ascent = 0;
    int descent = 0;
    friend bool operator==(const FontMetrics&, const FontMetrics&) = default;
};

struct FileFilter {
    std::string description; // shown: "Ficheros de Pantalla (*.PAN)"
    std::string pattern;     // "*.PAN"; several separated by ";"
};
enum class FileDialogMode { Open, Save };
struct FileDialogSpec {
    FileDialogMode mode = FileDialogMode::Open;
    std::string title;               // empty: the face's own ("Open", "Save As")
    std::vector<FileFilter> filters; // the first is selected
    std::string defaultExtension;    // without the dot; appended to a typed name without one
    std::string initialName;         // a file name, or a pattern such as "*.PAN"
    std::string initialFolder;       // empty: the current directory
};

// ---- Events -----------------------------------------------------------------------------------

// What a window tells the core. The defaults ignore everything, consume nothing and allow
// closing, so a window's events object overrides only what it needs.
//
// Order of one key press on a control: onKeyDown; unless consumed, onChar for the character the
// key makes (Enter 0x0D, Tab 0x09, Backspace 0x08, Esc 0x1B included); unless consumed, the
// control's and the window's own handling (typing, Tab to the next tab stop, a focused button
// pressed by Space, kWinDialogKeys); then onKeyUp. A consumed key never reaches the control.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;

    // A button pressed, a menu item chosen (notification 0), an edit changed by the user
    // (notify::EnChange), a list box or drop-down list notification.
    virtual void onCommand(ControlId /*id*/, int /*notification*/) {}
    // A key went down or up in a control (kNoControl: in the window with no control focused).
    // Answer true to consume it.
    virtual bool onKeyDown(ControlId /*control*/, VirtualKey /*key*/, Modifiers /*mods*/) {
        return false;
    }
    virtual bool onKeyUp(ControlId /*control*/, VirtualKey /*key*/, Modifiers /*mods*/) {
        return false;
    }
    // The character a key made, as a cp1252 byte (control characters included).
    virtual bool onChar(ControlId /*control*/, unsigned char /*ch*/) { return false; }
    // A control gained or lost the keyboard focus. Lost comes before gained; while the old
    // control hears of its loss no control has the focus, and a handler that sets the focus
    // then (back to the old control, say) decides where it ends: the control the user chose
    // hears nothing. A control hears of a loss only after it heard of the gain.
    virtual void onFocus(ControlId /*control*/, bool /*gained*/) {}
    // The window became, or stopped being, the active window.
    virtual void onActivate(bool /*active*/) {}
    // The user asked to close the window (title-bar button, Alt+F4). Answer true to let the face
    // end its modal loop with kIdCancel and destroy it; false keeps it (the handler may still
    // end or destroy it itself).
    virtual bool onClose() { return true; }
    // A list view notification (notify::NmClick, NmDblClk, NmRClick) with the row under the
    // pointer, -1 when none.
    virtual void onListNotify(ControlId /*id*/, int /*code*/, int /*row*/) {}
    // The user worked a window scroll bar (a scroll:: code; ThumbTrack carries the position).
    // The bar moves only when the core calls setScrollBar.
    virtual void onScroll(ScrollBar /*bar*/, int /*code*/, int /*position*/) {}
    // A message the core posted to itself with post(), delivered from the event loop.
    virtual void onPosted(int /*message*/, int /*param*/) {}
    // The window is being destroyed; its controls still exist.
    virtual void onDestroy() {}
};

// ---- The seam ---------------------------------------------------------------------------------

// Every call has a default: the answer stated with it for a window or control that does not
// exist (false, empty, -1, kNoWindow, kNoFont, BoxAnswer::Failed...), which changes nothing. A
// face overrides what it shows and nothing else; a face that shows no windows at all needs no
// override, which is what the null face is.
class Ui {
public:
    virtual ~Ui() = default;

    // A modal message box owned by `owner` (kNoWindow: ownerless). Failed when it cannot be shown.
    virtual BoxAnswer messageBox(WindowId /*owner*/, std::string_view /*text*/,
                                 std::string_view /*caption*/, BoxButtons /*buttons*/,
                                 BoxIcon /*icon*/) {
        return BoxAnswer::Failed;
    }

    // Windows. createWindow answers kNoWindow when the window cannot be made (unknown owner).
    virtual WindowId createWindow(const WindowSpec& /*spec*/, WindowEvents* /*events*/) {
        return kNoWindow;
    }
    virtual bool destroyWindow(WindowId /*window*/) { return false; }
    virtual bool windowExists(WindowId /*window*/) const { return false; }
    virtual bool setWindowEvents(WindowId /*window*/, WindowEvents* /*events*/) { return false; }
    virtual bool setTitle(WindowId /*window*/, std::string_view /*title*/) { return false; }
    virtual std::string title(WindowId /*window*/) const { return {}; }
    virtual bool setWindowRect(WindowId /*window*/, Rect /*frame*/) { return false; }
    virtual Rect windowRect(WindowId /*window*/) const { return {}; } // outer
    virtual Size clientSize(WindowId /*window*/) const { return {}; }
    virtual bool showWindow(WindowId /*window*/, bool /*visible*/) { return false; }
    virtual bool enableWindow(WindowId /*window*/, bool /*enabled*/) { return false; }
    virtual bool isWindowEnabled(WindowId /*window*/) const { return false; }
    // Raises the window and makes it the active one.
    virtual bool activateWindow(WindowId /*window*/) { return false; }
    // Replaces the window's menu bar (an empty menu removes it).
    virtual bool setMenu(WindowId /*window*/, const Menu& /*menu*/) { return false; }
    // Changes one item of the window's menu bar, found by command id.
    virtual bool enableMenuItem(WindowId /*window*/, CommandId /*command*/, bool /*enabled*/) {
        return false;
    }
    virtual bool checkMenuItem(WindowId /*window*/, CommandId /*command*/, bool /*checked*/) {
        return false;
    }

    // Shows the window and runs a nested event loop until endModal(window, result) or until the
    // window is destroyed; other windows take no input meanwhile. The loop's end hides the
    // window, as a dialog's end does; the core destroys it or shows it again. kNoWindow runs a
    // loop that only endModal(kNoWindow, result) ends. Loops nest; endModal of an outer window
    // takes effect when the inner loops have returned. (A wait for one key is such a loop,
    // ended from the window's onKeyDown.) kModalAbandoned when no loop could run.
    virtual int runModal(WindowId /*window*/) { return kModalAbandoned; }
    // False when no loop of that window is running.
    virtual bool endModal(WindowId /*window*/, int /*result*/) { return false; }
    // Queues onPosted(message, param) for the window, delivered after the current event.
    virtual bool post(WindowId /*window*/, int /*message*/, int /*param*/) { return false; }
    // Delivers every pending event (posted messages, pending input) and returns.
    virtual void pumpPending() {}

    // The window's own scroll bars (over its client area).
    virtual bool setScrollBar(WindowId /*window*/, ScrollBar /*bar*/, const ScrollInfo& /*info*/) {
        return false;
    }
    virtual ScrollInfo scrollBar(WindowId /*window*/, ScrollBar /*bar*/) const { return {}; }
    // Moves every control of the window by (dx, dy) pixels: the content scrolls.
    virtual bool scrollContents(WindowId /*window*/, int /*dx*/, int /*dy*/) { return false; }

    // Controls. createControl answers false for an unknown window or an id already in use
    // (kAnonymousControl excepted) or kNoControl.
    virtual bool createControl(WindowId /*window*/, const ControlSpec& /*spec*/) { return false; }
    virtual bool destroyControl(WindowId /*window*/, ControlId /*id*/) { return false; }
    virtual void destroyControls(WindowId /*window*/, ChildFilter /*which*/) {}
    virtual bool hasControl(WindowId /*window*/, ControlId /*id*/) const { return false; }
    virtual std::optional<ControlKind> controlKind(WindowId /*window*/, ControlId /*id*/) const {
        return std::nullopt;
    }
    virtual bool setControlRect(WindowId /*window*/, ControlId /*id*/, Rect /*rect*/) {
        return false;
    }
    virtual std::optional<Rect> controlRect(WindowId /*window*/, ControlId /*id*/) const {
        return std::nullopt;
    }
    // The area inside the control's border and frame (a list view's room for columns).
    virtual std::optional<Size> controlClientSize(WindowId /*window*/, ControlId /*id*/) const {
        return std::nullopt;
    }
    // A control's text, byte for byte: what setText gave is what text answers, line breaks of
    // every kind (CR LF, a lone LF, a lone CR) and every byte 0..255 included, until the user
    // changes it.
    virtual bool setText(WindowId /*window*/, ControlId /*id*/, std::string_view /*text*/) {
        return false;
    }
    virtual std::optional<std::string> text(WindowId /*window*/, ControlId /*id*/) const {
        return std::nullopt;
    }
    virtual bool enableControl(WindowId /*window*/, ControlId /*id*/, bool /*enabled*/) {
        return false;
    }
    virtual bool isControlEnabled(WindowId /*window*/, ControlId /*id*/) const { return false; }
    virtual bool showControl(WindowId /*window*/, ControlId /*id*/, bool /*visible*/) {
        return false;
    }
    virtual bool isControlVisible(WindowId /*window*/, ControlId /*id*/) const { return false; }
    virtual bool setControlFont(WindowId /*window*/, ControlId /*id*/, FontId /*font*/) {
        return false;
    }
    virtual bool setControlColors(WindowId /*window*/, ControlId /*id*/, Rgb /*text*/,
                                  Rgb /*background*/) {
        return false;
    }
    // An Image control's picture, by the program's image name ("102"); false when the image or
    // the control does not exist (the control then stays empty).
    virtual bool setImage(WindowId /*window*/, ControlId /*id*/, std::string_view /*image*/) {
        return false;
    }

    // Focus. kNoControl focuses the window itself. focusedControl answers kNoControl when no
    // control of the window has the focus.
    virtual bool setFocus(WindowId /*window*/, ControlId /*id*/) { return false; }
    virtual ControlId focusedControl(WindowId /*window*/) const { return kNoControl; }

    // Edits. The selection is shown (scrolled into view); length -1 selects to the end.
    virtual bool setEditSelection(WindowId /*window*/, ControlId /*id*/, int /*start*/,
                                  int /*length*/) {
        return false;
    }
    virtual std::optional<Selection> editSelection(WindowId /*window*/, ControlId /*id*/) const {
        return std::nullopt;
    }
    virtual bool selectAll(WindowId /*window*/, ControlId /*id*/) { return false; }
    virtual bool setReadOnly(WindowId /*window*/, ControlId /*id*/, bool /*readOnly*/) {
        return false;
    }
    // The most bytes the user's typing or pasting may leave in the edit (0: no limit). A key or
    // a paste that would go beyond it inserts nothing at all; one that shrinks a longer text is
    // allowed. Texts set by the core are not cut.
    virtual bool setEditLimit(WindowId /*window*/, ControlId /*id*/, int /*limit*/) {
        return false;
    }

    // List views (rows and columns 0-based).
    virtual bool setListColumns(WindowId /*window*/, ControlId /*id*/,
                                std::span<const ListColumn> /*cols*/) {
        return false;
    }
    // -1 when no list view.
    virtual int listColumnCount(WindowId /*window*/, ControlId /*id*/) const { return -1; }
    // Inserts a row whose cells are empty at `row` (rowCount appends); false when out of range.
    virtual bool insertListRow(WindowId /*window*/, ControlId /*id*/, int /*row*/) { return false; }
    virtual bool deleteListRow(WindowId /*window*/, ControlId /*id*/, int /*row*/) { return false; }
    virtual bool clearListRows(WindowId /*window*/, ControlId /*id*/) { return false; }
    // -1 when no list view.
    virtual int listRowCount(WindowId /*window*/, ControlId /*id*/) const { return -1; }
    // A cell of an existing row and column; false otherwise.
    virtual bool setListCell(WindowId /*window*/, ControlId /*id*/, int /*row*/, int /*column*/,
                             std::string_view /*text*/) {
        return false;
    }
    virtual std::optional<std::string> listCell(WindowId /*window*/, ControlId /*id*/, int /*row*/,
                                                int /*column*/) const {
        return std::nullopt;
    }
    // The selected row (-1: none) and selects a row (-1: clears the selection).
    virtual int listSelection(WindowId /*window*/, ControlId /*id*/) const { return -1; }
    virtual bool selectListRow(WindowId /*window*/, ControlId /*id*/, int /*row*/) { return false; }

    // List boxes and drop-down lists (items 0-based).
    virtual bool addListItem(WindowId /*window*/, ControlId /*id*/, std::string_view /*text*/) {
        return false;
    }
    virtual bool clearListItems(WindowId /*window*/, ControlId /*id*/) { return false; }
    // -1 when no such list.
    virtual int listItemCount(WindowId /*window*/, ControlId /*id*/) const { return -1; }
    virtual std::optional<std::string> listItem(WindowId /*window*/, ControlId /*id*/,
                                                int /*index*/) const {
        return std::nullopt;
    }
    // The current item (the caret of a list box, the choice of a drop-down list), -1 for none.
    virtual int currentListItem(WindowId /*window*/, ControlId /*id*/) const { return -1; }
    virtual bool setCurrentListItem(WindowId /*window*/, ControlId /*id*/, int /*index*/) {
        return false;
    }

    // Common dialogs: the chosen full path, or empty text when cancelled. A face never changes
    // the current directory; a caller that wants it to follow the dialog's folder sets it.
    virtual std::string chooseFile(WindowId /*owner*/, const FileDialogSpec& /*spec*/) {
        return {};
    }
    virtual std::string chooseFolder(WindowId /*owner*/, std::string_view /*title*/,
                                     std::string_view /*startFolder*/) {
        return {};
    }
    // A popup menu at a screen position; the chosen command, 0 when dismissed.
    virtual CommandId popupMenu(WindowId /*owner*/, const Menu& /*menu*/, Point /*at*/,
                                PopupAnchor /*anchor*/) {
        return 0;
    }

    // The screen and fonts; zero when there is no screen.
    virtual Rect workArea() const { return {}; }   // the usable screen, without task bars
    virtual Point cursorPos() const { return {}; } // the mouse pointer in screen pixels
    // What a frame of this style (with a menu bar or not) adds around a client area.
    virtual Margins frameMargins(WindowStyle /*style*/, bool /*withMenu*/) const { return {}; }
    // kNoFont when the font cannot be made.
    virtual FontId createFont(const FontSpec& /*spec*/) { return kNoFont; }
    // kUiFont and kFixedFont cannot be destroyed.
    virtual bool destroyFont(FontId /*font*/) { return false; }
    // Zero for an unknown font.
    virtual FontMetrics fontMetrics(FontId /*font*/) const { return {}; }
};

// The face in use. Before one is installed, the null face (the seam's defaults: no window can be
// made, so every later call names a window that does not exist) answers Failed to everything,
// so the core can run (and fail visibly) without a screen.
Ui& CurrentUi();
// Installs a face (null restores the null face). The caller keeps ownership.
void SetUi(Ui* ui);

} // namespace vodarir::platform
