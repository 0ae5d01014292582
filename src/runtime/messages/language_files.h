// Language files DU_ZERA_xx.MSJ: loading their lines into segments of loaded messages, and the
// lookup of a message number in them.
//
// A language file is a text file of lines "NNNN text": a four-digit code, one separator, the
// message (the two characters \n stand for a line break, stored as CR LF). Lines come in ascending
// code order; other lines (blank, comments, anything whose first four characters are not a code)
// are ignored.
//
// Ownership: the loaded texts live in SlotStore slot 9.2; the tables that index them are
// process-wide and last until MsgCatalogReset. MsgLoaded answers a view into the SlotStore, valid
// until the store next changes.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Catalogue states.
namespace catalog {
inline constexpr int kNotTried = 0;
inline constexpr int kTried = 1;  // looked for a language file, nothing usable loaded
inline constexpr int kLoaded = 2; // at least one language message loaded
} // namespace catalog

// The languages there are message files for (DU_ZERA_xx.MSJ), as a comma list of their codes.
inline constexpr char kLanguageCodes[] = "EN,ES,FR,DE,IT";

// At most this many messages can be found in all loaded files together; a file of this many
// lines or more is not loaded at all.
inline constexpr std::uint16_t kMaxLoadedMessages = 256;
// Inside one file, a code more than this far above the previous one starts a new segment, so a
// file can carry the runtime's codes and the designer's (1001 and up) side by side.
inline constexpr std::uint16_t kMaxSegmentGap = 64;

// The loader of embedded language resources: (resource number, 0, 0) → lines it placed in the
// file-lines group (37), 0 when it has nothing.
using MsgLoaderFn = std::uint16_t (*)(std::uint16_t resource, int, int);

int MsgCatalogState();
// Forgets every loaded message and returns to state kNotTried. The runtime calls it whenever a
// new SlotStore starts, because the loaded texts live there.
void MsgCatalogReset();

// The loaded text of a number, or empty when no loaded segment covers it.
TextRef MsgLoaded(std::uint16_t number);
// Whether a loaded segment covers the number (a code skipped inside a segment is covered and
// reads empty); the text is stored through `text` when it is.
bool MsgLoadedFind(std::uint16_t number, TextRef* text);

// Takes `lineCount` lines from the front of SlotStore group 37 and loads them as one file. A
// count of 0 loads nothing; a count of kMaxLoadedMessages or more discards those lines unread.
void MsgLoadFile(std::uint16_t lineCount);
// Looks for the language file of the code in environment slot 0.4 (any DU_ZERA_*.MSJ when it is
// empty) in the default folder (slot 0.5), matching the name without regard to case, and loads
// it. A named language the default folder lacks is looked for among the files installed with the
// program (share/vodarir beside its bin folder). When there is none, asks the loader (when given)
// for the resource.
void MsgLoadLanguage(MsgLoaderFn loader, std::uint16_t resource);
// Stores the language code in slot 0.4 and loads its file (MsgLoadLanguage with the first
// resource); a second resource number, when not 0, is loaded through the loader as one more file.
StatusCode MsgStartLanguage(TextRef languageCode, MsgLoaderFn loader, std::uint16_t firstResource,
                            std::uint16_t secondResource);

} // namespace vodarir
