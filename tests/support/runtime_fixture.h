// Test fixtures that start the runtime's memory as the designer does and check it comes down clean.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/text/text_ref.h"

namespace vodarir::testing {

// Pool with 256 scratch levels and the slot store with its default configuration; TearDown
// shuts both down and fails the test when a block is left live or the stack is left unbalanced.
class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

inline std::string Str(TextRef t) { return std::string(t.view()); }

} // namespace vodarir::testing
