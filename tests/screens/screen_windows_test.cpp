// Runtime screens: the key and command tables, opening screens from their texts (and refusing
// texts out of range), the field edits, values, leave checks, navigation, capture and scrolling.
#include <gtest/gtest.h>

#include <string>

#include "diagnostics/memory_report.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "screen_fixture.h"
#include "screens/screen_output.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using namespace literals;
using platform::kModControl;
using platform::kModNone;
using platform::kModShift;
namespace vk = platform::vk;
using testing::FieldLine;
using testing::RecordingAction;
using testing::TextLine;

constexpr std::uint16_t Button(std::uint8_t b) { return EventValue(screenevent::kButton, b); }

TEST(ScreenKeyTable, KeyCodesBecomeEventsOfTheKeyMap) {
    const struct {
        platform::VirtualKey key;
        platform::Modifiers mods;
        std::uint16_t code;
        std::uint16_t map0, map1;
    } rows[] = {
        {vk::Return, kModNone, 0, 1, 1},
        {vk::Escape, kModNone, 3, 21, 21},
        {vk::Tab, kModShift, 8, 2, 2},
        {vk::Tab, kModNone, 9, 1, 1},
        {vk::Tab, kModShift | kModControl, 9, 1, 1}, // Shift+Tab only with Shift alone
        {vk::F1, kModNone, 11, 19, 19},
        {vk::F3, kModNone, 13, Button(13), Button(15)},
        {vk::F4, kModNone, 14, Button(12), 0},
        {vk::F11, kModNone, 21, Button(16), Button(15)},
        {vk::Prior, kModNone, 23, Button(3), Button(3)},
        {vk::Next, kModNone, 29, Button(5), Button(5)},
        {vk::Up, kModNone, 22, 32, 32},
        {vk::Down, kModNone, 28, 31, 31},
        {vk::End, kModControl, 32, 22, 22},
        {vk::End, kModNone, 4, 0, 0},
        {'A', kModNone, 4, 0, 0},
        {vk::F12, kModNone, 4, 0, 0},
    };
    for (const auto& r : rows) {
        const std::uint16_t code = FieldKeyCode(r.key, r.mods);
        EXPECT_EQ(code, r.code) << "key " << r.key << " mods " << int{r.mods};
        EXPECT_EQ(KeyEvent(code, 0), r.map0) << "key code " << code << " map 0";
        EXPECT_EQ(KeyEvent(code, 1), r.map1) << "key code " << code << " map 1";
        EXPECT_EQ(KeyEvent(code, 2), 0) << "a key map above 1 has no events";
        EXPECT_EQ(KeyEvent(code, 0xFF), 0);
    }
    EXPECT_EQ(KeyEvent(33, 0), 0) << "past the table";
    EXPECT_EQ(KeyEvent(0xFFFF, 1), 0);
}

TEST(ScreenCommandTable, ControlIdsBecomeEvents) {
    const struct {
        platform::ControlId id;
        std::uint16_t event;
    } rows[] = {
        {1499, 0},
        {1500, EventValue(16, 0)},
        {1699, EventValue(16, 199)},
        {1700, EventValue(15, 0)},
        {1703, EventValue(15, 3)},
        {1949, EventValue(15, 249)},
        {1950, 0},
        {2000, 0},
        {2999, 0},
        {3000, Button(0)},
        {3005, Button(5)},
        {3020, Button(20)},
        {3021, 0},
        {3100, Button(100)},
        {3101, Button(101)},
        {3102, 0},
        {3600, EventValue(43, 0)},
        {3649, EventValue(43, 49)},
        {3650, EventValue(44, 0)},
        {3650 + 255, EventValue(44, 255)},
        {3650 + 256, 0}, // a parameter the event cannot carry
        {0x7FFFFFFF, 0},
        {-5, 0},
    };
    for (const auto& r : rows) EXPECT_EQ(CommandEvent(r.id), r.event) << "control " << r.id;
}

class ScreenWindowTest : public testing::ScreenTest {};

TEST_F(ScreenWindowTest, OpeningNamesTheFieldsAndOrdersThem) {
    const std::string def = TextLine(1, 1, "Codigo:") + FieldLine(1, 10, 5, 'N') +
                            TextLine(2, 1, "Nombre:") + FieldLine(2, 10, 20, 'A') +
                            FieldLine(3, 10, 8, 'D') + FieldLine(4, 10, 3, 'L');
    std::uint16_t screen = 0;
    ASSERT_EQ(
        OpenScreen(4, TextView(def), "FD$='COD,,':HIDDEN$='X':NOEDIT$='_SCRF3$'"_t, 0, &screen),
        status::kOk);
    EXPECT_EQ(CurrentScreen(), screen);
    const struct {
        std::uint16_t n;
        const char* name;
        std::uint16_t editOrder;
    } rows[] = {
        {1, "COD", 1},
        {2, "_SCRF2$", 2},
        {3, "_SCRF3$", 0}, // not editable
        {4, "_SCRF4#", 4}, // a logical is kept in a number
    };
    for (const auto& r : rows) {
        const ScreenField* f = ScreenFieldOf(screen, r.n);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->name, r.name) << "field " << r.n;
        EXPECT_EQ(f->editOrder, r.editOrder) << "field " << r.n;
        EXPECT_EQ((f->properties & kFieldEditable) != 0, r.editOrder != 0) << "field " << r.n;
    }
    ASSERT_NE(ScreenLabels(screen), nullptr);
    EXPECT_EQ(ScreenLabels(screen)->size(), 2u);
    EXPECT_EQ(ScreenFieldOf(screen, 2)->maxLength, 20);
}

TEST_F(ScreenWindowTest, CountsIndexesAndItemsOutOfRangeAreRefused) {
    const std::string three = Fields(3);
    const struct {
        std::uint16_t count;
        std::string definition;
        std::string attributes;
        StatusCode status;
        const char* what;
    } rows[] = {
        {81, three, "", status::kScreenStruct, "a field count above 80"},
        {5, three, "", status::kScreenStruct, "more fields than records"},
        {0, Fields(81), "", status::kScreenStruct, "81 field records"},
        {3, three, "WIDTHS$='3,x'", status::kScreenStruct, "a width that is no number"},
        {3, three, "WIDTHS$='3,99999'", status::kScreenStruct, "a width past the limit"},
        {3, three, "WIDTHS$='-2'", status::kScreenStruct, "a negative width"},
        {3, three, "FILEDEF$=',,,31'", status::kFileOutBound, "a data file past 30"},
        {3, three, "FILEDEF$=',,,7'", status::kFileOutBound, "a data file not loaded"},
        {3, three, "FILEDEF$='99;99'", status::kScreenStruct, "a binding to nothing"},
        {3, three, "FILEDEF$='1;x'", status::kScreenStruct, "a binding that is no number"},
        {1, "1 0 1 0 0 5A\r\n", "", status::kScreenStruct, "row 0"},
        {1, "1 1xx 0 0 5A\r\n", "", status::kScreenStruct, "a column that is no number"},
        {1, "1 1 1 0 0 0A\r\n", "", status::kScreenStruct, "length 0"},
        {1, "1 1 1 0 0999A\r\n", "", status::kScreenStruct, "length past the limit"},
        {1, "1 1 1 0\r\n", "", status::kScreenStruct, "a field record cut short"},
        {1, "1 1\r\n", "", status::kScreenStruct, "a record shorter than its position"},
    };
    for (const auto& r : rows) {
        std::uint16_t screen = 0;
        EXPECT_EQ(OpenScreen(r.count, TextView(r.definition), TextView(r.attributes), 0, &screen),
                  r.status)
            << r.what;
        EXPECT_EQ(OpenScreenCount(), 0) << r.what << ": nothing is kept";
    }
    std::string names = "FD$='";
    for (int i = 1; i <= 81; ++i) names += (i > 1 ? ",N" : "N") + std::to_string(i);
    EXPECT_EQ(OpenScreen(0, TextView(Fields(80)), TextView(names + "'"), 0, nullptr),
              status::kScreenStruct)
        << "81 names for 80 records";
}

TEST_F(ScreenWindowTest, TheLinesAreaOfFourToNineGetsNoControlsFromScreenSetWin) {
    const platform::WindowId w = OpenWith(12, Fields(12), Names(12) + ":BOUNDS$='F4,F9'");
    ASSERT_NE(w, platform::kNoWindow);
    EXPECT_EQ(ScreenInfo(CurrentScreen()).linesFirst, 4);
    EXPECT_EQ(ScreenInfo(CurrentScreen()).linesLast, 9);
    for (int i = 1; i <= 12; ++i) {
        const bool inLines = i >= 4 && i <= 9;
        EXPECT_EQ(ui.hasControl(w, 2000 + i - 1), !inLines) << "field " << i;
    }
}

TEST_F(ScreenWindowTest, FieldEditsStandOnTheirCells) {
    const platform::WindowId w = OpenWith(
        2, TextLine(3, 2, "Nombre:") + FieldLine(3, 10, 20, 'A') + FieldLine(4, 10, 6, 'N'),
        "WIDTHS$='12'");
    const platform::ShownControl* name = ui.control(w, 2000);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->rect, (platform::Rect{ColumnX(10) - 2, RowY(3), 12 * 8, 16}))
        << "a quarter cell to the left, the width of WIDTHS$";
    EXPECT_EQ(name->limit, 20);
    EXPECT_TRUE(name->style & platform::kBorder);
    const platform::ShownControl* amount = ui.control(w, 2001);
    ASSERT_NE(amount, nullptr);
    EXPECT_TRUE(amount->style & platform::kAlignRight) << "numbers are right-aligned";
    bool label = false;
    for (const platform::ShownControl& c : Shown(w).controls) {
        if (c.kind == platform::ControlKind::StaticText && c.text == "Nombre:") {
            label = true;
            EXPECT_EQ(c.rect.x, ColumnX(2));
            EXPECT_EQ(c.rect.y, RowY(3));
        }
    }
    EXPECT_TRUE(label);
}

TEST_F(ScreenWindowTest, APasswordFieldHidesItsTextAndReportsTypeA) {
    const platform::WindowId w = OpenWith(1, FieldLine(1, 10, 8, 'P'), "");
    const platform::ShownControl* c = ui.control(w, 2000);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->style & platform::kPassword);
    EXPECT_EQ(ScreenFieldOf(CurrentScreen(), 1)->type, 'A');
    EXPECT_EQ(ScreenFieldOf(CurrentScreen(), 1)->name, "_SCRF1$") << "named as a text";
}

TEST_F(ScreenWindowTest, TypedTextsBecomeFieldValuesAndVariables) {
    const platform::WindowId w =
        OpenWith(3, FieldLine(1, 10, 6, 'N') + FieldLine(2, 10, 8, 'D') + FieldLine(3, 10, 10, 'A'),
                 "FD$='QTY#,WHEN$,WHO$'");
    IntVarSet(sysvar::kLastKey, 4);
    ui.type(w, 2000, "0012");
    ui.key(w, 2000, vk::Tab);
    ui.type(w, 2001, "12/31/99"); // month first outside ES, FR and IT
    ui.key(w, 2001, vk::Return);
    ui.type(w, 2002, "  Ana  ");
    ui.focusControl(w, 2000); // a click away stores the text as well
    EXPECT_EQ(testing::Str(ScreenFieldValue(1)), "12");
    EXPECT_EQ(testing::Str(ScreenFieldValue(2)), "19991231");
    EXPECT_EQ(testing::Str(ScreenFieldValue(3)), "  Ana") << "texts lose trailing blanks only";
    TextRef value;
    const ScratchLevel mark = ScratchMark();
    ASSERT_EQ(VarValue("QTY#"_t, &value), status::kOk);
    EXPECT_EQ(testing::Str(value), "12");
    ASSERT_EQ(VarValue("WHO$"_t, &value), status::kOk);
    EXPECT_EQ(testing::Str(value), "  Ana");
    ScratchRelease(mark);
}

TEST_F(ScreenWindowTest, EnterAndTabMoveOnShiftTabBackAndEscapeIsNotStored) {
    RecordingAction action;
    const platform::WindowId w = OpenWith(3, Fields(3), Names(3));
    ScreenActionSet(&RecordingAction::Act, nullptr, &action);
    ui.focusControl(w, 2000);
    EXPECT_EQ(IntVarGet(sysvar::kCurEdFld), 1);
    ui.key(w, 2000, vk::Return);
    EXPECT_EQ(ui.focusedControl(w), 2001);
    EXPECT_EQ(IntVarGet(sysvar::kLastKey), 0);
    ui.key(w, 2001, vk::Tab);
    EXPECT_EQ(ui.focusedControl(w), 2002);
    ui.key(w, 2002, vk::Tab, kModShift);
    EXPECT_EQ(IntVarGet(sysvar::kLastKey), kKeyShiftTab);
    EXPECT_EQ(ui.focusedControl(w), 2001) << "Shift+Tab moves back";
    EXPECT_TRUE(action.saw(screenevent::kPreviousField));
    ui.key(w, 2001, vk::Tab, kModShift);
    ui.key(w, 2000, vk::Tab, kModShift);
    EXPECT_EQ(ui.focusedControl(w), 2000) << "no field before the first";
    // Past the last field there is no move: the built-in handling answers 64.
    ui.focusControl(w, 2002);
    action.events.clear();
    ui.key(w, 2002, vk::Return);
    EXPECT_EQ(ui.focusedControl(w), 2002);
    EXPECT_TRUE(ui.shownBoxes().empty()) << "64 is no error";
    // Escape: the text typed is not kept, and the built-in handling refuses the event.
    ui.type(w, 2002, "xyz");
    ui.key(w, 2002, vk::Escape);
    EXPECT_EQ(testing::Str(ScreenFieldValue(3)), "");
    EXPECT_TRUE(action.saw(screenevent::kEscape));
    ASSERT_EQ(ui.shownBoxes().size(), 1u) << "163 from the built-in handling is shown";
}

TEST_F(ScreenWindowTest, ShiftTabInAListOrButtonIsNoFieldKey) {
    RecordingAction action;
    const platform::WindowId w = OpenWith(2, Fields(2), Names(2));
    ScreenActionSet(&RecordingAction::Act, nullptr, &action);
    ASSERT_TRUE(ui.createControl(
        w, {platform::ControlKind::ListBox, 3600, {0, 200, 80, 60}, "", platform::kTabStop}));
    Subclass(3600, ControlProcedure::ListOrButton);
    ui.focusControl(w, 2001);
    ui.focusControl(w, 3600);
    action.events.clear();
    IntVarSet(sysvar::kLastKey, 4);
    ui.key(w, 3600, vk::Tab, kModShift);
    EXPECT_FALSE(action.saw(screenevent::kPreviousField)) << "no event 2 from a list";
    EXPECT_EQ(IntVarGet(sysvar::kLastKey), 4) << "no key code 8 either";
}

TEST_F(ScreenWindowTest, KeyMapsChooseTheFKeyEventsAndAMapAboveOneHasNone) {
    const struct {
        const char* keymap;
        platform::VirtualKey key;
        std::uint16_t event; // 0: none reaches the action
    } rows[] = {
        {"0", vk::F4, Button(12)},  {"1", vk::F4, 0},          {"0", vk::Next, Button(5)},
        {"1", vk::Next, Button(5)}, {"2", vk::F1, 0},          {"2", vk::Return, 0},
        {"-1", vk::F1, 0},          {"1", vk::F3, Button(15)},
    };
    for (const auto& r : rows) {
        RecordingAction action;
        action.answer = [](std::uint16_t) -> StatusCode { return 0; };
        const platform::WindowId w = OpenWith(1, Fields(1), std::string("KEYMAP%=") + r.keymap);
        ScreenActionSet(&RecordingAction::Act, nullptr, &action);
        ui.focusControl(w, 2000);
        action.events.clear();
        ui.key(w, 2000, r.key);
        if (r.event == 0) {
            EXPECT_TRUE(action.events.empty()) << "map " << r.keymap << " key " << r.key;
        } else {
            EXPECT_TRUE(action.saw(r.event)) << "map " << r.keymap << " key " << r.key;
        }
        ScreensReset();
    }
}

TEST_F(ScreenWindowTest, AFailedLeaveCheckKeepsTheFocusAndShowsTheCondition) {
    RecordingAction action;
    const platform::WindowId w =
        OpenWith(2, Fields(2), "FD$='NOMBRE$,CIUDAD$':ALARM$=\"NOMBRE$<>''\"");
    ScreenActionSet(&RecordingAction::Act, nullptr, &action);
    ui.focusControl(w, 2000);
    ui.key(w, 2000, vk::Return);
    EXPECT_EQ(ui.focusedControl(w), 2000) << "the focus stays";
    EXPECT_EQ(IntVarGet(sysvar::kCurEdFld), 1);
    EXPECT_TRUE(action.saw(screenevent::kCheckFailed));
    ASSERT_FALSE(ui.shownBoxes().empty());
    EXPECT_EQ(testing::Str(ErrorDetail()), "NOMBRE$<>''");
    ui.type(w, 2000, "Ana");
    ui.key(w, 2000, vk::Return);
    EXPECT_EQ(ui.focusedControl(w), 2001) << "the condition holds now";
    EXPECT_EQ(IntVarGet(sysvar::kCurEdFld), 2);
}

TEST_F(ScreenWindowTest, CharacterTwentyNineCapturesUntilAControlCharacter) {
    RecordingAction action;
    const platform::WindowId w = OpenWith(1, FieldLine(1, 10, 20, 'A'), "");
    ScreenActionSet(&RecordingAction::Act, nullptr, &action);
    const std::uint16_t before = SlotCount(30);
    ui.type(w, 2000,
            "\x1d"
            "ABC\r");
    EXPECT_FALSE(CaptureActive());
    ASSERT_EQ(SlotCount(30), before + 1);
    EXPECT_EQ(testing::Str(SlotGet(30, before)), "ABC");
    EXPECT_TRUE(action.saw(screenevent::kCaptured));
}

TEST_F(ScreenWindowTest, ACaptureLongerThanATextEndsWith146AndLosesNothingElse) {
    RecordingAction action;
    const platform::WindowId w = OpenWith(1, FieldLine(1, 10, 20, 'A'), "");
    ScreenActionSet(&RecordingAction::Act, nullptr, &action);
    ASSERT_EQ(SlotSet(30, 0, "kept"_t), status::kOk);
    const std::uint32_t freeBefore = SlotFreeBytes();
    ui.type(w, 2000, "\x1d" + std::string(kMaxCapture + 1, 'x'));
    EXPECT_FALSE(CaptureActive()) << "the capture ended at the limit";
    ASSERT_FALSE(ui.shownBoxes().empty());
    EXPECT_NE(ui.shownBoxes().back().text.find("STRINGTOOLONG"), std::string::npos)
        << ui.shownBoxes().back().text;
    EXPECT_EQ(SlotCount(30), 1);
    EXPECT_EQ(testing::Str(SlotGet(30, 0)), "kept");
    EXPECT_EQ(SlotFreeBytes(), freeBefore);
    EXPECT_FALSE(action.saw(screenevent::kCaptured));
    // Typing goes on as ordinary typing, and a new capture works.
    ui.type(w, 2000,
            "\x1d"
            "Z\t");
    EXPECT_EQ(testing::Str(SlotGet(30, 1)), "Z");
}

TEST_F(ScreenWindowTest, AValueThatCannotBeShownReportsMessage17) {
    const platform::WindowId w =
        OpenWith(1, FieldLine(1, 10, 6, 'N'), "FD$='IMPORTE#':WIDTHS$='3'");
    ASSERT_NE(w, platform::kNoWindow);
    ASSERT_EQ(ScreenFieldSet(1, "12345"_t), status::kOk);
    ASSERT_EQ(LogErrorText(0, "before"_t, false), 0);
    EXPECT_EQ(ScreenFieldShow(1), status::kDataOutBound);
    EXPECT_EQ(testing::Str(ErrorDetail()),
              "before\r\nParametros incorrectos para campo de pantalla1\r\n (IMPORTE#)");
    EXPECT_EQ(ScreenFieldSet(1, "1234567"_t), status::kDataOutBound) << "too wide to keep";
    EXPECT_EQ(testing::Str(ScreenFieldValue(1)), "12345") << "the value is unchanged";
}

TEST_F(ScreenWindowTest, AResultWithBitEightClosesTheWindow) {
    RecordingAction action;
    action.answer = [](std::uint16_t e) -> StatusCode {
        return EventNumber(e) == screenevent::kEscape ? 8 + 16 + 4 : 0;
    };
    const platform::WindowId w = OpenWith(1, Fields(1), "");
    ScreenActionSet(&RecordingAction::Act, nullptr, &action);
    EXPECT_EQ(OpenWindowCount(), 1);
    ui.key(w, 2000, vk::Escape);
    EXPECT_FALSE(ui.windowExists(w));
    EXPECT_EQ(OpenWindowCount(), 0);
    EXPECT_EQ(CurrentWindow(), 0);
    EXPECT_TRUE(ui.shownBoxes().empty());
}

TEST_F(ScreenWindowTest, SelectWindowSwitchesScreensAndKeyMaps) {
    OpenWith(1, Fields(1), "KEYMAP%=1");
    const std::uint16_t first = CurrentWindow();
    OpenWith(2, Fields(2), "KEYMAP%=0");
    const std::uint16_t second = CurrentWindow();
    EXPECT_NE(first, second);
    EXPECT_EQ(SelectWindow(-1), second) << "-1 only asks";
    EXPECT_EQ(SelectWindow(first), first);
    EXPECT_EQ(ScreenInfo(CurrentScreen()).fieldCount, 1);
    EXPECT_EQ(IntVarGet(29), 1) << "_KEYMAP follows the screen";
    EXPECT_EQ(SelectWindow(99), first) << "no such window";
    CloseCurrentWindow();
    EXPECT_EQ(SelectWindow(-1), 0);
}

TEST_F(ScreenWindowTest, NextFieldWrapsInsideTheLinesAreaOnly) {
    OpenWith(6, Fields(6), Names(6) + ":BOUNDS$='F2,F4'");
    IntVarSet(sysvar::kScrStat, 0);
    const struct {
        std::uint16_t from;
        std::int32_t direction;
        std::int32_t next;
        bool wraps;
    } rows[] = {
        {1, +1, 2, false}, {2, +1, 3, false},  {4, +1, 2, true},   {2, -1, 4, true},
        {5, +1, 6, false}, {6, +1, -1, false}, {1, -1, -1, false}, {0, +1, 1, false},
    };
    for (const auto& r : rows) {
        IntVarSet(sysvar::kScrStat, 0);
        EXPECT_EQ(NextField(r.from, r.direction), r.next) << "from " << r.from;
        EXPECT_EQ(IntVarTest(sysvar::kScrStat, 16), r.wraps) << "from " << r.from;
    }
}

TEST_F(ScreenWindowTest, ScrollCodesMoveWithinTheRange) {
    GeometrySize(80, 60, false); // taller than the screen: a vertical bar
    const platform::WindowId w = OpenWith(1, Fields(1), "");
    const platform::ScrollInfo bar = ui.scrollBar(w, platform::ScrollBar::Vertical);
    ASSERT_TRUE(bar.visible);
    const struct {
        int code, position, expected;
    } rows[] = {
        {platform::scroll::LineDown, 0, 2},     {platform::scroll::PageDown, 0, 18},
        {platform::scroll::LineUp, 0, 16},      {platform::scroll::ThumbTrack, 100, 100},
        {platform::scroll::Bottom, 0, bar.max}, {platform::scroll::PageDown, 0, bar.max},
        {platform::scroll::Top, 0, 0},          {platform::scroll::LineUp, 0, 0},
        {platform::scroll::EndScroll, 0, 0},
    };
    for (const auto& r : rows) {
        Scroll(w, platform::ScrollBar::Vertical, r.code, r.position);
        EXPECT_EQ(ui.scrollBar(w, platform::ScrollBar::Vertical).pos, r.expected)
            << "code " << r.code;
        EXPECT_EQ(-Shown(w).scrolled.y, r.expected) << "the contents moved with it";
    }
}

} // namespace
} // namespace vodarir

namespace vodarir {
namespace {

using namespace literals;

class ScreenCountsTest : public testing::ScreenTest {};

TEST_F(ScreenCountsTest, TheMemoryReportCountsScreensAndWindows) {
    OpenWith(1, Fields(1), "");
    OpenWith(2, Fields(2), "");
    SelectWindow(1);
    ScratchScope scope;
    const std::string report(UsageReport("p"_t).view());
    const std::string closing = "\r\n\tScreens (current / total):\t01\t02"
                                "\r\n\tWindows (current / total):\t01\t02";
    ASSERT_GE(report.size(), closing.size());
    EXPECT_EQ(report.substr(report.size() - closing.size()), closing);
}

} // namespace
} // namespace vodarir

namespace vodarir {
namespace {

using namespace literals;

class ScreenOutputTest : public testing::ScreenTest {
protected:
    testing::TempFolder folder;
    void Output(const std::string& path) {
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 1, TextView("prog /OUTPUT=" + path)),
                  status::kOk);
    }
};

TEST_F(ScreenOutputTest, ValuesAreQuotedSoThatTheLineReadsBack) {
    const struct {
        const char* value;
        const char* written;
    } rows[] = {
        {"Ana", "'Ana'"},
        {"O'Brien", "\"O'Brien\""},
        {"say \"hi\"", "'say \"hi\"'"},
        {"O'Brien \"Bob\"", "\"O'Brien \"\"Bob\"\"\""},
        {"", "''"},
    };
    for (const auto& r : rows) {
        ScratchScope scope;
        EXPECT_EQ(testing::Str(OutputValue(TextView(r.value))), r.written) << r.value;
    }
}

TEST_F(ScreenOutputTest, TheCurrentScreensValuesGoToTheOutputFileWhenAsked) {
    const std::string path = folder.File("out.txt");
    Output(path);
    OpenWith(3, testing::FieldLine(1, 1, 10, 'A') + Fields(2), "FD$='A$,B$,C$'");
    ASSERT_EQ(ScreenFieldSet(1, "O'Brien"_t), status::kOk);
    ASSERT_EQ(ScreenFieldSet(3, "12"_t), status::kOk);
    IntVarSet(kOutputHandleVariable, 0);
    EXPECT_EQ(OutputScreenValues(), 0) << "_OUTHND is 0: nothing";
    EXPECT_FALSE(folder.Exists("out.txt"));
    IntVarSet(kOutputHandleVariable, 1);
    EXPECT_EQ(OutputScreenValues(), 1);
    EXPECT_EQ(folder.Read("out.txt"), "\"O'Brien\",'','12'\r\n");
    ScreensReset();
    EXPECT_EQ(OutputScreenValues(), 0) << "no screen: nothing";
}

} // namespace
} // namespace vodarir
