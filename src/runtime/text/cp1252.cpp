// Conversions between the runtime's cp1252 bytes and UTF-8.
#include "runtime/text/cp1252.h"

#include <cstring>

#include "runtime/text/block_pool.h"
#include "runtime/text/cp1252_literal.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {

std::size_t Utf8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : 3; }

// Writes c (at most U+FFFF, all cp1252 needs) and answers the bytes written.
std::size_t PutUtf8(char* out, char32_t c) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
}

// The length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

// Decodes UTF-8 into cp1252 bytes handed to put(byte); false on malformed input or a character
// without a byte.
template <typename Put> bool DecodeUtf8(std::string_view utf8, Put put) {
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = SequenceLength(lead);
        if (n == 0 || i + n > utf8.size()) return false;
        char32_t c = n == 1 ? lead : lead & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        const int byte = c < kSmallest[n] ? -1 : Cp1252ByteOf(c); // overlong forms are malformed
        if (byte < 0) return false;
        put(static_cast<char>(byte));
        i += n;
    }
    return true;
}

} // namespace

char32_t Cp1252CodePoint(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char32_t mapped = cp1252detail::kHighControls[byte - 0x80];
    return mapped != 0 ? mapped : byte;
}

int Cp1252ByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    if (c < 0xA0) return cp1252detail::kHighControls[c - 0x80] == 0 ? static_cast<int>(c) : -1;
    for (int i = 0; i < 32; ++i) {
        if (cp1252detail::kHighControls[i] == c) return 0x80 + i;
    }
    return -1;
}

unsigned char Cp1252Lower(unsigned char byte) {
    if (byte >= 'A' && byte <= 'Z') return static_cast<unsigned char>(byte + 0x20);
    // À..Þ pair with à..þ, except × and ÷ which are no letters.
    if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)
        return static_cast<unsigned char>(byte + 0x20);
    switch (byte) {
    case 0x8A:
        return 0x9A; // Š
    case 0x8C:
        return 0x9C; // Œ
    case 0x8E:
        return 0x9E; // Ž
    case 0x9F:
        return 0xFF; // Ÿ
    default:
        return byte;
    }
}

bool Cp1252EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Cp1252Lower(static_cast<unsigned char>(a[i])) !=
            Cp1252Lower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    char buffer[3];
    for (const char ch : bytes) {
        out.append(buffer, PutUtf8(buffer, Cp1252CodePoint(static_cast<unsigned char>(ch))));
    }
    return out;
}

bool Utf8ToCp1252(std::string_view utf8, std::string* out) {
    out->clear();
    out->reserve(utf8.size());
    return DecodeUtf8(utf8, [out](char byte) { out->push_back(byte); });
}

TextRef TextToUtf8(TextRef text) {
    if (text.failed()) return text;
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.length; ++i) length += Utf8Length(Cp1252CodePoint(text.at(i)));
    if (length > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    const TextRef out = ScratchAllocText(static_cast<std::uint32_t>(length), kNoFill);
    if (out.failed()) return out;
    char* at = out.mutableData();
    for (std::size_t i = 0; i < text.length; ++i) at += PutUtf8(at, Cp1252CodePoint(text.at(i)));
    return out;
}

TextRef TextFromUtf8(std::string_view utf8) {
    // cp1252 never needs more bytes than UTF-8 gave.
    const std::size_t room = utf8.size();
    if (room > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    ScratchScope scope;
    const TextRef out = ScratchAllocText(static_cast<std::uint32_t>(room), kNoFill);
    if (out.failed()) return out;
    char* at = out.mutableData();
    std::size_t used = 0;
    if (!DecodeUtf8(utf8, [&](char byte) { at[used++] = byte; })) {
        return TextRef::Failed(status::kBadStringType);
    }
    return scope.Return(TextRef(at, static_cast<std::uint16_t>(used)));
}

} // namespace vodarir
