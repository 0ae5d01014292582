// The scripted face's message boxes and its transcript.
#include "platform/scripted/scripted_ui.h"

#include <stdexcept>

namespace vodarir::platform {

ScriptedUi::ScriptedUi() = default;
ScriptedUi::~ScriptedUi() = default;

void ScriptedUi::queueBoxAnswer(BoxAnswer answer) { boxAnswers_.push_back(answer); }

void ScriptedUi::unexpected(const std::string& what) {
    if (unexpected_ != nullptr) {
        unexpected_(what);
        return;
    }
    throw std::runtime_error("scripted face: nothing queued for " + what);
}

BoxAnswer ScriptedUi::messageBox(WindowId owner, std::string_view text, std::string_view caption,
                                 BoxButtons buttons, BoxIcon icon) {
    boxes_.push_back({owner, std::string(text), std::string(caption), buttons, icon});
    record("box [" + std::string(caption) + "] " + std::string(text));
    if (!boxAnswers_.empty()) {
        const BoxAnswer answer = boxAnswers_.front();
        boxAnswers_.pop_front();
        return answer;
    }
    if (buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    unexpected("message box [" + std::string(caption) + "] " + std::string(text));
    return BoxAnswer::Failed;
}

} // namespace vodarir::platform
