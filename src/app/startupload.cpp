// The start-up load and the reader's window side: messages, caption and
// status line around mdk::cardfile::read.

#include "app/mdkmaindlg.h"
#include "app/waitcursor.h"
#include "deck/cardfile.h"
#include "deck/filenames.h"

#include <QFile>

namespace mdk {

namespace {
const QString kFileOpen = QStringLiteral("File Open");
}

bool MDKMainDlg::FileLoad(const QString &baseName, const QString &directory)
{
    // The lower-cased on-disk name may be spelled otherwise on a
    // case-sensitive disk: reach the entry that is really there.
    const QString path = names::resolveCaseInsensitive(directory, names::onDiskName(baseName));
    std::optional<WaitCursor> wait(std::in_place);

    if (cardfile::testFormatOfFile(path) == cardfile::Format::Earlier) {
        // Conversion of earlier layouts is not available yet: refuse.
        wait.reset();
        dialogs().stop(this, QStringLiteral("Auto Convert"),
                       QStringLiteral("Cannot continue to load this file.  It is of a previous and "
                                      "unintelligible format."));
        return false;
    }

    const cardfile::ReadResult result = cardfile::read(path, deck);
    wait.reset();
    if (!result.opened) {
        dialogs().warn(this, kFileOpen, QStringLiteral("An error occured.  The file could not be opened."));
        return false;
    }
    if (result.report.storeFull)
        dialogs().warn(this, QStringLiteral("Load"),
                       QStringLiteral("Cannot load all the cards in this file.  Your file has exceeded "
                                      "the maximum possible size"));

    const QString shown = names::displayName(baseName);
    setCaption(QStringLiteral("Mnemodeck - ") + shown);
    RefreshTree();
    scrollposition = 0;
    ShowStatusMessage(shown + QStringLiteral(": ") + QString::number(result.report.cards)
                      + QStringLiteral(" cards"));
    SetText();
    updateCommands();
    return true;
}

void MDKMainDlg::LoadStartupFileFn(const StartupFile &startup)
{
    if (!startup.LoadStartupSure)
        return;
    QString name = startup.LoadStartupFile;
    if (name.endsWith(QStringLiteral("mdk"), Qt::CaseInsensitive))
        name.chop(4);
    ProtectedFileName = name;
    ProtectedFilePath = startup.LoadStartupPath;

    const QString path = names::resolveCaseInsensitive(ProtectedFilePath, names::onDiskName(name));
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        dialogs().warn(this, kFileOpen,
                       QStringLiteral("Cannot load ") + name + QStringLiteral(" in the ")
                           + ProtectedFilePath + QStringLiteral(" folder."));
        ProtectedFileName.clear();
        ProtectedFilePath.clear();
    } else {
        probe.close();
        if (FileLoad(name, ProtectedFilePath)) {
            if (hooks.fileOpened)
                hooks.fileOpened();
        } else {
            // Nothing was read: the window must not claim the file is open.
            ProtectedFileName.clear();
            ProtectedFilePath.clear();
        }
    }
    SetText();
    updateCommands();
}

} // namespace mdk
