// The recent-files slots and the File menu items they produce.

#include "core/settings/recentfiles.h"

#include <QTest>

using mdk::RecentFile;
using mdk::recent::Slots;

namespace {

// Slots from names; each file lives in a folder named after it.
Slots slotsOf(std::initializer_list<const char *> names)
{
    Slots s;
    size_t i = 0;
    for (const char *n : names) {
        const QString name = QString::fromLatin1(n);
        s[i++] = name.isEmpty() ? RecentFile{} : RecentFile{name, QStringLiteral("/d/") + name};
    }
    return s;
}

QStringList namesOf(const Slots &s)
{
    QStringList out;
    for (const RecentFile &f : s)
        out << f.name;
    return out;
}

} // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void menuTexts()
    {
        const auto none = mdk::recent::UpdateFileMenu(Slots{});
        QVERIFY(!none.separators);
        QVERIFY(none.items.isEmpty());

        const auto menu = mdk::recent::UpdateFileMenu(slotsOf({"open", "spanish", "My Verbs", "", "late"}));
        QVERIFY(menu.separators);
        // Only the unbroken run from slot 1 is listed; slot 0 never is.
        QCOMPARE(menu.items, (QStringList{QStringLiteral("&1.  spanish"), QStringLiteral("&2.  My Verbs")}));

        const auto full = mdk::recent::UpdateFileMenu(slotsOf({"", "a", "b", "c", "d", "e"}));
        QCOMPARE(full.items.size(), 5);
        QCOMPARE(full.items.last(), QStringLiteral("&5.  e"));
    }

    void firstFileOfRunLeavesListAlone()
    {
        Slots s = slotsOf({"", "a", "b"});
        QVERIFY(mdk::recent::SetFileMenu(s, QStringLiteral("x"), QStringLiteral("/x")));
        QCOMPARE(namesOf(s), (QStringList{"x", "a", "b", "", "", ""}));
        QCOMPARE(s[0].path, QStringLiteral("/x"));
    }

    void openingPushesPreviousFileIntoList()
    {
        Slots s = slotsOf({"x", "a", "b", "c", "d", "e"});
        QVERIFY(mdk::recent::SetFileMenu(s, QStringLiteral("y"), QStringLiteral("/y")));
        QCOMPARE(namesOf(s), (QStringList{"y", "x", "a", "b", "c", "d"}));
        QCOMPARE(s[1].path, QStringLiteral("/d/x"));
    }

    void veryFirstFileEver()
    {
        Slots s;
        QVERIFY(mdk::recent::SetFileMenu(s, QStringLiteral("a"), QStringLiteral("/a")));
        QCOMPARE(namesOf(s), (QStringList{"a", "", "", "", "", ""}));
        QCOMPARE(mdk::recent::listedCount(s), 0);
    }

    void listedNameInOtherCaseChangesNothing()
    {
        const Slots before = slotsOf({"x", "Spanish", "b"});
        Slots s = before;
        QVERIFY(!mdk::recent::SetFileMenu(s, QStringLiteral("SPANISH"), QStringLiteral("/elsewhere")));
        QVERIFY(s == before);
        // Slot 0 takes part in the comparison too.
        QVERIFY(!mdk::recent::SetFileMenu(s, QStringLiteral("X"), QStringLiteral("/x")));
        QVERIFY(s == before);
    }

    void newAfterFileOpen()
    {
        // An empty name equals any empty slot: with room left nothing moves.
        Slots some = slotsOf({"x", "a", "b"});
        const Slots before = some;
        QVERIFY(!mdk::recent::SetFileMenu(some, QString(), QStringLiteral("/x")));
        QVERIFY(some == before);

        // With all six in use the open file moves to the top, slot 0 empties.
        Slots full = slotsOf({"x", "a", "b", "c", "d", "e"});
        QVERIFY(mdk::recent::SetFileMenu(full, QString(), QStringLiteral("/x")));
        QCOMPARE(namesOf(full), (QStringList{"", "x", "a", "b", "c", "d"}));
        // A later file then takes slot 0 without moving the list.
        QVERIFY(mdk::recent::SetFileMenu(full, QStringLiteral("z"), QStringLiteral("/z")));
        QCOMPARE(namesOf(full), (QStringList{"z", "x", "a", "b", "c", "d"}));
    }

    void chooseItemWhileFileOpen()
    {
        Slots s = slotsOf({"x", "a", "b", "c", "d", "e"});
        mdk::recent::openedRecent(s, 3);
        QCOMPARE(namesOf(s), (QStringList{"c", "x", "a", "b", "d", "e"}));
        QCOMPARE(s[0].path, QStringLiteral("/d/c"));
        QCOMPARE(s[1].path, QStringLiteral("/d/x"));

        Slots one = slotsOf({"x", "a", "b"});
        mdk::recent::openedRecent(one, 1);
        QCOMPARE(namesOf(one), (QStringList{"a", "x", "b", "", "", ""}));

        Slots last = slotsOf({"x", "a", "b", "c", "d", "e"});
        mdk::recent::openedRecent(last, 5);
        QCOMPARE(namesOf(last), (QStringList{"e", "x", "a", "b", "c", "d"}));
    }

    void chooseItemAsFirstFileOfRun()
    {
        Slots s = slotsOf({"", "a", "b", "c", "d", "e"});
        mdk::recent::openedRecent(s, 3);
        QCOMPARE(namesOf(s), (QStringList{"c", "a", "b", "d", "e", ""}));
        QCOMPARE(s[3].path, QStringLiteral("/d/d"));
        QCOMPARE(mdk::recent::UpdateFileMenu(s).items.size(), 4);

        Slots two = slotsOf({"", "a", "b"});
        mdk::recent::openedRecent(two, 1);
        QCOMPARE(namesOf(two), (QStringList{"a", "b", "", "", "", ""}));
    }

    void slotOfFindsOnlyTheListedEntry()
    {
        const Slots s = slotsOf({"x", "a", "b", "c", "d", "e"});
        QCOMPARE(mdk::recent::slotOf(s, s[3]), 3);
        QCOMPARE(mdk::recent::slotOf(s, s[5]), 5);
        // The open file in slot 0 is not a list position.
        QCOMPARE(mdk::recent::slotOf(s, s[0]), 0);
        // The same name in another folder is another file.
        QCOMPARE(mdk::recent::slotOf(s, RecentFile{QStringLiteral("b"), QStringLiteral("/elsewhere")}), 0);
        // Pushed off the end of a full list.
        Slots full = s;
        QVERIFY(mdk::recent::SetFileMenu(full, QStringLiteral("y"), QStringLiteral("/y")));
        QCOMPARE(mdk::recent::slotOf(full, s[5]), 0);
        QCOMPARE(mdk::recent::slotOf(full, s[4]), 5);
    }

    void savedListPutsOpenFileFirst()
    {
        const Slots open = slotsOf({"x", "a", "b", "c", "d", "e"});
        QVERIFY(mdk::recent::slotsToSave(open) == open);

        // No file open in this run: the list moves up so it is kept whole.
        const Slots none = slotsOf({"", "a", "b", "c", "d", "e"});
        QCOMPARE(namesOf(mdk::recent::slotsToSave(none)), (QStringList{"a", "b", "c", "d", "e", ""}));
        QCOMPARE(mdk::recent::slotsToSave(none)[0].path, QStringLiteral("/d/a"));
    }
};

QTEST_APPLESS_MAIN(TestRecentFiles)
#include "test_recentfiles.moc"
