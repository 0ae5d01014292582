// File > Report and Screen > Report.
#include "reports/report_commands.h"

#include <optional>
#include <vector>

#include "dictionary/dictionary.h"
#include "host/processes.h"
#include "host/text_files.h"
#include "reports/report_files.h"
#include "reports/screen_report.h"
#include "reports/structure_report.h"
#include "runtime/messages/messages.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/choice_prompts.h"

namespace vodarir {

namespace {

constexpr std::uint16_t kNoteLength = 1024;
constexpr int kParameterExtension = 1; // PPN

// The type chosen in the list, or none when the list was cancelled (or named no type).
std::optional<std::uint16_t> AskReportType(const char* choices, std::uint16_t count) {
    ScratchScope scope;
    const std::uint16_t choice =
        ChooseItem(MsgText(kReportTypeTitle), MsgText(choices), chooseflag::kOwnWindow);
    if (choice == 0 || choice > count) return std::nullopt;
    return choice;
}

// Shows a written report in the viewer: the web browser for HTML, the text viewer otherwise.
void Show(TextRef path, Viewer viewer) {
    const StatusCode st = OpenInViewer(viewer, TextQuote(path, '"'), startflag::kNoWait);
    if (st == kNoViewer) {
        MsgBox(TextFill(kNoteLength, MsgText(kNoViewerNote), {path}), TextRef(), BoxKind::Warning);
    } else if (st != status::kOk) {
        StatusReport(st);
    }
}

// Writes a report into a new file and shows it.
void WriteAndShow(std::string_view bytes, ReportFileKind kind) {
    const TextRef path = WriteNewReport(bytes, kind);
    if (path.failed()) {
        StatusReport(path.status());
        return;
    }
    Show(path, kind == ReportFileKind::Html ? Viewer::Html : Viewer::Text);
}

// Keeps a report as the saved one and shows it.
void SaveAndShow(std::string_view bytes, std::string_view name) {
    const TextRef path = SaveReport(bytes, name);
    if (path.failed()) {
        StatusReport(path.status());
        return;
    }
    Show(path, Viewer::Text);
}

// The new file-structure report against the saved one, through the system's file comparer,
// whose output is shown. The new report's file is gone once the comparer has read it, unless
// nothing could show the comparison: then it stays, for the user to compare it.
void CompareStructureReport(std::string_view bytes) {
    const TextRef path = WriteNewReport(bytes, ReportFileKind::Text);
    StatusCode st = path.status();
    if (st == status::kOk) st = CompareFiles(SavedReportPath(kSavedStructureReport), path);
    if (st == kNoViewer) {
        MsgBox(TextFill(kNoteLength, MsgText(kNoViewerNote), {path}), TextRef(), BoxKind::Warning);
        return;
    }
    if (!path.failed()) FileDelete(path);
    if (st != status::kOk) StatusReport(st);
}

StructureLayout LayoutOf(StructureReportType type) {
    switch (type) {
    case StructureReportType::Text:
        return StructureLayout::Text;
    case StructureReportType::Html:
        return StructureLayout::Html;
    case StructureReportType::Trans:
        return StructureLayout::Trans;
    default:
        return StructureLayout::Compare;
    }
}

} // namespace

void StructureReportCommand(TextRef reportName) {
    ScratchScope scope;
    const std::string name(reportName.view()); // the name's slot may move while we ask
    const std::optional<std::uint16_t> choice =
        AskReportType(kStructureReportChoices, kStructureReportTypes);
    if (!choice) return;
    const auto type = static_cast<StructureReportType>(*choice);
    const bool comparing =
        type == StructureReportType::SaveToCompare || type == StructureReportType::CompareToSaved;
    if (comparing) {
        ScratchScope asking;
        IntVarSet(sysvar::kUser01, AskYesNo(MsgText(kIncludeTypesQuestion)) ? 1 : 0);
    }
    std::string bytes;
    const StatusCode st = BuildStructureReport(LayoutOf(type), TextView(name),
                                               IntVarGet(sysvar::kUser01) != 0, &bytes);
    if (st != status::kOk) {
        StatusReport(st);
        return;
    }
    switch (type) {
    case StructureReportType::Text:
    case StructureReportType::Trans:
        WriteAndShow(bytes, ReportFileKind::Text);
        break;
    case StructureReportType::Html:
        WriteAndShow(bytes, ReportFileKind::Html);
        break;
    case StructureReportType::SaveToCompare:
        SaveAndShow(bytes, kSavedStructureReport);
        break;
    case StructureReportType::CompareToSaved:
        CompareStructureReport(bytes);
        break;
    }
}

StatusCode BuildScreenReport(TextRef parameterFile, std::uint16_t screen, std::string* text) {
    std::vector<std::string> items;
    const StatusCode st = ReadScreenItems(parameterFile, screen, &items);
    if (st != status::kOk) return st;
    *text = ScreenReportText(items);
    return text->empty() ? status::kFileOutBound : status::kOk;
}

void ScreenReportCommand(TextRef screenBase, std::uint16_t screen) {
    ScratchScope scope;
    const std::string base(screenBase.view());
    const std::optional<std::uint16_t> choice =
        AskReportType(kScreenReportChoices, kScreenReportTypes);
    if (!choice) return;
    const auto type = static_cast<ScreenReportType>(*choice);
    std::string text;
    // Without a screen file, or before any screen of it is current, there is nothing to report.
    const StatusCode st =
        base.empty() || screen == 0
            ? status::kFileOutBound
            : BuildScreenReport(WithKindExtension(TextView(base), kParameterExtension), screen,
                                &text);
    if (st != status::kOk) {
        StatusReport(st);
        return;
    }
    switch (type) {
    case ScreenReportType::Text:
        WriteAndShow(text, ReportFileKind::Text);
        break;
    case ScreenReportType::Html:
        WriteAndShow(ScreenReportHtml(text), ReportFileKind::Html);
        break;
    case ScreenReportType::SaveToCompare:
        SaveAndShow(text, kSavedScreenReport);
        break;
    case ScreenReportType::CompareToSaved: {
        // A saved report that is not there leaves every line of the new one added.
        std::string saved;
        const StatusCode read = ReadReport(SavedReportPath(kSavedScreenReport), &saved);
        if (read != status::kOk && read != status::kFileNotFound) {
            StatusReport(read);
            return;
        }
        WriteAndShow(CompareScreenReports(saved, text), ReportFileKind::Text);
        break;
    }
    }
}

} // namespace vodarir
