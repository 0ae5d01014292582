// vodarir: the designer on the desktop. Installs the Qt face and runs the application object.
#include <QApplication>
#include <QIcon>

#include <string>
#include <vector>

#include "designer/vodarir_app.h"
#include "platform/qt/qt_ui.h"
#include "program_icon.h"
#include "startup_probe.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vodarir"));
    QApplication::setWindowIcon(vodarir::ProgramIcon());
    const vodarir::StartupProbe probe;
    vodarir::platform::QtUi ui;
    vodarir::platform::SetUi(&ui);

    // The program as the system would name it when starting it: its full path, so that its folder
    // (the default folder) is right whatever the current directory.
    std::vector<std::string> args = {
        QApplication::applicationFilePath().toLocal8Bit().toStdString()};
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    std::vector<const char*> pointers;
    for (const std::string& a : args) pointers.push_back(a.c_str());
    const std::string line =
        vodarir::JoinCommandLine(static_cast<int>(pointers.size()), pointers.data());

    int exitCode = 1; // a command line too long for the runtime cannot start it
    if (line.size() <= vodarir::kMaxTextLength) {
        vodarir::CVodarirApp designer;
        designer.InitInstance(vodarir::TextView(line));
        exitCode = designer.startStatus() == vodarir::status::kOk ? 0 : 1;
    }
    vodarir::platform::SetUi(nullptr);
    return exitCode;
}
