// vodarir-cli check FOLDER and where REF FOLDER: the application check and where-used, one record
// a line.
#include <cstdio>
#include <string>

#include "cli_commands.h"
#include "designer/app_check.h"

namespace vodarir::cli {

namespace {

std::string Utf8(const std::string& text) { return Column(TextFromString(text)); }

std::string Count(std::uint32_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

int RunCheck(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: vodarir-cli check FOLDER\n");
        return kExitUsage;
    }
    RuntimeSession session(argc, argv);
    if (!session.ok()) {
        PrintError(session.status());
        return kExitFailed;
    }
    const CheckReport report = CheckApplication(argv[0]);
    for (const CheckProblem& problem : report.problems) {
        PrintRecord({problem.severity == Severity::Error ? "error" : "warning", Utf8(problem.file),
                     Utf8(PlaceText(problem.place)), problem.code, Utf8(problem.sentence)});
    }
    const std::string read = Count(report.filesRead, "file read", "files read");
    const std::string screens = Count(report.screens, "screen", "screens");
    const std::string warnings = Count(report.warnings, "warning", "warnings");
    if (report.errors == 0) {
        PrintRecord({"ok", read, screens, warnings});
        return kExitOk;
    }
    PrintRecord({"failed", Count(report.errors, "error", "errors"), warnings});
    return kExitFailed;
}

int RunWhere(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vodarir-cli where REF FOLDER\n");
        return kExitUsage;
    }
    RuntimeSession session(argc, argv);
    if (!session.ok()) {
        PrintError(session.status());
        return kExitFailed;
    }
    const WhereResult result = WhereUsed(argv[1], argv[0]);
    if (!result.resolved) {
        PrintRecord({"error", Utf8(result.failure)});
        return kExitFailed;
    }
    for (const UseSite& use : result.uses) {
        PrintRecord({Utf8(use.file), Utf8(PlaceText(use.place)), use.what, Utf8(use.text)});
    }
    const std::string what = result.field == 0 ? "file " + std::to_string(result.file)
                                               : "file " + std::to_string(result.file) + " field " +
                                                     std::to_string(result.field);
    PrintRecord({"ok", what, Count(static_cast<std::uint32_t>(result.uses.size()), "use", "uses")});
    return kExitOk;
}

} // namespace vodarir::cli
