#include "app/qt/ButtonGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmora::app {

namespace {

QPixmap checkMark(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 16.0, side / 16.0);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.0, 12.0);
    tick.lineTo(13.5, 3.5);
    painter.setPen(QPen(QColor(0x00, 0x80, 0x00), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    return pixmap;
}

} // namespace

QIcon checkMarkIcon() {
    QIcon icon;
    for (int side : {16, 32, 48}) {
        icon.addPixmap(checkMark(side));
    }
    return icon;
}

} // namespace velmora::app
