// Import and export: every format read back gives the cards it was written
// from, and malformed files give a clear answer.

#include "core/exchange/exchange.h"
#include "support/deckbuilder.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>

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

    // The same cards as a text export under every separator name, in every
    // encoding a file may come in: with and without byte-order marks,
    // UTF-16 either way round, Windows-1252.
    void sameCardsInEveryEncodingAndSeparator()
    {
        const QList<QStringList> cards = {{"björn", "Bär"}, {"café", "Kaffee"}, {"naïve", "€uro"}, {"a", "b"}};
        const QList<std::pair<const char *, char>> separators = {
            {"tab", '\t'}, {"comma", ','}, {"semicolon", ';'}, {"space", ' '}, {"pipe", '|'}, {"colon", ':'}};
        for (const auto &[name, separator] : separators) {
            QString text = QStringLiteral("#separator:%1\n#html:false\n").arg(QLatin1String(name));
            for (const QStringList &card : cards)
                text += card.join(QLatin1Char(separator)) + u'\n';
            QList<std::pair<QByteArray, QByteArray>> files; // what, bytes
            files.append({"UTF-8", text.toUtf8()});
            files.append({"UTF-8 with BOM", "\xEF\xBB\xBF" + text.toUtf8()});
            QByteArray le, be;
            for (QChar c : text) {
                le += char(c.unicode() & 0xFF), le += char(c.unicode() >> 8);
                be += char(c.unicode() >> 8), be += char(c.unicode() & 0xFF);
            }
            files.append({"UTF-16 LE", le});
            files.append({"UTF-16 BE", be});
            files.append({"UTF-16 LE with BOM", "\xFF\xFE" + le});
            files.append({"UTF-16 BE with BOM", "\xFE\xFF" + be});
            QByteArray cp1252;
            for (QChar c : text)
                cp1252 += c == QChar(0x20AC) ? char(0x80) : char(c.unicode());
            files.append({"Windows-1252", cp1252});
            for (const auto &[what, bytes] : files) {
                const ParsedImport parsed = parse(view(bytes), ImportOptions());
                QList<QStringList> got;
                for (const ImportedCard &card : parsed.cards)
                    got.append({card.side1, card.side2});
                QVERIFY2(got == cards && parsed.unreadable == 0 && parsed.note.isEmpty(),
                         qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(name), QLatin1String(what))));
            }
        }
    }

    // One stray Windows-1252 byte far into a UTF-8 file: valid sequences
    // stay UTF-8, the stray byte is its Windows-1252 letter, the summary
    // counts the line, and the preview shows what the import gives.
    void strayByteSpoilsOnlyItself()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("late.csv"));
        QByteArray csv;
        while (csv.size() < 300 * 1024)
            csv += "bj\xC3\xB6rn,bear\n";
        csv += "M\xF6we,gull\n";
        for (int i = 0; i < 100; ++i)
            csv += "bj\xC3\xB6rn,bear\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size());
        file.close();
        const ParsedImport parsed = parseFile(path, ImportOptions());
        const ParsedImport preview = parsePreview(path, ImportOptions(), 5);
        QCOMPARE(parsed.encoding, Encoding::Utf8);
        QCOMPARE(preview.encoding, Encoding::Utf8);
        int bears = 0;
        for (const ImportedCard &card : parsed.cards)
            bears += card.side1 == QStringLiteral("björn");
        QCOMPARE(bears, int(parsed.cards.size()) - 1);
        const auto gull = std::find_if(parsed.cards.begin(), parsed.cards.end(),
                                       [](const ImportedCard &c) { return c.side2 == QLatin1String("gull"); });
        QVERIFY(gull != parsed.cards.end());
        QCOMPARE(gull->side1, QStringLiteral("Möwe"));
        for (size_t i = 0; i < preview.cards.size(); ++i)
            QCOMPARE(preview.cards[i].side1, parsed.cards[i].side1);
        Deck deck;
        const QString summary = summaryText(applyImport(parsed, deck, CategoryTree::kMainName, Duplicates::Add), parsed);
        QVERIFY2(summary.endsWith(QStringLiteral("lines with bytes that are not UTF-8, read as Windows-1252: 1")),
                 qPrintable(summary));
        // The same rule in a vocabulary document.
        const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kvtml version=\"2.0\"><entries>"
                               "<entry id=\"0\"><translation id=\"0\"><text>bj\xC3\xB6rn</text></translation>"
                               "<translation id=\"1\"><text>M\xF6we</text></translation></entry></entries></kvtml>";
        const ParsedImport vocabulary = parse(view(xml), ImportOptions());
        QCOMPARE(vocabulary.cards.size(), size_t(1));
        QCOMPARE(vocabulary.cards[0].side1, QStringLiteral("björn"));
        QCOMPARE(vocabulary.cards[0].side2, QStringLiteral("Möwe"));
    }

    // Directives are the header block's: a later line beginning with "#" is
    // a card, and an unknown "#" line above a spreadsheet is a comment.
    void hashLinesAfterTheHeaderAreCards()
    {
        const QByteArray text = "#separator:tab\n#html:false\n#1\tone\nx\ty\n#2\ttwo\n#tags:a\tb\n";
        const ParsedImport parsed = parse(view(text), ImportOptions());
        QCOMPARE(parsed.format, Format::TextExport);
        QStringList got;
        for (const ImportedCard &card : parsed.cards)
            got << card.side1 + u'=' + card.side2;
        QCOMPARE(got, QStringList({"#1=one", "x=y", "#2=two", "#tags:a=b"}));

        const QByteArray csv = "# exported from a spreadsheet\nhaus;house\ngehen;to go\n";
        const ParsedImport sheet = parse(view(csv), ImportOptions());
        QCOMPARE(sheet.format, Format::Delimited);
        QCOMPARE(sheet.delimiter, QLatin1Char(';'));
        QCOMPARE(sheet.cards.size(), size_t(2));
        QCOMPARE(sheet.cards[1].side2, QStringLiteral("to go"));
        QCOMPARE(sheet.unreadable, 0);
    }

    // Another flashcard program's export with its column directives: the
    // sides are the note's first two fields, the deck column the category,
    // "A::B" B below A; the same path in a spreadsheet's category column.
    void columnDirectivesAndNestedDecks()
    {
        const QByteArray text = "#separator:tab\n#html:true\n#guid column:1\n#notetype column:2\n#deck column:3\n"
                                "#tags column:6\n"
                                "f1Qx\tBasic\tSpanish::Verbs\thablar\tto speak\tverb\n"
                                "g2Qy\tBasic\tSpanish\tcasa\thouse\t\n"
                                "h3Qz\tBasic\tFrench::Verbs\taller\tto go\tverb\n";
        Deck deck;
        const ParsedImport parsed = parse(view(text), ImportOptions());
        const ImportSummary s = applyImport(parsed, deck, CategoryTree::kMainName, Duplicates::Add);
        QCOMPARE(treeOf(deck), QStringList({">Main", "Main>Spanish", "Spanish>Verbs", "Main>French"}));
        QCOMPARE(cardsByCategory(deck), QStringList({"Spanish|casa|house", "Verbs|hablar|to speak", "Verbs|aller|to go"}));
        // The second Verbs is the first: said, not hidden.
        QCOMPARE(s.joined, QStringList{"Verbs"});
        QVERIFY(summaryText(s, parsed).contains(QStringLiteral("\"Verbs\"")));

        const QByteArray csv = "a,1,Lang::Nouns\nb,2,Lang\nc,3,::Lang::::Nouns::\n";
        ImportOptions options;
        options.categoryColumn = 2;
        Deck sheet;
        applyImport(parse(view(csv), options), sheet, CategoryTree::kMainName, Duplicates::Add);
        QCOMPARE(treeOf(sheet), QStringList({">Main", "Main>Lang", "Lang>Nouns"}));
        QCOMPARE(cardsByCategory(sheet), QStringList({"Lang|b|2", "Nouns|a|1", "Nouns|c|3"}));
    }

    // HTML as other programs write it: blocks and <br> as line breaks, every
    // named entity of HTML5 (the rare ones too, some two characters long),
    // numeric references in both bases, and what is no markup left alone.
    void htmlBecomesText()
    {
        const QList<std::pair<QString, QString>> cases = {
            {"&eacute;t&eacute; &amp; &hellip;", "été & …"},
            {"&NotEqualTilde; &fjlig; &CounterClockwiseContourIntegral;", "\u2242\u0338 fj \u2233"},
            {"&#x1F600;&#128512;&#X41;&#0;&#xD800;&#x110000;", "😀😀A\uFFFD\uFFFD\uFFFD"},
            {"<div>one</div><div>two</div>", "one\r\ntwo"},
            {"first<div>second</div>", "first\r\nsecond"},
            {"<ul><li>x</li><li>y</li></ul>", "x\r\ny"},
            {"<p>a</p>\n<p>b</p>", "a\r\nb"},
            {"a<br>b<BR/>c<br />d", "a\r\nb\r\nc\r\nd"},
            {"<b>bold</b> <span style=\"color:red\">red</span>", "bold red"},
            {"a < b && c > d; &unknown; &amp", "a < b && c > d; &unknown; &amp"},
            {"x<!-- note -->y<style>p{}</style>z", "xyz"},
            {"&#7;bell", "bell"},
        };
        for (const auto &[html, text] : cases)
            QCOMPARE(htmlToText(html), text);
        // A tab-separated file as Mnemosyne writes it: <br> is its line break.
        const QByteArray tsv = "one<br>two\tthree<br />four\n";
        const ParsedImport parsed = parse(view(tsv), ImportOptions());
        QCOMPARE(parsed.cards.size(), size_t(1));
        QCOMPARE(parsed.cards[0].side1, QStringLiteral("one\r\ntwo"));
        QCOMPARE(parsed.cards[0].side2, QStringLiteral("three\r\nfour"));
    }

    // Only a translation's own <text> is its word: the forms Parley keeps
    // inside it (conjugations, comparisons, examples) are counted, not read.
    void vocabularyFormsAreNotTheWord()
    {
        const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<kvtml version="2.0"><entries>
 <entry id="0">
  <translation id="0">
   <conjugation><tense>Simple Present</tense>
    <singular><firstperson><text>am</text></firstperson><thirdperson><text>is</text></thirdperson></singular>
   </conjugation>
   <text>be</text>
   <example>I want to be</example>
   <grade currentgrade="2"/>
  </translation>
  <translation id="1"><text>sein</text><comparison><comparative><text>seiner</text></comparative></comparison></translation>
 </entry>
 <entry id="1"><translation id="0"><text>one</text></translation><translation id="1"><text>eins</text></translation></entry>
</entries></kvtml>)";
        const ParsedImport parsed = parse(view(xml), ImportOptions());
        QStringList got;
        for (const ImportedCard &card : parsed.cards)
            got << card.side1 + u'=' + card.side2;
        QCOMPARE(got, QStringList({"be=sein", "one=eins"}));
        QCOMPARE(parsed.leftOut, 3);
        Deck deck;
        QVERIFY(summaryText(applyImport(parsed, deck, CategoryTree::kMainName, Duplicates::Add), parsed)
                    .endsWith(QStringLiteral("conjugations, examples, comments and other parts of entries left out: 3")));
    }

    // Repeated entry ids are separate cards, each in the id's lessons; the
    // summary names the ids. Repeated lesson names and a lesson "Main" join
    // the one category of the name, and the summary says so.
    void repeatedIdsAndLessonNames()
    {
        const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<kvtml version="2.0"><entries>
 <entry id="1"><translation id="0"><text>a</text></translation></entry>
 <entry id="2"><translation id="0"><text>b</text></translation></entry>
 <entry id="1"><translation id="0"><text>c</text></translation></entry>
 <entry id="3"><translation id="0"><text>d</text></translation></entry>
 <entry id="4"><translation id="0"><text>e</text></translation></entry>
</entries><lessons>
 <container><name>Spanish</name><container><name>Verbs</name><entry id="1"/></container></container>
 <container><name>French</name><container><name>Verbs</name><entry id="2"/></container></container>
 <container><name>Main</name><entry id="3"/></container>
</lessons></kvtml>)";
        const ParsedImport parsed = parse(view(xml), ImportOptions());
        QCOMPARE(parsed.cards.size(), size_t(5));
        QCOMPARE(parsed.repeatedIds, QStringList{"1"});
        Deck deck;
        const ImportSummary s = applyImport(parsed, deck, CategoryTree::kMainName, Duplicates::Add);
        QCOMPARE(treeOf(deck), QStringList({">Main", "Main>Spanish", "Spanish>Verbs", "Main>French"}));
        QCOMPARE(cardsByCategory(deck), QStringList({"Main|d|", "Main|e|", "Verbs|a|", "Verbs|b|", "Verbs|c|"}));
        QCOMPARE(s.joined, QStringList({"Verbs", "Main"}));
        const QString text = summaryText(s, parsed);
        QVERIFY2(text.contains(QStringLiteral("entry ids used more than once, each entry made a card: \"1\""))
                     && text.contains(QStringLiteral("elsewhere in the tree: \"Verbs\", \"Main\"")),
                 qPrintable(text));
    }

    // KDE's own file with two repeated ids: all 119 entries are cards.
    void kdesEuropeanCountriesGiveEveryEntry()
    {
        const QString path = QStringLiteral("/usr/share/apps/kvtml/nl/Europese_landen.kvtml");
        if (!QFileInfo::exists(path))
            QSKIP("kdeedu-kvtml-data is not installed");
        const ParsedImport parsed = parseFile(path, ImportOptions());
        QCOMPARE(parsed.cards.size(), size_t(119));
        QCOMPARE(parsed.repeatedIds, QStringList({"102", "103"}));
    }

    // A very deep tree exports in a size linear in its nodes, and reads
    // back as the same tree.
    void deepTreeExportsLinearly()
    {
        Deck deck;
        CategoryTree::NodeId node = deck.tree().root();
        constexpr int kDepth = 3000;
        for (int d = 0; d < kDepth; ++d) {
            node = deck.addCategory(node, QStringLiteral("c%1").arg(d));
            deck.appendFileCard(QStringLiteral("w%1").arg(d), QStringLiteral("m"), deck.tree().name(node));
        }
        deck.LoadView(CategoryTree::kMainName);
        const QByteArray bytes = exportBytes(cardsToExport(deck, Scope::All), ExportFormat::Kvtml);
        QVERIFY2(bytes.size() < 500 * kDepth, QByteArray::number(bytes.size()).constData());
        Deck back;
        applyImport(parse(view(bytes), ImportOptions(), QStringLiteral("x.kvtml")), back, CategoryTree::kMainName,
                    Duplicates::Add);
        QCOMPARE(treeOf(back), treeOf(deck));
        QCOMPARE(cardsByCategory(back), cardsByCategory(deck));
    }

    // The edges of a spreadsheet: the title and author lines vocabulary
    // programs write on top, a header row in any language, a line of empty
    // fields, an endless category name, and a card file, which is Merge's.
    void spreadsheetEdges()
    {
        const QByteArray kwordquiz = "Title:,Animals\nAuthor:,me\n\nEnglish,Deutsch\ndog,Hund\ncat,Katze\n";
        ParsedImport parsed = parse(view(kwordquiz), ImportOptions());
        QVERIFY(parsed.header);
        QCOMPARE(parsed.headerFields, QStringList({"English", "Deutsch"}));
        QCOMPARE(parsed.cards.size(), size_t(2));
        QCOMPARE(parsed.unreadable, 0);

        const QByteArray german = "Wort;Bedeutung\nsprechen;to speak\ngehen;to go\n";
        parsed = parse(view(german), ImportOptions());
        QVERIFY(parsed.header);
        QCOMPARE(parsed.cards.size(), size_t(2));
        // Data that merely looks like words stays data.
        const QByteArray plain = "a,new\nc,3\n";
        QVERIFY(!parse(view(plain), ImportOptions()).header);

        const QByteArray empty = "x,1\n,\n,,\ny,2\n";
        parsed = parse(view(empty), ImportOptions());
        QCOMPARE(parsed.cards.size(), size_t(2));
        QCOMPARE(parsed.unreadable, 2);
        QCOMPARE(parsed.firstBadLine, qint64(2));

        const QByteArray longName = "x,1," + QByteArray(5000, 'n') + "\n";
        ImportOptions options;
        options.categoryColumn = 2;
        parsed = parse(view(longName), options);
        QCOMPARE(parsed.categories.at(0).name.size(), 999);

        const QByteArray mdk = QByteArray("1\aMain\aRoot\aword\ameaning\aMain\a");
        parsed = parse(view(mdk), ImportOptions());
        QVERIFY(parsed.cards.empty());
        QVERIFY2(parsed.error.contains(QStringLiteral("Merge")), qPrintable(parsed.error));
        QVERIFY(!parse(view(QByteArray("a,b\n")), ImportOptions(), QStringLiteral("cards.MDK")).error.isEmpty());
    }

    // A spreadsheet formula is text to us: written as it is.
    void formulaCellsAreWrittenAsTheyAre()
    {
        Deck deck = testsupport::buildDeck({{"=1+1", "+x", "Main"}, {"-y", "@z", "Main"}});
        const QByteArray csv = exportBytes(cardsToExport(deck, Scope::All), ExportFormat::Csv);
        QCOMPARE(csv, QByteArray("side 1,side 2,category\r\n=1+1,+x,Main\r\n-y,@z,Main\r\n"));
    }

    // Cancel while the cards are sorted out leaves the deck as it was: no
    // card, no category, the view as it stood.
    void cancelWhileAddingLeavesTheDeck()
    {
        QByteArray csv;
        for (int i = 0; i < 40000; ++i)
            csv += "w" + QByteArray::number(i) + ",m,Cat " + QByteArray::number(i % 7) + "\n";
        ImportOptions options;
        options.categoryColumn = 2;
        ParsedImport parsed = parse(view(csv), options);
        Deck deck = testsupport::buildDeck({{"a", "1", "Main"}, {"w5", "x", "Cat 5"}}, {{"Cat 5", "Main"}});
        const QStringList before = cardsOf(deck), tree = treeOf(deck);
        for (Duplicates duplicates : {Duplicates::Add, Duplicates::Skip}) {
            int calls = 0;
            const ImportSummary s = applyImportReleasing(parsed, deck, CategoryTree::kMainName, duplicates,
                                                         [&](qint64, qint64) { return ++calls < 2; });
            QVERIFY(s.cancelled);
            QCOMPARE(s.added, 0);
            QCOMPARE(cardsOf(deck), before);
            QCOMPARE(treeOf(deck), tree);
            QCOMPARE(parsed.cards.size(), size_t(40000));
        }
        const ImportSummary done = applyImportReleasing(parsed, deck, CategoryTree::kMainName, Duplicates::Skip,
                                                        [](qint64, qint64) { return true; });
        QCOMPARE(done.added + done.skipped, 40000);
        QCOMPARE(done.skipped, 1);
        QVERIFY(parsed.cards.empty());
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
