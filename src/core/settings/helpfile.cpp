#include "helpfile.h"

#include <QDir>
#include <QFileInfo>

namespace mdk::help {

QString locate(const Options &options, const QString &currentDirectory,
               const QStringList &installedDirectories)
{
    QStringList folders;
    if (options.KnowHelp && !options.HelpDirectory.isEmpty())
        folders << options.HelpDirectory;
    folders << currentDirectory << installedDirectories;
    for (const QString &folder : std::as_const(folders)) {
        const QString path = QDir(folder).filePath(kFileName);
        if (!folder.isEmpty() && QFileInfo(path).isFile())
            return path;
    }
    return kBuiltIn;
}

QString anchor(int topic)
{
    return topic == Index ? QStringLiteral("index") : QStringLiteral("topic%1").arg(topic);
}

} // namespace mdk::help
