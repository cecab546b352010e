// The Import dialog's preview: the first cards as the chosen settings will
// import them, following every change.

#include "core/deck/deck.h"
#include "gui/exchange/importdlg.h"

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
};

QTEST_MAIN(TestImportDialog)
#include "test_importdialog.moc"
