// The file-structure editor's two dialogs: CFileFields ("File Field Properties", template 130: a
// field's name, length and type) and CFileNew ("Add New File", template 132: a file's name).
// Each takes a plain value in and hands one out; what OK accepts is decided here, outside the
// window, so that nothing is written that the structure file would read back differently.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "designer/structure_file.h"
#include "platform/ui.h"

namespace vodarir {

namespace filefieldsctl {
inline constexpr platform::ControlId kName = 1002;
inline constexpr platform::ControlId kLength = 1006;
inline constexpr platform::ControlId kType = 1007;
} // namespace filefieldsctl
namespace filenewctl {
inline constexpr platform::ControlId kName = 1005;
} // namespace filenewctl
inline constexpr char kFileFieldsTitle[] = "File Field Properties";
inline constexpr char kFileNewTitle[] = "Add New File";

// CFileFields' three texts, as typed.
struct FieldProperties {
    std::string name;
    std::string length;
    std::string type;
    friend bool operator==(const FieldProperties&, const FieldProperties&) = default;
};

// Why OK was refused: the control that gets the focus (its whole text selected) and what the
// user is told (Silent: nothing, the focus says it).
enum class RefusalReason : std::uint8_t {
    Silent,
    NameUnwritable, // "*" or a line break: the line would read back as another one
    NameTooLong,    // the line would pass what the loader reads
};
struct DialogRefusal {
    platform::ControlId control = 0;
    RefusalReason reason = RefusalReason::Silent;
    friend bool operator==(const DialogRefusal&, const DialogRefusal&) = default;
};

// CFileFields' checks on OK, in order: a name (trailing blanks do not count, the file would drop
// them) the structure file can hold; a length from 1 to 999; a type whose first letter is one of
// kFieldTypes. nullopt when OK may close the dialog.
std::optional<DialogRefusal> CheckFieldProperties(const FieldProperties& value);
// CFileNew's check: any name, the empty one too, but one the file line can hold.
std::optional<DialogRefusal> CheckFileName(std::string_view name);
// The field a checked value gives: its name without trailing blanks, its length, its type letter.
StructureField FieldOfProperties(const FieldProperties& value);
FieldProperties PropertiesOfField(std::string_view name, unsigned length, char type);

// The dialogs over `owner`; the value as the user left it when OK was accepted, nullopt when
// cancelled or closed.
std::optional<FieldProperties> RunFileFields(platform::WindowId owner,
                                             const FieldProperties& value);
std::optional<std::string> RunFileNew(platform::WindowId owner, std::string_view name);

} // namespace vodarir
