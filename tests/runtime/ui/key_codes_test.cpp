// The runtime key numbers of virtual keys.
#include <gtest/gtest.h>

#include "runtime/ui/key_codes.h"

namespace vodarir {
namespace {

namespace vk = platform::vk;

TEST(KeyCodeTest, TheRuntimeKeyNumbers) {
    struct Row {
        platform::VirtualKey key;
        std::uint16_t number;
    };
    const Row rows[] = {
        {vk::Return, 0}, {vk::Escape, 3}, {vk::Tab, 9},   {vk::F1, 11},   {vk::F2, 12},
        {vk::F4, 14},    {vk::F10, 20},   {vk::F11, 21},  {vk::F12, 4},   {vk::Up, 22},
        {vk::Prior, 23}, {vk::Left, 4},   {vk::Right, 4}, {vk::Down, 28}, {vk::Next, 29},
        {239, 6},        {'A', 4},        {vk::Home, 4},  {vk::Back, 4},  {vk::None, 4},
        {vk::Delete, 4}, {vk::Space, 4},  {vk::F24, 4},   {238, 4},       {240, 4},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(KeyCode(r.key), r.number) << "virtual key 0x" << std::hex << r.key;
    }
}

} // namespace
} // namespace vodarir
