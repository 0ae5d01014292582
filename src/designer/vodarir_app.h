// CVodarirApp: the designer's application object. Its start-up prepares the runtime, runs the
// main dialog modally and shuts the runtime down; no message loop runs outside that dialog.
//
// The program installs a face (platform::SetUi) before InitInstance and keeps it until it returns.
#pragma once

#include <string>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

inline constexpr std::uint16_t kDesignerScratchLevels = 256;
inline constexpr char kProductName[] = "Vodarir";
inline constexpr char kHelpFolderPattern[] = "Help";
inline constexpr char kStartLanguage[] = "es";
inline constexpr std::uint16_t kLanguageListItem = 2; // "ES" of "EN,ES,FR,DE,IT"
inline constexpr std::uint16_t kLanguageResource = 141;
inline constexpr std::uint16_t kLanguageResourceMore = 142;

class CVodarirApp {
public:
    // Runs the designer from start-up to shutdown with the command line as one text (the program
    // first). Answers false, as the start-up of a dialog-based program does: nothing follows.
    bool InitInstance(TextRef commandLine);
    // The status of the last start (RuntimeStart) and shutdown, for the program's exit code.
    StatusCode startStatus() const { return start_; }
    StatusCode shutdownStatus() const { return shutdown_; }

private:
    StatusCode start_ = status::kOk;
    StatusCode shutdown_ = status::kOk;
};

// The arguments (UTF-8, as the system gives them) as the one cp1252 command line the runtime keeps:
// separated by one blank, each argument that holds a blank or a tab enclosed in double quotes. The
// caller refuses a line longer than a text can hold.
std::string JoinCommandLine(int argc, const char* const* argv);

} // namespace vodarir
