// The layer rule of src/, as data and as a check: the table of layers read from
// docs/architecture.md, the folder each file belongs to, and every include that breaks the rule
// (a folder includes its own headers and those of lower layers, never one of its own layer or a
// higher one).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vodarir::layers {

// Folder (relative to src/, "/"-separated) -> its layer, 0 the lowest.
using LayerTable = std::map<std::string, int>;

// The rows of the table under the heading "## Layers": each row whose first cell is a number
// lists its folders in backquotes in the second cell. Problems (no such section, a folder listed
// twice, a row without folders) go to errors; the table holds what could be read.
LayerTable ParseLayerTable(std::string_view markdown, std::vector<std::string>* errors);

// The folder a path below src/ belongs to: the longest folder of the table the path lies in,
// else its first component (which the table does not know). "" for a file directly in src/.
std::string FolderOf(std::string_view path, const LayerTable& table);

struct Include {
    std::string name;
    bool angled = false; // <...> rather than "..."
    int line = 0;
};
// The #include directives of a source text, in order. Lines inside block comments are skipped.
std::vector<Include> IncludesOf(std::string_view text);

// Whether a file of folder `from` may include a header of folder `to` under the table.
bool MayInclude(const LayerTable& table, const std::string& from, const std::string& to);

// Every break of the rule among the .h and .cpp files below srcRoot, one line each: an include
// of a header of the project that points sideways or upwards, and a file in a folder the table
// does not place. A quoted name is looked for beside the including file, then below srcRoot; an
// angled one below srcRoot only (anything else is a system header).
std::vector<std::string> LayerBreaks(const std::filesystem::path& srcRoot, const LayerTable& table);

} // namespace vodarir::layers
