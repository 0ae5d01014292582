// Options of the stored command line.
#include "runtime/store/command_options.h"

#include <cctype>

#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

constexpr SlotIndex kCommandLineSlot = 1;
constexpr char kWordSeparator = ' ';
constexpr char kOptionMark = '/';
constexpr char kSpellingSeparator = ';';
constexpr std::uint16_t kProgramWord = 1;

bool SameName(TextRef a, TextRef b, bool anyCase) {
    if (a.size() != b.size()) return false;
    for (std::uint16_t i = 0; i < a.size(); ++i) {
        const unsigned char x = a.at(i);
        const unsigned char y = b.at(i);
        if (x == y) continue;
        if (!anyCase || std::toupper(x) != std::toupper(y)) return false;
    }
    return true;
}

// The option word's name and value, or false for a word that is no option.
bool SplitOption(TextRef word, TextRef* name, TextRef* value) {
    const TextRef w = TextUnquote(TextTrim(word, TrimSides::Both));
    if (w.empty() || w.data[0] != kOptionMark) return false;
    const TextRef body = TextSub(w, 1, -1);
    const std::uint16_t at = TextFindAny(body, 0, TextView("=:"), true);
    *name = at == kNotFound ? body : TextSub(body, 0, at);
    *value = at == kNotFound ? TextRef(body.data + body.size(), 0)
                             : TextUnquote(TextSub(body, at + 1, -1));
    return true;
}

bool FindOption(TextRef line, TextRef name, bool anyCase, TextRef* value) {
    const std::uint16_t words = ListCount(line, kWordSeparator);
    for (std::uint16_t n = kProgramWord + 1; n <= words && n != 0; ++n) {
        TextRef key;
        TextRef v;
        if (SplitOption(ListItem(line, kWordSeparator, n), &key, &v) &&
            SameName(key, name, anyCase)) {
            *value = v;
            return true;
        }
    }
    return false;
}

} // namespace

TextRef CommandLineOption(TextRef name, bool* found) {
    if (found != nullptr) *found = false;
    if (name.failed()) return name;
    ScratchScope scope;
    // The slot is copied: the value must not move when the store changes.
    const TextRef line = TextDup(SlotGet(slotgroup::kEnvironment, kCommandLineSlot));
    TextRef value;
    const bool hit =
        !name.empty() && !line.failed() &&
        (FindOption(line, name, false, &value) || FindOption(line, name, true, &value));
    if (found != nullptr) *found = hit;
    return scope.Return(hit ? value : TextRef());
}

TextRef CommandLineOptionNumber(int n, bool* found) {
    if (found != nullptr) *found = false;
    ScratchScope scope;
    const std::uint16_t options = ListCount(kCommandOptions, ',');
    const TextRef spellings = n >= 1 && n <= int(options)
                                  ? ListItem(kCommandOptions, ',', static_cast<std::uint16_t>(n))
                                  : TextRef();
    const std::uint16_t count = ListCount(spellings, kSpellingSeparator);
    for (std::uint16_t i = 1; i <= count; ++i) {
        bool hit = false;
        const TextRef value = CommandLineOption(ListItem(spellings, kSpellingSeparator, i), &hit);
        if (hit) {
            if (found != nullptr) *found = true;
            return scope.Return(value); // one level above the mark already: stays where it is
        }
        scope.Release();
    }
    return scope.Return(TextRef());
}

} // namespace vodarir
