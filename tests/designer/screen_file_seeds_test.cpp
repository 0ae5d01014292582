// The screen-file fuzz target's seeds, replayed in the normal build: every seed keeps the
// properties the fuzzer checks (fuzz/screen_file_checks.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/start/runtime_start.h"
#include "screen_file_checks.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

class ScreenFileSeedsTest : public testing::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(RuntimeInit(), status::kOk);
    }
    testing::TempFolder folder;
};

TEST_F(ScreenFileSeedsTest, EverySeedKeepsTheProperties) {
    const std::filesystem::path seeds = VODARIR_SCREEN_FILE_SEEDS;
    std::vector<std::filesystem::path> paths;
    for (const auto& e : std::filesystem::directory_iterator(seeds)) paths.push_back(e.path());
    ASSERT_GE(paths.size(), 10u) << seeds;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        EXPECT_TRUE(fuzz::CheckScreenFileInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                               bytes.size(), folder.path()))
            << path;
    }
}

} // namespace
} // namespace vodarir
