// What the libFuzzer targets share: the property check, the invariant checks, and the fuzz input,
// consumed front to back: parameter bytes, then length-prefixed texts. The texts are views of the
// input, valid for one run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "dictionary/dictionary.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/invariants.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ref.h"

namespace vodarir::fuzz {

// Anything a property check rejects ends the run: the fuzzer keeps the input.
inline void Require(bool ok) {
    if (!ok) std::abort();
}

// The stateful parts' invariants, checked after every operation: the first broken one is printed
// and ends the run.
inline void RequireInvariants() {
    struct NamedCheck {
        const char* part;
        InvariantStatus (*check)();
    };
    static constexpr NamedCheck kChecks[] = {
        {"scratch stack", ScratchCheckInvariants},
        {"slot store", SlotStoreCheckInvariants},
        {"dictionary", DictionaryCheckInvariants},
    };
    for (const NamedCheck& c : kChecks) {
        const InvariantStatus s = c.check();
        if (!s.holds) {
            std::fprintf(stderr, "broken invariant: %s: %s\n", c.part, s.broken);
            std::abort();
        }
    }
}

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : data_(reinterpret_cast<const char*>(data)), size_(size) {}
    std::uint8_t Byte() { return pos_ < size_ ? static_cast<std::uint8_t>(data_[pos_++]) : 0; }
    std::size_t Left() const { return size_ - pos_; }
    // A length byte, then at most that many bytes.
    TextRef Text() {
        const std::size_t want = Byte();
        const std::size_t n = want < size_ - pos_ ? want : size_ - pos_;
        const TextRef t(data_ + pos_, static_cast<std::uint16_t>(n));
        pos_ += n;
        return t;
    }
    // Everything left, capped at the longest text.
    TextRef Rest() {
        const std::size_t n = size_ - pos_ < kMaxTextLength ? size_ - pos_ : kMaxTextLength;
        const TextRef t(data_ + pos_, static_cast<std::uint16_t>(n));
        pos_ = size_;
        return t;
    }

private:
    const char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace vodarir::fuzz
