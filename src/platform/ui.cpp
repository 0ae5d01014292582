// The face registry and the null face used before one is installed.
#include "platform/ui.h"

namespace vodarir::platform {

namespace {

// The seam's own defaults refuse everything: no window can be made, so every later call names a
// window that does not exist and gets the failed answer the seam promises for that case.
class NullUi final : public Ui {};

NullUi g_nullUi;
Ui* g_ui = &g_nullUi;

} // namespace

Ui& CurrentUi() { return *g_ui; }

void SetUi(Ui* ui) { g_ui = ui != nullptr ? ui : &g_nullUi; }

} // namespace vodarir::platform
