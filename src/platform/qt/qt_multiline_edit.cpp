// The multi-line edit that keeps each line break's bytes, and its limit.
#include "platform/qt/qt_multiline_edit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

#include "platform/qt/cp1252.h"

namespace vodarir::platform::qtface {

namespace {

// The separator's character-format property that holds its break's bytes.
constexpr int kBreakProperty = QTextFormat::UserProperty + 1;
enum class Break : int { CrLf = 0, Lf = 1, Cr = 2 };

bool IsToolkitBreak(QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }

QTextCharFormat BreakFormat(Break kind) {
    QTextCharFormat format;
    if (kind != Break::CrLf) format.setProperty(kBreakProperty, static_cast<int>(kind));
    return format;
}

// The break before a block (the block's character format is its separator's).
Break BreakBefore(const QTextBlock& block) {
    return static_cast<Break>(block.charFormat().intProperty(kBreakProperty));
}

std::string_view BreakBytes(Break kind) {
    switch (kind) {
    case Break::Lf:
        return "\n";
    case Break::Cr:
        return "\r";
    case Break::CrLf:
        break;
    }
    return "\r\n";
}

int BreakLength(Break kind) { return static_cast<int>(BreakBytes(kind).size()); }

// One character of the widget's text: how many UTF-16 units it spans and how many bytes it is.
struct Step {
    int chars = 1;
    int bytes = 1;
};
Step StepAt(QStringView text, qsizetype i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        return {2, 1}; // one character outside the code page: one "?"
    }
    return IsToolkitBreak(text[i]) ? Step{1, 2} : Step{1, 1};
}

int ByteLength(QStringView text) {
    int bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const Step step = StepAt(text, i);
        bytes += step.bytes;
        i += step.chars;
    }
    return bytes;
}

// Puts bytes in at the cursor: the text between breaks as characters, each break as a block
// separator that remembers its bytes.
void InsertBytes(QTextCursor& cursor, std::string_view bytes) {
    const QTextCharFormat plain;
    std::size_t from = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        if (i > from) cursor.insertText(FromCp1252(bytes.substr(from, i - from)), plain);
        Break kind = bytes[i] == '\n' ? Break::Lf : Break::Cr;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            kind = Break::CrLf;
            ++i;
        }
        cursor.insertBlock(QTextBlockFormat(), BreakFormat(kind));
        from = i + 1;
    }
    if (from < bytes.size()) cursor.insertText(FromCp1252(bytes.substr(from)), plain);
}

// A key that puts one character in (Tab included), as the widget types it.
bool TypesACharacter(const QString& text) {
    return text.size() == 1 && (text[0] == u'\t' || text[0] >= u' ') && text[0] != QChar(0x7F);
}

} // namespace

std::string TextBytes(const QString& text) {
    std::string out;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsToolkitBreak(text[i])) continue;
        out += ToCp1252(text.mid(from, i - from));
        if (i < text.size()) out += "\r\n";
        from = i + 1;
    }
    return out;
}

MultiLineEdit::MultiLineEdit(QWidget* parent) : QPlainTextEdit(parent) {}

void MultiLineEdit::setBytes(std::string_view bytes) {
    setPlainText(QString());
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false); // also forgets what there was to undo
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    InsertBytes(cursor, bytes);
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    setTextCursor(QTextCursor(doc));
}

std::string MultiLineEdit::bytes() const {
    std::string out;
    const QTextDocument* doc = document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b != doc->begin()) out += BreakBytes(BreakBefore(b));
        out += TextBytes(b.text());
    }
    return out;
}

int MultiLineEdit::toBytePos(int widgetPos) const {
    const QTextDocument* doc = document();
    int bytes = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b != doc->begin()) bytes += BreakLength(BreakBefore(b));
        const QString text = b.text();
        const int local = widgetPos - b.position();
        if (local <= text.size())
            return bytes + ByteLength(QStringView(text).left(std::max(0, local)));
        bytes += ByteLength(text);
    }
    return bytes;
}

int MultiLineEdit::toWidgetPos(int bytePos) const {
    const QTextDocument* doc = document();
    int bytes = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b != doc->begin()) {
            const int length = BreakLength(BreakBefore(b));
            if (bytePos < bytes + length) return b.position(); // inside a CR LF: after it
            bytes += length;
        }
        const QString text = b.text();
        for (qsizetype i = 0; i < text.size();) {
            if (bytePos <= bytes) return b.position() + static_cast<int>(i);
            const Step step = StepAt(text, i);
            if (bytePos < bytes + step.bytes)
                return b.position() + static_cast<int>(i) + step.chars;
            bytes += step.bytes;
            i += step.chars;
        }
        if (bytePos <= bytes) return b.position() + static_cast<int>(text.size());
    }
    return std::max(0, doc->characterCount() - 1);
}

Selection MultiLineEdit::byteSelection() const {
    const QTextCursor cursor = textCursor();
    const int from = toBytePos(cursor.selectionStart());
    const int to = toBytePos(cursor.selectionEnd());
    return Selection{from, to - from};
}

void MultiLineEdit::setByteSelection(int start, int length) {
    QTextCursor cursor(document());
    cursor.setPosition(toWidgetPos(start));
    cursor.setPosition(toWidgetPos(start + length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

bool MultiLineEdit::fits(int added) const {
    if (limit_ <= 0) return true;
    // No position of the widget is more than two bytes (a CR LF): far from the limit, the text
    // need not be counted.
    if (2 * (document()->characterCount() - 1) + added <= limit_) return true;
    const int size = static_cast<int>(bytes().size());
    const int grown = size - byteSelection().length + added;
    return grown <= limit_ || grown <= size;
}

bool MultiLineEdit::typeText(const QString& text) {
    if (isReadOnly() || !fits(static_cast<int>(TextBytes(text).size()))) return false;
    insertPlainText(text);
    return true;
}

void MultiLineEdit::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event); // moving and copying still work
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool chord = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0;
    if (enter && !chord) {
        // Every break the user types is CR LF, whatever break the caret's line came after (Qt
        // would copy the format of the caret's position). Shift+Enter too: no soft breaks.
        if (fits(BreakLength(Break::CrLf))) {
            QTextCursor cursor = textCursor();
            cursor.insertBlock(QTextBlockFormat(), BreakFormat(Break::CrLf));
            setTextCursor(cursor);
            ensureCursorVisible();
        }
        event->accept();
        return;
    }
    if (TypesACharacter(event->text()) && !fits(1)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MultiLineEdit::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || source == nullptr || !source->hasText()) return;
    const std::string pasted = TextBytes(source->text());
    // Over the limit the paste is refused whole, as a key is: a text cut short would be a
    // script nobody typed.
    if (!fits(static_cast<int>(pasted.size()))) return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    InsertBytes(cursor, pasted);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* MultiLineEdit::createMimeDataFromSelection() const {
    const Selection s = byteSelection();
    const std::string all = bytes();
    auto* data = new QMimeData;
    data->setText(FromCp1252(std::string_view(all).substr(static_cast<std::size_t>(s.start),
                                                          static_cast<std::size_t>(s.length))));
    return data;
}

} // namespace vodarir::platform::qtface
