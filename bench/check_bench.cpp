// The application check of a large application: a full dictionary (30 files of 60 fields), 50
// scripts of 40 lines of field references, and 25 to 200 screens of 40 bound fields each, ten
// screens to a screen file; so how the check grows with the number of screens shows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "designer/app_check.h"
#include "dictionary/dictionary.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "structure_bench.h"

namespace vodarir {
namespace {

constexpr int kScreensPerFile = 10;
constexpr int kFieldsPerScreen = 40;
constexpr int kScripts = 50;
constexpr int kScriptLines = 40;
constexpr int kBoundFiles = 29; // the 30th file of the structure has no fields
const char* const kTypes = "ANCD2L";

// The field k of every file of the generated structure, as WriteFullStructure makes it.
int FieldLengthOf(int k) { return 1 + k % 20; }
char FieldTypeOf(int k) { return kTypes[k % 6]; }

class GeneratedApplication {
public:
    explicit GeneratedApplication(int screens) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vodarir-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
        WriteFullStructure(folder_ + "/");
        for (int first = 1; first <= screens; first += kScreensPerFile) {
            WriteScreenFile(first, std::min(kScreensPerFile, screens - first + 1));
        }
        for (int s = 1; s <= kScripts; ++s) WriteScript(s);
    }
    ~GeneratedApplication() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& folder() const { return folder_; }

private:
    void WriteScreenFile(int first, int count) {
        std::string pan;
        std::string ppn;
        char line[128];
        for (int n = 1; n <= count; ++n) {
            const int file = (first + n) % kBoundFiles + 1;
            std::snprintf(line, sizeof line, "\"%2d0 130Pantalla %d\"\r\n", n, first + n - 1);
            pan += line;
            std::string names;
            for (int k = 1; k <= kFieldsPerScreen; ++k) {
                const int row = 2 + (k - 1) / 2;
                const int column = (k % 2 == 1) ? 2 : 42;
                const char type = FieldTypeOf(k);
                const int length = type == 'D' ? std::min(FieldLengthOf(k), 8) : FieldLengthOf(k);
                std::snprintf(line, sizeof line, "\"%2d0%2d%2dCampo %02d ....:\"\r\n", n, row,
                              column, k);
                pan += line;
                std::snprintf(line, sizeof line, "\"%2d1%2d%2d%2d%2d%2d%c\"\r\n", n, row,
                              column + 18, file, k, length, type);
                pan += line;
                names += (k > 1 ? "," : "") + std::string("CAMPO") + std::to_string(k) + "$";
            }
            ppn += (n < 10 ? " " : "") + std::to_string(n) + " FD$='" + names + "'\r\n";
            std::snprintf(line, sizeof line, "%2d NOEDIT$='CAMPO1$,CAMPO2$'\r\n", n);
            ppn += line;
            std::snprintf(line, sizeof line, "%2d READLINS$='CAMPO01{fichero%02d}==CAMPO1$'\r\n", n,
                          file);
            ppn += line;
        }
        char name[32];
        std::snprintf(name, sizeof name, "BEP%03d", first);
        Write(std::string(name) + ".PAN", pan);
        Write(std::string(name) + ".PPN", ppn);
    }
    void WriteScript(int s) {
        std::string text = "; guion generado\r\n";
        char line[128];
        for (int l = 1; l <= kScriptLines; ++l) {
            const int file = (s + l) % kBoundFiles + 1;
            const int k = l % 60 + 1;
            std::snprintf(line, sizeof line,
                          "SI(CAMPO%02d{fichero%02d}>0, CAMPO%02d{fichero%02d}=N%%+1);\r\n", k,
                          file, k, file);
            text += line;
        }
        char name[32];
        std::snprintf(name, sizeof name, "BEG%03d.PRX", s);
        Write(name, text);
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(std::filesystem::path(folder_) / name, std::ios::binary) << text;
    }
    std::string folder_;
};

void BM_CheckApplication(benchmark::State& state) {
    const int screens = static_cast<int>(state.range(0));
    GeneratedApplication app(screens);
    PoolConfigure(256, kKeepValue, kKeepValue);
    if (RuntimeInit() != status::kOk) {
        state.SkipWithError("runtime did not start");
        return;
    }
    for (auto _ : state) {
        const CheckReport report = CheckApplication(app.folder());
        // The one warning: the structure's 30th file, which has no fields.
        if (report.screens != static_cast<std::uint32_t>(screens) || report.errors != 0 ||
            report.warnings != 1) {
            state.SkipWithError(report.problems.empty() ? "the screens were not all read"
                                                        : report.problems.front().sentence.c_str());
            break;
        }
    }
    ClearDictionary();
    SlotStoreShutdown();
    state.counters["screens"] = screens;
    state.SetComplexityN(screens);
}
BENCHMARK(BM_CheckApplication)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
} // namespace vodarir
