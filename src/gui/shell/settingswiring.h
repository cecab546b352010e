#pragma once

#include "core/settings/registration.h"
#include "core/settings/settingsstore.h"

#include <QString>

#include <vector>

class QMainWindow;

namespace mdk {

class MDKMainDlg;

// Connects the settings store to the main dialog: the settings are read
// during set-up and written at every close attempt (and again after a save
// made on the way out, so that a file saved under a new name is listed next
// time); start-up also registers card files with the desktop and puts the
// empty card-file template into the templates folder.
class SettingsWiring {
public:
    // loadDirectory is where a help file is looked for when no help folder
    // is stored: the card file's folder when one was named to open.
    SettingsWiring(MDKMainDlg &dlg, QMainWindow &frame, const QString &currentUserFile,
                   const QString &classesRootFile, const QString &loadDirectory);

    SettingsStore &store() { return store_; }

    // The card-file type and the template. dataHome is $XDG_DATA_HOME,
    // templates the templates folder.
    void registerWithDesktop(const QString &programPath, const QString &dataHome,
                             const QString &templates);

    // The second icon at the sizes the desktop asks for, as PNG.
    static std::vector<registration::Icon> cardFileIcons();

private:
    void load();
    void save();

    MDKMainDlg &dlg_;
    QMainWindow &frame_;
    SettingsStore store_;
    QString loadDirectory_;
};

} // namespace mdk
