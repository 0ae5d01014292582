// Loading a full dictionary (30 files of 60 fields, with its relations file) against the floor of
// reading the same bytes with fread. The ratio of the two (CPU times) is the one to watch:
//   build/bench/vodarir_bench --benchmark_filter='Dictionary|Fread' --benchmark_repetitions=9
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "host/text_files.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"

namespace {

using namespace vodarir;
using namespace vodarir::literals;

constexpr int kFiles = 30;
constexpr int kFieldsPerFile = 60;
const char* const kTypes = "ANCD2L";

// The dictionary files in a temporary folder, removed at the end.
class GeneratedDictionary {
public:
    GeneratedDictionary() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vodarir-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
        std::string dicc;
        std::string rel;
        char line[64];
        for (int f = 1; f <= kFiles; ++f) {
            std::snprintf(line, sizeof line, "%02d* *  fichero%02d\r\n", f, f);
            dicc += line;
            for (int k = 1; k <= kFieldsPerFile; ++k) {
                std::snprintf(line, sizeof line, "%02d00<    %3d>%cCAMPO%02d\r\n", f, 1 + k % 20,
                              kTypes[k % 6], k);
                dicc += line;
            }
            std::snprintf(line, sizeof line, "%02d<00010100011020>\r\n", 30 + f);
            rel += line;
            std::snprintf(line, sizeof line, "%02d:%dR1K1=CAMPO01\r\n", 60 + f, f % kFiles + 1);
            rel += line;
        }
        Write("BEDICC.DAT", dicc);
        Write("BEREL.DAT", rel);
    }
    ~GeneratedDictionary() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& folder() const { return folder_; }
    std::vector<std::string> paths() const {
        return {folder_ + "/BEDICC.DAT", folder_ + "/BEREL.DAT"};
    }
    std::size_t bytes() const { return bytes_; }

private:
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(std::filesystem::path(folder_) / name, std::ios::binary) << text;
        bytes_ += text.size();
    }
    std::string folder_;
    std::size_t bytes_ = 0;
};

void BM_LoadDictionary(benchmark::State& state) {
    GeneratedDictionary files;
    PoolConfigure(256, kKeepValue, kKeepValue);
    if (RuntimeInit() != status::kOk) {
        state.SkipWithError("runtime did not start");
        return;
    }
    // As the designer loads one: from the dictionary's own folder, with no folder list.
    const std::filesystem::path started = std::filesystem::current_path();
    std::filesystem::current_path(files.folder());
    for (auto _ : state) {
        state.PauseTiming(); // the designer clears before it loads; only the load is measured
        ClearDictionary();
        state.ResumeTiming();
        const StatusCode st = LoadDictionary(TextRef(), "BE"_t, TextRef());
        if (st != status::kOk || FileCount() != kFiles) {
            state.SkipWithError("the generated dictionary did not load");
            break;
        }
    }
    ClearDictionary();
    SlotStoreShutdown();
    std::filesystem::current_path(started);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes()));
}
// With repetitions (--benchmark_repetitions=N) the least time of each is shown too: on a machine
// shared with other work the least disturbed run is the fairest of both.
double Least(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_LoadDictionary)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Least);

// The line reader alone: every line of the same two files, each on a scratch level of its own.
void BM_ReadLinesOfSameFiles(benchmark::State& state) {
    GeneratedDictionary files;
    PoolConfigure(256, kKeepValue, kKeepValue);
    if (RuntimeInit() != status::kOk) {
        state.SkipWithError("runtime did not start");
        return;
    }
    std::size_t lines = 0;
    for (auto _ : state) {
        for (const std::string& path : files.paths()) {
            const std::uint16_t n = FileOpen(TextView(path), openflag::kNoPlus);
            for (;;) {
                const ScratchScope scope;
                const TextRef line = FileReadLine(n, kCurrentPosition, kReadOneLine);
                if (line.failed()) break;
                ++lines;
            }
            FileClose(n);
        }
    }
    benchmark::DoNotOptimize(lines);
    SlotStoreShutdown();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes()));
}
BENCHMARK(BM_ReadLinesOfSameFiles)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Least);

// The floor: the same two files read whole with fread.
void BM_FreadSameBytes(benchmark::State& state) {
    GeneratedDictionary files;
    std::vector<char> buffer(files.bytes() + 1);
    for (auto _ : state) {
        std::size_t total = 0;
        for (const std::string& path : files.paths()) {
            std::FILE* in = std::fopen(path.c_str(), "rb");
            if (in == nullptr) continue;
            total += std::fread(buffer.data(), 1, buffer.size(), in);
            std::fclose(in);
        }
        benchmark::DoNotOptimize(total);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes()));
}
BENCHMARK(BM_FreadSameBytes)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Least);

} // namespace
