// Character cells and fonts: the cell size, the stack of cell fonts and the font of a control.
#include "masks/cell_fonts.h"

#include <array>
#include <limits>

namespace vodarir {

namespace {

using platform::CurrentUi;
using platform::FontId;
using platform::kNoFont;

constexpr int kNormalWeight = 400;
constexpr int kBoldWeight = 700;

struct CellState {
    CellDims cell;
    bool known = false; // measured, or set by SetCellFont
    std::array<FontId, kMaxCellFonts> fonts{};
    std::size_t fontCount = 0;
};

CellState g_state;

bool FitsDimension(int value) {
    return value >= 0 && value <= std::numeric_limits<std::uint16_t>::max();
}

// The font cells are measured and runtime controls are drawn with.
FontId RuntimeFont() {
    const FontId top = TopCellFont();
    return top != kNoFont ? top : platform::kFixedFont;
}

int WeightOf(int weight) {
    if (weight == 0) return kNormalWeight;
    if (weight == 1) return kBoldWeight;
    return weight;
}

} // namespace

CellDims CellSize() {
    if (!g_state.known) MeasureCell(platform::kNoWindow);
    return g_state.cell;
}

CellDims MeasureCell(platform::WindowId window) {
    platform::Ui& ui = CurrentUi();
    if (window != platform::kNoWindow && !ui.windowExists(window)) return g_state.cell;
    const platform::FontMetrics m = ui.fontMetrics(RuntimeFont());
    const int width = m.averageWidth + kCellExtraWidth;
    const int height = m.height + kCellExtraHeight;
    if (m.averageWidth <= 0 || m.height <= 0 || !FitsDimension(width) || !FitsDimension(height)) {
        return g_state.cell;
    }
    g_state.cell = {static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
    g_state.known = true;
    return g_state.cell;
}

int SetCellFont(int height, int width, int weight, TextRef face) {
    // The dimension not given keeps its measured value rather than a zero that would later be
    // taken for "never measured" and overwrite the one given.
    if (!g_state.known) MeasureCell(platform::kNoWindow);
    if (height != kKeepCellDimension && FitsDimension(height)) {
        g_state.cell.height = static_cast<std::uint16_t>(height);
    }
    if (width != kKeepCellDimension && FitsDimension(width)) {
        g_state.cell.width = static_cast<std::uint16_t>(width);
    }
    if (height != kKeepCellDimension || width != kKeepCellDimension) g_state.known = true;
    if (face.empty()) return width != kKeepCellDimension ? width : height;

    if (g_state.fontCount >= kMaxCellFonts) return kNoFont;
    const int fontHeight = g_state.cell.height - kCellExtraHeight;
    const int fontWidth = g_state.cell.width - kCellExtraWidth;
    if (fontHeight <= 0) return kNoFont;
    platform::FontSpec spec;
    spec.height = fontHeight;
    spec.width = fontWidth > 0 ? fontWidth : 0;
    spec.weight = WeightOf(weight);
    spec.face = face.view();
    const FontId font = CurrentUi().createFont(spec);
    if (font == kNoFont) return kNoFont;
    g_state.fonts[g_state.fontCount++] = font;
    return font;
}

void PopCellFont() {
    if (g_state.fontCount == 0) return;
    --g_state.fontCount;
    CurrentUi().destroyFont(g_state.fonts[g_state.fontCount]);
    g_state.fonts[g_state.fontCount] = kNoFont;
}

FontId TopCellFont() {
    return g_state.fontCount == 0 ? kNoFont : g_state.fonts[g_state.fontCount - 1];
}

std::size_t CellFontCount() { return g_state.fontCount; }

bool SetControlFont(FontKind kind, platform::WindowId window, platform::ControlId control) {
    FontId font = platform::kFixedFont;
    if (kind == FontKind::System) font = platform::kUiFont;
    if (kind == FontKind::Runtime) font = RuntimeFont();
    return CurrentUi().setControlFont(window, control, font);
}

void CellFontsReset() {
    while (g_state.fontCount > 0) PopCellFont();
    g_state = CellState{};
}

} // namespace vodarir
