// Fuzz target: the command line. The input is the program's arguments separated by NUL bytes
// (the program itself first), joined into the one line the runtime keeps as the designer joins
// them, stored as the runtime stores it, then read back by the runtime's option and path readers.
//
// Properties: every reader ends with the scratch stack balanced; when no argument holds a quote or
// starts or ends with a blank, the program and the first argument read back as given (the first
// argument empty when it is an option), and every option, by name or by number, answers the value
// of the first argument that spells it exactly, else of the first that spells it in another letter
// case.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "designer/vodarir_app.h"
#include "fuzz_support.h"
#include "host/paths.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/command_options.h"
#include "runtime/text/cp1252.h"
#include "runtime/text/text_ops.h"

namespace vodarir {
namespace {

using fuzz::Require;

constexpr std::size_t kMostArguments = 64;
constexpr int kOptionNumbers = 14;

// An argument whose reading back the check can foretell: no quote of either kind (a quote groups
// words), no blank at either end (words are trimmed), not empty (an empty word vanishes between
// quoted ones), no NUL.
bool Plain(std::string_view arg) {
    if (arg.empty() || arg.find_first_of("\"'") != std::string_view::npos) return false;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !blank(arg.front()) && !blank(arg.back());
}

struct Option {
    std::string name;
    std::string value;
};

// An option argument read as the runtime reads one: "/" name, then "=" or ":" and the value (an
// argument holding blanks is quoted whole, and read without its quotes).
std::optional<Option> OptionOf(std::string_view arg) {
    if (arg.empty() || arg[0] != '/') return std::nullopt;
    const std::string_view body = arg.substr(1);
    const std::size_t at = body.find_first_of("=:");
    if (at == std::string_view::npos) return Option{std::string(body), ""};
    return Option{std::string(body.substr(0, at)), std::string(body.substr(at + 1))};
}

bool SameAnyCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> Expected(const std::vector<Option>& options, std::string_view name) {
    for (const Option& o : options) {
        if (o.name == name) return o.value;
    }
    for (const Option& o : options) {
        if (SameAnyCase(o.name, name)) return o.value;
    }
    return std::nullopt;
}

void CheckOption(const std::vector<Option>& options, std::string_view name) {
    if (name.empty()) return;
    bool found = false;
    const TextRef value = CommandLineOption(TextView(name), &found);
    const std::optional<std::string> want = Expected(options, name);
    Require(found == want.has_value());
    if (want) Require(value.view() == *want);
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    fuzz::StartRuntimeOnce();
    std::vector<std::string> args;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (args.size() < kMostArguments) {
        const std::size_t nul = rest.find('\0');
        args.emplace_back(rest.substr(0, nul));
        if (nul == std::string_view::npos) break;
        rest.remove_prefix(nul + 1);
    }
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    const std::string line = JoinCommandLine(static_cast<int>(argv.size()), argv.data());
    if (line.size() > kMaxTextLength) return 0; // the program refuses such a line
    const ScratchLevel depth = ScratchDepth();
    Require(RuntimeStart(nullptr, TextView(line), nullptr) == status::kOk);

    // The arguments as the runtime holds them: cp1252 where they were UTF-8 it can hold.
    std::vector<std::string> held;
    bool plain = true;
    for (const std::string& a : args) {
        std::string converted;
        held.push_back(Utf8ToCp1252(a, &converted) ? converted : a);
        plain = plain && Plain(held.back());
    }
    const ScratchScope scope;
    const TextRef program = RunPath(0);
    const TextRef first = RunPath(1);
    std::vector<Option> options;
    for (std::size_t i = 1; i < held.size(); ++i) {
        if (const std::optional<Option> o = OptionOf(held[i])) options.push_back(*o);
    }
    if (plain) {
        Require(program.view() == held[0]);
        const bool option = held.size() > 1 && held[1][0] == '/';
        if (held.size() > 1 && !option) Require(first.view() == held[1]);
        if (held.size() == 1) Require(first.empty());
        for (const Option& o : options) CheckOption(options, o.name);
        for (int n = 1; n <= kOptionNumbers; ++n) {
            bool found = false;
            const TextRef value = CommandLineOptionNumber(n, &found);
            const TextRef spellings = ListItem(kCommandOptions, ',', static_cast<std::uint16_t>(n));
            std::optional<std::string> want;
            for (std::uint16_t s = 1; s <= ListCount(spellings, ';') && !want; ++s) {
                want = Expected(options, ListItem(spellings, ';', s).view());
            }
            Require(found == want.has_value());
            if (want) Require(value.view() == *want);
        }
    } else {
        for (int n = 1; n <= kOptionNumbers; ++n) CommandLineOptionNumber(n, nullptr);
    }
    scope.Release();
    fuzz::RequireBalanced(depth);
    return 0;
}
