// Fuzz target: documents (PDC). The first byte chooses the case: even, the rest is a document file
// as it stands, opened into the editor; odd, the rest is what the user left in the editor.
//
// Properties: a file is opened whole (or refused with 146 when its text would pass the editor's
// limit, the editor then untouched); a text is saved unless a row lies beyond row 99 or column
// 999 (168) or the file would pass the limit (146); what is saved holds every row where it was,
// from its first character to its last, the markers as markers; a saved file loads and saves
// again to the same bytes and has no line a save would not keep.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "designer/document_editor.h"
#include "designer/editor_dispatch.h"
#include "fuzz_support.h"
#include "platform/ui.h"

namespace vodarir {
namespace {

using fuzz::Require;

constexpr std::string_view kBlanks = " \t";

// The rows of an editor text as a save cuts them: CR LF, a lone CR or a lone LF ends one.
std::vector<std::string> Rows(std::string_view text) {
    std::vector<std::string> rows;
    std::size_t at = 0;
    for (;;) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        rows.emplace_back(text.substr(at, end - at));
        if (end == text.size()) return rows;
        at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
}

// Bytes that are print markers in a file read back as the editor's marker characters.
std::string AsMarkers(std::string row) {
    for (char& c : row) {
        for (const DocumentMarker& m : kDocumentMarkers) {
            if (static_cast<unsigned char>(c) == m.file) c = static_cast<char>(m.editor);
        }
    }
    return row;
}

// What a row is once saved and loaded again: blanks up to its first character, then it, trimmed.
std::string Placed(const std::string& row) {
    const std::size_t first = row.find_first_not_of(kBlanks);
    if (first == std::string::npos) return std::string();
    const std::size_t last = row.find_last_not_of(kBlanks);
    return std::string(first, ' ') + AsMarkers(row.substr(first, last - first + 1));
}

void CheckSaved(const std::string& text) {
    std::string file;
    const StatusCode st = DocumentFileFromText(text, &file);
    Require(st == status::kOk || st == status::kDataOutBound || st == status::kStringTooLong);
    if (st != status::kOk) return;

    // Through the editor and the disk, as the designer saves.
    const platform::WindowId window = fuzz::EditorWindow();
    platform::CurrentUi().setText(window, designerctl::kEdit, text);
    const ScratchLevel depth = ScratchDepth();
    Require(SaveDocument(window, TextView(fuzz::FolderFile("SAVED"))) == status::kOk);
    fuzz::RequireBalanced(depth);
    Require(fuzz::ReadFile("SAVED.PDC") == file);

    std::string reloaded;
    Require(DocumentTextFromFile(file, &reloaded) == status::kOk);
    const std::vector<std::string> before = Rows(text);
    const std::vector<std::string> after = Rows(reloaded);
    for (std::size_t i = 0; i < before.size() || i < after.size(); ++i) {
        const std::string want = i < before.size() ? Placed(before[i]) : std::string();
        Require((i < after.size() ? after[i] : std::string()) == want);
    }
    std::string again;
    Require(DocumentFileFromText(reloaded, &again) == status::kOk && again == file);
    Require(DocumentLinesNotKept(file).empty());
}

void CheckOpened(std::string_view bytes) {
    fuzz::WriteFile("OPENED.PDC", bytes);
    const platform::WindowId window = fuzz::EditorWindow();
    platform::CurrentUi().setText(window, designerctl::kEdit, "untouched");
    std::string text;
    const StatusCode st = DocumentTextFromFile(bytes, &text);
    const ScratchLevel depth = ScratchDepth();
    const StatusCode loaded = LoadDocument(window, TextView(fuzz::FolderFile("OPENED.PDC")));
    fuzz::RequireBalanced(depth);
    if (bytes.size() > kMaxEditorText) {
        Require(loaded == status::kStringTooLong && fuzz::EditorText() == "untouched");
        return;
    }
    Require(loaded == st);
    if (st != status::kOk) {
        Require(st == status::kStringTooLong && fuzz::EditorText() == "untouched");
        return;
    }
    Require(fuzz::EditorText() == text);
    CheckSaved(text);
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::ClearFolder();
    fuzz::Input in(data, size);
    const std::uint8_t mode = in.Byte();
    const std::size_t rest = in.Left();
    const std::string_view bytes(reinterpret_cast<const char*>(data) + (size - rest), rest);
    if (mode % 2 == 0) {
        CheckOpened(bytes);
    } else if (bytes.size() <= kMaxEditorText) {
        CheckSaved(std::string(bytes));
    }
    return 0;
}
