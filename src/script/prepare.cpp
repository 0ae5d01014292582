// Preparation of expression texts: the blank-free working copy, input macro expansion and the
// parenthesis count.
#include "script/prepare.h"

#include <cstring>
#include <string_view>

#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/tokens.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr char kBlank = ' ';
constexpr char kOpenParen = '(';
constexpr char kCloseParen = ')';
constexpr TextRef kMacroPrefix = "_ACCEPT"_t;
// Expanded before evaluation, in this order: positions in kInputMacroNames.
constexpr std::uint16_t kExpandedMacros[] = {2, 1};
// Each expansion consumes one macro of the text (its arguments are copied, never multiplied),
// so a text cannot hold more than this many; the bound only guarantees that the loop ends.
constexpr int kMaxMacroExpansions = kMaxTextLength / (sizeof("_ACCEPT$()") - 1) + 1;

// What one pass over the text found besides the copy.
struct Stripped {
    std::uint32_t length = 0; // bytes written
    long balance = 0;         // "(" minus ")" outside quotes
    bool underscore = false;  // a "_" outside quotes: a macro may follow
};

// What StripBlanks does with each byte outside quotes.
enum : std::uint8_t { kKeep, kQuote, kDrop, kOpen, kClose, kUnderscore };

struct ByteActions {
    std::uint8_t action[256] = {};
};

constexpr ByteActions MakeByteActions() {
    ByteActions t;
    t.action[static_cast<unsigned char>('\'')] = kQuote;
    t.action[static_cast<unsigned char>('"')] = kQuote;
    t.action[static_cast<unsigned char>(kBlank)] = kDrop;
    t.action[static_cast<unsigned char>(kOpenParen)] = kOpen;
    t.action[static_cast<unsigned char>(kCloseParen)] = kClose;
    t.action[static_cast<unsigned char>('_')] = kUnderscore;
    return t;
}

constexpr ByteActions kByteActions = MakeByteActions();

// Copies text to out without the blanks outside quoted literals, counting parentheses on the way.
Stripped StripBlanks(TextRef text, char* out) {
    Stripped r;
    const char* in = text.data;
    const std::uint32_t length = text.length;
    std::uint32_t n = 0;
    for (std::uint32_t i = 0; i < length; ++i) {
        const char c = in[i];
        const std::uint8_t action = kByteActions.action[static_cast<unsigned char>(c)];
        if (action == kKeep) { // most bytes: copied, nothing else to note
            out[n++] = c;
            continue;
        }
        switch (action) {
        case kQuote: {
            const void* close = std::memchr(in + i + 1, c, length - i - 1);
            const std::uint32_t end =
                close == nullptr
                    ? length
                    : static_cast<std::uint32_t>(static_cast<const char*>(close) - in) + 1;
            std::memcpy(out + n, in + i, end - i);
            n += end - i;
            i = end - 1;
            continue;
        }
        case kDrop:
            continue;
        case kOpen:
            ++r.balance;
            break;
        case kClose:
            --r.balance;
            break;
        default:
            r.underscore = true;
            break;
        }
        out[n++] = c;
    }
    r.length = n;
    return r;
}

// True when "(" and ")" outside quotes are equal in number.
bool ParensPaired(TextRef text) {
    long balance = 0;
    std::uint32_t i = 0;
    while ((i = FindOperatorChar(text.data, text.length, i)) < text.length) {
        if (text.data[i] == kOpenParen) ++balance;
        if (text.data[i] == kCloseParen) --balance;
        ++i;
    }
    return balance == 0;
}

// The raw texts of the arguments in a macro's group: split at ";" and "," outside quotes and
// outside nested parentheses.
int SplitArguments(TextRef group, TextRef* args) {
    int count = 0;
    std::uint32_t begin = 0;
    std::uint32_t depth = 0;
    std::uint32_t i = 0;
    while ((i = FindOperatorChar(group.data, group.length, i)) < group.length) {
        const char c = group.data[i];
        if (c == kOpenParen) ++depth;
        if (c == kCloseParen && depth > 0) --depth;
        if (depth == 0 && (c == ';' || c == ',')) {
            if (count < kMaxMacroArguments) {
                args[count++] = TextRef(group.data + begin, static_cast<std::uint16_t>(i - begin));
            }
            begin = i + 1;
        }
        ++i;
    }
    if (count < kMaxMacroArguments && (group.length > 0 || count > 0)) {
        args[count++] =
            TextRef(group.data + begin, static_cast<std::uint16_t>(group.length - begin));
    }
    return count;
}

// Writes the pieces into one new level: before, the template with its placeholders filled in
// order (missing arguments as empty texts), after. kStringTooLong beyond 65535 bytes.
TextRef Compose(TextRef before, TextRef pattern, const TextRef* args, int count, TextRef after) {
    std::uint32_t total = std::uint32_t{before.length} + after.length;
    int used = 0;
    for (std::uint32_t i = 0; i < pattern.length; ++i) {
        const bool placeholder =
            i + 1 < pattern.length && pattern.data[i] == '%' && pattern.data[i + 1] == 's';
        total += placeholder ? (used < count ? args[used++].length : 0) : 1;
        if (placeholder) ++i;
    }
    if (total > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    char* out = ScratchAllocPtr(total, kNoFill);
    if (out == nullptr) return TextRef::Failed(status::kOutOfMemory);
    std::uint32_t n = 0;
    auto put = [&](TextRef t) {
        std::memcpy(out + n, t.data, t.length);
        n += t.length;
    };
    put(before);
    used = 0;
    for (std::uint32_t i = 0; i < pattern.length; ++i) {
        if (i + 1 < pattern.length && pattern.data[i] == '%' && pattern.data[i + 1] == 's') {
            if (used < count) put(args[used]);
            ++used;
            ++i;
        } else {
            out[n++] = pattern.data[i];
        }
    }
    put(after);
    return TextRef(out, static_cast<std::uint16_t>(total));
}

// Expands the macro whose name (ending in "(") starts at `at`.
TextRef ExpandAt(TextRef text, std::uint16_t at, TextRef name, TextRef pattern) {
    TokenCursor c = NewCursor(text);
    c.start = at;
    c.tokenLength = static_cast<std::uint16_t>(name.length - 1);
    c.groupLength = GroupLength(c);
    const TextRef group = GroupText(c);
    const std::uint32_t groupEnd = std::uint32_t{at} + name.length + c.groupLength;
    const std::uint32_t afterStart = GroupClosed(c) ? groupEnd + 1 : groupEnd;
    TextRef args[kMaxMacroArguments];
    const int count = SplitArguments(group, args);
    const TextRef before(text.data, at);
    const TextRef after(text.data + afterStart,
                        static_cast<std::uint16_t>(text.length - afterStart));
    return Compose(before, pattern, args, count, after);
}

// Expands every input macro outside quotes. text is the one level above mark, and so is the
// result: each expansion is moved down over the text it replaces.
TextRef ExpandMacros(TextRef text, ScratchLevel mark) {
    const TextRef names = TextView(kInputMacroNames);
    const TextRef patterns = TextView(kInputMacroExpansions);
    for (int round = 0; round <= kMaxMacroExpansions; ++round) {
        bool expanded = false;
        for (const std::uint16_t k : kExpandedMacros) {
            const TextRef name = ListItem(names, ',', k);
            const std::uint16_t at = TextFind(text, name, false);
            if (at == kNotFound) continue;
            text = ExpandAt(text, at, name, ListItem(patterns, ',', k));
            if (!text.failed()) text = ScratchReturn(mark, text);
            if (text.failed()) return text;
            expanded = true;
            break;
        }
        if (!expanded) return text;
    }
    return TextRef::Failed(status::kLoopFailure);
}

} // namespace

TextRef PrepareExpression(TextRef text) {
    if (text.failed()) return text;
    ScratchScope scope;
    char* out = ScratchAllocPtr(text.length, kNoFill);
    if (out == nullptr) return TextRef::Failed(status::kOutOfMemory);
    const Stripped stripped = StripBlanks(text, out);
    TextRef work(out, static_cast<std::uint16_t>(stripped.length));
    bool paired = stripped.balance == 0;
    if (stripped.underscore && work.view().find(kMacroPrefix.view()) != std::string_view::npos) {
        work = ExpandMacros(ScratchReturn(scope.mark(), work), scope.mark());
        paired = !work.failed() && ParensPaired(work);
    }
    if (!work.failed() && !paired) work = TextRef::Failed(status::kLoopFailure);
    if (work.failed()) return work;
    if (work.length == text.length) {
        // Without blanks the level already has the text's exact length, just above the mark.
        scope.Keep();
        return work;
    }
    return scope.Return(work);
}

} // namespace vodarir
