// Attribute forms: a screen's or a field's attribute keywords shown as a form (the runtime's
// prompt dialog), and the attribute text of the parameter file they are read from and written to.
//
// The attribute text of a screen is its block of the parameter file, one KEY=value item a line,
// joined with ":". A value that is not made only of ".-1234567890" is in single quotes. A field
// keyword's value is a comma list with item n for field n. What the runtime reads of a keyword is
// TextOptGet of the text (a field's item: that list's item n, trimmed and unquoted), and a form
// writes a value only when the runtime would read it back exactly as entered.
//
// The plan, the specification, the answers and the new text are plain values worked out here;
// RunAttributeForm only adds the dialog and the file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// How a keyword is edited, by the first of "@", "(", "$", "#" its name holds.
enum class KeywordKind : std::uint8_t {
    Short,      // "@" or none of them: 32 characters
    Long,       // "$": 511 characters
    NotOffered, // "(" or "#": not in the form
};
KeywordKind KindOfKeyword(std::string_view keyword);
inline constexpr std::uint16_t kShortValueWidth = 32;
inline constexpr std::uint16_t kLongValueWidth = 511;

// The kinds of screen, as message 1008 offers them.
enum class ScreenType : std::uint8_t { Basic = 1, Extended = 2, Menu = 3, Report = 4 };
struct ScreenTypeRow {
    ScreenType type;
    const char* keywords;
    const char* helpFile; // "" when the type has none
};
std::span<const ScreenTypeRow> ScreenTypes();
inline constexpr char kFieldKeywords[] =
    "FD$,ALARM$,ASSIGN$,LNASSIGN$,FILEDEF$,PERFORM$,UPDFIELDS$,WIDTHS$,TYPES$,WINDOWS$,CLEAR$,"
    "ON_CONFIRM$,ON_CANCEL$,USR_COND$,IK$(1),IK$(2),IK$(3)";
inline constexpr char kFieldHelpFile[] = "SCR_FLDS.HLP";
// The keyword whose item n names the variable that receives field n.
inline constexpr char kFieldNamesKeyword[] = "FD$";

// One line of a form.
struct FormLine {
    std::string keyword;
    KeywordKind kind = KeywordKind::Long;
    bool perField = false; // a field keyword: its value is item n of the keyword's list
    std::string current;   // what the runtime reads now
    std::string shown;     // what the form shows when it opens
};
struct AttributeFormPlan {
    std::vector<FormLine> lines;
    std::uint16_t field = 0; // 0: the screen's own keywords
    std::string helpFile;
};
// The form of the comma list of keywords over the attribute text; for field n (0: the screen)
// each field keyword shows item n, and when FD$ names field n, that name followed by "$" is one
// more line of its own. Keywords whose value is longer than their width are left out (the form
// could not show them whole), so is a field name that cannot be a keyword.
AttributeFormPlan PlanAttributeForm(std::string_view keywords, std::string_view attributes,
                                    std::uint16_t field, std::string_view helpFile);
// The prompt specification of the form: a line per keyword with its prompt, mask and value; the
// help file, when there is one, as a window option of the first label.
std::string FormSpecification(const AttributeFormPlan& plan);
// The values of the prompt's answers (its comma list of quoted answers). False when the list does
// not read back as `count` answers (an answer that holds both kinds of quote).
bool ReadAnswers(std::string_view answers, std::size_t count, std::vector<std::string>* values);

// Why a value entered cannot be written.
enum class ValueRefusal : std::uint8_t {
    None,
    Quote,     // a single quote (or a double one) would end the quoted value
    LineBreak, // the parameter file holds one item a line
    TooLong,   // its line would be longer than the line reader takes
    Comma,     // a comma would split the field list into other fields' items
    Other,     // it would read back otherwise (or change another keyword)
};
struct FormApplied {
    std::string attributes;
    bool changed = false;
    ValueRefusal refusal = ValueRefusal::None;
    std::size_t line = 0; // the line refused, from 0
};
// The attribute text with the values entered (one per line of the plan): a value different from
// the current one (trailing blanks aside) replaces the keyword's item (for a field keyword, only
// item n of its list), is added when there was none, or removes it when empty. Refused, with the
// text as it was, when a value would not read back exactly as entered.
FormApplied ApplyFormValues(const AttributeFormPlan& plan, std::string_view attributes,
                            const std::vector<std::string>& values);

// The items of an attribute text (split at every ":" outside quotes), and the text of items.
std::vector<std::string> AttributeItems(std::string_view attributes);
std::string JoinAttributeItems(const std::vector<std::string>& items);
// The lines a block of the parameter file is written with: the items, and an item too long for
// a line (a quoted value that ran over several lines of the file) cut at its other ":" as the
// file had it. Joined with ":" they are the text again.
std::vector<std::string> ParameterLines(std::string_view attributes);

// The results of a form.
namespace formresult {
inline constexpr StatusCode kChanged = 0;
inline constexpr StatusCode kUnchanged = 8;
inline constexpr StatusCode kCancelled = 122;
} // namespace formresult
// Shows the form for screen `screen` of the parameter file `parameters` (field 0: the screen's
// keywords) and writes the block back: for the screen's keywords when one changed, for a field's
// after every confirmed form. A value that cannot be written is refused with a message naming it,
// and the form opens again with what was entered. Answers a result of formresult, or the status
// that stopped it.
StatusCode RunAttributeForm(std::string_view keywords, TextRef title, TextRef parameters,
                            std::uint16_t screen, std::uint16_t field, std::string_view helpFile);

} // namespace vodarir
