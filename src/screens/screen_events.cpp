// The key-code, key-event and command-event tables of runtime screen windows.
#include "screens/screen_events.h"

#include <array>

#include "runtime/ui/key_codes.h"

namespace vodarir {

namespace {

constexpr std::uint16_t B(std::uint8_t button) { return EventValue(screenevent::kButton, button); }

// Entries k + 33 × map; buttons are positions in the record action list (1 = NEW).
constexpr std::array<std::uint16_t, kKeyMapStride*(kLastKeyMap + 1)> kKeyEvents = [] {
    std::array<std::uint16_t, kKeyMapStride*(kLastKeyMap + 1)> t{};
    struct Row {
        std::uint16_t code;
        std::uint16_t map0;
        std::uint16_t map1;
    };
    constexpr Row kRows[] = {
        {0, 1, 1},          // Enter
        {3, 21, 21},        // Escape
        {8, 2, 2},          // Shift+Tab
        {9, 1, 1},          // Tab
        {11, 19, 19},       // F1
        {12, 20, 20},       // F2
        {13, B(13), B(15)}, // F3
        {14, B(12), 0},     // F4
        {15, B(17), B(17)}, // F5
        {16, B(7), B(7)},   // F6
        {17, B(14), B(14)}, // F7
        {18, B(10), B(10)}, // F8
        {19, B(9), B(9)},   // F9
        {20, B(16), B(16)}, // F10
        {21, B(16), B(15)}, // F11
        {22, 32, 32},       // Up
        {23, B(3), B(3)},   // Page Up
        {28, 31, 31},       // Down
        {29, B(5), B(5)},   // Page Down
        {32, 22, 22},       // Ctrl+End
    };
    for (const Row& r : kRows) {
        t[r.code] = r.map0;
        t[r.code + kKeyMapStride] = r.map1;
    }
    return t;
}();

struct CommandRange {
    platform::ControlId first;
    platform::ControlId last;
    std::uint8_t event;
    std::int32_t base; // parameter = id - base
};
constexpr platform::ControlId kOpenEnd = 0x7FFFFFFF;
constexpr std::array<CommandRange, 7> kCommandRanges = {{
    {1500, 1699, screenevent::kChoiceCommand, 1500},
    {1700, 1949, screenevent::kMenuCommand, 1700},
    {3000, 3020, screenevent::kButton, 3000},
    {3100, 3100, screenevent::kButton, 3000},
    {3101, 3101, screenevent::kButton, 3000},
    {3600, 3649, screenevent::kListCommand, 3600},
    {3650, kOpenEnd, screenevent::kOtherCommand, 3650},
}};

constexpr std::array<std::int32_t, 8> kNavigationKeys = {0, 1, 9, 22, 28, 29, 23, 32};

} // namespace

std::uint16_t FieldKeyCode(platform::VirtualKey key, platform::Modifiers mods) {
    const platform::Modifiers held =
        mods & (platform::kModShift | platform::kModControl | platform::kModAlt);
    if (key == platform::vk::Tab && held == platform::kModShift) return kKeyShiftTab;
    if (key == platform::vk::End && held == platform::kModControl) return kKeyCtrlEnd;
    return KeyCode(key);
}

std::uint16_t KeyEvent(std::uint16_t keyCode, std::uint16_t keyMap) {
    if (keyMap > kLastKeyMap || keyCode >= kKeyMapStride) return 0;
    return kKeyEvents[keyCode + kKeyMapStride * keyMap];
}

std::uint16_t CommandEvent(platform::ControlId id) {
    for (const CommandRange& r : kCommandRanges) {
        if (id < r.first || id > r.last) continue;
        const std::int32_t parameter = id - r.base;
        if (parameter > 0xFF) return 0;
        return EventValue(r.event, static_cast<std::uint8_t>(parameter));
    }
    return 0;
}

bool IsNavigationKey(std::int32_t keyCode) {
    for (const std::int32_t k : kNavigationKeys) {
        if (k == keyCode) return true;
    }
    return false;
}

} // namespace vodarir
