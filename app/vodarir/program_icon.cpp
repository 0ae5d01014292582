// The program's icon: a rounded character screen with three field bars, drawn when the desktop
// first asks for a size (not at start-up, where it would only hold the window back).
#include "program_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace vodarir {

void DrawProgramIcon(QPainter& p, const QRectF& box) {
    const qreal s = std::min(box.width(), box.height());
    const QPointF o = box.topLeft();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF screen(o.x() + s * 0.06, o.y() + s * 0.12, s * 0.88, s * 0.76);
    p.setPen(QPen(QColor(0x40, 0x56, 0x6e), s / 20.0));
    p.setBrush(QColor(0xfb, 0xfc, 0xfe));
    p.drawRoundedRect(screen, s * 0.1, s * 0.1);
    p.setPen(Qt::NoPen);
    const qreal bar = s * 0.11;
    const auto drawBar = [&](qreal x, qreal y, qreal w, QColor colour) {
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(o.x() + s * x, o.y() + s * y, s * w, bar), bar / 3, bar / 3);
    };
    drawBar(0.18, 0.26, 0.40, QColor(0x7f, 0xa7, 0xb8));
    drawBar(0.18, 0.44, 0.64, QColor(0x7f, 0xa7, 0xb8));
    drawBar(0.18, 0.62, 0.28, QColor(0x40, 0x56, 0x6e));
}

namespace {

class DrawnIcon final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        DrawProgramIcon(*painter, rect);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        DrawProgramIcon(p, QRectF(QPointF(0, 0), QSizeF(size)));
        return pixmap;
    }
    QIconEngine* clone() const override { return new DrawnIcon; }
};

} // namespace

QIcon ProgramIcon() { return QIcon(new DrawnIcon); }

} // namespace vodarir
