// Prompt dialogs: a window that asks for the items of a prompt specification (one label and one
// edit per item), fills them with their defaults, and hands back the answers; and the button bars
// of record windows.
//
// A prompt is a runtime screen of its own in a window of the kind "Dialog", laid out on the
// character grid with a margin of two columns, one row above (where its buttons stand) and two
// rows below. Its keys are those of every screen window: Enter and Tab move on, Shift+Tab back;
// Enter in the last field, or the accept button, accepts; Esc, the cancel button or the close
// button cancel.
//
// Ownership: RunPrompt takes a plain value in and hands one out; the window, its screen and the
// geometry it changed are gone again when it returns. The answers stay in SlotStore 9.7 (see
// script/prompt_spec.h) until a dialog with another specification is accepted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

namespace promptflag {
// The answer of every item is assigned to its target (an assignment name always is).
inline constexpr std::uint16_t kAssign = 1;
// A limit dialog: each non-empty answer adds a comparison of its target to the condition kept in
// SlotStore 9.1 (the comparison chosen by the label's window option CMP=n, n a word of message
// 0080: 1 greater, 2 less, 3 equal, 4 from, 5 to, 6 different; equal when not given).
inline constexpr std::uint16_t kLimits = 2;
// Opened under the control that has the focus in the window on top.
inline constexpr std::uint16_t kUnderFocus = 0x40;
} // namespace promptflag

struct PromptResult {
    StatusCode status = 0;        // 0 accepted, 122 cancelled, else why no dialog could run
    std::uint16_t closingKey = 0; // _LASTKEY when the dialog closed
    std::string answers;          // the comma list of answers in item order, each quoted
};

// The longest a prompt's edit is drawn, in cells (its text may be longer and scrolls).
inline constexpr std::uint16_t kMaxPromptDisplay = 40;
// The longest label shown, in cells.
inline constexpr std::uint16_t kMaxPromptLabel = 60;
// The texts of the two buttons of a prompt.
inline constexpr char kAcceptLabel[] = "Aceptar";
inline constexpr char kCancelMessage[] = "0020"; // "Cancelar"

// Shows the dialog and waits until it closes. A malformed specification (quotes that do not
// close, an item without a type and width, more than 80 items) gives kData without a window; a
// label or default whose evaluation fails gives that status; an item without a target at
// acceptance gives kData and an assignment that fails its status, the dialog staying open.
PromptResult RunPrompt(TextRef spec, TextRef title, std::uint16_t flags);

// Fills field k of the current screen with the default of item k (part 4 evaluated, or the
// previous answer k when it is empty), for every field, stopping at the first default whose
// evaluation fails with its status; the fields before it keep their values.
StatusCode PromptDefaults(TextRef spec);

// Button bars of record windows.
enum class ButtonWidth : std::uint16_t {
    PerShown = 0, // the window's width divided by the buttons shown
    PerCode = 1,  // divided by the codes given
    Fixed = 2,    // kFixedButtonSlot pixels
    FixedAlt = 3,
};
inline constexpr int kFixedButtonSlot = 60;
inline constexpr int kButtonBarTop = 2;
inline constexpr std::uint16_t kButtonsStacked = 0x30; // both bits: one below the other

// One button of a bar.
struct BarButton {
    platform::ControlId id = platform::kNoControl;
    platform::Rect rect;
};
// Where the buttons of a bar stand in a client area `clientWidth` wide: count of them shown out
// of `codes` given, each two pixels narrower than its slot, at y = kButtonBarTop; from x = 2 when
// flags are 0, else centred; stacked when both kButtonsStacked bits are set.
std::vector<platform::Rect> ButtonBarLayout(std::uint16_t shown, std::uint16_t codes,
                                            ButtonWidth width, std::uint16_t flags,
                                            int clientWidth);
// A bar in the window from a comma list of action codes ("NEW,SVE,DEL"), a parallel list of
// labels, and optionally the positions (1-based, comma list) of the codes to show; the button of
// an action is control 3000 + its action number. 163 for a code that is no action (nothing is
// made), 179 when a button cannot be made.
StatusCode MakeButtonBar(platform::WindowId window, TextRef codes, TextRef labels,
                         TextRef positions, ButtonWidth width, std::uint16_t flags);

} // namespace vodarir
