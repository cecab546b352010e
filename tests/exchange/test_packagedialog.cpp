// The Import dialog and command with a flashcard package: the preview shows
// the rendered cards with their decks as category paths, the text choices
// are off, and the import reports media and suspended cards in a box.

#include "core/deck/deck.h"
#include "core/settings/options.h"
#include "gui/exchange/exchangecontroller.h"
#include "gui/exchange/importdlg.h"
#include "support/modal.h"
#include "support/scripteddialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QtTest>

using namespace mdk;

class TestPackageDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void previewShowsRenderedCards()
    {
        Deck deck;
        ImportDlg dialog(QStringLiteral(QT_TESTCASE_SOURCEDIR "/data/package-anki21.apkg"), deck.tree(),
                         QStringLiteral("Main"));
        auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("previewTable"));
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 10);
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("perro"));
        QCOMPARE(table->item(1, 2)->text(), QStringLiteral("Spanish / Nouns / Animals"));
        QCOMPARE(table->item(6, 0)->text(), QStringLiteral("[...] is the capital of Spain"));
        QCOMPARE(table->item(6, 1)->text(), QStringLiteral("Madrid is the capital of Spain \u00B6 Europe"));
        QVERIFY(!dialog.findChild<QComboBox *>(QStringLiteral("encodingCombo"))->isEnabled());
        QVERIFY(!dialog.findChild<QComboBox *>(QStringLiteral("delimiterCombo"))->isEnabled());
        const QString info = dialog.findChild<QLabel *>(QStringLiteral("previewInfo"))->text();
        QVERIFY2(info.startsWith(QLatin1String("Read as flashcard package.")), qPrintable(info));
        QVERIFY2(info.contains(QLatin1String("cat.jpg")), qPrintable(info));
    }

    void importIsOneChangeAndReported()
    {
        Deck deck;
        deck.setHistoryEnabled(true);
        Options options;
        testsupport::ScriptedDialogs dialogs;
        OpenFile open;
        ExchangeController controller({deck, options, dialogs, nullptr}, open);
        QStringList status;
        connect(&controller, &CommandController::statusMessage, this, [&](const QString &t) { status << t; });
        dialogs.openAnswers << QStringLiteral(QT_TESTCASE_SOURCEDIR "/data/package-anki2.apkg")
                            << QStringLiteral(QT_TESTCASE_SOURCEDIR "/data/bad-link.apkg");
        // The frame makes each command one step, as here.
        deck.beginStep(QStringLiteral("Import"));
        testsupport::onModal([&] { controller.CMImport(); }, [](QDialog *d) { d->accept(); });
        deck.endStep();
        QCOMPARE(deck.fileCount(), 10);
        QCOMPARE(status.size(), 1);
        QVERIFY2(status[0].startsWith(QLatin1String("10 cards added, 0 skipped, 0 updated; 1 cards referred to pictures")),
                 qPrintable(status[0]));
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("Import|") + status[0]});
        // A refused package: the preview says why, Import stays off, the deck is untouched.
        testsupport::onModal([&] { controller.CMImport(); }, [](QDialog *d) {
            const QString info = d->findChild<QLabel *>(QStringLiteral("previewInfo"))->text();
            QVERIFY2(info.contains(QLatin1String("holds a link")), qPrintable(info));
            d->reject();
        });
        QCOMPARE(deck.fileCount(), 10);
        QVERIFY(dialogs.unexpected.isEmpty());
        // One undo takes back the cards and the categories the decks made.
        QVERIFY(deck.undo());
        QCOMPARE(deck.fileCount(), 0);
        QCOMPARE(deck.tree().findByName(QStringLiteral("Spanish")), CategoryTree::None);
    }
};

QTEST_MAIN(TestPackageDialog)
#include "test_packagedialog.moc"
