#pragma once

// A stand-in for the real dialogs: it records every message box and answers
// questions and file dialogs from queues the test fills. A question or
// dialog the test did not expect is recorded and answered No / Cancel.
// Cancel answers a Yes/No question as a box closed unanswered would.

#include "gui/common/userdialogs.h"

#include <QList>
#include <QStringList>

namespace mdk::testsupport {

class ScriptedDialogs : public UserDialogs {
public:
    struct Shown {
        Icon icon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    struct FileDialog {
        QString caption;
        QString startDir;
    };

    QList<Shown> shown;
    QList<QMessageBox::StandardButton> answers;
    QStringList openAnswers, saveAnswers, destinationAnswers;
    // Answers to the system print dialog (true: Print); each run is counted.
    QList<bool> printAnswers;
    int printDialogs = 0;
    // "Printer setup..." runs: each is counted and answered OK.
    int printerSetups = 0;
    // Each preview runs paint once on the printer it was given.
    int previews = 0;
    QList<std::optional<QFont>> fontAnswers;
    QList<FileDialog> fileDialogs;
    QStringList unexpected;
    // Answers to the recovery question; an unexpected one is Decide later.
    QList<RecoveryAnswer> recoverAnswers;
    QStringList recoverQuestions;

    QMessageBox::StandardButton message(QWidget *, Icon icon, const QString &caption, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) override
    {
        shown.append({icon, caption, text, buttons, defaultButton});
        if (buttons == QMessageBox::Ok)
            return QMessageBox::Ok;
        if (answers.isEmpty()) {
            unexpected << QStringLiteral("question: ") + text;
            return QMessageBox::No;
        }
        return answers.takeFirst();
    }
    // Answers to the questions with buttons of their own: the index pressed.
    QList<int> choices;
    int choose(QWidget *, Icon icon, const QString &caption, const QString &text, const QStringList &buttons,
               int) override
    {
        shown.append({icon, caption, text, QMessageBox::NoButton});
        if (choices.isEmpty()) {
            unexpected << QStringLiteral("question: ") + text + QStringLiteral(" [") + buttons.join(u'/')
                              + QLatin1Char(']');
            return -1;
        }
        return choices.takeFirst();
    }
    RecoveryAnswer askRecover(QWidget *, const QString &, const QString &text) override
    {
        recoverQuestions << text;
        if (recoverAnswers.isEmpty()) {
            unexpected << QStringLiteral("recovery: ") + text;
            return RecoveryAnswer::Later;
        }
        return recoverAnswers.takeFirst();
    }
    QString openFileName(QWidget *, const QString &caption, const QString &startDir) override
    {
        fileDialogs.append({caption, startDir});
        return take(openAnswers, QStringLiteral("open dialog"));
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &startDir) override
    {
        fileDialogs.append({caption, startDir});
        return take(saveAnswers, QStringLiteral("save dialog: ") + caption);
    }
    QString destinationFileName(QWidget *, const QString &caption, const QString &startDir) override
    {
        fileDialogs.append({caption, startDir});
        return take(destinationAnswers, QStringLiteral("destination dialog: ") + caption);
    }
    bool choosePrinter(QWidget *, QPrinter &) override
    {
        ++printDialogs;
        if (printAnswers.isEmpty()) {
            unexpected << QStringLiteral("print dialog");
            return false;
        }
        return printAnswers.takeFirst();
    }
    bool setUpPrinter(QWidget *, QPrinter &) override
    {
        ++printerSetups;
        return true;
    }
    void previewPrint(QWidget *, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override
    {
        ++previews;
        paint(&printer);
    }
    std::optional<QFont> chooseFont(QWidget *, const QFont &) override
    {
        if (fontAnswers.isEmpty()) {
            unexpected << QStringLiteral("font dialog");
            return std::nullopt;
        }
        return fontAnswers.takeFirst();
    }

    // The messages shown, as "caption|text", for compact comparisons.
    QStringList messages() const
    {
        QStringList out;
        for (const Shown &s : shown)
            out << s.caption + QLatin1Char('|') + s.text;
        return out;
    }

private:
    QString take(QStringList &queue, const QString &what)
    {
        if (queue.isEmpty()) {
            unexpected << what;
            return QString();
        }
        return queue.takeFirst();
    }
};

} // namespace mdk::testsupport
