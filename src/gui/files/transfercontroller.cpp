#include "transfercontroller.h"

#include "core/deck/deck.h"
#include "core/deck/filenames.h"
#include "core/deck/transfer.h"
#include "core/settings/helpfile.h"
#include "core/shell/commandids.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/files/copydlg.h"
#include "gui/files/filecommands.h"
#include "gui/files/mergedlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mdk {

namespace {

const QString kProgramCaption = QStringLiteral("Mnemodeck");
const QString kCopyCaption = QStringLiteral("Copy to File");
const QString kCopyDestinationCaption = QStringLiteral("Copy to File Destination");

} // namespace

TransferController::TransferController(const CommandContext &context, OpenFile &open, FileCommands &files,
                                       QObject *parent)
    : CommandController(context, parent), open_(open), files_(files)
{
    bind(CM_CONVERT, &TransferController::ConvertFile);
    bind(CM_MERGE, &TransferController::CMMergeFiles);
    bind(CM_PASTEFROM, &TransferController::InsertFile);
    bind(CM_COPYTOFILE, &TransferController::CMCopyCard);
    bind(CM_COPYDESTINATION, &TransferController::CMCopyOptions);
    // The Convert File dialog is the file commands' as well (a load may
    // open it); its Help goes where this controller's does.
    connect(&files_.converter(), &Converter::helpRequested, this, &TransferController::helpRequested);
}

QString TransferController::browse(QWidget *owner, const QString &caption, QString &lastChosen, bool mayBeNew)
{
    const QString start =
        lastChosen.isEmpty() ? open_.currentDirectory : QDir(open_.currentDirectory).filePath(lastChosen);
    const QString chosen = mayBeNew ? dialogs_.destinationFileName(owner, caption, start)
                                    : dialogs_.openFileName(owner, caption, start);
    if (chosen.isEmpty())
        return QString();
    const QFileInfo info(chosen);
    open_.currentDirectory = info.absolutePath();
    lastChosen = info.fileName();
    return info.absoluteFilePath();
}

bool TransferController::isOpenFile(const QString &path) const
{
    return !open_.path.isEmpty() && names::sameFile(path, open_.path);
}

// ---- Convert

void TransferController::ConvertFile()
{
    Converter &converter = files_.converter();
    const std::optional<Converter::Choice> choice = converter.askConversion(window_, QString());
    if (!choice || !converter.convert(window_, choice->path, choice->version)) {
        return;
    }
    // A deck that differs from its file is offered for saving first; a
    // Yes whose save did not happen keeps it on screen.
    if (converter.loadafterconvert && files_.SaveFileIfNeeded())
        files_.loadAsOpen(choice->path);
}

// ---- Merge

QString TransferController::runMerge(MergeDlg &dialog)
{
    const QStringList listed = dialog.sources();
    if (listed.isEmpty()) {
        dialog.setMessage(transfer::kNoSource);
        return QString();
    }
    const QString typed = dialog.destination();
    if (typed.isEmpty()) {
        dialog.setMessage(transfer::kNoDestination);
        return QString();
    }
    dialog.setMessage(QString());

    // Every source is tested (and converted, when the user agrees) before
    // anything is written.
    QStringList sources;
    for (const QString &name : listed) {
        const QString path = names::resolve(name, open_.currentDirectory);
        if (!files_.converter().ConvertIfNecessary(path, &dialog))
            return QString();
        QFile probe(path);
        if (!QFileInfo(path).isFile() || !probe.open(QIODevice::ReadOnly)) {
            dialog.setMessage(transfer::doesNotExist(name));
            return QString();
        }
        sources << path;
    }
    const QString destination = names::resolve(names::saveAsTarget(typed), open_.currentDirectory);
    // Merging into the open file: its unsaved changes are offered for
    // saving first, or the merge would add to an older copy of it.
    if (isOpenFile(destination) && !files_.SaveFileIfNeeded())
        return QString();

    transfer::MergeResult result;
    {
        WaitCursor wait;
        result = transfer::mergeFiles(sources, destination);
    }
    if (!result.ok) {
        dialog.setMessage(result.message);
        return QString();
    }
    return destination;
}

void TransferController::CMMergeFiles()
{
    const QString openSource = deck_.hasBeenSaved() ? open_.path : QString();
    MergeDlg dialog(openSource, QString(), loadaftermerge, window_);
    connect(&dialog, &MergeDlg::sourceBrowseRequested, &dialog, [&] {
        const QString chosen = browse(&dialog, QStringLiteral("Source file"), lastSourceTitle_, false);
        if (!chosen.isEmpty())
            dialog.setNewSource(chosen);
    });
    connect(&dialog, &MergeDlg::destinationBrowseRequested, &dialog, [&] {
        const QString chosen = browse(&dialog, QStringLiteral("Destination file"), lastDestinationTitle_, true);
        if (!chosen.isEmpty())
            dialog.setDestination(chosen);
    });
    connect(&dialog, &MergeDlg::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::Merge, &dialog); });
    QString merged;
    connect(&dialog, &MergeDlg::mergeRequested, &dialog, [&] {
        merged = runMerge(dialog);
        if (!merged.isEmpty())
            dialog.accept();
    });
    dialog.exec();

    if (!merged.isEmpty()) {
        loadaftermerge = dialog.loadAfterMerge();
        // The question is not asked twice: a merge into the open file has
        // asked it already and cleared the changed flag. That file is read
        // back whatever the box says: the deck in memory no longer holds
        // what is on disk, and a later Save would drop the merged cards.
        if ((loadaftermerge || isOpenFile(merged)) && files_.SaveFileIfNeeded())
            files_.loadAsOpen(merged);
    }
}

// ---- Paste from

void TransferController::InsertFile()
{
    QString target = deck_.tree().selectedName();
    if (target.isEmpty())
        target = CategoryTree::kMainName;
    deck_.WriteBackView();

    bool inserted = false;
    if (deck_.isBlank() && deck_.fileCount() == 0) {
        // Nothing to paste into: the file is opened as Open opens it.
        inserted = files_.CMFileOpen();
    } else {
        const QString chosen = browse(window_, transfer::kInsertCaption, lastPasteTitle_, false);
        if (!chosen.isEmpty() && files_.converter().ConvertIfNecessary(chosen, window_)) {
            transfer::InsertResult result;
            {
                WaitCursor wait;
                result = transfer::insertFile(chosen, deck_, target);
            }
            if (!result.opened) {
                dialogs_.warn(window_, QStringLiteral("File Open"), transfer::kCannotOpen);
            } else {
                if (result.storeFull)
                    dialogs_.warn(window_, transfer::kInsertCaption, transfer::kInsertFull);
                inserted = true;
            }
        }
    }

    deck_.LoadView(deck_.oldTreeName());
    if (inserted)
        Q_EMIT statusMessage(transfer::kInserted);
}

// ---- Copy to File

bool TransferController::CMCopyOptions()
{
    CopyDlg dialog(ProtectedFileNameCopy_, window_);
    connect(&dialog, &CopyDlg::browseRequested, &dialog, [&] {
        const QString chosen = browse(&dialog, kCopyDestinationCaption, lastCopyTitle_, true);
        if (!chosen.isEmpty())
            dialog.setDestination(chosen);
    });
    connect(&dialog, &CopyDlg::helpRequested, this,
            [this, &dialog] { Q_EMIT helpRequested(help::CopyToFile, &dialog); });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // Kept resolved, in its own letter case, so that a later change of
    // folder does not move the destination.
    const QString name = dialog.destination();
    ProtectedFileNameCopy_ = name.isEmpty() ? QString() : transfer::copyTarget(name, open_.currentDirectory);
    return true;
}

void TransferController::CMCopyCard()
{
    if (deck_.viewCount() == 0) {
        dialogs_.warn(window_, kProgramCaption, transfer::kCopyNoCard);
        return;
    }
    while (ProtectedFileNameCopy_.isEmpty())
        if (!CMCopyOptions())
            return;
    const int k = qBound(0, deck_.placeseek(), deck_.viewCount() - 1);
    WriteResult result;
    {
        WaitCursor wait;
        result = transfer::appendCard(ProtectedFileNameCopy_, deck_.viewSide1(k), deck_.viewSide2(k));
    }
    if (!result.ok)
        dialogs_.stop(window_, kCopyCaption, result.error);
}

} // namespace mdk
