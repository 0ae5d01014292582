// Fixture of the built-in function tests: the expression fixture with an empty dictionary, the
// hooks the functions consult cleared after each test, and a runner for tables of rows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "eval_fixture.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "script/builtin_functions.h"

namespace vodarir::testing {

class BuiltinTest : public EvalTest {
protected:
    void SetUp() override {
        EvalTest::SetUp();
        // The dictionary's counters are process-wide and outlive the previous test's runtime.
        ASSERT_EQ(ClearDictionary(), status::kOk);
    }
    void TearDown() override {
        VarSetHook(kExecuteHook, nullptr);
        VarSetHook(kRelationalUpdateHook, nullptr);
        EXPECT_EQ(ClearDictionary(), status::kOk);
        EvalTest::TearDown();
    }

    void ExpectRows(const std::vector<EvalRow>& rows) {
        for (const EvalRow& row : rows) {
            EXPECT_EQ(Eval(row.expression), row.expected) << "expression: " << row.expression;
        }
    }
    // Rows whose expressions are built at run time (paths of a temporary folder).
    struct BuiltRow {
        std::string expression;
        std::string expected;
    };
    void ExpectBuiltRows(const std::vector<BuiltRow>& rows) {
        for (const BuiltRow& row : rows) {
            EXPECT_EQ(Eval(row.expression), row.expected) << "expression: " << row.expression;
        }
    }
    // Evaluates the expression and expects it to succeed (its value is not looked at).
    void Run(const std::string& expression) {
        const std::string out = Eval(expression);
        EXPECT_EQ(out.rfind("error", 0), std::string::npos) << expression << " gave " << out;
    }
    static void SetSlot(SlotGroup group, SlotIndex index, const std::string& text) {
        ASSERT_EQ(SlotSet(group, index, TextView(text)), status::kOk);
    }
};

} // namespace vodarir::testing
