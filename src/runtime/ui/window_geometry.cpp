// The geometry records and the cell-to-pixel conversions.
#include "runtime/ui/window_geometry.h"

#include <algorithm>
#include <cstdint>

#include "masks/cell_fonts.h"

namespace vodarir {

namespace {

constexpr ScreenGeometry kDefaultGeometry{80, 25, 0, 0, 0, 0};

ScreenGeometry g_default = kDefaultGeometry;
ScreenGeometry g_override{};

ScreenGeometry& Active() { return g_override.columns != 0 ? g_override : g_default; }

// numerator / denominator to the nearest whole number, halves away from zero.
int RoundDiv(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t half = denominator / 2;
    const std::int64_t q =
        numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
    return static_cast<int>(q);
}

// Rows in pixels with the line spacing of the active record.
int RowsToPixels(std::int64_t rows) {
    const ScreenGeometry& g = Active();
    return RoundDiv(rows * CellSize().height * (100 + g.lineSpacing), 100);
}

} // namespace

ScreenGeometry ActiveGeometry() { return Active(); }

GeometryRecords GeometrySave() { return {g_default, g_override}; }

void GeometryRestore(const GeometryRecords& records) {
    g_default = records.defaults;
    g_override = records.override;
}

void GeometryReset() {
    g_default = kDefaultGeometry;
    g_override = ScreenGeometry{};
}

void GeometryMargins(std::uint16_t columnMargin, std::uint16_t rowMargin, std::uint16_t extraRows,
                     std::uint16_t lineSpacing) {
    ScreenGeometry& g = Active();
    if (columnMargin != kGeometryKeep) g.columnMargin = columnMargin;
    if (rowMargin != kGeometryKeep) g.rowMargin = rowMargin;
    if (extraRows != kGeometryKeep) g.extraRows = extraRows;
    if (lineSpacing != kGeometryKeep) g.lineSpacing = lineSpacing;
}

void GeometrySize(std::uint16_t columns, std::uint16_t rows, bool asDefault) {
    if (asDefault) {
        if (columns != kGeometryKeep) g_default.columns = columns;
        if (rows != kGeometryKeep) g_default.rows = rows;
        return;
    }
    if (g_override.columnMargin == 0 && g_override.rowMargin == 0 && g_override.lineSpacing == 0) {
        g_override = g_default;
    }
    if (columns != kGeometryKeep) {
        g_override.columns = columns;
        if (columns == 0) g_override.columnMargin = 0;
    }
    if (rows != kGeometryKeep) {
        g_override.rows = rows;
        if (rows == 0) g_override.rowMargin = g_override.extraRows = g_override.lineSpacing = 0;
    }
}

int ColumnX(std::uint16_t column) {
    const ScreenGeometry& g = Active();
    const int width = CellSize().width;
    if (column == kWholeGrid) return g.columns * width + 1;
    return (column + g.columnMargin - 1) * width + 1;
}

int RowY(std::uint16_t row) {
    const ScreenGeometry& g = Active();
    const std::int64_t cells = row == kWholeGrid ? g.rows : std::int64_t{row} + g.rowMargin - 1;
    return RowsToPixels(cells) + 1;
}

int ColumnXFromRight(std::uint16_t n) {
    const ScreenGeometry& g = Active();
    const int column = g.columns - std::min<int>(n, g.columns);
    return (column + g.columnMargin - 1) * CellSize().width + 1;
}

int RowYFromBottom(std::uint16_t n) {
    const ScreenGeometry& g = Active();
    return RowsToPixels(std::int64_t{g.rows} + g.extraRows - n + g.rowMargin - 1) + 1;
}

int GridWidth(std::uint16_t columns) {
    const ScreenGeometry& g = Active();
    const int cells = columns == kWholeGrid ? g.columns + g.columnMargin : columns;
    return cells * CellSize().width;
}

int GridHeight(std::uint16_t rows) {
    const ScreenGeometry& g = Active();
    const std::int64_t cells =
        rows == kWholeGrid ? std::int64_t{g.rows} + g.rowMargin + g.extraRows : rows;
    return RowsToPixels(cells);
}

platform::Size ClientSize(std::uint16_t columns, std::uint16_t rows) {
    const ScreenGeometry& g = Active();
    const int cols = columns == kWholeGrid ? g.columns : columns;
    const int rws = rows == kWholeGrid ? g.rows : rows;
    const int width = cols == 0 ? 0 : (cols + g.columnMargin) * CellSize().width;
    const int height = rws == 0 ? 0 : RowsToPixels(std::int64_t{rws} + g.rowMargin + g.extraRows);
    return {width, height};
}

} // namespace vodarir
