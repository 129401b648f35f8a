// The self-drawn progress bar: the text it shows and what it paints on each
// side of the bar's edge.

#include <QImage>
#include <QPalette>
#include <QTest>
#include <QWidget>

#include "shell/text_progress_bar.h"

namespace {

// Number of pixels of `color` in the column `x` of `image`.
int pixelsInColumn(const QImage& image, int x, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        count += static_cast<int>(image.pixelColor(x, y) == color);
    }
    return count;
}

// What the bar paints inside its frame.
QImage clientImage(TextProgressBar& bar) {
    return bar.grab(bar.contentsRect()).toImage();
}

}  // namespace

class TextProgressBarTest : public QObject {
    Q_OBJECT

  private slots:
    void textAndPercentage();
    void paintsEachSideOfTheEdge();
};

void TextProgressBarTest::textAndPercentage() {
    TextProgressBar bar;
    bar.setValue(101);
    QCOMPARE(bar.displayText(), QStringLiteral("101%"));  // not held to the range
    bar.setRange(0, 3);
    bar.setValue(2);
    QCOMPARE(bar.displayText(), QStringLiteral("66%"));  // truncated, not rounded

    bar.setText(QStringLiteral("Level 3"));
    QCOMPARE(bar.displayText(), QStringLiteral("Level 3"));
    bar.setText(QString());
    // A value far beyond the range does not overflow.
    bar.setRange(0, 1);
    bar.setValue(2147483647);
    QCOMPARE(bar.displayText(), QStringLiteral("2147483647%"));
}

void TextProgressBarTest::paintsEachSideOfTheEdge() {
    QWidget window;
    auto* bar = new TextProgressBar(&window);
    bar->setGeometry(0, 0, 204, 28);
    bar->setValue(50);
    auto* empty = new TextProgressBar(&window);
    empty->setGeometry(250, 0, 80, 20);
    empty->setRange(7, 7);
    empty->setValue(7);
    empty->setBackgroundColor(Qt::darkGreen);
    auto* vertical = new TextProgressBar(&window);
    vertical->setOrientation(Qt::Vertical);
    vertical->setGeometry(210, 0, 30, 104);
    const int verticalHeight = vertical->contentsRect().height();
    vertical->setRange(0, verticalHeight);
    vertical->setValue(verticalHeight / 4);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QImage image = clientImage(*bar);
    const int width = image.width();
    const int height = image.height();
    const QColor highlight = bar->palette().color(QPalette::Active, QPalette::Highlight);
    const QColor base = bar->palette().color(QPalette::Active, QPalette::Base);
    // Far from the text, each half is its own colour.
    QCOMPARE(pixelsInColumn(image, 1, highlight), height);
    QCOMPARE(pixelsInColumn(image, width - 2, base), height);
    // "50%" straddles the edge: on the filled half the text is in the base
    // colour, on the rest in the highlight colour.
    int textOnBar = 0;
    int textOnRest = 0;
    for (int x = width / 2 - 40; x < width / 2; ++x) {
        textOnBar += pixelsInColumn(image, x, base);
        textOnRest += pixelsInColumn(image, x + 40, highlight);
    }
    QVERIFY(textOnBar > 0 && textOnRest > 0);

    bar->setTextVisible(false);
    const QImage plain = clientImage(*bar);
    for (int x = width / 2 - 40; x < width / 2; ++x) {
        QCOMPARE(pixelsInColumn(plain, x, highlight), height);
    }
    bar->setBarColor(Qt::red);
    QCOMPARE(clientImage(*bar).pixelColor(1, 1), QColor(Qt::red));

    // A vertical bar fills from the bottom and shows no text; an empty range
    // draws only the background.
    const QImage upright = clientImage(*vertical);
    for (int x = 0; x < upright.width(); ++x) {
        QCOMPARE(pixelsInColumn(upright, x, highlight), verticalHeight / 4);
    }
    QCOMPARE(upright.pixelColor(upright.width() / 2, verticalHeight - 1), highlight);
    const QImage background = clientImage(*empty);
    for (int x = 0; x < background.width(); ++x) {
        QCOMPARE(pixelsInColumn(background, x, QColor(Qt::darkGreen)), background.height());
    }
}

QTEST_MAIN(TextProgressBarTest)
#include "tst_text_progress_bar.moc"
