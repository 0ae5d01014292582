// Building a new text in one ScratchStack level: measure, check the 16-bit limit, allocate, fill.
//
// Only the text library's own sources include this. A text operation describes its result once,
// as a function that writes pieces into a Composer; Compose runs it twice, first only counting
// bytes, then writing them into a level of exactly that size. Lengths are counted in 64 bits, so
// a result beyond 65535 bytes is refused with a status instead of wrapping.
//
// Invariants:
//  1. The write function is deterministic: both runs produce the same byte count.
//  2. Its inputs lie below the scratch top (or outside the stack), never in the level being filled.
//  3. On success the result is one level above the caller's depth; on failure the depth is
//  unchanged.
#pragma once

#include <cstdint>
#include <cstring>

#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir::detail {

class Composer {
public:
    Composer() = default;
    explicit Composer(char* out) : out_(out) {}

    bool measuring() const { return out_ == nullptr; }
    std::uint64_t length() const { return length_; }

    void Put(TextRef t) {
        if (out_ != nullptr && t.size() != 0) std::memcpy(out_ + length_, t.data, t.size());
        length_ += t.size();
    }
    void Put(char c) {
        if (out_ != nullptr) out_[length_] = c;
        ++length_;
    }
    void Fill(char c, std::uint64_t count) {
        if (out_ != nullptr && count != 0) std::memset(out_ + length_, c, count);
        length_ += count;
    }

private:
    char* out_ = nullptr; // null while measuring
    std::uint64_t length_ = 0;
};

// Runs write(Composer&) to measure and then to fill one new level. Answers the result one level
// above the caller's depth, or the failed TextRef tooLong (result beyond 65535 bytes) or
// kOutOfMemory.
template <class Write> TextRef Compose(Write&& write, StatusCode tooLong = status::kStringTooLong) {
    Composer measure;
    write(measure);
    if (measure.length() > kMaxTextLength) return TextRef::Failed(tooLong);
    ScratchScope scope;
    const TextRef level = ScratchAllocText(static_cast<std::uint32_t>(measure.length()), kNoFill);
    if (level.failed()) return level;
    Composer fill(level.mutableData());
    write(fill);
    // The level already sits at mark + 1; handing it down keeps the one way results leave.
    return scope.Return(level);
}

} // namespace vodarir::detail
