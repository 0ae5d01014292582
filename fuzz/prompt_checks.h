// What the prompt and screen fuzz target checks, shared with the test that replays its seeds in
// the normal build. The input's first byte chooses the subject:
//   even: a prompt specification (the rest of the input) through NormalizePrompt, PromptPart,
//         SplitPosition, PromptTypeWidth and PromptCheck;
//   odd:  a screen: a field-count byte, a flags byte, a length-prefixed definition text, then the
//         attribute text, through OpenScreen.
// The runtime must be started (RuntimeInit) before the first run; no window is needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_input.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/status.h"
#include "screens/screen_windows.h"
#include "script/prompt_spec.h"

namespace vodarir::fuzz {

// The most items and parts looked at in one run, so that one input stays quick.
inline constexpr std::uint16_t kCheckedItems = 16;

inline bool CheckPrompt(TextRef spec) {
    const ScratchLevel depth = ScratchDepth();
    {
        ScratchScope scope;
        const TextRef normal = NormalizePrompt(spec);
        if (normal.failed() || normal.size() != spec.size()) return false;
        const std::uint16_t count = PromptItemCount(normal);
        for (std::uint16_t item = 1; item <= count && item <= kCheckedItems; ++item) {
            for (std::uint16_t part = 1; part <= 5; ++part) {
                const TextRef p = PromptPart(normal, item, static_cast<PromptPartKind>(part));
                if (p.failed()) return false;
                // A part is a view into the specification.
                if (p.size() != 0 &&
                    (p.data < normal.data || p.data + p.size() > normal.data + normal.size())) {
                    return false;
                }
                const PromptPosition pos = SplitPosition(p);
                if (pos.value.size() > p.size() || pos.value.data != p.data) return false;
                if (pos.row > kMaxPromptPosition || pos.column > kMaxPromptPosition) return false;
            }
            char type = 0;
            std::uint16_t width = 0;
            if (PromptTypeWidth(normal, item, &type, &width) &&
                (width == 0 || width > kMaxPromptWidth)) {
                return false;
            }
        }
        const StatusCode st = PromptCheck(normal);
        if (st != status::kOk && st != status::kData) return false;
    }
    return ScratchDepth() == depth;
}

inline bool CheckScreen(std::uint16_t count, std::uint8_t flags, TextRef definition,
                        TextRef attributes) {
    const ScratchLevel depth = ScratchDepth();
    std::uint16_t screen = 0;
    const StatusCode st = OpenScreen(count, definition, attributes, flags, &screen);
    if (st == status::kOk) {
        const ScreenRecord r = ScreenInfo(screen);
        if (r.inUse == 0 || r.fieldCount > kMaxScreenFields) return false;
        if (r.linesFirst > r.linesLast || r.linesLast > r.fieldCount) return false;
        if (r.startField > r.fieldCount) return false;
        for (std::uint16_t n = 1; n <= r.fieldCount; ++n) {
            const ScreenField* f = ScreenFieldOf(screen, n);
            if (f == nullptr || f->maxLength == 0 || f->maxLength > kMaxFieldLength ||
                f->displayLength > kMaxFieldLength || f->row == 0 || f->column == 0) {
                return false;
            }
        }
        CloseScreen(screen);
    } else if (st != status::kScreenStruct && st != status::kFileOutBound &&
               st < status::kFirstError) {
        return false;
    }
    return OpenScreenCount() == 0 && ScratchDepth() == depth;
}

inline bool CheckPromptInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::uint8_t subject = in.Byte();
    if ((subject & 1) == 0) return CheckPrompt(in.Rest());
    const std::uint16_t count = in.Byte();
    const std::uint8_t flags = in.Byte();
    const TextRef definition = in.Text();
    return CheckScreen(count, flags, definition, in.Rest());
}

} // namespace vodarir::fuzz
