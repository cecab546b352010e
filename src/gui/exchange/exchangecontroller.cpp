#include "exchangecontroller.h"

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"
#include "core/deck/filenames.h"
#include "core/exchange/exchange.h"
#include "core/settings/translations.h"
#include "core/shell/commandids.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/exchange/importdlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace mdk {

namespace {

// Translated where they are shown, by the file dialog.
const QString kImportFilter = QStringLiteral(QT_TRANSLATE_NOOP(
    "Mnemodeck", "CSV and text files (*.csv *.tsv *.txt);;KDE vocabulary (*.kvtml);;Flashcard packages (*.apkg *.colpkg);;All Files (*)"));

QString exportFilter(exchange::ExportFormat format)
{
    switch (format) {
    case exchange::ExportFormat::Text: return QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Text files (*.txt);;All Files (*)"));
    case exchange::ExportFormat::Kvtml: return QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "KDE vocabulary (*.kvtml);;All Files (*)"));
    case exchange::ExportFormat::Apkg: return QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Flashcard packages (*.apkg);;All Files (*)"));
    default: return QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "CSV files (*.csv);;All Files (*)"));
    }
}

} // namespace

ExchangeController::ExchangeController(const CommandContext &context, const OpenFile &open, QObject *parent)
    : CommandController(context, parent), open_(open)
{
    bind(CM_IMPORT, &ExchangeController::CMImport);
    bind(CM_EXPORT, &ExchangeController::CMExport);
}

void ExchangeController::CMImport()
{
    const QString path = dialogs_.openFileOfType(window_, kImportCaption,
                                                 lastImport_.isEmpty() ? QDir::homePath() : lastImport_, kImportFilter);
    if (path.isEmpty())
        return;
    lastImport_ = path;
    ImportDlg dialog(path, deck_.tree(), deck_.oldTreeName(), window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ImportChoice choice = dialog.choice();

    // Reading is the long part: progress after half a second, with Cancel.
    // The deck is not touched until the file is read, so a cancel leaves it.
    exchange::ParsedImport parsed;
    {
        QProgressDialog progress(tr("Reading %1...").arg(QFileInfo(path).fileName()), tr("Cancel"), 0, 1000,
                                 window_);
        progress.setWindowTitle(translations::text(kImportCaption));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        parsed = exchange::parseFile(path, choice.options, [&progress](qint64 done, qint64 total) {
            progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    }
    if (parsed.cancelled) {
        Q_EMIT statusMessage(tr("Import cancelled"));
        return;
    }
    if (!parsed.error.isEmpty()) {
        dialogs_.warn(window_, kImportCaption, parsed.error);
        return;
    }
    // Sorting out the cards (duplicates, categories) can take as long:
    // progress with Cancel again, up to the point where they are added.
    exchange::ImportSummary summary;
    {
        const WaitCursor wait;
        QProgressDialog progress(tr("Adding the cards of %1...").arg(QFileInfo(path).fileName()), tr("Cancel"), 0,
                                 1000, window_);
        progress.setWindowTitle(translations::text(kImportCaption));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        summary = exchange::applyImportReleasing(parsed, deck_, choice.target, choice.duplicates,
                                        [&progress](qint64 done, qint64 total) {
                                            progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
                                            QCoreApplication::processEvents();
                                            return !progress.wasCanceled();
                                        });
    }
    if (summary.cancelled) {
        Q_EMIT statusMessage(tr("Import cancelled"));
        return;
    }
    const QString text = exchange::summaryText(summary, parsed);
    Q_EMIT statusMessage(text);
    // Anything but a plain "all added" stays on screen until dismissed.
    if (parsed.unreadable > 0 || summary.storeFull || !parsed.note.isEmpty() || summary.skipped > 0
        || summary.updated > 0 || !summary.joined.isEmpty() || !parsed.repeatedIds.isEmpty() || parsed.leftOut > 0)
        dialogs_.warn(window_, kImportCaption, text);
}

bool ExchangeController::mayExportTo(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (!open_.path.isEmpty() && names::sameFile(path, open_.path)) {
        dialogs_.stop(window_, kExportCaption,
                      tr("Cannot export to %1.  It is the card file that is open now; choose another name.").arg(name));
        return false;
    }
    const bool cardFile = path.endsWith(QLatin1String(".mdk"), Qt::CaseInsensitive)
                          || (QFileInfo(path).isFile()
                              && cardfile::testFormatOfFile(path) == cardfile::Format::Current);
    if (cardFile && QFileInfo::exists(path)
        && !dialogs_.ask(window_, kExportCaption,
                         tr("%1 is a card file.  Replace its cards with the exported ones?").arg(name)))
        return false;
    return true;
}

void ExchangeController::CMExport()
{
    ExportDlg dialog(lastExportChoice_, window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    lastExportChoice_ = dialog.choice();
    const QString path = dialogs_.saveFileOfType(window_, kExportCaption,
                                                 lastExport_.isEmpty() ? QDir::homePath() : QFileInfo(lastExport_).path(),
                                                 exportFilter(lastExportChoice_.format));
    if (path.isEmpty())
        return;
    lastExport_ = path;
    if (!mayExportTo(path))
        return;
    WriteResult written;
    int cards = 0;
    {
        const WaitCursor wait;
        const exchange::ExportSet set = exchange::cardsToExport(deck_, lastExportChoice_.scope);
        cards = int(set.cards.size());
        written = exchange::exportFile(set, lastExportChoice_.format, path);
    }
    if (!written.ok) {
        dialogs_.warn(window_, kExportCaption,
                      tr("%1 could not be written: %2").arg(QFileInfo(path).fileName(), written.error));
        return;
    }
    Q_EMIT statusMessage(tr("%1 cards exported to %2").arg(cards).arg(QFileInfo(path).fileName()));
}

} // namespace mdk
