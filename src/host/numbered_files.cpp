// Numbered-line files: reading a block, the highest number, and rewriting a block.
#include "host/numbered_files.h"

#include <algorithm>
#include <functional>

#include "host/file_copies.h"
#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr SlotIndex kDefinitionsSlot = 5;
constexpr std::uint16_t kQuietRead = openflag::kNoPlus | openflag::kQuiet;
constexpr std::string_view kLineEnd = "\r\n";
// FileWrite takes one text at a time: the new file goes out in pieces of this size.
constexpr std::size_t kWritePiece = 32768;

LineKindLayout Layout(LineKind kind) { return LineLayout(static_cast<int>(kind)); }

// Opens the file for reading: as given, else, for a bare name, along the definitions folders.
std::uint16_t OpenNumbered(TextRef path) {
    ScratchScope scope;
    const std::uint16_t n = FileOpen(path, kQuietRead);
    if (n < status::kFirstError) return n;
    if (!PathPart(path, pathpart::kDrive | pathpart::kFolder).empty()) return n;
    const TextRef found = FindInFolders(SlotGet(slotgroup::kEnvironment, kDefinitionsSlot), path);
    return found.empty() ? n : FileOpen(found, kQuietRead);
}

// Calls `take` with every line of the file, in order. 164 when it cannot be opened, 146 (the
// detail naming the file and the line) for a line longer than the reader takes.
StatusCode EachLine(TextRef path, const std::function<void(std::string_view)>& take) {
    const std::uint16_t n = OpenNumbered(path);
    if (n >= status::kFirstError) return LogErrorText(status::kFileNotFound, path, true);
    StatusCode st = status::kOk;
    for (std::size_t number = 1;; ++number) {
        ScratchScope scope;
        // A view: take copies what it keeps and reads nothing of this file.
        const TextRef line = FileLineView(n);
        if (line.failed()) {
            if (line.status() != status::kDiskIo) { // anything but the end of the file
                st = line.status();
                const std::string where =
                    std::string(path.view()) + ", line " + std::to_string(number);
                LogErrorText(st, TextView(std::string_view(where).substr(0, kMaxTextLength)), true);
            }
            break;
        }
        take(line.view());
    }
    FileClose(n);
    return st;
}

} // namespace

std::string NumberedLine(LineKind kind, std::uint16_t number, std::string_view record) {
    std::string digits = std::to_string(number);
    if (digits.size() < 2) digits.insert(0, 2 - digits.size(), ' ');
    if (kind == LineKind::Parameters) return digits + " " + std::string(record);
    return "\"" + digits + std::string(record) + "\"";
}

std::uint16_t LineNumberOf(LineKind kind, std::string_view line) {
    const LineKindLayout layout = Layout(kind);
    const std::size_t at = static_cast<std::size_t>(layout.numberAt);
    if (at >= line.size()) return 0;
    std::uint16_t number = 0;
    for (const char c : line.substr(at, static_cast<std::size_t>(layout.numberWidth))) {
        if (c != ' ' && (c < '0' || c > '9')) return 0;
        number = static_cast<std::uint16_t>(number * 10 + (c == ' ' ? 0 : c - '0'));
    }
    return number;
}

std::string_view LineRecordOf(LineKind kind, std::string_view line) {
    const LineKindLayout layout = Layout(kind);
    const auto at = static_cast<std::size_t>(layout.recordAt);
    const auto outside = static_cast<std::size_t>(layout.notInRecord);
    if (line.size() <= outside || at >= line.size()) return {};
    return line.substr(at, line.size() - outside);
}

StatusCode ReadBlock(TextRef path, LineKind kind, std::uint16_t number,
                     std::vector<std::string>* records) {
    records->clear();
    return EachLine(path, [&](std::string_view line) {
        if (LineNumberOf(kind, line) == number) records->emplace_back(LineRecordOf(kind, line));
    });
}

StatusCode ReadBlocks(TextRef path, LineKind kind, std::vector<std::vector<std::string>>* blocks) {
    blocks->clear();
    return EachLine(path, [&](std::string_view line) {
        const std::uint16_t number = LineNumberOf(kind, line);
        if (blocks->size() <= number) blocks->resize(std::size_t{number} + 1);
        (*blocks)[number].emplace_back(LineRecordOf(kind, line));
    });
}

StatusCode HighestBlock(TextRef path, LineKind kind, std::uint16_t* highest) {
    *highest = 0;
    return EachLine(path, [&](std::string_view line) {
        *highest = std::max(*highest, LineNumberOf(kind, line));
    });
}

StatusCode RewriteBlock(TextRef path, LineKind kind, std::uint16_t number,
                        const std::vector<std::string>& records) {
    ScratchScope scope;
    if (number > kMaxBlockNumber) {
        return LogErrorText(status::kDataOutBound, TextFormat(24, "%u", unsigned{number}), false);
    }
    std::string block;
    for (const std::string& record : records) {
        const std::string line = NumberedLine(kind, number, record);
        if (line.size() > kLineBufferSize) {
            return LogErrorText(status::kStringTooLong,
                                TextView(std::string_view(line).substr(0, kLineBufferSize)), false);
        }
        block += line;
        block += kLineEnd;
    }
    const TextRef target = ReplacedFile(path);
    if (target.failed()) return target.status();
    std::string text;
    bool placed = false;
    if (!PathOnDisk(target).failed()) {
        const StatusCode st = EachLine(target, [&](std::string_view line) {
            const std::uint16_t n = LineNumberOf(kind, line);
            if (!placed && n >= number) {
                text += block;
                placed = true;
            }
            if (n == number) return; // the old block goes
            text += line;
            text += kLineEnd;
        });
        if (st != status::kOk) return st;
    }
    if (!placed) text += block;

    const TextRef written = CreateBeside(target);
    if (written.failed()) return written.status();
    const std::uint16_t out = FileOpen(written, openflag::kCreate);
    StatusCode st = out < status::kFirstError ? status::kOk : out;
    for (std::size_t at = 0; st == status::kOk && at < text.size(); at += kWritePiece) {
        const TextRef piece = TextView(std::string_view(text).substr(at, kWritePiece));
        if (FileWrite(out, kCurrentPosition, piece) != piece.length) {
            st = LogErrorText(status::kFileIo, written, true);
        }
    }
    if (out < status::kFirstError) FileClose(out);
    return FinishBeside(written, target, st);
}

} // namespace vodarir
