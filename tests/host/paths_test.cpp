// Paths and folders: separators, joining, parts, resolving, searches, folders and the environment.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "host/paths.h"
#include "host/text_files.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::ScopedEnv;
using testing::Str;
using testing::TempFolder;

std::string Shown(TextRef t) { return t.failed() ? "error " + std::to_string(t.status()) : Str(t); }

class PathsTest : public testing::RuntimeTest {
protected:
    void TearDown() override {
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        RuntimeTest::TearDown();
    }
    template <typename F> static std::string Call(F f) {
        const ScratchLevel mark = ScratchMark();
        std::string s = Shown(f());
        ScratchRelease(mark);
        return s;
    }
};

// Changes the current folder for one test and goes back after it.
class ScopedFolder {
public:
    explicit ScopedFolder(const std::string& to) : back_(std::filesystem::current_path()) {
        std::filesystem::current_path(to);
    }
    ~ScopedFolder() { std::filesystem::current_path(back_); }

private:
    std::filesystem::path back_;
};

TEST_F(PathsTest, SlashesTurnNativeOutsideQuotes) {
    struct Row {
        const char* in;
        const char* out;
    };
    for (const Row& r : {Row{"a\\b/c", "a/b/c"}, Row{"'a\\b'\\c", "'a\\b'/c"},
                         Row{"\"x\\y\"\\z", "\"x\\y\"/z"}, Row{"", ""}}) {
        EXPECT_EQ(Call([&] { return PathSlashes(TextView(r.in)); }), r.out) << r.in;
    }
}

TEST_F(PathsTest, JoinPutsOneSeparatorWhereNeeded) {
    struct Row {
        const char* folder;
        const char* name;
        const char* out;
    };
    const Row rows[] = {
        {"C:\\A\\", "B", "C:/A/B"},
        {"C:\\A", "\\B", "C:/A/B"},
        {"", "B", "B"},
        {"A", "", "A"},
        {"/A/", "B", "/A/B"},
        {"/A", "B\\c.txt", "/A/B/c.txt"},
        {"A", "B", "A/B"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Call([&] { return PathJoin(TextView(r.folder), TextView(r.name)); }), r.out)
            << r.folder << " + " << r.name;
    }
    EXPECT_EQ(Call([] { return PathAddExt("x"_t, "txt"_t); }), "x.txt");
    EXPECT_EQ(Call([] { return PathAddExt("x"_t, ""_t); }), "x");
    EXPECT_EQ(Call([] { return PathAddExt(""_t, "txt"_t); }), "txt");
}

TEST_F(PathsTest, PartsSplitAtTheLastSeparatorAndDot) {
    struct Row {
        const char* path;
        int parts;
        const char* out;
    };
    const Row rows[] = {
        {"C:\\dir.x\\file", 8, ""}, // the dot lies in the folder
        {"/a/b/c.txt", 1, ""},      // no drives here
        {"/a/b/c.txt", 2, "/a/b"},
        {"/a/b/c.txt", 3, "/a/b"},
        {"/a/b/c.txt", 4, "c"},
        {"/a/b/c.txt", 8, ".txt"},
        {"/a/b/c.txt", 12, "c.txt"},
        {"/a/b/c.txt", 6, "/a/b/c"},
        {"/a/b/c.txt", 14, "/a/b/c.txt"},
        {"a\\b\\c", 3, "a/b"},
        {"/c.txt", 2, "/"}, // the root keeps its separator
        {"/c.txt", 6, "/c"},
        {"c.txt", 2, ""},
        {"c.txt", 6, "c"},
        {"dir/", 4, ""},
        {"dir/", 2, "dir"},
        {"x.tar.gz", 8, ".gz"},
        {"x.tar.gz", 4, "x.tar"},
        {"", 15, ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Call([&] { return PathPart(TextView(r.path), r.parts); }), r.out)
            << r.path << " parts " << r.parts;
    }
}

TEST_F(PathsTest, ResolveClimbsOneFolderPerLeadingDotDot) {
    struct Row {
        const char* base;
        const char* relative;
        const char* out;
    };
    const Row rows[] = {
        {"C:\\A\\B", "..\\data", "C:/A/data"},
        {"/A/B", "../data", "/A/data"},
        {"/A/B", "../../x", "/x"},
        {"/A", "../../x", "/x"}, // never above the root
        {"/A/B", "..", "/A"},
        {"/A/B", "./x", "/A/B/x"},
        {"/A/B", "x/./y", "/A/B/x/y"},
        {"/A/B", "x/././y", "/A/B/x/y"},
        {"/A/B", "...x", "/A/B/...x"},
        {"/A/B", "x/../y", "/A/B/x/../y"}, // only leading ".." climbs
        {"", "Help", "Help"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Call([&] { return PathResolve(TextView(r.base), TextView(r.relative)); }), r.out)
            << r.base << " + " << r.relative;
    }
}

TEST_F(PathsTest, AbsoluteResolvesARelativePathAgainstTheCurrentFolder) {
    TempFolder dir;
    const std::filesystem::path before = std::filesystem::current_path();
    const std::string here = std::filesystem::canonical(dir.path()).string();
    std::filesystem::current_path(here);
    const std::string up = std::filesystem::path(here).parent_path().string();
    struct Row {
        const char* path;
        std::string out;
    };
    const Row rows[] = {
        {"docs/AL.PDC", here + "/docs/AL.PDC"}, {"docs\\AL.PDC", here + "/docs/AL.PDC"},
        {"./AL.PDC", here + "/AL.PDC"},         {"../AL.PDC", up + "/AL.PDC"},
        {"/abs/AL.PDC", "/abs/AL.PDC"},         {"\\abs\\AL.PDC", "/abs/AL.PDC"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Call([&] { return PathAbsolute(TextView(r.path)); }), r.out) << r.path;
    }
    std::filesystem::current_path(before);
}

TEST_F(PathsTest, FindInFoldersTriesTheNameThenEachFolder) {
    TempFolder dir;
    std::filesystem::create_directories(dir.File("one"));
    std::filesystem::create_directories(dir.File("two"));
    dir.Write("two/f.txt", "x");
    dir.Write("here.txt", "x");
    const std::string list = dir.File("one") + ", " + dir.File("two");
    const std::string found = dir.File("two") + "/f.txt";
    EXPECT_EQ(Call([&] { return FindInFolders(TextView(list), "f.txt"_t); }), found);
    EXPECT_EQ(Call([&] { return FindInFolders(TextView(list), "F.TXT"_t); }), found)
        << "a name in another letter case is found as it is on disk";
    const std::string given = dir.File("here.txt");
    EXPECT_EQ(Call([&] { return FindInFolders(TextView(list), TextView(given)); }), given);
    EXPECT_EQ(Call([&] { return FindInFolders(TextView(list), "none.txt"_t); }), "");
    EXPECT_EQ(Call([&] { return FindInFolders(""_t, "none.txt"_t); }), "");
}

TEST_F(PathsTest, OnDiskFindsAnotherLetterCaseInTheSameFolder) {
    TempFolder dir;
    dir.Write("dicc.dat", "x");
    EXPECT_EQ(Call([&] { return PathOnDisk(TextView(dir.File("DICC.DAT"))); }),
              dir.File("dicc.dat"));
    EXPECT_EQ(Call([&] { return PathOnDisk(TextView(dir.File("DICC.DA"))); }), "error 164");
    ScopedFolder in(dir.path());
    EXPECT_EQ(Call([] { return PathOnDisk("Dicc.Dat"_t); }), "dicc.dat");
}

TEST_F(PathsTest, FileFindListsMatchingNamesSortedAndNulSeparated) {
    TempFolder dir;
    for (const char* n : {"b.pan", "a.PAN", "c.txt", "noext"}) dir.Write(n, "");
    std::filesystem::create_directories(dir.File("sub.pan"));
    struct Row {
        std::string pattern;
        StatusCode status;
        std::string names;
    };
    const Row rows[] = {
        {dir.File("*.pan"), 0, std::string("a.PAN\0b.pan\0sub.pan", 19)},
        {dir.path() + "\\*.TXT", 0, "c.txt"},
        {dir.File("*.*"), 0, std::string("a.PAN\0b.pan\0c.txt\0noext\0sub.pan", 31)},
        {dir.File("*.zzz"), status::kFileNotFound, ""},
        {dir.File("missing/*"), status::kFileNotFound, ""},
    };
    for (const Row& r : rows) {
        const ScratchLevel mark = ScratchMark();
        EXPECT_EQ(FileFind(TextView(r.pattern)), r.status) << r.pattern;
        if (r.status == 0) {
            EXPECT_EQ(Str(ScratchTop()), r.names) << r.pattern;
            EXPECT_EQ(ScratchDepth(), mark + 1) << "one level holds the names";
        } else {
            EXPECT_EQ(ScratchDepth(), mark);
        }
        ScratchRelease(mark);
    }
}

TEST_F(PathsTest, PathExistsForFilesAndFoldersOnly) {
    TempFolder dir;
    dir.Write("a.pan", "");
    std::filesystem::create_directories(dir.File("datos/empty"));
    const ScratchLevel mark = ScratchMark();
    EXPECT_TRUE(PathExists(TextView(dir.File("a.pan"))));
    EXPECT_TRUE(PathExists(TextView(dir.File("datos/empty")))) << "an empty folder exists";
    EXPECT_TRUE(PathExists(TextView(dir.File("datos/empty/.")))) << "the folder itself";
    EXPECT_FALSE(PathExists(TextView(dir.File("datos/missing"))));
    EXPECT_FALSE(PathExists(TextView(dir.File("a.pan/x")))) << "below a file nothing exists";
    EXPECT_FALSE(PathExists(TextRef()));
    EXPECT_FALSE(PathExists(TextRef::Failed(status::kFileNotFound)));
    EXPECT_EQ(ScratchDepth(), mark);
}

TEST_F(PathsTest, NulListBecomesACommaListWithoutExclusions) {
    const std::string names("a.pan\0b.pan\0c.pan\0", 18);
    EXPECT_EQ(Call([&] { return ListFromNulList(TextView(names), "b.pan"_t); }), "a.pan,c.pan");
    EXPECT_EQ(Call([&] { return ListFromNulList(TextView(names), ""_t); }), "a.pan,b.pan,c.pan");
    EXPECT_EQ(Call([&] { return ListFromNulList(TextView(names), "a.pan,b.pan,c.pan"_t); }), "");
    EXPECT_EQ(Call([] { return ListFromNulList(""_t, "x"_t); }), "");
}

TEST_F(PathsTest, MakeFoldersCreatesEveryMissingParent) {
    TempFolder dir;
    EXPECT_EQ(MakeFolders(TextView(dir.File("a/b/c"))), status::kOk);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("a/b/c")));
    EXPECT_EQ(MakeFolders(TextView(dir.File("a/b/c"))), status::kOk) << "existing is fine";
    EXPECT_EQ(MakeFolders(TextView(dir.path() + "\\x\\y\\")), status::kOk);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("x/y")));
    dir.Write("file", "");
    EXPECT_EQ(MakeFolders(TextView(dir.File("file/sub"))), status::kFileExists);
    EXPECT_EQ(MakeFolders(""_t), status::kData);
    const std::string tooLong = dir.path() + "/" + std::string(kMaxPathLength, 'n');
    EXPECT_EQ(MakeFolders(TextView(tooLong)), status::kData);
}

// MakeFolders copies the path twice on the ScratchStack (separators, then UTF-8); when the second
// copy finds no room the first one must not stay behind.
TEST_F(PathsTest, MakeFoldersOnAFullStackLeavesNoLevelBehind) {
    const std::string path = "/" + std::string(100, '\xE9'); // each é takes two bytes of UTF-8
    const ScratchLevel mark = ScratchMark();
    // Room for the first copy and not for the second.
    const std::uint32_t room = Align4(std::uint32_t(path.size())) + 8;
    while (ScratchFreeBytes() > room) {
        const std::uint32_t fill = std::min<std::uint32_t>(ScratchFreeBytes() - room, 0xFFFC);
        ASSERT_EQ(ScratchAlloc(fill, kNoFill), status::kOk);
    }
    const ScratchLevel full = ScratchDepth();
    EXPECT_EQ(MakeFolders(TextView(path)), status::kOutOfMemory);
    EXPECT_EQ(ScratchDepth(), full);
    ScratchRelease(mark);
}

TEST_F(PathsTest, CurrentFolderFollowsChangeFolder) {
    TempFolder dir;
    ScopedFolder keep(std::filesystem::current_path().string());
    ASSERT_EQ(ChangeFolder(TextView(dir.path())), status::kOk);
    EXPECT_EQ(Call([] { return CurrentFolder(); }),
              std::filesystem::canonical(dir.path()).string());
    EXPECT_EQ(ChangeFolder(TextView(dir.File("missing"))), status::kFileNotFound);
    EXPECT_EQ(ChangeDrive("D:"_t), status::kOk) << "no drives: nothing to change";
}

TEST_F(PathsTest, TempPathFallsBackFromTempToTmpdirToTmp) {
    struct Row {
        const char* temp;
        const char* tmpdir;
        const char* out;
    };
    const Row rows[] = {
        {"/t1", "/t2", "/t1/r.txt"},
        {nullptr, "/t2", "/t2/r.txt"},
        {"", "/t2", "/t2/r.txt"},
        {nullptr, nullptr, "/tmp/r.txt"},
    };
    for (const Row& r : rows) {
        ScopedEnv temp("TEMP", r.temp);
        ScopedEnv tmpdir("TMPDIR", r.tmpdir);
        EXPECT_EQ(Call([] { return TempPath("r.txt"_t); }), r.out)
            << (r.temp ? r.temp : "-") << " " << (r.tmpdir ? r.tmpdir : "-");
    }
}

TEST_F(PathsTest, EnvValueReadsTheProcessEnvironment) {
    ScopedEnv set("VODARIR_TEST_VALUE", "some value");
    ScopedEnv unset("VODARIR_TEST_UNSET", nullptr);
    EXPECT_EQ(Call([] { return EnvValue("VODARIR_TEST_VALUE"_t); }), "some value");
    EXPECT_EQ(Call([] { return EnvValue("VODARIR_TEST_UNSET"_t); }), "");
    EXPECT_EQ(Call([] { return EnvValue(""_t); }), "");
}

TEST_F(PathsTest, ApplicationFolders) {
    TempFolder dir;
    ScopedFolder in(dir.path());
    const std::string cwd = std::filesystem::canonical(dir.path()).string();
    const std::string parent = std::filesystem::path(cwd).parent_path().string();
    SlotSet(slotgroup::kEnvironment, 1, "\"/opt/v/prog\" x"_t);
    SlotSet(slotgroup::kEnvironment, 5, "/srv/apps"_t);
    SlotSet(slotgroup::kEnvironment, 11, "host, 'Db' "_t);
    struct Row {
        AppFolderKind kind;
        std::string out;
    };
    const Row rows[] = {
        {AppFolderKind::RunPath, "/opt/v"},
        {AppFolderKind::Default, "/srv/apps"},
        {AppFolderKind::Docs, cwd},              // no common folder: the current one
        {AppFolderKind::Data, parent + "/data"}, // beside the documents folder
        {AppFolderKind::Help, "/srv/apps/Help"}, // no help folder: under the default one
        {AppFolderKind::Backup, "Backups"},
        {AppFolderKind::BackRel, cwd + "/Backups/host/Db"},
        {static_cast<AppFolderKind>(0), ""},
        {static_cast<AppFolderKind>(8), ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Call([&] { return AppFolder(r.kind); }), r.out) << static_cast<int>(r.kind);
    }

    SlotSet(slotgroup::kEnvironment, 6, "/srv/common"_t);
    SlotSet(slotgroup::kEnvironment, 7, "/srv/help"_t);
    EXPECT_EQ(Call([] { return AppFolder(AppFolderKind::Docs); }), "/srv/common");
    EXPECT_EQ(Call([] { return AppFolder(AppFolderKind::Data); }), "/srv/data");
    EXPECT_EQ(Call([] { return AppFolder(AppFolderKind::Help); }), "/srv/help");
    EXPECT_EQ(Call([] { return AppFolder(AppFolderKind::Backup); }), "/srv/common/Backups");
}

} // namespace
} // namespace vodarir
