// Parsers of the dictionary files' lines.
#include "dictionary/dictionary_lines.h"

#include <algorithm>

#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

constexpr char kPieceSeparator = '*';
constexpr char kIncludeMark = '$';
constexpr char kSegmentsOpen = '<';
constexpr char kRelationSeparator = ':';
constexpr std::uint16_t kClassWidth = 2;

// The bytes [from, from + count) of t, clamped to t.
TextRef Slice(TextRef t, std::uint32_t from, std::uint32_t count) {
    const std::uint32_t size = t.size();
    if (from >= size) return TextRef(t.data == nullptr ? "" : t.data + size, 0);
    const std::uint32_t n = std::min(count, size - from);
    return TextRef(t.data + from, static_cast<std::uint16_t>(n));
}

std::uint32_t FindPlain(TextRef t, std::uint32_t from, char ch) {
    for (std::uint32_t i = from; i < t.size(); ++i) {
        if (t.data[i] == ch) return i;
    }
    return kNotFound;
}

} // namespace

std::uint32_t ReadDecimal(TextRef t) {
    std::uint32_t i = 0;
    while (i < t.size() && (t.data[i] == ' ' || t.data[i] == '\t')) ++i;
    std::uint64_t value = 0;
    for (; i < t.size() && t.data[i] >= '0' && t.data[i] <= '9'; ++i) {
        value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(t.data[i] - '0'),
                                        0xFFFFFFFFu);
    }
    return static_cast<std::uint32_t>(value);
}

TextRef TrimTrailingBlanks(TextRef t) {
    std::uint16_t n = t.size();
    while (n > 0 && (t.data[n - 1] == ' ' || t.data[n - 1] == '\t')) --n;
    return Slice(t, 0, n);
}

LineClass ClassifyDictionaryLine(TextRef line) {
    // The code is read like the runtime reads any number; "-5" or "ab" land in kind 0.
    const int code =
        static_cast<int>(std::min<std::uint32_t>(ReadDecimal(Slice(line, 0, kLineCodeWidth)), 99));
    LineClass result;
    result.kind = (code - 1) / kLineCodeSpan; // truncates toward zero: code 0 is kind 0
    result.relativeFile = (code - 1) % kLineCodeSpan + 1;
    return result;
}

bool ParseFileLine(TextRef line, FileLine* out) {
    const std::uint32_t first = FindPlain(line, 0, kPieceSeparator);
    if (first == kNotFound) return false;
    std::uint32_t second = FindPlain(line, first + 1, kPieceSeparator);
    if (second == kNotFound) second = line.size();
    out->location = TrimTrailingBlanks(Slice(line, first + 1, second - first - 1));
    // The third piece runs to the end of the line, so a name may itself hold "*".
    const TextRef third = Slice(line, second + 1, line.size());
    out->fileClass = static_cast<std::uint8_t>(ReadDecimal(Slice(third, 0, kClassWidth)));
    out->name = TrimTrailingBlanks(Slice(third, kClassWidth, third.size()));
    out->include = FindPlain(out->location, 0, kIncludeMark) != kNotFound;
    return true;
}

bool ParseFieldLine(TextRef line, FieldLine* out) {
    if (line.size() < kMinFieldLineLength) return false;
    out->length = static_cast<std::uint16_t>(std::min<std::uint32_t>(
        ReadDecimal(Slice(line, fieldcol::kLengthAt, fieldcol::kLengthWidth)), 0xFFFF));
    out->type = line.data[fieldcol::kTypeAt];
    out->name = TrimTrailingBlanks(Slice(line, fieldcol::kNameAt, line.size()));
    return true;
}

IndexDefinitionRecord ParseIndexLine(TextRef line) {
    IndexDefinitionRecord index;
    const std::uint32_t open = FindPlain(line, 0, kSegmentsOpen);
    const std::uint32_t from = open == kNotFound ? 0 : open + 1;
    const std::uint32_t end = line.size() == 0 ? 0 : line.size() - 1u;
    if (end <= from) return index;
    const std::uint32_t whole = (end - from) / kSegmentWidth;
    index.segmentCount = std::min<std::uint32_t>(whole, kMaxKeySegments);
    for (std::uint32_t s = 0; s < index.segmentCount; ++s) {
        const TextRef segment = Slice(line, from + s * kSegmentWidth, kSegmentWidth);
        const std::uint32_t start = ReadDecimal(Slice(segment, 0, kSegmentStartWidth));
        index.segments[s].start = static_cast<std::uint16_t>(start == 0 ? 0 : start - 1);
        index.segments[s].length = static_cast<std::uint16_t>(
            ReadDecimal(Slice(segment, kSegmentStartWidth, kSegmentLengthWidth)));
    }
    return index;
}

TextRef RelationLineText(TextRef line) {
    const std::uint16_t colon = TextFindChr(line, 0, kRelationSeparator, false);
    if (colon == kNotFound) return line;
    return Slice(line, colon + 1u, line.size());
}

} // namespace vodarir
