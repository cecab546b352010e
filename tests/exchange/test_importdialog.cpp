// The Import dialog's preview: the first cards as the chosen settings will
// import them, following every change; and the Import command's reports.

#include "core/deck/deck.h"
#include "core/settings/options.h"
#include "gui/exchange/exchangecontroller.h"
#include "gui/exchange/importdlg.h"
#include "support/modal.h"
#include "support/scripteddialogs.h"

#include <QComboBox>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

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

    // An export never replaces the open card file (the deck and the file
    // stay as they were) and asks before replacing any other card file.
    void exportKeepsCardFiles()
    {
        QTemporaryDir dir;
        const QString openPath = dir.filePath(QStringLiteral("open.mdk"));
        const QString otherPath = dir.filePath(QStringLiteral("other.txt"));
        const QByteArray cardFile("1\aMain\aRoot\aword\ameaning\aMain\a");
        for (const QString &path : {openPath, otherPath}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(cardFile) == cardFile.size());
        }
        Deck deck;
        deck.appendFileCard(QStringLiteral("word"), QStringLiteral("meaning"), QStringLiteral("Main"));
        deck.LoadView(QStringLiteral("Main"));
        Options options;
        testsupport::ScriptedDialogs dialogs;
        OpenFile open;
        open.path = openPath;
        ExchangeController controller({deck, options, dialogs, nullptr}, open);
        auto contents = [](const QString &path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        // The open file, also through another spelling of its path, a
        // symbolic link and a hard link.
        const QString symlink = dir.filePath(QStringLiteral("link.csv")), hardlink = dir.filePath(QStringLiteral("hard.csv"));
        QVERIFY(QFile::link(openPath, symlink));
        QVERIFY(::link(QFile::encodeName(openPath).constData(), QFile::encodeName(hardlink).constData()) == 0);
        dialogs.saveAnswers << openPath << dir.filePath(QStringLiteral("./open.mdk")) << symlink << hardlink;
        for (int i = 0; i < 4; ++i)
            testsupport::onModal([&] { controller.CMExport(); }, [](QDialog *d) { d->accept(); });
        QCOMPARE(contents(openPath), cardFile);
        QCOMPARE(dialogs.shown.size(), 4);
        for (const auto &shown : dialogs.shown)
            QCOMPARE(shown.icon, UserDialogs::Icon::Stop);
        dialogs.shown.remove(2, 2);
        QCOMPARE(dialogs.shown[0].icon, UserDialogs::Icon::Stop);
        QVERIFY(dialogs.shown[0].text.startsWith(QStringLiteral("Cannot export to open.mdk.")));
        QCOMPARE(deck.viewCount(), 1);
        // Another card file, whatever its name: asked; No keeps it, Yes replaces it.
        dialogs.saveAnswers << otherPath << otherPath;
        dialogs.answers << QMessageBox::No << QMessageBox::Yes;
        for (int i = 0; i < 2; ++i) {
            testsupport::onModal([&] { controller.CMExport(); }, [](QDialog *d) { d->accept(); });
            QCOMPARE(contents(otherPath) == cardFile, i == 0);
        }
        QCOMPARE(dialogs.shown.size(), 4);
        QCOMPARE(dialogs.shown[2].text, QStringLiteral("other.txt is a card file.  Replace its cards with the exported ones?"));
        QVERIFY(contents(otherPath).startsWith("side 1,side 2,category\r\nword,meaning,Main"));
        QVERIFY(dialogs.unexpected.isEmpty());
    }

    // A summary that is more than "all added" stays until dismissed; the
    // preview names the columns as the file's header does.
    void skippedCardsAreShownInABox()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("words.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Wort,Bedeutung\nhaus,house\n") > 0);
        file.close();
        Deck deck;
        deck.appendFileCard(QStringLiteral("haus"), QStringLiteral("house"), QStringLiteral("Main"));
        deck.LoadView(QStringLiteral("Main"));
        Options options;
        testsupport::ScriptedDialogs dialogs;
        OpenFile open;
        ExchangeController controller({deck, options, dialogs, nullptr}, open);
        dialogs.openAnswers << path;
        testsupport::onModal([&] { controller.CMImport(); }, [](QDialog *d) {
            auto *table = d->findChild<QTableWidget *>(QStringLiteral("previewTable"));
            QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Wort"));
            QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Bedeutung"));
            QCOMPARE(table->rowCount(), 1);
            d->findChild<QComboBox *>(QStringLiteral("duplicatesCombo"))->setCurrentIndex(int(exchange::Duplicates::Skip));
            d->accept();
        });
        QCOMPARE(dialogs.messages(), QStringList{"Import|0 cards added, 1 skipped, 0 updated"});
        QCOMPARE(deck.viewCount(), 1);
    }
};

QTEST_MAIN(TestImportDialog)
#include "test_importdialog.moc"
