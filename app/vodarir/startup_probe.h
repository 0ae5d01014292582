// The start-up probe of the timing harness (bench/startup_timing): with VODARIR_STARTUP_PROBE set,
// the program writes "shown" to its standard output the moment its main window is first shown,
// "painted" once its first frame has been painted, and then closes that window, so the harness
// can time a start from the outside.
#pragma once

#include <QObject>

class QWidget;

namespace vodarir {

inline constexpr char kStartupProbeVariable[] = "VODARIR_STARTUP_PROBE";

class StartupProbe final : public QObject {
public:
    // Installs itself on the application when the variable is set; otherwise does nothing.
    StartupProbe();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_ = nullptr; // the main window, once shown
    bool painted_ = false;
};

} // namespace vodarir
