// The printed pages, read back from the PDF file they were drawn into.

#include "core/print/printjob.h"
#include "gui/print/printout.h"
#include "support/deckbuilder.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

QString runPoppler(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60'000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(runPoppler(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pageText(const QString &pdf, int page)
{
    const QString n = QString::number(page);
    return runPoppler(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf, QStringLiteral("-")});
}

print::Printout::Outcome printTo(const QString &pdf, const print::Printout &printout,
                                 const std::function<bool(int, int)> &progress = {})
{
    QPdfWriter writer(pdf);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    return printout.print(writer, progress);
}

} // namespace

class TestPrintout : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdfinfo is not installed (tools/setup.sh installs poppler-utils)");
    }

    void listPagesInOrderWithOneHeader()
    {
        QList<CardText> cards;
        for (int i = 1; i <= 47; ++i)
            cards.append({QStringLiteral("word%1").arg(i, 2, 10, QLatin1Char('0')),
                          QStringLiteral("meaning%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("Main")});
        const Deck deck = buildDeck(cards);
        const print::Printout printout(print::cardsToPrint(deck, print::AllCards), false, QStringLiteral("Spanish"),
                                       LogFont());
        QCOMPARE(printout.pageCount(), 3);
        const QString pdf = dir_.filePath(QStringLiteral("list.pdf"));
        int reports = 0;
        QCOMPARE(printTo(pdf, printout, [&](int, int total) { ++reports; return total == 3; }),
                 print::Printout::Outcome::Printed);
        QVERIFY(reports >= 1);
        QCOMPARE(pdfPages(pdf), 3);

        const QString page1 = pageText(pdf, 1), page2 = pageText(pdf, 2), page3 = pageText(pdf, 3);
        // The header's run of spaces comes back as some white space.
        QVERIFY2(QRegularExpression(QStringLiteral("^Spanish\\s+Total cards: 47$"), QRegularExpression::MultilineOption)
                     .match(page1)
                     .hasMatch(),
                 qPrintable(page1));
        QVERIFY(!page2.contains(QStringLiteral("Total cards")) && !page3.contains(QStringLiteral("Total cards")));
        // Row by row, side 1 beside side 2, 23 cards a page.
        QString all = page1 + page2 + page3;
        qsizetype at = 0;
        for (int i = 1; i <= 47; ++i) {
            const QRegularExpression row(QStringLiteral("word%1\\s+meaning%1").arg(i, 2, 10, QLatin1Char('0')));
            const QRegularExpressionMatch m = row.match(all, at);
            QVERIFY2(m.hasMatch(), qPrintable(QStringLiteral("card %1").arg(i)));
            at = m.capturedEnd();
        }
        QVERIFY(page1.contains(QStringLiteral("word23")) && !page1.contains(QStringLiteral("word24")));
        QCOMPARE(page3.count(QStringLiteral("word")), 1);
    }

    void cardBoxesShowTextAsWritten()
    {
        QString longText;
        for (int i = 0; i < 600; ++i)
            longText += QStringLiteral("w%1 ").arg(i);
        const Deck deck = buildDeck({{QStringLiteral("Salt & pepper"), QStringLiteral("left\tright"), QStringLiteral("Main")},
                                     {longText, QStringLiteral("first line\r\nsecond\rthird\nfourth"), QStringLiteral("Main")},
                                     {QStringLiteral("the view"), QStringLiteral("only"), QStringLiteral("Main")},
                                     {QStringLiteral("fourth card"), QStringLiteral("x"), QStringLiteral("Main")}});
        const print::Printout printout(print::cardsToPrint(deck, print::ThisCategory), true, QString(), LogFont());
        const QString pdf = dir_.filePath(QStringLiteral("card.pdf"));
        QCOMPARE(printTo(pdf, printout), print::Printout::Outcome::Printed);
        QCOMPARE(pdfPages(pdf), 2);
        const QString page1 = pageText(pdf, 1);
        QVERIFY2(page1.contains(QStringLiteral("Salt & pepper")), qPrintable(page1));
        // A tab is white space reaching the next stop, not nothing.
        QVERIFY(QRegularExpression(QStringLiteral("left {2,}right")).match(page1).hasMatch());
        // Every kind of line end breaks the line.
        for (const char *line : {"first line", "second", "third", "fourth"})
            QVERIFY(QRegularExpression(QStringLiteral("^.*%1\\s*$").arg(QLatin1String(line)),
                                       QRegularExpression::MultilineOption)
                        .match(page1)
                        .hasMatch());
        // A long text fills its box and the rest is not printed at all.
        QVERIFY(page1.contains(QStringLiteral("w0 w1")));
        QVERIFY(!page1.contains(QStringLiteral("w599")));
        QVERIFY(pageText(pdf, 2).contains(QStringLiteral("fourth card")));
    }

    void fontTallerThanTheBoxIsCutNotDropped()
    {
        // At height -48 one line is taller than a list row: what fits of it
        // still prints, on one line and on the first line of several.
        const Deck deck = buildDeck({{QStringLiteral("plain"), QStringLiteral("first\r\nsecond"), QStringLiteral("Main")}});
        LogFont font;
        font.Height = -48;
        for (const bool cardFormat : {false, true}) {
            const print::Printout printout(print::cardsToPrint(deck, print::AllCards), cardFormat, QString(), font);
            const QString pdf = dir_.filePath(QStringLiteral("tall%1.pdf").arg(cardFormat));
            QCOMPARE(printTo(pdf, printout), print::Printout::Outcome::Printed);
            const QString page = pageText(pdf, 1);
            QVERIFY2(page.contains(QStringLiteral("plain")) && page.contains(QStringLiteral("first")), qPrintable(page));
        }
    }

    void cancelStopsTheJob()
    {
        const Deck deck = mainDeck(100);
        const print::Printout printout(print::cardsToPrint(deck, print::AllCards), true, QString(), LogFont());
        QCOMPARE(printTo(dir_.filePath(QStringLiteral("cancel.pdf")), printout, [](int, int) { return false; }),
                 print::Printout::Outcome::Cancelled);
    }
};

QTEST_MAIN(TestPrintout)
#include "test_printout.moc"
