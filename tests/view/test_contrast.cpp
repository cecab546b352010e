// The card's colours under any palette.

#include "core/study/contrast.h"

#include <QRandomGenerator>
#include <QtTest>

namespace contrast = mdk::contrast;

class TestContrast : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyPaletteGivesAReadableCardAndAReadableOneStays();
};

void TestContrast::everyPaletteGivesAReadableCardAndAReadableOneStays()
{
    // The scale's two ends, so that a ratio of any constant cannot pass.
    QCOMPARE(contrast::ratio(0x000000, 0xffffff), 21.0);
    QCOMPARE(contrast::ratio(0x808080, 0x808080), 1.0);
    QRandomGenerator random(7);
    for (int i = 0; i < 100000; ++i) {
        const contrast::Colours palette{random.bounded(0x1000000), random.bounded(0x1000000)};
        const contrast::Colours card = contrast::readable(palette);
        QVERIFY(contrast::ratio(card.ground, card.ink) >= contrast::kCardMinimum);
        QCOMPARE(contrast::ratio(card.ground, card.ink), contrast::ratio(card.ink, card.ground));
        // The desktop's ground stays whenever black or white ink reads on it,
        // and both its colours when they read already.
        if (qMax(contrast::ratio(palette.ground, 0), contrast::ratio(palette.ground, 0xffffff))
            >= contrast::kCardMinimum)
            QCOMPARE(card.ground, palette.ground);
        if (contrast::ratio(palette.ground, palette.ink) >= contrast::kCardMinimum)
            QCOMPARE(card.ink, palette.ink);
    }
}

QTEST_GUILESS_MAIN(TestContrast)
#include "test_contrast.moc"
