// What a screen reader hears, through Qt's accessibility interfaces: every
// control of every window has a name, the card says what it shows and
// when that changes, and a message box offers its whole text.

#include "support/allwindows.h"

#include "gui/common/accessibility.h"
#include "gui/common/userdialogs.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QSet>
#include <QtTest>

#include <vector>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

bool needsName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::Tree:
    case QAccessible::List:
    case QAccessible::ScrollBar:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
        return true;
    default:
        return false;
    }
}

// The controls of window without a name: those in its accessible tree,
// and every widget of it directly, since a scroll bar not shown yet (a text
// field's, before the text grows) is not in the tree.
QStringList unnamedControls(QWidget &window)
{
    QStringList unnamed;
    QSet<QAccessibleInterface *> seen;
    const auto check = [&](QAccessibleInterface *i) {
        if (needsName(i->role()) && i->text(QAccessible::Name).trimmed().isEmpty()) {
            QObject *o = i->object();
            unnamed.append(window.metaObject()->className() + QStringLiteral(": ")
                           + (o ? o->metaObject()->className() + QStringLiteral(" ") + o->objectName()
                                : QStringLiteral("role %1").arg(int(i->role()))));
        }
    };
    std::vector<QAccessibleInterface *> stack{QAccessible::queryAccessibleInterface(&window)};
    while (!stack.empty()) {
        QAccessibleInterface *i = stack.back();
        stack.pop_back();
        if (!i || !i->isValid() || seen.contains(i))
            continue;
        seen.insert(i);
        check(i);
        for (int c = 0; c < i->childCount(); ++c)
            stack.push_back(i->child(c));
    }
    for (QWidget *w : window.findChildren<QWidget *>()) {
        QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
        if (!w->isWindow() && i && !seen.contains(i))
            check(i);
    }
    return unnamed;
}

QAccessibleInterface *findByName(QAccessibleInterface *root, const QString &name)
{
    std::vector<QAccessibleInterface *> stack{root};
    while (!stack.empty()) {
        QAccessibleInterface *i = stack.back();
        stack.pop_back();
        if (i->text(QAccessible::Name) == name)
            return i;
        for (int c = 0; c < i->childCount(); ++c)
            stack.push_back(i->child(c));
    }
    return nullptr;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyControlOfEveryWindowHasAName();
    void theCardSaysWhatItShowsAndWhenItChanges();
    void theCategoryTreeSaysEachItemsLevel();
    void aMessageBoxOffersItsWholeText();
    void namesSayWhichAndGroupsSayWhat();
};

void TestAccessibility::everyControlOfEveryWindowHasAName()
{
    QStringList unnamed;
    int windows = 0;
    forEachWindow([&](QWidget &w) {
        ++windows;
        unnamed += unnamedControls(w);
    });
    QVERIFY(windows > 20);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n"))));
}

void TestAccessibility::theCardSaysWhatItShowsAndWhenItChanges()
{
    WindowFixture f;
    f.study(3);
    QAccessibleInterface *card = QAccessible::queryAccessibleInterface(f.dlg->cardDisplay());
    QVERIFY(card && card->textInterface());
    QCOMPARE(card->text(QAccessible::Name), QStringLiteral("Card 1 of 3, side 1"));
    QCOMPARE(card->textInterface()->text(0, card->textInterface()->characterCount()), QStringLiteral("q1"));

    QList<QAccessible::Event> eventsSeen;
    accessible::setObserver([&](QAccessibleEvent &e) {
        if (e.object() == f.dlg->cardDisplay())
            eventsSeen.append(e.type());
    });
    f.dlg->ChangeSide();
    f.dlg->ChangeSide();
    accessible::setObserver(nullptr);
    QCOMPARE(card->text(QAccessible::Name), QStringLiteral("Card 2 of 3, side 1"));
    QCOMPARE(card->textInterface()->text(0, card->textInterface()->characterCount()), QStringLiteral("q2"));
    QCOMPARE(eventsSeen.count(QAccessible::NameChanged), 2);
    QCOMPARE(eventsSeen.count(QAccessible::TextUpdated), 2);
}

void TestAccessibility::theCategoryTreeSaysEachItemsLevel()
{
    WindowFixture f;
    f.show(buildDeck({}, {{QStringLiteral("Verbs"), QStringLiteral("Main")},
                          {QStringLiteral("Irregular"), QStringLiteral("Verbs")}}));
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(f.dlg->categoriesTree());
    int level = 0;
    for (const QString &name : {QStringLiteral("Main"), QStringLiteral("Verbs"), QStringLiteral("Irregular")}) {
        QAccessibleInterface *item = findByName(tree, name);
        QVERIFY2(item, qPrintable(name));
        QCOMPARE(item->text(QAccessible::Description), QStringLiteral("Level %1").arg(++level));
    }
}

void TestAccessibility::namesSayWhichAndGroupsSayWhat()
{
    // The empty list of decks whose file is gone still has its name.
    {
        StatisticsWindow statistics;
        statistics.setMissingDecks({});
        auto *missing = statistics.findChild<QComboBox *>(QStringLiteral("missingDecks"));
        QVERIFY(missing && missing->count() == 0);
        QCOMPARE(QAccessible::queryAccessibleInterface(missing)->text(QAccessible::Name),
                 QStringLiteral("Decks whose file is gone"));
    }

    WindowFixture f;
    // Every glyph of the tool bar has a name of its own.
    auto *bar = f.window->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    QVERIFY(bar);
    QStringList names;
    for (QAction *action : bar->actions())
        if (QWidget *button = bar->widgetForAction(action); button && !action->isSeparator())
            names << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
    QVERIFY(names.size() > 10);
    QVERIFY2(QSet<QString>(names.begin(), names.end()).size() == names.size(), qPrintable(names.join(QLatin1Char('|'))));
    QVERIFY(names.contains(QStringLiteral("Create a new card file")));
    // Its overflow button opens more: a button, never a check box.
    auto *more = bar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
    QVERIFY(more);
    QAccessibleInterface *moreSaid = QAccessible::queryAccessibleInterface(more);
    QCOMPARE(moreSaid->role(), QAccessible::ButtonMenu);
    QCOMPARE(moreSaid->text(QAccessible::Name), QStringLiteral("More tools"));
    QVERIFY(moreSaid->state().expandable);
    // Every item of every menu has a name, the hidden recent files too.
    for (QMenu *menu : f.window->menuBar()->findChildren<QMenu *>()) {
        QAccessibleInterface *said = QAccessible::queryAccessibleInterface(menu);
        for (int c = 0; c < said->childCount(); ++c) {
            QAccessibleInterface *item = said->child(c);
            if (item->role() != QAccessible::Separator)
                QVERIFY2(!item->text(QAccessible::Name).isEmpty(), qPrintable(menu->title()));
        }
    }

    // A radio button is said within its group: the group box holds it.
    QWidget *main = f.window.get();
    PrintDialog print(true, 0, true, true, true, main);
    DeleteCardDlg remove(1, QStringLiteral("q"), QStringLiteral("a"), main);
    for (QDialog *dialog : {static_cast<QDialog *>(&print), static_cast<QDialog *>(&remove)}) {
        int grouped = 0;
        for (QGroupBox *box : dialog->findChildren<QGroupBox *>()) {
            QVERIFY(!box->title().isEmpty());
            for (QWidget *w : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                QCOMPARE(QAccessible::queryAccessibleInterface(w)->parent()->object(), box);
                ++grouped;
            }
        }
        QVERIFY(grouped >= 5);
        for (QRadioButton *radio : dialog->findChildren<QRadioButton *>())
            QVERIFY(qobject_cast<QGroupBox *>(radio->parentWidget()));
    }
}

void TestAccessibility::aMessageBoxOffersItsWholeText()
{
    QtUserDialogs dialogs;
    const QString text = QStringLiteral("The file could not be read.\n\nIt may be damaged or of another kind.");
    onModal([&] { dialogs.message(nullptr, UserDialogs::Icon::Stop, QStringLiteral("Load"), text, QMessageBox::Ok); },
            [&](QDialog *box) {
                QAccessibleInterface *i = QAccessible::queryAccessibleInterface(box);
                QCOMPARE(i->text(QAccessible::Name), QStringLiteral("Load"));
                QCOMPARE(i->text(QAccessible::Description), text);
            });
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
