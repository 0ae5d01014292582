// The designer's working record, its slots and parked texts, the extension table and the marks.
#include "designer/designer_state.h"

#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr TextRef kExtensionTable = "PPN,PAN,STP,DAT,DAT,PDC,PRX,ZAA,PMT,PDF,TXT,PDI,HLP"_t;
constexpr char kDiscardQuestion[] = "0018";

// Base-path slot of each kind, indexed by kind.
constexpr SlotIndex kKindSlots[editorkind::kLast + 1] = {
    0,
    designerslot::kStructureBase,
    designerslot::kScreenBase,
    designerslot::kDocumentBase,
    designerslot::kScriptBase,
    designerslot::kAppListBase,
};

DesignerState g_state;
std::string g_parkedDocument;
std::string g_parkedScript;
const std::string kNothingParked;

std::uint16_t KindBit(EditorKind kind) {
    return kind >= 1 && kind <= 16 ? static_cast<std::uint16_t>(1u << (kind - 1)) : 0;
}

} // namespace

DesignerState& Designer() { return g_state; }

void DesignerStateClear() {
    g_state = DesignerState{};
    g_parkedDocument.clear();
    g_parkedScript.clear();
}

SlotIndex KindSlot(EditorKind kind) { return kind <= editorkind::kLast ? kKindSlots[kind] : 0; }

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
    const ScratchLevel mark = ScratchMark();
    const std::uint16_t n = ListFind(kExtensionTable, TextCase(extension, LetterCase::Upper), ',');
    ScratchRelease(mark);
    return n;
}

TextRef ExtensionText(std::uint16_t number) {
    if (number == 0) return TextRef();
    return ListItem(kExtensionTable, ',', number);
}

bool MarkModified(int operation) {
    const std::uint16_t bit = KindBit(g_state.currentKind);
    switch (operation) {
    case markop::kMark:
        g_state.modifiedMask |= bit;
        g_state.modifiedFlag = 1;
        return true;
    case markop::kClear:
        g_state.modifiedMask &= static_cast<std::uint16_t>(~bit);
        return false;
    case markop::kClearFlag:
        g_state.modifiedFlag = 0;
        return false;
    default:
        return (g_state.modifiedMask & bit) != 0;
    }
}

bool KindModified(EditorKind kind) { return (g_state.modifiedMask & KindBit(kind)) != 0; }

Discard ConfirmDiscard(Discard previous) {
    if (previous != Discard::NotAsked) return previous;
    if (!MarkModified(markop::kQuery)) return Discard::Yes;
    const ScratchLevel mark = ScratchMark();
    const bool yes = AskYesNo(MsgText(kDiscardQuestion));
    ScratchRelease(mark);
    return yes ? Discard::Yes : Discard::No;
}

} // namespace vodarir
