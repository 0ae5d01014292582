// Checkpoints give the dictionary back exactly: whatever is built or edited under one (files and
// fields added, inserted, deleted, changed, renamed; indexes and relations added; the current file
// moved), popping it or discarding above it restores the model as it was when it was pushed.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "dictionary/dictionary.h"
#include "dictionary_fixture.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {
namespace {

using testing::DictionaryTest;
using testing::Str;

// Everything a caller can read of the dictionary, records whole.
std::string Model() {
    std::ostringstream out;
    out << "files " << FileCount() << " fields " << TotalFieldCount() << " indexes "
        << TotalIndexCount() << " current " << CurrentFile() << " indexed " << LastIndexedFile()
        << "\n";
    for (std::uint16_t f = 1; f <= FileCount(); ++f) {
        const FileStructRecord r = FileStruct(f);
        out << "file " << f << ": #" << int{r.number} << " class " << int{r.fileClass} << " "
            << r.fieldCount << " fields " << r.recordLength << " bytes " << r.indexCount
            << " indexes '" << Str(FileName(f)) << "' at '" << Str(FileLocation(f))
            << "' relation '" << Str(RelationText(f)) << "'\n";
        for (std::uint16_t k = 1; k <= r.fieldCount; ++k) {
            const FieldEntryRecord e = FieldEntry(f, k);
            out << "  field " << k << ": file " << int{e.file} << " #" << e.field << " @"
                << e.offset << " len " << e.length << " type " << e.type << " status " << e.status
                << " '" << Str(FieldName(f, k)) << "'\n";
        }
        for (std::uint16_t i = 1; i <= r.indexCount; ++i) {
            const IndexDefinitionRecord index = IndexDefinition(f, i);
            out << "  index " << i << ":";
            for (std::uint32_t s = 0; s < index.segmentCount; ++s) {
                out << " " << index.segments[s].start << "," << index.segments[s].length;
            }
            out << "\n";
        }
    }
    const ScratchLevel mark = ScratchMark();
    out << "names " << Str(FileNameList()) << "\n";
    ScratchRelease(mark);
    return out.str();
}

// Random building and editing steps; each may be refused (a file number out of range, the 30-file
// limit), which is part of what a checkpoint must survive.
class Editor {
public:
    explicit Editor(unsigned seed) : rng_(seed) {}

    int Pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng_); }
    std::uint16_t AnyFile() { return static_cast<std::uint16_t>(Pick(0, FileCount() + 1)); }
    std::uint16_t AnyField(std::uint16_t file) {
        return static_cast<std::uint16_t>(Pick(0, FieldCount(file) + 1));
    }
    std::string Name(const char* stem) { return stem + std::to_string(Pick(1, 999)); }
    char Type() { return "ANCD2L"[Pick(0, 5)]; }

    void Step() {
        switch (Pick(0, 11)) {
        case 0:
            AddFile(static_cast<std::uint8_t>(Pick(0, 99)), TextView(Name("F")),
                    TextView(Name("dir")));
            break;
        case 1:
        case 2:
            AddField(TextView(Name("c")), static_cast<std::uint16_t>(Pick(1, 40)), Type());
            break;
        case 3: {
            const KeySegment segments[2] = {{0, static_cast<std::uint16_t>(Pick(1, 9))},
                                            {static_cast<std::uint16_t>(Pick(0, 9)), 2}};
            AddIndex(AnyFile(), static_cast<std::uint16_t>(Pick(0, 2)), segments);
            break;
        }
        case 4:
            AppendRelation(AnyFile(), TextView(Name("1R1K1=")));
            break;
        case 5: {
            const std::uint16_t f = AnyFile();
            DeleteFields(f, AnyField(f), static_cast<std::uint16_t>(Pick(1, 2)));
            break;
        }
        case 6:
            DeleteFile(AnyFile());
            break;
        case 7: {
            const std::uint16_t f = AnyFile();
            InsertField(f, AnyField(f), TextView(Name("i")),
                        static_cast<std::uint16_t>(Pick(1, 30)), Type());
            break;
        }
        case 8: {
            const std::uint16_t f = AnyFile();
            ModifyField(f, AnyField(f), TextView(Name("m")),
                        static_cast<std::uint16_t>(Pick(1, 30)), Type());
            break;
        }
        case 9:
            InsertFile(AnyFile(), TextView(Name("Ins")), TextView(Name("loc")));
            break;
        case 10:
            RenameFile(AnyFile(), TextView(Name("R")), TextView(Name("r")));
            break;
        default:
            SetCurrentFile(AnyFile());
            break;
        }
    }

private:
    std::mt19937 rng_;
};

class CheckpointTest : public DictionaryTest {
protected:
    // A dictionary of a few files with fields, indexes and relations, built the way a load
    // builds one.
    static void Build(Editor& editor) {
        const int files = editor.Pick(0, 5);
        for (int f = 1; f <= files; ++f) {
            ASSERT_EQ(AddFile(0, TextView(editor.Name("base")), TextView("")), status::kOk);
            for (int k = editor.Pick(0, 4); k > 0; --k) {
                ASSERT_EQ(AddField(TextView(editor.Name("b")), 5, 'A'), status::kOk);
            }
            if (editor.Pick(0, 1) == 1) {
                const KeySegment key = {0, 3};
                ASSERT_EQ(AddIndex(static_cast<std::uint16_t>(f), 1, &key), status::kOk);
            }
            if (editor.Pick(0, 1) == 1) {
                ASSERT_EQ(AppendRelation(static_cast<std::uint16_t>(f), TextView("1R1K1=B")),
                          status::kOk);
            }
        }
        SetCurrentFile(static_cast<std::uint16_t>(editor.Pick(0, files)));
    }
};

// The case that was found: an inserted file moved every later file's fields to the next number,
// and the checkpoint gave back the counts but not the numbers.
TEST_F(CheckpointTest, AnInsertedFileIsTakenBackWhole) {
    ASSERT_EQ(AddFile(0, TextView("uno"), TextView("")), status::kOk);
    ASSERT_EQ(AddField(TextView("a"), 4, 'A'), status::kOk);
    ASSERT_EQ(AddFile(0, TextView("dos"), TextView("")), status::kOk);
    ASSERT_EQ(AddField(TextView("b"), 6, 'N'), status::kOk);
    ASSERT_EQ(AppendRelation(2, TextView("1R1K1=B")), status::kOk);
    const std::string before = Model();
    for (const bool discard : {false, true}) {
        ASSERT_EQ(PushCheckpoint(), status::kOk);
        ASSERT_EQ(InsertFile(1, TextView("nuevo"), TextView("x")), status::kOk);
        ASSERT_EQ(discard ? DiscardAboveCheckpoint() : PopCheckpoint(), status::kOk);
        EXPECT_EQ(FieldEntry(1, 1).file, 1) << "field 1 of file 1 belongs to file 1";
        EXPECT_EQ(Str(FileName(1)), "uno");
        EXPECT_EQ(Str(RelationText(2)), "1R1K1=B");
        EXPECT_EQ(Model(), before) << (discard ? "discard" : "pop");
    }
}

TEST_F(CheckpointTest, RandomEditsUnderACheckpointAreTakenBack) {
    for (unsigned seed = 1; seed <= 400; ++seed) {
        ASSERT_EQ(ClearDictionary(), status::kOk);
        Editor editor(seed);
        Build(editor);
        const std::string before = Model();
        ASSERT_EQ(PushCheckpoint(), status::kOk);
        for (int step = editor.Pick(1, 25); step > 0; --step) {
            editor.Step();
            // A checkpoint inside: its own edits come back out first.
            if (editor.Pick(0, 9) == 0 && CheckpointDepth() < kMaxDictionaryCheckpoints) {
                const std::string inner = Model();
                ASSERT_EQ(PushCheckpoint(), status::kOk);
                for (int k = editor.Pick(1, 6); k > 0; --k) editor.Step();
                ASSERT_EQ(PopCheckpoint(), status::kOk);
                ASSERT_EQ(Model(), inner) << "seed " << seed << ", inner checkpoint";
            }
        }
        const bool discard = editor.Pick(0, 1) == 1;
        ASSERT_EQ(discard ? DiscardAboveCheckpoint() : PopCheckpoint(), status::kOk);
        ASSERT_EQ(Model(), before) << "seed " << seed << (discard ? ", discard" : ", pop");
        EXPECT_EQ(CheckpointDepth(), 0);
        EXPECT_EQ(ScratchDepth(), 0);
    }
}

// What is added after a pop starts from the restored model, as on a dictionary never edited.
TEST_F(CheckpointTest, BuildingGoesOnFromTheRestoredModel) {
    ASSERT_EQ(AddFile(0, TextView("uno"), TextView("")), status::kOk);
    ASSERT_EQ(AddField(TextView("a"), 4, 'A'), status::kOk);
    ASSERT_EQ(PushCheckpoint(), status::kOk);
    ASSERT_EQ(DeleteFile(1), status::kOk);
    ASSERT_EQ(AddFile(0, TextView("otro"), TextView("")), status::kOk);
    ASSERT_EQ(AddField(TextView("z"), 9, 'N'), status::kOk);
    ASSERT_EQ(PopCheckpoint(), status::kOk);
    ASSERT_EQ(AddField(TextView("b"), 6, 'N'), status::kOk);
    EXPECT_EQ(FieldCount(1), 2);
    EXPECT_EQ(Str(FieldName(1, 1)), "a");
    EXPECT_EQ(Str(FieldName(1, 2)), "b");
    EXPECT_EQ(FieldOffset(1, 2), 4);
    EXPECT_EQ(RecordLength(1), 10);
}

} // namespace
} // namespace vodarir
