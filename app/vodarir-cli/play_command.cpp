// vodarir-cli play SCENARIO: the designer on the scripted face, driven by a scenario file, and the
// transcript of everything it showed.
#include <stdlib.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <sstream>
#include <thread>

#include "cli_commands.h"
#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "designer/main_dialog.h"
#include "designer/vodarir_app.h"
#include "dictionary/dictionary.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/ui/win_basics.h"
#include "scenario.h"
#include "screens/prompt_dialog.h"
#include "screens/screen_output.h"
#include "screens/screen_windows.h"
#include "script/evaluator.h"
#include "script/prompt_spec.h"

namespace vodarir::cli {

namespace {

namespace fs = std::filesystem;
using platform::UiAction;
namespace act = platform::act;

// Where the work folder stands in the transcript, so it reads the same on every machine.
constexpr char kWorkMark[] = "<work>";
constexpr char kUniqueMark[] = "<unique>";
// The program as the scenario starts it: a path inside the work folder, so its folder (the
// default folder, the About box) is the work folder too.
constexpr char kProgramName[] = "vodarir";

// Viewers are pointed at a recorder of ours for the whole play, so no scenario opens a window of
// the system. Each time a viewer is started, the recorder copies the file it was given and then
// leaves one line naming the viewer and the file.
constexpr char kRecorderName[] = "viewer";
constexpr char kRecorderScript[] = "#!/bin/sh\n"
                                   "here=\"${0%/*}\"\n"
                                   "cp \"$2\" \"$here/$$.copy\" 2>/dev/null\n"
                                   "printf '%s %s\\n' \"$1\" \"$2\" > \"$here/$$.part\"\n"
                                   "mv \"$here/$$.part\" \"$here/$$.seen\"\n";
constexpr char kSeenExtension[] = ".seen";
constexpr char kTakenExtension[] = ".taken";
constexpr char kCopyExtension[] = ".copy";
// How long `viewed` waits for a viewer that runs on its own.
constexpr auto kViewerPatience = std::chrono::seconds(10);
constexpr auto kViewerPoll = std::chrono::milliseconds(10);

// The scripted face with a way to add lines of our own to its transcript.
class PlayUi final : public platform::ScriptedUi {
public:
    void note(std::string line) { record(std::move(line)); }
};

std::vector<std::string> g_unexpected;
void Unexpected(const std::string& what) { g_unexpected.push_back(what); }

std::string ReadAll(const fs::path& path, bool* ok) {
    std::ifstream in(path, std::ios::binary);
    *ok = static_cast<bool>(in);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Control bytes written out as escapes, like the face's own transcript lines.
std::string Escaped(std::string_view bytes) {
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

void Replace(std::string& s, const std::string& from, const std::string& to);
// The unique part of a name (a backup copy's) masked, so transcripts read the same every time.
std::string MaskUnique(const std::string& name) {
    static const std::regex unique("(^|[./])t[0-9a-z]{9}(?=[.])");
    return std::regex_replace(name, unique, std::string("$1") + kUniqueMark);
}

class Player {
public:
    Player(PlayUi& ui, fs::path work, fs::path viewers)
        : ui_(ui), work_(std::move(work)), viewers_(std::move(viewers)) {}

    // A path of the scenario: relative ones are in the work folder; empty stays empty (cancel).
    std::string resolve(const std::string& path) const {
        if (path.empty()) return path;
        if (path == ".") return work_.string();
        return fs::path(path).is_absolute() ? path : (work_ / path).lexically_normal().string();
    }

    // Runs a step that is not an act (an answer queued, a block queued, a look at files).
    void perform(const ScenarioStep& step, platform::WindowId window) {
        using Kind = ScenarioStep::Kind;
        switch (step.kind) {
        case Kind::Answer:
            ui_.queueBoxAnswer(step.answer);
            break;
        case Kind::File:
            ui_.queueFileChoice(resolve(step.text));
            break;
        case Kind::Folder:
            ui_.queueFolderChoice(resolve(step.text));
            break;
        case Kind::Popup:
            if (step.text.empty())
                ui_.queuePopupDismiss();
            else
                ui_.queuePopupChoice(step.text);
            break;
        case Kind::Modal:
            ui_.queueModal(step.text, acts(step.block));
            break;
        case Kind::Snapshot:
            ui_.recordSnapshot(window);
            break;
        case Kind::Show:
            show(step.text);
            break;
        case Kind::List:
            list(step.text);
            break;
        case Kind::Prompt:
            prompt(step);
            break;
        case Kind::Screen:
            screen(step);
            break;
        case Kind::Field:
            field(step.number);
            break;
        case Kind::Slot:
            slot(step.number, step.dialogKind);
            break;
        case Kind::Eval:
            eval(step.text);
            break;
        case Kind::Dict:
            dict(step.text);
            break;
        case Kind::Dictionary:
            dictionary(step.text);
            break;
        case Kind::ScreenFile:
            screenFile(step.text, step.number);
            break;
        case Kind::Viewed:
            viewed();
            break;
        case Kind::Act:
            break;
        }
    }

    // The steps as the acts of a modal loop. The answers written after an act are given before
    // it runs: they answer what that act asks.
    std::vector<UiAction> acts(const std::vector<ScenarioStep>& steps) {
        std::vector<UiAction> out;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (!IsAct(steps[i])) {
                out.push_back(run(steps[i]));
                continue;
            }
            std::size_t next = i + 1;
            for (; next < steps.size() && IsAnswer(steps[next]); ++next)
                out.push_back(run(steps[next]));
            out.push_back(steps[i].kind == ScenarioStep::Kind::Act ? steps[i].act : run(steps[i]));
            i = next - 1;
        }
        return out;
    }

    // Steps whose answers (a modal block above all) are written after them.
    static bool IsAct(const ScenarioStep& step) {
        using Kind = ScenarioStep::Kind;
        return step.kind == Kind::Act || step.kind == Kind::Prompt || step.kind == Kind::Screen;
    }

    static bool IsAnswer(const ScenarioStep& step) {
        using Kind = ScenarioStep::Kind;
        return step.kind == Kind::Answer || step.kind == Kind::File || step.kind == Kind::Folder ||
               step.kind == Kind::Popup || step.kind == Kind::Modal;
    }

private:
    UiAction run(const ScenarioStep& step) {
        return act::Run(
            [this, &step](platform::ScriptedUi&, platform::WindowId w) { perform(step, w); });
    }
    void show(const std::string& name) {
        bool ok = false;
        const std::string bytes = ReadAll(resolve(name), &ok);
        if (!ok) {
            ui_.note("show " + name + " (missing)");
            return;
        }
        ui_.note("show " + name);
        noteLines(bytes);
    }
    // A file's bytes into the transcript, a line each.
    void noteLines(const std::string& bytes) {
        std::size_t at = 0;
        while (at < bytes.size()) {
            const std::size_t end = bytes.find('\n', at);
            const std::size_t stop = end == std::string::npos ? bytes.size() : end + 1;
            std::string line = Escaped(std::string_view(bytes).substr(at, stop - at));
            if (end != std::string::npos) line.replace(line.size() - 4, 4, "\\n");
            ui_.note("  " + line);
            at = stop;
        }
    }
    // Runs a prompt dialog and writes what it answered and what the slots hold afterwards.
    void prompt(const ScenarioStep& step) {
        ScratchScope scope;
        const PromptResult r = RunPrompt(TextView(step.text), TextView(step.title),
                                         static_cast<std::uint16_t>(step.number));
        ui_.note("prompt [" + step.title + "] -> status " + std::to_string(r.status) + " key " +
                 std::to_string(r.closingKey) + " answers " + r.answers);
        for (const SlotIndex slot : {kAnswerConditionSlot, kAnswerSpecSlot, kAnswersSlot}) {
            ui_.note("  9." + std::to_string(slot) + " [" +
                     std::string(SlotGet(kAnswerGroup, slot).view()) + "]");
        }
    }
    // Opens a screen window from its texts, runs it until it closes and writes its values.
    void screen(const ScenarioStep& step) {
        ScratchScope scope;
        std::uint16_t number = 0;
        StatusCode st = OpenScreen(static_cast<std::uint16_t>(step.number), TextView(step.text),
                                   TextView(step.attributes), 0, &number);
        if (st == status::kOk) {
            st = OpenScreenWindow(static_cast<std::uint16_t>(step.dialogKind), 0,
                                  TextView("Screen"), nullptr);
        }
        if (st == status::kOk) st = ScreenSetWin(0);
        if (st != status::kOk) {
            ui_.note("screen -> status " + std::to_string(st));
            CloseScreen(number);
            return;
        }
        const platform::WindowId native = CurrentNativeWindow();
        WinShowTop();
        const std::int32_t first = NextField(0, +1);
        if (const ScreenField* f =
                ScreenFieldOf(number, static_cast<std::uint16_t>(first > 0 ? first : 0));
            f != nullptr && f->control != platform::kNoControl) {
            ui_.setFocus(native, f->control);
        }
        PumpUntilQuit(native);
        ScreenMakeCurrent(number);
        std::string values;
        for (std::uint16_t n = 1; n <= ScreenInfo(number).fieldCount; ++n) {
            const ScreenField* f = ScreenFieldOf(number, n);
            values += (n > 1 ? "," : "") + std::string(OutputValue(TextView(f->value)).view());
        }
        ui_.note("screen -> " + values);
        CloseScreen(number);
    }
    void field(int n) {
        const std::uint16_t screen = CurrentScreen();
        const ScreenField* f =
            n < 1 || n > 0xFFFF ? nullptr : ScreenFieldOf(screen, static_cast<std::uint16_t>(n));
        ui_.note("field " + std::to_string(n) +
                 (f == nullptr ? std::string(" (none)") : " = [" + f->value + "]"));
    }
    void slot(int group, int index) {
        const bool exists = group >= 0 && index >= 0 && group < 0xFFFF && index < 0xFFFF &&
                            index < SlotCount(static_cast<SlotGroup>(group));
        ui_.note("slot " + std::to_string(group) + "." + std::to_string(index) +
                 (exists ? " = [" +
                               std::string(SlotGet(static_cast<SlotGroup>(group),
                                                   static_cast<SlotIndex>(index))
                                               .view()) +
                               "]"
                         : std::string(" (none)")));
    }
    void eval(const std::string& expression) {
        ScratchScope scope;
        const TextRef value = expression.size() > kMaxTextLength
                                  ? TextRef::Failed(status::kStringTooLong)
                                  : EvalText(TextView(expression));
        ui_.note("eval " + expression + " = " +
                 (value.failed() ? "error " + std::to_string(value.status())
                                 : "[" + std::string(value.view()) + "]"));
    }
    // The model as `vodarir-cli dict` prints it, in a runtime of its own (the designer's is down).
    void dict(const std::string& name) {
        RuntimeSession session(0, nullptr);
        ui_.note("dict " + name);
        if (!session.ok()) {
            ui_.note("  runtime did not start: " + std::to_string(session.status()));
            return;
        }
        bool ok = false;
        for (std::string record : DictionaryRecords(resolve(name), &ok)) {
            Replace(record, "\t", " | ");
            std::string bytes; // the transcript holds cp1252 until it is printed
            ui_.note("  " + (Utf8ToCp1252(record, &bytes) ? bytes : record));
        }
    }
    // Loads a dictionary as File > Open does once its file is chosen: the loaded one goes, the
    // file's folder is where the prefix's files are looked for, its base path is designer slot 1.
    void dictionary(const std::string& name) {
        ScratchScope scope;
        const fs::path full = resolve(name);
        const std::string prefix = full.filename().string().substr(0, kPrefixLength);
        StatusCode st = ClearDictionary();
        if (st == status::kOk) {
            st = LoadDictionary(TextView(full.parent_path().string()), TextView(prefix), TextRef());
        }
        SetDesignerSlot(designerslot::kStructureBase, BasePath(TextView(full.string())));
        ui_.note("dictionary " + name + " -> " +
                 (st == status::kOk ? std::to_string(FileCount()) + " files"
                                    : "status " + std::to_string(st)));
    }
    // Makes a screen file the one being edited, with the given screen current, as Screen > Open
    // and the screen buttons leave them.
    void screenFile(const std::string& name, int screen) {
        ScratchScope scope;
        SetDesignerSlot(designerslot::kScreenBase, BasePath(TextView(resolve(name))));
        DesignerState& state = Designer();
        state.screenNumber = static_cast<std::uint16_t>(screen);
        state.screenCount = std::max(state.screenCount, state.screenNumber);
        ui_.note("screenfile " + name + " #" + std::to_string(screen));
    }
    // Waits for the next file a viewer was asked to show and writes its name and its bytes.
    void viewed() {
        const auto until = std::chrono::steady_clock::now() + kViewerPatience;
        fs::path seen;
        while (seen.empty()) {
            std::vector<fs::path> waiting;
            std::error_code ec;
            for (const auto& e : fs::directory_iterator(viewers_, ec)) {
                if (e.path().extension() == kSeenExtension) waiting.push_back(e.path());
            }
            if (!waiting.empty()) {
                std::sort(waiting.begin(), waiting.end());
                seen = waiting.front();
            } else if (std::chrono::steady_clock::now() > until) {
                ui_.note("viewed (nothing)");
                Unexpected("no viewer was started");
                return;
            } else {
                std::this_thread::sleep_for(kViewerPoll);
            }
        }
        bool ok = false;
        std::string line = ReadAll(seen, &ok);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        std::string named;
        if (!Utf8ToCp1252(line, &named)) named = line;
        ui_.note("viewed " + named);
        fs::path copy = seen;
        noteLines(ReadAll(copy.replace_extension(kCopyExtension), &ok));
        std::error_code ec;
        fs::path taken = seen;
        fs::rename(seen, taken.replace_extension(kTakenExtension), ec);
    }
    void list(const std::string& name) {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(resolve(name), ec)) {
            names.push_back(e.path().filename().string() + (e.is_directory() ? "/" : ""));
        }
        // In the order they print in: unique parts differ from run to run.
        for (std::string& n : names) n = MaskUnique(n);
        std::sort(names.begin(), names.end());
        ui_.note("list " + name + (ec ? " (missing)" : ""));
        for (const std::string& n : names) ui_.note("  " + n);
    }

    PlayUi& ui_;
    fs::path work_;
    fs::path viewers_;
};

void Replace(std::string& s, const std::string& from, const std::string& to) {
    for (std::size_t at = s.find(from); at != std::string::npos;
         at = s.find(from, at + to.size())) {
        s.replace(at, from.size(), to);
    }
}

// What a transcript line prints as: one line (a line break inside a box's text escaped), the work
// folder named, unique names masked, UTF-8.
std::string Printable(std::string line, const std::string& work) {
    Replace(line, "\r", "\\r");
    Replace(line, "\n", "\\n");
    Replace(line, work, kWorkMark);
    line = MaskUnique(line);
    // The file comparer's output file.
    static const std::regex captured("vodarir-[0-9A-Za-z]{6}[.]txt");
    line = std::regex_replace(line, captured, std::string("vodarir-") + kUniqueMark + ".txt");
    return Cp1252ToUtf8(line);
}

// Sets environment variables for the play and puts back what they were afterwards.
class PlayEnvironment {
public:
    void set(const char* name, const std::string& value) {
        const char* old = ::getenv(name);
        kept_.push_back({name, old != nullptr, old != nullptr ? old : ""});
        ::setenv(name, value.c_str(), 1);
    }
    ~PlayEnvironment() {
        for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
            if (it->was)
                ::setenv(it->name, it->value.c_str(), 1);
            else
                ::unsetenv(it->name);
        }
    }

private:
    struct Kept {
        const char* name;
        bool was;
        std::string value;
    };
    std::vector<Kept> kept_;
};

// The viewers' recorder in its folder; false when it cannot be made.
bool MakeRecorder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directory(folder, ec);
    const fs::path script = folder / kRecorderName;
    std::ofstream(script, std::ios::binary) << kRecorderScript;
    return !ec && ::chmod(script.c_str(), 0755) == 0;
}

bool SetUp(const Scenario& s, const fs::path& from, const fs::path& work, std::string* error) {
    std::error_code ec;
    for (const Scenario::Copy& c : s.copies) {
        const fs::path target = work / c.target;
        fs::create_directories(target.parent_path(), ec);
        fs::copy(from / c.source, target, fs::copy_options::recursive, ec);
        if (ec) {
            *error = "cannot copy " + c.source + ": " + ec.message();
            return false;
        }
    }
    for (const Scenario::Write& w : s.writes) {
        const fs::path target = work / w.target;
        fs::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary);
        out << w.bytes;
        if (!out) {
            *error = "cannot write " + w.target;
            return false;
        }
    }
    return true;
}

// Runs the designer; answers the transcript's lines.
std::vector<std::string> Play(const Scenario& s, const fs::path& work, const fs::path& viewers) {
    PlayUi ui;
    ui.setUnexpectedHandler(Unexpected);
    platform::SetUi(&ui);
    Player player(ui, work, viewers);
    // Answers given before the first act are asked during start-up, before the dialog's loop; a
    // look (snapshot, show, list) written there looks once the dialog waits for the first act.
    std::vector<ScenarioStep> rest;
    std::size_t first = 0;
    for (; first < s.steps.size() && !Player::IsAct(s.steps[first]); ++first) {
        if (Player::IsAnswer(s.steps[first]))
            player.perform(s.steps[first], platform::kNoWindow);
        else
            rest.push_back(s.steps[first]);
    }
    rest.insert(rest.end(), s.steps.begin() + static_cast<std::ptrdiff_t>(first), s.steps.end());
    if (!rest.empty()) ui.queueModal(kMainDialogName, player.acts(rest));
    std::vector<std::string> args = {(work / kProgramName).string()};
    args.insert(args.end(), s.arguments.begin(), s.arguments.end());
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    const std::string line = JoinCommandLine(static_cast<int>(argv.size()), argv.data());
    CVodarirApp app;
    if (const TextRef text = TextFromString(line); !text.failed())
        app.InitInstance(text);
    else
        g_unexpected.push_back("the command line is longer than a text holds");
    for (const ScenarioStep& step : s.after) player.perform(step, platform::kNoWindow);
    if (ui.pendingCount() != 0) {
        g_unexpected.push_back(std::to_string(ui.pendingCount()) +
                               " queued answers or modal scripts were never used");
    }
    platform::SetUi(nullptr);
    return ui.transcript();
}

} // namespace

int RunPlay(int argc, char** argv) {
    if (argc != 1) {
        std::cerr << "usage: vodarir-cli play SCENARIO\n";
        return kExitUsage;
    }
    bool ok = false;
    const fs::path file = fs::absolute(argv[0]);
    const std::string text = ReadAll(file, &ok);
    Scenario scenario;
    std::string error;
    if (!ok) error = "cannot read the scenario";
    if (ok && !ParseScenario(text, &scenario, &error)) ok = false;
    if (!ok) {
        std::cerr << "vodarir-cli play: " << argv[0] << ": " << error << "\n";
        return kExitUsage;
    }
    std::string pattern = (fs::temp_directory_path() / "vodarir-play-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::cerr << "vodarir-cli play: cannot make a work folder\n";
        return kExitFailed;
    }
    const fs::path work = fs::canonical(pattern);
    const fs::path temp = work.string() + ".tmp";
    const fs::path viewers = work.string() + ".view";
    const fs::path before = fs::current_path();
    int status = kExitOk;
    if (!SetUp(scenario, file.parent_path(), work, &error)) {
        std::cerr << "vodarir-cli play: " << error << "\n";
        status = kExitFailed;
    } else {
        // The screen editor's work files and the reports go to TEMP: beside the work folder, they
        // go with it. The viewers record what they were asked to show, and the settings store is
        // one nobody wrote, so no program of the machine is started instead.
        PlayEnvironment environment;
        fs::create_directory(temp);
        environment.set("TEMP", temp.string());
        if (MakeRecorder(viewers)) {
            const std::string recorder = (viewers / kRecorderName).string();
            environment.set("VODARIR_TEXT_VIEWER", recorder + " text");
            environment.set("VODARIR_HTML_VIEWER", recorder + " html");
            environment.set("VODARIR_PDF_VIEWER", recorder + " pdf");
            environment.set("VODARIR_REGISTRY", (viewers / "settings.txt").string());
        }
        fs::current_path(work);
        g_unexpected.clear();
        for (const std::string& line : Play(scenario, work, viewers)) {
            std::cout << Printable(line, work.string()) << "\n";
        }
        for (const std::string& what : g_unexpected) {
            std::cout << "unexpected: " << Printable(what, work.string()) << "\n";
        }
        if (!g_unexpected.empty()) status = kExitFailed;
        fs::current_path(before);
    }
    std::error_code ec;
    fs::remove_all(work, ec);
    fs::remove_all(temp, ec);
    fs::remove_all(viewers, ec);
    return status;
}

} // namespace vodarir::cli
