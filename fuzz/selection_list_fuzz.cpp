// Fuzz target: application-selection lists (ZAA). The input is a list file, then, after a line
// "~~~~", a column the user typed over (its first byte picks which of the four).
//
// Properties: the list reads into the same lines as the runtime's line reader cuts (when every line
// fits it); the dialog's value of an unchanged list is never refused and writes the file back line
// for line; after an edit the dialog accepts, the written list reads back into the rows the user
// left with an identifier, field for field, and writing it again changes nothing.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "designer/app_selector.h"
#include "fuzz_support.h"
#include "host/text_files.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/text_ops.h"

namespace vodarir {
namespace {

using fuzz::Require;

using Row = std::vector<std::string>;

// The rows of a value that carry an identifier, four fields each.
std::vector<Row> RowsWithIdentifier(const AppSelection& value) {
    const auto items = [](const std::string& column) {
        std::vector<std::string> out;
        std::size_t at = 0;
        for (;;) {
            const std::size_t end = column.find("\r\n", at);
            out.push_back(column.substr(at, end == std::string::npos ? end : end - at));
            if (end == std::string::npos) return out;
            at = end + 2;
        }
    };
    const std::vector<std::string> columns[] = {items(value.ids), items(value.names),
                                                items(value.menus), items(value.folders)};
    std::vector<Row> rows;
    for (std::size_t i = 0; i < columns[0].size(); ++i) {
        if (columns[0][i].empty()) continue;
        Row row;
        for (const std::vector<std::string>& c : columns) row.push_back(i < c.size() ? c[i] : "");
        rows.push_back(row);
    }
    return rows;
}

std::optional<std::vector<std::string>> Read(std::string_view name) {
    const ScratchLevel depth = ScratchDepth();
    std::optional<std::vector<std::string>> lines = ReadAppList(TextView(fuzz::FolderFile(name)));
    fuzz::RequireBalanced(depth);
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string file;
    for (const std::string& line : lines) file += line + "\r\n";
    return file;
}

// The lines as the runtime's own line reader gives them, when every one fits it.
std::optional<std::vector<std::string>> RuntimeLines(std::string_view name) {
    const std::uint16_t before = SlotCount(slotgroup::kFileLines);
    const std::uint16_t n =
        ReadLines(TextView(fuzz::FolderFile(name)), 0, 0, slotgroup::kFileLines);
    if (n == kIoFailed) return std::nullopt;
    std::vector<std::string> lines;
    for (std::uint16_t i = 0; i < n; ++i) {
        lines.emplace_back(SlotGet(slotgroup::kFileLines, before).view());
        SlotDelete(slotgroup::kFileLines, before);
    }
    return lines;
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::ClearFolder();
    const auto parts =
        fuzz::SplitParts(std::string_view(reinterpret_cast<const char*>(data), size), 2);
    fuzz::WriteFile("LIST.ZAA", parts[0]);
    const std::optional<std::vector<std::string>> lines = Read("LIST.ZAA");
    if (!lines) {
        Require(parts[0].size() > kMaxTextLength); // only a list too long for a text is refused
        return 0;
    }
    Require(*lines == fuzz::SplitLines(parts[0]));
    if (const auto runtime = RuntimeLines("LIST.ZAA")) Require(*runtime == *lines);

    // Unchanged, the list goes back as it came, line for line.
    const AppSelection value = AppSelectionFromLines(*lines);
    Require(!FindAppListProblem(value, *lines).has_value());
    Require(AppListFromSelection(value, *lines) == Joined(*lines));

    if (parts.size() < 2) return 0;
    // The user types over one column; what the dialog accepts reads back as typed.
    AppSelection edited = value;
    std::string_view typed = parts[1];
    const std::uint8_t which = typed.empty() ? 0 : static_cast<std::uint8_t>(typed[0]);
    if (!typed.empty()) typed.remove_prefix(1);
    std::string* const columns[] = {&edited.ids, &edited.names, &edited.menus, &edited.folders};
    *columns[which % 4] = std::string(typed);
    if (FindAppListProblem(edited, *lines)) return 0; // refused with a message: nothing written
    const std::string file = AppListFromSelection(edited, *lines);
    if (file.size() > kMaxTextLength) return 0; // refused with 146 when saved
    fuzz::WriteFile("SAVED.ZAA", file);
    const std::optional<std::vector<std::string>> saved = Read("SAVED.ZAA");
    Require(saved.has_value());
    const AppSelection reread = AppSelectionFromLines(*saved);
    Require(RowsWithIdentifier(reread) == RowsWithIdentifier(edited));
    // Saved once, the list is a fixed point.
    Require(AppListFromSelection(reread, *saved) == Joined(*saved));
    return 0;
}
