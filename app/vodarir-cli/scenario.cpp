// Reading scenario files of `vodarir-cli play`.
#include "scenario.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <sstream>

#include "runtime/text/cp1252_literal.h"

namespace vodarir::cli {

namespace {

using platform::UiAction;
namespace act = platform::act;

// How often `write` may repeat its text: enough for files beyond any text's 64 KB (the bytes of
// all writes together are bounded by kMaxScenarioWriteBytes).
constexpr int kMaxRepeats = 1 << 20;
// Screen numbers take two columns in the screen files.
constexpr int kMaxScreenNumber = 99;
namespace vk = platform::vk;

struct NamedKey {
    const char* name;
    platform::VirtualKey key;
};
constexpr NamedKey kKeys[] = {
    {"Back", vk::Back},     {"Tab", vk::Tab},     {"Return", vk::Return}, {"Enter", vk::Return},
    {"Escape", vk::Escape}, {"Esc", vk::Escape},  {"Space", vk::Space},   {"PageUp", vk::Prior},
    {"PageDown", vk::Next}, {"End", vk::End},     {"Home", vk::Home},     {"Left", vk::Left},
    {"Up", vk::Up},         {"Right", vk::Right}, {"Down", vk::Down},     {"Insert", vk::Insert},
    {"Delete", vk::Delete}, {"F1", vk::F1},       {"F2", vk::F2},         {"F3", vk::F3},
    {"F4", vk::F4},         {"F5", vk::F5},       {"F6", vk::F6},         {"F7", vk::F7},
    {"F8", vk::F8},         {"F9", vk::F9},       {"F10", vk::F10},       {"F11", vk::F11},
    {"F12", vk::F12},       {"Apps", vk::Apps},
};

struct NamedAnswer {
    const char* name;
    platform::BoxAnswer answer;
};
constexpr NamedAnswer kAnswers[] = {
    {"yes", platform::BoxAnswer::Yes},     {"no", platform::BoxAnswer::No},
    {"ok", platform::BoxAnswer::Ok},       {"cancel", platform::BoxAnswer::Cancel},
    {"retry", platform::BoxAnswer::Retry},
};

// The words of a line; a word in double quotes keeps its quotes (and may hold blanks).
bool SplitWords(const std::string& line, std::vector<std::string>* words, std::string* error) {
    std::size_t at = 0;
    while (at < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[at]))) {
            ++at;
            continue;
        }
        std::size_t end = at;
        if (line[at] == '"') {
            for (end = at + 1; end < line.size() && line[end] != '"'; ++end) {
                if (line[end] == '\\') ++end;
            }
            if (end >= line.size()) {
                *error = "a quoted text is not closed";
                return false;
            }
            ++end;
        } else {
            while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
        }
        words->push_back(line.substr(at, end - at));
        at = end;
    }
    return true;
}

bool Number(const std::string& word, int* value) {
    const char* first = word.data();
    const char* last = first + word.size();
    const auto [ptr, ec] = std::from_chars(first, last, *value);
    return ec == std::errc() && ptr == last;
}

bool Control(const std::string& word, platform::ControlId* id) {
    if (word == "-") {
        *id = platform::kNoControl;
        return true;
    }
    return Number(word, id);
}

// A word as text: quoted words are unquoted (escapes, UTF-8 to cp1252), others taken as they are.
bool TextOf(const std::string& word, std::string* text) {
    if (!word.empty() && word.front() == '"') return UnquoteScenarioText(word, text);
    return UnquoteScenarioText("\"" + word + "\"", text);
}

void AppendUtf8Char(const std::string& s, std::size_t* at, char32_t* cp) {
    const auto b = static_cast<unsigned char>(s[*at]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    *cp = extra == 0 ? b : b & (0x3F >> extra);
    for (++*at; extra > 0 && *at < s.size(); --extra, ++*at) {
        *cp = (*cp << 6) | (static_cast<unsigned char>(s[*at]) & 0x3F);
    }
}

bool Cp1252Byte(char32_t cp, char* out) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        *out = static_cast<char>(cp);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (cp1252detail::kHighControls[i] != 0 && cp1252detail::kHighControls[i] == cp) {
            *out = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

// Whether a target of copy or write stays inside the work folder: a scenario writes nowhere else.
bool InsideWork(const std::string& target) {
    const std::filesystem::path path(target);
    if (path.has_root_name() || path.has_root_directory()) return false;
    const std::filesystem::path normal = path.lexically_normal();
    return normal.empty() || *normal.begin() != "..";
}

class Parser {
public:
    explicit Parser(Scenario* s) : scenario_(s) {}

    bool line(int number, const std::string& raw, std::string* error);
    bool finish(std::string* error) {
        if (!open_.empty()) {
            *error = "line " + std::to_string(open_.back().line) + ": modal block without end";
            return false;
        }
        return true;
    }

private:
    std::vector<ScenarioStep>& target() {
        if (!open_.empty()) return open_.back().block;
        return inAfter_ ? scenario_->after : scenario_->steps;
    }
    bool setup(const std::vector<std::string>& w, std::string* error);
    bool question(const std::vector<std::string>& w, ScenarioStep* step, std::string* error);
    bool action(const std::vector<std::string>& w, ScenarioStep* step, std::string* error);
    bool window(const std::vector<std::string>& w, ScenarioStep* step, std::string* error);
    bool designer(const std::vector<std::string>& w, ScenarioStep* step, std::string* error);

    Scenario* scenario_;
    std::vector<ScenarioStep> open_; // modal blocks being read, innermost last
    bool inAfter_ = false;
    std::size_t written_ = 0; // the bytes of the write lines so far
};

bool Parser::setup(const std::vector<std::string>& w, std::string* error) {
    if (!open_.empty() || !scenario_->steps.empty() || inAfter_) {
        *error = w[0] + " belongs before the first answer or act";
        return false;
    }
    if (w[0] == "copy" && (w.size() == 2 || w.size() == 3)) {
        Scenario::Copy c;
        if (!TextOf(w[1], &c.source) || (w.size() == 3 && !TextOf(w[2], &c.target))) {
            *error = "bad path";
            return false;
        }
        if (c.target.empty()) c.target = c.source.substr(c.source.find_last_of('/') + 1);
        if (!InsideWork(c.target)) {
            *error = "the target " + c.target + " is outside the work folder";
            return false;
        }
        scenario_->copies.push_back(c);
        return true;
    }
    if (w[0] == "write" && (w.size() == 3 || w.size() == 4)) {
        Scenario::Write wr;
        int times = 1;
        if (!TextOf(w[1], &wr.target) || !TextOf(w[2], &wr.bytes) ||
            (w.size() == 4 && (!Number(w[3], &times) || times < 1 || times > kMaxRepeats))) {
            *error = "usage: write FILE TEXT [TIMES]";
            return false;
        }
        if (!InsideWork(wr.target)) {
            *error = "the target " + wr.target + " is outside the work folder";
            return false;
        }
        // Measured before anything is repeated: a long text written many times would otherwise
        // ask for more memory than the machine has.
        const std::size_t total = wr.bytes.size() * static_cast<std::size_t>(times);
        if (total > kMaxScenarioWriteBytes - written_) {
            *error = "the files written would pass " + std::to_string(kMaxScenarioWriteBytes) +
                     " bytes in all";
            return false;
        }
        written_ += total;
        std::string once = wr.bytes;
        wr.bytes.reserve(total);
        for (int i = 1; i < times; ++i) wr.bytes += once;
        scenario_->writes.push_back(wr);
        return true;
    }
    if (w[0] == "args") {
        for (std::size_t i = 1; i < w.size(); ++i) {
            std::string arg;
            if (!TextOf(w[i], &arg)) {
                *error = "bad argument";
                return false;
            }
            scenario_->arguments.push_back(arg);
        }
        return true;
    }
    *error = "usage: copy SOURCE [TARGET] | write FILE TEXT [TIMES] | args ARGUMENT...";
    return false;
}

bool Parser::question(const std::vector<std::string>& w, ScenarioStep* step, std::string* error) {
    if (w.size() != 2) {
        *error = w[0] + " takes one word";
        return false;
    }
    if (w[0] == "answer") {
        step->kind = ScenarioStep::Kind::Answer;
        for (const NamedAnswer& a : kAnswers) {
            if (w[1] == a.name) {
                step->answer = a.answer;
                return true;
            }
        }
        *error = "answer yes, no, ok, cancel or retry";
        return false;
    }
    step->kind = w[0] == "file"     ? ScenarioStep::Kind::File
                 : w[0] == "folder" ? ScenarioStep::Kind::Folder
                                    : ScenarioStep::Kind::Popup;
    const bool none = w[1] == (step->kind == ScenarioStep::Kind::Popup ? "dismiss" : "cancel");
    if (none) return true;
    if (!TextOf(w[1], &step->text)) {
        *error = "bad text";
        return false;
    }
    return true;
}

bool Parser::window(const std::vector<std::string>& w, ScenarioStep* step, std::string* error) {
    const std::string& verb = w[0];
    if (verb == "prompt") {
        step->kind = ScenarioStep::Kind::Prompt;
        if (w.size() < 3 || w.size() > 4 || !TextOf(w[1], &step->text) ||
            !TextOf(w[2], &step->title) || (w.size() == 4 && !Number(w[3], &step->number))) {
            *error = "usage: prompt SPECIFICATION TITLE [FLAGS]";
            return false;
        }
        return true;
    }
    if (verb == "screen") {
        step->kind = ScenarioStep::Kind::Screen;
        if (w.size() < 4 || w.size() > 5 || !Number(w[1], &step->number) ||
            !TextOf(w[2], &step->text) || !TextOf(w[3], &step->attributes) ||
            (w.size() == 5 && !Number(w[4], &step->dialogKind))) {
            *error = "usage: screen COUNT DEFINITION ATTRIBUTES [KIND]";
            return false;
        }
        return true;
    }
    if (verb == "slot") {
        step->kind = ScenarioStep::Kind::Slot;
        if (w.size() != 3 || !Number(w[1], &step->number) || !Number(w[2], &step->dialogKind)) {
            *error = "usage: slot GROUP INDEX";
            return false;
        }
        return true;
    }
    if (verb == "eval") {
        step->kind = ScenarioStep::Kind::Eval;
        if (w.size() != 2 || !TextOf(w[1], &step->text)) {
            *error = "usage: eval EXPRESSION";
            return false;
        }
        return true;
    }
    step->kind = ScenarioStep::Kind::Field;
    if (w.size() != 2 || !Number(w[1], &step->number)) {
        *error = "usage: field N";
        return false;
    }
    return true;
}

bool Parser::designer(const std::vector<std::string>& w, ScenarioStep* step, std::string* error) {
    if (w[0] == "viewed") {
        step->kind = ScenarioStep::Kind::Viewed;
        if (w.size() != 1) {
            *error = "viewed stands alone";
            return false;
        }
        return true;
    }
    if (w[0] == "dictionary") {
        step->kind = ScenarioStep::Kind::Dictionary;
        if (w.size() != 2 || !TextOf(w[1], &step->text)) {
            *error = "usage: dictionary PATH";
            return false;
        }
        return true;
    }
    step->kind = ScenarioStep::Kind::ScreenFile;
    step->number = 1;
    if (w.size() < 2 || w.size() > 3 || !TextOf(w[1], &step->text) ||
        (w.size() == 3 &&
         (!Number(w[2], &step->number) || step->number < 1 || step->number > kMaxScreenNumber))) {
        *error = "usage: screenfile PATH [SCREEN]";
        return false;
    }
    return true;
}

bool Parser::action(const std::vector<std::string>& w, ScenarioStep* step, std::string* error) {
    const std::string& verb = w[0];
    step->kind = ScenarioStep::Kind::Act;
    int a = 0;
    int b = 0;
    platform::ControlId c = 0;
    std::string text;
    const auto fail = [&](const char* usage) {
        *error = std::string("usage: ") + usage;
        return false;
    };
    if (verb == "menu") {
        if (w.size() != 2 || !Number(w[1], &a)) return fail("menu COMMAND");
        step->act = act::ChooseMenu(a);
    } else if (verb == "type" || verb == "paste") {
        if (w.size() != 3 || !Control(w[1], &c) || !TextOf(w[2], &text)) {
            return fail("type|paste CONTROL TEXT");
        }
        step->act = verb == "type" ? act::Type(c, text) : act::Paste(c, text);
    } else if (verb == "select") {
        if (w.size() != 4 || !Control(w[1], &c) || !Number(w[2], &a) || !Number(w[3], &b)) {
            return fail("select CONTROL START LENGTH");
        }
        step->act = act::Select(c, a, b);
    } else if (verb == "key") {
        if (w.size() < 3 || !Control(w[1], &c) || ScenarioKey(w[2]) < 0) {
            return fail("key CONTROL KEY [shift] [ctrl] [alt]");
        }
        platform::Modifiers mods = platform::kModNone;
        for (std::size_t i = 3; i < w.size(); ++i) {
            if (w[i] == "shift")
                mods |= platform::kModShift;
            else if (w[i] == "ctrl")
                mods |= platform::kModControl;
            else if (w[i] == "alt")
                mods |= platform::kModAlt;
            else
                return fail("key CONTROL KEY [shift] [ctrl] [alt]");
        }
        step->act = act::Key(c, ScenarioKey(w[2]), mods);
    } else if (verb == "click" || verb == "focus") {
        if (w.size() != 2 || !Control(w[1], &c)) return fail("click|focus CONTROL");
        step->act = verb == "click" ? act::Click(c) : act::Focus(c);
    } else if (verb == "row" || verb == "dblrow" || verb == "rrow" || verb == "item" ||
               verb == "dblitem") {
        if (w.size() != 3 || !Control(w[1], &c) || !Number(w[2], &a)) {
            return fail("row|dblrow|rrow|item|dblitem CONTROL N");
        }
        step->act = verb == "row"      ? act::ClickRow(c, a)
                    : verb == "dblrow" ? act::DoubleClickRow(c, a)
                    : verb == "rrow"   ? act::RightClickRow(c, a)
                    : verb == "item"   ? act::SelectItem(c, a)
                                       : act::DoubleClickItem(c, a);
    } else if (verb == "close") {
        if (w.size() != 1) return fail("close");
        step->act = act::Close();
    } else {
        *error = "unknown line '" + verb + "'";
        return false;
    }
    return true;
}

bool Parser::line(int number, const std::string& raw, std::string* error) {
    std::vector<std::string> w;
    if (!SplitWords(raw, &w, error)) return false;
    if (w.empty() || w[0].front() == '#') return true;
    const std::string& verb = w[0];
    ScenarioStep step;
    step.line = number;
    if (verb == "copy" || verb == "write" || verb == "args") return setup(w, error);
    if (verb == "after") {
        if (w.size() != 1 || !open_.empty() || inAfter_) {
            *error = "after stands alone, once, outside modal blocks";
            return false;
        }
        inAfter_ = true;
        return true;
    }
    if (verb == "end") {
        if (open_.empty() || w.size() != 1) {
            *error = "end without modal";
            return false;
        }
        ScenarioStep block = std::move(open_.back());
        open_.pop_back();
        target().push_back(std::move(block));
        return true;
    }
    if (verb == "show" || verb == "list") {
        step.kind = verb == "show" ? ScenarioStep::Kind::Show : ScenarioStep::Kind::List;
        if (w.size() != 2 || !TextOf(w[1], &step.text)) {
            *error = "usage: show FILE | list FOLDER";
            return false;
        }
        target().push_back(std::move(step));
        return true;
    }
    if (verb == "dict") {
        // The model is loaded into the runtime's one dictionary: only once the designer is done.
        step.kind = ScenarioStep::Kind::Dict;
        if (w.size() != 2 || !TextOf(w[1], &step.text) || !inAfter_) {
            *error = "usage: dict FILE, after the end";
            return false;
        }
        target().push_back(std::move(step));
        return true;
    }
    if (inAfter_) {
        *error = "after the end only show, list and dict";
        return false;
    }
    if (verb == "modal") {
        step.kind = ScenarioStep::Kind::Modal;
        if (w.size() != 2 || !TextOf(w[1], &step.text)) {
            *error = "usage: modal NAME";
            return false;
        }
        open_.push_back(std::move(step));
        return true;
    }
    if (verb == "prompt" || verb == "screen" || verb == "field" || verb == "slot" ||
        verb == "eval") {
        if (!window(w, &step, error)) return false;
    } else if (verb == "dictionary" || verb == "screenfile" || verb == "viewed") {
        if (!designer(w, &step, error)) return false;
    } else if (verb == "snapshot") {
        step.kind = ScenarioStep::Kind::Snapshot;
    } else if (verb == "answer" || verb == "file" || verb == "folder" || verb == "popup") {
        if (!question(w, &step, error)) return false;
    } else if (!action(w, &step, error)) {
        return false;
    }
    target().push_back(std::move(step));
    return true;
}

} // namespace

bool UnquoteScenarioText(const std::string& quoted, std::string* bytes) {
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
    const std::string s = quoted.substr(1, quoted.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '\\') {
            if (i + 1 >= s.size()) return false;
            const char e = s[i + 1];
            i += 2;
            if (e == 'r')
                out += '\r';
            else if (e == 'n')
                out += '\n';
            else if (e == 't')
                out += '\t';
            else if (e == '\\' || e == '"')
                out += e;
            else if (e == 'x' && i + 2 <= s.size() &&
                     std::isxdigit(static_cast<unsigned char>(s[i])) &&
                     std::isxdigit(static_cast<unsigned char>(s[i + 1]))) {
                out += static_cast<char>(std::stoi(s.substr(i, 2), nullptr, 16));
                i += 2;
            } else {
                return false;
            }
            continue;
        }
        char32_t cp = 0;
        AppendUtf8Char(s, &i, &cp);
        char byte = 0;
        if (!Cp1252Byte(cp, &byte)) return false;
        out += byte;
    }
    *bytes = std::move(out);
    return true;
}

platform::VirtualKey ScenarioKey(const std::string& name) {
    for (const NamedKey& k : kKeys) {
        if (name == k.name) return k.key;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return std::toupper(static_cast<unsigned char>(name[0]));
    }
    return -1;
}

bool ParseScenario(const std::string& text, Scenario* scenario, std::string* error) {
    Parser parser(scenario);
    std::istringstream in(text);
    std::string raw;
    for (int number = 1; std::getline(in, raw); ++number) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::string what;
        if (!parser.line(number, raw, &what)) {
            *error = "line " + std::to_string(number) + ": " + what;
            return false;
        }
    }
    return parser.finish(error);
}

} // namespace vodarir::cli
