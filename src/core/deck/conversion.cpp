#include "conversion.h"

namespace mdk::conversion {

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

QByteArray convertBytes(std::string_view, Version)
{
    return {};
}

QString backupPathFor(const QString &)
{
    return {};
}

Result convertFile(const QString &, Version)
{
    return {};
}

} // namespace mdk::conversion
