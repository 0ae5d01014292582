// Unique temporary names and exclusively created files.
#include "host/unique_names.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

#include "host/paths.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::uint32_t kBase = 36;
constexpr int kNameLength = 10;
constexpr char kPrefix = 't';

std::uint64_t g_counter = 0;

// A 64-bit mix so that neighbouring counters give unrelated names.
std::uint64_t Mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

// Random bits from the system, so that nobody can work a name out from the clock and the
// process id and plant a file under it first; 0 when the system has none to give.
std::uint64_t RandomBits() {
    std::uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
        return 0;
    }
    return bits;
}

} // namespace

TextRef UniqueName() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    std::uint64_t seed = Mix(static_cast<std::uint64_t>(now) ^
                             (static_cast<std::uint64_t>(::getpid()) << 40) ^ ++g_counter) ^
                         RandomBits();
    char name[kNameLength];
    name[0] = kPrefix;
    for (int i = 1; i < kNameLength; ++i) {
        name[i] = kDigits[seed % kBase];
        seed /= kBase;
    }
    return TextDup(TextRef(name, kNameLength));
}

TextRef CreateUniqueFile(TextRef folder, TextRef before, TextRef after) {
    ScratchScope scope;
    for (int attempt = 0; attempt < kUniqueNameAttempts; ++attempt) {
        const TextRef path = PathJoin(folder, TextConcat(TextConcat(before, UniqueName()), after));
        if (path.failed()) return scope.Return(path);
        const int fd = ::open(PathNative(path), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            ::close(fd);
            return scope.Return(path);
        }
        if (errno != EEXIST) break;
    }
    LogErrorText(status::kFileNotFound, folder, true);
    scope.Release();
    return ErrorCheckText(1, step::kStreamInit, status::kFileNotFound,
                          TextRef::Failed(status::kFileNotFound));
}

} // namespace vodarir
