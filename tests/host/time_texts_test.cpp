// Times of day: reading, writing in every style, and the clock behind the current time and date.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "host/time_texts.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir::testing {
namespace {

using namespace literals;

ClockReading FixedClock() { return {2026, 12, 6, 10, 20, 30}; }
ClockReading MidnightClock() { return {1999, 1, 31, 0, 0, 0}; }

class TimeTextsTest : public RuntimeTest {
protected:
    void TearDown() override {
        TimeSetClock(nullptr);
        RuntimeTest::TearDown();
    }
};

struct ReadRow {
    const char* text;
    TimeValue expected;
};

TEST_F(TimeTextsTest, TimeReadTakesPartsByTheirCount) {
    const std::vector<ReadRow> rows = {
        {"09:05", 545'000}, // two parts: minutes and seconds
        {"0905", 905'000},  // one part: seconds
        {"1:2:3.5", 3'723'500},
        {"1:2:3:4", 0},     // more than three parts
        {"1:2:3:4.5", 500}, // ...plus the fraction
        {"1:2:3.05", 3'723'050},
        {"1:2:3.1234", 3'723'123}, // at most three digits of the fraction
        {"12:34:56.789", 45'296'789},
        {"23:59:59", 86'399'000},
        {"86399", 86'399'000},
        {"0.5", 500},
        {".25", 250},
        {"5.", 5'000},
        {"1:2:3.x", 3'723'000},
        {"1:", 60'000},
        {":30", 30'000},
        {"99:99", 99 * 60'000 + 99'000}, // ranges are not checked
        {" 1: 2", 62'000},
        {"-5", -5'000},
        {"abc", 0},
        {"1:2.3:4", 62'300}, // the first point ends the clock parts
    };
    for (const ReadRow& row : rows)
        EXPECT_EQ(TimeRead(TextView(row.text)), row.expected) << row.text;
}

TEST_F(TimeTextsTest, TimeReadHoldsHugeValuesAtTheLimit) {
    EXPECT_EQ(TimeRead("999999:0:0"_t), std::numeric_limits<TimeValue>::max());
    EXPECT_EQ(TimeRead("-999999:0:0"_t), std::numeric_limits<TimeValue>::min());
    EXPECT_EQ(TimeRead("99999999999999999999999"_t), std::numeric_limits<TimeValue>::max());
}

TEST_F(TimeTextsTest, TimeReadOfNothingIsNow) {
    TimeSetClock(&FixedClock);
    EXPECT_EQ(TimeRead(""_t), 10 * kMsPerHour + 20 * kMsPerMinute + 30 * kMsPerSecond);
}

struct TextRow {
    TimeValue value;
    int style;
    std::string expected;
};

TEST_F(TimeTextsTest, TimeTextInEveryStyle) {
    constexpr TimeValue kSample = 9 * kMsPerHour + 5 * kMsPerMinute + 7 * kMsPerSecond + 250;
    const std::vector<TextRow> rows = {
        {kSample, 0, "0905"},
        {kSample, 1, "09:05"},
        {kSample, 2, "090507"},
        {kSample, 3, "09:05:07"},
        {kSample, 4, "090507.2"},
        {kSample, 5, "09:05:07."},
        {kSample, 6, "090507.250"},
        {kSample, 7, "09:05:07.250"},
        {45'296'789, 7, "12:34:56.789"},
        {45'296'789, 0, "1234"},
        {0, 7, "00:00:00.000"},
        {86'399'999, 7, "23:59:59.999"},
        {kSample, 8 + 3, "09:05:07"},
        {kSample, 16 + 6, "090507.250"},
    };
    for (const TextRow& row : rows) {
        EXPECT_EQ(Str(TimeText(row.value, row.style)), row.expected)
            << row.value << " style " << row.style;
    }
}

TEST_F(TimeTextsTest, LongHoursAndNegativeTimesKeepTheirMinutes) {
    EXPECT_EQ(Str(TimeText(100 * kMsPerHour + 5 * kMsPerMinute, 1)), "100:05");
    EXPECT_EQ(Str(TimeText(100 * kMsPerHour + 5 * kMsPerMinute, 0)), "10005");
    EXPECT_EQ(Str(TimeText(-5'000, 3)), "-00:00:05");
    EXPECT_EQ(Str(TimeText(-(kMsPerHour + 250), 7)), "-01:00:00.250");
    EXPECT_EQ(Str(TimeText(std::numeric_limits<TimeValue>::min(), 1)), "-596:31");
}

TEST_F(TimeTextsTest, ReadThenWriteIsTheTimeFunction) {
    for (const char* text : {"12:34:56.789", "00:00:00.000", "23:59:59.999", "01:02:03.040"}) {
        EXPECT_EQ(Str(TimeText(TimeRead(TextView(text)), 7)), text);
    }
}

TEST_F(TimeTextsTest, TimeTextIsOneNewScratchLevel) {
    const ScratchLevel mark = ScratchMark();
    TimeText(1, 7);
    EXPECT_EQ(ScratchDepth(), mark + 1);
    ScratchRelease(mark);
}

TEST_F(TimeTextsTest, NowAndTodayComeFromTheClock) {
    TimeSetClock(&FixedClock);
    EXPECT_EQ(TimeNow(), 37'230'000);
    EXPECT_EQ(DateNow(), 20261206);
    TimeSetClock(&MidnightClock);
    EXPECT_EQ(TimeNow(), 0);
    EXPECT_EQ(DateNow(), 19990131);
}

TEST_F(TimeTextsTest, TheSystemClockGivesWholeSecondsOfToday) {
    const TimeValue now = TimeNow();
    EXPECT_GE(now, 0);
    EXPECT_LT(now, kMsPerDay);
    EXPECT_EQ(now % kMsPerSecond, 0);
    const std::int32_t today = DateNow();
    EXPECT_GT(today, 20240000);
    EXPECT_GE(today % 100, 1);
    EXPECT_LE(today % 100, 31);
    EXPECT_GE(today / 100 % 100, 1);
    EXPECT_LE(today / 100 % 100, 12);
}

} // namespace
} // namespace vodarir::testing
