// The file-structure editor (kind 1): the data files and their fields in two list views of the
// main dialog, the dialogs and popup menus that add, insert, rename, change and delete them, the
// keys a desktop list answers to, undo and redo, and the writer of the structure file.
//
// State: one process-wide editor record holds the structure file being edited (StructureFile),
// the undo and redo snapshots and the current data file; the dictionary model is rebuilt from the
// structure file after every change. Everything runs on the user-interface thread inside one
// command of the main dialog.
#pragma once

#include "designer/editor_kinds.h"
#include "designer/structure_file.h"
#include "platform/ui.h"

namespace vodarir {

// Geometry of the two lists, in client pixels.
namespace structurelists {
inline constexpr int kFilesX = 20;
inline constexpr int kTop = 30;
inline constexpr int kFilesWidth = 150;
inline constexpr int kRowHeight = 16; // the file list is this many pixels high per file
inline constexpr int kMinFilesHeight = 100;
inline constexpr int kMaxFilesHeight = 300;
inline constexpr int kFieldsX = 200;
inline constexpr int kRightGap = 20;
inline constexpr int kBottomGap = 30;
} // namespace structurelists
// The last row of each list: the place to add a file or a field.
inline constexpr char kAddRowText[] = "       +      ";
// How many changes undo reaches back.
inline constexpr std::size_t kMaxStructureUndoSteps = 100;

// The lists: mode 0 the file list (3200), mode 1 the fields list of the current file (3201).
enum class ListMode : std::uint8_t { Files = 0, Fields = 1 };
StatusCode FillLists(platform::WindowId dialog, ListMode mode);

// The actions the kinds' table gives kind 1.
KindEditorHooks StructureEditorActions();

// The structure file being edited (tests and benchmarks look at it).
const StructureFile& EditedStructure();
// Undo and redo of the editor's changes; false when there was nothing to undo or redo.
bool UndoStructureChange(platform::WindowId dialog);
bool RedoStructureChange(platform::WindowId dialog);
// Makes data file `file` (from 1) current in the lists shown, with its field `field` selected
// (0: the file selected). False when the structure layout is not shown or has no such file.
bool ShowStructurePlace(platform::WindowId dialog, std::uint16_t file, std::uint16_t field);
// Forgets the edited structure and its history (a new dialog).
void StructureEditorReset();

} // namespace vodarir
