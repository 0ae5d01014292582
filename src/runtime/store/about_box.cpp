// The About box: the year, the product, the version and the program's folders.
#include "host/paths.h"
#include "runtime/messages/message_format.h"
#include "runtime/messages/messages.h"
#include "runtime/store/runtime_config.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/cp1252_literal.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr char kCaptionCode[] = "0075";
constexpr char kTextCode[] = "0076";
constexpr TextRef kYear = "2015"_t;
constexpr TextRef kVersion = "2.09p"_t;
constexpr SlotIndex kProductSlot = 3;
constexpr std::uint16_t kMaxAboutLength = 1024;

// The built-in messages have no About text; without a language file that has one, this says the
// same in the built-in language, so the box is never empty.
constexpr auto kBuiltinAbout =
    Cp1252("© %s %s\r\nVersión %s\r\n\r\nPrograma: %s\r\nCarpeta por defecto: %s\r\n"
           "Carpeta de datos comunes: %s");

} // namespace

void AboutShow() {
    const ScratchLevel mark = ScratchMark();
    const TextRef format = MsgText(kTextCode);
    const TextRef text = MsgFormat(
        kMaxAboutLength, format.failed() || format.empty() ? kBuiltinAbout.text() : format,
        {kYear, SlotGet(slotgroup::kEnvironment, kProductSlot), kVersion, RunPath(0),
         AppFolder(appfolder::kDefault), AppFolder(appfolder::kData)});
    if (text.failed()) {
        StatusReport(text.status());
    } else {
        MsgInfo(MsgText(kCaptionCode), text);
    }
    ScratchRelease(mark);
}

} // namespace vodarir
