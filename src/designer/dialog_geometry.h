// Dialog units to pixels, and where a dialog's frame goes: the designer's dialogs are laid out in
// the dialog units of their templates and placed by the face's font and frame sizes.
#pragma once

#include <string_view>

#include "platform/ui.h"

namespace vodarir {

// The dialog font's cell when the face reports none (the template's 8-point font).
inline constexpr int kDefaultDialogCharWidth = 6;
inline constexpr int kDefaultDialogCharHeight = 13;

// A rectangle in dialog units (a quarter of the average character width, an eighth of the
// character height) in pixels.
platform::Rect DialogUnits(const platform::Rect& units);
inline platform::Size DialogUnits(int width, int height) {
    const platform::Rect r = DialogUnits(platform::Rect{0, 0, width, height});
    return {r.width, r.height};
}
// Makes a control of a designer dialog laid out in dialog units; false when the face refused it.
bool AddDialogControl(platform::WindowId window, platform::ControlKind kind, platform::ControlId id,
                      const platform::Rect& units, std::string_view text,
                      platform::ControlStyle style);
// The outer frame of a window of this style whose client area has the size, centred over the
// window `over` (the work area when there is none), kept on the work area.
platform::Rect CentredFrame(platform::Size client, platform::WindowStyle style, bool withMenu,
                            platform::WindowId over);

} // namespace vodarir
