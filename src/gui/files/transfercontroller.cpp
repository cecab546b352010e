#include "transfercontroller.h"

#include "core/deck/deck.h"
#include "core/deck/cardfile.h"
#include "core/deck/filenames.h"
#include "core/deck/transfer.h"
#include "core/edit/cardedit.h"
#include "core/settings/helpfile.h"
#include "core/shell/commandids.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/files/copydlg.h"
#include "gui/files/mergedlg.h"
#include "gui/files/opendocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace mdk {

namespace {

const QString kProgramCaption = QStringLiteral("Mnemodeck");
const QString kCopyCaption = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Copy to File"));
const QString kCopyDestinationCaption = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Copy to File Destination"));

} // namespace

TransferController::TransferController(const CommandContext &context, OpenDocument &document, QObject *parent)
    : CommandController(context, parent), document_(document), open_(document.file())
{
    bind(CM_CONVERT, &TransferController::ConvertFile);
    bind(CM_MERGE, &TransferController::CMMergeFiles);
    bind(CM_PASTEFROM, &TransferController::InsertFile);
    bind(CM_COPYTOFILE, &TransferController::CMCopyCard);
    bind(CM_COPYDESTINATION, &TransferController::CMCopyOptions);
    // The Convert File dialog is the file commands' as well (a load may
    // open it); its Help goes where this controller's does.
    connect(&document_.converter(), &Converter::helpRequested, this, &TransferController::helpRequested);
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

// ---- Convert

void TransferController::ConvertFile()
{
    Converter &converter = document_.converter();
    const std::optional<Converter::Choice> choice = converter.askConversion(window_, QString());
    if (!choice || !converter.convert(window_, choice->path, choice->version))
        return;
    // A deck that differs from its file is offered for saving first; a
    // Yes whose save did not happen keeps it on screen.
    if (converter.loadafterconvert && document_.SaveFileIfNeeded())
        document_.loadAsOpen(choice->path);
}

// ---- Merge

QString TransferController::runMerge(MergeDlg &dialog, bool &offered)
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
        if (!document_.converter().ConvertIfNecessary(path, &dialog))
            return QString();
        if (!cardfile::canRead(path)) {
            dialog.setMessage(transfer::doesNotExist(name));
            return QString();
        }
        sources << path;
    }
    const QString destination = names::resolve(names::saveAsTarget(typed), open_.currentDirectory);
    // The merge reads and writes files on disk: when the open file is one
    // of them, its unsaved changes are offered for saving first, or they
    // would be silently left out.
    offered = document_.isOpenFile(destination)
              || std::any_of(sources.cbegin(), sources.cend(),
                             [this](const QString &source) { return document_.isOpenFile(source); });
    if (offered && !document_.offerToSave())
        return QString();

    // Another program's change to the open file stays a change.
    const bool unchanged = document_.unchangedOnDisk(destination);
    transfer::MergeResult result;
    {
        WaitCursor wait;
        result = transfer::mergeFiles(sources, destination);
    }
    if (unchanged)
        document_.noteOwnWrite(destination);
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
        const QString chosen = browse(&dialog, tr("Source file"), lastSourceTitle_, false);
        if (!chosen.isEmpty())
            dialog.setNewSource(chosen);
    });
    connect(&dialog, &MergeDlg::destinationBrowseRequested, &dialog, [&] {
        const QString chosen = browse(&dialog, tr("Destination file"), lastDestinationTitle_, true);
        if (!chosen.isEmpty())
            dialog.setDestination(chosen);
    });
    connect(&dialog, &MergeDlg::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::Merge, &dialog); });
    QString merged;
    bool offered = false;
    connect(&dialog, &MergeDlg::mergeRequested, &dialog, [&] {
        merged = runMerge(dialog, offered);
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
        if ((loadaftermerge || document_.isOpenFile(merged)) && (offered || document_.SaveFileIfNeeded()))
            document_.loadAsOpen(merged);
    }
}

// ---- Paste from

void TransferController::InsertFile()
{
    QString target = deck_.tree().selectedName();
    if (target.isEmpty())
        target = CategoryTree::kMainName;

    bool inserted = false;
    if (deck_.isBlank() && deck_.fileCount() == 0) {
        // Nothing to paste into: the file is opened as Open opens it.
        inserted = document_.Open();
    } else {
        const QString chosen = browse(window_, transfer::kInsertCaption, lastPasteTitle_, false);
        if (!chosen.isEmpty() && document_.converter().ConvertIfNecessary(chosen, window_)) {
            transfer::InsertResult result;
            {
                WaitCursor wait;
                result = transfer::insertFile(chosen, deck_, target);
            }
            if (!result.opened) {
                dialogs_.warn(window_, tr("File Open"), transfer::kCannotOpen);
            } else {
                if (result.storeFull)
                    dialogs_.warn(window_, transfer::kInsertCaption, transfer::kInsertFull);
                inserted = true;
            }
        }
    }

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
    // A copy into the open file must fit into the deck too (see below), or
    // the next Save would drop it: refuse before writing.
    const bool intoOpen = document_.isOpenFile(ProtectedFileNameCopy_);
    const bool intoView = deck_.oldTreeName() == CategoryTree::kMainName && !deck_.showSubCategories();
    if (intoOpen && (intoView ? deck_.viewCount() : deck_.fileCount()) >= deck_.capacity()) {
        dialogs_.warn(window_, kCopyCaption, edit::kStoreFull);
        return;
    }
    const bool unchanged = document_.unchangedOnDisk(ProtectedFileNameCopy_);
    WriteResult result;
    {
        WaitCursor wait;
        result = transfer::appendCard(ProtectedFileNameCopy_, deck_.viewSide1(k), deck_.viewSide2(k));
    }
    if (unchanged)
        document_.noteOwnWrite(ProtectedFileNameCopy_);
    if (!result.ok) {
        const QString name = QFileInfo(ProtectedFileNameCopy_).fileName();
        dialogs_.stop(window_, kCopyCaption,
                      result.error.contains(name) ? result.error
                                                  : tr("%1 could not be written: %2").arg(name, result.error));
        return;
    }
    // A card copied into the open file goes into the deck as well, where
    // the file has it (the end of "Main"), or the next Save would write the
    // file without it.
    if (intoOpen) {
        const QString side1 = deck_.viewSide1(k), side2 = deck_.viewSide2(k);
        // The combined view of subcategory mode is never folded back.
        if (intoView)
            deck_.appendViewCard(side1, side2);
        else
            deck_.appendFileCard(side1, side2, CategoryTree::kMainName);
    }
}

} // namespace mdk
