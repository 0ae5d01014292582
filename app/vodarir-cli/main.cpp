// vodarir-cli: command-line access to the runtime library without the desktop face.
#include <cstdio>
#include <cstring>

#include "cli_commands.h"

namespace {

using vodarir::cli::Command;

// Subcommands, looked up by name.
constexpr Command kCommands[] = {
    {"dict", vodarir::cli::RunDict, "dict PATH",
     "load the dictionary whose DICC file is PATH and print its model"},
    {"play", vodarir::cli::RunPlay, "play SCENARIO",
     "run the designer on a scenario file and print what it showed"},
    {"eval", vodarir::cli::RunEval, "eval [OPTIONS] EXPR...",
     "evaluate expressions in one runtime, one line each"},
    {"check", vodarir::cli::RunCheck, "check FOLDER",
     "check the application in FOLDER: one problem a line"},
    {"where", vodarir::cli::RunWhere, "where REF FOLDER",
     "every place of the application that uses a dictionary field or file"},
    {"report", vodarir::cli::RunReport, "report files|screen ... PATH",
     "print a file-structure or screen report, or compare it with a saved one"},
};

int Usage(std::FILE* out) {
    std::fprintf(out, "usage: vodarir-cli COMMAND [ARGUMENTS]\n"
                      "       vodarir-cli --version\n\ncommands:\n");
    for (const Command& command : kCommands) {
        std::fprintf(out, "  %-24s %s\n", command.usage, command.summary);
    }
    return out == stdout ? vodarir::cli::kExitOk : vodarir::cli::kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(stderr);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0)
        return Usage(stdout);
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("vodarir-cli %s\n", VODARIR_VERSION);
        return vodarir::cli::kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "vodarir-cli: unknown command '%s'\n", argv[1]);
    return Usage(stderr);
}
