// The lines of a text file as the runtime's line reader sees them.
#pragma once

#include <string_view>
#include <vector>

namespace vodarir {

// CR LF, a lone CR or a lone LF ends a line; the end of the text ends the last one (an ending at
// the very end makes no empty line after it); a line that is one Ctrl-Z is left out. The views
// point into `bytes`.
std::vector<std::string_view> FileLines(std::string_view bytes);

} // namespace vodarir
