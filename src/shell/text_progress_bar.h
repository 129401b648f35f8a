#pragma once

#include <QColor>
#include <QFrame>
#include <QRect>
#include <QString>

// A progress bar that paints itself and writes a text across the bar: its own
// text when it has one, else the percentage reached. The text takes the colour
// of the other part of the bar, so it stays readable across the bar's edge.
//
// The bar lies inside a sunken frame; "client" below means the area within it.
//
// Colours: an invalid QColor is the default. For the bar it means the
// palette's highlight colour, for the background the base colour, and for the
// text the fill colour of the other part.
class TextProgressBar : public QFrame {
    Q_OBJECT

  public:
    explicit TextProgressBar(QWidget* parent = nullptr);

    // The new range shows from the next setValue() on.
    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    // The value is kept as given, even outside the range, where the bar is
    // drawn empty or full. Redraws at once when the bar's edge moves by a
    // pixel, and only then.
    void setValue(int value);
    int value() const { return m_value; }

    // The text written on the bar in place of the percentage; empty brings the
    // percentage back.
    void setText(const QString& text);
    QString text() const { return m_text; }
    // What the bar writes: its own text, else "%d%%" of the fraction reached.
    QString displayText() const;

    void setTextVisible(bool visible);
    bool isTextVisible() const { return m_textVisible; }

    // A vertical bar fills from the bottom and never shows text.
    void setOrientation(Qt::Orientation orientation);
    Qt::Orientation orientation() const { return m_orientation; }

    void setBarColor(const QColor& color);
    QColor barColor() const { return m_barColor; }
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return m_backgroundColor; }
    void setTextColor(const QColor& color);
    QColor textColor() const { return m_textColor; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The client's filled part and the rest of it.
    struct Parts {
        QRect reached;
        QRect rest;
    };

    double fraction() const;
    Parts parts(const QRect& client) const;
    int extentFor(int value) const;
    void setColor(QColor& member, const QColor& color);

    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
    int m_barExtent = -1;  // filled width at the last redraw; -1 until computed
    QString m_text;
    bool m_textVisible = true;
    Qt::Orientation m_orientation = Qt::Horizontal;
    QColor m_barColor;
    QColor m_backgroundColor;
    QColor m_textColor;
};
