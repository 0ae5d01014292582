// Shared state of the block pool and the ScratchStack; only their two source files include this
// (and the test that damages the stack on purpose to see its invariant check find it).
#pragma once

#include "runtime/text/block_pool.h"

namespace vodarir::detail {

extern PoolControl g_pool;
inline PoolControl& Pool() { return g_pool; }
// Sets up level 0 on the two blocks PoolInit allocated; kOutOfMemory when they were refused.
StatusCode ScratchInit(std::uint16_t capacity);
// Frees the two ScratchStack blocks (shutdown order: after the SlotStore block).
void ScratchShutdown();

} // namespace vodarir::detail
