// Number texts and FixedNumber, the language's decimal number: conversions both ways.
//
// A FixedNumber is a signed 64-bit integer holding value × 10^D, D being the number of decimals
// (_PRECIS, integer variable 32, limited to 0–4). Every part of the runtime that turns text into
// numbers or numbers into text goes through these functions, so they agree on rounding and form.
//
// Ownership: FixedToText places its result on the ScratchStack (caller's level discipline).
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

using FixedNumber = std::int64_t;

// The scale 10^D was a 16-bit value in the runtime's arithmetic, hence at most four decimals.
inline constexpr int kMaxDecimals = 4;

// _PRECIS limited to 0..kMaxDecimals.
int FixedDecimals();
// 10^FixedDecimals().
FixedNumber FixedScale();
// 10^decimals, decimals limited to 0..kMaxDecimals.
FixedNumber FixedScaleOf(int decimals);

// Reads a number text: [blanks] ["-"] digits ["." digits] ["D" ["+"|"-"] digits]. The "D" part
// multiplies by 10^k; digits beyond `decimals` decimals are rounded half away from zero. Reading
// stops at the first character that does not continue the number (so "" and "abc" read 0); `used`,
// when given, receives the number of characters read. A value beyond the 64-bit range gives
// kDataOutBound (*value untouched); a failed text gives its status.
StatusCode FixedFromText(TextRef text, int decimals, FixedNumber* value,
                         std::uint16_t* used = nullptr);
// The same with the current decimals.
StatusCode FixedFromText(TextRef text, FixedNumber* value);

// The shortest text form: no zero before the point, no trailing decimal zeros, no point without
// decimals. With two decimals 150 reads "1.5", 200 "2", 5 ".05", -50 "-.5" and 0 the empty text;
// with none, 0 reads "0".
TextRef FixedToText(FixedNumber value, int decimals);
TextRef FixedToText(FixedNumber value);

// The whole number nearest to value / 10^decimals, halves away from zero.
std::int64_t FixedToWhole(FixedNumber value, int decimals);
// n × 10^decimals; kDataOutBound when it leaves the 64-bit range.
StatusCode FixedFromWhole(std::int64_t n, int decimals, FixedNumber* value);

} // namespace vodarir
