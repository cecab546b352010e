// The card panel on its own: it paints whole lines only, its border lies on
// the widget's edge, and the wheel over it drives the card's scroll bar.

#include "gui/study/carddisplay.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace mdk;

namespace {

QString lines(int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << QStringLiteral("MMMM MMMM");
    return l.join(QStringLiteral("\r\n"));
}

// Whether any pixel in rows [from, to) of the text area differs from the
// card's background.
bool inkInRows(const QImage &image, const QRect &area, int from, int to, QRgb paper)
{
    for (int y = qMax(from, area.top()); y < qMin(to, area.bottom() + 1); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != paper)
                return true;
    return false;
}

// Resizes the card so its text area is exactly textHeight pixels high.
void setTextHeight(CardDisplay &card, int textHeight)
{
    card.resize(300, 100);
    card.resize(300, 100 + textHeight - card.textRect().height());
    QCOMPARE(card.textRect().height(), textHeight);
}

// One notch of the wheel (down when notches < 0) at the middle of w.
bool turnWheel(QWidget *w, int notches)
{
    const QPointF pos(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
    return e.isAccepted();
}

} // namespace

class CardDisplayTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void paintsWholeLinesOnly();
    void borderLiesOnTheEdge();
    void wheelScrollsThroughTheScrollBar();
    void aDarkPaletteStillGivesReadableText();
};

void CardDisplayTest::paintsWholeLinesOnly()
{
    CardDisplay card;
    QFont font = card.font();
    font.setPixelSize(20);
    card.setCardFont(font);
    card.setText(lines(10));
    const int lh = card.fontMetrics().height();
    const QRgb paper = card.palette().color(QPalette::Base).rgb();

    // Room for exactly 3 lines, for 3 and a half, and for just under 4: three
    // lines show, and nothing of the fourth.
    for (const int height : {3 * lh, 3 * lh + lh / 2, 4 * lh - 1}) {
        for (const int first : {0, 7}) {
            setTextHeight(card, height);
            card.setFirstLine(first);
            const QImage image = card.grab().toImage();
            const QRect area = card.textRect();
            for (int k = 0; k < 3; ++k)
                QVERIFY2(inkInRows(image, area, area.top() + k * lh, area.top() + (k + 1) * lh, paper),
                         qPrintable(QStringLiteral("line %1 missing at height %2, first line %3").arg(k).arg(height).arg(first)));
            QVERIFY2(!inkInRows(image, area, area.top() + 3 * lh, area.bottom() + 1, paper),
                     qPrintable(QStringLiteral("part of a line below at height %1, first line %2").arg(height).arg(first)));
        }
    }
    // Lower than one line: the top line still shows rather than nothing.
    setTextHeight(card, lh / 2 + 2);
    card.setFirstLine(0);
    const QRect area = card.textRect();
    QVERIFY(inkInRows(card.grab().toImage(), area, area.top(), area.bottom() + 1, paper));
}

void CardDisplayTest::borderLiesOnTheEdge()
{
    CardDisplay card;
    card.resize(200, 120);
    card.setText(QString());
    const QImage image = card.grab().toImage();
    const QRgb border = card.palette().color(QPalette::WindowText).rgb();
    const QRgb paper = card.palette().color(QPalette::Base).rgb();
    QVERIFY(border != paper);
    const int w = image.width(), h = image.height();
    for (int x = 0; x < w; ++x) {
        QCOMPARE(image.pixel(x, 0), border);
        QCOMPARE(image.pixel(x, h - 1), border);
    }
    for (int y = 0; y < h; ++y) {
        QCOMPARE(image.pixel(0, y), border);
        QCOMPARE(image.pixel(w - 1, y), border);
    }
    // Inside the border the card is plain paper.
    QCOMPARE(image.pixel(1, 1), paper);
    QCOMPARE(image.pixel(w - 2, h - 2), paper);
    QVERIFY(card.textRect().top() >= 1 && card.textRect().left() >= 1);
}

void CardDisplayTest::wheelScrollsThroughTheScrollBar()
{
    QWidget dialog;
    auto *card = new CardDisplay(&dialog);
    card->resize(300, 100);
    card->setText(lines(30));
    QScrollBar bar(Qt::Vertical);
    bar.setRange(0, card->lineCount() - 1);
    bar.setSingleStep(1);
    bar.setPageStep(14);
    connect(&bar, &QScrollBar::valueChanged, card, &CardDisplay::setFirstLine);

    // Without a target the card leaves the wheel unhandled, for its parent.
    QVERIFY(!turnWheel(card, -1));
    QCOMPARE(card->firstLine(), 0);

    // What one notch down does over the bar itself...
    turnWheel(&bar, -1);
    const int step = bar.value();
    QVERIFY(step > 0);
    bar.setValue(0);
    // ...it does over the card.
    card->setWheelTarget(&bar);
    QVERIFY(turnWheel(card, -1));
    QCOMPARE(bar.value(), step);
    QCOMPARE(card->firstLine(), step);
    turnWheel(card, -1);
    QCOMPARE(card->firstLine(), 2 * step);
    // Up past the top stops at line 0; down past the end at the last line.
    // Turns at the ends are still taken by the card, not passed on.
    QVERIFY(turnWheel(card, 5));
    QCOMPARE(card->firstLine(), 0);
    for (int i = 0; i < 30; ++i)
        QVERIFY(turnWheel(card, -1));
    QCOMPARE(card->firstLine(), card->lineCount() - 1);

    // A bar that is gone leaves the card as it was without one.
    const int before = card->firstLine();
    {
        QScrollBar gone;
        card->setWheelTarget(&gone);
    }
    QVERIFY(!turnWheel(card, 1));
    QCOMPARE(card->firstLine(), before);
}

void CardDisplayTest::aDarkPaletteStillGivesReadableText()
{
    // A dark scheme whose text colour reads badly on its ground (about 2:1).
    CardDisplay card;
    QPalette dark = card.palette();
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x28));
    dark.setColor(QPalette::Text, QColor(0x58, 0x58, 0x60));
    card.setPalette(dark);
    QFont font = card.font();
    font.setPixelSize(20);
    card.setCardFont(font);
    card.setText(QStringLiteral("MMMM"));
    setTextHeight(card, 40);
    const QImage image = card.grab().toImage();
    const QRect area = card.textRect();
    const QRgb ground = image.pixel(area.right(), area.bottom());
    // The strongest ink against the ground: the middle of a stroke.
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = qMax(best, mdk::contrast::ratio(ground & 0xffffff, image.pixel(x, y) & 0xffffff));
    QVERIFY2(best >= mdk::contrast::kCardMinimum, qPrintable(QString::number(best)));
}

QTEST_MAIN(CardDisplayTest)
#include "test_carddisplay.moc"
