// The structure file being edited (prefix DICC.DAT): its lines as they were loaded, each one
// classified, the file-structure editor's changes made on those lines, and the file's bytes as
// they are written back. The dictionary model is always rebuilt from these lines (with the texts
// of REL.DAT and of included dictionaries as they were read), so what the editor shows is what
// loading the saved file gives.
//
// What the lines keep: include lines stand where they stood and their dictionary's files are not
// copied in; index and relation lines of this file stay in their place, their codes renumbered to
// keep naming their file when files are inserted or deleted, and go when their file goes; lines
// the loader passes over (codes 91 and above, short ones) stay as they are. Unchanged lines are
// written byte for byte, so a file the designer wrote saves as it was loaded.
//
// Ownership: a StructureFile is a plain value (copied for undo); nothing in it points outside.
//
// Invariants:
//  1. Every File line has an id of its own, every Include line a run of `count` ids of its own;
//     ids are never reused within one value.
//  2. Index and Relation lines name a file by its id, and that file's File or Include line comes
//     before them.
//  3. A File line's fields are the Field lines after it up to the next File or Include line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/dictionary.h"
#include "host/text_files.h"
#include "runtime/text/status.h"

namespace vodarir {

// The longest line of the structure file the loader reads back whole.
inline constexpr std::size_t kMaxStructureLine = kLineBufferSize;
// A field line's room for the length (three columns).
inline constexpr unsigned kMaxFieldLength = 999;
// Where a name starts on a line the designer writes: "01* *  name", "0100<     10>Aname".
inline constexpr std::size_t kFileNameColumn = 7;
inline constexpr std::size_t kFieldNameColumn = 14;
inline constexpr std::size_t kMaxFileNameLength = kMaxStructureLine - kFileNameColumn;
inline constexpr std::size_t kMaxFieldNameLength = kMaxStructureLine - kFieldNameColumn;
// The type letters a field may have.
inline constexpr char kFieldTypes[] = "123456789ABCDFLNTV";

enum class StructureLineKind : std::uint8_t { File, Include, Field, Index, Relation, Other };

struct StructureLine {
    std::string text;
    StructureLineKind kind = StructureLineKind::Other;
    int id = 0;            // File: its file's id; Include: the id of its first file
    int count = 0;         // Include: how many files its dictionary brings
    int target = 0;        // Index, Relation: the id of the file the line names
    bool numbered = false; // File, Field: its code is its file's number (kept so when files move)
};

// A field as the editor hands it over.
struct StructureField {
    std::string name;
    unsigned length = 0;
    char type = 0;
};

class StructureFile {
public:
    // An empty structure (File > New), read under the prefix's names.
    StructureFile() = default;
    // The structure a load read (LoadDictionaryKeepingTexts went through): the lines of prefix
    // DICC.DAT in `texts` become this file's, the other texts are kept as they are.
    static StructureFile FromLoad(DictionaryTexts texts, std::string_view prefix);

    // The model from these lines: the dictionary cleared and loaded again from memory.
    StatusCode Rebuild() const;
    // The file's bytes: every line and CR LF.
    std::string Bytes() const;
    const std::vector<StructureLine>& lines() const { return lines_; }
    // The prefixes of the dictionaries this file includes.
    std::vector<std::string> IncludedPrefixes() const;

    // Files are numbered as in the model, 1-based; fields within their file. A file that comes
    // from an included dictionary (or from REL.DAT) cannot be changed here: HeldBy names the
    // application (the include line's name) or this file's REL.DAT; empty for a file of this file.
    std::string HeldBy(int file) const;
    // Whether a file can be inserted at the position: before a file of this file, or before an
    // included dictionary's first file (not between an included dictionary's files).
    bool InsertableAt(int position) const;
    // The model's file count as these lines declare it (REL.DAT's files not counted).
    int FileCount() const;

    // Edits. Each answers 0, or kDataOutBound for a number outside the file, kData for a file held
    // elsewhere, 161 for a 31st file; nothing is changed then.
    StatusCode AppendFile(std::string_view name);
    StatusCode InsertFile(int position, std::string_view name);
    StatusCode RenameFile(int file, std::string_view name);
    StatusCode DeleteFile(int file);
    StatusCode InsertField(int file, int position, const StructureField& field);
    StatusCode ModifyField(int file, int field, const StructureField& value);
    StatusCode DeleteField(int file, int field);

private:
    // Where a file of the model stands: its File or Include line (and which of the include's).
    struct FilePlace {
        int id = 0;
        std::size_t line = 0;
        bool own = false; // a File line of this file
    };
    std::vector<FilePlace> Places() const;
    std::optional<FilePlace> PlaceOf(int file) const;
    // The indexes of the Field lines of an own file's line.
    std::vector<std::size_t> FieldLines(std::size_t fileLine) const;
    // Where the lines of a file end (after its fields): the next File or Include line, or the end.
    std::size_t EndOfFields(std::size_t fileLine) const;
    std::string FileLineText(int number, std::string_view name) const;
    // Codes of index and relation lines, and of numbered file and field lines, for the files as
    // they now stand. 168 when a line could no longer name its file.
    StatusCode Renumber();

    std::vector<StructureLine> lines_;
    DictionaryTexts others_; // REL.DAT and the included dictionaries, as read
    std::string prefix_;
    int nextId_ = 1;
};

// The field line the designer writes: "%02u00<    %3u>%c%s".
std::string FieldLineText(int file, const StructureField& field);

} // namespace vodarir
