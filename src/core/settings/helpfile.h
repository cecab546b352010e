#pragma once

#include "core/appinfo.h"
#include "core/settings/options.h"

#include <QString>
#include <QStringList>

namespace mdk::help {

inline const QString &kFileName = appinfo::kHelpFileName;
// The copy built into the program, used when no file is found on disk.
inline const QString kBuiltIn = QStringLiteral(":/help/mdeck43.hlp");

// Help topics of the dialogs' Help buttons; 0 is the index.
enum Topic {
    Index = 0,
    AddCard = 1,
    CopyToFile = 3,
    EditCard = 4,
    Merge = 5,
    Search = 6,
    Shuffle = 7,
    Convert = 8,
    Jump = 9,
    Undelete = 10,
    Move = 11,
    Print = 12,
};

// The help file to open: in the known help folder, else in the current
// folder, else in one of the installed data folders, else the built-in copy.
QString locate(const Options &options, const QString &currentDirectory,
               const QStringList &installedDirectories);
// The anchor a topic starts at in the help file.
QString anchor(int topic);

} // namespace mdk::help
