// The table from virtual keys to runtime key numbers.
#include "runtime/ui/key_codes.h"

#include <array>

namespace vodarir {

namespace {

namespace vk = platform::vk;

struct KeyNumber {
    platform::VirtualKey key;
    std::uint16_t number;
};
constexpr platform::VirtualKey kVirtualKey239 = 239;
constexpr std::array<KeyNumber, 10> kKeyNumbers = {{
    {vk::Return, runkey::kEnter},
    {vk::Escape, runkey::kEsc},
    {vk::Tab, runkey::kTab},
    {vk::Up, runkey::kUp},
    {vk::Prior, runkey::kPageUp},
    {vk::Left, runkey::kOther},
    {vk::Right, runkey::kOther},
    {vk::Down, runkey::kDown},
    {vk::Next, runkey::kPageDown},
    {kVirtualKey239, runkey::kKey239},
}};
constexpr platform::VirtualKey kLastNumberedFunctionKey = vk::F11;

} // namespace

std::uint16_t KeyCode(platform::VirtualKey key) {
    if (key >= vk::F1 && key <= kLastNumberedFunctionKey) {
        return static_cast<std::uint16_t>(runkey::kF1 + (key - vk::F1));
    }
    for (const KeyNumber& k : kKeyNumbers) {
        if (k.key == key) return k.number;
    }
    return runkey::kOther;
}

} // namespace vodarir
