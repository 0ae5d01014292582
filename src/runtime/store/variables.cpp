// Runtime variables: names, typed values, the "_" hook, snapshots and arrays.
//
// Invariants:
//  1. SlotStore group 12 holds four comma lists of names (0 integers and "@" names, 1 numbers,
//     2 strings, 3 arrays); a variable's number is its position in its list, from 0. Names never
//     hold a comma or a quote, so the lists split plainly and exactly.
//  2. Integer values live in table 7 (2 bytes), numbers in table 8 (8 bytes), strings in group 13,
//     each at the variable's number; a value that was never stored reads 0 or empty.
//  3. Array n has its descriptor in table 6 at n; a descriptor with a null block is undeclared.
//     Every non-null block is a pool block of tag 33 owned by exactly one descriptor.
#include "runtime/store/variables.h"

#include <cstdio>
#include <cstring>

#include "runtime/store/number_text.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/typed_tables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {

using namespace literals;

constexpr SlotIndex kIntegerNames = 0;
constexpr SlotIndex kNumberNames = 1;
constexpr SlotIndex kStringNames = 2;
constexpr SlotIndex kArrayNames = 3;
constexpr std::uint16_t kNameLists = 4;
constexpr std::uint16_t kMaxVariables = 0xFFFE; // numbers are 16-bit and 0xFFFF means absent
// Beyond this, an array's element numbers would no longer fit the 16-bit element access.
constexpr std::uint32_t kMaxArrayElements = 0xFFFF;
constexpr std::uint32_t kMaxArrayBytes = 16u * 1024 * 1024;
constexpr std::size_t kIntTextSize = 8; // "-32768" and a NUL
constexpr char kBlank = ' ';

struct ArrayDescriptor {
    std::uint16_t elementType;
    std::uint16_t elementSize;
    std::uint16_t dimCount;
    std::uint16_t dims[kMaxArrayDims]; // declared bound + 1
    std::uint32_t count;
    char* block;
};

VarHook g_hooks[kVarHookCount] = {};

SlotIndex ListOf(std::uint16_t type) {
    switch (type) {
    case vartype::kNumber:
        return kNumberNames;
    case vartype::kString:
        return kStringNames;
    case vartype::kArray:
        return kArrayNames;
    default:
        return kIntegerNames;
    }
}

TextRef NameList(SlotIndex list) { return SlotGet(slotgroup::kVariableNames, list); }

std::uint16_t ItemCount(TextRef list) {
    if (list.empty()) return 0;
    std::uint16_t n = 1;
    for (char c : list.view()) n += c == ',';
    return n;
}

// Position (from 0) of name in a comma list, kNoSlot when absent.
std::uint16_t FindName(TextRef list, TextRef name) {
    const std::string_view all = list.view();
    std::uint16_t item = 0;
    std::size_t start = 0;
    while (start <= all.size() && !all.empty()) {
        std::size_t end = all.find(',', start);
        if (end == std::string_view::npos) end = all.size();
        if (all.substr(start, end - start) == name.view()) return item;
        ++item;
        start = end + 1;
    }
    return kNoSlot;
}

bool ValidName(TextRef name) {
    if (name.empty()) return false;
    for (char c : name.view()) {
        if (c == ',' || c == '\'' || c == '"') return false;
    }
    return true;
}

bool StartsWithUnderscore(TextRef name) { return !name.empty() && name.at(0) == '_'; }

// An array is known by its name up to and including its "(" ("A$(1,2)" and "A$" are "A$(").
TextRef ArrayKey(TextRef name) {
    const std::size_t open = name.view().find('(');
    if (open != std::string_view::npos) return TextRef(name.data, std::uint16_t(open + 1));
    if (ScratchConcat(name, "("_t) != status::kOk) return TextRef::Failed(status::kOutOfMemory);
    return ScratchTop();
}

// The type of an array's elements: the name's own type letters with the "(" taken out.
std::uint16_t ElementType(TextRef key) {
    return VarType(TextRef(key.data, std::uint16_t(key.length - 1)));
}

TextRef IntText(std::int64_t n) {
    char text[kIntTextSize + 16];
    const int len = std::snprintf(text, sizeof text, "%lld", static_cast<long long>(n));
    const StatusCode st = ScratchPush(TextRef(text, static_cast<std::uint16_t>(len)));
    return st == status::kOk ? ScratchTop() : TextRef::Failed(st);
}

// A value text as a 16-bit integer: read as a number, then rounded; kDataOutBound outside the
// range.
StatusCode ToInteger(TextRef text, std::int16_t* out) {
    const int decimals = FixedDecimals();
    FixedNumber f = 0;
    const StatusCode st = FixedFromText(text, decimals, &f);
    if (st != status::kOk) return st;
    const std::int64_t whole = FixedToWhole(f, decimals);
    if (whole < INT16_MIN || whole > INT16_MAX) return status::kDataOutBound;
    *out = static_cast<std::int16_t>(whole);
    return status::kOk;
}

StatusCode StoreInteger(std::uint16_t n, TextRef text) {
    std::int16_t v = 0;
    const StatusCode st = ToInteger(text, &v);
    if (st != status::kOk) return st;
    // The number of decimals every number is scaled by: the scale 10^D has room for 0 to 4.
    if (n == sysvar::kPrecis && (v < 0 || v > kMaxDecimals)) return status::kDataOutBound;
    return TableSet(table::kIntValues, n, &v, sizeof v) ? status::kOk : status::kStructMemory;
}

StatusCode StoreNumber(std::uint16_t n, TextRef text) {
    FixedNumber f = 0;
    const StatusCode st = FixedFromText(text, &f);
    if (st != status::kOk) return st;
    return TableSet(table::kNumberValues, n, &f, sizeof f) ? status::kOk : status::kStructMemory;
}

StatusCode Fail(StatusCode st, std::uint16_t stepNumber) {
    return st == status::kOk ? st : NoteFirstError(1, stepNumber, st, st);
}

// The hook's answer for a "_" name; `declined` when there is no hook or it answered 163.
TextRef AskHook(TextRef name, int mode, bool* declined) {
    *declined = true;
    if (!StartsWithUnderscore(name) || g_hooks[0] == nullptr) return TextRef();
    const TextRef answer = g_hooks[0](name, mode);
    *declined = answer.failed() && answer.status() == status::kData;
    return answer;
}

// A hook's text must read as a whole number for the numeric types.
bool FitsType(std::uint16_t type, TextRef text) {
    if (type != vartype::kInteger && type != vartype::kNumber) return true;
    FixedNumber f = 0;
    std::uint16_t used = 0;
    if (FixedFromText(text, FixedDecimals(), &f, &used) != status::kOk) return false;
    std::size_t end = used;
    while (end < text.length && (text.at(end) == ' ' || text.at(end) == '\t')) ++end;
    return end == text.length;
}

} // namespace

std::uint16_t VarType(TextRef name) {
    const std::string_view s = name.view();
    if (s.find('@') != std::string_view::npos) return vartype::kReadOnly;
    if (s.find('(') != std::string_view::npos) return vartype::kArray;
    if (s.find('$') != std::string_view::npos) return vartype::kString;
    if (s.find('#') != std::string_view::npos) return vartype::kNumber;
    return vartype::kInteger;
}

VarLocation VarLocate(TextRef name) {
    VarLocation where{VarType(name), kNoSlot};
    if (name.failed()) return where;
    ScratchScope scope;
    const TextRef key = where.type == vartype::kArray ? ArrayKey(name) : name;
    if (!key.failed()) where.number = FindName(NameList(ListOf(where.type)), key);
    return where;
}

VarLocation VarCreate(TextRef name) {
    VarLocation where = VarLocate(name);
    if (where.number != kNoSlot || name.failed()) return where;
    ScratchScope scope;
    const TextRef key = where.type == vartype::kArray ? ArrayKey(name) : name;
    const SlotIndex list = ListOf(where.type);
    const TextRef names = NameList(list);
    const std::uint16_t count = ItemCount(names);
    StatusCode st = ValidName(key) ? status::kOk : status::kVarName;
    if (st == status::kOk && count < kMaxVariables) {
        st = names.empty() ? ScratchPush(key) : ScratchConcat(names, ","_t);
        if (st == status::kOk && !names.empty()) st = ScratchConcat(ScratchTop(), key);
        if (st == status::kOk) st = SlotSet(slotgroup::kVariableNames, list, ScratchTop());
        if (st == status::kOk) where.number = count;
    }
    return where;
}

StatusCode VarAssign(TextRef name, TextRef value) {
    if (name.failed()) return Fail(name.status(), step::kVarNameAssign);
    if (value.failed()) return Fail(value.status(), step::kVarNameAssign);
    ScratchScope scope;
    StatusCode st = status::kOk;
    bool declined = true;
    if (StartsWithUnderscore(name) && g_hooks[0] != nullptr) {
        st = ScratchPush(value);
        if (st == status::kOk) {
            const TextRef answer = AskHook(name, kHookWrite, &declined);
            if (!declined) st = answer.status();
        }
    }
    if (st == status::kOk && declined) {
        // Both may be views into the SlotStore, which creating the name is about to move.
        st = ScratchPush(name);
        const TextRef ownName = ScratchTop();
        if (st == status::kOk) st = ScratchPush(value);
        const TextRef ownValue = ScratchTop();
        const std::uint16_t type = VarType(ownName);
        if (st == status::kOk && type != vartype::kInteger && type != vartype::kNumber &&
            type != vartype::kString) {
            st = status::kSyntax;
        }
        VarLocation where;
        if (st == status::kOk) {
            where = VarCreate(ownName);
            if (where.number == kNoSlot) st = status::kVarName;
        }
        if (st == status::kOk) {
            if (type == vartype::kInteger) st = StoreInteger(where.number, ownValue);
            if (type == vartype::kNumber) st = StoreNumber(where.number, ownValue);
            if (type == vartype::kString) {
                st = SlotSet(slotgroup::kStringValues, where.number, ownValue);
            }
        }
    }
    return Fail(st, step::kVarNameAssign);
}

StatusCode VarValue(TextRef name, TextRef* value) {
    *value = TextRef::Failed(status::kSyntax);
    if (name.failed()) return name.status();
    ScratchScope scope;
    const std::uint16_t type = VarType(name);
    bool declined = true;
    const TextRef answer = AskHook(name, kHookRead, &declined);
    TextRef result = TextRef::Failed(status::kSyntax);
    if (!declined) {
        result = answer;
        if (!answer.failed() && !FitsType(type, answer)) {
            result = TextRef::Failed(status::kIncompatibleTypes);
        }
    } else {
        const VarLocation where = VarLocate(name);
        if (type == vartype::kInteger) result = IntText(IntVarGet(where.number));
        if (type == vartype::kNumber) result = FixedToText(NumVarGet(where.number));
        if (type == vartype::kString) result = SlotGet(slotgroup::kStringValues, where.number);
    }
    if (result.failed()) return result.status();
    *value = scope.Return(result);
    return value->status();
}

std::int16_t IntVarGet(std::uint16_t n) {
    std::int16_t v = 0;
    if (const void* p = TableGet(table::kIntValues, n)) std::memcpy(&v, p, sizeof v);
    return v;
}

void IntVarSet(std::uint16_t n, std::int16_t value) {
    TableSet(table::kIntValues, n, &value, sizeof value);
}

bool IntVarTest(std::uint16_t n, std::uint16_t mask) {
    return (static_cast<std::uint16_t>(IntVarGet(n)) & mask) != 0;
}

std::uint16_t IntVarFlags(std::uint16_t n, std::uint16_t mask, bool on) {
    std::uint16_t bits = static_cast<std::uint16_t>(IntVarGet(n));
    bits = on ? std::uint16_t(bits | mask) : std::uint16_t(bits & ~mask);
    IntVarSet(n, static_cast<std::int16_t>(bits));
    return static_cast<std::uint16_t>(IntVarGet(n)) & mask;
}

std::int64_t NumVarGet(std::uint16_t n) {
    std::int64_t v = 0;
    if (const void* p = TableGet(table::kNumberValues, n)) std::memcpy(&v, p, sizeof v);
    return v;
}

void NumVarSet(std::uint16_t n, std::int64_t value) {
    TableSet(table::kNumberValues, n, &value, sizeof value);
}

void VarSetHook(std::uint16_t entry, VarHook hook) {
    if (entry < kVarHookCount) g_hooks[entry] = hook;
}

VarHook VarGetHook(std::uint16_t entry) { return entry < kVarHookCount ? g_hooks[entry] : nullptr; }

// --- Snapshots ----------------------------------------------------------------------------------

VarSnapshotRecord VarSnapshot() {
    VarSnapshotRecord r;
    for (std::uint16_t i = 0; i < kNameLists; ++i) {
        const TextRef list = NameList(i);
        r.listLength[i] = list.length;
        r.listCount[i] = ItemCount(list);
    }
    r.intCount = TableCount(table::kIntValues);
    r.numberCount = TableCount(table::kNumberValues);
    r.arrayCount = TableCount(table::kArrays);
    r.stringCount = SlotCount(slotgroup::kStringValues);
    return r;
}

namespace {

ArrayDescriptor* Descriptor(std::uint16_t n) {
    return static_cast<ArrayDescriptor*>(TableGet(table::kArrays, n));
}

void FreeArrayBlock(std::uint16_t n) {
    ArrayDescriptor* d = Descriptor(n);
    if (d == nullptr || d->block == nullptr) return;
    BlockFree(tag::kArray, d->block);
    d->block = nullptr;
}

// Cuts a table back to `keep` records; `beforeRemove` sees each record about to go.
void CutTable(std::uint16_t t, std::uint16_t keep, void (*beforeRemove)(std::uint16_t)) {
    while (TableCount(t) > keep) {
        const std::uint16_t last = static_cast<std::uint16_t>(TableCount(t) - 1);
        if (beforeRemove != nullptr) beforeRemove(last);
        TableRemove(t, last);
    }
}

std::uint16_t Larger(std::uint16_t a, std::uint16_t b) { return a > b ? a : b; }

} // namespace

StatusCode VarRestore(const VarSnapshotRecord& record) {
    for (std::uint16_t i = 0; i < kNameLists; ++i) {
        if (NameList(i).length < record.listLength[i]) return status::kInternal;
    }
    for (std::uint16_t i = 0; i < kNameLists; ++i) {
        const TextRef list = NameList(i);
        const StatusCode st =
            SlotSet(slotgroup::kVariableNames, i, TextRef(list.data, record.listLength[i]));
        if (st != status::kOk) return st;
    }
    // A variable that existed at the snapshot but got its first value afterwards lies beyond the
    // recorded table count; it survives the restore, so its value must too.
    CutTable(table::kIntValues, Larger(record.intCount, record.listCount[kIntegerNames]), nullptr);
    CutTable(table::kNumberValues, Larger(record.numberCount, record.listCount[kNumberNames]),
             nullptr);
    CutTable(table::kArrays, Larger(record.arrayCount, record.listCount[kArrayNames]),
             FreeArrayBlock);
    return SlotPopTo(slotgroup::kStringValues,
                     Larger(record.stringCount, record.listCount[kStringNames]));
}

// --- Arrays
// ---------------------------------------------------------------------------------------

namespace {

std::uint16_t ElementWidth(std::uint16_t type, TextRef initial) {
    if (type == vartype::kInteger) return sizeof(std::int16_t);
    if (type == vartype::kNumber) return sizeof(FixedNumber);
    return initial.length;
}

// Element count of the bounds, or 0 when it exceeds kMaxArrayElements.
std::uint32_t ElementCount(std::initializer_list<std::uint16_t> bounds) {
    std::uint32_t count = 1;
    for (std::uint16_t b : bounds) {
        count *= std::uint32_t{b} + 1;
        if (count > kMaxArrayElements) return 0;
    }
    return count;
}

void FillElements(char* block, std::uint32_t count, std::uint16_t width, TextRef initial,
                  std::uint16_t type) {
    if (type != vartype::kString) return; // the block comes zero-filled: 0 for every number
    for (std::uint32_t e = 0; e < count; ++e) std::memcpy(block + e * width, initial.data, width);
}

StatusCode Declare(TextRef name, std::initializer_list<std::uint16_t> bounds) {
    if (bounds.size() > kMaxArrayDims) return status::kDimStruct;
    const TextRef key = ArrayKey(name);
    if (key.failed()) return key.status();
    const std::uint16_t type = ElementType(key);
    if (type != vartype::kInteger && type != vartype::kNumber && type != vartype::kString) {
        return status::kIncompatibleTypes;
    }
    // A string array takes its width and initial value from the top of the value stack.
    TextRef initial = type == vartype::kString ? SlotTop(slotgroup::kValueStack) : TextRef();
    if (ScratchPush(initial) != status::kOk) return status::kOutOfMemory;
    initial = ScratchTop();
    const std::uint16_t width = ElementWidth(type, initial);
    const std::uint32_t count = ElementCount(bounds);
    if (count == 0) return status::kDimStruct;
    if (count == 1 || width == 0) return status::kSyntax;
    if (count * width > kMaxArrayBytes) return status::kOutOfMemory;

    const VarLocation where = VarCreate(key);
    if (where.number == kNoSlot) return status::kVarName;
    char* block = BlockAlloc(tag::kArray, count * width);
    if (block == nullptr) return status::kOutOfMemory;
    FillElements(block, count, width, initial, type);

    ArrayDescriptor d{type, width, static_cast<std::uint16_t>(bounds.size()), {}, count, block};
    std::size_t k = 0;
    for (std::uint16_t b : bounds) d.dims[k++] = static_cast<std::uint16_t>(b + 1);
    FreeArrayBlock(where.number); // a second declaration replaces the first
    if (TableSet(table::kArrays, where.number, &d, sizeof d) == nullptr) {
        BlockFree(tag::kArray, block);
        return status::kStructMemory;
    }
    return status::kOk;
}

// The declared array of a name and the element its indices address (row-major).
struct ElementRef {
    StatusCode status = status::kOk;
    ArrayDescriptor* array = nullptr;
    char* element = nullptr;
};

ElementRef Element(TextRef name, std::initializer_list<std::uint16_t> indices) {
    const TextRef key = ArrayKey(name);
    if (key.failed()) return {key.status()};
    const VarLocation where = VarLocate(key);
    ArrayDescriptor* d = where.number == kNoSlot ? nullptr : Descriptor(where.number);
    if (d == nullptr || d->block == nullptr) return {status::kVarName};
    if (indices.size() != d->dimCount) return {status::kDataOutBound};
    std::uint32_t number = 0;
    std::size_t k = 0;
    for (std::uint16_t i : indices) {
        if (i >= d->dims[k]) return {status::kDataOutBound};
        number = number * d->dims[k++] + i;
    }
    if (number >= d->count) return {status::kDataOutBound};
    return {status::kOk, d, d->block + number * d->elementSize};
}

} // namespace

StatusCode ArrayDim(TextRef name, std::initializer_list<std::uint16_t> bounds) {
    if (name.failed()) return name.status();
    ScratchScope scope;
    return Fail(Declare(name, bounds), step::kVarStructs);
}

StatusCode ArrayGet(TextRef name, std::initializer_list<std::uint16_t> indices, TextRef* value) {
    *value = TextRef::Failed(status::kVarName);
    if (name.failed()) return name.status();
    ScratchScope scope;
    const ElementRef e = Element(name, indices);
    TextRef result = TextRef::Failed(e.status);
    if (e.status == status::kOk) {
        const ArrayDescriptor& d = *e.array;
        if (d.elementType == vartype::kInteger) {
            std::int16_t v;
            std::memcpy(&v, e.element, sizeof v);
            result = IntText(v);
        } else if (d.elementType == vartype::kNumber) {
            FixedNumber v;
            std::memcpy(&v, e.element, sizeof v);
            result = FixedToText(v);
        } else {
            result = TextRef(e.element, d.elementSize);
        }
    }
    if (result.failed()) return Fail(result.status(), step::kVarStructs);
    *value = scope.Return(result);
    return value->status();
}

StatusCode ArraySet(TextRef name, std::initializer_list<std::uint16_t> indices, TextRef value) {
    if (name.failed()) return name.status();
    if (value.failed()) return Fail(value.status(), step::kVarStructs);
    ScratchScope scope;
    const ElementRef e = Element(name, indices);
    StatusCode st = e.status;
    if (st == status::kOk) {
        const ArrayDescriptor& d = *e.array;
        if (d.elementType == vartype::kInteger) {
            std::int16_t v = 0;
            st = ToInteger(value, &v);
            if (st == status::kOk) std::memcpy(e.element, &v, sizeof v);
        } else if (d.elementType == vartype::kNumber) {
            FixedNumber v = 0;
            st = FixedFromText(value, &v);
            if (st == status::kOk) std::memcpy(e.element, &v, sizeof v);
        } else if (value.length > d.elementSize) {
            st = status::kStringTooLong; // a fixed-width element never cuts a value silently
        } else {
            std::memmove(e.element, value.data, value.length);
            std::memset(e.element + value.length, kBlank, d.elementSize - value.length);
        }
    }
    return Fail(st, step::kVarStructs);
}

bool ArrayCheck(TextRef name) {
    if (VarType(name) != vartype::kArray) return false;
    const VarLocation where = VarLocate(name);
    const ArrayDescriptor* d = where.number == kNoSlot ? nullptr : Descriptor(where.number);
    return d != nullptr && d->block != nullptr;
}

void VariablesRelease() {
    for (std::uint16_t n = 0; n < TableCount(table::kArrays); ++n) FreeArrayBlock(n);
    TypedTablesRelease();
}

} // namespace vodarir
