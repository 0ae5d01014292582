// The stateful parts' invariant checks, run for every test program: after every test, and at every
// shutdown of the runtime's memory (while everything is still there to be checked).
#pragma once

#include <string>

namespace vodarir::testing {

// One line "part: what broke" per broken invariant; empty when every check holds.
std::string BrokenInvariants();

} // namespace vodarir::testing
