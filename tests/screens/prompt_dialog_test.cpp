// Prompt dialogs: the window built from a specification, defaults, keys, acceptance with its
// answers, assignments and limit condition, cancelling, malformed specifications; button bars.
#include <gtest/gtest.h>

#include <string>

#include "diagnostics/assert.h"
#include "diagnostics/log.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/store/error_detail.h"
#include "screen_fixture.h"
#include "screens/prompt_dialog.h"
#include "script/evaluator.h"
#include "script/prompt_spec.h"
#include "support/temp_folder.h"

using vodarir::testing::FieldLine;

namespace vodarir {
namespace {

using namespace literals;
using platform::kModShift;
using platform::UiAction;
namespace act = platform::act;
namespace vk = platform::vk;
using testing::Str;

constexpr char kServer[] = "'Servidor:':'A30'::'local','Usuario:':'A30'::'',"
                           "'Clave:':'P30'::'','Recordar (S/N):':'L1'";

class PromptDialogTest : public testing::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        // A failed assertion would log: keep the log out of the working folder.
        ASSERT_EQ(
            SlotSet(slotgroup::kRuntimeMessages, kLogPathSlot, TextView(folder.File("log.txt"))),
            status::kOk);
    }
    PromptResult Run(const std::string& spec, std::vector<UiAction> acts, std::uint16_t flags = 0,
                     const char* title = "Conexion") {
        ui.queueModal(title, std::move(acts));
        return RunPrompt(TextView(spec), TextView(title), flags);
    }
    std::string Answers() const { return Str(SlotGet(kAnswerGroup, kAnswersSlot)); }

    testing::TempFolder folder;
};

TEST_F(PromptDialogTest, AServerPromptShowsLabelsAndEditsOnTheirCellsAndAnswers) {
    platform::WindowId seen = platform::kNoWindow;
    const PromptResult r = Run(
        kServer, {act::Run([&](platform::ScriptedUi& s, platform::WindowId w) {
                      seen = w;
                      const platform::ShownWindow* shown = s.window(w);
                      ASSERT_NE(shown, nullptr);
                      EXPECT_EQ(shown->name, "Dialog");
                      EXPECT_EQ(shown->title, "Conexion");
                      EXPECT_EQ(s.focusedControl(w), 2000) << "the first field";
                      EXPECT_EQ(s.control(w, 2000)->text, "local") << "its default";
                      EXPECT_TRUE(s.control(w, 2002)->style & platform::kPassword);
                      // The geometry of the prompt: two columns and one row of margin.
                      EXPECT_EQ(s.control(w, 2000)->rect.y, RowY(1));
                      EXPECT_EQ(RowY(1), 17);
                      EXPECT_EQ(s.control(w, 2000)->rect.x, ColumnX(17) - 2)
                          << "after the longest label (16 characters) and a blank";
                      bool label = false;
                      for (const platform::ShownControl& c : shown->controls) {
                          if (c.kind == platform::ControlKind::StaticText && c.text == "Usuario:") {
                              label = true;
                              EXPECT_EQ(c.rect.x, ColumnX(1));
                              EXPECT_EQ(c.rect.y, RowY(2));
                          }
                      }
                      EXPECT_TRUE(label);
                      EXPECT_TRUE(s.control(w, kAcceptCommand) != nullptr);
                      EXPECT_TRUE(s.control(w, kCancelCommand) != nullptr);
                  }),
                  act::Key(2000, vk::Return), act::Type(2001, "ana"), act::Key(2001, vk::Tab),
                  act::Type(2002, "secreto"), act::Key(2002, vk::Return), act::Type(2003, "y"),
                  act::Key(2003, vk::Return)});
    EXPECT_EQ(r.status, status::kOk);
    EXPECT_EQ(r.closingKey, 0) << "Enter closed it";
    EXPECT_EQ(r.answers, "'local','ana','secreto','1'");
    EXPECT_EQ(Answers(), r.answers);
    EXPECT_FALSE(ui.windowExists(seen)) << "the window is gone";
    EXPECT_EQ(OpenScreenCount(), 0) << "and so is its screen";
    EXPECT_EQ(ActiveGeometry(), (ScreenGeometry{80, 25, 0, 0, 0, 0})) << "geometry put back";
    ScratchScope scope;
    EXPECT_EQ(Str(EvalText("_ACCEPT$(2)"_t)), "ana");
    EXPECT_EQ(Str(EvalText("_ACCEPT#(4)+1"_t)), "2");
}

TEST_F(PromptDialogTest, EscapeAndTheCancelButtonCancelAndKeepTheAnswers) {
    ASSERT_EQ(SlotSet(kAnswerGroup, kAnswersSlot, "'old'"_t), status::kOk);
    ASSERT_EQ(SlotSet(kAnswerGroup, kAnswerSpecSlot, "'x':'A5'"_t), status::kOk);
    PromptResult r = Run("'x':'A5'", {act::Type(2000, "new"), act::Key(2000, vk::Escape)});
    EXPECT_EQ(r.status, status::kCancelled);
    EXPECT_EQ(r.closingKey, 3);
    EXPECT_EQ(Answers(), "'old'");
    r = Run("'x':'A5'", {act::Click(kCancelCommand)});
    EXPECT_EQ(r.status, status::kCancelled);
    r = Run("'x':'A5'", {act::Close()});
    EXPECT_EQ(r.status, status::kCancelled);
    EXPECT_EQ(OpenWindowCount(), 0);
}

TEST_F(PromptDialogTest, ThePreviousAnswerFillsAnItemWithoutADefault) {
    const std::string spec = "'a':'A5','b':'A5'::'dflt'";
    PromptResult r = Run(spec, {act::Type(2000, "uno"), act::Click(kAcceptCommand)});
    ASSERT_EQ(r.status, status::kOk);
    EXPECT_EQ(r.answers, "'uno','dflt'");
    r = Run(spec, {act::Run([](platform::ScriptedUi& s, platform::WindowId w) {
                       EXPECT_EQ(s.control(w, 2000)->text, "uno");
                   }),
                   act::Click(kAcceptCommand)});
    EXPECT_EQ(r.answers, "'uno','dflt'");
}

TEST_F(PromptDialogTest, TargetsAreAssignedInAssigningModeAndAssignmentNamesAlways) {
    const std::string spec = "'Nombre:':'A10':NOM$,'Edad:':'N3':EDAD,'Otro:':'A5'::'z':COPIA$";
    PromptResult r = Run(spec, {act::Type(2000, "Eva"), act::Key(2000, vk::Return),
                                act::Type(2001, "41"), act::Click(kAcceptCommand)});
    ASSERT_EQ(r.status, status::kOk);
    ScratchScope scope;
    EXPECT_EQ(Str(EvalText("NOM$"_t)), "") << "not in assigning mode";
    EXPECT_EQ(Str(EvalText("COPIA$"_t)), "z") << "an assignment name always";
    r = Run(spec, {act::Type(2000, "Eva"), act::Type(2001, "41"), act::Click(kAcceptCommand)},
            promptflag::kAssign);
    ASSERT_EQ(r.status, status::kOk);
    EXPECT_EQ(Str(EvalText("NOM$"_t)), "Eva");
    EXPECT_EQ(Str(EvalText("EDAD"_t)), "41");
}

TEST_F(PromptDialogTest, ALimitDialogBuildsItsCondition) {
    const std::string spec = "'Desde' /CMP=4:'N5':CODIGO,'Nombre:':'A10':NOMBRE$,"
                             "'Hasta' /CMP=5:'N5':CODIGO";
    const PromptResult r =
        Run(spec,
            {act::Type(2000, "10"), act::Key(2000, vk::Tab), act::Key(2001, vk::Tab),
             act::Type(2002, "90"), act::Key(2002, vk::Return)},
            promptflag::kLimits);
    ASSERT_EQ(r.status, status::kOk);
    EXPECT_EQ(Str(SlotGet(kAnswerGroup, kAnswerConditionSlot)), "CODIGO>=10&&CODIGO<=90");
    EXPECT_EQ(r.answers, "'10','','90'");
}

TEST_F(PromptDialogTest, AnItemWithoutATargetRefusesToAcceptAndTheDialogStays) {
    const PromptResult r =
        Run("'a':'A5',:'A5'", {act::Click(kAcceptCommand),
                               act::Run([](platform::ScriptedUi& s, platform::WindowId w) {
                                   EXPECT_TRUE(s.windowExists(w)) << "still open";
                                   ASSERT_FALSE(s.shownBoxes().empty());
                               }),
                               act::Key(2000, vk::Escape)});
    EXPECT_EQ(r.status, status::kCancelled);
}

TEST_F(PromptDialogTest, AnAssignmentThatFailsStopsTheAcceptance) {
    const PromptResult r =
        Run("'a':'A5'::'x':B(", {act::Click(kAcceptCommand), act::Key(2000, vk::Escape)});
    EXPECT_EQ(r.status, status::kCancelled);
    ASSERT_FALSE(ui.shownBoxes().empty()) << "the evaluation's status was shown";
}

TEST_F(PromptDialogTest, MalformedSpecificationsAndFailingDefaultsOpenNoDialog) {
    const struct {
        const char* spec;
        StatusCode status;
    } rows[] = {
        {"'Servidor:':'A30", status::kData},
        {"'Servidor:'", status::kData},
        {"'x':'Z5'", status::kData},
        {"", status::kData},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(RunPrompt(TextView(r.spec), "T"_t, 0).status, r.status) << r.spec;
        EXPECT_EQ(ui.findWindow("Dialog"), platform::kNoWindow) << r.spec;
    }
    // A default that fails: the evaluation's status, and everything closed again.
    const PromptResult failed = RunPrompt("'a':'A5'::'ok','b':'A5'::(1"_t, "T"_t, 0);
    EXPECT_GE(failed.status, status::kFirstError);
    EXPECT_EQ(OpenScreenCount(), 0);
    EXPECT_EQ(OpenWindowCount(), 0);
    EXPECT_EQ(ActiveGeometry(), (ScreenGeometry{80, 25, 0, 0, 0, 0}));
}

TEST_F(PromptDialogTest, PromptDefaultsStopAtTheFirstFailureKeepingTheFieldsBefore) {
    std::uint16_t screen = 0;
    const std::string def = testing::FieldLine(1, 1, 5, 'A') + testing::FieldLine(2, 1, 5, 'A') +
                            testing::FieldLine(3, 1, 5, 'A');
    ASSERT_EQ(OpenScreen(3, TextView(def), ""_t, 0, &screen), status::kOk);
    const StatusCode st =
        PromptDefaults("'a':'A5'::'one','b':'A5'::FN$TRIM(1;'X'),'c':'A5'::'c'"_t);
    EXPECT_GE(st, status::kFirstError);
    EXPECT_EQ(Str(ScreenFieldValue(1)), "one");
    EXPECT_EQ(Str(ScreenFieldValue(3)), "") << "not reached";
}

TEST_F(PromptDialogTest, APromptOverAScreenOpensUnderItsFocusedFieldAndGivesItBack) {
    const platform::WindowId w = OpenWith(2, Fields(2), Names(2));
    ui.setWorkArea({0, 0, 1600, 1200});
    ui.focusControl(w, 2001);
    const std::uint16_t window = CurrentWindow();
    const platform::Rect field = *ui.controlRect(w, 2001);
    int top = 0;
    const PromptResult r = Run(
        "'x':'A5'",
        {act::Run([&](platform::ScriptedUi& s, platform::WindowId d) { top = s.windowRect(d).y; }),
         act::Key(2000, vk::Escape)},
        promptflag::kUnderFocus);
    EXPECT_EQ(r.status, status::kCancelled);
    const platform::Rect outer = ui.windowRect(w);
    const platform::Size client = ui.clientSize(w);
    const int frameTop = outer.height - client.height - (outer.width - client.width) / 2;
    EXPECT_EQ(top, outer.y + frameTop + field.y + 2 * 16);
    EXPECT_EQ(CurrentWindow(), window) << "the screen's window is current again";
    EXPECT_TRUE(Shown(w).enabled);
}

TEST(ButtonBar, SlotsAreWidthOverButtonsCodesOrSixtyPixels) {
    const struct {
        std::uint16_t shown, codes;
        ButtonWidth width;
        std::uint16_t flags;
        int clientWidth;
        std::vector<int> xs;
        int buttonWidth;
        bool stacked;
    } rows[] = {
        {3, 3, ButtonWidth::PerShown, 0, 300, {2, 102, 202}, 98, false},
        {2, 4, ButtonWidth::PerCode, 0, 400, {2, 102}, 98, false},
        {2, 4, ButtonWidth::Fixed, 0, 400, {2, 62}, 58, false},
        {2, 4, ButtonWidth::FixedAlt, 1, 400, {140, 200}, 58, false}, // centred
        {3, 3, ButtonWidth::Fixed, kButtonsStacked, 400, {170, 170, 170}, 58, true},
    };
    for (const auto& r : rows) {
        const auto rects = ButtonBarLayout(r.shown, r.codes, r.width, r.flags, r.clientWidth);
        ASSERT_EQ(rects.size(), r.xs.size());
        for (std::size_t i = 0; i < rects.size(); ++i) {
            EXPECT_EQ(rects[i].x, r.xs[i]) << "button " << i << " mode " << int(r.width);
            EXPECT_EQ(rects[i].width, r.buttonWidth);
            if (r.stacked) {
                EXPECT_EQ(rects[i].y, kButtonBarTop + static_cast<int>(i) * rects[0].height);
            } else {
                EXPECT_EQ(rects[i].y, kButtonBarTop);
            }
        }
    }
}

class ButtonBarTest : public testing::ScreenTest {};

TEST_F(ButtonBarTest, ButtonsTakeTheIdsOfTheirActionsAndAnUnknownCodeMakesNone) {
    const platform::WindowId w = OpenWith(1, Fields(1), "");
    ASSERT_EQ(MakeButtonBar(w, "NEW,SVE,DEL,PRN"_t, "Nuevo,Grabar,Borrar,Imprimir"_t, "2,4"_t,
                            ButtonWidth::Fixed, 0),
              status::kOk);
    ASSERT_NE(ui.control(w, 3008), nullptr);
    EXPECT_EQ(ui.control(w, 3008)->text, "Grabar");
    EXPECT_EQ(ui.control(w, 3017)->text, "Imprimir");
    EXPECT_EQ(ui.control(w, 3001), nullptr) << "not among the positions shown";
    EXPECT_EQ(MakeButtonBar(w, "NEW,XYZ"_t, "a,b"_t, ""_t, ButtonWidth::PerShown, 0),
              status::kData);
    EXPECT_EQ(ui.control(w, 3001), nullptr) << "nothing made";
    EXPECT_EQ(MakeButtonBar(w, "NEW"_t, "a"_t, "0"_t, ButtonWidth::PerShown, 0), status::kData);
    EXPECT_EQ(MakeButtonBar(w, "NEW"_t, "a"_t, "2"_t, ButtonWidth::PerShown, 0), status::kData);
}

TEST_F(ButtonBarTest, PageDownIsButtonFiveAndEnterOnAButtonAccepts) {
    testing::RecordingAction action;
    action.answer = [](std::uint16_t) -> StatusCode { return 0; };
    const platform::WindowId w = OpenWith(1, Fields(1), "");
    ScreenActionSet(&testing::RecordingAction::Act, nullptr, &action);
    ASSERT_EQ(MakeButtonBar(w, "NXT"_t, "Sig."_t, ""_t, ButtonWidth::Fixed, 0), status::kOk);
    ui.key(w, 2000, vk::Next);
    EXPECT_TRUE(action.saw(EventValue(screenevent::kButton, 5)));
    ui.click(w, 3005);
    EXPECT_EQ(action.events.back(), EventValue(screenevent::kButton, 5)) << "control 3005";
    ui.key(w, 3005, vk::Return);
    EXPECT_EQ(action.events.back(), EventValue(screenevent::kButton, kAcceptButton));
    ui.key(w, 3005, vk::Escape);
    EXPECT_EQ(action.events.back(), EventValue(screenevent::kEscape, 0));
}

} // namespace
} // namespace vodarir

namespace vodarir {
namespace {

using namespace literals;
namespace vk = platform::vk;

class ScreenControlTest : public testing::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ASSERT_EQ(
            SlotSet(slotgroup::kRuntimeMessages, kLogPathSlot, TextView(folder.File("log.txt"))),
            status::kOk);
    }
    testing::TempFolder folder;
};

TEST_F(ScreenControlTest, InLineEditsAreSevenEighthsHighWithoutAnEdgeAndOnTop) {
    for (const std::uint8_t mode : {screenmode::kInline, screenmode::kInlineAlt}) {
        const platform::WindowId w = OpenWith(1, FieldLine(2, 10, 6, 'A'), "", mode);
        const platform::ShownControl* c = ui.control(w, 2000);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->rect, (platform::Rect{ColumnX(10), RowY(2), 48, 16 - 2})) << int{mode};
        EXPECT_FALSE(c->style & platform::kBorder);
        EXPECT_TRUE(c->style & platform::kOnTop);
        ScreensReset();
    }
    // A one-character field is still 15 pixels wide, and the edit never starts left of pixel 1.
    const platform::WindowId w = OpenWith(1, FieldLine(1, 1, 1, 'A'), "");
    EXPECT_EQ(ui.control(w, 2000)->rect, (platform::Rect{1, 1, 15, 16}));
}

TEST_F(ScreenControlTest, ModeOneMakesNoControlsAndEmptiesGroup38) {
    ASSERT_EQ(SlotSet(38, 0, "grid"_t), status::kOk);
    const platform::WindowId w = OpenWith(2, Fields(2), "", screenmode::kNoControls);
    EXPECT_FALSE(ui.hasControl(w, 2000));
    EXPECT_EQ(testing::Str(SlotGet(38, 0)), "");
    EXPECT_EQ(ScreenInfo(CurrentScreen()).windowMode, screenmode::kNoControls);
}

TEST_F(ScreenControlTest, CompatBit512LeavesTheEditsToThemselves) {
    IntVarFlags(sysvar::kCompat, 512, true);
    testing::RecordingAction action;
    const platform::WindowId w = OpenWith(2, Fields(2), "");
    ScreenActionSet(&testing::RecordingAction::Act, nullptr, &action);
    ui.key(w, 2000, vk::F2);
    EXPECT_TRUE(action.events.empty()) << "no field procedure: no key events";
    IntVarFlags(sysvar::kCompat, 512, false);
}

TEST_F(ScreenControlTest, PrivateMessagesBecomeEvents18And23) {
    testing::RecordingAction action;
    action.answer = [](std::uint16_t) -> StatusCode { return 0; };
    const platform::WindowId w = OpenWith(1, Fields(1), "");
    ScreenActionSet(&testing::RecordingAction::Act, nullptr, &action);
    ui.focusControl(w, 2000);
    ui.post(w, kMessageToWindow, 7);
    ui.post(w, kMessageToControl, 0);
    ui.pumpPending();
    EXPECT_TRUE(action.saw(EventValue(screenevent::kWindowMessage, 7)));
    EXPECT_TRUE(action.saw(screenevent::kPosted));
}

TEST_F(ScreenControlTest, AChainGivesTheEventsThatFollowUntilMinusOne) {
    static std::vector<std::uint16_t> seen;
    seen.clear();
    const platform::WindowId w = OpenWith(1, Fields(1), "");
    ASSERT_NE(w, platform::kNoWindow);
    ScreenActionSet(
        [](std::uint16_t e, void*) -> StatusCode {
            seen.push_back(e);
            return 2; // bit 2 is cleared: the chain goes on
        },
        [](std::int32_t first, std::int32_t last, std::uint16_t e) -> std::int32_t {
            return e < last ? e + first : -1;
        },
        nullptr);
    ScreenChainValues(10, 45);
    EXPECT_EQ(DispatchToWindow(20), 0);
    EXPECT_EQ(seen, (std::vector<std::uint16_t>{20, 30, 40, 50}));
}

TEST_F(ScreenControlTest, InstallingAnActionWithoutAWindowIsAFailedAssertion) {
    ScreenActionSet(nullptr, nullptr, nullptr);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Assertion Fail");
    EXPECT_EQ(ui.shownBoxes()[0].text, "ScreenActionSet");
    EXPECT_EQ(ScreenSetWin(0), kAssertionStatus);
    EXPECT_EQ(ui.shownBoxes().back().text, "ScreenSetWin");
}

} // namespace
} // namespace vodarir
