// The ScratchStack: the process-wide bump allocator for temporary texts, with numbered levels.
//
// Ownership: a TextRef handed out by the stack lives until the stack is released below its level.
// Every runtime function that builds temporaries follows the level discipline, held by a
// ScratchScope so that every exit releases:
//   ScratchScope scope;              // marks the depth on entry
//   ...build, each intermediate a new level...
//   return;                          // no text result: the scope's end releases to the mark
//   return scope.Return(r);          // a text result, which then sits one level above the mark
//   scope.Keep(); return st;         // a value already left one level above the mark
// A release only moves the next-free pointer and the depth; bytes above it stay untouched until
// they are overwritten, which is what lets ScratchReturn copy a result down safely.
//
// Invariants:
//  1. Level 0 is (start of data, 0); levels 1..depth are the live allocations, in address order.
//  2. next free = end of level depth rounded up to 4 bytes, and stays strictly below the data end.
//  3. depth < capacity: with capacity N, N - 1 nested allocations fit and the next one fails
//     (kOutOfMemory).
//  4. A failed allocation leaves the stack as it was.
// ScratchCheckInvariants checks 1 to 3 (4 is about a call, and its tests check it).
#pragma once

#include <cassert>
#include <cstdint>
#include <initializer_list>

#include "runtime/text/invariants.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

using ScratchLevel = std::uint16_t;
inline constexpr ScratchLevel kScratchMarkOnly = 0xFFFF;

constexpr std::uint32_t Align4(std::uint32_t n) { return n == 0 ? 0 : ((n - 1) / 4) * 4 + 4; }

// Releases to `mark` when it names a live level (mark <= depth); any other value changes nothing.
// Returns the depth after the call.
ScratchLevel ScratchRelease(ScratchLevel mark);
inline ScratchLevel ScratchMark() { return ScratchRelease(kScratchMarkOnly); }

// Pushes a level of `length` bytes filled with `fill` (255 leaves them as they are). 145 on
// overflow.
StatusCode ScratchAlloc(std::uint32_t length, std::uint8_t fill);
TextRef ScratchTop();
TextRef ScratchAllocText(std::uint32_t length, std::uint8_t fill);
char* ScratchAllocPtr(std::uint32_t length, std::uint8_t fill);
// Copies text (which may lie anywhere, also in the released part of the stack) into a new level.
StatusCode ScratchPush(TextRef text);
// One level holding a then b; kStringTooLong when together they would exceed 65535 bytes.
StatusCode ScratchConcat(TextRef a, TextRef b);
// Releases to mark and pushes text: how a function hands its result to its caller. A text that is
// the level just above mark already stays where it is, uncopied.
TextRef ScratchReturn(ScratchLevel mark, TextRef text);
// Brings several results down to mark at once, rewriting each location to its copy. Stops at the
// first failure and returns its status.
StatusCode ScratchReturnMany(ScratchLevel mark, std::initializer_list<TextRef*> results);
// The free bytes after the top level (length clamped to 65535).
TextRef ScratchFree();
std::uint32_t ScratchFreeBytes();
ScratchLevel ScratchDepth();
// Invariants 1 to 3 as the stack stands; a stack not started holds them trivially.
InvariantStatus ScratchCheckInvariants();

// A scratch level held for one scope. Its end releases the stack to the depth it found, on every
// exit of the function, unless a result was handed down with Return or ReturnMany: that result
// then sits just above the mark and belongs to the caller's level.
class ScratchScope {
public:
    ScratchScope() : mark_(ScratchMark()) {}
    ~ScratchScope() {
        if (!handedDown_) ScratchRelease(mark_);
    }
    ScratchScope(const ScratchScope&) = delete;
    ScratchScope& operator=(const ScratchScope&) = delete;

    // The depth on entry, for operations that take a mark.
    ScratchLevel mark() const { return mark_; }
    // Drops every temporary made so far; the scope goes on and releases again at its end.
    void Release() const { ScratchRelease(mark_); }
    // Releases to the mark and pushes text (which may lie in the released part): the caller's
    // result. A failed text comes back failed and leaves the stack at the mark.
    TextRef Return(TextRef text) {
        handedDown_ = true;
        return ScratchReturn(mark_, text);
    }
    // Several results at once, each location rewritten to its copy above the mark.
    StatusCode ReturnMany(std::initializer_list<TextRef*> results) {
        handedDown_ = true;
        return ScratchReturnMany(mark_, results);
    }
    // Leaves the stack as it stands: the result already sits one level above the mark, put
    // there by an operation that takes the mark (the evaluator's values), so nothing is copied.
    void Keep() {
        assert(ScratchDepth() <= mark_ + 1 && "a scope keeps at most its one result");
        handedDown_ = true;
    }

private:
    ScratchLevel mark_;
    bool handedDown_ = false;
};

} // namespace vodarir
