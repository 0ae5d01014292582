// Relations between files: reading a relation (target index and key expression) out of a source
// file's relation text, and the relational operation behind the script function "FILEREL".
//
// A relation text is the file's relation lines joined with ":". Its items are written
// <target>R<relation>K<index>=<key expression> (or with ":" for "="), separated by any of
// ": &/"; a key expression holds those characters only inside quotes, and a key wholly enclosed
// in a pair of equal quotes is used without them. Item names count only where an item starts:
// at the start of the text or right after a separator, outside quoted runs.
//
// Ownership: RelationKey and ItemValue answer views into the text they search (for RelationKey
// the SlotStore: valid until the store next changes, so copy before evaluating anything).
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Characters that separate the items of a relation text.
inline constexpr TextRef kRelationItemSeparators = TextView(": &/");
// Mode bits of RelateRecord (the last argument of "FILEREL").
namespace relmode {
inline constexpr std::uint16_t kMove = 2;   // move on through the target file afterwards
inline constexpr std::uint16_t kInsert = 4; // insert the target record when it is not found
inline constexpr std::uint16_t kUpdate = 8; // with kInsert: delete; alone: only update on moves
} // namespace relmode

// The value of the item `name` in text: name followed by ":" is looked for first, then name
// followed by "="; the first separator that gives an item wins. The value runs to the next item
// separator outside quotes, or to the end, and is answered as written (quotes included). The
// failed TextRef kData when there is no such item (or name is empty).
TextRef ItemValue(TextRef text, TextRef name);

// The index of the target file the relation searches: the number after the first item named
// <target>R<relation>K in the source file's relation text; 0 when there is none (or its number is
// missing or above 65535).
std::uint16_t RelationIndex(std::uint16_t source, std::uint16_t target, std::uint16_t relation);
// The key expression of the relation (its item <target>R<relation>K<RelationIndex>); the empty
// text when the relation does not exist.
TextRef RelationKey(std::uint16_t source, std::uint16_t target, std::uint16_t relation);

// The relational operation: the relation's key is evaluated, then (bit 32 of _UPSTAT set and the
// mode not both kInsert and kUpdate) the update expression, template-expanded, goes to the
// low-level relational update of the target file; otherwise the target record is found through
// the relation's index and deleted, inserted, written or moved through as the mode says.
// kData when the relation does not exist, the evaluator's status for a failing key or update
// expression, else the record operations' status (kFeatureRemoved in this program, which holds no
// data, with the operation's name as the error detail).
StatusCode RelateRecord(std::uint16_t source, std::uint16_t target, std::uint16_t relation,
                        std::uint16_t mode, TextRef update);

} // namespace vodarir
