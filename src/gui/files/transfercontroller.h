#pragma once

#include "core/deck/openfile.h"
#include "gui/common/commandcontroller.h"

#include <QString>

class QWidget;

namespace mdk {

class MergeDlg;
class OpenDocument;

// Convert, Merge, Paste from, Copy to File and Copy to File Destination:
// the commands that move cards between card files. The open file, its save
// question and the loads they end with are the OpenDocument's, shared with
// the file commands, so the caption, status line and recent files follow
// as for Open.
class TransferController : public CommandController {
    Q_OBJECT
public:
    TransferController(const CommandContext &context, OpenDocument &document, QObject *parent = nullptr);

    void ConvertFile();
    void CMMergeFiles();
    void InsertFile();
    void CMCopyCard();
    // False when the dialog was closed without "Save changes".
    bool CMCopyOptions();

    // The resolved full path Copy to File appends to; empty until chosen.
    const QString &copyDestination() const { return ProtectedFileNameCopy_; }
    bool loadaftermerge = true;

private:
    // The Merge button: checks, converts and merges; the path written, or
    // empty when the dialog stays open with the reason on its message line.
    // offered: the open file took part, so the save question was asked.
    QString runMerge(MergeDlg &dialog, bool &offered);
    QString browse(QWidget *owner, const QString &caption, QString &lastChosen, bool mayBeNew);

    OpenDocument &document_;
    OpenFile &open_;
    QString ProtectedFileNameCopy_;
    // Each file dialog starts at the name last chosen in it during the run.
    QString lastPasteTitle_, lastSourceTitle_, lastDestinationTitle_, lastCopyTitle_;
};

} // namespace mdk
