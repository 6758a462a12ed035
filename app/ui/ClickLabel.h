// A label that reports a click of the left mouse button, for pictures and
// links that open something; it shows the hand cursor.
#pragma once

#include <QLabel>

class CxClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit CxClickLabel(QWidget* pParent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
};
