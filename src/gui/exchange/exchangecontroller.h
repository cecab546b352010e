#pragma once

#include "gui/common/commandcontroller.h"
#include "gui/exchange/exportdlg.h"

#include <QString>

namespace mdk {

// Import and Export: cards in from spreadsheets, flashcard text exports and
// KDE vocabulary documents, and out to them. The reading and the change of
// the deck are the core's (exchange::parseFile, exchange::applyImport);
// this asks, shows progress and reports.
class ExchangeController : public CommandController {
    Q_OBJECT
public:
    static inline const QString kImportCaption = QStringLiteral("Import");
    static inline const QString kExportCaption = QStringLiteral("Export");

    explicit ExchangeController(const CommandContext &context, QObject *parent = nullptr);

    void CMImport();
    void CMExport();

private:
    // Each file dialog starts where the last one of its kind ended.
    QString lastImport_, lastExport_;
    ExportChoice lastExportChoice_;
};

} // namespace mdk
