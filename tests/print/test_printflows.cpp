// The print dialog and the Print command in the real window: which choices
// the dialog lets through, what a job prints, and the view after a job
// however it ends.

#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/print/printjob.h"
#include "gui/print/printcontroller.h"
#include "gui/print/printdlg.h"

#include <QCheckBox>
#include <QPushButton>
#include <QStyle>
#include <QProcess>
#include <QPrinter>
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
        if (ok) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        }
        return ok;
    }
    void previewPrint(QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override
    {
        previewedView = viewColumn(*deck, Column::Side1);
        ScriptedDialogs::previewPrint(parent, printer, paint);
    }
};

// The print controller on the fixture's document, with the test's dialogs
// and no printer installed unless told otherwise.
struct PrintFixture {
    WindowFixture f;
    PdfDialogs dialogs;
    QTemporaryDir dir;
    PrintController controller{CommandContext{f.deck(), f.window->options(), dialogs, f.window.get()},
                               f.window->openFile()};

    PrintFixture()
    {
        dialogs.pdf = dir.filePath(QStringLiteral("cards.pdf"));
        dialogs.deck = &f.deck();
        controller.setPrinterCheck([] { return false; });
        QObject::connect(&controller, &PrintController::treeChanged, f.dlg, &MDKMainDlg::RefreshTree);
    }

    // Runs the command; body sees the dialog.
    void print(const std::function<void(QDialog *)> &body)
    {
        onModal([this] { controller.PrintTheCards(); }, body);
    }

    void select(const QString &name)
    {
        const auto items = f.dlg->categoriesTree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        f.dlg->categoriesTree()->setCurrentItem(items.first());
    }
};

// Main > {Verbs > {Irregular}, Empty}; Verbs' own cards interleaved with
// the others in the file.
Deck sampleDeck()
{
    return buildDeck({{"m1", "", "Main"}, {"v1", "", "Verbs"}, {"i1", "", "Irregular"}, {"v2", "", "Verbs"}},
                     {{"Verbs", "Main"}, {"Irregular", "Verbs"}, {"Empty", "Main"}});
}

QString pdfText(const QString &pdf)
{
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    run.waitForFinished();
    return QString::fromUtf8(run.readAllStandardOutput());
}

QRadioButton *radio(QWidget *dialog, const char *name) { return child<QRadioButton>(dialog, name); }

} // namespace

class PrintFlowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dialogIgnoresClicksWithNothingToPrint();
    void captionsFitTheirControls();
    void refusalWhenThereIsNothingToPrint();
    void allCardsHoldEditsMadeInMainAndAskForAFileWithoutAPrinter();
    void subcategoryPrintRestoresTheViewWhenCancelled();
};

void PrintFlowsTest::dialogIgnoresClicksWithNothingToPrint()
{
    // An empty view with nothing below: only "All cards" takes a click.
    PrintDialog empty(false, print::AllCards, true, false, false);
    QVERIFY(showActive(empty));
    QVERIFY(radio(&empty, "listFormatButton")->isChecked());
    QVERIFY(child<QCheckBox>(&empty, "confirmBox")->isChecked());
    for (const char *name : {"thisCategoryButton", "subcategoriesButton"}) {
        QTest::mouseClick(radio(&empty, name), Qt::LeftButton);
        QVERIFY(!radio(&empty, name)->isChecked());
        QVERIFY(radio(&empty, "allCardsButton")->isChecked());
        QCOMPARE(empty.scope(), int(print::AllCards));
    }

    // Cards in the view but none below: "this category" is allowed, and a
    // refused click afterwards keeps it, not "All cards".
    PrintDialog view(true, print::AllCards, false, true, false);
    QVERIFY(showActive(view));
    QTest::mouseClick(radio(&view, "thisCategoryButton"), Qt::LeftButton);
    QTest::mouseClick(radio(&view, "subcategoriesButton"), Qt::LeftButton);
    QCOMPARE(view.scope(), int(print::ThisCategory));
    QVERIFY(radio(&view, "thisCategoryButton")->isChecked());
    QTest::mouseClick(radio(&view, "listFormatButton"), Qt::LeftButton);
    QVERIFY(!view.cardFormat());
    QCOMPARE(view.scope(), int(print::ThisCategory)); // the two groups are independent

    // Cards below: the keyboard reaches the third choice too.
    PrintDialog below(true, print::CategoryAndSubs, false, false, true);
    QVERIFY(showActive(below));
    QVERIFY(radio(&below, "subcategoriesButton")->isChecked());
    radio(&below, "subcategoriesButton")->setFocus();
    QTest::keyClick(radio(&below, "subcategoriesButton"), Qt::Key_Up); // onto "this category", refused
    QCOMPARE(below.scope(), int(print::CategoryAndSubs));
}

// Every caption shows whole in its template size, the two-line and
// three-line ones included.
void PrintFlowsTest::captionsFitTheirControls()
{
    PrintDialog dialog(true, print::AllCards, false, true, true);
    QVERIFY(showActive(dialog));
    const auto buttons = dialog.findChildren<QAbstractButton *>();
    QCOMPARE(buttons.size(), 11);
    for (QAbstractButton *button : buttons) {
        // Beside a radio button's or check box's indicator, or inside a
        // push button's frame.
        const bool check = !qobject_cast<QPushButton *>(button);
        const QStyle *style = button->style();
        const int room = check ? button->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button)
                                     - style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button)
                               : button->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        const QRect text = button->fontMetrics().boundingRect(QRect(0, 0, 10000, 10000), Qt::TextShowMnemonic,
                                                              button->text());
        QVERIFY2(text.width() <= room && text.height() <= button->height(),
                 qPrintable(QStringLiteral("%1: %2x%3 in %4x%5").arg(button->objectName()).arg(text.width())
                                .arg(text.height()).arg(room).arg(button->height())));
        QVERIFY(dialog.rect().contains(button->geometry()));
    }
    QCOMPARE(child<QCheckBox>(&dialog, "confirmBox")->text().replace(QLatin1Char('\n'), QLatin1Char(' ')),
             QStringLiteral("Show confirmation"));
}

void PrintFlowsTest::refusalWhenThereIsNothingToPrint()
{
    PrintFixture p;
    p.f.study(0);
    p.print([](QDialog *dialog) { click(dialog, "okButton"); });
    QCOMPARE(p.dialogs.messages(), QStringList{print::kCaption + QLatin1Char('|') + print::kNoCards});
    QCOMPARE(p.dialogs.printDialogs, 0);
    QVERIFY(!QFile::exists(p.dialogs.pdf));
}

void PrintFlowsTest::allCardsHoldEditsMadeInMainAndAskForAFileWithoutAPrinter()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    PrintFixture p;
    p.f.show(sampleDeck());
    Options &options = p.f.window->options();
    options.ConfirmDialogShow = false;
    options.PrintInCardFormat = true;
    options.Printonlythiscategory = print::AllCards;
    // An edit in "Main", not yet folded back into the file's cards.
    QVERIFY(p.f.deck().replaceViewCard(0, QStringLiteral("edited"), QStringLiteral("answer")));

    p.dialogs.printAnswers = {true};
    p.print([](QDialog *dialog) {
        QTest::mouseClick(radio(dialog, "listFormatButton"), Qt::LeftButton);
        click(dialog, "okButton");
    });
    QCOMPARE(p.dialogs.printDialogs, 1); // no printer: the file is asked for
    QVERIFY(p.dialogs.messages().isEmpty());
    QVERIFY(!options.PrintInCardFormat);

    const QString text = pdfText(p.dialogs.pdf);
    QVERIFY2(text.contains(QStringLiteral("edited")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Total cards: 4")));
    QVERIFY(!text.contains(QStringLiteral("m1")));
    for (const char *card : {"v1", "i1", "v2"})
        QVERIFY(text.contains(QLatin1String(card)));
}

void PrintFlowsTest::subcategoryPrintRestoresTheViewWhenCancelled()
{
    PrintFixture p;
    p.f.show(sampleDeck());
    Options &options = p.f.window->options();
    options.ConfirmDialogShow = true;
    options.Printonlythiscategory = print::ThisCategory;
    p.controller.setPrinterCheck([] { return true; });
    p.dialogs.printAnswers = {false};

    // "Irregular" holds its own card, so the saved choice stands.
    p.select(QStringLiteral("Verbs"));
    p.print([&p](QDialog *dialog) {
        QVERIFY(radio(dialog, "thisCategoryButton")->isChecked());
        QTest::mouseClick(radio(dialog, "subcategoriesButton"), Qt::LeftButton);
        click(dialog, "previewButton");
        QCOMPARE(p.dialogs.previews, 1);
        QVERIFY(dialog->isVisible());
        click(dialog, "okButton");
    });
    QCOMPARE(p.dialogs.previewedView, (QStringList{"v1", "v2", "i1"}));
    QCOMPARE(p.dialogs.printDialogs, 1); // asked because of the confirmation, then cancelled
    QCOMPARE(options.Printonlythiscategory, int(print::CategoryAndSubs));
    QCOMPARE(viewColumn(p.f.deck(), Column::Side1), (QStringList{"v1", "v2"}));
    QVERIFY(!QFile::exists(p.dialogs.pdf));

    // An empty category with nothing below opens on "All cards".
    p.select(QStringLiteral("Empty"));
    p.print([](QDialog *dialog) {
        QVERIFY(radio(dialog, "allCardsButton")->isChecked());
        QVERIFY(!child<QWidget>(dialog, "okButton")->isHidden());
    });
    QCOMPARE(options.Printonlythiscategory, int(print::AllCards));
}

QTEST_MAIN(PrintFlowsTest)
#include "test_printflows.moc"
