// Compile-time conversion of UTF-8 string literals into the cp1252 bytes the runtime works in.
//
// Sources stay readable ("Precaución ") while the program holds exactly the bytes the runtime
// expects (0xF3 for "ó"). Conversion happens during compilation: a character that cp1252 cannot
// represent, or a malformed UTF-8 sequence, makes the literal ill-formed, so no wrong byte can
// reach the runtime silently.
//
// Ownership: a Cp1252Literal is a value; declare it `static constexpr` (or `inline constexpr` at
// namespace scope) and its bytes live for the whole program, so views of it never dangle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/text/text_ref.h"

namespace vodarir {

namespace cp1252detail {

// Code points of the bytes 0x80..0x9F in cp1252; 0 marks the five bytes cp1252 leaves unassigned.
inline constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Reports an impossible conversion; being a non-constexpr call it stops compilation when reached
// during constant evaluation.
inline void NotRepresentableInCp1252() {}

constexpr unsigned char ByteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    for (unsigned i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == cp)
            return static_cast<unsigned char>(0x80 + i);
    }
    NotRepresentableInCp1252();
    return '?';
}

} // namespace cp1252detail

// Bytes converted from a UTF-8 literal of N bytes (with its NUL); the result is never longer.
template <std::size_t N> struct Cp1252Literal {
    char bytes[N] = {};
    std::size_t length = 0;

    constexpr std::string_view view() const { return std::string_view(bytes, length); }
    constexpr TextRef text() const {
        static_assert(N <= kMaxTextLength + 1, "a runtime text holds at most 65535 bytes");
        return TextRef(bytes, static_cast<std::uint16_t>(length));
    }
};

template <std::size_t N> consteval Cp1252Literal<N> Cp1252(const char (&utf8)[N]) {
    Cp1252Literal<N> out;
    std::size_t i = 0;
    while (i + 1 < N) { // the last byte is the literal's NUL
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t cp = lead;
        std::size_t extra = 0;
        if (lead >= 0xF0) {
            cp = lead & 0x07u;
            extra = 3;
        } else if (lead >= 0xE0) {
            cp = lead & 0x0Fu;
            extra = 2;
        } else if (lead >= 0xC0) {
            cp = lead & 0x1Fu;
            extra = 1;
        } else if (lead >= 0x80) {
            cp1252detail::NotRepresentableInCp1252(); // a continuation byte without its lead
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = i + k + 1 < N ? static_cast<unsigned char>(utf8[i + k]) : 0u;
            if ((next & 0xC0u) != 0x80u) cp1252detail::NotRepresentableInCp1252();
            cp = (cp << 6) | (next & 0x3Fu);
        }
        out.bytes[out.length++] = static_cast<char>(cp1252detail::ByteOf(cp));
        i += extra + 1;
    }
    return out;
}

} // namespace vodarir
