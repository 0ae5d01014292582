// The dictionary's checkpoints: saved states that PopCheckpoint and DiscardAboveCheckpoint give
// back.
//
// A checkpoint keeps a copy of every record and text of the dictionary (tables 0 to 3, groups 1
// to 4) besides its counters and the current file, because the editing steps change what lies
// below the counters too: an inserted file moves the files, names and relation texts after it up
// one place and renumbers their fields, a deleted one moves them down, a changed field rewrites
// its entry. Counters alone would give back the number of files, not which files they are.
//
// Invariants:
//  1. g_checkpoints[0 .. g_depth) are the saved states, the most recent last; each holds its
//     copy in `saved`, of `size` bytes, laid out as Snapshot writes it.
//  2. A pop restores the records and texts a state holds (the whole tables and groups as they
//     were) and its counters; records and texts that were added beyond them stay, meaning nothing
//     until overwritten, as after any pop. DiscardAboveCheckpoint then removes them.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "dictionary/dictionary.h"
#include "dictionary/dictionary_internal.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"

namespace vodarir {

using namespace dictionary_detail;

namespace {

constexpr std::uint16_t kTables[] = {table::kFileStruct, table::kFieldEntry, table::kIndexEntry,
                                     table::kIndexSegs};
constexpr SlotGroup kGroups[] = {dictgroup::kFileNames, dictgroup::kFileLocations,
                                 dictgroup::kFieldNames, dictgroup::kRelations};

struct DictionaryCheckpoint {
    Counters counters;
    std::int16_t currentFile = 0;
    std::unique_ptr<char[]> saved;
    std::uint32_t size = 0;
};

DictionaryCheckpoint g_checkpoints[kMaxDictionaryCheckpoints];
std::uint16_t g_depth = 0;

// Writes (or, with out null, only measures) the tables and groups: per table its count, its
// element size and its records; per group its count, then each slot's length and bytes.
class Snapshot {
public:
    explicit Snapshot(char* out) : out_(out) {}

    std::uint32_t Write() {
        for (const std::uint16_t t : kTables) {
            const std::uint16_t count = TableCount(t);
            const std::uint16_t size = count == 0 ? 0 : TableElementSize(t);
            Put16(count);
            Put16(size);
            for (std::uint16_t i = 0; i < count; ++i) Put(TableGet(t, i), size);
        }
        for (const SlotGroup g : kGroups) {
            const std::uint16_t count = SlotCount(g);
            Put16(count);
            for (SlotIndex i = 0; i < count; ++i) {
                const TextRef text = SlotGet(g, i);
                Put16(text.length);
                Put(text.data, text.length);
            }
        }
        return size_;
    }

private:
    void Put16(std::uint16_t v) { Put(&v, sizeof v); }
    void Put(const void* bytes, std::uint32_t n) {
        if (out_ != nullptr && n > 0) std::memcpy(out_ + size_, bytes, n);
        size_ += n;
    }

    char* out_;
    std::uint32_t size_ = 0;
};

// How many slots of a group the counters give a meaning: one per file, or one per field.
std::uint16_t MeaningfulSlots(SlotGroup g, const Counters& counters) {
    return g == dictgroup::kFieldNames ? counters.fields : counters.files;
}

// Reads a snapshot back into the tables and groups, changing only what differs. A slot the saved
// group did not have yet, among those the counters give a meaning, is emptied: a relation text
// appended under the checkpoint to a file that had none.
class Restore {
public:
    Restore(const char* in, const Counters& counters) : in_(in), counters_(counters) {}

    StatusCode Run() {
        for (const std::uint16_t t : kTables) {
            const std::uint16_t count = Get16();
            const std::uint16_t size = Get16();
            for (std::uint16_t i = 0; i < count; ++i) {
                const char* record = Take(size);
                const void* now = TableGet(t, i);
                if (now != nullptr && TableElementSize(t) == size &&
                    std::memcmp(now, record, size) == 0) {
                    continue;
                }
                const StatusCode st = PutRecord(t, i, record, size);
                if (st != status::kOk) return st;
            }
        }
        for (const SlotGroup g : kGroups) {
            const std::uint16_t count = Get16();
            for (SlotIndex i = 0; i < count; ++i) {
                const std::uint16_t length = Get16();
                const TextRef text(Take(length), length);
                if (i < SlotCount(g) && SlotGet(g, i).view() == text.view()) continue;
                const StatusCode st = SlotSet(g, i, text);
                if (st != status::kOk) return st;
            }
            const std::uint16_t meaningful = std::min(SlotCount(g), MeaningfulSlots(g, counters_));
            for (SlotIndex i = count; i < meaningful; ++i) {
                if (SlotGet(g, i).empty()) continue;
                const StatusCode st = SlotSet(g, i, TextRef());
                if (st != status::kOk) return st;
            }
        }
        return status::kOk;
    }

private:
    std::uint16_t Get16() {
        std::uint16_t v = 0;
        std::memcpy(&v, Take(sizeof v), sizeof v);
        return v;
    }
    const char* Take(std::uint32_t n) {
        const char* at = in_;
        in_ += n;
        return at;
    }

    const char* in_;
    const Counters& counters_;
};

} // namespace

std::uint16_t CheckpointDepth() { return g_depth; }

StatusCode PushCheckpoint() {
    if (g_depth >= kMaxDictionaryCheckpoints) return status::kDataOutBound;
    DictionaryCheckpoint& saved = g_checkpoints[g_depth];
    saved.size = Snapshot(nullptr).Write();
    saved.saved.reset(new (std::nothrow) char[saved.size == 0 ? 1 : saved.size]);
    if (saved.saved == nullptr) return status::kOutOfMemory;
    Snapshot(saved.saved.get()).Write();
    saved.counters = State();
    saved.currentFile = IntVarGet(sysvar::kCurFil);
    ++g_depth;
    return status::kOk;
}

StatusCode PopCheckpoint() {
    if (g_depth == 0) {
        State() = Counters();
        return status::kOk;
    }
    DictionaryCheckpoint& saved = g_checkpoints[--g_depth];
    const StatusCode st = Restore(saved.saved.get(), saved.counters).Run();
    State() = saved.counters;
    // The current file as it was, also when that was none: SetCurrentFile would keep a file
    // chosen under the checkpoint.
    IntVarSet(sysvar::kCurFil, saved.currentFile);
    saved.saved.reset();
    return st;
}

StatusCode DiscardAboveCheckpoint() {
    StatusCode st = PopCheckpoint();
    const Counters& counters = State();
    if (st == status::kOk) st = TruncateGroup(dictgroup::kRelations, counters.files);
    if (st == status::kOk) st = TruncateGroup(dictgroup::kFileLocations, counters.files);
    if (st == status::kOk) st = TruncateGroup(dictgroup::kFileNames, counters.files);
    if (st == status::kOk) st = TruncateTable(table::kFileStruct, counters.files);
    if (st == status::kOk) st = TruncateGroup(dictgroup::kFieldNames, counters.fields);
    if (st == status::kOk) st = TruncateTable(table::kFieldEntry, counters.fields);
    if (st == status::kOk) st = TruncateTable(table::kIndexEntry, counters.indexes);
    if (st == status::kOk) st = TruncateTable(table::kIndexSegs, counters.indexes);
    return st;
}

StatusCode ClearDictionary() {
    while (g_depth > 0) g_checkpoints[--g_depth].saved.reset();
    return DiscardAboveCheckpoint();
}

} // namespace vodarir
