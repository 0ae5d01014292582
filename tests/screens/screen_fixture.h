// A runtime with cells of 8 × 16 pixels on the scripted face, for screens, screen windows and
// prompt dialogs; everything they opened is closed again after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "masks/cell_fonts.h"
#include "runtime/start/runtime_start.h"
#include "runtime/ui/window_geometry.h"
#include "screens/screen_events.h"
#include "screens/screen_windows.h"
#include "support/scripted_runtime.h"

namespace vodarir::testing {

// A field record of a screen definition: row, column, length and type.
inline std::string FieldLine(int row, int column, int length, char type) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "1%2d%2d 0 0%2d%c\r\n", row, column, length, type);
    return buf;
}
inline std::string TextLine(int row, int column, const std::string& text) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0%2d%2d", row, column);
    return buf + text + "\r\n";
}

class ScreenTest : public ScriptedRuntimeTest {
protected:
    void SetUp() override {
        ScriptedRuntimeTest::SetUp();
        ASSERT_EQ(RuntimeInit(), status::kOk);
        GeometryReset();
        SetCellFont(16, 8, 0, TextView(""));
    }
    void TearDown() override {
        ScreensReset();
        GeometryReset();
        ScriptedRuntimeTest::TearDown();
    }

    // Opens the screen, a window of kind 2 for it and its controls; the window's id.
    platform::WindowId OpenWith(std::uint16_t count, const std::string& definition,
                                const std::string& attributes, std::uint8_t mode = 0) {
        std::uint16_t screen = 0;
        const StatusCode st =
            OpenScreen(count, TextView(definition), TextView(attributes), 0, &screen);
        EXPECT_EQ(st, status::kOk) << definition;
        if (st != status::kOk) return platform::kNoWindow;
        std::uint16_t window = 0;
        EXPECT_EQ(OpenScreenWindow(2, 0, TextView("Screen"), &window), status::kOk);
        EXPECT_EQ(ScreenSetWin(mode), status::kOk);
        WinShowTop();
        return CurrentNativeWindow();
    }
    // n fields of type A and width 5, one per row, named F1..Fn.
    static std::string Fields(int n, char type = 'A') {
        std::string def;
        for (int i = 1; i <= n; ++i) def += FieldLine(i, 10, 5, type);
        return def;
    }
    static std::string Names(int n) {
        std::string s = "FD$='";
        for (int i = 1; i <= n; ++i) s += (i > 1 ? "," : "") + std::string("F") + std::to_string(i);
        return s + "'";
    }
};

// An action that records every event it is given and answers from a table (default: the
// built-in handling).
struct RecordingAction {
    std::vector<std::uint16_t> events;
    StatusCode (*answer)(std::uint16_t event) = nullptr;

    static StatusCode Act(std::uint16_t event, void* extra) {
        auto* self = static_cast<RecordingAction*>(extra);
        self->events.push_back(event);
        if (self->answer != nullptr) return self->answer(event);
        return BuiltinScreenEvent(event);
    }
    bool saw(std::uint16_t event) const {
        for (const std::uint16_t e : events) {
            if (e == event) return true;
        }
        return false;
    }
};

} // namespace vodarir::testing
