// The screen report, its HTML form and the comparison of two reports.
#include "reports/screen_report.h"

#include <algorithm>
#include <deque>

#include "host/text_files.h"
#include "reports/structure_report.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

constexpr int kParameterLines = 1; // the line kind of parameter files
constexpr char kItemSeparator = ':';
constexpr char kKeyEnd = '=';
constexpr char kPrefixEnd = '.';
constexpr char kHiddenMark = '_';
constexpr std::string_view kUnknownMark = "(*) ";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kHtmlBreak = "<br>";
constexpr char kSame = '.';
constexpr char kDiffers = '#';

// The key of an item or a report line: the text before its first "=", or all of it.
std::string_view KeyOf(std::string_view line) { return line.substr(0, line.find(kKeyEnd)); }

bool IsKnown(std::string_view key) {
    const auto& known = KnownScreenKeywords();
    return std::find(known.begin(), known.end(), key) != known.end();
}

// The prefixes of the items whose key is PREFIX.KEYWORD for a known keyword, each once, in the
// order they first occur.
std::vector<std::string_view> Prefixes(const std::vector<std::string>& items) {
    std::vector<std::string_view> prefixes;
    for (const std::string& item : items) {
        const std::string_view key = KeyOf(item);
        const std::size_t dot = key.find(kPrefixEnd);
        if (IsKnown(key) || dot == std::string_view::npos || !IsKnown(key.substr(dot + 1))) {
            continue;
        }
        const std::string_view prefix = key.substr(0, dot);
        if (std::find(prefixes.begin(), prefixes.end(), prefix) == prefixes.end()) {
            prefixes.push_back(prefix);
        }
    }
    return prefixes;
}

// The first item named name whose value is not empty; null when there is none.
const std::string* ItemNamed(const std::vector<std::string>& items, std::string_view name) {
    for (const std::string& item : items) {
        if (item.size() > name.size() + 1 && KeyOf(item) == name) return &item;
    }
    return nullptr;
}

void AppendLine(std::string* part, std::string_view line) {
    if (!part->empty()) part->append(kCrLf);
    part->append(line);
}

// One comparison entry: the marker, the old line and the new line.
void AppendEntry(std::string_view before, std::string_view after, std::string* out) {
    const std::size_t longer = std::max(before.size(), after.size());
    std::size_t same = 0;
    while (same < before.size() && same < after.size() && before[same] == after[same]) ++same;
    out->append(same, kSame);
    out->push_back(kDiffers);
    if (longer > same + 1) out->append(longer - same - 1, kSame);
    out->append(kCrLf);
    out->append(before);
    out->append(kCrLf);
    out->append(after);
    out->append(kCrLf);
}

} // namespace

const std::vector<std::string_view>& KnownScreenKeywords() {
    static const std::vector<std::string_view> known = [] {
        std::vector<std::string_view> all;
        for (const std::string_view set :
             {screenkeywords::kMenu, screenkeywords::kBasic, screenkeywords::kExtended,
              screenkeywords::kField, screenkeywords::kListing, screenkeywords::kReport,
              screenkeywords::kImport}) {
            std::size_t at = 0;
            for (;;) {
                const std::size_t comma = set.find(',', at);
                all.push_back(set.substr(at, comma - at));
                if (comma == std::string_view::npos) break;
                at = comma + 1;
            }
        }
        return all;
    }();
    return known;
}

StatusCode ReadScreenItems(TextRef parameterFile, std::uint16_t screen,
                           std::vector<std::string>* items) {
    if (parameterFile.failed()) return parameterFile.status();
    ScratchScope scope;
    const SlotGroup lines = slotgroup::kFileLines;
    const std::uint16_t before = SlotCount(lines);
    if (ReadLines(parameterFile, kParameterLines, screen, lines) == kIoFailed) {
        StatusCode st = FileReadRefusal(parameterFile);
        if (st == status::kOk) st = status::kRead; // there, but not readable whole
        LogErrorText(st, parameterFile, false);
        return NoteFirstError(1, step::kStreamInit, st, st);
    }
    std::vector<std::string> taken;
    for (std::uint16_t i = before; i < SlotCount(lines); ++i) {
        const TextRef line = SlotGet(lines, i);
        const std::uint16_t count = ListCount(line, kItemSeparator);
        for (std::uint16_t n = 1; n <= count; ++n) {
            taken.emplace_back(ListItem(line, kItemSeparator, n).view());
        }
    }
    while (SlotCount(lines) > before) SlotDelete(lines, before);
    items->insert(items->end(), taken.begin(), taken.end());
    return status::kOk;
}

std::string ScreenReportText(const std::vector<std::string>& items) {
    const std::vector<std::string_view> prefixes = Prefixes(items);
    std::string known;
    std::string name;
    for (const std::string_view keyword : KnownScreenKeywords()) {
        for (std::size_t p = 0; p <= prefixes.size(); ++p) {
            name.clear();
            if (p > 0) (name += prefixes[p - 1]) += kPrefixEnd;
            name += keyword;
            if (const std::string* item = ItemNamed(items, name)) AppendLine(&known, *item);
        }
    }
    std::string unknown;
    for (const std::string& item : items) {
        if (item.empty() || item.front() == kHiddenMark || IsKnown(KeyOf(item))) continue;
        AppendLine(&unknown, std::string(kUnknownMark) + item);
    }
    if (!known.empty() && !unknown.empty()) known.append(kCrLf);
    return known + unknown;
}

std::string ScreenReportHtml(std::string_view text) {
    std::string escaped;
    AppendHtmlEscaped(text, &escaped);
    std::string html;
    std::size_t at = 0;
    for (std::size_t end; (end = escaped.find(kCrLf, at)) != std::string::npos;
         at = end + kCrLf.size()) {
        html.append(escaped, at, end - at);
        html.append(kHtmlBreak);
        html.append(kCrLf);
    }
    html.append(escaped, at);
    return html;
}

std::vector<std::string_view> ReportLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + (text.compare(end, kCrLf.size(), kCrLf) == 0 ? kCrLf.size() : 1);
    }
    return lines;
}

std::string CompareScreenReports(std::string_view saved, std::string_view now) {
    std::deque<std::string_view> queued;
    for (const std::string_view line : ReportLines(saved)) {
        if (!line.empty()) queued.push_back(line);
    }
    std::string out;
    for (const std::string_view line : ReportLines(now)) {
        if (line.empty()) continue;
        if (!queued.empty() && queued.front() == line) {
            queued.pop_front();
            continue;
        }
        const std::string_view key = KeyOf(line);
        const auto match = std::find_if(queued.begin(), queued.end(),
                                        [key](std::string_view old) { return KeyOf(old) == key; });
        if (match == queued.end()) {
            AppendEntry({}, line, &out);
            continue;
        }
        for (auto it = queued.begin(); it != match; ++it) AppendEntry(*it, {}, &out);
        if (*match != line) AppendEntry(*match, line, &out);
        queued.erase(queued.begin(), match + 1);
    }
    // Settings that are gone from the end of the screen are differences too.
    for (const std::string_view old : queued) AppendEntry(old, {}, &out);
    return out;
}

} // namespace vodarir
