// The prompt and screen fuzz target's seeds, replayed in the normal build: every seed keeps the
// properties the fuzzer checks (fuzz/prompt_checks.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "prompt_checks.h"
#include "runtime/start/runtime_start.h"
#include "screens/screen_windows.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

class PromptSeedsTest : public testing::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(RuntimeInit(), status::kOk);
    }
    void TearDown() override {
        ScreensReset();
        RuntimeTest::TearDown();
    }
};

TEST_F(PromptSeedsTest, EverySeedKeepsTheProperties) {
    const std::filesystem::path folder = VODARIR_PROMPT_SEEDS;
    std::vector<std::filesystem::path> seeds;
    for (const auto& e : std::filesystem::directory_iterator(folder)) seeds.push_back(e.path());
    ASSERT_GE(seeds.size(), 10u) << folder;
    for (const auto& path : seeds) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        EXPECT_TRUE(fuzz::CheckPromptInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           bytes.size()))
            << path;
    }
}

} // namespace
} // namespace vodarir
