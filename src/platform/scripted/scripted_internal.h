// Helpers and pretend-screen constants shared by the scripted face's source files.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace vodarir::platform::scripted {

// The pretend frame: what frameMargins answers and createWindow subtracts for the client area.
inline constexpr int kFrameBorder = 3;
inline constexpr int kCaptionHeight = 19;
inline constexpr int kMenuBarHeight = 19;
// A control with kBorder loses this much on each side of its client area.
inline constexpr int kControlBorder = 2;
// Fonts a test run may make; beyond it createFont fails, as a real face eventually would.
inline constexpr std::size_t kMaxFonts = 64;

// A menu item's text as the user sees it: mnemonic marks removed ("&&" is one "&"), the
// accelerator text after a tab dropped.
std::string MenuLabel(std::string_view text);

// A text for a transcript line: CR, LF, tab, backslash and other control bytes written as
// escapes, everything else (cp1252 letters included) as it is.
std::string Escaped(std::string_view text);

} // namespace vodarir::platform::scripted

#include "platform/scripted/scripted_ui.h"

namespace vodarir::platform {

// A window as the scripted face keeps it: what the test reads back, and the core's listener.
struct ScriptedUi::WindowRec {
    ShownWindow shown;
    WindowEvents* events = nullptr;
};

} // namespace vodarir::platform
