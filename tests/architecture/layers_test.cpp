// The layers of src/: the checker on small cases first, then the source tree and the build's
// library stack against the table in docs/architecture.md.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "architecture/layer_rules.h"
#include "support/temp_folder.h"

namespace vodarir::layers {
namespace {

namespace fs = std::filesystem;

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += "  " + line + "\n";
    return all;
}

// ---- The table --------------------------------------------------------------------------------

TEST(LayerTable, ReadsTheNumberedRowsOfItsSectionOnly) {
    const std::string doc = "# Architecture\n"
                            "| 7 | `elsewhere` | a table of another section |\n"
                            "## Layers\n"
                            "| Layer | Folders | Why |\n"
                            "|---|---|---|\n"
                            "| 2 | `designer` | on top |\n"
                            "| 1 | `host`, `runtime/store` | the middle, `reasons` aside |\n"
                            "| 0 | `runtime/text` | below everything |\n"
                            "| - | `not-a-layer` | no number |\n"
                            "## After\n"
                            "| 5 | `later` | outside the section |\n";
    std::vector<std::string> errors;
    const LayerTable table = ParseLayerTable(doc, &errors);
    EXPECT_TRUE(errors.empty()) << Joined(errors);
    const LayerTable expected = {
        {"designer", 2}, {"host", 1}, {"runtime/store", 1}, {"runtime/text", 0}};
    EXPECT_EQ(table, expected);
}

TEST(LayerTable, ReportsWhatCannotBeRight) {
    struct Row {
        std::string doc;
        std::string error;
    };
    const Row rows[] = {
        {"## Layers\n| 1 | `host` |\n| 0 | `host` |\n", "host is listed twice"},
        {"## Layers\n| 1 | nothing quoted |\n", "layer 1 names no folder"},
        {"## Other\n| 0 | `host` |\n", "no section \"## Layers\""},
    };
    for (const Row& r : rows) {
        std::vector<std::string> errors;
        ParseLayerTable(r.doc, &errors);
        ASSERT_EQ(errors.size(), 1u) << r.doc << Joined(errors);
        EXPECT_EQ(errors[0], r.error) << r.doc;
    }
}

// ---- Folders and includes ---------------------------------------------------------------------

TEST(FolderOf, TheLongestFolderOfTheTableThePathLiesIn) {
    const LayerTable table = {
        {"platform", 0}, {"platform/qt", 1}, {"runtime/text", 0}, {"host", 1}};
    struct Row {
        std::string path;
        std::string folder;
    };
    const Row rows[] = {
        {"platform/ui.h", "platform"},
        {"platform/qt/qt_ui.cpp", "platform/qt"},
        {"platform/qt/images/icons.h", "platform/qt"},
        {"platform/scripted/scripted_ui.h", "platform"},
        {"runtime/text/text_ops.h", "runtime/text"},
        {"runtime/textual/x.h", "runtime"}, // a prefix of a name is not its folder
        {"runtime/x.h", "runtime"},
        {"host/deeper/x.cpp", "host"},
        {"main.cpp", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(FolderOf(r.path, table), r.folder) << r.path;
}

TEST(IncludesOf, DirectivesOfBothKindsOutsideComments) {
    const std::string text = "// A file.\n"
                             "#include \"host/paths.h\"\n"
                             "#  include <vector>\n"
                             "  #include \"runtime/text/text_ref.h\"  // why\n"
                             "// #include \"commented/out.h\"\n"
                             "/* #include \"one/line.h\" */\n"
                             "/*\n"
                             "#include \"block/comment.h\"\n"
                             "*/\n"
                             "#include_next <next.h>\n"
                             "#include SOME_MACRO\n"
                             "#define X \"not/an/include.h\"\n"
                             "#include <host/angled.h>\n";
    const std::vector<Include> found = IncludesOf(text);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].name, "host/paths.h");
    EXPECT_FALSE(found[0].angled);
    EXPECT_EQ(found[0].line, 2);
    EXPECT_EQ(found[1].name, "vector");
    EXPECT_TRUE(found[1].angled);
    EXPECT_EQ(found[2].name, "runtime/text/text_ref.h");
    EXPECT_EQ(found[3].name, "host/angled.h");
    EXPECT_EQ(found[3].line, 13);
}

TEST(MayInclude, OwnFolderAndLowerLayersOnly) {
    const LayerTable table = {{"runtime/text", 0}, {"platform", 0}, {"host", 1}, {"designer", 2}};
    struct Row {
        std::string from;
        std::string to;
        bool allowed;
    };
    const Row rows[] = {
        {"host", "host", true},
        {"host", "runtime/text", true},
        {"designer", "runtime/text", true},
        {"runtime/text", "host", false},     // upwards
        {"runtime/text", "platform", false}, // sideways, within one layer
        {"host", "designer", false},
        {"host", "unknown", false},
        {"unknown", "host", false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(MayInclude(table, r.from, r.to), r.allowed) << r.from << " -> " << r.to;
    }
}

TEST(LayerBreaks, FindsUpwardSidewaysAndUnplacedFiles) {
    testing::TempFolder src;
    for (const char* dir : {"low", "side", "high", "stray"}) fs::create_directory(src.File(dir));
    src.Write("low/a.h", "#pragma once\n");
    src.Write("low/a.cpp", "#include \"low/a.h\"\n\n#include \"high/b.h\"\n");
    src.Write("side/c.h", "#pragma once\n");
    src.Write("side/c.cpp", "#include \"c.h\"\n#include \"missing.h\"\n");
    src.Write("high/b.h", "#pragma once\n#include \"low/a.h\"\n");
    src.Write("high/b.cpp", "#include \"b.h\"\n#include <side/c.h>\n#include <string>\n");
    src.Write("stray/d.h", "#pragma once\n");
    src.Write("top.cpp", "\n");
    const LayerTable table = {{"low", 0}, {"side", 1}, {"high", 1}};

    const std::vector<std::string> expected = {
        "high/b.cpp:2: high (layer 1) includes side/c.h of side (layer 1)",
        "low/a.cpp:3: low (layer 0) includes high/b.h of high (layer 1)",
        "stray/d.h: its folder stray has no layer in the table",
        "top.cpp: its folder src has no layer in the table",
    };
    EXPECT_EQ(LayerBreaks(src.path(), table), expected);
}

// ---- The repository ---------------------------------------------------------------------------

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

LayerTable RepositoryTable() {
    const fs::path doc = fs::path(VODARIR_SOURCE_DIR) / "docs/architecture.md";
    std::vector<std::string> errors;
    const LayerTable table = ParseLayerTable(ReadFile(doc), &errors);
    EXPECT_TRUE(errors.empty()) << doc << ":\n" << Joined(errors);
    return table;
}

TEST(Repository, EveryIncludeOfSrcFollowsTheLayerTable) {
    const LayerTable table = RepositoryTable();
    ASSERT_FALSE(table.empty());
    const std::vector<std::string> breaks =
        LayerBreaks(fs::path(VODARIR_SOURCE_DIR) / "src", table);
    EXPECT_TRUE(breaks.empty()) << "includes against the layers of docs/architecture.md:\n"
                                << Joined(breaks);
}

// The build stacks one library per folder (src/CMakeLists.txt, VODARIR_LAYERS); its order must
// be the table's, or the link order and the include rule would disagree.
TEST(Repository, TheLibraryStackOfTheBuildIsTheTables) {
    const LayerTable table = RepositoryTable();
    // "platform runtime/text|runtime/store|...": layers from the bottom, folders split by blanks.
    std::vector<std::pair<std::string, int>> built;
    int layer = 0;
    std::string folder;
    for (const char c : std::string(VODARIR_CMAKE_LAYERS) + "|") {
        if (c != ' ' && c != '|') {
            folder += c;
            continue;
        }
        if (!folder.empty()) built.emplace_back(folder, layer);
        folder.clear();
        if (c == '|') ++layer;
    }
    ASSERT_GT(built.size(), 5u) << VODARIR_CMAKE_LAYERS;
    for (const auto& [folder, layer] : built) {
        EXPECT_TRUE(table.contains(folder)) << folder << " is built but has no layer in the table";
    }
    for (const auto& [a, layerA] : built) {
        for (const auto& [b, layerB] : built) {
            if (!table.contains(a) || !table.contains(b)) continue;
            EXPECT_EQ(layerA < layerB, table.at(a) < table.at(b))
                << a << " and " << b << " stand in another order in the build than in the table";
        }
    }
}

} // namespace
} // namespace vodarir::layers
