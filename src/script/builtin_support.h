// Argument helpers shared by the built-in handlers (script internals): arguments of either kind
// as text, whole numbers within a range, character codes, results that may have failed.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"
#include "script/builtins.h"

namespace vodarir::builtin {

// The largest character code.
inline constexpr std::int64_t kMaxCharacterCode = 255;

// Argument i as text whatever its kind: a number in its shortest decimal form. The text is on the
// ScratchStack; the default when absent or omitted. isText (when given) receives the kind.
StatusCode ArgTextAny(const BuiltinCall& call, std::uint16_t i, TextRef fallback, TextRef* out,
                      bool* isText = nullptr);
// Argument i as a whole number (value / 10^D rounded); kIncompatibleTypes for a text, kDataOutBound
// outside min..max.
StatusCode ArgWhole(const BuiltinCall& call, std::uint16_t i, std::int64_t fallback,
                    std::int64_t min, std::int64_t max, std::int64_t* out);
// Argument i as a character code 0..255 (kDataOutBound outside).
StatusCode ArgCharacter(const BuiltinCall& call, std::uint16_t i, char fallback, char* out);
// The text as the call's result, or its status when it failed.
StatusCode PushResult(TextRef text);
// The raw text of the arguments from the cursor's next one to the end of the group.
TextRef RestOfGroup(const TokenCursor& args);
// The raw text of the next argument, moving the cursor past it.
TextRef NextRawArgument(TokenCursor* args);

} // namespace vodarir::builtin
