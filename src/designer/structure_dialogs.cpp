// CFileFields and CFileNew: their checks and their windows.
#include "designer/structure_dialogs.h"

#include <array>
#include <cstring>
#include <span>

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

constexpr char kNameUnwritable[] =
    "1054 A name cannot hold \"*\" or a line break: the structure file would read it back as "
    "another line. Remove it and press OK.";
constexpr char kNameTooLong[] =
    "1055 This name is too long for a line of the structure file: at most %s characters.";
constexpr char kWarningCaption[] = "0012";
constexpr std::uint16_t kMaxMessageLength = 1024;
constexpr std::string_view kTrailingBlanks = " \t";

platform::Ui& Ui() { return platform::CurrentUi(); }

std::string_view WithoutTrailingBlanks(std::string_view s) {
    const std::size_t last = s.find_last_not_of(kTrailingBlanks);
    return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

// Whether the name can stand on a line: no "*" (the line would be read as a file line) and no
// byte that ends a line or the file.
bool Writable(std::string_view name) {
    return name.find_first_of(std::string_view("*\r\n\x1a", 4)) == std::string_view::npos;
}

// The decimal value of a text of digits only; nullopt for anything else or past kMaxFieldLength.
std::optional<unsigned> LengthValue(std::string_view text) {
    if (text.empty()) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > kMaxFieldLength) return std::nullopt;
    }
    return value;
}

// ---- The windows ----------------------------------------------------------------------------

// One labelled edit of a dialog, in dialog units.
struct EditRow {
    ControlId id;
    const char* label;
    std::string FieldProperties::*field; // null: CFileNew's one text
    platform::ControlStyle style;
};

constexpr int kMargin = 7;
constexpr int kLabelWidth = 52;
constexpr int kEditWidth = 120;
constexpr int kRowHeight = 14;
constexpr int kRowGap = 4;
constexpr int kLabelDrop = 2;
constexpr int kButtonWidth = 50;
constexpr int kButtonGap = 6;
constexpr int kDialogWidth = kMargin + kLabelWidth + kEditWidth + kMargin;

constexpr platform::ControlStyle kEditStyle = platform::kTabStop | platform::kBorder;
constexpr std::array<EditRow, 3> kFieldRows = {{
    {filefieldsctl::kName, "Field Name", &FieldProperties::name, kEditStyle},
    {filefieldsctl::kLength, "Length", &FieldProperties::length,
     kEditStyle | platform::kDigitsOnly | platform::kAlignRight},
    {filefieldsctl::kType, "Type", &FieldProperties::type, kEditStyle | platform::kAlignCentre},
}};
constexpr std::array<EditRow, 1> kFileRows = {{
    {filenewctl::kName, "File Name:", nullptr, kEditStyle},
}};

// A small modal form: labelled edits over OK and Cancel. OK asks `check` first; a refusal keeps
// the window open with the focus and the whole text in the refused control.
class PropertiesWindow final : public platform::WindowEvents {
public:
    using Check = std::optional<DialogRefusal> (*)(const FieldProperties&);

    PropertiesWindow(std::span<const EditRow> rows, FieldProperties value, Check check)
        : rows_(rows), value_(std::move(value)), check_(check) {}

    bool open(WindowId owner, const char* title);
    int run() { return Ui().runModal(window_); }
    void close() {
        if (Ui().windowExists(window_)) Ui().destroyWindow(window_);
    }
    const FieldProperties& value() const { return value_; }

    void onCommand(ControlId id, int notification) override {
        if (notification != platform::notify::BnClicked) return;
        if (id == platform::kIdCancel) {
            Ui().endModal(window_, platform::kIdCancel);
            return;
        }
        if (id != platform::kIdOk) return;
        for (const EditRow& row : rows_) {
            text(row) = Ui().text(window_, row.id).value_or(std::string());
        }
        if (const std::optional<DialogRefusal> refusal = check_(value_)) {
            refuse(*refusal);
            return;
        }
        Ui().endModal(window_, platform::kIdOk);
    }

private:
    std::string& text(const EditRow& row) {
        return row.field != nullptr ? value_.*(row.field) : value_.name;
    }

    void refuse(const DialogRefusal& refusal) {
        if (refusal.reason != RefusalReason::Silent) {
            ScratchScope scope;
            const std::size_t most =
                refusal.control == filenewctl::kName ? kMaxFileNameLength : kMaxFieldNameLength;
            const TextRef text = refusal.reason == RefusalReason::NameUnwritable
                                     ? MsgText(kNameUnwritable)
                                     : TextFill(kMaxMessageLength, MsgText(kNameTooLong),
                                                {TextFormat(24, "%zu", most)});
            MsgBox(text, MsgText(kWarningCaption), BoxKind::Warning);
        }
        Ui().setFocus(window_, refusal.control);
        Ui().selectAll(window_, refusal.control);
    }

    bool add(ControlKind kind, ControlId id, platform::Rect units, std::string_view text,
             platform::ControlStyle style) {
        return AddDialogControl(window_, kind, id, units, text, style);
    }

    std::span<const EditRow> rows_;
    FieldProperties value_;
    Check check_;
    WindowId window_ = platform::kNoWindow;
};

bool PropertiesWindow::open(WindowId owner, const char* title) {
    constexpr platform::WindowStyle kStyle =
        platform::kWinCaption | platform::kWinSystemMenu | platform::kWinDialogKeys;
    const int rows = static_cast<int>(rows_.size());
    const int buttonTop = kMargin + rows * (kRowHeight + kRowGap) + kRowGap;
    const int height = buttonTop + kRowHeight + kMargin;
    platform::WindowSpec spec;
    spec.owner = owner;
    spec.name = title;
    spec.title = title;
    spec.style = kStyle;
    spec.frame = CentredFrame(DialogUnits(kDialogWidth, height), kStyle, false, owner);
    window_ = Ui().createWindow(spec, this);
    if (window_ == platform::kNoWindow) return false;
    bool ok = true;
    for (int i = 0; i < rows; ++i) {
        const EditRow& row = rows_[static_cast<std::size_t>(i)];
        const int y = kMargin + i * (kRowHeight + kRowGap);
        ok = ok && add(ControlKind::StaticText, platform::kAnonymousControl,
                       {kMargin, y + kLabelDrop, kLabelWidth - kRowGap, kRowHeight - kLabelDrop},
                       row.label, 0);
        ok = ok && add(ControlKind::Edit, row.id,
                       {kMargin + kLabelWidth, y, kEditWidth, kRowHeight}, text(row), row.style);
    }
    const int cancelX = kDialogWidth - kMargin - kButtonWidth;
    const int okX = cancelX - kButtonGap - kButtonWidth;
    ok = ok && add(ControlKind::DefaultButton, platform::kIdOk,
                   {okX, buttonTop, kButtonWidth, kRowHeight}, "OK", platform::kTabStop);
    ok = ok && add(ControlKind::Button, platform::kIdCancel,
                   {cancelX, buttonTop, kButtonWidth, kRowHeight}, "Cancel", platform::kTabStop);
    if (ok) {
        Ui().setFocus(window_, rows_.front().id);
        Ui().selectAll(window_, rows_.front().id);
    }
    return ok;
}

std::optional<DialogRefusal> CheckFileValue(const FieldProperties& value) {
    return CheckFileName(value.name);
}

std::optional<FieldProperties> RunWindow(WindowId owner, const char* title,
                                         std::span<const EditRow> rows, FieldProperties value,
                                         PropertiesWindow::Check check) {
    PropertiesWindow window(rows, std::move(value), check);
    const bool opened = window.open(owner, title);
    const int result = opened ? window.run() : platform::kModalAbandoned;
    window.close();
    if (result != platform::kIdOk) return std::nullopt;
    return window.value();
}

} // namespace

std::optional<DialogRefusal> CheckFieldProperties(const FieldProperties& value) {
    const std::string_view name = WithoutTrailingBlanks(value.name);
    if (name.empty()) return DialogRefusal{filefieldsctl::kName, RefusalReason::Silent};
    if (!Writable(name)) return DialogRefusal{filefieldsctl::kName, RefusalReason::NameUnwritable};
    if (name.size() > kMaxFieldNameLength) {
        return DialogRefusal{filefieldsctl::kName, RefusalReason::NameTooLong};
    }
    const std::optional<unsigned> length = LengthValue(value.length);
    if (!length || *length == 0)
        return DialogRefusal{filefieldsctl::kLength, RefusalReason::Silent};
    if (value.type.empty() || value.type[0] == '\0' ||
        std::strchr(kFieldTypes, value.type[0]) == nullptr) {
        return DialogRefusal{filefieldsctl::kType, RefusalReason::Silent};
    }
    return std::nullopt;
}

std::optional<DialogRefusal> CheckFileName(std::string_view name) {
    const std::string_view kept = WithoutTrailingBlanks(name);
    if (!Writable(kept)) return DialogRefusal{filenewctl::kName, RefusalReason::NameUnwritable};
    if (kept.size() > kMaxFileNameLength) {
        return DialogRefusal{filenewctl::kName, RefusalReason::NameTooLong};
    }
    return std::nullopt;
}

StructureField FieldOfProperties(const FieldProperties& value) {
    StructureField field;
    field.name = std::string(WithoutTrailingBlanks(value.name));
    field.length = LengthValue(value.length).value_or(0);
    field.type = value.type.empty() ? '\0' : value.type[0];
    return field;
}

FieldProperties PropertiesOfField(std::string_view name, unsigned length, char type) {
    FieldProperties value;
    value.name = std::string(name);
    value.length = std::to_string(length);
    if (type != '\0') value.type = std::string(1, type);
    return value;
}

std::optional<FieldProperties> RunFileFields(WindowId owner, const FieldProperties& value) {
    return RunWindow(owner, kFileFieldsTitle, kFieldRows, value, CheckFieldProperties);
}

std::optional<std::string> RunFileNew(WindowId owner, std::string_view name) {
    FieldProperties value;
    value.name = std::string(name);
    const std::optional<FieldProperties> done =
        RunWindow(owner, kFileNewTitle, kFileRows, std::move(value), CheckFileValue);
    if (!done) return std::nullopt;
    return std::string(WithoutTrailingBlanks(done->name));
}

} // namespace vodarir
