// Number texts and FixedNumber: reading with rounding and exponents, the shortest text form.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "runtime/store/number_text.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;

constexpr FixedNumber kMax = std::numeric_limits<FixedNumber>::max();
constexpr FixedNumber kMin = std::numeric_limits<FixedNumber>::min();

class NumberTextTest : public testing::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(TypedTablesInit(), status::kOk);
    }
    void TearDown() override {
        TypedTablesRelease();
        RuntimeTest::TearDown();
    }
};

struct FromRow {
    const char* text;
    int decimals;
    StatusCode status;
    FixedNumber value;
    std::uint16_t used;
};

TEST_F(NumberTextTest, TextToFixed) {
    const FromRow rows[] = {
        {"1.5", 2, 0, 150, 3},
        {"1.505", 2, 0, 151, 5}, // half away from zero
        {"1.504", 2, 0, 150, 5},
        {"-1.505", 2, 0, -151, 6},
        {"-0.005", 2, 0, -1, 6},
        {"0.004", 2, 0, 0, 5},
        {"1.9999999", 2, 0, 200, 9}, // the rounding carries into the whole part
        {"12", 0, 0, 12, 2},
        {"12.5", 0, 0, 13, 4},
        {"-12.5", 0, 0, -13, 5},
        {".05", 2, 0, 5, 3},
        {"-.5", 2, 0, -50, 3},
        {"3.14159", 4, 0, 31416, 7},
        {"1", 7, 0, 10000, 1}, // at most four decimals
        {"1D3", 2, 0, 100000, 3},
        {"1.5D2", 2, 0, 15000, 5},
        {"15D-1", 2, 0, 150, 5},
        {"5D-3", 2, 0, 1, 4}, // 0.005 rounds up to .01
        {"4D-3", 2, 0, 0, 4},
        {"2D", 2, 0, 200, 1}, // a "D" without digits is not an exponent
        {"0D99999", 2, 0, 0, 7},
        {"", 2, 0, 0, 0},
        {"abc", 2, 0, 0, 0},
        {"-", 2, 0, 0, 0},
        {"  7.25x", 2, 0, 725, 6},
        {"9223372036854775807", 0, 0, kMax, 19},
        {"92233720368547758.07", 2, 0, kMax, 20},
        {"-9223372036854775807", 0, 0, -kMax, 20},
        {"9223372036854775808", 0, status::kDataOutBound, -1, 0},
        {"92233720368547758.075", 2, status::kDataOutBound, -1, 0}, // the rounding overflows
        {"1D30", 2, status::kDataOutBound, -1, 0},
    };
    for (const FromRow& r : rows) {
        FixedNumber v = -1;
        std::uint16_t used = 0;
        EXPECT_EQ(FixedFromText(TextView(r.text), r.decimals, &v, &used), r.status)
            << r.text << " D=" << r.decimals;
        EXPECT_EQ(v, r.value) << r.text << " D=" << r.decimals;
        if (r.status == 0) {
            EXPECT_EQ(used, r.used) << r.text;
        }
    }
}

TEST_F(NumberTextTest, FailedTextPassesItsStatus) {
    FixedNumber v = 5;
    EXPECT_EQ(FixedFromText(TextRef::Failed(145), 2, &v), 145);
    EXPECT_EQ(v, 5);
}

struct ToRow {
    FixedNumber value;
    int decimals;
    const char* text;
};

TEST_F(NumberTextTest, FixedToShortestText) {
    const ToRow rows[] = {
        {150, 2, "1.5"},
        {200, 2, "2"},
        {5, 2, ".05"},
        {-50, 2, "-.5"},
        {0, 2, ""},
        {0, 0, "0"},
        {0, 1, ""},
        {7, 0, "7"},
        {-7, 0, "-7"},
        {100, 0, "100"},
        {1010, 2, "10.1"},
        {123456, 4, "12.3456"},
        {10, 4, ".001"},
        {1000, 3, "1"},
        {-1, 1, "-.1"},
        {-5, 2, "-.05"},
        {kMax, 0, "9223372036854775807"},
        {kMin, 2, "-92233720368547758.08"},
    };
    for (const ToRow& r : rows) {
        const ScratchLevel mark = ScratchMark();
        EXPECT_EQ(Str(FixedToText(r.value, r.decimals)), r.text) << r.value << " D=" << r.decimals;
        ScratchRelease(mark);
    }
}

TEST_F(NumberTextTest, TextFormReadsBackToTheSameNumber) {
    for (int d = 0; d <= kMaxDecimals; ++d) {
        for (FixedNumber v :
             {FixedNumber{0}, FixedNumber{1}, FixedNumber{-1}, FixedNumber{9}, FixedNumber{10},
              FixedNumber{-105}, FixedNumber{123456789}, kMax, -kMax}) {
            const ScratchLevel mark = ScratchMark();
            const TextRef t = FixedToText(v, d);
            FixedNumber back = -42;
            std::uint16_t used = 0;
            EXPECT_EQ(FixedFromText(t, d, &back, &used), status::kOk) << Str(t);
            EXPECT_EQ(back, v) << "'" << Str(t) << "' D=" << d;
            EXPECT_EQ(used, t.length) << "the whole form is read: " << Str(t);
            ScratchRelease(mark);
        }
    }
}

TEST_F(NumberTextTest, WholeNumbersRoundHalfAwayFromZero) {
    struct Row {
        FixedNumber value;
        int decimals;
        std::int64_t whole;
    };
    for (const Row& r : {Row{150, 2, 2}, Row{149, 2, 1}, Row{-150, 2, -2}, Row{-149, 2, -1},
                         Row{50, 2, 1}, Row{-50, 2, -1}, Row{49, 2, 0}, Row{7, 0, 7},
                         Row{-7, 0, -7}, Row{12345, 4, 1}, Row{15000, 4, 2}}) {
        EXPECT_EQ(FixedToWhole(r.value, r.decimals), r.whole) << r.value << " D=" << r.decimals;
    }
    FixedNumber f = 0;
    EXPECT_EQ(FixedFromWhole(-12, 2, &f), status::kOk);
    EXPECT_EQ(f, -1200);
    EXPECT_EQ(FixedFromWhole(kMax / 10, 2, &f), status::kDataOutBound);
}

TEST_F(NumberTextTest, ScaleFollowsPrecisLimitedToFourDecimals) {
    struct Row {
        std::int16_t precis;
        FixedNumber scale;
    };
    for (const Row& r : {Row{2, 100}, Row{0, 1}, Row{4, 10000}, Row{9, 10000}, Row{-3, 1}}) {
        IntVarSet(sysvar::kPrecis, r.precis);
        EXPECT_EQ(FixedScale(), r.scale) << "_PRECIS " << r.precis;
    }
    IntVarSet(sysvar::kPrecis, 3);
    FixedNumber v = 0;
    ASSERT_EQ(FixedFromText("1.2345"_t, &v), status::kOk);
    EXPECT_EQ(v, 1235);
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(FixedToText(1230)), "1.23");
    ScratchRelease(mark);
}

} // namespace
} // namespace vodarir
