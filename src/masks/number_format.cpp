// The active number format, its parts, and the month list of environment slot 0.0.
#include "masks/number_format.h"

#include <cstring>
#include <string_view>

#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

constexpr char kPlainDecimal = '.';
constexpr char kPlainThousands = ',';
constexpr std::uint16_t kSeparatorCount = 2;
constexpr char kItemSeparator = ',';
constexpr std::uint16_t kEntryCharsItem = 1;
constexpr std::uint16_t kLogicalLettersItem = 2;
constexpr std::uint16_t kLogicalWordsItem = 3;

// The active format: the one piece of process-wide state of this file.
struct ActiveFormat {
    char bytes[kMaxNumberFormatLength] = {};
    std::uint16_t length = 0;

    TextRef text() const { return TextRef(bytes, length); }
    void Set(TextRef t) {
        std::memcpy(bytes, t.data, t.size());
        length = t.size();
    }
};

ActiveFormat& Active() {
    static ActiveFormat format = [] {
        ActiveFormat f;
        f.Set(kBuiltinNumberFormat);
        return f;
    }();
    return format;
}

// The three quoted items after the separators.
TextRef FormatItem(std::uint16_t n) {
    const TextRef items = TextSub(Active().text(), kSeparatorCount, -1);
    return TextUnquote(ListItem(items, kItemSeparator, n));
}

// The part of slot 0.0 before its first zero byte, or after it.
TextRef SlotPart(bool monthList) {
    const TextRef slot = SlotGet(slotgroup::kEnvironment, kLanguageFormatSlot);
    const std::string_view v = slot.view();
    const std::size_t zero = v.find('\0');
    if (!monthList) return zero == std::string_view::npos ? slot : TextSub(slot, 0, int(zero));
    if (zero == std::string_view::npos) return TextRef(slot.data, 0);
    return TextSub(slot, int(zero + 1), -1);
}

} // namespace

TextRef NumberFormat() { return Active().text(); }

StatusCode UseLanguageFormat() {
    const TextRef format = SlotPart(false);
    if (format.size() < kSeparatorCount || format.size() > kMaxNumberFormatLength) {
        return status::kBadData;
    }
    Active().Set(format);
    return status::kOk;
}

void UseBuiltinFormat() { Active().Set(kBuiltinNumberFormat); }

StatusCode LoadLanguageFormat() {
    ScratchScope scope;
    const TextRef format = MsgText(kFormatMessage);
    const TextRef months = MsgText(kMonthListMessage);
    const TextRef zero = TextRef("\0", 1);
    const TextRef slot = TextConcat(TextConcat(format, zero), months);
    StatusCode st =
        slot.failed() ? slot.status() : SlotSet(slotgroup::kEnvironment, kLanguageFormatSlot, slot);
    if (st == status::kOk) st = UseLanguageFormat();
    return st;
}

char DecimalSeparator(bool plain) { return plain ? kPlainDecimal : Active().bytes[0]; }

char ThousandsSeparator(bool plain) { return plain ? kPlainThousands : Active().bytes[1]; }

TextRef NumberEntryChars() { return FormatItem(kEntryCharsItem); }

TextRef LogicalEntryChars() { return FormatItem(kLogicalLettersItem); }

TextRef LogicalWord(int n) {
    if (n < logical::kUnknown || n > logical::kYes) return TextRef();
    return ListItem(FormatItem(kLogicalWordsItem), kItemSeparator, static_cast<std::uint16_t>(n));
}

TextRef MonthName(int month) {
    if (month < 1 || month > kMonthsInYear) return TextDup(TextRef());
    return TextDup(ListItem(SlotPart(true), kItemSeparator, static_cast<std::uint16_t>(month)));
}

TextRef LongDateTemplate() {
    return TextDup(TextUnquote(ListItem(SlotPart(true), kItemSeparator, kLongDateTemplateItem)));
}

bool DayFirstLanguage() {
    ScratchScope scope;
    const TextRef code =
        TextCase(TextTrim(SlotGet(slotgroup::kEnvironment, kLanguageCodeSlot), TrimSides::Both),
                 LetterCase::Upper);
    return !code.empty() && ListFind(kDayFirstLanguages, code, ',') != 0;
}

} // namespace vodarir
