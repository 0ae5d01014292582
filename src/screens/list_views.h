// List views, popup menus and the idle picture: the four report-style list views the designer
// shows definitions in (a process-wide slot table), a popup menu of choices built from a comma
// list, and the background picture of an idle dialog.
//
// Ownership: the slot table remembers where each list view lives (its window and control id);
// the list view itself belongs to its window and dies with it. ListViewDestroy frees a slot;
// ListViewsReset forgets the whole table, and which picture is shown, without touching any
// window (runtime shutdown, tests).
//
// Invariants of the slot table:
//  1. A slot is free exactly when its window is platform::kNoWindow; a used slot's list view has
//     the id kFirstListView + slot.
//  2. A slot's row count is its list view's row count as last seen by ListViewSetCell; its column
//     count is the number of columns ListViewSetColumns gave it.
#pragma once

#include <cstdint>

#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

inline constexpr int kListViewSlots = 4;
inline constexpr int kNoListViewSlot = -1;   // ListViewCreate when every slot is in use
inline constexpr int kAllListViewSlots = -1; // ListViewDestroy: every slot
inline constexpr platform::ControlId kFirstListView = 3200; // slot s is 3200 + s
inline constexpr std::uint16_t kListViewNone = 0xFFFF;
// What the room for columns loses to the frame and a vertical scroll bar.
inline constexpr int kListViewColumnSlack = 22;
// The list views' colours: black on 0xFFE0E0 (a Win32 colour reference).
inline constexpr std::uint32_t kListViewBackground = 0xFFE0E0;

struct ListViewSlot {
    platform::WindowId window = platform::kNoWindow;
    std::uint16_t rows = 0;
    std::uint16_t columns = 0;
    std::uint16_t y = 0;
    std::uint16_t x = 0;
};

// Creates a list view in the lowest free slot (id 3200 + slot, hidden until filled); answers the
// slot, or kNoListViewSlot when all four are in use or the control cannot be made.
int ListViewCreate(platform::WindowId parent, int x, int y, int width, int height);
// Destroys the slot's list view and frees the slot: 0, or kListViewNone when the slot was empty,
// out of range, or its control could not be destroyed (the slot is freed all the same when its
// window is gone). kAllListViewSlots destroys slots 0 to 3 in turn (0 when all were freed).
std::uint16_t ListViewDestroy(int slot);
// The slot whose list view is control `id` of the window, searching from slot 3 down; kListViewNone
// when none.
std::uint16_t ListViewSlotOf(platform::WindowId window, platform::ControlId id);
// The slot's record (a copy); a free slot for one out of range.
ListViewSlot ListViewSlotInfo(int slot);
// One column per item of the comma list (replacing any set before), widths shared out by the
// titles' lengths: unit = (client width - 22) / (letters of all titles), to the nearest pixel;
// column i is its title's length in units wide, column 0 two pixels more. Letter i of formats is
// column i's format letter (the last letter stands for the rest; none: "A"): one of
// "NL123456789" aligns the column right. Then shows the list view. 0, kData for a free slot,
// kWindowsControl when the control refuses the columns.
StatusCode ListViewSetColumns(int slot, TextRef titles, TextRef formats = TextRef());
// Sets a cell, first appending empty rows until the row exists; then shows the list view.
// 0, kData for a free slot, kWindowsControl when the control refuses.
StatusCode ListViewSetCell(int slot, std::uint16_t row, std::uint16_t column, TextRef text);
// The selected row (0-based), kListViewNone when none.
std::uint16_t ListViewSelectedRow(int slot);
// Forgets every slot and the shown picture (the controls are left to their windows).
void ListViewsReset();

// A popup menu's position source: x in the high 16 bits, y in the low 16 bits, screen pixels.
using PopupPositionSource = std::uint32_t (*)();
inline constexpr platform::CommandId kFirstPopupCommand = 1700;

// Shows a popup menu of the comma list's items at the position source's point (the mouse pointer
// when none), its bottom edge there; answers the chosen item's number (1-based), 0 when the menu
// was dismissed or could not be shown. Without an owner a temporary window owns the menu.
std::uint16_t PopupMenuChoose(platform::WindowId owner, TextRef items,
                              PopupPositionSource position);

// The program's picture shown in an idle dialog (the Qt face's ":/images/102.png").
inline constexpr char kIdlePictureName[] = "102";
// The id of the control that shows the idle picture.
inline constexpr platform::ControlId kIdlePictureId = 0xFFFE;

// Puts the idle picture in a control at (3, 3) sized to the dialog's client area less 6 pixels.
// While a picture control shown earlier still exists, the new control stays empty (one picture
// at a time). 0; kData when the control or the picture cannot be made.
StatusCode ShowBackgroundImage(platform::WindowId dialog);

} // namespace vodarir
