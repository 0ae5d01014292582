// The program's icon, drawn rather than loaded: a character screen with field bars.
#pragma once

#include <QIcon>
#include <QPainter>
#include <QRectF>

namespace vodarir {

QIcon ProgramIcon();
// Draws the icon into the largest square of the box at its top left; the window icon and the
// icon files of an install (made at build time) both come from here.
void DrawProgramIcon(QPainter& p, const QRectF& box);

} // namespace vodarir
