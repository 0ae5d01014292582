// Report files: new ones under unpredictable names, saved ones put in place whole, reading back.
#include "reports/report_files.h"

#include <algorithm>

#include "host/file_copies.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "host/unique_names.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr TextRef kNewReportStart = "report."_t;
constexpr TextRef kTextExtension = ".txt"_t;
constexpr TextRef kHtmlExtension = ".html"_t;

// Appends bytes to the open file n, a chunk per call. False when a chunk came up short.
bool WriteChunks(FileNumber n, std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size(); at += kReportWriteChunk) {
        const std::size_t size = std::min<std::size_t>(kReportWriteChunk, bytes.size() - at);
        const TextRef chunk(bytes.data() + at, static_cast<std::uint16_t>(size));
        if (FileWrite(n, kCurrentPosition, chunk) != size) return false;
    }
    return true;
}

StatusCode Recorded(StatusCode st, TextRef path) {
    LogErrorText(st, path, false);
    return NoteFirstError(1, step::kStreamInit, st, st);
}

} // namespace

TextRef WriteNewReport(std::string_view bytes, ReportFileKind kind) {
    ScratchScope scope;
    const TextRef extension = kind == ReportFileKind::Html ? kHtmlExtension : kTextExtension;
    const TextRef path = CreateUniqueFile(TempPath(TextRef()), kNewReportStart, extension);
    if (path.failed()) return scope.Return(path);
    // The file is ours: made just now, where nothing stood. Opening it again by its name reaches
    // the same file, since nobody else may replace an entry of the temporary folder that we own.
    const std::uint16_t n = FileOpen(path, openflag::kReadWrite);
    const bool written = n < status::kFirstError && WriteChunks(n, bytes);
    if (n < status::kFirstError) FileClose(n);
    if (!written) {
        FileDelete(path);
        return TextRef::Failed(Recorded(status::kFileIo, path));
    }
    return scope.Return(path);
}

TextRef SavedReportPath(std::string_view name) {
    if (name.size() > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    return TempPath(TextView(name));
}

TextRef SaveReport(std::string_view bytes, std::string_view name) {
    ScratchScope scope;
    const TextRef written = WriteNewReport(bytes, ReportFileKind::Text);
    if (written.failed()) return scope.Return(written);
    const TextRef target = SavedReportPath(name);
    StatusCode st = target.status();
    // On disk before it takes the saved report's name: a crash never leaves an empty one there.
    if (st == status::kOk) st = SyncFile(written);
    if (st == status::kOk) st = FileRename(written, target);
    if (st != status::kOk) {
        FileDelete(written);
        return TextRef::Failed(Recorded(st, target.failed() ? TextRef() : target));
    }
    return scope.Return(target);
}

StatusCode ReadReport(TextRef path, std::string* bytes) {
    bytes->clear();
    if (path.failed()) return path.status();
    const StatusCode refused = FileReadRefusal(path);
    if (refused != status::kOk) return LogErrorText(refused, path, false);
    const std::uint16_t n = FileOpen(path, openflag::kNoPlus);
    if (n >= status::kFirstError) return n;
    const std::int64_t size = FileSize(n);
    bool whole = size >= 0;
    if (whole) bytes->resize(static_cast<std::size_t>(size));
    for (std::size_t at = 0; whole && at < bytes->size();) {
        const std::uint16_t want = static_cast<std::uint16_t>(
            std::min<std::size_t>(kReportWriteChunk, bytes->size() - at));
        const std::uint16_t got =
            FileRead(n, static_cast<std::int64_t>(at), want, bytes->data() + at, want);
        whole = got == want;
        at += want;
    }
    FileClose(n);
    if (whole) return status::kOk;
    bytes->clear();
    return Recorded(status::kRead, path);
}

} // namespace vodarir
