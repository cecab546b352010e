#include "conversion.h"

#include "cardfile.h"
#include "safewrite.h"

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

constexpr std::string_view kHeader{"1\aMain\aRoot\a"};
constexpr std::string_view kCardTail{"Main\a"};

// Writes the converted file into a buffer sized once for the worst case, so
// that no byte is moved twice and memory never holds a spare copy.
class Writer {
public:
    explicit Writer(qsizetype bound) : out_(bound, Qt::Uninitialized), at_(out_.data()) { put(kHeader); }

    void put(std::string_view bytes)
    {
        std::memcpy(at_, bytes.data(), bytes.size());
        at_ += bytes.size();
    }
    // A side text: the bytes as they are, less any 0x07 or NUL, which would
    // end or split the field. The caller's split already excludes one of
    // the two, so only the other (stray) is looked for.
    void side(std::string_view text, char stray)
    {
        const char *p = text.data();
        const size_t n = text.size();
        if (n == 0) {
            // nothing to copy (an empty text may have no storage at all)
        } else if (!std::memchr(p, stray, n)) {
            std::memcpy(at_, p, n);
            at_ += n;
        } else {
            for (size_t i = 0; i < n; ++i)
                if (p[i] != stray)
                    *at_++ = p[i];
        }
        *at_++ = cardfile::kTerminator;
    }
    void card(std::string_view side1, std::string_view side2, char stray)
    {
        side(side1, stray);
        side(side2, stray);
        put(kCardTail);
    }
    QByteArray take()
    {
        out_.truncate(at_ - out_.constData());
        return std::move(out_);
    }

private:
    QByteArray out_;
    char *at_;
};

// Per card the converted file adds two terminators and "Main" plus its
// terminator to the texts, which are never longer than in the old file.
qsizetype bound(size_t oldSize, size_t cards)
{
    return qsizetype(kHeader.size() + oldSize + cards * (2 + kCardTail.size()));
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
    Writer writer(bound(old.size(), (blocks + 1) / 2));
    for (size_t at = 0; at < old.size();) {
        const std::string_view side1 = blockText(old.substr(at, blockSize));
        at += blockSize;
        const std::string_view side2 = at < old.size() ? blockText(old.substr(at, blockSize)) : std::string_view();
        at += blockSize;
        writer.card(side1, side2, cardfile::kTerminator); // a block's text ends at its NUL
    }
    return writer.take();
}

QByteArray convertFields(std::string_view old)
{
    // Each field ends at a terminator or at the end of the data.
    size_t fields = size_t(std::count(old.begin(), old.end(), cardfile::kTerminator));
    if (!old.empty() && old.back() != cardfile::kTerminator)
        ++fields;
    Writer writer(bound(old.size(), (fields + 1) / 2));
    cardfile::FieldReader reader(old);
    std::string_view side1, side2;
    while (reader.next(side1)) {
        if (!reader.next(side2))
            side2 = {};
        writer.card(side1, side2, '\0'); // a field ends at its terminator
    }
    return writer.take();
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
        why = QStringLiteral("The original could not be kept as %1 (%2), so the file was left as it was.")
                  .arg(QDir::toNativeSeparators(candidate), errnoText(errno));
        return QString();
    }
    why = QStringLiteral("No free name for a copy of the original was found beside it.");
    return QString();
}

} // namespace

QStringList versionNames()
{
    return {QStringLiteral("Version 1.00"), QStringLiteral("Version 2.01"), QStringLiteral("Version 3.01"),
            QStringLiteral("Later than 3.01")};
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
    return name + QStringLiteral(" appears to be of a previous format.  Do you want to convert it?");
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

QString backupPathFor(const QString &path)
{
    const QFileInfo info(path);
    for (int number = 1;; ++number) {
        const QString candidate = candidateName(info.absolutePath(), info.completeBaseName(), number);
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

Result convertFile(const QString &path, Version version)
{
    Result result;
    const QFileInfo info(path);
    // A symbolic link is followed, as the writer follows it.
    const QString target = info.exists() ? info.canonicalFilePath() : path;
    struct stat st {};
    QFile file(target);
    if (info.isDir() || ::stat(QFile::encodeName(target).constData(), &st) != 0 || !file.open(QIODevice::ReadOnly)) {
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
        QFile check(target);
        if (check.open(QIODevice::ReadOnly) && check.readAll() == old) {
            ::unlink(QFile::encodeName(backup).constData());
            result.error = written.error;
        } else {
            result.error = written.error + QStringLiteral(" The original is kept as %1.")
                                               .arg(QDir::toNativeSeparators(backup));
        }
        return result;
    }
    result.status = Result::Status::Converted;
    result.backupPath = backup;
    return result;
}

} // namespace mdk::conversion
