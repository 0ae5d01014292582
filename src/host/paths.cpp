// Paths, folders, file searches, the environment, the application folders and the program's own
// path (POSIX).
#include "host/paths.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "host/text_files.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/cp1252.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr char kForeignSeparator = kPathSeparator == '/' ? '\\' : '/';
constexpr TextRef kSeparator = kPathSeparator == '/' ? "/"_t : "\\"_t;
constexpr TextRef kParent = ".."_t;
constexpr TextRef kDataFolder = "..\\data"_t;
constexpr TextRef kHelpFolder = "Help"_t;
constexpr TextRef kBackupFolder = "Backups"_t;
constexpr TextRef kAnyName = "*.*"_t;
constexpr TextRef kNoWildcard = "*"_t;
constexpr SlotIndex kCommandLineSlot = 1;
constexpr SlotIndex kDefaultFolderSlot = 5;
constexpr SlotIndex kCommonFolderSlot = 6;
constexpr SlotIndex kHelpFolderSlot = 7;
constexpr SlotIndex kDatabaseSlot = 11;
constexpr char kFirstLateDrive = 'F';

bool IsSeparator(char c) { return c == kPathSeparator; }

TextRef Env(SlotIndex slot) { return SlotGet(slotgroup::kEnvironment, slot); }

// Drive, folder, name and extension of a path with native separators.
struct PathPieces {
    TextRef drive, folder, name, extension;
};

PathPieces Split(TextRef p) {
    const std::string_view s = p.view();
    std::size_t start = 0;
#ifdef _WIN32
    const std::size_t colon = s.find(':');
    if (colon != std::string_view::npos) start = colon + 1;
#endif
    const std::size_t lastSep = s.find_last_of(kPathSeparator);
    const bool hasFolder = lastSep != std::string_view::npos && lastSep >= start;
    const std::size_t nameStart = hasFolder ? lastSep + 1 : start;
    std::size_t dot = s.find_last_of('.');
    if (dot == std::string_view::npos || dot < nameStart) dot = s.size();
    auto piece = [&](std::size_t from, std::size_t to) {
        return TextRef(p.data + from, static_cast<std::uint16_t>(to - from));
    };
    PathPieces r;
    r.drive = piece(0, start);
    // The root keeps its separator: without it "/x" would lose its folder and turn relative.
    if (hasFolder)
        r.folder = piece(start, lastSep == start ? lastSep + 1 : lastSep);
    else
        r.folder = piece(start, start);
    r.name = piece(nameStart, dot);
    r.extension = piece(dot, s.size());
    return r;
}

bool EndsWithSeparator(TextRef t) { return !t.empty() && IsSeparator(char(t.at(t.length - 1))); }

TextRef Append(TextRef a, TextRef b) {
    return ScratchConcat(a, b) == status::kOk ? ScratchTop()
                                              : TextRef::Failed(status::kStringTooLong);
}

bool Exists(const char* native) {
    struct stat info;
    return ::stat(native, &info) == 0;
}

// A leading ".." component of a relative path, and what follows it.
bool TakeParent(TextRef* relative) {
    const TextRef r = *relative;
    if (r.length < 2 || TextSub(r, 0, 2).view() != kParent.view()) return false;
    if (r.length == 2) {
        *relative = TextSub(r, 2, 0);
        return true;
    }
    if (!IsSeparator(char(r.at(2)))) return false;
    *relative = TextSub(r, 3, r.length);
    return true;
}

// A C string of the system (UTF-8) as a cp1252 copy; one too long for a text, or holding a
// character cp1252 has not, is refused, not cut or altered.
TextRef CopyOf(const char* value) {
    if (value == nullptr) return TextDup(TextRef());
    return TextFromUtf8(value);
}

// A name read from a folder, as the runtime spells it; false when cp1252 cannot hold it (such a
// file cannot be named by a definition either).
bool EntryName(const dirent* entry, std::string* name) {
    ScratchScope scope;
    const TextRef converted = TextFromUtf8(entry->d_name);
    if (!converted.failed()) name->assign(converted.view());
    return !converted.failed();
}

TextRef TempFolder() {
#ifndef _WIN32
    for (const char* name : {"TEMP", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return CopyOf(value);
    }
    return CopyOf("/tmp");
#else
    return EnvValue("TEMP"_t);
#endif
}

TextRef DataFolder() {
    // The program's drive decided between the two folders; a system without drive letters always
    // keeps its data beside the documents.
    const TextRef drive = PathPart(RunPath(0), pathpart::kDrive);
    const bool lateDrive = !drive.empty() && drive.at(0) >= kFirstLateDrive;
    return PathResolve(lateDrive ? Env(kDefaultFolderSlot) : AppFolder(AppFolderKind::Docs),
                       kDataFolder);
}

TextRef DatabaseItem(std::uint16_t n) {
    return TextUnquote(TextTrim(ListItem(Env(kDatabaseSlot), ',', n), TrimSides::Both));
}

StatusCode FolderStatus(int error) {
    if (error == EACCES || error == EPERM || error == EROFS) return status::kPermissionDenied;
    if (error == ENOENT) return status::kFileNotFound;
    return status::kDiskIo;
}

} // namespace

TextRef PathSlashes(TextRef path) {
    if (path.failed()) return path;
    const TextRef copy = TextDup(path);
    if (copy.failed()) return copy;
    char* p = copy.mutableData();
    char quote = 0;
    for (std::uint16_t i = 0; i < copy.length; ++i) {
        const char c = p[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == kForeignSeparator) {
            p[i] = kPathSeparator;
        }
    }
    return copy;
}

const char* PathNative(TextRef path) {
#ifdef _WIN32
    return TextCStr(PathSlashes(path));
#else
    // File names on this system are UTF-8; the runtime's texts are cp1252.
    return TextCStr(TextToUtf8(PathSlashes(path)));
#endif
}

TextRef PathJoin(TextRef folder, TextRef name) {
    ScratchScope scope;
    const TextRef f = PathSlashes(folder);
    const TextRef n = PathSlashes(name);
    const bool needSeparator =
        !f.empty() && !EndsWithSeparator(f) && !n.empty() && !IsSeparator(char(n.at(0)));
    const TextRef joined = needSeparator ? TextJoin(f, kSeparator, n) : TextConcat(f, n);
    return scope.Return(joined);
}

TextRef PathAddExt(TextRef name, TextRef extension) { return TextJoin(name, "."_t, extension); }

TextRef PathPart(TextRef path, int parts) {
    if (path.failed()) return path;
    ScratchScope scope;
    const TextRef p = PathSlashes(path);
    if (p.failed()) return scope.Return(p);
    const PathPieces pieces = Split(p);
    TextRef out = TextRef(p.data, 0);
    if ((parts & pathpart::kDrive) != 0) out = Append(out, pieces.drive);
    if ((parts & pathpart::kFolder) != 0) out = Append(out, pieces.folder);
    if ((parts & pathpart::kName) != 0) {
        if (!out.empty() && !EndsWithSeparator(out)) out = Append(out, kSeparator);
        out = Append(out, pieces.name);
    }
    if ((parts & pathpart::kExtension) != 0) out = Append(out, pieces.extension);
    return scope.Return(out);
}

TextRef PathResolve(TextRef base, TextRef relative) {
    if (base.failed()) return base;
    if (relative.failed()) return relative;
    ScratchScope scope;
    TextRef b = PathSlashes(base);
    TextRef r = PathSlashes(relative);
    while (!b.failed() && TakeParent(&r)) b = PathPart(b, pathpart::kDrive | pathpart::kFolder);
    TextRef joined = PathJoin(b, r);
    // "a/./b" is "a/b"; replacing may bring two such runs together, so repeat until none is left.
    const TextRef here = TextConcat(TextConcat(kSeparator, "."_t), kSeparator);
    while (!joined.failed() && TextFind(joined, here, true) != kNotFound) {
        joined = TextReplace(joined, here, kSeparator, true);
    }
    return scope.Return(joined);
}

TextRef PathAbsolute(TextRef path) {
    if (path.failed()) return path;
    ScratchScope scope;
    const TextRef native = PathSlashes(path);
    const bool absolute = !PathPart(native, pathpart::kDrive).empty() ||
                          (!native.empty() && IsSeparator(char(native.at(0))));
    return scope.Return(absolute ? native : PathResolve(CurrentFolder(), native));
}

TextRef PathOnDisk(TextRef path) {
    if (path.failed()) return path;
    ScratchScope scope;
    const TextRef p = PathSlashes(path);
    if (p.empty()) return scope.Return(TextRef::Failed(status::kFileNotFound));
    if (Exists(PathNative(p))) return scope.Return(p);
    // Applications move between systems: "DICC.DAT" may have become "dicc.dat".
    const TextRef folder = PathPart(p, pathpart::kDrive | pathpart::kFolder);
    const TextRef name = PathPart(p, pathpart::kName | pathpart::kExtension);
    DIR* dir = name.empty() ? nullptr : ::opendir(folder.empty() ? "." : PathNative(folder));
    std::string best;
    if (dir != nullptr) {
        const std::string wanted(name.view());
        std::string entryName;
        while (const dirent* entry = ::readdir(dir)) {
            if (!EntryName(entry, &entryName)) continue;
            if (!Cp1252EqualNoCase(entryName, wanted)) continue;
            if (best.empty() || best > entryName) best = entryName; // the same every time
        }
        ::closedir(dir);
    }
    if (best.empty() || best.size() > kMaxPathLength) {
        return scope.Return(TextRef::Failed(status::kFileNotFound));
    }
    return scope.Return(PathJoin(folder, TextView(best)));
}

TextRef FindInFolders(TextRef folderList, TextRef name) {
    if (name.failed()) return name;
    ScratchScope scope;
    TextRef found = PathOnDisk(name);
    const std::uint16_t folders = ListCount(folderList, ',');
    for (std::uint16_t i = 1; found.failed() && i <= folders; ++i) {
        const TextRef folder = TextTrim(ListItem(folderList, ',', i), TrimSides::Both);
        if (!folder.empty()) found = PathOnDisk(PathJoin(folder, name));
    }
    return scope.Return(found.failed() ? TextRef() : found);
}

namespace {

// The names of the folder that match the pattern's name part, sorted.
std::vector<std::string> MatchingNames(TextRef pattern) {
    ScratchScope scope;
    const TextRef p = PathSlashes(pattern);
    const TextRef folder = PathPart(p, pathpart::kDrive | pathpart::kFolder);
    TextRef glob = PathPart(p, pathpart::kName | pathpart::kExtension);
    // "*.*" means every name, also one without a dot.
    if (glob.view() == kAnyName.view()) glob = kNoWildcard;
    const std::string wanted(glob.view());
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.empty() ? "." : PathNative(folder))) {
        std::string n;
        while (const dirent* entry = ::readdir(dir)) {
            if (!EntryName(entry, &n) || n == "." || n == "..") continue;
            if (::fnmatch(wanted.c_str(), n.c_str(), FNM_CASEFOLD) == 0) names.push_back(n);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

StatusCode FileFind(TextRef pattern) {
    if (pattern.failed()) return pattern.status();
    const std::vector<std::string> names = MatchingNames(pattern);
    if (names.empty()) return status::kFileNotFound;
    std::string all;
    for (const std::string& n : names) {
        if (!all.empty()) all.push_back('\0');
        all += n;
    }
    return ScratchPush(TextFromString(all)); // kStringTooLong when the names pass 65535 bytes
}

bool PathExists(TextRef path) {
    if (path.failed() || path.empty()) return false;
    ScratchScope scope;
    return Exists(PathNative(path));
}

TextRef ListFromNulList(TextRef names, TextRef exclude) {
    if (names.failed()) return names;
    ScratchScope scope;
    TextRef out = TextRef(names.data, 0);
    const std::string_view all = names.view();
    for (std::size_t start = 0; start < all.size() && !out.failed();) {
        std::size_t end = all.find('\0', start);
        if (end == std::string_view::npos) end = all.size();
        const TextRef item(names.data + start, static_cast<std::uint16_t>(end - start));
        if (!item.empty() && ListFind(exclude, item, ',') == 0) out = TextJoin(out, ","_t, item);
        start = end + 1;
    }
    return scope.Return(out);
}

StatusCode MakeFolders(TextRef path) {
    if (path.failed()) return path.status();
    if (path.empty() || path.length >= kMaxPathLength) return status::kData;
    ScratchScope scope;
    const TextRef p = TextToUtf8(PathSlashes(path));
    if (p.failed()) return p.status();
    // Each cp1252 byte takes at most three bytes of UTF-8.
    char buffer[3 * kMaxPathLength + 1];
    std::memcpy(buffer, p.data, p.length);
    buffer[p.length] = '\0';
    scope.Release();
    // Every prefix that ends before a separator is a folder to have, then the whole path. The
    // root and a drive ("C:") are there already.
    for (std::size_t i = 1; i <= p.length; ++i) {
        if (i < p.length && !IsSeparator(buffer[i])) continue;
        if (IsSeparator(buffer[i - 1]) || buffer[i - 1] == ':') continue;
        const char saved = buffer[i];
        buffer[i] = '\0';
        struct stat info;
        if (::stat(buffer, &info) != 0 && ::mkdir(buffer, 0777) != 0 && errno != EEXIST) {
            return FolderStatus(errno);
        }
        if (::stat(buffer, &info) != 0) return FolderStatus(errno);
        if (!S_ISDIR(info.st_mode)) return status::kFileExists;
        buffer[i] = saved;
    }
    return status::kOk;
}

TextRef CurrentFolder() {
    char buffer[3 * kMaxPathLength + 1];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return TextDup(TextRef());
    const TextRef folder = TextFromUtf8(buffer);
    // A folder the runtime cannot spell, or one too long for it, reads as a failure: empty.
    if (folder.failed() || folder.length > kMaxPathLength) return TextDup(TextRef());
    return folder;
}

TextRef ProgramFolder() {
    char buffer[3 * kMaxPathLength + 1];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer - 1) {
        return TextDup(TextRef());
    }
    const std::string_view file(buffer, static_cast<std::size_t>(length));
    const std::size_t separator = file.rfind('/');
    if (separator == std::string_view::npos) return TextDup(TextRef());
    const TextRef folder = TextFromUtf8(file.substr(0, separator == 0 ? 1 : separator));
    if (folder.failed() || folder.length > kMaxPathLength) return TextDup(TextRef());
    return folder;
}

StatusCode ChangeFolder(TextRef path) {
    if (path.failed()) return path.status();
    ScratchScope scope;
    const int rc = ::chdir(PathNative(path));
    return rc == 0 ? status::kOk : FolderStatus(errno);
}

StatusCode ChangeDrive(TextRef drive) {
    // There are no drives here: every folder is reachable from the one root.
    return drive.failed() ? drive.status() : status::kOk;
}

TextRef TempPath(TextRef name) {
    ScratchScope scope;
    return scope.Return(PathJoin(TempFolder(), name));
}

TextRef EnvValue(TextRef name) {
    if (name.failed()) return name;
    ScratchScope scope;
    const char* value = name.view().find('\0') == std::string_view::npos
                            ? std::getenv(TextCStr(TextToUtf8(name)))
                            : nullptr;
    return scope.Return(CopyOf(value));
}

TextRef AppFolder(AppFolderKind kind) {
    ScratchScope scope;
    TextRef r;
    switch (kind) {
    case AppFolderKind::RunPath:
        r = RunPath(2);
        break;
    case AppFolderKind::Default:
        r = Env(kDefaultFolderSlot);
        break;
    case AppFolderKind::Data:
        r = DataFolder();
        break;
    case AppFolderKind::Docs:
        r = Env(kCommonFolderSlot).empty() ? CurrentFolder() : Env(kCommonFolderSlot);
        break;
    case AppFolderKind::Help:
        r = Env(kHelpFolderSlot).empty() ? PathResolve(Env(kDefaultFolderSlot), kHelpFolder)
                                         : Env(kHelpFolderSlot);
        break;
    case AppFolderKind::Backup:
        r = PathResolve(Env(kCommonFolderSlot), kBackupFolder);
        break;
    case AppFolderKind::BackRel:
        r = PathJoin(PathJoin(PathJoin(CurrentFolder(), kBackupFolder), DatabaseItem(1)),
                     DatabaseItem(2));
        break;
    default:
        break;
    }
    return scope.Return(r);
}

TextRef RunPath(int flags) {
    ScratchScope scope;
    const TextRef line = SlotGet(slotgroup::kEnvironment, kCommandLineSlot);
    const std::uint16_t item = (flags & 1) != 0 ? 2 : 1;
    TextRef path = TextUnquote(TextTrim(ListItem(line, ' ', item), TrimSides::Both));
    if ((flags & 1) != 0 && !path.empty() && path.at(0) == '/') {
        // "/X" is an option, but on a system whose paths start with "/" an existing file is a file.
        struct stat info;
        if (::stat(PathNative(path), &info) != 0 || S_ISDIR(info.st_mode)) path = TextRef();
    }
    if ((flags & 2) != 0) path = PathPart(path, pathpart::kDrive | pathpart::kFolder);
    return scope.Return(path);
}

} // namespace vodarir
