// The Qt face's conversions: the code page table, line breaks and positions of multi-line edits,
// and keys.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/qt/cp1252.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_multiline_edit.h"

namespace vodarir::platform::qtface {
namespace {

std::string HexOf(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%02X", v);
    return buf;
}

TEST(Cp1252, BytesMapToTheirCharactersAndBack) {
    struct Row {
        unsigned char byte;
        char16_t ch;
    };
    const Row rows[] = {
        {0x41, u'A'},
        {0xA6, 0x00A6}, // broken bar
        {0xAB, 0x00AB},
        {0xBB, 0x00BB}, // angle quotes
        {0xF7, 0x00F7},
        {0x80, 0x20AC}, // division sign, euro
        {0x82, 0x201A},
        {0x85, 0x2026},
        {0x8A, 0x0160},
        {0x91, 0x2018},
        {0x93, 0x201C},
        {0x96, 0x2013},
        {0x97, 0x2014},
        {0x99, 0x2122},
        {0x9F, 0x0178},
        {0xA0, 0x00A0},
        {0xF1, 0x00F1},
        {0x00, 0x0000},
        {0x1D, 0x001D},
        {0xFF, 0x00FF},
        // The five bytes the code page leaves undefined keep their number.
        {0x81, 0x0081},
        {0x8D, 0x008D},
        {0x8F, 0x008F},
        {0x90, 0x0090},
        {0x9D, 0x009D},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Cp1252ToUnicode(r.byte), r.ch) << HexOf(r.byte);
        EXPECT_EQ(UnicodeToCp1252(r.ch), r.byte) << HexOf(r.byte);
    }
}

TEST(Cp1252, EveryByteStringSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    int lost = -1;
    EXPECT_EQ(ToCp1252(FromCp1252(all), &lost), all);
    EXPECT_EQ(lost, 0);
    // No two bytes share a character.
    for (int a = 0; a < 256; ++a) {
        for (int b = a + 1; b < 256; ++b) {
            ASSERT_NE(Cp1252ToUnicode(static_cast<unsigned char>(a)),
                      Cp1252ToUnicode(static_cast<unsigned char>(b)))
                << HexOf(static_cast<unsigned>(a)) << " " << HexOf(static_cast<unsigned>(b));
        }
    }
}

TEST(Cp1252, CharactersWithoutAByteBecomeAQuestionMarkAndAreCounted) {
    struct Row {
        QString text;
        std::string bytes;
        int lost;
    };
    const Row rows[] = {
        {QString::fromUtf8("\xCE\xA9"), "?", 1}, // Greek omega
        {QString(QChar(0x0080)), "?", 1},        // C1 control the euro displaced
        {QString::fromUtf8("a\xF0\x9F\x98\x80"
                           "b"),
         "a?b", 1}, // one emoji, one mark
        {QString::fromUtf8("\xE2\x82\xAC"
                           "5"),
         "\x80"
         "5",
         0},
    };
    for (const Row& r : rows) {
        int lost = -1;
        EXPECT_EQ(ToCp1252(r.text, &lost), r.bytes) << r.text.toStdString();
        EXPECT_EQ(lost, r.lost) << r.text.toStdString();
    }
}

TEST(MultiLineEditText, ToolkitBreaksBecomeCrLfAndTheCoresStayTheirBytes) {
    // What a paste or a line of the widget stands for.
    const QString raw = QStringLiteral("a") + QChar(QChar::ParagraphSeparator) +
                        QStringLiteral("b") + QChar(QChar::LineSeparator) + QStringLiteral("c\n");
    EXPECT_EQ(TextBytes(raw), "a\r\nb\r\nc\n");
    EXPECT_EQ(TextBytes(QStringLiteral("a\r\nb\rc\nd")), "a\r\nb\rc\nd");
    EXPECT_EQ(TextBytes(QString::fromUtf8("x\xF0\x9F\x98\x80y")), "x?y");
    // What the edit holds.
    MultiLineEdit edit(nullptr);
    for (const std::string text : {"a\r\nb\rc\nd", "x\r\n\xA0\r\n", "\n\r", "\r\r\n\n", ""}) {
        edit.setBytes(text);
        EXPECT_EQ(edit.bytes(), text);
    }
    edit.setBytes("a\r\nb\rc\nd");
    EXPECT_EQ(edit.document()->blockCount(), 4) << "every break is a line of its own";
    EXPECT_EQ(edit.document()->toRawText().size(), 7);
}

TEST(MultiLineEditText, PositionsCountALineBreakByItsBytesInTheCoreAndOneInTheWidget) {
    struct Row {
        int core;
        int widget;
    };
    MultiLineEdit edit(nullptr);
    // "ab\r\ncd\r\n": widget text "ab|cd|" (| one separator).
    edit.setBytes("ab\r\ncd\r\n");
    const Row there[] = {{0, 0}, {2, 2}, {3, 3}, {4, 3}, {6, 5}, {8, 6}, {99, 6}, {-4, 0}};
    for (const Row& r : there) {
        EXPECT_EQ(edit.toWidgetPos(r.core), r.widget) << "core " << r.core;
    }
    const Row back[] = {{0, 0}, {2, 2}, {4, 3}, {6, 5}, {8, 6}, {8, 40}};
    for (const Row& r : back) {
        EXPECT_EQ(edit.toBytePos(r.widget), r.core) << "widget " << r.widget;
    }
    // Lone breaks are one byte and one position: "ab\ncd\ref" is "ab|cd|ef" in the widget.
    edit.setBytes("ab\ncd\ref");
    const Row lone[] = {{2, 2}, {3, 3}, {5, 5}, {6, 6}, {8, 8}};
    for (const Row& r : lone) {
        EXPECT_EQ(edit.toWidgetPos(r.core), r.widget) << "core " << r.core;
        EXPECT_EQ(edit.toBytePos(r.widget), r.core) << "widget " << r.widget;
    }
}

TEST(QtKeys, QtKeysBecomeTheCoresVirtualKeys) {
    struct Row {
        int qt;
        bool keypad;
        VirtualKey expected;
    };
    const Row rows[] = {
        {Qt::Key_Return, false, vk::Return},
        {Qt::Key_Enter, true, vk::Return},
        {Qt::Key_Escape, false, vk::Escape},
        {Qt::Key_Tab, false, vk::Tab},
        {Qt::Key_Backtab, false, vk::Tab},
        {Qt::Key_F1, false, vk::F1},
        {Qt::Key_F4, false, 0x73},
        {Qt::Key_F11, false, vk::F11},
        {Qt::Key_F24, false, vk::F24},
        {Qt::Key_PageUp, false, vk::Prior},
        {Qt::Key_PageDown, false, vk::Next},
        {Qt::Key_Up, false, vk::Up},
        {Qt::Key_Down, false, vk::Down},
        {Qt::Key_End, false, vk::End},
        {Qt::Key_A, false, 'A'},
        {Qt::Key_Z, false, 'Z'},
        {Qt::Key_5, false, '5'},
        {Qt::Key_5, true, vk::Numpad0 + 5},
        {Qt::Key_Asterisk, true, vk::Multiply},
        {Qt::Key_Asterisk, false, '8'},
        {Qt::Key_Minus, false, vk::OemMinus},
        {Qt::Key_Minus, true, vk::Subtract},
        {Qt::Key_BracketRight, false, vk::Oem6},
        {Qt::Key_Shift, false, vk::Shift},
        {Qt::Key_Ntilde, false, vk::None},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(VirtualKeyOf(r.qt, r.keypad), r.expected)
            << "Qt key " << HexOf(static_cast<unsigned>(r.qt)) << " keypad " << r.keypad;
    }
    EXPECT_EQ(ModifiersOf(Qt::ShiftModifier | Qt::ControlModifier), kModShift | kModControl);
    EXPECT_EQ(ModifiersOf(Qt::KeypadModifier), kModNone);
}

} // namespace
} // namespace vodarir::platform::qtface
