// The scripted face's queued answers, message boxes, common dialogs, popup menus, modal loops,
// fonts and transcript.
#include "platform/scripted/scripted_ui.h"

#include <stdexcept>

#include "platform/scripted/scripted_internal.h"

namespace vodarir::platform {

ScriptedUi::ScriptedUi() {
    // The dialog font and a fixed font whose cells come out at 8 x 16 pixels (average width + 1,
    // height + 3), the usual size of a runtime screen's cell.
    fonts_.push_back({6, 12, 13, 10, 3});
    fonts_.push_back({7, 7, 13, 10, 3});
}

ScriptedUi::~ScriptedUi() = default;

// ---- Queued answers --------------------------------------------------------------------------

void ScriptedUi::queueBoxAnswer(BoxAnswer answer) { boxAnswers_.push_back(answer); }
void ScriptedUi::queueFileChoice(std::string path) { fileChoices_.push_back(std::move(path)); }
void ScriptedUi::queueFolderChoice(std::string folder) {
    folderChoices_.push_back(std::move(folder));
}
void ScriptedUi::queuePopupChoice(std::string text) {
    popupChoices_.push_back({false, std::move(text)});
}
void ScriptedUi::queuePopupDismiss() { popupChoices_.push_back({true, {}}); }

void ScriptedUi::queueModal(std::string expected, std::vector<UiAction> actions) {
    modals_.push_back({std::move(expected), std::move(actions)});
}

void ScriptedUi::queueModal(std::string expected, ModalScript script) {
    queueModal(std::move(expected), std::vector<UiAction>{act::Run(std::move(script))});
}

std::size_t ScriptedUi::pendingCount() const {
    return boxAnswers_.size() + fileChoices_.size() + folderChoices_.size() + popupChoices_.size() +
           modals_.size();
}

void ScriptedUi::unexpected(const std::string& what) {
    if (unexpected_ != nullptr) {
        unexpected_(what);
        return;
    }
    throw std::runtime_error("scripted face: nothing queued for " + what);
}

void ScriptedUi::scriptError(const std::string& what) {
    if (unexpected_ != nullptr) {
        unexpected_("script: " + what);
        return;
    }
    throw std::runtime_error("scripted face: the script " + what);
}

// ---- Message boxes and common dialogs ----------------------------------------------------------

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

std::string ScriptedUi::chooseFile(WindowId owner, const FileDialogSpec& spec) {
    const char* verb = spec.mode == FileDialogMode::Save ? "file-save" : "file-open";
    std::string filters;
    for (const FileFilter& f : spec.filters) {
        if (!filters.empty()) filters += " | ";
        filters += f.description + " = " + f.pattern;
    }
    std::string shown =
        std::string(verb) + " [" + spec.title + "] {" + filters + "} name " + spec.initialName;
    fileDialogs_.push_back({owner, spec, {}});
    if (fileChoices_.empty()) {
        record(shown + " -> nothing queued");
        unexpected(shown);
        return {};
    }
    std::string answer = std::move(fileChoices_.front());
    fileChoices_.pop_front();
    fileDialogs_.back().answer = answer;
    record(shown + " -> " + (answer.empty() ? std::string("cancelled") : answer));
    return answer;
}

std::string ScriptedUi::chooseFolder(WindowId owner, std::string_view title,
                                     std::string_view startFolder) {
    std::string shown = "folder [" + std::string(title) + "] from " + std::string(startFolder);
    folderDialogs_.push_back({owner, std::string(title), std::string(startFolder), {}});
    if (folderChoices_.empty()) {
        record(shown + " -> nothing queued");
        unexpected(shown);
        return {};
    }
    std::string answer = std::move(folderChoices_.front());
    folderChoices_.pop_front();
    folderDialogs_.back().answer = answer;
    record(shown + " -> " + (answer.empty() ? std::string("cancelled") : answer));
    return answer;
}

namespace {

// The command of the enabled item shown as `text`, searching submenus too; 0 when none.
CommandId FindCommandByText(const Menu& menu, std::string_view text) {
    for (const MenuItem& item : menu) {
        if (item.kind == MenuItem::Kind::Popup) {
            if (CommandId c = FindCommandByText(item.items, text)) return c;
        } else if (item.kind == MenuItem::Kind::Command && item.enabled &&
                   scripted::MenuLabel(item.text) == text) {
            return item.command;
        }
    }
    return 0;
}

std::string MenuItemsLine(const Menu& menu) {
    std::string line;
    for (const MenuItem& item : menu) {
        if (!line.empty()) line += "|";
        if (item.kind == MenuItem::Kind::Separator) {
            line += "-";
        } else {
            line += scripted::MenuLabel(item.text);
            if (!item.enabled) line += "(disabled)";
        }
    }
    return line;
}

} // namespace

CommandId ScriptedUi::popupMenu(WindowId owner, const Menu& menu, Point at, PopupAnchor anchor) {
    const std::string shown = "popup " + MenuItemsLine(menu);
    popups_.push_back({owner, menu, at, anchor, 0});
    if (popupChoices_.empty()) {
        record(shown + " -> nothing queued");
        unexpected(shown);
        return 0;
    }
    PopupChoice choice = std::move(popupChoices_.front());
    popupChoices_.pop_front();
    if (choice.dismiss) {
        record(shown + " -> dismissed");
        return 0;
    }
    const CommandId command = FindCommandByText(menu, choice.text);
    if (command == 0) {
        record(shown + " -> " + choice.text + " (no such item)");
        scriptError("chose \"" + choice.text + "\" from a popup menu showing " +
                    MenuItemsLine(menu));
        return 0;
    }
    popups_.back().answer = command;
    record(shown + " -> " + choice.text);
    return command;
}

// ---- Modal loops -------------------------------------------------------------------------------

std::vector<WindowId> ScriptedUi::modalStack() const {
    std::vector<WindowId> ids;
    for (const ModalFrame& f : frames_) ids.push_back(f.window);
    return ids;
}

int ScriptedUi::runModal(WindowId window) {
    if (window != kNoWindow && !windowExists(window)) return kModalAbandoned;
    if (window != kNoWindow) showWindow(window, true);
    const std::string name = label(window);
    record("modal " + name);
    if (modals_.empty()) {
        unexpected("modal window " + name);
        return kModalAbandoned;
    }
    QueuedModal script = std::move(modals_.front());
    modals_.pop_front();
    const ShownWindow* shown = this->window(window);
    if (!script.expected.empty() &&
        (shown == nullptr || (shown->title != script.expected && shown->name != script.expected))) {
        scriptError("expected the modal window [" + script.expected + "] but " + name + " opened");
        return kModalAbandoned;
    }
    frames_.push_back({window});
    const std::size_t depth = frames_.size();
    runScript(window, std::move(script));
    const ModalFrame frame = frames_[depth - 1];
    frames_.erase(frames_.begin() + static_cast<std::ptrdiff_t>(depth - 1));
    if (!frame.ended) {
        if (windowExists(window) || window == kNoWindow) {
            scriptError("left the modal window " + name + " open at its end");
        }
        return kModalAbandoned;
    }
    if (WindowRec* w = rec(window)) w->shown.visible = false;
    record("modal end " + name + " = " + std::to_string(frame.result));
    return frame.result;
}

void ScriptedUi::runScript(WindowId window, QueuedModal script) {
    const std::size_t depth = frames_.size();
    for (std::size_t i = 0; i < script.actions.size(); ++i) {
        const ModalFrame& frame = frames_[depth - 1];
        if (frame.ended || (window != kNoWindow && !windowExists(window))) {
            scriptError("has " + std::to_string(script.actions.size() - i) +
                        " acts left after the modal window " + label(window) + " closed");
            return;
        }
        perform(window, script.actions[i]);
        deliverPosted();
    }
}

bool ScriptedUi::endModal(WindowId window, int result) {
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it) {
        if (it->window == window && !it->ended) {
            it->ended = true;
            it->result = result;
            return true;
        }
    }
    return false;
}

bool ScriptedUi::post(WindowId window, int message, int param) {
    if (!windowExists(window)) return false;
    posted_.push_back({window, message, param});
    return true;
}

void ScriptedUi::pumpPending() { deliverPosted(); }

void ScriptedUi::deliverPosted() {
    // A handler may post again; those are delivered in the same pass, in order.
    while (!posted_.empty()) {
        const Posted p = posted_.front();
        posted_.pop_front();
        if (WindowEvents* e = events(p.window)) e->onPosted(p.message, p.param);
    }
}

// ---- The pretend screen and fonts --------------------------------------------------------------

Margins ScriptedUi::frameMargins(WindowStyle style, bool withMenu) const {
    Margins m{scripted::kFrameBorder, scripted::kFrameBorder, scripted::kFrameBorder,
              scripted::kFrameBorder};
    if (style & kWinCaption) m.top += scripted::kCaptionHeight;
    if (withMenu) m.top += scripted::kMenuBarHeight;
    return m;
}

void ScriptedUi::setFontMetrics(FontId font, FontMetrics metrics) {
    if (font >= 1 && static_cast<std::size_t>(font) <= fonts_.size()) fonts_[font - 1] = metrics;
}

FontId ScriptedUi::createFont(const FontSpec& spec) {
    if (spec.height <= 0 || fonts_.size() >= scripted::kMaxFonts) return kNoFont;
    const int width = spec.width > 0 ? spec.width : (spec.height + 1) / 2;
    const int ascent = spec.height - spec.height / 4;
    fonts_.push_back({width, width, spec.height, ascent, spec.height - ascent});
    record("font " + std::to_string(fonts_.size()) + " " + std::string(spec.face) + " " +
           std::to_string(spec.height) + "x" + std::to_string(width));
    return static_cast<FontId>(fonts_.size());
}

bool ScriptedUi::destroyFont(FontId font) {
    if (font <= kFixedFont || static_cast<std::size_t>(font) > fonts_.size()) return false;
    if (fonts_[font - 1] == FontMetrics{}) return false;
    fonts_[font - 1] = FontMetrics{};
    return true;
}

FontMetrics ScriptedUi::fontMetrics(FontId font) const {
    if (font < 1 || static_cast<std::size_t>(font) > fonts_.size()) return {};
    return fonts_[font - 1];
}

// ---- Transcript and description ----------------------------------------------------------------

std::string ScriptedUi::label(WindowId window) const {
    if (window == kNoWindow) return "(no window)";
    const ShownWindow* w = this->window(window);
    if (w == nullptr) return "#" + std::to_string(window);
    return "#" + std::to_string(window) + " " + w->name + " [" + w->title + "]";
}

namespace {

const char* KindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
        return "button";
    case ControlKind::DefaultButton:
        return "default-button";
    case ControlKind::Edit:
        return "edit";
    case ControlKind::StaticText:
        return "static";
    case ControlKind::Image:
        return "image";
    case ControlKind::GroupBox:
        return "group";
    case ControlKind::ListBox:
        return "listbox";
    case ControlKind::ComboBox:
        return "combo";
    case ControlKind::ListView:
        return "listview";
    }
    return "?";
}

std::string Joined(const std::vector<std::string>& cells) {
    std::string line;
    for (const std::string& cell : cells) {
        if (!line.empty()) line += " | ";
        line += scripted::Escaped(cell);
    }
    return line;
}

} // namespace

std::vector<std::string> ScriptedUi::describeWindow(WindowId id) const {
    std::vector<std::string> lines;
    const ShownWindow* w = window(id);
    if (w == nullptr) return lines;
    lines.push_back("window " + label(id) + (w->alive ? "" : " (destroyed)"));
    if (!w->menu.empty()) lines.push_back("  menu " + MenuItemsLine(w->menu));
    for (const ShownControl& c : w->controls) {
        std::string line = "  " + std::string(KindName(c.kind)) + " " + std::to_string(c.id);
        if (!c.visible) line += " hidden";
        if (!c.enabled) line += " disabled";
        if (c.id == w->focus) line += " focused";
        if (c.kind == ControlKind::Image) {
            line += " image " + c.image;
        } else if (c.kind != ControlKind::ListView && c.kind != ControlKind::ListBox) {
            line += " \"" + scripted::Escaped(c.text) + "\"";
        }
        lines.push_back(line);
        if (c.kind == ControlKind::ListView) {
            std::vector<std::string> titles;
            for (const ListColumn& col : c.columns) titles.push_back(col.title);
            lines.push_back("    columns " + Joined(titles));
            for (std::size_t r = 0; r < c.rows.size(); ++r) {
                const bool sel = static_cast<int>(r) == c.selectedRow;
                lines.push_back("    " + std::string(sel ? "*" : " ") + "row " + std::to_string(r) +
                                ": " + Joined(c.rows[r]));
            }
        }
        for (std::size_t i = 0; i < c.items.size(); ++i) {
            const bool cur = static_cast<int>(i) == c.currentItem;
            lines.push_back("    " + std::string(cur ? "*" : " ") + "item " + std::to_string(i) +
                            ": " + scripted::Escaped(c.items[i]));
        }
    }
    return lines;
}

void ScriptedUi::recordSnapshot(WindowId id) {
    for (std::string& line : describeWindow(id)) record(std::move(line));
}

} // namespace vodarir::platform
