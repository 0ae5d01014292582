// Relations between files: item lookup in relation texts, the relation's index and key, and the
// relational operation over the data-access entry points.
#include "script/relations.h"

#include "dictionary/data_access.h"
#include "dictionary/dictionary.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/evaluator.h"
#include "script/templates.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr char kIntroducers[] = {':', '='};
// A relation's item name is "<target>R<relation>K"; this is room enough for two 16-bit numbers.
constexpr std::uint16_t kTokenMaximum = 16;
constexpr std::uint32_t kMaxIndexNumber = 0xFFFF;
// Bits of the integer system variables RelateRecord tests.
constexpr std::uint16_t kUpStatLowLevelUpdate = 32;
constexpr std::uint16_t kScrStatMoveAfterRelate = 64;
// The key that asks for a move backwards, and the direction codes of the move.
constexpr std::int16_t kKeyBackwards = 23;
constexpr std::uint16_t kMoveForward = 16;
constexpr std::uint16_t kMoveBackward = 20;
// The find entry point's answers below 128.
constexpr StatusCode kFound = 0;
constexpr StatusCode kLastPassOnResult = 2;

bool IsSeparator(char c) { return TextFindChr(kRelationItemSeparators, 0, c, true) != kNotFound; }

bool Has(std::uint16_t mode, std::uint16_t bits) { return (mode & bits) == bits; }

// Offset of the first occurrence of needle that starts an item (at the start of text or right
// after a separator), outside quoted runs; kNotFound when none.
std::uint16_t FindItemStart(TextRef text, TextRef needle) {
    std::uint32_t from = 0;
    while (from < text.size()) {
        const TextRef rest = TextSub(text, static_cast<int>(from), -1);
        const std::uint16_t hit = TextFind(rest, needle, false);
        if (hit == kNotFound) return kNotFound;
        const std::uint32_t at = from + hit;
        if (at == 0 || IsSeparator(text.data[at - 1])) return static_cast<std::uint16_t>(at);
        from = at + 1;
    }
    return kNotFound;
}

// "<target>R<relation>K" on the ScratchStack.
TextRef RelationToken(std::uint16_t target, std::uint16_t relation) {
    return TextFormat(kTokenMaximum, "%uR%uK", unsigned{target}, unsigned{relation});
}

std::uint16_t IndexAfter(TextRef text, std::uint16_t at) {
    std::uint32_t value = 0;
    bool digits = false;
    for (std::uint32_t i = at; i < text.size() && text.data[i] >= '0' && text.data[i] <= '9'; ++i) {
        value = value * 10 + static_cast<std::uint32_t>(text.data[i] - '0');
        if (value > kMaxIndexNumber) return 0;
        digits = true;
    }
    return digits ? static_cast<std::uint16_t>(value) : 0;
}

StatusCode LowLevelUpdate(std::uint16_t target, TextRef update) {
    if (update.empty()) return status::kOk;
    const TextRef value = EvalText(update);
    if (value.failed()) return value.status();
    const TextRef expanded = ExpandTemplate(value, 0, TextRef());
    if (expanded.failed()) return expanded.status();
    return expanded.empty() ? status::kOk : DataFileRelUpdateLow(target);
}

// After the record operation: walks on through the target file when the mode and the screen ask
// for it, repeating the update on every record the move reaches.
StatusCode MoveOn(std::uint16_t target, std::uint16_t mode, TextRef update) {
    const std::uint16_t direction =
        IntVarGet(sysvar::kLastKey) == kKeyBackwards ? kMoveBackward : kMoveForward;
    StatusCode st = DataFileMove(target, direction);
    while (st == status::kOk && Has(mode, relmode::kUpdate)) {
        st = EvalStatus(update);
        if (st == status::kOk) st = DataFileMove(target, direction);
    }
    IntVarFlags(sysvar::kScrStat, kScrStatMoveAfterRelate, false);
    return st;
}

StatusCode ThroughIndex(std::uint16_t source, std::uint16_t target, std::uint16_t relation,
                        std::uint16_t mode, TextRef update) {
    StatusCode st = DataFileFind(target, RelationIndex(source, target, relation));
    if (st >= status::kFirstError) return st;
    const bool found = st == kFound;
    const bool insert = !found && Has(mode, relmode::kInsert);
    if (found && Has(mode, relmode::kInsert | relmode::kUpdate)) {
        st = DataFileDelete(target, 0);
    } else if (!Has(mode, relmode::kUpdate) && ((found && !update.empty()) || insert)) {
        const StatusCode u = EvalStatus(update);
        if (u != status::kOk) return u;
        st = insert ? DataFileInsert(target) : DataFileWrite(target);
    }
    if (st <= kLastPassOnResult && Has(mode, relmode::kMove) &&
        IntVarTest(sysvar::kScrStat, kScrStatMoveAfterRelate)) {
        st = MoveOn(target, mode, update);
    }
    return st;
}

StatusCode Relate(std::uint16_t source, std::uint16_t target, std::uint16_t relation,
                  std::uint16_t mode, TextRef update) {
    // The key is a view into the store, which evaluating may move: copy it first.
    const TextRef key = TextDup(RelationKey(source, target, relation));
    if (key.failed()) return key.status();
    if (key.empty()) return status::kData;
    const StatusCode st = EvalStatus(key);
    if (st != status::kOk) return st;
    if (IntVarTest(sysvar::kUpStat, kUpStatLowLevelUpdate) &&
        !Has(mode, relmode::kInsert | relmode::kUpdate)) {
        return LowLevelUpdate(target, update);
    }
    return ThroughIndex(source, target, relation, mode, update);
}

} // namespace

TextRef ItemValue(TextRef text, TextRef name) {
    if (text.failed()) return text;
    if (name.size() == 0) return TextRef::Failed(status::kData);
    ScratchScope scope;
    TextRef value = TextRef::Failed(status::kData);
    for (const char introducer : kIntroducers) {
        const TextRef needle = TextConcat(name, TextRef(&introducer, 1));
        const std::uint16_t at = needle.failed() ? kNotFound : FindItemStart(text, needle);
        if (at == kNotFound) continue;
        const std::uint32_t begin = std::uint32_t{at} + needle.length;
        const std::uint16_t end = begin >= text.length
                                      ? kNotFound
                                      : TextFindAny(text, static_cast<std::uint16_t>(begin),
                                                    kRelationItemSeparators, false);
        const std::uint32_t stop = end == kNotFound ? text.length : end;
        value = TextRef(text.data + begin, static_cast<std::uint16_t>(stop - begin));
        break;
    }
    return value;
}

std::uint16_t RelationIndex(std::uint16_t source, std::uint16_t target, std::uint16_t relation) {
    ScratchScope scope;
    const TextRef token = RelationToken(target, relation);
    const TextRef text = RelationText(source);
    const std::uint16_t at = token.failed() ? kNotFound : FindItemStart(text, token);
    return at == kNotFound ? 0 : IndexAfter(text, static_cast<std::uint16_t>(at + token.length));
}

TextRef RelationKey(std::uint16_t source, std::uint16_t target, std::uint16_t relation) {
    const std::uint16_t index = RelationIndex(source, target, relation);
    if (index == 0) return TextRef();
    ScratchScope scope;
    const TextRef name = TextFormat(kTokenMaximum, "%uR%uK%u", unsigned{target}, unsigned{relation},
                                    unsigned{index});
    const TextRef value = name.failed() ? name : ItemValue(RelationText(source), name);
    return value.failed() ? TextRef() : TextUnquote(value);
}

StatusCode RelateRecord(std::uint16_t source, std::uint16_t target, std::uint16_t relation,
                        std::uint16_t mode, TextRef update) {
    ScratchScope scope;
    return Relate(source, target, relation, mode, update);
}

} // namespace vodarir
