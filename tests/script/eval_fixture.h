// Fixture of the expression tests: a runtime started as the designer starts it (system variables
// with their defaults, _PRECIS 2), the scripted face to catch boxes, and a describer that turns
// an evaluation into one comparable line.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "diagnostics/log.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "script/builtins.h"
#include "script/evaluator.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir::testing {

// A FixedNumber written with exactly `decimals` decimals ("3.50", "-0.05", "0.00"), independent
// of the runtime's own number texts.
inline std::string FixedString(std::int64_t value, int decimals) {
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : value;
    std::string digits = std::to_string(magnitude);
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals)) {
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        }
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
    }
    return (negative ? "-" : "") + digits;
}

class EvalTest : public ::testing::Test {
public:
    // One line for the outcome of EvalExpression: the number with D decimals, the text in
    // quotes, "error N" for a status of 128 or more, "status N" for an informative one.
    static std::string Eval(const std::string& expression);

protected:
    void SetUp() override {
        PoolFailAllocationsAfter(-1);
        PoolConfigure(256, kKeepValue, kKeepValue);
        SlotStoreConfigureDefaults();
        ASSERT_EQ(RuntimeStart(nullptr, TextRef(), RuntimeInit), status::kOk);
        ClearRecordedError();
        ClearRegisteredFunctions();
        platform::SetUi(&ui);
        // Failed assertions append to the log file: keep it out of the working folder.
        ASSERT_EQ(SlotSet(slotgroup::kRuntimeMessages, kLogPathSlot, TextView(LogPath())),
                  status::kOk);
        ASSERT_EQ(IntVarGet(sysvar::kPrecis), 2);
    }
    void TearDown() override {
        platform::SetUi(nullptr);
        ClearRegisteredFunctions();
        VarSetHook(0, nullptr);
        VarSetHook(2, nullptr);
        EXPECT_EQ(ScratchDepth(), 0) << "an evaluation left a level behind";
        EXPECT_EQ(SlotCount(slotgroup::kValueStack), 0) << "arguments left on group 35";
        EXPECT_EQ(SlotStoreShutdown(), status::kOk) << "a block was left live";
    }

    // The current value of a variable, as the variable store reads it.
    static std::string Var(const std::string& name) {
        const ScratchLevel mark = ScratchMark();
        TextRef value;
        const StatusCode st = VarValue(TextView(name), &value);
        std::string out =
            st == status::kOk ? std::string(value.view()) : "error " + std::to_string(st);
        ScratchRelease(mark);
        return out;
    }

    static std::string Detail() { return std::string(ErrorDetail().view()); }

    std::string LogPath() const { return folder.File("log.txt"); }

    TempFolder folder;
    platform::ScriptedUi ui;
};

inline std::string EvalTest::Eval(const std::string& expression) {
    const ScratchLevel mark = ScratchMark();
    const StatusCode st = EvalExpression(TextView(expression));
    std::string out;
    if (st >= status::kFirstError) {
        out = "error " + std::to_string(st);
    } else if (st > 1) {
        out = "status " + std::to_string(st);
    } else if (st == 1) {
        out = "'" + std::string(ScratchTop().view()) + "'";
    } else {
        out = FixedString(NumberValue(ScratchTop()), IntVarGet(sysvar::kPrecis));
    }
    EXPECT_EQ(ScratchDepth(), st >= status::kFirstError ? mark : mark + 1)
        << "levels left by " << expression;
    ScratchRelease(mark);
    return out;
}

// A row of a table: an expression and the line Eval gives for it.
struct EvalRow {
    const char* expression;
    const char* expected;
};

} // namespace vodarir::testing
