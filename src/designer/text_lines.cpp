// The lines of a text file as the runtime's line reader sees them.
#include "designer/text_lines.h"

namespace vodarir {

namespace {
constexpr char kCtrlZ = 26;
}

std::vector<std::string_view> FileLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", at);
        std::size_t next = 0;
        if (end == std::string_view::npos) {
            end = next = bytes.size();
        } else if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') {
            next = end + 2;
        } else {
            next = end + 1;
        }
        const std::string_view line = bytes.substr(at, end - at);
        if (line != std::string_view(&kCtrlZ, 1)) lines.push_back(line);
        at = next;
    }
    return lines;
}

} // namespace vodarir
