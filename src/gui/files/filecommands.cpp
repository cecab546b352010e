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
const QString kTitlePrefix = QStringLiteral("Mnemodeck - ");
const QString kThisFile = QStringLiteral("This file");
const QString kBeforeLoading =
    QStringLiteral(" has changed.  Would you like to save it before loading a new card file?");
const QString kBeforeExiting = QStringLiteral(" has changed.  Would you like to save it before exiting?");
const QString kBlankFile =
    QStringLiteral("Cannot save a blank file.  You must have at least 1 card or category.");
const QString kCouldNotOpen = QStringLiteral("An error occured.  The file could not be opened.");
const QString kStoreFull = QStringLiteral(
    "Cannot load all the cards in this file.  Your file has exceeded the maximum possible size");
const QString kRevertQuestion = QStringLiteral(
    "Revert will erase all the changes you have made to this file since last you saved it.  "
    "Are you sure you want to revert this file?");
const QString kFileOpen = QStringLiteral("File Open");
const QString kSaveFile = QStringLiteral("Save File");
const QString kSaveSeparately = QStringLiteral("Save separately");

} // namespace

FileCommands::FileCommands(const CommandContext &context, OpenFile &open, QObject *parent)
    : CommandController(context, parent), open_(open)
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
}

void FileCommands::setOpenFile(const QString &path)
{
    const QFileInfo info(path);
    open_.path = info.absoluteFilePath();
    open_.ProtectedFileName = names::displayName(info.fileName());
    open_.ProtectedFilePath = info.absolutePath();
}

QString FileCommands::locateCardFile(const QString &dir, const QString &displayName)
{
    return names::locateCardFile(dir, displayName);
}

void FileCommands::setWindowTitle(const QString &title)
{
    Q_EMIT captionChanged(title);
}

QString FileCommands::dialogStart(const QString &lastChosen) const
{
    return lastChosen.isEmpty() ? open_.currentDirectory : QDir(open_.currentDirectory).filePath(lastChosen);
}

void FileCommands::enterFile(const QString &path, const QString &displayName)
{
    const QFileInfo info(path);
    open_.path = info.absoluteFilePath();
    open_.ProtectedFileName = displayName;
    open_.ProtectedFilePath = info.absolutePath();
    if (recent::SetFileMenu(options_.files, open_.ProtectedFileName, open_.ProtectedFilePath))
        Q_EMIT recentFilesChanged();
}

bool FileCommands::mayRead(const QString &path)
{
    return converter_.ConvertIfNecessary(path, window_);
}

bool FileCommands::FileLoad(const QString &path, const QString &displayName)
{
    open_.currentDirectory = QFileInfo(path).absolutePath();
    if (!mayRead(path))
        return false;
    cardfile::ReadResult result;
    {
        WaitCursor wait;
        result = cardfile::read(path, deck_);
    }
    if (!result.opened) {
        dialogs_.warn(window_, kFileOpen, kCouldNotOpen);
        return false;
    }
    if (result.report.storeFull)
        dialogs_.warn(window_, QStringLiteral("Load"), kStoreFull);
    setWindowTitle(kTitlePrefix + displayName);
    Q_EMIT statusMessage(displayName + QStringLiteral(": ") + QString::number(result.report.cards)
                         + QStringLiteral(" cards"));
    return true;
}

bool FileCommands::loadAsOpen(const QString &path)
{
    const QString name = names::displayName(QFileInfo(path).fileName());
    if (!FileLoad(path, name))
        return false;
    enterFile(path, name);
    return true;
}

bool FileCommands::differsFromFile() const
{
    // A file whose cards were all deleted still differs from what is on
    // disk; only a blank deck that never had a file has nothing to lose.
    return deck_.changed() && (!deck_.isBlank() || deck_.hasBeenSaved());
}

bool FileCommands::saveLeavingSubcategories()
{
    // The combined view of subcategory mode is never written back: leave
    // the mode first, so that the save folds back the open category alone.
    if (deck_.showSubCategories())
        deck_.ToggleSubcategoryMode();
    return SaveFile();
}

bool FileCommands::SaveFileIfNeeded()
{
    if (differsFromFile()) {
        const QString who = deck_.hasBeenSaved() ? open_.ProtectedFileName : kThisFile;
        if (dialogs_.askSave(window_, kSaveFile, who + kBeforeLoading) && !saveLeavingSubcategories())
            return false;
    }
    deck_.forgetChanges();
    // Slot 0 keeps the open file's own folder, whatever dialog moved the
    // current directory since.
    RecentFile &slot0 = options_.files[0];
    if (!open_.ProtectedFileName.isEmpty()
        && slot0.name.compare(open_.ProtectedFileName, Qt::CaseInsensitive) == 0)
        slot0.path = open_.ProtectedFilePath;
    return true;
}

bool FileCommands::SaveBeforeExit()
{
    if (differsFromFile()) {
        const QString who = deck_.hasBeenSaved() ? open_.ProtectedFileName : kThisFile;
        if (dialogs_.askSave(window_, kSaveFile, who + kBeforeExiting) && !saveLeavingSubcategories())
            return false;
    }
    deck_.forgetChanges();
    return true;
}

void FileCommands::CMFileNew()
{
    if (!SaveFileIfNeeded())
        return;
    setWindowTitle(kProgramTitle);
    deck_.clear();
    open_.ProtectedFileName.clear();
    open_.path.clear();
    if (recent::SetFileMenu(options_.files, open_.ProtectedFileName, open_.ProtectedFilePath))
        Q_EMIT recentFilesChanged();
}

bool FileCommands::LoadFile()
{
    const QString chosen =
        dialogs_.openFileName(window_, QStringLiteral("Open"), dialogStart(lastOpenTitle_));
    if (chosen.isEmpty())
        return false;
    const QFileInfo info(chosen);
    open_.currentDirectory = info.absolutePath();
    lastOpenTitle_ = info.fileName();
    const QString name = names::displayName(info.fileName());

    // The chosen path itself is read: the dialog named an existing entry,
    // in whatever letter case it has on disk.
    if (!mayRead(chosen))
        return false;
    if (!cardfile::canRead(chosen)) {
        dialogs_.warn(window_, kFileOpen,
                      QStringLiteral("An error occured.  Cannot load ") + name + QStringLiteral("."));
        return false;
    }
    if (!FileLoad(chosen, name))
        return false;
    enterFile(chosen, name);
    return true;
}

bool FileCommands::CMFileOpen()
{
    if (!SaveFileIfNeeded())
        return false;
    return LoadFile();
}

bool FileCommands::refuseBlank(const QString &caption)
{
    if (deck_.viewCount() == 0 && deck_.fileCount() == 0 && deck_.tree().nodeCount() <= 1) {
        dialogs_.stop(window_, caption, kBlankFile);
        return true;
    }
    return false;
}

bool FileCommands::mayReplace(const QString &target, const QString &chosen, const QString &caption)
{
    // The file dialog asked about the name it returned; a name that gained
    // ".mdk" since is another file, and replacing it needs its own yes.
    // A folder of that name is no file to replace: the write reports it.
    if (names::sameFile(target, chosen) || !QFileInfo(target).isFile())
        return true;
    return dialogs_.ask(window_, caption,
                        QFileInfo(target).fileName()
                            + QStringLiteral(" already exists.  Do you want to replace it?"));
}

void FileCommands::reportWriteFailure(const QString &path, bool existed, const QString &error)
{
    QString why = error.trimmed();
    if (!why.isEmpty() && !why.endsWith(QLatin1Char('.')))
        why += QLatin1Char('.');
    dialogs_.stop(window_, kSaveFile,
                  QStringLiteral("Cannot save %1.  %2  %3")
                      .arg(QFileInfo(path).fileName(), why,
                           existed ? QStringLiteral("The file on disk has not been changed.")
                                   : QStringLiteral("Nothing was written.")));
}

bool FileCommands::writeDeckTo(const QString &path)
{
    const bool existed = QFileInfo::exists(path);
    WriteResult result;
    {
        WaitCursor wait;
        // The writer takes the file-level cards as they are.
        deck_.WriteBackView();
        TextEncoding used = deck_.encoding();
        result = cardfile::writeDeck(deck_, path, &used);
        deck_.setEncoding(used);
    }
    if (result.ok)
        return true;
    reportWriteFailure(path, existed, result.error);
    return false;
}

bool FileCommands::SaveFile()
{
    if (refuseBlank(QStringLiteral("Save")))
        return false;
    if (!deck_.hasBeenSaved())
        return SaveFileAs();
    QString target = open_.path;
    if (target.isEmpty() && !open_.ProtectedFileName.isEmpty())
        target = locateCardFile(open_.ProtectedFilePath, open_.ProtectedFileName);
    if (target.isEmpty())
        return SaveFileAs();
    // The changed flag is cleared only once the file is really on disk.
    if (!writeDeckTo(target))
        return false;
    deck_.markSaved();
    Q_EMIT deckSaved();
    Q_EMIT statusMessage(QStringLiteral("File saved"));
    return true;
}

bool FileCommands::SaveFileAs()
{
    if (refuseBlank(QStringLiteral("Save As")))
        return false;
    const QString chosen =
        dialogs_.saveFileName(window_, QStringLiteral("Save As"), dialogStart(lastSaveAsTitle_));
    if (chosen.isEmpty())
        return false;
    const QFileInfo info(chosen);
    open_.currentDirectory = info.absolutePath();
    lastSaveAsTitle_ = info.fileName();
    // The name keeps the letter case typed; ".mdk" is added unless present.
    const QString targetName = names::saveAsTarget(info.fileName());
    const QString target = QDir(info.absolutePath()).filePath(targetName);
    if (!mayReplace(target, chosen, QStringLiteral("Save As")) || !writeDeckTo(target))
        return false;

    deck_.markSaved();
    const QString name = names::displayName(targetName);
    enterFile(target, name);
    deck_.setCurrentCard(0, 0);
    setWindowTitle(kTitlePrefix + name);
    Q_EMIT deckSaved();
    Q_EMIT statusMessage(QStringLiteral("File saved"));
    return true;
}

void FileCommands::RevertFile()
{
    if (deck_.hasBeenSaved() && deck_.changed()
        && dialogs_.askSave(window_, QStringLiteral("Revert"), kRevertQuestion)) {
        const QString path = open_.path.isEmpty()
                                 ? locateCardFile(open_.ProtectedFilePath, open_.ProtectedFileName)
                                 : open_.path;
        if (FileLoad(path, open_.ProtectedFileName))
            Q_EMIT statusMessage(QStringLiteral("File reverted"));
    }
}

void FileCommands::SaveCategory()
{
    const CategoryTree::NodeId selected = deck_.tree().selected();
    const QString chosen = dialogs_.saveFileName(window_, kSaveSeparately, dialogStart(lastCategoryTitle_));
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
                      QStringLiteral("Cannot save the category as %1.  It is the card file that is open now; "
                                     "choose another name.")
                          .arg(QFileInfo(target).fileName()));
        return;
    }
    if (!mayReplace(target, chosen, kSaveSeparately)) {
        return;
    }
    const bool existed = QFileInfo::exists(target);
    WriteResult result;
    {
        WaitCursor wait;
        result = cardfile::writeCategory(deck_, selected, target);
    }
    if (result.ok) {
        Q_EMIT deckSaved();
        Q_EMIT statusMessage(QStringLiteral("Category saved"));
    } else {
        reportWriteFailure(target, existed, result.error);
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
    if (FileLoad(path, chosen.name)) {
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
                      QStringLiteral("Cannot load ") + base + QStringLiteral(" in the ") + dir
                          + QStringLiteral(" folder."));
        open_.ProtectedFileName.clear();
        open_.ProtectedFilePath.clear();
        return false;
    }
    const bool loaded = FileLoad(path, base);
    if (loaded)
        enterFile(path, base);
    return loaded;
}

} // namespace mdk
