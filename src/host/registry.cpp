// The settings store: splitting a value path, finding the store file and looking a value up in it.
#include "host/registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/types.h>

#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr char kSeparator = '\\';
constexpr char kAssign = '=';
constexpr std::string_view kCommentStarts = "#;";
constexpr char kStoreVariable[] = "VODARIR_REGISTRY";
constexpr char kStoreInConfig[] = "/vodarir/registry.txt";
constexpr char kConfigInHome[] = "/.config";

// A value path cut into its three parts; valid is false when the text has no separator at all.
struct ValuePath {
    std::string_view root, key, name;
    bool valid = false;
};

ValuePath SplitPath(std::string_view path) {
    ValuePath p;
    const std::size_t first = path.find(kSeparator);
    if (first == std::string_view::npos) return p;
    const std::size_t last = path.rfind(kSeparator);
    p.root = path.substr(0, first);
    p.key = first == last ? std::string_view() : path.substr(first + 1, last - first - 1);
    p.name = path.substr(last + 1);
    p.valid = true;
    return p;
}

bool KnownRoot(std::string_view root) {
    return !root.empty() && ListFind(TextView(kRegistryRoots), TextView(root), ',') != 0;
}

// Key and value names are not case-sensitive in system settings (only ASCII letters fold).
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        const auto fold = [](unsigned char c) {
            return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
        };
        if (fold(x) != fold(y)) return false;
    }
    return true;
}

bool SamePath(const ValuePath& wanted, const ValuePath& stored) {
    return stored.valid && stored.root == wanted.root && SameName(stored.key, wanted.key) &&
           SameName(stored.name, wanted.name);
}

// One line of the store without its line ending; false for blank lines and comments.
bool StoreLine(char* line, ssize_t length, std::string_view* text) {
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) --length;
    if (length == 0 || kCommentStarts.find(line[0]) != std::string_view::npos) return false;
    *text = std::string_view(line, static_cast<std::size_t>(length));
    return true;
}

// The value of the first line of the open store whose path matches, copied to the ScratchStack;
// the empty text when none matches or the value is too long.
TextRef FindValue(std::FILE* store, const ValuePath& wanted) {
    char* line = nullptr;
    std::size_t capacity = 0;
    TextRef found;
    ssize_t length;
    while ((length = ::getline(&line, &capacity, store)) >= 0) {
        std::string_view text;
        if (!StoreLine(line, length, &text)) continue;
        const std::size_t assign = text.find(kAssign);
        if (assign == std::string_view::npos) continue;
        if (!SamePath(wanted, SplitPath(text.substr(0, assign)))) continue;
        const std::string_view value = text.substr(assign + 1);
        // A value that would not fit the reading buffer is not read at all, never cut.
        if (value.size() <= kRegistryValueMax) found = TextDup(TextView(value));
        break;
    }
    std::free(line);
    return found.failed() ? TextRef() : found;
}

// Room for a formatted path of about n bytes: TextFormat reserves all of it on the ScratchStack.
std::uint16_t Room(std::size_t n) {
    return static_cast<std::uint16_t>(n < kMaxTextLength ? n : kMaxTextLength);
}

} // namespace

TextRef RegistryStorePath() {
    ScratchScope scope;
    TextRef path;
    const char* explicitStore = std::getenv(kStoreVariable);
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (explicitStore != nullptr && *explicitStore != '\0') {
        path = TextFromCStr(explicitStore);
    } else if (configHome != nullptr && configHome[0] == '/') {
        path = TextFormat(Room(std::strlen(configHome) + sizeof kStoreInConfig), "%s%s", configHome,
                          kStoreInConfig);
    } else if (home != nullptr && *home != '\0') {
        path = TextFormat(Room(std::strlen(home) + sizeof kConfigInHome + sizeof kStoreInConfig),
                          "%s%s%s", home, kConfigInHome, kStoreInConfig);
    }
    if (path.failed()) path = TextRef();
    return scope.Return(path);
}

TextRef RegistryReadValue(TextRef path) {
    ScratchScope scope;
    TextRef value;
    const ValuePath wanted = SplitPath(path.view());
    if (wanted.valid && KnownRoot(wanted.root)) {
        const TextRef storePath = RegistryStorePath();
        std::FILE* store = storePath.empty() ? nullptr : std::fopen(TextCStr(storePath), "rb");
        if (store != nullptr) {
            value = FindValue(store, wanted);
            std::fclose(store);
        }
    }
    const TextRef result = scope.Return(value);
    return result.failed() ? TextRef() : result;
}

} // namespace vodarir
