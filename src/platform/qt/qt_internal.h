// The Qt face's inside: its record of windows and controls, the top-level widget, and the event
// router that turns Qt events into the core's events.
//
// Invariants:
//  1. Every live window has a TopWidget; a destroyed window's widgets are hidden, detached from
//     the record and deleted later, never used again.
//  2. Every control widget (and, for scroll areas, its viewport) carries the properties
//     kWindowProperty and kControlProperty; the router finds its window and control by them.
//  3. Window::focus is kNoControl or a live control's id, and is what the core was last told:
//     a control hears of a loss only after it heard of the gain.
//  4. While `quiet` is above 0 the face is changing widgets itself and no signal reaches the
//     core.
#pragma once

#include <QEventLoop>
#include <QFont>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/qt_ui.h"

namespace vodarir::platform::qtface {

inline constexpr const char* kWindowProperty = "vodarirWindow";
inline constexpr const char* kControlProperty = "vodarirControl";
// What the core last set as a control's text where the widget shows none (list views, list
// boxes): kept so text() answers it back.
inline constexpr const char* kTextProperty = "vodarirText";

struct Control {
    ControlId id = kAnonymousControl;
    ControlKind kind = ControlKind::StaticText;
    ControlStyle style = 0;
    std::vector<Align> columns; // list views: each column's alignment
    QPointer<QWidget> widget;
};

class TopWidget;

struct Window {
    WindowId id = kNoWindow;
    WindowId owner = kNoWindow;
    WindowStyle style = 0;
    std::string name;
    WindowEvents* events = nullptr;
    QPointer<TopWidget> top;
    QWidget* client = nullptr; // the client area: parent of every control
    QMenuBar* menuBar = nullptr;
    QScrollBar* bars[2] = {nullptr, nullptr}; // horizontal, vertical
    ScrollInfo scroll[2];
    std::vector<Control> controls; // creation order, the tab order
    ControlId focus = kNoControl;
    Rect frame; // the outer rectangle asked for, until the platform reports a real one
};

// The router: one event filter for every control and client area of every window.
class Router : public QObject {
public:
    explicit Router(QtUi::Impl* d) : d_(d) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtUi::Impl* d_;
};

} // namespace vodarir::platform::qtface

namespace vodarir::platform {

struct QtUi::Impl {
    struct ModalFrame {
        WindowId window;
        QEventLoop* loop;
        bool ended = false;
        int result = kModalAbandoned;
    };

    QtUi* face = nullptr; // the face this belongs to
    std::map<WindowId, std::unique_ptr<qtface::Window>> windows;
    WindowId nextWindow = 1;
    std::vector<ModalFrame> frames;
    std::map<FontId, QFont> fonts;
    FontId nextFont = kFixedFont + 1;
    std::map<std::string, QPixmap> images;
    qtface::Router router{this};
    int quiet = 0;

    qtface::Window* window(WindowId id) const;
    qtface::Control* control(WindowId window, ControlId id) const;
    QFont font(FontId id) const;
    // The window and control a widget belongs to (kNoControl for a client area).
    bool locate(QObject* widget, WindowId& window, ControlId& control) const;

    // Events to the core. A handler may destroy the window or the control: callers look both
    // up again afterwards.
    void command(WindowId window, ControlId id, int notification);
    void listNotify(WindowId window, ControlId id, int code, int row);
    // The focus moved to `to` (kNoControl: to the window itself): tells the core, once.
    void focusMoved(WindowId window, ControlId to);
    // A key press on a control or client area; true when it must not reach the widget.
    bool keyPress(WindowId window, ControlId control, QKeyEvent* event);
    bool keyRelease(WindowId window, ControlId control, QKeyEvent* event);
    bool dialogKey(qtface::Window& w, ControlId control, VirtualKey key);
    bool typeUntypable(const qtface::Control* c, const QString& text, Qt::KeyboardModifiers mods);
    void mouseOnList(WindowId window, ControlId control, QEvent* event);
    bool closeRequested(WindowId window);
    void activated(WindowId window, bool active);
    void scrolled(WindowId window, ScrollBar bar, int action);
    void layoutScrollBars(qtface::Window& w);

    // Building widgets.
    QWidget* makeWidget(qtface::Window& w, const ControlSpec& spec);
    void tag(QWidget* widget, WindowId window, ControlId id);
    void connectSignals(WindowId window, ControlId id, QWidget* widget);
    void removeControl(qtface::Window& w, std::size_t index);
    void endFrames(WindowId window);
};

} // namespace vodarir::platform

namespace vodarir::platform::qtface {

// A window's top-level widget: reports the close button and activation.
class TopWidget : public QWidget {
public:
    TopWidget(QtUi::Impl* d, WindowId id, QWidget* parent, Qt::WindowFlags flags)
        : QWidget(parent, flags), d_(d), id_(id) {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QtUi::Impl* d_;
    WindowId id_;
};

} // namespace vodarir::platform::qtface
