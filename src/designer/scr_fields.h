// CScrFields, the "Screen Field Properties" dialog (template 133): the number, position and
// binding of one field of the screen being edited, with "<-" and "->" to the fields beside it,
// "Field Parms" for its attribute form and "Done".
//
// The dialog's value is ScreenFieldProperties (its seven members as text); reading them into a
// field's record, and refusing what a screen file cannot hold, is ApplyProperties, outside the
// window. The dialog works on the editor through ScrFieldsEditor, which the caller keeps alive
// while it runs.
#pragma once

#include <cstdint>
#include <string>

#include "designer/screen_model.h"
#include "platform/ui.h"

namespace vodarir {

// Controls of template 133.
namespace scrfieldsctl {
inline constexpr platform::ControlId kNumber = 1011;
inline constexpr platform::ControlId kRow = 1012;
inline constexpr platform::ControlId kColumn = 1013;
inline constexpr platform::ControlId kType = 1008;
inline constexpr platform::ControlId kLength = 1009;
inline constexpr platform::ControlId kFile = 1010;
inline constexpr platform::ControlId kField = 1003;
inline constexpr platform::ControlId kPrevious = 1014;
inline constexpr platform::ControlId kNext = 1015;
inline constexpr platform::ControlId kFieldParms = 1017;
} // namespace scrfieldsctl
inline constexpr char kScrFieldsTitle[] = "Screen Field Properties";
inline constexpr char kScrFieldsWindowName[] = "CScrFields";

// The largest data file number a field may name (the dictionary's thirty files).
inline constexpr std::uint16_t kMaxBoundFile = 30;

// The seven members, as the controls show them.
struct ScreenFieldProperties {
    std::string number;
    std::string row;
    std::string column;
    std::string type;
    std::string length;
    std::string file;
    std::string field;
    friend bool operator==(const ScreenFieldProperties&, const ScreenFieldProperties&) = default;
};
ScreenFieldProperties PropertiesOf(const FieldRecord& record, std::uint16_t number);

// What ApplyProperties refuses.
enum class PropertyRefusal : std::uint8_t {
    None,
    Type,   // no type letter
    File,   // a file number past kMaxBoundFile
    Field,  // a field number past what two columns hold
    Length, // a length changed to more than two columns hold
};
// The editable members into the record: file, field and length are the decimal values their texts
// start with (0 when they start with no digit), the type their first character. A refused value
// leaves the record as it was. A length the record already had is kept whatever its size (a
// screen file read from elsewhere may hold wider ones).
PropertyRefusal ApplyProperties(const ScreenFieldProperties& value, FieldRecord* record);

// What the dialog needs of the editor.
class ScrFieldsEditor {
public:
    virtual ~ScrFieldsEditor() = default;
    virtual std::uint16_t fieldCount() const = 0;
    virtual FieldRecord field(std::uint16_t n) const = 0;
    // Field n becomes the current one: _CUREDFLD and its bar selected in the screen's text.
    virtual void showField(std::uint16_t n) = 0;
    // The record applied to field n (marks the screen modified, even when nothing changed).
    virtual void apply(std::uint16_t n, const FieldRecord& record) = 0;
    // The field attribute form of field n.
    virtual void fieldParms(std::uint16_t n) = 0;
};

// Runs the dialog modally over `owner` on field `n`.
void RunScrFields(platform::WindowId owner, std::uint16_t n, ScrFieldsEditor& editor);

} // namespace vodarir
