// The designer's working record, its slots and parked texts, the extension table and the marks.
#include "designer/designer_state.h"

#include <string>

#include "designer/editor_kinds.h"
#include "designer/structure_editor.h"

#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr TextRef kExtensionTable = "PPN,PAN,STP,DAT,DAT,PDC,PRX,ZAA,PMT,PDF,TXT,PDI,HLP"_t;
constexpr char kDiscardQuestion[] = "0018";

// The modified mask's bits of all kinds.
constexpr std::uint16_t kKnownKindBits =
    static_cast<std::uint16_t>((1u << KindNumber(editorkind::kLast)) - 1);

DesignerState g_state;
std::string g_parkedDocument;
std::string g_parkedScript;
const std::string kNothingParked;

std::uint16_t KindBit(EditorKind kind) {
    const std::uint16_t n = KindNumber(kind);
    return n >= 1 && n <= KindNumber(editorkind::kLast) ? static_cast<std::uint16_t>(1u << (n - 1))
                                                        : 0;
}

} // namespace

DesignerState& Designer() { return g_state; }

void DesignerStateClear() {
    g_state = DesignerState{};
    StructureEditorReset(); // the structure's history belongs to the same dialog
    g_parkedDocument.clear();
    g_parkedScript.clear();
}

bool CheckInvariants(const DesignerState& state, std::string* message) {
    const auto broken = [message](const std::string& why) {
        if (message != nullptr) *message = "DesignerState: " + why;
        return false;
    };
    if (!KnownKind(state.builtKind)) {
        return broken("built kind " + std::to_string(KindNumber(state.builtKind)) +
                      " is no kind of definition");
    }
    if (!KnownKind(state.currentKind)) {
        return broken("current kind " + std::to_string(KindNumber(state.currentKind)) +
                      " is no kind of definition");
    }
    if ((state.modifiedMask & ~kKnownKindBits) != 0) {
        return broken("modified mask " + std::to_string(state.modifiedMask) +
                      " marks a kind that does not exist");
    }
    if (state.modifiedFlag > 1) {
        return broken("modified flag is " + std::to_string(state.modifiedFlag));
    }
    if (state.screenNumber > state.screenCount) {
        return broken("screen " + std::to_string(state.screenNumber) + " of " +
                      std::to_string(state.screenCount));
    }
    const std::vector<std::size_t>& lines = state.documentLinesNotKept;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == 0 || (i > 0 && lines[i] <= lines[i - 1])) {
            return broken("document line " + std::to_string(lines[i]) + " out of order");
        }
    }
    return true;
}

SlotIndex KindSlot(EditorKind kind) {
    const EditorKindRow* row = KindRow(kind);
    return row != nullptr ? row->slot : 0;
}

TextRef DesignerSlot(SlotIndex slot) { return SlotGet(slotgroup::kDesigner, slot); }

StatusCode SetDesignerSlot(SlotIndex slot, TextRef text) {
    return SlotSet(slotgroup::kDesigner, slot, text);
}

const std::string& ParkedText(EditorKind kind) {
    if (kind == editorkind::kDocument) return g_parkedDocument;
    if (kind == editorkind::kScript) return g_parkedScript;
    return kNothingParked;
}

void SetParkedText(EditorKind kind, std::string text) {
    if (kind == editorkind::kDocument) g_parkedDocument = std::move(text);
    if (kind == editorkind::kScript) g_parkedScript = std::move(text);
}

std::uint16_t ExtensionNumber(TextRef extension) {
    if (extension.empty()) return extension::kNone;
    ScratchScope scope;
    return ListFind(kExtensionTable, TextCase(extension, LetterCase::Upper), ',');
}

TextRef ExtensionText(std::uint16_t number) {
    if (number == 0) return TextRef();
    return ListItem(kExtensionTable, ',', number);
}

bool MarkModified(MarkOp operation) {
    const std::uint16_t bit = KindBit(g_state.currentKind);
    switch (operation) {
    case MarkOp::Mark:
        g_state.modifiedMask |= bit;
        g_state.modifiedFlag = 1;
        return true;
    case MarkOp::Clear:
        g_state.modifiedMask &= static_cast<std::uint16_t>(~bit);
        return false;
    case MarkOp::ClearFlag:
        g_state.modifiedFlag = 0;
        return false;
    case MarkOp::Query:
        break;
    }
    return (g_state.modifiedMask & bit) != 0;
}

bool KindModified(EditorKind kind) { return (g_state.modifiedMask & KindBit(kind)) != 0; }

Discard ConfirmDiscard(Discard previous) {
    if (previous != Discard::NotAsked) return previous;
    if (!MarkModified(markop::kQuery)) return Discard::Yes;
    ScratchScope scope;
    return AskYesNo(MsgText(kDiscardQuestion)) ? Discard::Yes : Discard::No;
}

} // namespace vodarir
