// The application folder (the folder chooser, config.txt's folder, the set-up of the definitions,
// help and backups folders) and the application selector: the AppSelect dialog over a selection
// list (ZAA), one line per application with its identifier, name, menu file and data folder.
//
// The dialog takes a plain value in (AppSelection) and hands one out; reading the list, the field
// rules of writing it, and choosing where it goes live here, outside the window.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// ---- The application folder -------------------------------------------------------------------

inline constexpr char kChooseFolderTitle[] = "Please choose a folder.";
inline constexpr char kConfigFileName[] = "config.txt";

// The folder browser starting at `start`; the chosen folder, or the empty text when cancelled.
TextRef ChooseFolder(platform::WindowId owner, TextRef start);

// The folder remembered in config.txt of the current folder: its whole content less the line ends
// an editor may have added at its end; the empty text when there is no such file (the first
// start) or it cannot be read. On the ScratchStack.
TextRef RememberedFolder();
// Makes folder the whole content of config.txt of the current folder. The old file stays as it was
// until the new one is complete; a failure is answered (and recorded with the path).
StatusCode RememberFolder(TextRef folder);

// Set-up modes: the low two bits choose where the definitions folder is, bit 8 creates the
// backups folder. The designer passes kDesignerFolders (13: the program's folder, backups).
namespace foldermode {
inline constexpr int kProgramFolder = 1; // only empty slots are filled
inline constexpr int kAppsFolder = 2;    // "..\APPS" from the current directory, replacing
inline constexpr int kBaseMask = 3;
inline constexpr int kCreateBackups = 8;
inline constexpr int kDesignerFolders = 13;
} // namespace foldermode
// Stores the definitions folder in environment slot 0.5 and the help folder in slot 0.7; with
// kCreateBackups makes the backups folder. 163 for any other mode.
StatusCode SetupAppFolders(int mode);

// ---- The selection list -----------------------------------------------------------------------

// The four columns of the dialog, each a text with one line per application, lines separated by
// CR LF.
struct AppSelection {
    std::string ids;
    std::string names;
    std::string menus;
    std::string folders;
    friend bool operator==(const AppSelection&, const AppSelection&) = default;
};

// The dialog's value from the list file's lines: fields 1 to 4 of each line into the columns.
AppSelection AppSelectionFromLines(const std::vector<std::string>& lines);
// The list file from the dialog's value: one line per non-empty identifier, "id,name", and
// ",menu,folder" when either of those is not empty; items are matched by position.
// `loaded` are the lines the list was read from. A row whose four fields are still those of one of
// them is written back as that line, exactly (a comment, a line of only an identifier, fields
// beyond the fourth); a changed row keeps the fields beyond the fourth of the loaded line with its
// identifier. Only rows that are no loaded line are written by the rules above.
std::string AppListFromSelection(const AppSelection& value,
                                 const std::vector<std::string>& loaded = {});
// A field of a written row that would not read back as typed: its column (0 identifier .. 3 data
// folder), its line, from 1, and why.
enum class AppListFault {
    kSplitsField, // a comma splits it, a quote joins it with the next
    kSplitsLine,  // a line break (a lone CR or LF, which a paste can bring) cuts the line in two
};
struct AppListProblem {
    int column = 0;
    std::size_t line = 0;
    AppListFault fault = AppListFault::kSplitsField;
    friend bool operator==(const AppListProblem&, const AppListProblem&) = default;
};
std::optional<AppListProblem> FindAppListProblem(const AppSelection& value,
                                                 const std::vector<std::string>& loaded = {});
// The label of a column (0..3): "App ID", "App Denomination", "Menu File", "Data Folder".
std::string_view AppColumnLabel(int column);
// The lines of a list file (plain lines: CR LF, CR or LF end one); nullopt when it cannot be read,
// with the reason in *status when given (136 when it opened but failed part way through).
std::optional<std::vector<std::string>> ReadAppList(TextRef path, StatusCode* status = nullptr);

// Controls of the AppSelect dialog.
namespace appselectctl {
inline constexpr platform::ControlId kIds = 1018;
inline constexpr platform::ControlId kNames = 1019;
inline constexpr platform::ControlId kMenus = 1020;
inline constexpr platform::ControlId kFolders = 1021;
} // namespace appselectctl
inline constexpr char kAppSelectWindowName[] = "AppSelect";

// Shows the AppSelect dialog over `owner` with the value and the caption; the value as the user
// left it when OK was pressed, nullopt when cancelled or closed. OK with a field that would not
// read back (FindAppListProblem against `loaded`) says which and keeps the dialog open.
std::optional<AppSelection> RunAppSelect(platform::WindowId owner, const AppSelection& value,
                                         std::string_view caption,
                                         const std::vector<std::string>& loaded = {});

// ---- The AppSelection commands ------------------------------------------------------------------

// View: the list named in designer slot 9 (nothing shown when it cannot be read; a read that fails
// part way is reported), or an empty one.
void AppSelectView(platform::WindowId dialog);
// New: forgets slot 9 and shows an empty list.
void AppSelectNew(platform::WindowId dialog);
// Open: the list chosen in the open dialog (its base path into slot 9).
void AppSelectOpen(platform::WindowId dialog);
// The caption of the dialog (message 1010), on the ScratchStack.
TextRef AppSelectCaption();

} // namespace vodarir
