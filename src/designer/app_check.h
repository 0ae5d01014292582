// The application check: every definition file of an application folder read with the loaders
// the editors use (the dictionary, each screen file with its parameter file, documents, scripts,
// selection lists), and every reference between them followed, so that a field deleted from the
// dictionary shows as the screens and scripts it breaks before the runtime meets them. Where-used
// answers every place that names one dictionary field or file.
//
// The dictionary is the runtime's one dictionary: a check saves it first (a checkpoint) and gives
// it back as it was, so the designer's open structure is untouched. Nothing is written.
//
// Places are plain values (PlaceText spells them), so a caller can both print a problem and open
// the definition where it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vodarir {

enum class Severity : std::uint8_t { Error, Warning };

// What a place points into.
enum class PlaceKind : std::uint8_t {
    File,            // the file as a whole
    DictionaryFile,  // file n (of the dictionary); field k or index k when given
    DictionaryField, // file n field k
    DictionaryIndex, // file n index k
    Screen,          // screen n of a screen file
    ScreenField,     // screen n field k
    ScreenRow,       // screen n row k
    ScreenKeyword,   // screen n, an attribute keyword
    Line,            // line n of a script or a selection list
    DocumentRow,     // row n of a document
};
struct CheckPlace {
    PlaceKind kind = PlaceKind::File;
    std::uint16_t number = 0; // the file, screen, line or row
    std::uint16_t item = 0;   // the field, index or row within it
    std::string keyword;      // ScreenKeyword: its name
    friend bool operator==(const CheckPlace&, const CheckPlace&) = default;
};
// "screen 2 field 5", "file 3 index 2", "line 7", "-" for the file as a whole.
std::string PlaceText(const CheckPlace& place);

struct CheckProblem {
    Severity severity = Severity::Error;
    std::string file; // relative to the folder
    CheckPlace place;
    std::string code;     // short, stable: what a script matches on
    std::string sentence; // for people
};

struct CheckReport {
    std::vector<CheckProblem> problems; // files in name order, each file's problems in its order
    std::uint32_t filesRead = 0;        // files that loaded
    std::uint32_t screens = 0;
    std::uint32_t errors = 0;
    std::uint32_t warnings = 0;
};

// Checks the application in `folder` (its dictionary by the prefix of its DICC file). A file that
// does not load is a problem of its own, with its status, and the check goes on without it.
CheckReport CheckApplication(const std::string& folder);

// One place that uses a dictionary field or file.
struct UseSite {
    std::string file;
    CheckPlace place;
    std::string what; // "bound", "keyword", "script"...
    std::string text; // the reference as written there
};
struct WhereResult {
    bool resolved = false; // false: the reference names nothing of the dictionary
    std::string failure;   // why, when not resolved (or the dictionary did not load)
    std::uint16_t file = 0;
    std::uint16_t field = 0; // 0: the whole file
    std::vector<UseSite> uses;
};
// Every place in the application in `folder` that uses the dictionary field `reference`
// ("NAME{file}", "n{m}") or, written "{file}", any field of that file.
WhereResult WhereUsed(const std::string& folder, std::string_view reference);

// ---- Steps, exposed for their tests -----------------------------------------------------------

// A field reference met in an expression text: its offset in the text, as written, and what it
// resolved to (status 0) or why not (147, 161, 168).
struct FieldRefUse {
    std::size_t offset = 0;
    std::string text;
    std::uint16_t status = 0;
    std::uint16_t file = 0;
    std::uint16_t field = 0;
};
// The field references of an expression text (a script, an attribute value), found with the
// expression language's tokenizer over the loaded dictionary: blanks and line breaks outside
// quotes do not count, nor do lines whose first character that is not blank is ";" (comments).
// A text too long for the tokenizer gives one use with status 146.
std::vector<FieldRefUse> FieldRefsIn(std::string_view text);

// The target files that the items of a relation text name (<target>R<relation>K<index>), in
// order, with the item as written.
struct RelationTarget {
    std::uint32_t target = 0;
    std::string item;
};
std::vector<RelationTarget> RelationTargets(std::string_view relationText);

} // namespace vodarir
