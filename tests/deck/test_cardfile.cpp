#include "core/deck/cardfile.h"
#include "core/deck/encoding.h"
#include "core/deck/filenames.h"
#include "support/cardfilebytes.h"
#include "support/deckbuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mdk;

namespace {

using namespace mdk::testsupport;

std::string_view view(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

const QByteArray kWorkedExample =
    cardFileBytes({{"Verbs", "Main"}, {"Irregular", "Verbs"}, {"Nouns", "Main"}},
                  {{"to go", "ir", "Irregular"}, {"house", "casa", "Nouns"}, {"hello", " ", "Main"}});

QStringList preorderNames(const CategoryTree &tree)
{
    QStringList out;
    for (auto id : tree.preorder(tree.root()))
        out << tree.name(id);
    return out;
}

// What a save writes: the view folded back, then the whole deck.
QByteArray saved(Deck &d, TextEncoding *used = nullptr)
{
    d.WriteBackView();
    return cardfile::serializeDeck(d, used);
}

} // namespace

class TestCardFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void workedExampleReads();
    void workedExampleWritesByteForByte();
    void templateIsAnEmptyDeck();
    void emptySidesAndLineBreaks();
    void unknownCategoryIsKeptInvisible();
    void saveWithCategoryOpenStoresItLast();
    void saveSeparately_data();
    void saveSeparately();
    void formatTest();
    void malformedFiles();
    void longFieldKeepsDeckAligned();
    void controlCharactersNeverEnterTheDeck();
    void fullStoreKeepsCardsReadSoFar();
    void windows1252RoundTripsEveryByte();
    void utf8DetectedAndKept();
    void unencodableTextIsWrittenAsUtf8();
    void textsSurviveTheRoundTrip();
    void readingAFileMatchesParsingItsBytes();
    void nameRules();
    void caseInsensitiveLookup();
};

void TestCardFile::workedExampleReads()
{
    Deck d;
    mdk::testsupport::makeChanged(d);
    const auto report = cardfile::parse(view(kWorkedExample), d);
    QCOMPARE(report.cards, 3);
    QVERIFY(!report.storeFull);
    QCOMPARE(preorderNames(d.tree()), (QStringList{"Main", "Verbs", "Irregular", "Nouns"}));
    QCOMPARE(d.tree().name(d.tree().parent(d.tree().findByName(QStringLiteral("Irregular")))),
             QStringLiteral("Verbs"));
    QCOMPARE(fileColumn(d, Column::Side1), (QStringList{"to go", "house", "hello"}));
    QCOMPARE(fileColumn(d, Column::Side2), (QStringList{"ir", "casa", " "}));
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"Irregular", "Nouns", "Main"}));
    // The view holds the cards of "Main" only.
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"hello"}));
    QCOMPARE(d.oldTreeName(), QStringLiteral("Main"));
    QVERIFY(d.hasBeenSaved());
    QVERIFY(!d.changed()); // a deck just read has nothing unsaved
    QCOMPARE(d.encoding(), TextEncoding::Windows1252);
}

void TestCardFile::workedExampleWritesByteForByte()
{
    Deck d = buildDeck({{"to go", "ir", "Irregular"}, {"house", "casa", "Nouns"}, {"hello", "", "Main"}},
                       {{"Verbs", "Main"}, {"Irregular", "Verbs"}, {"Nouns", "Main"}});
    QCOMPARE(saved(d), kWorkedExample);
    // The writer takes the file-level cards as they are and changes nothing.
    const Deck before = d;
    QCOMPARE(cardfile::serializeDeck(d), kWorkedExample);
    QCOMPARE(fileColumn(d, Column::Side1), fileColumn(before, Column::Side1));

    // And what was read is written back unchanged.
    Deck again;
    cardfile::parse(view(kWorkedExample), again);
    QCOMPARE(saved(again), kWorkedExample);
}

void TestCardFile::templateIsAnEmptyDeck()
{
    const QByteArray empty = cardfile::emptyFile();
    QCOMPARE(empty.size(), 12);
    Deck d;
    d.addCategory(d.tree().root(), QStringLiteral("stale"));
    cardfile::parse(view(empty), d);
    QCOMPARE(d.tree().nodeCount(), 1);
    QCOMPARE(d.viewCount(), 0);
    QCOMPARE(d.fileCount(), 0);
    QCOMPARE(cardfile::testFormat(view(empty)), cardfile::Format::Current);
}

void TestCardFile::emptySidesAndLineBreaks()
{
    Deck d;
    d.appendViewCard(QStringLiteral("line one\r\nline\ttwo"), QString());
    const QByteArray bytes = saved(d);
    QCOMPARE(bytes, QByteArray("1\aMain\aRoot\aline one\r\nline\ttwo\a \aMain\a"));
    Deck back;
    cardfile::parse(view(bytes), back);
    QCOMPARE(back.viewSide1(0), QStringLiteral("line one\r\nline\ttwo"));
    QCOMPARE(back.viewSide2(0), QStringLiteral(" ")); // a single space comes back as one
}

void TestCardFile::unknownCategoryIsKeptInvisible()
{
    const QByteArray bytes = cardFields({"1", "Main", "Root", "q", "a", "Nowhere", "m", "n", "Main"});
    Deck d;
    cardfile::parse(view(bytes), d);
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"m"}));
    QCOMPARE(saved(d), bytes);
}

void TestCardFile::saveWithCategoryOpenStoresItLast()
{
    Deck d;
    cardfile::parse(view(kWorkedExample), d);
    d.selectCategory(d.tree().findByName(QStringLiteral("Irregular")));
    d.OpenCategory();
    d.appendViewCard(QStringLiteral("to be"), QStringLiteral("ser"));
    QCOMPARE(saved(d),
             cardFields({"4", "Main", "Root", "Verbs", "Main", "Irregular", "Verbs", "Nouns", "Main", "house",
                     "casa", "Nouns", "hello", " ", "Main", "to go", "ir", "Irregular", "to be", "ser",
                     "Irregular"}));
}

void TestCardFile::saveSeparately_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no descendants") << QStringLiteral("Other")
                                    << cardFields({"1", "Main", "Root", "o", "O", "Main"});
    QTest::newRow("child and grandchild")
        << QStringLiteral("Top")
        << cardFields({"3", "Main", "Root", "Child", "Main", "Grand", "Child", "t", "", "Main", "c", "C", "Child",
                   "g", "", "Grand"});
}

void TestCardFile::saveSeparately()
{
    QFETCH(QString, category);
    QFETCH(QByteArray, expected);
    const QByteArray source = cardFields({"5", "Main", "Root", "Top", "Main", "Child", "Top", "Grand", "Child", "Other",
                                "Main", "g", "", "Grand", "t", "", "Top", "c", "C", "Child", "o", "O", "Other"});
    Deck d;
    cardfile::parse(view(source), d);
    d.selectCategory(d.tree().findByName(category));
    d.OpenCategory();
    const QStringList fileBefore = fileColumn(d, Column::Category);
    QCOMPARE(cardfile::serializeCategory(d, d.tree().selected()), expected);
    QCOMPARE(fileColumn(d, Column::Category), fileBefore); // no write-back, nothing changed

    // Loading the separate file shows the category's own cards under "Main".
    Deck loaded;
    cardfile::parse(view(expected), loaded);
    QCOMPARE(loaded.viewCount(), d.viewCount());
}

void TestCardFile::formatTest()
{
    using cardfile::Format;
    QCOMPARE(cardfile::testFormat(view(kWorkedExample)), Format::Current);
    QCOMPARE(cardfile::testFormat(""), Format::Earlier); // zero-length: offered for conversion
    QCOMPARE(cardfile::testFormat(view(cardFields({"1", "main", "Root"}))), Format::Earlier);
    QCOMPARE(cardfile::testFormat(view(cardFields({"1", "Main", "Root "}))), Format::Earlier);
    QCOMPARE(cardfile::testFormat("1\aMain\aRoot"), Format::Current); // last terminator missing
    QByteArray oldBlock(95 * 4, '\0');
    oldBlock.replace(0, 5, "hello");
    QCOMPARE(cardfile::testFormat(view(oldBlock)), Format::Earlier);

    QTemporaryDir dir;
    QCOMPARE(cardfile::testFormatOfFile(dir.filePath(QStringLiteral("missing.mdk"))), Format::NotFound);
    QFile f(dir.filePath(QStringLiteral("x.mdk")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(kWorkedExample);
    f.close();
    QCOMPARE(cardfile::testFormatOfFile(f.fileName()), Format::Current);
}

void TestCardFile::malformedFiles()
{
    {   // A count larger than the records takes card fields as categories.
        Deck d;
        cardfile::parse(view(cardFields({"3", "Main", "Root", "A", "Main", "q", "a", "A"})), d);
        QCOMPARE(preorderNames(d.tree()), (QStringList{"Main", "A", "q"}));
        QCOMPARE(d.tree().name(d.tree().parent(2)), QStringLiteral("A")); // "a" names no node: the last one
        QCOMPARE(fileColumn(d, Column::Side1), (QStringList{"A"}));
    }
    {   // A parent that names no node attaches under the last node in pre-order.
        Deck d;
        cardfile::parse(view(cardFields({"4", "Main", "Root", "A", "Main", "B", "A", "C", "Ghost"})), d);
        QCOMPARE(d.tree().name(d.tree().parent(d.tree().findByName(QStringLiteral("C")))), QStringLiteral("B"));
    }
    {   // A file that ends inside a card record: the missing fields are empty.
        Deck d;
        cardfile::parse(view(QByteArray("1\aMain\aRoot\aq\aa\aMain\alast")), d);
        QCOMPARE(fileColumn(d, Column::Side1), (QStringList{"q", "last"}));
        QCOMPARE(fileColumn(d, Column::Side2), (QStringList{"a", ""}));
        QCOMPARE(fileColumn(d, Column::Category), (QStringList{"Main", ""}));
    }
    {   // A huge count in a short file neither hangs nor invents categories.
        Deck d;
        cardfile::parse(view(cardFields({"99999999999999999999", "Main", "Root", "A", "Main"})), d);
        QCOMPARE(preorderNames(d.tree()), (QStringList{"Main", "A"}));
        QCOMPARE(d.fileCount(), 0);
    }
    {   // No digits counts 0; leading digits only are taken.
        Deck d;
        cardfile::parse(view(cardFields({"x", "Main", "Root", "q", "a", "Main"})), d);
        QCOMPARE(d.tree().nodeCount(), 1);
        QCOMPARE(d.fileCount(), 1);
        cardfile::parse(view(cardFields({"2cats", "Main", "Root", "A", "Main", "q", "a", "A"})), d);
        QCOMPARE(d.tree().nodeCount(), 2);
    }
    {   // Binary junk and an empty input.
        Deck d;
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 7919) % 256));
        cardfile::parse(view(junk), d);
        QCOMPARE(fileColumn(d, Column::Category).size(), d.fileCount());
        cardfile::parse("", d);
        QCOMPARE(d.tree().nodeCount(), 1);
        QCOMPARE(d.fileCount(), 0);
    }
}

void TestCardFile::longFieldKeepsDeckAligned()
{
    const QByteArray longText(12000, 'x');
    QByteArray bytes = cardFields({"1", "Main", "Root"});
    bytes += longText + "\aanswer\aMain\anext\aa2\aMain\a";
    Deck d;
    cardfile::parse(view(bytes), d);
    QCOMPARE(d.fileCount(), 2);
    QCOMPARE(d.fileSide1(0).size(), 12000);
    QCOMPARE(fileColumn(d, Column::Side2), (QStringList{"answer", "a2"}));
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"Main", "Main"}));
    QCOMPARE(saved(d), bytes); // nothing lost on the way back
}

void TestCardFile::controlCharactersNeverEnterTheDeck()
{
    Deck d;
    cardfile::parse(view(QByteArray("2\aMain\aRoot\aA\0B\aMain\aq\0\aa\aA\0B\a", 30)), d);
    QCOMPARE(d.tree().name(1), QStringLiteral("AB"));
    QCOMPARE(d.fileSide1(0), QStringLiteral("q"));
    QCOMPARE(d.fileCategory(0), QStringLiteral("AB"));

    Deck w;
    w.appendViewCard(QStringLiteral("be") + QChar(7) + QStringLiteral("ll"),
                     QStringLiteral("nu") + QChar(0) + QStringLiteral("ll"));
    QCOMPARE(saved(w), cardFields({"1", "Main", "Root", "bell", "null", "Main"}));
    QCOMPARE(Deck::cleanText(QStringLiteral("a") + QChar(7) + QChar(0) + QStringLiteral("b")),
             QStringLiteral("ab"));
}

void TestCardFile::fullStoreKeepsCardsReadSoFar()
{
    Deck d;
    d.setCapacity(2);
    const auto report = cardfile::parse(
        view(cardFields({"1", "Main", "Root", "1", "a", "Main", "2", "b", "Main", "3", "c", "Main"})), d);
    QVERIFY(report.storeFull);
    QCOMPARE(report.cards, 2);
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"1", "2"}));
    QCOMPARE(fileColumn(d, Column::Side2), (QStringList{"a", "b"}));
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"Main", "Main"}));
}

void TestCardFile::windows1252RoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        if (b != 7)
            all.append(char(b));
    const QByteArray bytes = cardFields({"1", "Main", "Root"}) + all + "\a" + "x\aMain\a";
    Deck d;
    cardfile::parse(view(bytes), d);
    QCOMPARE(d.encoding(), TextEncoding::Windows1252);
    const QString text = d.fileSide1(0);
    // Byte b sits at b - 2: bytes 0 and 7 are left out above.
    QCOMPARE(text.at(0x80 - 2), QChar(0x20AC)); // the euro sign
    QCOMPARE(text.at(0x81 - 2), QChar(0x81));   // unassigned bytes keep their number
    QCOMPARE(text.at(0x9D - 2), QChar(0x9D));
    QCOMPARE(text.at(0x9F - 2), QChar(0x178));
    QCOMPARE(text.at(0xE9 - 2), QChar(0xE9));
    QCOMPARE(saved(d), bytes);
}

void TestCardFile::utf8DetectedAndKept()
{
    const QByteArray bytes = cardFields({"2", "Main", "Root", "Caf\xc3\xa9s", "Main", "\xe2\x82\xac", "\xe6\x97\xa5",
                                     "Caf\xc3\xa9s"});
    Deck d;
    cardfile::parse(view(bytes), d);
    QCOMPARE(d.encoding(), TextEncoding::Utf8);
    QCOMPARE(d.tree().name(1), QString::fromUtf8("Caf\xc3\xa9s"));
    QCOMPARE(d.fileSide2(0), QString(QChar(0x65E5)));
    QCOMPARE(saved(d), bytes);

    // Invalid UTF-8 anywhere makes the whole file single-byte.
    QCOMPARE(encoding::detect("caf\xc3\xa9 \xff"), TextEncoding::Windows1252);
    QCOMPARE(encoding::detect("plain ascii"), TextEncoding::Windows1252);
    QCOMPARE(encoding::detect("\xed\xa0\x80"), TextEncoding::Windows1252); // a surrogate
    QCOMPARE(encoding::detect("\xc0\xaf"), TextEncoding::Windows1252);     // overlong
    QCOMPARE(encoding::detect("\xf0\x9f\x98\x80"), TextEncoding::Utf8);
}

void TestCardFile::unencodableTextIsWrittenAsUtf8()
{
    Deck d;
    cardfile::parse(view(kWorkedExample), d);
    d.appendViewCard(QString::fromUtf8("caf\xc3\xa9"), QString(QChar(0x65E5)));
    TextEncoding used = TextEncoding::Windows1252;
    const QByteArray bytes = saved(d, &used);
    QCOMPARE(used, TextEncoding::Utf8);
    QVERIFY(bytes.contains("caf\xc3\xa9\a\xe6\x97\xa5\aMain\a"));
    Deck back;
    cardfile::parse(view(bytes), back);
    QCOMPARE(back.viewSide1(1), QString::fromUtf8("caf\xc3\xa9"));

    // The writer reports the encoding only for a file it wrote; a deck that
    // takes it keeps saving as UTF-8.
    QTemporaryDir dir;
    TextEncoding written = d.encoding();
    QCOMPARE(written, TextEncoding::Windows1252);
    QVERIFY(!cardfile::writeDeck(d, dir.filePath(QStringLiteral("no/such/dir.mdk")), &written).ok);
    QCOMPARE(written, TextEncoding::Windows1252);
    QVERIFY(cardfile::writeDeck(d, dir.filePath(QStringLiteral("u.mdk")), &written).ok);
    QCOMPARE(written, TextEncoding::Utf8);
}

void TestCardFile::textsSurviveTheRoundTrip()
{
    auto roundTrip = [](Deck &d) {
        const QByteArray bytes = saved(d);
        Deck back;
        cardfile::parse(view(bytes), back);
        return back;
    };
    {   // Single-byte text whose bytes would pass for UTF-8 is saved as UTF-8,
        // or reopening would show other characters.
        Deck d;
        d.appendViewCard(QString::fromUtf8("\xc3\x83\xc2\xa9"), QStringLiteral("x")); // "Ã©" typed as two letters
        TextEncoding used = TextEncoding::Windows1252;
        saved(d, &used);
        QCOMPARE(used, TextEncoding::Utf8);
        QCOMPARE(roundTrip(d).viewSide1(0), QString::fromUtf8("\xc3\x83\xc2\xa9"));
    }
    {   // A byte-order mark at the start of a field is text like any other.
        const QByteArray bytes("1\aMain\aRoot\a\xEF\xBB\xBF" "bom first\ar\xC3\xA9sum\xC3\xA9\aMain\a");
        Deck d;
        cardfile::parse(view(bytes), d);
        QCOMPARE(d.fileSide1(0), QChar(0xFEFF) + QStringLiteral("bom first"));
        QCOMPARE(saved(d), bytes);
    }
    {   // A side made only of characters that cannot be stored still becomes
        // the single space an empty side is written as.
        Deck d;
        d.appendViewCard(QString(QChar(7)), QString(QChar(0)));
        QCOMPARE(saved(d), cardFields({"1", "Main", "Root", " ", " ", "Main"}));
    }
}

void TestCardFile::readingAFileMatchesParsingItsBytes()
{
    // Enough text to fill several of the reader's shared text blocks and
    // stretches of the file, with texts of every length, one too long to
    // share a block, and characters beyond the Basic Multilingual Plane.
    QList<CardBytes> cards;
    for (int j = 0; j < 120'000; ++j) {
        QByteArray side1 = "q" + QByteArray::number(j) + QByteArray(j % 97, 'x');
        if (j % 1000 == 0)
            side1 += "\xf0\x9f\x98\x80 \xc3\xa9";
        cards.append({side1, j % 5 ? QByteArray("a") + QByteArray::number(j) : QByteArray(),
                      j % 3 ? QByteArray("Main") : QByteArray("A")});
    }
    cards[777].side2 = QByteArray(70'000, 'L');
    const QByteArray bytes = cardFileBytes({{"A", "Main"}}, cards);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.mdk"));
    QVERIFY(writeBytes(path, bytes));

    Deck read;
    const auto result = cardfile::read(path, read);
    QVERIFY(result.opened);
    QCOMPARE(result.report.cards, int(cards.size()));
    Deck parsed;
    cardfile::parse(view(bytes), parsed);
    QCOMPARE(read.encoding(), TextEncoding::Utf8);
    for (Column c : {Column::Side1, Column::Side2, Column::Category})
        QCOMPARE(fileColumn(read, c), fileColumn(parsed, c));
    QCOMPARE(read.fileSide2(777).size(), 70'000);
    QCOMPARE(read.fileSide1(1000), QStringLiteral("q1000") + QString(1000 % 97, QLatin1Char('x'))
                                       + QString::fromUtf8("\xf0\x9f\x98\x80 \xc3\xa9"));

    // Texts taken out of a deck stay valid after the deck is gone, and
    // changing one leaves the cards it came from alone.
    QString kept = read.fileSide1(5);
    QString changed = read.fileSide1(6);
    changed.append(QStringLiteral("!"));
    QCOMPARE(read.fileSide1(7), QStringLiteral("q7") + QString(7, QLatin1Char('x')));
    read.clear();
    parsed = Deck();
    QCOMPARE(kept, QStringLiteral("q5") + QString(5, QLatin1Char('x')));
    QCOMPARE(changed, QStringLiteral("q6") + QString(6, QLatin1Char('x')) + QLatin1Char('!'));
    kept.append(QStringLiteral("?")); // the last holder of its block may grow it
    QCOMPARE(kept, QStringLiteral("q5xxxxx?"));
}

void TestCardFile::nameRules()
{
    QCOMPARE(names::onDiskName(QStringLiteral("Spanish")), QStringLiteral("spanish.mdk"));
    // Only the last suffix is the extension: ".mdk" inside a name is part of it.
    QCOMPARE(names::onDiskName(QStringLiteral("My.MDK.notes")), QStringLiteral("my.mdk.notes.mdk"));
    QCOMPARE(names::onDiskName(QStringLiteral("lesson.mdk.old.mdk")), QStringLiteral("lesson.mdk.old.mdk"));
    QCOMPARE(names::displayName(QStringLiteral("SPANISH.MDK")), QStringLiteral("SPANISH"));
    QCOMPARE(names::displayName(QStringLiteral("spanish")), QStringLiteral("spanish"));
    QCOMPARE(names::displayName(QStringLiteral("mdk")), QString());
    QCOMPARE(names::saveAsTarget(QStringLiteral("Verbs")), QStringLiteral("Verbs.mdk"));
    QCOMPARE(names::saveAsTarget(QStringLiteral("Verbs.MDK")), QStringLiteral("Verbs.MDK"));
    QCOMPARE(names::saveSeparatelyTarget(QStringLiteral("Verbs.MDK")), QStringLiteral("Verbs.MDK.mdk"));
    QCOMPARE(names::saveSeparatelyTarget(QStringLiteral("verbs.mdk")), QStringLiteral("verbs.mdk"));
}

void TestCardFile::caseInsensitiveLookup()
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("Spanish Verbs.MDK")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(names::resolveCaseInsensitive(dir.path(), QStringLiteral("spanish verbs.mdk")), f.fileName());
    QCOMPARE(names::resolveCaseInsensitive(dir.path(), QStringLiteral("other.mdk")),
             dir.filePath(QStringLiteral("other.mdk")));
}

QTEST_GUILESS_MAIN(TestCardFile)
#include "test_cardfile.moc"
