// mdktool convert: the Convert command on a copy, the original left alone.

#include "core/deck/cardfile.h"
#include "core/deck/conversion.h"
#include "core/deck/safewrite.h"
#include "mdktool_commands.h"

#include <QFile>

namespace mdk::tool {

int convertCommand(const QStringList &args)
{
    if (args.size() != 3)
        return usage();
    const std::optional<conversion::Version> version = conversion::versionFromWord(args[0]);
    if (!version)
        return usage();
    const QString &in = args[1];
    const QString &out = args[2];
    if (isInput(in, out))
        return refuseInput(out);

    QFile file;
    if (!cardfile::openForReading(file, in))
        return fail(in, conversion::kCannotAccess);
    if (file.size() > cardfile::kMaxFileSize)
        return fail(in, conversion::kTooLarge);
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(in, conversion::kCannotAccess);
    file.close();
    const std::string_view bytes(old.constData(), size_t(old.size()));
    if (cardfile::testFormat(bytes) == cardfile::Format::Current)
        return fail(in, conversion::kAlreadyCurrent);

    FileLock lock;
    int exitCode = 0;
    if (!lockOut(out, lock, exitCode))
        return exitCode;
    const WriteResult written = writeFileSafely(out, conversion::convertBytes(bytes, *version));
    if (!written.ok)
        return fail(out, QStringLiteral("cannot be written: ") + written.error);
    return 0;
}

} // namespace mdk::tool
