// Merging card files, pasting one into the open deck, and copying a card to
// a file: the bytes written and the decks they read back as.

#include "core/deck/cardfile.h"
#include "core/deck/conversion.h"
#include "core/deck/transfer.h"
#include "support/cardfilebytes.h"
#include "support/deckbuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The file as the program opens it: every card as "category|side 1|side 2".
QStringList cardsOf(const QString &path, int *categories = nullptr)
{
    Deck deck;
    if (!cardfile::read(path, deck).opened)
        return {QStringLiteral("<unreadable>")};
    if (categories)
        *categories = deck.tree().nodeCount();
    QStringList out;
    for (int j = 0; j < deck.fileCount(); ++j)
        out << deck.fileCategory(j) + u'|' + deck.fileSide1(j) + u'|' + deck.fileSide2(j);
    return out;
}

// Runs f in a child whose file-size limit is limit bytes, as a full disk
// would stop a write; returns whether f reported success.
template <typename F>
bool succeedsUnderSizeLimit(rlim_t limit, F f)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        _exit(f() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(dir.isValid()); }

    // Paste from keeps what the view holds: an edited card and a new one
    // are folded back before the file's cards join, and shown after.
    void pasteFromKeepsTheViewsEdits()
    {
        Deck d = testsupport::mainDeck(2);
        d.replaceViewCard(0, QStringLiteral("edited"), QStringLiteral("a1"));
        d.appendViewCard(QStringLiteral("new"), QStringLiteral("a3"));
        const QByteArray other = testsupport::cardFileBytes({}, {{"pasted", "p", "Main"}});
        QCOMPARE(transfer::insertBytes(std::string_view(other.constData(), size_t(other.size())), d,
                                       CategoryTree::kMainName)
                     .cards,
                 1);
        QCOMPARE(testsupport::viewColumn(d, testsupport::Column::Side1), (QStringList{"edited", "q2", "new", "pasted"}));
    }

    void mergePutsEveryCardIntoMainInOrderWithTextsUnchanged();
    void mergeIntoExistingCardFileAppendsOnlyCards();
    void mergeRefusesSelfAndNonCardDestination();
    void mergeDecodesEachSourceInItsOwnEncoding();
    void failedMergeWriteLeavesDestinationAsItWas();
    void mergeRefusesAResultOverTheSizeLimit();
    void mergeDropsNulBytes();
    void everyReaderRefusesAFifo();
    void pasteFromGraftsCategoriesAndRenamesMain();
    void copyCreatesAppendsAndCompletesCutOffFile();
    void copyRefusesUnreadableOrForeignFileUntouched();
    void copyThatNeedsUtf8RewritesWindows1252File();

private:
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
};

void TestTransfer::mergePutsEveryCardIntoMainInOrderWithTextsUnchanged()
{
    QVERIFY(writeCardFile(path("a.mdk"), {{"Verbs", "Main"}, {"Irregular", "Verbs"}},
                          {{"to go", "ir", "Irregular"}, {"house", "", "Main"}}));
    // The last card is cut off after its side 1.
    QVERIFY(writeBytes(path("b.mdk"), cardFileBytes({{"Nouns", "Main"}}, {{" ", "space", "Nouns"}}) + "tail"));
    const auto merged = transfer::mergeFiles({path("a.mdk"), path("b.mdk"), path("a.mdk")}, path("out.mdk"));
    QVERIFY2(merged.ok, qPrintable(merged.message));
    QCOMPARE(merged.cards, 6);
    int categories = 0;
    QCOMPARE(cardsOf(path("out.mdk"), &categories),
             QStringList({"Main|to go|ir", "Main|house|", "Main| |space", "Main|tail|", "Main|to go|ir",
                          "Main|house|"}));
    QCOMPARE(categories, 1);
    QVERIFY(readAll(path("out.mdk")).startsWith("1\aMain\aRoot\ato go\a"));
}

void TestTransfer::mergeIntoExistingCardFileAppendsOnlyCards()
{
    const QByteArray old = cardFileBytes({{"Verbs", "Main"}}, {{"old", "card", "Verbs"}});
    // Cut off inside its last card: the merge completes that card first.
    QVERIFY(writeBytes(path("dest.mdk"), old + "half"));
    QVERIFY(writeCardFile(path("src.mdk"), {}, {{"new", "one", "Main"}}));
    QVERIFY(transfer::mergeFiles({path("src.mdk")}, path("dest.mdk")).ok);
    QCOMPARE(readAll(path("dest.mdk")), old + "half\a\a\anew\aone\aMain\a");
    int categories = 0;
    QCOMPARE(cardsOf(path("dest.mdk"), &categories),
             QStringList({"Verbs|old|card", "|half|", "Main|new|one"}));
    QCOMPARE(categories, 2);
}

void TestTransfer::mergeRefusesSelfAndNonCardDestination()
{
    QVERIFY(writeCardFile(path("dest.mdk"), {}, {{"a", "b", "Main"}}));
    QVERIFY(writeCardFile(path("src.mdk"), {}, {{"c", "d", "Main"}}));
    const QByteArray before = readAll(path("dest.mdk"));
    QVERIFY(QFile::link(path("dest.mdk"), path("alias.mdk")));
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    for (const QString &self : {path("alias.mdk"), dir.path() + "/sub/../dest.mdk"}) {
        const auto r = transfer::mergeFiles({path("src.mdk"), self}, path("dest.mdk"));
        QVERIFY(!r.ok);
        QVERIFY2(r.message.contains("dest.mdk") || r.message.contains("alias.mdk"), qPrintable(r.message));
    }
    QCOMPARE(readAll(path("dest.mdk")), before);

    QVERIFY(writeBytes(path("notes.txt"), "shopping list\n"));
    const auto r = transfer::mergeFiles({path("src.mdk")}, path("notes.txt"));
    QVERIFY(!r.ok);
    QVERIFY(r.message.contains("notes.txt"));
    QCOMPARE(readAll(path("notes.txt")), QByteArray("shopping list\n"));
}

void TestTransfer::mergeDecodesEachSourceInItsOwnEncoding()
{
    QVERIFY(writeCardFile(path("utf8.mdk"), {}, {{"\xce\xb1\xce\xb2", "Greek", "Main"}})); // αβ
    QVERIFY(writeCardFile(path("latin.mdk"), {}, {{"caf\xe9", "coffee", "Main"}}));        // café
    QVERIFY(transfer::mergeFiles({path("utf8.mdk"), path("latin.mdk")}, path("mixed.mdk")).ok);
    QCOMPARE(cardsOf(path("mixed.mdk")), QStringList({"Main|αβ|Greek", "Main|café|coffee"}));

    // Texts that fit Windows-1252 are written single-byte, unless those
    // bytes would read back as UTF-8 ("Ã©" is C3 A9).
    QVERIFY(writeCardFile(path("utf8e.mdk"), {}, {{"\xc3\xa9t\xc3\xa9", "summer", "Main"}})); // été
    // A Windows-1252 file (its category name is no UTF-8) holding "Ã©".
    QVERIFY(writeCardFile(path("mojibake.mdk"), {{"Caf\xe9", "Main"}}, {{"\xc3\xa9", "odd", "Main"}}));
    QVERIFY(transfer::mergeFiles({path("utf8e.mdk")}, path("one.mdk")).ok);
    QCOMPARE(readAll(path("one.mdk")), QByteArray("1\aMain\aRoot\a\xe9t\xe9\asummer\aMain\a"));
    QVERIFY(transfer::mergeFiles({path("mojibake.mdk"), path("utf8e.mdk")}, path("two.mdk")).ok);
    QCOMPARE(cardsOf(path("two.mdk")), QStringList({"Main|Ã©|odd", "Main|été|summer"}));
    QVERIFY(transfer::mergeFiles({path("mojibake.mdk")}, path("three.mdk")).ok);
    QCOMPARE(cardsOf(path("three.mdk")), QStringList({"Main|Ã©|odd"}));
}

void TestTransfer::failedMergeWriteLeavesDestinationAsItWas()
{
    QVERIFY(writeCardFile(path("dest.mdk"), {}, {{"keep", "me", "Main"}}));
    const QByteArray before = readAll(path("dest.mdk"));
    QVERIFY(writeCardFile(path("big.mdk"), {}, {{QByteArray(200 * 1024, 'x'), "y", "Main"}}));
    QVERIFY(!succeedsUnderSizeLimit(64 * 1024, [&] {
        const auto r = transfer::mergeFiles({path("big.mdk")}, path("dest.mdk"));
        return r.ok || !r.message.contains("dest.mdk");
    }));
    QCOMPARE(readAll(path("dest.mdk")), before);
}

void TestTransfer::mergeRefusesAResultOverTheSizeLimit()
{
    QVERIFY(writeCardFile(path("limit.mdk"), {}, {{"keep", "me", "Main"}}));
    const QByteArray before = readAll(path("limit.mdk"));
    QVERIFY(writeCardFile(path("long.mdk"), {}, {{QByteArray(100, 'x'), "y", "Main"}}));
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    const qint64 merged = before.size() + 101 + 2 + 5;
    const auto refused = transfer::mergeFiles({path("long.mdk")}, path("limit.mdk"), merged - 1);
    QVERIFY(!refused.ok);
    QVERIFY2(refused.message.contains("limit.mdk"), qPrintable(refused.message));
    QCOMPARE(readAll(path("limit.mdk")), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), files);

    QVERIFY(transfer::mergeFiles({path("long.mdk")}, path("limit.mdk"), merged).ok);
    QCOMPARE(readAll(path("limit.mdk")).size(), merged);
}

void TestTransfer::mergeDropsNulBytes()
{
    static const char kSource[] = "1\aMain\aRoot\an\0ul\as\0\aMain\a";
    QVERIFY(writeBytes(path("nul.mdk"), QByteArray(kSource, sizeof kSource - 1)));
    QVERIFY(transfer::mergeFiles({path("nul.mdk")}, path("nulout.mdk")).ok);
    QCOMPARE(readAll(path("nulout.mdk")), QByteArray("1\aMain\aRoot\anul\as\aMain\a"));
}

void TestTransfer::everyReaderRefusesAFifo()
{
    // Opening a FIFO for reading waits for a writer: a reader that tried
    // would hang here until the test times out.
    const QString fifo = path("pipe.mdk");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(writeCardFile(path("src.mdk"), {}, {{"a", "b", "Main"}}));
    Deck deck;
    QCOMPARE(cardfile::testFormatOfFile(fifo), cardfile::Format::NotFound);
    QVERIFY(!cardfile::canRead(fifo));
    QVERIFY(!cardfile::read(fifo, deck).opened);
    QVERIFY(!transfer::insertFile(fifo, deck, "Main").opened);
    QCOMPARE(conversion::convertFile(fifo, conversion::Version::Later).status,
             conversion::Result::Status::CannotAccess);
    QVERIFY(!transfer::mergeFiles({fifo}, path("fifoout.mdk")).ok);
    QVERIFY(!transfer::mergeFiles({path("src.mdk")}, fifo).ok);
    QVERIFY(!transfer::appendCard(fifo, "c", "d").ok);
    QVERIFY(!QFile::exists(path("fifoout.mdk")));
}

void TestTransfer::pasteFromGraftsCategoriesAndRenamesMain()
{
    Deck deck = buildDeck({{"v", "1", "Verbs"}}, {{"Verbs", "Main"}, {"Nouns", "Main"}, {"Animals", "Nouns"}});
    // "Animals" sits deep in the open tree: the file's cards join it there.
    const QByteArray file = cardFileBytes({{"Animals", "Main"}, {"Birds", "Animals"}, {"Food", "Main"}},
                                          {{"cat", "gato", "Animals"}, {"hi", "", "Main"}, {QByteArray("x\0y", 3), " ", "Food"}});
    const auto r = transfer::insertBytes(std::string_view(file.constData(), size_t(file.size())), deck, "Verbs");
    QVERIFY(r.opened && !r.storeFull);
    QCOMPARE(r.cards, 3);
    QVERIFY(deck.changed());
    const auto &tree = deck.tree();
    QCOMPARE(tree.nodeCount(), 6);
    QCOMPARE(tree.name(tree.parent(tree.findByName("Birds"))), QString("Animals"));
    QCOMPARE(tree.name(tree.parent(tree.findByName("Animals"))), QString("Nouns"));
    const auto verbs = tree.children(tree.findByName("Verbs"));
    QCOMPARE(verbs.size(), size_t(1));
    QCOMPARE(tree.name(verbs[0]), QString("Food"));
    QCOMPARE(fileColumn(deck, Column::Category), QStringList({"Verbs", "Animals", "Verbs", "Food"}));
    QCOMPARE(fileColumn(deck, Column::Side1), QStringList({"v", "cat", "hi", "xy"}));
    QCOMPARE(fileColumn(deck, Column::Side2), QStringList({"1", "gato", "", " "}));

    // At the store size the cards before stay.
    Deck small = buildDeck({{"a", "b", "Main"}}, {}, 2);
    const auto full = transfer::insertBytes(std::string_view(file.constData(), size_t(file.size())), small, "Main");
    QVERIFY(full.storeFull);
    QCOMPARE(fileColumn(small, Column::Side1), QStringList({"a", "cat"}));
}

void TestTransfer::copyCreatesAppendsAndCompletesCutOffFile()
{
    const QString target = transfer::copyTarget("Words", dir.path());
    QCOMPARE(target, path("Words.MDK"));
    QVERIFY(transfer::appendCard(target, "one", "").ok);
    QVERIFY(transfer::appendCard(target, " ", "two").ok);
    QCOMPARE(readAll(target), QByteArray("1\aMain\aRoot\aone\a\aMain\a \atwo\aMain\a"));

    QVERIFY(writeBytes(path("cut.mdk"), cardFileBytes({{"Verbs", "Main"}}, {}) + "half\aside"));
    QVERIFY(transfer::appendCard(path("cut.mdk"), "new", "card").ok);
    QCOMPARE(cardsOf(path("cut.mdk")), QStringList({"|half|side", "Main|new|card"}));

    // "cut" with ".MDK" added is the file cut.mdk, not a new one beside it.
    QCOMPARE(transfer::copyTarget("cut", dir.path()), path("cut.mdk"));
}

void TestTransfer::copyRefusesUnreadableOrForeignFileUntouched()
{
    QVERIFY(writeBytes(path("notes.txt"), "shopping list"));
    const WriteResult foreign = transfer::appendCard(path("notes.txt"), "a", "b");
    QVERIFY(!foreign.ok);
    QVERIFY(foreign.error.contains("notes.txt"));
    QCOMPARE(readAll(path("notes.txt")), QByteArray("shopping list"));

    QVERIFY(writeCardFile(path("deck.mdk"), {}, {{"a", "b", "Main"}}));
    const QByteArray before = readAll(path("deck.mdk"));
    // A write that fails part-way is cut back to the old length.
    QVERIFY(!succeedsUnderSizeLimit(rlim_t(before.size() + 10),
                                    [&] { return transfer::appendCard(path("deck.mdk"), QString(100, 'z'), "w").ok; }));
    QCOMPARE(readAll(path("deck.mdk")), before);
    if (geteuid() != 0) {
        QVERIFY(QFile::setPermissions(path("deck.mdk"), QFileDevice::WriteOwner));
        QVERIFY(!transfer::appendCard(path("deck.mdk"), "c", "d").ok);
        QVERIFY(QFile::setPermissions(path("deck.mdk"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(readAll(path("deck.mdk")), before);
    }
}

void TestTransfer::copyThatNeedsUtf8RewritesWindows1252File()
{
    QVERIFY(writeCardFile(path("latin.mdk"), {}, {{"caf\xe9", "coffee", "Main"}}));
    QVERIFY(transfer::appendCard(path("latin.mdk"), "\u03b1", "alpha").ok);
    QCOMPARE(cardsOf(path("latin.mdk")), QStringList({"Main|café|coffee", "Main|α|alpha"}));
    // An ASCII file takes a UTF-8 card as it is, without a rewrite.
    QVERIFY(writeCardFile(path("plain.mdk"), {}, {{"a", "b", "Main"}}));
    QVERIFY(transfer::appendCard(path("plain.mdk"), "\u03b1", "alpha").ok);
    QCOMPARE(readAll(path("plain.mdk")), cardFileBytes({}, {{"a", "b", "Main"}, {"\xce\xb1", "alpha", "Main"}}));
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "test_transfer.moc"
