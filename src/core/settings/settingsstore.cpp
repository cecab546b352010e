#include "settingsstore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace mdk {

SettingsStore::SettingsStore(const QString &currentUserFile, const QString &classesRootFile)
    : currentUser_(std::make_unique<QSettings>(currentUserFile, QSettings::IniFormat)),
      classesRoot_(std::make_unique<QSettings>(classesRootFile, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::standardCurrentUserFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Mnemodeck/Mnemodeck.ini");
}

QString SettingsStore::standardClassesRootFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Mnemodeck/classes.ini");
}

QString SettingsStore::keyOf(const QString &subKey, const QString &valueId)
{
    QString group = subKey;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (group.endsWith(QLatin1Char('/')))
        group.chop(1);
    const QString name = valueId.isEmpty() ? kDefaultValue : valueId;
    return group.isEmpty() ? name : group + QLatin1Char('/') + name;
}

void SettingsStore::write(QSettings &store, const QString &subKey, const QString &valueId,
                          const QString &text)
{
    store.setValue(keyOf(subKey, valueId), text);
}

bool SettingsStore::read(QSettings &store, const QString &subKey, const QString &valueId)
{
    const QVariant value = store.value(keyOf(subKey, valueId));
    if (!value.isValid())
        return false;
    // A value edited by hand with an unquoted comma comes back as a list.
    QString text = value.typeId() == QMetaType::QStringList
                       ? value.toStringList().join(QStringLiteral(", "))
                       : value.toString();
    if (text.size() > kRegStringSize)
        text.truncate(kRegStringSize);
    regString_ = text;
    return true;
}

void SettingsStore::SetInfo(const QString &subKey, const QString &valueId, const QString &newText)
{
    write(*currentUser_, subKey, valueId, newText);
}

void SettingsStore::SetRegInfo(const QString &subKey, const QString &valueId, const QString &newText)
{
    write(*classesRoot_, subKey, valueId, newText);
}

bool SettingsStore::RetrieveInfo(const QString &subKey, const QString &valueId)
{
    return read(*currentUser_, subKey, valueId);
}

bool SettingsStore::RetrieveSettings(const QString &subKey, const QString &valueId)
{
    return read(*classesRoot_, subKey, valueId);
}

void SettingsStore::sync()
{
    currentUser_->sync();
    classesRoot_->sync();
}

QString SettingsStore::currentUserFile() const
{
    return currentUser_->fileName();
}

QString SettingsStore::classesRootFile() const
{
    return classesRoot_->fileName();
}

} // namespace mdk
