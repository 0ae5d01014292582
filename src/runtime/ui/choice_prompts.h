// Choice prompts and the runtime's dynamic controls: ChooseItem (a column of buttons or a list
// box built from a comma list), the button helpers of choice windows, and the makers and readers
// of buttons, edits, list boxes and the status row.
//
// Controls are addressed as the seam addresses them: a window and a control id. Texts answered
// (ControlText, DialogItemText) are placed on the ScratchStack (caller's level discipline).
#pragma once

#include <cstdint>

#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"
#include "runtime/ui/key_codes.h"

namespace vodarir {

// ---- Control ids ------------------------------------------------------------------------------

inline constexpr platform::ControlId kFirstChoiceButton = 1500; // button k is 1499 + k
inline constexpr platform::ControlId kLastChoiceButton = 1699;
inline constexpr platform::ControlId kFirstListBox = 3350; // list box n is 3350 + n
inline constexpr platform::ControlId kLastListBox = 3499;
inline constexpr platform::ControlId kStatusEditLeft = 1480;
inline constexpr platform::ControlId kStatusEditRight = 1481;
inline constexpr platform::ControlId kStatusLabel = 3101;

// ---- ChooseItem -------------------------------------------------------------------------------

namespace chooseflag {
inline constexpr int kOwnWindow = 1; // a window of its own; otherwise inside the top window
inline constexpr int kListBox = 2;   // a list box instead of buttons
} // namespace chooseflag

// ChooseItem's answer for an empty title or a list without items (nothing is shown).
inline constexpr std::uint16_t kChoiceRefused = 0xFFFF;
// The choice window's class name.
inline constexpr char kChoiceWindowName[] = "ChoiceWindow";

// Offers the items of the comma list (each shown without its quotes) and answers the number of
// the one chosen (1-based), 0 when cancelled (Esc, the close button), kChoiceRefused for an empty
// title or list, or when the prompt cannot be built. The answer is also left in integer
// variable 10 (_STAT) for the runtime's scripts. Buttons flow into more columns when one column
// would not fit the screen. Without kOwnWindow the buttons go into the top runtime window and
// are removed afterwards; with no runtime window on top, the prompt opens a window of its own.
std::uint16_t ChooseItem(TextRef title, TextRef items, int flags);

// ---- Buttons of a choice window ---------------------------------------------------------------

// The number of consecutive choice buttons from kFirstChoiceButton that exist.
std::uint16_t ButtonCount(platform::WindowId window);
// The number (1-based) of the first choice button that has the focus, or 0.
std::uint16_t ButtonFocused(platform::WindowId window);
// Moves the focus among the choice buttons: runkey::kUp to the previous one (from the first to
// the last), runkey::kDown to the next (from the last to the first); with none focused, Down
// focuses the first and Up the last. Other keys do nothing.
void ButtonStep(std::uint16_t key, platform::WindowId window);

// ---- Dynamic controls ---------------------------------------------------------------------------

// A list box with id kFirstListBox + n, filled with the items of the comma list, each unquoted.
// Answers its id, or platform::kNoControl when it cannot be made (nothing is left behind).
platform::ControlId MakeListBox(platform::WindowId parent, int x, int y, int width, int height,
                                int n, TextRef items);
// A push button with a client edge; answers id or platform::kNoControl.
platform::ControlId MakeButton(platform::WindowId parent, int x, int y, int width, int height,
                               platform::ControlId id);

namespace editflag {
inline constexpr int kMultiLine = 1; // multi-line with scroll bars
inline constexpr int kDisabled = 2;
inline constexpr int kSystemFont = 4; // keep the system font (else the runtime's font)
inline constexpr int kReadOnlyLook = 8;
} // namespace editflag

// An edit with a client edge; answers id or platform::kNoControl.
platform::ControlId MakeEdit(platform::WindowId parent, int x, int y, int width, int height,
                             platform::ControlId id, int flags);

// The control's text on the ScratchStack. The failed TextRef kData when there is no such control,
// kStringTooLong when the text is longer than maximum (or than any text can be): never a cut text.
TextRef ControlText(platform::WindowId window, platform::ControlId id, std::uint16_t maximum);
TextRef DialogItemText(platform::WindowId dialog, platform::ControlId id, std::uint16_t maximum);
// 0, or kWindowsControl when the control does not take the text.
StatusCode SetDialogItemText(platform::WindowId dialog, platform::ControlId id, TextRef text);
// The start of an edit's selection (0 when there is no such edit).
std::uint16_t EditSelection(platform::WindowId window, platform::ControlId id);
// Selects length bytes from start and shows them.
bool EditSelect(platform::WindowId window, platform::ControlId id, int start, int length);

namespace statusrow {
inline constexpr int kLabel = 0x10;     // label 3101, 60 units wide
inline constexpr int kLeftEdit = 0x20;  // edit 1480, 7 characters
inline constexpr int kRightEdit = 0x40; // edit 1481, the rest of the width
} // namespace statusrow

// A row at the bottom of the client area; the edits are read-only and disabled. 0, or
// kWindowsControl when a control cannot be made.
StatusCode StatusRow(platform::WindowId parent, int flags);

} // namespace vodarir
