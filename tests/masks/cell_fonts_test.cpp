// Character cells and fonts: measuring the cell, fonts made for the cells, the font stack and
// the font a control receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "masks/cell_fonts.h"
#include "platform/scripted/scripted_ui.h"

namespace vodarir {
namespace {

using namespace literals;
using platform::FontId;
using platform::FontMetrics;
using platform::kFixedFont;
using platform::kNoFont;
using platform::kUiFont;

// The scripted face, remembering what every font was asked for.
class FontRecordingUi : public platform::ScriptedUi {
public:
    struct Asked {
        int height, width, weight;
        std::string face;
    };
    std::vector<Asked> asked;
    FontId createFont(const platform::FontSpec& spec) override {
        asked.push_back({spec.height, spec.width, spec.weight, std::string(spec.face)});
        return ScriptedUi::createFont(spec);
    }
};

class CellFontsTest : public ::testing::Test {
protected:
    FontRecordingUi ui;
    platform::WindowId w = platform::kNoWindow;
    void SetUp() override {
        platform::SetUi(&ui);
        CellFontsReset();
        platform::WindowSpec spec;
        spec.name = "Mant";
        w = ui.createWindow(spec, nullptr);
        platform::ControlSpec edit{platform::ControlKind::Edit, 2000, {0, 0, 50, 20}, "", 0};
        ASSERT_TRUE(ui.createControl(w, edit));
    }
    void TearDown() override {
        CellFontsReset();
        platform::SetUi(nullptr);
    }
    FontId FontOf(platform::ControlId id) { return ui.control(w, id)->font; }
};

TEST_F(CellFontsTest, TheCellIsTheFixedFontPlusOneAndThree) {
    // The scripted fixed font: average width 7, height 13.
    EXPECT_EQ(CellSize(), (CellDims{8, 16}));
    ui.setFontMetrics(kFixedFont, {9, 9, 18, 14, 4});
    EXPECT_EQ(CellSize(), (CellDims{8, 16})) << "measured once, on first use";
    EXPECT_EQ(MeasureCell(platform::kNoWindow), (CellDims{10, 21}));
    EXPECT_EQ(CellSize(), (CellDims{10, 21}));
}

TEST_F(CellFontsTest, UnreadableMetricsKeepTheCell) {
    EXPECT_EQ(CellSize(), (CellDims{8, 16}));
    EXPECT_EQ(MeasureCell(999), (CellDims{8, 16})) << "no such window";
    ui.setFontMetrics(kFixedFont, {});
    EXPECT_EQ(MeasureCell(w), (CellDims{8, 16})) << "zero metrics";
}

TEST_F(CellFontsTest, WithoutAFaceOnlyTheSizeChanges) {
    EXPECT_EQ(SetCellFont(20, kKeepCellDimension, 0, TextRef()), 20);
    EXPECT_EQ(CellSize(), (CellDims{8, 20})) << "the width stays as measured";
    EXPECT_EQ(SetCellFont(kKeepCellDimension, 11, 0, TextRef()), 11);
    EXPECT_EQ(CellSize(), (CellDims{11, 20}));
    EXPECT_EQ(SetCellFont(kKeepCellDimension, kKeepCellDimension, 0, TextRef()),
              kKeepCellDimension);
    EXPECT_EQ(CellSize(), (CellDims{11, 20}));
    EXPECT_TRUE(ui.asked.empty());
    EXPECT_EQ(CellFontCount(), 0u);
}

TEST_F(CellFontsTest, ASetHeightIsNotLostToALaterMeasurement) {
    SetCellFont(24, kKeepCellDimension, 0, TextRef());
    ui.setFontMetrics(kFixedFont, {9, 9, 18, 14, 4});
    EXPECT_EQ(CellSize(), (CellDims{8, 24}));
}

TEST_F(CellFontsTest, AFontForCellsOfEightBySixteenAsksForThirteenBySeven) {
    const int font = SetCellFont(16, 8, 0, "Courier"_t);
    ASSERT_NE(font, kNoFont);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].height, 13);
    EXPECT_EQ(ui.asked[0].width, 7);
    EXPECT_EQ(ui.asked[0].face, "Courier");
    EXPECT_EQ(TopCellFont(), font);
    // The font measures back to the same cell.
    EXPECT_EQ(MeasureCell(platform::kNoWindow), (CellDims{8, 16}));
}

TEST_F(CellFontsTest, WeightsZeroAndOneAreNormalAndBold) {
    const int weights[][2] = {{0, 400}, {1, 700}, {600, 600}, {400, 400}};
    for (const auto& row : weights) {
        ui.asked.clear();
        SetCellFont(16, 8, row[0], "Courier"_t);
        ASSERT_EQ(ui.asked.size(), 1u);
        EXPECT_EQ(ui.asked[0].weight, row[1]) << "weight " << row[0];
        PopCellFont();
    }
}

TEST_F(CellFontsTest, TheEighthFontIsNotMade) {
    std::vector<int> made;
    for (int i = 0; i < 7; ++i) made.push_back(SetCellFont(16, 8, 0, "Courier"_t));
    for (const int f : made) EXPECT_NE(f, kNoFont);
    EXPECT_EQ(SetCellFont(18, 9, 0, "Courier"_t), kNoFont);
    EXPECT_EQ(ui.asked.size(), 7u);
    EXPECT_EQ(CellFontCount(), 7u);
    EXPECT_EQ(CellSize(), (CellDims{9, 18})) << "the size is still set";
    PopCellFont();
    EXPECT_NE(SetCellFont(18, 9, 0, "Courier"_t), kNoFont) << "room again after a pop";
}

TEST_F(CellFontsTest, PopDestroysTheTopFont) {
    const int first = SetCellFont(16, 8, 0, "Courier"_t);
    const int second = SetCellFont(20, 10, 0, "Courier"_t);
    PopCellFont();
    EXPECT_EQ(ui.fontMetrics(second), FontMetrics{}) << "destroyed";
    EXPECT_NE(ui.fontMetrics(first), FontMetrics{});
    EXPECT_EQ(TopCellFont(), first);
    PopCellFont();
    PopCellFont(); // empty: nothing happens
    EXPECT_EQ(TopCellFont(), kNoFont);
    EXPECT_EQ(CellFontCount(), 0u);
}

TEST_F(CellFontsTest, AFaceTheSystemCannotMakeLeavesTheStackAlone) {
    // A cell of height 3 leaves no room for a character.
    EXPECT_EQ(SetCellFont(3, 8, 0, "Courier"_t), kNoFont);
    EXPECT_EQ(CellFontCount(), 0u);
}

TEST_F(CellFontsTest, ControlFontsByKind) {
    struct Row {
        FontKind kind;
        bool withStack;
        bool top; // expect the stack's top font
        FontId font;
    };
    const Row rows[] = {
        {FontKind::System, false, false, kUiFont},
        {FontKind::Runtime, false, false, kFixedFont},
        {FontKind::Fixed, false, false, kFixedFont},
        {FontKind::System, true, false, kUiFont},
        {FontKind::Runtime, true, true, kNoFont},
        {static_cast<FontKind>(3), true, false, kFixedFont}, // a number beyond the kinds
    };
    for (const Row& r : rows) {
        CellFontsReset();
        const int made = r.withStack ? SetCellFont(16, 8, 0, "Courier"_t) : kNoFont;
        EXPECT_TRUE(SetControlFont(r.kind, w, 2000));
        EXPECT_EQ(FontOf(2000), r.top ? made : r.font)
            << "kind " << static_cast<int>(r.kind) << (r.withStack ? " with" : " without")
            << " a stack";
    }
    EXPECT_FALSE(SetControlFont(FontKind::System, w, 2999));
}

} // namespace
} // namespace vodarir
