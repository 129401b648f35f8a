// The self-drawn progress bar: its bounds, position and step rules, the text it
// shows, when it redraws, and what it paints on each side of the bar's edge.

#include <QImage>
#include <QPalette>
#include <QTest>
#include <QWidget>
#include <array>

#include "shell/text_progress_ctrl.h"

namespace {

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Number of pixels of `color` in the column `x` of `image`.
int pixelsInColumn(const QImage& image, int x, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        count += image.pixelColor(x, y) == color ? 1 : 0;
    }
    return count;
}

// What the bar paints inside its frame.
QImage clientImage(TextProgressCtrl& bar) {
    return bar.grab(bar.contentsRect()).toImage();
}

}  // namespace

class TextProgressCtrlTest : public QObject {
    Q_OBJECT

  private slots:
    void boundsPositionAndStep();
    void textAndPercentage();
    void redrawsOnlyWhenTheEdgeMoves();
    void paintsBothPartsWithTheOtherPartsColourForText();
    void verticalBarFillsFromTheBottomWithoutText();
    void emptyRangeDrawsOnlyTheBackground();
};

void TextProgressCtrlTest::boundsPositionAndStep() {
    TextProgressCtrl bar;
    TextProgressCtrl::Range range;
    QCOMPARE(bar.range(true, &range), 0);
    QCOMPARE(range.upper, 100);

    bar.setRange((200U << 16) | 100U);
    QCOMPARE(bar.range(true), 100);
    QCOMPARE(bar.range(false), 200);
    // Both halves are unsigned.
    bar.setRange(0xFFFF0000U);
    QCOMPARE(bar.range(false), 65535);

    bar.setRange32(0, 100);
    QCOMPARE(bar.setPos(100), 0);
    QCOMPARE(bar.stepIt(), 100);
    QCOMPARE(bar.pos(), 101);  // nothing wraps around at the upper bound
    QCOMPARE(bar.setStep(5), 1);
    bar.stepIt();
    QCOMPARE(bar.deltaPos(-6), 106);
    QCOMPARE(bar.pos(), 100);
}

void TextProgressCtrlTest::textAndPercentage() {
    TextProgressCtrl bar;
    bar.resize(120, 16);
    QCOMPARE(bar.shownText(), QStringLiteral("0%"));
    bar.setPos(50);
    QCOMPARE(bar.shownText(), QStringLiteral("50%"));
    bar.setPos(100);
    QCOMPARE(bar.shownText(), QStringLiteral("100%"));
    bar.setRange32(0, 3);
    bar.setPos(2);
    QCOMPARE(bar.shownText(), QStringLiteral("66%"));  // truncated, not rounded

    bar.setText(QStringLiteral("Level 3"));
    QCOMPARE(bar.shownText(), QStringLiteral("Level 3"));
    std::array<char, 4> buffer{};
    QCOMPARE(bar.copyText(buffer.data(), buffer.size()), size_t{4});
    QCOMPARE(QByteArray(buffer.data(), 4), QByteArray("Leve"));
    QCOMPARE(bar.copyText(nullptr, 10), size_t{0});
    bar.setText(QString());
    QCOMPARE(bar.shownText(), QStringLiteral("66%"));

    // A position far beyond the bounds neither overflows nor misdraws.
    bar.setRange32(0, 1);
    bar.setPos(2147483647);
    QCOMPARE(bar.shownText(), QStringLiteral("2147483647%"));
}

void TextProgressCtrlTest::redrawsOnlyWhenTheEdgeMoves() {
    QWidget window;
    auto* bar = new TextProgressCtrl(&window);
    bar->setGeometry(0, 0, 100, 20);
    bar->setGeometry(0, 0, 200 - bar->contentsRect().width(), 20);  // a client 100 pixels wide
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PaintCounter counter;
    bar->installEventFilter(&counter);

    bar->setPos(40);
    QCOMPARE(counter.paints, 1);
    bar->setPos(40);
    QCOMPARE(counter.paints, 1);
    // 40.1 and 40.9 pixels: the edge stays where it was, though the
    // percentage it would show has changed.
    bar->setRange32(0, 1000);
    bar->setPos(401);
    bar->setPos(409);
    QCOMPARE(counter.paints, 1);
    bar->setPos(410);
    QCOMPARE(counter.paints, 2);
}

void TextProgressCtrlTest::paintsBothPartsWithTheOtherPartsColourForText() {
    QWidget window;
    auto* bar = new TextProgressCtrl(&window);
    bar->setGeometry(0, 0, 204, 28);
    bar->setPos(50);
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
    // "50%" straddles the edge: on the filled half the text is in the window
    // colour, on the rest in the highlight colour.
    int textOnBar = 0;
    int textOnRest = 0;
    for (int x = width / 2 - 40; x < width / 2; ++x) {
        textOnBar += pixelsInColumn(image, x, base);
    }
    for (int x = width / 2; x < width / 2 + 40; ++x) {
        textOnRest += pixelsInColumn(image, x, highlight);
    }
    QVERIFY(textOnBar > 0);
    QVERIFY(textOnRest > 0);

    bar->setShowText(false);
    const QImage plain = clientImage(*bar);
    for (int x = width / 2 - 40; x < width / 2; ++x) {
        QCOMPARE(pixelsInColumn(plain, x, highlight), height);
    }

    const QColor red(Qt::red);
    QCOMPARE(bar->setBarColor(red), QColor());
    QCOMPARE(bar->setBarColor(red), red);
    QCOMPARE(clientImage(*bar).pixelColor(1, 1), red);
}

void TextProgressCtrlTest::verticalBarFillsFromTheBottomWithoutText() {
    QWidget window;
    auto* bar = new TextProgressCtrl(&window);
    bar->setVertical(true);
    bar->setGeometry(0, 0, 30, 104);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int height = bar->contentsRect().height();
    bar->setRange32(0, height);
    bar->setPos(height / 4);

    const QImage image = clientImage(*bar);
    const QColor highlight = bar->palette().color(QPalette::Active, QPalette::Highlight);
    for (int x = 0; x < image.width(); ++x) {
        QCOMPARE(pixelsInColumn(image, x, highlight), height / 4);
    }
    QCOMPARE(image.pixelColor(image.width() / 2, height - 1), highlight);
}

void TextProgressCtrlTest::emptyRangeDrawsOnlyTheBackground() {
    QWidget window;
    auto* bar = new TextProgressCtrl(&window);
    bar->setGeometry(0, 0, 80, 20);
    bar->setRange32(7, 7);
    QCOMPARE(bar->setPos(7), 0);
    bar->setBkColor(Qt::darkGreen);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QImage image = clientImage(*bar);
    for (int x = 0; x < image.width(); ++x) {
        QCOMPARE(pixelsInColumn(image, x, QColor(Qt::darkGreen)), image.height());
    }
}

QTEST_MAIN(TextProgressCtrlTest)
#include "tst_text_progress_ctrl.moc"
