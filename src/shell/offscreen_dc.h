#pragma once

#include <QPainter>
#include <QPixmap>
#include <QRect>

class QWidget;

// An off-screen drawing surface for one paint event: drawing goes to a pixmap
// the size of the area being painted, in the widget's own coordinates, and the
// finished picture is copied to the widget in one step when this object goes,
// so a control that paints its parts one over another never flickers.
class OffscreenDC {
  public:
    OffscreenDC(QWidget& target, const QRect& area);
    ~OffscreenDC();
    OffscreenDC(const OffscreenDC&) = delete;
    OffscreenDC& operator=(const OffscreenDC&) = delete;

    QPainter& painter() { return m_painter; }

  private:
    QWidget& m_target;
    QRect m_area;
    QPixmap m_pixmap;
    QPainter m_painter;
};
