// Unique names and files created under a name nobody else holds.
#include <gtest/gtest.h>

#include <set>

#include "host/unique_names.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class UniqueNamesTest : public RuntimeTest {};

TEST_F(UniqueNamesTest, NamesAreNeverRepeatedAndHoldOnlyLettersAndDigits) {
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        const ScratchLevel mark = ScratchMark();
        const std::string name = Str(UniqueName());
        ScratchRelease(mark);
        ASSERT_FALSE(name.empty());
        for (char c : name) ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << name;
        ASSERT_TRUE(seen.insert(name).second) << "repeated: " << name;
    }
}

TEST_F(UniqueNamesTest, EachCreatedFileIsNewAndKeepsItsAffixes) {
    TempFolder folder;
    folder.Write("taken.txt", "keep me");
    std::set<std::string> paths;
    for (int i = 0; i < 20; ++i) {
        const ScratchLevel mark = ScratchMark();
        const TextRef path = CreateUniqueFile(TextView(folder.path()), "ALPROC."_t, ".PRX"_t);
        ASSERT_FALSE(path.failed());
        const std::string p = Str(path);
        ScratchRelease(mark);
        EXPECT_EQ(p.rfind(folder.path() + "/ALPROC.", 0), 0u) << p;
        EXPECT_EQ(p.substr(p.size() - 4), ".PRX");
        EXPECT_TRUE(std::filesystem::exists(p));
        EXPECT_TRUE(paths.insert(p).second);
    }
    EXPECT_EQ(folder.EntryCount(), 21);
    EXPECT_EQ(folder.Read("taken.txt"), "keep me");
}

TEST_F(UniqueNamesTest, AFolderThatTakesNoFilesIsReported) {
    TempFolder folder;
    const TextRef path = CreateUniqueFile(TextView(folder.File("missing")), "x."_t, ".PDC"_t);
    EXPECT_TRUE(path.failed());
    EXPECT_EQ(path.status(), status::kFileNotFound);
    EXPECT_EQ(ScratchDepth(), 0);
}

} // namespace
} // namespace vodarir::testing
