#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>

// Turns card files of the earlier layouts into the current one.
namespace mdk::conversion {

// In the order the Convert File dialog lists them.
enum class Version { V100 = 0, V201 = 1, V301 = 2, Later = 3 };

// "Version 1.00", "Version 2.01", "Version 3.01", "Later than 3.01".
QStringList versionNames();
// The command-line words "1.00", "2.01", "3.01", "later"; nothing for
// anything else.
std::optional<Version> versionFromWord(QStringView word);

inline const QString kAutoConvert = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Auto Convert"));
inline const QString kConvertCaption = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Convert file"));
inline const QString kAlreadyCurrent = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "File is already in Mnemodeck 4.30 format.  Cannot convert it."));
inline const QString kTooLarge = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "The file is too large to convert."));
inline const QString kCannotAccess = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Cannot access the file to convert."));
inline const QString kRefused = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Cannot continue to load this file.  It is of a previous and unintelligible format."));

// name + " appears to be of a previous format.  Do you want to convert it?"
QString question(const QString &name);

// The bytes of the converted file: "1", "Main", "Root", then side 1,
// side 2, "Main" per card, each field followed by 0x07. The old texts are
// Windows-1252 and are written as Save writes a deck: the same bytes, or
// all of it as UTF-8 when those bytes would read back as UTF-8. 0x07 and
// NUL never reach a card.
// V100/V201 hold each side in a 95-byte block, V301 in a 1001-byte block:
// the text is the bytes up to the first NUL (all of them when there is
// none), a short last block is still a block and a missing side 2 is empty.
// Later files hold 0x07-terminated fields of any length. One pass.
QByteArray convertBytes(std::string_view old, Version version);

struct Result {
    enum class Status { Converted, AlreadyCurrent, CannotAccess, Failed };
    Status status = Status::Failed;
    QString backupPath; // where the old bytes were kept (Converted only)
    QString error;      // why, for the user (Failed only)
};

// Converts the file at path in place without ever risking the only copy:
// the old bytes are kept beside it first (NAME.bac, NAME being the file name
// less its last suffix, or the first free NAME-2.bac, NAME-3.bac, ...; a
// hard link where possible, else a copy, an existing backup is never
// replaced), then the
// new bytes replace the file through writeFileSafely. A current file is
// left alone (AlreadyCurrent); an unreadable one gives CannotAccess. On any
// failure the file is untouched and the backup this call made is removed.
Result convertFile(const QString &path, Version version);

} // namespace mdk::conversion
