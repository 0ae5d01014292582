// The output line of a runtime screen's field values.
#include "screens/screen_output.h"

#include <string>
#include <string_view>

#include "diagnostics/log.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "screens/screen_windows.h"

namespace vodarir {

namespace {

std::string Enclosed(std::string_view value) {
    if (value.find('\'') == std::string_view::npos) return "'" + std::string(value) + "'";
    std::string out = "\"";
    for (const char c : value) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

} // namespace

TextRef OutputValue(TextRef value) {
    if (value.failed()) return value;
    ScratchScope scope;
    const std::string enclosed = Enclosed(value.view());
    if (enclosed.size() > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    return scope.Return(TextView(enclosed));
}

int OutputScreenValues() {
    if (IntVarGet(kOutputHandleVariable) == 0) return 0;
    const std::uint16_t screen = CurrentScreen();
    const std::uint16_t count = ScreenInfo(screen).fieldCount;
    if (count == 0) return 0;
    std::string line;
    for (std::uint16_t n = 1; n <= count; ++n) {
        const ScreenField* f = ScreenFieldOf(screen, n);
        if (n > 1) line += ',';
        line += Enclosed(f != nullptr ? std::string_view(f->value) : std::string_view());
        if (line.size() > kMaxTextLength) return status::kStringTooLong;
    }
    ScratchScope scope;
    return OutputLine(TextView(line));
}

} // namespace vodarir
