// The main dialog's menu.
#include "designer/main_menu.h"

#include <array>
#include <string_view>

#include "designer/editor_dispatch.h"

namespace vodarir {

namespace {

using namespace menucmd;
using namespace editorkind;

constexpr std::array<MainMenuItem, 29> kMainMenuItems = {{
    {"&File", "&View", kFileView, kFileStructure, false},
    {"&File", "&New", kFileNew, kFileStructure, false},
    {"&File", "&Open", kFileOpen, kFileStructure, false},
    {"&File", "&Report", kFileReport, kFileStructure, true},
    {"&File", "&Save", kFileSave, kFileStructure, false},
    {"&File", "Save &as", kFileSaveAs, kFileStructure, false},
    {"&Screen", "&View", kScreenView, kScreen, false},
    {"&Screen", "&New", kScreenNew, kScreen, false},
    {"&Screen", "&Open", kScreenOpen, kScreen, false},
    {"&Screen", "&Report", kScreenReport, kScreen, true},
    {"&Screen", "&Save", kScreenSave, kScreen, false},
    {"&Screen", "Save &as", kScreenSaveAs, kScreen, false},
    {"&Screen", "&Preview", kScreenPreview, kScreen, false},
    {"&Documents", "&View", kDocumentView, kDocument, false},
    {"&Documents", "&New", kDocumentNew, kDocument, false},
    {"&Documents", "&Open", kDocumentOpen, kDocument, false},
    {"&Documents", "&Save", kDocumentSave, kDocument, false},
    {"&Documents", "Save &as", kDocumentSaveAs, kDocument, false},
    {"S&cripts", "&View", kScriptView, kScript, false},
    {"S&cripts", "&New", kScriptNew, kScript, false},
    {"S&cripts", "&Open", kScriptOpen, kScript, false},
    {"S&cripts", "&Save", kScriptSave, kScript, false},
    {"S&cripts", "Save &as", kScriptSaveAs, kScript, false},
    {"&AppSelection", "&View", kAppSelectView, kAppSelection, false},
    {"&AppSelection", "&New", kAppSelectNew, kAppSelection, false},
    {"&AppSelection", "&Open", kAppSelectOpen, kAppSelection, false},
    {"&AppSelection", "&Check application", kCheckApplication, kNone, false},
    {"&Help", "&Help", kHelp, kNone, false},
    {"&Help", "&About", kAbout, kNone, false},
}};

} // namespace

bool MenuItemEnabled(const MainMenuItem& item) {
    if (item.kind == kNone) return true;
    // A report describes what is loaded, whichever editor loaded it: it needs only its command.
    if (item.report) return KindEditor(item.kind).report != nullptr;
    return KindAvailable(item.kind);
}

std::span<const MainMenuItem> MainMenuItems() { return kMainMenuItems; }

platform::Menu BuildMainMenu() {
    platform::Menu bar;
    for (const MainMenuItem& item : kMainMenuItems) {
        if (bar.empty() || bar.back().text != std::string_view(item.popup)) {
            bar.push_back(platform::MenuPopup(item.popup, {}));
        }
        bar.back().items.push_back(
            platform::MenuCommand(item.text, item.command, MenuItemEnabled(item)));
    }
    return bar;
}

} // namespace vodarir
