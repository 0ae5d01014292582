// The message catalogue's lookup and the names and texts of status codes.
#include "runtime/messages/messages.h"

#include <cstring>

#include "runtime/messages/builtin_messages.h"
#include "runtime/messages/language_files.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

constexpr std::uint16_t kCodeWidth = 4;
constexpr std::uint16_t kDefaultTextColumn = 5; // 0-based: after the code and one separator
constexpr StatusCode kFirstNamedStatus = 122;
constexpr StatusCode kLastWarning = 120;

// A loaded text lives in the SlotStore and moves with its next change: hand out a copy.
TextRef ScratchCopy(TextRef text) {
    const StatusCode pushed = ScratchPush(text);
    return pushed == status::kOk ? ScratchTop() : TextRef::Failed(pushed);
}

TextRef ErrorText(StatusCode status) {
    using namespace literals;
    const ErrorRecord recorded = RecordedError();
    const TextRef stepName =
        ListItem(StepNameList(), ',', static_cast<std::uint16_t>(recorded.step + 1));
    TextRef text = TextConcat(MsgText("0009"), StatusName(status));
    text = TextConcat(text, stepName);
    const TextRef detail = ErrorDetail();
    if (!detail.empty()) text = TextConcat(TextConcat(text, ": "_t), detail);
    return text;
}

} // namespace

TextRef MsgBuiltin(TextRef code) {
    if (code.empty()) return TextRef();
    // Only an entry's own code matches: the same digits inside another message never do.
    using namespace literals;
    std::uint16_t hit = kNotFound;
    {
        ScratchScope scope;
        if (ScratchConcat("\t"_t, code) == status::kOk &&
            ScratchConcat(ScratchTop(), " "_t) == status::kOk) {
            hit = TextFind(BuiltinMessageTable(), ScratchTop(), false);
        }
    }
    if (hit == kNotFound) return TextRef();
    const TextRef table = BuiltinMessageTable();
    const std::uint32_t from = std::uint32_t{hit} + code.size() + 2; // tab, code, blank
    const TextRef rest(table.data + from, static_cast<std::uint16_t>(table.size() - from));
    const std::uint16_t end = TextFindChr(rest, 0, '\t', true);
    return end == kNotFound ? rest : TextRef(rest.data, end);
}

TextRef MsgTextRef(TextRef code) {
    if (code.failed()) return code;
    const std::uint16_t codeLength = code.size() < kCodeWidth ? code.size() : kCodeWidth;
    const int number = TextToInt(TextRef(code.data, codeLength));
    if (MsgCatalogState() == catalog::kNotTried) MsgLoadLanguage(nullptr, 0);
    if (number > 0 && MsgCatalogState() == catalog::kLoaded) {
        TextRef loaded;
        if (MsgLoadedFind(static_cast<std::uint16_t>(number), &loaded)) return ScratchCopy(loaded);
    }
    if (number != 0 && code.size() > kCodeWidth) {
        if (code.size() <= kDefaultTextColumn) return TextRef(code.data + code.size(), 0);
        return TextRef(code.data + kDefaultTextColumn,
                       static_cast<std::uint16_t>(code.size() - kDefaultTextColumn));
    }
    return MsgBuiltin(code);
}

TextRef MsgText(const char* code) {
    // A failed code (null, or longer than a text) passes through MsgTextRef unchanged.
    return MsgTextRef(TextFromCStr(code));
}

TextRef StatusName(StatusCode status) {
    if (status < kFirstNamedStatus) return UndefinedStatusName();
    const TextRef name =
        ListItem(StatusNameList(), ',', static_cast<std::uint16_t>(status - status::kCallerText));
    return name.empty() ? UndefinedStatusName() : name;
}

TextRef StatusText(StatusCode status) {
    ScratchScope scope;
    if (status == kLastRecordedStatus) {
        const ErrorRecord recorded = RecordedError();
        if (recorded.status != 0) status = recorded.status;
    }
    TextRef text;
    if (status == status::kCallerText || status == status::kBadData) {
        const TextRef detail = ErrorDetail();
        text = detail.empty() ? StatusName(status) : detail;
    } else if (status == status::kOk) {
        text = MsgText("0005");
    } else if (status <= kLastWarning) {
        text = MsgText("0008");
    } else if (status >= status::kFirstError) {
        text = ErrorText(status);
    } else {
        text = StatusName(status);
    }
    return scope.Return(text);
}

StatusCode StatusReport(StatusCode status) {
    ScratchScope scope;
    const TextRef text = StatusText(status);
    if (status < status::kFirstError) {
        MsgBox(text, MsgText("0012"), BoxKind::Warning);
    } else {
        MsgBox(text, MsgText("0013"), BoxKind::Error);
    }
    return status::kOk;
}

} // namespace vodarir
