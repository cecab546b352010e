// mdktool move: the Move command's dialog answered with a destination, on a
// card file.

#include "core/category/categorycommands.h"
#include "core/edit/cardedit.h"
#include "mdktool_commands.h"

namespace mdk::tool {

int moveCommand(const QStringList &arguments)
{
    QStringList args = arguments;
    ViewChoice view;
    if (!takeViewOptions(args, view, false))
        return usage();
    QString to, cardText;
    bool all = false;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--")) {
            files << args.mid(i + 1);
            break;
        }
        if (a == QLatin1String("--all")) {
            if (all)
                return usage();
            all = true;
        } else if (a == QLatin1String("--to") || a == QLatin1String("--card")) {
            QString &value = a == QLatin1String("--to") ? to : cardText;
            if (!value.isNull() || i + 1 == args.size())
                return usage();
            value = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage();
        } else {
            files << a;
        }
    }
    // Exactly one of --card and --all; a destination; IN and OUT.
    if (to.isNull() || all == !cardText.isNull() || files.size() != 2)
        return usage();
    int card = 0;
    if (!all) {
        bool ok = false;
        card = cardText.toInt(&ok);
        if (!ok || card < 1 || cardText.startsWith(QLatin1Char('+')))
            return usage();
    }

    const QString &in = files[0], &out = files[1];
    Deck deck;
    int exitCode = 0;
    if (!openViewToRewrite(in, out, deck, view, exitCode))
        return exitCode;
    if (const QString refused = category::moveRefusal(deck); !refused.isEmpty())
        return fail(in, refused);
    if (!all && card > deck.viewCount())
        return fail(in, QStringLiteral("there is no card %1 in %2 (%3 cards)")
                            .arg(card).arg(view.category).arg(deck.viewCount()));
    deck.setCurrentCard(card - 1, deck.side());
    // A name that no node carries is a dialog with nothing selected.
    const bool known = deck.tree().contains(to);
    switch (category::moveCards(deck, known ? &to : nullptr, all)) {
    case category::MoveResult::NoDestination:
        return fail(in, category::kNoDestination);
    case category::MoveResult::SameCategory:
        return fail(in, category::kSameCategory);
    case category::MoveResult::StoreFull:
        return fail(in, edit::kStoreFull);
    case category::MoveResult::Moved:
        break;
    }
    return save(deck, out);
}

} // namespace mdk::tool
