// A review round in the real window, from the keyboard only, on a clock the
// test moves: F5, ten cards answered, Escape; the next day F5 again asks
// the missed cards first. The deck is never changed by a round.

#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/shell/commandids.h"
#include "support/deckbuilder.h"
#include "core/review/cardkey.h"
#include "core/review/intervaltext.h"
#include "core/review/progressstore.h"
#include "gui/review/reviewcontroller.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>

#include <map>

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
        f.window->options().reviewScheduler = 1; // the boxes, with two buttons
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

    // The memory model's round: 20 new cards graded with 1, 2, 3 and 4;
    // before each answer the four buttons show what the model gives a new
    // card, and afterwards every card's stored memory is the model's for
    // the grade given. Cards graded Again, Hard or Good come back in the
    // round (their learning step is due today); Easy ones do not.
    void fourGradesShowTheirIntervals()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("progress.sqlite"));
        qputenv("MNEMODECK_PROGRESS", path.toUtf8());
        WindowFixture f;
        f.study(20);
        auto *controller = f.window->findChild<ReviewController *>();
        const QDateTime now(QDate(2026, 4, 6), QTime(20, 0));
        controller->setClock([&] { return now; });
        const qint64 today = review::dayOf(now, f.window->options().reviewDayStartHour);
        const review::fsrs::Scheduler scheduler{review::fsrs::Settings{}};
        std::map<QString, review::fsrs::Grade> given;
        onModal([&] { f.window->runCommand(CM_REVIEW); }, [&](QDialog *round) {
            auto *question = child<QLabel>(round, "question");
            QPushButton *const buttons[] = {child<QPushButton>(round, "missedButton"), child<QPushButton>(round, "hardButton"),
                                            child<QPushButton>(round, "knewButton"), child<QPushButton>(round, "easyButton")};
            for (int i = 0; i < 20; ++i) {
                const QString q = question->text();
                const qint64 key = review::cardKey(q, QStringLiteral("a") + q.mid(1));
                const auto next = scheduler.preview({}, now.toMSecsSinceEpoch(), today, quint64(key));
                QTest::keyClick(round, Qt::Key_Space);
                for (int g = 0; g < 4; ++g) {
                    QVERIFY(buttons[g]->isVisible() && buttons[g]->isEnabled());
                    QCOMPARE(buttons[g]->text().section(QLatin1Char('\n'), 1),
                             review::intervalText(next[size_t(g)].due - now.toMSecsSinceEpoch()));
                }
                QVERIFY(buttons[0]->text().startsWith(QStringLiteral("1 Again")));
                given[q] = review::fsrs::Grade(1 + i % 4);
                QTest::keyClick(round, Qt::Key(Qt::Key_1 + i % 4));
            }
            // 15 of the 20 come back: Again, Hard and Good are learning steps.
            QCOMPARE(child<QLabel>(round, "progress")->text(), QStringLiteral("card 21 of 35 \u00b7 15 known \u00b7 5 missed"));
            QTest::keyClick(round, Qt::Key_Escape);
            QTest::keyClick(round, Qt::Key_Escape);
        });
        review::ProgressStore store(path);
        for (const auto &[q, grade] : given) {
            const qint64 key = review::cardKey(q, QStringLiteral("a") + q.mid(1));
            const review::fsrs::Review log[] = {{now.toMSecsSinceEpoch(), today, grade}};
            QCOMPARE(store.memory({key}).front(), review::fsrs::replay(scheduler, log, quint64(key)));
        }
        qunsetenv("MNEMODECK_PROGRESS");
    }

    // A 9,000-character side without a space and one of 120 lines: the
    // round window stays within the screen, its buttons on it, the text
    // in scroll areas.
    void longSidesScrollInsideTheScreen()
    {
        QTemporaryDir dir;
        qputenv("MNEMODECK_PROGRESS", dir.filePath(QStringLiteral("progress.sqlite")).toUtf8());
        WindowFixture f;
        QStringList lines;
        for (int i = 0; i < 120; ++i)
            lines << QStringLiteral("line %1 of a long answer").arg(i);
        f.show(buildDeck({{QString(9000, u'w'), QStringLiteral("short"), CategoryTree::kMainName},
                          {QStringLiteral("lines"), lines.join(u'\n'), CategoryTree::kMainName}}));
        auto *controller = f.window->findChild<ReviewController *>();
        controller->setClock([] { return QDateTime(QDate(2026, 4, 6), QTime(20, 0)); });
        int shown = 0;
        onModal([&] { f.window->runCommand(CM_REVIEW); }, [&](QDialog *round) {
            const QRect screen = round->screen()->availableGeometry();
            for (int card = 0; card < 2; ++card) {
                QTest::keyClick(round, Qt::Key_Space);
                QApplication::processEvents();
                QVERIFY2(screen.contains(round->frameGeometry()), qPrintable(QStringLiteral("%1x%2").arg(round->width()).arg(round->height())));
                for (const char *name : {"knewButton", "missedButton"}) {
                    auto *button = child<QPushButton>(round, name);
                    QVERIFY(button->isVisible());
                    QVERIFY(round->rect().contains(QRect(button->mapTo(round, QPoint(0, 0)), button->size())));
                }
                ++shown;
                QTest::keyClick(round, Qt::Key_K);
            }
        });
        QCOMPARE(shown, 2);
        qunsetenv("MNEMODECK_PROGRESS");
    }

    // Ctrl+Z takes the last answer back (the card is asked again), the
    // summary names no card, the missed ones come again in the repeat
    // round, the direction chosen is the next round's, and the status line
    // counts the view's due and new cards.
    void takeBackRepeatAndDirection()
    {
        QTemporaryDir dir;
        qputenv("MNEMODECK_PROGRESS", dir.filePath(QStringLiteral("progress.sqlite")).toUtf8());
        WindowFixture f;
        f.study(6);
        f.window->options().reviewScheduler = 1;
        auto *controller = f.window->findChild<ReviewController *>();
        QDateTime now(QDate(2026, 4, 6), QTime(20, 0));
        controller->setClock([&] { return now; });
        onModal([&] { f.window->runCommand(CM_REVIEW); }, [&](QDialog *round) {
            auto *question = child<QLabel>(round, "question");
            auto *progress = child<QLabel>(round, "progress");
            QCOMPARE(question->text(), QStringLiteral("q1"));
            QTest::keyClick(round, Qt::Key_Space);
            QTest::keyClick(round, Qt::Key_J); // q1 missed
            QTest::keyClick(round, Qt::Key_Space);
            QTest::keyClick(round, Qt::Key_K); // q2 knew
            QCOMPARE(progress->text(), QStringLiteral("card 3 of 6 \u00b7 1 known \u00b7 1 missed"));
            QTest::keyClick(round, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(question->text(), QStringLiteral("q2"));
            QCOMPARE(progress->text(), QStringLiteral("card 2 of 6 \u00b7 0 known \u00b7 1 missed"));
            QTest::keyClick(round, Qt::Key_Space);
            QTest::keyClick(round, Qt::Key_J); // q2 missed after all
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(round, Qt::Key_Space);
                QTest::keyClick(round, Qt::Key_K);
            }
            QVERIFY(child<QLabel>(round, "summary")->text().startsWith(QStringLiteral("67 % known (4 of 6 cards)")));
            QVERIFY(progress->text().isEmpty());
            child<QPushButton>(round, "againButton")->click();
            QCOMPARE(question->text(), QStringLiteral("q1"));
            QCOMPARE(progress->text(), QStringLiteral("card 1 of 2 \u00b7 0 known \u00b7 0 missed"));
            child<QComboBox>(round, "direction")->setCurrentIndex(1);
            QCOMPARE(question->text(), QStringLiteral("a1"));
        });
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("DueGadget"))->text(), QStringLiteral("0 due \u00b7 0 new"));
        now = now.addDays(1);
        QStringList asked;
        onModal([&] { f.window->runCommand(CM_REVIEW); }, [&](QDialog *round) {
            QCOMPARE(child<QComboBox>(round, "direction")->currentIndex(), 1);
            for (int i = 0; i < 2; ++i) {
                asked << child<QLabel>(round, "question")->text();
                QTest::keyClick(round, Qt::Key_Space);
                QTest::keyClick(round, Qt::Key_K);
            }
        });
        // Taken back, q2's first answer left nothing: both missed, both due.
        QCOMPARE(asked, (QStringList{QStringLiteral("a1"), QStringLiteral("a2")}));
        qunsetenv("MNEMODECK_PROGRESS");
    }
};

QTEST_MAIN(TestReviewWindow)
#include "test_reviewwindow.moc"
