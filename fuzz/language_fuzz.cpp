// Fuzz target: language files (DU_ZERA_xx.MSJ) read into the message catalogue. The first byte
// chooses the case: even, the rest of the input is the file as it stands; odd, the rest describes
// a well-formed file (ascending codes, texts, mixed line endings) that is written and read.
//
// Properties: the catalogue never answers a text under a code no line of the file gives it; the
// first message of a readable file is always found; a well-formed file is found whole, every code
// with its own text and the codes skipped inside it empty; nothing read is left in the file-lines
// group; a file that cannot be read whole (a line over 512 bytes, 256 lines or more) loads nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "host/text_files.h"
#include "runtime/messages/language_files.h"
#include "runtime/store/slot_store.h"

namespace vodarir {
namespace {

using fuzz::Require;

constexpr std::uint16_t kCodeWidth = 4;
constexpr std::size_t kTextColumn = 5;
constexpr std::uint16_t kHighestCode = 9999;
constexpr std::size_t kMaxGeneratedText = 40;
constexpr std::uint16_t kMaxGeneratedSpan = 200;
constexpr std::string_view kLineEnds[] = {"\r\n", "\n", "\r"};

std::uint16_t CodeOf(std::string_view line) {
    if (line.size() < kCodeWidth) return 0;
    std::uint16_t code = 0;
    for (std::size_t i = 0; i < kCodeWidth; ++i) {
        if (line[i] < '0' || line[i] > '9') return 0;
        code = static_cast<std::uint16_t>(code * 10 + (line[i] - '0'));
    }
    return code;
}

// A line's message as the catalogue stores it: from column 6, every \n a CR LF.
std::string MessageOf(std::string_view line) {
    std::string text(line.size() > kTextColumn ? line.substr(kTextColumn) : std::string_view());
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void LoadFile(std::string_view bytes) {
    fuzz::ClearFolder();
    fuzz::WriteFile("DU_ZERA_FZ.MSJ", bytes);
    MsgCatalogReset();
    Require(SlotSet(slotgroup::kEnvironment, 4, TextView("FZ")) == status::kOk);
    Require(SlotSet(slotgroup::kEnvironment, 5, TextView(fuzz::Folder())) == status::kOk);
    const std::uint16_t linesBefore = SlotCount(slotgroup::kFileLines);
    const ScratchLevel depth = ScratchDepth();
    MsgLoadLanguage(nullptr, 0);
    fuzz::RequireBalanced(depth);
    Require(SlotCount(slotgroup::kFileLines) == linesBefore);
}

void CheckFileAsItStands(std::string_view bytes) {
    LoadFile(bytes);
    // The catalogue's own CheckInvariants is called here once it exists; meanwhile its invariants
    // are checked through what it answers, below.
    const std::vector<std::string> lines = fuzz::SplitLines(bytes);
    bool readable = lines.size() < kMaxLoadedMessages;
    for (const std::string& line : lines) readable = readable && line.size() <= kLineBufferSize;
    std::map<std::uint16_t, std::set<std::string>> given;
    std::uint16_t firstCode = 0;
    std::string firstText;
    for (const std::string& line : lines) {
        const std::uint16_t code = CodeOf(line);
        if (code == 0) continue;
        given[code].insert(MessageOf(line));
        if (firstCode == 0) {
            firstCode = code;
            firstText = MessageOf(line);
        }
    }
    bool anyFound = false;
    for (std::uint16_t code = 0; code <= kHighestCode; ++code) {
        TextRef text;
        if (!MsgLoadedFind(code, &text)) continue;
        anyFound = true;
        Require(readable);
        if (text.empty()) continue; // a code skipped inside a run reads empty
        const auto it = given.find(code);
        Require(it != given.end() && it->second.count(std::string(text.view())) == 1);
    }
    Require(anyFound == (MsgCatalogState() == catalog::kLoaded));
    if (readable && firstCode != 0) {
        TextRef text;
        Require(MsgLoadedFind(firstCode, &text) && text.view() == firstText);
    }
}

void CheckWellFormed(fuzz::Input& in) {
    std::uint16_t code =
        static_cast<std::uint16_t>(1 + ((in.Byte() << 8) | in.Byte()) % (kHighestCode - 1));
    const std::uint16_t first = code;
    std::map<std::uint16_t, std::string> expected;
    std::string file;
    while (code <= kHighestCode && code - first <= kMaxGeneratedSpan) {
        const std::uint8_t shape = in.Byte();
        std::string text;
        const std::size_t length = in.Byte() % (kMaxGeneratedText + 1);
        for (std::size_t i = 0; i < length; ++i) {
            const char c = static_cast<char>(in.Byte());
            text += c == '\r' || c == '\n' ? ' ' : c;
        }
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04u ", static_cast<unsigned>(code));
        const std::string line = digits + text;
        expected[code] = MessageOf(line);
        file += line;
        file += kLineEnds[shape % 3];
        if (in.Left() == 0) break;
        code = static_cast<std::uint16_t>(code + 1 + shape % 8);
    }
    LoadFile(file);
    const std::uint16_t last = expected.rbegin()->first;
    for (std::uint16_t c = first; c <= last; ++c) {
        TextRef text;
        Require(MsgLoadedFind(c, &text));
        const auto it = expected.find(c);
        Require(text.view() == (it == expected.end() ? std::string() : it->second));
    }
    Require(!MsgLoadedFind(static_cast<std::uint16_t>(first - 1), nullptr));
    Require(!MsgLoadedFind(static_cast<std::uint16_t>(last + 1), nullptr));
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    fuzz::Input in(data, size);
    const std::uint8_t mode = in.Byte();
    if (mode % 2 == 0) {
        const std::size_t rest = in.Left();
        CheckFileAsItStands(
            std::string_view(reinterpret_cast<const char*>(data) + (size - rest), rest));
    } else {
        CheckWellFormed(in);
    }
    MsgCatalogReset();
    return 0;
}
