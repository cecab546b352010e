// mdktool find and mdktool dedupe: the Search dialog's scan and its
// duplicate boxes, on a card file.

#include "core/search/search.h"
#include "mdktool_commands.h"

namespace mdk::tool {

namespace {

constexpr int kExitNotFound = 1;

// Splits the arguments into options (each as given) and operands; "--"
// makes everything after it an operand, so a TEXT may begin with "--".
void splitArguments(const QStringList &args, QStringList &options, QStringList &operands)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--")) {
            operands << args.mid(i + 1);
            return;
        }
        (args[i].startsWith(QLatin1String("--")) ? options : operands) << args[i];
    }
}

void printFound(Output &out, const Deck &deck, int card, int side)
{
    out << QByteArray::number(card + 1) << '\t' << QByteArray::number(side + 1) << '\t'
        << escaped(deck.viewSide1(card)) << '\t' << escaped(deck.viewSide2(card)) << '\n';
}

} // namespace

int findCommand(const QStringList &arguments)
{
    QStringList args = arguments;
    ViewChoice view;
    if (!takeViewOptions(args, view, true))
        return usage();
    search::Options options;
    bool all = false;
    QString from;
    QStringList flags, operands;
    // --from takes a value: join it to its option before splitting.
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--")) {
            flags << args.mid(i);
            break;
        }
        if (args[i] == QLatin1String("--from")) {
            if (!from.isNull() || i + 1 == args.size())
                return usage();
            from = args[++i];
        } else {
            flags << args[i];
        }
    }
    QStringList named;
    splitArguments(flags, named, operands);
    for (const QString &option : named) {
        bool *flag = option == QLatin1String("--case")    ? &options.caseSensitive
                     : option == QLatin1String("--whole") ? &options.wholeWords
                     : option == QLatin1String("--all")   ? &all
                                                          : nullptr;
        if (!flag || *flag)
            return usage();
        *flag = true;
    }
    if (operands.size() != 2 || (all && !from.isNull()))
        return usage();
    int current = 1;
    if (!from.isNull()) {
        bool ok = false;
        current = from.toInt(&ok);
        if (!ok || current < 1 || from.startsWith(QLatin1Char('+')))
            return usage();
    }

    Deck deck;
    int exitCode = 0;
    if (!openView(operands[0], deck, view, exitCode))
        return kExitUsage; // find keeps exit 1 for "not found"
    if (const QString refused = search::refusal(deck); !refused.isEmpty()) {
        fail(operands[0], refused);
        return kExitUsage;
    }
    if (current > deck.viewCount()) {
        fail(operands[0], QStringLiteral("--from %1: the view has %2 cards").arg(current).arg(deck.viewCount()));
        return kExitUsage;
    }
    // The dialog searches with the first characters of its field only.
    const QString pattern = operands[1].left(search::kPatternChars);

    Output out(stdout);
    if (all) {
        bool any = false;
        for (int k = 0; k < deck.viewCount(); ++k) {
            for (int side = 0; side < 2; ++side) {
                const QString &text = side == 0 ? deck.viewSide1(k) : deck.viewSide2(k);
                if (search::matches(text, pattern, options)) {
                    printFound(out, deck, k, side);
                    any = true;
                    break;
                }
            }
        }
        return any ? 0 : kExitNotFound;
    }
    const auto found = search::scan(deck, current - 1, pattern, options);
    if (!found)
        return kExitNotFound;
    printFound(out, deck, found->card, found->side);
    return 0;
}

int dedupeCommand(const QStringList &arguments)
{
    QStringList args = arguments;
    ViewChoice view;
    if (!takeViewOptions(args, view, false))
        return usage();
    QString sides;
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--side")) {
            if (!sides.isNull() || i + 1 == args.size())
                return usage();
            sides = args[++i];
        } else {
            rest << args[i];
        }
    }
    QStringList named, operands;
    splitArguments(rest, named, operands);
    const bool side1 = sides == QLatin1String("1") || sides == QLatin1String("both");
    const bool side2 = sides == QLatin1String("2") || sides == QLatin1String("both");
    if (!named.isEmpty() || operands.size() != 2 || !(side1 || side2))
        return usage();
    const QString &in = operands[0], &out = operands[1];
    Deck deck;
    int exitCode = 0;
    if (!openViewToRewrite(in, out, deck, view, exitCode))
        return exitCode;
    // The dialog's order: side 1 first, then side 2 on what is left.
    if (side1)
        search::removeDuplicates(deck, 0);
    if (side2)
        search::removeDuplicates(deck, 1);
    if (const int written = save(deck, out))
        return written;

    // What Undelete all would bring back, oldest first, into the category
    // the cards came from.
    Output lines(stdout);
    const QByteArray category = escaped(deck.oldTreeName());
    for (int u = 0; u < deck.deletedCount(); ++u)
        lines << category << '\t' << escaped(deck.deletedSide1(u)) << '\t' << escaped(deck.deletedSide2(u)) << '\n';
    return 0;
}

} // namespace mdk::tool
