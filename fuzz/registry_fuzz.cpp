// Fuzz target: the settings store read in place of a registry. The input is a value path (a length
// byte, then the path), then the store file's bytes.
//
// Properties: a value is never longer than 1024 bytes and never cut; the value read for a path,
// and for the path of each of the store's first lines, is that of the first line whose path
// matches (root exactly, keys and value name in any letter case), or empty when none does or its
// value is too long; the scratch stack is balanced and the store is closed again.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "host/registry.h"
#include "runtime/text/text_ops.h"

namespace vodarir {
namespace {

using fuzz::Require;

constexpr std::size_t kLinesLookedUp = 16;
constexpr std::string_view kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG",
                                       "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

struct StoreLine {
    std::string path;
    std::string value;
};

// The store's lines with a path: cut at LF, their CR and LF ends dropped, blank lines and comments
// skipped, the path before the first "=".
std::vector<StoreLine> Lines(std::string_view store) {
    std::vector<StoreLine> lines;
    while (!store.empty()) {
        const std::size_t lf = store.find('\n');
        std::string_view line = store.substr(0, lf);
        store.remove_prefix(lf == std::string_view::npos ? store.size() : lf + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        lines.push_back({std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
    }
    return lines;
}

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool SameFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

bool KnownRoot(std::string_view root) {
    for (const std::string_view r : kRoots) {
        if (r == root) return true;
    }
    return false;
}

struct Parts {
    std::string_view root, key, name;
};

// root\key\...\key\name; the key is empty for root\name (and for root\\name, whose empty key
// names the root's own key as well).
Parts Split(std::string_view path, std::size_t first) {
    const std::size_t last = path.rfind('\\');
    return {path.substr(0, first),
            first == last ? std::string_view() : path.substr(first + 1, last - first - 1),
            path.substr(last + 1)};
}

// Whether a stored path answers for the wanted one: the same root (exactly), the same key and
// value name in any letter case. A path without a "\" answers for nothing.
bool Matches(std::string_view wanted, std::string_view stored) {
    const std::size_t w = wanted.find('\\');
    const std::size_t s = stored.find('\\');
    if (w == std::string_view::npos || s == std::string_view::npos) return false;
    const Parts a = Split(wanted, w);
    const Parts b = Split(stored, s);
    return a.root == b.root && SameFolded(a.key, b.key) && SameFolded(a.name, b.name);
}

std::string Expected(const std::vector<StoreLine>& lines, std::string_view path) {
    const std::size_t slash = path.find('\\');
    if (slash == std::string_view::npos || !KnownRoot(path.substr(0, slash))) return {};
    for (const StoreLine& line : lines) {
        if (!Matches(path, line.path)) continue;
        return line.value.size() <= kRegistryValueMax ? line.value : std::string();
    }
    return {};
}

void Check(const std::vector<StoreLine>& lines, std::string_view path) {
    const ScratchLevel depth = ScratchDepth();
    const TextRef value = RegistryReadValue(TextView(path));
    Require(!value.failed() && value.size() <= kRegistryValueMax);
    Require(value.view() == Expected(lines, path));
    ScratchRelease(depth);
    fuzz::RequireBalanced(depth);
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::Input in(data, size);
    const std::string path(in.Text().view());
    const std::size_t rest = in.Left();
    const std::string_view store(reinterpret_cast<const char*>(data) + (size - rest), rest);
    fuzz::WriteFile("registry.txt", store);
    static const bool pointed =
        ::setenv("VODARIR_REGISTRY", fuzz::FolderFile("registry.txt").c_str(), 1) == 0;
    Require(pointed);
    const std::vector<StoreLine> lines = Lines(store);
    Check(lines, path);
    for (std::size_t i = 0; i < lines.size() && i < kLinesLookedUp; ++i)
        Check(lines, lines[i].path);
    return 0;
}
