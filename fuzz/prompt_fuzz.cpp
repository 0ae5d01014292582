// Fuzz target: arbitrary prompt specifications and screen texts through the readers of prompt
// items and OpenScreen's keywords and records (see prompt_checks.h for the properties).
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "prompt_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::Require(fuzz::CheckPromptInput(data, size));
    return 0;
}
