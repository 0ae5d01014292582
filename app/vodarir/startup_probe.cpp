// The start-up probe: "shown" on standard output when the main window first appears.
#include "startup_probe.h"

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QEvent>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>

namespace vodarir {

StartupProbe::StartupProbe() {
    if (std::getenv(kStartupProbeVariable) != nullptr) qApp->installEventFilter(this);
}

bool StartupProbe::eventFilter(QObject* watched, QEvent* event) {
    if (window_ == nullptr && event->type() == QEvent::Show) {
        auto* window = qobject_cast<QWidget*>(watched);
        // The designer's dialog is the one window with a menu bar.
        if (window != nullptr && window->isWindow() && window->findChild<QMenuBar*>() != nullptr) {
            window_ = window;
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
        }
    } else if (window_ != nullptr && !painted_ && event->type() == QEvent::Paint) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == window_) {
            painted_ = true;
            // The rest of the frame paints before the loop turns again.
            QWidget* window = window_;
            QTimer::singleShot(0, window, [window] {
                std::fputs("painted\n", stdout);
                std::fflush(stdout);
                window->close();
            });
        }
    }
    return false;
}

} // namespace vodarir
