// The %NAME% expansions: configuration names, application folders and environment names.
#include "host/expansions.h"

#include <cstring>

#include "host/paths.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

// Configuration names: item n reads environment slot n (APNAME only the first two characters).
constexpr TextRef kConfigNames =
    "COMMANDLINE,APNAME,APDESCRIP,LANGMODULE.DOCPATH,DATAPATH,HELPPATH"_t;
constexpr std::uint16_t kApName = 2;
// Items of the database connection list in environment slot 11.
constexpr TextRef kDatabaseNames = "DATABASE_HOST,DATABASE_DBNAME,DATABASE_USER,DATABASE_PASSW"_t;
constexpr SlotIndex kDatabaseSlot = 11;
constexpr SlotIndex kAppNameSlot = 2;
constexpr std::uint16_t kAppPrefixLength = 2;
// Item k is the application folder of kind k.
constexpr TextRef kPathNames =
    "APPPATH_RUNPATH,APPPATH_DEFAULT,APPPATH_DATA,APPPATH_DOCS,APPPATH_HELP,APPPATH_BACKUP,"
    "APPPATH_BACKREL"_t;
constexpr TextRef kEnvironmentNames =
    "ALLUSERSPROFILE,APPDATA,CommonProgramFiles,HOMEDRIVE,"
    "HOMEPATH,ProgramFiles,SYSTEMDRIVE,SystemRoot,TEMP,USERPROFILE"_t;
constexpr TextRef kTempName = "TEMP"_t;

// Expansion re-reads what it inserted (a value may itself hold references); this bounds a value
// that refers to itself, so every expansion ends.
constexpr int kMaxExpansions = 1024;

// Item number (from 1) of name in a plain comma list, 0 when absent. Exact and case-sensitive.
std::uint16_t NameIndex(TextRef list, TextRef name) {
    const std::string_view all = list.view();
    std::uint16_t item = 1;
    for (std::size_t start = 0;; ++item) {
        std::size_t end = all.find(',', start);
        if (end == std::string_view::npos) end = all.size();
        if (all.substr(start, end - start) == name.view()) return item;
        if (end == all.size()) return 0;
        start = end + 1;
    }
}

// cur with [from, from + length) replaced by value, brought down to mark.
TextRef Splice(ScratchLevel mark, TextRef cur, std::uint16_t from, std::uint16_t length,
               TextRef value) {
    if (value.failed()) return value;
    const std::uint32_t total = std::uint32_t{cur.length} - length + value.length;
    if (total > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    char* out = ScratchAllocPtr(total, kNoFill);
    if (out == nullptr) return TextRef::Failed(status::kOutOfMemory);
    const std::uint16_t tail = static_cast<std::uint16_t>(cur.length - from - length);
    std::memcpy(out, cur.data, from);
    std::memcpy(out + from, value.data, value.length);
    std::memcpy(out + from + value.length, cur.data + from + length, tail);
    return ScratchReturn(mark, TextRef(out, static_cast<std::uint16_t>(total)));
}

// The value of a configuration name: a view into the SlotStore or a copy on the ScratchStack.
TextRef ConfigValue(TextRef name) {
    const std::uint16_t n = NameIndex(kConfigNames, name);
    if (n == kApName)
        return TextSub(SlotGet(slotgroup::kEnvironment, kAppNameSlot), 0, kAppPrefixLength);
    if (n != 0) return SlotGet(slotgroup::kEnvironment, n);
    const std::uint16_t d = NameIndex(kDatabaseNames, name);
    if (d == 0) return TextRef();
    return TextClean(ListItem(SlotGet(slotgroup::kEnvironment, kDatabaseSlot), ',', d));
}

// The value of a path or environment name; `known` is cleared for any other name.
TextRef PathValue(TextRef name, bool* known) {
    *known = true;
    const std::uint16_t kind = NameIndex(kPathNames, name);
    // The path names stand in the order of the folder kinds' numbers.
    if (kind != 0) return AppFolder(static_cast<AppFolderKind>(kind));
    // TEMP stands for the temporary folder, which has fallbacks where TEMP is not set.
    if (NameIndex(kTempName, name) != 0) return TempPath(TextRef());
    if (NameIndex(kEnvironmentNames, name) != 0) return EnvValue(name);
    *known = false;
    return TextRef();
}

struct Reference {
    std::uint16_t open = kNotFound; // the first "%"
    std::uint16_t close = kNotFound;
    TextRef name;
};

// The next pair of "%" at or after from, quotes ignored.
Reference NextReference(TextRef t, std::uint16_t from) {
    Reference r;
    const std::string_view s = t.view();
    const std::size_t open = s.find('%', from);
    if (open == std::string_view::npos) return r;
    const std::size_t close = s.find('%', open + 1);
    if (close == std::string_view::npos) return r;
    r.open = static_cast<std::uint16_t>(open);
    r.close = static_cast<std::uint16_t>(close);
    r.name = TextRef(t.data + open + 1, static_cast<std::uint16_t>(close - open - 1));
    return r;
}

// Replaces every "%name%" of t by value (no quote skipping), brought down to mark.
TextRef ReplaceReference(ScratchLevel mark, TextRef t, TextRef name, TextRef value) {
    const TextRef pattern = TextEnclose(name, '%');
    if (pattern.failed()) return pattern;
    return ScratchReturn(mark, TextReplace(t, pattern, value, true));
}

} // namespace

TextRef ExpandConfig(TextRef text) {
    if (text.failed()) return text;
    ScratchScope scope;
    TextRef cur = ScratchReturn(scope.mark(), text);
    char quote = 0;
    int expansions = 0;
    // A reference is looked for outside quotes only; what a value brings in is read again.
    for (std::uint16_t pos = 0; !cur.failed() && pos < cur.length;) {
        const char c = static_cast<char>(cur.at(pos));
        if (quote != 0 || c == '\'' || c == '"') {
            quote = quote == 0 ? c : (c == quote ? 0 : quote);
            ++pos;
            continue;
        }
        if (c != '%') {
            ++pos;
            continue;
        }
        const Reference r = NextReference(cur, pos);
        if (r.open == kNotFound || ++expansions > kMaxExpansions) break;
        cur = Splice(scope.mark(), cur, r.open, static_cast<std::uint16_t>(r.close - r.open + 1),
                     ConfigValue(r.name));
    }
    return scope.Return(cur);
}

TextRef ExpandPaths(TextRef text) {
    if (text.failed()) return text;
    ScratchScope scope;
    TextRef cur = ScratchReturn(scope.mark(), text);
    bool configDone = false;
    std::uint16_t from = 0;
    for (int round = 0; !cur.failed() && round < kMaxExpansions; ++round) {
        const Reference r = NextReference(cur, from);
        if (r.open == kNotFound) break;
        bool known = false;
        const TextRef value = PathValue(r.name, &known);
        if (known) {
            cur = ReplaceReference(scope.mark(), cur, r.name, value);
            from = r.open;
        } else if (!configDone) {
            // The configuration rules then settle every other reference of the text at once.
            cur = ScratchReturn(scope.mark(), ExpandConfig(cur));
            configDone = true;
            from = 0;
        } else {
            // What is left is a reference the configuration rules kept (inside quotes).
            from = static_cast<std::uint16_t>(r.open + 1);
        }
    }
    return scope.Return(ExpandConfig(cur));
}

} // namespace vodarir
