// The cell grid of runtime windows: records, margins, line spacing and the pixel conversions.
#include <gtest/gtest.h>

#include "masks/cell_fonts.h"
#include "runtime/ui/window_geometry.h"
#include "support/scripted_runtime.h"

namespace vodarir {
namespace {

using namespace literals;

class WindowGeometryTest : public testing::ScriptedRuntimeTest {
protected:
    void SetUp() override {
        ScriptedRuntimeTest::SetUp();
        GeometryReset();
        SetCellFont(16, 8, 0, ""_t); // cells of 8 × 16 pixels
    }
    void TearDown() override {
        GeometryReset();
        ScriptedRuntimeTest::TearDown();
    }
};

TEST_F(WindowGeometryTest, DefaultGridIsEightyByTwentyFiveWithoutMargins) {
    EXPECT_EQ(ActiveGeometry(), (ScreenGeometry{80, 25, 0, 0, 0, 0}));
    const struct {
        int got, want;
        const char* what;
    } rows[] = {
        {ColumnX(1), 1, "column 1"},
        {ColumnX(3), 17, "column 3"},
        {ColumnX(kWholeGrid), 641, "after the last column"},
        {RowY(1), 1, "row 1"},
        {RowY(2), 17, "row 2"},
        {RowY(kWholeGrid), 401, "after the last row"},
        {GridWidth(10), 80, "10 columns"},
        {GridWidth(kWholeGrid), 640, "the grid"},
        {GridHeight(3), 48, "3 rows"},
        {GridHeight(kWholeGrid), 400, "the grid"},
        {ColumnXFromRight(5), 593, "5 from the right"},
        {RowYFromBottom(0), 385, "the last row"},
        {RowYFromBottom(1), 369, "one above the last row"},
    };
    for (const auto& r : rows) EXPECT_EQ(r.got, r.want) << r.what;
    EXPECT_EQ(ClientSize(kWholeGrid, kWholeGrid), (platform::Size{640, 400}));
    EXPECT_EQ(ClientSize(0, 5), (platform::Size{0, 80})) << "0 columns give no width";
}

TEST_F(WindowGeometryTest, MarginsAndLineSpacingMoveEveryPosition) {
    GeometryMargins(2, 1, 3, 50);
    EXPECT_EQ(ColumnX(1), 17) << "two cells of margin";
    EXPECT_EQ(RowY(1), 25) << "one row of margin, each row 16 × 1.5 pixels";
    EXPECT_EQ(GridWidth(kWholeGrid), (80 + 2) * 8);
    EXPECT_EQ(GridHeight(kWholeGrid), (25 + 1 + 3) * 24) << "margin and extra rows count";
    EXPECT_EQ(ClientSize(10, 2), (platform::Size{96, 144}));
    GeometryMargins(kGeometryKeep, 0, kGeometryKeep, kGeometryKeep);
    EXPECT_EQ(ActiveGeometry().columnMargin, 2) << "kept";
    EXPECT_EQ(ActiveGeometry().rowMargin, 0);
}

TEST_F(WindowGeometryTest, RowPixelsRoundHalvesAwayFromZero) {
    SetCellFont(15, kKeepCellDimension, 0, ""_t);
    GeometryMargins(kGeometryKeep, kGeometryKeep, kGeometryKeep, 10);
    EXPECT_EQ(RowY(2), 18) << "16.5 pixels round up";
    EXPECT_EQ(GridHeight(1), 17);
    EXPECT_EQ(GridHeight(2), 33);
}

TEST_F(WindowGeometryTest, AnOverrideTakesOverUntilItsColumnsAreCleared) {
    GeometryMargins(1, 0, 0, 0); // on the default record
    GeometrySize(40, 10, false);
    EXPECT_EQ(ActiveGeometry(), (ScreenGeometry{40, 10, 1, 0, 0, 0}))
        << "the override starts as a copy of the default, margins included";
    GeometryMargins(3, 2, 0, 0);
    EXPECT_EQ(ColumnX(kWholeGrid), 40 * 8 + 1);
    GeometrySize(kGeometryKeep, 0, false);
    EXPECT_EQ(ActiveGeometry().rowMargin, 0) << "no rows clears the row margin";
    GeometrySize(0, kGeometryKeep, false);
    EXPECT_EQ(ActiveGeometry(), (ScreenGeometry{80, 25, 1, 0, 0, 0})) << "the default again";
    GeometrySize(100, 30, true);
    EXPECT_EQ(ActiveGeometry().columns, 100);
}

} // namespace
} // namespace vodarir
