// Built-in functions over files: WRITE -2 merging one item into a key=value file of n entries,
// then running the file, as the number of entries grows.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "script/evaluator.h"

namespace {

using namespace vodarir;

// A key=value file of n entries "x1=1" ... in a temporary folder, removed at the end.
class EntryFile {
public:
    explicit EntryFile(std::int64_t n) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vodarir-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
        path_ = folder_ + "/entries.txt";
        for (std::int64_t k = 1; k <= n; ++k) {
            text_ += "x" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
        }
    }
    ~EntryFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    void Rewrite() const { std::ofstream(path_, std::ios::binary) << text_; }
    const std::string& path() const { return path_; }
    std::size_t bytes() const { return text_.size(); }

private:
    std::string folder_;
    std::string path_;
    std::string text_;
};

void BM_WriteMerge(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    EntryFile file(n);
    PoolConfigure(256, kKeepValue, kKeepValue);
    if (RuntimeStart(nullptr, TextRef(), RuntimeInit) != status::kOk) {
        state.SkipWithError("runtime did not start");
        return;
    }
    // The middle entry changes: the merge finds it among the others, then the file runs.
    const std::string call =
        "WRITE('" + file.path() + "';-2;'x" + std::to_string(n / 2 + 1) + "=7')";
    for (auto _ : state) {
        state.PauseTiming();
        file.Rewrite();
        state.ResumeTiming();
        StatusCode st = status::kOk;
        {
            ScratchScope scope;
            st = EvalExpression(TextView(call));
        }
        if (st >= status::kFirstError) {
            state.SkipWithError("the merge failed");
            break;
        }
    }
    SlotStoreShutdown();
    state.SetComplexityN(n);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes()));
}
BENCHMARK(BM_WriteMerge)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace
