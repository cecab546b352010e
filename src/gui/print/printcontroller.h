#pragma once

#include "core/deck/openfile.h"
#include "gui/common/commandcontroller.h"

#include <functional>

class QPrinter;

namespace mdk {

class PrintDialog;

// "Print cards": the print dialog, then one job on a printer or a PDF file,
// with a progress dialog whose Cancel stops it. The dialog's printer lives
// for one run of the dialog, so "Printer setup..." choices last that long.
class PrintController : public CommandController {
    Q_OBJECT
public:
    PrintController(const CommandContext &context, const OpenFile &open, QObject *parent = nullptr);

    void PrintTheCards();

    // Whether a printer is installed; without one a job goes to a PDF file.
    // Tests replace the system's answer.
    void setPrinterCheck(std::function<bool()> installed) { printerInstalled_ = std::move(installed); }

private:
    void preparePrinter(QPrinter &printer) const;
    void preview(PrintDialog &dialog, QPrinter &printer, bool haveFoundCards);
    void printJob(bool cardFormat, int scope, bool confirm, QPrinter &printer, bool haveFoundCards);

    const OpenFile &open_;
    std::function<bool()> printerInstalled_;
};

} // namespace mdk
