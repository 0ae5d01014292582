// The screen designer editor: the screen drawn as text in edit 2500, a field placed by typing a
// bar and bound at once in CScrFields, the screen's and the fields' attribute forms, moving
// between the screens of the file, undo and redo that keep the field table with the text, the
// status line under the text, and the preview of the screen as the runtime shows it.
//
// The editor's state is the screen model of screen_files.h and, per screen, its undo history: a
// stack of earlier states (text, field table and caret) and one of undone states, emptied when
// another screen or file is loaded.
//
// Invariants (CheckScreenEditorInvariants):
//  1. The screen model holds its own invariants, and its text is designer slot 3.
//  2. Every state in the histories holds the model's invariants 1 and 2.
//  3. Neither history holds more than kMaxScreenUndoSteps states.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "designer/editor_kinds.h"
#include "platform/ui.h"

namespace vodarir {

// Controls of the screen layout besides the buttons and edit 2500.
namespace screenctl {
inline constexpr platform::ControlId kFieldAttributes = 1500;
inline constexpr platform::ControlId kScreenAttributes = 1501;
inline constexpr platform::ControlId kPreviousScreen = 1502;
inline constexpr platform::ControlId kNextScreen = 1503;
} // namespace screenctl

// How many changes can be undone on one screen.
inline constexpr std::size_t kMaxScreenUndoSteps = 200;

// The actions of the screen kind's row.
const KindEditorHooks& ScreenEditorActions();

// Screen > Preview: the current screen in a screen window as the runtime opens it, until Esc.
void ScreenPreview(platform::WindowId dialog);

// Ctrl+Z and Ctrl+Y of the screen layout (false when there was nothing to undo or redo).
bool ScreenUndo(platform::WindowId dialog);
bool ScreenRedo(platform::WindowId dialog);
std::size_t ScreenUndoDepth();
std::size_t ScreenRedoDepth();
// The text of the status line as it stands for the caret at `offset`.
std::string ScreenStatusText(std::size_t offset);

// Shows screen `screen` of the open screen file (the one shown is stored first, as moving
// between screens does) with field `field`'s bar selected, or the caret at the start of row `row`
// when field is 0. False when the screen layout is not shown or the file has no such screen.
bool ShowScreenPlace(platform::WindowId dialog, std::uint16_t screen, std::uint16_t field,
                     std::uint16_t row);
bool CheckScreenEditorInvariants(std::string* message);

} // namespace vodarir
