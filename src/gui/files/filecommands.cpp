#include "filecommands.h"

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"
#include "core/deck/filenames.h"
#include "core/settings/options.h"
#include "core/settings/recentfiles.h"
#include "core/shell/commandids.h"
#include "gui/common/logfontqt.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mdk {

namespace {

const QString kProgramTitle = QStringLiteral("Mnemodeck");
const QString kRevertQuestion = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck",
    "Revert will erase all the changes you have made to this file since last you saved it.  "
    "Are you sure you want to revert this file?"));
const QString kFileOpen = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "File Open"));
const QString kSaveSeparately = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Save separately"));

} // namespace

FileCommands::FileCommands(const CommandContext &context, OpenDocument &document, QObject *parent)
    : CommandController(context, parent), document_(document)
{
    bind(CM_FILENEW, &FileCommands::CMFileNew);
    bind(CM_FILEOPEN, &FileCommands::CMFileOpen);
    bind(CM_FILESAVE, &FileCommands::SaveFile);
    bind(CM_FILESAVEAS, &FileCommands::SaveFileAs);
    bind(CM_REVERT, &FileCommands::RevertFile);
    bind(CM_SAVECATEGORY, &FileCommands::SaveCategory);
    bind(CM_CHANGEFONT, &FileCommands::ChangeFont);
    for (int k = 1; k <= recent::kListSize; ++k)
        bind(CM_FILE1 + k - 1, [this, k] { CMFile(k); });
    bind(CM_EXIT, [this] { Q_EMIT exitRequested(); });
    connect(&document_, &OpenDocument::captionChanged, this, &FileCommands::captionChanged);
    connect(&document_, &OpenDocument::deckSaved, this, &FileCommands::deckSaved);
    connect(&document_, &OpenDocument::recentFilesChanged, this, &FileCommands::recentFilesChanged);
    connect(&document_, &OpenDocument::statusMessage, this, &FileCommands::statusMessage);
}

void FileCommands::CMFileNew()
{
    if (!SaveFileIfNeeded())
        return;
    Q_EMIT captionChanged(kProgramTitle);
    deck_.clear();
    open_.ProtectedFileName.clear();
    open_.path.clear();
    document_.closeFile();
    if (recent::SetFileMenu(options_.files, open_.ProtectedFileName, open_.ProtectedFilePath))
        Q_EMIT recentFilesChanged();
}

bool FileCommands::CMFileOpen()
{
    return document_.Open();
}

void FileCommands::RevertFile()
{
    if (deck_.hasBeenSaved() && deck_.changed()
        && dialogs_.askSave(window_, tr("Revert"), kRevertQuestion) == UserDialogs::Answer::Yes) {
        const QString path = open_.path.isEmpty()
                                 ? locateCardFile(open_.ProtectedFilePath, open_.ProtectedFileName)
                                 : open_.path;
        if (document_.FileLoad(path, open_.ProtectedFileName))
            Q_EMIT statusMessage(tr("File reverted"));
    }
}

void FileCommands::SaveCategory()
{
    const CategoryTree::NodeId selected = deck_.tree().selected();
    const QString chosen = dialogs_.saveFileName(window_, kSaveSeparately, document_.dialogStart(lastCategoryTitle_));
    if (chosen.isEmpty() || !deck_.tree().isValid(selected))
        return;
    const QFileInfo info(chosen);
    open_.currentDirectory = info.absolutePath();
    lastCategoryTitle_ = info.fileName();
    const QString target =
        QDir(info.absolutePath()).filePath(names::saveSeparatelyTarget(info.fileName()));
    // One category written over the open file would leave the disk and the
    // deck in memory silently apart.
    if (!open_.path.isEmpty() && names::sameFile(target, open_.path)) {
        dialogs_.stop(window_, kSaveSeparately,
                      tr("Cannot save the category as %1.  It is the card file that is open now; "
                                     "choose another name.")
                          .arg(QFileInfo(target).fileName()));
        return;
    }
    if (!document_.mayReplace(target, chosen, kSaveSeparately))
        return;
    const bool existed = QFileInfo::exists(target);
    WriteResult result;
    {
        // The written file is not the open one: locked while it is written.
        FileLock lock;
        lock.take(target);
        WaitCursor wait;
        result = cardfile::writeCategory(deck_, selected, target);
    }
    if (result.ok) {
        Q_EMIT deckSaved();
        Q_EMIT statusMessage(tr("Category saved"));
    } else {
        document_.reportWriteFailure(target, existed, result.error);
    }
}

void FileCommands::CMFile(int k)
{
    if (k < 1 || k > recent::kListSize || options_.files[size_t(k)].name.isEmpty())
        return;
    // The entry chosen, read before the save question: a Save As on the way
    // can move the list.
    const RecentFile chosen = options_.files[size_t(k)];
    if (!SaveFileIfNeeded())
        return;
    const QString path = locateCardFile(chosen.path, chosen.name);
    if (document_.FileLoad(path, chosen.name)) {
        open_.path = QFileInfo(path).absoluteFilePath();
        open_.ProtectedFileName = chosen.name;
        open_.ProtectedFilePath = chosen.path;
        const int now = recent::slotOf(options_.files, chosen);
        if (now > 0)
            recent::openedRecent(options_.files, now);
        else
            recent::SetFileMenu(options_.files, chosen.name, chosen.path);
        Q_EMIT recentFilesChanged();
    }
}

void FileCommands::ChangeFont()
{
    const std::optional<QFont> font = dialogs_.chooseFont(window_, toQFont(options_.LUsingFont));
    if (!font)
        return;
    options_.LUsingFont = fromQFont(*font, options_.LUsingFont);
    Q_EMIT cardFontChanged();
}

bool FileCommands::LoadStartupFile(const QString &dir, const QString &name)
{
    const QString base = names::displayName(name);
    open_.currentDirectory = dir;
    const QString path = locateCardFile(dir, base);
    if (!cardfile::canRead(path)) {
        dialogs_.warn(window_, kFileOpen,
                      tr("Cannot load ") + base + tr(" in the ") + dir
                          + tr(" folder."));
        open_.ProtectedFileName.clear();
        open_.ProtectedFilePath.clear();
        return false;
    }
    const bool loaded = document_.FileLoad(path, base);
    if (loaded)
        document_.enterFile(path, base);
    return loaded;
}

} // namespace mdk
