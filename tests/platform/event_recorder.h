// A WindowEvents that writes every event it gets as one line, and consumes the keys and
// characters it is told to: what the platform tests compare against.
#pragma once

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace vodarir::testing {

class EventRecorder : public platform::WindowEvents {
public:
    std::vector<std::string> lines;
    std::set<platform::VirtualKey> consumeKeys;
    std::set<unsigned char> consumeChars;
    bool allowClose = true;
    // Runs after a command is recorded (a dialog's "OK" ends its loop here).
    std::function<void(platform::ControlId, int)> onCommandDo;
    std::function<void(platform::ControlId, bool)> onFocusDo;
    std::function<void(int, int)> onPostedDo;

    void onCommand(platform::ControlId id, int notification) override {
        lines.push_back("cmd " + std::to_string(id) + " " + std::to_string(notification));
        if (onCommandDo) onCommandDo(id, notification);
    }
    bool onKeyDown(platform::ControlId c, platform::VirtualKey key,
                   platform::Modifiers m) override {
        lines.push_back("down " + std::to_string(c) + " " + Hex(key) + " " + std::to_string(m));
        return consumeKeys.count(key) != 0;
    }
    bool onKeyUp(platform::ControlId c, platform::VirtualKey key, platform::Modifiers m) override {
        lines.push_back("up " + std::to_string(c) + " " + Hex(key) + " " + std::to_string(m));
        return false;
    }
    bool onChar(platform::ControlId c, unsigned char ch) override {
        lines.push_back("char " + std::to_string(c) + " " + Hex(ch));
        return consumeChars.count(ch) != 0;
    }
    void onFocus(platform::ControlId c, bool gained) override {
        lines.push_back("focus " + std::to_string(c) + (gained ? " +" : " -"));
        if (onFocusDo) onFocusDo(c, gained);
    }
    bool onClose() override {
        lines.push_back("close");
        return allowClose;
    }
    void onListNotify(platform::ControlId id, int code, int row) override {
        lines.push_back("list " + std::to_string(id) + " " + std::to_string(code) + " " +
                        std::to_string(row));
    }
    void onScroll(platform::ScrollBar bar, int code, int position) override {
        lines.push_back(std::string("scroll ") +
                        (bar == platform::ScrollBar::Vertical ? "v " : "h ") +
                        std::to_string(code) + " " + std::to_string(position));
    }
    void onPosted(int message, int param) override {
        lines.push_back("posted " + std::to_string(message) + " " + std::to_string(param));
        if (onPostedDo) onPostedDo(message, param);
    }
    void onDestroy() override { lines.push_back("destroy"); }

    // The lines that start with `prefix`.
    std::vector<std::string> only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& l : lines) {
            if (l.rfind(prefix, 0) == 0) out.push_back(l);
        }
        return out;
    }

    static std::string Hex(int v) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(v));
        return buf;
    }
};

} // namespace vodarir::testing
