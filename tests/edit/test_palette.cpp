// The accented-character palette: every letter at its place inserting its
// one character, the side choice kept between openings, the one-target
// form, and where the focus ends up.

#include "support/modal.h"

#include "core/deck/encoding.h"
#include "gui/common/chartarget.h"
#include "gui/common/dialogfont.h"
#include "gui/common/extendeddlg.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include <string_view>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// Each letter's button, its Windows-1252 code and its top-left corner in
// dialog units.
struct Letter {
    const char *name;
    unsigned char code;
    int x, y;
};
constexpr Letter kLetters[] = {
    {"A1", 0xC0, 7, 9},     {"A2", 0xC1, 22, 9},    {"A3", 0xC2, 37, 9},    {"A4", 0xC3, 52, 9},
    {"A5", 0xC4, 82, 9},    {"A6", 0xC5, 97, 9},    {"A7", 0xC6, 67, 9},    {"A8", 0xE0, 7, 24},
    {"A9", 0xE1, 22, 24},   {"A10", 0xE2, 37, 24},  {"A11", 0xE3, 52, 24},  {"A12", 0xE4, 82, 24},
    {"A13", 0xE5, 97, 24},  {"A14", 0xE6, 67, 24},  {"E1", 0xC8, 126, 9},   {"E2", 0xC9, 141, 9},
    {"E3", 0xCA, 156, 9},   {"E4", 0xCB, 171, 9},   {"E5", 0xE8, 126, 24},  {"E6", 0xE9, 141, 24},
    {"E7", 0xEA, 156, 24},  {"E8", 0xEB, 171, 24},  {"I1", 0xCC, 164, 91},  {"I2", 0xCD, 179, 91},
    {"I3", 0xCE, 194, 91},  {"I4", 0xCF, 209, 91},  {"I5", 0xEC, 164, 106}, {"I6", 0xED, 179, 106},
    {"I7", 0xEE, 194, 106}, {"I8", 0xEF, 209, 106}, {"O1", 0xD2, 7, 91},    {"O2", 0xD3, 22, 91},
    {"O3", 0xD4, 37, 91},   {"O4", 0xD5, 52, 91},   {"O5", 0xD6, 67, 91},   {"O6", 0xF2, 7, 106},
    {"O7", 0xF3, 22, 106},  {"O8", 0xF4, 37, 106},  {"O9", 0xF5, 52, 106},  {"O10", 0xF6, 67, 106},
    {"U1", 0xD9, 93, 91},   {"U2", 0xDA, 108, 91},  {"U3", 0xDB, 123, 91},  {"U4", 0xDC, 138, 91},
    {"U5", 0xF9, 93, 106},  {"U6", 0xFA, 108, 106}, {"U7", 0xFB, 123, 106}, {"U8", 0xFC, 138, 106},
    {"J1", 0xC7, 7, 50},    {"J2", 0xD0, 22, 50},   {"J3", 0xD1, 37, 50},   {"J4", 0xDD, 52, 50},
    {"J5", 0xD8, 82, 50},   {"J6", 0xDE, 97, 50},   {"J7", 0xDF, 142, 58},  {"J8", 0xE7, 7, 65},
    {"J9", 0xF0, 22, 65},   {"J10", 0xF1, 37, 65},  {"J11", 0xFD, 52, 65},  {"J12", 0xF8, 82, 65},
    {"J13", 0xFE, 97, 65},  {"J14", 0xFF, 67, 65},  {"J15", 0x8A, 112, 50}, {"J16", 0x9A, 112, 65},
    {"J17", 0x8C, 127, 50}, {"J18", 0x9C, 127, 65}, {"Y1", 0x9F, 67, 50},
};

QPushButton *letter(QDialog &dlg, const char *name)
{
    return dlg.findChild<QPushButton *>(QStringLiteral("char") + QLatin1String(name));
}
QRadioButton *radio(QDialog &dlg, const char *name) { return dlg.findChild<QRadioButton *>(QLatin1String(name)); }

QString windows1252(unsigned char code)
{
    const char byte = char(code);
    return encoding::decodeWindows1252(std::string_view(&byte, 1));
}

} // namespace

class PaletteTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyLetterInsertsItsCharacterAndSitsAtItsPlace();
    void clickReplacesTheSelectionAndCloses();
    void sideChoiceIsKeptAfterAClickButNotAfterCancel();
    void oneTargetFormHidesTheSideChoice();
    void focusReturnsToTheFieldThatTookTheCharacter();
    void arrowsMoveAmongTheLettersAndEnterInsertsTheFocusedOne();
};

void PaletteTest::everyLetterInsertsItsCharacterAndSitsAtItsPlace()
{
    QLineEdit field;
    LineEditTarget target(&field);
    {
        ExtendedDlg dlg(target);
        int letters = 0;
        for (QPushButton *b : dlg.findChildren<QPushButton *>())
            letters += b->objectName().startsWith(QLatin1String("char"));
        QCOMPARE(letters, int(std::size(kLetters)));
        QCOMPARE(letters, 67);
    }
    const dlu::BaseUnits base = dlu::baseUnits();
    for (const Letter &l : kLetters) {
        field.clear();
        ExtendedDlg dlg(target);
        dlg.show();
        QPushButton *button = letter(dlg, l.name);
        QVERIFY2(button, l.name);
        QCOMPARE(button->geometry(), dlu::toPixels(QRect(l.x, l.y, 14, 14), base));
        QVERIFY(!(button->focusPolicy() & Qt::TabFocus));

        button->click();
        const QString expected = windows1252(l.code);
        // 0x8A, 0x8C, 0x9A, 0x9C and 0x9F too are letters, not controls.
        QVERIFY2(expected.size() == 1 && expected.at(0).isLetter(), l.name);
        QCOMPARE(field.text(), expected);
    }
}

void PaletteTest::clickReplacesTheSelectionAndCloses()
{
    bool addToSide1 = true;
    QPlainTextEdit side1(QStringLiteral("abcXYZdef")), side2;
    PlainTextTarget t1(&side1), t2(&side2);
    QTextCursor selection = side1.textCursor();
    selection.setPosition(3);
    selection.setPosition(6, QTextCursor::KeepAnchor);
    side1.setTextCursor(selection);

    ExtendedDlg dlg(t1, t2, addToSide1);
    dlg.show();
    QTest::mouseClick(letter(dlg, "E6"), Qt::LeftButton);
    QCOMPARE(side1.toPlainText(), QStringLiteral("abc\u00E9def"));
    QCOMPARE(side1.textCursor().position(), 4);
    QVERIFY(!side1.textCursor().hasSelection());
    QVERIFY(side2.toPlainText().isEmpty());
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));

    // The one-line search field likewise.
    QLineEdit search(QStringLiteral("abcXYZdef"));
    search.setSelection(3, 3);
    LineEditTarget ts(&search);
    ExtendedDlg one(ts);
    one.show();
    QTest::mouseClick(letter(one, "J7"), Qt::LeftButton);
    QCOMPARE(search.text(), QStringLiteral("abc\u00DFdef"));
    QCOMPARE(search.cursorPosition(), 4);
    QVERIFY(!one.isVisible());

    // A field that went away meanwhile takes nothing, and nothing breaks.
    auto *gone = new QLineEdit;
    LineEditTarget tg(gone);
    delete gone;
    ExtendedDlg orphan(tg);
    orphan.show();
    letter(orphan, "A1")->click();
    QVERIFY(!orphan.isVisible());
}

void PaletteTest::sideChoiceIsKeptAfterAClickButNotAfterCancel()
{
    bool addToSide1 = true;
    QPlainTextEdit side1, side2;
    PlainTextTarget t1(&side1), t2(&side2);
    {
        ExtendedDlg dlg(t1, t2, addToSide1);
        dlg.show();
        QVERIFY(radio(dlg, "side1Radio")->isVisible() && radio(dlg, "side2Radio")->isVisible());
        QVERIFY(radio(dlg, "side1Radio")->isChecked());
        QTest::mouseClick(radio(dlg, "side2Radio"), Qt::LeftButton);
        letter(dlg, "E6")->click();
    }
    QCOMPARE(side2.toPlainText(), QStringLiteral("\u00E9"));
    QVERIFY(side1.toPlainText().isEmpty());
    QCOMPARE(addToSide1, false);
    {
        ExtendedDlg dlg(t1, t2, addToSide1);
        dlg.show();
        QVERIFY(radio(dlg, "side2Radio")->isChecked());
        QTest::mouseClick(radio(dlg, "side1Radio"), Qt::LeftButton);
        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("cancelButton")), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
    }
    QCOMPARE(addToSide1, false);
    QCOMPARE(side2.toPlainText(), QStringLiteral("\u00E9"));
    QVERIFY(side1.toPlainText().isEmpty());
    {
        ExtendedDlg dlg(t1, t2, addToSide1);
        dlg.show();
        QVERIFY(radio(dlg, "side2Radio")->isChecked());
        QTest::mouseClick(radio(dlg, "side1Radio"), Qt::LeftButton);
        letter(dlg, "Y1")->click();
    }
    QCOMPARE(side1.toPlainText(), QStringLiteral("\u0178"));
    QCOMPARE(addToSide1, true);
}

void PaletteTest::oneTargetFormHidesTheSideChoice()
{
    QLineEdit search;
    LineEditTarget target(&search);
    ExtendedDlg dlg(target);
    dlg.show();
    QRadioButton *only = radio(dlg, "side1Radio");
    QCOMPARE(only->text(), QStringLiteral("Add to search text"));
    QVERIFY(only->isChecked());
    QVERIFY(!dlg.rect().intersects(only->geometry()));
    QVERIFY(radio(dlg, "side2Radio")->isHidden());
    letter(dlg, "J15")->click();
    QCOMPARE(search.text(), QStringLiteral("\u0160"));
}

void PaletteTest::focusReturnsToTheFieldThatTookTheCharacter()
{
    // A card dialog's stand-in: two sides and the button that opens the
    // palette, which has the focus when it opens.
    QDialog cardDialog;
    auto *side1 = new QPlainTextEdit(&cardDialog);
    auto *side2 = new QPlainTextEdit(&cardDialog);
    auto *opener = new QPushButton(QStringLiteral("Extended chars..."), &cardDialog);
    auto *layout = new QVBoxLayout(&cardDialog);
    layout->addWidget(side1);
    layout->addWidget(side2);
    layout->addWidget(opener);
    cardDialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&cardDialog));
    opener->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), opener);

    bool addToSide1 = false;
    PlainTextTarget t1(side1), t2(side2);
    ExtendedDlg dlg(t1, t2, addToSide1, &cardDialog);
    onModal([&] { dlg.exec(); }, [&](QDialog *shown) {
        QCOMPARE(shown, &dlg);
        QTest::mouseClick(letter(dlg, "O10"), Qt::LeftButton);
    });
    QCOMPARE(side2->toPlainText(), QStringLiteral("\u00F6"));
    QTRY_COMPARE(QApplication::focusWidget(), side2);
}

void PaletteTest::arrowsMoveAmongTheLettersAndEnterInsertsTheFocusedOne()
{
    QLineEdit field;
    LineEditTarget target(&field);
    ExtendedDlg dlg(target);
    QVERIFY(showActive(dlg));
    QCOMPARE(QApplication::focusWidget(), letter(dlg, "A1"));
    // Right from Ã passes Æ, which stands between Ã and Ä; down from ë
    // reaches the I letters below it; Tab leaves the letters for Cancel and
    // an arrow brings the keys back to the letter last left.
    const std::pair<Qt::Key, const char *> moves[] = {
        {Qt::Key_Right, "A2"}, {Qt::Key_Down, "A9"}, {Qt::Key_Left, "A8"}, {Qt::Key_Up, "A1"},
        {Qt::Key_Left, "A1"},  {Qt::Key_Right, "A2"}, {Qt::Key_Right, "A3"}, {Qt::Key_Right, "A4"},
        {Qt::Key_Right, "A7"}, {Qt::Key_Right, "A5"}, {Qt::Key_Down, "A12"}};
    for (const auto &[key, expected] : moves) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(QApplication::focusWidget(), letter(dlg, expected));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cancelButton"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), letter(dlg, "A12"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(field.text(), QStringLiteral("\u00E4"));
    QVERIFY(!dlg.isVisible());
}

QTEST_MAIN(PaletteTest)
#include "test_palette.moc"
