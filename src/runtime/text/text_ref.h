// TextRef: the runtime's one string value, a non-owning view of cp1252 bytes with a 16-bit length.
//
// Ownership: a TextRef never owns its bytes. They live in program data, in the SlotStore (valid
// until the store next changes), in a caller's buffer, or on the ScratchStack (valid until the
// stack is released below them). Keep a TextRef across calls only after copying it to the
// SlotStore or to memory of your own.
//
// Failure: a TextRef whose data pointer is null is a *failed* TextRef; its length field carries a
// StatusCode instead of a length. Operations pass a failed input on unchanged where their rule
// says so. An empty text (length 0, non-null pointer) is a real value, distinct from a failure.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/text/status.h"

namespace vodarir {

// The longest text any TextRef can hold.
inline constexpr std::size_t kMaxTextLength = 0xFFFF;

struct TextRef {
    const char* data = "";
    std::uint16_t length = 0;

    constexpr TextRef() = default;
    constexpr TextRef(const char* d, std::uint16_t n) : data(d), length(n) {}

    static constexpr TextRef Failed(StatusCode status) { return TextRef(nullptr, status); }

    constexpr bool failed() const { return data == nullptr; }
    // The status of a failed text, 0 for a real one.
    constexpr StatusCode status() const { return data == nullptr ? length : 0; }
    // Length of a real text; 0 for a failed one.
    constexpr std::uint16_t size() const { return data == nullptr ? 0 : length; }
    constexpr bool empty() const { return size() == 0; }
    constexpr std::string_view view() const {
        return data == nullptr ? std::string_view() : std::string_view(data, length);
    }
    // Byte n as an unsigned character (cp1252); callers check n < length (debug builds assert it).
    constexpr unsigned char at(std::size_t n) const {
        assert(data != nullptr && n < length && "TextRef::at beyond the text");
        return static_cast<unsigned char>(data[n]);
    }
    // Writable access for bytes the caller owns (a scratch level, a buffer of its own).
    char* mutableData() const { return const_cast<char*>(data); }
};

// A view of bytes that are known to be shorter than 64 KB (literals, short buffers); debug builds
// assert it. Bytes whose length is not known use TextFromString.
constexpr TextRef TextView(std::string_view s) {
    assert(s.size() <= kMaxTextLength && "TextView of more than 65535 bytes");
    return TextRef(s.data(), static_cast<std::uint16_t>(s.size()));
}

// A view of a C++ string (std::string, std::string_view, a C string) of any length: the failed
// TextRef kStringTooLong when it holds more than 65535 bytes, never a cut text. (A null C string
// is TextFromCStr's to refuse.)
constexpr TextRef TextFromString(std::string_view s) {
    if (s.size() > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    return TextRef(s.data(), static_cast<std::uint16_t>(s.size()));
}

namespace literals {
constexpr TextRef operator""_t(const char* s, std::size_t n) {
    return TextRef(s, static_cast<std::uint16_t>(n));
}
} // namespace literals

} // namespace vodarir
