#pragma once

#include "scripteddialogs.h"

#include "core/shell/commandline.h"
#include "gui/shell/mdkmaindlg.h"
#include "gui/files/filecommands.h"
#include "gui/shell/mnemodeckwindow.h"

#include <QFile>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

// The real frame and main dialog, set up as the program does, with the
// message boxes answered by a script.
struct WindowFixture {
    ScriptedDialogs dialogs;
    mdk::MDKMainDlg *dlg = nullptr;
    std::unique_ptr<mdk::MnemodeckWindow> window;

    WindowFixture()
    {
        dlg = new mdk::MDKMainDlg(&dialogs);
        window = std::make_unique<mdk::MnemodeckWindow>(dlg);
        dlg->SetupWindow();
        window->sizeFrame();
        window->show();
    }

    // Replaces the deck with count cards of "Main" ("q1"/"a1", ...), as a
    // file load would leave it.
    void study(int count)
    {
        mdk::Deck &d = dlg->deck;
        d.clear();
        for (int i = 1; i <= count; ++i) {
            d.MainSide1List.AddString(QStringLiteral("q%1").arg(i));
            d.MainSide2List.AddString(QStringLiteral("a%1").arg(i));
            d.CatList.AddString(QStringLiteral("Main"));
        }
        d.LoadView(QStringLiteral("Main"));
        d.ResetCurrentCard();
        dlg->RefreshTree();
        dlg->SetText();
    }

    bool enabled(int id) const { return dlg->commandAction(id)->isEnabled(); }
};

// Writes a card file: the categories (name, parent) then the cards
// (side 1, side 2, category), each field followed by 0x07.
inline bool writeCardFile(const QString &path, const std::vector<std::pair<QString, QString>> &categories,
                          const std::vector<QStringList> &cards)
{
    QStringList fields{QString::number(categories.size() + 1), QStringLiteral("Main"), QStringLiteral("Root")};
    for (const auto &[name, parent] : categories)
        fields << name << parent;
    for (const QStringList &card : cards)
        fields << card;
    QByteArray bytes;
    for (const QString &f : fields)
        bytes += f.toUtf8() + '\x07';
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
