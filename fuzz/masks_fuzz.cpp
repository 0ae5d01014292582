// Fuzz target: arbitrary bytes through the numeric and text mask editors, typed numbers, date
// reading and the display and entry of values, checking the properties that tie them together and
// the scratch level discipline.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "masks/dates.h"
#include "masks/formatting.h"
#include "masks/number_format.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/number_text.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {
namespace {

using fuzz::Require;

using namespace literals;

constexpr std::string_view kLanguages[] = {"ES", ",.'0123456789,-D',' NS','  ,NO,SI'",
                                           "EN", ".,'0123456789.-D',' NY','  ,NO,YES'",
                                           "FR", ", '0123456789,-D',' NO','  ,NON,OUI'"};
constexpr std::string_view kMonths =
    "Enero,Febrero,Marzo,Abril,Mayo,Junio,Julio,Agosto,Septiembre,Octubre,Noviembre,Diciembre,"
    "'[D] de [M] de [Y]'";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsPlace(char c) { return c == '#' || c == '0'; }

using fuzz::Input;

void SetLanguage(std::uint8_t choice, TextRef fuzzedFormat) {
    std::string slot;
    std::string_view code;
    if (choice % 4 == 3) {
        code = "XX";
        slot.assign(fuzzedFormat.view());
    } else {
        code = kLanguages[2 * (choice % 4)];
        slot.assign(kLanguages[2 * (choice % 4) + 1]);
    }
    slot.push_back('\0');
    slot += kMonths;
    Require(SlotSet(slotgroup::kEnvironment, kLanguageFormatSlot, TextView(slot)) == status::kOk);
    Require(SlotSet(slotgroup::kEnvironment, kLanguageCodeSlot, TextView(code)) == status::kOk);
    if (UseLanguageFormat() != status::kOk) UseBuiltinFormat();
}

// Failures are of the expected kinds and leave the stack as it was; results sit one level up.
void RequireResult(TextRef r, ScratchLevel mark) {
    fuzz::RequireInvariants();
    if (r.failed()) {
        Require(r.status() == status::kDataOutBound || r.status() == status::kStringTooLong ||
                r.status() == status::kOutOfMemory);
        Require(ScratchDepth() == mark);
    } else {
        Require(ScratchDepth() == mark + 1);
    }
}

// The digits of an edited plain number, separators and blanks taken out.
std::string Reread(TextRef edited) {
    std::string out;
    for (char c : edited.view()) {
        if (c != ' ' && c != ',') out.push_back(c);
    }
    return out;
}

// A plain mask and a plain number: the edited text reads back as the number rounded to the
// decimals the edit shows.
void CheckNumericValue(TextRef mask, TextRef value, TextRef edited) {
    // Only masks that are all number part: digits places at both ends, one point at most.
    if (mask.empty() || mask.view().find_first_not_of("#0,.") != std::string_view::npos) return;
    if (!IsPlace(mask.data[0]) || !IsPlace(mask.data[mask.size() - 1])) return;
    if (mask.view().find('.') != mask.view().rfind('.')) return;
    // Within the 64-bit range at four decimals.
    if (value.size() > 14 || value.empty()) return;
    for (std::uint16_t i = 0; i < value.size(); ++i) {
        const char c = value.data[i];
        if (!IsDigit(c) && !(c == '-' && i == 0) && c != '.') return;
    }
    const std::string back = Reread(edited);
    const std::size_t point = back.find('.');
    const int decimals = point == std::string::npos ? 0 : int(back.size() - point - 1);
    if (decimals > kMaxDecimals) return;
    FixedNumber expected = 0;
    FixedNumber got = 0;
    Require(FixedFromText(value, decimals, &expected) == status::kOk);
    Require(FixedFromText(TextView(back), decimals, &got) == status::kOk);
    Require(expected == got);
}

void CheckNumericMask(TextRef mask, TextRef value, bool plain) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    const TextRef r = NumericMask(mask, value, plain);
    RequireResult(r, mark);
    if (!r.failed()) {
        Require(r.size() == mask.size());
        if (plain) CheckNumericValue(mask, value, r);
    }
}

void CheckTextMask(TextRef mask, TextRef value, MaskMode mode) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    const TextRef r = TextMask(mask, value, mode);
    RequireResult(r, mark);
    Require(r.size() == mask.size());
    for (std::uint16_t i = 0; i < mask.size(); ++i) {
        const char m = mask.data[i];
        const char c = r.data[i];
        // Only places (and blanks widened into places) change; they take value bytes or blanks.
        if (m != '\\' && m != '?' && m != ' ') Require(c == m);
        if (c != m) Require(c == ' ' || value.view().find(c) != std::string_view::npos);
    }
}

void CheckReadDate(TextRef text) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    const TextRef r = ReadDate(text);
    RequireResult(r, mark);
    if (!r.empty()) {
        CalendarDate d;
        Require(r.size() == kStoredDateLength && DateSplit(r, &d));
        const TextRef again = ReadDate(r);
        Require(again.view() == r.view());
        const TextRef shown = FormatDate(r, DateStyle::Numeric);
        Require(shown.size() == kNumericDateWidth);
    }
}

void CheckNormalize(TextRef text) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    const TextRef r = NormalizeNumber(text);
    RequireResult(r, mark);
    if (!r.failed()) {
        Require(r.size() <= kMaxNumberEntry);
        for (std::uint16_t i = 1; i < r.size(); ++i) Require(r.data[i] != '-');
        Require(r.empty() || r.data[0] != '0' || (r.size() > 1 && r.data[1] == '.'));
    }
}

void CheckByType(char type, TextRef value, int width) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    const TextRef shown = DisplayValue(type, value, width);
    RequireResult(shown, mark);
    scope.Release();
    const TextRef entered = EntryValue(type, value, width);
    RequireResult(entered, mark);
    if (!entered.failed() && width >= 0) Require(entered.size() == width);
    scope.Release();
    const TextRef fitted = FitToWidth(type, value, width);
    RequireResult(fitted, mark);
    if (!fitted.failed() && width >= 0) Require(fitted.size() == width);
}

bool g_started = false;

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    if (!g_started) {
        PoolConfigure(256, kKeepValue, kKeepValue);
        SlotStoreConfigure(kDefaultSlotGroups, kDefaultSlotCapacity, kDefaultSlotStoreBytes);
        Require(RuntimeInit() == status::kOk);
        g_started = true;
    }
    Input in(data, size);
    const std::uint8_t language = in.Byte();
    const std::uint8_t flags = in.Byte();
    const char type = static_cast<char>(in.Byte());
    const int width = int(in.Byte()) - 1;
    const TextRef format = in.Text();
    const TextRef mask = in.Text();
    const TextRef rest = in.Rest();

    SetLanguage(language, format);
    const ScratchLevel start = ScratchDepth();
    CheckNumericMask(mask, rest, (flags & 1) != 0);
    CheckTextMask(mask, rest, (flags & 2) != 0 ? MaskMode::Positional : MaskMode::Sequential);
    CheckReadDate(rest);
    CheckNormalize(rest);
    CheckByType(type, rest, width);
    Require(ScratchDepth() == start);
    return 0;
}
