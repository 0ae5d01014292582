// The report commands: File > Report on the loaded dictionary and Screen > Report on the current
// screen of a screen file. Each asks the report type, builds the report, and then writes it to the
// temporary folder and shows it in a viewer, keeps it as the saved report, or compares it with the
// saved one. Every failure is shown once, in the error box; nothing is shown or kept of a report
// that could not be built or written whole.
//
// Both commands take a scratch scope of their own; the texts they are given are read at once.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The choices of File > Report, numbered as its list (message 1014) numbers them.
enum class StructureReportType : std::uint8_t {
    Text = 1,
    Html,
    Trans,
    SaveToCompare,
    CompareToSaved,
};
inline constexpr std::uint16_t kStructureReportTypes = 5;
// The choices of Screen > Report (message 1016).
enum class ScreenReportType : std::uint8_t {
    Text = 1,
    Html,
    SaveToCompare,
    CompareToSaved,
};
inline constexpr std::uint16_t kScreenReportTypes = 4;

// Messages of the commands: the list's title, the two lists, the question of the type column, and
// what is said when no program shows a written report.
inline constexpr char kReportTypeTitle[] = "1015 Report Type";
inline constexpr char kStructureReportChoices[] =
    "1014 Text Format,Html Format,Trans Format,Save to Compare,Compare to Saved";
inline constexpr char kScreenReportChoices[] =
    "1016 View Text Format,  View Html Format  ,Save to Compare,Compare to Saved";
inline constexpr char kIncludeTypesQuestion[] = "1017 Include Field Types?";
inline constexpr char kNoViewerNote[] =
    "1090 The report was written to %s, but no program could be started to show it.";

// File > Report: the report of every file of the loaded dictionary, named reportName (the
// structure file's base path). For the two comparison choices, whether to include the field types
// is asked first and the answer kept in _USER01 (1 or 0), which the compare layout follows.
void StructureReportCommand(TextRef reportName);

// Screen > Report: the report of screen `screen` of the screen file whose base path is screenBase,
// read from its parameter file (screenBase with extension PPN). 161 when there is no screen file
// or no current screen (0), or when the screen has nothing to report.
void ScreenReportCommand(TextRef screenBase, std::uint16_t screen);

// The screen report's text of screen `screen` from a parameter file into *text: ReadScreenItems'
// statuses, or kFileOutBound when the screen has nothing to report.
StatusCode BuildScreenReport(TextRef parameterFile, std::uint16_t screen, std::string* text);

} // namespace vodarir
