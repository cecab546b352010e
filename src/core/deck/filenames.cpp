#include "filenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace mdk::names {

namespace {
const QString kExt = QStringLiteral(".mdk");
}

QString onDiskName(const QString &baseName)
{
    const QString folded = baseName.toLower();
    return folded.endsWith(kExt) ? folded : folded + kExt;
}

QString displayName(const QString &name)
{
    if (name.endsWith(QStringLiteral("mdk"), Qt::CaseInsensitive))
        return name.left(qMax<qsizetype>(0, name.size() - 4));
    return name;
}

QString saveAsTarget(const QString &chosenName)
{
    return chosenName.endsWith(kExt, Qt::CaseInsensitive) ? chosenName : chosenName + kExt;
}

QString saveSeparatelyTarget(const QString &chosenName)
{
    return chosenName.endsWith(kExt) ? chosenName : chosenName + kExt;
}

QString resolveCaseInsensitive(const QString &dir, const QString &name)
{
    const QDir d(dir);
    const QString exact = d.filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries =
        d.entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDir::Name);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return d.filePath(entry);
    return exact;
}

QString resolve(const QString &name, const QString &dir)
{
    const QString path = QDir::cleanPath(QDir(dir).absoluteFilePath(name));
    if (QFileInfo::exists(path))
        return path;
    const QFileInfo info(path);
    return resolveCaseInsensitive(info.absolutePath(), info.fileName());
}

QString locateCardFile(const QString &dir, const QString &displayName)
{
    const QString ownCase = QDir(dir).filePath(saveAsTarget(displayName));
    if (QFileInfo(ownCase).isFile())
        return ownCase;
    for (const QString &candidate :
         {resolveCaseInsensitive(dir, onDiskName(displayName)), resolveCaseInsensitive(dir, displayName)})
        if (QFileInfo(candidate).isFile())
            return candidate;
    return ownCase;
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {}, sb {};
    const bool hasA = ::stat(QFile::encodeName(a).constData(), &sa) == 0;
    const bool hasB = ::stat(QFile::encodeName(b).constData(), &sb) == 0;
    if (hasA && hasB)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (hasA || hasB)
        return false;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace mdk::names
