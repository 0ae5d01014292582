// Reading and writing times of day, and the local clock behind the current time and date.
#include "host/time_texts.h"

#include <cstdio>
#include <ctime>
#include <limits>
#include <string_view>

#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {

constexpr std::size_t kMaxFractionDigits = 3;
constexpr std::size_t kMaxTimeParts = 3;
// Far beyond any time a 32-bit value can hold, yet safe from overflow when multiplied by an hour.
constexpr std::int64_t kNumberCap = 100'000'000'000LL;

ClockReading SystemClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

ClockFn g_clock = &SystemClock;

// A whole number as the runtime reads one: leading blanks, a sign, digits up to the first other
// character; no digits read as 0.
std::int64_t ReadWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kNumberCap) value = kNumberCap;
    }
    return negative ? -value : value;
}

// Milliseconds from the digits after the point: "5" is 500, "05" is 50, "1234" is 123.
std::int64_t ReadFraction(std::string_view digits) {
    std::int64_t value = 0;
    std::size_t used = 0;
    while (used < digits.size() && used < kMaxFractionDigits && digits[used] >= '0' &&
           digits[used] <= '9') {
        value = value * 10 + (digits[used] - '0');
        ++used;
    }
    for (std::size_t k = used; k < kMaxFractionDigits; ++k) value *= 10;
    return value;
}

// Hours, minutes and seconds of "S", "M:S" or "H:M:S" as milliseconds; more parts give 0.
std::int64_t ReadClockParts(std::string_view text) {
    std::int64_t parts[kMaxTimeParts] = {};
    std::size_t count = 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t colon = text.find(':', from);
        if (count == kMaxTimeParts) return 0;
        parts[count++] = ReadWholeNumber(text.substr(from, colon - from));
        if (colon == std::string_view::npos) break;
        from = colon + 1;
    }
    static constexpr std::int64_t kScale[kMaxTimeParts] = {kMsPerHour, kMsPerMinute, kMsPerSecond};
    std::int64_t total = 0;
    const std::size_t offset =
        kMaxTimeParts - count; // one part is seconds, two minutes and seconds
    for (std::size_t k = 0; k < count; ++k) total += parts[k] * kScale[offset + k];
    return total;
}

TimeValue HeldInRange(std::int64_t value) {
    constexpr std::int64_t kLow = std::numeric_limits<TimeValue>::min();
    constexpr std::int64_t kHigh = std::numeric_limits<TimeValue>::max();
    return static_cast<TimeValue>(value < kLow ? kLow : (value > kHigh ? kHigh : value));
}

int DigitCount(std::int64_t value) {
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

} // namespace

void TimeSetClock(ClockFn clock) { g_clock = clock != nullptr ? clock : &SystemClock; }

TimeValue TimeNow() {
    const ClockReading now = g_clock();
    return now.hour * kMsPerHour + now.minute * kMsPerMinute + now.second * kMsPerSecond;
}

std::int32_t DateNow() {
    const ClockReading now = g_clock();
    return now.year * 10000 + now.month * 100 + now.day;
}

TimeValue TimeRead(TextRef text) {
    if (text.empty()) return TimeNow();
    const std::string_view all = text.view();
    const std::size_t point = all.find('.');
    const std::int64_t fraction =
        point == std::string_view::npos ? 0 : ReadFraction(all.substr(point + 1));
    return HeldInRange(ReadClockParts(all.substr(0, point)) + fraction);
}

TextRef TimeText(TimeValue value, int style) {
    const bool negative = value < 0;
    const std::int64_t magnitude = negative ? -std::int64_t{value} : std::int64_t{value};
    const std::int64_t hours = magnitude / kMsPerHour;
    const int minutes = static_cast<int>(magnitude % kMsPerHour / kMsPerMinute);
    const int seconds = static_cast<int>(magnitude % kMsPerMinute / kMsPerSecond);
    const int millis = static_cast<int>(magnitude % kMsPerSecond);
    const bool separators = (style & timestyle::kSeparators) != 0;

    // The full form, from which the style keeps a leading part.
    char full[40];
    std::snprintf(full, sizeof full,
                  separators ? "%s%02lld:%02d:%02d.%03d" : "%s%02lld%02d%02d.%03d",
                  negative ? "-" : "", static_cast<long long>(hours), minutes, seconds, millis);
    const int b1 = separators ? 1 : 0;
    int length = (style & timestyle::kSeconds) != 0 ? 6 + 2 * b1 : 4 + b1;
    if ((style & timestyle::kMilliseconds) != 0) length += 4;
    // Hours of more than two digits and the sign widen the text rather than push minutes out.
    const int hourDigits = DigitCount(hours);
    length += (hourDigits > 2 ? hourDigits - 2 : 0) + (negative ? 1 : 0);

    const StatusCode pushed = ScratchPush(TextRef(full, static_cast<std::uint16_t>(length)));
    return pushed == status::kOk ? ScratchTop() : TextRef::Failed(pushed);
}

} // namespace vodarir
