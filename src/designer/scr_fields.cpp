// CScrFields: its value, the rules of applying it, and its window.
#include "designer/scr_fields.h"

#include <array>

#include "designer/dialog_geometry.h"
#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_fill.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using platform::ControlId;
using platform::ControlKind;
using platform::WindowId;
using namespace scrfieldsctl;

constexpr char kNoType[] = "1077 The field needs a type letter (such as A, N or D).";
constexpr char kOutOfRange[] =
    "1078 %s must be a number from 0 to %s: a screen file holds no other.";
constexpr char kWarningCaption[] = "0012";
constexpr std::uint16_t kMaxMessageLength = 1024;
constexpr std::uint32_t kNoNumber = 0;

platform::Ui& Ui() { return platform::CurrentUi(); }

// The decimal value the text starts with; 0 when it starts with no digit.
std::uint32_t LeadingNumber(std::string_view text) {
    std::uint32_t n = kNoNumber;
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        n = std::min<std::uint32_t>(n * 10 + static_cast<std::uint32_t>(c - '0'), 0xFFFFFu);
    }
    return n;
}

// ---- The window: template 133, in dialog units ------------------------------------------------

constexpr int kTemplateWidth = 196;
constexpr int kTemplateHeight = 104;

struct Label {
    const char* text;
    platform::Rect units;
};
constexpr std::array<Label, 6> kLabels = {{
    {"Field #:", {7, 9, 44, 9}},
    {"At position:", {7, 27, 44, 9}},
    {"Type", {7, 45, 44, 9}},
    {"Length", {94, 45, 34, 9}},
    {"File", {7, 63, 44, 9}},
    {"Field", {94, 63, 34, 9}},
}};

struct Member {
    ControlId id;
    std::string ScreenFieldProperties::*value;
    platform::Rect units;
    platform::ControlStyle style;
};
constexpr platform::ControlStyle kEditable = platform::kTabStop | platform::kBorder;
constexpr platform::ControlStyle kNumberEdit =
    kEditable | platform::kDigitsOnly | platform::kAlignRight;
constexpr platform::ControlStyle kShownOnly = platform::kBorder | platform::kDisabled;
constexpr std::array<Member, 7> kMembers = {{
    {kNumber, &ScreenFieldProperties::number, {54, 7, 30, 12}, kShownOnly | platform::kAlignRight},
    {kRow, &ScreenFieldProperties::row, {54, 25, 30, 12}, kShownOnly | platform::kAlignRight},
    {kColumn, &ScreenFieldProperties::column, {88, 25, 30, 12}, kShownOnly | platform::kAlignRight},
    {kType, &ScreenFieldProperties::type, {54, 43, 30, 12}, kEditable | platform::kAlignCentre},
    {kLength, &ScreenFieldProperties::length, {130, 43, 40, 12}, kNumberEdit},
    {kFile, &ScreenFieldProperties::file, {54, 61, 30, 12}, kNumberEdit},
    {kField, &ScreenFieldProperties::field, {130, 61, 40, 12}, kNumberEdit},
}};

struct Button {
    ControlId id;
    const char* text;
    platform::Rect units;
    ControlKind kind;
};
constexpr std::array<Button, 4> kButtons = {{
    {kPrevious, "<-", {7, 83, 26, 14}, ControlKind::Button},
    {kNext, "->", {37, 83, 26, 14}, ControlKind::Button},
    {kFieldParms, "Field Parms", {67, 83, 60, 14}, ControlKind::Button},
    {platform::kIdOk, "Done", {139, 83, 50, 14}, ControlKind::DefaultButton},
}};

class ScrFieldsWindow final : public platform::WindowEvents {
public:
    explicit ScrFieldsWindow(ScrFieldsEditor& editor) : editor_(editor) {}

    bool open(WindowId owner);
    void run() { Ui().runModal(window_); }
    void close() {
        if (Ui().windowExists(window_)) Ui().destroyWindow(window_);
    }
    // Shows field n: it becomes current, its bar is selected, the members are filled.
    void show(std::uint16_t n) {
        current_ = n;
        editor_.showField(n);
        const ScreenFieldProperties value = PropertiesOf(editor_.field(n), n);
        for (const Member& m : kMembers) Ui().setText(window_, m.id, value.*(m.value));
    }

    void onCommand(ControlId id, int notification) override {
        if (notification != platform::notify::BnClicked) return;
        if (id == platform::kIdCancel) {
            Ui().endModal(window_, platform::kIdCancel); // Esc: nothing applied
        } else if (id == platform::kIdOk) {
            if (apply()) Ui().endModal(window_, platform::kIdOk);
        } else if (id == kPrevious || id == kNext) {
            if (!apply()) return;
            const int next = current_ + (id == kNext ? 1 : -1);
            // Past either end the dialog stays on the field it applied.
            if (next >= 1 && next <= editor_.fieldCount()) show(static_cast<std::uint16_t>(next));
        } else if (id == kFieldParms) {
            editor_.fieldParms(current_);
        }
    }

private:
    bool add(ControlKind kind, ControlId id, platform::Rect units, std::string_view text,
             platform::ControlStyle style) {
        return AddDialogControl(window_, kind, id, units, text, style);
    }

    // The controls into the current field; false (said, and the focus on the control to mend)
    // when the screen file could not hold a value.
    bool apply() {
        ScreenFieldProperties value;
        for (const Member& m : kMembers) {
            value.*(m.value) = Ui().text(window_, m.id).value_or(std::string());
        }
        FieldRecord record = editor_.field(current_);
        const PropertyRefusal refusal = ApplyProperties(value, &record);
        if (refusal != PropertyRefusal::None) {
            refuse(refusal);
            return false;
        }
        editor_.apply(current_, record);
        return true;
    }

    void refuse(PropertyRefusal refusal) {
        ControlId control = kType;
        {
            ScratchScope scope;
            TextRef text;
            const auto range = [&](const char* what, unsigned most) {
                return TextFill(kMaxMessageLength, MsgText(kOutOfRange),
                                {TextView(what), TextFormat(8, "%u", most)});
            };
            switch (refusal) {
            case PropertyRefusal::File:
                text = range("File", kMaxBoundFile);
                control = kFile;
                break;
            case PropertyRefusal::Field:
                text = range("Field", kMaxRecordNumber);
                control = kField;
                break;
            case PropertyRefusal::Length:
                text = range("Length", kMaxRecordNumber);
                control = kLength;
                break;
            case PropertyRefusal::Type:
            case PropertyRefusal::None:
                text = MsgText(kNoType);
                break;
            }
            MsgBox(text, MsgText(kWarningCaption), BoxKind::Warning);
        }
        Ui().setFocus(window_, control);
    }

    ScrFieldsEditor& editor_;
    WindowId window_ = platform::kNoWindow;
    std::uint16_t current_ = 0;
};

bool ScrFieldsWindow::open(WindowId owner) {
    constexpr platform::WindowStyle kStyle =
        platform::kWinCaption | platform::kWinSystemMenu | platform::kWinDialogKeys;
    platform::WindowSpec spec;
    spec.owner = owner;
    spec.name = kScrFieldsWindowName;
    spec.title = kScrFieldsTitle;
    spec.style = kStyle;
    spec.frame = CentredFrame(DialogUnits(kTemplateWidth, kTemplateHeight), kStyle, false, owner);
    window_ = Ui().createWindow(spec, this);
    if (window_ == platform::kNoWindow) return false;
    bool ok = true;
    for (const Label& l : kLabels) {
        ok = ok && add(ControlKind::StaticText, platform::kAnonymousControl, l.units, l.text, 0);
    }
    for (const Member& m : kMembers) ok = ok && add(ControlKind::Edit, m.id, m.units, "", m.style);
    for (const Button& b : kButtons) {
        ok = ok && add(b.kind, b.id, b.units, b.text, platform::kTabStop);
    }
    if (ok) Ui().setFocus(window_, kType);
    return ok;
}

} // namespace

ScreenFieldProperties PropertiesOf(const FieldRecord& record, std::uint16_t number) {
    ScreenFieldProperties value;
    value.number = std::to_string(number);
    value.row = std::to_string(record.row);
    value.column = std::to_string(record.column);
    value.type = record.type == '\0' ? std::string() : std::string(1, record.type);
    value.length = std::to_string(record.displayLength);
    value.file = std::to_string(record.file);
    value.field = std::to_string(record.field);
    return value;
}

PropertyRefusal ApplyProperties(const ScreenFieldProperties& value, FieldRecord* record) {
    const auto type = static_cast<unsigned char>(value.type.empty() ? '\0' : value.type.front());
    if (type <= ' ' || type == 0x7F) return PropertyRefusal::Type;
    const std::uint32_t file = LeadingNumber(value.file);
    const std::uint32_t field = LeadingNumber(value.field);
    const std::uint32_t length = LeadingNumber(value.length);
    if (file > kMaxBoundFile) return PropertyRefusal::File;
    if (field > kMaxRecordNumber) return PropertyRefusal::Field;
    if (length > kMaxRecordNumber && length != record->displayLength) {
        return PropertyRefusal::Length;
    }
    record->type = static_cast<char>(type);
    record->file = static_cast<std::uint16_t>(file);
    record->field = static_cast<std::uint16_t>(field);
    record->displayLength = static_cast<std::uint16_t>(length);
    return PropertyRefusal::None;
}

void RunScrFields(WindowId owner, std::uint16_t n, ScrFieldsEditor& editor) {
    if (n == 0 || n > editor.fieldCount()) return;
    ScrFieldsWindow window(editor);
    if (window.open(owner)) {
        window.show(n);
        window.run();
    }
    window.close();
}

} // namespace vodarir
