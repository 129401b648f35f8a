#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QPushButton;
class QWidget;

// How a push button takes part in Enter: as Qt decides (the focused button),
// always (the dialog's default button), or never.
enum class ButtonKind { Normal, Default, NeverDefault };

// Dialog layouts are given in dialog units, which follow the dialog's font: a
// horizontal unit is a quarter of the font's average character width and a
// vertical unit an eighth of its height, so a layout keeps its proportions at
// any font size.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    int x(int units) const;
    int y(int units) const;
    QSize size(int width, int height) const;
    QRect rect(int x, int y, int width, int height) const;

    // Puts `widget` at the position and size given in dialog units. Labels and
    // check boxes are made wide enough for their text.
    void place(QWidget& widget, int x, int y, int width, int height) const;

    // A push button on `dialog` at the place given in dialog units, its object
    // named `name` so that tests can find it.
    QPushButton* button(QWidget& dialog, const char* text, const char* name, int x, int y, int width,
                        int height, ButtonKind kind = ButtonKind::Normal) const;

  private:
    int m_baseX;  // average character width in pixels
    int m_baseY;  // character height in pixels
};
