// Paths, folders, file searches, the environment, the application folders and the program's own
// path.
//
// Paths read from definition files, command lines or typed by the user may use "\"; every path
// helper turns separators toward the native one, so the logic works with either.
// Results are placed on the ScratchStack (caller's level discipline).
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Native separator of this platform.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Path part bits.
namespace pathpart {
inline constexpr int kDrive = 1;
inline constexpr int kFolder = 2;
inline constexpr int kName = 4;
inline constexpr int kExtension = 8;
} // namespace pathpart

// Every foreign separator turned into the native one, outside quotes.
TextRef PathSlashes(TextRef path);
// PathSlashes as a NUL-terminated C string on the ScratchStack, for the C library.
const char* PathNative(TextRef path);
// The path as it exists on disk: itself when it exists, else the entry of its folder whose name
// matches it case-insensitively (applications move between systems); the failed TextRef
// kFileNotFound when neither exists.
TextRef PathOnDisk(TextRef path);
// folder + separator + name, the separator only when the folder does not end with one and the
// name does not begin with one (and neither is empty).
TextRef PathJoin(TextRef folder, TextRef name);
TextRef PathAddExt(TextRef name, TextRef extension);
// The selected parts, in order; a separator goes before the name when something precedes it.
// Drives are empty where the system has none. The root folder keeps its separator.
TextRef PathPart(TextRef path, int parts);
// Each leading ".." of relative takes base one folder up; the rest is joined; "/./" becomes "/".
TextRef PathResolve(TextRef base, TextRef relative);
// The path itself when it is absolute, else resolved against the current directory (PathResolve).
TextRef PathAbsolute(TextRef path);
// The first existing path: the name as given, then joined to each folder of the comma list.
TextRef FindInFolders(TextRef folderList, TextRef name);
// 0 and the names found (NUL-separated) on the ScratchStack, or kFileNotFound.
StatusCode FileFind(TextRef pattern);
// Whether a file or a folder of that path exists (through symbolic links).
bool PathExists(TextRef path);
TextRef ListFromNulList(TextRef names, TextRef exclude);
StatusCode MakeFolders(TextRef path);
TextRef CurrentFolder();
// The folder of the running program's own file, as the system knows it (not as the command line
// spells it); empty when the system cannot tell or the runtime cannot spell it.
TextRef ProgramFolder();
StatusCode ChangeFolder(TextRef path);
StatusCode ChangeDrive(TextRef drive);
// The temporary folder (TEMP, else TMPDIR, else /tmp) joined with name.
TextRef TempPath(TextRef name);
TextRef EnvValue(TextRef name);

// Application folders, numbered as their names stand in the path names of ExpandPaths.
enum class AppFolderKind {
    RunPath = 1,
    Default = 2,
    Data = 3,
    Docs = 4,
    Help = 5,
    Backup = 6,
    BackRel = 7,
};
// The folder of a kind; the data folder lies beside the documents folder where paths have no
// drive letters. Any other number gives the empty text.
TextRef AppFolder(AppFolderKind kind);

// flags 0: the program as started (from the command line RuntimeStart stored); 1: the first
// argument (empty when it begins with "/", unless it names an existing file); 2 added: only its
// drive and folder.
TextRef RunPath(int flags);

} // namespace vodarir
