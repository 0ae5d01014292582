// The face registry and the null face used before one is installed.
#include "platform/ui.h"

namespace vodarir::platform {

namespace {

class NullUi final : public Ui {
public:
    BoxAnswer messageBox(WindowId, std::string_view, std::string_view, BoxButtons,
                         BoxIcon) override {
        return BoxAnswer::Failed;
    }
};

NullUi g_nullUi;
Ui* g_ui = &g_nullUi;

} // namespace

Ui& CurrentUi() { return *g_ui; }

void SetUi(Ui* ui) { g_ui = ui != nullptr ? ui : &g_nullUi; }

} // namespace vodarir::platform
