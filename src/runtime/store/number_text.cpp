// Number texts and FixedNumber: reading with rounding, the shortest text form, whole numbers.
#include "runtime/store/number_text.h"

#include <algorithm>
#include <limits>

#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {

constexpr FixedNumber kMaxFixed = std::numeric_limits<FixedNumber>::max();
// An exponent this large already overflows any non-zero value; capping it keeps the sum small.
constexpr std::int64_t kMaxExponent = 100000;
// Sign, 19 digits, the point and a spare byte.
constexpr std::size_t kMaxFixedText = 24;

int LimitDecimals(int decimals) { return std::clamp(decimals, 0, kMaxDecimals); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The digits of a number text, the point taken out: digit p is p-th digit counted from the first
// digit before the point.
struct Mantissa {
    std::string_view text;
    std::size_t intStart = 0, intEnd = 0, fracStart = 0, fracEnd = 0;

    std::size_t intDigits() const { return intEnd - intStart; }
    std::size_t size() const { return intDigits() + (fracEnd - fracStart); }
    int digit(std::size_t p) const {
        const std::size_t at = p < intDigits() ? intStart + p : fracStart + (p - intDigits());
        return text[at] - '0';
    }
    bool isZero() const {
        for (std::size_t p = 0; p < size(); ++p)
            if (digit(p) != 0) return false;
        return true;
    }
};

// Reads "D" [sign] digits at i; answers the exponent and moves i past it, or leaves i alone.
std::int64_t ReadExponent(std::string_view s, std::size_t& i) {
    if (i >= s.size() || s[i] != 'D') return 0;
    std::size_t j = i + 1;
    const bool negative = j < s.size() && s[j] == '-';
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
    if (j >= s.size() || !IsDigit(s[j])) return 0;
    std::int64_t k = 0;
    for (; j < s.size() && IsDigit(s[j]); ++j) k = std::min(k * 10 + (s[j] - '0'), kMaxExponent);
    i = j;
    return negative ? -k : k;
}

// Accumulates the first `point` digits (zeros past the last one) and rounds on the next digit.
bool Scale(const Mantissa& m, std::int64_t point, FixedNumber* out) {
    FixedNumber v = 0;
    for (std::int64_t p = 0; p < point; ++p) {
        const int d = std::uint64_t(p) < m.size() ? m.digit(std::size_t(p)) : 0;
        if (v > (kMaxFixed - d) / 10) return false;
        v = v * 10 + d;
    }
    if (point >= 0 && std::uint64_t(point) < m.size() && m.digit(std::size_t(point)) >= 5) {
        if (v == kMaxFixed) return false;
        ++v;
    }
    *out = v;
    return true;
}

// The common form, digits with at most one point and nothing else, short enough that no step can
// overflow (at most 18 digits before the point and the kept decimals together): read in one pass
// with the same rounding as the general reader. False for anything else.
bool ReadPlain(std::string_view s, int decimals, FixedNumber* value, std::uint16_t* used) {
    constexpr std::size_t kSafeDigits = 18;
    std::size_t i = 0;
    FixedNumber v = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        if (i + std::size_t(decimals) >= kSafeDigits) return false; // too long to be sure
        v = v * 10 + (s[i] - '0');
    }
    const std::size_t intDigits = i;
    int kept = 0;
    bool roundUp = false;
    bool anyDigit = intDigits != 0;
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && IsDigit(s[i]); ++i) {
            anyDigit = true;
            if (kept < decimals) {
                v = v * 10 + (s[i] - '0');
                ++kept;
            } else if (kept++ == decimals) {
                roundUp = s[i] >= '5';
            }
        }
    }
    if (i != s.size() || !anyDigit) return false;
    constexpr FixedNumber kPowers[kMaxDecimals + 1] = {1, 10, 100, 1000, 10000};
    if (kept < decimals) v *= kPowers[decimals - kept];
    *value = roundUp ? v + 1 : v;
    if (used != nullptr) *used = static_cast<std::uint16_t>(i);
    return true;
}

} // namespace

int FixedDecimals() { return LimitDecimals(IntVarGet(sysvar::kPrecis)); }

FixedNumber FixedScaleOf(int decimals) {
    FixedNumber scale = 1;
    for (int d = LimitDecimals(decimals); d > 0; --d) scale *= 10;
    return scale;
}

FixedNumber FixedScale() { return FixedScaleOf(FixedDecimals()); }

namespace {

// Every form the plain reader leaves: blanks, signs, exponents, long digit runs. Kept out of line
// so the plain path stays a short call.
[[gnu::noinline]] StatusCode ReadGeneral(std::string_view s, int decimals, FixedNumber* value,
                                         std::uint16_t* used) {
    Mantissa m{s};
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    const bool negative = i < s.size() && s[i] == '-';
    if (negative) ++i;
    m.intStart = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    m.intEnd = m.fracStart = m.fracEnd = i;
    if (i < s.size() && s[i] == '.') {
        m.fracStart = ++i;
        while (i < s.size() && IsDigit(s[i])) ++i;
        m.fracEnd = i;
    }
    if (m.size() == 0) { // no digit: nothing that reads as a number
        if (used != nullptr) *used = 0;
        *value = 0;
        return status::kOk;
    }
    const std::int64_t exponent = ReadExponent(s, i);
    if (used != nullptr) *used = static_cast<std::uint16_t>(i);
    FixedNumber v = 0;
    if (!m.isZero()) {
        const std::int64_t point = std::int64_t(m.intDigits()) + exponent + LimitDecimals(decimals);
        if (!Scale(m, point, &v)) return status::kDataOutBound;
    }
    *value = negative ? -v : v;
    return status::kOk;
}

} // namespace

StatusCode FixedFromText(TextRef text, int decimals, FixedNumber* value, std::uint16_t* used) {
    if (text.failed()) return text.status();
    const std::string_view s = text.view();
    if (ReadPlain(s, LimitDecimals(decimals), value, used)) return status::kOk;
    return ReadGeneral(s, decimals, value, used);
}

StatusCode FixedFromText(TextRef text, FixedNumber* value) {
    return FixedFromText(text, FixedDecimals(), value);
}

TextRef FixedToText(FixedNumber value, int decimals) {
    decimals = LimitDecimals(decimals);
    // Digits of the magnitude, least significant first, at least `decimals` of them.
    std::uint64_t magnitude = value < 0 ? 0 - std::uint64_t(value) : std::uint64_t(value);
    char reversed[kMaxFixedText];
    std::size_t n = 0;
    do {
        reversed[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (n < std::size_t(decimals)) reversed[n++] = '0';

    std::size_t firstDecimal = 0; // trailing decimal zeros are dropped
    while (firstDecimal < std::size_t(decimals) && reversed[firstDecimal] == '0') ++firstDecimal;

    char out[kMaxFixedText];
    std::size_t len = 0;
    if (value < 0) out[len++] = '-';
    for (std::size_t p = n; p > std::size_t(decimals); --p) out[len++] = reversed[p - 1];
    if (firstDecimal < std::size_t(decimals)) {
        out[len++] = '.';
        for (std::size_t p = decimals; p > firstDecimal; --p) out[len++] = reversed[p - 1];
    }
    const StatusCode st = ScratchPush(TextRef(out, static_cast<std::uint16_t>(len)));
    return st == status::kOk ? ScratchTop() : TextRef::Failed(st);
}

TextRef FixedToText(FixedNumber value) { return FixedToText(value, FixedDecimals()); }

std::int64_t FixedToWhole(FixedNumber value, int decimals) {
    const FixedNumber scale = FixedScaleOf(decimals);
    std::int64_t whole = value / scale;
    const FixedNumber rest = value % scale;
    const FixedNumber twice = rest < 0 ? -2 * rest : 2 * rest;
    if (twice >= scale && scale > 1) whole += value < 0 ? -1 : 1;
    return whole;
}

StatusCode FixedFromWhole(std::int64_t n, int decimals, FixedNumber* value) {
    const FixedNumber scale = FixedScaleOf(decimals);
    if (n > kMaxFixed / scale || n < -(kMaxFixed / scale)) return status::kDataOutBound;
    *value = n * scale;
    return status::kOk;
}

} // namespace vodarir
