// What every vodarir-cli command shares: the runtime session, cp1252 to UTF-8, columns, errors.
#include <cstdint>
#include <cstdio>
#include <string>

#include "cli_commands.h"
#include "runtime/messages/messages.h"
#include "runtime/store/runtime_config.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/cp1252_literal.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::cli {

namespace {

constexpr std::uint16_t kScratchLevels = 256;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// argv as one command line, arguments holding a blank enclosed in double quotes.
std::string CommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i > 0) line += ' ';
        line += arg.find(' ') == std::string::npos ? arg : "\"" + arg + "\"";
    }
    return line;
}

} // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        const char32_t mapped =
            byte >= 0x80 && byte < 0xA0 ? cp1252detail::kHighControls[byte - 0x80] : 0;
        AppendUtf8(out, mapped != 0 ? mapped : byte);
    }
    return out;
}

namespace {

// The length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

// The cp1252 byte of a character, or -1.
int Cp1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    // The five bytes without a character come back from the controls Cp1252ToUtf8 gave them.
    if (c < 0xA0) return cp1252detail::kHighControls[c - 0x80] == 0 ? static_cast<int>(c) : -1;
    for (int i = 0; i < 32; ++i) {
        if (cp1252detail::kHighControls[i] == c) return 0x80 + i;
    }
    return -1;
}

} // namespace

bool Utf8ToCp1252(std::string_view utf8, std::string* out) {
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    out->clear();
    out->reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = SequenceLength(lead);
        if (n == 0 || i + n > utf8.size()) return false;
        char32_t c = n == 1 ? lead : lead & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        const int byte = c < kSmallest[n] ? -1 : Cp1252Byte(c); // overlong forms are malformed
        if (byte < 0) return false;
        out->push_back(static_cast<char>(byte));
        i += n;
    }
    return true;
}

std::string Column(TextRef text) {
    std::string out = Cp1252ToUtf8(text.view());
    std::string flat;
    flat.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        if (c == '\r' && i + 1 < out.size() && out[i + 1] == '\n') continue; // CR LF: one blank
        flat += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    return flat;
}

RuntimeSession::RuntimeSession(int argc, char** argv) {
    PoolConfigure(kScratchLevels, kKeepValue, kKeepValue);
    const std::string line = CommandLine(argc, argv);
    // The runtime keeps the command line as one text; one that long is refused, not cut.
    const bool fits = line.size() <= kMaxTextLength;
    status_ = RuntimeStart(nullptr, fits ? TextView(line) : TextRef(), RuntimeInit);
    if (status_ == status::kOk && !fits) status_ = status::kBadCommandLine;
}

RuntimeSession::~RuntimeSession() {
    const StatusCode down = SlotStoreShutdown();
    if (down != status::kOk)
        std::fprintf(stderr, "vodarir-cli: shutdown status %u\n", unsigned{down});
}

void PrintError(StatusCode status) {
    const ScratchLevel mark = ScratchMark();
    std::printf("error\t%u\t%s\n", unsigned{status}, Column(StatusText(status)).c_str());
    ScratchRelease(mark);
}

} // namespace vodarir::cli
