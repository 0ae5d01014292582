// The document (print template, PDC) and script (procedure, PRX) editors: loading into edit 2500,
// saving from it, the conversions between a document's text and its file, and the Document
// Function Selector offered when a bar is typed.
//
// Limits: one limit for loading, editing and saving, kMaxEditorText (65535) bytes of editor text;
// a longer file is refused at load and a longer text at save, never cut. Saving writes a new file
// beside the old one and puts it in place only when complete, so a failed save leaves the old
// file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// A document line's fields: the row in two columns, the first printable column in three.
inline constexpr int kDocumentRowWidth = 2;
inline constexpr int kDocumentColumnWidth = 3;
inline constexpr int kMaxDocumentRow = 99;
inline constexpr int kMaxDocumentColumn = 999;

// The print functions marked inside a document's text.
struct DocumentMarker {
    const char* choice;   // the selector's item
    unsigned char editor; // the character in the editor
    unsigned char file;   // the byte in the file
};
inline constexpr DocumentMarker kDocumentMarkers[] = {
    {"Mask Delimiter", 124, 124},
    {"Normal", 166, 23},
    {"Retro", 171, 24},
    {"Loop", 187, 25},
};
inline constexpr char kFunctionSelectorTitle[] = "Document Function Selector";
inline constexpr char kFunctionSelectorItems[] = "Mask Delimiter,Normal,Retro,Loop";
inline constexpr unsigned char kMaskDelimiter = 124;

// A document file's bytes as editor text. 146 when the text would exceed kMaxEditorText.
StatusCode DocumentTextFromFile(std::string_view file, std::string* text);
// The editor text as a document file. 168 when a non-blank row lies beyond row 99 or starts
// beyond column 999 (its line could not be read back where it was), with the row and column in
// the error detail; 146 when the file would exceed kMaxEditorText.
StatusCode DocumentFileFromText(std::string_view text, std::string* file);

// The lines of a document file (numbered from 1, as its line reader counts them) that the editor
// cannot give back as they were: loading and saving the text would change or drop them (a line
// without a readable position, a row after a later row, text over other text, a literal broken
// bar or angle quote that becomes a print marker). Blank lines are not counted: nothing of them
// is lost. Empty when the whole file comes back, or when its text could not be saved at all (the
// save then says why).
std::vector<std::size_t> DocumentLinesNotKept(std::string_view file);

// Loads the document file into edit 2500; a missing file is an empty document. On failure the
// edit is left as it was. The lines a save would not keep go into DesignerState.
StatusCode LoadDocument(platform::WindowId dialog, TextRef path);
// After a document was opened: says once which of its file's lines a save would change or drop.
void NoteDocumentLinesNotKept();
// Before a save of the document: when its file has lines a save would not keep, asks whether to
// save anyway. True when the save may go on.
bool ConfirmDocumentLinesNotKept();
// Stores the base path in designer slot 5 and writes edit 2500 to it with extension PDC.
StatusCode SaveDocument(platform::WindowId dialog, TextRef basePath);
// The edit-change of edit 2500 in the document layout: a bar just typed offers the selector.
void DocumentTextChanged(platform::WindowId dialog);

// Loads the whole script file into edit 2500, unchanged. On failure the edit is left as it was.
StatusCode LoadScript(platform::WindowId dialog, TextRef path);
// Stores the base path in designer slot 7 and writes edit 2500, unchanged, with extension PRX.
StatusCode SaveScript(platform::WindowId dialog, TextRef basePath);

} // namespace vodarir
