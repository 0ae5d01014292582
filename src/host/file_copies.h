// Whole-file copies, and files put in place together: a new file is written beside its target
// under a name no other file has, made durable, and only then renamed over the target; several
// targets are replaced as one, so that a failure part way gives every target its old file back.
//
// Every open, read, write and rename goes through the numbered text files (host/text_files.h),
// so the faults a test injects there reach these copies too.
//
// Ownership: paths answered are placed on the ScratchStack (caller's level discipline).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// A copy moves the file through a scratch buffer of this many bytes at a time; the file itself
// may be of any size.
inline constexpr std::uint16_t kCopyBlock = 12288;

// The file a rewrite of `target` replaces: the target as it is on disk (its case-insensitive
// match), and through a symbolic link the file the link names, so the link stays a link. The
// target itself when nothing is there yet.
TextRef ReplacedFile(TextRef target);
// A new, empty file in the folder of `target`, named after it ("NAME.<unique>.EXT"), which no
// other file had. The failed TextRef 164 when the folder takes no new file.
TextRef CreateBeside(TextRef target);
// Every byte of `from` into `to` (created, or emptied first), in blocks of kCopyBlock: 164 when
// `from` cannot be opened, 136 on a short read, 131 on a short write; the path that failed is the
// error detail.
StatusCode CopyFileWhole(TextRef from, TextRef to);
// What was written to the (closed) file at path reaches the disk before anything relies on it.
StatusCode SyncFile(TextRef path);

// A file written beside its target, and the target it is to replace.
struct Placement {
    std::string written;
    std::string target;
};
// Renames each written file over its target, in order. When a rename fails, the targets already
// replaced get their old files back (those that had none lose the new one), the written files are
// deleted, and the failure's status is answered with its path as the error detail: either every
// target has its new contents or every target is as it was.
StatusCode PutInPlace(std::span<const Placement> placements);
// Ends a replacement whose new contents were written (and closed) in `written`, beside `target`,
// with status `st` so far: a good file is synced and renamed over its target; after a failure it
// is deleted and `target` stays as it was.
StatusCode FinishBeside(TextRef written, TextRef target, StatusCode st);
// Copies `from` into a new file beside `to` and puts it in place of `to`; `to` is untouched when
// the copy fails.
StatusCode ReplaceWithCopy(TextRef from, TextRef to);

} // namespace vodarir
