// The conformance table of the seam: one table of rows (face_conformance_test.cpp), each a test
// body that drives a face through a FaceDriver, instantiated once per face. A row states what the
// designer relies on; a face that behaves otherwise fails that row under its own name.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace vodarir::platform::conformance {

// A face and a user acting on it, the way that face's user acts: the scripted face through its
// acts, the Qt face through key, mouse and clipboard events delivered to its widgets.
class FaceDriver {
public:
    virtual ~FaceDriver() = default;
    virtual Ui& ui() = 0;

    // A shown window that takes the user's input at once.
    virtual WindowId openWindow(const WindowSpec& spec, WindowEvents* events) = 0;
    // Each byte typed as one key into the control (focusing it first); CR, LF or CR LF is one
    // press of Enter.
    virtual void type(WindowId window, ControlId id, std::string_view bytes) = 0;
    // One key, with modifiers, in the control (focusing it first).
    virtual void key(WindowId window, ControlId id, VirtualKey key, Modifiers mods = kModNone) = 0;
    // The bytes pasted over the control's selection (focusing it first).
    virtual void paste(WindowId window, ControlId id, std::string_view bytes) = 0;
    // The pointer clicked into the control.
    virtual void click(WindowId window, ControlId id) = 0;
    // The window's modal loop with `inside` run in it, as the user's acts are.
    virtual int runModal(WindowId window, std::function<void()> inside) = 0;
    // Lets whatever the face still has in flight arrive.
    virtual void settle() {}
};

struct FaceMaker {
    const char* name;
    std::unique_ptr<FaceDriver> (*make)();
};

inline void PrintTo(const FaceMaker& face, std::ostream* os) { *os << face.name; }

// The faces this test program has; the table runs once for each.
std::vector<FaceMaker> FacesUnderTest();

} // namespace vodarir::platform::conformance
