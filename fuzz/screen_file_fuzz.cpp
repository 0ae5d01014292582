// Fuzz target: arbitrary screen files and parameter files through the block reader, the records
// of a screen, its writer, the block rewrite, changes of the text and the attribute forms (see
// screen_file_checks.h for the properties).
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz_input.h"
#include "runtime/start/runtime_start.h"
#include "runtime/text/block_pool.h"
#include "screen_file_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vodarir-screen-fuzz-XXXXXX").string();
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }();
    static const bool started = [] {
        PoolConfigure(256, kKeepValue, kKeepValue);
        return RuntimeInit() == status::kOk;
    }();
    fuzz::Require(started && !folder.empty());
    fuzz::Require(fuzz::CheckScreenFileInput(data, size, folder));
    return 0;
}
