// Assertion failures: the error box.
#include "diagnostics/assert.h"

#include "runtime/messages/messages.h"

namespace vodarir {

bool Assert(bool condition, TextRef text) {
    if (condition) return true;
    MsgBox(text, TextView(kAssertionCaption), boxkind::kError);
    return false;
}

} // namespace vodarir
