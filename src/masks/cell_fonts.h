// Character cells and fonts: the pixel size of one cell of a runtime window's grid, the fonts
// made to fit it, and which font a control receives.
//
// Ownership: the fonts on the cell-font stack are made through platform::Ui and belong to this
// layer until PopCellFont (or CellFontsReset) destroys them. The cell size and the stack are
// process-wide.
//
// Invariants:
//  1. The stack holds at most kMaxCellFonts fonts, each one a live font of the face in use.
//  2. A cell width of 0 means "not measured yet"; CellSize measures before it answers.
#pragma once

#include <cstdint>

#include "platform/ui.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

inline constexpr std::size_t kMaxCellFonts = 7;
// What the platform's text metrics gain to make a cell: average width + 1, height + 3.
inline constexpr int kCellExtraWidth = 1;
inline constexpr int kCellExtraHeight = 3;
// SetCellFont: -1 keeps a dimension.
inline constexpr int kKeepCellDimension = -1;

struct CellDims {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    friend bool operator==(const CellDims&, const CellDims&) = default;
};

// The cell size, measured first when its width is still 0.
CellDims CellSize();
// Measures the cell with the runtime's current font (the top of the stack, else the fixed-pitch
// font) for the window, or the screen for kNoWindow, and keeps it. When the metrics cannot be
// read (no such window, a face without fonts) the cell size stays as it was.
CellDims MeasureCell(platform::WindowId window);
// Sets the cell height and width (kKeepCellDimension keeps one). Without a face name the answer
// is the width when one was given, else the height. With a face a font for the cells is made:
// height = cell height - 3, width = cell width - 1, weight 400 for 0, 700 for 1, else as given;
// it is pushed and answered (its FontId), or platform::kNoFont when the stack is full or the
// face cannot make it.
int SetCellFont(int height, int width, int weight, TextRef face);
// Destroys the font on top of the stack, if any.
void PopCellFont();
// The font on top of the stack, platform::kNoFont when it is empty.
platform::FontId TopCellFont();
std::size_t CellFontCount();

// Font kinds of SetControlFont.
enum class FontKind {
    System = 0,  // the platform's dialog font
    Fixed = 1,   // the fixed-pitch font (so is any number beyond the kinds)
    Runtime = 2, // the top of the stack, else the fixed-pitch font
};

// Gives the control one of the runtime's fonts; false when the control does not exist.
bool SetControlFont(FontKind kind, platform::WindowId window, platform::ControlId control);

// Destroys every font of the stack and forgets the cell size (runtime shutdown, tests).
void CellFontsReset();

} // namespace vodarir
