// What the fuzz targets share beyond their input: the runtime started once, a folder of their own
// for the files a reader takes, and the checks every reader must pass.
//
// Ownership: the folder belongs to the process; it is made on first use under the temporary folder
// and removed at exit. Targets that read files move into it, so relative names stay inside it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "platform/ui.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::fuzz {

// The pool (256 scratch levels) and RuntimeInit, the first time only.
void StartRuntimeOnce();

// The process's own folder (absolute, no trailing slash), made on first use; the current folder
// is moved into it.
const std::string& Folder();
std::string FolderFile(std::string_view name);
void WriteFile(std::string_view name, std::string_view bytes);
std::string ReadFile(std::string_view name);
// Removes everything the folder holds.
void ClearFolder();
// The names the folder holds, sorted.
std::vector<std::string> FolderNames();

// The scripted face, installed once, and a window holding the designer's edit 2500 (the editor of
// documents and scripts), made once.
platform::WindowId EditorWindow();
std::string EditorText();

// After a reader ran: the scratch stack is back at depth and every file it opened is closed.
void RequireBalanced(ScratchLevel depth);

// The lines of a text as the runtime's line reader cuts them, written here on their own as the
// yardstick: CR LF, a lone CR or a lone LF ends a line, the end of the text ends the last one, and
// a line that is one Ctrl-Z is no line.
std::vector<std::string> SplitLines(std::string_view bytes);

// Parts of an input separated by a line "~~~~" (the files of one case), at most `most` of them.
std::vector<std::string_view> SplitParts(std::string_view input, std::size_t most);

} // namespace vodarir::fuzz
