// Flashcard packages: each collection layout gives the same cards, decks and
// reviews; cloze deletions against a simple model; damaged and hostile
// packages are refused or their bad notes counted; our own packages read
// back as written.

#include "core/exchange/apkg.h"
#include "core/exchange/apkgtemplate.h"
#include "core/exchange/exchange.h"
#include "core/review/cardkey.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace mdk;
using namespace mdk::exchange;

namespace {

QString dataFile(const char *name)
{
    return QStringLiteral(QT_TESTCASE_SOURCEDIR "/data/") + QLatin1String(name);
}

QString pathOf(const ParsedImport &p, int category)
{
    QStringList path;
    for (int c = category; c >= 0; c = p.categories[size_t(c)].parent)
        path.prepend(p.categories[size_t(c)].name);
    return path.join(QLatin1String("::"));
}

// "deck path|side 1|side 2" for each card, in order.
QStringList cardsOf(const ParsedImport &p)
{
    QStringList out;
    for (const ImportedCard &c : p.cards)
        out << pathOf(p, c.category) + u'|' + c.side1 + u'|' + c.side2;
    return out;
}

} // namespace

class TestApkg : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachLayoutGivesTheSameCards_data();
    void eachLayoutGivesTheSameCards();
    void previewStopsEarly();
    void clozeAgainstModel();
    void templates();
    void refusedPackages_data();
    void refusedPackages();
    void zipBombStopsWhileReading_data();
    void zipBombStopsWhileReading();
    void badNotesAreSkippedAndCounted();
    void damagedBytesNeverCrash();
    void exportReadsBack();
};

void TestApkg::eachLayoutGivesTheSameCards_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("collection.anki2") << dataFile("package-anki2.apkg");
    QTest::newRow("collection.anki21 beside a stub") << dataFile("package-anki21.apkg");
    QTest::newRow("collection.anki21b (zstd, tables)") << dataFile("package-anki21b.colpkg");
}

void TestApkg::eachLayoutGivesTheSameCards()
{
    QFETCH(QString, file);
    const ParsedImport p = parseFile(file, ImportOptions());
    QCOMPARE(p.error, QString());
    QCOMPARE(p.format, Format::Apkg);
    const QStringList expected = {
        QStringLiteral("Spanish|hola|hello"),
        QStringLiteral("Spanish::Nouns::Animals|perro|dog"),
        QStringLiteral("Spanish::Verbs|comer|to eat"),
        QStringLiteral("Spanish::Verbs|to eat|comer"),
        QStringLiteral("Spanish|café & té|coffee\r\nand tea <3"),
        QStringLiteral("Spanish::Nouns::Animals|gato|cat"),
        QStringLiteral("Geography|[...] is the capital of Spain|Madrid is the capital of Spain\r\nEurope"),
        QStringLiteral("Geography|Madrid is the capital of [country]|Madrid is the capital of Spain\r\nEurope"),
        QStringLiteral("Spanish|casa\r\nLa casa es grande.|house"),
        QStringLiteral("Spanish|mesa|table\r\n(no example)"),
    };
    QCOMPARE(cardsOf(p), expected);
    QVERIFY2(p.note.contains(QLatin1String("1 cards referred to pictures or sounds")), qPrintable(p.note));
    QVERIFY2(p.note.contains(QLatin1String("cat.jpg")) && p.note.contains(QLatin1String("cat.mp3")), qPrintable(p.note));
    QVERIFY2(p.note.contains(QLatin1String("1 suspended and 1 buried")), qPrintable(p.note));

    // The review log, oldest first, on the cards it belongs to.
    QCOMPARE(p.reviews.size(), size_t(4));
    QCOMPARE(p.reviews[0].card, 0);
    QCOMPARE(p.reviews[0].time, qint64(1700000000000));
    QCOMPARE(p.reviews[0].grade, 1);
    QCOMPARE(p.reviews[1].card, 6); // the Madrid deletion
    QCOMPARE(p.reviews[1].grade, 2);
    QCOMPARE(p.reviews[1].duration, 12000);
    QCOMPARE(p.reviews[3].card, 0);
    QCOMPARE(p.reviews[3].interval, 4);
    QCOMPARE(p.reviews[3].factor, 2650);
    QCOMPARE(p.reviews[3].kind, 1);

    // The decks become nested categories below the target, as one change.
    Deck deck;
    const ImportSummary summary = applyImport(p, deck, QStringLiteral("Main"), Duplicates::Add);
    QCOMPARE(summary.added, 10);
    const CategoryTree &t = deck.tree();
    const auto parentOf = [&t](const char *name) { return t.name(t.parent(t.findByName(QLatin1String(name)))); };
    QCOMPARE(parentOf("Animals"), QStringLiteral("Nouns"));
    QCOMPARE(parentOf("Nouns"), QStringLiteral("Spanish"));
    QCOMPARE(parentOf("Verbs"), QStringLiteral("Spanish"));
    QCOMPARE(parentOf("Spanish"), t.name(t.root()));
    QCOMPARE(parentOf("Geography"), t.name(t.root()));
}

void TestApkg::previewStopsEarly()
{
    ImportOptions options;
    const ParsedImport p = parsePreview(dataFile("package-anki21b.colpkg"), options, 3);
    QCOMPARE(p.error, QString());
    QCOMPARE(p.cards.size(), size_t(3));
    QCOMPARE(p.cards[2].side1, QStringLiteral("comer"));
    QVERIFY(p.reviews.empty());
}

// Random texts of words and deletions (numbers 1 to 3, some with hints)
// against a model built from the pieces themselves.
void TestApkg::clozeAgainstModel()
{
    QRandomGenerator rng(33);
    const QStringList words = {QStringLiteral("sol"), QStringLiteral("a b"), QStringLiteral("<b>x</b>"),
                               QStringLiteral("é:"), QStringLiteral("{"), QStringLiteral("}"), QStringLiteral(":")};
    for (int round = 0; round < 2000; ++round) {
        QString text, question[4], answer;
        std::vector<int> numbers;
        for (int n = rng.bounded(6); n > 0; --n) {
            const QString word = words[rng.bounded(words.size())];
            if (rng.bounded(2)) {
                // A plain piece; "{" and "}" alone never make a deletion.
                if (text.endsWith(u'{') && word.startsWith(u'{'))
                    continue;
                text += word;
                answer += word;
                for (QString &q : question)
                    q += word;
                continue;
            }
            const int number = 1 + rng.bounded(3);
            const QString body = QStringLiteral("w%1").arg(rng.bounded(100));
            const QString hint = rng.bounded(2) ? QStringLiteral("h%1").arg(rng.bounded(10)) : QString();
            text += QStringLiteral("{{c%1::%2%3}}").arg(number).arg(body, hint.isEmpty() ? QString() : QLatin1String("::") + hint);
            answer += body;
            for (int q = 1; q <= 3; ++q)
                question[q] += q == number ? u'[' + (hint.isEmpty() ? QStringLiteral("...") : hint) + u']' : body;
            numbers.push_back(number);
        }
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        QCOMPARE(apkg::clozeNumbers(text), numbers);
        for (int q = 1; q <= 3; ++q) {
            QCOMPARE(apkg::renderCloze(text, q, true), question[q]);
            QCOMPARE(apkg::renderCloze(text, q, false), answer);
        }
    }
    // Deletions nest; the outer one hides the inner.
    const QString nested = QStringLiteral("{{c1::a {{c2::b}} c}} d");
    QCOMPARE(apkg::renderCloze(nested, 1, true), QStringLiteral("[...] d"));
    QCOMPARE(apkg::renderCloze(nested, 2, true), QStringLiteral("a [...] c d"));
    QCOMPARE(apkg::clozeNumbers(nested), (std::vector<int>{1, 2}));
    // Unclosed or malformed ones are text.
    QCOMPARE(apkg::renderCloze(QStringLiteral("{{c1::open"), 1, true), QStringLiteral("{{c1::open"));
    QCOMPARE(apkg::renderCloze(QStringLiteral("{{cx::y}}"), 1, true), QStringLiteral("{{cx::y}}"));
}

void TestApkg::templates()
{
    const QStringList names = {QStringLiteral("Front"), QStringLiteral("Back"), QStringLiteral("Extra")};
    const QStringList values = {QStringLiteral("F"), QStringLiteral("B"), QStringLiteral(" <br> ")};
    apkg::TemplateContext c;
    c.names = &names;
    c.values = &values;
    c.tags = QStringLiteral("t1");
    c.deck = QStringLiteral("A::B");
    const auto r = [&c](const char *t) { return apkg::render(QString::fromUtf8(t), c); };
    QCOMPARE(r("{{Front}}-{{ back }}-{{Missing}}"), QStringLiteral("F-B-")); // names match regardless of case
    QCOMPARE(r("{{#Back}}has {{Back}}{{/Back}}{{^Extra}} no extra{{/Extra}}{{#Extra}}never{{/Extra}}"),
             QStringLiteral("has B no extra"));
    QCOMPARE(r("{{#Front}}{{#Back}}both{{/Back}}{{/Front}}"), QStringLiteral("both"));
    QCOMPARE(r("{{Tags}} {{Deck}} {{Subdeck}}"), QStringLiteral("t1 A::B B"));
    QCOMPARE(r("{{text:Front}} {{type:Back}}|"), QStringLiteral("F |"));
    QCOMPARE(r("{{#Front}}open section"), QStringLiteral("open section"));
    QCOMPARE(r("{{Front"), QStringLiteral("{{Front"));
    QCOMPARE(apkg::answerPart(QStringLiteral("Q<HR id=\"answer\">A")), QStringLiteral("A"));
    QCOMPARE(apkg::answerPart(QStringLiteral("only")), QStringLiteral("only"));
    // A thousand nested sections do not exhaust the stack.
    QString deep;
    for (int i = 0; i < 100000; ++i)
        deep += QLatin1String("{{#Front}}");
    QVERIFY(apkg::render(deep + QLatin1String("x"), c).endsWith(u'x'));

    QStringList media;
    QCOMPARE(apkg::sideText(QStringLiteral("<style>.a{}</style>\n a  <img src='p q.png'>b\n[sound:s.ogg]<br><br>c"),
                            &media),
             QStringLiteral("a b\r\n\r\nc"));
    QCOMPARE(media, (QStringList{QStringLiteral("s.ogg"), QStringLiteral("p q.png")}));
}

void TestApkg::refusedPackages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("member outside the folder") << dataFile("bad-dotdot.apkg") << "outside its own folder";
    QTest::newRow("absolute member") << dataFile("bad-absolute.apkg") << "\"/tmp/evil\", outside its own folder";
    QTest::newRow("link") << dataFile("bad-link.apkg") << "it holds a link";
    QTest::newRow("not SQLite") << dataFile("bad-notsqlite.apkg") << "not an SQLite database";
    QTest::newRow("no collection") << dataFile("bad-nocollection.apkg") << "holds no collection";
    QTest::newRow("missing tables") << dataFile("bad-missingtable.apkg") << "has no table \"notes\"";
    QTest::newRow("malformed JSON") << dataFile("bad-json.apkg") << "note types cannot be read";
    QTest::newRow("malformed protobuf") << dataFile("bad-protobuf.apkg") << "is damaged";
    QTest::newRow("not a zip") << dataFile("parley-saved.kvtml") << "not a readable package";
}

void TestApkg::refusedPackages()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    ImportOptions options;
    options.format = Format::Apkg;
    const ParsedImport p = parseFile(file, options);
    QVERIFY2(p.error.contains(message), qPrintable(p.error));
    QVERIFY(p.cards.empty());
    QVERIFY(p.categories.empty());
    QVERIFY(p.reviews.empty());
}

void TestApkg::zipBombStopsWhileReading_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("zstd") << dataFile("bad-bomb.apkg");
    QTest::newRow("deflate") << dataFile("bad-bomb-deflate.apkg");
}

void TestApkg::zipBombStopsWhileReading()
{
    QFETCH(QString, file);
    // Both expand to 64 MB; the limit holds at 16 MB, before more is written.
    const qint64 saved = collectionLimit();
    collectionLimit() = qint64(16) << 20;
    qint64 furthest = 0;
    const ParsedImport p = parseFile(file, ImportOptions(), [&furthest](qint64 done, qint64) {
        furthest = qMax(furthest, done);
        return true;
    });
    collectionLimit() = saved;
    QVERIFY2(p.error.contains(QLatin1String("expands to more than 16 MB")), qPrintable(p.error));
    QVERIFY(p.cards.empty());
}

void TestApkg::badNotesAreSkippedAndCounted()
{
    const ParsedImport p = parseFile(dataFile("skips.apkg"), ImportOptions());
    QCOMPARE(p.error, QString());
    QCOMPARE(cardsOf(p), QStringList{QStringLiteral("Top::Inner|kept|yes")});
    QVERIFY2(p.note.contains(QLatin1String("3 cards were left out")), qPrintable(p.note));
    for (const char *why : {"unknown note type (1)", "fields longer than 1 MB (1)", "note type without fields (1)",
                            "1 deck names had empty levels"})
        QVERIFY2(p.note.contains(QLatin1String(why)), qPrintable(p.note));
}

// Truncated and bit-flipped packages: a clear refusal or cards, never a crash.
void TestApkg::damagedBytesNeverCrash()
{
    QFile f(dataFile("package-anki21b.colpkg"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    QRandomGenerator rng(7);
    int refused = 0;
    for (int i = 0; i < 300; ++i) {
        QByteArray bad = good;
        if (i % 3 == 0)
            bad.truncate(rng.bounded(bad.size()));
        for (int n = 1 + rng.bounded(4); n > 0; --n)
            if (!bad.isEmpty())
                bad[rng.bounded(bad.size())] = char(rng.bounded(256));
        const ParsedImport p = parse(std::string_view(bad.constData(), size_t(bad.size())), ImportOptions(),
                                     QStringLiteral("x.apkg"));
        QCOMPARE(p.error.isEmpty(), !p.cards.empty());
        refused += p.error.isEmpty() ? 0 : 1;
    }
    QVERIFY(refused > 0);
}

// Our package read back: the same cards, categories as decks, and the
// reviews as the review log of the right cards.
void TestApkg::exportReadsBack()
{
    QRandomGenerator rng(5);
    const QStringList pieces = {QStringLiteral("a"),   QStringLiteral("é"),  QStringLiteral("😀"),
                                QStringLiteral("&"),   QStringLiteral("<br>"), QStringLiteral("&amp;"),
                                QStringLiteral("<"),   QStringLiteral("{{x}}"), QStringLiteral("1 2"),
                                QStringLiteral("l'eau"), QStringLiteral("'); --"), QStringLiteral("\"q\"")};
    const auto text = [&] {
        QStringList words;
        for (int n = 1 + rng.bounded(4); n > 0; --n)
            words << pieces[rng.bounded(pieces.size())];
        return words.join(rng.bounded(4) ? QStringLiteral(" ") : QStringLiteral("\r\n"));
    };
    std::vector<QString> texts;
    ExportSet set;
    set.categories = {{QStringLiteral("Top"), -1}, {QStringLiteral("Mid"), 0}, {QStringLiteral("Low"), 1},
                      {QStringLiteral("Side"), 0}};
    const int n = 300;
    texts.reserve(size_t(n) * 2 + 6);
    for (const ExportCategory &c : set.categories)
        texts.push_back(c.name);
    QStringList expected;
    std::vector<ExportReview> reviews;
    for (int i = 0; i < n; ++i) {
        texts.push_back(text());
        texts.push_back(text());
        const int node = rng.bounded(4);
        set.cards.push_back({&texts[size_t(4 + 2 * i)], &texts[size_t(5 + 2 * i)], &texts[size_t(node)], node});
        QString path;
        for (int c = node; c >= 0; c = set.categories[size_t(c)].parent)
            path = set.categories[size_t(c)].name + (path.isEmpty() ? QString() : QLatin1String("::") + path);
        expected << path + u'|' + texts[size_t(4 + 2 * i)] + u'|' + texts[size_t(5 + 2 * i)];
        if (i % 7 == 0)
            for (int day = 0; day < 3; ++day)
                reviews.push_back({review::cardKey(texts[size_t(4 + 2 * i)], texts[size_t(5 + 2 * i)]),
                                   2460000 + day, day != 1});
    }
    // The first card flipped: the same key, and its answers go with the
    // first card only.
    texts.push_back(texts[5]);
    texts.push_back(texts[4]);
    set.cards.push_back({&texts[size_t(4 + 2 * n)], &texts[size_t(5 + 2 * n)], &texts[size_t(set.cards[0].node)],
                         set.cards[0].node});
    expected << expected.front().section(u'|', 0, 0) + u'|' + texts[5] + u'|' + texts[4];
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.apkg"));
    const WriteResult written = writePackage(set, reviews, path);
    QVERIFY2(written.ok, qPrintable(written.error));
    const ParsedImport back = parseFile(path, ImportOptions());
    QCOMPARE(back.error, QString());
    QCOMPARE(cardsOf(back), expected);
    // Every seventh card carries three answers, in day order: knew, forgot, knew.
    QCOMPARE(back.reviews.size(), reviews.size());
    std::map<int, QStringList> history;
    for (const ImportedReview &r : back.reviews)
        history[r.card] << QStringLiteral("%1:%2").arg(QDateTime::fromMSecsSinceEpoch(r.time).date().toJulianDay())
                               .arg(r.grade);
    for (const auto &[card, answers] : history) {
        QCOMPARE(card % 7, 0);
        QCOMPARE(answers, (QStringList{QStringLiteral("2460000:3"), QStringLiteral("2460001:1"),
                                       QStringLiteral("2460002:3")}));
    }
}

QTEST_GUILESS_MAIN(TestApkg)
#include "test_apkg.moc"
