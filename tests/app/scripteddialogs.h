#pragma once

#include "gui/common/userdialogs.h"

#include <QList>
#include <QStringList>

#include <deque>

// Answers the program's message boxes and file dialogs from a script and
// records what was asked, so tests can check texts, captions and icons.
class ScriptedDialogs : public mdk::UserDialogs {
public:
    struct Message {
        Icon icon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    QList<Message> messages;
    std::deque<QMessageBox::StandardButton> answers; // next answers, in order
    std::deque<QString> fileNames;                   // next file-dialog results
    int fileDialogs = 0;
    int fontDialogs = 0;

    QMessageBox::StandardButton message(QWidget *, Icon icon, const QString &caption,
                                        const QString &text,
                                        QMessageBox::StandardButtons buttons) override
    {
        messages.append({icon, caption, text, buttons});
        if (!answers.empty()) {
            const auto answer = answers.front();
            answers.pop_front();
            return answer;
        }
        // Unscripted: the harmless answer.
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    }
    QString openFileName(QWidget *, const QString &, const QString &) override { return nextFile(); }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return nextFile(); }
    std::optional<QFont> chooseFont(QWidget *, const QFont &) override
    {
        ++fontDialogs;
        return std::nullopt;
    }

private:
    QString nextFile()
    {
        ++fileDialogs;
        if (fileNames.empty())
            return {};
        const QString name = fileNames.front();
        fileNames.pop_front();
        return name;
    }
};
