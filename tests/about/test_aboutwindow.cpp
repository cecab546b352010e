#include "core/about/panelscene.h"
#include "core/appinfo.h"
#include "gui/about/aboutwindow.h"

#include <QTranslator>

#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using mdk::AboutWindow;
namespace about = mdk::about;

class TestAboutWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void closingStopsTheTimerAndTheAngleSurvives();
    void aFrameChangesOnlyTheViewArea();
    void opensInTheMiddleOfTheScreen();
    void textsComeFromTheTranslationAndAreSaid();
};

namespace {
// Turns every text of the About window into a marked one.
class MarkingTranslator : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (QByteArray(context) != "mdk::AboutWindow" || QByteArray(source).startsWith("&"))
            return {};
        return QStringLiteral("[de] ") + QString::fromUtf8(source);
    }
};
} // namespace

void TestAboutWindow::closingStopsTheTimerAndTheAngleSurvives()
{
    QWidget main;
    main.setGeometry(100, 100, 600, 400);
    main.show();
    float angle = 0;

    for (const bool byEscape : {false, true}) {
        QPointer<AboutWindow> w = new AboutWindow(angle, &main);
        w->show();
        QCOMPARE(w->size(), QSize(274, 315));
        QVERIFY(!w->isModal());
        const float opened = angle;
        QTRY_VERIFY_WITH_TIMEOUT(angle >= opened + 2 * about::kPi / 180 - 1e-6f, 2000);
        // The reopened window continued from where the first stopped.
        QVERIFY(angle < opened + 20 * about::kPi / 180);

        auto *ok = w->findChild<QPushButton *>();
        QVERIFY(ok && ok->isDefault());
        QCOMPARE(ok->text(), QStringLiteral("&Ok"));
        if (byEscape)
            QTest::keyClick(w, Qt::Key_Escape);
        else
            ok->click();
        QTRY_VERIFY(w.isNull());

        const float closed = angle;
        QTest::qWait(350);
        QCOMPARE(angle, closed);
        QVERIFY(closed > 0);
    }
}

void TestAboutWindow::aFrameChangesOnlyTheViewArea()
{
    float angle = about::kPi / 5;
    AboutWindow w(angle, nullptr);
    const QImage before = w.composedPicture();
    w.composeFrame();
    const QImage &after = w.composedPicture();
    int changed = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                QVERIFY2(about::kViewArea.contains(x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                ++changed;
            }
    QVERIFY(changed > 500);
    // A second frame at another angle leaves nothing of the first behind
    // outside the panels it draws: the view area is restored first.
    angle = 0;
    w.composeFrame();
    const QImage facing = w.composedPicture();
    angle = about::kPi / 5;
    w.composeFrame();
    w.composeFrame();
    QCOMPARE(w.composedPicture(), after);
    QVERIFY(facing != after);
}

void TestAboutWindow::textsComeFromTheTranslationAndAreSaid()
{
    float angle = 0;
    QImage english;
    {
        AboutWindow w(angle, nullptr);
        const QString said = w.accessibleDescription();
        QVERIFY2(said.contains(QStringLiteral("Version ") + mdk::appinfo::kVersion), qPrintable(said));
        QVERIFY(said.contains(QStringLiteral("Two-sided study cards")));
        english = w.grab().toImage();
    }
    MarkingTranslator marking;
    QCoreApplication::installTranslator(&marking);
    AboutWindow w(angle, nullptr);
    const QString said = w.accessibleDescription();
    QCoreApplication::removeTranslator(&marking);
    QVERIFY2(said.contains(QStringLiteral("[de] Version ") + mdk::appinfo::kVersion), qPrintable(said));
    QVERIFY(said.contains(QStringLiteral("[de] Two-sided study cards")));
    // The translated texts are what is drawn: the picture changes where the
    // version and the line are, and only there.
    const QImage translated = w.grab().toImage();
    QCOMPARE(translated.size(), english.size());
    int changedAbove = 0, changedInTexts = 0;
    for (int y = 0; y < english.height(); ++y)
        for (int x = 0; x < english.width(); ++x)
            if (english.pixel(x, y) != translated.pixel(x, y))
                ++(y >= 180 * english.devicePixelRatio() && y < 250 * english.devicePixelRatio() ? changedInTexts : changedAbove);
    QVERIFY(changedInTexts > 50);
    QCOMPARE(changedAbove, 0);
}

void TestAboutWindow::opensInTheMiddleOfTheScreen()
{
    QWidget main;
    main.setGeometry(10, 20, 300, 200);
    main.show();
    float angle = 0;
    AboutWindow w(angle, &main);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPoint offCentre = w.frameGeometry().center() - main.screen()->availableGeometry().center();
    // Whole pixels: a pixel or two either way.
    QVERIFY2(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2, qPrintable(QStringLiteral("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
}

QTEST_MAIN(TestAboutWindow)
#include "test_aboutwindow.moc"
