// The SlotStore: the runtime's only long-lived text storage, numbered groups of indexed slots
// packed end to end in one block of the pool.
//
// Ownership: SlotGet returns a view into the store. It stays valid only until the next change of
// any slot, because setting a slot moves every byte behind it. Copy what you keep.
//
// Invariants:
//  1. The block holds counts[groups], then lengths[slot capacity], then the byte pool.
//  2. Slots are numbered flat in (group, index) order; lengths[flat] is the length of that slot,
//     and its bytes start at the pool start plus the lengths of all smaller flat indexes.
//  3. slots in use = sum of counts < slot capacity; bytes in use = sum of lengths < pool capacity.
//     Both checks are strict: a full store always keeps one slot and one byte free.
//  4. A refused change leaves every count, length and byte as it was.
// SlotStoreCheckInvariants checks 1 to 3 (4 is about a call, and its tests check it).
#pragma once

#include <cstdint>

#include "runtime/text/invariants.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

using SlotGroup = std::uint16_t;
using SlotIndex = std::uint16_t;
inline constexpr std::uint16_t kNoSlot = 0xFFFF;

inline constexpr std::uint16_t kDefaultSlotGroups = 39;
inline constexpr std::uint16_t kDefaultSlotCapacity = 2048;
inline constexpr std::uint16_t kDefaultSlotStoreBytes = 0xFFFF;
// Groups above this number are queues: SlotTop and SlotPop work on the front (slot 0).
inline constexpr SlotGroup kLastStackGroup = 36;

// Well-known groups.
namespace slotgroup {
inline constexpr SlotGroup kEnvironment = 0;
inline constexpr SlotGroup kButtonTexts = 5;
inline constexpr SlotGroup kRuntimeMessages = 9;
inline constexpr SlotGroup kDesigner = 10;
inline constexpr SlotGroup kVariableNames = 12;
inline constexpr SlotGroup kStringValues = 13;
inline constexpr SlotGroup kFileTexts = 31;
inline constexpr SlotGroup kValueStack = 35;
inline constexpr SlotGroup kFileLines = 37;
} // namespace slotgroup

struct SlotStoreConfig {
    std::uint16_t groups = kDefaultSlotGroups;
    std::uint16_t slots = kDefaultSlotCapacity;
    std::uint16_t bytes = kDefaultSlotStoreBytes;
};

// 0xFFFF keeps a value; only before SlotStoreInit.
void SlotStoreConfigure(std::uint16_t groups, std::uint16_t slots, std::uint16_t bytes);
SlotStoreConfig SlotStoreConfiguration();
// Back to the defaults (65535 bytes cannot be asked for through SlotStoreConfigure: it means keep).
void SlotStoreConfigureDefaults();
// PoolInit, then the store block (tag 3). kStrOutBound when the arrays leave no room for a byte
// pool.
StatusCode SlotStoreInit();
bool SlotStoreReady();

// Flat index of a slot, or 0xFFFF beyond the configuration (recorded as kStrOutBound, step 5, with
// record).
std::uint16_t SlotLocate(SlotGroup group, SlotIndex index, bool record);
// A view of the slot; an empty view when the slot does not exist (never a failed text).
TextRef SlotGet(SlotGroup group, SlotIndex index);
// Stores text (which may be a view into the store itself); extends the group when index >= count.
// kStrOutBound when the store is full, store unchanged; the failure is recorded as kLoadString with
// step 4.
StatusCode SlotSet(SlotGroup group, SlotIndex index, TextRef text);
// Removes a slot; the following slots of the group move down one index.
StatusCode SlotDelete(SlotGroup group, SlotIndex index);
// Empties every slot of the group, keeping its count.
StatusCode SlotClearGroup(SlotGroup group);
std::uint16_t SlotCount(SlotGroup group);

StatusCode SlotPush(SlotGroup group, TextRef text);
TextRef SlotTop(SlotGroup group);
StatusCode SlotPop(SlotGroup group);
StatusCode SlotPopTo(SlotGroup group, std::uint16_t n);

std::uint32_t SlotFreeBytes();
std::uint16_t SlotsInUse();

// Releases the runtime variables' tables (registered by their owner) and the sort work areas still
// open, then the store block and the ScratchStack blocks, then the pool. Answers the tag of a block
// still live when the store block is not the last one standing (a leak), else the pool's final
// answer (0).
using TablesReleaseFn = void (*)();
void SlotStoreSetTablesRelease(TablesReleaseFn release);
StatusCode SlotStoreShutdown();

// Invariants 1 to 3 as the store stands; a store not started holds them trivially.
InvariantStatus SlotStoreCheckInvariants();

// Test seam: called first thing in every SlotStoreShutdown, while the store, the tables and the
// stack are all still there (the test support checks every part's invariants at that point).
// Null removes it.
using ShutdownWatcher = void (*)();
void SlotStoreSetShutdownWatcher(ShutdownWatcher watcher);

} // namespace vodarir
