#include "filecommands.h"

#include "gui/common/logfontqt.h"
#include "core/settings/recentfiles.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "core/deck/cardfile.h"
#include "core/deck/filenames.h"

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
const QString kEarlierFormat = QStringLiteral(
    "Cannot continue to load this file.  It is of a previous and unintelligible format.");
const QString kRevertQuestion = QStringLiteral(
    "Revert will erase all the changes you have made to this file since last you saved it.  "
    "Are you sure you want to revert this file?");
const QString kFileOpen = QStringLiteral("File Open");
const QString kSaveFile = QStringLiteral("Save File");

bool isFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

} // namespace

FileCommands::FileCommands(Deck &deck, Options &options, UserDialogs &dialogs, FileHost &host,
                           QWidget *parent)
    : currentDirectory(QDir::currentPath()), deck_(deck), options_(options), dialogs_(dialogs),
      host_(host), parent_(parent)
{
}

void FileCommands::setOpenFile(const QString &path)
{
    const QFileInfo info(path);
    openFile_ = info.absoluteFilePath();
    ProtectedFileName = names::displayName(info.fileName());
    ProtectedFilePath = info.absolutePath();
}

QString FileCommands::locateCardFile(const QString &dir, const QString &displayName)
{
    const QDir d(dir);
    const QString ownCase = d.filePath(names::saveAsTarget(displayName));
    if (isFile(ownCase))
        return ownCase;
    const QString onDisk = names::onDiskName(displayName);
    for (const QString &candidate : {names::resolveCaseInsensitive(dir, onDisk),
                                     names::resolveCaseInsensitive(dir, displayName)})
        if (isFile(candidate))
            return candidate;
    return ownCase;
}

void FileCommands::setWindowTitle(const QString &title)
{
    WindowTitle = title;
    host_.setCaption(title);
}

QString FileCommands::dialogStart(const QString &lastChosen) const
{
    return lastChosen.isEmpty() ? currentDirectory : QDir(currentDirectory).filePath(lastChosen);
}

void FileCommands::enterFile(const QString &path, const QString &displayName)
{
    const QFileInfo info(path);
    openFile_ = info.absoluteFilePath();
    ProtectedFileName = displayName;
    ProtectedFilePath = info.absolutePath();
    if (recent::SetFileMenu(options_.files, ProtectedFileName, ProtectedFilePath))
        host_.UpdateFileMenu();
}

bool FileCommands::defaultConvertIfNecessary(const QString &path)
{
    if (cardfile::testFormatOfFile(path) != cardfile::Format::Earlier)
        return true;
    dialogs_.stop(parent_, QStringLiteral("Auto Convert"), kEarlierFormat);
    return false;
}

bool FileCommands::FileLoad(const QString &path, const QString &displayName)
{
    currentDirectory = QFileInfo(path).absolutePath();
    const bool mayRead = convertIfNecessary ? convertIfNecessary(path) : defaultConvertIfNecessary(path);
    if (!mayRead)
        return false;
    cardfile::ReadResult result;
    {
        WaitCursor wait;
        result = cardfile::read(path, deck_);
    }
    if (!result.opened) {
        dialogs_.warn(parent_, kFileOpen, kCouldNotOpen);
        return false;
    }
    if (result.report.storeFull)
        dialogs_.warn(parent_, QStringLiteral("Load"), kStoreFull);
    setWindowTitle(kTitlePrefix + displayName);
    host_.rebuildTree();
    host_.ShowStatusMessage(displayName + QStringLiteral(": ") + QString::number(result.report.cards)
                            + QStringLiteral(" cards"));
    host_.SetText();
    return true;
}

bool FileCommands::SaveFileIfNeeded()
{
    if (!deck_.isBlank() && deck_.filehaschanged) {
        const QString who = deck_.filehasbeensaved ? ProtectedFileName : kThisFile;
        if (dialogs_.askSave(parent_, kSaveFile, who + kBeforeLoading) && !SaveFile())
            return false;
    }
    deck_.filehaschanged = 0;
    // Slot 0 keeps the open file's own folder, whatever dialog moved the
    // current directory since.
    RecentFile &open = options_.files[0];
    if (!ProtectedFileName.isEmpty() && open.name.compare(ProtectedFileName, Qt::CaseInsensitive) == 0)
        open.path = ProtectedFilePath;
    return true;
}

bool FileCommands::SaveBeforeExit()
{
    if (!deck_.isBlank() && !deck_.ShowSubCategories && deck_.filehaschanged) {
        const QString who = deck_.filehasbeensaved ? ProtectedFileName : kThisFile;
        if (dialogs_.askSave(parent_, kSaveFile, who + kBeforeExiting) && !SaveFile())
            return false;
    }
    deck_.filehaschanged = 0;
    return true;
}

void FileCommands::CMFileNew()
{
    if (!SaveFileIfNeeded())
        return;
    deck_.filehasbeensaved = 0;
    setWindowTitle(kProgramTitle);
    deck_.clear();
    ProtectedFileName.clear();
    openFile_.clear();
    if (recent::SetFileMenu(options_.files, ProtectedFileName, ProtectedFilePath))
        host_.UpdateFileMenu();
    host_.rebuildTree();
    host_.SetText();
}

bool FileCommands::LoadFile()
{
    const QString chosen =
        dialogs_.openFileName(parent_, QStringLiteral("Open"), dialogStart(lastOpenTitle_));
    if (chosen.isEmpty())
        return false;
    const QFileInfo info(chosen);
    currentDirectory = info.absolutePath();
    lastOpenTitle_ = info.fileName();
    FileName = names::displayName(info.fileName());

    // The chosen path itself is read: the dialog named an existing entry,
    // in whatever letter case it has on disk.
    const bool mayRead = convertIfNecessary ? convertIfNecessary(chosen) : defaultConvertIfNecessary(chosen);
    if (!mayRead)
        return false;
    QFile probe(chosen);
    if (!probe.open(QIODevice::ReadOnly)) {
        dialogs_.warn(parent_, kFileOpen,
                      QStringLiteral("An error occured.  Cannot load ") + FileName + QStringLiteral("."));
        return false;
    }
    probe.close();
    if (!FileLoad(chosen, FileName))
        return false;
    enterFile(chosen, FileName);
    return true;
}

void FileCommands::CMFileOpen()
{
    if (!SaveFileIfNeeded())
        return;
    if (LoadFile())
        deck_.filehasbeensaved = 1;
    host_.SetText();
}

bool FileCommands::refuseBlank(const QString &caption)
{
    if (deck_.viewCount() == 0 && deck_.fileCount() == 0 && deck_.tree.nodeCount() <= 1) {
        dialogs_.stop(parent_, caption, kBlankFile);
        return true;
    }
    return false;
}

void FileCommands::reportWriteFailure(const QString &path, bool existed, const QString &error)
{
    QString why = error.trimmed();
    if (!why.isEmpty() && !why.endsWith(QLatin1Char('.')))
        why += QLatin1Char('.');
    dialogs_.stop(parent_, kSaveFile,
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
        result = cardfile::writeDeck(deck_, path);
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
    if (!deck_.filehasbeensaved)
        return SaveFileAs();
    QString target = openFile_;
    if (target.isEmpty() && !ProtectedFileName.isEmpty())
        target = locateCardFile(ProtectedFilePath, ProtectedFileName);
    if (target.isEmpty())
        return SaveFileAs();
    // The changed flag is cleared only once the file is really on disk.
    if (!writeDeckTo(target))
        return false;
    deck_.filehaschanged = 0;
    host_.expandTree();
    host_.ShowStatusMessage(QStringLiteral("File saved"));
    return true;
}

bool FileCommands::SaveFileAs()
{
    if (refuseBlank(QStringLiteral("Save As")))
        return false;
    const QString chosen =
        dialogs_.saveFileName(parent_, QStringLiteral("Save As"), dialogStart(lastSaveAsTitle_));
    if (chosen.isEmpty())
        return false;
    const QFileInfo info(chosen);
    currentDirectory = info.absolutePath();
    lastSaveAsTitle_ = info.fileName();
    FileName = info.fileName();
    // The name keeps the letter case typed; ".mdk" is added unless present.
    const QString targetName = names::saveAsTarget(info.fileName());
    const QString target = QDir(info.absolutePath()).filePath(targetName);
    if (!writeDeckTo(target))
        return false;

    deck_.filehaschanged = 0;
    deck_.filehasbeensaved = 1;
    const QString name = names::displayName(targetName);
    enterFile(target, name);
    deck_.placeseek = 0;
    deck_.totalcardsinfile = deck_.viewCount();
    deck_.side = 0;
    setWindowTitle(kTitlePrefix + name);
    host_.SetText();
    host_.expandTree();
    host_.ShowStatusMessage(QStringLiteral("File saved"));
    return true;
}

void FileCommands::RevertFile()
{
    if (deck_.filehasbeensaved && deck_.filehaschanged
        && dialogs_.askSave(parent_, QStringLiteral("Revert"), kRevertQuestion)) {
        const QString path =
            openFile_.isEmpty() ? locateCardFile(ProtectedFilePath, ProtectedFileName) : openFile_;
        if (FileLoad(path, ProtectedFileName)) {
            deck_.filehaschanged = 0;
            deck_.Marks.ClearList();
            host_.ShowStatusMessage(QStringLiteral("File reverted"));
        }
    }
    host_.SetText();
}

void FileCommands::SaveCategory()
{
    const CategoryTree::NodeId selected = deck_.tree.selected();
    const QString chosen = dialogs_.saveFileName(parent_, QStringLiteral("Save separately"),
                                                 dialogStart(lastCategoryTitle_));
    if (chosen.isEmpty() || !deck_.tree.isValid(selected)) {
        host_.SetText();
        return;
    }
    const QFileInfo info(chosen);
    currentDirectory = info.absolutePath();
    lastCategoryTitle_ = info.fileName();
    FileName = info.fileName();
    const QString target =
        QDir(info.absolutePath()).filePath(names::saveSeparatelyTarget(info.fileName()));
    const bool existed = QFileInfo::exists(target);
    WriteResult result;
    {
        WaitCursor wait;
        result = cardfile::writeCategory(deck_, selected, target);
    }
    if (result.ok) {
        host_.expandTree();
        host_.ShowStatusMessage(QStringLiteral("Category saved"));
    } else {
        reportWriteFailure(target, existed, result.error);
    }
    host_.SetText();
}

void FileCommands::CMFile(int k)
{
    if (k < 1 || k > recent::kListSize || options_.files[size_t(k)].name.isEmpty())
        return;
    if (!SaveFileIfNeeded())
        return;
    const RecentFile chosen = options_.files[size_t(k)];
    const QString path = locateCardFile(chosen.path, chosen.name);
    if (FileLoad(path, chosen.name)) {
        openFile_ = QFileInfo(path).absoluteFilePath();
        ProtectedFileName = chosen.name;
        ProtectedFilePath = chosen.path;
        recent::openedRecent(options_.files, k);
        host_.UpdateFileMenu();
    }
    host_.SetText();
}

void FileCommands::ChangeFont()
{
    const std::optional<QFont> chosen = dialogs_.chooseFont(parent_, toQFont(options_.LUsingFont));
    if (!chosen)
        return;
    options_.LUsingFont = fromQFont(*chosen, options_.LUsingFont);
    host_.applyCardFont();
}

bool FileCommands::LoadStartupFile(const QString &dir, const QString &name)
{
    const QString base = names::displayName(name);
    currentDirectory = dir;
    const QString path = locateCardFile(dir, base);
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        dialogs_.warn(parent_, kFileOpen,
                      QStringLiteral("Cannot load ") + base + QStringLiteral(" in the ") + dir
                          + QStringLiteral(" folder."));
        ProtectedFileName.clear();
        ProtectedFilePath.clear();
        host_.SetText();
        return false;
    }
    probe.close();
    const bool loaded = FileLoad(path, base);
    if (loaded)
        enterFile(path, base);
    host_.SetText();
    return loaded;
}

bool FileCommands::SaveEnable() const
{
    return SaveAsEnable() && deck_.filehaschanged;
}

bool FileCommands::SaveAsEnable() const
{
    return (deck_.viewCount() > 0 || deck_.tree.nodeCount() > 1) && !deck_.ShowSubCategories;
}

bool FileCommands::RevertEnable() const
{
    return deck_.filehasbeensaved && deck_.filehaschanged && !deck_.ShowSubCategories;
}

} // namespace mdk
