// Reading single values of the system settings store by a one-text path (read only).
//
// A path is root\key\...\key\value-name. The root is one of the names in kRegistryRoots, compared
// exactly; key and value names are compared without regard to letter case, as system settings
// are. An empty value name (a path ending in "\") reads the key's default value.
//
// On this platform the store is a text file of `path=value` lines (see RegistryStorePath and the
// README); lines that are empty or begin with '#' or ';' are skipped, the first line whose path
// matches answers, and its value is the rest of the line after the first "=".
//
// Ownership: the value is copied to a new ScratchStack level (caller's level discipline).
#pragma once

#include <cstdint>

#include "runtime/text/text_ref.h"

namespace vodarir {

// The root names a path may start with.
inline constexpr char kRegistryRoots[] =
    "HKEY_CLASSES_ROOT,HKEY_CURRENT_CONFIG,HKEY_CURRENT_USER,HKEY_LOCAL_MACHINE,HKEY_USERS";
// The most bytes a value may hold; a longer one is not read at all.
inline constexpr std::uint16_t kRegistryValueMax = 1024;

// The value's data, or the empty text when anything fails: an unknown root, a path without a key,
// a missing store, key or value, or a value longer than kRegistryValueMax. Nothing is shown and
// nothing is recorded in the error trail.
TextRef RegistryReadValue(TextRef path);

// Where the store is read from: $VODARIR_REGISTRY when set, else
// $XDG_CONFIG_HOME/vodarir/registry.txt (an absolute XDG_CONFIG_HOME only), else
// $HOME/.config/vodarir/registry.txt. The empty text when none of these can be formed.
TextRef RegistryStorePath();

} // namespace vodarir
