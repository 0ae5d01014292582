// Sort work areas: in-memory tables of fixed-length text entries kept in key order, which scripts
// create, fill, walk and release through a 24-byte handle text ("SORT$").
//
// Ownership: an area's entries live in one block of the pool (tag 34) from SortNew to SortKill.
// The handle is the area's only reference and a plain value: every operation that changes the
// area (SortAdd, SortMove) rewrites the caller's handle, and a script must keep the handle the
// call hands back in place of the old one. A handle whose area was released, or one whose
// buffer has moved since it was taken, refers to nothing.
//
// Safety: handles come back from scripts, so nothing in one is trusted. Every operation first
// checks that the buffer it names is a live pool block of tag 34 whose size is the handle's
// capacity, and that the handle's counts fit inside that block; any other handle is refused
// with kSyntax before a byte is read or written.
//
// Handle layout (24 bytes, native byte order):
//   0  buffer pointer (8 bytes, zero-padded where pointers are narrower)
//   8  used bytes (16)     10 capacity in bytes (16)     12 status of the last operation (16)
//  14  key length (16)     16 entry length (16)          18 entry count (16)
//  20  position, 0-based (16)                            22 flags (8)     23 unused
// The status is 16 bits wide, the width of a StatusCode, so that an 8-byte pointer still leaves
// the handle at 24 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/text/block_pool.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Pool tag of an area's entry buffer. Areas still open when the runtime shuts down are freed
// with it.
inline constexpr std::uint16_t kSortAreaTag = tag::kSortArea;
inline constexpr std::size_t kSortHandleSize = 24;
// A new area has room for this many bytes per byte of its entry length.
inline constexpr std::uint32_t kSortInitialRoomFactor = 256;

namespace sortflag {
inline constexpr std::uint8_t kUnique = 1; // an entry with the key of an existing one is refused
inline constexpr std::uint8_t kDescending = 2; // greatest key first
} // namespace sortflag

// Move codes of SortMove; only the bits of kMask are looked at.
namespace sortmove {
inline constexpr std::uint16_t kNext = 16;
inline constexpr std::uint16_t kPrevious = 20;
inline constexpr std::uint16_t kLast = 32;
inline constexpr std::uint16_t kFirst = 36;
inline constexpr std::uint16_t kMask = 4 | 16 | 32;
} // namespace sortmove

// Results of SortAdd below 128: where the entry went.
namespace sortadd {
inline constexpr StatusCode kAfterEqual = 0; // after the last entry with an equal key
inline constexpr StatusCode kBefore = 1;     // before the first entry that sorts after it
inline constexpr StatusCode kAtEnd = 2;      // after every entry
inline constexpr StatusCode kDuplicate = 5;  // refused: equal key under kUnique
} // namespace sortadd
// SortMove's answer when the position left the entries.
inline constexpr StatusCode kSortOutOfRange = 2;

// The fields of a handle, decoded.
struct SortArea {
    char* buffer = nullptr;
    std::uint16_t used = 0;
    std::uint16_t capacity = 0;
    std::uint16_t status = 0;
    std::uint16_t keyLength = 0;
    std::uint16_t entryLength = 0;
    std::uint16_t count = 0;
    std::uint16_t position = 0;
    std::uint8_t flags = 0;
};

struct SortHandle {
    char bytes[kSortHandleSize] = {};
    TextRef text() const { return TextRef(bytes, kSortHandleSize); }
};

SortArea SortAreaOf(const SortHandle& handle);
SortHandle SortHandleOf(const SortArea& area);

// A handle read back from a script's text: kSyntax unless the text is exactly kSortHandleSize bytes
// and names a live area (SortCheck).
StatusCode SortHandleFromText(TextRef text, SortHandle* handle);
// 0 when the handle names a live area and its counts fit its buffer; kSyntax otherwise.
StatusCode SortCheck(const SortHandle& handle);

// A new empty area: entry length the larger of a and b, key length the smaller, room for
// a × 256 bytes (at most 65535). kDataOutBound for a negative length, an entry length of 0 or one
// above 65535; kOutOfMemory when the pool refuses the buffer.
StatusCode SortNew(int a, int b, std::uint8_t flags, SortHandle* handle);
// Inserts text, padded with blanks to the entry length, in key order; the position moves to the
// new entry. Answers a sortadd result below 128, kData for a text longer than the entry length,
// kStringTooLong when the entries would pass 65535 bytes, kOutOfMemory when the buffer cannot grow,
// kSyntax for a handle that names no area. Only an insertion changes the handle (status field
// aside).
StatusCode SortAdd(SortHandle* handle, TextRef text);
// Moves the position (sortmove codes; other codes leave it): 0, or kSortOutOfRange with the
// position put on the last entry (0 when the area is empty). kSyntax for a handle that names no
// area.
StatusCode SortMove(SortHandle* handle, std::uint16_t code);
// The entry at the position (entry-length bytes, padding included) as a view into the buffer,
// valid until the area next changes; the empty text when the position is out of range; the
// failed TextRef kSyntax for a handle that names no area.
TextRef SortGet(const SortHandle& handle);
// Releases the area's buffer. kSyntax for a handle that names no area.
StatusCode SortKill(const SortHandle& handle);
// The items of a comma list sorted (sortflag bits), each padded with blanks to the longest item's
// length, joined with ","; one new ScratchStack level above the caller's depth. A list without
// any non-empty item answers the empty text. A failure of the area (kStringTooLong, kOutOfMemory)
// is the failed TextRef of its status rather than an empty list.
TextRef SortList(TextRef list, std::uint8_t flags);

} // namespace vodarir
