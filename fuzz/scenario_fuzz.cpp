// Fuzz target: the scenario files of `vodarir-cli play`. The input is a scenario.
//
// Properties: a scenario is read or refused with "line N: why", N a line of the file; what is read
// writes nowhere outside the work folder (no target is absolute or climbs out with ".."), holds
// no more bytes to write than kMaxScenarioWriteBytes however often a text repeats, and lists its
// steps in the order of their lines, every step of a modal block after the line that opened it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "scenario.h"

namespace vodarir {
namespace {

using cli::ScenarioStep;
using fuzz::Require;

bool StaysInside(const std::string& target) {
    const std::filesystem::path path(target);
    if (path.is_absolute() || path.has_root_name() || path.has_root_directory()) return false;
    int depth = 0;
    for (const std::filesystem::path& part : path) {
        if (part == "..") {
            if (--depth < 0) return false;
        } else if (part != "." && !part.empty()) {
            ++depth;
        }
    }
    return true;
}

int LineCount(std::string_view text) {
    int lines = 0;
    for (std::size_t at = 0; at < text.size(); ++lines) {
        const std::size_t lf = text.find('\n', at);
        at = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    return lines;
}

// Steps in line order, each within the file, a block's steps after its own line.
void CheckSteps(const std::vector<ScenarioStep>& steps, int after, int lines) {
    int last = after;
    for (const ScenarioStep& step : steps) {
        Require(step.line > last && step.line <= lines);
        if (step.kind == ScenarioStep::Kind::Modal) {
            CheckSteps(step.block, step.line, lines);
            if (!step.block.empty()) last = step.block.back().line;
        }
        last = std::max(last, step.line);
    }
}

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    const std::string text(reinterpret_cast<const char*>(data), size);
    cli::Scenario scenario;
    std::string error;
    const int lines = LineCount(text);
    if (!cli::ParseScenario(text, &scenario, &error)) {
        Require(error.rfind("line ", 0) == 0);
        const int line = std::atoi(error.c_str() + 5);
        Require(line >= 1 && line <= lines);
        return 0;
    }
    for (const cli::Scenario::Copy& c : scenario.copies) Require(StaysInside(c.target));
    std::size_t bytes = 0;
    for (const cli::Scenario::Write& w : scenario.writes) {
        Require(StaysInside(w.target));
        bytes += w.bytes.size();
    }
    Require(bytes <= cli::kMaxScenarioWriteBytes);
    CheckSteps(scenario.steps, 0, lines);
    CheckSteps(scenario.after, 0, lines);
    return 0;
}
