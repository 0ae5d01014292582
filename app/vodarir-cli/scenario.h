// Scenarios of `vodarir-cli play`: a user story written line by line (what is on disk first, what
// the user answers and does, what to look at afterwards), parsed into the scripted face's acts.
// The syntax is documented in docs/scenarios.md.
//
// Texts in a scenario file are UTF-8; they reach the designer as cp1252 bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/scripted/scripted_ui.h"

namespace vodarir::cli {

// One line of a scenario, parsed.
struct ScenarioStep {
    enum class Kind {
        Act,        // something the user does in a window (act)
        Answer,     // the next message box's answer (answer)
        File,       // the next file dialog's path, empty: cancelled (file)
        Folder,     // the next folder chooser's folder, empty: cancelled (folder)
        Popup,      // the next popup menu's item, empty: dismissed (popup)
        Modal,      // the acts of the next modal window named `text` (block)
        Snapshot,   // the window's controls into the transcript
        Show,       // a file's bytes into the transcript (`text` names it)
        List,       // the names in a folder into the transcript
        Prompt,     // a prompt dialog run: `text` the specification, `title`, `number` the flags
        Screen,     // a screen window run: `number` fields, `text` definition, `attributes`,
                    // `dialogKind` its dialog kind
        Field,      // the value of field `number` of the current screen into the transcript
        Slot,       // SlotStore slot `number`.`dialogKind` into the transcript
        Eval,       // the value of expression `text` into the transcript
        Dictionary, // the dictionary whose DICC file is `text` loaded as File > Open loads it
        ScreenFile, // the screen file `text` made the one being edited, screen `number` current
        Viewed,     // what the next viewer was asked to show into the transcript
        Dict,       // the model of a dictionary file into the transcript (after the end only)
    };
    Kind kind = Kind::Act;
    int line = 0;
    platform::UiAction act;
    platform::BoxAnswer answer = platform::BoxAnswer::Ok;
    std::string text;       // cp1252; paths as written
    std::string title;      // Prompt
    std::string attributes; // Screen
    int number = 0;         // Prompt: flags; Screen: field count; Field: field; ScreenFile: screen
    int dialogKind = 2;     // Screen
    std::vector<ScenarioStep> block; // Modal
};

struct Scenario {
    struct Copy {
        std::string source; // relative to the scenario's folder
        std::string target; // relative to the work folder
    };
    struct Write {
        std::string target;
        std::string bytes; // cp1252
    };
    std::vector<Copy> copies;
    std::vector<Write> writes;
    std::vector<std::string> arguments; // the command line after the program
    std::vector<ScenarioStep> steps;    // while the designer runs
    std::vector<ScenarioStep> after;    // once it has ended
};

// The most bytes a scenario's `write` lines may put on disk together: far beyond any definition
// file, and a bound on what a scenario can make the tool hold in memory.
inline constexpr std::size_t kMaxScenarioWriteBytes = std::size_t{16} << 20;

// Parses a scenario; on a mistake answers false with "line N: what" in `error`.
bool ParseScenario(const std::string& text, Scenario* scenario, std::string* error);

// A quoted scenario text ("a\"b\r\n\x7C") as cp1252 bytes; false for a malformed one or a
// character cp1252 does not have.
bool UnquoteScenarioText(const std::string& quoted, std::string* bytes);

// Key names of `key` lines ("Return", "F4", "a"...); -1 for an unknown one.
platform::VirtualKey ScenarioKey(const std::string& name);

} // namespace vodarir::cli
