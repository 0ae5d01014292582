// Typed tables: 24 numbered tables of fixed-size records, each one block of the pool (tag 29).
//
// Ownership: a pointer from TableSet/TableGet points into the table's block and stays valid until
// the table next grows, shrinks or is freed. Copy the record when you keep it.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"

namespace vodarir {

inline constexpr std::uint16_t kTypedTableCount = 24;

namespace table {
inline constexpr std::uint16_t kFileStruct = 0;   // _FILESTRUC: one record per dictionary file
inline constexpr std::uint16_t kFieldEntry = 1;   // _FIELDENTRY
inline constexpr std::uint16_t kIndexEntry = 2;   // _INDEXENTRY
inline constexpr std::uint16_t kIndexSegs = 3;    // _INDEXSEGS
inline constexpr std::uint16_t kScreens = 4;      // runtime screens
inline constexpr std::uint16_t kWindows = 5;      // runtime windows
inline constexpr std::uint16_t kArrays = 6;       // array descriptors
inline constexpr std::uint16_t kIntValues = 7;    // integer variable values, 2 bytes each
inline constexpr std::uint16_t kNumberValues = 8; // number variable values, 8 bytes each
inline constexpr std::uint16_t kFirstScreenRuntime = 12;
} // namespace table

// Creates the registry (itself a block of tag 29); kStructMemory when it cannot be. 0 when already
// done.
StatusCode TypedTablesInit();
bool TypedTablesReady();
// Stores size bytes of value at index (growing the table to index + 1 and creating it with that
// element size on first use; records added by the growth are zero, and a null value stores zeros).
// Null when the size differs from the table's, the index is 0xFFFF or memory is refused.
void* TableSet(std::uint16_t table, std::uint16_t index, const void* value, std::uint16_t size);
// The record at index, null beyond the count.
void* TableGet(std::uint16_t table, std::uint16_t index);
// Removes a record, later records move down; the table is freed when it becomes empty.
// kStructMemory for a missing table or index.
StatusCode TableRemove(std::uint16_t table, std::uint16_t index);
std::uint16_t TableCount(std::uint16_t table);
std::uint16_t TableElementSize(std::uint16_t table);
void TableFree(std::uint16_t table);
// Frees every table and then the registry; the tables refuse everything until the next init.
void TypedTablesRelease();

} // namespace vodarir
