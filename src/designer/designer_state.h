// The designer's working record (DesignerState), its slot group (DesignerSlots), the kinds of
// definition it edits, the extension table, and the modified marks every editor keeps.
//
// Ownership: DesignerState is one process-wide record behind Designer(); the main dialog clears it
// when it is made. Base paths and the screen text live in SlotStore group 10. The texts of the
// document and the script while another layout is shown live in this module's own memory (see
// ParkedText): the store's whole pool is 64 KB, shared with the environment, the language file and
// the dictionary, so a long script parked there would either not fit or starve the runtime.
//
// Invariants of DesignerState (CheckInvariants holds the record to those it can see):
//  1. builtKind is the kind whose controls are in the main dialog (kNone: the idle picture); it is
//     one of the kinds of EditorKind.
//  2. currentKind is the kind of the last OpenEditor call that passed its kind check; one of the
//     kinds too.
//  3. Bit k - 1 of modifiedMask is set exactly while kind k has changes nobody saved or dropped;
//     no bit beyond the last kind is ever set.
//  4. modifiedFlag is 0 or 1.
//  5. screenNumber is 0 or between 1 and screenCount.
//  6. documentLinesNotKept lists the lines of the file the document text was opened from that a
//     save would change or drop, each from 1, in ascending order; it is emptied by the first save
//     that goes through and by a new document.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/store/slot_store.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The kinds of definition the designer edits. The numbers are the program's own (the titles of
// message 1001 are entered by them, the modified mask has bit number - 1); they are read from and
// written to the runtime only through KindNumber and KindFromNumber.
enum class EditorKind : std::uint16_t {
    None = 0,
    FileStructure = 1,
    Screen = 2,
    Document = 3,
    Script = 4,
    AppSelection = 5,
};
namespace editorkind {
inline constexpr EditorKind kNone = EditorKind::None;
inline constexpr EditorKind kFileStructure = EditorKind::FileStructure;
inline constexpr EditorKind kScreen = EditorKind::Screen;
inline constexpr EditorKind kDocument = EditorKind::Document;
inline constexpr EditorKind kScript = EditorKind::Script;
inline constexpr EditorKind kAppSelection = EditorKind::AppSelection;
inline constexpr EditorKind kLast = EditorKind::AppSelection;
} // namespace editorkind
constexpr std::uint16_t KindNumber(EditorKind kind) { return static_cast<std::uint16_t>(kind); }
// The kind of a number, or kNone for a number that names none.
constexpr EditorKind KindFromNumber(unsigned number) {
    return number <= KindNumber(editorkind::kLast) ? static_cast<EditorKind>(number)
                                                   : editorkind::kNone;
}
// Whether the value is one of the kinds above (kNone included).
constexpr bool KnownKind(EditorKind kind) {
    return KindNumber(kind) <= KindNumber(editorkind::kLast);
}

// Slots of group 10.
namespace designerslot {
inline constexpr SlotIndex kStructureBase = 1;
inline constexpr SlotIndex kScreenBase = 2;
inline constexpr SlotIndex kScreenText = 3;
inline constexpr SlotIndex kWorkBase = 4;
inline constexpr SlotIndex kDocumentBase = 5;
inline constexpr SlotIndex kScriptBase = 7;
inline constexpr SlotIndex kAppListBase = 9;
} // namespace designerslot

// Numbers of ExtensionTable ("PPN,PAN,STP,DAT,DAT,PDC,PRX,ZAA,PMT,PDF,TXT,PDI,HLP", from 1).
namespace extension {
inline constexpr std::uint16_t kNone = 0;
inline constexpr std::uint16_t kParameters = 1; // PPN
inline constexpr std::uint16_t kScreen = 2;     // PAN
inline constexpr std::uint16_t kStructure = 4;  // DAT
inline constexpr std::uint16_t kStructureAlt = 5;
inline constexpr std::uint16_t kDocument = 6; // PDC
inline constexpr std::uint16_t kScript = 7;   // PRX
inline constexpr std::uint16_t kAppList = 8;  // ZAA
inline constexpr std::uint16_t kPdf = 10;     // PDF
inline constexpr std::uint16_t kText = 11;    // TXT
} // namespace extension

struct DesignerState {
    EditorKind builtKind = editorkind::kNone;
    EditorKind currentKind = editorkind::kNone;
    std::uint16_t modifiedMask = 0;
    std::uint8_t modifiedFlag = 0;
    std::uint16_t screenNumber = 0;
    std::uint16_t screenCount = 0;
    std::vector<std::size_t> documentLinesNotKept; // line numbers, from 1
};

// The one working record of the designer.
DesignerState& Designer();
// Every field back to 0, and the parked texts emptied.
void DesignerStateClear();

// The first broken invariant of the record, said in words; true (and the message untouched) when
// every one holds.
bool CheckInvariants(const DesignerState& state, std::string* message);

// The slot of a kind's base path (1, 2, 5, 7, 9); 0 for any other kind.
SlotIndex KindSlot(EditorKind kind);
TextRef DesignerSlot(SlotIndex slot);
StatusCode SetDesignerSlot(SlotIndex slot, TextRef text);

// The text of the document (kind 3) or the script (kind 4) while another layout is shown; empty
// for other kinds. Nothing limits it below kMaxTextLength: the editors refuse longer texts first.
const std::string& ParkedText(EditorKind kind);
void SetParkedText(EditorKind kind, std::string text);

// ExtensionTable: the number of an extension (compared upper-cased), 0 when none matches, and the
// extension of a number (empty outside 1..13).
std::uint16_t ExtensionNumber(TextRef extension);
TextRef ExtensionText(std::uint16_t number);

// MarkModified operations.
enum class MarkOp : std::uint8_t {
    Query,     // is the current kind's bit set?
    Mark,      // sets the current kind's bit and the modified flag
    Clear,     // clears the current kind's bit
    ClearFlag, // clears the modified flag
};
namespace markop {
inline constexpr MarkOp kMark = MarkOp::Mark;
inline constexpr MarkOp kClear = MarkOp::Clear;
inline constexpr MarkOp kClearFlag = MarkOp::ClearFlag;
inline constexpr MarkOp kQuery = MarkOp::Query;
} // namespace markop
bool MarkModified(MarkOp operation);
bool KindModified(EditorKind kind);

// The answer one command passes from step to step, so 0018 is asked at most once.
enum class Discard : std::uint8_t { NotAsked, Yes, No };
// NotAsked with the current kind unmodified counts as Yes; an earlier answer is kept; otherwise
// 0018 is asked as a yes/no question.
Discard ConfirmDiscard(Discard previous);
inline bool Discards(Discard answer) { return answer == Discard::Yes; }

} // namespace vodarir
