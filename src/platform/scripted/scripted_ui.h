// The scripted face: platform::Ui in memory. Tests queue what the user does and read back
// everything that was shown. Nothing here waits: an interaction the test did not queue fails the
// test with a message naming what was shown, instead of hanging.
//
// How a test drives it:
//  - Answers to the blocking questions are queued in the order they will be asked: message-box
//    answers, file and folder choices, popup-menu choices.
//  - Each runModal takes the next queued modal script (a list of UiActions or a callback) and
//    runs it inside the loop. The script acts like the user: it types into controls, presses
//    keys, clicks buttons, chooses menu items; each act raises the events the Qt face would
//    raise. The script must end the loop (through the core, e.g. by clicking "OK"); a loop left
//    running after its script, or a modal window with no script queued, fails the test.
//  - Outside a modal loop a test may act directly with the same calls (click, type, key...).
//  - Readback: window()/control() give the current state of everything created (destroyed
//    windows stay readable with alive == false); transcript() lists what happened, one line per
//    event; describeWindow() prints a window's controls and texts.
//
// Transcript lines (texts as cp1252 bytes; CR, LF, tab, backslash and control bytes escaped):
//    window #3 Dialog [Add New File] open        window #3 Dialog [Add New File] closed
//    title #1 [Vodarir File Structure (New)]     modal #3 Dialog [Add New File]
//    modal end #3 Dialog [Add New File] = 1      box [caption] text
//    file-open [title] {desc = *.DAT | ...} name ??DICC.DAT -> /path   (or -> cancelled)
//    folder [title] from /start -> /chosen       popup View|Insert|Delete -> Delete
//    > type 2500 "abc"    > paste 2500 "x"    > select 2500 3+1    > key 2500 F4
//    > click 1 [OK]       > focus 1008        > menu 57601 [Open]  > close #3 ...
//    > row-click|row-dblclick|row-rclick 3200 2     > item|item-dblclick 3351 0
//    font 3 Courier 16x8                         (recordSnapshot: describeWindow's lines)
//
// Invariants:
//  1. Window ids are never reused; windows_[id - 1] is window id.
//  2. A control id other than kAnonymousControl appears at most once per window.
//  3. A window's focus is kNoControl or the id of one of its live, visible controls.
//  4. An edit's selection lies within its text: 0 <= start, start + length <= text size.
//  5. Every list-view row has exactly as many cells as the view has columns (at least one).
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace vodarir::platform {

struct ShownBox {
    WindowId owner = kNoWindow;
    std::string text; // cp1252 bytes, as the core passed them
    std::string caption;
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
};

struct ShownControl {
    ControlId id = kAnonymousControl;
    ControlKind kind = ControlKind::StaticText;
    Rect rect;
    ControlStyle style = 0;
    std::string text;
    bool enabled = true;
    bool visible = true;
    FontId font = kUiFont;
    Selection selection; // edits
    int limit = 0;       // edits: most characters the user may type, 0 for none
    bool hasColors = false;
    Rgb textColor;
    Rgb background;
    std::string image; // Image controls: the image shown, empty when none
    // List views.
    std::vector<ListColumn> columns;
    std::vector<std::vector<std::string>> rows;
    int selectedRow = -1;
    // List boxes and drop-down lists.
    std::vector<std::string> items;
    int currentItem = -1;

    bool isEdit() const { return kind == ControlKind::Edit; }
    bool isButton() const {
        return kind == ControlKind::Button || kind == ControlKind::DefaultButton;
    }
};

struct ShownWindow {
    WindowId id = kNoWindow;
    WindowId owner = kNoWindow;
    std::string name;
    std::string title;
    Rect frame;
    WindowStyle style = 0;
    FontId font = kUiFont;
    bool alive = true;
    bool visible = false;
    bool enabled = true;
    Menu menu;
    std::vector<ShownControl> controls; // in creation order (the tab order)
    ControlId focus = kNoControl;
    ScrollInfo hscroll;
    ScrollInfo vscroll;
    Point scrolled; // the sum of every scrollContents

    const ShownControl* control(ControlId id) const;
};

struct ShownFileDialog {
    WindowId owner = kNoWindow;
    FileDialogSpec spec;
    std::string answer; // empty when cancelled
};

struct ShownFolderDialog {
    WindowId owner = kNoWindow;
    std::string title;
    std::string start;
    std::string answer;
};

struct ShownPopup {
    WindowId owner = kNoWindow;
    Menu menu;
    Point at;
    PopupAnchor anchor = PopupAnchor::TopLeft;
    CommandId answer = 0;
};

class ScriptedUi;

// One thing the user does in a window; see the builders below.
struct UiAction {
    enum class Kind {
        Type,            // text typed key by key into `control` (CR or LF: Enter)
        Paste,           // text put over the selection of `control` in one change
        Select,          // the user selects `value` bytes from `value2` in an edit
        Key,             // key `value` with `mods` pressed in `control` (kNoControl: wherever
                         // the focus is)
        Click,           // a button clicked
        Focus,           // `control` clicked into (gains the focus)
        ChooseMenu,      // menu-bar command `value`
        ClickRow,        // list-view row `value` clicked
        DoubleClickRow,  // list-view row `value` double-clicked
        RightClickRow,   // list-view row `value` right-clicked
        SelectItem,      // list-box or drop-down item `value` chosen
        DoubleClickItem, // list-box item `value` double-clicked
        Close,           // the title-bar close button
        Run,             // `run` called with the face and the window (anything else)
    };
    Kind kind = Kind::Run;
    ControlId control = kNoControl;
    std::string text;
    int value = 0;
    int value2 = 0;
    Modifiers mods = kModNone;
    std::function<void(ScriptedUi&, WindowId)> run;
};

namespace act {
UiAction Type(ControlId control, std::string text);
UiAction Paste(ControlId control, std::string text);
UiAction Select(ControlId control, int start, int length);
UiAction Key(ControlId control, VirtualKey key, Modifiers mods = kModNone);
UiAction Click(ControlId button);
UiAction Focus(ControlId control);
UiAction ChooseMenu(CommandId command);
UiAction ClickRow(ControlId listView, int row);
UiAction DoubleClickRow(ControlId listView, int row);
UiAction RightClickRow(ControlId listView, int row);
UiAction SelectItem(ControlId list, int index);
UiAction DoubleClickItem(ControlId listBox, int index);
UiAction Close();
UiAction Run(std::function<void(ScriptedUi&, WindowId)> fn);
} // namespace act

class ScriptedUi : public Ui {
public:
    // Called when the core needs an interaction nobody queued, or a script asks for something a
    // user could not do; the default throws std::runtime_error with the description (tests see
    // it as a failure with that message).
    using UnexpectedFn = void (*)(const std::string& what);
    using ModalScript = std::function<void(ScriptedUi&, WindowId)>;

    ScriptedUi();
    ~ScriptedUi() override;

    // ---- What the user will answer --------------------------------------------------------
    // The answer of the next message box. A box with only OK needs no queued answer.
    void queueBoxAnswer(BoxAnswer answer);
    // The next file dialog's path; empty text cancels it.
    void queueFileChoice(std::string path);
    // The next folder chooser's folder; empty text cancels it.
    void queueFolderChoice(std::string folder);
    // The next popup menu: the item shown as `text` ("&" marks ignored), or dismissed.
    void queuePopupChoice(std::string text);
    void queuePopupDismiss();
    // The next modal loop's script. `expected` names the window (its title or its name; empty
    // accepts any): a different window fails the test.
    void queueModal(std::string expected, std::vector<UiAction> actions);
    void queueModal(std::string expected, ModalScript script);
    // How many queued answers and scripts are still waiting (a test checks this is 0 at its end).
    std::size_t pendingCount() const;

    // ---- The user's acts (usable in scripts and directly) ---------------------------------
    // Each checks that a user could do it (the control exists, is visible and enabled, the
    // menu item is enabled...) and fails the test otherwise.
    void perform(WindowId window, const UiAction& action);
    void type(WindowId window, ControlId control, std::string_view text);
    void paste(WindowId window, ControlId control, std::string_view text);
    void selectText(WindowId window, ControlId control, int start, int length);
    void key(WindowId window, ControlId control, VirtualKey key, Modifiers mods = kModNone);
    void click(WindowId window, ControlId button);
    void focusControl(WindowId window, ControlId control);
    void chooseMenu(WindowId window, CommandId command);
    void clickRow(WindowId window, ControlId listView, int row, int code);
    void selectItem(WindowId window, ControlId list, int index, bool doubleClick);
    void closeWindow(WindowId window);

    // ---- What was shown --------------------------------------------------------------------
    const std::vector<ShownBox>& shownBoxes() const { return boxes_; }
    const std::vector<ShownFileDialog>& shownFileDialogs() const { return fileDialogs_; }
    const std::vector<ShownFolderDialog>& shownFolderDialogs() const { return folderDialogs_; }
    const std::vector<ShownPopup>& shownPopups() const { return popups_; }
    // Any window ever created (destroyed ones with alive == false); null for an unknown id.
    const ShownWindow* window(WindowId id) const;
    const ShownControl* control(WindowId window, ControlId id) const;
    // The live window most recently created with this title or name; kNoWindow when none.
    WindowId findWindow(std::string_view titleOrName) const;
    // The windows whose modal loops are running, outermost first.
    std::vector<WindowId> modalStack() const;
    // A window's state, one line per control: kind, id, text, list contents.
    std::vector<std::string> describeWindow(WindowId id) const;
    // Everything shown so far, one line each, in order: what scenario transcripts print.
    const std::vector<std::string>& transcript() const { return transcript_; }
    void recordSnapshot(WindowId id);
    void setUnexpectedHandler(UnexpectedFn fn) { unexpected_ = fn; }

    // ---- The pretend screen ----------------------------------------------------------------
    void setWorkArea(Rect area) { workArea_ = area; }
    void setCursorPos(Point p) { cursor_ = p; }
    void setFontMetrics(FontId font, FontMetrics metrics);
    // Images the program does not have (setImage then fails); all others exist.
    void setImageMissing(std::string image) { missingImages_.insert(std::move(image)); }

    // ---- platform::Ui ----------------------------------------------------------------------
    BoxAnswer messageBox(WindowId owner, std::string_view text, std::string_view caption,
                         BoxButtons buttons, BoxIcon icon) override;

    WindowId createWindow(const WindowSpec& spec, WindowEvents* events) override;
    bool destroyWindow(WindowId window) override;
    bool windowExists(WindowId window) const override;
    bool setWindowEvents(WindowId window, WindowEvents* events) override;
    bool setTitle(WindowId window, std::string_view title) override;
    std::string title(WindowId window) const override;
    bool setWindowRect(WindowId window, Rect frame) override;
    Rect windowRect(WindowId window) const override;
    Size clientSize(WindowId window) const override;
    bool showWindow(WindowId window, bool visible) override;
    bool enableWindow(WindowId window, bool enabled) override;
    bool isWindowEnabled(WindowId window) const override;
    bool activateWindow(WindowId window) override;
    bool setMenu(WindowId window, const Menu& menu) override;
    bool enableMenuItem(WindowId window, CommandId command, bool enabled) override;
    bool checkMenuItem(WindowId window, CommandId command, bool checked) override;
    int runModal(WindowId window) override;
    bool endModal(WindowId window, int result) override;
    bool post(WindowId window, int message, int param) override;
    void pumpPending() override;
    bool setScrollBar(WindowId window, ScrollBar bar, const ScrollInfo& info) override;
    ScrollInfo scrollBar(WindowId window, ScrollBar bar) const override;
    bool scrollContents(WindowId window, int dx, int dy) override;

    bool createControl(WindowId window, const ControlSpec& spec) override;
    bool destroyControl(WindowId window, ControlId id) override;
    void destroyControls(WindowId window, ChildFilter which) override;
    bool hasControl(WindowId window, ControlId id) const override;
    std::optional<ControlKind> controlKind(WindowId window, ControlId id) const override;
    bool setControlRect(WindowId window, ControlId id, Rect rect) override;
    std::optional<Rect> controlRect(WindowId window, ControlId id) const override;
    std::optional<Size> controlClientSize(WindowId window, ControlId id) const override;
    bool setText(WindowId window, ControlId id, std::string_view text) override;
    std::optional<std::string> text(WindowId window, ControlId id) const override;
    bool enableControl(WindowId window, ControlId id, bool enabled) override;
    bool isControlEnabled(WindowId window, ControlId id) const override;
    bool showControl(WindowId window, ControlId id, bool visible) override;
    bool isControlVisible(WindowId window, ControlId id) const override;
    bool setControlFont(WindowId window, ControlId id, FontId font) override;
    bool setControlColors(WindowId window, ControlId id, Rgb text, Rgb background) override;
    bool setImage(WindowId window, ControlId id, std::string_view image) override;
    bool setFocus(WindowId window, ControlId id) override;
    ControlId focusedControl(WindowId window) const override;
    bool setEditSelection(WindowId window, ControlId id, int start, int length) override;
    std::optional<Selection> editSelection(WindowId window, ControlId id) const override;
    bool selectAll(WindowId window, ControlId id) override;
    bool setReadOnly(WindowId window, ControlId id, bool readOnly) override;
    bool setEditLimit(WindowId window, ControlId id, int limit) override;

    bool setListColumns(WindowId window, ControlId id, std::span<const ListColumn> cols) override;
    int listColumnCount(WindowId window, ControlId id) const override;
    bool insertListRow(WindowId window, ControlId id, int row) override;
    bool deleteListRow(WindowId window, ControlId id, int row) override;
    bool clearListRows(WindowId window, ControlId id) override;
    int listRowCount(WindowId window, ControlId id) const override;
    bool setListCell(WindowId window, ControlId id, int row, int column,
                     std::string_view text) override;
    std::optional<std::string> listCell(WindowId window, ControlId id, int row,
                                        int column) const override;
    int listSelection(WindowId window, ControlId id) const override;
    bool selectListRow(WindowId window, ControlId id, int row) override;
    bool addListItem(WindowId window, ControlId id, std::string_view text) override;
    bool clearListItems(WindowId window, ControlId id) override;
    int listItemCount(WindowId window, ControlId id) const override;
    std::optional<std::string> listItem(WindowId window, ControlId id, int index) const override;
    int currentListItem(WindowId window, ControlId id) const override;
    bool setCurrentListItem(WindowId window, ControlId id, int index) override;

    std::string chooseFile(WindowId owner, const FileDialogSpec& spec) override;
    std::string chooseFolder(WindowId owner, std::string_view title,
                             std::string_view startFolder) override;
    CommandId popupMenu(WindowId owner, const Menu& menu, Point at, PopupAnchor anchor) override;

    Rect workArea() const override { return workArea_; }
    Point cursorPos() const override { return cursor_; }
    Margins frameMargins(WindowStyle style, bool withMenu) const override;
    FontId createFont(const FontSpec& spec) override;
    bool destroyFont(FontId font) override;
    FontMetrics fontMetrics(FontId font) const override;

protected:
    void record(std::string line) { transcript_.push_back(std::move(line)); }
    void unexpected(const std::string& what);
    // A script asked for something the user could not do.
    void scriptError(const std::string& what);

private:
    struct WindowRec;
    struct QueuedModal {
        std::string expected;
        std::vector<UiAction> actions;
    };
    struct PopupChoice {
        bool dismiss = false;
        std::string text;
    };
    struct Posted {
        WindowId window;
        int message;
        int param;
    };
    struct ModalFrame {
        WindowId window;
        bool ended = false;
        int result = kModalAbandoned;
    };

    WindowRec* rec(WindowId id);
    const WindowRec* rec(WindowId id) const;
    ShownControl* find(WindowId window, ControlId id);
    const ShownControl* find(WindowId window, ControlId id) const;
    // The control an act is aimed at; fails the test when a user could not reach it.
    ShownControl* reachable(WindowId window, ControlId id, const char* act);
    WindowEvents* events(WindowId window) const;
    std::string label(WindowId window) const;
    void moveFocus(WindowId window, ControlId to);
    void tabFocus(WindowId window, bool backwards);
    void autoFocus(WindowId window);
    void removeControlAt(WindowRec& w, std::size_t index);
    void runScript(WindowId window, QueuedModal script);
    // Input may reach a window only when no modal loop of another window holds it.
    bool acceptsInput(WindowId window, const char* act);
    // One key press on the focused control: down, character (ch 0: none), default, up.
    void press(WindowId window, VirtualKey key, Modifiers mods, unsigned char ch);
    // The key's default handling when the core did not consume it.
    void defaultKey(WindowId window, ControlId control, VirtualKey key, Modifiers mods,
                    unsigned char ch);
    // An edit's text changed by the user: false when the edit refuses it (read-only, limit,
    // digits only); raises notify::EnChange when it changed.
    bool editInsert(WindowId window, ControlId id, std::string_view text);
    void editErase(WindowId window, ControlId id, bool forward);
    void editMoveCaret(ShownControl& c, VirtualKey key);
    void command(WindowId window, ControlId id, int notification);
    void deliverPosted();

    std::deque<BoxAnswer> boxAnswers_;
    std::deque<std::string> fileChoices_;
    std::deque<std::string> folderChoices_;
    std::deque<PopupChoice> popupChoices_;
    std::deque<QueuedModal> modals_;
    std::deque<Posted> posted_;
    std::vector<ShownBox> boxes_;
    std::vector<ShownFileDialog> fileDialogs_;
    std::vector<ShownFolderDialog> folderDialogs_;
    std::vector<ShownPopup> popups_;
    std::vector<std::unique_ptr<WindowRec>> windows_;
    std::vector<ModalFrame> frames_; // running modal loops, outermost first
    std::vector<std::string> transcript_;
    UnexpectedFn unexpected_ = nullptr;

    Rect workArea_{0, 0, 1024, 738};
    Point cursor_{100, 100};
    std::vector<FontMetrics> fonts_; // fonts_[id - 1]; a destroyed font has zero metrics
    std::set<std::string> missingImages_;
};

} // namespace vodarir::platform
