// The About box: the product, version, program path and folders in an information box.
#include "host/paths.h"
#include "runtime/messages/messages.h"
#include "runtime/store/runtime_config.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr std::uint16_t kAboutLimit = 1024;
constexpr TextRef kAboutYear = "2015"_t;
constexpr TextRef kAboutVersion = "2.09p"_t;
constexpr SlotIndex kProductSlot = 3;
constexpr SlotIndex kDefaultFolderSlot = 5;

} // namespace

void AboutShow() {
    const ScratchLevel mark = ScratchMark();
    // The message text is the format; it comes from a language file, so only its "%s" are
    // filled, whatever else it holds.
    const TextRef text = TextFill(
        kAboutLimit, MsgText("0076"),
        {kAboutYear, TextDup(SlotGet(slotgroup::kEnvironment, kProductSlot)), kAboutVersion,
         RunPath(0), TextDup(SlotGet(slotgroup::kEnvironment, kDefaultFolderSlot)),
         AppFolder(appfolder::kData)});
    MsgInfo(MsgText("0075"), text.failed() ? TextRef() : text);
    ScratchRelease(mark);
}

} // namespace vodarir
