// Assertion failures: the error box, then the log record.
#include "diagnostics/assert.h"

#include "diagnostics/log.h"
#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

bool Assert(bool condition, TextRef text) {
    if (condition) return true;
    ScratchScope scope;
    MsgBox(text, TextView(kAssertionCaption), BoxKind::Error);
    // A log file that cannot be opened drops the record; the open has noted why.
    LogRecord(text);
    return false;
}

} // namespace vodarir
