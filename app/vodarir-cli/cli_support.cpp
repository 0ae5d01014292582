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
