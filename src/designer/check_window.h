// The designer's application check: the check of the application whose definitions are open (the
// current folder, where the open dialogs leave it) shown in a list window, one problem a row, and
// the definition of the problem chosen opened at its place: the structure file at the data file
// and field, the screen file at the screen and field, the script or document at its line.
//
// The rows shown and the place a problem opens at are plain values worked out here; the window
// only shows them and answers the row chosen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "designer/app_check.h"
#include "designer/editor_kinds.h"
#include "platform/ui.h"

namespace vodarir {

inline constexpr char kCheckWindowName[] = "AppCheck";
namespace checkctl {
inline constexpr platform::ControlId kList = 1100;
inline constexpr platform::ControlId kSummary = 1101;
} // namespace checkctl

// The texts of a row: severity, file, place, problem.
inline constexpr int kCheckColumns = 4;
struct CheckRow {
    std::string cells[kCheckColumns];
};
std::vector<CheckRow> CheckRows(const CheckReport& report);
// The line under the list: the counts of errors and warnings, or that there are none.
std::string CheckSummary(const CheckReport& report);

// What choosing a problem opens.
enum class OpenKind : std::uint8_t {
    Nothing,       // the folder as a whole: there is no definition to open
    Structure,     // a structure file, at file `number`, field `item`
    Screen,        // a screen file, at screen `number`, field `item` (or row `row`)
    Document,      // a document, at row `number`
    Script,        // a script, at line `number`
    SelectionList, // a selection list
};
struct OpenPlan {
    OpenKind kind = OpenKind::Nothing;
    std::string file; // relative to the folder: the file the editor opens
    std::uint16_t number = 0;
    std::uint16_t item = 0;
    std::uint16_t row = 0;
    friend bool operator==(const OpenPlan&, const OpenPlan&) = default;
};
OpenPlan PlanProblemOpen(const CheckProblem& problem);
// The byte offset where line `line` (from 1) of the text starts (CR LF, LF or CR end a line);
// the text's length when it has fewer lines.
std::size_t LineStart(std::string_view text, std::uint16_t line);

// Shows the report over `owner`; the problem chosen (Open, Enter or a double click on its row), or
// nullopt when the window was closed.
std::optional<std::size_t> RunCheckWindow(platform::WindowId owner, std::string_view folder,
                                          const CheckReport& report);
// Opens the definition of the plan in the main dialog at its place; false when it could not be
// opened (what stopped it was said).
bool OpenAtPlace(platform::WindowId dialog, const std::string& folder, const OpenPlan& plan);
// The menu command: checks the current folder, shows the problems, opens the one chosen.
void CheckApplicationCommand(platform::WindowId dialog);

} // namespace vodarir
