// Fuzz target: arbitrary prompt specifications and screen texts through the readers of prompt
// items and OpenScreen's keywords and records (see prompt_checks.h for the properties).
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "prompt_checks.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    static const bool started = [] {
        PoolConfigure(256, kKeepValue, kKeepValue);
        return RuntimeInit() == status::kOk;
    }();
    fuzz::Require(started);
    fuzz::Require(fuzz::CheckPromptInput(data, size));
    return 0;
}
