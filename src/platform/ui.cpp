// The face registry and the null face used before one is installed.
#include "platform/ui.h"

namespace vodarir::platform {

namespace {

// Refuses everything: no window can be made, so every later call names a window that does not
// exist and gets the failed answer the seam promises for that case.
class NullUi final : public Ui {
public:
    BoxAnswer messageBox(WindowId, std::string_view, std::string_view, BoxButtons,
                         BoxIcon) override {
        return BoxAnswer::Failed;
    }

    WindowId createWindow(const WindowSpec&, WindowEvents*) override { return kNoWindow; }
    bool destroyWindow(WindowId) override { return false; }
    bool windowExists(WindowId) const override { return false; }
    bool setWindowEvents(WindowId, WindowEvents*) override { return false; }
    bool setTitle(WindowId, std::string_view) override { return false; }
    std::string title(WindowId) const override { return {}; }
    bool setWindowRect(WindowId, Rect) override { return false; }
    Rect windowRect(WindowId) const override { return {}; }
    Size clientSize(WindowId) const override { return {}; }
    bool showWindow(WindowId, bool) override { return false; }
    bool enableWindow(WindowId, bool) override { return false; }
    bool isWindowEnabled(WindowId) const override { return false; }
    bool activateWindow(WindowId) override { return false; }
    bool setMenu(WindowId, const Menu&) override { return false; }
    bool enableMenuItem(WindowId, CommandId, bool) override { return false; }
    bool checkMenuItem(WindowId, CommandId, bool) override { return false; }
    int runModal(WindowId) override { return kModalAbandoned; }
    bool endModal(WindowId, int) override { return false; }
    bool post(WindowId, int, int) override { return false; }
    void pumpPending() override {}
    bool setScrollBar(WindowId, ScrollBar, const ScrollInfo&) override { return false; }
    ScrollInfo scrollBar(WindowId, ScrollBar) const override { return {}; }
    bool scrollContents(WindowId, int, int) override { return false; }

    bool createControl(WindowId, const ControlSpec&) override { return false; }
    bool destroyControl(WindowId, ControlId) override { return false; }
    void destroyControls(WindowId, ChildFilter) override {}
    bool hasControl(WindowId, ControlId) const override { return false; }
    std::optional<ControlKind> controlKind(WindowId, ControlId) const override { return {}; }
    bool setControlRect(WindowId, ControlId, Rect) override { return false; }
    std::optional<Rect> controlRect(WindowId, ControlId) const override { return {}; }
    std::optional<Size> controlClientSize(WindowId, ControlId) const override { return {}; }
    bool setText(WindowId, ControlId, std::string_view) override { return false; }
    std::optional<std::string> text(WindowId, ControlId) const override { return {}; }
    bool enableControl(WindowId, ControlId, bool) override { return false; }
    bool isControlEnabled(WindowId, ControlId) const override { return false; }
    bool showControl(WindowId, ControlId, bool) override { return false; }
    bool isControlVisible(WindowId, ControlId) const override { return false; }
    bool setControlFont(WindowId, ControlId, FontId) override { return false; }
    bool setControlColors(WindowId, ControlId, Rgb, Rgb) override { return false; }
    bool setImage(WindowId, ControlId, std::string_view) override { return false; }
    bool setFocus(WindowId, ControlId) override { return false; }
    ControlId focusedControl(WindowId) const override { return kNoControl; }
    bool setEditSelection(WindowId, ControlId, int, int) override { return false; }
    std::optional<Selection> editSelection(WindowId, ControlId) const override { return {}; }
    bool selectAll(WindowId, ControlId) override { return false; }
    bool setReadOnly(WindowId, ControlId, bool) override { return false; }
    bool setEditLimit(WindowId, ControlId, int) override { return false; }

    bool setListColumns(WindowId, ControlId, std::span<const ListColumn>) override { return false; }
    int listColumnCount(WindowId, ControlId) const override { return -1; }
    bool insertListRow(WindowId, ControlId, int) override { return false; }
    bool deleteListRow(WindowId, ControlId, int) override { return false; }
    bool clearListRows(WindowId, ControlId) override { return false; }
    int listRowCount(WindowId, ControlId) const override { return -1; }
    bool setListCell(WindowId, ControlId, int, int, std::string_view) override { return false; }
    std::optional<std::string> listCell(WindowId, ControlId, int, int) const override { return {}; }
    int listSelection(WindowId, ControlId) const override { return -1; }
    bool selectListRow(WindowId, ControlId, int) override { return false; }
    bool addListItem(WindowId, ControlId, std::string_view) override { return false; }
    bool clearListItems(WindowId, ControlId) override { return false; }
    int listItemCount(WindowId, ControlId) const override { return -1; }
    std::optional<std::string> listItem(WindowId, ControlId, int) const override { return {}; }
    int currentListItem(WindowId, ControlId) const override { return -1; }
    bool setCurrentListItem(WindowId, ControlId, int) override { return false; }

    std::string chooseFile(WindowId, const FileDialogSpec&) override { return {}; }
    std::string chooseFolder(WindowId, std::string_view, std::string_view) override { return {}; }
    CommandId popupMenu(WindowId, const Menu&, Point, PopupAnchor) override { return 0; }

    Rect workArea() const override { return {}; }
    Point cursorPos() const override { return {}; }
    Margins frameMargins(WindowStyle, bool) const override { return {}; }
    FontId createFont(const FontSpec&) override { return kNoFont; }
    bool destroyFont(FontId) override { return false; }
    FontMetrics fontMetrics(FontId) const override { return {}; }
};

NullUi g_nullUi;
Ui* g_ui = &g_nullUi;

} // namespace

Ui& CurrentUi() { return *g_ui; }

void SetUi(Ui* ui) { g_ui = ui != nullptr ? ui : &g_nullUi; }

} // namespace vodarir::platform
