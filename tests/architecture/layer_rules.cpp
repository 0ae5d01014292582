// Reading the layer table and checking the includes of src/ against it.
#include "architecture/layer_rules.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vodarir::layers {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSectionHeading = "## Layers";

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The cells of a table row "| a | b | c |", trimmed; empty for a line that is not a row.
std::vector<std::string_view> Cells(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '|' || line.back() != '|') return {};
    line = line.substr(1, line.size() - 2);
    std::vector<std::string_view> cells;
    for (;;) {
        const auto bar = line.find('|');
        cells.push_back(Trim(line.substr(0, bar)));
        if (bar == std::string_view::npos) break;
        line.remove_prefix(bar + 1);
    }
    return cells;
}

bool ReadLayerNumber(std::string_view cell, int* layer) {
    if (cell.empty() || cell.size() > 3) return false;
    int n = 0;
    for (const char c : cell) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    *layer = n;
    return true;
}

// The names written in backquotes.
std::vector<std::string> Quoted(std::string_view cell) {
    std::vector<std::string> names;
    for (;;) {
        const auto open = cell.find('`');
        if (open == std::string_view::npos) break;
        const auto close = cell.find('`', open + 1);
        if (close == std::string_view::npos) break;
        names.emplace_back(cell.substr(open + 1, close - open - 1));
        cell.remove_prefix(close + 1);
    }
    return names;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string Describe(const LayerTable& table, const std::string& folder) {
    const auto it = table.find(folder);
    if (it == table.end()) return folder + " (no layer)";
    return folder + " (layer " + std::to_string(it->second) + ")";
}

} // namespace

LayerTable ParseLayerTable(std::string_view markdown, std::vector<std::string>* errors) {
    LayerTable table;
    bool inSection = false;
    bool seenSection = false;
    for (const std::string_view line : Lines(markdown)) {
        if (line.starts_with("## ") || line.starts_with("# ")) {
            inSection = Trim(line) == kSectionHeading;
            seenSection = seenSection || inSection;
            continue;
        }
        if (!inSection) continue;
        const std::vector<std::string_view> cells = Cells(line);
        int layer = 0;
        if (cells.size() < 2 || !ReadLayerNumber(cells[0], &layer)) continue;
        const std::vector<std::string> folders = Quoted(cells[1]);
        if (folders.empty())
            errors->push_back("layer " + std::to_string(layer) + " names no folder");
        for (const std::string& folder : folders) {
            if (!table.emplace(folder, layer).second) {
                errors->push_back(folder + " is listed twice");
            }
        }
    }
    if (!seenSection) errors->push_back("no section \"" + std::string(kSectionHeading) + "\"");
    return table;
}

std::string FolderOf(std::string_view path, const LayerTable& table) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return "";
    const std::string_view dir = path.substr(0, slash);
    std::string best;
    for (const auto& [folder, layer] : table) {
        const bool inside =
            dir == folder ||
            (dir.starts_with(folder) && dir.size() > folder.size() && dir[folder.size()] == '/');
        if (inside && folder.size() > best.size()) best = folder;
    }
    if (!best.empty()) return best;
    return std::string(path.substr(0, path.find('/')));
}

std::vector<Include> IncludesOf(std::string_view text) {
    std::vector<Include> includes;
    bool inComment = false;
    int number = 0;
    for (std::string_view line : Lines(text)) {
        ++number;
        if (inComment) {
            const auto end = line.find("*/");
            if (end == std::string_view::npos) continue;
            inComment = false;
            line.remove_prefix(end + 2);
        }
        line = Trim(line);
        if (line.starts_with("/*") && line.find("*/") == std::string_view::npos) {
            inComment = true;
            continue;
        }
        if (!line.starts_with('#')) continue;
        line = Trim(line.substr(1));
        if (!line.starts_with("include")) continue;
        line = Trim(line.substr(7));
        if (line.empty()) continue;
        const char open = line.front();
        const char close = open == '<' ? '>' : '"';
        if (open != '<' && open != '"') continue;
        const auto end = line.find(close, 1);
        if (end == std::string_view::npos) continue;
        includes.push_back({std::string(line.substr(1, end - 1)), open == '<', number});
    }
    return includes;
}

bool MayInclude(const LayerTable& table, const std::string& from, const std::string& to) {
    if (from == to) return true;
    const auto f = table.find(from);
    const auto t = table.find(to);
    return f != table.end() && t != table.end() && t->second < f->second;
}

std::vector<std::string> LayerBreaks(const fs::path& srcRoot, const LayerTable& table) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(srcRoot)) {
        const fs::path& p = entry.path();
        if (entry.is_regular_file() && (p.extension() == ".h" || p.extension() == ".cpp")) {
            files.push_back(p);
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> breaks;
    for (const fs::path& file : files) {
        const std::string path = file.lexically_relative(srcRoot).generic_string();
        const std::string from = FolderOf(path, table);
        if (!table.contains(from)) {
            breaks.push_back(path + ": its folder " + (from.empty() ? "src" : from) +
                             " has no layer in the table");
            continue;
        }
        for (const Include& inc : IncludesOf(ReadFile(file))) {
            // Where the compiler looks: beside the file first for a quoted name, then in src/.
            fs::path target = file.parent_path() / inc.name;
            if (inc.angled || !fs::exists(target)) target = srcRoot / inc.name;
            if (!fs::exists(target)) continue;
            const std::string to = FolderOf(
                target.lexically_normal().lexically_relative(srcRoot).generic_string(), table);
            if (MayInclude(table, from, to)) continue;
            breaks.push_back(path + ":" + std::to_string(inc.line) + ": " + Describe(table, from) +
                             " includes " + inc.name + " of " + Describe(table, to));
        }
    }
    return breaks;
}

} // namespace vodarir::layers
