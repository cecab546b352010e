#pragma once

#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace mdk {

// Every message box and common dialog of the program goes through this
// interface, so that tests can answer them without a screen.
class UserDialogs {
public:
    enum class Icon { Exclamation, Stop, Question, Information };
    // The answer to a save question: Cancelled when the box was closed
    // (Escape or its close button) without Yes or No.
    enum class Answer { Yes, No, Cancelled };
    // The answer to the recovery question; Later also when the box was
    // closed unanswered, so the copy is kept.
    enum class RecoveryAnswer { Recover, Discard, Later };

    virtual ~UserDialogs() = default;

    // A modal message box owned by parent; returns the button pressed, or
    // Cancel when a question without a Cancel button was closed unanswered.
    // defaultButton is what Enter presses (NoButton: Qt's choice).
    virtual QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &caption,
                                                const QString &text, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) = 0;

    // A question with buttons of its own texts: the index of the button
    // pressed, or -1 when the box was closed unanswered (Escape, close).
    virtual int choose(QWidget *parent, Icon icon, const QString &caption, const QString &text,
                       const QStringList &buttons, int defaultButton) = 0;

    // A file to open (must exist) or to save to (asks before overwriting);
    // an empty string when cancelled. startDir is where the dialog opens.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &startDir) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &startDir) = 0;
    // A file that may not exist yet, in a folder that does (a destination
    // the command appends to or creates): no question about replacing it.
    virtual QString destinationFileName(QWidget *parent, const QString &caption, const QString &startDir) = 0;
    // The same for other programs' files, with the dialog's own file types
    // (";;"-separated filters). A fake that knows no types answers as above.
    virtual QString openFileOfType(QWidget *parent, const QString &caption, const QString &startDir,
                                   const QString &filter)
    {
        Q_UNUSED(filter);
        return openFileName(parent, caption, startDir);
    }
    virtual QString saveFileOfType(QWidget *parent, const QString &caption, const QString &startDir,
                                   const QString &filter)
    {
        Q_UNUSED(filter);
        return saveFileName(parent, caption, startDir);
    }
    // A PNG picture to save to (asks before overwriting). By default the
    // ordinary save question, so scripted test dialogs answer it too.
    virtual QString pictureFileName(QWidget *parent, const QString &caption, const QString &startDir)
    {
        return saveFileName(parent, caption, startDir);
    }

    // The system print dialog for printer (printer or PDF file, paper,
    // copies); false when cancelled. Choices stay in printer.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer) = 0;
    // "Printer setup...": the printer (or PDF file) and paper for a later
    // job, in a dialog that says so and prints nothing; false when cancelled.
    virtual bool setUpPrinter(QWidget *parent, QPrinter &printer) = 0;
    // A preview of what paint draws on printer, shown modally.
    virtual void previewPrint(QWidget *parent, QPrinter &printer,
                              const std::function<void(QPrinter *)> &paint) = 0;

    // The font chosen, or nothing when cancelled.
    virtual std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) = 0;

    // Recover (the default) / Discard / Decide later, about a recovery copy.
    virtual RecoveryAnswer askRecover(QWidget *parent, const QString &caption, const QString &text) = 0;

    // Question icon with Yes and No, No the default: a yes that risks work.
    bool askDefaultNo(QWidget *parent, const QString &caption, const QString &text)
    {
        return message(parent, Icon::Question, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes;
    }
    // Conveniences for the usual kinds.
    void warn(QWidget *parent, const QString &caption, const QString &text)
    {
        message(parent, Icon::Exclamation, caption, text, QMessageBox::Ok);
    }
    void stop(QWidget *parent, const QString &caption, const QString &text)
    {
        message(parent, Icon::Stop, caption, text, QMessageBox::Ok);
    }
    // Exclamation icon with Yes and No: the save questions.
    Answer askSave(QWidget *parent, const QString &caption, const QString &text)
    {
        switch (message(parent, Icon::Exclamation, caption, text, QMessageBox::Yes | QMessageBox::No)) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return Answer::Cancelled;
        }
    }
    // Question icon with Yes and No.
    bool ask(QWidget *parent, const QString &caption, const QString &text)
    {
        return message(parent, Icon::Question, caption, text, QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    }
};

// The real dialogs.
class QtUserDialogs : public UserDialogs {
public:
    QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &caption,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) override;
    int choose(QWidget *parent, Icon icon, const QString &caption, const QString &text, const QStringList &buttons,
               int defaultButton) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &startDir) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &startDir) override;
    QString destinationFileName(QWidget *parent, const QString &caption, const QString &startDir) override;
    QString openFileOfType(QWidget *parent, const QString &caption, const QString &startDir,
                           const QString &filter) override;
    QString saveFileOfType(QWidget *parent, const QString &caption, const QString &startDir,
                           const QString &filter) override;
    QString pictureFileName(QWidget *parent, const QString &caption, const QString &startDir) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    bool setUpPrinter(QWidget *parent, QPrinter &printer) override;
    void previewPrint(QWidget *parent, QPrinter &printer,
                      const std::function<void(QPrinter *)> &paint) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override;
    RecoveryAnswer askRecover(QWidget *parent, const QString &caption, const QString &text) override;
};

} // namespace mdk
