// The file-structure report of a full dictionary (30 files of 60 fields) in the text and HTML
// layouts, built whole in memory as File > Report and `vodarir-cli report files` build it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "dictionary/dictionary.h"
#include "reports/structure_report.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"

namespace {

using namespace vodarir;
using namespace vodarir::literals;

constexpr int kFiles = 30;
constexpr int kFieldsPerFile = 60;
const char* const kTypes = "ANCD2L";

// A started runtime holding the full dictionary; false when it could not be made.
bool FullDictionary() {
    PoolConfigure(256, kKeepValue, kKeepValue);
    if (RuntimeInit() != status::kOk || ClearDictionary() != status::kOk) return false;
    char name[32];
    for (int f = 1; f <= kFiles; ++f) {
        std::snprintf(name, sizeof name, "fichero%02d", f);
        if (AddFile(0, TextView(name), TextRef()) != status::kOk) return false;
        for (int k = 1; k <= kFieldsPerFile; ++k) {
            std::snprintf(name, sizeof name, "CAMPO%02d", k);
            const auto length = static_cast<std::uint16_t>(1 + k % 20);
            if (AddField(TextView(name), length, kTypes[k % 6]) != status::kOk) return false;
        }
    }
    return true;
}

void BM_StructureReport(benchmark::State& state, StructureLayout layout) {
    if (!FullDictionary()) {
        state.SkipWithError("the dictionary could not be built");
        return;
    }
    std::string report;
    for (auto _ : state) {
        report.clear();
        if (BuildStructureReport(layout, "/home/app/BEDICC"_t, false, &report) != status::kOk) {
            state.SkipWithError("the report failed");
            break;
        }
        benchmark::DoNotOptimize(report.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * report.size()));
    state.counters["bytes"] = static_cast<double>(report.size());
    ClearDictionary();
    SlotStoreShutdown();
}
BENCHMARK_CAPTURE(BM_StructureReport, Text, StructureLayout::Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StructureReport, Html, StructureLayout::Html)->Unit(benchmark::kMillisecond);

} // namespace
