// mdktool: card files from the command line, read and written through the
// same library as the program.

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"
#include "core/edit/cardedit.h"
#include "generator.h"
#include "mdktool_commands.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>
#include <QStringList>

#include <cstdio>
#include <cstring>

using namespace mdk::tool;

namespace {

const char kUsage[] =
    "usage: mdktool info FILE\n"
    "       mdktool tree FILE\n"
    "       mdktool dump FILE\n"
    "       mdktool resave IN OUT\n"
    "       mdktool add IN OUT [--category NAME] < CARDS\n"
    "       mdktool generate [--utf8] N OUT\n"
    "       mdktool find [--case] [--whole] [--from K | --all]\n"
    "                    [--category NAME [--subcategories]] FILE TEXT\n"
    "       mdktool dedupe --side 1|2|both [--category NAME] IN OUT\n"
    "       mdktool shuffle --order reverse|pattern|random|alphabetize\n"
    "                       [--seed S] [--locale NAME] [--category NAME] IN OUT\n"
    "       mdktool flip [--category NAME] IN OUT\n"
    "       mdktool move --to NAME (--card K | --all) [--category NAME] IN OUT\n"
    "       mdktool convert 1.00|2.01|3.01|later OLD NEW\n"
    "       mdktool merge OUT IN...\n"
    "       mdktool versions FILE\n"
    "       mdktool restore FILE N OUT\n"
    "       mdktool import [--format auto|csv|text|kvtml|apkg]\n"
    "                      [--encoding auto|utf-8|utf-16|windows-1252]\n"
    "                      [--header auto|yes|no] [--columns S1,S2[,CAT]]\n"
    "                      [--category NAME] [--duplicates add|skip|update]\n"
    "                      [--into DECK] SOURCE OUT\n"
    "       mdktool export [--format csv|text|kvtml|apkg]\n"
    "                      [--category NAME [--subcategories]] DECK OUT\n"
    "       mdktool stats [--json] [--now ISO-TIME] FILE\n"
    "       mdktool review --answers STRING [--now ISO-TIME] [--scheduler fsrs|leitner] FILE\n"
    "       mdktool progress [--json] [--now ISO-TIME] FILE\n"
    "       mdktool optimise [--json] [--save] FILE\n"
#ifdef MDK_TOOL_HAS_PRINT
    "       mdktool print [--format card|list] [--cards all|category|subs]\n"
    "                     [--category NAME] [--paper letter|a4] FILE OUT.pdf\n"
#endif
    "\n"
    "  info      encoding, number of categories (with Main) and of cards\n"
    "  tree      the category tree, two spaces of indent per level\n"
    "  dump      one line per card: category, side 1, side 2, tab-separated,\n"
    "            in UTF-8 with \\\\ \\t \\n \\r for backslash, tab, LF, CR\n"
    "  resave    read IN as the program opens it, write OUT as its Save does\n"
    "  add       append the cards on standard input (side 1, tab, side 2, one\n"
    "            a line, escaped as dump does) to the category (default Main)\n"
    "            of IN, and write OUT as Save does\n"
    "  generate  a reproducible synthetic card file of N cards\n"
    "  find      the card Search finds (TEXT's first 36 characters) with card K\n"
    "            (1) current: card, side, side 1, side 2, tab-separated and\n"
    "            escaped as dump; --all: every matching card in order; exit 0\n"
    "            found, 1 not found, 2 error or empty view\n"
    "  dedupe    remove the later copies of side 1, side 2 or both (side 1\n"
    "            first) as Search's duplicate boxes do, print them as dump\n"
    "            lines in Undelete's order, and write OUT as Save does\n"
    "  shuffle   reorder the category's cards as Shuffle does (random: seeded\n"
    "            with S, default the clock; alphabetize: in locale NAME,\n"
    "            default the user's), and write OUT as Save does\n"
    "  flip      swap side 1 and side 2 of the category's cards as Flip does,\n"
    "            and write OUT as Save does\n"
    "  move      move card K (from 1) or all of the category's cards to the\n"
    "            category NAME as Move does, and write OUT as Save does\n"
    "  convert   convert OLD, a card file of the named earlier version, as the\n"
    "            Convert command does, into NEW; OLD is never written\n"
    "  merge     append every card of each IN, in order, to OUT (created when\n"
    "            missing) under its Main, as the Merge command does\n"
    "  versions  the earlier versions of FILE kept at each save, newest first:\n"
    "            N, date and time, cards, bytes, tab-separated\n"
    "  restore   write version N (from 1, as versions lists them) of FILE to\n"
    "            OUT as Save does\n"
    "  import    read the cards of SOURCE (delimited text, a flashcard text\n"
    "            export or a KDE vocabulary document) as the Import command\n"
    "            does into a new deck or DECK's category NAME (default Main),\n"
    "            write OUT as Save does and print the summary line\n"
    "  export    write all cards, or the category NAME (with its\n"
    "            sub-categories), as CSV, tab-separated text or a KDE\n"
    "            vocabulary document to OUT\n"
    "  stats     the review progress of FILE's cards: cards per box, new, due\n"
    "            today, answers in the last 30 days; --json as one object\n"
    "  review    one review round over FILE's cards (due first, then up to 20\n"
    "            new), answered in order from STRING (a h g e: Again, Hard,\n"
    "            Good, Easy; k knew, u did not): card, side 1 (escaped as\n"
    "            dump), then the new box (Leitner) or the card's state and due\n"
    "            time (FSRS, the default); FILE is never written.\n"
    "            --now sets the clock; MNEMODECK_PROGRESS names the database;\n"
    "            the review options (new cards, most due cards, the hour a day\n"
    "            starts) are the program's. Exit 1 when no answer could be\n"
    "            saved or the progress could not be read\n"
    "  progress  each card of FILE with the memory model's state, due time,\n"
    "            stability, difficulty, retrievability (at --now), reviews and\n"
    "            lapses; --json as an array of objects with those names\n"
    "  optimise  fit the memory model's 21 parameters to the reviews of FILE's\n"
    "            cards; prints them with the log loss and RMSE before and\n"
    "            after; --save keeps them (every card is rescheduled)\n"
    "\n"
    "  A command that writes OUT refuses while a Mnemodeck window has OUT\n"
    "  open, unless --force is given.\n"
#ifdef MDK_TOOL_HAS_PRINT
    "  print     print the cards as the Print command does (card format;\n"
    "            all cards, the category NAME (default Main) alone or with\n"
    "            its sub-categories; the locale's paper unless given) into the\n"
    "            PDF file OUT; no display is needed\n"
#endif
    ;

int info(const mdk::Deck &deck)
{
    Output out(stdout);
    out << "encoding: " << (deck.encoding() == mdk::TextEncoding::Utf8 ? "utf-8" : "windows-1252") << '\n'
        << "categories: " << QByteArray::number(deck.tree().nodeCount()) << '\n'
        << "cards: " << QByteArray::number(deck.fileCount()) << '\n';
    return 0;
}

int tree(const mdk::Deck &deck)
{
    const mdk::CategoryTree &t = deck.tree();
    // A parent always has a lower id than its children, so depths fill in
    // one pass without walking up the tree for every node.
    std::vector<int> depth(size_t(t.nodeCount()), 0);
    for (int id = 1; id < t.nodeCount(); ++id)
        depth[size_t(id)] = depth[size_t(t.parent(id))] + 1;
    Output out(stdout);
    for (mdk::CategoryTree::NodeId id : t.preorder(t.root()))
        out << QByteArray(2 * qsizetype(depth[size_t(id)]), ' ') << t.name(id) << '\n';
    return 0;
}

int dump(const mdk::Deck &deck)
{
    // File order: the file-level lists as read, before any write-back.
    Output out(stdout);
    for (int j = 0; j < deck.fileCount(); ++j)
        out << escaped(deck.fileCategory(j)) << '\t' << escaped(deck.fileSide1(j)) << '\t'
            << escaped(deck.fileSide2(j)) << '\n';
    return 0;
}

int resave(const QString &in, const QString &out)
{
    if (isInput(in, out))
        return refuseInput(out);
    mdk::Deck deck;
    int exitCode = 0;
    if (!load(in, deck, exitCode))
        return exitCode;
    // As the program's Save does: the view's cards go back into the file
    // first, so the open category ("Main") comes last.
    return save(deck, out);
}

// Undoes dump's escapes in one field; false on a backslash that starts none
// of them.
bool unescape(QStringView field, QString &text)
{
    text.clear();
    text.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c != u'\\') {
            text.append(c);
            continue;
        }
        if (++i == field.size())
            return false;
        switch (field[i].unicode()) {
        case u'\\': text.append(u'\\'); break;
        case u't': text.append(u'\t'); break;
        case u'n': text.append(u'\n'); break;
        case u'r': text.append(u'\r'); break;
        default: return false;
        }
    }
    return true;
}

// One line of standard input into the card's two sides; otherwise why it
// is no card.
QString parseCardLine(QByteArrayView line, QString &side1, QString &side2)
{
    // A spreadsheet may end its lines with CR LF; a text's own CR is "\r".
    if (line.endsWith('\r'))
        line.chop(1);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString decoded = decoder.decode(line);
    if (decoder.hasError())
        return QStringLiteral("is not UTF-8");
    if (decoded.contains(u'\r'))
        return QStringLiteral("holds a carriage return; write it as \\r");
    const qsizetype tab = decoded.indexOf(u'\t');
    if (tab < 0 || decoded.indexOf(u'\t', tab + 1) >= 0)
        return QStringLiteral("needs side 1, one tab, side 2");
    if (!unescape(QStringView(decoded).left(tab), side1) || !unescape(QStringView(decoded).mid(tab + 1), side2))
        return QStringLiteral("has a backslash that is none of \\\\ \\t \\n \\r");
    return QString();
}

int failLine(int number, const QString &why)
{
    return fail(QStringLiteral("standard input, line %1").arg(number), why);
}

// Appends the cards read from standard input to a category of IN, as the
// Add dialog's "Add another" does after the user opened that category in
// the tree, and writes OUT as Save does. Nothing is written unless every
// card went in.
int add(const QString &in, const QString &out, const QString &category)
{
    mdk::Deck deck;
    int exitCode = 0;
    ViewChoice view;
    view.category = category;
    if (!openViewToRewrite(in, out, deck, view, exitCode))
        return exitCode;

    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return fail(QStringLiteral("standard input"), QStringLiteral("cannot be read"));
    QByteArray bytes = input.readAll();
    if (bytes.startsWith("\xef\xbb\xbf")) // a UTF-8 signature, as spreadsheets write it
        bytes.remove(0, 3);
    QByteArrayView rest(bytes);
    QString side1, side2;
    for (int number = 1; !rest.isEmpty(); ++number) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        const QString why = parseCardLine(line, side1, side2);
        if (!why.isEmpty())
            return failLine(number, why);
        if (!mdk::edit::addCard(deck, side1, side2))
            return failLine(number, mdk::edit::kStoreFull);
    }

    return save(deck, out);
}

int addCommand(const QStringList &args)
{
    QStringList files;
    QString category = mdk::CategoryTree::kMainName;
    bool categoryGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--category")) {
            if (categoryGiven || ++i == args.size())
                return usage();
            category = args[i];
            categoryGiven = true;
        } else {
            files << args[i];
        }
    }
    return files.size() == 2 ? add(files[0], files[1], category) : usage();
}

int generate(const QStringList &args)
{
    mdk::generator::Settings settings;
    QStringList rest = args;
    if (!rest.isEmpty() && rest.first() == QLatin1String("--utf8")) {
        settings.utf8 = true;
        rest.removeFirst();
    }
    if (rest.size() != 2)
        return usage();
    bool ok = false;
    settings.cards = rest[0].toInt(&ok);
    if (!ok || settings.cards < 0 || rest[0].startsWith(QLatin1Char('+')))
        return usage();
    mdk::FileLock lock;
    int exitCode = 0;
    if (!lockOut(rest[1], lock, exitCode))
        return exitCode;
    const mdk::WriteResult written = mdk::generator::writeFile(settings, rest[1]);
    if (!written.ok)
        return fail(rest[1], QStringLiteral("cannot be written: ") + written.error);
    return 0;
}

} // namespace

int mdk::tool::usage()
{
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

int main(int argc, char *argv[])
{
#ifdef MDK_TOOL_HAS_PRINT
    // Drawing pages needs fonts, so print alone runs a GUI application.
    if (argc > 1 && std::strcmp(argv[1], "print") == 0)
        return printCommand(argc, argv);
#endif
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    // Options end at "--"; --force applies to every command that writes.
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    const qsizetype force = args.indexOf(QStringLiteral("--force"));
    if (force >= 0 && (end < 0 || force < end)) {
        forceWrite = true;
        args.removeAt(force);
    }

    if (command == QLatin1String("generate"))
        return generate(args);
    if (command == QLatin1String("resave"))
        return args.size() == 2 ? resave(args[0], args[1]) : usage();
    if (command == QLatin1String("add"))
        return addCommand(args);
    if (command == QLatin1String("find"))
        return findCommand(args);
    if (command == QLatin1String("dedupe"))
        return dedupeCommand(args);
    if (command == QLatin1String("shuffle"))
        return shuffleCommand(args);
    if (command == QLatin1String("flip"))
        return flipCommand(args);
    if (command == QLatin1String("move"))
        return mdk::tool::moveCommand(args);
    if (command == QLatin1String("convert"))
        return convertCommand(args);
    if (command == QLatin1String("merge"))
        return mergeCommand(args);
    if (command == QLatin1String("versions"))
        return versionsCommand(args);
    if (command == QLatin1String("restore"))
        return restoreCommand(args);
    if (command == QLatin1String("import"))
        return importCommand(args);
    if (command == QLatin1String("export"))
        return exportCommand(args);
    if (command == QLatin1String("stats"))
        return statsCommand(args);
    if (command == QLatin1String("review"))
        return reviewCommand(args);
    if (command == QLatin1String("progress"))
        return progressCommand(args);
    if (command == QLatin1String("optimise"))
        return optimiseCommand(args);

    using Reporter = int (*)(const mdk::Deck &);
    Reporter reporter = nullptr;
    if (command == QLatin1String("info"))
        reporter = info;
    else if (command == QLatin1String("tree"))
        reporter = tree;
    else if (command == QLatin1String("dump"))
        reporter = dump;
    if (!reporter || args.size() != 1)
        return usage();

    mdk::Deck deck;
    int exitCode = 0;
    if (!load(args[0], deck, exitCode))
        return exitCode;
    return reporter(deck);
}
