// The seam's conformance table: the behaviours the designer relies on, one test body per row, run
// against every face with the same expectations. Texts with every kind of line break and every
// byte, the 65535-byte limit on typing and on paste, the order of focus changes, modal loops.
#include <gtest/gtest.h>

#include <span>

#include <string>
#include <vector>

#include "platform/event_recorder.h"
#include "platform/face_conformance.h"

namespace vodarir::platform::conformance {
namespace {

using Lines = std::vector<std::string>;

// The limit the designer gives edit 2500 and the runtime gives its text fields.
constexpr int kLimit = 65535;

// The edits the designer makes: a single-line field, and the multi-line editor of scripts and
// documents (edit 2500).
struct EditKind {
    const char* name;
    ControlStyle style;
};
constexpr EditKind kSingleLineEdit{"single-line", kTabStop | kBorder};
constexpr EditKind kMultiLineEdit{"multi-line",
                                  kTabStop | kBorder | kMultiLine | kWantReturn | kScrollBars};
constexpr EditKind kEditKinds[] = {kSingleLineEdit, kMultiLineEdit};

std::string AllBytes() {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    return all;
}

// Bytes written so that a failing row says which ones differ.
std::string Shown(std::string_view bytes) {
    std::string out;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += ch;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out;
}

// One face with one shown window (a dialog with the dialog keyboard, as the designer's main
// window is), controls stacked from the top.
class FaceConformance : public ::testing::TestWithParam<FaceMaker> {
protected:
    static constexpr ControlId kA = 2000;
    static constexpr ControlId kB = 2001;
    static constexpr ControlId kC = 2002;
    static constexpr ControlId kD = 2003;

    void SetUp() override {
        face_ = GetParam().make();
        WindowSpec spec;
        spec.name = "Dialog";
        spec.title = "Conformance";
        spec.frame = {40, 40, 560, 420};
        spec.style = kWinCaption | kWinSystemMenu | kWinDialogKeys;
        w_ = face_->openWindow(spec, &events_);
        ASSERT_NE(w_, kNoWindow);
    }

    Ui& ui() { return face_->ui(); }
    FaceDriver& user() { return *face_; }

    void add(ControlKind kind, ControlId id, ControlStyle style = kTabStop,
             std::string_view text = {}) {
        const int height = (style & kMultiLine) ? 80 : 26;
        ControlSpec spec;
        spec.kind = kind;
        spec.id = id;
        spec.rect = {10, top_, 300, height};
        spec.style = style;
        spec.text = text;
        top_ += height + 6;
        ASSERT_TRUE(ui().createControl(w_, spec)) << "control " << id;
    }
    void addEdit(ControlId id, const EditKind& kind, std::string_view text = {}) {
        add(ControlKind::Edit, id, kind.style, text);
    }
    // Focused, with the caret at `caret`, and nothing recorded yet.
    void caret(ControlId id, int at) {
        ASSERT_TRUE(ui().setFocus(w_, id));
        user().settle();
        ASSERT_TRUE(ui().setEditSelection(w_, id, at, 0));
        events_.lines.clear();
    }
    std::string text(ControlId id) { return ui().text(w_, id).value_or("<none>"); }
    // How many changes the user's edits of the control reported.
    std::size_t changes(ControlId id) const {
        return events_.only("cmd " + std::to_string(id) + " " + std::to_string(notify::EnChange))
            .size();
    }
    // A dialog owned by the bench window, for modal loops.
    WindowId dialog(std::string_view title) {
        WindowSpec spec;
        spec.owner = w_;
        spec.name = "Dialog";
        spec.title = title;
        spec.frame = {80, 80, 240, 120};
        spec.style = kWinCaption | kWinSystemMenu | kWinDialogKeys;
        return ui().createWindow(spec, &dialogEvents_);
    }

    std::unique_ptr<FaceDriver> face_;
    testing::EventRecorder events_;
    testing::EventRecorder dialogEvents_;
    WindowId w_ = kNoWindow;
    int top_ = 10;
};

// ---- Texts and line breaks ---------------------------------------------------------------------

// A script is stored exactly as typed: whatever breaks a text has, set and read back it is the
// same bytes, in either kind of edit.
TEST_P(FaceConformance, TextsKeepEveryLineBreakByteForByte) {
    const std::string texts[] = {"one\r\ntwo",
                                 "one\ntwo",
                                 "one\rtwo",
                                 "a\r\nb\nc\rd",
                                 "\n\r",
                                 "\r\r\n\n",
                                 "\r\n\r\n",
                                 "x\r",
                                 "\ny",
                                 "",
                                 "\r\n",
                                 "end\n",
                                 "a\n\n\rb\r\r\nc",
                                 "tab\there\n"};
    for (const EditKind& kind : kEditKinds) {
        addEdit(kA, kind);
        for (const std::string& t : texts) {
            SCOPED_TRACE(std::string(kind.name) + " \"" + Shown(t) + "\"");
            ASSERT_TRUE(ui().setText(w_, kA, t));
            EXPECT_EQ(Shown(text(kA)), Shown(t));
            ASSERT_TRUE(ui().selectAll(w_, kA));
            EXPECT_EQ(ui().editSelection(w_, kA), (Selection{0, static_cast<int>(t.size())}));
        }
        ASSERT_TRUE(ui().destroyControl(w_, kA));
    }
    EXPECT_TRUE(events_.only("cmd").empty()) << "the core's own texts raise no change";
}

// Enter makes CR LF, whichever break the caret's line came after or goes before; the other
// breaks stay as they were.
TEST_P(FaceConformance, EnterBreaksALineWithCrLfAmongBreaksOfEveryKind) {
    struct Row {
        int caret;
        const char* after;
    };
    const std::string before = "ab\ncd\ref\r\ngh";
    const Row rows[] = {
        {0, "\r\nab\ncd\ref\r\ngh"}, {1, "a\r\nb\ncd\ref\r\ngh"},  {3, "ab\n\r\ncd\ref\r\ngh"},
        {4, "ab\nc\r\nd\ref\r\ngh"}, {5, "ab\ncd\r\n\ref\r\ngh"},  {6, "ab\ncd\r\r\nef\r\ngh"},
        {7, "ab\ncd\re\r\nf\r\ngh"}, {10, "ab\ncd\ref\r\n\r\ngh"}, {12, "ab\ncd\ref\r\ngh\r\n"},
    };
    addEdit(kA, kMultiLineEdit);
    for (const Row& r : rows) {
        SCOPED_TRACE("caret " + std::to_string(r.caret));
        ui().setText(w_, kA, before);
        caret(kA, r.caret);
        user().type(w_, kA, "\r");
        EXPECT_EQ(Shown(text(kA)), Shown(r.after));
        EXPECT_EQ(ui().editSelection(w_, kA), (Selection{r.caret + 2, 0}));
        EXPECT_EQ(changes(kA), 1u);
        // A line typed after it carries on from there.
        user().type(w_, kA, "X\nY");
        const std::string expected = std::string(r.after).insert(r.caret + 2, "X\r\nY");
        EXPECT_EQ(Shown(text(kA)), Shown(expected));
    }
}

// A single-line edit takes no line break from the keyboard, but keeps those the core set.
TEST_P(FaceConformance, EnterInASingleLineEditTypesNothing) {
    addEdit(kA, kSingleLineEdit, "a\nb");
    addEdit(kB, kSingleLineEdit);
    caret(kA, 1);
    user().type(w_, kA, "\r\n");
    EXPECT_EQ(text(kA), "a\nb");
    EXPECT_EQ(changes(kA), 0u);
}

// Backspace and Delete take a line break as a whole, whatever its bytes.
TEST_P(FaceConformance, BackspaceAndDeleteTakeOneLineBreakWhole) {
    struct Row {
        const char* text;
        int caret;
        VirtualKey key;
        const char* after;
        int caretAfter;
    };
    const Row rows[] = {
        {"ab\r\ncd", 4, vk::Back, "abcd", 2},   {"ab\r\ncd", 2, vk::Delete, "abcd", 2},
        {"ab\ncd", 3, vk::Back, "abcd", 2},     {"ab\ncd", 2, vk::Delete, "abcd", 2},
        {"ab\rcd", 3, vk::Back, "abcd", 2},     {"ab\rcd", 2, vk::Delete, "abcd", 2},
        {"a\n\rb", 2, vk::Back, "a\rb", 1},     {"a\n\rb", 1, vk::Delete, "a\rb", 1},
        {"a\r\r\nb", 2, vk::Delete, "a\rb", 2}, {"a\r\r\nb", 4, vk::Back, "a\rb", 2},
        {"\nx", 0, vk::Back, "\nx", 0},         {"x\r", 2, vk::Delete, "x\r", 2},
    };
    addEdit(kA, kMultiLineEdit);
    for (const Row& r : rows) {
        SCOPED_TRACE("\"" + Shown(r.text) + "\" caret " + std::to_string(r.caret));
        ui().setText(w_, kA, r.text);
        caret(kA, r.caret);
        user().key(w_, kA, r.key);
        EXPECT_EQ(Shown(text(kA)), Shown(r.after));
        EXPECT_EQ(ui().editSelection(w_, kA), (Selection{r.caretAfter, 0}));
    }
}

// Selections count a CR LF as two bytes and a lone break as one, and what is typed replaces
// exactly the bytes selected. A CR LF is one break: an end of a selection inside it counts as
// after it, so typing never splits it into a lone CR and a lone LF.
TEST_P(FaceConformance, SelectionsCountEachLineBreakByItsBytes) {
    struct Row {
        int start;
        int length;
        Selection shown;
        const char* afterTyping;
    };
    // "ab\ncd\r\nef\rgh": bytes 0..12; the CR LF is bytes 5 and 6.
    const Row rows[] = {
        {0, 2, {0, 2}, "X\ncd\r\nef\rgh"},    {2, 1, {2, 1}, "abXcd\r\nef\rgh"},
        {3, 4, {3, 4}, "ab\nXef\rgh"},        {5, 2, {5, 2}, "ab\ncdXef\rgh"},
        {6, 3, {7, 2}, "ab\ncd\r\nX\rgh"},    {4, 2, {4, 3}, "ab\ncXef\rgh"},
        {9, 1, {9, 1}, "ab\ncd\r\nefXgh"},    {0, -1, {0, 12}, "X"},
        {11, 5, {11, 1}, "ab\ncd\r\nef\rgX"},
    };
    addEdit(kA, kMultiLineEdit);
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.start) + "+" + std::to_string(r.length));
        ui().setText(w_, kA, "ab\ncd\r\nef\rgh");
        ASSERT_TRUE(ui().setFocus(w_, kA));
        user().settle();
        ASSERT_TRUE(ui().setEditSelection(w_, kA, r.start, r.length));
        EXPECT_EQ(ui().editSelection(w_, kA), r.shown);
        user().type(w_, kA, "X");
        EXPECT_EQ(Shown(text(kA)), Shown(r.afterTyping));
    }
}

// A paste puts its bytes over the selection as they are, line breaks included, in one change.
TEST_P(FaceConformance, APasteKeepsItsLineBreaksAndIsOneChange) {
    const std::string pasted = "x\ny\r\nz\rw";
    for (const EditKind& kind : kEditKinds) {
        SCOPED_TRACE(kind.name);
        addEdit(kA, kind, "[--]");
        ASSERT_TRUE(ui().setFocus(w_, kA));
        user().settle();
        ASSERT_TRUE(ui().setEditSelection(w_, kA, 1, 2));
        events_.lines.clear();
        user().paste(w_, kA, pasted);
        EXPECT_EQ(Shown(text(kA)), Shown("[" + pasted + "]"));
        EXPECT_EQ(ui().editSelection(w_, kA), (Selection{1 + static_cast<int>(pasted.size()), 0}));
        EXPECT_EQ(changes(kA), 1u);
        ASSERT_TRUE(ui().destroyControl(w_, kA));
    }
}

// A read-only edit takes nothing from the keyboard; a digits-only one takes digits, a paste
// holding anything else is refused whole, and the core's own text in it is no obstacle.
TEST_P(FaceConformance, ReadOnlyAndDigitsOnlyEditsTakeOnlyWhatTheyMay) {
    for (const EditKind& kind : kEditKinds) {
        SCOPED_TRACE(kind.name);
        add(ControlKind::Edit, kA, kind.style | kReadOnly, "fixed");
        caret(kA, 5);
        user().type(w_, kA, "x\r");
        user().key(w_, kA, vk::Back);
        EXPECT_EQ(text(kA), "fixed");
        EXPECT_EQ(changes(kA), 0u);
        ui().destroyControl(w_, kA);
    }
    add(ControlKind::Edit, kB, kTabStop | kBorder | kDigitsOnly | kAlignRight);
    caret(kB, 0);
    user().type(w_, kB, "1a2-");
    EXPECT_EQ(text(kB), "12");
    user().paste(w_, kB, "3b");
    EXPECT_EQ(text(kB), "12") << "a paste with a letter goes nowhere";
    user().paste(w_, kB, "34");
    EXPECT_EQ(text(kB), "1234");
    EXPECT_EQ(changes(kB), 3u);
    ui().setText(w_, kB, "n/a");
    caret(kB, 3);
    user().type(w_, kB, "5x");
    EXPECT_EQ(text(kB), "n/a5");
}

// The file-structure editor's lists answer to the keys of a desktop list: every key pressed in a
// list view arrives as a key down of that list view, with its modifiers, and one the core consumes
// goes no further (no character, no selection moved, no list notification).
TEST_P(FaceConformance, AListViewHandsItsKeysToTheCoreFirst) {
    add(ControlKind::ListView, kA, kTabStop | kBorder);
    const ListColumn column{"Name", 200, Align::Left};
    ASSERT_TRUE(ui().setListColumns(w_, kA, std::span<const ListColumn>(&column, 1)));
    for (int r = 0; r < 3; ++r) {
        ASSERT_TRUE(ui().insertListRow(w_, kA, r));
        ASSERT_TRUE(ui().setListCell(w_, kA, r, 0, "row " + std::to_string(r)));
    }
    ASSERT_TRUE(ui().selectListRow(w_, kA, 1));
    struct Press {
        VirtualKey key;
        Modifiers mods;
    };
    const Press presses[] = {{vk::Return, kModNone}, {vk::Insert, kModNone}, {vk::Delete, kModNone},
                             {vk::Apps, kModNone},   {vk::F10, kModShift},   {'Z', kModControl},
                             {'Y', kModControl},     {vk::Down, kModNone}};
    for (const Press& p : presses) events_.consumeKeys.insert(p.key);
    ASSERT_TRUE(ui().setFocus(w_, kA));
    user().settle();
    events_.lines.clear();
    for (const Press& p : presses) user().key(w_, kA, p.key, p.mods);
    user().settle();
    const std::vector<std::string> downs = events_.only("down ");
    ASSERT_EQ(downs.size(), std::size(presses));
    for (std::size_t i = 0; i < std::size(presses); ++i) {
        EXPECT_EQ(downs[i], "down " + std::to_string(kA) + " " +
                                testing::EventRecorder::Hex(presses[i].key) + " " +
                                std::to_string(presses[i].mods));
    }
    EXPECT_TRUE(events_.only("char ").empty());
    EXPECT_TRUE(events_.only("list ").empty());
    EXPECT_EQ(ui().listSelection(w_, kA), 1) << "a consumed Down moves nothing";
}

// ---- Every byte --------------------------------------------------------------------------------

// Whatever the core shows comes back byte for byte, every byte 0..255 included.
TEST_P(FaceConformance, EveryByteSurvivesWhereverTheCorePutsIt) {
    const std::string all = AllBytes();
    for (const EditKind& kind : kEditKinds) {
        addEdit(kA, kind, all);
        EXPECT_EQ(Shown(text(kA)), Shown(all)) << kind.name << ", as created";
        ui().setText(w_, kA, "");
        ui().setText(w_, kA, all);
        EXPECT_EQ(Shown(text(kA)), Shown(all)) << kind.name << ", as set";
        ui().destroyControl(w_, kA);
    }
    struct Shows {
        ControlKind kind;
        const char* name;
    };
    for (const Shows s :
         {Shows{ControlKind::StaticText, "label"}, Shows{ControlKind::Button, "button"},
          Shows{ControlKind::GroupBox, "group box"}}) {
        add(s.kind, kB, 0);
        ASSERT_TRUE(ui().setText(w_, kB, all));
        EXPECT_EQ(Shown(text(kB)), Shown(all)) << s.name;
        ui().destroyControl(w_, kB);
    }
    ASSERT_TRUE(ui().setTitle(w_, all));
    EXPECT_EQ(Shown(ui().title(w_)), Shown(all)) << "title";

    add(ControlKind::ListView, kC, kTabStop | kBorder);
    const ListColumn columns[] = {{"Name", 100}, {all, 100}};
    ASSERT_TRUE(ui().setListColumns(w_, kC, columns));
    ASSERT_TRUE(ui().insertListRow(w_, kC, 0));
    ASSERT_TRUE(ui().setListCell(w_, kC, 0, 1, all));
    EXPECT_EQ(Shown(ui().listCell(w_, kC, 0, 1).value_or("")), Shown(all)) << "list cell";
    for (const ControlKind kind : {ControlKind::ListBox, ControlKind::ComboBox}) {
        add(kind, kD);
        ASSERT_TRUE(ui().addListItem(w_, kD, all));
        EXPECT_EQ(Shown(ui().listItem(w_, kD, 0).value_or("")), Shown(all)) << "list item";
        ASSERT_TRUE(ui().setCurrentListItem(w_, kD, 0));
        if (kind == ControlKind::ComboBox) {
            EXPECT_EQ(Shown(text(kD)), Shown(all)) << "choice";
        }
        ui().destroyControl(w_, kD);
    }
}

// Every byte that is a character (0x20..0xFF but DEL) can be typed, one change each.
TEST_P(FaceConformance, EveryCharacterByteCanBeTyped) {
    std::string typed;
    for (int b = 0x20; b < 0x100; ++b) {
        if (b != 0x7F) typed += static_cast<char>(b);
    }
    for (const EditKind& kind : kEditKinds) {
        SCOPED_TRACE(kind.name);
        addEdit(kA, kind);
        caret(kA, 0);
        user().type(w_, kA, typed);
        EXPECT_EQ(Shown(text(kA)), Shown(typed));
        EXPECT_EQ(changes(kA), typed.size());
        ui().destroyControl(w_, kA);
    }
}

// ---- The 65535-byte limit ----------------------------------------------------------------------

// Typing stops at the limit: the key that would pass it inserts nothing. Enter needs two bytes.
TEST_P(FaceConformance, TypingStopsAtTheLimit) {
    for (const EditKind& kind : kEditKinds) {
        SCOPED_TRACE(kind.name);
        addEdit(kA, kind, std::string(kLimit - 2, 'a'));
        ASSERT_TRUE(ui().setEditLimit(w_, kA, kLimit));
        caret(kA, kLimit - 2);
        user().type(w_, kA, "bcd");
        const std::string got = text(kA);
        EXPECT_EQ(got.size(), static_cast<std::size_t>(kLimit));
        EXPECT_EQ(got.substr(got.size() - 3), "abc");
        EXPECT_EQ(changes(kA), 2u);
        ui().destroyControl(w_, kA);
    }
    addEdit(kA, kMultiLineEdit, std::string(kLimit - 1, 'a'));
    ui().setEditLimit(w_, kA, kLimit);
    caret(kA, kLimit - 1);
    user().type(w_, kA, "\r");
    EXPECT_EQ(text(kA).size(), static_cast<std::size_t>(kLimit - 1)) << "no room for CR LF";
    EXPECT_EQ(changes(kA), 0u);
}

// A paste that would pass the limit is refused whole, as a key is: nothing is inserted and
// nothing changes. One that fits, line breaks counted by their bytes, goes in whole.
TEST_P(FaceConformance, APasteOverTheLimitIsRefusedWhole) {
    struct Row {
        int before;   // bytes already there, the caret at their end
        int selected; // bytes selected before the caret, replaced by the paste
        std::string pasted;
        bool fits;
    };
    const Row rows[] = {
        {kLimit - 535, 0, std::string(536, 'p'), false},
        {kLimit - 535, 0, std::string(535, 'p'), true},
        {kLimit, 0, "p", false},
        {kLimit, 10, std::string(10, 'p'), true},
        {kLimit, 10, std::string(11, 'p'), false},
        {kLimit - 6, 0, "a\r\nb\r\n", true},
        {kLimit - 5, 0, "a\r\nb\r\n", false},
        {kLimit - 4, 0, "a\nb\r", true},
        {kLimit - 4, 0, "a\nb\r\n", false},
        {0, 0, std::string(kLimit + 1, 'p'), false},
    };
    for (const EditKind& kind : kEditKinds) {
        addEdit(kA, kind);
        ui().setEditLimit(w_, kA, kLimit);
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(kind.name) + ": " + std::to_string(r.before) + " bytes, " +
                         std::to_string(r.selected) + " selected, " +
                         std::to_string(r.pasted.size()) + " pasted");
            const std::string before(static_cast<std::size_t>(r.before), 'a');
            ui().setText(w_, kA, before);
            ASSERT_TRUE(ui().setFocus(w_, kA));
            user().settle();
            ui().setEditSelection(w_, kA, r.before - r.selected, r.selected);
            events_.lines.clear();
            user().paste(w_, kA, r.pasted);
            const std::string expected =
                r.fits ? before.substr(0, before.size() - static_cast<std::size_t>(r.selected)) +
                             r.pasted
                       : before;
            const std::string got = text(kA);
            EXPECT_EQ(got.size(), expected.size());
            EXPECT_TRUE(got == expected) << "the text differs from the expected one";
            EXPECT_EQ(changes(kA), r.fits ? 1u : 0u);
        }
        ui().destroyControl(w_, kA);
    }
}

// The core's own text is never cut by the limit; the user may shrink it but not grow it.
TEST_P(FaceConformance, ACoreTextOverTheLimitIsKeptWholeAndMayOnlyShrink) {
    const std::string longer(kLimit + 4465, 'q');
    for (const EditKind& kind : kEditKinds) {
        SCOPED_TRACE(kind.name);
        addEdit(kA, kind, longer);
        ui().setEditLimit(w_, kA, kLimit);
        EXPECT_EQ(text(kA).size(), longer.size());
        caret(kA, static_cast<int>(longer.size()));
        user().type(w_, kA, "x");
        user().paste(w_, kA, "y");
        EXPECT_EQ(text(kA).size(), longer.size()) << "neither typing nor pasting grows it";
        user().key(w_, kA, vk::Back);
        EXPECT_EQ(text(kA).size(), longer.size() - 1);
        EXPECT_EQ(changes(kA), 1u);
        ui().destroyControl(w_, kA);
    }
}

// ---- The caret and keys the core takes ---------------------------------------------------------

// The screen designer's status line follows the caret, and its undo is its own: a caret the user
// moves in a multi-line edit is told (EnSelChange), one the core moves or a text the core sets is
// not, and Ctrl+Z and Ctrl+Y consumed by the core change nothing in the edit.
TEST_P(FaceConformance, TheUsersCaretMovesAreToldAndConsumedUndoKeysChangeNothing) {
    const std::string moved =
        "cmd " + std::to_string(kA) + " " + std::to_string(notify::EnSelChange);
    addEdit(kA, kMultiLineEdit, "ab\r\ncd");
    caret(kA, 0);
    user().key(w_, kA, vk::Right);
    user().settle();
    EXPECT_EQ(ui().editSelection(w_, kA), (Selection{1, 0}));
    EXPECT_FALSE(events_.only(moved).empty()) << "a key that moves the caret is told";
    events_.lines.clear();
    ui().setEditSelection(w_, kA, 4, 0);
    ui().setText(w_, kA, "ab\r\ncd\r\n");
    user().settle();
    EXPECT_TRUE(events_.only(moved).empty()) << "the core's own moves are not";

    caret(kA, 2);
    user().type(w_, kA, "x");
    events_.consumeKeys = {'Z', 'Y'};
    user().key(w_, kA, 'Z', kModControl);
    user().key(w_, kA, 'Y', kModControl);
    user().settle();
    EXPECT_EQ(Shown(text(kA)), Shown("abx\r\ncd\r\n"));
    EXPECT_EQ(events_.only("down " + std::to_string(kA) + " 5A 2").size(), 1u);
    EXPECT_EQ(changes(kA), 1u) << "only the typing changed the text";
}

// ---- Focus -------------------------------------------------------------------------------------

// A focus change tells the old control of its loss, then the new one of its gain, once each,
// whether the core or the user makes it.
TEST_P(FaceConformance, FocusChangesTellTheLossBeforeTheGain) {
    addEdit(kA, kSingleLineEdit);
    addEdit(kB, kSingleLineEdit);
    ASSERT_TRUE(ui().setFocus(w_, kA));
    user().settle();
    ASSERT_TRUE(ui().setFocus(w_, kB));
    user().settle();
    EXPECT_TRUE(ui().setFocus(w_, kB)) << "focusing the focused control";
    user().settle();
    EXPECT_EQ(events_.only("focus"), (Lines{"focus 2000 +", "focus 2000 -", "focus 2001 +"}));
    events_.lines.clear();
    user().click(w_, kA);
    EXPECT_EQ(events_.only("focus"), (Lines{"focus 2001 -", "focus 2000 +"}));
    EXPECT_EQ(ui().focusedControl(w_), kA);
}

// A handler that puts the focus back while the old control hears of its loss (a failed leave
// check) has the last word: the focus stays, and the control chosen hears nothing.
TEST_P(FaceConformance, AFocusChangeRefusedByTheLossHandlerPutsTheFocusBack) {
    addEdit(kA, kSingleLineEdit);
    addEdit(kB, kSingleLineEdit);
    ASSERT_TRUE(ui().setFocus(w_, kA));
    user().settle();
    events_.onFocusDo = [&](ControlId c, bool gained) {
        if (c == kA && !gained) ui().setFocus(w_, kA);
    };
    struct Way {
        const char* name;
        std::function<void()> move;
    };
    const Way ways[] = {
        {"the core's setFocus", [&] { ui().setFocus(w_, kB); }},
        {"the user's click", [&] { user().click(w_, kB); }},
        {"the user's Tab", [&] { user().key(w_, kA, vk::Tab); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        events_.lines.clear();
        way.move();
        user().settle();
        EXPECT_EQ(ui().focusedControl(w_), kA);
        EXPECT_TRUE(events_.only("focus 2001").empty()) << "the refused control hears nothing";
        EXPECT_EQ(events_.only("focus"), (Lines{"focus 2000 -", "focus 2000 +"}));
    }
    events_.onFocusDo = nullptr;
    user().click(w_, kB);
    EXPECT_EQ(ui().focusedControl(w_), kB) << "and the focus moves once the check passes";
}

// Tab moves among the enabled, visible tab stops in creation order, round the window; Shift+Tab
// goes back.
TEST_P(FaceConformance, TabMovesAmongTabStopsInCreationOrder) {
    addEdit(kA, kSingleLineEdit);
    add(ControlKind::Edit, kB, kBorder); // no tab stop
    addEdit(kC, kSingleLineEdit);
    add(ControlKind::Edit, kD, kTabStop | kBorder | kDisabled);
    ASSERT_TRUE(ui().setFocus(w_, kA));
    user().settle();
    user().key(w_, kA, vk::Tab);
    EXPECT_EQ(ui().focusedControl(w_), kC);
    user().key(w_, kC, vk::Tab);
    EXPECT_EQ(ui().focusedControl(w_), kA);
    user().key(w_, kA, vk::Tab, kModShift);
    EXPECT_EQ(ui().focusedControl(w_), kC);
}

// A focused control that is hidden, disabled or destroyed loses the focus while it still
// exists, and nothing else gains it.
TEST_P(FaceConformance, AFocusedControlHiddenDisabledOrDestroyedLosesTheFocus) {
    struct Way {
        const char* name;
        std::function<bool()> act;
    };
    const Way ways[] = {
        {"hidden", [&] { return ui().showControl(w_, kA, false); }},
        {"disabled", [&] { return ui().enableControl(w_, kA, false); }},
        {"destroyed", [&] { return ui().destroyControl(w_, kA); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        addEdit(kA, kSingleLineEdit);
        addEdit(kB, kSingleLineEdit);
        ASSERT_TRUE(ui().setFocus(w_, kA));
        user().settle();
        std::string textWhenLost;
        events_.onFocusDo = [&](ControlId c, bool gained) {
            if (!gained) textWhenLost = ui().text(w_, c).value_or("<gone>");
        };
        ui().setText(w_, kA, "kept");
        events_.lines.clear();
        ASSERT_TRUE(way.act());
        user().settle();
        EXPECT_EQ(events_.only("focus"), Lines{"focus 2000 -"});
        EXPECT_EQ(textWhenLost, "kept");
        EXPECT_EQ(ui().focusedControl(w_), kNoControl);
        events_.onFocusDo = nullptr;
        ui().destroyControls(w_, ChildFilter::All);
    }
}

// ---- Modal loops -------------------------------------------------------------------------------

TEST_P(FaceConformance, AModalLoopReturnsTheResultItWasEndedWith) {
    const WindowId d = dialog("Add New File");
    ASSERT_NE(d, kNoWindow);
    bool ended = false;
    EXPECT_EQ(user().runModal(d, [&] { ended = ui().endModal(d, 42); }), 42);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(ui().endModal(d, 1)) << "no loop runs any more";
    EXPECT_TRUE(ui().windowExists(d)) << "the loop's end leaves the window to the core";
}

// Loops nest: the inner one returns first, with its own result, and the outer one runs on.
TEST_P(FaceConformance, NestedLoopsEndTheInnermostFirst) {
    const WindowId outer = dialog("Outer");
    const WindowId inner = dialog("Inner");
    Lines seen;
    const int result = user().runModal(outer, [&] {
        seen.push_back("outer running");
        const int innerResult = user().runModal(inner, [&] {
            seen.push_back("inner running");
            seen.push_back(ui().endModal(inner, 8) ? "inner ended" : "inner not ended");
        });
        seen.push_back("inner returned " + std::to_string(innerResult));
        seen.push_back(ui().endModal(outer, 7) ? "outer ended" : "outer not ended");
    });
    EXPECT_EQ(result, 7);
    EXPECT_EQ(seen, (Lines{"outer running", "inner running", "inner ended", "inner returned 8",
                           "outer ended"}));
}

// Ending the outer loop while an inner one runs takes effect once the inner one has returned;
// the inner loop is not ended by it.
TEST_P(FaceConformance, AnOuterLoopEndedFromInsideEndsAfterTheInnerOne) {
    const WindowId outer = dialog("Outer");
    const WindowId inner = dialog("Inner");
    Lines seen;
    const int result = user().runModal(outer, [&] {
        const int innerResult = user().runModal(inner, [&] {
            seen.push_back(ui().endModal(outer, 7) ? "outer ended" : "outer not ended");
            seen.push_back(ui().endModal(inner, 8) ? "inner ended" : "inner not ended");
        });
        seen.push_back("inner returned " + std::to_string(innerResult));
    });
    EXPECT_EQ(result, 7);
    EXPECT_EQ(seen, (Lines{"outer ended", "inner ended", "inner returned 8"}));
}

TEST_P(FaceConformance, DestroyingTheModalWindowAbandonsItsLoop) {
    const WindowId d = dialog("Gone");
    EXPECT_EQ(user().runModal(d, [&] { ui().destroyWindow(d); }), kModalAbandoned);
    EXPECT_FALSE(ui().windowExists(d));
    EXPECT_EQ(dialogEvents_.lines, Lines{"destroy"});
}

TEST_P(FaceConformance, ALoopWithoutAWindowRunsUntilEnded) {
    EXPECT_EQ(user().runModal(kNoWindow, [&] { ui().endModal(kNoWindow, 3); }), 3);
    EXPECT_FALSE(ui().endModal(kNoWindow, 3));
}

INSTANTIATE_TEST_SUITE_P(Faces, FaceConformance, ::testing::ValuesIn(FacesUnderTest()),
                         [](const ::testing::TestParamInfo<FaceMaker>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace vodarir::platform::conformance
