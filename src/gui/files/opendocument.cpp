#include "opendocument.h"

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"
#include "core/deck/filenames.h"
#include "core/deck/versions.h"
#include "core/settings/options.h"
#include "core/settings/recentfiles.h"
#include "core/settings/translations.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mdk {

namespace {

const QString kTitlePrefix = QStringLiteral("Mnemodeck - ");
const QString kThisFile = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "This file"));
const QString kBeforeExiting = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", " has changed.  Would you like to save it before exiting?"));
const QString kBlankFile =
    QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Cannot save a blank file.  You must have at least 1 card or category."));
const QString kCouldNotOpen = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "An error occured.  The file could not be opened."));
const QString kStoreFull = QStringLiteral(
    QT_TRANSLATE_NOOP("Mnemodeck", "Cannot load all the cards in this file.  Your file has exceeded the maximum possible size"));
const QString kFileOpen = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "File Open"));
const QString kSaveFile = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Save File"));

} // namespace

const QString OpenDocument::kBeforeLoadingQuestion =
    QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", " has changed.  Would you like to save it before loading a new card file?"));

OpenDocument::OpenDocument(const CommandContext &context, OpenFile &open, QObject *parent)
    : QObject(parent), deck_(context.deck), options_(context.options), dialogs_(context.dialogs),
      window_(context.window), open_(open)
{
    lockRetry_.setInterval(kLockRetryMs);
    connect(&lockRetry_, &QTimer::timeout, this, &OpenDocument::retryLock);
}

void OpenDocument::holdLock(const QString &path, FileLock &lock)
{
    // A Revert keeps the lock it has; another file's lock replaces it.
    if (lock_.holds() && names::sameFile(lock_.file(), path))
        return;
    lock_ = std::move(lock);
    lockWanted_ = lock_.holds() ? QString() : QFileInfo(path).absoluteFilePath();
    if (lockWanted_.isEmpty())
        lockRetry_.stop();
    else
        lockRetry_.start();
}

void OpenDocument::retryLock()
{
    if (lockWanted_.isEmpty() || lock_.holds()) {
        lockRetry_.stop();
        return;
    }
    FileLock lock;
    if (lock.take(lockWanted_) == FileLock::Result::Taken) {
        lock_ = std::move(lock);
        lockWanted_.clear();
        lockRetry_.stop();
    }
}

bool OpenDocument::adoptFile(const QString &path, const QString &displayName)
{
    FileLock lock;
    if (!claimLock(path, displayName, lock))
        return false;
    holdLock(path, lock);
    stamp_ = DiskStamp::of(path);
    hasVersions_ = !versions::list(path).isEmpty();
    enterFile(path, displayName);
    Q_EMIT captionChanged(kTitlePrefix + displayName);
    sayIfUnprotected(displayName);
    return true;
}

bool OpenDocument::isOpenFile(const QString &path) const
{
    return !open_.path.isEmpty() && names::sameFile(path, open_.path);
}

void OpenDocument::setOpenFile(const QString &path)
{
    const QFileInfo info(path);
    open_.path = info.absoluteFilePath();
    open_.ProtectedFileName = names::displayName(info.fileName());
    open_.ProtectedFilePath = info.absolutePath();
}

QString OpenDocument::locateCardFile(const QString &dir, const QString &displayName)
{
    return names::locateCardFile(dir, displayName);
}

QString OpenDocument::dialogStart(const QString &lastChosen) const
{
    return lastChosen.isEmpty() ? open_.currentDirectory : QDir(open_.currentDirectory).filePath(lastChosen);
}

void OpenDocument::enterFile(const QString &path, const QString &displayName)
{
    const QFileInfo info(path);
    open_.path = info.absoluteFilePath();
    open_.ProtectedFileName = displayName;
    open_.ProtectedFilePath = info.absolutePath();
    if (recent::SetFileMenu(options_.files, open_.ProtectedFileName, open_.ProtectedFilePath))
        Q_EMIT recentFilesChanged();
}

bool OpenDocument::FileLoad(const QString &path, const QString &displayName)
{
    open_.currentDirectory = QFileInfo(path).absolutePath();
    FileLock lock;
    if (!claimLock(path, displayName, lock) || !converter_.ConvertIfNecessary(path, window_))
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
        dialogs_.warn(window_, tr("Load"), kStoreFull);
    holdLock(path, lock);
    stamp_ = DiskStamp::of(path);
    hasVersions_ = !versions::list(path).isEmpty();
    Q_EMIT captionChanged(kTitlePrefix + displayName);
    Q_EMIT statusMessage(displayName + QStringLiteral(": ") + QString::number(result.report.cards)
                         + tr(" cards"));
    sayIfUnprotected(displayName);
    return true;
}

bool OpenDocument::loadAsOpen(const QString &path)
{
    const QString name = names::displayName(QFileInfo(path).fileName());
    if (!FileLoad(path, name))
        return false;
    enterFile(path, name);
    return true;
}

bool OpenDocument::differsFromFile() const
{
    // A file whose cards were all deleted still differs from what is on
    // disk; only a blank deck that never had a file has nothing to lose.
    return deck_.changed() && (!deck_.isBlank() || deck_.hasBeenSaved());
}

bool OpenDocument::saveLeavingSubcategories()
{
    // The combined view of subcategory mode is never written back: leave
    // the mode first, so that the save folds back the open category alone.
    if (deck_.showSubCategories()) {
        deck_.ToggleSubcategoryMode();
    }
    return SaveFile();
}

bool OpenDocument::askBeforeLeaving(const QString &question)
{
    if (!differsFromFile())
        return true;
    const QString who = deck_.hasBeenSaved() ? open_.ProtectedFileName : translations::text(kThisFile);
    switch (dialogs_.askSave(window_, kSaveFile, who + translations::text(question))) {
    case UserDialogs::Answer::Yes: return saveLeavingSubcategories();
    case UserDialogs::Answer::No: return true;
    case UserDialogs::Answer::Cancelled: break;
    }
    return false;
}

bool OpenDocument::SaveFileIfNeeded()
{
    if (!askBeforeLeaving(kBeforeLoadingQuestion))
        return false;
    deck_.forgetChanges();
    // Slot 0 keeps the open file's own folder, whatever dialog moved the
    // current directory since.
    RecentFile &slot0 = options_.files[0];
    if (!open_.ProtectedFileName.isEmpty()
        && slot0.name.compare(open_.ProtectedFileName, Qt::CaseInsensitive) == 0)
        slot0.path = open_.ProtectedFilePath;
    return true;
}

bool OpenDocument::SaveBeforeExit()
{
    if (!askBeforeLeaving(kBeforeExiting))
        return false;
    deck_.forgetChanges();
    return true;
}

bool OpenDocument::refuseBlank(const QString &caption)
{
    if (deck_.viewCount() == 0 && deck_.fileCount() == 0 && deck_.tree().nodeCount() <= 1) {
        dialogs_.stop(window_, caption, kBlankFile);
        return true;
    }
    return false;
}

bool OpenDocument::mayReplace(const QString &target, const QString &chosen, const QString &caption)
{
    // The file dialog asked about the name it returned; a name that gained
    // ".mdk" since is another file, and replacing it needs its own yes.
    // A folder of that name is no file to replace: the write reports it.
    if (names::sameFile(target, chosen) || !QFileInfo(target).isFile())
        return true;
    return dialogs_.ask(window_, caption,
                        QFileInfo(target).fileName()
                            + tr(" already exists.  Do you want to replace it?"));
}

void OpenDocument::reportWriteFailure(const QString &path, bool existed, const QString &error)
{
    QString why = error.trimmed();
    // A folder of that name: no file was there to be kept as it was.
    if (QFileInfo(path).isDir())
        existed = false;
    if (!why.isEmpty() && !why.endsWith(QLatin1Char('.')))
        why += QLatin1Char('.');
    dialogs_.stop(window_, kSaveFile,
                  tr("Cannot save %1.  %2  %3")
                      .arg(QFileInfo(path).fileName(), why,
                           existed ? tr("The file on disk has not been changed.")
                                   : tr("Nothing was written.")));
}

bool OpenDocument::claimLock(const QString &path, const QString &displayName, FileLock &lock, bool writing)
{
    if (lock_.holds() && names::sameFile(lock_.file(), path))
        return true;
    // The user said yes to sharing this file already: its lock is awaited,
    // and taken here if it is free by now.
    if (!lockWanted_.isEmpty() && names::sameFile(lockWanted_, path)) {
        lock.take(path);
        return true;
    }
    switch (lock.take(path)) {
    case FileLock::Result::Taken: return true;
    case FileLock::Result::Failed:
        // Without a lock folder the file opens as it always did; the user
        // hears once that nothing keeps a second writer out.
        lockFailed_ = true;
        return true;
    case FileLock::Result::HeldElsewhere: break;
    }
    const QString question = writing ? tr("Save over it anyway?") : tr("Open it anyway?");
    const QString text =
        lock.holderHost().isEmpty()
            ? tr("%1 is open in another Mnemodeck window (process %2). %3")
                  .arg(displayName)
                  .arg(lock.holderPid())
                  .arg(question)
            : tr("%1 is open in Mnemodeck on %2 (process %3). %4")
                  .arg(displayName, lock.holderHost())
                  .arg(lock.holderPid())
                  .arg(question);
    // No is the default: Enter must not let two windows write one file.
    return dialogs_.askDefaultNo(window_, writing ? tr("Save As") : kFileOpen, text);
}

void OpenDocument::sayIfUnprotected(const QString &displayName)
{
    if (!lockFailed_)
        return;
    lockFailed_ = false;
    if (unlockedShown_)
        return;
    unlockedShown_ = true;
    dialogs_.warn(window_, kFileOpen,
                  tr("%1 is not protected against a second writer: the lock folder %2 cannot be written.")
                      .arg(displayName, QDir::toNativeSeparators(runtimeFolder())));
}

void OpenDocument::closeFile()
{
    lock_.release();
    lockWanted_.clear();
    lockRetry_.stop();
    stamp_ = DiskStamp();
    hasVersions_ = false;
}

bool OpenDocument::unchangedOnDisk(const QString &path) const
{
    return !isOpenFile(path) || DiskStamp::of(open_.path) == stamp_;
}

void OpenDocument::noteOwnWrite(const QString &path)
{
    if (isOpenFile(path))
        stamp_ = DiskStamp::of(open_.path);
}

void OpenDocument::restoreVersion(const QByteArray &bytes)
{
    cardfile::LoadReport report;
    {
        WaitCursor wait;
        report = cardfile::parse(std::string_view(bytes.constData(), size_t(bytes.size())), deck_);
    }
    if (report.storeFull)
        dialogs_.warn(window_, tr("Load"), kStoreFull);
    deck_.markRestored();
    Q_EMIT statusMessage(tr("Earlier version restored: %1 cards").arg(report.cards));
}

OpenDocument::DiskAnswer OpenDocument::askIfChangedOnDisk(const QString &target)
{
    const DiskStamp now = DiskStamp::of(target);
    // A file gone from disk loses nothing when it is written again.
    if (!now.exists || now == stamp_)
        return DiskAnswer::Overwrite;
    const int answer = dialogs_.choose(
        window_, UserDialogs::Icon::Exclamation, kSaveFile,
        tr("%1 was changed on disk since it was opened. Overwrite it with your version?")
            .arg(open_.ProtectedFileName),
        {tr("Overwrite"), tr("Save As..."), tr("Cancel")}, 2);
    switch (answer) {
    case 0: return DiskAnswer::Overwrite;
    case 1: return DiskAnswer::SaveAs;
    default: return DiskAnswer::Cancel;
    }
}

void OpenDocument::keepVersion(const QString &path)
{
    const QString error = versions::keep(path, options_.versionsKept);
    if (error.isEmpty()) {
        versionFailureShown_ = false;
    } else if (!versionFailureShown_) {
        // Said once, in the status line: the save itself goes on.
        versionNote_ = error;
        versionFailureShown_ = true;
    }
}

QString OpenDocument::savedMessage()
{
    QString text = tr("File saved");
    if (!versionNote_.isEmpty())
        text += QStringLiteral(".  ") + versionNote_;
    versionNote_.clear();
    return text;
}

bool OpenDocument::writeDeckTo(const QString &path)
{
    const bool existed = QFileInfo::exists(path);
    if (existed)
        keepVersion(path);
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

bool OpenDocument::SaveFile()
{
    if (refuseBlank(tr("Save")))
        return false;
    if (!deck_.hasBeenSaved())
        return SaveFileAs();
    QString target = open_.path;
    if (target.isEmpty() && !open_.ProtectedFileName.isEmpty())
        target = locateCardFile(open_.ProtectedFilePath, open_.ProtectedFileName);
    if (target.isEmpty())
        return SaveFileAs();
    switch (askIfChangedOnDisk(target)) {
    case DiskAnswer::Overwrite: break;
    case DiskAnswer::SaveAs: return SaveFileAs();
    case DiskAnswer::Cancel: return false;
    }
    // The changed flag is cleared only once the file is really on disk.
    if (!writeDeckTo(target))
        return false;
    stamp_ = DiskStamp::of(target);
    hasVersions_ = !versions::list(target).isEmpty();
    deck_.markSaved();
    Q_EMIT deckSaved();
    Q_EMIT statusMessage(savedMessage());
    return true;
}

bool OpenDocument::SaveFileAs()
{
    if (refuseBlank(tr("Save As")))
        return false;
    const QString chosen =
        dialogs_.saveFileName(window_, tr("Save As"), dialogStart(lastSaveAsTitle_));
    if (chosen.isEmpty())
        return false;
    const QFileInfo info(chosen);
    open_.currentDirectory = info.absolutePath();
    lastSaveAsTitle_ = info.fileName();
    // The name keeps the letter case typed; ".mdk" is added unless present.
    const QString targetName = names::saveAsTarget(info.fileName());
    const QString target = QDir(info.absolutePath()).filePath(targetName);
    // Another window holding the target would go on saving its own version
    // over this one: ask first, as opening it would.
    FileLock moved;
    if (!mayReplace(target, chosen, tr("Save As"))
        || !claimLock(target, names::displayName(targetName), moved, true) || !writeDeckTo(target))
        return false;

    deck_.markSaved();
    // The lock goes with the file.
    holdLock(target, moved);
    stamp_ = DiskStamp::of(target);
    hasVersions_ = !versions::list(target).isEmpty();
    const QString name = names::displayName(targetName);
    enterFile(target, name);
    sayIfUnprotected(name);
    deck_.setCurrentCard(0, 0);
    Q_EMIT captionChanged(kTitlePrefix + name);
    Q_EMIT deckSaved();
    Q_EMIT statusMessage(savedMessage());
    return true;
}

bool OpenDocument::LoadFile()
{
    const QString chosen =
        dialogs_.openFileName(window_, tr("Open"), dialogStart(lastOpenTitle_));
    if (chosen.isEmpty())
        return false;
    const QFileInfo info(chosen);
    open_.currentDirectory = info.absolutePath();
    lastOpenTitle_ = info.fileName();
    const QString name = names::displayName(info.fileName());

    // The chosen path itself is read: the dialog named an existing entry,
    // in whatever letter case it has on disk.
    if (!converter_.ConvertIfNecessary(chosen, window_))
        return false;
    if (!cardfile::canRead(chosen)) {
        dialogs_.warn(window_, kFileOpen,
                      tr("An error occured.  Cannot load ") + name + QStringLiteral("."));
        return false;
    }
    if (!FileLoad(chosen, name))
        return false;
    enterFile(chosen, name);
    return true;
}

bool OpenDocument::Open()
{
    if (!SaveFileIfNeeded())
        return false;
    return LoadFile();
}

} // namespace mdk
