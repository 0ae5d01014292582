// Fixture of the formatting tests: a runtime started with its system variables, the language set
// by hand (code, number format and month list in environment slots 0.4 and 0.0), and a describer
// that turns a text result into one comparable string.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "masks/number_format.h"
#include "runtime/start/runtime_start.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir::testing {

inline constexpr std::string_view kSpanishFormat = ",.'0123456789,-D',' NS','  ,NO,SI'";
inline constexpr std::string_view kSpanishMonths =
    "Enero,Febrero,Marzo,Abril,Mayo,Junio,Julio,Agosto,Septiembre,Octubre,Noviembre,Diciembre,"
    "'[D] de [M] de [Y]'";
inline constexpr std::string_view kEnglishFormat = ".,'0123456789.-D',' NY','  ,NO,YES'";
inline constexpr std::string_view kEnglishMonths =
    "January,February,March,April,May,June,July,August,September,October,November,December,"
    "'[D] [M] [Y]'";
inline constexpr std::string_view kFrenchFormat = ", '0123456789,-D',' NO','  ,NON,OUI'";

class MasksTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(RuntimeInit(), status::kOk);
    }
    void TearDown() override {
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        UseBuiltinFormat();
        RuntimeTest::TearDown();
    }
    static void Language(std::string_view code, std::string_view format, std::string_view months) {
        std::string slot(format);
        slot.push_back('\0');
        slot += months;
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, kLanguageFormatSlot, TextView(slot)),
                  status::kOk);
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, kLanguageCodeSlot, TextView(code)), status::kOk);
        ASSERT_EQ(UseLanguageFormat(), status::kOk);
    }
    static void Spanish() { Language("ES", kSpanishFormat, kSpanishMonths); }
    static void English() { Language("EN", kEnglishFormat, kEnglishMonths); }
    static void SetLanguage(std::string_view code) {
        if (code == "ES") Spanish();
        if (code == "EN") English();
        if (code == "FR") Language("FR", kFrenchFormat, kSpanishMonths);
    }
    // Runs f inside a mark: its text, or "error N" for a failed text.
    template <class F> static std::string Run(F f) {
        const ScratchLevel mark = ScratchMark();
        const TextRef r = f();
        std::string out = r.failed() ? "error " + std::to_string(r.status()) : Str(r);
        EXPECT_EQ(ScratchDepth(), r.failed() ? mark : mark + 1) << "result not one level up";
        ScratchRelease(mark);
        return out;
    }
};

} // namespace vodarir::testing
