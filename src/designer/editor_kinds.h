// The kinds of definition as one table: one row per kind says where its name is kept, which file
// dialog and extensions it uses, which steps open and start it, which layout shows it, and what
// the dispatcher, the save step and the main dialog do for it. Adding a kind is adding a row.
//
// Rows are process-wide and live as long as the program. The actions of the kinds whose editors
// can be put in by the program (screens) are installed with InstallKindEditor; until then those
// actions are null and the kind's menu items stay disabled. The report commands are built in:
// installed actions that bring none keep them, as they keep the load and new steps.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "designer/designer_state.h"
#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The open and save file dialog's types. The numbers are the program's own; only
// DialogTypeFromNumber takes one.
enum class DialogType : std::uint8_t {
    None = 0, // no filter of its own, "*" as the initial name
    Structure = 1,
    Screen = 2,
    Document = 3,
    Script = 4,
    AppList = 5,
    Menu = 6,
    Pdf = 7,
    Text = 8,
    StructureAny = 10,
};
namespace dialogtype {
inline constexpr DialogType kStructure = DialogType::Structure;
inline constexpr DialogType kScreen = DialogType::Screen;
inline constexpr DialogType kDocument = DialogType::Document;
inline constexpr DialogType kScript = DialogType::Script;
inline constexpr DialogType kAppList = DialogType::AppList;
inline constexpr DialogType kMenu = DialogType::Menu;
inline constexpr DialogType kPdf = DialogType::Pdf;
inline constexpr DialogType kText = DialogType::Text;
inline constexpr DialogType kStructureAny = DialogType::StructureAny;
} // namespace dialogtype

// How the file dialog is offered besides its type (bits, combined with |).
enum class DialogFlags : std::uint8_t {
    None = 0,
    AppPrefix = 0x40,     // the application's prefix in the initial name
    RestoreFolder = 0x80, // the current directory is put back afterwards
};
constexpr DialogFlags operator|(DialogFlags a, DialogFlags b) {
    return static_cast<DialogFlags>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool HasFlag(DialogFlags set, DialogFlags flag) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(flag)) != 0;
}

// A dialog's number as the program stored it: the type in the low six bits, the flags above.
struct DialogRequest {
    DialogType type = DialogType::None;
    DialogFlags flags = DialogFlags::None;
};
DialogRequest DialogTypeFromNumber(unsigned number);

// What the main dialog shows while a kind is the built one.
enum class Layout : std::uint8_t {
    Idle,       // the idle picture
    Lists,      // lists the kind builds itself once shown; rebuilt on every call
    ScreenEdit, // the screen buttons over edit 2500, its text kept in designer slot 3
    TextEdit,   // edit 2500 over the whole client area, its text parked while another is shown
};

// What a kind's new step did.
enum class NewResult : std::uint8_t {
    Done,       // the definition was started anew
    Kept,       // the user kept the definition (0018 answered No)
    EndCommand, // nothing else of the command happens
};

// The actions of a kind. Null members do nothing.
struct KindEditorHooks {
    // The load step of flag 0x80, with the name as the command gave it.
    StatusCode (*load)(platform::WindowId dialog, TextRef name) = nullptr;
    // After a load went through and the definition is shown.
    void (*loaded)() = nullptr;
    // After the title (file structures: fill the lists).
    StatusCode (*shown)(platform::WindowId dialog) = nullptr;
    // After a file named on the command line was opened as this kind.
    void (*openedAtStart)(platform::WindowId dialog) = nullptr;
    // The kind's new step; answer carries the discard question's answer from step to step.
    NewResult (*startNew)(platform::WindowId dialog, Discard* answer, StatusCode* status) = nullptr;
    // The new-screen step's emptying of the field table.
    void (*reset)() = nullptr;
    // Before a save: false stops it (the user declined).
    bool (*beforeSave)() = nullptr;
    // Once the target of a save is known, before its backups: false stops the save (the user
    // declined what saving there would do).
    bool (*confirmTarget)(TextRef basePath) = nullptr;
    // The kind's writer, after SaveDefinition answered the target base path.
    StatusCode (*write)(platform::WindowId dialog, TextRef basePath) = nullptr;
    // After a save went through.
    void (*saved)() = nullptr;
    // Edit-change of edit 2500, commands 1500..1699, list-view notifications and keys in its
    // layout.
    void (*textChanged)(platform::WindowId dialog) = nullptr;
    void (*command)(platform::WindowId dialog, platform::ControlId id) = nullptr;
    void (*listNotify)(platform::WindowId dialog, platform::ControlId id, int code,
                       int row) = nullptr;
    bool (*key)(platform::WindowId dialog, platform::ControlId id, platform::VirtualKey key,
                platform::Modifiers mods) = nullptr;
    // The user moved the caret or the selection of edit 2500 in its layout.
    void (*caretMoved)(platform::WindowId dialog) = nullptr;
    // The kind's report command (File > Report, Screen > Report).
    void (*report)(platform::WindowId dialog) = nullptr;
};

struct EditorKindRow {
    EditorKind kind;
    SlotIndex slot;          // designer slot of its base path
    DialogType dialog;       // its open and save dialog
    std::uint16_t openStep;  // the OpenEditor flag that starts it anew (0: none)
    std::uint16_t newSteps;  // the flags of its New command
    std::uint16_t openSteps; // the flags of its Open command
    // Its files (ExtensionTable numbers): those a save replaces, backed up first; those a
    // command-line file may have to open as this kind.
    std::array<std::uint16_t, 2> savedExtensions;
    std::array<std::uint16_t, 2> openedExtensions;
    Layout layout;
    bool showBeforeSave; // its Save shows the kind's layout first (the text is in edit 2500)
    bool installable;    // its actions come from InstallKindEditor
    KindEditorHooks actions;
};

// Every kind's row, in kind order (kNone not among them).
std::span<const EditorKindRow> EditorKinds();
// The row of a kind; null for kNone and for any value that names no kind.
const EditorKindRow* KindRow(EditorKind kind);
// The kind whose command-line file has this extension; kNone when none.
EditorKind KindOfExtension(std::uint16_t extension);

// Installs (or, with empty hooks, removes) the actions of an installable kind; others are left.
void InstallKindEditor(EditorKind kind, const KindEditorHooks& hooks);
// The actions of a kind (empty ones for kNone).
const KindEditorHooks& KindEditor(EditorKind kind);
// Whether the kind can be edited in this program (documents, scripts and selection lists always;
// an installable kind once its writer and its load or its lists are there).
bool KindAvailable(EditorKind kind);

} // namespace vodarir
