#include "core/deck/cardfile.h"
#include "core/deck/recovery.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace mdk;
using namespace mdk::recovery;

namespace {

// The snapshot gathered in small slices, as the window does in large ones.
Snapshot gathered(const Deck &deck)
{
    Snapshot snapshot(deck);
    while (!snapshot.gather(deck, 3)) {
    }
    return snapshot;
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copiesAreOfferedOnlyForTheirFileAndOnlyWhenTheirWriterIsGone();
    void questionCountsInTheLocalesWords();
};

// "1 card", and a large count grouped as the locale groups digits.
void TestRecovery::questionCountsInTheLocalesWords()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Offer offer;
    offer.as = OfferAs::NewDeck;
    offer.copy.meta.time = QDateTime(QDate(2026, 12, 7), QTime(22, 5));
    const auto countPart = [&](qint64 cards) {
        offer.copy.meta.cards = cards;
        const QString q = question(offer);
        return q.mid(q.indexOf(QLatin1Char('(')));
    };
    QCOMPARE(countPart(1), QStringLiteral("(1 card) were found. Recover them?"));
    QCOMPARE(countPart(0), QStringLiteral("(0 cards) were found. Recover them?"));
    QCOMPARE(countPart(1000006), QStringLiteral("(1,000,006 cards) were found. Recover them?"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(countPart(1000006), QStringLiteral("(1.000.006 cards) were found. Recover them?"));
    QLocale::setDefault(before);
}

// Random copies by this process, a living one, dead ones and another
// machine's, of new decks, of the file as it is, of a file replaced since
// and of a file gone, among malformed metadata: the offers follow a plain
// model of who may be asked about what, and nothing crashes.
void TestRecovery::copiesAreOfferedOnlyForTheirFileAndOnlyWhenTheirWriterIsGone()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString folder = tmp.filePath(QStringLiteral("recovery"));
    const QString fileA = tmp.filePath(QStringLiteral("a.mdk"));
    const QString fileGone = tmp.filePath(QStringLiteral("gone.mdk"));
    writeRaw(fileA, cardfile::emptyFile());
    const FileIdentity idA = identityOf(fileA);
    QVERIFY(idA.exists());
    FileIdentity replaced = idA;
    replaced.inode += 1; // another file put at the same path

    World world;
    world.self = {100, QStringLiteral("here")};
    world.alive = [](const Writer &w) { return w.pid == 100 || w.pid == 200; };

    Deck deck;
    deck.appendFileCard(QStringLiteral("q"), QStringLiteral("a"), CategoryTree::kMainName);
    deck.LoadView(CategoryTree::kMainName);

    enum Kind { New, SameFile, Replaced, Gone };
    struct Made {
        Writer writer;
        Kind kind;
    };
    QRandomGenerator rng(18);
    for (int round = 0; round < 20; ++round) {
        QDir(folder).removeRecursively();
        std::vector<Made> made;
        QSet<QString> names;
        const int n = rng.bounded(1, 8);
        for (int i = 0; i < n; ++i) {
            const qint64 pids[] = {100, 200, 300 + i};
            const Writer writer{pids[rng.bounded(3)],
                                rng.bounded(4) == 0 ? QStringLiteral("there") : QStringLiteral("here")};
            const Kind kind = Kind(rng.bounded(4));
            Meta meta;
            meta.path = kind == New ? QString() : kind == Gone ? fileGone : fileA;
            meta.identity = kind == Replaced ? replaced : idA;
            meta.time = QDateTime::currentDateTime().addSecs(i);
            meta.writer = writer;
            const QString base = copyName(meta.path, writer, 1000 + i);
            // The model: one copy per writer and file; a new deck's are all kept.
            names.insert(kind == New ? QStringLiteral("new %1").arg(i)
                                     : QStringLiteral("%1 %2 %3").arg(writer.pid).arg(writer.host, meta.path));
            const WriteResult result = writeCopy(gathered(deck), meta, folder, base);
            QVERIFY2(result.ok, qPrintable(result.error));
            made.push_back({writer, kind});
        }
        // Malformed metadata beside them is skipped, never offered.
        writeRaw(QDir(folder).filePath(QStringLiteral("junk.json")), QByteArray(rng.bounded(1, 200), '{'));
        writeRaw(QDir(folder).filePath(QStringLiteral("junk.mdk")), cardfile::emptyFile());

        // One copy per writer and file (a writer's later copy replaces its
        // own), so two programs on one file never replace each other's.
        const std::vector<Copy> copies = listCopies(folder);
        QCOMPARE(int(copies.size()), int(names.size()));

        const std::vector<Offer> offers = offersAtStartup(copies, world);
        size_t expected = 0, expectedForA = 0;
        for (const Copy &c : copies) {
            const bool dead = c.meta.writer.host == QStringLiteral("here") && !world.alive(c.meta.writer);
            expected += dead;
            expectedForA += dead && c.meta.path == fileA && c.meta.identity == idA;
        }
        QCOMPARE(offers.size(), expected);
        // Newest first: the first question is about the latest work.
        for (size_t k = 1; k < offers.size(); ++k)
            QVERIFY(offers[k].copy.meta.time <= offers[k - 1].copy.meta.time);
        for (const Offer &o : offers) {
            // A copy is offered for its file only when that same file is there.
            const bool same = o.copy.meta.path == fileA && o.copy.meta.identity == idA;
            QCOMPARE(o.as == OfferAs::File, same);
            QVERIFY(o.copy.meta.writer.pid >= 300);
            QCOMPARE(o.copy.meta.cards, 1);
        }
        const std::optional<Offer> forA = offerForFile(copies, fileA, world);
        QCOMPARE(forA.has_value(), expectedForA > 0);
        QVERIFY(!offerForFile(copies, fileGone, world));
        // A process removes only its own copies.
        for (const Copy &c : copies)
            QCOMPARE(removeCopy(c, world.self), c.meta.writer == world.self);
        for (const Copy &c : listCopies(folder))
            QVERIFY(!(c.meta.writer == world.self));
    }

    // The copy holds what Save writes: the view folded back, and in
    // subcategory mode the open category's own cards, never the combined view.
    for (const bool subcategories : {false, true}) {
        Deck sub;
        const CategoryTree::NodeId child = sub.addCategory(sub.tree().root(), QStringLiteral("Child"));
        for (int k = 0; k < 7; ++k) {
            sub.appendFileCard(QStringLiteral("m%1").arg(k), QStringLiteral("1"), CategoryTree::kMainName);
            sub.appendFileCard(QStringLiteral("c%1").arg(k), QStringLiteral("2"), QStringLiteral("Child"));
        }
        sub.selectCategory(child);
        sub.OpenCategory();
        QVERIFY(sub.appendViewCard(QStringLiteral("typed"), QStringLiteral("é")));
        sub.selectCategory(sub.tree().root());
        sub.OpenCategory();
        QVERIFY(sub.appendViewCard(QStringLiteral("typed in"), QStringLiteral("Main")));
        if (subcategories) {
            sub.ToggleSubcategoryMode();
            QVERIFY(sub.showSubCategories());
        }
        Deck saved = sub;
        if (saved.showSubCategories())
            saved.ToggleSubcategoryMode();
        saved.WriteBackView();
        QVERIFY(writeCopy(gathered(sub), Meta{}, folder, QStringLiteral("sub")).ok);
        QFile copy(QDir(folder).filePath(QStringLiteral("sub.mdk")));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), cardfile::serializeDeck(saved));
    }

    // A folder that cannot be made: the write fails and touches nothing else.
    const WriteResult blocked = writeCopy(gathered(deck), Meta{}, fileA + QStringLiteral("/recovery"), QStringLiteral("x"));
    QVERIFY(!blocked.ok);
    QCOMPARE(identityOf(fileA), idA);
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "test_recovery.moc"
