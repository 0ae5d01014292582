// The code page 1252 table and the conversions built on it.
#include "platform/qt/cp1252.h"

#include <algorithm>

namespace vodarir::platform::qtface {

namespace {

// Byte -> UTF-16 code unit, all 256. Rows of 16 bytes; the row's first byte is in the comment.
constexpr char16_t kCp1252[256] = {
    // 0x00
    0x0000,
    0x0001,
    0x0002,
    0x0003,
    0x0004,
    0x0005,
    0x0006,
    0x0007,
    0x0008,
    0x0009,
    0x000A,
    0x000B,
    0x000C,
    0x000D,
    0x000E,
    0x000F,
    // 0x10
    0x0010,
    0x0011,
    0x0012,
    0x0013,
    0x0014,
    0x0015,
    0x0016,
    0x0017,
    0x0018,
    0x0019,
    0x001A,
    0x001B,
    0x001C,
    0x001D,
    0x001E,
    0x001F,
    // 0x20
    0x0020,
    0x0021,
    0x0022,
    0x0023,
    0x0024,
    0x0025,
    0x0026,
    0x0027,
    0x0028,
    0x0029,
    0x002A,
    0x002B,
    0x002C,
    0x002D,
    0x002E,
    0x002F,
    // 0x30
    0x0030,
    0x0031,
    0x0032,
    0x0033,
    0x0034,
    0x0035,
    0x0036,
    0x0037,
    0x0038,
    0x0039,
    0x003A,
    0x003B,
    0x003C,
    0x003D,
    0x003E,
    0x003F,
    // 0x40
    0x0040,
    0x0041,
    0x0042,
    0x0043,
    0x0044,
    0x0045,
    0x0046,
    0x0047,
    0x0048,
    0x0049,
    0x004A,
    0x004B,
    0x004C,
    0x004D,
    0x004E,
    0x004F,
    // 0x50
    0x0050,
    0x0051,
    0x0052,
    0x0053,
    0x0054,
    0x0055,
    0x0056,
    0x0057,
    0x0058,
    0x0059,
    0x005A,
    0x005B,
    0x005C,
    0x005D,
    0x005E,
    0x005F,
    // 0x60
    0x0060,
    0x0061,
    0x0062,
    0x0063,
    0x0064,
    0x0065,
    0x0066,
    0x0067,
    0x0068,
    0x0069,
    0x006A,
    0x006B,
    0x006C,
    0x006D,
    0x006E,
    0x006F,
    // 0x70
    0x0070,
    0x0071,
    0x0072,
    0x0073,
    0x0074,
    0x0075,
    0x0076,
    0x0077,
    0x0078,
    0x0079,
    0x007A,
    0x007B,
    0x007C,
    0x007D,
    0x007E,
    0x007F,
    // 0x80: euro, (0x81), single low quote, f hook, double low quote, ellipsis, dagger,
    // double dagger, circumflex, per mille, S caron, single left angle quote, OE, (0x8D),
    // Z caron, (0x8F)
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    // 0x90: (0x90), left and right single quotes, left and right double quotes, bullet,
    // en dash, em dash, small tilde, trade mark, s caron, single right angle quote, oe,
    // (0x9D), z caron, Y diaeresis
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
    // 0xA0: the rest is Latin-1
    0x00A0,
    0x00A1,
    0x00A2,
    0x00A3,
    0x00A4,
    0x00A5,
    0x00A6,
    0x00A7,
    0x00A8,
    0x00A9,
    0x00AA,
    0x00AB,
    0x00AC,
    0x00AD,
    0x00AE,
    0x00AF,
    // 0xB0
    0x00B0,
    0x00B1,
    0x00B2,
    0x00B3,
    0x00B4,
    0x00B5,
    0x00B6,
    0x00B7,
    0x00B8,
    0x00B9,
    0x00BA,
    0x00BB,
    0x00BC,
    0x00BD,
    0x00BE,
    0x00BF,
    // 0xC0
    0x00C0,
    0x00C1,
    0x00C2,
    0x00C3,
    0x00C4,
    0x00C5,
    0x00C6,
    0x00C7,
    0x00C8,
    0x00C9,
    0x00CA,
    0x00CB,
    0x00CC,
    0x00CD,
    0x00CE,
    0x00CF,
    // 0xD0
    0x00D0,
    0x00D1,
    0x00D2,
    0x00D3,
    0x00D4,
    0x00D5,
    0x00D6,
    0x00D7,
    0x00D8,
    0x00D9,
    0x00DA,
    0x00DB,
    0x00DC,
    0x00DD,
    0x00DE,
    0x00DF,
    // 0xE0
    0x00E0,
    0x00E1,
    0x00E2,
    0x00E3,
    0x00E4,
    0x00E5,
    0x00E6,
    0x00E7,
    0x00E8,
    0x00E9,
    0x00EA,
    0x00EB,
    0x00EC,
    0x00ED,
    0x00EE,
    0x00EF,
    // 0xF0
    0x00F0,
    0x00F1,
    0x00F2,
    0x00F3,
    0x00F4,
    0x00F5,
    0x00F6,
    0x00F7,
    0x00F8,
    0x00F9,
    0x00FA,
    0x00FB,
    0x00FC,
    0x00FD,
    0x00FE,
    0x00FF,
};

constexpr unsigned char kFirstSpecial = 0x80;
constexpr unsigned char kLastSpecial = 0x9F;
constexpr char kNoByte = '?';

bool IsLineBreak(QChar c) {
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

char16_t Cp1252ToUnicode(unsigned char byte) {
    return kCp1252[byte];
}

int UnicodeToCp1252(char16_t ch) {
    // Latin-1 maps to itself, except the C1 range, where only the undefined bytes do.
    if (ch < kFirstSpecial || (ch > kLastSpecial && ch <= 0xFF)) return ch;
    for (int b = kFirstSpecial; b <= kLastSpecial; ++b) {
        if (kCp1252[b] == ch) return b;
    }
    return -1;
}

QString FromCp1252(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* to = out.data();
    for (const char b : bytes) *to++ = QChar(kCp1252[static_cast<unsigned char>(b)]);
    return out;
}

std::string ToCp1252(const QString& text, int* lost) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    int missing = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A surrogate pair is one character outside the code page: one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        const int b = UnicodeToCp1252(c.unicode());
        if (b < 0) ++missing;
        out += b < 0 ? kNoByte : static_cast<char>(b);
    }
    if (lost != nullptr) *lost = missing;
    return out;
}

QString FromCp1252Lines(std::string_view bytes) {
    std::string joined;
    joined.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            joined += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            joined += bytes[i];
        }
    }
    return FromCp1252(joined);
}

std::string ToCp1252Lines(const QString& text, int* lost) {
    QString flat = text;
    for (QChar& c : flat) {
        if (IsLineBreak(c)) c = u'\n';
    }
    const std::string bytes = ToCp1252(flat, lost);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char b : bytes) {
        if (b == '\n') out += '\r';
        out += b;
    }
    return out;
}

int CrLfToWidgetPos(std::string_view crlfText, int pos) {
    pos = std::clamp(pos, 0, static_cast<int>(crlfText.size()));
    int widget = 0;
    for (int i = 0; i < pos; ++i) {
        const bool pairTail = crlfText[i] == '\n' && i > 0 && crlfText[i - 1] == '\r';
        if (!pairTail) ++widget;
    }
    return widget;
}

int WidgetToCrLfPos(std::string_view crlfText, int pos) {
    int seen = 0;
    std::size_t i = 0;
    while (i < crlfText.size() && seen < pos) {
        i += crlfText.compare(i, 2, "\r\n") == 0 ? 2 : 1;
        ++seen;
    }
    return static_cast<int>(i);
}

} // namespace vodarir::platform::qtface
