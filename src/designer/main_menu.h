// The main dialog's menu: every menu, item and command id, as data.
#pragma once

#include <span>

#include "designer/designer_state.h"
#include "platform/ui.h"

namespace vodarir {

// Command ids of the main menu.
namespace menucmd {
inline constexpr platform::CommandId kFileView = 32772;
inline constexpr platform::CommandId kFileNew = 57600;
inline constexpr platform::CommandId kFileOpen = 57601;
inline constexpr platform::CommandId kFileReport = 32774;
inline constexpr platform::CommandId kFileSave = 57603;
inline constexpr platform::CommandId kFileSaveAs = 32789;
inline constexpr platform::CommandId kScreenView = 32779;
inline constexpr platform::CommandId kScreenNew = 32776;
inline constexpr platform::CommandId kScreenOpen = 32777;
inline constexpr platform::CommandId kScreenReport = 32780;
inline constexpr platform::CommandId kScreenSave = 32778;
inline constexpr platform::CommandId kScreenSaveAs = 32790;
inline constexpr platform::CommandId kScreenPreview = 32805;
inline constexpr platform::CommandId kDocumentView = 32781;
inline constexpr platform::CommandId kDocumentNew = 32783;
inline constexpr platform::CommandId kDocumentOpen = 32782;
inline constexpr platform::CommandId kDocumentSave = 32784;
inline constexpr platform::CommandId kDocumentSaveAs = 32791;
inline constexpr platform::CommandId kScriptView = 32785;
inline constexpr platform::CommandId kScriptNew = 32786;
inline constexpr platform::CommandId kScriptOpen = 32787;
inline constexpr platform::CommandId kScriptSave = 32788;
inline constexpr platform::CommandId kScriptSaveAs = 32792;
inline constexpr platform::CommandId kAppSelectView = 32798;
inline constexpr platform::CommandId kAppSelectNew = 32794;
inline constexpr platform::CommandId kAppSelectOpen = 32795;
inline constexpr platform::CommandId kCheckApplication = 32801;
inline constexpr platform::CommandId kHelp = 32799;
inline constexpr platform::CommandId kAbout = 32800;
} // namespace menucmd

// One item of the main menu: the popup it is in, its text, its command, and the kind of definition
// it works on (0: none), whose availability enables it.
struct MainMenuItem {
    const char* popup;
    const char* text;
    platform::CommandId command;
    EditorKind kind;
    bool report; // a report command: enabled only when the kind offers reports
};
std::span<const MainMenuItem> MainMenuItems();
// Whether the program can carry the item out now: always for items of no kind; for a report,
// once the kind offers one (it reports on what is loaded, whichever editor loaded it); for a
// kind's other items, once the kind is available.
bool MenuItemEnabled(const MainMenuItem& item);

// The menu bar of the main menu, each item enabled when the program can carry it out.
platform::Menu BuildMainMenu();

} // namespace vodarir
