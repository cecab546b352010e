// Import and export: every format read back gives the cards it was written
// from, and malformed files give a clear answer.

#include "core/exchange/exchange.h"
#include "support/deckbuilder.h"

#include <QRandomGenerator>

#include <algorithm>
#include <random>
#include <QtTest>

using namespace mdk;
using namespace mdk::exchange;

namespace {

std::string_view view(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

// Every card of the deck as a save would write it: "category|side 1|side 2".
QStringList cardsOf(const Deck &deck)
{
    QStringList out;
    for (const ExportCard &c : cardsToExport(deck, Scope::All).cards)
        out << *c.category + u'|' + *c.side1 + u'|' + *c.side2;
    return out;
}

// The same, each category's cards together in their order: a save puts the
// open category last, so only the order within a category is the deck's.
QStringList cardsByCategory(const Deck &deck)
{
    QStringList out = cardsOf(deck);
    std::stable_sort(out.begin(), out.end(),
                     [](const QString &a, const QString &b) { return a.section(u'|', 0, 0) < b.section(u'|', 0, 0); });
    return out;
}

QStringList treeOf(const Deck &deck)
{
    QStringList out;
    const CategoryTree &t = deck.tree();
    for (CategoryTree::NodeId id : t.preorder(t.root()))
        out << (id == t.root() ? QString() : t.name(t.parent(id))) + u'>' + t.name(id);
    return out;
}

QString randomText(QRandomGenerator &rng)
{
    static const QStringList pieces = {
        QStringLiteral("a"),    QStringLiteral("Zb"),   QStringLiteral("é"),     QStringLiteral("ß"),
        QStringLiteral("😀"),   QStringLiteral("\r\n"), QStringLiteral("\n"),    QStringLiteral("\r"),
        QStringLiteral("\t"),   QStringLiteral("\""),   QStringLiteral(","),     QStringLiteral(";"),
        QStringLiteral("&"),    QStringLiteral("<br>"), QStringLiteral("&amp;"), QStringLiteral("#"),
        QStringLiteral(" "),    QStringLiteral("x y"),  QStringLiteral("'"),     QStringLiteral("side 1")};
    QString text;
    for (int n = rng.bounded(7); n > 0; --n)
        text += pieces[rng.bounded(int(pieces.size()))];
    return text;
}

// A deck of random cards in random nested categories, one of them open
// with a card added to its view, so export must take the view's cards too.
Deck randomDeck(QRandomGenerator &rng)
{
    static const QStringList names = {QStringLiteral("Verbs"), QStringLiteral("Été, & \"là\""),
                                      QStringLiteral("a\tb"),  QStringLiteral("😀 emoji"),
                                      QStringLiteral("#tag"),  QStringLiteral("x;y")};
    Deck deck;
    std::vector<CategoryTree::NodeId> nodes{deck.tree().root()};
    for (const QString &name : names)
        if (rng.bounded(3) != 0)
            nodes.push_back(deck.addCategory(nodes[size_t(rng.bounded(int(nodes.size())))], name));
    for (int n = rng.bounded(40); n > 0; --n)
        deck.appendFileCard(randomText(rng), randomText(rng),
                            deck.tree().name(nodes[size_t(rng.bounded(int(nodes.size())))]));
    deck.LoadView(CategoryTree::kMainName);
    deck.selectCategory(nodes[size_t(rng.bounded(int(nodes.size())))]);
    deck.OpenCategory();
    deck.appendViewCard(randomText(rng), randomText(rng));
    return deck;
}

} // namespace

class TestExchange : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Export to each format, import into a new deck: the same cards in the
    // same categories, in the same order; a vocabulary document keeps the
    // tree too. Importing the export back with "skip" changes nothing.
    void everyFormatReadsBackAsWritten()
    {
        for (int round = 0; round < 200; ++round) {
            QRandomGenerator rng{quint32(round)};
            Deck deck = randomDeck(rng);
            const QStringList before = cardsByCategory(deck);
            for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Text, ExportFormat::Kvtml}) {
                const QByteArray bytes = exportBytes(cardsToExport(deck, Scope::All), format);
                const QString name = format == ExportFormat::Kvtml ? QStringLiteral("x.kvtml") : QStringLiteral("x.txt");
                const ParsedImport parsed = parse(view(bytes), ImportOptions(), name);
                QVERIFY2(parsed.unreadable == 0, qPrintable(parsed.firstBadReason));
                Deck back;
                const ImportSummary s = applyImport(parsed, back, CategoryTree::kMainName, Duplicates::Add);
                const QByteArray context = QByteArray::number(round) + " format " + QByteArray::number(int(format));
                QVERIFY2(cardsByCategory(back) == before, context.constData());
                QCOMPARE(s.added, int(before.size()));
                if (format == ExportFormat::Kvtml)
                    QVERIFY2(treeOf(back) == treeOf(deck), context.constData());

                QRandomGenerator same{quint32(round)};
                Deck again = randomDeck(same);
                const ImportSummary skipped = applyImport(parsed, again, CategoryTree::kMainName, Duplicates::Skip);
                QCOMPARE(skipped.added + skipped.updated, 0);
                QVERIFY2(cardsByCategory(again) == before, context.constData());
            }
        }
    }

    // The open category, alone or with its sub-categories, in and out of
    // subcategory mode: what a save would hold, read the slow way from a
    // folded-back copy, category by category in tree order.
    void exportScopesMatchAFoldedBackCopy()
    {
        for (int round = 0; round < 200; ++round) {
            QRandomGenerator rng{quint32(round)};
            Deck deck = randomDeck(rng);
            if (rng.bounded(2) == 1) {
                deck.WriteBackView();
                deck.ToggleSubcategoryMode();
            }
            Deck copy = deck;
            if (!copy.showSubCategories())
                copy.WriteBackView();
            const CategoryTree &tree = copy.tree();
            const CategoryTree::NodeId open = tree.findByName(copy.oldTreeName());
            for (Scope scope : {Scope::Category, Scope::CategoryAndSubcategories}) {
                QStringList expected;
                const auto nodes = scope == Scope::Category ? std::vector<CategoryTree::NodeId>{open} : tree.preorder(open);
                for (CategoryTree::NodeId node : nodes)
                    copy.ForEachCardOfCategory(tree.name(node), [&](int j) {
                        expected << tree.name(node) + u'|' + copy.fileSide1(j) + u'|' + copy.fileSide2(j);
                    });
                QStringList got;
                for (const ExportCard &c : cardsToExport(deck, scope).cards)
                    got << *c.category + u'|' + *c.side1 + u'|' + *c.side2;
                QVERIFY2(got == expected, qPrintable(QStringLiteral("round %1").arg(round)));
            }
        }
    }

    // Add, skip and update on random decks against a plain list: each
    // imported card looks for the first card of its category with its side
    // 1 among the deck's and those added before it.
    void duplicatesFollowAPlainList()
    {
        const QStringList words = {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};
        const QStringList columns = {QString(), QStringLiteral("Main"), QStringLiteral("A"), QStringLiteral("B"),
                                     QStringLiteral("C")};
        for (int round = 0; round < 300; ++round) {
            QRandomGenerator rng{quint32(round)};
            Deck deck = testsupport::buildDeck({}, {{"A", "Main"}, {"B", "A"}});
            QList<QStringList> model; // category, side 1, side 2
            for (int n = rng.bounded(8); n > 0; --n) {
                const QStringList card = {columns[1 + rng.bounded(3)], words[rng.bounded(3)],
                                          QString::number(rng.bounded(3))};
                deck.appendFileCard(card[1], card[2], card[0]);
                model << card;
            }
            deck.LoadView(columns[1 + rng.bounded(3)]);
            QByteArray csv;
            QList<QStringList> rows;
            for (int n = 1 + rng.bounded(8); n > 0; --n) {
                const QString category = columns[rng.bounded(5)];
                rows << QStringList{category.isEmpty() ? QStringLiteral("Main") : category, words[rng.bounded(3)],
                                    QString::number(rng.bounded(3))};
                csv += (rows.last()[1] + u',' + rows.last()[2] + u',' + category + u'\n').toUtf8();
            }
            const auto duplicates = Duplicates(rng.bounded(3));
            ImportOptions options;
            options.categoryColumn = 2;
            const ParsedImport parsed = parse(view(csv), options);
            const ImportSummary s = applyImport(parsed, deck, CategoryTree::kMainName, duplicates);

            ImportSummary expected;
            for (const QStringList &row : rows) {
                auto same = std::find_if(model.begin(), model.end(), [&](const QStringList &card) {
                    return card[0] == row[0] && card[1] == row[1];
                });
                if (duplicates == Duplicates::Add || same == model.end()) {
                    model << row;
                    ++expected.added;
                } else if (duplicates == Duplicates::Update && (*same)[2] != row[2]) {
                    (*same)[2] = row[2];
                    ++expected.updated;
                } else {
                    ++expected.skipped;
                }
            }
            QStringList modelCards;
            for (const QStringList &card : model)
                modelCards << card.join(u'|');
            std::stable_sort(modelCards.begin(), modelCards.end(), [](const QString &a, const QString &b) {
                return a.section(u'|', 0, 0) < b.section(u'|', 0, 0);
            });
            const QByteArray context = "round " + QByteArray::number(round);
            QVERIFY2(cardsByCategory(deck) == modelCards, context.constData());
            QVERIFY2(s.added == expected.added && s.skipped == expected.skipped && s.updated == expected.updated,
                     context.constData());
        }
    }

    // Delimited text as any RFC 4180 writer may make it: comma, semicolon
    // or tab, LF or CR LF, quotes where needed or everywhere, the columns
    // in any order, with or without a header.
    void delimitedTextReadsAsWritten()
    {
        for (int round = 0; round < 300; ++round) {
            QRandomGenerator rng{quint32(round)};
            const char delimiter = ",;\t"[rng.bounded(3)];
            const QString end = rng.bounded(2) ? QStringLiteral("\r\n") : QStringLiteral("\n");
            const bool quoteAll = rng.bounded(2) == 1, header = rng.bounded(2) == 1;
            int order[3] = {0, 1, 2}; // the column of side 1, side 2, category
            std::shuffle(order, order + 3, rng);
            auto field = [&](const QString &text) {
                const bool quote = quoteAll || text.contains(QLatin1Char(delimiter)) || text.contains(u'"')
                                   || text.contains(u'\r') || text.contains(u'\n');
                return quote ? u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"' : text;
            };
            auto line = [&](const QStringList &values) {
                QStringList cells(3);
                for (int k = 0; k < 3; ++k)
                    cells[order[k]] = field(values[k]);
                return cells.join(QLatin1Char(delimiter)) + end;
            };
            QString text = header ? line({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}) : QString();
            QStringList expected;
            for (int n = 1 + rng.bounded(20); n > 0; --n) {
                const QStringList card = {u'w' + randomText(rng), randomText(rng), QStringLiteral("Cat %1").arg(rng.bounded(3))};
                text += line(card);
                // A tab-separated file writes a line break as <br>.
                auto read = [&](QString side) {
                    return delimiter == '\t' ? side.replace(QStringLiteral("<br>"), QStringLiteral("\r\n")) : side;
                };
                expected << card[2] + u'|' + read(card[0]) + u'|' + read(card[1]);
            }
            ImportOptions options;
            options.format = Format::Delimited;
            options.delimiter = QLatin1Char(delimiter);
            options.header = header ? Header::Yes : Header::No;
            options.side1Column = order[0];
            options.side2Column = order[1];
            options.categoryColumn = order[2];
            const QByteArray bytes = text.toUtf8();
            const ParsedImport parsed = parse(view(bytes), options);
            QStringList got;
            for (const ImportedCard &card : parsed.cards)
                got << parsed.categories[size_t(card.category)].name + u'|' + card.side1 + u'|' + card.side2;
            QVERIFY2(got == expected && parsed.unreadable == 0, qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }

    void updateReplacesSide2OfTheFirstMatch()
    {
        Deck deck = testsupport::buildDeck({{"a", "1", "Main"}, {"a", "other", "Main"}, {"b", "2", "Main"}});
        const QByteArray csv = "a,new\nc,3\nb,2\nc,4\n";
        const ParsedImport parsed = parse(view(csv), ImportOptions());
        const ImportSummary s = applyImport(parsed, deck, CategoryTree::kMainName, Duplicates::Update);
        QCOMPARE(cardsOf(deck), QStringList({"Main|a|new", "Main|a|other", "Main|b|2", "Main|c|4"}));
        QCOMPARE(summaryText(s, parsed), QStringLiteral("1 cards added, 1 skipped, 2 updated"));
    }

    // A stray quote costs its own line only, and is named with its number.
    void unterminatedQuoteIsCountedWithItsLine()
    {
        const QByteArray csv = "side 1;side 2\r\na;\"b\r\nc\"\r\nd;\"e\r\nf;g\r\n";
        const ParsedImport parsed = parse(view(csv), ImportOptions());
        Deck deck;
        const ImportSummary s = applyImport(parsed, deck, CategoryTree::kMainName, Duplicates::Add);
        QCOMPARE(cardsOf(deck), QStringList({"Main|a|b\r\nc", "Main|f|g"}));
        QCOMPARE(summaryText(s, parsed), QStringLiteral("2 cards added, 0 skipped, 0 updated; 1 lines could not be "
                                                        "read (the first at line 4: a quote is never closed)"));
    }

    void brokenXmlGivesLineAndColumnAndNoCards()
    {
        const QByteArray xml = "<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\"><entries>\n"
                               "<entry id=\"0\"><translation id=\"0\"><text>a</text></translation>\n</entries></kvtml>";
        const ParsedImport parsed = parse(view(xml), ImportOptions());
        QVERIFY(parsed.cards.empty());
        QVERIFY2(parsed.error.contains(QStringLiteral("line 4, column ")), qPrintable(parsed.error));
    }

    // Declared UTF-8, written in Windows-1252: read as Windows-1252, said in
    // the summary; an entry with one translation has an empty side 2.
    void vocabularyInTheWrongEncodingIsReadAsWindows1252()
    {
        const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kvtml version=\"2.0\"><entries>"
                               "<entry id=\"0\"><translation id=\"0\"><text>bj\xF6rn</text></translation></entry>"
                               "</entries><lessons><container><name>Dj\xE4r</name><entry id=\"0\"/></container>"
                               "</lessons></kvtml>";
        const ParsedImport parsed = parse(view(xml), ImportOptions());
        Deck deck;
        const ImportSummary s = applyImport(parsed, deck, CategoryTree::kMainName, Duplicates::Add);
        QCOMPARE(cardsOf(deck), QStringList({QStringLiteral("Djär|björn|")}));
        QVERIFY(summaryText(s, parsed).contains(QStringLiteral("Windows-1252")));
    }

    // Another program's text export: directives, HTML turned into text.
    void textExportDirectivesAndHtml()
    {
        const QByteArray text = "#separator:tab\n#html:true\n#deck column:3\n"
                                "front<br>x &amp; y\t<b>back</b>&#10;\tLesson\x07 1\n";
        const ParsedImport parsed = parse(view(text), ImportOptions());
        Deck deck;
        applyImport(parsed, deck, CategoryTree::kMainName, Duplicates::Add);
        QCOMPARE(cardsOf(deck), QStringList({"Lesson 1|front\r\nx & y|back\n"}));
    }

    // A document as Parley saves it (our export, opened and saved there):
    // its nested lessons come back as nested categories.
    void parleysDocumentKeepsItsLessons()
    {
        const ParsedImport parsed =
            parseFile(QStringLiteral(QT_TESTCASE_SOURCEDIR "/data/parley-saved.kvtml"), ImportOptions());
        Deck deck;
        applyImport(parsed, deck, CategoryTree::kMainName, Duplicates::Add);
        QCOMPARE(treeOf(deck), QStringList({">Main", "Main>Verbs", "Verbs>Irregular", "Main>Nouns", "Nouns>Animals",
                                            "Main>Default Lesson"}));
        QCOMPARE(cardsByCategory(deck).filter(QStringLiteral("Animals|")), QStringList{"Animals|björn|bear"});
    }

    void emptyAndBinaryFilesAreRefused()
    {
        QVERIFY(!parse(std::string_view(), ImportOptions()).error.isEmpty());
        const QByteArray binary("\x7f" "ELF\x02\x01\x01\0\0\0\0,\n", 14);
        const ParsedImport parsed = parse(view(binary), ImportOptions());
        QVERIFY(parsed.cards.empty());
        QVERIFY(!parsed.error.isEmpty());
    }

    void cancelledReadGivesNoCards()
    {
        QByteArray csv;
        for (int i = 0; i < 40000; ++i)
            csv += "a,b\n";
        const ParsedImport parsed = parse(view(csv), ImportOptions(), QString(), [](qint64, qint64) { return false; });
        QVERIFY(parsed.cancelled);
        QVERIFY(parsed.cards.empty());
    }
};

QTEST_GUILESS_MAIN(TestExchange)
#include "test_exchange.moc"
