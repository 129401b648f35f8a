#include "shell/dialog_units.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace {

// x * numerator / denominator, rounded to the nearest integer.
int scaled(int x, int numerator, int denominator) {
    const long long product = static_cast<long long>(x) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width over the Latin letters, rounded half up.
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters / 26 + 1) / 2;
    m_baseY = metrics.height();
}

int DialogUnits::x(int units) const {
    return scaled(units, m_baseX, 4);
}

int DialogUnits::y(int units) const {
    return scaled(units, m_baseY, 8);
}

QSize DialogUnits::size(int width, int height) const {
    return {x(width), y(height)};
}

QRect DialogUnits::rect(int x, int y, int width, int height) const {
    return {this->x(x), this->y(y), this->x(width), this->y(height)};
}

void DialogUnits::place(QWidget& widget, int x, int y, int width, int height) const {
    QRect area = rect(x, y, width, height);
    // A font wider than the one a layout was made for must not cut a label or
    // a check box's text short: such a control grows away from its alignment.
    const auto* label = qobject_cast<QLabel*>(&widget);
    if (label != nullptr || qobject_cast<QCheckBox*>(&widget) != nullptr) {
        const int needed = widget.sizeHint().width();
        if (needed > area.width()) {
            if (label != nullptr && (label->alignment() & Qt::AlignRight)) {
                area.setLeft(area.right() + 1 - needed);
            } else {
                area.setWidth(needed);
            }
        }
    }
    widget.setGeometry(area);
}

QPushButton* DialogUnits::button(QWidget& dialog, const char* text, const char* name, int x, int y, int width,
                                 int height, ButtonKind kind) const {
    auto* button = new QPushButton(QString::fromLatin1(text), &dialog);
    button->setObjectName(QString::fromLatin1(name));
    if (kind == ButtonKind::Default) {
        button->setDefault(true);
    } else if (kind == ButtonKind::NeverDefault) {
        button->setAutoDefault(false);
    }
    place(*button, x, y, width, height);
    return button;
}
