#include "shell/text_progress_bar.h"

#include <QPainter>
#include <QPalette>
#include <algorithm>

namespace {

// Truncates toward zero, held to the int range: a value far outside the range
// must not overflow the conversion.
int truncated(double value) {
    return static_cast<int>(std::clamp(value, -2147483648.0, 2147483647.0));
}

}  // namespace

TextProgressBar::TextProgressBar(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // Every pixel is painted each time: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextProgressBar::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
}

void TextProgressBar::setValue(int value) {
    m_value = value;
    const int extent = extentFor(value);
    if (extent == m_barExtent) {
        return;
    }
    m_barExtent = extent;
    repaint();
}

void TextProgressBar::setText(const QString& text) {
    if (text != m_text) {
        m_text = text;
        update();
    }
}

QString TextProgressBar::displayText() const {
    if (!m_text.isEmpty()) {
        return m_text;
    }
    return QStringLiteral("%1%").arg(truncated(fraction() * 100.0));
}

void TextProgressBar::setTextVisible(bool visible) {
    if (visible != m_textVisible) {
        m_textVisible = visible;
        update();
    }
}

void TextProgressBar::setOrientation(Qt::Orientation orientation) {
    m_orientation = orientation;
    m_barExtent = -1;
    update();
}

void TextProgressBar::setBarColor(const QColor& color) {
    setColor(m_barColor, color);
}

void TextProgressBar::setBackgroundColor(const QColor& color) {
    setColor(m_backgroundColor, color);
}

void TextProgressBar::setTextColor(const QColor& color) {
    setColor(m_textColor, color);
}

void TextProgressBar::setColor(QColor& member, const QColor& color) {
    member = color;
    update();
}

double TextProgressBar::fraction() const {
    return (static_cast<double>(m_value) - m_minimum) / (static_cast<double>(m_maximum) - m_minimum);
}

int TextProgressBar::extentFor(int value) const {
    if (m_minimum >= m_maximum) {
        return 0;
    }
    const double reached =
        (static_cast<double>(value) - m_minimum) / (static_cast<double>(m_maximum) - m_minimum);
    return truncated(contentsRect().width() * reached);
}

void TextProgressBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    m_barExtent = -1;
}

TextProgressBar::Parts TextProgressBar::parts(const QRect& client) const {
    // Outside the range the bar is drawn empty or full.
    Parts parts{client, client};
    if (m_orientation == Qt::Vertical) {
        const int filled = std::clamp(truncated(client.height() * fraction()), 0, client.height());
        parts.reached.setTop(client.bottom() + 1 - filled);
        parts.rest.setBottom(client.bottom() - filled);
        return parts;
    }
    const int filled = std::clamp(truncated(client.width() * fraction()), 0, client.width());
    parts.reached.setRight(client.left() + filled - 1);
    parts.rest.setLeft(client.left() + filled);
    return parts;
}

void TextProgressBar::paintEvent(QPaintEvent* /*event*/) {
    const QColor background =
        m_backgroundColor.isValid() ? m_backgroundColor : palette().color(QPalette::Active, QPalette::Base);
    QPainter painter(this);
    const QRect client = contentsRect();
    drawFrame(&painter);
    if (m_minimum >= m_maximum) {
        // An empty range has nothing to show; the area is still painted.
        painter.fillRect(client, background);
        return;
    }
    const QColor bar =
        m_barColor.isValid() ? m_barColor : palette().color(QPalette::Active, QPalette::Highlight);
    const Parts shown = parts(client);
    painter.fillRect(shown.reached, bar);
    painter.fillRect(shown.rest, background);
    if (!m_textVisible || m_orientation == Qt::Vertical) {
        return;
    }
    // Each part clips its own copy of the text, in the other part's colour.
    painter.setFont(parentWidget() != nullptr ? parentWidget()->font() : font());
    const QString text = displayText();
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    painter.setClipRect(shown.reached);
    painter.setPen(m_textColor.isValid() ? m_textColor : background);
    painter.drawText(client, flags, text);
    painter.setClipRect(shown.rest);
    painter.setPen(m_textColor.isValid() ? m_textColor : bar);
    painter.drawText(client, flags, text);
}
