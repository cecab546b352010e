#include "versions.h"

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"
#include "core/deck/filelock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace mdk::versions {

namespace {

// yyyyMMdd-HHmmss-zzz-counter.mdk: sorting the names sorts by age.
const QRegularExpression kVersionName(QStringLiteral("^\\d{8}-\\d{6}-\\d{3}-\\d{4}\\.mdk$"));

} // namespace

QString folderFor(const QString &path)
{
    return QDir(stateFolder()).filePath(QStringLiteral("versions/") + fileKey(path));
}

int survivors(const std::vector<qint64> &sizesNewestFirst, int kept, qint64 cap)
{
    int n = 0;
    qint64 total = 0;
    for (const qint64 size : sizesNewestFirst) {
        if (n >= kept || (n > 0 && total + size > cap))
            break;
        total += size;
        ++n;
    }
    return n;
}

QList<Version> list(const QString &path)
{
    QList<Version> out;
    const QDir dir(folderFor(path));
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::Reversed);
    for (const QFileInfo &entry : entries) {
        if (kVersionName.match(entry.fileName()).hasMatch())
            out.append({entry.absoluteFilePath(), entry.lastModified(), entry.size()});
    }
    return out;
}

QString keep(const QString &path, int kept)
{
    const QFileInfo original(path);
    if (!original.isFile())
        return QString();
    const QString folder = folderFor(path);
    if (!QDir().mkpath(folder))
        return QCoreApplication::translate("Mnemodeck", "Cannot create the folder %1.").arg(QDir::toNativeSeparators(folder));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    // QFile::copy writes a temporary file of a unique name and renames it
    // without replacing anything: a name already taken moves the counter on.
    QString error;
    bool copied = false;
    for (int counter = 0; counter < 10000 && !copied; ++counter) {
        const QString name = QDir(folder).filePath(
            QStringLiteral("%1-%2.mdk").arg(stamp).arg(counter, 4, 10, QLatin1Char('0')));
        if (QFileInfo::exists(name))
            continue;
        QFile source(path);
        copied = source.copy(name);
        if (copied) {
            QFile copy(name);
            // The list shows when this content was written, not when it was kept.
            if (copy.open(QIODevice::ReadWrite))
                copy.setFileTime(original.lastModified(), QFileDevice::FileModificationTime);
        } else {
            error = source.errorString();
            if (QFileInfo::exists(name))
                continue; // another writer took the name meanwhile
            break;
        }
    }
    if (!copied)
        return QCoreApplication::translate("Mnemodeck", "Cannot keep an earlier version of %1: %2").arg(original.fileName(), error);

    const QList<Version> all = list(path);
    std::vector<qint64> sizes;
    sizes.reserve(size_t(all.size()));
    for (const Version &v : all)
        sizes.push_back(v.size);
    const int stay = survivors(sizes, std::max(kept, 1), kSizeFactor * original.size());
    for (qsizetype i = stay; i < all.size(); ++i)
        QFile::remove(all[i].path);
    return QString();
}

int cardCount(const QString &versionPath)
{
    Deck deck;
    const cardfile::ReadResult result = cardfile::read(versionPath, deck);
    return result.opened ? result.report.cards : -1;
}

} // namespace mdk::versions
