// The code page 1252 table and the conversions built on it.
#include "platform/qt/cp1252.h"

#include <algorithm>

#include "runtime/text/cp1252.h"

namespace vodarir::platform::qtface {

namespace {

constexpr char kNoByte = '?';

bool IsLineBreak(QChar c) {
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

// The table is the core's: one code page for the whole program.
char16_t Cp1252ToUnicode(unsigned char byte) {
    return static_cast<char16_t>(Cp1252CodePoint(byte));
}

int UnicodeToCp1252(char16_t ch) { return Cp1252ByteOf(ch); }

QString FromCp1252(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* to = out.data();
    for (const char b : bytes) *to++ = QChar(Cp1252ToUnicode(static_cast<unsigned char>(b)));
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
