// Prompt specifications: the text that describes a prompt dialog's items, read part by part, and
// where the answers of the last dialog are kept.
//
// A specification is a comma list of items (commas inside quoted literals do not separate); an
// item is a ":" list of parts: label, type and width ('A30'), target, default, assignment name.
// Any part may carry the position options "/ROW n" and "/COL n"; the label may carry window
// options after " /".
//
// The answers of the last accepted dialog are one comma list in SlotStore 9.7, each answer in
// apostrophes; 9.6 holds the specification they belong to and 9.1 the condition of a limit
// dialog.
//
// Ownership: PromptPart and SplitPosition answer views into their input; the others answer new
// ScratchStack levels above the caller's depth (NormalizePrompt answers its input when it has
// nothing to change). Answer reads the SlotStore and answers a view into a scratch copy.
#pragma once

#include <cstdint>

#include "runtime/store/slot_store.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

inline constexpr char kPromptItemSeparator = ',';
inline constexpr char kPromptPartSeparator = ':';
// The separator an item may use between its parts when it holds no ":" at all.
inline constexpr char kPromptAltSeparator = ';';

// Where the answers live (group 9 is the runtime's message group: ".envvar").
inline constexpr SlotGroup kAnswerGroup = slotgroup::kRuntimeMessages;
inline constexpr SlotIndex kAnswerConditionSlot = 1; // a limit dialog's condition
inline constexpr SlotIndex kAnswerSpecSlot = 6;      // the specification answered
inline constexpr SlotIndex kAnswersSlot = 7;         // the answers (".dialog")

// The parts of an item, numbered from 1 as the text numbers them.
enum class PromptPartKind : std::uint16_t {
    Label = 1,
    TypeWidth = 2,
    Target = 3,
    Default = 4,
    Assignment = 5,
};

// More items than this make no dialog: one field per item and a screen holds at most 80.
inline constexpr std::uint16_t kMaxPromptItems = 80;

// Every ";" outside quotes becomes ":" when the text holds no ":" outside quotes and at least
// one ";"; otherwise the text is answered as it is.
TextRef NormalizePrompt(TextRef spec);
// The number of items of a specification.
std::uint16_t PromptItemCount(TextRef spec);
// Part `part` of item `item` (both 1-based), as written; empty when either is missing.
TextRef PromptPart(TextRef spec, std::uint16_t item, PromptPartKind part);

struct PromptPosition {
    TextRef value;            // the text before the first option, right-trimmed
    std::uint16_t row = 0;    // 0: not given
    std::uint16_t column = 0; // 0: not given
};
// The value of a part without its "/ROW n" and "/COL n" options (found outside quotes, in either
// letter case), and the numbers they give. A number that is missing, or larger than
// kMaxPromptPosition, gives 0 (not given).
inline constexpr std::uint16_t kMaxPromptPosition = 999;
PromptPosition SplitPosition(TextRef text);

// The label of item `item`: a field reference shows the field's name followed by ":" (and, when
// comparison is 1..6, the word of message 0080 for that comparison); a text expression is
// evaluated (its failure is answered); anything else is shown as written. Window options after
// " /" and position options are not shown.
TextRef PromptLabel(TextRef spec, std::uint16_t item, std::uint16_t comparison = 0);

// A specification asking for each integer or text variable of the comma list `names` (numeric
// and array names are skipped): label "NAME: ", type "A32" (integers) or "A511" (texts), the
// name as the target when withTarget is set, and as default the variable's current value, or,
// with item != 0, FN$PARM of it and item. Empty when no name qualifies.
TextRef PromptFromNames(TextRef names, bool withTarget, std::uint16_t item);

// Answer k (1-based) of the last dialog, without its enclosing quotes; empty when there is none.
TextRef Answer(std::uint16_t k);
// When spec differs from the specification answered last: forgets the answers and remembers spec.
StatusCode RememberPrompt(TextRef spec);

// Checks the shape of a specification before a dialog is built from it: quotes that close, at
// least one and at most kMaxPromptItems items, and for every item a type letter of the field
// types followed by a width of 1..kMaxPromptWidth. 0, or kData with the detail naming the item.
inline constexpr std::uint16_t kMaxPromptWidth = 511;
StatusCode PromptCheck(TextRef spec);
// The type letter and width of item `item` ('A30' gives A and 30); false when part 2 is not a
// type letter followed by a width of 1..kMaxPromptWidth.
bool PromptTypeWidth(TextRef spec, std::uint16_t item, char* type, std::uint16_t* width);

} // namespace vodarir
