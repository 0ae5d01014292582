// Fuzz target: scripts (PRX), kept exactly as typed. The input is a script file.
//
// Properties: a file of up to 65535 bytes opens into the editor byte for byte, whatever it holds
// (NUL bytes, lone CR and LF, any code-page byte); a longer one is refused with 146 and leaves the
// editor as it was; a saved script is the editor's text byte for byte and opens again the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "designer/document_editor.h"
#include "designer/editor_dispatch.h"
#include "fuzz_support.h"
#include "platform/ui.h"

namespace vodarir {
namespace {

using fuzz::Require;

StatusCode Open(std::string_view name) {
    const ScratchLevel depth = ScratchDepth();
    const StatusCode st = LoadScript(fuzz::EditorWindow(), TextView(fuzz::FolderFile(name)));
    fuzz::RequireBalanced(depth);
    return st;
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::ClearFolder();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile("S.PRX", bytes);
    const platform::WindowId window = fuzz::EditorWindow();
    platform::CurrentUi().setText(window, designerctl::kEdit, "untouched");
    const StatusCode st = Open("S.PRX");
    if (size > kMaxEditorText) {
        Require(st == status::kStringTooLong && fuzz::EditorText() == "untouched");
        return 0;
    }
    Require(st == status::kOk && fuzz::EditorText() == bytes);

    const ScratchLevel depth = ScratchDepth();
    Require(SaveScript(window, TextView(fuzz::FolderFile("SAVED"))) == status::kOk);
    fuzz::RequireBalanced(depth);
    Require(fuzz::ReadFile("SAVED.PRX") == bytes);
    platform::CurrentUi().setText(window, designerctl::kEdit, "");
    Require(Open("SAVED.PRX") == status::kOk && fuzz::EditorText() == bytes);
    return 0;
}
