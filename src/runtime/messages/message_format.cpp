// The safe message formatter: placeholders of a language file's format filled with texts.
#include "runtime/messages/message_format.h"

#include <algorithm>
#include <cstring>

#include "runtime/messages/error_trail.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {

constexpr char kPlaceholder = '%';
// Conversion letters that take an argument; every argument is a text.
constexpr std::string_view kConversions = "sid";
// A width or precision above this is no message's and is read as this (the result then fails).
constexpr std::uint32_t kLargestField = 0x10000;

// One placeholder as read from the format.
struct Placeholder {
    bool valid = false;     // a conversion letter closed it
    std::size_t length = 0; // bytes of the format it spans
    bool left = false;
    bool zeros = false;
    std::uint32_t width = 0;
    bool hasPrecision = false;
    std::uint32_t precision = 0;
};

std::uint32_t ReadNumber(std::string_view f, std::size_t* at) {
    std::uint32_t n = 0;
    while (*at < f.size() && f[*at] >= '0' && f[*at] <= '9') {
        n = std::min<std::uint32_t>(n * 10 + static_cast<std::uint32_t>(f[*at] - '0'), kLargestField);
        ++*at;
    }
    return n;
}

// The placeholder starting at f[from] == '%'.
Placeholder ReadPlaceholder(std::string_view f, std::size_t from) {
    Placeholder p;
    std::size_t at = from + 1;
    for (; at < f.size() && (f[at] == '-' || f[at] == '0'); ++at) {
        if (f[at] == '-') p.left = true;
        if (f[at] == '0') p.zeros = true;
    }
    p.width = ReadNumber(f, &at);
    if (at < f.size() && f[at] == '.') {
        ++at;
        p.hasPrecision = true;
        p.precision = ReadNumber(f, &at);
    }
    if (at < f.size() && kConversions.find(f[at]) != std::string_view::npos) {
        p.valid = true;
        p.length = at + 1 - from;
    }
    return p;
}

// Appends bytes while they fit; `overflow` records that something did not.
struct Output {
    char* data;
    std::uint32_t capacity;
    std::uint32_t used = 0;
    bool overflow = false;

    void put(std::string_view bytes) {
        if (bytes.size() > capacity - used) {
            overflow = true;
            return;
        }
        std::memcpy(data + used, bytes.data(), bytes.size());
        used += static_cast<std::uint32_t>(bytes.size());
    }
    void fill(char ch, std::uint32_t count) {
        if (count > capacity - used) {
            overflow = true;
            return;
        }
        std::memset(data + used, ch, count);
        used += count;
    }
};

void PutArgument(Output& out, const Placeholder& p, TextRef arg) {
    std::string_view text = arg.view();
    if (p.hasPrecision && p.precision < text.size()) text = text.substr(0, p.precision);
    const std::uint32_t pad =
        p.width > text.size() ? p.width - static_cast<std::uint32_t>(text.size()) : 0;
    if (!p.left) out.fill(p.zeros ? '0' : ' ', pad);
    out.put(text);
    if (p.left) out.fill(' ', pad);
}

} // namespace

TextRef MsgFormat(std::uint16_t maximum, TextRef format, std::initializer_list<TextRef> args) {
    if (format.failed()) return format;
    for (const TextRef& arg : args) {
        if (arg.failed()) return arg;
    }
    const ScratchLevel mark = ScratchMark();
    // One byte more than allowed, so that a result just over the maximum is seen and refused.
    const std::uint32_t capacity = std::uint32_t{maximum} + 1;
    char* buffer = ScratchAllocPtr(capacity, kNoFill);
    if (buffer == nullptr) return ScratchReturn(mark, TextRef::Failed(status::kOutOfMemory));
    Output out{buffer, capacity};
    const std::string_view f = format.view();
    const TextRef* next = args.begin();
    std::size_t at = 0;
    while (at < f.size() && !out.overflow) {
        const std::size_t hit = f.find(kPlaceholder, at);
        out.put(f.substr(at, hit == std::string_view::npos ? std::string_view::npos : hit - at));
        if (hit == std::string_view::npos) break;
        if (hit + 1 < f.size() && f[hit + 1] == kPlaceholder) {
            out.put("%");
            at = hit + 2;
            continue;
        }
        const Placeholder p = ReadPlaceholder(f, hit);
        if (!p.valid) { // not a placeholder this formatter fills: the "%" stands as written
            out.put("%");
            at = hit + 1;
            continue;
        }
        PutArgument(out, p, next != args.end() ? *next : TextRef());
        if (next != args.end()) ++next;
        at = hit + p.length;
    }
    if (out.overflow || out.used > maximum) {
        ScratchRelease(mark);
        return ErrorCheckText(1, step::kFormatString, status::kStringTooLong,
                              TextRef::Failed(status::kStringTooLong));
    }
    return ScratchReturn(mark, TextRef(buffer, static_cast<std::uint16_t>(out.used)));
}

} // namespace vodarir
