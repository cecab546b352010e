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
#include <cstring>
#include <string_view>

namespace mdk::versions {

namespace {

// yyyyMMdd-HHmmss-zzz-counter-cards.mdk: sorting the names sorts by age.
// Versions kept by earlier releases lack the card count.
const QRegularExpression kVersionName(QStringLiteral("^\\d{8}-\\d{6}-\\d{3}-\\d{4}(?:-(\\d{1,12}))?\\.mdk$"));

// The number a field of digits holds; -1 when it is none.
qint64 fieldNumber(const char *begin, const char *end)
{
    if (begin == end || end - begin > 12)
        return -1;
    qint64 n = 0;
    for (const char *p = begin; p != end; ++p) {
        if (*p < '0' || *p > '9')
            return -1;
        n = n * 10 + (*p - '0');
    }
    return n;
}

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
        const QRegularExpressionMatch match = kVersionName.match(entry.fileName());
        if (!match.hasMatch())
            continue;
        const QString cards = match.captured(1);
        out.append({entry.absoluteFilePath(), entry.lastModified(), entry.size(),
                    cards.isEmpty() ? countCards(entry.absoluteFilePath()) : cards.toLongLong()});
    }
    return out;
}

QString keep(const QString &path, int kept)
{
    const QFileInfo original(path);
    if (!original.isFile() || kept <= 0)
        return QString();
    const QString folder = folderFor(path);
    if (!QDir().mkpath(folder))
        return QCoreApplication::translate("Mnemodeck", "Cannot create the folder %1.").arg(QDir::toNativeSeparators(folder));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    // QFile::copy writes a temporary file of a unique name and renames it
    // without replacing anything: a name already taken moves the counter on.
    // The count goes into the name, so the list never reads a version.
    const qint64 cards = countCards(path);
    const QString countPart = cards < 0 ? QString() : QStringLiteral("-%1").arg(cards);
    QString error;
    bool copied = false;
    for (int counter = 0; counter < 10000 && !copied; ++counter) {
        const QString prefix = QStringLiteral("%1-%2").arg(stamp).arg(counter, 4, 10, QLatin1Char('0'));
        const QString name = QDir(folder).filePath(prefix + countPart + QStringLiteral(".mdk"));
        // A name of this time and counter with any count is taken.
        if (!QDir(folder).entryList({prefix + QStringLiteral("*")}, QDir::Files | QDir::System).isEmpty())
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
    const int stay = survivors(sizes, kept, kSizeFactor * original.size());
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

namespace mdk::versions {

qint64 countCards(const QString &path)
{
    QFile file;
    if (!cardfile::openForReading(file, path) || file.size() > cardfile::kMaxFileSize)
        return -1;
    if (file.size() == 0)
        return -1;
    const uchar *mapped = file.map(0, file.size());
    if (!mapped)
        return -1;
    const char *p = reinterpret_cast<const char *>(mapped);
    const char *const end = p + file.size();
    const auto nextField = [&](const char *&field, const char *&fieldEnd) {
        const void *bell = std::memchr(p, 0x07, size_t(end - p));
        if (!bell)
            return false;
        field = p;
        fieldEnd = static_cast<const char *>(bell);
        p = fieldEnd + 1;
        return true;
    };
    const char *field = nullptr, *fieldEnd = nullptr;
    if (!nextField(field, fieldEnd))
        return -1;
    const qint64 categories = fieldNumber(field, fieldEnd);
    if (categories < 1 || !nextField(field, fieldEnd) || std::string_view(field, size_t(fieldEnd - field)) != "Main"
        || !nextField(field, fieldEnd) || std::string_view(field, size_t(fieldEnd - field)) != "Root")
        return -1;
    for (qint64 i = 0; i < 2 * (categories - 1); ++i)
        if (!nextField(field, fieldEnd))
            return 0; // fewer categories than announced: no cards
    qint64 fields = 0;
    while (p < end) {
        const void *bell = std::memchr(p, 0x07, size_t(end - p));
        if (!bell)
            break;
        ++fields;
        p = static_cast<const char *>(bell) + 1;
    }
    return fields / 3;
}

} // namespace mdk::versions
