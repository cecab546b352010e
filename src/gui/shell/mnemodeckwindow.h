#pragma once

#include "core/deck/deck.h"
#include "core/deck/openfile.h"
#include "core/settings/options.h"
#include "core/shell/clocktext.h"
#include "core/shell/commandline.h"
#include "core/shell/commandtable.h"
#include "gui/common/commandcontroller.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <vector>

class QLabel;

namespace mdk {

class AboutController;
class CategoryController;
class NotepadController;
class PrintController;
class RecoveryController;
class CommandController;
class EditController;
class FileCommands;
class OpenDocument;
class HelpController;
class MDKMainDlg;
class SearchController;
class SettingsStore;
class StudyController;
class TransferController;
class UserDialogs;

// The frame: it owns the document (deck, options, the open file), the
// menus, tool bar and status bar built from the command table, the clock,
// and the subsystems' controllers, and it holds the study pane MDKMainDlg.
// It cannot be resized or maximised; its size follows from the pane's.
class MnemodeckWindow : public QMainWindow {
    Q_OBJECT
public:
    // dialogs answers every message box and file dialog; without one the
    // real dialogs are used.
    explicit MnemodeckWindow(UserDialogs *dialogs = nullptr, QWidget *parent = nullptr);
    ~MnemodeckWindow() override;

    // The settings: read during set-up, written on every close attempt.
    // loadDirectory is where a help file is looked for when no help folder
    // is stored. Without a store nothing is read or written.
    void useSettings(const QString &currentUserFile, const QString &classesRootFile,
                     const QString &loadDirectory);
    // The card-file type and the template. dataHome is $XDG_DATA_HOME,
    // templates the templates folder.
    void registerWithDesktop(const QString &programPath, const QString &dataHome, const QString &templates);

    // The rest of the set-up: settings, card font, tree, clock, commands.
    void SetupWindow();
    // Fixes the frame's size from the pane's template and moves it to the
    // stored position.
    void sizeFrame();
    // Loads the card file named on the command line (when one is).
    void LoadStartupFileFn(const StartupFile &startup);

    // ---- The document ----
    Deck &deck() { return deck_; }
    Options &options() { return options_; }
    const OpenFile &openFile() const { return open_; }
    UserDialogs &dialogs() { return *dialogs_; }

    // ---- Panes and controllers ----
    MDKMainDlg *client() const { return client_; }
    // Each subsystem's controller, found in the one list of controllers.
    FileCommands &fileCommands() const;
    StudyController &studyCommands() const;
    HelpController &helpCommands() const;
    EditController &editCommands() const;
    SearchController &searchCommands() const;
    CategoryController &categoryCommands() const;
    NotepadController &notepadCommands() const;
    AboutController &aboutCommands() const;
    TransferController &transferCommands() const;
    PrintController &printCommands() const;
    RecoveryController &recovery() const { return *recovery_; }

    // ---- Commands ----
    QAction *commandAction(int id) const { return actions_.value(id); }
    QMenu *popupMenu(Popup popup) const { return menus_.value(int(popup)); }
    QToolBar *toolBar() const { return toolBar_; }
    // Runs a command when a controller binds it and its enabler allows it.
    void runCommand(int id);
    bool commandEnabled(int id) const;
    // Whether a controller binds the command.
    bool isBound(int id) const { return handlers_.contains(id); }
    // Re-evaluates every enabler and check mark; after every command and
    // whenever a menu opens.
    void updateCommands();
    EnableState enableState() const;

    // ---- Status line and clock ----
    void ShowStatusMessage(const QString &text);
    bool ShowingMessage = false;
    // The status line's text (a message whole, even where it is cut short
    // on the screen), and what the line shows.
    QString statusText() const;
    QString statusShown() const;
    QString timeText() const;
    QString dateText() const;
    void SetTime(const QDateTime &now = QDateTime::currentDateTime());
    void SetDate(const QDate &today = QDate::currentDate());
    // The tick of timer 1 (clock) or 3 (end of a status message).
    void EvTimer(int id);
    QTimer &timer(int id) { return id == 1 ? clockTimer_ : messageTimer_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    template <class Controller>
    Controller &commands() const;
    void buildCommands();
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void addController(CommandController *controller);
    void connectFileCommands(FileCommands *files);
    void updateRecentFiles();
    void setStatusLine(const QString &text);
    void endStatusMessage();
    void loadSettings();
    void saveSettings();
    void applyCardFont();

    std::unique_ptr<UserDialogs> ownDialogs_;
    UserDialogs *dialogs_;
    Deck deck_;
    Options options_;
    OpenFile open_;
    std::unique_ptr<SettingsStore> settings_;
    QString loadDirectory_;

    MDKMainDlg *client_ = nullptr;
    std::vector<CommandController *> controllers_;
    OpenDocument *document_ = nullptr;
    RecoveryController *recovery_ = nullptr;
    QHash<int, std::function<void()>> handlers_;

    QHash<int, QAction *> actions_;
    QHash<int, QMenu *> menus_;
    std::vector<QAction *> recentSeparators_; // 807 above the items, 806 below
    QToolBar *toolBar_ = nullptr;
    QLabel *messageArea_ = nullptr;
    QLabel *dueGadget_ = nullptr;
    QString fullStatus_; // the message shown, whole
    QLabel *timeGadget_ = nullptr;
    QLabel *dateGadget_ = nullptr;
    QTimer clockTimer_;   // 500 ms
    QTimer messageTimer_; // 3000 ms once: the end of a status message
    clock::Clock clock_;
};

} // namespace mdk
