#pragma once

#include <QColor>
#include <QFrame>
#include <QString>
#include <cstddef>
#include <cstdint>

// A progress bar that paints itself and writes a text across the bar: its own
// text when it has one, else the percentage reached. The text takes the colour
// of the other part of the bar, so it stays readable across the bar's edge.
//
// The bar lies inside a sunken frame; "client" below means the area within it.
//
// Colours: an invalid QColor is the default marker. For the bar it means the
// palette's highlight colour, for the background the window colour, and for the
// text the fill colour of the other part.
class TextProgressCtrl : public QFrame {
    Q_OBJECT

  public:
    struct Range {
        int32_t lower = 0;
        int32_t upper = 0;
    };

    explicit TextProgressCtrl(QWidget* parent = nullptr);

    // Bounds packed as the classic 16-bit message packs them: the low 16 bits
    // are the lower bound, the high 16 bits the upper, both unsigned. Neither
    // setter redraws.
    void setRange(uint32_t packed);
    void setRange32(int32_t lower, int32_t upper);
    // The lower bound when `lower` is set, else the upper; fills `out` if given.
    int32_t range(bool lower, Range* out = nullptr) const;

    // Stores the position (not limited to the bounds) and redraws at once if
    // the bar's edge moved by a pixel. Returns the previous position.
    int32_t setPos(int32_t position);
    int32_t deltaPos(int32_t amount);
    // Returns the previous step.
    int32_t setStep(int32_t step);
    // Advances by the step; nothing wraps around at the upper bound.
    int32_t stepIt();
    int32_t pos() const { return m_position; }

    // Each returns the previous colour and repaints.
    QColor setBarColor(const QColor& color);
    QColor setBkColor(const QColor& color);
    QColor setTextColor(const QColor& color);
    void setShowText(bool show);

    // The text written on the bar in place of the percentage; empty brings the
    // percentage back.
    void setText(const QString& text);
    QString text() const { return m_text; }
    // Copies the text in the local 8-bit encoding into `buffer`, never more
    // than `size` bytes; returns how many were copied (0 without a buffer).
    size_t copyText(char* buffer, size_t size) const;

    // The vertical style fills from the bottom and never shows text.
    void setVertical(bool vertical);

    // What the bar shows as text: its own, else "%d%%" of the fraction reached.
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    double fraction() const;
    int extentFor(int32_t position) const;

    QColor m_textColor;
    int32_t m_position = 0;
    int32_t m_step = 1;
    int32_t m_upper = 100;
    int32_t m_lower = 0;
    QString m_text;
    bool m_showText = true;
    int m_barExtent = -1;  // filled width at the last redraw; -1 until computed
    QColor m_barColor;
    QColor m_backgroundColor;
    bool m_vertical = false;
};
