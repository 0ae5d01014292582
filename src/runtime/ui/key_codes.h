// Runtime key numbers: the number every runtime window gives a key, which its key-event tables
// and _LASTKEY are written in.
#pragma once

#include <cstdint>

#include "platform/ui_codes.h"

namespace vodarir {

namespace runkey {
inline constexpr std::uint16_t kEnter = 0;
inline constexpr std::uint16_t kEsc = 3;
inline constexpr std::uint16_t kOther = 4; // every key without a number of its own
inline constexpr std::uint16_t kKey239 = 6;
inline constexpr std::uint16_t kTab = 9;
inline constexpr std::uint16_t kF1 = 11; // F1..F11 are 11..21
inline constexpr std::uint16_t kF11 = 21;
inline constexpr std::uint16_t kUp = 22;
inline constexpr std::uint16_t kPageUp = 23;
inline constexpr std::uint16_t kDown = 28;
inline constexpr std::uint16_t kPageDown = 29;
} // namespace runkey

// The runtime key number of a virtual key (runkey::kOther for keys without one).
std::uint16_t KeyCode(platform::VirtualKey key);

} // namespace vodarir
