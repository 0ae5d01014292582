// Fuzz target: arbitrary screen files and parameter files through the block reader, the records
// of a screen, its writer, the block rewrite, changes of the text and the attribute forms (see
// screen_file_checks.h for the properties).
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "screen_file_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::Require(fuzz::CheckScreenFileInput(data, size, fuzz::Folder()));
    return 0;
}
