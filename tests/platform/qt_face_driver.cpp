// The conformance table's Qt face, on the offscreen platform: the user's acts are key, mouse and
// clipboard events delivered to the face's widgets, as a keyboard and a mouse deliver them.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include "platform/face_conformance.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/qt_ui.h"

namespace vodarir::platform::conformance {
namespace {

struct QtKey {
    VirtualKey vk;
    Qt::Key key;
    const char* text;
};
constexpr QtKey kKeys[] = {
    {vk::Back, Qt::Key_Backspace, "\b"},  {vk::Delete, Qt::Key_Delete, ""},
    {vk::Tab, Qt::Key_Tab, "\t"},         {vk::Return, Qt::Key_Return, "\r"},
    {vk::Escape, Qt::Key_Escape, "\x1B"}, {vk::Left, Qt::Key_Left, ""},
    {vk::Right, Qt::Key_Right, ""},       {vk::Home, Qt::Key_Home, ""},
    {vk::End, Qt::Key_End, ""},
};

// The key a byte's character comes from: letters, digits and the blank have their own; the rest
// arrive as a character on no particular key, as from an input method.
Qt::Key KeyOfCharacter(unsigned char ch) {
    if (ch >= 'a' && ch <= 'z') return static_cast<Qt::Key>(Qt::Key_A + (ch - 'a'));
    if (ch >= 'A' && ch <= 'Z') return static_cast<Qt::Key>(Qt::Key_A + (ch - 'A'));
    if (ch >= '0' && ch <= '9') return static_cast<Qt::Key>(Qt::Key_0 + (ch - '0'));
    if (ch == ' ') return Qt::Key_Space;
    return Qt::Key_unknown;
}

class QtDriver final : public FaceDriver {
public:
    Ui& ui() override { return ui_; }

    WindowId openWindow(const WindowSpec& spec, WindowEvents* events) override {
        const WindowId w = ui_.createWindow(spec, events);
        if (w == kNoWindow) return w;
        ui_.activateWindow(w);
        if (!QTest::qWaitForWindowActive(ui_.windowWidget(w))) return kNoWindow;
        return w;
    }
    void type(WindowId window, ControlId id, std::string_view bytes) override {
        QWidget* target = focused(window, id);
        for (std::size_t i = 0; i < bytes.size() && target != nullptr; ++i) {
            const auto ch = static_cast<unsigned char>(bytes[i]);
            if (ch == '\r' || ch == '\n') {
                if (ch == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
                press(target, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            } else {
                press(target, KeyOfCharacter(ch), Qt::NoModifier,
                      QString(QChar(qtface::Cp1252ToUnicode(ch))));
            }
            target = ui_.controlWidget(window, id);
        }
    }
    void key(WindowId window, ControlId id, VirtualKey key, Modifiers mods) override {
        QWidget* target = focused(window, id);
        if (target == nullptr) return;
        for (const QtKey& k : kKeys) {
            if (k.vk != key) continue;
            Qt::KeyboardModifiers held = Qt::NoModifier;
            if (mods & kModShift) held |= Qt::ShiftModifier;
            if (mods & kModControl) held |= Qt::ControlModifier;
            // Shift+Tab arrives as its own key, as the keyboard sends it.
            const bool backtab = key == vk::Tab && (mods & kModShift) != 0;
            press(target, backtab ? Qt::Key_Backtab : k.key, held, QString::fromLatin1(k.text));
            return;
        }
        if (key >= 'A' && key <= 'Z') {
            // A letter: with Ctrl held the keyboard sends its control character.
            Qt::KeyboardModifiers held = Qt::NoModifier;
            if (mods & kModShift) held |= Qt::ShiftModifier;
            if (mods & kModControl) held |= Qt::ControlModifier;
            const QChar ch = (mods & kModControl) != 0 ? QChar(key - 'A' + 1)
                             : (mods & kModShift) != 0 ? QChar(key)
                                                       : QChar(key - 'A' + 'a');
            press(target, static_cast<Qt::Key>(Qt::Key_A + (key - 'A')), held, QString(ch));
            return;
        }
        ADD_FAILURE() << "the Qt driver has no key for virtual key " << key;
    }
    void paste(WindowId window, ControlId id, std::string_view bytes) override {
        QWidget* target = focused(window, id);
        if (target == nullptr) return;
        QApplication::clipboard()->setText(qtface::FromCp1252(bytes));
        press(target, Qt::Key_V, Qt::ControlModifier, QString(QChar(0x16)));
    }
    void click(WindowId window, ControlId id) override {
        QWidget* widget = ui_.controlWidget(window, id);
        if (widget == nullptr) return;
        auto* area = qobject_cast<QAbstractScrollArea*>(widget);
        QTest::mouseClick(area != nullptr ? area->viewport() : widget, Qt::LeftButton);
        settle();
    }
    int runModal(WindowId window, std::function<void()> inside) override {
        QTimer::singleShot(0, [inside = std::move(inside)] { inside(); });
        return ui_.runModal(window);
    }
    void settle() override {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

private:
    // The control's widget with the keyboard focus, as the user's click or Tab gives it.
    QWidget* focused(WindowId window, ControlId id) {
        if (ui_.focusedControl(window) != id) {
            ui_.setFocus(window, id);
            settle();
        }
        return ui_.controlWidget(window, id);
    }
    void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(target, &up);
    }

    QtUi ui_;
};

} // namespace

std::vector<FaceMaker> FacesUnderTest() {
    return {{"Qt", [] { return std::unique_ptr<FaceDriver>(new QtDriver()); }}};
}

} // namespace vodarir::platform::conformance
