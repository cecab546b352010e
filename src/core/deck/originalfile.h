#pragma once

#include "core/appinfo.h"

#include <QString>

namespace mdk::originalfile {

using appinfo::kTemplateName;

// The user's templates folder: what `xdg-user-dir TEMPLATES` names, or
// ~/Templates when it names nothing but the home folder (its answer for an
// unset entry) or cannot be run.
QString templatesFolder();

// Puts the empty card file "mdk430.mdk" into folder, so that a file
// manager's "New document" menu offers it. Only when the folder exists (it is
// never created) and holds no such file yet. True when the file was written.
bool CreateOriginalFile(const QString &folder);

} // namespace mdk::originalfile
