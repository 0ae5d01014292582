// Numbered text files over the C library: the file table, the line reader, whole-file helpers and
// the loaders into SlotStore groups.
//
// Invariants:
//  1. Entry n of the file table is the stream of file number n, or null when n is free. Entries
//     0..2 are the standard streams: filled on first use, never closed.
//  2. Every byte written goes through WriteChunk, at most kChunkSize bytes a call, so the write
//     seam sees (and can fail) every write.
//  3. A whole-file rewrite never touches the old file until the new contents are complete on disk;
//     until then the old contents stay readable, and a failure leaves them as they were. The one
//     exception is a file with other names (hard links), which only an in-place rewrite keeps
//     together: its old contents are held in memory and written back when the rewrite fails.
//  4. A whole-file rewrite replaces the file a symbolic link names, never the link, and refuses a
//     file without write permission.
#include "host/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/paths.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr FileNumber kFirstUserFile = 3;
constexpr FileNumber kStdIn = 0;
constexpr FileNumber kStdOut = 1;
// The C library moves at most this many bytes a call.
constexpr std::uint32_t kChunkSize = 512;
// A line length must stay below kIoFailed, which stands for failure.
constexpr std::uint32_t kMaxLineResult = 0xFFFE;
constexpr char kCtrlZ = 26;
constexpr std::uint16_t kModeBits = 0x1F;
constexpr TextRef kConsole = "CON"_t;
constexpr TextRef kKindExtensions = "PPN,PAN,STP,DAT,DAT,PDC,PRX,ZAA,PMT,PDF,TXT,PDI,HLP"_t;
constexpr TextRef kIndexExtensions = ",.FD,.DIR,.NDX,.TMP,.TXT"_t;
constexpr int kIndexLowerCase = 0x80;
constexpr TextRef kTempSuffix = ".XXXXXX"_t;
constexpr SlotIndex kDefaultFolderSlot = 5;
constexpr std::uint16_t kReadLinesQuiet =
    openflag::kNoPlus | openflag::kReadWrite | openflag::kQuiet;
constexpr std::uint16_t kReadLinesFound = openflag::kNoPlus | openflag::kReadWrite;

// Indexed by line kind: number at, number width, record at, characters not in the record.
constexpr LineKindLayout kLayouts[] = {
    {-1, 0, 0, 0}, // 0 plain lines
    {0, 2, 3, 3},  // 1 parameter files
    {1, 2, 3, 4},  // 2 screen files: a quote, the number, the record, a closing quote
    {0, 4, 5, 5},  // 3 four-digit numbered files
    {0, 2, 2, 2},  // 4 four-column numbered files
    {-1, 0, 0, 0}, // 5 as plain lines
    {0, 5, 0, 0},  // 6 five-digit numbers, the record is the whole line
};

std::FILE* g_files[kFileTableSize] = {};

int g_writesAllowed = -1;
std::uint16_t g_partialWrite = 0;

std::FILE* Stream(FileNumber n) {
    if (n >= kFileTableSize) return nullptr;
    if (g_files[n] == nullptr && n < kFirstUserFile) {
        std::FILE* const standard[kFirstUserFile] = {stdin, stdout, stderr};
        g_files[n] = standard[n];
    }
    return g_files[n];
}

bool IsStandard(FileNumber n) { return n < kFirstUserFile; }

std::size_t WriteChunk(std::FILE* f, const char* data, std::size_t n) {
    if (g_writesAllowed == 0) { // the seam: this call comes up short, as on a full disk
        const std::size_t part = std::min<std::size_t>(g_partialWrite, n == 0 ? 0 : n - 1);
        return std::fwrite(data, 1, part, f);
    }
    if (g_writesAllowed > 0) --g_writesAllowed;
    return std::fwrite(data, 1, n, f);
}

// Writes every byte in chunks; answers how many were written before a chunk failed.
std::uint32_t WriteAll(std::FILE* f, TextRef text) {
    std::uint32_t written = 0;
    while (written < text.length) {
        const std::size_t chunk = std::min<std::uint32_t>(kChunkSize, text.length - written);
        const std::size_t n = WriteChunk(f, text.data + written, chunk);
        written += static_cast<std::uint32_t>(n);
        if (n < chunk) break;
    }
    return written;
}

StatusCode Failure(StatusCode st, TextRef path, std::uint16_t flags) {
    if ((flags & openflag::kQuiet) != 0) return st;
    LogErrorText(st, path.failed() ? TextRef() : path, true);
    return NoteFirstError(1, step::kStreamInit, st, st);
}

const char* ModeOf(std::uint16_t flags) {
    static const char* const kModes[3][2] = {{"rb+", "rb"}, {"wb+", "wb"}, {"ab+", "ab"}};
    const int kind = (flags & openflag::kCreate) != 0   ? 1
                     : (flags & openflag::kAppend) != 0 ? 2
                                                        : 0;
    return kModes[kind][(flags & openflag::kNoPlus) != 0 ? 1 : 0];
}

bool IsFolder(std::FILE* f) {
    struct stat info;
    return ::fstat(::fileno(f), &info) == 0 && S_ISDIR(info.st_mode);
}

// What an attempt to open an existing file for reading came to.
enum class ReadOpen { kOpened, kMissing, kDenied, kNotRegular, kFailed };

ReadOpen ReadOpenOf(int error) {
    if (error == ENOENT || error == ENOTDIR) return ReadOpen::kMissing;
    if (error == EACCES || error == EPERM || error == EROFS) return ReadOpen::kDenied;
    if (error == EISDIR) return ReadOpen::kNotRegular;
    return ReadOpen::kFailed;
}

// Opens an existing file in a reading mode ("rb" or "rb+"). Only a regular file is taken: a
// folder holds no text, and a FIFO or a device named where a definition file was expected would
// hold the open (or the first read) for good. The descriptor is opened without waiting and looked
// at before any stream is made on it.
ReadOpen OpenForReading(const char* native, const char* mode, std::FILE** out) {
    *out = nullptr;
    const bool update = std::strchr(mode, '+') != nullptr;
    const int fd = ::open(native, (update ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return ReadOpenOf(errno);
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return ReadOpen::kNotRegular;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    std::FILE* f =
        flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ? nullptr : ::fdopen(fd, mode);
    if (f == nullptr) {
        const int error = errno;
        ::close(fd);
        return ReadOpenOf(error);
    }
    *out = f;
    return ReadOpen::kOpened;
}

// The reading modes: neither create nor append.
bool ReadingMode(std::uint16_t flags) {
    return (flags & (openflag::kCreate | openflag::kAppend)) == 0;
}

// The size on disk. Every write through this layer is flushed at once, so the stream holds no
// bytes the file does not; asking the file system costs one call where seeking costs three.
std::int64_t SizeOf(std::FILE* f) {
    struct stat info;
    if (::fstat(::fileno(f), &info) != 0) return 0;
    return info.st_size < 0 ? 0 : static_cast<std::int64_t>(info.st_size);
}

// One line read: its length, or a status (130 end of file, 146 too long, 136 read failure).
struct LineRead {
    std::uint32_t length = 0;
    StatusCode status = status::kOk;
};

// Where the line ends in the bytes read so far, and how many bytes its ending takes. A CR as the
// last byte read asks the file for the byte after it.
bool FindLineEnd(std::FILE* f, const char* buffer, std::uint32_t from, std::uint32_t got,
                 std::uint32_t* end, std::uint32_t* consumed) {
    for (std::uint32_t i = from; i < got; ++i) {
        if (buffer[i] != '\r' && buffer[i] != '\n') continue;
        *end = i;
        std::uint32_t after = i + 1;
        if (buffer[i] == '\r') {
            const int next = i + 1 < got ? static_cast<unsigned char>(buffer[i + 1]) : std::getc(f);
            if (next == '\n') ++after;
        }
        *consumed = after;
        return true;
    }
    return false;
}

// The byte after a full buffer decides: a line ending (or the end of the file) right there makes
// the line fit exactly.
bool EndsRightAfter(std::FILE* f, std::uint32_t got, std::uint32_t* consumed) {
    const int c = std::getc(f);
    if (c == EOF) {
        *consumed = got;
        return true;
    }
    if (c != '\r' && c != '\n') return false;
    *consumed = got + 1 + (c == '\r' && std::getc(f) == '\n' ? 1 : 0);
    return true;
}

LineRead ReadFileLine(std::FILE* f, char* buffer, std::uint32_t size) {
    for (;;) {
        const std::int64_t start = ::ftello(f);
        const std::int64_t remaining = SizeOf(f) - start;
        if (start < 0) return {0, status::kDiskIo};
        if (remaining <= 0) return {0, status::kDiskIo}; // end of file
        std::uint32_t got = 0, end = 0, consumed = 0;
        bool found = false;
        while (!found) {
            if (got == remaining) { // the end of the file ends the last line
                end = consumed = got;
                break;
            }
            if (got == size) {
                if (!EndsRightAfter(f, got, &consumed)) {
                    ::fseeko(f, start, SEEK_SET);
                    return {0, status::kStringTooLong};
                }
                end = got;
                break;
            }
            const std::uint32_t chunk = static_cast<std::uint32_t>(
                std::min<std::int64_t>({kChunkSize, size - got, remaining - got}));
            const std::size_t n = std::fread(buffer + got, 1, chunk, f);
            if (n == 0) return {0, status::kRead};
            const std::uint32_t from = got;
            got += static_cast<std::uint32_t>(n);
            found = FindLineEnd(f, buffer, from, got, &end, &consumed);
        }
        ::fseeko(f, start + consumed, SEEK_SET);
        if (end == 1 && buffer[0] == kCtrlZ) continue; // an end-of-text mark, not a line
        return {end, status::kOk};
    }
}

// Standard input cannot seek: one byte at a time, so nothing past the line is taken.
LineRead ReadConsoleLine(std::FILE* f, char* buffer, std::uint32_t size) {
    for (;;) {
        std::uint32_t got = 0;
        int c = std::getc(f);
        if (c == EOF) return {0, status::kDiskIo};
        for (; c != EOF && c != '\n'; c = std::getc(f)) {
            if (c == '\r') {
                const int next = std::getc(f);
                if (next != '\n' && next != EOF) std::ungetc(next, f);
                break;
            }
            if (got == size) {
                // The rest of the line goes too: left waiting, it would pass for the next line.
                while (c != EOF && c != '\n' && c != '\r') c = std::getc(f);
                if (c == '\r' && (c = std::getc(f)) != '\n' && c != EOF) std::ungetc(c, f);
                return {0, status::kStringTooLong};
            }
            buffer[got++] = static_cast<char>(c);
        }
        if (got == 1 && buffer[0] == kCtrlZ) continue;
        return {got, status::kOk};
    }
}

// Counted read: at most count bytes, never past the end of the file or the buffer.
LineRead ReadCounted(std::FILE* f, bool console, std::uint32_t count, char* buffer,
                     std::uint32_t size) {
    std::uint32_t want = std::min(count, size);
    if (!console) {
        const std::int64_t rest = SizeOf(f) - ::ftello(f);
        want = static_cast<std::uint32_t>(std::clamp<std::int64_t>(rest, 0, want));
    }
    std::uint32_t got = 0;
    while (got < want) {
        const std::size_t n = std::fread(buffer + got, 1, std::min(kChunkSize, want - got), f);
        if (n == 0) break;
        got += static_cast<std::uint32_t>(n);
    }
    return {got, status::kOk};
}

LineRead ReadAt(FileNumber number, std::int64_t position, std::uint16_t count, char* buffer,
                std::uint32_t size) {
    std::FILE* f = Stream(number);
    if (f == nullptr) return {0, status::kDiskIo};
    const bool console = IsStandard(number);
    if (!console && position >= 0 && ::fseeko(f, position, SEEK_SET) != 0) {
        return {0, status::kDiskIo};
    }
    size = std::min(size, kMaxLineResult);
    if (count != kReadOneLine) return ReadCounted(f, console, count, buffer, size);
    return console ? ReadConsoleLine(f, buffer, size) : ReadFileLine(f, buffer, size);
}

// The number of a numbered line: blanks count as zeros; a field that is not a number reads 0.
int LineNumber(TextRef line, const LineKindLayout& layout) {
    const TextRef field = TextSub(line, layout.numberAt, layout.numberWidth);
    int number = 0;
    for (char c : field.view()) {
        if (c != ' ' && (c < '0' || c > '9')) return 0;
        number = number * 10 + (c == ' ' ? 0 : c - '0');
    }
    return number;
}

TextRef RecordOf(TextRef line, const LineKindLayout& layout) {
    const int length = std::max(0, int{line.length} - layout.notInRecord);
    return TextSub(line, layout.recordAt, length);
}

// Opens the file a ReadLines call reads: as given, else, for a bare name, along the default
// folders.
std::uint16_t OpenForLines(TextRef path) {
    std::uint16_t n = FileOpen(path, kReadLinesQuiet);
    if (n < status::kFirstError) return n;
    if (!PathPart(path, pathpart::kDrive | pathpart::kFolder).empty()) return n;
    const TextRef found = FindInFolders(SlotGet(slotgroup::kEnvironment, kDefaultFolderSlot), path);
    return found.empty() ? n : FileOpen(found, kReadLinesFound);
}

// The outcome of writing a whole text.
struct WriteOutcome {
    bool opened = false;
    bool complete = false;
    std::uint32_t written = 0;
    StatusCode refused = status::kOk; // why nothing was even tried
};

// The system's own limit on nested symbolic links.
constexpr int kMaxLinkDepth = 40;

// Where a rewrite of a path lands: a symbolic link is followed to the file it names (also one that
// does not exist yet), so the link stays a link and the file it names gets the new contents.
std::string FollowLinks(std::string path) {
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string link(PATH_MAX + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return path;
        link.resize(static_cast<std::size_t>(n));
        if (link.front() != '/') {
            const std::size_t slash = path.find_last_of('/');
            if (slash != std::string::npos) link.insert(0, path, 0, slash + 1);
        }
        path = std::move(link);
    }
    return path;
}

// No write bit at all, or none that lets this process write. The bits are looked at directly:
// the superuser's writes succeed whatever they say, and a read-only file must stay one for it too.
bool ReadOnlyFile(const char* native, const struct stat& info) {
    constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
    return S_ISREG(info.st_mode) &&
           ((info.st_mode & kWriteBits) == 0 || ::access(native, W_OK) != 0);
}

// Rewrites a file that has other names (hard links) where it is, so every name sees the new
// contents. The old contents are read first; when a write fails part way they are put back, into
// space the file already holds, so a failure still leaves the file as it was.
WriteOutcome RewriteInPlace(const std::string& native, TextRef path, TextRef text) {
    WriteOutcome out;
    std::FILE* f = std::fopen(native.c_str(), "rb+");
    if (f == nullptr) {
        Failure(status::kFileNotFound, path, 0);
        return out;
    }
    out.opened = true;
    std::string old;
    char block[kChunkSize];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) old.append(block, n);
    const bool readWhole = std::ferror(f) == 0;
    const int fd = ::fileno(f);
    bool ok = readWhole && ::fseeko(f, 0, SEEK_SET) == 0;
    if (ok) out.written = WriteAll(f, text);
    ok = ok && out.written == text.length && std::fflush(f) == 0 &&
         ::ftruncate(fd, static_cast<off_t>(text.length)) == 0 && ::fsync(fd) == 0;
    if (!ok && readWhole) {
        // Straight to the C library: these bytes reuse the file's own space, and the failure
        // being undone may be the write seam's.
        std::clearerr(f);
        if (::fseeko(f, 0, SEEK_SET) == 0) {
            std::fwrite(old.data(), 1, old.size(), f);
            std::fflush(f);
            ::ftruncate(fd, static_cast<off_t>(old.size()));
            ::fsync(fd);
        }
    }
    ok = std::fclose(f) == 0 && ok;
    out.complete = ok;
    return out;
}

// Writes text into a new file beside the target and puts it in the target's place only when every
// byte reached the disk. A symbolic link is written through; a file with other names is rewritten
// where it is (RewriteInPlace); a read-only file is refused with 175 and left alone.
WriteOutcome ReplaceFile(TextRef path, TextRef text) {
    WriteOutcome out;
    const ScratchLevel mark = ScratchMark();
    const TextRef onDisk = PathOnDisk(path);
    const std::string native =
        FollowLinks(PathNative(onDisk.failed() ? PathSlashes(path) : onDisk));
    struct stat old;
    const bool existed = ::stat(native.c_str(), &old) == 0;
    if (existed && ReadOnlyFile(native.c_str(), old)) {
        out.refused = Failure(status::kPermissionDenied, path, 0);
        ScratchRelease(mark);
        return out;
    }
    if (existed && S_ISREG(old.st_mode) && old.st_nlink > 1) {
        out = RewriteInPlace(native, path, text);
        ScratchRelease(mark);
        return out;
    }
    std::string temp = native + std::string(kTempSuffix.view());
    const int fd = ::mkstemp(temp.data());
    std::FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (f == nullptr) {
        if (fd >= 0) ::close(fd);
        if (fd >= 0) ::unlink(temp.c_str());
        Failure(status::kFileNotFound, path, 0);
        ScratchRelease(mark);
        return out;
    }
    out.opened = true;
    if (existed) {
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    out.written = WriteAll(f, text);
    bool ok = out.written == text.length && std::fflush(f) == 0 && ::fsync(fd) == 0;
    ok = std::fclose(f) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), native.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    out.complete = ok;
    ScratchRelease(mark);
    return out;
}

WriteOutcome WriteInto(TextRef path, std::int64_t position, TextRef text) {
    if (position == kRewritePosition) return ReplaceFile(path, text);
    WriteOutcome out;
    const std::uint16_t n = FileOpen(path, openflag::kReadWrite);
    if (n >= status::kFirstError) return out;
    out.opened = true;
    std::FILE* f = Stream(n);
    const bool placed =
        position < 0 ? ::fseeko(f, 0, SEEK_END) == 0 : ::fseeko(f, position, SEEK_SET) == 0;
    if (placed) out.written = WriteAll(f, text);
    out.complete = placed && out.written == text.length && std::fflush(f) == 0;
    FileClose(n);
    return out;
}

StatusCode ErrnoStatus(int error) {
    if (error == ENOENT) return status::kFileNotFound;
    if (error == EACCES || error == EPERM || error == EROFS) return status::kPermissionDenied;
    return status::kFileIo;
}

// The file a path names on disk, or the path itself (native) when it does not exist.
const char* DiskName(TextRef path) {
    const TextRef onDisk = PathOnDisk(path);
    return PathNative(onDisk.failed() ? path : onDisk);
}

} // namespace

LineKindLayout LineLayout(int kind) {
    constexpr int kKinds = static_cast<int>(sizeof kLayouts / sizeof kLayouts[0]);
    return kind >= 0 && kind < kKinds ? kLayouts[kind] : kLayouts[0];
}

void FileFailWritesAfter(int allowed, std::uint16_t partial) {
    g_writesAllowed = allowed;
    g_partialWrite = partial;
}

std::uint16_t FileOpen(TextRef path, std::uint16_t flags) {
    if (path.failed() || path.empty() || path.length >= kMaxPathLength) {
        return Failure(status::kData, path, flags);
    }
    if (path.view() == kConsole.view()) {
        const FileNumber n = (flags & kModeBits) == openflag::kCreate ? kStdOut : kStdIn;
        Stream(n);
        return n;
    }
    FileNumber number = kFirstUserFile;
    while (number < kFileTableSize && g_files[number] != nullptr) ++number;
    if (number == kFileTableSize) return Failure(status::kDataOutBound, path, flags);

    const ScratchLevel mark = ScratchMark();
    const char* native = DiskName(path);
    const char* mode = ModeOf(flags);
    std::FILE* f = nullptr;
    if (ReadingMode(flags)) {
        const ReadOpen opened = OpenForReading(native, mode, &f);
        if (opened == ReadOpen::kMissing && (flags & openflag::kNoPlus) == 0) {
            // Exclusive: a file that exists but would not open must never be truncated here.
            if (std::FILE* created = std::fopen(native, "wb+x")) {
                std::fclose(created);
                OpenForReading(native, mode, &f);
            }
        }
    } else {
        f = std::fopen(native, mode);
        if (f != nullptr && IsFolder(f)) { // a folder holds no text
            std::fclose(f);
            f = nullptr;
        }
    }
    ScratchRelease(mark);
    if (f == nullptr) return Failure(status::kFileNotFound, path, flags);
    g_files[number] = f;
    return number;
}

void FileClose(FileNumber number) {
    if (IsStandard(number) || number >= kFileTableSize || g_files[number] == nullptr) return;
    std::fclose(g_files[number]);
    g_files[number] = nullptr;
}

std::int64_t FileSize(FileNumber number) {
    std::FILE* f = Stream(number);
    return f == nullptr || IsStandard(number) ? 0 : SizeOf(f);
}

std::int64_t FilePos(FileNumber number) {
    std::FILE* f = Stream(number);
    const std::int64_t pos = f == nullptr || IsStandard(number) ? 0 : ::ftello(f);
    return pos < 0 ? 0 : pos;
}

StatusCode FileSeek(FileNumber number, std::int64_t position) {
    std::FILE* f = Stream(number);
    if (f == nullptr || IsStandard(number) || position < 0) return status::kDiskIo;
    return ::fseeko(f, position, SEEK_SET) == 0 ? status::kOk : status::kDiskIo;
}

bool FileAtEnd(FileNumber number) {
    std::FILE* f = Stream(number);
    if (f == nullptr) return true;
    if (IsStandard(number)) return std::feof(f) != 0;
    return ::ftello(f) >= SizeOf(f);
}

std::uint16_t FileRead(FileNumber number, std::int64_t position, std::uint16_t count, char* buffer,
                       std::uint32_t bufferSize) {
    const LineRead r = ReadAt(number, position, count, buffer, bufferSize);
    return r.status == status::kOk ? static_cast<std::uint16_t>(r.length) : kIoFailed;
}

TextRef FileReadLine(FileNumber number, std::int64_t position, std::uint16_t count) {
    const ScratchLevel mark = ScratchMark();
    const TextRef free = ScratchFree();
    if (free.failed()) return free;
    const std::uint32_t room =
        count == kReadOneLine ? std::min<std::uint32_t>(free.length, kLineBufferSize) : free.length;
    // The level is taken before reading, so a full stack refuses before a line leaves the file.
    const TextRef area = ScratchAllocText(room, kNoFill);
    if (area.failed()) return area;
    const LineRead r = ReadAt(number, position, count, area.mutableData(), room);
    ScratchRelease(mark);
    if (r.status != status::kOk) return TextRef::Failed(r.status);
    if (count != kReadOneLine && r.length == 0 && count != 0) {
        return TextRef::Failed(status::kDiskIo); // nothing left to read
    }
    return ScratchAllocText(r.length, kNoFill); // the same place: keeps the bytes just read
}

std::uint16_t FileWrite(FileNumber number, std::int64_t position, TextRef text) {
    std::FILE* f = Stream(number);
    if (text.failed() || f == nullptr || number == kStdIn) return kIoFailed;
    if (!IsStandard(number)) {
        const int rc = position < 0 ? ::fseeko(f, 0, SEEK_END) : ::fseeko(f, position, SEEK_SET);
        if (rc != 0) return kIoFailed;
    }
    const std::uint32_t written = WriteAll(f, text);
    // Bytes the C library still holds are not written yet: a full disk shows only on the flush.
    if (std::fflush(f) != 0) return 0;
    return static_cast<std::uint16_t>(written);
}

TextRef FileReadAll(TextRef path, std::int64_t position, std::uint16_t count) {
    const ScratchLevel mark = ScratchMark();
    const std::uint16_t n = FileOpen(path, openflag::kNoPlus);
    if (n >= status::kFirstError) return ScratchReturn(mark, TextRef::Failed(n));
    const std::int64_t start = position < 0 ? 0 : position;
    const std::int64_t rest = std::max<std::int64_t>(0, FileSize(n) - start);
    TextRef result = TextRef::Failed(status::kStringTooLong);
    if (count == kWholeFile && rest > std::int64_t{kMaxTextLength}) {
        // A text holds at most 65535 bytes: the rest of this file would come back cut.
        Failure(status::kStringTooLong, path, 0);
    } else {
        const std::uint32_t want = static_cast<std::uint32_t>(
            count == kWholeFile ? rest : std::min<std::int64_t>(count, rest));
        if (ScratchFreeBytes() < want) {
            result = TextRef::Failed(status::kOutOfMemory);
        } else {
            result = ScratchAllocText(want, kNoFill);
            std::FILE* f = Stream(n);
            if (!result.failed() &&
                (::fseeko(f, start, SEEK_SET) != 0 ||
                 ReadCounted(f, false, want, result.mutableData(), want).length != want)) {
                result = TextRef::Failed(status::kRead);
            }
        }
    }
    FileClose(n);
    return ScratchReturn(mark, result);
}

TextRef FileReadAllJoined(TextRef path, TextRef separator) {
    const ScratchLevel mark = ScratchMark();
    TextRef all = FileReadAll(path, 0, kWholeFile);
    all = TextReplace(all, "\r\n"_t, separator, true);
    all = TextReplace(all, "\n"_t, separator, true);
    return ScratchReturn(mark, all);
}

std::uint16_t FileWriteAll(TextRef path, std::int64_t position, TextRef text) {
    if (text.failed()) return kIoFailed;
    const WriteOutcome out = WriteInto(path, position, text);
    if (!out.opened) return kIoFailed;
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(out.written, kIoFailed));
}

StatusCode FileSave(TextRef path, std::int64_t position, TextRef text) {
    if (text.failed()) return status::kFileIo;
    const WriteOutcome out = WriteInto(path, position, text);
    if (out.complete) return status::kOk;
    if (out.refused != status::kOk) return out.refused;
    // A file that could not be opened has already left its path in the error detail.
    if (out.opened) return Failure(status::kFileIo, path, 0);
    return status::kFileIo;
}

bool FileReadOnly(TextRef path) {
    if (path.failed()) return false;
    const ScratchLevel mark = ScratchMark();
    const TextRef onDisk = PathOnDisk(path);
    const std::string native = onDisk.failed() ? std::string() : FollowLinks(PathNative(onDisk));
    struct stat info;
    const bool readOnly =
        !native.empty() && ::stat(native.c_str(), &info) == 0 && ReadOnlyFile(native.c_str(), info);
    ScratchRelease(mark);
    return readOnly;
}

StatusCode FileReadRefusal(TextRef path) {
    if (path.failed()) return path.status();
    if (path.empty() || path.length >= kMaxPathLength) return status::kData;
    const ScratchLevel mark = ScratchMark();
    std::FILE* f = nullptr;
    const ReadOpen opened = OpenForReading(DiskName(path), "rb", &f);
    ScratchRelease(mark);
    if (f != nullptr) std::fclose(f);
    switch (opened) {
    case ReadOpen::kOpened:
        return status::kOk;
    case ReadOpen::kMissing:
        return status::kFileNotFound;
    case ReadOpen::kDenied:
        return status::kPermissionDenied;
    default:
        return status::kOpen;
    }
}

std::int64_t FileLength(TextRef path) {
    const ScratchLevel mark = ScratchMark();
    struct stat info;
    const bool ok = !path.failed() && ::stat(DiskName(path), &info) == 0 && S_ISREG(info.st_mode);
    ScratchRelease(mark);
    return ok ? static_cast<std::int64_t>(info.st_size) : 0;
}

StatusCode FileDelete(TextRef path) {
    if (path.failed()) return path.status();
    const ScratchLevel mark = ScratchMark();
    const int rc = std::remove(DiskName(path));
    const int error = errno;
    ScratchRelease(mark);
    return rc == 0 ? status::kOk : ErrnoStatus(error);
}

StatusCode FileRename(TextRef oldPath, TextRef newPath) {
    if (oldPath.failed()) return oldPath.status();
    if (newPath.failed()) return newPath.status();
    const ScratchLevel mark = ScratchMark();
    const int rc = std::rename(DiskName(oldPath), PathNative(newPath));
    const int error = errno;
    ScratchRelease(mark);
    return rc == 0 ? status::kOk : ErrnoStatus(error);
}

std::uint16_t ReadLines(TextRef path, int kind, int key, SlotGroup group) {
    const ScratchLevel mark = ScratchMark();
    const std::uint16_t n = OpenForLines(path);
    ScratchRelease(mark);
    if (n >= status::kFirstError) return kIoFailed;
    const LineKindLayout layout = LineLayout(kind);
    const std::uint16_t before = SlotCount(group);
    std::uint16_t taken = 0;
    bool ok = true;
    for (;;) {
        const TextRef line = FileReadLine(n, kCurrentPosition, kReadOneLine);
        if (line.failed()) {
            ok = line.status() == status::kDiskIo; // the end of the file
            break;
        }
        const bool take = layout.numberAt < 0 || LineNumber(line, layout) == key;
        const TextRef record = layout.numberAt < 0 ? line : RecordOf(line, layout);
        ok = !take || SlotPush(group, record) == status::kOk;
        ScratchRelease(mark);
        if (!ok) break;
        taken = static_cast<std::uint16_t>(taken + (take ? 1 : 0));
    }
    FileClose(n);
    if (ok) return taken;
    // Half a file is worse than none: whoever reads the group next would take it for the whole.
    while (SlotCount(group) > before) SlotDelete(group, before);
    return kIoFailed;
}

void PushFileText(TextRef path, int kind, int key) {
    const ScratchLevel mark = ScratchMark();
    const SlotGroup lines = slotgroup::kFileLines;
    const std::uint16_t before = SlotCount(lines);
    TextRef joined = TextDup(TextRef());
    if (ReadLines(path, kind, key, lines) != kIoFailed) {
        for (std::uint16_t i = before; i < SlotCount(lines) && !joined.failed(); ++i) {
            const TextRef item = SlotGet(lines, i);
            if (i > before) joined = TextConcat(joined, ":"_t);
            joined = ScratchReturn(mark, TextConcat(joined, item)); // one level, however many lines
        }
        while (SlotCount(lines) > before) SlotDelete(lines, before);
    }
    SlotPush(slotgroup::kFileTexts, joined.failed() ? TextRef() : joined);
    ScratchRelease(mark);
}

void PopFileText() { SlotPop(slotgroup::kFileTexts); }

TextRef WithKindExtension(TextRef name, int kind) {
    const bool known = kind >= 1 && kind <= ListCount(kKindExtensions, ',');
    const TextRef extension =
        known ? ListItem(kKindExtensions, ',', std::uint16_t(kind)) : TextRef();
    return PathAddExt(name, extension);
}

TextRef IndexExtension(int k) {
    const TextRef item = ListItem(kIndexExtensions, ',', std::uint16_t(k & ~kIndexLowerCase));
    return (k & kIndexLowerCase) != 0 ? TextCase(item, 0) : TextDup(item);
}

} // namespace vodarir
