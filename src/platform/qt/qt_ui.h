// The Qt face: platform::Ui with Qt 6 Widgets. A thin layer: windows are plain top-level
// widgets with absolutely placed children, and every event goes back to the core's
// WindowEvents in the core's terms (cp1252 texts, virtual keys, Win32-style notifications).
// It holds no designer or runtime logic.
//
// Lifetime: make one after the QApplication and destroy it before; it owns every window it made
// and deletes those still open when it goes. Destroyed widgets are hidden at once and deleted
// when the event loop next runs, so an event handler may destroy the very control that raised
// the event.
#pragma once

#include <memory>
#include <string>

#include "platform/ui.h"

class QPixmap;
class QWidget;

namespace vodarir::platform {

class QtUi final : public Ui {
public:
    QtUi();
    ~QtUi() override;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    // A picture setImage can show under `name`. Without one, setImage looks for the Qt
    // resource ":/images/<name>.png".
    void addImage(const std::string& name, const QPixmap& picture);
    // The widgets behind a window and a control, for tests and screenshots; null when none.
    QWidget* windowWidget(WindowId window) const;
    QWidget* controlWidget(WindowId window, ControlId id) const;

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

    Rect workArea() const override;
    Point cursorPos() const override;
    Margins frameMargins(WindowStyle style, bool withMenu) const override;
    FontId createFont(const FontSpec& spec) override;
    bool destroyFont(FontId font) override;
    FontMetrics fontMetrics(FontId font) const override;

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

} // namespace vodarir::platform
