// What each operator of the expression language does to two numbers or two texts (evaluator
// internals; the operator loop in evaluator.cpp decides when they run).
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir::detail {

using FixedNumber = std::int64_t;

// D and 10^D, read from _PRECIS once per operation.
struct Decimals {
    int digits = 0;
    FixedNumber scale = 1;
};
Decimals CurrentDecimals();

// round(x / y): the quotient rounded to the nearest integer, halves away from zero; 0 when y is 0.
// False when the result does not fit 64 bits.
bool RoundedQuotient(__int128 x, __int128 y, FixedNumber* out);

// The numeric meaning of operator op (1-based index of the operator list) on l and r. kDataOutBound
// when the result leaves the 64-bit range; kSyntax for an operator without a numeric meaning ("=").
StatusCode NumericOperation(std::uint16_t op, FixedNumber l, FixedNumber r, const Decimals& d,
                            FixedNumber* out);

// What an operator does to two texts.
enum class TextMeaning { kNone, kConcatenate, kCompare };
TextMeaning TextOperationKind(std::uint16_t op);
// For a comparison operator: whether it holds between the texts (byte order, the longer text
// greater when one is the start of the other).
bool TextComparisonHolds(std::uint16_t op, TextRef l, TextRef r);

} // namespace vodarir::detail
