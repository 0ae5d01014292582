// The subcommands of vodarir-cli and the helpers they share (runtime start, text output).
//
// Every command runs in one started runtime and writes UTF-8 to standard output; texts of the
// runtime are cp1252 and are converted only here, at the program's edge.
#pragma once

#include "runtime/text/cp1252.h"

#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/text/status.h"
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
// The model of the dictionary at path as `vodarir-cli dict` prints it, one record a line (columns
// separated by tabs), its last line "ok ..." or the error; ok tells which. The runtime must be
// started; the current folder is put back.
std::vector<std::string> DictionaryRecords(const std::string& path, bool* ok);
int RunPlay(int argc, char** argv);
int RunEval(int argc, char** argv);
int RunCheck(int argc, char** argv);
int RunWhere(int argc, char** argv);
int RunReport(int argc, char** argv);

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

// One record: the columns joined with tabs, then a line break. Written byte for byte, so a column
// holding a NUL byte is printed whole, as every other control character is.
void PrintRecord(std::FILE* out, std::initializer_list<std::string_view> columns);
inline void PrintRecord(std::initializer_list<std::string_view> columns) {
    PrintRecord(stdout, columns);
}

// "error<TAB>code<TAB>status text" on standard output.
void PrintError(StatusCode status);

// An application's prefix: the first characters of its files' names.
inline constexpr std::size_t kPrefixLength = 2;

// Loads the dictionary whose DICC file is path, as the designer opens it: the folder of path
// becomes the working folder and the first two characters of its name are the application prefix.
StatusCode LoadDictionaryFile(const char* path);

} // namespace vodarir::cli
