// vodarir-cli eval [--precision D] [--dict PATH] [--lang XX] EXPR...: evaluates each expression in
// one runtime (assignments carry over) and prints one line per expression.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli_commands.h"
#include "dictionary/dictionary.h"
#include "host/paths.h"
#include "masks/number_format.h"
#include "runtime/messages/language_files.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/number_text.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "script/evaluator.h"

namespace vodarir::cli {

namespace {

using namespace literals;

// Environment slot of the default folder, where the language file is looked for.
constexpr SlotIndex kDefaultFolderSlot = 5;

struct EvalOptions {
    int precision = -1; // -1: keep the default
    const char* dictionary = nullptr;
    const char* language = nullptr;
    std::vector<const char*> expressions;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: vodarir-cli eval [--precision D] [--dict PATH] [--lang XX] EXPR...\n");
    return kExitUsage;
}

// One of the codes there are language files for, in either case ("en" finds DU_ZERA_EN.MSJ).
bool KnownLanguage(const char* code) {
    std::string upper = code;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string_view codes = kLanguageCodes;
    for (std::size_t from = 0; from <= codes.size();) {
        const std::size_t comma = std::min(codes.find(',', from), codes.size());
        if (codes.substr(from, comma - from) == upper) return true;
        from = comma + 1;
    }
    return false;
}

bool ParsePrecision(const char* text, int* out) {
    if (std::strlen(text) != 1 || text[0] < '0' || text[0] - '0' > kMaxDecimals) return false;
    *out = text[0] - '0';
    return true;
}

// Options first; "--" or the first other argument starts the expressions.
bool ParseOptions(int argc, char** argv, EvalOptions* options) {
    int i = 0;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--precision" && hasValue) {
            if (!ParsePrecision(argv[++i], &options->precision)) return false;
        } else if (arg == "--dict" && hasValue) {
            options->dictionary = argv[++i];
        } else if (arg == "--lang" && hasValue) {
            options->language = argv[++i];
            if (!KnownLanguage(options->language)) {
                // Otherwise the run would go on in the built-in Spanish as if all were well.
                std::fprintf(stderr, "vodarir-cli: unknown language '%s' (one of %s)\n",
                             options->language, kLanguageCodes);
                return false;
            }
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            break;
        }
    }
    for (; i < argc; ++i) options->expressions.push_back(argv[i]);
    return !options->expressions.empty();
}

StatusCode Configure(const EvalOptions& options) {
    if (options.precision >= 0) {
        IntVarSet(sysvar::kPrecis, static_cast<std::int16_t>(options.precision));
    }
    if (options.language != nullptr) {
        std::string code;
        if (!Utf8ToCp1252(options.language, &code)) return status::kBadStringType;
        // The language's messages come from its file beside this program, or from those installed
        // with it; numbers and dates then follow its separators and month names.
        StatusCode st = SlotSet(slotgroup::kEnvironment, kDefaultFolderSlot, ProgramFolder());
        if (st == status::kOk) st = MsgStartLanguage(TextView(code), nullptr, 0, 0);
        if (st == status::kOk) st = LoadLanguageFormat();
        if (st != status::kOk) return st;
    }
    return options.dictionary != nullptr ? LoadDictionaryFile(options.dictionary) : status::kOk;
}

// Evaluates one expression and prints its line; false when it failed.
bool EvalOne(const char* expression) {
    std::string text;
    const bool converted = Utf8ToCp1252(expression, &text);
    const TextRef checked = TextFromString(text);
    if (!converted || checked.failed()) {
        // Not expressible as the runtime's text: refused whole rather than altered.
        PrintError(checked.failed() ? checked.status() : status::kBadStringType);
        return false;
    }
    // Each expression is reported on its own: the error line shows its own step and detail.
    ClearRecordedError();
    LogErrorText(status::kOk, ""_t, false);
    ScratchScope scope;
    bool isText = false;
    const StatusCode st = EvalValue(checked, &isText);
    const bool ok = st < status::kFirstError;
    if (!ok) {
        PrintError(st);
    } else if (isText) {
        PrintRecord({"text", Column(ScratchTop())});
    } else {
        PrintRecord({"number", Column(FixedToText(NumberValue(ScratchTop())))});
    }
    return ok;
}

} // namespace

int RunEval(int argc, char** argv) {
    EvalOptions options;
    if (!ParseOptions(argc, argv, &options)) return Usage();
    RuntimeSession session(argc, argv);
    if (!session.ok()) {
        PrintError(session.status());
        return kExitFailed;
    }
    const StatusCode configured = Configure(options);
    if (configured != status::kOk) {
        PrintError(configured);
        return kExitFailed;
    }
    bool allOk = true;
    for (const char* expression : options.expressions) allOk = EvalOne(expression) && allOk;
    return allOk ? kExitOk : kExitFailed;
}

} // namespace vodarir::cli
