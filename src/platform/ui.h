// platform::Ui: the only way from the core to a screen. The Qt face implements it with real
// widgets, the scripted face in memory for tests and scenarios.
//
// Texts crossing this seam are cp1252 bytes, exactly as the core holds them; a face converts at
// its own boundary. The core never learns which face it talks to.
#pragma once

#include <cstdint>
#include <string_view>

namespace vodarir::platform {

using WindowId = std::int32_t;
inline constexpr WindowId kNoWindow = 0;

enum class BoxButtons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel };
enum class BoxIcon { None, Information, Exclamation, Stop };
enum class BoxAnswer { Failed, Ok, Cancel, Abort, Retry, Ignore, Yes, No };

class Ui {
public:
    virtual ~Ui() = default;

    // A modal message box owned by `owner` (kNoWindow: ownerless). Failed when it cannot be shown.
    virtual BoxAnswer messageBox(WindowId owner, std::string_view text, std::string_view caption,
                                 BoxButtons buttons, BoxIcon icon) = 0;
};

// The face in use. Before one is installed, a null face answers Failed to everything, so the core
// can run (and fail visibly) without a screen.
Ui& CurrentUi();
// Installs a face (null restores the null face). The caller keeps ownership.
void SetUi(Ui* ui);

} // namespace vodarir::platform
