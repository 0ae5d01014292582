// The program's icon: a rounded character screen with three field bars, drawn at each size the
// desktop asks for.
#include "program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace vodarir {

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

QPixmap Draw(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF screen(s * 0.06, s * 0.12, s * 0.88, s * 0.76);
    p.setPen(QPen(QColor(0x40, 0x56, 0x6e), s / 20.0));
    p.setBrush(QColor(0xfb, 0xfc, 0xfe));
    p.drawRoundedRect(screen, s * 0.1, s * 0.1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7f, 0xa7, 0xb8));
    const qreal bar = s * 0.11;
    p.drawRoundedRect(QRectF(s * 0.18, s * 0.26, s * 0.40, bar), bar / 3, bar / 3);
    p.drawRoundedRect(QRectF(s * 0.18, s * 0.44, s * 0.64, bar), bar / 3, bar / 3);
    p.setBrush(QColor(0x40, 0x56, 0x6e));
    p.drawRoundedRect(QRectF(s * 0.18, s * 0.62, s * 0.28, bar), bar / 3, bar / 3);
    return pixmap;
}

} // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : kSizes) icon.addPixmap(Draw(size));
    return icon;
}

} // namespace vodarir
