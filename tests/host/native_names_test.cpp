// File names and the environment as the system spells them (UTF-8) meet the runtime's cp1252:
// a folder called "almacén" must open, list and come back exactly as the designer spells it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "host/paths.h"
#include "host/processes.h"
#include "host/text_files.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::ScopedEnv;
using testing::Str;
using testing::TempFolder;

class NativeNamesTest : public testing::RuntimeTest {
protected:
    TempFolder temp;
    // "almacén" in cp1252 (é is 0xE9) and as the system writes it.
    const std::string cp1252Folder = temp.path() + "/almac\xE9n";
    const std::string utf8Folder = temp.path() + "/almac\xC3\xA9n";

    void SetUp() override {
        RuntimeTest::SetUp();
        std::filesystem::create_directory(utf8Folder);
    }
};

TEST_F(NativeNamesTest, ACp1252PathOpensTheFileTheSystemSpellsInUtf8) {
    {
        std::FILE* f = std::fopen((utf8Folder + "/D\xC3\x8D"
                                                "A.txt")
                                      .c_str(),
                                  "wb"); // "DÍA.txt"
        ASSERT_NE(f, nullptr);
        std::fputs("linea\r\n", f);
        std::fclose(f);
    }
    const ScratchLevel mark = ScratchMark();
    const std::string name = cp1252Folder + "/D\xCD"
                                            "A.txt";
    const TextRef path = TextView(name);
    EXPECT_EQ(FileLength(path), 7);
    EXPECT_EQ(ReadLines(path, 0, 0, slotgroup::kFileLines), 1);
    EXPECT_EQ(Str(SlotTop(slotgroup::kFileLines)), "linea");
    SlotPopTo(slotgroup::kFileLines, 0);
    EXPECT_EQ(Str(FindInFolders(TextView(cp1252Folder), "d\xED"
                                                        "o"_t)),
              "")
        << "no such file";
    EXPECT_EQ(Str(FindInFolders(TextView(cp1252Folder), "d\xED"
                                                        "a.TXT"_t)),
              cp1252Folder + "/D\xCD"
                             "A.txt")
        << "found without regard to case, and answered in cp1252";
    ScratchRelease(mark);
}

TEST_F(NativeNamesTest, WritesCreateUtf8NamesAndListingsAnswerCp1252) {
    const ScratchLevel mark = ScratchMark();
    const std::string name = cp1252Folder + "/a\xF1o.prx"; // "año.prx"
    ASSERT_EQ(FileSave(TextView(name), kRewritePosition, "x=1"_t), status::kOk);
    EXPECT_TRUE(std::filesystem::exists(utf8Folder + "/a\xC3\xB1o.prx"));
    EXPECT_EQ(temp.EntryCount(), 1) << "nothing but the folder";
    const std::string pattern = cp1252Folder + "/*.prx";
    ASSERT_EQ(FileFind(TextView(pattern)), status::kOk);
    EXPECT_EQ(Str(ScratchTop()), "a\xF1o.prx");
    ScratchRelease(mark);
}

TEST_F(NativeNamesTest, FoldersAreMadeAndEnteredByTheirCp1252Names) {
    const std::string before = std::filesystem::current_path().string();
    const ScratchLevel mark = ScratchMark();
    const std::string nested = cp1252Folder + "/copias/se\xF1"
                                              "al";
    ASSERT_EQ(MakeFolders(TextView(nested)), status::kOk);
    EXPECT_TRUE(std::filesystem::is_directory(utf8Folder + "/copias/se\xC3\xB1"
                                                           "al"));
    ASSERT_EQ(ChangeFolder(TextView(nested)), status::kOk);
    EXPECT_EQ(Str(CurrentFolder()), std::filesystem::canonical(temp.path()).string() +
                                        "/almac\xE9n/copias/se\xF1"
                                        "al");
    std::filesystem::current_path(before);
    ScratchRelease(mark);
}

TEST_F(NativeNamesTest, TheEnvironmentIsReadInCp1252AndRefusedWhenItCannotBe) {
    const ScopedEnv dir("VODARIR_TEST_DIR", (utf8Folder).c_str());
    const ScopedEnv snow("VODARIR_TEST_SNOW", "\xE2\x98\x83"); // a snowman: no cp1252 byte
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(EnvValue("VODARIR_TEST_DIR"_t)), cp1252Folder);
    EXPECT_EQ(EnvValue("VODARIR_TEST_SNOW"_t).status(), status::kBadStringType)
        << "refused, never altered";
    ScratchRelease(mark);
}

TEST_F(NativeNamesTest, ProgramsReceiveTheirArgumentsInUtf8) {
    const ScratchLevel mark = ScratchMark();
    const std::string command = "/bin/echo \"" + cp1252Folder + "\"";
    const TextRef out = RunToText(TextView(command));
    ASSERT_FALSE(out.failed()) << out.status();
    EXPECT_EQ(Str(out), utf8Folder + "\n") << "the program sees the name the system knows";
    ScratchRelease(mark);
}

} // namespace
} // namespace vodarir
