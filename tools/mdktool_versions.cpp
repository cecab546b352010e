// mdktool versions and restore: the earlier versions the program keeps of a
// card file at each save.

#include "core/deck/versions.h"
#include "mdktool_commands.h"

#include <QFileInfo>

namespace mdk::tool {

int versionsCommand(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    const QList<versions::Version> kept = versions::list(args[0]);
    // A file gone keeps its versions (they may be all that is left); a name
    // that never had any is most likely mistyped.
    if (kept.isEmpty() && !QFileInfo(args[0]).isFile())
        return fail(args[0], QStringLiteral("no such file"));
    Output out(stdout);
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const qint64 cards = kept[i].cards;
        out << QByteArray::number(i + 1) << '\t'
            << kept[i].time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t'
            << (cards < 0 ? QByteArray("?") : QByteArray::number(cards)) << '\t'
            << QByteArray::number(kept[i].size) << '\n';
    }
    return 0;
}

int restoreCommand(const QStringList &args)
{
    if (args.size() != 3)
        return usage();
    bool ok = false;
    const int n = args[1].toInt(&ok);
    if (!ok || n < 1 || args[1].startsWith(QLatin1Char('+')))
        return usage();
    // The versions are copies of the file: restoring over it would replace
    // it with no version of what it held.
    if (isInput(args[0], args[2]))
        return refuseInput(args[2]);
    const QList<versions::Version> kept = versions::list(args[0]);
    if (n > kept.size())
        return fail(args[0], QStringLiteral("has no version %1 (%2 kept)").arg(n).arg(kept.size()));
    Deck deck;
    int exitCode = 0;
    if (!load(kept[n - 1].path, deck, exitCode))
        return exitCode;
    return save(deck, args[2]);
}

} // namespace mdk::tool
