// Numbered messages, the texts of status codes, and the message boxes that show them.
//
// Ownership: a message text is either a view of constant program data, a view into the caller's
// own argument (the default text after a designer code), or a copy on the ScratchStack (texts of
// a loaded language file, which live in the SlotStore and would move with its next change). Call
// these inside a ScratchStack mark and treat every result as living until that mark is released.
// StatusText always answers one new scratch level above the caller's depth.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

// The text of a message. `code` is a four-digit code alone ("0012"), or a code, one separator and
// a default text of its own ("1006 New"). A loaded language file that holds the code answers
// first; otherwise the default text, and without one the built-in table. Absent codes read empty.
TextRef MsgTextRef(TextRef code);
TextRef MsgText(const char* code);
// The built-in table's text for the code; empty when the table has no such entry.
TextRef MsgBuiltin(TextRef code);

// Item status − 121 of the status names, or "Indefinido" (121, codes without a name, 0..120).
TextRef StatusName(StatusCode status);
// The text shown for a status (0xFFFF: the recorded error's status).
inline constexpr StatusCode kLastRecordedStatus = 0xFFFF;
TextRef StatusText(StatusCode status);
// Shows StatusText: a warning box below 128, a stop box from 128 on. Answers 0.
StatusCode StatusReport(StatusCode status);

// Box kinds: buttons, icon and the message that captions the box when no caption is given.
enum class BoxKind {
    Information = 0, // OK, information, "0014"
    Warning = 1,     // OK, exclamation, "0012"
    OkCancel = 2,    // OK and Cancel, information, "0014"
    Error = 3,       // OK, stop, "0013"
    RetryCancel = 4, // Retry and Cancel, stop, "0012"
    YesNo = 5,       // Yes and No, information, "0014"
    YesNoCancel = 6, // Yes, No and Cancel, information, "0014"
};

// Answers of MsgBox besides the yes and no characters of message "0011".
inline constexpr int kBoxFailed = 0;
inline constexpr int kBoxCancelled = 3;

// Shows a modal box. OK, Retry and Yes answer the yes character (first of item 1 of "0011"), No
// the no character (first of item 2), Cancel, Abort and Ignore kBoxCancelled, a box that could
// not be shown kBoxFailed. An empty caption takes the kind's message.
int MsgBox(TextRef text, TextRef caption, BoxKind kind);
void MsgInfo(TextRef caption, TextRef text);
// Success: the text (message "0005" when empty) in a warning box; failure: the text in a stop box.
void MsgOutcome(bool success, TextRef text);
// True when the first character of the trimmed text is one of the yes characters of "0011".
bool IsYesAnswer(TextRef text);
// A Yes/No box with the kind's caption; true when it was answered Yes.
bool AskYesNo(TextRef text);

} // namespace vodarir
