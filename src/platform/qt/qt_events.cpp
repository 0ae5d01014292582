// The Qt face's events: Qt's key, focus, mouse, close and scroll events turned into the core's
// WindowEvents calls, in the order the scripted face raises them.
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

#include "platform/qt/cp1252.h"
#include "platform/qt/qt_internal.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_multiline_edit.h"

namespace vodarir::platform {

using qtface::Control;

namespace {

bool IsMultiLine(const Control* c) {
    return c != nullptr && qobject_cast<QPlainTextEdit*>(c->widget.data()) != nullptr;
}

bool IsButton(const Control* c) {
    return c != nullptr &&
           (c->kind == ControlKind::Button || c->kind == ControlKind::DefaultButton);
}

} // namespace

// ---- To the core -------------------------------------------------------------------------------

void QtUi::Impl::command(WindowId win, ControlId id, int notification) {
    if (quiet > 0) return;
    qtface::Window* w = window(win);
    if (w != nullptr && w->events != nullptr) w->events->onCommand(id, notification);
}

void QtUi::Impl::listNotify(WindowId win, ControlId id, int code, int row) {
    if (quiet > 0) return;
    qtface::Window* w = window(win);
    if (w != nullptr && w->events != nullptr) w->events->onListNotify(id, code, row);
}

void QtUi::Impl::focusMoved(WindowId win, ControlId to) {
    qtface::Window* w = window(win);
    if (w == nullptr || w->focus == to) return;
    const ControlId from = w->focus;
    if (from != kNoControl) {
        // While the old control hears of its loss nothing has the focus; a handler that puts
        // it somewhere has the last word.
        w->focus = kNoControl;
        if (w->events != nullptr) w->events->onFocus(from, false);
        w = window(win);
        if (w == nullptr || w->focus != kNoControl) return;
        if (to != kNoControl && control(win, to) == nullptr) return;
    }
    w->focus = to;
    if (to != kNoControl && w->events != nullptr) w->events->onFocus(to, true);
}

bool QtUi::Impl::keyPress(WindowId win, ControlId ctl, QKeyEvent* event) {
    const bool keypad = (event->modifiers() & Qt::KeypadModifier) != 0;
    const VirtualKey key = qtface::VirtualKeyOf(event->key(), keypad);
    Modifiers mods = qtface::ModifiersOf(event->modifiers());
    if (event->key() == Qt::Key_Backtab) mods |= kModShift;

    qtface::Window* w = window(win);
    if (w->events != nullptr && w->events->onKeyDown(ctl, key, mods)) return true;
    // A handler that destroyed the window or the control has taken the key with it.
    w = window(win);
    if (w == nullptr || (ctl != kNoControl && control(win, ctl) == nullptr)) return true;

    const QString text = event->text();
    if (text.size() == 1) {
        const int byte = qtface::UnicodeToCp1252(text[0].unicode());
        if (byte >= 0 && w->events != nullptr &&
            w->events->onChar(ctl, static_cast<unsigned char>(byte))) {
            return true;
        }
        w = window(win);
        if (w == nullptr || (ctl != kNoControl && control(win, ctl) == nullptr)) return true;
    }
    if (dialogKey(*w, ctl, key)) return true;
    // The edits apply their own limits (the multi-line edit to keys, pastes and drops).
    return typeUntypable(control(win, ctl), text, event->modifiers());
}

// Qt's edits type no control character, and five bytes of the code page (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) are C1 controls here. The core's edits take every byte but its own controls (below
// 0x20, and 0x7F) from the keyboard, as the scripted face does: the face types those itself.
// True when it did (the widget must not see the key).
bool QtUi::Impl::typeUntypable(const Control* c, const QString& text, Qt::KeyboardModifiers mods) {
    if (c == nullptr || c->kind != ControlKind::Edit || text.size() != 1 ||
        (mods & (Qt::ControlModifier | Qt::AltModifier)) != 0) {
        return false;
    }
    const QChar ch = text[0];
    const int byte = qtface::UnicodeToCp1252(ch.unicode());
    if (byte < 0x20 || byte == 0x7F || ch.isPrint() || ch.category() == QChar::Other_Format) {
        return false; // not a byte the user types, or one Qt types itself
    }
    if (auto* line = qobject_cast<QLineEdit*>(c->widget.data())) {
        if (!line->isReadOnly()) line->insert(text); // through the edit's rules, as typing
    } else if (IsMultiLine(c)) {
        static_cast<qtface::MultiLineEdit*>(c->widget.data())->typeText(text);
    }
    return true;
}

// The keys the window itself handles in a dialog: Enter and Esc, and Ctrl+Tab typing a tab into
// a multi-line edit (plain Tab moves on there). True when the key was used.
bool QtUi::Impl::dialogKey(qtface::Window& w, ControlId ctl, VirtualKey key) {
    if (!(w.style & kWinDialogKeys)) return false;
    const Qt::KeyboardModifiers held =
        QApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier);
    const Control* c = control(w.id, ctl);
    if (key == vk::Tab && held == Qt::ControlModifier && IsMultiLine(c) &&
        !(c->style & kReadOnly)) {
        static_cast<qtface::MultiLineEdit*>(c->widget.data())->typeText(QStringLiteral("\t"));
        return true;
    }
    if (held != Qt::NoModifier) return false;
    if (key == vk::Escape) {
        command(w.id, kIdCancel, notify::BnClicked);
        return true;
    }
    if (key != vk::Return || (IsMultiLine(c) && (c->style & kWantReturn))) return false;
    ControlId id = kIdOk;
    if (IsButton(c)) {
        id = c->id;
    } else {
        for (const Control& each : w.controls) {
            if (each.kind == ControlKind::DefaultButton && each.widget != nullptr &&
                !each.widget->isHidden() && each.widget->isEnabled()) {
                id = each.id;
                break;
            }
        }
    }
    command(w.id, id, notify::BnClicked);
    return true;
}

bool QtUi::Impl::keyRelease(WindowId win, ControlId ctl, QKeyEvent* event) {
    // One key up per press, however long the key was held.
    if (event->isAutoRepeat()) return false;
    const bool keypad = (event->modifiers() & Qt::KeypadModifier) != 0;
    const VirtualKey key = qtface::VirtualKeyOf(event->key(), keypad);
    Modifiers mods = qtface::ModifiersOf(event->modifiers());
    if (event->key() == Qt::Key_Backtab) mods |= kModShift;
    qtface::Window* w = window(win);
    if (w->events != nullptr && w->events->onKeyUp(ctl, key, mods)) return true;
    return window(win) == nullptr || (ctl != kNoControl && control(win, ctl) == nullptr);
}

void QtUi::Impl::mouseOnList(WindowId win, ControlId ctl, QEvent* event) {
    const Control* c = control(win, ctl);
    auto* view = c != nullptr ? qobject_cast<QTreeWidget*>(c->widget.data()) : nullptr;
    if (view == nullptr) return;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex at = view->indexAt(mouse->position().toPoint());
    const int row = at.isValid() ? at.row() : -1;
    // The press before has selected the row, as a list view selects on any button.
    if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
        listNotify(win, ctl, notify::NmDblClk, row);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        if (mouse->button() == Qt::RightButton) listNotify(win, ctl, notify::NmRClick, row);
        if (mouse->button() == Qt::LeftButton) listNotify(win, ctl, notify::NmClick, row);
    }
}

bool QtUi::Impl::closeRequested(WindowId win) {
    qtface::Window* w = window(win);
    if (w == nullptr) return false;
    const bool allowed = w->events == nullptr || w->events->onClose();
    return allowed && window(win) != nullptr;
}

void QtUi::Impl::activated(WindowId win, bool active) {
    qtface::Window* w = window(win);
    if (w != nullptr && w->events != nullptr && quiet == 0) w->events->onActivate(active);
}

void QtUi::Impl::scrolled(WindowId win, ScrollBar which, int action) {
    if (quiet > 0) return;
    qtface::Window* w = window(win);
    const int i = which == ScrollBar::Horizontal ? 0 : 1;
    if (w == nullptr || w->bars[i] == nullptr) return;
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = scroll::LineUp;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = scroll::LineDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = scroll::PageUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = scroll::PageDown;
        break;
    case QAbstractSlider::SliderMove:
        code = scroll::ThumbTrack;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = scroll::Top;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = scroll::Bottom;
        break;
    default:
        return;
    }
    const int position = w->bars[i]->sliderPosition();
    if (w->events != nullptr) w->events->onScroll(which, code, position);
    // The bar shows what the core decided, not where Qt would have moved it.
    w = window(win);
    if (w != nullptr && w->bars[i] != nullptr) {
        ++quiet;
        w->bars[i]->setSliderPosition(w->scroll[i].pos);
        --quiet;
    }
}

void QtUi::Impl::layoutScrollBars(qtface::Window& w) {
    const int extent = w.client->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize size = w.client->size();
    QScrollBar* h = w.bars[0];
    QScrollBar* v = w.bars[1];
    const bool hShown = h != nullptr && !h->isHidden();
    const bool vShown = v != nullptr && !v->isHidden();
    if (vShown) {
        v->setGeometry(size.width() - extent, 0, extent, size.height() - (hShown ? extent : 0));
        v->raise();
    }
    if (hShown) {
        h->setGeometry(0, size.height() - extent, size.width() - (vShown ? extent : 0), extent);
        h->raise();
    }
}

// ---- From Qt -----------------------------------------------------------------------------------

namespace qtface {

bool Router::eventFilter(QObject* watched, QEvent* event) {
    WindowId win = kNoWindow;
    ControlId ctl = kNoControl;
    if (!d_->locate(watched, win, ctl)) return false;
    const Control* c = d_->control(win, ctl);
    const bool onControl = c != nullptr && c->widget == watched;
    const bool onWindow = ctl == kNoControl;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // A key the focused control left unhandled travels up to the window: it was told
        // already. Keys reach the window itself only when nothing inside it has the focus.
        if (onWindow) {
            QWidget* focus = QApplication::focusWidget();
            if (focus != nullptr && focus != watched) return false;
        } else if (!onControl) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        return event->type() == QEvent::KeyPress ? d_->keyPress(win, ctl, key)
                                                 : d_->keyRelease(win, ctl, key);
    }
    case QEvent::FocusIn: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (onControl && reason != Qt::PopupFocusReason && d_->quiet == 0 &&
            QApplication::focusWidget() == watched) {
            d_->focusMoved(win, ctl);
        }
        return false;
    }
    case QEvent::FocusOut: {
        // Focus leaving with the active window, or for a menu, stays where it was.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const Window* w = d_->window(win);
        if (onControl && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            d_->quiet == 0 && w->focus == ctl) {
            d_->focusMoved(win, kNoControl);
        }
        return false;
    }
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        if (!onControl && c != nullptr && c->kind == ControlKind::ListView) {
            d_->mouseOnList(win, ctl, event);
        }
        return false;
    case QEvent::Resize:
        if (onWindow && watched == d_->window(win)->client) {
            d_->layoutScrollBars(*d_->window(win));
        }
        return false;
    default:
        return false;
    }
}

void TopWidget::closeEvent(QCloseEvent* event) {
    // The window goes only through the core: it decides, then the face ends and destroys it.
    event->ignore();
    if (d_->closeRequested(id_)) {
        d_->face->endModal(id_, kIdCancel);
        d_->face->destroyWindow(id_);
    }
}

void TopWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) d_->activated(id_, isActiveWindow());
    QWidget::changeEvent(event);
}

} // namespace qtface

} // namespace vodarir::platform
