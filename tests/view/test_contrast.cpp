// The card's colours under any palette, and the check boxes' and radio
// buttons' indicators under dark and light ones.

#include "core/study/contrast.h"
#include "gui/common/contraststyle.h"

#include <QCheckBox>
#include <QFrame>
#include <QPainter>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

QPalette scheme(QColor ground, QColor text)
{
    QPalette p = QStyleFactory::create(QStringLiteral("Fusion"))->standardPalette();
    p.setColor(QPalette::Window, ground);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, ground.darker(120));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, ground.lighter(120));
    p.setColor(QPalette::ButtonText, text);
    return p;
}

struct Drawn {
    QImage image;
    QRect indicator;
};

// An unchecked control as the style draws it on a window of the palette.
Drawn draw(QStyle &style, const QPalette &palette, bool radio)
{
    std::unique_ptr<QAbstractButton> button;
    if (radio)
        button = std::make_unique<QRadioButton>(QStringLiteral("Card format"));
    else
        button = std::make_unique<QCheckBox>(QStringLiteral("Case sensitive"));
    button->setStyle(&style);
    button->setPalette(palette);
    button->resize(button->sizeHint());
    QStyleOptionButton option;
    option.initFrom(button.get());
    const QRect indicator = style.subElementRect(radio ? QStyle::SE_RadioButtonIndicator
                                                       : QStyle::SE_CheckBoxIndicator,
                                                 &option, button.get());
    return {button->grab().toImage(), indicator};
}

// The most any pixel of the indicator stands out from the ground.
double indicatorContrast(const Drawn &d, QColor ground)
{
    double most = 1;
    for (int y = d.indicator.top(); y <= d.indicator.bottom(); ++y)
        for (int x = d.indicator.left(); x <= d.indicator.right(); ++x)
            most = qMax(most, mdk::contrast::ratio(d.image.pixel(x, y), ground.rgb()));
    return most;
}

} // namespace

namespace contrast = mdk::contrast;

class TestContrast : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyPaletteGivesAReadableCardAndAReadableOneStays();
    void reachingKeepsTheHueAsFarAsItCan();
    void darkSchemeIndicatorsReachThreeToOneAndLightOnesStayAsTheyWere();
    void sunkenPanelsKeepAllFourEdgesAtAFractionalScale();
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

void TestContrast::reachingKeepsTheHueAsFarAsItCan()
{
    QRandomGenerator random(11);
    const auto mix = [](contrast::Rgb a, contrast::Rgb b, int step) {
        contrast::Rgb c = 0;
        for (int shift : {16, 8, 0}) {
            const int x = int((a >> shift) & 0xff), y = int((b >> shift) & 0xff);
            c |= contrast::Rgb(x + (y - x) * step / 256) << shift;
        }
        return c;
    };
    for (int i = 0; i < 20000; ++i) {
        const contrast::Rgb colour = random.bounded(0x1000000), ground = random.bounded(0x1000000);
        const contrast::Rgb got = contrast::reaching(colour, ground);
        QVERIFY(contrast::ratio(got, ground) >= contrast::kGraphicMinimum);
        if (contrast::ratio(colour, ground) >= contrast::kGraphicMinimum) {
            QCOMPARE(got, colour);
            continue;
        }
        // It lies on the way to black or white, and no smaller step of that way reaches.
        bool found = false;
        for (contrast::Rgb end : {contrast::Rgb(0), contrast::Rgb(0xffffff)})
            for (int step = 1; step <= 256 && !found; ++step)
                if (mix(colour, end, step) == got || (step == 256 && got == end)) {
                    found = true;
                    for (int earlier = 0; earlier < step; ++earlier)
                        QVERIFY(contrast::ratio(mix(colour, end, earlier), ground) < contrast::kGraphicMinimum);
                }
        QVERIFY(found);
    }
}

void TestContrast::darkSchemeIndicatorsReachThreeToOneAndLightOnesStayAsTheyWere()
{
    mdk::ContrastStyle ours(QStyleFactory::create(QStringLiteral("Fusion")));
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    QRandomGenerator random(5);
    // The dark KDE scheme of the screenshots first, then random ones.
    std::vector<std::pair<QColor, QColor>> dark{{QColor(35, 38, 41), QColor(239, 240, 241)}};
    std::vector<std::pair<QColor, QColor>> light{{QColor(239, 239, 239), QColor(0, 0, 0)}};
    for (int i = 0; i < 40; ++i) {
        const auto channel = [&](int low, int high) { return low + int(random.bounded(high - low + 1)); };
        dark.emplace_back(QColor(channel(0, 80), channel(0, 80), channel(0, 80)),
                          QColor(channel(170, 255), channel(170, 255), channel(170, 255)));
        light.emplace_back(QColor(channel(180, 255), channel(180, 255), channel(180, 255)),
                           QColor(channel(0, 70), channel(0, 70), channel(0, 70)));
    }
    for (bool radio : {false, true}) {
        for (const auto &[ground, text] : dark) {
            const Drawn drawn = draw(ours, scheme(ground, text), radio);
            // Measured against the window around it, which is the ground.
            QCOMPARE(QColor(drawn.image.pixel(drawn.image.width() - 1, 0)), ground);
            const double got = indicatorContrast(drawn, ground);
            QVERIFY2(got >= contrast::kGraphicMinimum,
                     qPrintable(QStringLiteral("%1 on %2: %3:1").arg(radio ? "radio" : "check", ground.name()).arg(got)));
        }
        for (const auto &[ground, text] : light)
            QCOMPARE(draw(ours, scheme(ground, text), radio).image, draw(*fusion, scheme(ground, text), radio).image);
    }
}

void TestContrast::sunkenPanelsKeepAllFourEdgesAtAFractionalScale()
{
    mdk::ContrastStyle ours(QStyleFactory::create(QStringLiteral("Fusion")));
    QFrame frame;
    frame.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    const QColor light = frame.palette().color(QPalette::Light);
    for (const qreal scale : {1.25, 1.5, 1.75}) {
        for (int x = 0; x < 8; ++x) {
            for (int width = 60; width < 70; ++width) {
                // The panel at (x, 3) of a window painted at the scale: the
                // right and bottom edges are the light colour, within the panel.
                QImage window(QSize(100, 40) * scale, QImage::Format_RGB32);
                window.setDevicePixelRatio(scale);
                window.fill(Qt::black);
                QPainter painter(&window);
                painter.translate(x, 3);
                frame.resize(width, 30);
                QStyleOptionFrame option;
                option.initFrom(&frame);
                option.rect = QRect(0, 0, width, 30);
                option.frameShape = QFrame::Panel;
                option.state |= QStyle::State_Sunken;
                option.lineWidth = 1;
                painter.setClipRect(option.rect);
                ours.drawControl(QStyle::CE_ShapedFrame, &option, &painter, &frame);
                painter.end();
                const auto hasLight = [&](QPoint from, QPoint step, int count) {
                    for (int i = 0; i < count; ++i, from += step)
                        if (QColor(window.pixel(from)) == light)
                            return true;
                    return false;
                };
                // The panel's last device column and row, and the one before.
                const int right = int(std::floor((x + width) * scale)) - 1;
                const int bottom = int(std::floor(33 * scale)) - 1;
                const int middleY = int(18 * scale), middleX = int((x + width / 2) * scale);
                QVERIFY2(hasLight({right - 2, middleY}, {1, 0}, 3),
                         qPrintable(QStringLiteral("right edge at %1, x %2, width %3").arg(scale).arg(x).arg(width)));
                QVERIFY2(hasLight({middleX, bottom - 2}, {0, 1}, 3),
                         qPrintable(QStringLiteral("bottom edge at %1, x %2, width %3").arg(scale).arg(x).arg(width)));
            }
        }
    }
}

QTEST_MAIN(TestContrast)
#include "test_contrast.moc"
