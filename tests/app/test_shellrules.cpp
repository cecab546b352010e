// Rules of the application shell that need no window: the clock's texts,
// the command line, the enablers, dialog units and the frame's size.

#include "support/deckbuilder.h"

#include "core/deck/filenames.h"
#include "core/shell/clocktext.h"
#include "core/shell/commandline.h"
#include "gui/common/dialogunits.h"
#include "core/shell/enablers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mdk;

namespace {

// Replaces the deck in place (enable states hold a reference to it).
void addCards(Deck &deck, int n) { deck = testsupport::mainDeck(n); }

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

class ShellRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void timeTexts_data();
    void timeTexts();
    void dateText();
    void clockRefreshesOnlyWhenTheMinuteChanges();
    void clockRefreshesTheDateAtMidnight();
    void clockCatchesUpAfterASuspend();

    void commandLineJoinsSplitNameAndFindsRealEntry();
    void commandLineRecognisesExtensionInAnyCase();
    void commandLineWithoutCardFileLoadsNothing();
    void commandLineWithRelativeAndRootDirectories();
    void onlyTheLastSuffixIsTheExtension();

    void enablersFollowTheTable();
    void markEnableNeedsTwoUnmarkedCards();
    void saveEnablersOnBlankAndCategoryOnlyDecks();
    void subcategoryModeDisablesEditing();

    void dialogUnitsAndFrameSize();
};

void ShellRules::timeTexts_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("noon") << QTime(12, 0) << "12:00 PM";
    QTest::newRow("half past midnight") << QTime(0, 30) << "12:30 AM";
    QTest::newRow("morning") << QTime(9, 5) << "9:05 AM";
    QTest::newRow("afternoon") << QTime(13, 7) << "1:07 PM";
    QTest::newRow("midnight") << QTime(0, 5) << "12:05 AM";
    QTest::newRow("before noon") << QTime(11, 59) << "11:59 AM";
    QTest::newRow("late") << QTime(23, 10) << "11:10 PM";
}

void ShellRules::timeTexts()
{
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QCOMPARE(clock::timeText(time), text);
}

void ShellRules::dateText()
{
    QCOMPARE(clock::dateText(QDate(1996, 12, 6)), QStringLiteral("12/6/1996"));
    QCOMPARE(clock::dateText(QDate(2024, 1, 31)), QStringLiteral("1/31/2024"));
}

void ShellRules::clockRefreshesOnlyWhenTheMinuteChanges()
{
    clock::Clock c;
    const QDate day(2024, 3, 4);
    auto first = c.tick(QDateTime(day, QTime(9, 5, 1)));
    QCOMPARE(first.time, std::optional<QString>(QStringLiteral("9:05 AM")));
    // The first tick fills an empty date box; later ones on the same day
    // leave it alone.
    QCOMPARE(first.date, std::optional<QString>(QStringLiteral("3/4/2024")));
    QVERIFY(!c.tick(QDateTime(day, QTime(9, 5, 30))).time);
    QVERIFY(!c.tick(QDateTime(day, QTime(9, 5, 59))).time);
    const auto next = c.tick(QDateTime(day, QTime(9, 6, 0)));
    QCOMPARE(next.time, std::optional<QString>(QStringLiteral("9:06 AM")));
    QVERIFY(!next.date);
}

void ShellRules::clockRefreshesTheDateAtMidnight()
{
    clock::Clock c;
    c.tick(QDateTime(QDate(1996, 12, 5), QTime(23, 59, 40)));
    const auto update = c.tick(QDateTime(QDate(1996, 12, 6), QTime(0, 0, 1)));
    QCOMPARE(update.time, std::optional<QString>(QStringLiteral("12:00 AM")));
    QCOMPARE(update.date, std::optional<QString>(QStringLiteral("12/6/1996")));
    QVERIFY(!c.tick(QDateTime(QDate(1996, 12, 6), QTime(0, 1, 0))).date);
}

void ShellRules::clockCatchesUpAfterASuspend()
{
    clock::Clock c;
    c.tick(QDateTime(QDate(2026, 12, 26), QTime(22, 40, 0)));
    // Asleep over midnight: the first tick after waking is in the morning.
    const auto woke = c.tick(QDateTime(QDate(2026, 12, 27), QTime(7, 15, 3)));
    QCOMPARE(woke.time, std::optional<QString>(QStringLiteral("7:15 AM")));
    QCOMPARE(woke.date, std::optional<QString>(QStringLiteral("12/27/2026")));
    // The same minute number an hour later is a new time.
    const auto hourLater = c.tick(QDateTime(QDate(2026, 12, 27), QTime(8, 15, 0)));
    QCOMPARE(hourLater.time, std::optional<QString>(QStringLiteral("8:15 AM")));
    QVERIFY(!hourLater.date);
    // And a day later at the very same minute: time and date.
    const auto dayLater = c.tick(QDateTime(QDate(2026, 12, 28), QTime(8, 15, 0)));
    QCOMPARE(dayLater.time, std::optional<QString>(QStringLiteral("8:15 AM")));
    QCOMPARE(dayLater.date, std::optional<QString>(QStringLiteral("12/28/2026")));
}

void ShellRules::commandLineJoinsSplitNameAndFindsRealEntry()
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("Spanish Verbs.MDK")));
    const QString other = QDir::rootPath();
    const StartupFile s = parseCommandLine(
        {dir.path() + QStringLiteral("/spanish"), QStringLiteral("verbs.mdk")}, other);
    QVERIFY(s.LoadStartupSure);
    QCOMPARE(s.LoadStartupPath, dir.path());
    // The entry's own spelling, not the one typed.
    QCOMPARE(s.LoadStartupFile, QStringLiteral("Spanish Verbs"));
}

void ShellRules::commandLineRecognisesExtensionInAnyCase()
{
    QTemporaryDir dir;
    for (const QString &name : {QStringLiteral("a.MDK"), QStringLiteral("b.Mdk"), QStringLiteral("c.mdk")}) {
        const StartupFile s = parseCommandLine({name}, dir.path());
        QVERIFY2(s.LoadStartupSure, qPrintable(name));
        QCOMPARE(s.LoadStartupFile, name.left(1)); // no such file: kept as typed
        QCOMPARE(s.LoadStartupPath, dir.path());
    }
}

void ShellRules::commandLineWithoutCardFileLoadsNothing()
{
    QVERIFY(!parseCommandLine({QStringLiteral("notes.txt")}, QStringLiteral("/tmp")).LoadStartupSure);
    QVERIFY(!parseCommandLine({QStringLiteral("foomdk")}, QStringLiteral("/tmp")).LoadStartupSure);
    QVERIFY(!parseCommandLine({}, QStringLiteral("/tmp")).LoadStartupSure);
}

void ShellRules::commandLineWithRelativeAndRootDirectories()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("decks")));
    const StartupFile rel = parseCommandLine({QStringLiteral("decks/x.mdk")}, dir.path());
    QCOMPARE(rel.LoadStartupPath, dir.filePath(QStringLiteral("decks")));
    QCOMPARE(rel.LoadStartupFile, QStringLiteral("x"));
    const StartupFile root = parseCommandLine({QStringLiteral("/x.mdk")}, dir.path());
    QCOMPARE(root.LoadStartupPath, QStringLiteral("/"));
}

void ShellRules::onlyTheLastSuffixIsTheExtension()
{
    // ".mdk" inside a name is part of the name.
    QCOMPARE(names::onDiskName(QStringLiteral("Lesson.MDK.old")), QStringLiteral("lesson.mdk.old.mdk"));
    QCOMPARE(names::onDiskName(QStringLiteral("Lesson.mdk")), QStringLiteral("lesson.mdk"));
    QCOMPARE(names::saveAsTarget(QStringLiteral("Lesson.mdk.old")), QStringLiteral("Lesson.mdk.old.mdk"));
    QCOMPARE(names::saveAsTarget(QStringLiteral("Lesson.mdk.old.MDK")), QStringLiteral("Lesson.mdk.old.MDK"));
    QCOMPARE(names::displayName(QStringLiteral("lesson.mdk.old.mdk")), QStringLiteral("lesson.mdk.old"));
    const StartupFile s = parseCommandLine({QStringLiteral("lesson.mdk.old.mdk")}, QStringLiteral("/nowhere"));
    QVERIFY(s.LoadStartupSure);
    QCOMPARE(s.LoadStartupFile, QStringLiteral("lesson.mdk.old"));
}

void ShellRules::enablersFollowTheTable()
{
    Deck deck;
    Options options;
    EnableState s{deck, options};
    using namespace enable;
    // Empty deck.
    QVERIFY(PassEnable(s) && NSPassEnable(s));
    QVERIFY(!PrimaryEnable(s) && !SecondaryEnable(s) && !NSPrimaryEnable(s));
    QVERIFY(!PrintEnable(s) && !UndeleteEnable(s) && !PasteEnable(s) && !RevertEnable(s));
    QVERIFY(NewCategoryEnable(s) && !CategoryEnable(s));

    // A new deck's first card is only in the view until something folds it
    // back; Print folds back first, so it may print it.
    Deck fresh;
    QVERIFY(fresh.appendViewCard(QStringLiteral("q"), QStringLiteral("a")));
    QVERIFY(PrintEnable(EnableState{fresh, options}));

    addCards(deck, 2);
    QVERIFY(PrimaryEnable(s) && SecondaryEnable(s) && PrintEnable(s));
    QVERIFY(!SearchAgainEnable(s));
    options.LastSearch = QStringLiteral("casa");
    QVERIFY(SearchAgainEnable(s));

    deck.markSaved();
    QVERIFY(!RevertEnable(s));
    mdk::testsupport::makeChanged(deck);
    QVERIFY(RevertEnable(s));

    s.cardInMemory = true;
    QVERIFY(PasteEnable(s));
    deck.RemoveViewCard(0);
    QVERIFY(UndeleteEnable(s));
    QVERIFY(PrimaryEnable(s) && !SecondaryEnable(s));

    s.NotepadOn = true;
    s.AboutIsOpen = true;
    QVERIFY(!NotepadEnable(s) && !AboutEnable(s));

    const auto verbs = deck.addCategory(deck.tree().root(), QStringLiteral("Verbs"));
    deck.selectCategory(verbs);
    deck.OpenCategory();
    QVERIFY(CategoryEnable(s));
    deck.selectCategory(CategoryTree::None);
    QVERIFY(!NewCategoryEnable(s));
}

void ShellRules::markEnableNeedsTwoUnmarkedCards()
{
    Deck deck;
    Options options;
    const EnableState s{deck, options};
    addCards(deck, 3);
    QVERIFY(enable::MarkEnable(s) && !enable::UnMarkEnable(s));
    QVERIFY(enable::DeleteEnable(s));
    deck.addMark(0); // two unmarked left
    QVERIFY(enable::MarkEnable(s) && enable::UnMarkEnable(s));
    QVERIFY(enable::DeleteEnable(s));
    deck.addMark(1); // one unmarked left
    QVERIFY(!enable::MarkEnable(s));
    QVERIFY(!enable::DeleteEnable(s)); // deleting it would leave only marked cards
    QVERIFY(enable::UnMarkEnable(s));
}

void ShellRules::saveEnablersOnBlankAndCategoryOnlyDecks()
{
    Deck deck;
    Options options;
    const EnableState s{deck, options};
    mdk::testsupport::makeChanged(deck);
    QVERIFY(!enable::SaveEnable(s));
    QVERIFY(!enable::SaveAsEnable(s));
    deck.addCategory(deck.tree().root(), QStringLiteral("Nouns"));
    QVERIFY(enable::SaveAsEnable(s));
    QVERIFY(enable::SaveEnable(s));
    deck.forgetChanges();
    QVERIFY(!enable::SaveEnable(s));
    QVERIFY(enable::SaveAsEnable(s));
}

void ShellRules::subcategoryModeDisablesEditing()
{
    Deck deck;
    Options options;
    const EnableState s{deck, options, false, false, true};
    addCards(deck, 3);
    deck.markSaved();
    mdk::testsupport::makeChanged(deck);
    deck.ToggleSubcategoryMode();
    QVERIFY(deck.showSubCategories());
    using namespace enable;
    for (auto e : {NSPassEnable, NSPrimaryEnable, SaveEnable, SaveAsEnable, RevertEnable, PrintEnable,
                   DeleteEnable, PasteEnable, NewCategoryEnable})
        QVERIFY(!e(s));
    // Studying, shuffling and flipping the combined view stay possible.
    QVERIFY(PrimaryEnable(s) && SecondaryEnable(s) && MarkEnable(s));
}

void ShellRules::dialogUnitsAndFrameSize()
{
    const dlu::BaseUnits base{6, 13};
    QCOMPARE(dlu::toPixels(dlu::mainwindow::kSize, base), QSize(550, 375));
    QCOMPARE(dlu::toPixels(dlu::mainwindow::kCardDisplay, base), QRect(34, 91, 449, 204));
    // Adjacent controls stay adjacent after rounding.
    const QRect a = dlu::toPixels(QRect(0, 0, 3, 3), base);
    const QRect b = dlu::toPixels(QRect(3, 3, 3, 3), base);
    QCOMPARE(a.right() + 1, b.left());
    QCOMPARE(a.bottom() + 1, b.top());
    QCOMPARE(dlu::frameSize(QSize(550, 375), 25), QSize(550, 378));
}

QTEST_GUILESS_MAIN(ShellRules)
#include "test_shellrules.moc"
