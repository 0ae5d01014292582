// vodarir: the designer on the desktop. Installs the Qt face and runs the application object.
#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "designer/vodarir_app.h"
#include "platform/qt/qt_ui.h"
#include "program_icon.h"
#include "startup_probe.h"

int main(int argc, char** argv) {
    // Asked from a terminal: answered before Qt starts, so no display is needed.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vodarir %s\n", VODARIR_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: vodarir [FILE]\n"
                    "       vodarir --version\n\n"
                    "Starts the designer on FILE, a definition file of an application, or,\n"
                    "without one, on the application folder it asks for.\n");
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vodarir"));
    QApplication::setApplicationVersion(QStringLiteral(VODARIR_VERSION));
    // The installed desktop entry: desktops match the window to its menu entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("vodarir"));
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
    if (const vodarir::TextRef text = vodarir::TextFromString(line); !text.failed()) {
        vodarir::CVodarirApp designer;
        designer.InitInstance(text);
        exitCode = designer.startStatus() == vodarir::status::kOk ? 0 : 1;
    }
    vodarir::platform::SetUi(nullptr);
    return exitCode;
}
