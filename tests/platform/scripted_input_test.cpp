// The scripted face's user: which events a key press, typing and pasting raise, in which order,
// and what the controls do with keys the core did not consume.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/event_recorder.h"
#include "platform/scripted/scripted_ui.h"

namespace vodarir::platform {
namespace {

using testing::EventRecorder;
using Lines = std::vector<std::string>;

std::string FailureOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

// A shown window with the given style and, optionally, one focused edit 2000.
struct Bench {
    ScriptedUi ui;
    EventRecorder events;
    WindowId w = kNoWindow;

    explicit Bench(WindowStyle style = kWinCaption) {
        WindowSpec spec;
        spec.name = "Mant";
        spec.title = "Clientes";
        spec.frame = {0, 0, 400, 300};
        spec.style = style;
        w = ui.createWindow(spec, &events);
        ui.showWindow(w, true);
    }
    void add(ControlKind kind, ControlId id, ControlStyle style = kTabStop,
             std::string_view text = {}) {
        ControlSpec spec;
        spec.kind = kind;
        spec.id = id;
        spec.rect = {0, 0, 80, 20};
        spec.style = style;
        spec.text = text;
        ASSERT_TRUE(ui.createControl(w, spec));
    }
    void edit(ControlStyle style = kTabStop, std::string_view text = {}) {
        add(ControlKind::Edit, 2000, style, text);
        ui.setFocus(w, 2000);
        events.lines.clear();
    }
    std::string text(ControlId id = 2000) { return ui.text(w, id).value_or("<none>"); }
};

// ---- One key press -----------------------------------------------------------------------------

TEST(ScriptedKeys, AKeyPressRaisesDownCharacterChangeAndUpInThatOrder) {
    struct Row {
        VirtualKey key;
        Modifiers mods;
        Lines expected;
        std::string text; // of the edit afterwards
    };
    const Row rows[] = {
        {'A', kModNone, {"down 2000 41 0", "char 2000 61", "cmd 2000 768", "up 2000 41 0"}, "a"},
        {'A', kModShift, {"down 2000 41 1", "char 2000 41", "cmd 2000 768", "up 2000 41 1"}, "A"},
        {'A', kModControl, {"down 2000 41 2", "char 2000 01", "up 2000 41 2"}, ""},
        {vk::F4, kModNone, {"down 2000 73 0", "up 2000 73 0"}, ""},
        {vk::Return, kModNone, {"down 2000 0D 0", "char 2000 0D", "up 2000 0D 0"}, ""},
        {vk::Escape, kModNone, {"down 2000 1B 0", "char 2000 1B", "up 2000 1B 0"}, ""},
        {vk::Back, kModNone, {"down 2000 08 0", "char 2000 08", "up 2000 08 0"}, ""},
        {vk::Numpad0 + 5,
         kModNone,
         {"down 2000 65 0", "char 2000 35", "cmd 2000 768", "up 2000 65 0"},
         "5"},
        {vk::OemMinus,
         kModShift,
         {"down 2000 BD 1", "char 2000 5F", "cmd 2000 768", "up 2000 BD 1"},
         "_"},
        {vk::End, kModControl, {"down 2000 23 2", "up 2000 23 2"}, ""},
        {'4', kModAlt, {"down 2000 34 4", "up 2000 34 4"}, ""},
    };
    for (const Row& r : rows) {
        Bench b;
        b.edit();
        b.ui.key(b.w, 2000, r.key, r.mods);
        EXPECT_EQ(b.events.lines, r.expected) << "key " << r.key << " mods " << int(r.mods);
        EXPECT_EQ(b.text(), r.text) << "key " << r.key << " mods " << int(r.mods);
    }
}

TEST(ScriptedKeys, AConsumedKeyMakesNoCharacterAndNeverReachesTheControl) {
    Bench b;
    b.edit();
    b.events.consumeKeys = {'X'};
    b.ui.key(b.w, 2000, 'X');
    EXPECT_EQ(b.events.lines, (Lines{"down 2000 58 0", "up 2000 58 0"}));
    EXPECT_EQ(b.text(), "");
}

TEST(ScriptedKeys, AConsumedCharacterIsNotTyped) {
    Bench b;
    b.edit();
    b.events.consumeChars = {0x1D};
    b.ui.type(b.w, 2000,
              "\x1D"
              "ab");
    EXPECT_EQ(b.text(), "ab");
    EXPECT_EQ(b.events.only("char").front(), "char 2000 1D");
}

TEST(ScriptedKeys, TheKeyComesUpWhereTheFocusWentAndTabFollowsTheCreationOrder) {
    Bench b(kWinCaption | kWinDialogKeys);
    b.add(ControlKind::StaticText, kAnonymousControl, 0, "Type");
    b.add(ControlKind::Edit, 1008);
    b.add(ControlKind::Edit, 1009, kTabStop | kDisabled);
    b.add(ControlKind::Button, 1014, kTabStop, "<-");
    b.add(ControlKind::Edit, 1010, 0);
    b.ui.setFocus(b.w, 1008);
    b.events.lines.clear();
    b.ui.key(b.w, 1008, vk::Tab);
    EXPECT_EQ(b.events.lines, (Lines{"down 1008 09 0", "char 1008 09", "focus 1008 -",
                                     "focus 1014 +", "up 1014 09 0"}));
    b.ui.key(b.w, kNoControl, vk::Tab);
    EXPECT_EQ(b.ui.focusedControl(b.w), 1008) << "Tab wraps to the first tab stop";
    b.ui.key(b.w, kNoControl, vk::Tab, kModShift);
    EXPECT_EQ(b.ui.focusedControl(b.w), 1014) << "Shift+Tab goes back";
}

TEST(ScriptedKeys, TabInAMultiLineEditTypesATabOutsideDialogsAndWithCtrlInDialogs) {
    {
        Bench b;
        b.edit(kTabStop | kMultiLine);
        b.ui.key(b.w, 2000, vk::Tab);
        EXPECT_EQ(b.text(), "\t");
    }
    {
        Bench b(kWinCaption | kWinDialogKeys);
        b.edit(kTabStop | kMultiLine | kWantReturn);
        b.add(ControlKind::Button, 1500);
        b.ui.key(b.w, 2000, vk::Tab, kModControl);
        EXPECT_EQ(b.text(), "\t");
        b.ui.key(b.w, 2000, vk::Tab);
        EXPECT_EQ(b.ui.focusedControl(b.w), 1500);
        EXPECT_EQ(b.text(), "\t");
    }
}

TEST(ScriptedKeys, EnterAndEscInADialogPressTheDefaultButtonAndCancel) {
    struct Row {
        const char* what;
        ControlId focus;
        VirtualKey key;
        bool withDefault;
        Lines commands;
    };
    const Row rows[] = {
        {"Enter in an edit presses the default button", 1008, vk::Return, true, {"cmd 1 0"}},
        {"Enter without a default button sends OK", 1008, vk::Return, false, {"cmd 1 0"}},
        {"Enter on a focused button presses it", 1015, vk::Return, true, {"cmd 1015 0"}},
        {"Esc cancels", 1008, vk::Escape, true, {"cmd 2 0"}},
        {"Enter in a multi-line edit that wants it breaks the line",
         2500,
         vk::Return,
         true,
         {"cmd 2500 768"}},
        {"Enter in a multi-line edit that does not presses the default",
         2501,
         vk::Return,
         true,
         {"cmd 1 0"}},
        {"Space on a button presses it", 1015, vk::Space, true, {"cmd 1015 0"}},
    };
    for (const Row& r : rows) {
        Bench b(kWinCaption | kWinDialogKeys);
        b.add(ControlKind::Edit, 1008);
        b.add(ControlKind::Edit, 2500, kTabStop | kMultiLine | kWantReturn);
        b.add(ControlKind::Edit, 2501, kTabStop | kMultiLine);
        b.add(ControlKind::Button, 1015, kTabStop, "->");
        if (r.withDefault) b.add(ControlKind::DefaultButton, 1, kTabStop, "Done");
        b.ui.setFocus(b.w, r.focus);
        b.events.lines.clear();
        b.ui.key(b.w, r.focus, r.key);
        EXPECT_EQ(b.events.only("cmd"), r.commands) << r.what;
    }
}

TEST(ScriptedKeys, WithoutDialogKeysEnterAndEscOnlyReachTheCore) {
    Bench b;
    b.edit();
    b.add(ControlKind::DefaultButton, 1, kTabStop, "OK");
    b.ui.key(b.w, 2000, vk::Return);
    b.ui.key(b.w, 2000, vk::Escape);
    EXPECT_TRUE(b.events.only("cmd").empty());
}

// ---- Typing and editing ------------------------------------------------------------------------

TEST(ScriptedTyping, EachCharacterIsOneKeyAndOneChange) {
    Bench b;
    b.edit();
    b.ui.type(b.w, 2000, "Ab1");
    EXPECT_EQ(b.text(), "Ab1");
    EXPECT_EQ(b.events.only("down"), (Lines{"down 2000 41 1", "down 2000 42 0", "down 2000 31 0"}));
    EXPECT_EQ(b.events.only("cmd").size(), 3u);
    EXPECT_EQ(b.ui.editSelection(b.w, 2000), (Selection{3, 0}));
}

TEST(ScriptedTyping, LettersNoKeyMakesStillArriveAsCharacters) {
    Bench b;
    b.edit();
    b.ui.type(b.w, 2000, "\xF1\xF7");
    EXPECT_EQ(b.text(), "\xF1\xF7");
    EXPECT_EQ(b.events.only("down"), (Lines{"down 2000 00 0", "down 2000 00 0"}));
    EXPECT_EQ(b.events.only("char"), (Lines{"char 2000 F1", "char 2000 F7"}));
}

TEST(ScriptedTyping, TheLimitStopsTypingButNotTheCore) {
    Bench b;
    b.edit();
    b.ui.setEditLimit(b.w, 2000, 3);
    b.ui.type(b.w, 2000, "abcd");
    EXPECT_EQ(b.text(), "abc");
    EXPECT_EQ(b.events.only("char").size(), 4u);
    EXPECT_EQ(b.events.only("cmd").size(), 3u);
    b.ui.setText(b.w, 2000, "longer than three");
    EXPECT_EQ(b.text(), "longer than three") << "the core's own text is never cut";
}

TEST(ScriptedTyping, DigitsOnlyEditsRefuseOtherCharacters) {
    Bench b;
    b.edit(kTabStop | kDigitsOnly | kAlignRight);
    b.ui.type(b.w, 2000, "1a2-");
    EXPECT_EQ(b.text(), "12");
}

TEST(ScriptedTyping, ReadOnlyEditsKeepTheirTextButStillReportKeys) {
    Bench b;
    b.edit(kTabStop | kReadOnly, "fixed");
    b.ui.type(b.w, 2000, "x");
    b.ui.key(b.w, 2000, vk::Back);
    EXPECT_EQ(b.text(), "fixed");
    EXPECT_EQ(b.events.only("down").size(), 2u);
    EXPECT_TRUE(b.events.only("cmd").empty());
}

TEST(ScriptedTyping, TypingReplacesTheSelectionInOneChange) {
    Bench b;
    b.edit(kTabStop, "xxyy");
    b.ui.selectText(b.w, 2000, 1, 2);
    b.ui.type(b.w, 2000, "Q");
    EXPECT_EQ(b.text(), "xQy");
    EXPECT_EQ(b.events.only("cmd").size(), 1u);
}

TEST(ScriptedTyping, PastingPutsTheTextOverTheSelectionInOneChange) {
    Bench b;
    b.edit(kTabStop | kMultiLine, "__|__");
    b.ui.selectText(b.w, 2000, 2, 1);
    b.ui.paste(b.w, 2000, "|\r\n|");
    EXPECT_EQ(b.text(), "__|\r\n|__");
    EXPECT_EQ(b.events.only("cmd"), Lines{"cmd 2000 768"});
    EXPECT_EQ(b.ui.editSelection(b.w, 2000), (Selection{6, 0}));
}

TEST(ScriptedTyping, BackspaceAndDeleteTakeALineBreakAsAWhole) {
    struct Row {
        const char* text;
        int caret;
        VirtualKey key;
        const char* after;
        int caretAfter;
    };
    const Row rows[] = {
        {"ab\r\ncd", 4, vk::Back, "abcd", 2}, {"ab\r\ncd", 2, vk::Delete, "abcd", 2},
        {"abc", 0, vk::Back, "abc", 0},       {"abc", 3, vk::Delete, "abc", 3},
        {"abc", 2, vk::Back, "ac", 1},        {"abc", 0, vk::Delete, "bc", 0},
    };
    for (const Row& r : rows) {
        Bench b;
        b.edit(kTabStop | kMultiLine, r.text);
        b.ui.selectText(b.w, 2000, r.caret, 0);
        b.ui.key(b.w, 2000, r.key);
        EXPECT_EQ(b.text(), r.after) << "caret " << r.caret << " in " << r.text;
        EXPECT_EQ(b.ui.editSelection(b.w, 2000)->start, r.caretAfter) << r.text;
    }
}

TEST(ScriptedTyping, EnterInAMultiLineEditBreaksTheLineWithCrLf) {
    Bench b;
    b.edit(kTabStop | kMultiLine);
    b.ui.type(b.w, 2000, "a\nb\r\nc");
    EXPECT_EQ(b.text(), "a\r\nb\r\nc");
    EXPECT_EQ(b.events.only("down 2000 0D").size(), 2u);
}

TEST(ScriptedTyping, ArrowsAndHomeEndMoveTheCaretAroundLineBreaks) {
    struct Row {
        int caret;
        VirtualKey key;
        int after;
    };
    // "ab\r\ncd": a line break sits at 2..3.
    const Row rows[] = {{4, vk::Left, 2}, {2, vk::Right, 4}, {5, vk::Home, 4},  {1, vk::End, 2},
                        {4, vk::End, 6},  {0, vk::Left, 0},  {6, vk::Right, 6}, {1, vk::Home, 0}};
    for (const Row& r : rows) {
        Bench b;
        b.edit(kTabStop | kMultiLine, "ab\r\ncd");
        b.ui.selectText(b.w, 2000, r.caret, 0);
        b.ui.key(b.w, 2000, r.key);
        EXPECT_EQ(b.ui.editSelection(b.w, 2000), (Selection{r.after, 0}))
            << "key " << r.key << " from " << r.caret;
    }
}

// ---- What a user cannot do -------------------------------------------------------------------

TEST(ScriptedActs, ActsOnControlsAUserCannotReachFailWithTheReason) {
    Bench b;
    b.add(ControlKind::Edit, 1008, kTabStop | kDisabled);
    b.add(ControlKind::Button, 1014, kTabStop | kHidden);
    b.add(ControlKind::StaticText, 1011, 0, "Field #:");
    EXPECT_NE(FailureOf([&] { b.ui.type(b.w, 1008, "x"); }).find("disabled"), std::string::npos);
    EXPECT_NE(FailureOf([&] { b.ui.click(b.w, 1014); }).find("hidden"), std::string::npos);
    EXPECT_NE(FailureOf([&] { b.ui.click(b.w, 1011); }).find("not a button"), std::string::npos);
    EXPECT_NE(FailureOf([&] { b.ui.click(b.w, 7); }).find("no such control"), std::string::npos);
    EXPECT_NE(FailureOf([&] { b.ui.paste(b.w, 1011, "x"); }).find("takes no text"),
              std::string::npos);
    b.ui.enableWindow(b.w, false);
    EXPECT_NE(FailureOf([&] { b.ui.closeWindow(b.w); }).find("disabled"), std::string::npos);
}

TEST(ScriptedKeys, SpaceClicksAButtonWhenTheKeyComesUp) {
    Bench b;
    b.add(ControlKind::Button, 1500, kTabStop, "Field Attributes");
    b.ui.setFocus(b.w, 1500);
    b.events.lines.clear();
    b.ui.key(b.w, 1500, vk::Space);
    EXPECT_EQ(b.events.lines,
              (Lines{"down 1500 20 0", "char 1500 20", "up 1500 20 0", "cmd 1500 0"}));
    b.events.consumeKeys = {vk::Space};
    b.events.lines.clear();
    b.ui.key(b.w, 1500, vk::Space);
    EXPECT_TRUE(b.events.only("cmd").empty()) << "a consumed Space presses nothing";
}

TEST(ScriptedActs, ClickingAButtonFocusesItBeforeTheCommand) {
    Bench b;
    b.edit();
    b.add(ControlKind::Button, 3100, kTabStop, "Aceptar");
    b.ui.perform(b.w, act::Click(3100));
    EXPECT_EQ(b.events.lines, (Lines{"focus 2000 -", "focus 3100 +", "cmd 3100 0"}));
}

} // namespace
} // namespace vodarir::platform
