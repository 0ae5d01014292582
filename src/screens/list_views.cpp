// List views in a process-wide slot table, popup menus from comma lists, and the idle picture.
#include "screens/list_views.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "masks/cell_fonts.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using platform::ControlId;
using platform::CurrentUi;
using platform::kNoWindow;
using platform::Ui;
using platform::WindowId;

std::array<ListViewSlot, kListViewSlots> g_slots{};
// The dialog whose picture control shows the idle picture; kNoWindow before the first one.
WindowId g_pictureDialog = kNoWindow;

constexpr platform::ControlStyle kListViewStyle =
    platform::kTabStop | platform::kBorder | platform::kHidden | platform::kGridLines |
    platform::kFullRowSelect | platform::kHeaderDragDrop;
constexpr platform::Rgb kListViewText{0, 0, 0};
// Format letters of right-aligned columns.
constexpr std::string_view kRightAlignedFormats = "NL123456789";
// The picture keeps this margin from each edge of the client area.
constexpr int kPictureMargin = 3;

ControlId ListViewId(int slot) { return kFirstListView + slot; }

ListViewSlot* UsedSlot(int slot) {
    if (slot < 0 || slot >= kListViewSlots) return nullptr;
    ListViewSlot& s = g_slots[static_cast<std::size_t>(slot)];
    return s.window == kNoWindow ? nullptr : &s;
}

std::uint16_t ToU16(int value) { return static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF)); }

// W / L to the nearest integer, a remainder of at least half of L rounding up; 0 for L = 0.
int ColumnUnit(int room, int letters) {
    if (letters <= 0) return 0;
    const int quotient = room / letters;
    const int remainder = room % letters;
    return remainder * 2 >= letters ? quotient + 1 : quotient;
}

// Column i's format letter: letter i of formats, the last one standing for the rest.
platform::Align ColumnAlign(TextRef formats, std::uint16_t i) {
    if (formats.empty()) return platform::Align::Left;
    const char letter = formats.view()[std::min<std::size_t>(i, formats.size() - 1)];
    return kRightAlignedFormats.find(letter) != std::string_view::npos ? platform::Align::Right
                                                                       : platform::Align::Left;
}

platform::Point UnpackPosition(std::uint32_t packed) {
    return {static_cast<int>(packed >> 16), static_cast<int>(packed & 0xFFFF)};
}

platform::Menu MenuOfItems(TextRef items, std::uint16_t count) {
    platform::Menu menu;
    for (std::uint16_t i = 0; i < count; ++i) {
        const TextRef text = ListItem(items, ',', static_cast<std::uint16_t>(i + 1));
        menu.push_back(platform::MenuCommand(std::string(text.view()), kFirstPopupCommand + i));
    }
    return menu;
}

// A frameless window of no size at the point, to own a menu that has no owner.
WindowId MakeMenuOwner(platform::Point at) {
    platform::WindowSpec spec;
    spec.name = "PopupOwner";
    spec.frame = {at.x, at.y, 0, 0};
    spec.style = 0;
    return CurrentUi().createWindow(spec, nullptr);
}

} // namespace

// ---- List views -------------------------------------------------------------------------------

int ListViewCreate(WindowId parent, int x, int y, int width, int height) {
    int slot = 0;
    while (slot < kListViewSlots && g_slots[static_cast<std::size_t>(slot)].window != kNoWindow) {
        ++slot;
    }
    if (slot == kListViewSlots) return kNoListViewSlot;

    Ui& ui = CurrentUi();
    platform::ControlSpec spec;
    spec.kind = platform::ControlKind::ListView;
    spec.id = ListViewId(slot);
    spec.rect = {x, y, width, height};
    spec.style = kListViewStyle;
    if (!ui.createControl(parent, spec)) return kNoListViewSlot;
    ui.setControlColors(parent, spec.id, kListViewText,
                        platform::RgbFromColorRef(kListViewBackground));
    SetControlFont(FontKind::Runtime, parent, spec.id);
    g_slots[static_cast<std::size_t>(slot)] = {parent, 0, 0, ToU16(y), ToU16(x)};
    return slot;
}

std::uint16_t ListViewDestroy(int slot) {
    if (slot == kAllListViewSlots) {
        for (int s = 0; s < kListViewSlots; ++s) ListViewDestroy(s);
        return 0;
    }
    ListViewSlot* s = UsedSlot(slot);
    if (s == nullptr) return kListViewNone;
    const bool destroyed = CurrentUi().destroyControl(s->window, ListViewId(slot));
    // A list view that is already gone (its window closed, its controls cleared) frees its slot
    // all the same: otherwise the slot would stay taken for good.
    *s = ListViewSlot{};
    return destroyed ? 0 : kListViewNone;
}

std::uint16_t ListViewSlotOf(WindowId window, ControlId id) {
    for (int s = kListViewSlots - 1; s >= 0; --s) {
        const ListViewSlot* used = UsedSlot(s);
        if (used != nullptr && used->window == window && id == ListViewId(s)) {
            return static_cast<std::uint16_t>(s);
        }
    }
    return kListViewNone;
}

ListViewSlot ListViewSlotInfo(int slot) {
    const ListViewSlot* s = UsedSlot(slot);
    return s != nullptr ? *s : ListViewSlot{};
}

StatusCode ListViewSetColumns(int slot, TextRef titles, TextRef formats) {
    ListViewSlot* s = UsedSlot(slot);
    if (s == nullptr || titles.failed()) return status::kData;
    Ui& ui = CurrentUi();
    const ControlId id = ListViewId(slot);
    const std::uint16_t count = ListCount(titles, ',');
    const std::optional<platform::Size> client = ui.controlClientSize(s->window, id);
    const int room = std::max(0, (client ? client->width : 0) - kListViewColumnSlack);
    const int unit = ColumnUnit(room, titles.size() - count + 1);

    std::vector<platform::ListColumn> columns;
    for (std::uint16_t i = 0; i < count; ++i) {
        const TextRef title = ListItem(titles, ',', static_cast<std::uint16_t>(i + 1));
        const int width = title.size() * unit + (i == 0 ? 2 : 0);
        columns.push_back({std::string(title.view()), width, ColumnAlign(formats, i)});
    }
    if (!ui.setListColumns(s->window, id, columns)) return status::kWindowsControl;
    s->columns = count;
    ui.showControl(s->window, id, true);
    return status::kOk;
}

StatusCode ListViewSetCell(int slot, std::uint16_t row, std::uint16_t column, TextRef text) {
    ListViewSlot* s = UsedSlot(slot);
    // Row 65535 would need a 65536th row, which the row count cannot hold.
    if (s == nullptr || text.failed() || row == kListViewNone) return status::kData;
    Ui& ui = CurrentUi();
    const ControlId id = ListViewId(slot);
    int rows = ui.listRowCount(s->window, id);
    if (rows < 0) return status::kWindowsControl;
    while (rows <= row) {
        if (!ui.insertListRow(s->window, id, rows)) return status::kWindowsControl;
        ++rows;
    }
    s->rows = ToU16(rows);
    if (!ui.setListCell(s->window, id, row, column, text.view())) return status::kWindowsControl;
    ui.showControl(s->window, id, true);
    return status::kOk;
}

std::uint16_t ListViewSelectedRow(int slot) {
    const ListViewSlot* s = UsedSlot(slot);
    if (s == nullptr) return kListViewNone;
    const int row = CurrentUi().listSelection(s->window, ListViewId(slot));
    return row < 0 ? kListViewNone : ToU16(row);
}

void ListViewsReset() {
    g_slots = {};
    g_pictureDialog = kNoWindow;
}

// ---- Popup menus ------------------------------------------------------------------------------

std::uint16_t PopupMenuChoose(WindowId owner, TextRef items, PopupPositionSource position) {
    const std::uint16_t count = items.failed() ? 0 : ListCount(items, ',');
    if (count == 0) return 0;
    Ui& ui = CurrentUi();
    const platform::Point at = position != nullptr ? UnpackPosition(position()) : ui.cursorPos();
    const platform::Menu menu = MenuOfItems(items, count);

    const WindowId temporary = owner == kNoWindow ? MakeMenuOwner(at) : kNoWindow;
    const WindowId shownBy = owner != kNoWindow ? owner : temporary;
    if (shownBy != kNoWindow) ui.activateWindow(shownBy);
    const platform::CommandId command =
        ui.popupMenu(shownBy, menu, at, platform::PopupAnchor::BottomLeft);
    if (temporary != kNoWindow) ui.destroyWindow(temporary);
    if (command < kFirstPopupCommand || command >= kFirstPopupCommand + count) return 0;
    return static_cast<std::uint16_t>(command - kFirstPopupCommand + 1);
}

// ---- The idle picture -------------------------------------------------------------------------

StatusCode ShowBackgroundImage(WindowId dialog) {
    Ui& ui = CurrentUi();
    if (!ui.windowExists(dialog)) return status::kData;
    // One picture at a time: while the control that shows it is still there, a new control stays
    // empty. Once it is gone (the dialog rebuilt its controls) the picture is shown again.
    const bool shown =
        g_pictureDialog != kNoWindow && ui.hasControl(g_pictureDialog, kIdlePictureId);
    const platform::Size client = ui.clientSize(dialog);
    platform::ControlSpec spec;
    spec.kind = platform::ControlKind::Image;
    spec.id = shown ? platform::kAnonymousControl : kIdlePictureId;
    spec.rect = {kPictureMargin, kPictureMargin, std::max(0, client.width - 2 * kPictureMargin),
                 std::max(0, client.height - 2 * kPictureMargin)};
    if (!ui.createControl(dialog, spec)) return status::kData;
    if (shown) return status::kOk;
    if (!ui.setImage(dialog, kIdlePictureId, kIdlePictureName)) {
        ui.destroyControl(dialog, kIdlePictureId); // the area stays blank, as without a control
        return status::kData;
    }
    g_pictureDialog = dialog;
    return status::kOk;
}

} // namespace vodarir
