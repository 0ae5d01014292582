// Start-up timing: how long from starting a process to its main window being shown, and to its
// first frame being painted, for the designer and for a minimal Qt Widgets dialog program,
// measured in the same run, alternately, under the offscreen platform. Both report the moments
// with the start-up probe ("shown", then "painted" on their standard output); the times are taken
// here, from just before the start to reading each line.
//
// Usage: startup_timing DESIGNER MINIMAL [RUNS]
#include <fcntl.h>
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
#include <utility>
#include <vector>

extern char** environ;

namespace {

constexpr int kDefaultRuns = 15;
constexpr char kShown[] = "shown";
constexpr char kPainted[] = "painted";

struct Start {
    double shown = -1; // milliseconds from the start to "shown", negative when never said
    double painted = -1;
};

Start TimeOne(const std::string& program, const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    // Qt's remarks about the offscreen platform are no part of the measurement.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
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
    const auto since = [&start] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    };
    pid_t pid = 0;
    const int rc =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        return {};
    }
    std::string seen;
    char buffer[256];
    Start times;
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        seen.append(buffer, static_cast<std::size_t>(n));
        if (times.shown < 0 && seen.find(kShown) != std::string::npos) times.shown = since();
        if (times.painted < 0 && seen.find(kPainted) != std::string::npos) times.painted = since();
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return times;
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
    std::vector<Start> designer;
    std::vector<Start> minimal;
    TimeOne(designerProgram, {probeFile}); // the first start warms the file cache for both
    TimeOne(minimalProgram, {});
    for (int i = 0; i < runs; ++i) {
        designer.push_back(TimeOne(designerProgram, {probeFile}));
        minimal.push_back(TimeOne(minimalProgram, {}));
    }
    std::filesystem::remove_all(folder);
    const auto column = [](const std::vector<Start>& starts, double Start::*moment) {
        std::vector<double> v;
        for (const Start& s : starts) v.push_back(s.*moment);
        return v;
    };
    bool complete = true;
    for (const auto& starts : {designer, minimal}) {
        for (const Start& s : starts) complete = complete && s.shown >= 0 && s.painted >= 0;
    }
    if (!complete) {
        std::fprintf(stderr, "startup_timing: a program never reported its window\n");
        return 1;
    }
    std::printf("start to window shown and to its first frame painted, offscreen, median of %d "
                "runs\n",
                runs);
    const std::pair<const char*, double Start::*> moments[] = {{"shown", &Start::shown},
                                                               {"painted", &Start::painted}};
    for (const auto& [name, moment] : moments) {
        const std::vector<double> d = column(designer, moment);
        const std::vector<double> m = column(minimal, moment);
        std::printf("%s\n", name);
        std::printf("  designer        %7.1f ms (min %.1f, max %.1f)\n", Median(d),
                    *std::min_element(d.begin(), d.end()), *std::max_element(d.begin(), d.end()));
        std::printf("  minimal dialog  %7.1f ms (min %.1f, max %.1f)\n", Median(m),
                    *std::min_element(m.begin(), m.end()), *std::max_element(m.begin(), m.end()));
        std::printf("  ratio           %7.2f\n", Median(m) > 0 ? Median(d) / Median(m) : 0.0);
    }
    return 0;
}
