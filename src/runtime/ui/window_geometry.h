// The grid of character cells runtime windows are laid out on: the geometry record and the
// conversions from columns and rows to pixels.
//
// Two records exist, the default (80 × 25, no margins) and an override (all 0). The active record
// is the override while its columns value is non-zero, else the default. Cell sizes come from
// CellSize (masks/cell_fonts.h); every rounding is to the nearest pixel, halves away from zero.
#pragma once

#include <cstdint>

#include "platform/ui.h"

namespace vodarir {

inline constexpr std::uint16_t kGeometryKeep = 0xFFFF;
// ColumnX/RowY: the position just after the last column or row; GridWidth/GridHeight/ClientSize:
// the record's own size.
inline constexpr std::uint16_t kWholeGrid = 0xFFFF;

struct ScreenGeometry {
    std::uint16_t columns = 0;
    std::uint16_t rows = 0;
    std::uint16_t columnMargin = 0; // cells
    std::uint16_t rowMargin = 0;    // cells
    std::uint16_t extraRows = 0;    // cells added to the height of the whole grid
    std::uint16_t lineSpacing = 0;  // percent added to the cell height
    friend bool operator==(const ScreenGeometry&, const ScreenGeometry&) = default;
};

ScreenGeometry ActiveGeometry();
// Both records, for a caller that changes the geometry for a while and puts it back.
struct GeometryRecords {
    ScreenGeometry defaults;
    ScreenGeometry override;
};
GeometryRecords GeometrySave();
void GeometryRestore(const GeometryRecords& records);
// Back to 80 × 25 without margins and no override (runtime start, tests).
void GeometryReset();
// Sets the margins of the active record; kGeometryKeep keeps a value.
void GeometryMargins(std::uint16_t columnMargin, std::uint16_t rowMargin, std::uint16_t extraRows,
                     std::uint16_t lineSpacing);
// With asDefault: the default record's size. Otherwise the override's (copied from the default
// first while it has no margins and no spacing); 0 columns clears the column margin and makes the
// default active again, 0 rows clears the row margin, the extra rows and the spacing.
void GeometrySize(std::uint16_t columns, std::uint16_t rows, bool asDefault);

int ColumnX(std::uint16_t column);
int RowY(std::uint16_t row);
int ColumnXFromRight(std::uint16_t n);
int RowYFromBottom(std::uint16_t n);
int GridWidth(std::uint16_t columns);
int GridHeight(std::uint16_t rows);
platform::Size ClientSize(std::uint16_t columns, std::uint16_t rows);

} // namespace vodarir
