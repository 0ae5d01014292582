// A started runtime with an empty dictionary and a temporary folder for dictionary files, plus a
// compact description of the model for comparisons.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "runtime/text/text_ref.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir::testing {

// The shared temporary folder, plus dictionary files written line by line.
class DictionaryFolder : public TempFolder {
public:
    // Writes the lines, each followed by CR LF (the designer's line ending).
    void WriteLines(const std::string& name, const std::vector<std::string>& lines) const;
};

// RuntimeInit (slot store, typed tables, system variables) and an empty dictionary; TearDown
// checks the scratch stack is back at 0 and nothing leaked.
class DictionaryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // LoadDictionary with the temporary folder as the folder list.
    StatusCode Load(const std::string& prefix, const std::string& defaultLocation = "");

    DictionaryFolder folder_;
};

// The dictionary's file and field lines as the designer saves them ("%02s*%s*%2s%s" with location
// " " and no class; "%02s%02s<%4s%3s>%1s%s"), without line endings.
std::vector<std::string> DesignerLines();

// One line per file: "name(class,location) F1:type len@offset ... | idx (start,len)... | rel".
std::string DescribeDictionary();
// The index segments of a file as "(start,len)(start,len) (start,len)", indexes separated by
// one blank.
std::string DescribeIndexes(std::uint16_t file);

} // namespace vodarir::testing
