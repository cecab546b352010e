// The print dialog and the Print command in the real window: which choices
// the dialog lets through, what a job prints, and the view after a job
// however it ends.

#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/print/printjob.h"
#include "gui/print/printcontroller.h"
#include "gui/print/printdlg.h"

#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// Answers the print dialog as a user choosing a PDF file would, and notes
// what the view held while a preview drew.
struct PdfDialogs : ScriptedDialogs {
    QString pdf;
    const Deck *deck = nullptr;
    QStringList previewedView;

    bool choosePrinter(QWidget *parent, QPrinter &printer) override
    {
        const bool ok = ScriptedDialogs::choosePrinter(parent, printer);
        printer.setOutputFileName(ok ? pdf : QString());
        return ok;
    }
    void previewPrint(QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override
    {
        previewedView = viewColumn(*deck, Column::Side1);
        ScriptedDialogs::previewPrint(parent, printer, paint);
    }
};

// The print controller on a real window's document, with the test's
// dialogs and no printer installed unless told otherwise.
struct PrintFixture {
    WindowFixture f;
    PdfDialogs dialogs;
    QTemporaryDir dir;
    Options &options = f.window->options();
    PrintController controller{CommandContext{f.deck(), options, dialogs, f.window.get()}, f.window->openFile()};

    PrintFixture()
    {
        dialogs.pdf = dir.filePath(QStringLiteral("cards.pdf"));
        dialogs.deck = &f.deck();
        controller.setPrinterCheck([] { return false; });
        // Main > {Verbs > {Irregular}}; Verbs' cards apart in the file.
        f.show(buildDeck({{"m1", "", "Main"}, {"v1", "", "Verbs"}, {"i1", "", "Irregular"}, {"v2", "", "Verbs"}},
                         {{"Verbs", "Main"}, {"Irregular", "Verbs"}}));
    }

    void print(const std::function<void(QDialog *)> &body) { onModal([this] { controller.PrintTheCards(); }, body); }
};

QRadioButton *radio(QWidget *dialog, const char *name) { return child<QRadioButton>(dialog, name); }

} // namespace

class PrintFlowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dialogIgnoresClicksWithNothingToPrint();
    void refusalWhenThereIsNothingToPrint();
    void allCardsHoldEditsMadeInMainAndAskForAFileWithoutAPrinter();
    void subcategoryPrintRestoresTheViewWhenCancelled();
    void printerSetupSaysItPrintsNothing();
};

void PrintFlowsTest::dialogIgnoresClicksWithNothingToPrint()
{
    // Cards in the view, none below: "this category" takes a click, and a
    // refused click afterwards keeps it, not the first choice.
    PrintDialog dialog(true, print::AllCards, false, true, false);
    QVERIFY(showActive(dialog));
    QTest::mouseClick(radio(&dialog, "thisCategoryButton"), Qt::LeftButton);
    QTest::mouseClick(radio(&dialog, "subcategoriesButton"), Qt::LeftButton);
    QVERIFY(radio(&dialog, "thisCategoryButton")->isChecked());
    QCOMPARE(dialog.scope(), int(print::ThisCategory));
    QTest::mouseClick(radio(&dialog, "listFormatButton"), Qt::LeftButton);
    QVERIFY(!dialog.cardFormat());
    QCOMPARE(dialog.scope(), int(print::ThisCategory)); // the two groups are apart

}

void PrintFlowsTest::refusalWhenThereIsNothingToPrint()
{
    PrintFixture p;
    p.f.study(0);
    p.print([](QDialog *dialog) { click(dialog, "okButton"); });
    QCOMPARE(p.dialogs.messages(), QStringList{print::kCaption + QLatin1Char('|') + print::kNoCards});
    QCOMPARE(p.dialogs.printDialogs, 0);
}

void PrintFlowsTest::allCardsHoldEditsMadeInMainAndAskForAFileWithoutAPrinter()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    PrintFixture p;
    p.options.ConfirmDialogShow = false;
    p.options.PrintInCardFormat = true;
    p.options.Printonlythiscategory = print::AllCards;
    // An edit in "Main", not yet folded back into the file's cards.
    QVERIFY(p.f.deck().replaceViewCard(0, QStringLiteral("edited"), QStringLiteral("answer")));

    p.dialogs.printAnswers = {true};
    p.print([](QDialog *dialog) {
        QTest::mouseClick(radio(dialog, "listFormatButton"), Qt::LeftButton);
        click(dialog, "okButton");
    });
    QCOMPARE(p.dialogs.printDialogs, 1); // no printer: the file is asked for
    QVERIFY(p.dialogs.messages().isEmpty());
    QVERIFY(!p.options.PrintInCardFormat);

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {p.dialogs.pdf, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished());
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("edited")) && !text.contains(QStringLiteral("m1")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Total cards: 4")));
}

void PrintFlowsTest::subcategoryPrintRestoresTheViewWhenCancelled()
{
    PrintFixture p;
    p.options.ConfirmDialogShow = true;
    p.options.Printonlythiscategory = print::ThisCategory;
    p.controller.setPrinterCheck([] { return true; });
    p.dialogs.printAnswers = {false};

    const auto verbs = p.f.dlg->categoriesTree()->findItems(QStringLiteral("Verbs"),
                                                           Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(verbs.size(), 1);
    p.f.dlg->categoriesTree()->setCurrentItem(verbs.first());
    p.print([&p](QDialog *dialog) {
        QVERIFY(radio(dialog, "thisCategoryButton")->isChecked());
        QTest::mouseClick(radio(dialog, "subcategoriesButton"), Qt::LeftButton);
        click(dialog, "previewButton");
        QVERIFY(dialog->isVisible());
        QCOMPARE(p.f.deck().viewCount(), 2); // back after the preview
        click(dialog, "okButton");
    });
    QCOMPARE(p.dialogs.previews, 1);
    // The job reads its cards without swapping the view.
    QCOMPARE(p.dialogs.previewedView, (QStringList{"v1", "v2"}));
    QCOMPARE(p.dialogs.printDialogs, 1); // asked for the confirmation, then cancelled
    QCOMPARE(p.options.Printonlythiscategory, int(print::CategoryAndSubs));
    QCOMPARE(viewColumn(p.f.deck(), Column::Side1), (QStringList{"v1", "v2"}));
    QVERIFY(!QFile::exists(p.dialogs.pdf));
}

void PrintFlowsTest::printerSetupSaysItPrintsNothing()
{
    PrintFixture p;
    p.print([](QDialog *dialog) { click(dialog, "printerSetupButton"); });
    QCOMPARE(p.dialogs.printerSetups, 1);
    QCOMPARE(p.dialogs.printDialogs, 0);

    // The real set-up dialog: titled and labelled for what it does.
    QtUserDialogs real;
    QPrinter printer;
    onModal([&] { real.setUpPrinter(nullptr, printer); }, [](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Printer setup"));
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            QVERIFY2(button->text().remove(QLatin1Char('&')) != QStringLiteral("Print"), "a button says Print");
    });
}

QTEST_MAIN(PrintFlowsTest)
#include "test_printflows.moc"
