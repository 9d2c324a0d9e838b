// SPDX-License-Identifier: GPL-3.0-or-later
#include "product_picture.h"

#include <QPainter>
#include <QPainterPath>

namespace app {

namespace {

// One piece of the sheet, in a 100 x 100 box: the upper piece carries the folded corner.
QPainterPath piece(bool upper)
{
    QPainterPath path;
    if (upper) {
        path.moveTo(22, 8);
        path.lineTo(62, 8);
        path.lineTo(78, 24);
        path.lineTo(78, 44);
        path.lineTo(22, 52);
    } else {
        path.moveTo(22, 60);
        path.lineTo(78, 52);
        path.lineTo(78, 92);
        path.lineTo(22, 92);
    }
    path.closeSubpath();
    return path;
}

void drawSheet(QPainter &painter)
{
    const QColor paper(250, 250, 245);
    const QColor edge(40, 70, 120);
    painter.setPen(QPen(edge, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(paper);

    painter.save();
    painter.translate(-5, -3);
    painter.drawPath(piece(true));
    painter.setPen(QPen(edge, 2));
    painter.drawPolyline(QPolygonF({QPointF(62, 8), QPointF(62, 24), QPointF(78, 24)}));
    painter.restore();

    painter.save();
    painter.translate(5, 5);
    painter.drawPath(piece(false));
    painter.restore();

    // The cut: a dashed line with the blade's notch.
    painter.setPen(QPen(QColor(200, 40, 40), 2, Qt::DashLine, Qt::RoundCap));
    painter.drawLine(QPointF(8, 58), QPointF(92, 46));
    painter.setPen(QPen(QColor(120, 120, 120), 1.5));
    for (int row = 0; row < 3; ++row)
        painter.drawLine(QPointF(32, 70 + 7 * row), QPointF(72, 70 + 7 * row));
}

} // namespace

QPixmap productPicture(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width, height);
    painter.translate((width - side) / 2.0, (height - side) / 2.0);
    painter.scale(side / 100.0, side / 100.0);
    drawSheet(painter);
    return pixmap;
}

QIcon productIcon()
{
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/skarvel/icons/%1.png").arg(side), QSize(side, side));
    return icon;
}

} // namespace app
