// The Import dialog's preview: the first cards as the chosen settings will
// import them, following every change; and the Import command's reports.

#include "core/deck/deck.h"
#include "core/settings/options.h"
#include "gui/exchange/exchangecontroller.h"
#include "gui/exchange/importdlg.h"
#include "support/modal.h"
#include "support/scripteddialogs.h"

#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace mdk;

class TestImportDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void previewFollowsTheChoices()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("words.csv"));
        QByteArray csv = "Word;Meaning;Category\r\nhablar;\"to speak,\r\nto talk\";Verbs\r\n";
        for (int i = 2; i <= 30; ++i)
            csv += "w" + QByteArray::number(i) + ";m" + QByteArray::number(i) + ";Nouns\r\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size());
        file.close();

        Deck deck;
        deck.addCategory(deck.tree().root(), QStringLiteral("Lessons"));
        ImportDlg dialog(path, deck.tree(), QStringLiteral("Lessons"));
        auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("previewTable"));
        QVERIFY(table);
        QCOMPARE(table->rowCount(), ImportDlg::kPreviewCards);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("hablar"));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("to speak, \u00B6 to talk"));
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("Verbs"));
        QCOMPARE(dialog.choice().target, QStringLiteral("Lessons"));

        // Side 1 from the second column, no category column.
        dialog.findChild<QSpinBox *>(QStringLiteral("side1Spin"))->setValue(2);
        dialog.findChild<QSpinBox *>(QStringLiteral("categorySpin"))->setValue(0);
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("m2"));
        QCOMPARE(table->item(1, 2)->text(), QStringLiteral("Lessons"));
        const ImportChoice choice = dialog.choice();
        QCOMPARE(choice.options.side1Column, 1);
        QCOMPARE(choice.options.categoryColumn, exchange::kNoColumn);
    }

    // Lines that could not be read are said in a box as well as the status
    // line; a file with no card says why and leaves the deck as it was.
    void importReportsWhatWasNotRead()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("a.csv")), binary = dir.filePath(QStringLiteral("b.bin"));
        QFile a(good), b(binary);
        QVERIFY(a.open(QIODevice::WriteOnly) && a.write("x,1\n\"y,2\n") > 0 && b.open(QIODevice::WriteOnly)
                && b.write(QByteArray("\0\1\2,\n", 5)) == 5);
        a.close();
        b.close();

        Deck deck;
        Options options;
        testsupport::ScriptedDialogs dialogs;
        OpenFile open;
        ExchangeController controller({deck, options, dialogs, nullptr}, open);
        QStringList status;
        connect(&controller, &CommandController::statusMessage, this, [&](const QString &t) { status << t; });
        const QString summary = QStringLiteral("1 cards added, 0 skipped, 0 updated; 1 lines could not be read "
                                               "(the first at line 2: a quote is never closed)");
        dialogs.openAnswers << good << binary;
        testsupport::onModal([&] { controller.CMImport(); }, [](QDialog *d) { d->accept(); });
        QCOMPARE(status, QStringList{summary});
        QCOMPARE(deck.fileCount(), 1);
        testsupport::onModal([&] { controller.CMImport(); }, [](QDialog *d) { d->accept(); });
        QCOMPARE(dialogs.messages(), QStringList({QStringLiteral("Import|") + summary,
                                                  QStringLiteral("Import|The file is not text (it holds NUL bytes).")}));
        QCOMPARE(deck.fileCount(), 1);
        QVERIFY(dialogs.unexpected.isEmpty());
    }
};

QTEST_MAIN(TestImportDialog)
#include "test_importdialog.moc"
