// mdktool merge: the Merge dialog answered with a destination and a list of
// sources.

#include "core/deck/cardfile.h"
#include "core/deck/transfer.h"
#include "mdktool_commands.h"

#include <QFileInfo>

namespace mdk::tool {

int mergeCommand(const QStringList &args)
{
    if (args.size() < 2)
        return usage();
    const QString out = QFileInfo(args[0]).absoluteFilePath();
    QStringList sources;
    // Every input is checked before anything is written, as the dialog
    // checks its whole list first.
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &in = args[i];
        if (isInput(in, out))
            return fail(in, transfer::mergedIntoItself(in));
        switch (cardfile::testFormatOfFile(in)) {
        case cardfile::Format::NotFound:
            return fail(in, transfer::doesNotExist(in));
        case cardfile::Format::Earlier:
            return fail(in, QStringLiteral("is of an earlier layout; convert it first (mdktool convert)"));
        case cardfile::Format::Current:
            break;
        }
        sources << QFileInfo(in).absoluteFilePath();
    }
    FileLock lock;
    int exitCode = 0;
    if (!lockOut(out, lock, exitCode))
        return exitCode;
    const transfer::MergeResult merged = transfer::mergeFiles(sources, out);
    if (!merged.ok)
        return fail(args[0], merged.message);
    return 0;
}

} // namespace mdk::tool
