#pragma once

#include "core/shell/clocktext.h"
#include "core/shell/commandline.h"
#include "core/shell/commandtable.h"
#include "core/settings/options.h"
#include "gui/common/userdialogs.h"
#include "core/deck/deck.h"
#include "core/study/autorepeat.h"

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <memory>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QScrollBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace mdk {

class CardDisplay;
class HelpViewer;
class FileCommands;
class FileHost;

// The main dialog: the central widget of the frame. It owns the deck, the
// options, the card display, the category tree, the commands and the
// timers, and carries out every command.
//
// The handlers are split by subsystem: this file's .cpp holds the shell
// (commands, status line, clock, closing), src/app/startupload.cpp the
// start-up load, src/view/studycommands.cpp the study view.
class MDKMainDlg : public QWidget {
    Q_OBJECT
public:
    // dialogs answers every message box and file dialog; without one the
    // real dialogs are used.
    explicit MDKMainDlg(UserDialogs *dialogs = nullptr, QWidget *parent = nullptr);
    ~MDKMainDlg() override;

    // ---- State ----
    Deck deck;
    Options options;
    bool NotepadOn = false;
    bool AboutIsOpen = false;
    bool ShowingMessage = false;
    int scrollposition = 0;
    int amounttodelete = 0;

    UserDialogs &dialogs() { return *dialogs_; }

    // ---- Connections to the settings and file-command classes ----
    // Empty hooks are skipped. Without saveFile a changed deck cannot be
    // saved, so a Yes to the exit question keeps the window open.
    struct Hooks {
        std::function<void()> loadSettings; // LoadINI, during set-up
        std::function<void()> saveSettings; // SaveINI, on every close attempt
        std::function<bool()> saveFile;     // SaveFile; true when the deck is on disk
        std::function<void()> fileOpened;   // SetFileMenu, after the start-up load
    };
    Hooks hooks;

    // ---- Set-up, run by the frame ----
    // Builds the menu bar, tool bar and status bar into the frame.
    void attachFrame(QMainWindow *frame);
    // The rest of the set-up: tree, fonts, clock, frame size, timers.
    void SetupWindow();
    // Loads the card file named on the command line (when one is).
    void LoadStartupFileFn(const StartupFile &startup);
    // Pixels of the main dialog's template at the dialog font.
    QSize templateSize() const;

    // ---- Commands ----
    QAction *commandAction(int id) const { return actions_.value(id); }
    QMenu *popupMenu(Popup popup) const;
    QToolBar *toolBar() const { return toolBar_; }
    // Runs a command when its enabler allows it.
    void runCommand(int id);
    bool commandEnabled(int id) const;
    // Re-evaluates every enabler; called after every command and whenever a
    // menu opens.
    void updateCommands();
    EnableState enableState() const { return {deck, options, NotepadOn, AboutIsOpen}; }

    // ---- Status line and timers ----
    void ShowStatusMessage(const QString &text);
    QString statusText() const;
    QString timeText() const;
    QString dateText() const;
    void SetTime(const QDateTime &now = QDateTime::currentDateTime());
    void SetDate(const QDate &today = QDate::currentDate());
    // The tick of timer 1 (clock), 2 (auto-repeat) or 3 (end of a message).
    void EvTimer(int id);
    QTimer &timer(int id);
    // Where the pointer is, in global coordinates; replaceable for tests.
    std::function<QPoint()> pointerPosition;

    // ---- Files ----
    // Reads the card file baseName in directory into the deck; false when
    // it was not read (the deck is then unchanged).
    bool FileLoad(const QString &baseName, const QString &directory);
    // Shows the deck's category tree with the selected node current.
    void RefreshTree();
    // Gives the card display the card font of the options.
    void ApplyCardFont();

    // ---- File commands (src/deck/filehandlers.cpp) ----
    FileCommands &fileCommands() { return *files_; }
    // The open card file: display name and directory; empty when none.
    const QString &ProtectedFileName() const;
    const QString &ProtectedFilePath() const;
    void CMFileNew();
    void CMFileOpen();
    void SaveFile();
    void SaveFileAs();
    void RevertFile();
    void SaveCategory();
    void CMFile1();
    void CMFile2();
    void CMFile3();
    void CMFile4();
    void CMFile5();
    void ChangeFont();
    // Rebuilds the recent-file items of the File menu from the slots.
    void UpdateFileMenu();
    // The recent-file item with command id 801 to 805, if it exists.
    QAction *recentFileAction(int id) const;

    // ---- Help ----
    // Opens the help file at its index.
    void CMHelp();
    // Opens the help file at topic (0: the index). A dialog passes itself
    // as owner, so that the help window is usable while it is open.
    void openHelp(int topic, QWidget *owner = nullptr);
    HelpViewer *helpViewer() const;

    // ---- Closing ----
    // Offers to save a changed deck; false keeps the window open.
    bool CanClose();
    void CMMyExit();
    // Stops timers 1 and 2 (and 3) once closing goes ahead.
    void stopTimers();

    // ---- Study view (src/view/studycommands.cpp) ----
    void SetText();
    void ChangeSide();
    void ChangeSideBackwards();
    void ScrollCard();
    void CMInformation();
    void CMJump();
    void CMMark();
    void CMUnmarkAll();
    CardDisplay *cardDisplay() const { return display_; }
    QScrollBar *cardScrollBar() const { return scrollBar_; }
    QTreeWidget *categoriesTree() const { return tree_; }
    const AutoRepeat &autoRepeat() const { return repeat_; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildCommands();
    void TvnSelChanged();
    void applyRepeat(const AutoRepeat::Action &action);
    void endStatusMessage();
    // Writes the status line unless a status message is showing.
    void setStatusLine(const QString &text);
    void pressButton(QMouseEvent *event);
    void setCaption(const QString &caption);
    void initFileCommands();
    void openRecentFile(int k);
    void enableRecentFiles();
    friend class MainDlgFileHost;

    std::unique_ptr<UserDialogs> ownDialogs_;
    UserDialogs *dialogs_;
    QMainWindow *frame_ = nullptr;

    CardDisplay *display_ = nullptr;
    QScrollBar *scrollBar_ = nullptr;
    QTreeWidget *tree_ = nullptr;
    QHash<int, QAction *> actions_;
    QHash<int, QMenu *> menus_;
    QToolBar *toolBar_ = nullptr;
    QLabel *messageArea_ = nullptr;
    QLabel *timeGadget_ = nullptr;
    QLabel *dateGadget_ = nullptr;

    QTimer timer1_; // clock, 500 ms
    QTimer timer2_; // auto-repeat, 500 ms then 100 ms
    QTimer timer3_; // end of a status message, 3000 ms once
    clock::Clock clock_;
    AutoRepeat repeat_;
    bool fillingTree_ = false;
    // When the last press arrived, so that a double-click delivered along
    // with its own press is not counted twice.
    std::optional<quint64> lastPressTime_;

    QPointer<HelpViewer> helpViewer_;
    std::unique_ptr<FileHost> fileHost_;
    std::unique_ptr<FileCommands> files_;
    QList<QAction *> recentItems_; // separator 807, the recent files, separator 806
};

} // namespace mdk
