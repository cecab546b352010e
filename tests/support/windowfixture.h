#pragma once

// The real frame with its study pane and controllers, set up as the program
// does, with every message box and file dialog answered by a script.

#include "support/deckbuilder.h"
#include "support/scripteddialogs.h"

#include "gui/shell/mdkmaindlg.h"
#include "gui/shell/mnemodeckwindow.h"

#include <QAction>
#include <QTest>

#include <memory>

namespace mdk::testsupport {

struct WindowFixture {
    ScriptedDialogs dialogs;
    std::unique_ptr<MnemodeckWindow> window;
    MDKMainDlg *dlg = nullptr; // the study pane

    // settingsHome: a folder for the settings store (config/Mnemodeck.ini,
    // data/classes.ini), also where the help file is looked for; without
    // one nothing is read or written.
    explicit WindowFixture(const QString &settingsHome = QString())
    {
        window = std::make_unique<MnemodeckWindow>(&dialogs);
        dlg = window->client();
        if (!settingsHome.isEmpty())
            window->useSettings(settingsHome + QStringLiteral("/config/Mnemodeck.ini"),
                                settingsHome + QStringLiteral("/data/classes.ini"), settingsHome);
        window->SetupWindow();
        window->sizeFrame();
        window->show();
        // The window's shortcuts reach only an active window; the tests that
        // type keys check the focus themselves.
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the main window did not become active");
    }

    Deck &deck() { return window->deck(); }

    // Replaces the deck with count cards of "Main" ("q1"/"a1", ...), as a
    // file load would leave it, and shows card 1.
    void study(int count) { show(mainDeck(count)); }
    void show(Deck deck)
    {
        window->deck() = std::move(deck);
        dlg->RefreshTree();
        dlg->SetText();
        window->updateCommands();
    }

    bool enabled(int id) const { return window->commandAction(id)->isEnabled(); }
};

} // namespace mdk::testsupport
