// A review round in the real window, from the keyboard only, on a clock the
// test moves: F5, ten cards answered, Escape; the next day F5 again asks
// the missed cards first. The deck is never changed by a round.

#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/shell/commandids.h"
#include "gui/review/reviewcontroller.h"

#include <QLabel>
#include <QTemporaryDir>

using namespace mdk;
using namespace mdk::testsupport;

class TestReviewWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theNextDayTheMissedCardsComeFirst()
    {
        QTemporaryDir dir;
        qputenv("MNEMODECK_PROGRESS", dir.filePath(QStringLiteral("progress.sqlite")).toUtf8());
        WindowFixture f;
        f.study(30);
        auto *controller = f.window->findChild<ReviewController *>();
        QVERIFY(controller);
        QDateTime now(QDate(2026, 4, 6), QTime(20, 0));
        controller->setClock([&] { return now; });

        QStringList missed;
        onModal([&] { f.window->runCommand(CM_REVIEW); }, [&](QDialog *round) {
            auto *question = child<QLabel>(round, "question");
            for (int i = 0; i < 10; ++i) {
                QTest::keyClick(round, i % 2 ? Qt::Key_Space : Qt::Key_Return);
                if (i % 3 == 1) {
                    missed.append(question->text());
                    QTest::keyClick(round, i % 2 ? Qt::Key_Left : Qt::Key_J);
                } else {
                    QTest::keyClick(round, i % 2 ? Qt::Key_Right : Qt::Key_1);
                }
            }
            QCOMPARE(child<QLabel>(round, "progress")->text(), QStringLiteral("card 11 of 20 \u00b7 7 known \u00b7 3 missed"));
            QTest::keyClick(round, Qt::Key_Escape); // ends the round: the summary
            QVERIFY(round->isVisible());
            QVERIFY(child<QLabel>(round, "summary")->text().startsWith(QStringLiteral("70 % known")));
            QTest::keyClick(round, Qt::Key_Escape);
            QVERIFY(!round->isVisible());
        });
        QCOMPARE(missed.size(), 3);
        QVERIFY(!f.deck().changed());

        now = now.addDays(1);
        QStringList first;
        onModal([&] { f.window->runCommand(CM_REVIEW); }, [&](QDialog *round) {
            for (int i = 0; i < 3; ++i) {
                first.append(child<QLabel>(round, "question")->text());
                QTest::keyClick(round, Qt::Key_Space);
                QTest::keyClick(round, Qt::Key_K);
            }
        });
        QCOMPARE(first, missed);
        qunsetenv("MNEMODECK_PROGRESS");
    }
};

QTEST_MAIN(TestReviewWindow)
#include "test_reviewwindow.moc"
