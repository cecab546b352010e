#pragma once

#include "core/deck/openfile.h"
#include "gui/common/commandcontroller.h"
#include "gui/exchange/exportdlg.h"

#include <QCoreApplication>
#include <QString>

namespace mdk {

// Import and Export: cards in from spreadsheets, flashcard text exports and
// KDE vocabulary documents, and out to them. The reading and the change of
// the deck are the core's (exchange::parseFile, exchange::applyImport);
// this asks, shows progress and reports.
class ExchangeController : public CommandController {
    Q_OBJECT
public:
    // Translated where they are shown, as every caption is.
    static inline const QString kImportCaption = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Import"));
    static inline const QString kExportCaption = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Export"));

    // open: the card file that is open, which an export never replaces.
    ExchangeController(const CommandContext &context, const OpenFile &open, QObject *parent = nullptr);

    void CMImport();
    void CMExport();

private:
    // False when the export must not write to path: it is the open card
    // file (refused), or another card file the user chose not to replace.
    bool mayExportTo(const QString &path);

    const OpenFile &open_;
    // Each file dialog starts where the last one of its kind ended.
    QString lastImport_, lastExport_;
    ExportChoice lastExportChoice_;
};

} // namespace mdk
