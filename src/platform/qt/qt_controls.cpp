// The Qt face's controls: building them from a ControlSpec, their texts, edits, list views and
// list boxes.
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QValidator>

#include <algorithm>
#include <limits>

#include "platform/qt/cp1252.h"
#include "platform/qt/qt_internal.h"
#include "platform/qt/qt_multiline_edit.h"

namespace vodarir::platform {

using qtface::Control;
using qtface::FromCp1252;
using qtface::MultiLineEdit;
using qtface::ToCp1252;

namespace {

// An image control. Its picture is decoded when the control is first painted, not when it is set:
// decoding the idle picture would otherwise hold back the first showing of the main window. It is
// drawn straight from the decoded image, scaled in the drawing, which costs a third of making a
// scaled copy first.
class PictureLabel final : public QLabel {
public:
    explicit PictureLabel(QWidget* parent) : QLabel(parent) {}
    // The picture shows from the next paint on; `decoded` is used as it is, else `resource` is
    // read.
    void setPicture(const QPixmap& decoded, const QString& resource) {
        decoded_ = decoded;
        resource_ = resource;
        image_ = QImage();
        pending_ = true;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        if (pending_) decode();
        if (image_.isNull() || size().isEmpty()) {
            QLabel::paintEvent(event);
            return;
        }
        // The picture fills its control, as a background does: scaled to cover it, keeping its
        // proportions, and centred (what spills over is cut off evenly on both sides).
        const double scale =
            std::max(double(width()) / image_.width(), double(height()) / image_.height());
        const QSizeF seen(width() / scale, height() / scale);
        const QRectF source(
            QPointF((image_.width() - seen.width()) / 2, (image_.height() - seen.height()) / 2),
            seen);
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), image_, source);
    }

private:
    void decode() {
        pending_ = false;
        QImage image = decoded_.isNull() ? QImage(resource_) : decoded_.toImage();
        decoded_ = QPixmap();
        // Drawn scaled, a palette image costs several times a plain one.
        if (!image.isNull()) {
            image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                    : QImage::Format_RGB32);
        }
        image_ = image;
        setPixmap(QPixmap::fromImage(image_)); // what the label holds, for whoever asks it
    }

    QPixmap decoded_;
    QString resource_;
    QImage image_;
    bool pending_ = false;
};

// What the user may leave in a single-line edit: no more characters (bytes) than its limit unless
// the change shrinks a longer text, and, when asked, no characters but digits added. Qt asks
// only about the text a change would leave, so the text before it is kept here (textChanged
// comes after the check). The core's own texts pass unchecked: one refused would leave the edit
// "invalid", and Qt then lets every later change through.
class EditRules : public QValidator {
public:
    EditRules(QLineEdit* edit, bool digitsOnly)
        : QValidator(edit), digits_(digitsOnly), before_(edit->text()) {
        QObject::connect(edit, &QLineEdit::textChanged, this,
                         [this](const QString& text) { before_ = text; });
    }
    void setLimit(int limit) { limit_ = limit; }
    void setCoreText(QLineEdit* edit, const QString& text) {
        trusted_ = true;
        edit->setText(text);
        trusted_ = false;
    }

    State validate(QString& input, int&) const override {
        if (trusted_) return Acceptable;
        if (digits_ && NonDigits(input) > NonDigits(before_)) return Invalid;
        if (limit_ > 0 && input.size() > limit_ && input.size() > before_.size()) return Invalid;
        return Acceptable;
    }

private:
    static qsizetype NonDigits(const QString& text) {
        return std::count_if(text.begin(), text.end(),
                             [](QChar c) { return c < u'0' || c > u'9'; });
    }

    bool digits_;
    QString before_;
    int limit_ = 0;
    bool trusted_ = false;
};

EditRules* RulesOf(QLineEdit* edit) {
    return dynamic_cast<EditRules*>(const_cast<QValidator*>(edit->validator()));
}

Qt::Alignment AlignmentOf(ControlStyle style) {
    if (style & kAlignRight) return Qt::AlignRight;
    if (style & kAlignCentre) return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

Qt::Alignment AlignmentOf(Align align) {
    switch (align) {
    case Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Centre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

template <typename W> W* As(const Control* c) {
    return c != nullptr ? qobject_cast<W*>(c->widget.data()) : nullptr;
}

// Every multi-line edit of this face is a MultiLineEdit.
MultiLineEdit* AsMultiLine(const Control* c) {
    return static_cast<MultiLineEdit*>(As<QPlainTextEdit>(c));
}

QWidget* MakeEdit(QWidget* parent, const ControlSpec& spec, bool dialog) {
    if (spec.style & kMultiLine) {
        auto* e = new MultiLineEdit(parent);
        e->setBytes(spec.text);
        e->setLineWrapMode(QPlainTextEdit::NoWrap);
        e->setReadOnly((spec.style & kReadOnly) != 0);
        const auto bars =
            (spec.style & kScrollBars) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
        e->setHorizontalScrollBarPolicy(bars);
        e->setVerticalScrollBarPolicy(bars);
        if (!(spec.style & kBorder)) e->setFrameShape(QFrame::NoFrame);
        // In a dialog Tab moves on (Ctrl+Tab types a tab, see the router).
        e->setTabChangesFocus(dialog);
        return e;
    }
    auto* e = new QLineEdit(parent);
    // Qt's own cap (32767 characters) would cut the core's texts and stop typing short of the
    // edit's limit: the only limit is the core's (setEditLimit).
    e->setMaxLength(std::numeric_limits<int>::max());
    e->setText(FromCp1252(spec.text));
    e->setEchoMode((spec.style & kPassword) ? QLineEdit::Password : QLineEdit::Normal);
    e->setAlignment(AlignmentOf(spec.style) | Qt::AlignVCenter);
    e->setReadOnly((spec.style & kReadOnly) != 0);
    e->setFrame((spec.style & kBorder) != 0);
    e->setValidator(new EditRules(e, (spec.style & kDigitsOnly) != 0));
    e->setCursorPosition(0);
    return e;
}

QWidget* MakeListView(QWidget* parent, ControlStyle style) {
    auto* t = new QTreeWidget(parent);
    t->setRootIsDecorated(false);
    t->setItemsExpandable(false);
    t->setUniformRowHeights(true);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setAllColumnsShowFocus((style & kFullRowSelect) != 0);
    t->header()->setSectionsMovable((style & kHeaderDragDrop) != 0);
    t->header()->setStretchLastSection(false);
    t->setColumnCount(1);
    t->setHeaderLabels({QString()});
    if (style & kGridLines) {
        // A style sheet on the items replaces their selected look too: it is said again, or a
        // selected row's text turns white on the list's pale background.
        t->setStyleSheet(
            QStringLiteral("QTreeView::item { border-right: 1px solid palette(mid);"
                           " border-bottom: 1px solid palette(mid); }"
                           " QTreeView::item:selected { background: palette(highlight);"
                           " color: palette(highlighted-text); }"));
    }
    if (!(style & kBorder)) t->setFrameShape(QFrame::NoFrame);
    return t;
}

} // namespace

// ---- Building ----------------------------------------------------------------------------------

void QtUi::Impl::tag(QWidget* widget, WindowId win, ControlId id) {
    widget->setProperty(qtface::kWindowProperty, win);
    widget->setProperty(qtface::kControlProperty, id);
    widget->installEventFilter(&router);
}

QWidget* QtUi::Impl::makeWidget(qtface::Window& w, const ControlSpec& spec) {
    QWidget* parent = w.client;
    const QString text = FromCp1252(spec.text);
    switch (spec.kind) {
    case ControlKind::Button:
    case ControlKind::DefaultButton: {
        auto* b = new QPushButton(text, parent);
        b->setAutoDefault(false);
        b->setDefault(spec.kind == ControlKind::DefaultButton);
        return b;
    }
    case ControlKind::Edit:
        return MakeEdit(parent, spec, (w.style & kWinDialogKeys) != 0);
    case ControlKind::StaticText: {
        auto* l = new QLabel(text, parent);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(AlignmentOf(spec.style) | Qt::AlignTop);
        if (spec.style & kBorder) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return l;
    }
    case ControlKind::Image:
        return new PictureLabel(parent);
    case ControlKind::GroupBox:
        return new QGroupBox(text, parent);
    case ControlKind::ListBox: {
        auto* l = new QListWidget(parent);
        if (!(spec.style & kBorder)) l->setFrameShape(QFrame::NoFrame);
        return l;
    }
    case ControlKind::ComboBox:
        return new QComboBox(parent);
    case ControlKind::ListView:
        return MakeListView(parent, spec.style);
    }
    return nullptr;
}

void QtUi::Impl::connectSignals(WindowId win, ControlId id, QWidget* widget) {
    if (auto* b = qobject_cast<QPushButton*>(widget)) {
        QObject::connect(b, &QPushButton::clicked, b,
                         [this, win, id] { command(win, id, notify::BnClicked); });
    } else if (auto* e = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(e, &QLineEdit::textEdited, e,
                         [this, win, id] { command(win, id, notify::EnChange); });
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(widget)) {
        QObject::connect(p, &QPlainTextEdit::textChanged, p,
                         [this, win, id] { command(win, id, notify::EnChange); });
        QObject::connect(p, &QPlainTextEdit::cursorPositionChanged, p,
                         [this, win, id] { command(win, id, notify::EnSelChange); });
    } else if (auto* l = qobject_cast<QListWidget*>(widget)) {
        QObject::connect(l, &QListWidget::currentRowChanged, l,
                         [this, win, id] { command(win, id, notify::LbnSelChange); });
        QObject::connect(l, &QListWidget::itemDoubleClicked, l,
                         [this, win, id] { command(win, id, notify::LbnDblClk); });
    } else if (auto* c = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(c, &QComboBox::activated, c,
                         [this, win, id] { command(win, id, notify::CbnSelEndOk); });
    }
}

bool QtUi::createControl(WindowId window, const ControlSpec& spec) {
    qtface::Window* w = d_->window(window);
    if (w == nullptr || spec.id == kNoControl) return false;
    if (spec.id != kAnonymousControl && d_->control(window, spec.id) != nullptr) return false;
    QWidget* widget = d_->makeWidget(*w, spec);
    if (widget == nullptr) return false;
    const bool label = spec.kind == ControlKind::StaticText || spec.kind == ControlKind::Image ||
                       spec.kind == ControlKind::GroupBox;
    widget->setFocusPolicy(label                     ? Qt::NoFocus
                           : (spec.style & kTabStop) ? Qt::StrongFocus
                                                     : Qt::ClickFocus);
    widget->setGeometry(spec.rect.x, spec.rect.y, spec.rect.width, spec.rect.height);
    widget->setEnabled((spec.style & kDisabled) == 0);
    d_->tag(widget, window, spec.id);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
        d_->tag(area->viewport(), window, spec.id);
    }
    d_->connectSignals(window, spec.id, widget);
    widget->setVisible((spec.style & kHidden) == 0);
    if (spec.style & kOnTop) widget->raise();
    for (QScrollBar* bar : w->bars) {
        if (bar != nullptr) bar->raise();
    }
    Control c;
    c.id = spec.id;
    c.kind = spec.kind;
    c.style = spec.style;
    c.widget = widget;
    if (spec.kind != ControlKind::Edit && spec.kind != ControlKind::Button &&
        spec.kind != ControlKind::DefaultButton && spec.kind != ControlKind::StaticText &&
        spec.kind != ControlKind::GroupBox) {
        widget->setProperty(qtface::kTextProperty,
                            QByteArray(spec.text.data(), static_cast<qsizetype>(spec.text.size())));
    }
    w->controls.push_back(std::move(c));
    return true;
}

void QtUi::Impl::removeControl(qtface::Window& w, std::size_t index) {
    const WindowId win = w.id;
    const ControlId id = w.controls[index].id;
    if (id != kAnonymousControl && w.focus == id) {
        focusMoved(win, kNoControl); // the core hears of the loss while the control exists
    }
    qtface::Window* again = window(win);
    if (again == nullptr) return;
    const auto it = std::find_if(again->controls.begin(), again->controls.end(),
                                 [&](const Control& c) { return c.id == id; });
    if (it == again->controls.end()) return;
    QPointer<QWidget> widget = it->widget;
    again->controls.erase(it);
    if (widget == nullptr) return;
    ++quiet;
    if (widget->hasFocus()) again->client->setFocus(Qt::OtherFocusReason);
    widget->hide();
    --quiet;
    QObject::disconnect(widget, nullptr, nullptr, nullptr);
    widget->setProperty(qtface::kWindowProperty, QVariant());
    widget->deleteLater();
}

bool QtUi::destroyControl(WindowId window, ControlId id) {
    qtface::Window* w = d_->window(window);
    if (w == nullptr || d_->control(window, id) == nullptr) return false;
    for (std::size_t i = 0; i < w->controls.size(); ++i) {
        if (w->controls[i].id == id) {
            d_->removeControl(*w, i);
            break;
        }
    }
    return true;
}

void QtUi::destroyControls(WindowId window, ChildFilter which) {
    auto matches = [which](const Control& c) {
        return which == ChildFilter::All || (c.style & kTabStop) != 0;
    };
    qtface::Window* w = d_->window(window);
    if (w == nullptr) return;
    std::size_t left =
        static_cast<std::size_t>(std::count_if(w->controls.begin(), w->controls.end(), matches));
    for (; left > 0; --left) {
        w = d_->window(window);
        if (w == nullptr) return;
        const auto it = std::find_if(w->controls.begin(), w->controls.end(), matches);
        if (it == w->controls.end()) return;
        d_->removeControl(*w, static_cast<std::size_t>(it - w->controls.begin()));
    }
}

bool QtUi::hasControl(WindowId window, ControlId id) const {
    return d_->control(window, id) != nullptr;
}

std::optional<ControlKind> QtUi::controlKind(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    if (c == nullptr) return std::nullopt;
    return c->kind;
}

bool QtUi::setControlRect(WindowId window, ControlId id, Rect rect) {
    const Control* c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return false;
    c->widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
    return true;
}

std::optional<Rect> QtUi::controlRect(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return std::nullopt;
    const QRect r = c->widget->geometry();
    return Rect{r.x(), r.y(), r.width(), r.height()};
}

std::optional<Size> QtUi::controlClientSize(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return std::nullopt;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(c->widget.data())) {
        // Inside the frame, beside a vertical scroll bar, as a list view's client area is.
        const QRect r = area->contentsRect();
        return Size{r.width(), r.height()};
    }
    const QSize s = c->widget->contentsRect().size();
    return Size{s.width(), s.height()};
}

// ---- Texts, state, fonts, pictures -------------------------------------------------------------

bool QtUi::setText(WindowId window, ControlId id, std::string_view text) {
    const Control* c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return false;
    ++d_->quiet;
    if (auto* e = As<QLineEdit>(c)) {
        if (EditRules* rules = RulesOf(e)) {
            rules->setCoreText(e, FromCp1252(text));
        } else {
            e->setText(FromCp1252(text));
        }
        e->setCursorPosition(0);
    } else if (auto* p = AsMultiLine(c)) {
        p->setBytes(text);
    } else if (auto* b = As<QPushButton>(c)) {
        b->setText(FromCp1252(text));
    } else if (auto* g = As<QGroupBox>(c)) {
        g->setTitle(FromCp1252(text));
    } else if (auto* l = As<QLabel>(c); l != nullptr && c->kind == ControlKind::StaticText) {
        l->setText(FromCp1252(text));
    } else {
        c->widget->setProperty(qtface::kTextProperty,
                               QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    }
    --d_->quiet;
    return true;
}

std::optional<std::string> QtUi::text(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return std::nullopt;
    if (auto* e = As<QLineEdit>(c)) return ToCp1252(e->text());
    if (auto* p = AsMultiLine(c)) return p->bytes();
    if (auto* b = As<QPushButton>(c)) return ToCp1252(b->text());
    if (auto* g = As<QGroupBox>(c)) return ToCp1252(g->title());
    if (auto* cb = As<QComboBox>(c)) {
        return cb->currentIndex() < 0 ? std::string() : ToCp1252(cb->currentText());
    }
    if (auto* l = As<QLabel>(c); l != nullptr && c->kind == ControlKind::StaticText) {
        return ToCp1252(l->text());
    }
    const QByteArray kept = c->widget->property(qtface::kTextProperty).toByteArray();
    return std::string(kept.constData(), static_cast<std::size_t>(kept.size()));
}

bool QtUi::enableControl(WindowId window, ControlId id, bool enabled) {
    const Control* c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return false;
    if (!enabled && focusedControl(window) == id) setFocus(window, kNoControl);
    c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return false;
    ++d_->quiet;
    c->widget->setEnabled(enabled);
    --d_->quiet;
    return true;
}

bool QtUi::isControlEnabled(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    return c != nullptr && c->widget != nullptr && c->widget->isEnabled();
}

bool QtUi::showControl(WindowId window, ControlId id, bool visible) {
    const Control* c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return false;
    if (!visible && focusedControl(window) == id) setFocus(window, kNoControl);
    c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return false;
    ++d_->quiet;
    c->widget->setVisible(visible);
    --d_->quiet;
    return true;
}

bool QtUi::isControlVisible(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    return c != nullptr && c->widget != nullptr && !c->widget->isHidden();
}

bool QtUi::setControlFont(WindowId window, ControlId id, FontId font) {
    const Control* c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return false;
    if (font != kUiFont && font != kFixedFont && d_->fonts.count(font) == 0) return false;
    c->widget->setFont(d_->font(font));
    return true;
}

bool QtUi::setControlColors(WindowId window, ControlId id, Rgb text, Rgb background) {
    const Control* c = d_->control(window, id);
    if (c == nullptr || c->widget == nullptr) return false;
    const QColor fore(text.r, text.g, text.b);
    const QColor back(background.r, background.g, background.b);
    QPalette p = c->widget->palette();
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        p.setColor(role, fore);
    }
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button}) p.setColor(role, back);
    c->widget->setPalette(p);
    c->widget->setAutoFillBackground(true);
    return true;
}

bool QtUi::setImage(WindowId window, ControlId id, std::string_view image) {
    // The idle picture is usually anonymous: the newest anonymous image control takes it.
    const Control* c = nullptr;
    if (id == kAnonymousControl) {
        if (const qtface::Window* w = d_->window(window)) {
            for (const Control& each : w->controls) {
                if (each.id == id && each.kind == ControlKind::Image) c = &each;
            }
        }
    } else {
        c = d_->control(window, id);
    }
    auto* label = c == nullptr || c->kind != ControlKind::Image
                      ? nullptr
                      : dynamic_cast<PictureLabel*>(c->widget.data());
    if (label == nullptr || image.empty()) return false;
    const std::string name(image);
    const auto it = d_->images.find(name);
    if (it != d_->images.end()) {
        if (it->second.isNull()) return false;
        label->setPicture(it->second, QString());
        return true;
    }
    // Whether the picture is there is known without decoding it.
    const QString resource =
        QStringLiteral(":/images/") + FromCp1252(image) + QStringLiteral(".png");
    if (!QFile::exists(resource)) return false;
    label->setPicture(QPixmap(), resource);
    return true;
}

// ---- Focus and edits ---------------------------------------------------------------------------

bool QtUi::setFocus(WindowId window, ControlId id) {
    qtface::Window* w = d_->window(window);
    if (w == nullptr) return false;
    QWidget* target = w->client;
    if (id != kNoControl) {
        const Control* c = d_->control(window, id);
        if (c == nullptr || c->widget == nullptr || c->widget->isHidden() ||
            !c->widget->isEnabled()) {
            return false;
        }
        target = c->widget;
    }
    const bool active = w->top->isActiveWindow();
    target->setFocus(Qt::OtherFocusReason);
    // An inactive window moves its focus silently until it is activated: tell the core now.
    if (!active) d_->focusMoved(window, id);
    return true;
}

ControlId QtUi::focusedControl(WindowId window) const {
    const qtface::Window* w = d_->window(window);
    return w != nullptr ? w->focus : kNoControl;
}

bool QtUi::setEditSelection(WindowId window, ControlId id, int start, int length) {
    const Control* c = d_->control(window, id);
    const std::optional<std::string> all = text(window, id);
    if (c == nullptr || c->kind != ControlKind::Edit || !all) return false;
    const int size = static_cast<int>(all->size());
    start = std::clamp(start, 0, size);
    length = length < 0 ? size - start : std::min(length, size - start);
    ++d_->quiet;
    if (auto* e = As<QLineEdit>(c)) {
        e->setSelection(start, length);
        if (length == 0) e->setCursorPosition(start);
    } else if (auto* p = AsMultiLine(c)) {
        p->setByteSelection(start, length);
    }
    --d_->quiet;
    return true;
}

std::optional<Selection> QtUi::editSelection(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    if (auto* e = As<QLineEdit>(c)) {
        if (!e->hasSelectedText()) return Selection{e->cursorPosition(), 0};
        return Selection{static_cast<int>(e->selectionStart()),
                         static_cast<int>(e->selectedText().size())};
    }
    if (auto* p = AsMultiLine(c)) return p->byteSelection();
    return std::nullopt;
}

bool QtUi::selectAll(WindowId window, ControlId id) { return setEditSelection(window, id, 0, -1); }

bool QtUi::setReadOnly(WindowId window, ControlId id, bool readOnly) {
    Control* c = d_->control(window, id);
    if (auto* e = As<QLineEdit>(c)) {
        e->setReadOnly(readOnly);
    } else if (auto* p = As<QPlainTextEdit>(c)) {
        p->setReadOnly(readOnly);
    } else {
        return false;
    }
    c->style = readOnly ? (c->style | kReadOnly) : (c->style & ~kReadOnly);
    return true;
}

bool QtUi::setEditLimit(WindowId window, ControlId id, int limit) {
    Control* c = d_->control(window, id);
    if (c == nullptr || c->kind != ControlKind::Edit || limit < 0) return false;
    if (auto* e = As<QLineEdit>(c)) {
        if (EditRules* rules = RulesOf(e)) rules->setLimit(limit);
    } else if (auto* p = AsMultiLine(c)) {
        p->setLimit(limit);
    }
    return true;
}

// ---- List views --------------------------------------------------------------------------------

bool QtUi::setListColumns(WindowId window, ControlId id, std::span<const ListColumn> cols) {
    Control* c = d_->control(window, id);
    auto* t = As<QTreeWidget>(c);
    if (t == nullptr) return false;
    QStringList titles;
    c->columns.clear();
    for (const ListColumn& col : cols) {
        titles << FromCp1252(col.title);
        c->columns.push_back(col.align);
    }
    ++d_->quiet;
    t->setColumnCount(std::max<int>(1, static_cast<int>(cols.size())));
    t->setHeaderLabels(titles.isEmpty() ? QStringList{QString()} : titles);
    for (int i = 0; i < static_cast<int>(cols.size()); ++i) {
        t->header()->resizeSection(i, cols[static_cast<std::size_t>(i)].width);
        t->headerItem()->setTextAlignment(i, AlignmentOf(cols[static_cast<std::size_t>(i)].align));
        for (int r = 0; r < t->topLevelItemCount(); ++r) {
            t->topLevelItem(r)->setTextAlignment(
                i, AlignmentOf(c->columns[static_cast<std::size_t>(i)]));
        }
    }
    --d_->quiet;
    return true;
}

int QtUi::listColumnCount(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    return As<QTreeWidget>(c) != nullptr ? static_cast<int>(c->columns.size()) : -1;
}

bool QtUi::insertListRow(WindowId window, ControlId id, int row) {
    const Control* c = d_->control(window, id);
    auto* t = As<QTreeWidget>(c);
    if (t == nullptr || row < 0 || row > t->topLevelItemCount()) return false;
    auto* item = new QTreeWidgetItem();
    for (std::size_t i = 0; i < c->columns.size(); ++i) {
        item->setTextAlignment(static_cast<int>(i), AlignmentOf(c->columns[i]));
    }
    ++d_->quiet;
    t->insertTopLevelItem(row, item);
    --d_->quiet;
    return true;
}

bool QtUi::deleteListRow(WindowId window, ControlId id, int row) {
    auto* t = As<QTreeWidget>(d_->control(window, id));
    if (t == nullptr || row < 0 || row >= t->topLevelItemCount()) return false;
    ++d_->quiet;
    delete t->takeTopLevelItem(row);
    --d_->quiet;
    return true;
}

bool QtUi::clearListRows(WindowId window, ControlId id) {
    auto* t = As<QTreeWidget>(d_->control(window, id));
    if (t == nullptr) return false;
    ++d_->quiet;
    t->clear();
    --d_->quiet;
    return true;
}

int QtUi::listRowCount(WindowId window, ControlId id) const {
    auto* t = As<QTreeWidget>(d_->control(window, id));
    return t != nullptr ? t->topLevelItemCount() : -1;
}

bool QtUi::setListCell(WindowId window, ControlId id, int row, int column, std::string_view text) {
    auto* t = As<QTreeWidget>(d_->control(window, id));
    if (t == nullptr || row < 0 || row >= t->topLevelItemCount() || column < 0 ||
        column >= t->columnCount()) {
        return false;
    }
    t->topLevelItem(row)->setText(column, FromCp1252(text));
    return true;
}

std::optional<std::string> QtUi::listCell(WindowId window, ControlId id, int row,
                                          int column) const {
    auto* t = As<QTreeWidget>(d_->control(window, id));
    if (t == nullptr || row < 0 || row >= t->topLevelItemCount() || column < 0 ||
        column >= t->columnCount()) {
        return std::nullopt;
    }
    return ToCp1252(t->topLevelItem(row)->text(column));
}

int QtUi::listSelection(WindowId window, ControlId id) const {
    auto* t = As<QTreeWidget>(d_->control(window, id));
    if (t == nullptr) return -1;
    const QList<QTreeWidgetItem*> selected = t->selectedItems();
    return selected.isEmpty() ? -1 : t->indexOfTopLevelItem(selected.first());
}

bool QtUi::selectListRow(WindowId window, ControlId id, int row) {
    auto* t = As<QTreeWidget>(d_->control(window, id));
    if (t == nullptr || row < -1 || row >= t->topLevelItemCount()) return false;
    ++d_->quiet;
    t->clearSelection();
    if (row >= 0) {
        t->setCurrentItem(t->topLevelItem(row));
        t->topLevelItem(row)->setSelected(true);
    }
    --d_->quiet;
    return true;
}

// ---- List boxes and drop-down lists ------------------------------------------------------------

bool QtUi::addListItem(WindowId window, ControlId id, std::string_view text) {
    const Control* c = d_->control(window, id);
    ++d_->quiet;
    bool done = true;
    if (auto* l = As<QListWidget>(c)) {
        l->addItem(FromCp1252(text));
    } else if (auto* cb = As<QComboBox>(c)) {
        // A drop-down list starts with nothing chosen, whatever Qt would pick.
        const int before = cb->currentIndex();
        cb->addItem(FromCp1252(text));
        cb->setCurrentIndex(before);
    } else {
        done = false;
    }
    --d_->quiet;
    return done;
}

bool QtUi::clearListItems(WindowId window, ControlId id) {
    const Control* c = d_->control(window, id);
    ++d_->quiet;
    bool done = true;
    if (auto* l = As<QListWidget>(c)) {
        l->clear();
    } else if (auto* cb = As<QComboBox>(c)) {
        cb->clear();
    } else {
        done = false;
    }
    --d_->quiet;
    return done;
}

int QtUi::listItemCount(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    if (auto* l = As<QListWidget>(c)) return l->count();
    if (auto* cb = As<QComboBox>(c)) return cb->count();
    return -1;
}

std::optional<std::string> QtUi::listItem(WindowId window, ControlId id, int index) const {
    const Control* c = d_->control(window, id);
    if (auto* l = As<QListWidget>(c); l != nullptr && index >= 0 && index < l->count()) {
        return ToCp1252(l->item(index)->text());
    }
    if (auto* cb = As<QComboBox>(c); cb != nullptr && index >= 0 && index < cb->count()) {
        return ToCp1252(cb->itemText(index));
    }
    return std::nullopt;
}

int QtUi::currentListItem(WindowId window, ControlId id) const {
    const Control* c = d_->control(window, id);
    if (auto* l = As<QListWidget>(c)) return l->currentRow();
    if (auto* cb = As<QComboBox>(c)) return cb->currentIndex();
    return -1;
}

bool QtUi::setCurrentListItem(WindowId window, ControlId id, int index) {
    const Control* c = d_->control(window, id);
    const int count = listItemCount(window, id);
    if (count < 0 || index < -1 || index >= count) return false;
    ++d_->quiet;
    if (auto* l = As<QListWidget>(c)) l->setCurrentRow(index);
    if (auto* cb = As<QComboBox>(c)) cb->setCurrentIndex(index);
    --d_->quiet;
    return true;
}

} // namespace vodarir::platform
