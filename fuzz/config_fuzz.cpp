// Fuzz target: config.txt, the folder the designer remembers. The input is the file.
//
// Properties: the folder read is the file's whole content less the line ends at its end (empty
// when the file is longer than a text can hold); remembering the folder read and reading it again
// gives the same folder, and the file then holds exactly that folder; nothing is left open.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "designer/app_selector.h"
#include "fuzz_support.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {
namespace {

using fuzz::Require;

std::string Remembered() {
    const ScratchLevel depth = ScratchDepth();
    const std::string folder(RememberedFolder().view());
    ScratchRelease(depth);
    fuzz::RequireBalanced(depth);
    return folder;
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::ClearFolder(); // the current folder: config.txt is read from there
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile(kConfigFileName, bytes);
    const std::string folder = Remembered();
    if (bytes.size() > kMaxTextLength) {
        Require(folder.empty());
        return 0;
    }
    while (!bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n')) bytes.remove_suffix(1);
    Require(folder == bytes);

    const ScratchLevel depth = ScratchDepth();
    Require(RememberFolder(TextView(folder)) == status::kOk);
    fuzz::RequireBalanced(depth);
    Require(fuzz::ReadFile(kConfigFileName) == folder);
    Require(Remembered() == folder);
    return 0;
}
