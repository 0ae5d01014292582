// The Qt face's windows, menus, modal loops, message boxes, common dialogs, screen and fonts.
#include "platform/qt/qt_ui.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "platform/qt/cp1252.h"
#include "platform/qt/qt_internal.h"

namespace vodarir::platform {

using qtface::FromCp1252;
using qtface::ToCp1252;

namespace {

// Font weights and stretches Qt accepts.
constexpr int kMinWeight = 1;
constexpr int kMaxWeight = 1000;
constexpr int kMinStretch = 1;
constexpr int kMaxStretch = 4000;
constexpr int kFullStretch = 100;

QWidget* TopOf(const QtUi::Impl& d, WindowId id) {
    const qtface::Window* w = d.window(id);
    return w != nullptr ? w->top.data() : nullptr;
}

// Adds a menu description to a menu bar or a menu; `made` hears of every command's action.
template <typename Target, typename Made>
void AddItems(Target* target, const Menu& items, const Made& made) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItem::Kind::Separator:
            target->addSeparator();
            break;
        case MenuItem::Kind::Popup: {
            QMenu* sub = target->addMenu(FromCp1252(item.text));
            sub->setEnabled(item.enabled);
            AddItems(sub, item.items, made);
            break;
        }
        case MenuItem::Kind::Command: {
            QAction* action = target->addAction(FromCp1252(item.text));
            action->setData(item.command);
            action->setEnabled(item.enabled);
            action->setCheckable(item.checked);
            action->setChecked(item.checked);
            made(action, item.command);
            break;
        }
        }
    }
}

QAction* FindAction(QMenuBar* bar, CommandId command) {
    if (bar == nullptr) return nullptr;
    for (QAction* a : bar->findChildren<QAction*>()) {
        if (a->menu() == nullptr && !a->isSeparator() && a->data().isValid() &&
            a->data().toInt() == command) {
            return a;
        }
    }
    return nullptr;
}

MenuItem* FindItem(Menu& menu, CommandId command) {
    for (MenuItem& item : menu) {
        if (item.kind == MenuItem::Kind::Command && item.command == command) return &item;
        if (item.kind == MenuItem::Kind::Popup) {
            if (MenuItem* found = FindItem(item.items, command)) return found;
        }
    }
    return nullptr;
}

// A path the core can hold: a name with characters outside the code page is refused, as it
// could not be opened again under the bytes the core would keep.
bool Representable(const QString& path) {
    int lost = 0;
    ToCp1252(path, &lost);
    return lost == 0;
}

void WarnUnrepresentable(QWidget* parent) {
    QMessageBox::warning(parent, QString(),
                         QStringLiteral("This name has characters the program cannot keep. "
                                        "Please choose another."));
}

// "*.DAT" also finds "*.dat": applications move between systems that ignore case and ours.
QString PatternsOf(const std::string& pattern) {
    QStringList out;
    for (const QString& p : FromCp1252(pattern).split(u';', Qt::SkipEmptyParts)) {
        for (const QString& v : {p.trimmed(), p.trimmed().toLower(), p.trimmed().toUpper()}) {
            if (!out.contains(v)) out << v;
        }
    }
    return out.join(u' ');
}

} // namespace

// ---- Impl lookups ------------------------------------------------------------------------------

qtface::Window* QtUi::Impl::window(WindowId id) const {
    const auto it = windows.find(id);
    return it != windows.end() ? it->second.get() : nullptr;
}

qtface::Control* QtUi::Impl::control(WindowId id, ControlId c) const {
    qtface::Window* w = window(id);
    if (w == nullptr || c == kNoControl || c == kAnonymousControl) return nullptr;
    for (qtface::Control& each : w->controls) {
        if (each.id == c) return &each;
    }
    return nullptr;
}

QFont QtUi::Impl::font(FontId id) const {
    if (id == kUiFont) return QApplication::font();
    if (id == kFixedFont) return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const auto it = fonts.find(id);
    return it != fonts.end() ? it->second : QApplication::font();
}

bool QtUi::Impl::locate(QObject* widget, WindowId& win, ControlId& ctl) const {
    const QVariant w = widget->property(qtface::kWindowProperty);
    if (!w.isValid()) return false;
    win = w.toInt();
    ctl = widget->property(qtface::kControlProperty).toInt();
    return window(win) != nullptr;
}

void QtUi::Impl::endFrames(WindowId id) {
    for (ModalFrame& f : frames) {
        if (f.window == id && !f.ended) {
            f.ended = true;
            f.loop->exit();
        }
    }
}

// ---- Construction ------------------------------------------------------------------------------

QtUi::QtUi() : d_(std::make_unique<Impl>()) { d_->face = this; }

QtUi::~QtUi() {
    // The core's listeners may be gone already: the widgets go without telling anyone.
    for (auto& [id, w] : d_->windows) {
        w->events = nullptr;
        if (w->top != nullptr && w->top->parentWidget() == nullptr) delete w->top.data();
    }
}

void QtUi::addImage(const std::string& name, const QPixmap& picture) { d_->images[name] = picture; }

QWidget* QtUi::windowWidget(WindowId window) const { return TopOf(*d_, window); }

QWidget* QtUi::controlWidget(WindowId window, ControlId id) const {
    const qtface::Control* c = d_->control(window, id);
    return c != nullptr ? c->widget.data() : nullptr;
}

// ---- Message boxes and common dialogs ----------------------------------------------------------

BoxAnswer QtUi::messageBox(WindowId owner, std::string_view text, std::string_view caption,
                           BoxButtons buttons, BoxIcon icon) {
    static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                                   QMessageBox::Warning, QMessageBox::Critical};
    static constexpr QMessageBox::StandardButtons kButtons[] = {
        QMessageBox::Ok, QMessageBox::Ok | QMessageBox::Cancel,
        QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Yes | QMessageBox::No,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel};
    QMessageBox box(kIcons[static_cast<int>(icon)], FromCp1252(caption), FromCp1252(text),
                    kButtons[static_cast<int>(buttons)], TopOf(*d_, owner));
    switch (box.exec()) {
    case QMessageBox::Ok:
        return BoxAnswer::Ok;
    case QMessageBox::Cancel:
        return BoxAnswer::Cancel;
    case QMessageBox::Retry:
        return BoxAnswer::Retry;
    case QMessageBox::Yes:
        return BoxAnswer::Yes;
    case QMessageBox::No:
        return BoxAnswer::No;
    default:
        return BoxAnswer::Failed;
    }
}

std::string QtUi::chooseFile(WindowId owner, const FileDialogSpec& spec) {
    QWidget* parent = TopOf(*d_, owner);
    QFileDialog dialog(parent, FromCp1252(spec.title));
    const bool save = spec.mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const FileFilter& f : spec.filters) {
        filters << FromCp1252(f.description) + QStringLiteral(" (") + PatternsOf(f.pattern) +
                       QStringLiteral(")");
    }
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!spec.defaultExtension.empty()) dialog.setDefaultSuffix(FromCp1252(spec.defaultExtension));
    dialog.setDirectory(spec.initialFolder.empty() ? QDir::currentPath()
                                                   : FromCp1252(spec.initialFolder));
    const QString initial = FromCp1252(spec.initialName);
    if (!initial.isEmpty() && !initial.contains(u'*') && !initial.contains(u'?')) {
        dialog.selectFile(initial);
    }
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString path = QDir::toNativeSeparators(dialog.selectedFiles().first());
        if (Representable(path)) return ToCp1252(path);
        WarnUnrepresentable(parent);
    }
    return {};
}

std::string QtUi::chooseFolder(WindowId owner, std::string_view title,
                               std::string_view startFolder) {
    QWidget* parent = TopOf(*d_, owner);
    QString start = FromCp1252(startFolder);
    for (;;) {
        const QString folder = QFileDialog::getExistingDirectory(parent, FromCp1252(title), start,
                                                                 QFileDialog::ShowDirsOnly);
        if (folder.isEmpty()) return {};
        if (Representable(folder)) return ToCp1252(QDir::toNativeSeparators(folder));
        WarnUnrepresentable(parent);
        start = folder;
    }
}

CommandId QtUi::popupMenu(WindowId owner, const Menu& menu, Point at, PopupAnchor anchor) {
    QMenu popup(TopOf(*d_, owner));
    AddItems(&popup, menu, [](QAction*, CommandId) {});
    QPoint pos(at.x, at.y);
    if (anchor == PopupAnchor::BottomLeft) pos.ry() -= popup.sizeHint().height();
    QAction* chosen = popup.exec(pos);
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

// ---- Windows -----------------------------------------------------------------------------------

WindowId QtUi::createWindow(const WindowSpec& spec, WindowEvents* events) {
    QWidget* parent = nullptr;
    if (spec.owner != kNoWindow) {
        parent = TopOf(*d_, spec.owner);
        if (parent == nullptr) return kNoWindow;
    }
    Qt::WindowFlags flags = (parent != nullptr ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint;
    if (spec.style & kWinCaption) flags |= Qt::WindowTitleHint;
    if (spec.style & kWinSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (spec.style & kWinMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    if (!(spec.style & kWinCaption)) flags |= Qt::FramelessWindowHint;

    auto w = std::make_unique<qtface::Window>();
    w->id = d_->nextWindow++;
    w->owner = spec.owner;
    w->style = spec.style;
    w->name = std::string(spec.name);
    w->events = events;
    w->top = new qtface::TopWidget(d_.get(), w->id, parent, flags);
    w->top->setWindowTitle(FromCp1252(spec.title));
    w->top->setFont(d_->font(spec.font));
    auto* layout = new QVBoxLayout(w->top);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    w->client = new QWidget(w->top);
    w->client->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(w->client);
    d_->tag(w->top, w->id, kNoControl);
    d_->tag(w->client, w->id, kNoControl);
    const WindowId id = w->id;
    d_->windows[id] = std::move(w);
    setWindowRect(id, spec.frame);
    if (spec.style & kWinVisible) showWindow(id, true);
    return id;
}

bool QtUi::destroyWindow(WindowId id) {
    if (d_->window(id) == nullptr) return false;
    std::vector<WindowId> owned;
    for (const auto& [other, w] : d_->windows) {
        if (w->owner == id) owned.push_back(other);
    }
    for (WindowId other : owned) destroyWindow(other);
    if (qtface::Window* w = d_->window(id); w != nullptr && w->events != nullptr) {
        w->events->onDestroy();
    }
    const auto it = d_->windows.find(id);
    if (it == d_->windows.end()) return true; // the handler destroyed it already
    std::unique_ptr<qtface::Window> gone = std::move(it->second);
    d_->windows.erase(it);
    d_->endFrames(id);
    if (gone->top != nullptr) {
        ++d_->quiet;
        gone->top->hide();
        --d_->quiet;
        gone->top->deleteLater();
    }
    return true;
}

bool QtUi::windowExists(WindowId id) const { return d_->window(id) != nullptr; }

bool QtUi::setWindowEvents(WindowId id, WindowEvents* events) {
    qtface::Window* w = d_->window(id);
    if (w == nullptr) return false;
    w->events = events;
    return true;
}

bool QtUi::setTitle(WindowId id, std::string_view title) {
    QWidget* top = TopOf(*d_, id);
    if (top == nullptr) return false;
    top->setWindowTitle(FromCp1252(title));
    return true;
}

std::string QtUi::title(WindowId id) const {
    QWidget* top = TopOf(*d_, id);
    return top != nullptr ? ToCp1252(top->windowTitle()) : std::string();
}

bool QtUi::setWindowRect(WindowId id, Rect frame) {
    qtface::Window* w = d_->window(id);
    if (w == nullptr) return false;
    w->frame = frame;
    const Margins m = frameMargins(w->style, false);
    const QSize inner(std::max(1, frame.width - m.left - m.right),
                      std::max(1, frame.height - m.top - m.bottom));
    if (w->style & kWinResizable) {
        w->top->resize(inner);
    } else {
        w->top->setFixedSize(inner);
    }
    w->top->move(frame.x, frame.y);
    w->top->layout()->activate();
    return true;
}

Rect QtUi::windowRect(WindowId id) const {
    const qtface::Window* w = d_->window(id);
    if (w == nullptr) return {};
    if (!w->top->isVisible()) return w->frame;
    const QRect r = w->top->frameGeometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

Size QtUi::clientSize(WindowId id) const {
    const qtface::Window* w = d_->window(id);
    if (w == nullptr) return {};
    w->top->layout()->activate();
    return {w->client->width(), w->client->height()};
}

bool QtUi::showWindow(WindowId id, bool visible) {
    QWidget* top = TopOf(*d_, id);
    if (top == nullptr) return false;
    top->setVisible(visible);
    return true;
}

bool QtUi::enableWindow(WindowId id, bool enabled) {
    QWidget* top = TopOf(*d_, id);
    if (top == nullptr) return false;
    top->setEnabled(enabled);
    return true;
}

bool QtUi::isWindowEnabled(WindowId id) const {
    QWidget* top = TopOf(*d_, id);
    return top != nullptr && top->isEnabled();
}

bool QtUi::activateWindow(WindowId id) {
    QWidget* top = TopOf(*d_, id);
    if (top == nullptr) return false;
    top->show();
    top->raise();
    top->activateWindow();
    return true;
}

bool QtUi::setMenu(WindowId id, const Menu& menu) {
    qtface::Window* w = d_->window(id);
    if (w == nullptr) return false;
    auto* layout = static_cast<QVBoxLayout*>(w->top->layout());
    if (menu.empty()) {
        if (w->menuBar != nullptr) {
            layout->setMenuBar(nullptr);
            w->menuBar->deleteLater();
            w->menuBar = nullptr;
        }
        return true;
    }
    if (w->menuBar == nullptr) {
        w->menuBar = new QMenuBar(w->top);
        layout->setMenuBar(w->menuBar);
        w->menuBar->show(); // a child made after its window was shown starts hidden
    }
    w->menuBar->clear();
    Impl* d = d_.get();
    AddItems(w->menuBar, menu, [d, id, bar = w->menuBar](QAction* action, CommandId command) {
        QObject::connect(action, &QAction::triggered, bar,
                         [d, id, command] { d->command(id, command, notify::BnClicked); });
    });
    layout->activate();
    return true;
}

bool QtUi::enableMenuItem(WindowId id, CommandId command, bool enabled) {
    const qtface::Window* w = d_->window(id);
    QAction* action = w != nullptr ? FindAction(w->menuBar, command) : nullptr;
    if (action == nullptr) return false;
    action->setEnabled(enabled);
    return true;
}

bool QtUi::checkMenuItem(WindowId id, CommandId command, bool checked) {
    const qtface::Window* w = d_->window(id);
    QAction* action = w != nullptr ? FindAction(w->menuBar, command) : nullptr;
    if (action == nullptr) return false;
    action->setCheckable(true);
    action->setChecked(checked);
    return true;
}

// ---- Modal loops and posted messages -----------------------------------------------------------

int QtUi::runModal(WindowId id) {
    QPointer<QWidget> top;
    if (id != kNoWindow) {
        top = TopOf(*d_, id);
        if (top == nullptr) return kModalAbandoned;
    }
    QEventLoop loop;
    d_->frames.push_back({id, &loop});
    const std::size_t depth = d_->frames.size();
    if (top != nullptr) {
        // Modality is taken when a window is shown: a visible window is shown again.
        if (top->isVisible()) top->hide();
        top->setWindowModality(Qt::ApplicationModal);
        top->show();
        top->raise();
        top->activateWindow();
    }
    if (!d_->frames[depth - 1].ended) loop.exec(QEventLoop::DialogExec);
    const Impl::ModalFrame frame = d_->frames[depth - 1];
    d_->frames.erase(d_->frames.begin() + static_cast<std::ptrdiff_t>(depth - 1));
    // As a dialog's end hides it; the core destroys it or shows it again.
    if (top != nullptr && d_->window(id) != nullptr) {
        top->hide();
        top->setWindowModality(Qt::NonModal);
    }
    return frame.result;
}

bool QtUi::endModal(WindowId id, int result) {
    for (auto it = d_->frames.rbegin(); it != d_->frames.rend(); ++it) {
        if (it->window == id && !it->ended) {
            it->ended = true;
            it->result = result;
            it->loop->exit();
            return true;
        }
    }
    return false;
}

bool QtUi::post(WindowId id, int message, int param) {
    QWidget* top = TopOf(*d_, id);
    if (top == nullptr) return false;
    Impl* d = d_.get();
    QMetaObject::invokeMethod(
        top,
        [d, id, message, param] {
            qtface::Window* w = d->window(id);
            if (w != nullptr && w->events != nullptr) w->events->onPosted(message, param);
        },
        Qt::QueuedConnection);
    return true;
}

void QtUi::pumpPending() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// ---- Scroll bars -------------------------------------------------------------------------------

bool QtUi::setScrollBar(WindowId id, ScrollBar which, const ScrollInfo& info) {
    qtface::Window* w = d_->window(id);
    if (w == nullptr) return false;
    const int i = which == ScrollBar::Horizontal ? 0 : 1;
    QScrollBar*& bar = w->bars[i];
    if (bar == nullptr) {
        bar = new QScrollBar(i == 0 ? Qt::Horizontal : Qt::Vertical, w->client);
        Impl* d = d_.get();
        QObject::connect(bar, &QAbstractSlider::actionTriggered, bar,
                         [d, id, which](int action) { d->scrolled(id, which, action); });
    }
    ScrollInfo& kept = w->scroll[i];
    kept = info;
    kept.pos = std::clamp(info.pos, info.min, std::max(info.min, info.max));
    ++d_->quiet;
    // A page shows `page` positions at once: the last position is max - page + 1.
    bar->setRange(info.min, std::max(info.min, info.max - std::max(info.page - 1, 0)));
    bar->setPageStep(std::max(info.page, 1));
    bar->setValue(kept.pos);
    bar->setVisible(info.visible);
    --d_->quiet;
    d_->layoutScrollBars(*w);
    return true;
}

ScrollInfo QtUi::scrollBar(WindowId id, ScrollBar which) const {
    const qtface::Window* w = d_->window(id);
    if (w == nullptr) return {};
    return w->scroll[which == ScrollBar::Horizontal ? 0 : 1];
}

bool QtUi::scrollContents(WindowId id, int dx, int dy) {
    qtface::Window* w = d_->window(id);
    if (w == nullptr) return false;
    for (qtface::Control& c : w->controls) {
        if (c.widget != nullptr) c.widget->move(c.widget->pos() + QPoint(dx, dy));
    }
    return true;
}

// ---- The screen and fonts ----------------------------------------------------------------------

Rect QtUi::workArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    const QRect r = screen->availableGeometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

Point QtUi::cursorPos() const {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

Margins QtUi::frameMargins(WindowStyle style, bool withMenu) const {
    Margins m;
    if (style & kWinCaption) {
        // A frame the window system has drawn is the best guess; before any, the style's.
        bool seen = false;
        for (const auto& [id, w] : d_->windows) {
            const QWindow* handle = w->top != nullptr ? w->top->windowHandle() : nullptr;
            if (handle != nullptr && w->top->isVisible() && (w->style & kWinCaption)) {
                const QMargins f = handle->frameMargins();
                m = {f.left(), f.top(), f.right(), f.bottom()};
                seen = true;
                break;
            }
        }
        const QString platform = QGuiApplication::platformName();
        if (!seen && platform != QLatin1String("offscreen") &&
            platform != QLatin1String("minimal")) {
            const QStyle* s = QApplication::style();
            const int edge = s->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
            m = {edge, edge + s->pixelMetric(QStyle::PM_TitleBarHeight), edge, edge};
        }
    }
    if (withMenu) {
        static int menuHeight = -1;
        if (menuHeight < 0) {
            QMenuBar probe;
            probe.addMenu(QStringLiteral("File"));
            menuHeight = probe.sizeHint().height();
        }
        m.top += menuHeight;
    }
    return m;
}

FontId QtUi::createFont(const FontSpec& spec) {
    if (spec.height <= 0) return kNoFont;
    QFont f(FromCp1252(spec.face));
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(spec.height);
    f.setWeight(static_cast<QFont::Weight>(std::clamp(spec.weight, kMinWeight, kMaxWeight)));
    if (spec.width > 0) {
        const int natural = QFontMetrics(f).averageCharWidth();
        if (natural > 0) {
            f.setStretch(std::clamp(spec.width * kFullStretch / natural, kMinStretch, kMaxStretch));
        }
    }
    const FontId id = d_->nextFont++;
    d_->fonts[id] = f;
    return id;
}

bool QtUi::destroyFont(FontId font) { return d_->fonts.erase(font) != 0; }

FontMetrics QtUi::fontMetrics(FontId font) const {
    if (font != kUiFont && font != kFixedFont && d_->fonts.count(font) == 0) return {};
    const QFontMetrics fm(d_->font(font));
    return {fm.averageCharWidth(), fm.maxWidth(), fm.height(), fm.ascent(), fm.descent()};
}

} // namespace vodarir::platform
