// Start-up timing: how long from starting a process to its main window being shown, for the
// designer and for a minimal Qt Widgets dialog program, measured in the same run, alternately,
// under the offscreen platform. Both report the moment with the start-up probe ("shown" on their
// standard output); the time is taken here, from just before the start to reading that line.
//
// Usage: startup_timing DESIGNER MINIMAL [RUNS]
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kDefaultRuns = 15;
constexpr char kShown[] = "shown";

// Milliseconds from the start to "shown", or a negative value when the program never said it.
double TimeOne(const std::string& program, const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "VODARIR_STARTUP_PROBE=1"};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0) env.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        return -1;
    }
    std::string seen;
    char buffer[256];
    double ms = -1;
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        seen.append(buffer, static_cast<std::size_t>(n));
        if (ms < 0 && seen.find(kShown) != std::string::npos) {
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count();
        }
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return ms;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_timing DESIGNER MINIMAL [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : kDefaultRuns;
    const std::string designerProgram = std::filesystem::absolute(argv[1]).string();
    const std::string minimalProgram = std::filesystem::absolute(argv[2]).string();
    // The designer starts idle on a file of no kind it edits: no folder to choose, no editor.
    char folder[] = "/tmp/vodarir-startup-XXXXXX";
    if (::mkdtemp(folder) == nullptr) return 1;
    const std::string probeFile = std::string(folder) + "/probe.txt";
    std::ofstream(probeFile) << "";
    if (::chdir(folder) != 0) return 1;
    std::vector<double> designer;
    std::vector<double> minimal;
    TimeOne(designerProgram, {probeFile}); // the first start warms the file cache for both
    TimeOne(minimalProgram, {});
    for (int i = 0; i < runs; ++i) {
        designer.push_back(TimeOne(designerProgram, {probeFile}));
        minimal.push_back(TimeOne(minimalProgram, {}));
    }
    std::filesystem::remove_all(folder);
    if (std::count_if(designer.begin(), designer.end(), [](double d) { return d < 0; }) > 0 ||
        std::count_if(minimal.begin(), minimal.end(), [](double d) { return d < 0; }) > 0) {
        std::fprintf(stderr, "startup_timing: a program never reported its window\n");
        return 1;
    }
    const double d = Median(designer);
    const double m = Median(minimal);
    std::printf("start to window shown, offscreen, median of %d runs\n", runs);
    std::printf("  designer        %7.1f ms (min %.1f, max %.1f)\n", d,
                *std::min_element(designer.begin(), designer.end()),
                *std::max_element(designer.begin(), designer.end()));
    std::printf("  minimal dialog  %7.1f ms (min %.1f, max %.1f)\n", m,
                *std::min_element(minimal.begin(), minimal.end()),
                *std::max_element(minimal.begin(), minimal.end()));
    std::printf("  ratio           %7.2f\n", m > 0 ? d / m : 0.0);
    return 0;
}
