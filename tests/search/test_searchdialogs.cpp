// The Search and Shuffle dialogs: their starting state, the keys, the shuffle
// choice that counts at once, and the displays that must paint while the
// caller works without returning to the event loop.

#include "support/modal.h"

#include "gui/search/searchdlg.h"
#include "gui/search/shuffledlg.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

QString labelOf(QWidget *dialog, const char *name) { return child<QLabel>(dialog, name)->text(); }

struct PaintCounter : QObject {
    explicit PaintCounter(QWidget *w) { w->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override
    {
        count += e->type() == QEvent::Paint;
        return false;
    }
    int count = 0;
};

} // namespace

class SearchDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startFromTheirArguments();
    void searchFieldHoldsOnlyTheSearchedLength();
    void enterAsksEscapeCancels();
    void shuffleChoiceCountsAtOnceAndCancelAddsNothing();
    void shuffleDisplaysPaintAtOnceAndOnlyOnChange();
    void scanningCounterIsThrottledButEndsOnTheLastCard();
    void searchedTextIsReadableWhateverItsLength();
};

void SearchDialogsTest::startFromTheirArguments()
{
    for (const bool allowed : {true, false}) {
        SearchDlg dialog(QStringLiteral("Haus"), {true, false}, 1234, 17, allowed);
        QCOMPARE(dialog.searchText(), QStringLiteral("Haus"));
        QCOMPARE(dialog.searchEdit()->font().pixelSize(), 12);
        QCOMPARE(labelOf(&dialog, "totalCardsLabel"), QStringLiteral("1234"));
        QCOMPARE(labelOf(&dialog, "startedAtLabel"), QStringLiteral("17"));
        QCOMPARE(labelOf(&dialog, "scanningLabel"), QStringLiteral("17"));
        QCOMPARE(labelOf(&dialog, "searchingForLabel"), QStringLiteral("Not yet entered"));
        QVERIFY(dialog.options().caseSensitive && !dialog.options().wholeWords);
        auto *dup1 = child<QCheckBox>(&dialog, "duplicates1Box");
        auto *dup2 = child<QCheckBox>(&dialog, "duplicates2Box");
        QVERIFY(!dup1->isChecked() && !dup2->isChecked());
        QCOMPARE(dup1->isEnabled(), allowed);
        QCOMPARE(dup2->isEnabled(), allowed);

        // The boxes are read as they stand, not as they started.
        child<QCheckBox>(&dialog, "wholeWordsBox")->click();
        child<QCheckBox>(&dialog, "caseSensitiveBox")->click();
        dup2->click();
        QVERIFY(!dialog.options().caseSensitive && dialog.options().wholeWords);
        QVERIFY(!dialog.deleteDuplicatesOnSide1());
        QCOMPARE(dialog.deleteDuplicatesOnSide2(), allowed);
    }

    ShuffleDlg shuffle(3);
    QCOMPARE(shuffle.shuffletype(), 3);
    QVERIFY(child<QRadioButton>(&shuffle, "alphabetizeButton")->isChecked());
    QCOMPARE(child<QProgressBar>(&shuffle, "progressBar")->value(), 0);
}

// The search reads 36 characters; the field shows the same cut, whether the
// text came from the settings or was typed.
void SearchDialogsTest::searchFieldHoldsOnlyTheSearchedLength()
{
    const QString forty = QStringLiteral("abcdefghij").repeated(4);
    SearchDlg dialog(forty, {}, 2, 1, true);
    QCOMPARE(dialog.searchText(), forty.left(36));
    QVERIFY(showActive(dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.searchEdit());
    dialog.searchEdit()->clear();
    QTest::keyClicks(dialog.searchEdit(), forty);
    QCOMPARE(dialog.searchText(), forty.left(36));
}

// Enter presses the default button, which only asks: the caller closes the
// dialog when its search or shuffle is done. Escape cancels.
void SearchDialogsTest::enterAsksEscapeCancels()
{
    SearchDlg search(QStringLiteral("x"), {}, 3, 1, true);
    QSignalSpy begin(&search, &SearchDlg::beginSearchRequested);
    ShuffleDlg shuffle(2);
    QSignalSpy ok(&shuffle, &ShuffleDlg::okRequested);
    QSignalSpy chosen(&shuffle, &ShuffleDlg::shuffletypeChosen);
    for (QDialog *dialog : {static_cast<QDialog *>(&search), static_cast<QDialog *>(&shuffle)}) {
        QVERIFY(showActive(*dialog));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }
    QCOMPARE(begin.count(), 1);
    QCOMPARE(ok.count(), 1);
    QCOMPARE(chosen.count(), 0);
}

void SearchDialogsTest::shuffleChoiceCountsAtOnceAndCancelAddsNothing()
{
    ShuffleDlg dialog(2);
    QSignalSpy chosen(&dialog, &ShuffleDlg::shuffletypeChosen);
    QSignalSpy ok(&dialog, &ShuffleDlg::okRequested);
    QVERIFY(showActive(dialog));
    QTest::mouseClick(child<QRadioButton>(&dialog, "patternButton"), Qt::LeftButton);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toInt(), 1);
    QCOMPARE(dialog.shuffletype(), 1);
    QTest::mouseClick(child<QRadioButton>(&dialog, "reverseButton"), Qt::LeftButton);
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(chosen.at(1).at(0).toInt(), 0);

    QTest::mouseClick(child<QPushButton>(&dialog, "cancelButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(ok.count(), 0);
}

void SearchDialogsTest::shuffleDisplaysPaintAtOnceAndOnlyOnChange()
{
    ShuffleDlg dialog(2);
    QVERIFY(showActive(dialog));
    auto *bar = child<QProgressBar>(&dialog, "progressBar");
    PaintCounter barPaints(bar);
    PaintCounter operationPaints(child(&dialog, "operationLabel"));

    dialog.setProgress(0);
    QCOMPARE(barPaints.count, 0);
    dialog.setProgress(40);
    QCOMPARE(bar->value(), 40);
    const int afterChange = barPaints.count;
    QVERIFY(afterChange >= 1);
    for (int i = 0; i < 1000; ++i)
        dialog.setProgress(40);
    QCOMPARE(barPaints.count, afterChange);

    dialog.setOperation(QStringLiteral("Shuffling..."));
    dialog.setOperation(QStringLiteral("Shuffling..."));
    QCOMPARE(labelOf(&dialog, "operationLabel"), QStringLiteral("Shuffling..."));
    QCOMPARE(operationPaints.count, 1);
}

// One call per card of a scan: the counter paints at once, then at most once
// every 50 ms, and shows the last card once the event loop runs.
void SearchDialogsTest::scanningCounterIsThrottledButEndsOnTheLastCard()
{
    SearchDlg dialog(QStringLiteral("x"), {}, 300000, 1, true);
    QVERIFY(showActive(dialog));
    auto *label = child<QLabel>(&dialog, "scanningLabel");
    PaintCounter paints(label);

    QElapsedTimer clock;
    clock.start();
    dialog.setScanning(2);
    QCOMPARE(paints.count, 1);
    QCOMPARE(label->text(), QStringLiteral("2"));
    for (int card = 3; card <= 300000; ++card)
        dialog.setScanning(card);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(paints.count <= 1 + elapsed / SearchDlg::kScanPaintInterval,
             qPrintable(QStringLiteral("%1 paints in %2 ms").arg(paints.count).arg(elapsed)));
    QTRY_COMPARE(label->text(), QStringLiteral("300000"));

    // The other statistics change a few times per search and paint at once.
    PaintCounter searchingPaints(child(&dialog, "searchingForLabel"));
    PaintCounter totalPaints(child(&dialog, "totalCardsLabel"));
    dialog.setSearchingFor(QStringLiteral("Duplicates on side 1"));
    dialog.setTotalCards(299999);
    QCOMPARE(labelOf(&dialog, "searchingForLabel"), QStringLiteral("Duplicates on side 1"));
    QCOMPARE(labelOf(&dialog, "totalCardsLabel"), QStringLiteral("299999"));
    QCOMPARE(searchingPaints.count + totalPaints.count, 2);
}

void SearchDialogsTest::searchedTextIsReadableWhateverItsLength()
{
    SearchDlg dialog(QString(), {}, 5, 1, true);
    QVERIFY(showActive(dialog));
    auto *label = child<QLabel>(&dialog, "searchingForLabel");
    const QRect box = label->contentsRect();
    const QFontMetrics metrics(label->font());
    for (const QString &text : {QString(search::kPatternChars, QLatin1Char('W')), QStringLiteral("a b"),
                                QStringLiteral("Duplicates on side 1 ") + QString(30, QLatin1Char('M'))}) {
        dialog.setSearchingFor(text);
        // Every line shown fits the label, and the tool tip holds the whole text.
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        QVERIFY(lines.size() * metrics.lineSpacing() <= box.height());
        for (const QString &line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= box.width(), qPrintable(line));
        QCOMPARE(label->toolTip(), text);
    }
}

QTEST_MAIN(SearchDialogsTest)
#include "test_searchdialogs.moc"
