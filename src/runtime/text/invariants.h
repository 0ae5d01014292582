// The answer of a stateful part's CheckInvariants: whether its numbered invariants hold, and when
// one does not, which one and what was found.
//
// The checks read their part's state and change nothing; each is cheap enough to run after every
// operation (the fuzz targets) and after every test.
#pragma once

#include <cstddef>

namespace vodarir {

struct InvariantStatus {
    static constexpr std::size_t kMaxDescription = 200;

    bool holds = true;
    // "invariant N: what was found", empty while the invariants hold.
    char broken[kMaxDescription] = "";

    // A broken invariant, described printf-style (cut at kMaxDescription - 1 bytes).
    static InvariantStatus Broken(const char* format, ...) __attribute__((format(printf, 1, 2)));
};

} // namespace vodarir
