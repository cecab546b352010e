#include "printcontroller.h"

#include "core/deck/deck.h"
#include "core/print/printjob.h"
#include "core/settings/helpfile.h"
#include "core/settings/options.h"
#include "core/shell/commandids.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/print/printdlg.h"
#include "gui/print/printout.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

namespace mdk {

namespace {

bool toPdf(const QPrinter &printer) { return printer.outputFormat() == QPrinter::PdfFormat; }

} // namespace

PrintController::PrintController(const CommandContext &context, const OpenFile &open, QObject *parent)
    : CommandController(context, parent), open_(open),
      printerInstalled_([] { return !QPrinterInfo::availablePrinters().isEmpty(); })
{
    bind(CM_PRINT, &PrintController::PrintTheCards);
}

void PrintController::PrintTheCards()
{
    {
        WaitCursor wait;
        print::beginPrintCommand(deck_);
    }

    const print::DialogStart start = print::dialogStart(deck_, options_.Printonlythiscategory);
    // The adjusted choice is kept even when the dialog is cancelled.
    options_.Printonlythiscategory = start.scope;

    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    PrintDialog dialog(options_.PrintInCardFormat, start.scope, options_.ConfirmDialogShow, deck_.viewCount() > 0,
                       start.haveFoundCards, window_);
    connect(&dialog, &PrintDialog::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::Print, &dialog); });
    connect(&dialog, &PrintDialog::printerSetupRequested, this,
            [this, &dialog, &printer] { dialogs_.setUpPrinter(&dialog, printer); });
    connect(&dialog, &PrintDialog::previewRequested, this,
            [this, &dialog, &printer, &start] { preview(dialog, printer, start.haveFoundCards); });
    if (dialog.exec() == QDialog::Accepted) {
        options_.ConfirmDialogShow = dialog.confirm();
        options_.Printonlythiscategory = dialog.scope();
        options_.PrintInCardFormat = dialog.cardFormat();
        printJob(dialog.cardFormat(), dialog.scope(), dialog.confirm(), printer, start.haveFoundCards);
    }
}

// The printer's own paper; a PDF file (always so without a printer) gets
// the paper of the user's locale.
void PrintController::preparePrinter(QPrinter &printer) const
{
    printer.setDocName(print::documentTitle(window_ ? window_->windowTitle() : QString()));
    if (!printerInstalled_() || toPdf(printer)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem
                                          ? QPageSize::Letter
                                          : QPageSize::A4));
    }
}

void PrintController::preview(PrintDialog &dialog, QPrinter &printer, bool haveFoundCards)
{
    const QString refused = print::refusal(deck_, dialog.scope(), haveFoundCards);
    if (!refused.isEmpty()) {
        dialogs_.warn(&dialog, print::kCaption, refused);
        return;
    }
    const print::JobScope job(deck_, dialog.scope());
    const print::Printout printout(job.cards(), dialog.cardFormat(), open_.ProtectedFileName, options_.LUsingFont);
    dialogs_.previewPrint(&dialog, printer, [&printout](QPrinter *target) { printout.print(*target); });
}

void PrintController::printJob(bool cardFormat, int scope, bool confirm, QPrinter &printer, bool haveFoundCards)
{
    const QString refused = print::refusal(deck_, scope, haveFoundCards);
    if (!refused.isEmpty()) {
        dialogs_.warn(window_, print::kCaption, refused);
        return;
    }
    // The job ends as printing a category with its sub-categories always
    // has, however it ends: at card 1 with no marks.
    const print::JobScope job(deck_, scope);

    // Without a printer the job can only go to a file, and only the print
    // dialog asks for one.
    const bool noDestination = printer.outputFileName().isEmpty() && (toPdf(printer) || !printerInstalled_());
    if ((confirm || noDestination) && !dialogs_.choosePrinter(window_, printer))
        return;

    const print::Printout printout(job.cards(), cardFormat, open_.ProtectedFileName, options_.LUsingFont);
    QProgressDialog progress(window_);
    progress.setWindowTitle(tr("Printing"));
    progress.setCancelButtonText(tr("Cancel"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(500);
    const print::Printout::Outcome outcome = printout.print(printer, [&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setLabelText(tr("Page %1 of %2").arg(qMin(done + 1, total)).arg(total));
        progress.setValue(done);
        // Lets the Cancel button be clicked while the job runs.
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();

    switch (outcome) {
    case print::Printout::Outcome::Printed:
        break;
    case print::Printout::Outcome::Cancelled:
        // A half-written PDF file is no use to anyone.
        if (toPdf(printer) && !printer.outputFileName().isEmpty())
            QFile::remove(printer.outputFileName());
        break;
    case print::Printout::Outcome::Failed:
        dialogs_.warn(window_, print::kCaption, print::kCouldNotPrint);
        break;
    }
}

} // namespace mdk
