#include "app/ui/Logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

// The picture is laid out on a 64 × 64 grid; pellmark.svg uses the same
// numbers, so the two stay alike when one of them changes.

void DrawCard(QPainter& p, qreal x, qreal y, const QColor& crCard, const QColor& crLines) {
    const QColor crPerson(0x2f, 0x6d, 0xb5);
    p.setPen(Qt::NoPen);
    p.setBrush(crCard);
    p.drawRoundedRect(QRectF(x, y, 30, 22), 3, 3);
    p.setBrush(crPerson);
    p.drawEllipse(QPointF(x + 8, y + 8), 4, 4);
    QPainterPath shoulders;
    shoulders.moveTo(x + 2, y + 19);
    shoulders.quadTo(x + 8, y + 11, x + 14, y + 19);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
    p.setBrush(crLines);
    p.drawRect(QRectF(x + 17, y + 6, 10, 2));
    p.drawRect(QRectF(x + 17, y + 11, 10, 2));
    p.drawRect(QRectF(x + 17, y + 16, 7, 2));
}

void DrawArrow(QPainter& p, QPointF ptFrom, QPointF ptCtrl, QPointF ptTo, const QPolygonF& head) {
    const QColor crArrow(0xf5, 0xa6, 0x23);
    QPainterPath arc;
    arc.moveTo(ptFrom);
    arc.quadTo(ptCtrl, ptTo);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(crArrow, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(crArrow);
    p.drawPolygon(head);
}

}  // namespace

QPixmap PellmarkLogo(int nSize) {
    if (nSize < 1) nSize = 1;
    QPixmap pixmap(nSize, nSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(nSize / 64.0, nSize / 64.0);

    QLinearGradient tile(0, 2, 0, 62);
    tile.setColorAt(0, QColor(0x4a, 0x90, 0xe2));
    tile.setColorAt(1, QColor(0x1c, 0x4e, 0x9c));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    DrawCard(p, 8, 12, QColor(0xdd, 0xe9, 0xf9), QColor(0x9d, 0xb7, 0xda));
    DrawCard(p, 26, 30, QColor(0xff, 0xff, 0xff), QColor(0x9d, 0xb7, 0xda));

    DrawArrow(p, QPointF(40, 9), QPointF(54, 9), QPointF(54, 21),
              QPolygonF({QPointF(49, 20), QPointF(59, 20), QPointF(54, 27)}));
    DrawArrow(p, QPointF(24, 55), QPointF(10, 55), QPointF(10, 43),
              QPolygonF({QPointF(5, 44), QPointF(15, 44), QPointF(10, 37)}));
    return pixmap;
}

QPixmap PellmarkBanner(const QString& szText, int nWidth, int nHeight) {
    if (nWidth < 1) nWidth = 1;
    if (nHeight < 1) nHeight = 1;
    QPixmap pixmap(nWidth, nHeight);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, nHeight);
    ground.setColorAt(0, QColor(0xff, 0xff, 0xff));
    ground.setColorAt(1, QColor(0xe3, 0xee, 0xfb));
    p.setPen(QPen(QColor(0x7f, 0xa7, 0xd9), 1));
    p.setBrush(ground);
    p.drawRoundedRect(QRectF(0.5, 0.5, nWidth - 1, nHeight - 1), 6, 6);
    const int nLogo = qMax(1, qMin(nHeight - 12, 48));
    p.drawPixmap(6, (nHeight - nLogo) / 2, PellmarkLogo(nLogo));
    p.setPen(QColor(0x0b, 0x24, 0x47));
    const QRect rcText(nLogo + 16, 4, nWidth - nLogo - 22, nHeight - 8);
    p.drawText(rcText, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, szText);
    return pixmap;
}
