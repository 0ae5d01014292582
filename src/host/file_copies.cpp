// Whole-file copies and files put in place together.
//
// Invariants:
//  1. A target is only ever replaced by a rename of a complete, synced file that lies in the same
//     folder (so the rename cannot cross file systems).
//  2. While PutInPlace runs, each target's old file is either in place or kept under a name of its
//     own beside it, until every target has its new file; only then are the kept files deleted.
#include "host/file_copies.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/paths.h"
#include "host/text_files.h"
#include "host/unique_names.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

StatusCode Failed(StatusCode st, TextRef path) { return LogErrorText(st, path, true); }

bool Exists(TextRef path) { return !PathOnDisk(path).failed(); }

} // namespace

TextRef ReplacedFile(TextRef target) {
    if (target.failed()) return target;
    ScratchScope scope;
    const TextRef onDisk = PathOnDisk(target);
    if (onDisk.failed()) return scope.Return(PathSlashes(target));
    const char* native = PathNative(onDisk);
    struct stat info;
    if (::lstat(native, &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(native, resolved) != nullptr) {
            const std::string_view named(resolved);
            if (named.size() <= kMaxTextLength) return scope.Return(TextView(named));
        }
    }
    return scope.Return(onDisk);
}

TextRef CreateBeside(TextRef target) {
    if (target.failed()) return target;
    ScratchScope scope;
    const TextRef folder = PathPart(target, pathpart::kDrive | pathpart::kFolder);
    const TextRef before = TextConcat(PathPart(target, pathpart::kName), "."_t);
    const TextRef extension = PathPart(target, pathpart::kExtension);
    // A name without an extension still gets a dot before the unique part's end, so the unique
    // part stands between dots as in every other copy the program makes.
    const TextRef after = extension.empty() ? ".tmp"_t : extension;
    return scope.Return(CreateUniqueFile(folder, TextRemoveChars(before, "/\\"_t), after));
}

StatusCode CopyFileWhole(TextRef from, TextRef to) {
    ScratchScope scope;
    const std::uint16_t in = FileOpen(from, openflag::kNoPlus);
    if (in >= status::kFirstError) return in;
    const std::uint16_t out = FileOpen(to, openflag::kCreate);
    if (out >= status::kFirstError) {
        FileClose(in);
        return out;
    }
    StatusCode st = status::kOk;
    char* buffer = ScratchAllocPtr(kCopyBlock, kNoFill);
    if (buffer == nullptr) st = status::kOutOfMemory;
    const std::int64_t size = FileSize(in);
    for (std::int64_t done = 0; st == status::kOk && done < size;) {
        const auto want =
            static_cast<std::uint16_t>(std::min<std::int64_t>(kCopyBlock, size - done));
        const std::uint16_t got = FileRead(in, done, want, buffer, kCopyBlock);
        if (got != want) {
            st = Failed(status::kRead, from);
        } else if (FileWrite(out, kCurrentPosition, TextRef(buffer, got)) != got) {
            st = Failed(status::kFileIo, to);
        }
        done += want;
    }
    FileClose(in);
    FileClose(out);
    return st;
}

StatusCode SyncFile(TextRef path) {
    ScratchScope scope;
    const int fd = ::open(PathNative(path), O_RDONLY);
    if (fd < 0) return Failed(status::kFileIo, path);
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced ? status::kOk : Failed(status::kFileIo, path);
}

StatusCode PutInPlace(std::span<const Placement> placements) {
    ScratchScope scope;
    // The old file of each target, kept beside it while the others are replaced ("": none).
    std::vector<std::string> kept(placements.size());
    std::size_t placed = 0;
    StatusCode st = status::kOk;
    for (; placed < placements.size(); ++placed) {
        const Placement& p = placements[placed];
        const TextRef target = TextView(p.target);
        if (Exists(target)) {
            const TextRef keep = CreateBeside(target);
            st = keep.failed() ? keep.status() : FileRename(target, keep);
            if (st != status::kOk) {
                if (!keep.failed()) FileDelete(keep);
                Failed(st, target);
                break;
            }
            kept[placed].assign(keep.view());
        }
        st = FileRename(TextView(p.written), target);
        if (st != status::kOk) {
            Failed(st, target);
            if (!kept[placed].empty()) FileRename(TextView(kept[placed]), target);
            kept[placed].clear();
            break;
        }
        scope.Release();
    }
    if (st == status::kOk) {
        for (const std::string& k : kept) {
            if (!k.empty()) FileDelete(TextView(k));
        }
        return status::kOk;
    }
    // Back as it was: the targets replaced so far get their old files again, and nothing written
    // is left behind.
    for (std::size_t i = 0; i < placed; ++i) {
        const TextRef target = TextView(placements[i].target);
        if (!kept[i].empty()) {
            FileRename(TextView(kept[i]), target);
        } else {
            FileDelete(target);
        }
    }
    for (std::size_t i = placed; i < placements.size(); ++i) {
        FileDelete(TextView(placements[i].written));
    }
    return st;
}

StatusCode FinishBeside(TextRef written, TextRef target, StatusCode st) {
    if (st == status::kOk) st = SyncFile(written);
    if (st != status::kOk) {
        FileDelete(written);
        return st;
    }
    const Placement placement{std::string(written.view()), std::string(target.view())};
    return PutInPlace(std::span<const Placement>(&placement, 1));
}

StatusCode ReplaceWithCopy(TextRef from, TextRef to) {
    ScratchScope scope;
    const TextRef target = ReplacedFile(to);
    if (target.failed()) return target.status();
    const TextRef written = CreateBeside(target);
    if (written.failed()) return written.status();
    return FinishBeside(written, target, CopyFileWhole(from, written));
}

} // namespace vodarir
