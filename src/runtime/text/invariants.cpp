// The description of a broken invariant.
#include "runtime/text/invariants.h"

#include <cstdarg>
#include <cstdio>

namespace vodarir {

InvariantStatus InvariantStatus::Broken(const char* format, ...) {
    InvariantStatus s;
    s.holds = false;
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(s.broken, sizeof s.broken, format, args);
    va_end(args);
    return s;
}

} // namespace vodarir
