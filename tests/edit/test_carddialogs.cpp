// The card dialogs as the user meets them: what the side fields give back,
// Flip, the keys inside the fields, Escape, the card texts in labels, the
// Undelete arrows, the window's shortcuts while a dialog is open, and a
// paste from an empty clipboard.

#include "support/modal.h"

#include "core/edit/cardedit.h"
#include "core/shell/commandids.h"
#include "gui/edit/addcarddlg.h"
#include "gui/edit/deletecarddlg.h"
#include "gui/edit/editcarddlg.h"
#include "gui/edit/undeletedlg.h"
#include "gui/notepad/notepadwindow.h"
#include "support/deckbuilder.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

QString labelOf(QWidget *dialog, const char *name) { return child<QLabel>(dialog, name)->text(); }

QFont cardFont() { return QFont(QStringLiteral("Sans Serif"), 11); }

} // namespace

class CardDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void untouchedSidesComeBackAsGiven_data();
    void untouchedSidesComeBackAsGiven();
    void typedTextGivesCrLfAndFlipSwapsIt();
    void enterBreaksTheLineTabMovesOn();
    void addAnotherClearsAndReturnsToSide1();
    void escapeAndTheCloseBoxCancel();
    void deleteAnswers();
    void labelsShowCardTextLiterallyAndCut();
    void undeleteArrowsWrapBothWays();
    void windowShortcutsStayOutOfTheFields();
    void pasteFromAnEmptyClipboardChangesNothing();
};

void CardDialogsTest::untouchedSidesComeBackAsGiven_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("CR LF") << QStringLiteral("one\r\ntwo") << 2;
    QTest::newRow("bare LF") << QStringLiteral("one\ntwo") << 2;
    QTest::newRow("bare CR") << QStringLiteral("one\rtwo") << 2;
    QTest::newRow("trailing CR LF") << QStringLiteral("one\r\n") << 2;
    QTest::newRow("no-break space, tab") << QStringLiteral("a\u00a0b\tc") << 1;
    QTest::newRow("empty") << QString() << 1;
}

// Done after looking only must not rewrite the card, not even its line
// breaks; Flip carries the exact texts across.
void CardDialogsTest::untouchedSidesComeBackAsGiven()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    const QString other = QStringLiteral("x\r\n\r\ny");
    EditCardDlg dialog(7, text, other, cardFont());
    QCOMPARE(dialog.side1Edit()->document()->blockCount(), lines); // CR LF is one line break
    QCOMPARE(dialog.side1(), text);
    QCOMPARE(dialog.side2(), other);
    QCOMPARE(labelOf(&dialog, "cardNumberLabel"), QStringLiteral("7"));

    child<QPushButton>(&dialog, "flipButton")->click();
    QCOMPARE(dialog.side1(), other);
    QCOMPARE(dialog.side2(), text);
    QCOMPARE(dialog.side1Edit()->toPlainText(), QStringLiteral("x\n\ny"));
    child<QPushButton>(&dialog, "flipButton")->click();
    QCOMPARE(dialog.side1(), text);
    QCOMPARE(dialog.side2(), other);
}

void CardDialogsTest::typedTextGivesCrLfAndFlipSwapsIt()
{
    EditCardDlg dialog(1, QStringLiteral("old\rone"), QStringLiteral("keep\nme"), cardFont());
    QVERIFY(showActive(dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.side1Edit());
    dialog.side1Edit()->selectAll();
    QTest::keyClicks(dialog.side1Edit(), QStringLiteral("new"));
    QTest::keyClick(dialog.side1Edit(), Qt::Key_Return);
    QTest::keyClicks(dialog.side1Edit(), QStringLiteral("a\u00a0b"));
    QTest::keyClick(dialog.side1Edit(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(dialog.side1Edit(), QStringLiteral("end"));
    const QString typed = QStringLiteral("new\r\na\u00a0b\r\nend");
    QCOMPARE(dialog.side1(), typed);
    QCOMPARE(dialog.side2(), QStringLiteral("keep\nme"));

    QTest::mouseClick(child<QPushButton>(&dialog, "flipButton"), Qt::LeftButton);
    QCOMPARE(dialog.side1(), QStringLiteral("keep\nme"));
    QCOMPARE(dialog.side2(), typed);

    // Typing into the flipped field reads the field, not the old text.
    dialog.side1Edit()->moveCursor(QTextCursor::End);
    QTest::keyClicks(dialog.side1Edit(), QStringLiteral("!"));
    QCOMPARE(dialog.side1(), QStringLiteral("keep\r\nme!"));
}

void CardDialogsTest::enterBreaksTheLineTabMovesOn()
{
    for (int kind = 0; kind < 2; ++kind) {
        std::unique_ptr<QDialog> dialog;
        if (kind == 0)
            dialog = std::make_unique<AddCardDlg>(QStringLiteral("Main"), cardFont());
        else
            dialog = std::make_unique<EditCardDlg>(1, QString(), QString(), cardFont());
        auto *side1 = child<QPlainTextEdit>(dialog.get(), "side1Edit");
        auto *side2 = child<QPlainTextEdit>(dialog.get(), "side2Edit");
        QVERIFY(showActive(*dialog));
        QCOMPARE(QApplication::focusWidget(), side1);
        QCOMPARE(side1->font().pointSize(), cardFont().pointSize());

        QTest::keyClick(side1, Qt::Key_Return);
        QVERIFY(dialog->isVisible()); // Enter did not press a button
        QCOMPARE(side1->document()->blockCount(), 2);
        QTest::keyClick(side1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), side2);
        QVERIFY(!side1->toPlainText().contains(QLatin1Char('\t')));
        QTest::keyClick(side2, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), child(dialog.get(), "doneButton"));
    }
}

void CardDialogsTest::addAnotherClearsAndReturnsToSide1()
{
    AddCardDlg dialog(QStringLiteral("Main"), cardFont());
    QStringList added;
    connect(&dialog, &AddCardDlg::addAnotherRequested, &dialog, [&] {
        added << dialog.side1() + QLatin1Char('|') + dialog.side2();
        dialog.clearFields();
    });
    QVERIFY(showActive(dialog));
    for (const QString &s : {QStringLiteral("one"), QStringLiteral("two")}) {
        QTest::keyClicks(dialog.side1Edit(), s);
        QTest::keyClick(dialog.side1Edit(), Qt::Key_Tab);
        QTest::keyClicks(dialog.side2Edit(), s.toUpper());
        QTest::mouseClick(child<QPushButton>(&dialog, "addAnotherButton"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), dialog.side1Edit());
        QCOMPARE(dialog.side1(), QString());
        QCOMPARE(dialog.side2(), QString());
    }
    QCOMPARE(added, QStringList({QStringLiteral("one|ONE"), QStringLiteral("two|TWO")}));
    QVERIFY(dialog.isVisible());
    QTest::mouseClick(child<QPushButton>(&dialog, "doneButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void CardDialogsTest::escapeAndTheCloseBoxCancel()
{
    Deck deck = testsupport::mainDeck(2);
    edit::deleteCard(deck, 0);
    for (int byCloseBox = 0; byCloseBox < 2; ++byCloseBox) {
        std::vector<std::unique_ptr<QDialog>> dialogs;
        dialogs.push_back(std::make_unique<AddCardDlg>(QStringLiteral("Main"), cardFont()));
        dialogs.push_back(std::make_unique<EditCardDlg>(1, QStringLiteral("a"), QStringLiteral("b"), cardFont()));
        dialogs.push_back(std::make_unique<DeleteCardDlg>(1, QStringLiteral("a"), QStringLiteral("b")));
        dialogs.push_back(std::make_unique<UndeleteDlg>(deck));
        for (auto &dialog : dialogs) {
            QVERIFY(showActive(*dialog));
            if (auto *box = dialog->findChild<QCheckBox *>(QStringLiteral("dontAskBox")))
                box->setChecked(true);
            if (byCloseBox)
                dialog->close();
            else
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog.get(),
                                Qt::Key_Escape);
            QVERIFY2(!dialog->isVisible(), qPrintable(dialog->windowTitle()));
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
            if (auto *del = qobject_cast<DeleteCardDlg *>(dialog.get()))
                QCOMPARE(del->answer(), DeleteCardDlg::Answer::Cancelled);
        }
    }
}

void CardDialogsTest::deleteAnswers()
{
    for (const char *button : {"yesButton", "noButton"}) {
        DeleteCardDlg dialog(3, QStringLiteral("a"), QStringLiteral("b"));
        QVERIFY(showActive(dialog));
        QCOMPARE(labelOf(&dialog, "cardNumberLabel"), QStringLiteral("3"));
        QVERIFY(!dialog.dontAskTicked());
        QTest::mouseClick(child<QCheckBox>(&dialog, "dontAskBox"), Qt::LeftButton);
        QVERIFY(dialog.dontAskTicked());
        QTest::mouseClick(child<QPushButton>(&dialog, button), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.answer(), qstrcmp(button, "yesButton") == 0 ? DeleteCardDlg::Answer::Yes
                                                                    : DeleteCardDlg::Answer::No);
    }
    // Enter answers Yes, the default button.
    DeleteCardDlg dialog(3, QStringLiteral("a"), QStringLiteral("b"));
    QVERIFY(showActive(dialog));
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.answer(), DeleteCardDlg::Answer::Yes);
}

void CardDialogsTest::labelsShowCardTextLiterallyAndCut()
{
    const QString amp = QStringLiteral("Tom & Jerry &x");
    const QString markup = QStringLiteral("<b>x</b> <i>y</i>");
    const QString huge = QString(edit::kLabelChars, QLatin1Char('w')) + QStringLiteral("TAIL");

    auto checkShown = [](QLabel *label, const QString &expected) {
        QCOMPARE(label->text(), expected);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        // A label drawn as markup or with mnemonics would need less room
        // than the literal characters.
        if (!label->wordWrap())
            QVERIFY(label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(expected));
    };

    AddCardDlg add(amp + markup, cardFont());
    checkShown(child<QLabel>(&add, "categoryLabel"), QStringLiteral("Category: ") + amp + markup);

    DeleteCardDlg del(1, amp, markup);
    checkShown(child<QLabel>(&del, "side1Label"), amp);
    checkShown(child<QLabel>(&del, "side2Label"), markup);
    DeleteCardDlg delHuge(1, huge, QStringLiteral("a\r\nb"));
    checkShown(child<QLabel>(&delHuge, "side1Label"), huge.left(edit::kLabelChars));
    // A CR LF pair is one line break, as a bare LF would be.
    auto *crlf = child<QLabel>(&delHuge, "side2Label");
    QLabel twoLines(QStringLiteral("a\nb")), threeLines(QStringLiteral("a\n\nb"));
    for (QLabel *probe : {&twoLines, &threeLines}) {
        probe->setWordWrap(true);
        probe->setFont(crlf->font());
    }
    QCOMPARE(crlf->heightForWidth(crlf->width()), twoLines.heightForWidth(crlf->width()));
    QVERIFY(threeLines.heightForWidth(crlf->width()) > twoLines.heightForWidth(crlf->width()));

    Deck deck = testsupport::buildDeck({{amp, huge, QStringLiteral("Main")}, {QStringLiteral("k"), QStringLiteral("k"), QStringLiteral("Main")}});
    edit::deleteCard(deck, 0);
    UndeleteDlg undel(deck);
    checkShown(child<QLabel>(&undel, "side1Label"), amp);
    checkShown(child<QLabel>(&undel, "side2Label"), huge.left(edit::kLabelChars));
}

void CardDialogsTest::undeleteArrowsWrapBothWays()
{
    Deck deck = testsupport::mainDeck(5);
    for (int i = 0; i < 3; ++i)
        edit::deleteCard(deck, 0);
    QCOMPARE(deck.deletedCount(), 3);
    UndeleteDlg dialog(deck);
    auto shows = [&](int u) {
        return dialog.undeleteindex() == u && labelOf(&dialog, "side1Label") == deck.deletedSide1(u)
               && labelOf(&dialog, "side2Label") == deck.deletedSide2(u);
    };
    auto *prev = child<QPushButton>(&dialog, "prevButton");
    auto *next = child<QPushButton>(&dialog, "nextButton");
    QVERIFY(shows(0));
    prev->click();
    QVERIFY(shows(2));
    prev->click();
    QVERIFY(shows(1));
    next->click();
    next->click();
    QVERIFY(shows(0));
    next->click();
    QVERIFY(shows(1));
    child<QPushButton>(&dialog, "undeleteButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.undeleteindex(), 1);
}

// The window's commands are application-wide shortcuts; inside a dialog's
// field the same keys must copy, paste and select text instead.
void CardDialogsTest::windowShortcutsStayOutOfTheFields()
{
    testsupport::WindowFixture fx;
    fx.study(3);
    QVERIFY(QTest::qWaitForWindowActive(fx.window.get()));
    std::vector<std::pair<int, std::unique_ptr<QSignalSpy>>> spies;
    for (int id : {CM_COPY, CM_PASTE, CM_CARDADD, CM_DELETECARD, CM_CUT, CM_EDIT}) {
        QVERIFY(fx.enabled(id) || id == CM_PASTE);
        fx.window->commandAction(id)->setEnabled(true);
        spies.emplace_back(id, std::make_unique<QSignalSpy>(fx.window->commandAction(id), &QAction::triggered));
    }
    // Without a dialog the key does reach the window's command.
    QTest::keyClick(fx.window.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(spies[0].second->count(), 1);
    spies[0].second->clear();

    // Any dialog a stray command opened is closed, so a failure cannot hang.
    QTimer closer;
    connect(&closer, &QTimer::timeout, [] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && !qobject_cast<AddCardDlg *>(modal) && !qobject_cast<EditCardDlg *>(modal))
            modal->close();
    });
    closer.start(50);

    for (int kind = 0; kind < 2; ++kind) {
        std::unique_ptr<QDialog> dialog;
        if (kind == 0)
            dialog = std::make_unique<AddCardDlg>(QStringLiteral("Main"), cardFont(), fx.window.get());
        else
            dialog = std::make_unique<EditCardDlg>(1, QStringLiteral("q1"), QStringLiteral("a1"), cardFont(),
                                                   fx.window.get());
        QString side1, side2;
        bool ran = false;
        QTimer::singleShot(0, dialog.get(), [&] {
            ran = QTest::qWaitForWindowActive(dialog.get());
            auto *f1 = child<QPlainTextEdit>(dialog.get(), "side1Edit");
            auto *f2 = child<QPlainTextEdit>(dialog.get(), "side2Edit");
            f1->moveCursor(QTextCursor::End);
            QTest::keyClicks(f1, QStringLiteral("word"));
            QTest::keyClick(f1, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(f1, Qt::Key_C, Qt::ControlModifier);
            QTest::keyClick(f1, Qt::Key_Tab);
            f2->moveCursor(QTextCursor::End);
            QTest::keyClick(f2, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(f2, Qt::Key_D, Qt::ControlModifier);
            QTest::keyClick(f2, Qt::Key_E, Qt::ControlModifier);
            QTest::keyClick(f2, Qt::Key_X, Qt::ControlModifier);
            side1 = f1->toPlainText();
            side2 = f2->toPlainText();
            dialog->reject();
        });
        dialog->exec();
        QVERIFY(ran);
        const QString typed = kind == 0 ? QStringLiteral("word") : QStringLiteral("q1word");
        QCOMPARE(side1, typed);
        QCOMPARE(side2, (kind == 0 ? QString() : QStringLiteral("a1")) + typed);
        for (const auto &[id, spy] : spies)
            QVERIFY2(spy->isEmpty(), qPrintable(QStringLiteral("command %1 fired").arg(id)));
    }
    QCOMPARE(fx.deck().viewCount(), 3);
}

QTEST_MAIN(CardDialogsTest)
#include "test_carddialogs.moc"

void CardDialogsTest::pasteFromAnEmptyClipboardChangesNothing()
{
    QWidget main;
    ScriptedDialogs dialogs;
    AddCardDlg add(QStringLiteral("Main"), cardFont());
    EditCardDlg edit(1, QStringLiteral("q1"), QStringLiteral("a1"), cardFont());
    auto *notepad = new NotepadWindow(dialogs, cardFont(), QPoint(0, 0), &main);
    const QList<QPlainTextEdit *> fields{child<QPlainTextEdit>(&add, "side1Edit"),
                                         child<QPlainTextEdit>(&add, "side2Edit"),
                                         child<QPlainTextEdit>(&edit, "side1Edit"),
                                         child<QPlainTextEdit>(&edit, "side2Edit"), notepad->textEdit()};
    // Right after a login the clipboard and the selection have an owner
    // that offers no format at all; a cleared one offers nothing.
    QClipboard *clipboard = QGuiApplication::clipboard();
    for (const bool offersNothing : {true, false}) {
        for (QClipboard::Mode mode : {QClipboard::Clipboard, QClipboard::Selection})
            if (mode == QClipboard::Clipboard || clipboard->supportsSelection())
                offersNothing ? clipboard->setMimeData(new QMimeData, mode) : clipboard->clear(mode);
        for (QPlainTextEdit *field : fields) {
            QTest::keyClicks(field, QStringLiteral("typed"));
            const QString before = field->toPlainText();
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
            QTest::mouseClick(field->viewport(), Qt::MiddleButton);
            QCOMPARE(field->toPlainText(), before);
        }
    }
}
