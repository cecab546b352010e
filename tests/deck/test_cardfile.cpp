#include "core/deck/cardfile.h"
#include "core/deck/encoding.h"
#include "core/deck/filenames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mdk;

namespace {

// Joins fields, each followed by the terminator.
QByteArray fields(std::initializer_list<const char *> list)
{
    QByteArray out;
    for (const char *f : list) {
        out.append(f);
        out.append('\a');
    }
    return out;
}

std::string_view view(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

const QByteArray kWorkedExample =
    fields({"4", "Main", "Root", "Verbs", "Main", "Irregular", "Verbs", "Nouns", "Main", "to go", "ir",
            "Irregular", "house", "casa", "Nouns", "hello", " ", "Main"});

QStringList preorderNames(const CategoryTree &tree)
{
    QStringList out;
    for (auto id : tree.preorder(tree.root()))
        out << tree.name(id);
    return out;
}

QStringList column(const TextList &list)
{
    QStringList out;
    for (const QString &s : list.items())
        out << s;
    return out;
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
    void nameRules();
    void caseInsensitiveLookup();
};

void TestCardFile::workedExampleReads()
{
    Deck d;
    d.filehaschanged = 1;
    const auto report = cardfile::parse(view(kWorkedExample), d);
    QCOMPARE(report.cards, 3);
    QVERIFY(!report.storeFull);
    QCOMPARE(preorderNames(d.tree), (QStringList{"Main", "Verbs", "Irregular", "Nouns"}));
    QCOMPARE(d.tree.name(d.tree.parent(d.tree.findByName(QStringLiteral("Irregular")))),
             QStringLiteral("Verbs"));
    QCOMPARE(column(d.MainSide1List), (QStringList{"to go", "house", "hello"}));
    QCOMPARE(column(d.MainSide2List), (QStringList{"ir", "casa", " "}));
    QCOMPARE(column(d.CatList), (QStringList{"Irregular", "Nouns", "Main"}));
    // The view holds the cards of "Main" only.
    QCOMPARE(column(d.Side1List), (QStringList{"hello"}));
    QCOMPARE(d.OldTreeName, QStringLiteral("Main"));
    QCOMPARE(d.filehasbeensaved, 1);
    QCOMPARE(d.filehaschanged, 1); // the reader leaves it to its caller
    QCOMPARE(d.encoding, TextEncoding::Windows1252);
}

void TestCardFile::workedExampleWritesByteForByte()
{
    Deck d;
    const auto verbs = d.tree.addChild(d.tree.root(), QStringLiteral("Verbs"));
    d.tree.addChild(verbs, QStringLiteral("Irregular"));
    d.tree.addChild(d.tree.root(), QStringLiteral("Nouns"));
    const char *cards[][3] = {{"to go", "ir", "Irregular"}, {"house", "casa", "Nouns"}, {"hello", "", "Main"}};
    for (auto &c : cards) {
        d.MainSide1List.AddString(QString::fromLatin1(c[0]));
        d.MainSide2List.AddString(QString::fromLatin1(c[1]));
        d.CatList.AddString(QString::fromLatin1(c[2]));
    }
    d.LoadView(QStringLiteral("Main"));
    QCOMPARE(cardfile::serializeDeck(d), kWorkedExample);

    // And what was read is written back unchanged.
    Deck again;
    cardfile::parse(view(kWorkedExample), again);
    QCOMPARE(cardfile::serializeDeck(again), kWorkedExample);
}

void TestCardFile::templateIsAnEmptyDeck()
{
    const QByteArray empty = cardfile::emptyFile();
    QCOMPARE(empty.size(), 12);
    Deck d;
    d.tree.addChild(d.tree.root(), QStringLiteral("stale"));
    cardfile::parse(view(empty), d);
    QCOMPARE(d.tree.nodeCount(), 1);
    QCOMPARE(d.viewCount(), 0);
    QCOMPARE(d.fileCount(), 0);
    QCOMPARE(cardfile::testFormat(view(empty)), cardfile::Format::Current);
}

void TestCardFile::emptySidesAndLineBreaks()
{
    Deck d;
    d.Side1List.AddString(QStringLiteral("line one\r\nline\ttwo"));
    d.Side2List.AddString(QString());
    const QByteArray bytes = cardfile::serializeDeck(d);
    QCOMPARE(bytes, QByteArray("1\aMain\aRoot\aline one\r\nline\ttwo\a \aMain\a"));
    Deck back;
    cardfile::parse(view(bytes), back);
    QCOMPARE(back.Side1List.at(0), QStringLiteral("line one\r\nline\ttwo"));
    QCOMPARE(back.Side2List.at(0), QStringLiteral(" ")); // a single space comes back as one
}

void TestCardFile::unknownCategoryIsKeptInvisible()
{
    const QByteArray bytes = fields({"1", "Main", "Root", "q", "a", "Nowhere", "m", "n", "Main"});
    Deck d;
    cardfile::parse(view(bytes), d);
    QCOMPARE(column(d.Side1List), (QStringList{"m"}));
    QCOMPARE(cardfile::serializeDeck(d), bytes);
}

void TestCardFile::saveWithCategoryOpenStoresItLast()
{
    Deck d;
    cardfile::parse(view(kWorkedExample), d);
    d.tree.setSelected(d.tree.findByName(QStringLiteral("Irregular")));
    d.OpenCategory();
    d.Side1List.AddString(QStringLiteral("to be"));
    d.Side2List.AddString(QStringLiteral("ser"));
    QCOMPARE(cardfile::serializeDeck(d),
             fields({"4", "Main", "Root", "Verbs", "Main", "Irregular", "Verbs", "Nouns", "Main", "house",
                     "casa", "Nouns", "hello", " ", "Main", "to go", "ir", "Irregular", "to be", "ser",
                     "Irregular"}));
}

void TestCardFile::saveSeparately_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no descendants") << QStringLiteral("Other")
                                    << fields({"1", "Main", "Root", "o", "O", "Main"});
    QTest::newRow("child and grandchild")
        << QStringLiteral("Top")
        << fields({"3", "Main", "Root", "Child", "Main", "Grand", "Child", "t", "", "Main", "c", "C", "Child",
                   "g", "", "Grand"});
}

void TestCardFile::saveSeparately()
{
    QFETCH(QString, category);
    QFETCH(QByteArray, expected);
    const QByteArray source = fields({"5", "Main", "Root", "Top", "Main", "Child", "Top", "Grand", "Child", "Other",
                                "Main", "g", "", "Grand", "t", "", "Top", "c", "C", "Child", "o", "O", "Other"});
    Deck d;
    cardfile::parse(view(source), d);
    d.tree.setSelected(d.tree.findByName(category));
    d.OpenCategory();
    const QStringList fileBefore = column(d.CatList);
    QCOMPARE(cardfile::serializeCategory(d, d.tree.selected()), expected);
    QCOMPARE(column(d.CatList), fileBefore); // no write-back, nothing changed

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
    QCOMPARE(cardfile::testFormat(view(fields({"1", "main", "Root"}))), Format::Earlier);
    QCOMPARE(cardfile::testFormat(view(fields({"1", "Main", "Root "}))), Format::Earlier);
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
        cardfile::parse(view(fields({"3", "Main", "Root", "A", "Main", "q", "a", "A"})), d);
        QCOMPARE(preorderNames(d.tree), (QStringList{"Main", "A", "q"}));
        QCOMPARE(d.tree.name(d.tree.parent(2)), QStringLiteral("A")); // "a" names no node: the last one
        QCOMPARE(column(d.MainSide1List), (QStringList{"A"}));
    }
    {   // A parent that names no node attaches under the last node in pre-order.
        Deck d;
        cardfile::parse(view(fields({"4", "Main", "Root", "A", "Main", "B", "A", "C", "Ghost"})), d);
        QCOMPARE(d.tree.name(d.tree.parent(d.tree.findByName(QStringLiteral("C")))), QStringLiteral("B"));
    }
    {   // A file that ends inside a card record: the missing fields are empty.
        Deck d;
        cardfile::parse(view(QByteArray("1\aMain\aRoot\aq\aa\aMain\alast")), d);
        QCOMPARE(column(d.MainSide1List), (QStringList{"q", "last"}));
        QCOMPARE(column(d.MainSide2List), (QStringList{"a", ""}));
        QCOMPARE(column(d.CatList), (QStringList{"Main", ""}));
    }
    {   // A huge count in a short file neither hangs nor invents categories.
        Deck d;
        cardfile::parse(view(fields({"99999999999999999999", "Main", "Root", "A", "Main"})), d);
        QCOMPARE(preorderNames(d.tree), (QStringList{"Main", "A"}));
        QCOMPARE(d.fileCount(), 0);
    }
    {   // No digits counts 0; leading digits only are taken.
        Deck d;
        cardfile::parse(view(fields({"x", "Main", "Root", "q", "a", "Main"})), d);
        QCOMPARE(d.tree.nodeCount(), 1);
        QCOMPARE(d.fileCount(), 1);
        cardfile::parse(view(fields({"2cats", "Main", "Root", "A", "Main", "q", "a", "A"})), d);
        QCOMPARE(d.tree.nodeCount(), 2);
    }
    {   // Binary junk and an empty input.
        Deck d;
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 7919) % 256));
        cardfile::parse(view(junk), d);
        QCOMPARE(d.MainSide1List.GetCount(), d.CatList.GetCount());
        cardfile::parse("", d);
        QCOMPARE(d.tree.nodeCount(), 1);
        QCOMPARE(d.fileCount(), 0);
    }
}

void TestCardFile::longFieldKeepsDeckAligned()
{
    const QByteArray longText(12000, 'x');
    QByteArray bytes = fields({"1", "Main", "Root"});
    bytes += longText + "\aanswer\aMain\anext\aa2\aMain\a";
    Deck d;
    cardfile::parse(view(bytes), d);
    QCOMPARE(d.fileCount(), 2);
    QCOMPARE(d.MainSide1List.at(0).size(), 12000);
    QCOMPARE(column(d.MainSide2List), (QStringList{"answer", "a2"}));
    QCOMPARE(column(d.CatList), (QStringList{"Main", "Main"}));
    QCOMPARE(cardfile::serializeDeck(d), bytes); // nothing lost on the way back
}

void TestCardFile::controlCharactersNeverEnterTheDeck()
{
    Deck d;
    cardfile::parse(view(QByteArray("2\aMain\aRoot\aA\0B\aMain\aq\0\aa\aA\0B\a", 30)), d);
    QCOMPARE(d.tree.name(1), QStringLiteral("AB"));
    QCOMPARE(d.MainSide1List.at(0), QStringLiteral("q"));
    QCOMPARE(d.CatList.at(0), QStringLiteral("AB"));

    Deck w;
    w.Side1List.AddString(QStringLiteral("be") + QChar(7) + QStringLiteral("ll"));
    w.Side2List.AddString(QStringLiteral("nu") + QChar(0) + QStringLiteral("ll"));
    QCOMPARE(cardfile::serializeDeck(w), fields({"1", "Main", "Root", "bell", "null", "Main"}));
    QCOMPARE(Deck::cleanText(QStringLiteral("a") + QChar(7) + QChar(0) + QStringLiteral("b")),
             QStringLiteral("ab"));
}

void TestCardFile::fullStoreKeepsCardsReadSoFar()
{
    Deck d;
    d.setCapacity(2);
    const auto report = cardfile::parse(
        view(fields({"1", "Main", "Root", "1", "a", "Main", "2", "b", "Main", "3", "c", "Main"})), d);
    QVERIFY(report.storeFull);
    QCOMPARE(report.cards, 2);
    QCOMPARE(column(d.Side1List), (QStringList{"1", "2"}));
    QCOMPARE(d.MainSide2List.GetCount(), 2);
    QCOMPARE(d.CatList.GetCount(), 2);
}

void TestCardFile::windows1252RoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        if (b != 7)
            all.append(char(b));
    const QByteArray bytes = fields({"1", "Main", "Root"}) + all + "\a" + "x\aMain\a";
    Deck d;
    cardfile::parse(view(bytes), d);
    QCOMPARE(d.encoding, TextEncoding::Windows1252);
    const QString text = d.MainSide1List.at(0);
    // Byte b sits at b - 2: bytes 0 and 7 are left out above.
    QCOMPARE(text.at(0x80 - 2), QChar(0x20AC)); // the euro sign
    QCOMPARE(text.at(0x81 - 2), QChar(0x81));   // unassigned bytes keep their number
    QCOMPARE(text.at(0x9D - 2), QChar(0x9D));
    QCOMPARE(text.at(0x9F - 2), QChar(0x178));
    QCOMPARE(text.at(0xE9 - 2), QChar(0xE9));
    QCOMPARE(cardfile::serializeDeck(d), bytes);
}

void TestCardFile::utf8DetectedAndKept()
{
    const QByteArray bytes = fields({"2", "Main", "Root", "Caf\xc3\xa9s", "Main", "\xe2\x82\xac", "\xe6\x97\xa5",
                                     "Caf\xc3\xa9s"});
    Deck d;
    cardfile::parse(view(bytes), d);
    QCOMPARE(d.encoding, TextEncoding::Utf8);
    QCOMPARE(d.tree.name(1), QString::fromUtf8("Caf\xc3\xa9s"));
    QCOMPARE(d.MainSide2List.at(0), QString(QChar(0x65E5)));
    QCOMPARE(cardfile::serializeDeck(d), bytes);

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
    d.Side2List.AddString(QString(QChar(0x65E5)));
    d.Side1List.AddString(QString::fromUtf8("caf\xc3\xa9"));
    TextEncoding used = TextEncoding::Windows1252;
    const QByteArray bytes = cardfile::serializeDeck(d, &used);
    QCOMPARE(used, TextEncoding::Utf8);
    QVERIFY(bytes.contains("caf\xc3\xa9\a\xe6\x97\xa5\aMain\a"));
    Deck back;
    cardfile::parse(view(bytes), back);
    QCOMPARE(back.Side1List.at(1), QString::fromUtf8("caf\xc3\xa9"));
}

void TestCardFile::textsSurviveTheRoundTrip()
{
    auto roundTrip = [](Deck &d) {
        const QByteArray bytes = cardfile::serializeDeck(d);
        Deck back;
        cardfile::parse(view(bytes), back);
        return back;
    };
    {   // Single-byte text whose bytes would pass for UTF-8 is saved as UTF-8,
        // or reopening would show other characters.
        Deck d;
        d.Side1List.AddString(QString::fromUtf8("\xc3\x83\xc2\xa9")); // "Ã©" typed as two letters
        d.Side2List.AddString(QStringLiteral("x"));
        TextEncoding used = TextEncoding::Windows1252;
        cardfile::serializeDeck(d, &used);
        QCOMPARE(used, TextEncoding::Utf8);
        QCOMPARE(roundTrip(d).Side1List.at(0), QString::fromUtf8("\xc3\x83\xc2\xa9"));
    }
    {   // A byte-order mark at the start of a field is text like any other.
        const QByteArray bytes("1\aMain\aRoot\a\xEF\xBB\xBF" "bom first\ar\xC3\xA9sum\xC3\xA9\aMain\a");
        Deck d;
        cardfile::parse(view(bytes), d);
        QCOMPARE(d.MainSide1List.at(0), QChar(0xFEFF) + QStringLiteral("bom first"));
        QCOMPARE(cardfile::serializeDeck(d), bytes);
    }
    {   // A side made only of characters that cannot be stored still becomes
        // the single space an empty side is written as.
        Deck d;
        d.Side1List.AddString(QString(QChar(7)));
        d.Side2List.AddString(QString(QChar(0)));
        QCOMPARE(cardfile::serializeDeck(d), fields({"1", "Main", "Root", " ", " ", "Main"}));
    }
}

void TestCardFile::nameRules()
{
    QCOMPARE(names::onDiskName(QStringLiteral("Spanish")), QStringLiteral("spanish.mdk"));
    QCOMPARE(names::onDiskName(QStringLiteral("My.MDK.notes")), QStringLiteral("my.mdk.notes"));
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
