// The yardstick of the start-up timing: the least a Qt Widgets program with a dialog and a menu
// bar does before its window shows. Same probe as the designer: with VODARIR_STARTUP_PROBE set it
// writes "shown" on standard output when the window appears and "painted" once its first frame is
// painted, then closes.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPaintEvent>
#include <QShowEvent>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class MinimalDialog final : public QDialog {
protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        if (std::getenv("VODARIR_STARTUP_PROBE") == nullptr) return;
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
    }
    // As the designer's probe: once the first frame has been painted (its children included).
    void paintEvent(QPaintEvent* event) override {
        QDialog::paintEvent(event);
        if (painted_ || std::getenv("VODARIR_STARTUP_PROBE") == nullptr) return;
        painted_ = true;
        QTimer::singleShot(0, this, [this] {
            std::fputs("painted\n", stdout);
            std::fflush(stdout);
            close();
        });
    }

private:
    bool painted_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MinimalDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Minimal"));
    dialog.resize(744, 590);
    auto* bar = new QMenuBar(&dialog);
    bar->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Open"));
    auto* label = new QLabel(QStringLiteral("minimal"), &dialog);
    label->move(10, 40);
    dialog.show();
    return app.exec();
}
