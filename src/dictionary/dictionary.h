// The data dictionary: the process-wide description of an application's data files (files,
// fields, indexes, relation texts), its loader, accessors, checks, checkpoints and editing steps.
//
// Storage: counters and the checkpoint stack are process-wide values of this module; records live
// in typed tables 0 to 3 (_FILESTRUC, _FIELDENTRY, _INDEXENTRY, _INDEXSEGS) and texts in SlotStore
// groups 1 to 4. There is no dictionary object and no second dictionary.
//
// Ownership: FileName, FileLocation, FieldName and RelationText return views into the SlotStore,
// valid until the store next changes (copy what you keep). FileNameList and FileRef build their
// text on the ScratchStack, one level above the caller's depth. Records are returned as copies.
//
// Numbering: files are 1..FileCount(), fields 1..FieldCount(file) within their file, indexes
// 1..IndexCount(file) within their file. An invalid file number (0 or above the count) passed to
// an accessor or check stands for the current file (_CURFIL); when that is invalid too, the answer
// is an empty record (zero counts, empty texts). Accessors never read outside the tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/store/slot_store.h"
#include "runtime/text/invariants.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// --- Limits ------------------------------------------------------------------------------------
inline constexpr std::uint16_t kMaxDictionaryFiles = 30;
inline constexpr std::uint16_t kMaxKeySegments = 5;
inline constexpr std::uint16_t kMaxDictionaryCheckpoints = 7;
// The loaded dictionary and the dictionaries it includes, nested: at most this many at once.
inline constexpr std::uint16_t kMaxNestedDictionaries = 8;
// A field number meaning "after the last field"; also FindField's "not found".
inline constexpr std::uint16_t kNoField = 0xFFFF;
// KeyLength: every segment of the index.
inline constexpr std::uint16_t kAllSegments = 0xFFFF;
// The field whose end closes a file's default index.
inline constexpr char kDefaultIndexField[] = "N_LINE";

// SlotStore groups of the dictionary's texts; index = file number - 1 or global field position.
namespace dictgroup {
inline constexpr SlotGroup kFileNames = 1;
inline constexpr SlotGroup kFileLocations = 2;
inline constexpr SlotGroup kFieldNames = 3;
inline constexpr SlotGroup kRelations = 4;
} // namespace dictgroup

// --- Records (typed tables 0 to 3) -------------------------------------------------------------
struct FileStructRecord {
    std::uint8_t number = 0;    // 1-based
    std::uint8_t fileClass = 0; // the two-digit class of the file line, kept, not interpreted
    std::uint16_t fieldCount = 0;
    std::uint16_t recordLength = 0; // sum of the field lengths
    std::uint16_t indexCount = 0;
};

struct FieldEntryRecord {
    std::uint8_t file = 0;
    std::uint16_t field = 0;  // 1-based within the file
    std::uint16_t offset = 0; // 0-based byte position in the record
    std::uint16_t length = 0;
    char type = 0;         // type letter as read; not checked here
    StatusCode status = 0; // 0 in the table; the lookup's result in a ResolveFieldRef copy
};

struct IndexEntryRecord {
    std::uint32_t segmentCount = 0;
    std::uint32_t reserved = 0; // always 0
};

struct KeySegment {
    std::uint16_t start = 0; // 0-based byte position in the record
    std::uint16_t length = 0;
};

struct IndexSegsRecord {
    KeySegment segments[kMaxKeySegments] = {};
};

// An index as IndexDefinition answers it: only the first segmentCount segments mean anything.
struct IndexDefinitionRecord {
    std::uint32_t segmentCount = 0;
    KeySegment segments[kMaxKeySegments] = {};
};

// --- Loading -----------------------------------------------------------------------------------
// Loads prefix DICC.DAT, then prefix REL.DAT (the first two characters of prefix), adding to what
// is loaded. folderList: comma list of folders to look in after the name as given (empty: the
// working folder only). defaultLocation: the location of every file whose line gives none.
// The first error stops the load; what was added before it stays (push a checkpoint first for
// all-or-nothing). kFileNotFound for a missing DICC.DAT (detail: the path, then "[folders]name"); a
// missing REL.DAT is not an error. kLoopFailure for an include cycle or nesting deeper than
// kMaxNestedDictionaries.
StatusCode LoadDictionary(TextRef folderList, TextRef prefix, TextRef defaultLocation);

// The lines of dictionary files as the loader read them (line ends removed), by file name: the
// prefix and the entry ("ALDICC.DAT", "VEREL.DAT"), matched without regard to case.
struct DictionaryTextFile {
    std::string name;
    std::vector<std::string> lines;
    // For a file a load read: the dictionary's file count after each line was acted on (what an
    // include line brought shows here). Empty for texts made otherwise.
    std::vector<std::uint16_t> filesAfter;
};
using DictionaryTexts = std::vector<DictionaryTextFile>;
// The file of that name in texts; null when there is none.
const DictionaryTextFile* FindDictionaryText(const DictionaryTexts& texts, std::string_view name);
DictionaryTextFile* FindDictionaryText(DictionaryTexts& texts, std::string_view name);
// The files of a dictionary: its DICC.DAT (files and fields) and its REL.DAT (further indexes and
// relations).
enum class DictionaryFile : std::uint8_t { Structure, Relations };
// The name of one of a dictionary's files for a prefix (its first two characters count).
std::string DictionaryFileName(std::string_view prefix, DictionaryFile which);

// LoadDictionary, keeping in `read` the lines of every file it read (the dictionary's own and
// those of the dictionaries it includes), each under its name, in the order they were opened.
StatusCode LoadDictionaryKeepingTexts(TextRef folderList, TextRef prefix, TextRef defaultLocation,
                                      DictionaryTexts* read);
// LoadDictionary over texts kept in memory instead of the files: a DICC.DAT missing from them is
// 164, a missing REL.DAT is none. The disk is not touched.
StatusCode LoadDictionaryFromTexts(const DictionaryTexts& texts, TextRef prefix,
                                   TextRef defaultLocation);

// --- Building steps (loader and editor) ---------------------------------------------------------
// Appends a file; the name is stored in lower case. kFileOutBound with 30 files.
StatusCode AddFile(std::uint8_t fileClass, TextRef name, TextRef location);
// Appends a field to the last declared file. kFileOutBound with no file; kDataOutBound when the
// record length would pass 65535 bytes.
StatusCode AddField(TextRef name, std::uint16_t length, char type);
// Gives file an index of segmentCount segments (at most kMaxKeySegments are kept) after
// completing the default indexes of the files before it. kBadFileNumber for a file outside the
// dictionary.
StatusCode AddIndex(std::uint16_t file, std::uint16_t segmentCount, const KeySegment* segments);
// Joins text to the file's relation text with ":". kBadFileNumber for a file outside the
// dictionary.
StatusCode AppendRelation(std::uint16_t file, TextRef text);

// --- Accessors ---------------------------------------------------------------------------------
std::uint16_t FileCount();
std::uint16_t TotalFieldCount();
std::uint16_t TotalIndexCount();
std::uint16_t LastIndexedFile();
FileStructRecord FileStruct(std::uint16_t file);
TextRef FileName(std::uint16_t file);
TextRef FileLocation(std::uint16_t file);
TextRef RelationText(std::uint16_t file);
std::uint16_t FieldCount(std::uint16_t file);
std::uint16_t RecordLength(std::uint16_t file);
std::uint16_t IndexCount(std::uint16_t file);
// Field accessors answer empty/0 for a field outside 1..FieldCount(file).
TextRef FieldName(std::uint16_t file, std::uint16_t field);
std::uint16_t FieldOffset(std::uint16_t file, std::uint16_t field);
std::uint16_t FieldLength(std::uint16_t file, std::uint16_t field);
char FieldType(std::uint16_t file, std::uint16_t field);
FieldEntryRecord FieldEntry(std::uint16_t file, std::uint16_t field);
// The field whose name equals name exactly (case-sensitive); kNoField when none.
std::uint16_t FindField(std::uint16_t file, TextRef name);
// Empty: the current file. A text whose first byte is below "A" (bytes of 128 and above count as
// letters) is read as a number; otherwise the 1-based file whose name equals the text in lower
// case, 0 when none.
std::uint16_t FileNumberOf(TextRef text);
// All file names joined with ",", on the ScratchStack.
TextRef FileNameList();

// --- Checks ------------------------------------------------------------------------------------
// file when 1 <= file <= FileCount(), else the current file.
std::uint16_t CheckFile(std::uint16_t file);
// Sets _CURFIL when file is valid; answers the current file afterwards.
std::uint16_t SetCurrentFile(std::uint16_t file);
std::uint16_t CurrentFile();
// 0 when the file is valid and 1 <= field <= its field count, or field is kNoField; otherwise
// kDataOutBound with the detail "(File:f, Field:n)".
StatusCode CheckField(std::uint16_t file, std::uint16_t field);
// 0 when the file is valid and 1 <= index <= its index count; otherwise 168.
StatusCode CheckIndex(std::uint16_t file, std::uint16_t index);
// Segment count 0 and no segments when CheckIndex fails.
IndexDefinitionRecord IndexDefinition(std::uint16_t file, std::uint16_t index);
// Sum of the lengths of the first `segments` segments (0 or kAllSegments: all); when the index
// has no segments, the length of field 1.
std::uint16_t KeyLength(std::uint16_t file, std::uint16_t index, std::uint16_t segments);

// --- Field references ("name{file}", "3{clientes}", "{2}", "codigo{}") ------------------------
// A copy of the field's entry with status 0; "{file}" alone gives field 0, type "N". Failures are
// in status: kSyntax (no braces, unknown field; detail "Field:" + text), kFileOutBound (file 0 or
// above the count), kDataOutBound (field number above the file's count).
FieldEntryRecord ResolveFieldRef(TextRef text);
// "{" + file + "}", "{}" for file 0; on the ScratchStack.
TextRef FileRef(std::uint16_t file);

// --- Checkpoints (DictionaryCheckpoint stack) ---------------------------------------------------
// Saves the dictionary as it is (counts, current file, every record and text); kDataOutBound when
// kMaxDictionaryCheckpoints are saved, kOutOfMemory when its copy cannot be made.
StatusCode PushCheckpoint();
// Gives back the most recent saved dictionary exactly, whatever was added or edited since, and
// drops it; with none saved, resets the counts to 0. Records and texts added beyond the restored
// counts stay in the tables until overwritten.
StatusCode PopCheckpoint();
// PopCheckpoint, then removes every record and text above the restored counts.
StatusCode DiscardAboveCheckpoint();
// Empties the checkpoint stack and the whole dictionary.
StatusCode ClearDictionary();
std::uint16_t CheckpointDepth();

// --- Editing (file-structure editor) -------------------------------------------------------------
// After every edit the fields of the touched file are renumbered 1..n with offsets recomputed as
// running sums and the record length as their total, so the model reads as a fresh load would.
//
// Removes `count` fields from `first` on. kDataOutBound when a field of the range is outside the
// file.
StatusCode DeleteFields(std::uint16_t file, std::uint16_t first, std::uint16_t count);
// Removes the file with its fields, indexes and relation text; later files move down. kDataOutBound
// for an invalid file. A file without fields can be deleted.
StatusCode DeleteFile(std::uint16_t file);
// Inserts a field at position (1..count; count + 1 or kNoField appends). kDataOutBound outside that
// range.
StatusCode InsertField(std::uint16_t file, std::uint16_t position, TextRef name,
                       std::uint16_t length, char type);
// Replaces a field's name, length and type. kDataOutBound for a field outside the file.
StatusCode ModifyField(std::uint16_t file, std::uint16_t field, TextRef name, std::uint16_t length,
                       char type);
// Inserts a file (class 0, name in lower case) at position 1..count; later files, with their
// relation texts, move up. kDataOutBound for position 0 or above the count; kFileOutBound with 30
// files.
StatusCode InsertFile(std::uint16_t position, TextRef name, TextRef location);
// Replaces the file's name (in lower case, as loading stores it) and location. kDataOutBound for an
// invalid file.
StatusCode RenameFile(std::uint16_t file, TextRef name, TextRef location);

// --- Checks of the model itself ------------------------------------------------------------------
// The counters' invariants (written beside the counters) against the tables and text groups; a
// runtime not started holds them trivially.
InvariantStatus DictionaryCheckInvariants();

} // namespace vodarir
