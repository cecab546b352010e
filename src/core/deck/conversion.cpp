#include "conversion.h"

#include "cardfile.h"
#include "encoding.h"
#include "safewrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mdk::conversion {

namespace {

// Earlier layouts are single-byte Windows-1252 by definition. The cards are
// written as Save writes them: single-byte, unless those bytes would read
// back as UTF-8 (and so as other text), in which case UTF-8. eachCard(card)
// calls card(side1, side2) for every card in order.
template <typename EachCard>
QByteArray writeCards(qsizetype reserve, EachCard eachCard)
{
    QByteArray out;
    for (TextEncoding target : {TextEncoding::Windows1252, TextEncoding::Utf8}) {
        out.clear();
        out.reserve(target == TextEncoding::Utf8 ? reserve + reserve / 2 : reserve);
        cardfile::FieldWriter writer(target, out);
        writer.raw(cardfile::kHeader);
        eachCard([&](std::string_view side1, std::string_view side2) {
            writer.field(side1, TextEncoding::Windows1252);
            writer.field(side2, TextEncoding::Windows1252);
            writer.raw(cardfile::kMainField);
        });
        if (encoding::detect(std::string_view(out.constData(), size_t(out.size()))) != TextEncoding::Utf8)
            break;
    }
    return out;
}

// Per card the converted file adds two terminators and "Main" plus its
// terminator to the texts, which are never longer than in the old file.
qsizetype bound(size_t oldSize, size_t cards)
{
    return qsizetype(cardfile::kHeader.size() + oldSize + cards * (2 + cardfile::kMainField.size()));
}

// The text of a fixed block: up to its first NUL, or the whole block.
std::string_view blockText(std::string_view block)
{
    const void *nul = std::memchr(block.data(), 0, block.size());
    return nul ? block.substr(0, size_t(static_cast<const char *>(nul) - block.data())) : block;
}

QByteArray convertBlocks(std::string_view old, size_t blockSize)
{
    const size_t blocks = (old.size() + blockSize - 1) / blockSize;
    return writeCards(bound(old.size(), (blocks + 1) / 2), [&](auto card) {
        for (size_t at = 0; at < old.size();) {
            const std::string_view side1 = blockText(old.substr(at, blockSize));
            at += blockSize;
            const std::string_view side2 =
                at < old.size() ? blockText(old.substr(at, blockSize)) : std::string_view();
            at += blockSize;
            card(side1, side2);
        }
    });
}

QByteArray convertFields(std::string_view old)
{
    // Each field ends at a terminator or at the end of the data.
    size_t fields = size_t(std::count(old.begin(), old.end(), cardfile::kTerminator));
    if (!old.empty() && old.back() != cardfile::kTerminator)
        ++fields;
    return writeCards(bound(old.size(), (fields + 1) / 2), [&](auto card) {
        cardfile::FieldReader reader(old);
        std::string_view side1, side2;
        while (reader.next(side1)) {
            if (!reader.next(side2))
                side2 = {};
            card(side1, side2);
        }
    });
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes bytes to a new file that must not exist yet; errno tells why not.
bool writeNewFile(const QByteArray &name, const QByteArray &bytes, mode_t mode)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(name.constData());
            errno = error;
            return false;
        }
        p += n;
        left -= n;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(name.constData());
        errno = error;
        return false;
    }
    return true;
}

QString candidateName(const QString &dir, const QString &name, int number)
{
    const QString stem = number == 1 ? name : name + QLatin1Char('-') + QString::number(number);
    return QDir(dir).filePath(stem + QStringLiteral(".bac"));
}

// Keeps the old bytes under the first free backup name and returns it, or
// an empty text with why set. A hard link costs nothing and survives the
// replacement (which renames a new file into place); a copy is made where
// linking is not possible, and also where the file is read-only or someone
// else's, because then the writer changes or overwrites that very inode.
QString makeBackup(const QString &path, const QString &target, const struct stat &info,
                   const QByteArray &oldBytes, QString &why)
{
    const QFileInfo fileInfo(path);
    const QString dir = fileInfo.absolutePath();
    const QString name = fileInfo.completeBaseName();
    const QByteArray targetName = QFile::encodeName(target);
    constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;
    bool mayLink = info.st_uid == ::geteuid() && (info.st_mode & kOwnerReadWrite) == kOwnerReadWrite;
    for (int number = 1; number < 100000; ++number) {
        const QString candidate = candidateName(dir, name, number);
        const QByteArray candidateBytes = QFile::encodeName(candidate);
        if (mayLink) {
            if (::linkat(AT_FDCWD, targetName.constData(), AT_FDCWD, candidateBytes.constData(), AT_SYMLINK_FOLLOW)
                == 0)
                return candidate;
            if (errno == EEXIST)
                continue;
            mayLink = false; // no links here: copy instead
        }
        if (writeNewFile(candidateBytes, oldBytes, info.st_mode & 0777))
            return candidate;
        if (errno == EEXIST)
            continue;
        why = QCoreApplication::translate("Mnemodeck", "The original could not be kept as %1 (%2), so the file was left as it was.")
                  .arg(QDir::toNativeSeparators(candidate), errnoText(errno));
        return QString();
    }
    why = QCoreApplication::translate("Mnemodeck", "No free name for a copy of the original was found beside it.");
    return QString();
}

} // namespace

QStringList versionNames()
{
    return {QCoreApplication::translate("Mnemodeck", "Version 1.00"), QCoreApplication::translate("Mnemodeck", "Version 2.01"), QCoreApplication::translate("Mnemodeck", "Version 3.01"),
            QCoreApplication::translate("Mnemodeck", "Later than 3.01")};
}

std::optional<Version> versionFromWord(QStringView word)
{
    if (word == u"1.00")
        return Version::V100;
    if (word == u"2.01")
        return Version::V201;
    if (word == u"3.01")
        return Version::V301;
    if (word == u"later")
        return Version::Later;
    return std::nullopt;
}

QString question(const QString &name)
{
    return name + QCoreApplication::translate("Mnemodeck", " appears to be of a previous format.  Do you want to convert it?");
}

QByteArray convertBytes(std::string_view old, Version version)
{
    switch (version) {
    case Version::V100:
    case Version::V201:
        return convertBlocks(old, 95);
    case Version::V301:
        return convertBlocks(old, 1001);
    case Version::Later:
        break;
    }
    return convertFields(old);
}

Result convertFile(const QString &path, Version version)
{
    Result result;
    const QFileInfo info(path);
    // A symbolic link is followed, as the writer follows it.
    const QString target = info.exists() ? info.canonicalFilePath() : path;
    struct stat st {};
    QFile file;
    if (!cardfile::openForReading(file, target) || ::fstat(file.handle(), &st) != 0) {
        result.status = Result::Status::CannotAccess;
        return result;
    }
    if (file.size() > cardfile::kMaxFileSize) {
        result.error = kTooLarge;
        return result;
    }
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = Result::Status::CannotAccess;
        return result;
    }
    file.close();
    const std::string_view oldView(old.constData(), size_t(old.size()));
    if (cardfile::testFormat(oldView) == cardfile::Format::Current) {
        result.status = Result::Status::AlreadyCurrent;
        return result;
    }

    const QByteArray converted = convertBytes(oldView, version);
    const QString backup = makeBackup(path, target, st, old, result.error);
    if (backup.isEmpty())
        return result;
    const WriteResult written = writeFileSafely(path, converted);
    if (!written.ok) {
        // The backup goes again only while the file still holds every old
        // byte; a writer that had to overwrite in place may have cut it.
        QFile check;
        if (cardfile::openForReading(check, target) && check.readAll() == old) {
            ::unlink(QFile::encodeName(backup).constData());
            result.error = written.error;
        } else {
            result.error = written.error + QCoreApplication::translate("Mnemodeck", " The original is kept as %1.")
                                               .arg(QDir::toNativeSeparators(backup));
        }
        return result;
    }
    result.status = Result::Status::Converted;
    result.backupPath = backup;
    return result;
}

} // namespace mdk::conversion
