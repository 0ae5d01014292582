// Plain number texts as digit sequences, and rounding them half away from zero.
#include "masks/plain_number.h"

#include <algorithm>

namespace vodarir::masks {

namespace {

// The "D" part moves the point at most this far; no text holds more digits than that.
constexpr std::int32_t kMaxExponent = 100000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::uint16_t SkipDigits(TextRef t, std::uint16_t i) {
    while (i < t.size() && IsDigit(t.data[i])) ++i;
    return i;
}

// "D" [sign] digits at i: the exponent, i moved past it; i unchanged without digits.
std::int32_t ReadExponent(TextRef t, std::uint16_t& i) {
    if (i >= t.size() || t.data[i] != 'D') return 0;
    std::uint16_t j = static_cast<std::uint16_t>(i + 1);
    const bool negative = j < t.size() && t.data[j] == '-';
    if (j < t.size() && (t.data[j] == '-' || t.data[j] == '+')) ++j;
    if (j >= t.size() || !IsDigit(t.data[j])) return 0;
    std::int32_t k = 0;
    for (; j < t.size() && IsDigit(t.data[j]); ++j)
        k = std::min(k * 10 + (t.data[j] - '0'), kMaxExponent);
    i = j;
    return negative ? -k : k;
}

} // namespace

int PlainNumber::digit(std::int32_t k) const {
    if (k < 0 || k >= count()) return 0;
    const std::int32_t n = integer.size();
    return k < n ? integer.data[k] - '0' : fraction.data[k - n] - '0';
}

std::int32_t PlainNumber::significantIntegers() const {
    return point > firstNonZero ? point - firstNonZero : 0;
}

PlainNumber ReadPlainNumber(TextRef text) {
    PlainNumber n;
    if (text.failed()) return n;
    std::uint16_t i = 0;
    while (i < text.size() && (text.data[i] == ' ' || text.data[i] == '\t')) ++i;
    if (i < text.size() && text.data[i] == '-') {
        n.negative = true;
        ++i;
    }
    const std::uint16_t intStart = i;
    i = SkipDigits(text, i);
    n.integer = TextRef(text.data + intStart, static_cast<std::uint16_t>(i - intStart));
    n.fraction = TextRef(text.data + i, 0);
    if (i < text.size() && text.data[i] == '.') {
        const std::uint16_t fracStart = static_cast<std::uint16_t>(i + 1);
        i = SkipDigits(text, fracStart);
        n.fraction = TextRef(text.data + fracStart, static_cast<std::uint16_t>(i - fracStart));
    }
    n.valid = n.count() > 0;
    if (!n.valid) return PlainNumber();
    n.point = std::int32_t(n.integer.size()) + ReadExponent(text, i);
    n.used = i;
    n.firstNonZero = 0;
    while (n.firstNonZero < n.count() && n.digit(n.firstNonZero) == 0) ++n.firstNonZero;
    return n;
}

int RoundedNumber::digit(std::int32_t k) const {
    if (k >= keepEnd) return 0;
    if (!carry || k < carryAt) return number->digit(k);
    return k == carryAt ? number->digit(k) + 1 : 0;
}

RoundedNumber RoundPlainNumber(const PlainNumber& number, std::int32_t decimals, bool keepZeros) {
    RoundedNumber r;
    r.number = &number;
    r.keepEnd = number.point + decimals;
    r.carry = number.digit(r.keepEnd) >= 5;
    if (r.carry) {
        // Positions before the first digit read 0, so the walk always ends.
        r.carryAt = r.keepEnd - 1;
        while (number.digit(r.carryAt) == 9) --r.carryAt;
    }
    r.lead = keepZeros ? std::min<std::int32_t>(0, number.point)
                       : std::min(number.firstNonZero, number.point);
    if (r.carry && r.carryAt < r.lead) r.lead = r.carryAt;
    r.zero =
        !r.carry && (number.firstNonZero >= r.keepEnd || number.firstNonZero >= number.count());
    return r;
}

} // namespace vodarir::masks
