// The editor dispatcher: OpenEditor switches the main dialog to a kind of definition and opens,
// creates or views it; BuildLayout makes that kind's controls; SaveDefinition asks, chooses the
// target and backs up what it replaces; ChooseDefinitionFile is the open and save file dialog.
//
// Every function here runs inside one command of the main dialog, on the user-interface thread.
// Texts answered are placed on the ScratchStack (caller's level discipline).
//
// What differs from kind to kind is a row of the kinds' table (editor_kinds.h); the steps here
// read it and name no kind of their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "designer/designer_state.h"
#include "designer/editor_kinds.h"
#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// OpenEditor step flags.
namespace stepflag {
inline constexpr std::uint16_t kLayout = 0x01;
inline constexpr std::uint16_t kStoreName = 0x02;
inline constexpr std::uint16_t kWorkBase = 0x04;
inline constexpr std::uint16_t kNewStructure = 0x08;
inline constexpr std::uint16_t kNewScreen = 0x10;
inline constexpr std::uint16_t kNewDocument = 0x20;
inline constexpr std::uint16_t kNewScript = 0x40;
inline constexpr std::uint16_t kLoad = 0x80;
} // namespace stepflag

// Controls of the main dialog that the message map refers to.
namespace designerctl {
inline constexpr platform::ControlId kFirstScreenButton = 1500;
inline constexpr platform::ControlId kLastScreenButton = 1503;
inline constexpr platform::ControlId kLastScreenCommand = 1699;
inline constexpr platform::ControlId kEdit = 2500;
inline constexpr platform::ControlId kScreenStatus = 2501; // the screen layout's status line
inline constexpr platform::ControlId kFileList = 3200;
inline constexpr platform::ControlId kFieldList = 3201;
} // namespace designerctl

// Geometry of the screen layout's button row.
inline constexpr int kScreenButtonWidth = 150;
inline constexpr int kScreenButtonHeight = 20;
inline constexpr int kScreenEditTop = 25;
inline constexpr int kScreenStatusHeight = 22;

// The longest text edit 2500 holds: one limit for loading, editing and saving.
inline constexpr std::size_t kMaxEditorText = kMaxTextLength;
// The longest window title.
inline constexpr std::uint16_t kMaxTitleLength = 384;

// Runs the dispatcher's steps; answers the StatusCode it showed (0 when none).
StatusCode OpenEditor(platform::WindowId dialog, EditorKind kind, std::uint16_t flags,
                      TextRef name);
// Rebuilds the dialog's controls for the current kind (when it differs from the built one, or
// always for file structures). The old layout's text is kept first; a text that cannot be kept
// leaves the old layout in place and answers its status.
StatusCode BuildLayout(platform::WindowId dialog);
// The caption of the current kind (message 1001), on the ScratchStack.
TextRef EditorTitle();
// Drive, folder and name of a path, without its extension.
TextRef BasePath(TextRef path);

// The open (save false) or save file dialog of a dialog type (with AppPrefix: the application's
// prefix in the name; with RestoreFolder: the current directory is put back). Answers the chosen
// path, or the empty text when cancelled. A chosen file's folder becomes the current directory,
// so relative names (the backups folder, dictionary prefixes) resolve beside it.
TextRef ChooseDefinitionFile(platform::WindowId owner, bool save, DialogType type,
                             DialogFlags flags = DialogFlags::None);

// The base path a save of the current kind writes to, or the empty text when nothing is to be
// written (the user declined, cancelled, or the backup failed and was reported).
TextRef SaveDefinition(platform::WindowId owner, SlotIndex slot, bool askName, DialogType type,
                       bool (*confirmTarget)(TextRef basePath) = nullptr);
// Copies the file into the backups folder under name.<unique>.ext, whole, in blocks; creates the
// backups folder when it is missing. 0 when the file does not exist.
StatusCode BackupFile(TextRef path);
// Shows a status that stopped a save in a warning box (message 0012 as its caption).
void ShowWarning(StatusCode st);
// When the file is read-only (FileReadOnly), says so in a warning box naming it and answers true:
// the save is refused before anything is backed up or written.
bool RefuseReadOnly(TextRef path);
// The Save (askName false) and Save as commands of a kind.
void SaveCommand(platform::WindowId dialog, EditorKind kind, bool askName);

// Makes the screen editor's work base (designer slot 4) in the temporary folder: a unique name,
// ".", and the name part of `name` (message 1006 "New" when it is empty).
StatusCode MakeWorkBase(TextRef name);
// Deletes the screen editor's two work files (the work base with PAN and PPN), when there is one.
void DeleteWorkFiles();

// The text of edit 2500, when the dialog has it; longer than kMaxEditorText is possible (the
// caller refuses it).
std::optional<std::string> EditorText(platform::WindowId dialog);

} // namespace vodarir
