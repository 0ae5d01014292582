// Expression evaluation from text, side by side with other engines that also go from text to a
// value on every call: fparser (Parse, then Eval), Lua 5.4 (luaL_loadstring of "return <expr>",
// then lua_pcall) and muParser (SetExpr, then Eval). Nothing parsed is kept between calls.
//
// Run: build/bench/eval_bench (a Release build). After the usual benchmark lines it prints one
// table: nanoseconds per evaluation for each engine and how many times slower each peer is.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <fparser.hh>
#include <lua5.4/lua.hpp>
#include <muParser.h>

#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "script/evaluator.h"

namespace {

using namespace vodarir;

// One expression as each engine spells it.
struct Spelling {
    const char* ours;
    const char* fparser;
    const char* lua;
    const char* muparser;
};

const Spelling kExpressions[] = {
    {"2*3+4", "2*3+4", "2*3+4", "2*3+4"},
    {"(1+2)*(3+4)/7", "(1+2)*(3+4)/7", "(1+2)*(3+4)/7", "(1+2)*(3+4)/7"},
    {"10-4-3", "10-4-3", "10-4-3", "10-4-3"},
    {"1.5*4-2.25", "1.5*4-2.25", "1.5*4-2.25", "1.5*4-2.25"},
    {"7/2+3*5-1", "7/2+3*5-1", "7/2+3*5-1", "7/2+3*5-1"},
    {"2 * 3 + 4 * 5", "2 * 3 + 4 * 5", "2 * 3 + 4 * 5", "2 * 3 + 4 * 5"},
    {"3>2", "3>2", "3>2", "3>2"},
    {"2*3==6", "2*3=6", "2*3==6", "2*3==6"},
    {"5<=4", "5<=4", "5<=4", "5<=4"},
    {"(2+3)*4<>20", "(2+3)*4!=20", "(2+3)*4~=20", "(2+3)*4!=20"},
    {"1<2&&3>2", "1<2&3>2", "1<2 and 3>2", "1<2&&3>2"},
    {"1>2||3>2", "1>2|3>2", "1>2 or 3>2", "1>2||3>2"},
    {"1+2*3-4/5+(6-7)*8>0&&9>1", "1+2*3-4/5+(6-7)*8>0&9>1", "1+2*3-4/5+(6-7)*8>0 and 9>1",
     "1+2*3-4/5+(6-7)*8>0&&9>1"},
};
constexpr int kExpressionCount = sizeof kExpressions / sizeof kExpressions[0];

const char* const kEngines[] = {"vodarir", "fparser", "lua", "muparser"};

// "engine/i", the name a benchmark is registered and reported under.
std::string Name(int engine, int i) {
    char name[32];
    std::snprintf(name, sizeof name, "%s/%d", kEngines[engine], i);
    return name;
}

// --- The engines
// -----------------------------------------------------------------------------------

class OurRuntime {
public:
    OurRuntime() {
        PoolConfigure(256, kKeepValue, kKeepValue);
        ok_ = RuntimeStart(nullptr, TextRef(), RuntimeInit) == status::kOk;
    }
    ~OurRuntime() { SlotStoreShutdown(); }
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

void Vodarir(benchmark::State& state, const char* text) {
    const TextRef expression = TextView(text);
    for (auto _ : state) {
        ScratchScope scope;
        benchmark::DoNotOptimize(EvalExpression(expression));
        benchmark::DoNotOptimize(NumberValue(ScratchTop()));
    }
}

void Fparser(benchmark::State& state, const char* text) {
    FunctionParser parser;
    const double noVariables[1] = {0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(parser.Parse(text, ""));
        benchmark::DoNotOptimize(parser.Eval(noVariables));
    }
}

void Lua(benchmark::State& state, std::string text) {
    lua_State* lua = luaL_newstate();
    text = "return " + text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(luaL_loadstring(lua, text.c_str()));
        benchmark::DoNotOptimize(lua_pcall(lua, 0, 1, 0));
        benchmark::DoNotOptimize(lua_toboolean(lua, -1));
        lua_pop(lua, 1);
    }
    lua_close(lua);
}

void MuParser(benchmark::State& state, const char* text) {
    mu::Parser parser;
    for (auto _ : state) {
        parser.SetExpr(text);
        benchmark::DoNotOptimize(parser.Eval());
    }
}

// --- Checks that every engine reads every expression (a failing parse would be fast)
// ---------------

bool EnginesAgree() {
    bool ok = true;
    for (const Spelling& s : kExpressions) {
        StatusCode ours = status::kOk;
        double ourValue = 0;
        {
            ScratchScope scope;
            ours = EvalExpression(TextView(s.ours));
            ourValue = static_cast<double>(NumberValue(ScratchTop())) / 100.0;
        }
        FunctionParser fp;
        const double noVariables[1] = {0};
        const bool fpOk = fp.Parse(s.fparser, "") < 0;
        const double fpValue = fpOk ? fp.Eval(noVariables) : 0;
        lua_State* lua = luaL_newstate();
        const std::string chunk = std::string("return ") + s.lua;
        const bool luaOk =
            luaL_loadstring(lua, chunk.c_str()) == LUA_OK && lua_pcall(lua, 0, 1, 0) == LUA_OK;
        lua_close(lua);
        double muValue = 0;
        bool muOk = true;
        try {
            mu::Parser mp;
            mp.SetExpr(s.muparser);
            muValue = mp.Eval();
        } catch (const mu::Parser::exception_type&) {
            muOk = false;
        }
        const bool same = ours == 0 && fpOk && luaOk && muOk &&
                          std::abs(ourValue - fpValue) < 0.01 &&
                          std::abs(ourValue - muValue) < 0.01;
        if (!same)
            std::fprintf(stderr, "engines disagree on %s (%g, %g, %g)\n", s.ours, ourValue, fpValue,
                         muValue);
        ok = ok && same;
    }
    return ok;
}

// --- The summary ---------------------------------------------------------------------------------

class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With --benchmark_repetitions the median stands for the benchmark, else its one run.
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[name] = run.GetAdjustedCPUTime();
            } else if (run.run_type == Run::RT_Iteration) {
                nanos_[name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Nanos(int engine, int i) const {
        const std::string name = Name(engine, i);
        if (const auto m = medians_.find(name); m != medians_.end()) return m->second;
        const auto it = nanos_.find(name);
        return it == nanos_.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> nanos_;
    std::map<std::string, double> medians_;
};

void PrintSummary(const Collector& c) {
    std::printf("\n%-30s %9s %9s %9s %9s   %8s %8s %8s\n", "expression (ns per evaluation)",
                "vodarir", "fparser", "lua", "muparser", "fparser×", "lua×", "muparser×");
    double worst[3] = {1e9, 1e9, 1e9};
    for (int i = 0; i < kExpressionCount; ++i) {
        const double ours = c.Nanos(0, i);
        double peer[3];
        for (int k = 0; k < 3; ++k) {
            peer[k] = c.Nanos(k + 1, i);
            if (ours > 0 && peer[k] / ours < worst[k]) worst[k] = peer[k] / ours;
        }
        std::printf("%-30s %9.0f %9.0f %9.0f %9.0f   %8.1f %8.1f %8.1f\n", kExpressions[i].ours,
                    ours, peer[0], peer[1], peer[2], peer[0] / ours, peer[1] / ours,
                    peer[2] / ours);
    }
    std::printf("%-30s %9s %9s %9s %9s   %8.1f %8.1f %8.1f\n", "least ratio", "", "", "", "",
                worst[0], worst[1], worst[2]);
}

} // namespace

int main(int argc, char** argv) {
    OurRuntime runtime;
    if (!runtime.ok() || !EnginesAgree()) return 1;
    for (int i = 0; i < kExpressionCount; ++i) {
        const Spelling& s = kExpressions[i];
        benchmark::RegisterBenchmark(Name(0, i).c_str(), Vodarir, s.ours);
        benchmark::RegisterBenchmark(Name(1, i).c_str(), Fparser, s.fparser);
        benchmark::RegisterBenchmark(Name(2, i).c_str(), Lua, std::string(s.lua));
        benchmark::RegisterBenchmark(Name(3, i).c_str(), MuParser, s.muparser);
    }
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    PrintSummary(collector);
    benchmark::Shutdown();
    return 0;
}
