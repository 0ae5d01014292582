// Tokens of the expression language: the cursor that walks an expression text, the operator
// table with its precedences, token classes, dot constants, and the tokenizer steps.
//
// Ownership: a TokenCursor is a plain value that points into the caller's text; it owns nothing
// and is valid as long as that text is. Tokens are offsets into the text, never copies.
//
// Invariants of a cursor returned by NextToken:
//  1. start + tokenLength <= length and next <= length; next > start whenever start < length, so
//     a loop that repeats NextToken until next reaches the length always ends.
//  2. op is 0 or an index into kOperatorList (1-based); precedence is that entry's precedence
//     when op != 0.
//  3. groupLength and function describe a "(" that directly follows the token, and are 0
//     otherwise.
//  4. cls holds class bits (below 128) and status is 0, or cls is 0 and status is the failure of
//     the token's classification (128 or more).
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The tokenizer's state, seven 32-bit fields passed and returned by value.
struct TokenCursor {
    const char* text = nullptr;    // first byte of the whole expression text
    std::uint32_t length = 0;      // total length of the text
    std::uint16_t op = 0;          // operator after the token (1-based), 0 = the expression ends
    std::uint16_t cls = 0;         // class bits of the token
    std::uint16_t start = 0;       // offset of the token
    std::uint16_t tokenLength = 0; // length of the token
    std::uint16_t next = 0;        // offset at which the following token begins
    std::uint16_t groupLength = 0; // length of the "(...)" group after the token, without parens
    std::uint16_t precedence = 0;  // precedence of op
    std::uint16_t function = 0;    // built-in function number of the token's name, 0 if none
    std::uint32_t status = 0;      // StatusCode of the last step
};

// Token class bits.
namespace tokenclass {
inline constexpr std::uint16_t kText = 1;     // text (string) value
inline constexpr std::uint16_t kName = 2;     // a variable name
inline constexpr std::uint16_t kNumVar = 4;   // the name carries "#"
inline constexpr std::uint16_t kField = 8;    // field reference name{file}
inline constexpr std::uint16_t kCall = 16;    // name( that is not built in, or an opening "("
inline constexpr std::uint16_t kBuiltin = 32; // built-in function name followed by "("
inline constexpr std::uint16_t kGroup = 64;   // parenthesised sub-expression
inline constexpr std::uint16_t kIntegerVar = kName;
inline constexpr std::uint16_t kTextVar = kName | kText;
inline constexpr std::uint16_t kNumberVar = kName | kNumVar;
inline constexpr std::uint16_t kTextField = kField | kText;
// Anything of 128 or more that ClassifyToken answers is a StatusCode, not a class.
inline constexpr std::uint16_t kFirstStatus = 128;
} // namespace tokenclass

// --- Operators ---------------------------------------------------------------------------------

// Characters that end a token outside quotes; "\xF7" is the cp1252 byte of the percentage
// discount operator.
inline constexpr char kOperatorChars[] = "*/!%\xF7+-(;,:)=><&@|";
inline constexpr std::uint16_t kOperatorCharCount = 18;
// Characters that may be the second character of a two-character operator.
inline constexpr char kOperatorSecondChars[] = "=><&@|";
// The operators in index order (1-based); NextToken looks a sequence up here by exact match.
inline constexpr char kOperatorList[] = "*,/,!,%,\xF7,+,-,=,>,<,==,>=,<=,<>,&,|,@,&&,||,@@";
inline constexpr std::uint16_t kOperatorCount = 20;
inline constexpr std::uint8_t kOperatorPrecedence[kOperatorCount] = {
    4, 4, 4, 4, 4,    // * / ! % ÷
    3, 3,             // + -
    0,                // =
    2, 2, 2, 2, 2, 2, // > < == >= <= <>
    1, 5, 1,          // & | @
    1, 1, 1,          // && || @@
};

namespace opcode {
inline constexpr std::uint16_t kNone = 0;
inline constexpr std::uint16_t kMultiply = 1;
inline constexpr std::uint16_t kDivide = 2;
inline constexpr std::uint16_t kRound = 3;
inline constexpr std::uint16_t kPercent = 4;
inline constexpr std::uint16_t kDiscount = 5;
inline constexpr std::uint16_t kAdd = 6;
inline constexpr std::uint16_t kSubtract = 7;
inline constexpr std::uint16_t kAssign = 8;
inline constexpr std::uint16_t kGreater = 9;
inline constexpr std::uint16_t kLess = 10;
inline constexpr std::uint16_t kEqual = 11;
inline constexpr std::uint16_t kGreaterEqual = 12;
inline constexpr std::uint16_t kLessEqual = 13;
inline constexpr std::uint16_t kNotEqual = 14;
inline constexpr std::uint16_t kBitAnd = 15;
inline constexpr std::uint16_t kCombine = 16;
inline constexpr std::uint16_t kCombineAlt = 17;
inline constexpr std::uint16_t kAnd = 18;
inline constexpr std::uint16_t kOr = 19;
inline constexpr std::uint16_t kXor = 20;
} // namespace opcode

// The 1-based index of the operator spelled by one character (second == 0) or two, 0 if none.
std::uint16_t OperatorIndex(char first, char second);

// --- Dot constants -----------------------------------------------------------------------------

// Names usable after a dot (".datey"), matched case-sensitively, with their values in parallel.
inline constexpr char kDotConstantList[] =
    "envron,lang,cmdline,apname,apdesc,langmodule,docpath,docroot,helppath,funclist,butlabels,"
    "maskparms,datem,datey,envvar,maincond,pdfhead,dialog,aux,scrbuf,fsel,wret,fnparm,usrfil,"
    "fileln,usrfif,top,next,previous,bottom";
inline constexpr std::uint16_t kDotConstantCount = 30;
inline constexpr std::int16_t kDotConstantValues[kDotConstantCount] = {
    0, 0, 1, 2,  3,  4,  5,  5,  7,  8,  9,  10, 100, 10000, 9,
    1, 3, 7, 31, 32, 33, 34, 35, 36, 37, 38, 36, 16,  20,    32,
};

// The value of a dot name (the text after the dot); false when the name is not in the list.
bool DotConstant(TextRef name, std::int16_t* value);

// --- Tokenizer ---------------------------------------------------------------------------------

// A cursor at the start of text: every field 0 but text and length; status is the text's own
// status (a failed text gives its status and length 0).
TokenCursor NewCursor(TextRef text);
inline TextRef CursorText(const TokenCursor& c) {
    return TextRef(c.text, static_cast<std::uint16_t>(c.length));
}
inline TextRef TokenText(const TokenCursor& c) { return TextRef(c.text + c.start, c.tokenLength); }
// The text between the parentheses that follow the token (empty when there are none).
inline TextRef GroupText(const TokenCursor& c) {
    return c.groupLength == 0 ? TextRef(c.text + c.start, 0)
                              : TextRef(c.text + c.start + c.tokenLength + 1, c.groupLength);
}

// Offset of the first operator character at or after `from` outside quoted literals; length when
// there is none. An opening quote without its closing quote hides the rest of the text.
std::uint32_t FindOperatorChar(const char* text, std::uint32_t length, std::uint32_t from);

// Cuts the token that starts at the cursor's next offset and describes it (see the invariants).
TokenCursor NextToken(TokenCursor cursor);
// The same, rewriting the cursor in place (what the evaluator's own loops use).
void AdvanceToken(TokenCursor& cursor);
// The class bits of the cursor's token, or a StatusCode (128 or more) when it is a field
// reference that does not resolve (kSyntax, kFileOutBound, kDataOutBound).
std::uint16_t ClassifyToken(const TokenCursor& cursor);
// Characters between the "(" that follows the token and its matching ")", counted outside
// quotes; a group whose ")" is missing runs to the end of the text.
std::uint16_t GroupLength(const TokenCursor& cursor);
// True when the group after the token has its closing ")".
bool GroupClosed(const TokenCursor& cursor);

} // namespace vodarir
