// The application object's start-up, in its order, and its shutdown.
#include "designer/vodarir_app.h"

#include "runtime/text/cp1252.h"

#include "designer/main_dialog.h"
#include "masks/number_format.h"
#include "runtime/messages/language_files.h"
#include "runtime/messages/messages.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/cp1252.h"
#include "runtime/text/text_ops.h"
#include "runtime/ui/help.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr SlotIndex kProductSlot = 3;
constexpr SlotIndex kLanguageSlot = 4;
constexpr TextRef kLanguageList = "EN,ES,FR,DE,IT"_t;

// The program carries no embedded language resources: the built-in messages answer instead.
std::uint16_t NoLanguageResource(std::uint16_t, int, int) { return 0; }

} // namespace

std::string JoinCommandLine(int argc, const char* const* argv) {
    std::string line;
    std::string converted;
    for (int i = 0; i < argc; ++i) {
        std::string_view arg = argv[i] != nullptr ? argv[i] : "";
        // The system hands UTF-8; the runtime reads cp1252. An argument cp1252 cannot hold stays
        // as given, and a file of that name is then reported missing rather than opened wrongly.
        if (Utf8ToCp1252(arg, &converted)) arg = converted;
        if (i > 0) line += ' ';
        const bool quote = arg.find_first_of(" \t") != std::string_view::npos;
        if (quote) line += '"';
        line += arg;
        if (quote) line += '"';
    }
    return line;
}

bool CVodarirApp::InitInstance(TextRef commandLine) {
    CVodarirDlg dialog;
    PoolConfigure(kDesignerScratchLevels, kKeepValue, kKeepValue);
    start_ = RuntimeStart(nullptr, commandLine, RuntimeInit);
    if (start_ != status::kOk) return false; // silently: the runtime cannot even show a box
    IntVarFlags(sysvar::kCompat, kCompatDesignMode, true);
    MsgStartLanguage(TextView(kStartLanguage), NoLanguageResource, kLanguageResource,
                     kLanguageResourceMore);
    SlotSet(slotgroup::kEnvironment, kLanguageSlot,
            ListItem(kLanguageList, ',', kLanguageListItem));
    // Numbers and dates follow the language: its separators and its month names. A language file
    // with an unusable format is no error at start-up: the built-in format stays.
    LoadLanguageFormat();
    HelpFolderSet(TextView(kHelpFolderPattern));
    SlotSet(slotgroup::kEnvironment, kProductSlot, TextView(kProductName));
    dialog.DoModal();
    shutdown_ = SlotStoreShutdown();
    if (shutdown_ != status::kOk) StatusReport(shutdown_);
    return false;
}

} // namespace vodarir
