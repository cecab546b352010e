#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace mdk {

// The two settings stores the program keeps: the current user's (options,
// window positions, the card font, the recent files) and the classes root
// (the card-file type registration). Each is an INI file; a key path such as
// "Software\Mnemodeck\Startup\Config" becomes the group path
// "Software/Mnemodeck/Startup/Config". A key's unnamed ("default") value is
// kept under the value name "Default".
class SettingsStore {
public:
    // The value buffer of a reader holds at most this many characters; a
    // longer stored value is cut, never overflows.
    static constexpr int kRegStringSize = 1000;
    static inline const QString kDefaultValue = QStringLiteral("Default");

    SettingsStore(const QString &currentUserFile, const QString &classesRootFile);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // $XDG_CONFIG_HOME/Mnemodeck/Mnemodeck.ini and
    // $XDG_DATA_HOME/Mnemodeck/classes.ini.
    static QString standardCurrentUserFile();
    static QString standardClassesRootFile();

    // Writers: create the key when needed and store the text. A failure is
    // not reported (a settings store that cannot be written costs nothing
    // but the remembered options).
    void SetInfo(const QString &subKey, const QString &valueId, const QString &newText);
    void SetRegInfo(const QString &subKey, const QString &valueId, const QString &newText);

    // Readers: true when the value exists; its text (cut to kRegStringSize)
    // is then in RegString(). A missing value leaves RegString() as it was.
    bool RetrieveInfo(const QString &subKey, const QString &valueId);
    bool RetrieveSettings(const QString &subKey, const QString &valueId);

    const QString &RegString() const { return regString_; }

    // Writes pending changes of both stores to disk.
    void sync();

    QString currentUserFile() const;
    QString classesRootFile() const;

private:
    static QString keyOf(const QString &subKey, const QString &valueId);
    void write(QSettings &store, const QString &subKey, const QString &valueId, const QString &text);
    bool read(QSettings &store, const QString &subKey, const QString &valueId);

    std::unique_ptr<QSettings> currentUser_;
    std::unique_ptr<QSettings> classesRoot_;
    QString regString_;
};

} // namespace mdk
