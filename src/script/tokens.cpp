// The tokenizer of the expression language: operator characters, quoted literals, groups, token
// classes, the operator table and the dot constants.
#include "script/tokens.h"

#include <cstring>

#include "dictionary/dictionary.h"
#include "runtime/text/text_ops.h"
#include "script/builtins.h"

namespace vodarir {

namespace {

// --- Character classes, computed once from the character lists ---------------------------------

constexpr std::uint8_t kOperatorFlag = 1;
constexpr std::uint8_t kQuoteFlag = 2;
constexpr std::uint8_t kSecondFlag = 4;
constexpr std::uint8_t kClassFlag = 8; // one of the characters ClassifyToken looks for

constexpr char kSingleQuote = '\'';
constexpr char kDoubleQuote = '"';
constexpr char kOpenParen = '(';
constexpr char kCloseParen = ')';
constexpr char kSemicolon = ';';
constexpr char kComma = ',';
// A token whose first character is below this is a number literal or a dot constant.
constexpr unsigned char kFirstNameChar = 'A';
// Field type letters whose values are texts.
constexpr char kTextFieldTypes[] = "ABCDF";

// Presence bits of the characters a token's class depends on, in the order of their priority.
constexpr std::uint8_t kHasSingleQuote = 1;
constexpr std::uint8_t kHasDoubleQuote = 2;
constexpr std::uint8_t kHasDollar = 4;
constexpr std::uint8_t kHasHash = 8;
constexpr std::uint8_t kHasBrace = 16;
constexpr std::uint8_t kHasParen = 32;

struct CharTable {
    std::uint8_t flags[256] = {};
    std::uint8_t presence[256] = {};
};

constexpr CharTable MakeCharTable() {
    CharTable t;
    for (const char* p = kOperatorChars; *p != 0; ++p) {
        t.flags[static_cast<unsigned char>(*p)] |= kOperatorFlag;
    }
    for (const char* p = kOperatorSecondChars; *p != 0; ++p) {
        t.flags[static_cast<unsigned char>(*p)] |= kSecondFlag;
    }
    t.flags[static_cast<unsigned char>(kSingleQuote)] |= kQuoteFlag | kClassFlag;
    t.flags[static_cast<unsigned char>(kDoubleQuote)] |= kQuoteFlag | kClassFlag;
    for (const char c : {'$', '#', '{', kOpenParen}) {
        t.flags[static_cast<unsigned char>(c)] |= kClassFlag;
    }
    t.presence[static_cast<unsigned char>(kSingleQuote)] = kHasSingleQuote;
    t.presence[static_cast<unsigned char>(kDoubleQuote)] = kHasDoubleQuote;
    t.presence[static_cast<unsigned char>('$')] = kHasDollar;
    t.presence[static_cast<unsigned char>('#')] = kHasHash;
    t.presence[static_cast<unsigned char>('{')] = kHasBrace;
    t.presence[static_cast<unsigned char>(kOpenParen)] = kHasParen;
    return t;
}

constexpr CharTable kChars = MakeCharTable();

constexpr std::uint8_t Flags(char c) { return kChars.flags[static_cast<unsigned char>(c)]; }

constexpr std::size_t Length(const char* s) {
    std::size_t n = 0;
    while (s[n] != 0) ++n;
    return n;
}
static_assert(Length(kOperatorChars) == kOperatorCharCount);

// --- The operator table, indexed by characters, built from kOperatorList ------------------------

constexpr std::size_t kSecondCharCount = Length(kOperatorSecondChars);

constexpr int SecondSlot(char c) {
    for (std::size_t i = 0; i < kSecondCharCount; ++i) {
        if (kOperatorSecondChars[i] == c) return static_cast<int>(i);
    }
    return -1;
}

struct OperatorTable {
    std::uint8_t single[256] = {};
    std::uint8_t pair[256][kSecondCharCount] = {};
    std::int8_t secondSlot[256] = {}; // SecondSlot of each byte, -1 for the others
    std::uint16_t count = 0;
};

constexpr OperatorTable MakeOperatorTable() {
    OperatorTable t;
    for (int c = 0; c < 256; ++c) t.secondSlot[c] = static_cast<std::int8_t>(SecondSlot(char(c)));
    const char* item = kOperatorList;
    while (*item != 0) {
        const char* end = item;
        while (*end != 0 && *end != ',') ++end;
        ++t.count;
        const auto first = static_cast<unsigned char>(item[0]);
        if (end - item == 1) t.single[first] = static_cast<std::uint8_t>(t.count);
        if (end - item == 2) {
            t.pair[first][SecondSlot(item[1])] = static_cast<std::uint8_t>(t.count);
        }
        item = *end == 0 ? end : end + 1;
    }
    return t;
}

constexpr OperatorTable kOperators = MakeOperatorTable();
static_assert(kOperators.count == kOperatorCount, "operator list and precedences disagree");

constexpr std::uint8_t Presence(char c) { return kChars.presence[static_cast<unsigned char>(c)]; }

std::uint16_t ClassifyFieldReference(TextRef token) {
    const FieldEntryRecord entry = ResolveFieldRef(token);
    if (entry.status != status::kOk) {
        return entry.status >= tokenclass::kFirstStatus ? entry.status : status::kSyntax;
    }
    const bool text = entry.type != 0 && std::strchr(kTextFieldTypes, entry.type) != nullptr;
    return text ? tokenclass::kTextField : tokenclass::kField;
}

// Offset of the first operator character at or after from outside quotes (length when none);
// presence receives the class characters met on the way (quoted runs count by their quote).
std::uint32_t ScanToken(const char* text, std::uint32_t length, std::uint32_t from,
                        std::uint8_t* presence) {
    std::uint8_t seen = 0;
    std::uint32_t i = from;
    for (; i < length; ++i) {
        const std::uint8_t f = Flags(text[i]);
        if (f == 0) continue;
        if ((f & kOperatorFlag) != 0) break;
        seen |= Presence(text[i]);
        if ((f & kQuoteFlag) != 0) {
            const void* close = std::memchr(text + i + 1, text[i], length - i - 1);
            if (close == nullptr) {
                i = length;
                break;
            }
            i = static_cast<std::uint32_t>(static_cast<const char*>(close) - text);
        }
    }
    *presence = seen;
    return i;
}

// The class of the cursor's token from the class characters it holds.
std::uint16_t ClassOf(const TokenCursor& cursor, std::uint8_t present) {
    if (cursor.tokenLength == 0) {
        const bool group = cursor.start < cursor.length && cursor.text[cursor.start] == kOpenParen;
        return group ? tokenclass::kGroup : 0;
    }
    const auto first = static_cast<unsigned char>(cursor.text[cursor.start]);
    if (present == 0) return first < kFirstNameChar ? 0 : tokenclass::kName;
    if ((present & (kHasSingleQuote | kHasDoubleQuote)) != 0) return tokenclass::kText;
    if ((present & kHasDollar) != 0) return tokenclass::kTextVar;
    if ((present & kHasHash) != 0) return tokenclass::kNumberVar;
    if ((present & kHasBrace) != 0) return ClassifyFieldReference(TokenText(cursor));
    return tokenclass::kCall;
}

} // namespace

std::uint16_t OperatorIndex(char first, char second) {
    const auto f = static_cast<unsigned char>(first);
    if (second == 0) return kOperators.single[f];
    const int slot = kOperators.secondSlot[static_cast<unsigned char>(second)];
    return slot < 0 ? 0 : kOperators.pair[f][slot];
}

bool DotConstant(TextRef name, std::int16_t* value) {
    using namespace literals;
    const std::uint16_t item = ListFind(TextView(kDotConstantList), name, ',');
    if (item == 0 || name.empty()) return false;
    *value = kDotConstantValues[item - 1];
    return true;
}

TokenCursor NewCursor(TextRef text) {
    TokenCursor c;
    c.text = text.failed() ? "" : text.data;
    c.length = text.size();
    c.status = TextStatus(text);
    return c;
}

std::uint32_t FindOperatorChar(const char* text, std::uint32_t length, std::uint32_t from) {
    std::uint8_t presence = 0;
    return ScanToken(text, length, from, &presence);
}

std::uint16_t GroupLength(const TokenCursor& cursor) {
    const std::uint32_t open = std::uint32_t{cursor.start} + cursor.tokenLength;
    const std::uint32_t length = cursor.length;
    if (open >= length) return 0;
    std::uint32_t depth = 1;
    std::uint32_t i = open + 1;
    while ((i = FindOperatorChar(cursor.text, length, i)) < length) {
        const char c = cursor.text[i];
        if (c == kOpenParen) ++depth;
        if (c == kCloseParen && --depth == 0) return static_cast<std::uint16_t>(i - open - 1);
        ++i;
    }
    return static_cast<std::uint16_t>(length - open - 1);
}

bool GroupClosed(const TokenCursor& cursor) {
    const std::uint32_t close =
        std::uint32_t{cursor.start} + cursor.tokenLength + 1 + cursor.groupLength;
    return close < cursor.length && cursor.text[close] == kCloseParen;
}

std::uint16_t ClassifyToken(const TokenCursor& cursor) {
    std::uint8_t present = 0;
    for (std::uint16_t i = 0; i < cursor.tokenLength; ++i) {
        present |= Presence(cursor.text[cursor.start + i]);
    }
    return ClassOf(cursor, present);
}

void AdvanceToken(TokenCursor& cursor) {
    const std::uint32_t length = cursor.length;
    const std::uint32_t start = cursor.next < length ? cursor.next : length;
    cursor.start = static_cast<std::uint16_t>(start);
    // Group and function describe only a "(" that follows this very token.
    cursor.groupLength = 0;
    cursor.function = 0;
    std::uint8_t present = 0;
    std::uint32_t at = ScanToken(cursor.text, length, start, &present);
    cursor.tokenLength = static_cast<std::uint16_t>(at - start);
    std::uint16_t callBit = 0;
    if (at < length && cursor.text[at] == kOpenParen) {
        cursor.function = cursor.tokenLength == 0 ? 0 : FunctionNumber(TokenText(cursor));
        callBit = cursor.function != 0 ? tokenclass::kBuiltin : tokenclass::kCall;
        cursor.groupLength = GroupLength(cursor);
        const std::uint32_t afterGroup = at + 1 + cursor.groupLength + 1;
        at = afterGroup < length ? FindOperatorChar(cursor.text, length, afterGroup) : length;
    }
    if (at >= length || cursor.text[at] == kSemicolon || cursor.text[at] == kComma) {
        // A separator or the end of the text ends the expression.
        cursor.next = static_cast<std::uint16_t>(at >= length ? length : at + 1);
        cursor.op = opcode::kNone;
        cursor.precedence = 0;
    } else {
        std::uint32_t after = at + 1;
        char second = 0;
        if (after < length && (Flags(cursor.text[after]) & kSecondFlag) != 0) {
            second = cursor.text[after++];
        }
        cursor.next = static_cast<std::uint16_t>(after);
        cursor.op = OperatorIndex(cursor.text[at], second);
        // An unknown sequence ends the expression; its precedence is never looked at then.
        if (cursor.op != opcode::kNone) cursor.precedence = kOperatorPrecedence[cursor.op - 1];
    }
    const std::uint16_t cls = ClassOf(cursor, present);
    if (cls >= tokenclass::kFirstStatus) {
        cursor.cls = 0;
        cursor.status = cls;
    } else {
        cursor.cls = static_cast<std::uint16_t>(cls | callBit);
        cursor.status = status::kOk;
    }
}

TokenCursor NextToken(TokenCursor cursor) {
    AdvanceToken(cursor);
    return cursor;
}

} // namespace vodarir
