// The card's colours: the contrast ratio, and the colours the card keeps
// under any palette.

#include "core/study/contrast.h"

#include <QRandomGenerator>
#include <QtTest>

namespace contrast = mdk::contrast;

class TestContrast : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theRatioRunsFromOneToTwentyOneEitherWayRound();
    void everyPaletteGivesAReadableCardAndAReadableOneStays();
};

void TestContrast::theRatioRunsFromOneToTwentyOneEitherWayRound()
{
    QCOMPARE(contrast::ratio(0x000000, 0xffffff), 21.0);
    QRandomGenerator random(22);
    for (int i = 0; i < 10000; ++i) {
        const contrast::Rgb a = random.bounded(0x1000000), b = random.bounded(0x1000000);
        QCOMPARE(contrast::ratio(a, b), contrast::ratio(b, a));
        QCOMPARE(contrast::ratio(a, a), 1.0);
        QVERIFY(contrast::ratio(a, b) >= 1.0 && contrast::ratio(a, b) <= 21.0);
        // A lighter grey always stands further from black.
        const contrast::Rgb g = random.bounded(255) * 0x010101;
        QVERIFY(contrast::ratio(0, g + 0x010101) > contrast::ratio(0, g));
    }
}

void TestContrast::everyPaletteGivesAReadableCardAndAReadableOneStays()
{
    QRandomGenerator random(7);
    for (int i = 0; i < 100000; ++i) {
        const contrast::Colours palette{random.bounded(0x1000000), random.bounded(0x1000000)};
        const contrast::Colours card = contrast::readable(palette);
        QVERIFY(contrast::ratio(card.ground, card.ink) >= contrast::kCardMinimum);
        // The desktop's ground stays whenever black or white ink reads on it.
        if (qMax(contrast::ratio(palette.ground, 0), contrast::ratio(palette.ground, 0xffffff))
            >= contrast::kCardMinimum)
            QCOMPARE(card.ground, palette.ground);
        if (contrast::ratio(palette.ground, palette.ink) >= contrast::kCardMinimum) {
            QCOMPARE(card.ground, palette.ground);
            QCOMPARE(card.ink, palette.ink);
        }
    }
}

QTEST_GUILESS_MAIN(TestContrast)
#include "test_contrast.moc"
