#include "versioncontroller.h"

#include "core/deck/cardfile.h"
#include "core/deck/versions.h"
#include "core/shell/commandids.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/files/earlierversionsdlg.h"
#include "gui/files/opendocument.h"

#include <QFile>

namespace mdk {

VersionController::VersionController(const CommandContext &context, OpenDocument &document, QObject *parent)
    : CommandController(context, parent), document_(document)
{
    bind(CM_EARLIERVERSIONS, &VersionController::EarlierVersions);
}

void VersionController::EarlierVersions()
{
    // The counts are in the versions' names: nothing is read whole here.
    const QList<versions::Version> kept = versions::list(document_.file().path);
    QList<EarlierVersionsDlg::Row> rows;
    for (const versions::Version &v : kept)
        rows.append({v.time, v.cards, v.size});
    EarlierVersionsDlg dialog(rows, window_);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen() < 0 || dialog.chosen() >= kept.size())
        return;
    // Read before the save question: saving keeps another version and may
    // drop the oldest, the one chosen perhaps.
    QFile file;
    QByteArray bytes;
    if (cardfile::openForReading(file, kept[dialog.chosen()].path) && file.size() <= cardfile::kMaxFileSize)
        bytes = file.readAll();
    if (bytes.isEmpty() || file.error() != QFileDevice::NoError) {
        dialogs_.warn(window_, tr("Earlier versions"),
                      tr("An error occured.  The file could not be opened."));
        return;
    }
    if (!document_.SaveFileIfNeeded())
        return;
    document_.restoreVersion(bytes);
}

} // namespace mdk
