// vodarir-cli report files|screen [OPTIONS] PATH: the structure reports of the designer on standard
// output, and with --against the comparison with a saved report, whose exit status tells a build
// script whether the structure changed.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "cli_commands.h"
#include "host/paths.h"
#include "host/processes.h"
#include "host/text_files.h"
#include "reports/report_commands.h"
#include "reports/report_files.h"
#include "reports/screen_report.h"
#include "reports/structure_report.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kParameterExtension = 1; // PPN
constexpr int kFirstScreen = 1;
constexpr int kLastScreen = 99; // screen numbers take two columns in the screen files

enum class Subject : std::uint8_t { Files, Screen };

struct ReportOptions {
    Subject subject = Subject::Files;
    const char* format = nullptr; // null: the default of the subject
    StructureLayout layout = StructureLayout::Text;
    bool html = false; // screens: the HTML form
    bool types = false;
    int screen = kFirstScreen;
    const char* against = nullptr;
    bool cp1252 = false;
    const char* path = nullptr;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: vodarir-cli report files [--format text|html|trans|compare] [--types]\n"
                 "                                [--against SAVED] [--cp1252] DICC_PATH\n"
                 "       vodarir-cli report screen [--format text|html|compare] [--screen N]\n"
                 "                                 [--against SAVED] [--cp1252] PAN_PATH\n");
    return kExitUsage;
}

struct NamedLayout {
    const char* name;
    StructureLayout layout;
};
constexpr NamedLayout kLayouts[] = {
    {"text", StructureLayout::Text},
    {"html", StructureLayout::Html},
    {"trans", StructureLayout::Trans},
    {"compare", StructureLayout::Compare},
};

// The format's layout; false for a name the subject has not (screens have no trans layout).
bool ReadFormat(ReportOptions* options) {
    if (options->format == nullptr) {
        // A comparison compares what "Compare to Saved" compares: the compare layout.
        options->layout =
            options->against != nullptr ? StructureLayout::Compare : StructureLayout::Text;
        return true;
    }
    for (const NamedLayout& named : kLayouts) {
        if (std::strcmp(options->format, named.name) != 0) continue;
        options->layout = named.layout;
        if (options->subject == Subject::Files) return true;
        // A screen's text is what it saves to compare; its comparison is of that text.
        options->html = named.layout == StructureLayout::Html;
        return named.layout != StructureLayout::Trans &&
               !(options->html && options->against != nullptr);
    }
    return false;
}

bool ParseOptions(int argc, char** argv, ReportOptions* options) {
    if (argc < 1) return false;
    if (std::strcmp(argv[0], "files") == 0) {
        options->subject = Subject::Files;
    } else if (std::strcmp(argv[0], "screen") == 0) {
        options->subject = Subject::Screen;
    } else {
        return false;
    }
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--") {
            ++i;
            break;
        } else if (arg == "--format" && hasValue) {
            options->format = argv[++i];
        } else if (arg == "--against" && hasValue) {
            options->against = argv[++i];
        } else if (arg == "--cp1252") {
            options->cp1252 = true;
        } else if (arg == "--types" && options->subject == Subject::Files) {
            options->types = true;
        } else if (arg == "--screen" && hasValue && options->subject == Subject::Screen) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || n < kFirstScreen || n > kLastScreen) {
                return false;
            }
            options->screen = static_cast<int>(n);
        } else if (arg.size() > 1 && arg.front() == '-') {
            return false;
        } else {
            break;
        }
    }
    if (i + 1 != argc) return false;
    options->path = argv[i];
    return ReadFormat(options);
}

// Report bytes on standard output: UTF-8, or the bytes themselves with --cp1252.
void Print(std::string_view bytes, bool cp1252) {
    const std::string utf8 = cp1252 ? std::string() : Cp1252ToUtf8(bytes);
    const std::string_view out = cp1252 ? bytes : std::string_view(utf8);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

StatusCode PrintChunk(void* context, const char* bytes, std::uint16_t length) {
    Print(std::string_view(bytes, length), *static_cast<bool*>(context));
    return status::kOk;
}

// A path of the command line as the runtime spells it (cp1252), made absolute against the folder
// the command started in. 150 when cp1252 cannot hold it.
StatusCode RuntimePath(const char* path, std::string* out) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec).lexically_normal();
    if (ec || !Utf8ToCp1252(absolute.string(), out)) return status::kBadStringType;
    return out->size() < kMaxPathLength ? status::kOk : status::kData;
}

// The saved report as the runtime's bytes, read in the encoding this command writes (a report
// saved from its output compares equal to the same report): UTF-8, or cp1252 with --cp1252. A file
// that is no UTF-8 is taken as cp1252, as the designer saves its reports. A saved report that is
// not there is an empty one: every line of the new report is added.
StatusCode ReadSaved(const std::string& path, bool cp1252, std::string* saved) {
    ScratchScope scope;
    const StatusCode st = ReadReport(TextView(path), saved);
    if (st == status::kFileNotFound) return status::kOk;
    std::string bytes;
    if (st == status::kOk && !cp1252 && Utf8ToCp1252(*saved, &bytes)) *saved = std::move(bytes);
    return st;
}

// The file-structure reports compare as the designer's "Compare to Saved" compares them: through
// the system's file comparer, whose output is printed. Both go to new files of the temporary
// folder, as the runtime's bytes, and are gone afterwards.
StatusCode CompareLines(std::string_view saved, std::string_view now, bool cp1252) {
    ScratchScope scope;
    const TextRef oldFile = WriteNewReport(saved, ReportFileKind::Text);
    const TextRef newFile = WriteNewReport(now, ReportFileKind::Text);
    StatusCode st = oldFile.failed() ? oldFile.status() : newFile.status();
    if (st == status::kOk) {
        std::fflush(stdout);
        st = RunCaptured(ComparerCommand(oldFile, newFile), &cp1252, PrintChunk);
    }
    if (!oldFile.failed()) FileDelete(oldFile);
    if (!newFile.failed()) FileDelete(newFile);
    return st;
}

// The report of the options' subject into *bytes.
StatusCode Build(const ReportOptions& options, const std::string& path, std::string* bytes) {
    ScratchScope scope;
    if (options.subject == Subject::Screen) {
        const TextRef parameters = WithKindExtension(
            PathPart(TextView(path), pathpart::kDrive | pathpart::kFolder | pathpart::kName),
            kParameterExtension);
        const StatusCode st =
            BuildScreenReport(parameters, static_cast<std::uint16_t>(options.screen), bytes);
        if (st == status::kOk && options.html) *bytes = ScreenReportHtml(*bytes);
        return st;
    }
    StatusCode st = LoadDictionaryFile(options.path);
    if (st != status::kOk) return st;
    // The report is named as the designer names it: the structure file's base path.
    const TextRef name =
        PathPart(TextView(path), pathpart::kDrive | pathpart::kFolder | pathpart::kName);
    IntVarSet(sysvar::kUser01, options.types ? 1 : 0);
    return BuildStructureReport(options.layout, name, options.types, bytes);
}

} // namespace

int RunReport(int argc, char** argv) {
    ReportOptions options;
    if (!ParseOptions(argc, argv, &options)) return Usage();
    RuntimeSession session(argc, argv);
    if (!session.ok()) {
        PrintError(session.status());
        return kExitFailed;
    }
    // Both paths are taken from where the command started, before the dictionary's folder becomes
    // the working folder.
    std::string path;
    std::string savedPath;
    StatusCode st = RuntimePath(options.path, &path);
    if (st == status::kOk && options.against != nullptr) {
        st = RuntimePath(options.against, &savedPath);
    }
    std::string bytes;
    if (st == status::kOk) st = Build(options, path, &bytes);
    std::string saved;
    if (st == status::kOk && options.against != nullptr) {
        st = ReadSaved(savedPath, options.cp1252, &saved);
    }
    if (st != status::kOk) {
        PrintError(st);
        return kExitFailed;
    }
    if (options.against == nullptr) {
        Print(bytes, options.cp1252);
        return kExitOk;
    }
    if (options.subject == Subject::Screen) {
        const std::string entries = CompareScreenReports(saved, bytes);
        Print(entries, options.cp1252);
        return entries.empty() ? kExitOk : kExitFailed;
    }
    st = CompareLines(saved, bytes, options.cp1252);
    if (st != status::kOk) {
        PrintError(st);
        return kExitFailed;
    }
    return saved == bytes ? kExitOk : kExitFailed;
}

} // namespace vodarir::cli
