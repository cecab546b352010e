// mdktool print: the Print command's printout of a card file, into a PDF
// file, without a display.

#include "core/deck/filenames.h"
#include "core/print/printjob.h"
#include "gui/print/printout.h"
#include "mdktool_commands.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

namespace mdk::tool {

namespace {

// Fine enough that the PDF's coordinates lose nothing of a 0.1 mm layout,
// coarse enough to keep the numbers short.
constexpr int kPdfResolution = 600;

struct PrintChoice {
    bool cardFormat = true;
    int scope = print::AllCards;
    QPageSize paper;
    QString in, out;
};

// A usage error leaves the choice incomplete and returns false.
bool takePrintOptions(QStringList args, PrintChoice &choice, ViewChoice &view)
{
    if (!takeViewOptions(args, view, false))
        return false;
    bool formatGiven = false, cardsGiven = false, paperGiven = false;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--")) {
            files << args.mid(i + 1);
            break;
        }
        if (a == QLatin1String("--format") || a == QLatin1String("--cards") || a == QLatin1String("--paper")) {
            if (i + 1 == args.size())
                return false;
            const QString value = args[++i];
            if (a == QLatin1String("--format")) {
                if (formatGiven || (value != QLatin1String("card") && value != QLatin1String("list")))
                    return false;
                formatGiven = true;
                choice.cardFormat = value == QLatin1String("card");
            } else if (a == QLatin1String("--cards")) {
                if (cardsGiven)
                    return false;
                cardsGiven = true;
                if (value == QLatin1String("all"))
                    choice.scope = print::AllCards;
                else if (value == QLatin1String("category"))
                    choice.scope = print::ThisCategory;
                else if (value == QLatin1String("subs"))
                    choice.scope = print::CategoryAndSubs;
                else
                    return false;
            } else {
                if (paperGiven || (value != QLatin1String("letter") && value != QLatin1String("a4")))
                    return false;
                paperGiven = true;
                choice.paper = QPageSize(value == QLatin1String("a4") ? QPageSize::A4 : QPageSize::Letter);
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            return false;
        } else {
            files << a;
        }
    }
    if (files.size() != 2)
        return false;
    if (!paperGiven) // the paper a PDF file gets in the program: the locale's
        choice.paper = QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                              : QPageSize::A4);
    choice.in = files[0];
    choice.out = files[1];
    return true;
}

int printToPdf(const PrintChoice &choice, const ViewChoice &view)
{
    Deck deck;
    int exitCode = 0;
    if (!openViewToRewrite(choice.in, choice.out, deck, view, exitCode))
        return exitCode;
    // As the program's Print command: the view folded back and the
    // category opened, then the dialog's opening adjustments, then OK.
    print::beginPrintCommand(deck);
    const print::DialogStart start = print::dialogStart(deck, choice.scope);
    const QString refused = print::refusal(deck, start.scope, start.haveFoundCards);
    if (!refused.isEmpty())
        return fail(choice.in, refused);

    const QString displayName = names::displayName(QFileInfo(choice.in).fileName());
    const print::Printout printout(print::cardsToPrint(deck, start.scope), choice.cardFormat, displayName, LogFont());

    // Written beside OUT and renamed at the end: a failed job never leaves
    // half a PDF behind.
    QSaveFile file(choice.out);
    if (!file.open(QIODevice::WriteOnly))
        return fail(choice.out, QStringLiteral("cannot be written: ") + file.errorString());
    print::Printout::Outcome outcome;
    {
        QPdfWriter writer(&file);
        writer.setTitle(print::documentTitle(QStringLiteral("Mnemodeck - ") + displayName));
        writer.setCreator(QStringLiteral("Mnemodeck"));
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(choice.paper, QPageLayout::Portrait, QMarginsF()));
        outcome = printout.print(writer);
    }
    if (outcome != print::Printout::Outcome::Printed || !file.commit())
        return fail(choice.out, QStringLiteral("cannot be written: ") + (outcome == print::Printout::Outcome::Printed
                                                                             ? file.errorString()
                                                                             : print::kCouldNotPrint));
    return 0;
}

} // namespace

int printCommand(int &argc, char **argv)
{
    // No display is needed: the pages are drawn off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.remove(0, 2); // the program and "print"
    PrintChoice choice;
    ViewChoice view;
    if (!takePrintOptions(args, choice, view))
        return usage();
    return printToPdf(choice, view);
}

} // namespace mdk::tool
