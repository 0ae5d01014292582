// What every vodarir-cli command shares: the runtime session, cp1252 to UTF-8, columns, errors.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "cli_commands.h"
#include "designer/vodarir_app.h"
#include "dictionary/dictionary.h"
#include "runtime/messages/messages.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::cli {

namespace {

constexpr std::uint16_t kScratchLevels = 256;

} // namespace

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
    const std::string line = JoinCommandLine(argc, argv);
    // The runtime keeps the command line as one text; one that long is refused, not cut.
    const TextRef text = TextFromString(line);
    status_ = RuntimeStart(nullptr, text.failed() ? TextRef() : text, RuntimeInit);
    if (status_ == status::kOk && text.failed()) status_ = status::kBadCommandLine;
}

RuntimeSession::~RuntimeSession() {
    const StatusCode down = SlotStoreShutdown();
    if (down != status::kOk)
        std::fprintf(stderr, "vodarir-cli: shutdown status %u\n", unsigned{down});
}

void PrintRecord(std::FILE* out, std::initializer_list<std::string_view> columns) {
    bool first = true;
    for (const std::string_view column : columns) {
        if (!first) std::fputc('\t', out);
        first = false;
        std::fwrite(column.data(), 1, column.size(), out);
    }
    std::fputc('\n', out);
}

void PrintError(StatusCode status) {
    ScratchScope scope;
    PrintRecord({"error", std::to_string(status), Column(StatusText(status))});
}

StatusCode LoadDictionaryFile(const char* file) {
    const std::filesystem::path path(file);
    const std::string prefix = path.filename().string().substr(0, kPrefixLength);
    std::error_code moved;
    if (path.has_parent_path()) std::filesystem::current_path(path.parent_path(), moved);
    if (moved) {
        return LogErrorText(status::kFileNotFound, TextView(path.parent_path().string()), false);
    }
    return LoadDictionary(TextRef(), TextView(prefix), TextRef());
}

} // namespace vodarir::cli
