// The language files shipped in data/: each one loads, answers every code the program uses, and
// keeps the placeholders and list shapes that the code filling and splitting them relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "messages_fixture.h"
#include "runtime/messages/builtin_messages.h"
#include "runtime/messages/language_files.h"
#include "runtime/messages/messages.h"
#include "runtime/text/text_ops.h"

#ifndef VODARIR_DATA_DIR
#error "VODARIR_DATA_DIR must name the folder of the shipped language files"
#endif

namespace vodarir::testing {
namespace {

using namespace literals;

struct Language {
    const char* code;
    const char* answers; // message 0011
    const char* newWord; // message 1006
};

void PrintTo(const Language& language, std::ostream* out) { *out << language.code; }

const Language kLanguages[] = {
    {"EN", "Yy,Nn", "New"}, {"ES", "Ss,Nn", "Nuevo"}, {"FR", "Oo,Nn", "Nouveau"},
    {"DE", "Jj,Nn", "Neu"}, {"IT", "Ss,Nn", "Nuovo"},
};

// The designer's messages with the default texts it passes along with their codes, and the
// About text, whose six texts are the year, the product, the version, the program path, the
// default folder and the common data folder.
struct ReferenceText {
    std::uint16_t code;
    std::string text;
};

const std::vector<ReferenceText>& DesignerReferences() {
    static const std::vector<ReferenceText> references = {
        {75, "Acerca de"},
        {76, "%s %s\r\n%s\r\n\r\n%s\r\n%s\r\n%s"},
        {1001, "%s File Structure (%s%s),%s Screen Design (%s #%s),%s Document Design (%s%s),"
               "%s Script Edition (%s%s)"},
        {1002, "File Name"},
        {1003, "      Field Name, Length, Type"},
        {1004, "New File?. Answering NO will append a Screen to current file"},
        {1005, "Field Attributes,Screen Attributes,Previous Screen,Next Screen"},
        {1006, "New"},
        {1008,
         "Basic Screen (MAIN),Extended Screen (MOVS),Menu Screen (MENU),Report Screen (REPT)"},
        {1009, "Screen type selection"},
        {1010, "AppSelect (%s)"},
        {1011, "View,Insert,Delete,Modify"},
        {1012, "View,Insert,Delete"},
        {1013, "No data modified. Do you want to save anyway?"},
        {1014, "Text Format,Html Format,Trans Format,Save to Compare,Compare to Saved"},
        {1015, "Report Type"},
        {1016, "View Text Format,  View Html Format  ,Save to Compare,Compare to Saved"},
        {1017, "Include Field Types?"},
        {1050, "Saving this document will change or drop lines %s of its file (%s in all): their "
               "positions or characters cannot be written back as they are."},
        {1051, "Saving will change or drop lines %s (%s in all) of the file this document was "
               "opened from. Save anyway?"},
        {1052,
         "%s is read-only: it was not saved. Allow writing to it or save under another name."},
        {1053, "In column %s on line %s a comma (or a quote) would split the text into other "
               "fields when the list is read again. Remove it and press OK."},
        {1054, "A name cannot hold \"*\" or a line break: the structure file would read it back "
               "as another line. Remove it and press OK."},
        {1055, "This name is too long for a line of the structure file: at most %s characters."},
        {1056, "File %s belongs to the dictionary of %s, which this structure file includes: "
               "change it there."},
        {1057, "In column %s on line %s a line break would cut the line in two when the list is "
               "read again. Remove it and press OK."},
        {1070, "Row %s, column %s lies beyond row or column 99, which a screen file cannot hold: "
               "screen %s was not stored."},
        {1071, "The text at row %s, column %s is longer than a line of the screen file can hold: "
               "screen %s was not stored."},
        {1072, "A screen holds at most 80 fields: the bar was not added."},
        {1073, "A screen file holds at most 99 screens: no screen was added."},
        {1074,
         "Screen %s: records %s of the screen file (%s in all) cannot be shown where the file "
         "places them, or as they are written; a save writes them as they are shown now."},
        {1075, "%s: the value cannot be kept in the parameter file as it was entered, because %s. "
               "Change it and confirm the form again."},
        {1076,
         "it holds a quote,it holds a line break,its line would be too long for the parameter "
         "file,a comma would split the list of values of the fields,it would read back otherwise"},
        {1077, "The field needs a type letter: A for a text, N for a number or D for a date."},
        {1078, "%s must be a number from 0 to %s: a screen file holds no other."},
        {1079, "Row %s, column %s"},
        {1080, "Field %s of %s: file %s%s, field %s%s, length %s, type %s"},
        {1081, "%s fields"},
        {1082, "Screen %s holds %s fields; a screen takes at most 80. They are kept as they are, "
               "and no field can be added to it."},
        {1083, "Preview of %s #%s: Esc closes it"},
        {1084, "key %s: button %s (%s)"},
        {1085, "Screen %s would hold %s characters as text, more than the 65535 the editor holds: "
               "it was not loaded."},
        {1086, "%s has other names (hard links). Saving puts both screen files in place together, "
               "so those names keep the screens as they were. Save anyway?"},
        {1090, "The report was written to %s, but no program could be started to show it."},
        {1100, "Application check: %s"},
        {1101, "Severity,File,Place,Problem"},
        {1102, "error,warning"},
        {1103, "%s errors and %s warnings in %s files read."},
        {1104, "No problems: %s files read, %s screens."},
        {1105, "Open,Close"},
    };
    return references;
}

// Every coded entry of the built-in table.
std::vector<ReferenceText> BuiltinReferences() {
    std::vector<ReferenceText> references;
    const std::string table(BuiltinMessageTable().view());
    std::size_t at = table.find('\t');
    while (at != std::string::npos && at + 1 < table.size()) {
        const std::size_t next = table.find('\t', at + 1);
        const std::string entry = table.substr(at + 1, next - at - 1);
        if (entry.size() >= 5 && entry.find_first_not_of("0123456789") == 4 && entry[4] == ' ') {
            references.push_back(
                {static_cast<std::uint16_t>(std::stoi(entry.substr(0, 4))), entry.substr(5)});
        }
        at = next;
    }
    return references;
}

std::string FilePath(const Language& language) {
    return std::string(VODARIR_DATA_DIR) + "/DU_ZERA_" + language.code + ".MSJ";
}

std::vector<std::string> FileLines(const Language& language) {
    std::ifstream in(FilePath(language), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(content, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// printf conversions in order: "%s", "%i", "%02d"...
std::vector<std::string> Placeholders(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        std::size_t end = i + 1;
        while (end < text.size() &&
               std::string("-+ #0123456789.").find(text[end]) != std::string::npos) {
            ++end;
        }
        if (end < text.size()) found.push_back(text.substr(i, end - i + 1));
        i = end;
    }
    return found;
}

std::size_t CountOf(const std::string& text, char ch) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), ch));
}

class ShippedLanguageTest : public MessagesTest, public ::testing::WithParamInterface<Language> {
protected:
    void LoadShippedFile() {
        const std::vector<std::string> lines = FileLines(GetParam());
        ASSERT_FALSE(lines.empty()) << FilePath(GetParam());
        LoadLines(lines);
        ASSERT_EQ(MsgCatalogState(), catalog::kLoaded);
    }

    // The translation keeps what code relies on: placeholders, list items, quotes, line breaks
    // and the blanks at either end.
    void ExpectSameShape(std::uint16_t code, const std::string& reference) {
        TextRef loaded;
        ASSERT_TRUE(MsgLoadedFind(code, &loaded)) << GetParam().code << " lacks " << code;
        const std::string text = Str(loaded);
        EXPECT_FALSE(text.empty()) << GetParam().code << " " << code;
        EXPECT_EQ(Placeholders(text), Placeholders(reference)) << GetParam().code << " " << code;
        EXPECT_EQ(ListCount(loaded, ','), ListCount(TextView(reference), ','))
            << GetParam().code << " " << code << ": " << text;
        EXPECT_EQ(CountOf(text, '\''), CountOf(reference, '\'')) << GetParam().code << " " << code;
        EXPECT_EQ(CountOf(text, '"'), CountOf(reference, '"')) << GetParam().code << " " << code;
        EXPECT_EQ(CountOf(text, '\r'), CountOf(reference, '\r')) << GetParam().code << " " << code;
        EXPECT_EQ(text.back() == ' ', reference.back() == ' ') << GetParam().code << " " << code;
        EXPECT_EQ(text.front() == ' ', reference.front() == ' ') << GetParam().code << " " << code;
    }
};

TEST_P(ShippedLanguageTest, FileIsWellFormedCp1252) {
    const std::vector<std::string> lines = FileLines(GetParam());
    EXPECT_LT(lines.size(), kMaxLoadedMessages);
    int previous = 0;
    for (const std::string& line : lines) {
        if (line.size() < 4 || line.find_first_not_of("0123456789") < 4) continue;
        const int code = std::stoi(line.substr(0, 4));
        if (code == 0) continue;
        EXPECT_GT(code, previous) << GetParam().code << ": codes out of order at " << line;
        EXPECT_EQ(line.size() > 4 ? line[4] : ' ', ' ') << line;
        previous = code;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const auto byte = static_cast<unsigned char>(line[i]);
            // Bytes cp1252 leaves unassigned, and the lead of a UTF-8 pair of a Latin letter.
            EXPECT_TRUE(byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 &&
                        byte != 0x9D)
                << GetParam().code << " " << code;
            if (byte == 0xC3 && i + 1 < line.size()) {
                const auto next = static_cast<unsigned char>(line[i + 1]);
                EXPECT_FALSE(next >= 0x80 && next <= 0xBF)
                    << GetParam().code << ": UTF-8 in " << code;
            }
        }
    }
}

TEST_P(ShippedLanguageTest, AnswersEveryBuiltInCodeWithTheSameShape) {
    LoadShippedFile();
    const std::vector<ReferenceText> references = BuiltinReferences();
    ASSERT_EQ(references.size(), 103u);
    for (const ReferenceText& reference : references)
        ExpectSameShape(reference.code, reference.text);
}

TEST_P(ShippedLanguageTest, AnswersEveryDesignerCodeWithTheSameShape) {
    LoadShippedFile();
    for (const ReferenceText& reference : DesignerReferences()) {
        ExpectSameShape(reference.code, reference.text);
    }
}

TEST_P(ShippedLanguageTest, AnswerLettersAndWordsOfTheLanguage) {
    LoadShippedFile();
    EXPECT_EQ(Str(MsgText("0011")), GetParam().answers);
    EXPECT_EQ(Str(MsgText("1006 New")), GetParam().newWord);
    // The logical entry letters of the number format agree with the answer letters.
    const std::string format = Str(MsgText("0019"));
    const std::string answers = GetParam().answers;
    EXPECT_NE(format.find(std::string("' ") + answers[3] + answers[0] + "'"), std::string::npos)
        << format;
}

TEST_P(ShippedLanguageTest, TheMonthListHasTwelveNamesAndADateTemplate) {
    LoadShippedFile();
    const TextRef months = MsgText("0117");
    EXPECT_EQ(ListCount(months, ','), 13);
    const std::string date = Str(ListItem(months, ',', 13));
    for (const char* part : {"[D]", "[M]", "[Y]"}) {
        EXPECT_NE(date.find(part), std::string::npos) << GetParam().code << " " << date;
    }
}

TEST_P(ShippedLanguageTest, FoundInTheDefaultFolderWhateverTheCaseOfTheCode) {
    ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 5, TextView(VODARIR_DATA_DIR)), status::kOk);
    std::string lower = GetParam().code;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(MsgStartLanguage(TextView(lower), nullptr, 0, 0), status::kOk);
    EXPECT_EQ(MsgCatalogState(), catalog::kLoaded);
    EXPECT_EQ(Str(MsgText("1006 New")), GetParam().newWord);
    EXPECT_EQ(Str(MsgText("0011")), GetParam().answers);
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguageTest, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& info) {
                             return std::string(info.param.code);
                         });

// Only misspellings of the built-in texts are mended in the Spanish file.
TEST_F(MessagesTest, SpanishFileKeepsTheBuiltInTextsSaveForSpelling) {
    const std::set<std::uint16_t> mended = {2,  17, 18, 23, 27, 28,  29,  32,  37,  41,  49, 72,
                                            81, 83, 86, 87, 99, 100, 111, 113, 114, 115, 116};
    LoadLines(FileLines(kLanguages[1]));
    for (const ReferenceText& reference : BuiltinReferences()) {
        const std::string text = Str(MsgLoaded(reference.code));
        if (mended.count(reference.code) != 0) {
            EXPECT_NE(text, reference.text) << reference.code;
        } else {
            EXPECT_EQ(text, reference.text) << reference.code;
        }
    }
}

} // namespace
} // namespace vodarir::testing
