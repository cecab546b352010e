#pragma once

// Every window and dialog of the program, built with ordinary contents and
// shown one at a time, for checks that must hold on all of them.

#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/study/study.h"
#include "gui/about/aboutwindow.h"
#include "gui/about/introsplash.h"
#include "gui/category/categorynamedlg.h"
#include "gui/category/deletecategorydlg.h"
#include "gui/common/chartarget.h"
#include "gui/common/extendeddlg.h"
#include "gui/edit/addcarddlg.h"
#include "gui/edit/deletecarddlg.h"
#include "gui/edit/editcarddlg.h"
#include "gui/edit/movecarddlg.h"
#include "gui/edit/undeletedlg.h"
#include "gui/exchange/exportdlg.h"
#include "gui/exchange/importdlg.h"
#include "gui/files/convertfiledlg.h"
#include "gui/files/copydlg.h"
#include "gui/files/earlierversionsdlg.h"
#include "gui/files/mergedlg.h"
#include "gui/help/helpviewer.h"
#include "gui/notepad/notepadwindow.h"
#include "gui/print/printdlg.h"
#include "gui/review/reviewoptionsdlg.h"
#include "gui/review/reviewwindow.h"
#include "gui/review/statisticswindow.h"
#include "gui/search/searchdlg.h"
#include "gui/search/shuffledlg.h"
#include "gui/study/infodlg.h"
#include "gui/study/jumptocarddlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <functional>

namespace mdk::testsupport {

// check(window) runs on each window while it is shown; the main window
// studies a deck with a few levels of categories.
inline void forEachWindow(const std::function<void(QWidget &)> &check)
{
    WindowFixture f;
    Deck deck = buildDeck({{QStringLiteral("q1"), QStringLiteral("a1"), QStringLiteral("Main")},
                           {QStringLiteral("q2"), QStringLiteral("a2"), QStringLiteral("Main")}},
                          {{QStringLiteral("Verbs"), QStringLiteral("Main")},
                           {QStringLiteral("Irregular"), QStringLiteral("Verbs")},
                           {QStringLiteral("Nouns"), QStringLiteral("Main")}});
    f.show(std::move(deck));
    QWidget *main = f.window.get();
    check(*main);

    const auto dialog = [&](QDialog &d) {
        showActive(d);
        check(d);
    };
    const QFont font = main->font();
    const QString side1 = QStringLiteral("der Baum");
    const QString side2 = QStringLiteral("the tree, a tall plant with a trunk and branches");
    { AddCardDlg d(QStringLiteral("Main"), font, main); dialog(d); }
    { EditCardDlg d(1, side1, side2, font, main); dialog(d); }
    { DeleteCardDlg d(1, side1, side2, main); dialog(d); }
    {
        Deck gone = mainDeck(2);
        gone.clearViewToDeleted();
        UndeleteDlg d(gone, main);
        dialog(d);
    }
    { MoveCardDlg d(f.deck().tree(), false, main); dialog(d); }
    { SearchDlg d(QStringLiteral("Baum"), {}, 2, 1, true, main); dialog(d); }
    { ShuffleDlg d(0, main); dialog(d); }
    { PrintDialog d(true, 0, true, true, true, main); dialog(d); }
    { CategoryNameDlg d(CategoryNameDlg::Kind::New, QString(), main); dialog(d); }
    { CategoryNameDlg d(CategoryNameDlg::Kind::Rename, QStringLiteral("Verbs"), main); dialog(d); }
    { DeleteCategoryDlg d(QStringLiteral("Verbs"), main); dialog(d); }
    { JumpToCardDlg d(2, main); dialog(d); }
    {
        study::Information info{QStringLiteral("words.mdk"), QStringLiteral("/home/user"), QStringLiteral("2"),
                                QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("4"),
                                QStringLiteral("1")};
        InfoDlg d(info, main);
        dialog(d);
    }
    { MergeDlg d(QStringLiteral("/home/user/a.mdk"), QStringLiteral("/home/user/b.mdk"), true, main); dialog(d); }
    {
        ConvertFileDlg d({QStringLiteral("Version 1.00"), QStringLiteral("Version 2.01")},
                         QStringLiteral("/home/user/old.mdk"), true, main);
        dialog(d);
    }
    { CopyDlg d(QStringLiteral("/home/user/copies.mdk"), main); dialog(d); }
    {
        EarlierVersionsDlg d({{QDateTime::currentDateTime(), 12, 345}, {QDateTime::currentDateTime(), -1, 9}},
                             main);
        dialog(d);
    }
    {
        QPlainTextEdit one, two;
        PlainTextTarget t1(&one), t2(&two);
        bool toSide1 = true;
        ExtendedDlg d(t1, t2, toSide1, main);
        dialog(d);
    }
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("words.csv"));
        QFile csv(path);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Word;Meaning;Category\nder Baum;the tree;Nouns\nlaufen;to run;Verbs\n");
        csv.close();
        ImportDlg d(path, f.deck().tree(), QStringLiteral("Verbs"), main);
        dialog(d);
    }
    { ExportDlg d({}, main); dialog(d); }
    {
        // A round's three faces: the question, the answer, the summary.
        ReviewWindow d(0, main);
        d.setPlace(QStringLiteral("Spanish.mdk"), QStringLiteral("Irregular verbs"));
        d.showCard(side1, side2, QStringLiteral("card 1 of 20 \u00b7 0 known \u00b7 0 missed"));
        dialog(d);
        QTest::keyClick(&d, Qt::Key_Space);
        QVERIFY(d.findChild<QLabel *>(QStringLiteral("answer"))->isVisible());
        check(d);
        d.showSummary(QStringLiteral("70 % known (14 of 20 cards)\nTime taken: 2 min 5 s"), true);
        check(d);
    }
    {
        StatisticsWindow d(main);
        review::Statistics s;
        s.newCards = 12;
        s.boxes = {3, 4, 5, 6, 7};
        s.dueToday = 4;
        s.dueTomorrow = 2;
        s.dueThisWeek = 9;
        d.setStatistics(s, QDate(2026, 4, 6).toJulianDay());
        d.setMissingDecks({{1, QStringLiteral("/nowhere/moved.mdk")}});
        dialog(d);
    }
    { ReviewOptionsDlg d({}, main); dialog(d); }
    { HelpViewer d(main); dialog(d); }
    {
        float angle = 0;
        AboutWindow d(angle, main);
        dialog(d);
    }
    // These two delete themselves when they close.
    const auto window = [&](QWidget *w) {
        const QPointer<QWidget> alive = w;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        check(*w);
        delete alive.data();
    };
    window(new NotepadWindow(f.dialogs, font, QPoint(50, 50), main));
    window(new IntroSplash(main));
}

} // namespace mdk::testsupport
