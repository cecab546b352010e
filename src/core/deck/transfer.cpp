#include "transfer.h"

#include <QDir>
#include <QFileInfo>

namespace mdk::transfer {

QString doesNotExist(const QString &listedName)
{
    return listedName + QStringLiteral(" does not exist.");
}

QString addedSourceName(const QString &typed)
{
    return typed.contains(QLatin1Char('.')) ? typed : typed + QStringLiteral(".mdk");
}

QString browsedName(const QString &title)
{
    return title.contains(QLatin1Char('.')) ? title : title + QStringLiteral(".MDK");
}

QString resolve(const QString &name, const QString &dir)
{
    return QDir::cleanPath(QDir(dir).absoluteFilePath(name));
}

MergeResult mergeFiles(const QStringList &, const QString &)
{
    return {};
}

InsertResult insertFile(const QString &, Deck &, const QString &)
{
    return {};
}

InsertResult insertBytes(std::string_view, Deck &, const QString &)
{
    return {};
}

QString copyTarget(const QString &destination, const QString &dir)
{
    QString name = destination;
    if (!name.contains(QLatin1Char('.')))
        name += QStringLiteral(".MDK");
    if (!name.toLower().contains(QStringLiteral(".mdk")))
        name += QStringLiteral(".mdk");
    return resolve(name, dir);
}

WriteResult appendCard(const QString &, const QString &, const QString &)
{
    return {};
}

} // namespace mdk::transfer
