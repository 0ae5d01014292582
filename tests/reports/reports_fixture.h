// A started runtime (store, tables, system variables) on the scripted face, with an empty
// dictionary and a temporary folder of its own as TEMP, and a way to build dictionaries in place.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "host/text_files.h"
#include "runtime/start/runtime_start.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "support/scripted_runtime.h"
#include "support/temp_folder.h"

namespace vodarir::testing {

struct FieldSpec {
    std::string name;
    std::uint16_t length;
    char type;
};

class ReportsTest : public ScriptedRuntimeTest {
protected:
    void SetUp() override {
        ScriptedRuntimeTest::SetUp();
        ClearRecordedError();
        ASSERT_EQ(RuntimeInit(), status::kOk);
        ASSERT_EQ(ClearDictionary(), status::kOk);
        temp_.emplace("TEMP", temp.path().c_str());
    }
    void TearDown() override {
        FileFailWritesAfter(-1);
        ClearDictionary();
        temp_.reset();
        ScriptedRuntimeTest::TearDown();
    }

    static void AddFileWith(const std::string& name, const std::vector<FieldSpec>& fields) {
        ASSERT_EQ(AddFile(0, TextView(name), TextRef()), status::kOk) << name;
        for (const FieldSpec& f : fields) {
            ASSERT_EQ(AddField(TextView(f.name), f.length, f.type), status::kOk) << f.name;
        }
    }
    // The fields F1..Fcount of length 10 and type A.
    static std::vector<FieldSpec> Numbered(int count, const std::string& stem = "F") {
        std::vector<FieldSpec> fields;
        for (int k = 1; k <= count; ++k) fields.push_back({stem + std::to_string(k), 10, 'A'});
        return fields;
    }

    TempFolder temp; // TEMP while the test runs

private:
    std::optional<ScopedEnv> temp_;
};

} // namespace vodarir::testing
