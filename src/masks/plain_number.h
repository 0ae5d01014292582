// Plain number texts read as digit sequences, and their rounding to a number of decimals, for the
// mask editors, the width fitting and the number comparisons of bracket templates.
//
// A number is read as [-]digits[.digits]["D"[+|-]digits]; the digits stay where they are in the
// caller's text (views), so a number of any length is handled without copying or overflow. The
// "D" part moves the point. Digit positions are counted from the first digit of the text: the
// integer digits come first, then the decimals; `point` is the position of the first decimal
// (after the "D" shift, so it may lie before the first digit or after the last). Positions
// outside the digits read 0.
//
// Ownership: a PlainNumber and a RoundedNumber are views of the text they were read from.
#pragma once

#include <cstdint>

#include "runtime/text/text_ref.h"

namespace vodarir::masks {

struct PlainNumber {
    bool negative = false;
    TextRef integer;  // the digits before the point, as written
    TextRef fraction; // the digits after it
    std::int32_t point = 0;
    std::int32_t firstNonZero = 0; // position of the first digit other than 0 (count() when none)
    std::uint16_t used = 0;        // characters of the text that belong to the number
    bool valid = false;            // digits were found

    std::int32_t count() const { return std::int32_t(integer.size()) + fraction.size(); }
    int digit(std::int32_t k) const;
    // Integer digits without leading zeros.
    std::int32_t significantIntegers() const;
};

// Reads the number at the start of text (blanks and tabs before it skipped).
PlainNumber ReadPlainNumber(TextRef text);

// A number rounded half away from zero to `decimals` decimals, read digit by digit.
struct RoundedNumber {
    const PlainNumber* number = nullptr;
    std::int32_t keepEnd = 0; // first position dropped by the rounding
    bool carry = false;       // the dropped part rounds the kept part up by one unit
    std::int32_t carryAt = 0; // the position the unit lands on (the ones behind it become 0)
    std::int32_t lead = 0;    // first integer position shown
    bool zero = false;        // every kept digit is 0

    int digit(std::int32_t k) const;
    std::int32_t integerCount() const { return number->point > lead ? number->point - lead : 0; }
    bool negative() const { return number->negative && !zero; }
};

// keepZeros keeps the integer digits as written ("0.5" keeps its "0"); otherwise leading zeros
// are dropped.
RoundedNumber RoundPlainNumber(const PlainNumber& number, std::int32_t decimals, bool keepZeros);

} // namespace vodarir::masks
