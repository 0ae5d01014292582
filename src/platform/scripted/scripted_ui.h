// The scripted face: platform::Ui in memory. Tests queue what the user does and read back
// everything that was shown. Nothing here waits: an interaction the test did not queue fails the
// test with a message naming what was shown, instead of hanging.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace vodarir::platform {

struct ShownBox {
    WindowId owner = kNoWindow;
    std::string text; // cp1252 bytes, as the core passed them
    std::string caption;
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
};

class ScriptedUi : public Ui {
public:
    // Called when the core needs an interaction nobody queued; the default throws
    // std::runtime_error with the description (tests see it as a failure with that message).
    using UnexpectedFn = void (*)(const std::string& what);

    ScriptedUi();
    ~ScriptedUi() override;

    // The answer of the next message box. A box with only OK needs no queued answer.
    void queueBoxAnswer(BoxAnswer answer);
    const std::vector<ShownBox>& shownBoxes() const { return boxes_; }
    // Everything shown so far, one line each, in order: what scenario transcripts print.
    const std::vector<std::string>& transcript() const { return transcript_; }
    void setUnexpectedHandler(UnexpectedFn fn) { unexpected_ = fn; }

    BoxAnswer messageBox(WindowId owner, std::string_view text, std::string_view caption,
                         BoxButtons buttons, BoxIcon icon) override;

protected:
    void record(std::string line) { transcript_.push_back(std::move(line)); }
    void unexpected(const std::string& what);

private:
    std::deque<BoxAnswer> boxAnswers_;
    std::vector<ShownBox> boxes_;
    std::vector<std::string> transcript_;
    UnexpectedFn unexpected_ = nullptr;
};

} // namespace vodarir::platform
