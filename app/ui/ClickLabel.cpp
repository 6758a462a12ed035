#include "app/ui/ClickLabel.h"

#include <QMouseEvent>

CxClickLabel::CxClickLabel(QWidget* pParent) : QLabel(pParent) { setCursor(Qt::PointingHandCursor); }

void CxClickLabel::mouseReleaseEvent(QMouseEvent* pEvent) {
    // A press dragged off the label and let go elsewhere is no click.
    if (pEvent->button() == Qt::LeftButton && rect().contains(pEvent->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(pEvent);
}
