// Times of day as milliseconds since midnight: reading them from text, writing them in the
// runtime's styles, and the current time and date from the local clock.
//
// Ownership: TimeText answers a new ScratchStack level above the caller's depth.
#pragma once

#include <cstdint>

#include "runtime/text/text_ref.h"

namespace vodarir {

// Milliseconds since midnight.
using TimeValue = std::int32_t;
inline constexpr TimeValue kMsPerSecond = 1000;
inline constexpr TimeValue kMsPerMinute = 60 * kMsPerSecond;
inline constexpr TimeValue kMsPerHour = 60 * kMsPerMinute;
inline constexpr TimeValue kMsPerDay = 24 * kMsPerHour;

// Style bits of TimeText.
namespace timestyle {
inline constexpr int kSeparators = 1;   // "HH:MM" rather than "HHMM"
inline constexpr int kSeconds = 2;      // the seconds follow the minutes
inline constexpr int kMilliseconds = 4; // "." and three digits of milliseconds follow
} // namespace timestyle

// The local time of day in whole seconds (the millisecond part is 0).
TimeValue TimeNow();
// Today as year × 10000 + month × 100 + day.
std::int32_t DateNow();
// "S", "M:S" or "H:M:S", each optionally followed by "." and a fraction of a second; the empty
// text is the current time; more than three parts read as 0 (plus the fraction). Values out of
// range are taken as they are; a result beyond the 32-bit range is held at its limit.
TimeValue TimeRead(TextRef text);
// The time in a style (bits of timestyle). A negative time is written as "-" and its magnitude.
TextRef TimeText(TimeValue value, int style);

// The reading of the local clock that TimeNow and DateNow are built from. Tests install a clock
// of their own; nullptr returns to the system's.
struct ClockReading {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
using ClockFn = ClockReading (*)();
void TimeSetClock(ClockFn clock);

} // namespace vodarir
