#include "filenames.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace mdk::names
