#include "settingswiring.h"

#include "gui/shell/mdkmaindlg.h"
#include "core/settings/settings.h"
#include "gui/files/filecommands.h"
#include "core/deck/originalfile.h"

#include <QBuffer>
#include <QImage>
#include <QMainWindow>
#include <QScreen>

namespace mdk {

SettingsWiring::SettingsWiring(MDKMainDlg &dlg, QMainWindow &frame, const QString &currentUserFile,
                               const QString &classesRootFile, const QString &loadDirectory)
    : dlg_(dlg), frame_(frame), store_(currentUserFile, classesRootFile), loadDirectory_(loadDirectory)
{
    dlg_.hooks.loadSettings = [this] { load(); };
    dlg_.hooks.saveSettings = [this] { save(); };
    dlg_.hooks.saveFile = [this] {
        const bool saved = dlg_.fileCommands().SaveFile();
        if (saved)
            save();
        return saved;
    };
}

void SettingsWiring::load()
{
    settings::readFramePosition(store_, dlg_.options);
    settings::LoadINI(store_, dlg_.options, loadDirectory_);
    dlg_.UpdateFileMenu();
}

void SettingsWiring::save()
{
    settings::FramePlacement placement;
    placement.topLeft = frame_.pos();
    placement.frameSize = frame_.frameGeometry().size();
    if (const QScreen *screen = frame_.screen())
        placement.screenSize = screen->size();
    else
        placement.screenSize = placement.frameSize;
    settings::SaveINI(store_, dlg_.options, placement);
}

void SettingsWiring::registerWithDesktop(const QString &programPath, const QString &dataHome,
                                         const QString &templates)
{
    registration::Setup setup;
    setup.programPath = programPath;
    setup.dataHome = dataHome;
    setup.icons = cardFileIcons();
    registration::RegisterProgram(store_, setup);
    originalfile::CreateOriginalFile(templates);
}

std::vector<registration::Icon> SettingsWiring::cardFileIcons()
{
    std::vector<registration::Icon> icons;
    const QImage art(QStringLiteral(":/icons/icon2.png"));
    if (art.isNull())
        return icons;
    // Whole multiples keep the pixel art sharp.
    for (int scale : {1, 2, 4}) {
        const QImage image = art.scaled(art.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (image.save(&buffer, "PNG"))
            icons.push_back({image.width(), png});
    }
    return icons;
}

} // namespace mdk
