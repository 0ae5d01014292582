// Typed tables: the registry block and the tables of fixed-size records it describes.
//
// Invariants:
//  1. The registry is one block of the pool (tag 29) holding kTypedTableCount entries; it exists
//     between TypedTablesInit and TypedTablesRelease, and every table operation refuses without it.
//  2. An entry's data is null exactly when the table is empty (count 0, element size 0).
//  3. count × element size <= capacity, the byte size of the data block (tag 29); the bytes beyond
//     count × element size are zero, so a table that grows hands out zeroed records.
#include "runtime/store/typed_tables.h"

#include <cstring>

#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"

namespace vodarir {

namespace {

struct TableEntry {
    char* data;
    std::uint32_t capacity; // bytes in the data block
    std::uint16_t elementSize;
    std::uint16_t count;
};

// A new table starts with room for this many records; growth doubles it, so a table filled one
// record at a time is copied O(log n) times instead of once per record.
constexpr std::uint32_t kInitialRecords = 8;
constexpr std::uint32_t kMaxRecords = 0xFFFF;

TableEntry* g_registry = nullptr;

TableEntry* Entry(std::uint16_t table) {
    if (g_registry == nullptr || table >= kTypedTableCount) return nullptr;
    return &g_registry[table];
}

// Makes room for `records` records; false (table untouched) when memory is refused.
bool Reserve(TableEntry& e, std::uint32_t records) {
    const std::uint32_t needed = records * e.elementSize;
    if (needed <= e.capacity) return true;
    std::uint32_t grown = e.capacity == 0 ? kInitialRecords * e.elementSize : e.capacity * 2;
    if (grown < needed) grown = needed;
    char* data = BlockRealloc(tag::kTypedTable, e.data, e.capacity, grown);
    if (data == nullptr) return false;
    e.data = data;
    e.capacity = grown;
    return true;
}

} // namespace

StatusCode TypedTablesInit() {
    if (g_registry != nullptr) return status::kOk;
    char* block = BlockAlloc(tag::kTypedTable, kTypedTableCount * sizeof(TableEntry));
    if (block == nullptr) {
        return NoteFirstError(1, step::kStructFunc, status::kStructMemory, status::kStructMemory);
    }
    g_registry = reinterpret_cast<TableEntry*>(block); // zero-filled: every table empty
    return status::kOk;
}

bool TypedTablesReady() { return g_registry != nullptr; }

void* TableSet(std::uint16_t table, std::uint16_t index, const void* value, std::uint16_t size) {
    TableEntry* e = Entry(table);
    if (e == nullptr || size == 0 || std::uint32_t{index} + 1 > kMaxRecords) return nullptr;
    if (e->data == nullptr) {
        e->elementSize = size;
    } else if (e->elementSize != size) {
        return nullptr;
    }
    if (index >= e->count) {
        if (!Reserve(*e, std::uint32_t{index} + 1)) {
            if (e->data == nullptr) e->elementSize = 0;
            return nullptr;
        }
        e->count = static_cast<std::uint16_t>(index + 1);
    }
    char* record = e->data + std::uint32_t{index} * size;
    if (value != nullptr) {
        std::memmove(record, value, size);
    } else {
        std::memset(record, 0, size);
    }
    return record;
}

void* TableGet(std::uint16_t table, std::uint16_t index) {
    const TableEntry* e = Entry(table);
    if (e == nullptr || index >= e->count) return nullptr;
    return e->data + std::uint32_t{index} * e->elementSize;
}

StatusCode TableRemove(std::uint16_t table, std::uint16_t index) {
    TableEntry* e = Entry(table);
    if (e == nullptr || index >= e->count) return status::kStructMemory;
    const std::uint32_t size = e->elementSize;
    char* record = e->data + index * size;
    const std::uint32_t after = (e->count - index - 1u) * size;
    std::memmove(record, record + size, after);
    std::memset(record + after, 0, size); // keeps invariant 3 for the vacated last record
    if (--e->count == 0) TableFree(table);
    return status::kOk;
}

std::uint16_t TableCount(std::uint16_t table) {
    const TableEntry* e = Entry(table);
    return e == nullptr ? 0 : e->count;
}

std::uint16_t TableElementSize(std::uint16_t table) {
    const TableEntry* e = Entry(table);
    return e == nullptr ? 0 : e->elementSize;
}

void TableFree(std::uint16_t table) {
    TableEntry* e = Entry(table);
    if (e == nullptr || e->data == nullptr) return;
    BlockFree(tag::kTypedTable, e->data);
    *e = TableEntry{nullptr, 0, 0, 0};
}

void TypedTablesRelease() {
    if (g_registry == nullptr) return;
    for (std::uint16_t t = 0; t < kTypedTableCount; ++t) TableFree(t);
    BlockFree(tag::kTypedTable, g_registry);
    g_registry = nullptr;
}

} // namespace vodarir
