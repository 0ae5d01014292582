// The subcommands of vodarir-cli and the helpers they share (runtime start, text output).
//
// Every command runs in one started runtime and writes UTF-8 to standard output; texts of the
// runtime are cp1252 and are converted only here, at the program's edge.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "runtime/messages/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A subcommand: its arguments after the command name. Answers the exit status.
using CommandFn = int (*)(int argc, char** argv);

struct Command {
    const char* name;
    CommandFn run;
    const char* usage; // "dict PATH"
    const char* summary;
};

int RunDict(int argc, char** argv);
int RunPlay(int argc, char** argv);
int RunEval(int argc, char** argv);

// cp1252 bytes as UTF-8. The five bytes without a character in cp1252 (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) become the control characters of the same number, so no byte is lost.
std::string Cp1252ToUtf8(std::string_view bytes);
// UTF-8 as cp1252 bytes, the inverse of Cp1252ToUtf8. False (out unspecified) for malformed UTF-8
// and for a character cp1252 has no byte for: such a text is refused, never altered.
bool Utf8ToCp1252(std::string_view utf8, std::string* out);

// A text for one tab-separated column: UTF-8, with tabs and line breaks turned into blanks so a
// record stays on one line.
std::string Column(TextRef text);

// Starts the runtime as the designer does (256 scratch levels, RuntimeStart with RuntimeInit);
// the destructor shuts it down. ok() is false when the start failed (status() tells why).
class RuntimeSession {
public:
    RuntimeSession(int argc, char** argv);
    ~RuntimeSession();
    RuntimeSession(const RuntimeSession&) = delete;
    RuntimeSession& operator=(const RuntimeSession&) = delete;
    bool ok() const { return status_ == status::kOk; }
    StatusCode status() const { return status_; }

private:
    StatusCode status_ = status::kOk;
};

// "error<TAB>code<TAB>status text" on standard output.
void PrintError(StatusCode status);

} // namespace vodarir::cli
