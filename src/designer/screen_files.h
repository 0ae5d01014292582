// Screen files: the screen being edited, loading one screen of the screen file (from the file
// itself when it is opened, from the work files when moving between its screens), storing it into
// the work files, and saving the work files over the screen file and its parameter file.
//
// A screen file is two numbered-line files with one base path: NAME.PAN holds each screen's text
// and field records, NAME.PPN its attribute items. While the designer works on a file, both live
// as work files in the temporary folder (designer slot 4 with PAN and PPN); the real files are
// read when the file is opened and written only by a save, both together.
//
// Ownership: the screen model is one process-wide record behind CurrentScreenModel(), which
// always describes the screen in edit 2500 (its text is also kept in designer slot 3). Texts
// answered are placed on the ScratchStack (caller's level discipline).
#pragma once

#include <cstdint>
#include <vector>

#include "designer/screen_model.h"
#include "platform/ui.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The one screen model of the designer.
ScreenModel& CurrentScreenModel();
// Puts a model in place as the current screen: the table, designer slot 3, and edit 2500 when
// the screen layout is shown.
StatusCode SetCurrentScreen(platform::WindowId dialog, ScreenModel model);

// The highest screen number in the base path's PAN and PPN files (0 when neither can be read).
// kStringTooLong when a line of one of them is too long to read.
StatusCode ScreenCountOf(TextRef basePath, std::uint16_t* count);

// Where a screen is loaded from.
enum class ScreenSource : std::uint8_t {
    File,      // the screen file named in designer slot 2, which becomes the work files
    WorkFiles, // the work files of the file already open
};
struct ScreenLoad {
    StatusCode status = 0;
    std::vector<RecordNote> notes; // what the loaded screen's records could not keep
};
// Loads the current screen number (from a file: screen 1, and the screen count of the file). All
// or nothing: on failure the model, the numbers and the work files are as they were.
ScreenLoad LoadScreen(platform::WindowId dialog, ScreenSource source);

// Whether a store goes on to save the screen file.
enum class StoreMode : std::uint8_t { WorkFiles, Save };
// Stores the current screen into the work files; with Save, then puts copies of both work files
// in place of the screen file's PAN and PPN files together. A screen that cannot be written
// (a cell past row or column 99, a run of text too long for a line) is refused with kDataOutBound
// or kStringTooLong and a detail that says where; nothing is written then.
StatusCode StoreScreen(StoreMode mode);

// The work file with the extension (ExtensionTable number); the work base is made first when
// there is none yet.
TextRef WorkFile(std::uint16_t extension);
// A screen to work on: when the file has none, screen 1 (the count becomes 1).
void EnsureScreen();

} // namespace vodarir
