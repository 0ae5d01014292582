// The application's log file and the command-line output file.
#include "diagnostics/log.h"

#include <initializer_list>

#include "host/text_files.h"
#include "host/time_texts.h"
#include "masks/dates.h"
#include "runtime/store/command_options.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

using namespace literals;

namespace {

constexpr TextRef kRecordTrailer = "\r\n**********************\r\n\r\n"_t;
constexpr TextRef kLineEnd = "\r\n"_t;
constexpr std::uint16_t kHeaderMaximum = 160;
constexpr std::uint16_t kDateMaximum = 16;

TextRef RecordHeader() {
    const TextRef today = TextFormat(kDateMaximum, "%08d", int(DateNow()));
    const TextRef date = FormatDate(today, DateStyle::Numeric);
    const TextRef time = TimeText(TimeNow(), timestyle::kSeparators);
    return TextFormat(kHeaderMaximum,
                      "*****************************\r\n Date:%.*s - Time:%.*s - User:%.*s\r\n",
                      int(date.size()), date.data, int(time.size()), time.data,
                      int(kLogUser.size()), kLogUser.data);
}

// Writes every piece at the end of the open file; false when any write fell short.
bool WriteAll(FileNumber file, std::initializer_list<TextRef> pieces) {
    bool complete = true;
    for (TextRef piece : pieces) {
        if (piece.failed()) return false;
        if (piece.empty()) continue;
        complete = FileWrite(file, kCurrentPosition, piece) == piece.size() && complete;
    }
    return complete;
}

// The pieces in one write when together they fit a text, so that they land in one piece.
bool WriteJoined(FileNumber file, TextRef a, TextRef b, TextRef c) {
    const TextRef whole = TextConcat(TextConcat(a, b), c);
    if (!whole.failed()) return WriteAll(file, {whole});
    return WriteAll(file, {a, b, c});
}

} // namespace

TextRef LogFilePath() {
    ScratchScope scope;
    const TextRef configured = TextDup(SlotGet(slotgroup::kRuntimeMessages, kLogPathSlot));
    if (!configured.failed() && !configured.empty()) return scope.Return(configured);
    const TextRef name = SlotGet(slotgroup::kEnvironment, kApplicationNameSlot);
    return scope.Return(TextConcat(TextSub(name, 0, kApplicationPrefixLength), kLogFileSuffix));
}

StatusCode LogRecord(TextRef text) {
    ScratchScope scope;
    const TextRef header = RecordHeader();
    const std::uint16_t file = FileOpen(LogFilePath(), openflag::kReadWrite);
    StatusCode st = header.failed() ? header.status() : status::kOk;
    if (file >= status::kFirstError) {
        st = file;
    } else {
        if (st == status::kOk &&
            !WriteJoined(file, header, text.failed() ? TextRef() : text, kRecordTrailer)) {
            st = status::kFileIo;
        }
        FileClose(file);
    }
    return st;
}

int OutputLine(TextRef text) {
    ScratchScope scope;
    const TextRef path = CommandLineOptionNumber(cmdoption::kOutput);
    const bool named = !path.failed() && !path.empty();
    if (named) {
        const std::uint16_t file = FileOpen(path, openflag::kReadWrite);
        if (file < status::kFirstError) {
            // A short write is not passed on: the caller only learns that a file is named.
            WriteJoined(file, text.failed() ? TextRef() : text, kLineEnd, TextRef());
            FileClose(file);
        }
    }
    return named ? 1 : 0;
}

} // namespace vodarir
