// Paths, folders, file searches, the environment and the application folders.
//
// Paths read from definition files, command lines or typed by the user may use "\"; every path
// helper turns separators toward the native one, so the logic works with either.
// Results are placed on the ScratchStack (caller's level discipline).
#pragma once

#include <cstdint>

#include "runtime/messages/status.h"
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

TextRef PathSlashes(TextRef path);
TextRef PathJoin(TextRef folder, TextRef name);
TextRef PathAddExt(TextRef name, TextRef extension);
TextRef PathPart(TextRef path, int parts);
TextRef PathResolve(TextRef base, TextRef relative);
// The first existing path: the name as given, then joined to each folder of the comma list.
TextRef FindInFolders(TextRef folderList, TextRef name);
// 0 and the names found (NUL-separated) on the ScratchStack, or 164.
StatusCode FileFind(TextRef pattern);
TextRef ListFromNulList(TextRef names, TextRef exclude);
StatusCode MakeFolders(TextRef path);
TextRef CurrentFolder();
StatusCode ChangeFolder(TextRef path);
StatusCode ChangeDrive(TextRef drive);
TextRef TempPath(TextRef name);
TextRef EnvValue(TextRef name);

// Application folders.
namespace appfolder {
inline constexpr int kRunPath = 1;
inline constexpr int kDefault = 2;
inline constexpr int kData = 3;
inline constexpr int kDocs = 4;
inline constexpr int kHelp = 5;
inline constexpr int kBackup = 6;
inline constexpr int kBackRel = 7;
} // namespace appfolder
TextRef AppFolder(int kind);

} // namespace vodarir
