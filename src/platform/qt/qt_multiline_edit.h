// The Qt face's multi-line edit: a QPlainTextEdit whose text is the core's cp1252 bytes, each line
// break kept as the bytes it was (CR LF, a lone LF or a lone CR), with the edit limit applied to
// typing, pasting and dropping alike.
//
// How a break keeps its bytes. Qt holds every line break as one block separator, whatever bytes
// made it. The bytes of each break are a property of its separator's character format (none:
// CR LF). Qt keeps a character's format with the character: a deletion removes exactly the
// separators in its range and leaves the others with their own, undo and redo restore them, so
// every break keeps its bytes until the user removes it. A break the user types (Enter) is CR LF;
// a paste brings the breaks of the pasted text, and a copy takes the selection's own bytes.
//
// Positions: the core counts bytes (a CR LF two, a lone LF or CR one); the widget counts one
// position per break. A byte position inside a CR LF counts as after it.
//
// Invariants:
//  1. Every separator's format holds the break kind LF or CR, or no kind (CR LF).
//  2. bytes() is what setBytes() gave until the user edits; setBytes leaves nothing to undo.
//  3. No key, paste or drop leaves more than limit() bytes unless it shrinks the text.
#pragma once

#include <QPlainTextEdit>

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace vodarir::platform::qtface {

class MultiLineEdit : public QPlainTextEdit {
public:
    explicit MultiLineEdit(QWidget* parent);

    // The whole text, as bytes; nothing to undo afterwards and the caret at the start.
    void setBytes(std::string_view bytes);
    std::string bytes() const;

    // A widget position as a byte offset into bytes(), and back (clamped to the text).
    int toBytePos(int widgetPos) const;
    int toWidgetPos(int bytePos) const;
    Selection byteSelection() const;
    // Selects `length` bytes from `start` (both within the text) and shows them.
    void setByteSelection(int start, int length);

    // The most bytes typing and pasting may leave (0: no limit).
    void setLimit(int limit) { limit_ = limit; }
    int limit() const { return limit_; }
    // Whether putting `added` bytes over the selection keeps within the limit, or shrinks.
    bool fits(int added) const;
    // Text the user typed, over the selection: false (nothing typed) when over the limit.
    bool typeText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    int limit_ = 0;
};

// The bytes a text of the toolkit's stands for (a pasted text, a line of the widget): CR and LF
// stay the bytes they are, the toolkit's own breaks (U+2029, U+2028) become CR LF, and a
// character without a byte becomes "?".
std::string TextBytes(const QString& text);

} // namespace vodarir::platform::qtface
