// The meanings of the operators on numbers (FixedNumber with D decimals) and on texts, as one
// table indexed by the operator's position in the operator list.
#include "script/operations.h"

#include <limits>

#include "runtime/store/number_text.h"
#include "runtime/text/text_ops.h"
#include "script/tokens.h"

namespace vodarir::detail {

namespace {

constexpr FixedNumber kMaxFixed = std::numeric_limits<FixedNumber>::max();
constexpr FixedNumber kMinFixed = std::numeric_limits<FixedNumber>::min();
constexpr int kPercentBase = 100;
// 10^18 is the largest power of ten in 64 bits; rounding off more digits than that leaves 0.
constexpr int kMaxPowerOfTen = 18;

bool Fits(__int128 v) { return v >= kMinFixed && v <= kMaxFixed; }

bool Store(__int128 v, FixedNumber* out) {
    if (!Fits(v)) return false;
    *out = static_cast<FixedNumber>(v);
    return true;
}

__int128 PowerOfTen(int n) {
    __int128 p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

// round(a / Divisor) for a constant divisor, which the compiler turns into a multiplication.
template <FixedNumber Divisor> FixedNumber RoundedBy(FixedNumber a) {
    FixedNumber q = a / Divisor;
    const FixedNumber rest = a % Divisor;
    if (2 * (rest < 0 ? -rest : rest) >= Divisor) q += a < 0 ? -1 : 1;
    return q;
}

// round(x / S): the division every product and percentage ends with.
bool RoundedByScale(__int128 x, const Decimals& d, FixedNumber* out) {
    if (!Fits(x)) return RoundedQuotient(x, d.scale, out);
    const FixedNumber a = static_cast<FixedNumber>(x);
    switch (d.digits) {
    case 0:
        *out = a;
        return true;
    case 1:
        *out = RoundedBy<10>(a);
        return true;
    case 2:
        *out = RoundedBy<100>(a);
        return true;
    case 3:
        *out = RoundedBy<1000>(a);
        return true;
    default:
        *out = RoundedBy<10000>(a);
        return true;
    }
}

// The integer part, truncated toward zero.
FixedNumber Whole(FixedNumber v, const Decimals& d) { return v / d.scale; }

// Which outcomes of a three-way comparison make each comparison operator hold.
struct CompareRow {
    std::uint16_t op;
    bool less, equal, greater;
};
constexpr CompareRow kCompareRows[] = {
    {opcode::kGreater, false, false, true},  {opcode::kLess, true, false, false},
    {opcode::kEqual, false, true, false},    {opcode::kGreaterEqual, false, true, true},
    {opcode::kLessEqual, true, true, false}, {opcode::kNotEqual, true, false, true},
};

const CompareRow* CompareRowOf(std::uint16_t op) {
    for (const CompareRow& row : kCompareRows) {
        if (row.op == op) return &row;
    }
    return nullptr;
}

constexpr bool Holds(const CompareRow& row, int order) {
    return order < 0 ? row.less : (order == 0 ? row.equal : row.greater);
}

using NumericFn = bool (*)(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out);

bool Multiply(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    return RoundedByScale(__int128{l} * r, d, out);
}

bool Divide(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    return RoundedQuotient(__int128{l} * d.scale, r, out);
}

// l rounded to n decimals, n = round(r / S). Asking for as many decimals as the number has, or
// more, changes nothing; a negative n rounds to tens, hundreds and so on.
bool RoundTo(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    FixedNumber places = 0;
    if (!RoundedByScale(r, d, &places)) return false;
    if (places >= d.digits) {
        *out = l;
        return true;
    }
    const __int128 dropped = __int128{d.digits} - places;
    if (dropped > kMaxPowerOfTen) {
        *out = 0;
        return true;
    }
    const __int128 unit = PowerOfTen(static_cast<int>(dropped));
    FixedNumber units = 0;
    if (!RoundedQuotient(l, unit, &units)) return false;
    return Store(__int128{units} * unit, out);
}

// round(round(l × r / 100) / S)
bool Percentage(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    FixedNumber hundredths = 0;
    if (!RoundedQuotient(__int128{l} * r, kPercentBase, &hundredths)) return false;
    return RoundedByScale(hundredths, d, out);
}

bool Discount(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    FixedNumber part = 0;
    if (!Percentage(l, r, d, &part)) return false;
    return Store(__int128{l} - part, out);
}

bool Add(FixedNumber l, FixedNumber r, const Decimals&, FixedNumber* out) {
    return Store(__int128{l} + r, out);
}

bool Subtract(FixedNumber l, FixedNumber r, const Decimals&, FixedNumber* out) {
    return Store(__int128{l} - r, out);
}

bool Truth(bool holds, const Decimals& d, FixedNumber* out) {
    *out = holds ? d.scale : 0;
    return true;
}

// Row is the comparison's entry in kCompareRows.
template <std::size_t Row>
bool Compare(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    constexpr CompareRow row = kCompareRows[Row];
    const int order = l < r ? -1 : (l == r ? 0 : 1);
    return Truth(Holds(row, order), d, out);
}

bool BitAnd(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    return Store(__int128{Whole(l, d) & Whole(r, d)} * d.scale, out);
}

// The integer parts joined when they share no bit, else 0.
bool Combine(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    const FixedNumber a = Whole(l, d), b = Whole(r, d);
    return Store((a & b) == 0 ? __int128{a | b} * d.scale : 0, out);
}

bool And(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    return Truth(l != 0 && r != 0, d, out);
}

bool Or(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    return Truth(l != 0 || r != 0, d, out);
}

bool Xor(FixedNumber l, FixedNumber r, const Decimals& d, FixedNumber* out) {
    const FixedNumber a = Whole(l, d), b = Whole(r, d);
    return Truth((a | b) != 0 && (a & b) == 0, d, out);
}

static_assert(kCompareRows[0].op == opcode::kGreater && kCompareRows[5].op == opcode::kNotEqual);

struct Meaning {
    NumericFn numeric;
    TextMeaning text;
};

// In the order of the operator list.
constexpr Meaning kMeanings[kOperatorCount] = {
    {Multiply, TextMeaning::kNone},      // *
    {Divide, TextMeaning::kNone},        // /
    {RoundTo, TextMeaning::kNone},       // !
    {Percentage, TextMeaning::kNone},    // %
    {Discount, TextMeaning::kNone},      // ÷
    {Add, TextMeaning::kConcatenate},    // +
    {Subtract, TextMeaning::kNone},      // -
    {nullptr, TextMeaning::kNone},       // = (assignment, not here)
    {Compare<0>, TextMeaning::kCompare}, // >
    {Compare<1>, TextMeaning::kCompare}, // <
    {Compare<2>, TextMeaning::kCompare}, // ==
    {Compare<3>, TextMeaning::kCompare}, // >=
    {Compare<4>, TextMeaning::kCompare}, // <=
    {Compare<5>, TextMeaning::kCompare}, // <>
    {BitAnd, TextMeaning::kNone},        // &
    {Combine, TextMeaning::kNone},       // |
    {Combine, TextMeaning::kNone},       // @
    {And, TextMeaning::kNone},           // &&
    {Or, TextMeaning::kNone},            // ||
    {Xor, TextMeaning::kNone},           // @@
};

const Meaning* MeaningOf(std::uint16_t op) {
    return op >= 1 && op <= kOperatorCount ? &kMeanings[op - 1] : nullptr;
}

} // namespace

Decimals CurrentDecimals() {
    constexpr FixedNumber kScales[kMaxDecimals + 1] = {1, 10, 100, 1000, 10000};
    Decimals d;
    d.digits = FixedDecimals();
    d.scale = kScales[d.digits];
    return d;
}

bool RoundedQuotient(__int128 x, __int128 y, FixedNumber* out) {
    if (y == 0) {
        *out = 0;
        return true;
    }
    // Most operands fit 64 bits, where the division is a single instruction.
    if (Fits(x) && Fits(y) && !(x == kMinFixed && y == -1)) {
        const FixedNumber a = static_cast<FixedNumber>(x), b = static_cast<FixedNumber>(y);
        FixedNumber q = a / b;
        const FixedNumber rest = a % b;
        // |rest| < |b|, so the doubled magnitudes are compared without overflow.
        const std::uint64_t twiceRest =
            2 * (rest < 0 ? 0 - std::uint64_t(rest) : std::uint64_t(rest));
        const std::uint64_t divisor = b < 0 ? 0 - std::uint64_t(b) : std::uint64_t(b);
        if (twiceRest >= divisor) q += (a < 0) != (b < 0) ? -1 : 1;
        *out = q;
        return true;
    }
    __int128 q = x / y;
    const __int128 rest = x % y;
    const __int128 twiceRest = rest < 0 ? -2 * rest : 2 * rest;
    const __int128 divisor = y < 0 ? -y : y;
    if (twiceRest >= divisor) q += (x < 0) != (y < 0) ? -1 : 1;
    return Store(q, out);
}

StatusCode NumericOperation(std::uint16_t op, FixedNumber l, FixedNumber r, const Decimals& d,
                            FixedNumber* out) {
    const Meaning* meaning = MeaningOf(op);
    if (meaning == nullptr || meaning->numeric == nullptr) return status::kSyntax;
    return meaning->numeric(l, r, d, out) ? status::kOk : status::kDataOutBound;
}

TextMeaning TextOperationKind(std::uint16_t op) {
    const Meaning* meaning = MeaningOf(op);
    return meaning == nullptr ? TextMeaning::kNone : meaning->text;
}

bool TextComparisonHolds(std::uint16_t op, TextRef l, TextRef r) {
    const CompareRow* row = CompareRowOf(op);
    return row != nullptr && Holds(*row, TextCompare(l, r));
}

} // namespace vodarir::detail
