#include "commandline.h"

#include "core/deck/filenames.h"

#include <QDir>
#include <QFileInfo>

namespace mdk {

StartupFile parseCommandLine(const QStringList &args, const QString &workingDirectory)
{
    StartupFile result;
    result.LoadStartupPath = workingDirectory;
    QString text = args.join(QLatin1Char(' '));
    if (!text.endsWith(QStringLiteral(".mdk"), Qt::CaseInsensitive))
        return result;
    text.chop(4);
    result.LoadStartupSure = true;

    const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0) {
        const QString dir = slash == 0 ? QStringLiteral("/") : text.left(slash);
        result.LoadStartupPath = QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(dir));
        result.LoadStartupFile = text.mid(slash + 1);
    } else {
        result.LoadStartupFile = text;
    }

    // The entry as it is really spelled on disk, when there is one.
    const QString typed = result.LoadStartupFile + QStringLiteral(".mdk");
    const QString found = names::resolveCaseInsensitive(result.LoadStartupPath, typed);
    if (QFileInfo::exists(found))
        result.LoadStartupFile = names::displayName(QFileInfo(found).fileName());
    return result;
}

} // namespace mdk
