// Screen files: the current screen, its load from the screen file or the work files, its store
// into the work files, and the save of both work files over the screen file.
#include "designer/screen_files.h"

#include <algorithm>
#include <array>
#include <string>

#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "host/file_copies.h"
#include "host/numbered_files.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

// _COMPAT bit that widens the lengths of fields typed "1" to "8".
constexpr std::int16_t kCompatWideNumbers = 64;
constexpr std::uint16_t kMaxMessageLength = 1024;
constexpr char kCellTooFar[] = "1070 Row %s, column %s lies beyond row or column 99, which a "
                               "screen file cannot hold: screen %s was not stored.";
constexpr char kScreenTooLong[] =
    "1085 Screen %s would hold %s characters as text, more than the 65535 the editor holds: it "
    "was not loaded.";
constexpr char kTextTooLong[] = "1071 The text at row %s, column %s is longer than a line of the "
                                "screen file can hold: screen %s was not stored.";
// The two files of a screen file, in the order they are put in place.
constexpr std::array<std::uint16_t, 2> kScreenFileExtensions = {extension::kScreen,
                                                                extension::kParameters};

ScreenModel g_model;

TextRef Number(std::uint32_t n) { return TextFormat(12, "%u", n); }

// Why the screen cannot be written, said where, as the error detail of the answered status.
StatusCode Refuse(const StoreOutcome& outcome) {
    ScratchScope scope;
    const TextRef screen = Number(Designer().screenNumber);
    switch (outcome.refusal) {
    case StoreRefusal::Position:
        return LogErrorText(
            status::kDataOutBound,
            TextFill(kMaxMessageLength, MsgText(kCellTooFar),
                     {Number(outcome.cell.row), Number(outcome.cell.column), screen}),
            false);
    case StoreRefusal::LongText:
        return LogErrorText(
            status::kStringTooLong,
            TextFill(kMaxMessageLength, MsgText(kTextTooLong),
                     {Number(outcome.cell.row), Number(outcome.cell.column), screen}),
            false);
    case StoreRefusal::Binding:
    case StoreRefusal::FieldsLost:
        return LogErrorText(status::kInternal,
                            TextFormat(64, "screen %u, row %u, column %u",
                                       unsigned{Designer().screenNumber}, outcome.cell.row,
                                       outcome.cell.column),
                            false);
    case StoreRefusal::None:
        break;
    }
    return status::kOk;
}

// Puts copies of the PAN and PPN files of `from` in place of those of `to`, both together: each
// is copied beside its target first, and only when both copies are complete do they take the
// targets' places. A missing PPN file of `from` leaves `to` an empty one; a missing PAN file is
// kFileNotFound when required.
StatusCode ReplacePair(TextRef from, TextRef to, bool requirePan) {
    ScratchScope scope;
    std::vector<Placement> placements;
    StatusCode st = status::kOk;
    for (const std::uint16_t ext : kScreenFileExtensions) {
        const TextRef source = WithKindExtension(from, ext);
        const TextRef target = ReplacedFile(WithKindExtension(to, ext));
        const TextRef written = target.failed() ? target : CreateBeside(target);
        if (written.failed()) {
            st = written.status();
            break;
        }
        placements.push_back({std::string(written.view()), std::string(target.view())});
        if (!PathOnDisk(source).failed()) {
            st = CopyFileWhole(source, written);
        } else if (ext == extension::kScreen && requirePan) {
            st = LogErrorText(status::kFileNotFound, source, true);
        }
        if (st == status::kOk) st = SyncFile(written);
        if (st != status::kOk) break;
    }
    if (st == status::kOk) return PutInPlace(placements);
    for (const Placement& p : placements) FileDelete(TextView(p.written));
    return st;
}

bool WideNumbers() { return (IntVarGet(sysvar::kCompat) & kCompatWideNumbers) != 0; }

} // namespace

ScreenModel& CurrentScreenModel() { return g_model; }

StatusCode SetCurrentScreen(platform::WindowId dialog, ScreenModel model) {
    const StatusCode st = SetDesignerSlot(designerslot::kScreenText, TextView(model.text));
    if (st != status::kOk) return st;
    g_model = std::move(model);
    if (Designer().builtKind == editorkind::kScreen) {
        platform::CurrentUi().setText(dialog, designerctl::kEdit, g_model.text);
    }
    return status::kOk;
}

StatusCode ScreenCountOf(TextRef basePath, std::uint16_t* count) {
    ScratchScope scope;
    *count = 0;
    const std::pair<std::uint16_t, LineKind> files[] = {
        {extension::kScreen, LineKind::Screen}, {extension::kParameters, LineKind::Parameters}};
    for (const auto& [ext, kind] : files) {
        std::uint16_t highest = 0;
        const StatusCode st = HighestBlock(WithKindExtension(basePath, ext), kind, &highest);
        if (st == status::kFileNotFound) continue; // a file that is not there holds no screens
        if (st != status::kOk) return st;
        *count = std::max(*count, highest);
    }
    return status::kOk;
}

TextRef WorkFile(std::uint16_t ext) {
    if (DesignerSlot(designerslot::kWorkBase).empty()) {
        ScratchScope scope;
        MakeWorkBase(TextDup(DesignerSlot(designerslot::kScreenBase)));
    }
    return WithKindExtension(TextDup(DesignerSlot(designerslot::kWorkBase)), ext);
}

void EnsureScreen() {
    DesignerState& state = Designer();
    if (state.screenNumber != 0) return;
    state.screenCount = std::max<std::uint16_t>(state.screenCount, 1);
    state.screenNumber = 1;
}

ScreenLoad LoadScreen(platform::WindowId dialog, ScreenSource source) {
    ScratchScope scope;
    ScreenLoad result;
    DesignerState& state = Designer();
    const bool fromFile = source == ScreenSource::File;
    const TextRef base = TextDup(fromFile ? DesignerSlot(designerslot::kScreenBase)
                                          : DesignerSlot(designerslot::kWorkBase));
    std::uint16_t number = fromFile ? 1 : state.screenNumber;
    std::uint16_t count = state.screenCount;
    if (fromFile) {
        result.status = ScreenCountOf(base, &count);
        if (result.status != status::kOk) return result;
        count = std::max<std::uint16_t>(count, 1); // an empty file is edited from its screen 1
    }
    std::vector<std::string> records;
    result.status =
        ReadBlock(WithKindExtension(base, extension::kScreen), LineKind::Screen, number, &records);
    if (result.status != status::kOk) return result;
    LoadedScreen loaded = ScreenFromRecords(records, WideNumbers());
    if (loaded.model.text.size() > kMaxEditorText) {
        result.status =
            LogErrorText(status::kStringTooLong,
                         TextFill(kMaxMessageLength, MsgText(kScreenTooLong),
                                  {Number(number),
                                   Number(static_cast<std::uint32_t>(loaded.model.text.size()))}),
                         false);
        return result;
    }
    if (fromFile) {
        // The work files become the file's, both or neither.
        const TextRef work = TextDup(DesignerSlot(designerslot::kWorkBase));
        if (work.empty()) {
            result.status = MakeWorkBase(base);
            if (result.status != status::kOk) return result;
        }
        result.status = ReplacePair(base, TextDup(DesignerSlot(designerslot::kWorkBase)), true);
        if (result.status != status::kOk) return result;
    }
    result.status = SetCurrentScreen(dialog, std::move(loaded.model));
    if (result.status != status::kOk) return result;
    state.screenNumber = number;
    state.screenCount = count;
    result.notes = std::move(loaded.notes);
    return result;
}

StatusCode StoreScreen(StoreMode mode) {
    ScratchScope scope;
    EnsureScreen();
    std::vector<std::string> records;
    const StoreOutcome outcome = RecordsFromScreen(g_model, &records);
    if (outcome.refusal != StoreRefusal::None) return Refuse(outcome);
    StatusCode st = RewriteBlock(WorkFile(extension::kScreen), LineKind::Screen,
                                 Designer().screenNumber, records);
    if (st != status::kOk) return st;
    MarkModified(markop::kClearFlag);
    if (mode == StoreMode::WorkFiles) return status::kOk;
    const TextRef target = TextDup(DesignerSlot(designerslot::kScreenBase));
    if (target.empty()) return LogErrorText(status::kData, "screen file"_t, false);
    st = ReplacePair(TextDup(DesignerSlot(designerslot::kWorkBase)), target, true);
    return st;
}

} // namespace vodarir
