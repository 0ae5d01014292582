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
//  5. Every open, read, write, flush and rename of this layer asks the fault seam (FileFaultHits)
//     first, so tests can fail each of them in turn.
//  6. The line reader reads ahead in blocks: bytes [begin, end) of a file's block are the file's
//     bytes from its reading position on, and the stream stands at streamAt, the offset of the
//     block's end. Every other step on the file first gives back what was read ahead (Settle), so
//     the stream's position is the file's again.
#include "host/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/file_faults.h"
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
// Writes move at most this many bytes a call.
constexpr std::uint32_t kChunkSize = 512;
// Reads take blocks of this size: a definition file in one or a few calls.
constexpr std::uint32_t kReadBlock = 16384;
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

// An open file: its stream and the line reader's read-ahead (invariant 6).
struct OpenFile {
    std::FILE* stream = nullptr;
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    std::int64_t streamAt = -1; // -1: not known (nothing read ahead)
};

OpenFile g_files[kFileTableSize];
// Where FileLineView puts a line that is not whole in the block read ahead, one per file number so
// that a reader of one file (a dictionary) may read another (one it includes) between two lines.
char g_lineBuffers[kFileTableSize][kLineBufferSize];
// The read-ahead blocks, one per file number: kept apart so that no file's reading ever waits on
// another's, and static so that reading a line never allocates.
char g_blocks[kFileTableSize][kReadBlock];

std::FILE* Stream(FileNumber n) {
    if (n >= kFileTableSize) return nullptr;
    if (g_files[n].stream == nullptr && n < kFirstUserFile) {
        std::FILE* const standard[kFirstUserFile] = {stdin, stdout, stderr};
        g_files[n].stream = standard[n];
    }
    return g_files[n].stream;
}

bool IsStandard(FileNumber n) { return n < kFirstUserFile; }

// ---- The seam: every step that can fail asks first (invariant 5) ------------------------------

std::FILE* SeamFopen(const char* native, const char* mode) {
    if (FileFaultHits(FileOp::kOpen)) {
        errno = EIO;
        return nullptr;
    }
    return std::fopen(native, mode);
}

int SeamOpen(const char* native, int flags) {
    if (FileFaultHits(FileOp::kOpen)) {
        errno = EIO;
        return -1;
    }
    return ::open(native, flags);
}

int SeamMkstemp(std::string* pattern) {
    if (FileFaultHits(FileOp::kOpen)) {
        errno = EIO;
        return -1;
    }
    return ::mkstemp(pattern->data());
}

// Reads up to n bytes; *failed tells a failure from the end of the file.
std::size_t SeamRead(std::FILE* f, char* into, std::size_t n, bool* failed) {
    if (FileFaultHits(FileOp::kRead)) {
        *failed = true;
        return 0;
    }
    const std::size_t got = std::fread(into, 1, n, f);
    *failed = got < n && std::ferror(f) != 0;
    return got;
}

std::size_t WriteChunk(std::FILE* f, const char* data, std::size_t n) {
    std::uint32_t partial = 0;
    if (FileFaultHits(FileOp::kWrite, &partial)) { // comes up short, as on a full disk
        const std::size_t part = std::min<std::size_t>(partial, n == 0 ? 0 : n - 1);
        return std::fwrite(data, 1, part, f);
    }
    return std::fwrite(data, 1, n, f);
}

bool SeamFlush(std::FILE* f) { return !FileFaultHits(FileOp::kFlush) && std::fflush(f) == 0; }

bool SeamSync(int fd) { return !FileFaultHits(FileOp::kFlush) && ::fsync(fd) == 0; }

// Closes a stream that was written to: the close writes what the C library still holds, so it can
// fail like a flush. The stream is closed either way.
bool SeamCloseWritten(std::FILE* f) {
    const bool refused = FileFaultHits(FileOp::kFlush);
    return std::fclose(f) == 0 && !refused;
}

int SeamRename(const char* from, const char* to) {
    if (FileFaultHits(FileOp::kRename)) {
        errno = EIO;
        return -1;
    }
    return std::rename(from, to);
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
    const int fd = SeamOpen(native, (update ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
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

// ---- The read-ahead (invariant 6) ---------------------------------------------------------------

std::uint32_t Unread(const OpenFile& of) { return of.end - of.begin; }

// The file's reading position: the stream's, less what was read ahead and not taken yet.
std::int64_t Position(OpenFile& of) {
    if (of.streamAt < 0) of.streamAt = ::ftello(of.stream);
    return of.streamAt < 0 ? -1 : of.streamAt - Unread(of);
}

// Gives back what was read ahead: the stream stands at the file's reading position again.
bool Settle(OpenFile& of) {
    bool ok = true;
    if (Unread(of) > 0 && of.streamAt >= 0) {
        ok = ::fseeko(of.stream, of.streamAt - Unread(of), SEEK_SET) == 0;
    }
    of.begin = of.end = 0;
    of.streamAt = -1;
    return ok;
}

// Puts the reading position back at `at`, a place the reader was at before.
void Restore(OpenFile& of, std::int64_t at) {
    const std::int64_t blockStart = of.streamAt - of.end;
    if (of.streamAt >= 0 && at >= blockStart && at <= of.streamAt) {
        of.begin = static_cast<std::uint32_t>(at - blockStart);
        return;
    }
    of.begin = of.end = 0;
    of.streamAt = ::fseeko(of.stream, at, SEEK_SET) == 0 ? at : -1;
}

enum class Fill { kSome, kEnd, kFailed };

// Reads the next block once every byte of the last one was taken.
Fill FillBlock(OpenFile& of, char* block) {
    if (Position(of) < 0) return Fill::kFailed;
    of.begin = of.end = 0;
    bool failed = false;
    const std::size_t got = SeamRead(of.stream, block, kReadBlock, &failed);
    of.end = static_cast<std::uint32_t>(got);
    of.streamAt += static_cast<std::int64_t>(got);
    if (got > 0) return Fill::kSome;
    return failed ? Fill::kFailed : Fill::kEnd;
}

// One line read: its length, or a status (130 end of file, 146 too long, 136 read failure).
struct LineRead {
    std::uint32_t length = 0;
    StatusCode status = status::kOk;
};

// The first CR or LF of [from, to), or to. Lines are short, so a library search costs more to set
// up than a line takes; eight bytes are looked at a time instead. In a word x (the bytes xored
// with the one looked for), (x - 0x01..01) & ~x & 0x80..80 sets the high bit of every zero byte,
// and of no byte below the first zero, so its lowest set bit is the first match.
const char* LineEndIn(const char* from, const char* to) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHighs = 0x8080808080808080ull;
        const auto zeros = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
        while (to - from >= 8) {
            std::uint64_t word;
            std::memcpy(&word, from, sizeof word);
            const std::uint64_t hits = zeros(word ^ (kOnes * '\r')) | zeros(word ^ (kOnes * '\n'));
            if (hits != 0) return from + std::countr_zero(hits) / 8;
            from += 8;
        }
    }
    while (from < to && *from != '\r' && *from != '\n') ++from;
    return from;
}

// Reads one line of a file into out (at most size bytes) from the read-ahead block. A line longer
// than size, a failed read, and the end of the file leave the reading position where the line
// began.
LineRead ReadFileLine(FileNumber number, char* out, std::uint32_t size) {
    OpenFile& of = g_files[number];
    char* const block = g_blocks[number];
    for (;;) {
        const std::int64_t lineStart = Position(of);
        if (lineStart < 0) return {0, status::kDiskIo};
        std::uint32_t got = 0;
        bool seen = false; // a byte of the line or its ending: the line exists
        for (;;) {
            if (of.begin == of.end) {
                const Fill fill = FillBlock(of, block);
                if (fill == Fill::kFailed) {
                    Restore(of, lineStart);
                    return {0, status::kRead};
                }
                if (fill == Fill::kEnd) { // the end of the file ends the last line
                    if (!seen) return {0, status::kDiskIo};
                    break;
                }
            }
            const char* from = block + of.begin;
            const char* stop = LineEndIn(from, block + of.end);
            const std::uint32_t n = static_cast<std::uint32_t>(stop - from);
            if (n > size - got) {
                Restore(of, lineStart);
                return {0, status::kStringTooLong};
            }
            std::memcpy(out + got, from, n);
            got += n;
            of.begin += n;
            seen = seen || n > 0;
            if (of.begin == of.end) continue; // no ending yet
            seen = true;
            const char ending = block[of.begin++];
            if (ending == '\r') { // a CR followed by an LF ends the line with both
                if (of.begin == of.end && FillBlock(of, block) == Fill::kFailed) {
                    Restore(of, lineStart);
                    return {0, status::kRead};
                }
                if (of.begin < of.end && block[of.begin] == '\n') ++of.begin;
            }
            break;
        }
        if (got == 1 && out[0] == kCtrlZ) continue; // an end-of-text mark, not a line
        return {got, status::kOk};
    }
}

// A whole line already read ahead, at most size bytes, that is no Ctrl-Z mark: where it lies in the
// block and how many bytes it and its ending take. False when the line needs the general reader.
bool LineInBlock(FileNumber number, std::uint32_t size, const char** line, std::uint32_t* length,
                 std::uint32_t* taken) {
    const OpenFile& of = g_files[number];
    const char* const block = g_blocks[number];
    const char* from = block + of.begin;
    const char* const end = block + of.end;
    const char* stop = LineEndIn(from, end);
    // The ending must be there, and after a CR the byte that may be its LF.
    if (stop == end || (*stop == '\r' && stop + 1 == end)) return false;
    const std::uint32_t n = static_cast<std::uint32_t>(stop - from);
    if (n > size || (n == 1 && *from == kCtrlZ)) return false;
    *line = from;
    *length = n;
    *taken = n + 1 + (*stop == '\r' && stop[1] == '\n' ? 1 : 0);
    return true;
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

// Counted read: at most count bytes, never past the end of the file or the buffer. A failed read
// gives kRead, never the bytes before it as if they were all.
LineRead ReadCounted(std::FILE* f, bool console, std::uint32_t count, char* buffer,
                     std::uint32_t size) {
    std::uint32_t want = std::min(count, size);
    if (!console) {
        const std::int64_t rest = SizeOf(f) - ::ftello(f);
        want = static_cast<std::uint32_t>(std::clamp<std::int64_t>(rest, 0, want));
    }
    std::uint32_t got = 0;
    while (got < want) {
        bool failed = false;
        const std::size_t n = SeamRead(f, buffer + got, want - got, &failed);
        if (failed) return {0, status::kRead};
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
    size = std::min(size, kMaxLineResult);
    if (console) {
        return count == kReadOneLine ? ReadConsoleLine(f, buffer, size)
                                     : ReadCounted(f, true, count, buffer, size);
    }
    OpenFile& of = g_files[number];
    if (position >= 0) {
        // Reading on from where the last line ended needs no seek: the bytes are read ahead.
        if (Position(of) != position) {
            of.begin = of.end = 0;
            of.streamAt = -1;
            if (::fseeko(f, position, SEEK_SET) != 0) return {0, status::kDiskIo};
        }
    }
    if (count == kReadOneLine) return ReadFileLine(number, buffer, size);
    if (!Settle(of)) return {0, status::kDiskIo};
    return ReadCounted(f, false, count, buffer, size);
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
    std::FILE* f = SeamFopen(native.c_str(), "rb+");
    if (f == nullptr) {
        Failure(status::kFileNotFound, path, 0);
        return out;
    }
    out.opened = true;
    std::string old;
    char block[kReadBlock];
    bool readWhole = true;
    for (;;) {
        bool failed = false;
        const std::size_t n = SeamRead(f, block, sizeof block, &failed);
        old.append(block, n);
        if (failed) readWhole = false;
        if (failed || n == 0) break;
    }
    const int fd = ::fileno(f);
    bool ok = readWhole && ::fseeko(f, 0, SEEK_SET) == 0;
    if (ok) out.written = WriteAll(f, text);
    ok = ok && out.written == text.length && SeamFlush(f) &&
         ::ftruncate(fd, static_cast<off_t>(text.length)) == 0 && SeamSync(fd);
    if (!ok && readWhole) {
        // Straight to the C library: these bytes reuse the file's own space, and the failure
        // being undone may be the seam's.
        std::clearerr(f);
        if (::fseeko(f, 0, SEEK_SET) == 0) {
            std::fwrite(old.data(), 1, old.size(), f);
            std::fflush(f);
            ::ftruncate(fd, static_cast<off_t>(old.size()));
            ::fsync(fd);
        }
    }
    // Everything reached the disk before the close (the sync said so): a close that fails now
    // has nothing left to lose, and the contents can no longer be put back.
    std::fclose(f);
    out.complete = ok;
    return out;
}

// After a rename the folder holds the new name; its sync makes that last through a power cut.
// Nothing can be undone by then, so a failure here changes nothing.
void SyncFolderOf(const std::string& native) {
    const std::size_t slash = native.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : native.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes text into a new file beside the target and puts it in the target's place only when every
// byte reached the disk. A symbolic link is written through; a file with other names is rewritten
// where it is (RewriteInPlace); a read-only file is refused with kPermissionDenied and left alone.
WriteOutcome ReplaceFile(TextRef path, TextRef text) {
    WriteOutcome out;
    const ScratchScope scope;
    const TextRef onDisk = PathOnDisk(path);
    const std::string native =
        FollowLinks(PathNative(onDisk.failed() ? PathSlashes(path) : onDisk));
    struct stat old;
    const bool existed = ::stat(native.c_str(), &old) == 0;
    if (existed && ReadOnlyFile(native.c_str(), old)) {
        out.refused = Failure(status::kPermissionDenied, path, 0);
        return out;
    }
    if (existed && S_ISREG(old.st_mode) && old.st_nlink > 1) {
        return RewriteInPlace(native, path, text);
    }
    std::string temp = native + std::string(kTempSuffix.view());
    const int fd = SeamMkstemp(&temp);
    std::FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (f == nullptr) {
        if (fd >= 0) ::close(fd);
        if (fd >= 0) ::unlink(temp.c_str());
        Failure(status::kFileNotFound, path, 0);
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
    bool ok = out.written == text.length && SeamFlush(f) && SeamSync(fd);
    ok = SeamCloseWritten(f) && ok;
    ok = ok && SeamRename(temp.c_str(), native.c_str()) == 0;
    if (ok) SyncFolderOf(native);
    if (!ok) ::unlink(temp.c_str());
    out.complete = ok;
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
    out.complete = placed && out.written == text.length && SeamFlush(f);
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
    if (allowed < 0) {
        FileFaultsOff();
        return;
    }
    FileFaultArm({FileOp::kWrite, allowed + 1, FileFault::kShort, true, partial});
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
    while (number < kFileTableSize && g_files[number].stream != nullptr) ++number;
    if (number == kFileTableSize) return Failure(status::kDataOutBound, path, flags);

    std::FILE* f = nullptr;
    {
        const ScratchScope scope;
        const char* mode = ModeOf(flags);
        if (ReadingMode(flags)) {
            // The name as written first: the search without regard to case is for names that are
            // not there as written, and looking for one costs a call to the system.
            const char* native = PathNative(path);
            ReadOpen opened = OpenForReading(native, mode, &f);
            if (opened == ReadOpen::kMissing) {
                const char* onDisk = DiskName(path);
                if (std::strcmp(onDisk, native) != 0) {
                    native = onDisk;
                    opened = OpenForReading(native, mode, &f);
                }
            }
            if (opened == ReadOpen::kMissing && (flags & openflag::kNoPlus) == 0) {
                // Exclusive: a file that exists but would not open must never be truncated here.
                if (std::FILE* created = SeamFopen(native, "wb+x")) {
                    std::fclose(created);
                    OpenForReading(native, mode, &f);
                }
            }
        } else {
            f = SeamFopen(DiskName(path), mode);
            if (f != nullptr && IsFolder(f)) { // a folder holds no text
                std::fclose(f);
                f = nullptr;
            }
        }
    }
    if (f == nullptr) return Failure(status::kFileNotFound, path, flags);
    g_files[number] = OpenFile{f};
    // A file opened for reading is read from its start: no need to ask the system where it stands.
    if (ReadingMode(flags)) g_files[number].streamAt = 0;
    return number;
}

void FileClose(FileNumber number) {
    if (IsStandard(number) || number >= kFileTableSize || g_files[number].stream == nullptr) return;
    std::fclose(g_files[number].stream);
    g_files[number] = OpenFile{};
}

std::uint16_t FilesOpen() {
    std::uint16_t n = 0;
    for (FileNumber i = kFirstUserFile; i < kFileTableSize; ++i) {
        if (g_files[i].stream != nullptr) ++n;
    }
    return n;
}

std::int64_t FileSize(FileNumber number) {
    std::FILE* f = Stream(number);
    return f == nullptr || IsStandard(number) ? 0 : SizeOf(f);
}

std::int64_t FilePos(FileNumber number) {
    if (Stream(number) == nullptr || IsStandard(number)) return 0;
    const std::int64_t pos = Position(g_files[number]);
    return pos < 0 ? 0 : pos;
}

StatusCode FileSeek(FileNumber number, std::int64_t position) {
    std::FILE* f = Stream(number);
    if (f == nullptr || IsStandard(number) || position < 0) return status::kDiskIo;
    OpenFile& of = g_files[number];
    of.begin = of.end = 0;
    of.streamAt = -1;
    return ::fseeko(f, position, SEEK_SET) == 0 ? status::kOk : status::kDiskIo;
}

bool FileAtEnd(FileNumber number) {
    std::FILE* f = Stream(number);
    if (f == nullptr) return true;
    if (IsStandard(number)) return std::feof(f) != 0;
    OpenFile& of = g_files[number];
    return Unread(of) == 0 && Position(of) >= SizeOf(f);
}

std::uint16_t FileRead(FileNumber number, std::int64_t position, std::uint16_t count, char* buffer,
                       std::uint32_t bufferSize) {
    const LineRead r = ReadAt(number, position, count, buffer, bufferSize);
    return r.status == status::kOk ? static_cast<std::uint16_t>(r.length) : kIoFailed;
}

TextRef FileReadLine(FileNumber number, std::int64_t position, std::uint16_t count) {
    // Reading on line by line, the next line is most often whole in the block read ahead: one
    // level of its exact length, one copy.
    if (count == kReadOneLine && position < 0 && number < kFileTableSize && !IsStandard(number) &&
        g_files[number].stream != nullptr) {
        const char* line = nullptr;
        std::uint32_t length = 0;
        std::uint32_t taken = 0;
        if (LineInBlock(number, kLineBufferSize, &line, &length, &taken)) {
            const TextRef level = ScratchAllocText(length, kNoFill);
            if (level.failed()) return level;
            std::memcpy(level.mutableData(), line, length);
            g_files[number].begin += taken;
            return level;
        }
    }
    ScratchScope scope;
    const TextRef free = ScratchFree();
    if (free.failed()) return free;
    const std::uint32_t room =
        count == kReadOneLine ? std::min<std::uint32_t>(free.length, kLineBufferSize) : free.length;
    // The level is taken before reading, so a full stack refuses before a line leaves the file.
    const TextRef area = ScratchAllocText(room, kNoFill);
    if (area.failed()) return area;
    const LineRead r = ReadAt(number, position, count, area.mutableData(), room);
    if (r.status != status::kOk) return TextRef::Failed(r.status);
    if (count != kReadOneLine && r.length == 0 && count != 0) {
        return TextRef::Failed(status::kDiskIo); // nothing left to read
    }
    // The bytes read become the caller's level, where they already lie.
    return scope.Return(TextRef(area.data, static_cast<std::uint16_t>(r.length)));
}

TextRef FileLineView(FileNumber number) {
    if (number >= kFileTableSize || IsStandard(number) || g_files[number].stream == nullptr) {
        return TextRef::Failed(status::kDiskIo);
    }
    const char* line = nullptr;
    std::uint32_t length = 0;
    std::uint32_t taken = 0;
    if (LineInBlock(number, kLineBufferSize, &line, &length, &taken)) {
        g_files[number].begin += taken;
        return TextRef(line, static_cast<std::uint16_t>(length));
    }
    // Across the end of the block, at the end of the file, a mark to skip, a line too long: the
    // reader that handles every case, into this file's own line buffer.
    const LineRead r = ReadFileLine(number, g_lineBuffers[number], kLineBufferSize);
    if (r.status != status::kOk) return TextRef::Failed(r.status);
    return TextRef(g_lineBuffers[number], static_cast<std::uint16_t>(r.length));
}

std::uint16_t FileWrite(FileNumber number, std::int64_t position, TextRef text) {
    std::FILE* f = Stream(number);
    if (text.failed() || f == nullptr || number == kStdIn) return kIoFailed;
    if (!IsStandard(number)) {
        // Bytes read ahead may be about to change: they are dropped, and the write seeks.
        OpenFile& of = g_files[number];
        of.begin = of.end = 0;
        of.streamAt = -1;
        const int rc = position < 0 ? ::fseeko(f, 0, SEEK_END) : ::fseeko(f, position, SEEK_SET);
        if (rc != 0) return kIoFailed;
    }
    const std::uint32_t written = WriteAll(f, text);
    // Bytes the C library still holds are not written yet: a full disk shows only on the flush.
    if (!SeamFlush(f)) return 0;
    return static_cast<std::uint16_t>(written);
}

TextRef FileReadAll(TextRef path, std::int64_t position, std::uint16_t count) {
    ScratchScope scope;
    const std::uint16_t n = FileOpen(path, openflag::kNoPlus);
    if (n >= status::kFirstError) return scope.Return(TextRef::Failed(n));
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
            if (!result.failed()) {
                const LineRead r = ::fseeko(f, start, SEEK_SET) != 0
                                       ? LineRead{0, status::kRead}
                                       : ReadCounted(f, false, want, result.mutableData(), want);
                // A file that failed, or came up shorter than its size, never passes for whole.
                if (r.status != status::kOk || r.length != want) {
                    Failure(status::kRead, path, 0);
                    result = TextRef::Failed(status::kRead);
                }
            }
        }
    }
    FileClose(n);
    return scope.Return(result);
}

TextRef FileReadAllJoined(TextRef path, TextRef separator) {
    ScratchScope scope;
    TextRef all = FileReadAll(path, 0, kWholeFile);
    all = TextReplace(all, "\r\n"_t, separator, true);
    all = TextReplace(all, "\n"_t, separator, true);
    return scope.Return(all);
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
    const ScratchScope scope;
    const TextRef onDisk = PathOnDisk(path);
    const std::string native = onDisk.failed() ? std::string() : FollowLinks(PathNative(onDisk));
    struct stat info;
    return !native.empty() && ::stat(native.c_str(), &info) == 0 &&
           ReadOnlyFile(native.c_str(), info);
}

bool FileHasOtherNames(TextRef path) {
    if (path.failed()) return false;
    const ScratchScope scope;
    const TextRef onDisk = PathOnDisk(path);
    const std::string native = onDisk.failed() ? std::string() : FollowLinks(PathNative(onDisk));
    struct stat info;
    return !native.empty() && ::stat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_nlink > 1;
}

StatusCode FileReadRefusal(TextRef path) {
    if (path.failed()) return path.status();
    if (path.empty() || path.length >= kMaxPathLength) return status::kData;
    std::FILE* f = nullptr;
    ReadOpen opened;
    {
        const ScratchScope scope;
        opened = OpenForReading(DiskName(path), "rb", &f);
    }
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
    const ScratchScope scope;
    struct stat info;
    const bool ok = !path.failed() && ::stat(DiskName(path), &info) == 0 && S_ISREG(info.st_mode);
    return ok ? static_cast<std::int64_t>(info.st_size) : 0;
}

StatusCode FileDelete(TextRef path) {
    if (path.failed()) return path.status();
    const ScratchScope scope;
    const int rc = std::remove(DiskName(path));
    return rc == 0 ? status::kOk : ErrnoStatus(errno);
}

StatusCode FileRename(TextRef oldPath, TextRef newPath) {
    if (oldPath.failed()) return oldPath.status();
    if (newPath.failed()) return newPath.status();
    const ScratchScope scope;
    const int rc = SeamRename(DiskName(oldPath), PathNative(newPath));
    return rc == 0 ? status::kOk : ErrnoStatus(errno);
}

std::uint16_t ReadLines(TextRef path, int kind, int key, SlotGroup group) {
    ScratchScope scope;
    const std::uint16_t n = OpenForLines(path);
    scope.Release();
    if (n >= status::kFirstError) return kIoFailed;
    const LineKindLayout layout = LineLayout(kind);
    const std::uint16_t before = SlotCount(group);
    std::uint16_t taken = 0;
    bool ok = true;
    for (;;) {
        const TextRef line = FileReadLine(n, kCurrentPosition, kReadOneLine);
        if (line.failed()) {
            ok = line.status() == status::kDiskIo; // the end of the file
            // A disk that fails part way is recorded, with the file, for whoever reports it.
            if (line.status() == status::kRead) Failure(status::kRead, path, 0);
            break;
        }
        const bool take = layout.numberAt < 0 || LineNumber(line, layout) == key;
        const TextRef record = layout.numberAt < 0 ? line : RecordOf(line, layout);
        ok = !take || SlotPush(group, record) == status::kOk;
        scope.Release();
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
    const ScratchScope scope;
    const SlotGroup lines = slotgroup::kFileLines;
    const std::uint16_t before = SlotCount(lines);
    TextRef joined = TextDup(TextRef());
    if (ReadLines(path, kind, key, lines) != kIoFailed) {
        for (std::uint16_t i = before; i < SlotCount(lines) && !joined.failed(); ++i) {
            const TextRef item = SlotGet(lines, i);
            if (i > before) joined = TextConcat(joined, ":"_t);
            // One level, however many lines.
            joined = ScratchReturn(scope.mark(), TextConcat(joined, item));
        }
        while (SlotCount(lines) > before) SlotDelete(lines, before);
    }
    SlotPush(slotgroup::kFileTexts, joined.failed() ? TextRef() : joined);
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
    return (k & kIndexLowerCase) != 0 ? TextCase(item, LetterCase::Lower) : TextDup(item);
}

} // namespace vodarir
