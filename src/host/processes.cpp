// Child processes (POSIX): command splitting, program lookup, fork and exec with a report pipe,
// waiting, output capture through a polled pipe, the viewers and the file comparer.
#include "host/processes.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/expansions.h"
#include "host/paths.h"
#include "host/registry.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/cp1252.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

// --- Commands ------------------------------------------------------------------------------------

// A command cut into words: NUL-terminated texts on a ScratchStack level, ended by a null.
struct Words {
    char* items[kMaxCapturedWords + 1] = {};
    std::uint16_t count = 0;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsQuote(char c) { return c == '"' || c == '\''; }

// Copies one word starting at *at into out, without the quotes of its quoted runs; a quote that
// is never closed takes the rest of the command. Answers the end of the copy.
char* CopyWord(TextRef command, std::uint32_t* at, char* out) {
    char quote = 0;
    std::uint32_t i = *at;
    for (; i < command.length; ++i) {
        const char c = command.data[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            } else {
                *out++ = c;
            }
        } else if (IsBlank(c)) {
            break;
        } else if (IsQuote(c)) {
            quote = c;
        } else {
            *out++ = c;
        }
    }
    *at = i;
    *out++ = '\0';
    return out;
}

// Splits command at blanks outside quotes (runs of blanks count as one) into at most limit words,
// on a new ScratchStack level. kBadCommandLine for an empty command, one holding a NUL, or too many
// words; kOutOfMemory when the stack has no room.
StatusCode SplitCommand(TextRef command, std::uint16_t limit, Words* words) {
    if (command.failed()) return command.status();
    if (command.view().find('\0') != std::string_view::npos) return status::kBadCommandLine;
    // Programs receive their arguments as the system spells texts: UTF-8. Blanks and quotes are
    // the same bytes in both, so the split below is unchanged.
    command = TextToUtf8(command);
    if (command.failed()) return command.status();
    // Every word ends with one NUL and never grows, so this is always enough.
    char* out = ScratchAllocPtr(std::uint32_t{command.length} + limit + 1, 0);
    if (out == nullptr) return status::kOutOfMemory;
    std::uint32_t at = 0;
    words->count = 0;
    for (;;) {
        while (at < command.length && IsBlank(command.data[at])) ++at;
        if (at == command.length) break;
        if (words->count == limit) return status::kBadCommandLine;
        words->items[words->count++] = out;
        out = CopyWord(command, &at, out);
    }
    words->items[words->count] = nullptr;
    return words->count == 0 ? status::kBadCommandLine : status::kOk;
}

// --- Finding the program -------------------------------------------------------------------------

constexpr char kDefaultSearchPath[] = "/usr/local/bin:/usr/bin:/bin";

bool IsExecutableFile(const char* path) {
    struct stat info;
    return ::stat(path, &info) == 0 && S_ISREG(info.st_mode) && ::access(path, X_OK) == 0;
}

// The file the program name stands for: the name itself when it holds a "/", else the first
// executable of that name along PATH (an empty entry is the current folder). False when none.
bool FindProgram(const char* name, char (&found)[PATH_MAX]) {
    if (*name == '\0') return false;
    if (std::strchr(name, '/') != nullptr) {
        if (std::strlen(name) >= sizeof found) return false;
        std::strcpy(found, name);
        return IsExecutableFile(found);
    }
    const char* path = std::getenv("PATH");
    if (path == nullptr) path = kDefaultSearchPath;
    for (const char* entry = path;; ++entry) {
        const char* end = std::strchr(entry, ':');
        const std::size_t length = end == nullptr ? std::strlen(entry) : std::size_t(end - entry);
        const int n = length == 0
                          ? std::snprintf(found, sizeof found, "%s", name)
                          : std::snprintf(found, sizeof found, "%.*s/%s", int(length), entry, name);
        if (n > 0 && std::size_t(n) < sizeof found && IsExecutableFile(found)) return true;
        if (end == nullptr) return false;
        entry = end;
    }
}

// --- Starting ------------------------------------------------------------------------------------

struct LaunchPlan {
    const char* program = nullptr; // the file to execute
    char* const* argv = nullptr;
    bool ownSession = false; // detached from our session and terminal
    bool orphan = false;     // not waited for: started through an intermediate process
    int input = -1;          // becomes standard input; -1 keeps ours
    int output = -1;         // becomes standard output and error; -1 keeps ours
};

// What the child reports through the report pipe before it gives up.
constexpr int kForkRefused = -1;
constexpr int kChildGaveUp = 127;
constexpr int kFirstFreeDescriptor = 3;

void Report(int fd, int code) {
    // Nothing more can be done in a child whose report cannot be written: it exits either way.
    [[maybe_unused]] const ssize_t ignored = ::write(fd, &code, sizeof code);
}

// In the child: only async-signal-safe calls from here to exec.
[[noreturn]] void ExecChild(const LaunchPlan& plan, int reportFd) {
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &standard, nullptr); // an ignored SIGPIPE would be inherited across exec
    if (plan.ownSession) ::setsid();
    // Lifted above the standard descriptors first, so no dup2 below can overwrite another.
    const int in = plan.input < 0 ? -1 : ::fcntl(plan.input, F_DUPFD_CLOEXEC, kFirstFreeDescriptor);
    const int out =
        plan.output < 0 ? -1 : ::fcntl(plan.output, F_DUPFD_CLOEXEC, kFirstFreeDescriptor);
    if (in >= 0) ::dup2(in, STDIN_FILENO);
    if (out >= 0) {
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
    }
    ::execv(plan.program, plan.argv);
    Report(reportFd, errno);
    ::_exit(kChildGaveUp);
}

// Waits for a child, retrying when a signal interrupts. False when it was no child of ours (it
// was reaped elsewhere); *raw receives the wait status otherwise.
bool WaitChild(pid_t pid, int* raw) {
    for (;;) {
        if (::waitpid(pid, raw, 0) == pid) return true;
        if (errno != EINTR) return false;
    }
}

ssize_t ReadRetrying(int fd, void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

// Forks and executes plan. *pid receives the child to wait for (0 for an orphan). kFileNotFound
// when the program could not be executed, kInternal when the system refused a pipe or a process.
StatusCode Launch(const LaunchPlan& plan, pid_t* pid) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return status::kInternal;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return status::kInternal;
    }
    if (child == 0) {
        ::close(report[0]);
        if (plan.orphan) {
            const pid_t grandchild = ::fork();
            if (grandchild < 0) Report(report[1], kForkRefused);
            if (grandchild != 0) ::_exit(0);
        }
        ExecChild(plan, report[1]);
    }
    ::close(report[1]);
    // The report pipe closes without a word when exec succeeded (close-on-exec).
    int code = 0;
    const ssize_t n = ReadRetrying(report[0], &code, sizeof code);
    ::close(report[0]);
    const bool failed = n > 0;
    int raw = 0;
    if (plan.orphan || failed) WaitChild(child, &raw);
    if (failed) return code == kForkRefused ? status::kInternal : status::kFileNotFound;
    *pid = plan.orphan ? 0 : child;
    return status::kOk;
}

// The code a program ended with, as the runtime reports it: an end by a signal, or the exit code
// 255 (what -1 becomes here), is 124.
constexpr int kMinusOneExit = 255;
StatusCode ExitResult(bool waited, int raw) {
    if (!waited || !WIFEXITED(raw)) return status::kUndefinedWarning;
    const int code = WEXITSTATUS(raw);
    return code == kMinusOneExit ? status::kUndefinedWarning : static_cast<StatusCode>(code);
}

// Splits command, finds its program and fills plan. Leaves a ScratchStack level behind.
StatusCode Prepare(TextRef command, std::uint16_t limit, Words* words, char (&program)[PATH_MAX],
                   LaunchPlan* plan) {
    const StatusCode st = SplitCommand(command, limit, words);
    if (st != status::kOk) return st;
    if (!FindProgram(words->items[0], program)) return status::kFileNotFound;
    plan->program = program;
    plan->argv = words->items;
    return status::kOk;
}

// --- Capturing -----------------------------------------------------------------------------------

// How long one wait for output lasts before the child's state is looked at again.
constexpr int kPollIntervalMs = 20;

class PipePair {
public:
    PipePair() {
        if (::pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
    }
    ~PipePair() {
        CloseRead();
        CloseWrite();
    }
    PipePair(const PipePair&) = delete;
    PipePair& operator=(const PipePair&) = delete;
    bool ok() const { return fds_[0] >= 0; }
    int read() const { return fds_[0]; }
    int write() const { return fds_[1]; }
    void CloseRead() { Close(0); }
    void CloseWrite() { Close(1); }

private:
    void Close(int end) {
        if (fds_[end] >= 0) ::close(fds_[end]);
        fds_[end] = -1;
    }
    int fds_[2] = {-1, -1};
};

// The state of one capture: the child, whether it has ended, whether its pipe is at its end.
struct Capture {
    pid_t pid = 0;
    int output = -1;
    bool ended = false;
    bool drained = false;
};

void LookAtChild(Capture& c) {
    if (c.ended) return;
    int raw = 0;
    const pid_t r = ::waitpid(c.pid, &raw, WNOHANG);
    c.ended = r == c.pid || (r < 0 && errno == ECHILD);
}

// True when bytes (or the end of the pipe) are waiting, after at most timeoutMs.
bool OutputWaiting(int fd, int timeoutMs) {
    struct pollfd p = {fd, POLLIN, 0};
    const int n = ::poll(&p, 1, timeoutMs);
    return n > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

// Reads one chunk into a ScratchStack level and hands it to the sink. Answers the sink's status.
StatusCode TakeChunk(Capture& c, void* context, CaptureSink sink) {
    ScratchScope scope;
    char* chunk = ScratchAllocPtr(kCaptureChunk, kNoFill);
    if (chunk == nullptr) return status::kOutOfMemory;
    const ssize_t n = ReadRetrying(c.output, chunk, kCaptureChunk);
    StatusCode st = status::kOk;
    if (n > 0 && sink != nullptr) st = sink(context, chunk, static_cast<std::uint16_t>(n));
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) c.drained = true;
    return st;
}

// Runs until the child has ended and nothing more is waiting in its pipe, or the sink stops it.
// Output written by the child before it ended is always in the pipe by then, so none is lost; a
// descendant that keeps the pipe open does not hold the caller once the child itself is gone.
StatusCode Pump(Capture& c, void* context, CaptureSink sink) {
    StatusCode st = status::kOk;
    while (st == status::kOk && !c.drained) {
        LookAtChild(c);
        if (!OutputWaiting(c.output, c.ended ? 0 : kPollIntervalMs)) {
            if (c.ended) break;
            continue;
        }
        st = TakeChunk(c, context, sink);
    }
    return st;
}

// After the pump: a child still running had its capture refused (or closed its output early).
void Finish(Capture& c, StatusCode st) {
    if (c.ended) return;
    // Nobody will read its output any more; stop it rather than let it block on a full pipe.
    if (st != status::kOk) ::kill(c.pid, SIGKILL);
    int raw = 0;
    WaitChild(c.pid, &raw);
}

// --- Built-in sinks ------------------------------------------------------------------------------

// Output collected in memory of its own (the ScratchStack holds each chunk only briefly).
struct TextSink {
    char* data = nullptr;
    std::uint32_t length = 0;
    std::uint32_t capacity = 0;
};

constexpr std::uint32_t kFirstTextCapacity = 4096;

StatusCode AppendToText(void* context, const char* bytes, std::uint16_t length) {
    auto* sink = static_cast<TextSink*>(context);
    const std::uint32_t needed = sink->length + length;
    if (needed > kMaxTextLength) return status::kStringTooLong;
    if (needed > sink->capacity) {
        std::uint32_t grown = sink->capacity == 0 ? kFirstTextCapacity : sink->capacity * 2;
        if (grown < needed) grown = needed;
        char* data = static_cast<char*>(std::realloc(sink->data, grown));
        if (data == nullptr) return status::kOutOfMemory;
        sink->data = data;
        sink->capacity = grown;
    }
    std::memcpy(sink->data + sink->length, bytes, length);
    sink->length = needed;
    return status::kOk;
}

StatusCode AppendToFile(void* context, const char* bytes, std::uint16_t length) {
    const int fd = *static_cast<int*>(context);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, bytes + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return status::kWrite;
        done += std::size_t(n);
    }
    return status::kOk;
}

constexpr TextRef kTempNamePattern = "vodarir-XXXXXX.txt"_t;
constexpr int kTempSuffixLength = 4; // ".txt"

// --- Viewers -------------------------------------------------------------------------------------

struct ViewerEntry {
    const char* appPathsEntry; // looked up in the settings store first; null: not there
    const char* variable;      // names the program otherwise
};

// Indexed by viewer - 1.
constexpr ViewerEntry kViewers[] = {
    {nullptr, "VODARIR_TEXT_VIEWER"},
    {"Iexplore.exe", "VODARIR_HTML_VIEWER"},
    {"AcroRd32.exe", "VODARIR_PDF_VIEWER"},
};
constexpr int kViewerCount = static_cast<int>(sizeof kViewers / sizeof kViewers[0]);
constexpr char kAppPathsKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr char kDesktopOpener[] = "xdg-open";
constexpr char kComparer[] = "diff";

// Room for a formatted text of about n bytes: TextFormat reserves all of it on the ScratchStack.
std::uint16_t Room(std::size_t n) {
    return static_cast<std::uint16_t>(n < kMaxTextLength ? n : kMaxTextLength);
}

// The settings store's path of a program, quoted; empty when it holds none.
TextRef ProgramFromSettings(const char* entry) {
    const TextRef key = TextFormat(Room(sizeof kAppPathsKey + std::strlen(entry) + 1), "%s%s\\",
                                   kAppPathsKey, entry);
    const TextRef value = RegistryReadValue(key);
    return value.empty() ? TextRef() : TextQuote(value, '"');
}

// The program (with any options) of a viewer; empty when there is none.
TextRef ViewerProgram(Viewer viewer) {
    const int which = static_cast<int>(viewer);
    if (which < 1 || which > kViewerCount) return TextRef();
    const ViewerEntry& viewerEntry = kViewers[which - 1];
    if (viewerEntry.appPathsEntry != nullptr) {
        const TextRef found = ProgramFromSettings(viewerEntry.appPathsEntry);
        if (!found.empty()) return found;
    }
    const char* named = std::getenv(viewerEntry.variable);
    if (named != nullptr && *named != '\0') return TextFromCStr(named);
    char path[PATH_MAX];
    return FindProgram(kDesktopOpener, path) ? TextView(kDesktopOpener) : TextRef();
}

} // namespace

StatusCode StartProgram(TextRef command, int flags) {
    ScratchScope scope;
    Words words;
    char program[PATH_MAX];
    LaunchPlan plan;
    StatusCode st = Prepare(command, kMaxCommandWords, &words, program, &plan);
    const bool wait = (flags & startflag::kNoWait) == 0 || (flags & startflag::kWaitAnyway) != 0;
    plan.ownSession = (flags & startflag::kDetached) != 0;
    plan.orphan = !wait;
    pid_t pid = 0;
    if (st == status::kOk) st = Launch(plan, &pid);
    if (st == status::kOk && wait) {
        int raw = 0;
        const bool waited = WaitChild(pid, &raw);
        st = ExitResult(waited, raw);
    }
    return st;
}

StatusCode RunCaptured(TextRef command, void* context, CaptureSink sink) {
    ScratchScope scope;
    Words words;
    char program[PATH_MAX];
    LaunchPlan plan;
    StatusCode st = Prepare(command, kMaxCapturedWords, &words, program, &plan);
    PipePair input, output;
    if (st == status::kOk && !(input.ok() && output.ok())) st = status::kInternal;
    Capture c;
    if (st == status::kOk) {
        plan.ownSession = true; // no terminal of ours to read from or signal
        plan.input = input.read();
        plan.output = output.write();
        st = Launch(plan, &c.pid);
    }
    // The child holds its own ends now. Ours of its input closes at once so a program that reads
    // its input sees the end instead of waiting for us for ever.
    input.CloseRead();
    input.CloseWrite();
    output.CloseWrite();
    if (st == status::kOk) {
        c.output = output.read();
        ::fcntl(c.output, F_SETFL, ::fcntl(c.output, F_GETFL) | O_NONBLOCK);
        st = Pump(c, context, sink);
        output.CloseRead();
        Finish(c, st);
    }
    return st;
}

TextRef RunToText(TextRef command) {
    ScratchScope scope;
    TextSink sink;
    const StatusCode st = RunCaptured(command, &sink, AppendToText);
    const TextRef result = st == status::kOk
                               ? scope.Return(TextRef(sink.data == nullptr ? "" : sink.data,
                                                      static_cast<std::uint16_t>(sink.length)))
                               : TextRef::Failed(st);
    std::free(sink.data);
    return result;
}

TextRef RunToTempFile(TextRef command) {
    ScratchScope scope;
    const TextRef pattern = TempPath(kTempNamePattern);
    if (pattern.failed()) return scope.Return(pattern);
    char* path = const_cast<char*>(PathNative(pattern));
    int fd = *path == '\0' ? -1 : ::mkstemps(path, kTempSuffixLength);
    if (fd < 0) return TextRef::Failed(status::kFileOpening);
    StatusCode st = RunCaptured(command, &fd, AppendToFile);
    if (::close(fd) != 0 && st == status::kOk) st = status::kWrite;
    if (st != status::kOk) {
        ::unlink(path);
        return TextRef::Failed(st);
    }
    return scope.Return(TextFromUtf8(path));
}

StatusCode OpenInViewer(Viewer which, TextRef argument, int flags) {
    if (argument.failed()) return argument.status();
    ScratchScope scope;
    const TextRef program = ViewerProgram(which);
    StatusCode st = kNoViewer;
    // A program that expands to nothing is as good as none.
    const TextRef expanded = program.empty() ? program : ExpandPaths(program);
    if (!expanded.failed() && !expanded.empty()) {
        const TextRef command =
            TextFormat(Room(expanded.length + 1 + argument.length), "%.*s %.*s",
                       int(expanded.length), expanded.data, int(argument.length), argument.data);
        st = command.failed() ? command.status() : StartProgram(command, flags);
    }
    return st;
}

TextRef ComparerCommand(TextRef first, TextRef second) {
    ScratchScope scope;
    const TextRef a = TextQuote(first, '"');
    const TextRef b = TextQuote(second, '"');
    const StatusCode st = a.failed() ? a.status() : b.status();
    if (st != status::kOk) return TextRef::Failed(st);
    return scope.Return(TextFormat(Room(sizeof kComparer + 2 + a.length + b.length), "%s %.*s %.*s",
                                   kComparer, int(a.length), a.data, int(b.length), b.data));
}

StatusCode CompareFiles(TextRef first, TextRef second) {
    ScratchScope scope;
    const TextRef command = ComparerCommand(first, second);
    StatusCode st = command.status();
    if (st == status::kOk) {
        const TextRef output = RunToTempFile(command);
        st = output.failed()
                 ? output.status()
                 : OpenInViewer(Viewer::Text, TextQuote(output, '"'), startflag::kNoWait);
    }
    return st;
}

} // namespace vodarir
