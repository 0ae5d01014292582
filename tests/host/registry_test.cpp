// Settings-store values: roots, keys, default values, the 1024-byte limit, the store's place and
// silent failure.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>
#include <string>

#include "host/registry.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::ScopedEnv;
using testing::Str;
using testing::TempFolder;

const std::string kAppPaths =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class RegistryTest : public testing::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        store_.emplace("VODARIR_REGISTRY", folder_.File("registry.txt").c_str());
    }
    void TearDown() override {
        EXPECT_EQ(ScratchDepth(), 0);
        EXPECT_EQ(RecordedError().status, 0) << "a failed read must not be recorded";
        RuntimeTest::TearDown();
    }

    // The value read, checking it sits on exactly one new level and is never a failed text.
    static std::string Read(const std::string& path) {
        const ScratchLevel mark = ScratchMark();
        const TextRef t = RegistryReadValue(TextView(path));
        EXPECT_FALSE(t.failed()) << path;
        EXPECT_LE(ScratchDepth(), mark + 1) << path;
        std::string s = Str(t);
        ScratchRelease(mark);
        return s;
    }
    static std::string StorePath() {
        const ScratchLevel mark = ScratchMark();
        std::string s = Str(RegistryStorePath());
        ScratchRelease(mark);
        return s;
    }

    TempFolder folder_;
    std::optional<ScopedEnv> store_;
};

TEST_F(RegistryTest, PathsFindTheirValues) {
    folder_.Write("registry.txt",
                  "# viewers\n" + kAppPaths + "Iexplore.exe\\=/usr/bin/browser\n" + kAppPaths +
                      "Iexplore.exe\\Path=/usr/lib/browser\n"
                      "HKEY_CURRENT_USER\\Software\\Vodarir\\Language=ES\n"
                      "HKEY_USERS\\Top=at the root's key\n"
                      "; another comment\n"
                      "\n"
                      "HKEY_CURRENT_USER\\Software\\Vodarir\\Formula=a=b+c\n"
                      "HKEY_CURRENT_USER\\Software\\Vodarir\\Empty=\n"
                      "HKEY_CURRENT_USER\\Software\\Vodarir\\Language=second line loses\n"
                      "HKEY_CLASSES_ROOT\\.txt\\=  padded  \n"
                      "no separator here\n");
    struct Row {
        std::string path;
        const char* value;
    };
    const Row rows[] = {
        {kAppPaths + "Iexplore.exe\\", "/usr/bin/browser"}, // ends in "\": the default value
        {kAppPaths + "Iexplore.exe\\Path", "/usr/lib/browser"},
        {kAppPaths + "IEXPLORE.EXE\\", "/usr/bin/browser"}, // key names ignore case
        {"HKEY_CURRENT_USER\\software\\VODARIR\\language", "ES"},
        {"HKEY_CURRENT_USER\\Software\\Vodarir\\Formula", "a=b+c"}, // the first "=" divides
        {"HKEY_CURRENT_USER\\Software\\Vodarir\\Empty", ""},
        {"HKEY_CLASSES_ROOT\\.txt\\", "  padded  "}, // values keep their blanks
        {"HKEY_USERS\\Top", "at the root's key"},
        {"hkey_current_user\\Software\\Vodarir\\Language", ""}, // roots are exact
        {"HKEY_Current_User\\Software\\Vodarir\\Language", ""},
        {"HKEY_LOCAL_MACHINE_X\\Software\\Vodarir\\Language", ""},
        {"HKEY_CURRENT_USER\\Software\\Vodarir\\Missing", ""},
        {"HKEY_CURRENT_USER\\Software\\Other\\Language", ""},
        {"HKEY_CURRENT_USER\\Software\\Language", ""}, // a key is not its sub-key
        {kAppPaths + "Iexplore.exe", ""},              // the value "Iexplore.exe" of App Paths
        {"HKEY_CURRENT_USER", ""},
        {"", ""},
        {"no separator here", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(Read(r.path), r.value) << r.path;
}

TEST_F(RegistryTest, EveryRootNameIsKnown) {
    std::string store;
    for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER",
                             "HKEY_LOCAL_MACHINE", "HKEY_USERS"}) {
        store += std::string(root) + "\\K\\V=" + root + "\n";
    }
    store += "HKEY_PERFORMANCE_DATA\\K\\V=never\n";
    folder_.Write("registry.txt", store);
    for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER",
                             "HKEY_LOCAL_MACHINE", "HKEY_USERS"}) {
        EXPECT_EQ(Read(std::string(root) + "\\K\\V"), root);
    }
    EXPECT_EQ(Read("HKEY_PERFORMANCE_DATA\\K\\V"), "");
}

TEST_F(RegistryTest, AValueOf1024BytesIsReadAndALongerOneIsNot) {
    const std::string exact(kRegistryValueMax, 'x');
    const std::string longer(kRegistryValueMax + 1, 'y');
    folder_.Write("registry.txt", "HKEY_USERS\\K\\Exact=" + exact + "\nHKEY_USERS\\K\\Long=" +
                                      longer + "\nHKEY_USERS\\K\\After=still read\n");
    EXPECT_EQ(Read("HKEY_USERS\\K\\Exact"), exact);
    EXPECT_EQ(Read("HKEY_USERS\\K\\Long"), "");
    EXPECT_EQ(Read("HKEY_USERS\\K\\After"), "still read");
}

TEST_F(RegistryTest, LineEndsOfEitherSystemAndAMissingLastEnd) {
    folder_.Write("registry.txt", "HKEY_USERS\\K\\A=one\r\nHKEY_USERS\\K\\B=two");
    EXPECT_EQ(Read("HKEY_USERS\\K\\A"), "one");
    EXPECT_EQ(Read("HKEY_USERS\\K\\B"), "two");
}

TEST_F(RegistryTest, CpBytesPassUnchanged) {
    folder_.Write("registry.txt", "HKEY_USERS\\Espa\xf1"
                                  "a\\Ni\xf1o=a\xf7"
                                  "b\n");
    EXPECT_EQ(Read("HKEY_USERS\\Espa\xf1"
                   "a\\Ni\xf1o"),
              "a\xf7"
              "b");
}

TEST_F(RegistryTest, AMissingStoreGivesTheEmptyText) {
    EXPECT_EQ(Read(kAppPaths + "Iexplore.exe\\"), "");
    ScopedEnv none("VODARIR_REGISTRY", folder_.path().c_str()); // a folder, not a file
    EXPECT_EQ(Read(kAppPaths + "Iexplore.exe\\"), "");
}

TEST_F(RegistryTest, TheStoreIsFoundByVariableThenConfigFolderThenHome) {
    ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
    ScopedEnv home("HOME", "/home/dev");
    EXPECT_EQ(StorePath(), folder_.File("registry.txt"));
    {
        ScopedEnv unset("VODARIR_REGISTRY", "");
        EXPECT_EQ(StorePath(), "/cfg/vodarir/registry.txt");
        ScopedEnv relative("XDG_CONFIG_HOME", "cfg"); // not absolute: ignored
        EXPECT_EQ(StorePath(), "/home/dev/.config/vodarir/registry.txt");
        ScopedEnv noConfig("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(StorePath(), "/home/dev/.config/vodarir/registry.txt");
        ScopedEnv noHome("HOME", nullptr);
        EXPECT_EQ(StorePath(), "");
    }
}

TEST_F(RegistryTest, TheConfigFolderStoreIsRead) {
    ScopedEnv unset("VODARIR_REGISTRY", nullptr);
    ScopedEnv config("XDG_CONFIG_HOME", folder_.path().c_str());
    ASSERT_EQ(::mkdir(folder_.File("vodarir").c_str(), 0755), 0);
    folder_.Write("vodarir/registry.txt", "HKEY_CURRENT_USER\\K\\V=from config\n");
    EXPECT_EQ(Read("HKEY_CURRENT_USER\\K\\V"), "from config");
}

} // namespace
} // namespace vodarir
