// The code page 1252 table and the conversions built on it.
#include "platform/qt/cp1252.h"

#include "runtime/text/cp1252.h"

namespace vodarir::platform::qtface {

namespace {

constexpr char kNoByte = '?';

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

} // namespace vodarir::platform::qtface
