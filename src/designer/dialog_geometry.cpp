// Dialog units to pixels and centred frames.
#include "designer/dialog_geometry.h"

#include <algorithm>

namespace vodarir {

namespace {

constexpr int kUnitsPerCharWidth = 4;
constexpr int kUnitsPerCharHeight = 8;

} // namespace

bool AddDialogControl(platform::WindowId window, platform::ControlKind kind, platform::ControlId id,
                      const platform::Rect& units, std::string_view text,
                      platform::ControlStyle style) {
    platform::ControlSpec spec;
    spec.kind = kind;
    spec.id = id;
    spec.rect = DialogUnits(units);
    spec.text = text;
    spec.style = style;
    return platform::CurrentUi().createControl(window, spec);
}

platform::Rect DialogUnits(const platform::Rect& units) {
    const platform::FontMetrics m = platform::CurrentUi().fontMetrics(platform::kUiFont);
    const int cw = m.averageWidth > 0 ? m.averageWidth : kDefaultDialogCharWidth;
    const int ch = m.height > 0 ? m.height : kDefaultDialogCharHeight;
    return {units.x * cw / kUnitsPerCharWidth, units.y * ch / kUnitsPerCharHeight,
            units.width * cw / kUnitsPerCharWidth, units.height * ch / kUnitsPerCharHeight};
}

platform::Rect CentredFrame(platform::Size client, platform::WindowStyle style, bool withMenu,
                            platform::WindowId over) {
    platform::Ui& ui = platform::CurrentUi();
    const platform::Margins m = ui.frameMargins(style, withMenu);
    const int width = client.width + m.left + m.right;
    const int height = client.height + m.top + m.bottom;
    const platform::Rect screen = ui.workArea();
    platform::Rect around = over != platform::kNoWindow ? ui.windowRect(over) : screen;
    if (around.width == 0 || around.height == 0) around = screen;
    int x = around.x + (around.width - width) / 2;
    int y = around.y + (around.height - height) / 2;
    x = std::max(screen.x, std::min(x, screen.x + screen.width - width));
    y = std::max(screen.y, std::min(y, screen.y + screen.height - height));
    return {x, y, width, height};
}

} // namespace vodarir
