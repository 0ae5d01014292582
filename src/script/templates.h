// Bracket templates (texts whose "[expression]" parts are replaced by their values), the item
// mark "[$]", and the builders of condition texts for queries.
//
// Ownership: every operation answers a new ScratchStack level above the caller's depth, or a
// failed TextRef (a template whose bracket fails answers that status; a result beyond 65535
// bytes answers kStringTooLong).
#pragma once

#include <cstdint>

#include "runtime/text/text_ops.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Flags of ExpandTemplate.
namespace templateflag {
inline constexpr int kPlainSearch = 1;   // brackets inside quotes count too
inline constexpr int kKeepBlanks = 2;    // values are not trimmed
inline constexpr int kLookUpNames = 4;   // names, command-line options, environment first
inline constexpr int kZeroIsEmpty = 16;  // a number 0 gives the empty text rather than "0"
inline constexpr int kEnclose = 32;      // values are enclosed in apostrophes ...
inline constexpr int kDoubleQuotes = 64; // ... or, with this bit as well, in double quotes
} // namespace templateflag
// The flags a template with a name list is expanded with (kPlainSearch, kLookUpNames,
// kZeroIsEmpty).
inline constexpr int kNamedTemplateFlags = 21;

// Operators of ConditionCompare, CompareOp n as item n of kCompareOperators.
inline constexpr TextRef kCompareOperators = TextView("==,>,>=,<,<=,<>");
inline constexpr CompareOp kLastCompareOperator = CompareOp::NotEqual;
// Field types whose values are written without quotes in a comparison.
inline constexpr TextRef kUnquotedFieldTypes = TextView("NL123456789");

// Replaces the innermost "[...]" pairs from left to right: the first "]" and the last "[" before
// it (outside quotes unless kPlainSearch). The text between them gives a value: with
// kLookUpNames first the key of that name in names (a comma list of key=value or key:value
// items; the value through TextClean), then the command-line option, then the environment
// variable of that name; otherwise, or when none is found or empty, the text is evaluated as an
// expression (a number in its shortest form, 0 as "0" unless kZeroIsEmpty; a text as it is).
// The value is trimmed unless kKeepBlanks and enclosed when kEnclose; the bracketed part is
// replaced by it and the search goes on after it, so a value is never expanded again but an
// enclosing bracket pair sees it. A "]" without a "[" before it ends the expansion.
TextRef ExpandTemplate(TextRef text, int flags, TextRef names);
// Every "[$]" of text replaced by value.
TextRef ReplaceItemMark(TextRef text, TextRef value);

// field, the operator (None as Equal, a number beyond the operators as the last) and value; the
// value in apostrophes unless the field's type is one of kUnquotedFieldTypes. An empty value
// gives the empty text.
TextRef ConditionCompare(TextRef field, CompareOp op, TextRef value, char type);
// condition "&&" comparison, the "&&" only when both are non-empty.
TextRef ConditionAppend(TextRef condition, TextRef comparison);
// For each field of the comma list: field "==" from, or, when to is not empty and from is less
// than to (as numbers when both are numbers, else byte by byte), "(" field ">=" from "&&" field
// "<=" to ")"; the fields' conditions joined with "||". from and to are written as given (quote
// texts before). An empty from or an empty list gives the empty text.
TextRef KeyRangeCondition(TextRef fields, TextRef from, TextRef to);

} // namespace vodarir
