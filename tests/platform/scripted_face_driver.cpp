// The conformance table's scripted face: the user's acts are the face's own acts.
#include "platform/face_conformance.h"
#include "platform/scripted/scripted_ui.h"

namespace vodarir::platform::conformance {
namespace {

class ScriptedDriver final : public FaceDriver {
public:
    Ui& ui() override { return ui_; }

    WindowId openWindow(const WindowSpec& spec, WindowEvents* events) override {
        const WindowId w = ui_.createWindow(spec, events);
        ui_.showWindow(w, true);
        return w;
    }
    void type(WindowId window, ControlId id, std::string_view bytes) override {
        ui_.type(window, id, bytes);
    }
    void key(WindowId window, ControlId id, VirtualKey key, Modifiers mods) override {
        ui_.key(window, id, key, mods);
    }
    void paste(WindowId window, ControlId id, std::string_view bytes) override {
        ui_.paste(window, id, bytes);
    }
    void click(WindowId window, ControlId id) override { ui_.focusControl(window, id); }
    int runModal(WindowId window, std::function<void()> inside) override {
        ui_.queueModal("", [inside = std::move(inside)](ScriptedUi&, WindowId) { inside(); });
        return ui_.runModal(window);
    }

private:
    ScriptedUi ui_;
};

} // namespace

std::vector<FaceMaker> FacesUnderTest() {
    return {{"Scripted", [] { return std::unique_ptr<FaceDriver>(new ScriptedDriver()); }}};
}

} // namespace vodarir::platform::conformance
