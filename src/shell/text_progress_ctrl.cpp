#include "shell/text_progress_ctrl.h"

#include <QPaintEvent>
#include <QPalette>
#include <algorithm>
#include <cstring>
#include <utility>

#include "shell/offscreen_dc.h"

namespace {

// Truncates toward zero, held to the int range: a position far outside the
// bounds must not overflow the conversion.
int truncated(double value) {
    return static_cast<int>(std::clamp(value, -2147483648.0, 2147483647.0));
}

}  // namespace

TextProgressCtrl::TextProgressCtrl(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // Every pixel is painted each time: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextProgressCtrl::setRange(uint32_t packed) {
    setRange32(static_cast<int32_t>(packed & 0xFFFFU), static_cast<int32_t>(packed >> 16));
}

void TextProgressCtrl::setRange32(int32_t lower, int32_t upper) {
    m_lower = lower;
    m_upper = upper;
}

int32_t TextProgressCtrl::range(bool lower, Range* out) const {
    if (out != nullptr) {
        *out = {m_lower, m_upper};
    }
    return lower ? m_lower : m_upper;
}

int32_t TextProgressCtrl::setPos(int32_t position) {
    const int32_t previous = m_position;
    m_position = position;
    const int extent = extentFor(position);
    if (extent != m_barExtent) {
        m_barExtent = extent;
        repaint();
    }
    return previous;
}

int32_t TextProgressCtrl::deltaPos(int32_t amount) {
    return setPos(m_position + amount);
}

int32_t TextProgressCtrl::setStep(int32_t step) {
    return std::exchange(m_step, step);
}

int32_t TextProgressCtrl::stepIt() {
    return setPos(m_position + m_step);
}

QColor TextProgressCtrl::setBarColor(const QColor& color) {
    update();
    return std::exchange(m_barColor, color);
}

QColor TextProgressCtrl::setBkColor(const QColor& color) {
    update();
    return std::exchange(m_backgroundColor, color);
}

QColor TextProgressCtrl::setTextColor(const QColor& color) {
    update();
    return std::exchange(m_textColor, color);
}

void TextProgressCtrl::setShowText(bool show) {
    if (show != m_showText) {
        m_showText = show;
        update();
    }
}

void TextProgressCtrl::setText(const QString& text) {
    if (text != m_text) {
        m_text = text;
        update();
    }
}

size_t TextProgressCtrl::copyText(char* buffer, size_t size) const {
    if (buffer == nullptr) {
        return 0;
    }
    const QByteArray local = m_text.toLocal8Bit();
    const size_t length = std::min(size, static_cast<size_t>(local.size()));
    std::memcpy(buffer, local.constData(), length);
    return length;
}

void TextProgressCtrl::setVertical(bool vertical) {
    m_vertical = vertical;
    m_barExtent = -1;
    update();
}

QString TextProgressCtrl::shownText() const {
    if (!m_text.isEmpty()) {
        return m_text;
    }
    return QStringLiteral("%1%").arg(truncated(fraction() * 100.0));
}

double TextProgressCtrl::fraction() const {
    return (static_cast<double>(m_position) - m_lower) / (static_cast<double>(m_upper) - m_lower);
}

int TextProgressCtrl::extentFor(int32_t position) const {
    if (m_lower >= m_upper) {
        return 0;
    }
    const double reached =
        (static_cast<double>(position) - m_lower) / (static_cast<double>(m_upper) - m_lower);
    return truncated(contentsRect().width() * reached);
}

void TextProgressCtrl::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    m_barExtent = -1;
}

void TextProgressCtrl::paintEvent(QPaintEvent* event) {
    const QColor background =
        m_backgroundColor.isValid() ? m_backgroundColor : palette().color(QPalette::Active, QPalette::Base);
    OffscreenDC dc(*this, event->rect());
    QPainter& painter = dc.painter();
    const QRect client = contentsRect();
    drawFrame(&painter);
    if (m_lower >= m_upper) {
        // An empty range has nothing to show; the area is still painted.
        painter.fillRect(client, background);
        return;
    }
    const QColor bar =
        m_barColor.isValid() ? m_barColor : palette().color(QPalette::Active, QPalette::Highlight);
    painter.setFont(parentWidget() != nullptr ? parentWidget()->font() : font());

    // Outside the bounds the bar is drawn empty or full.
    QRect reached = client;
    QRect rest = client;
    if (m_vertical) {
        const int filled = std::clamp(truncated(client.height() * fraction()), 0, client.height());
        reached.setTop(client.bottom() + 1 - filled);
        rest.setBottom(client.bottom() - filled);
    } else {
        const int filled = std::clamp(truncated(client.width() * fraction()), 0, client.width());
        reached.setRight(client.left() + filled - 1);
        rest.setLeft(client.left() + filled);
    }
    painter.fillRect(reached, bar);
    painter.fillRect(rest, background);
    if (!m_showText || m_vertical) {
        return;
    }
    const QString text = shownText();
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    painter.setClipRect(reached);
    painter.setPen(m_textColor.isValid() ? m_textColor : background);
    painter.drawText(client, flags, text);
    painter.setClipRect(rest);
    painter.setPen(m_textColor.isValid() ? m_textColor : bar);
    painter.drawText(client, flags, text);
}
