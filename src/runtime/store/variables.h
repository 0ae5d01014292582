// Runtime variables of the application language: integers, numbers, strings and arrays by name,
// the system variables by number, the hook table for "_" names, snapshots.
//
// Ownership: values read as text are placed on the ScratchStack (caller's level discipline).
// Names live in SlotStore group 12, string values in group 13, integer and number values in
// typed tables 7 and 8, array descriptors in table 6 with element blocks of tag 33.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// Variable types, as VarType answers them.
namespace vartype {
inline constexpr std::uint16_t kReadOnly = 0; // a name with "@"
inline constexpr std::uint16_t kInteger = 2;
inline constexpr std::uint16_t kString = 3;
inline constexpr std::uint16_t kNumber = 6;
inline constexpr std::uint16_t kArray = 16;
} // namespace vartype

// System integer variables by number (their order of creation).
namespace sysvar {
inline constexpr std::uint16_t kErrCode = 0;
inline constexpr std::uint16_t kErrFunc = 1;
inline constexpr std::uint16_t kCurFil = 2;
inline constexpr std::uint16_t kCurEdFld = 3;
inline constexpr std::uint16_t kDevHig = 4;
inline constexpr std::uint16_t kDevWid = 5;
inline constexpr std::uint16_t kCurRow = 9;
inline constexpr std::uint16_t kStat = 10;
inline constexpr std::uint16_t kLastKey = 11;
inline constexpr std::uint16_t kUpStat = 13;
inline constexpr std::uint16_t kCount = 17;
inline constexpr std::uint16_t kHCount = 18;
inline constexpr std::uint16_t kCompat = 20;
inline constexpr std::uint16_t kScrStat = 21;
inline constexpr std::uint16_t kTrace = 31;
inline constexpr std::uint16_t kPrecis = 32;
inline constexpr std::uint16_t kBYear = 33;
inline constexpr std::uint16_t kBKYear = 34;
inline constexpr std::uint16_t kDate = 38;
inline constexpr std::uint16_t kUser01 = 39; // free for the program: the designer's report options
} // namespace sysvar

// _COMPAT bit the designer sets: design mode.
inline constexpr std::uint16_t kCompatDesignMode = 0x400;

struct VarLocation {
    std::uint16_t type = vartype::kInteger;
    std::uint16_t number = 0xFFFF; // 0xFFFF: absent
};

std::uint16_t VarType(TextRef name);
VarLocation VarLocate(TextRef name);
// Appends the name to its list; number 0xFFFF when it cannot be added.
VarLocation VarCreate(TextRef name);
StatusCode VarAssign(TextRef name, TextRef value);
// The value as text on the ScratchStack in *value.
StatusCode VarValue(TextRef name, TextRef* value);

std::int16_t IntVarGet(std::uint16_t n);
void IntVarSet(std::uint16_t n, std::int16_t value);
bool IntVarTest(std::uint16_t n, std::uint16_t mask);
std::uint16_t IntVarFlags(std::uint16_t n, std::uint16_t mask, bool on);
std::int64_t NumVarGet(std::uint16_t n);
void NumVarSet(std::uint16_t n, std::int64_t value);

// Hooks: entry 0 serves names beginning with "_". Mode 1 reads, mode 5 writes (the value on top of
// the ScratchStack). Answering the failed TextRef kData declines.
inline constexpr std::uint16_t kVarHookCount = 24;
inline constexpr int kHookRead = 1;
inline constexpr int kHookWrite = 5;
using VarHook = TextRef (*)(TextRef name, int mode);
void VarSetHook(std::uint16_t entry, VarHook hook);
// The hook installed at entry, null when none (or beyond the table).
VarHook VarGetHook(std::uint16_t entry);

struct VarSnapshotRecord {
    std::uint16_t listLength[4] = {};
    std::uint16_t listCount[4] = {};
    std::uint16_t intCount = 0;
    std::uint16_t numberCount = 0;
    std::uint16_t arrayCount = 0;
    std::uint16_t stringCount = 0;
};
VarSnapshotRecord VarSnapshot();
StatusCode VarRestore(const VarSnapshotRecord& record);

// Arrays of up to four dimensions; bounds are the declared upper indices.
inline constexpr std::size_t kMaxArrayDims = 4;
StatusCode ArrayDim(TextRef name, std::initializer_list<std::uint16_t> bounds);
StatusCode ArrayGet(TextRef name, std::initializer_list<std::uint16_t> indices, TextRef* value);
StatusCode ArraySet(TextRef name, std::initializer_list<std::uint16_t> indices, TextRef value);
bool ArrayCheck(TextRef name);

// Frees the array blocks and the typed tables (the first steps of the shutdown order).
void VariablesRelease();

} // namespace vodarir
