#include "shell/offscreen_dc.h"

#include <QWidget>

OffscreenDC::OffscreenDC(QWidget& target, const QRect& area)
    : m_target(target), m_area(area), m_pixmap(area.size() * target.devicePixelRatio()) {
    m_pixmap.setDevicePixelRatio(target.devicePixelRatio());
    m_painter.begin(&m_pixmap);
    m_painter.translate(-area.topLeft());
}

OffscreenDC::~OffscreenDC() {
    m_painter.end();
    QPainter screen(&m_target);
    screen.drawPixmap(m_area.topLeft(), m_pixmap);
}
