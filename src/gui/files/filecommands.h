#pragma once

#include "core/settings/options.h"
#include "core/deck/deck.h"

#include <QString>

#include <functional>

class QWidget;

namespace mdk {

class UserDialogs;

// What the file commands need from the main window.
class FileHost {
public:
    virtual ~FileHost() = default;
    // The frame's caption.
    virtual void setCaption(const QString &caption) = 0;
    virtual void ShowStatusMessage(const QString &text) = 0;
    // Redisplays the current card.
    virtual void SetText() = 0;
    // Rebuilds the tree control from the deck's tree (after a load or New).
    virtual void rebuildTree() = 0;
    virtual void expandTree() = 0;
    // Rebuilds the recent-file items of the File menu from the slots.
    virtual void UpdateFileMenu() = 0;
    // Gives the card display and its measuring twin the card font.
    virtual void applyCardFont() = 0;
};

// New, Open, Save, Save As, Revert, Save separately, the recent-file
// commands, Change font and the save-before-leaving questions. The open
// file is known by its full path, so Save, Revert and the recent files reach
// the file the user chose whatever the letter case of its name on disk; the
// process's working directory is never changed.
class FileCommands {
public:
    FileCommands(Deck &deck, Options &options, UserDialogs &dialogs, FileHost &host,
                 QWidget *parent = nullptr);

    // The open file: its display name (empty after New) and its directory.
    QString ProtectedFileName;
    QString ProtectedFilePath;
    // The title chosen in the last open or save dialog.
    QString FileName;
    // The frame caption last set.
    QString WindowTitle = QStringLiteral("Mnemodeck");
    // Where the file dialogs open; every dialog closed with OK moves it to
    // the folder chosen, and a read moves it to the file's folder.
    QString currentDirectory;

    // The full path of the open file; empty while no file is open.
    const QString &openFilePath() const { return openFile_; }
    // Makes path the open file (for loads run by other commands).
    void setOpenFile(const QString &path);

    // Decides, before any read, whether a file may be read: true for a
    // current card file (or one that is not there; the read reports that).
    // Until conversion exists, a file of an earlier layout is refused.
    std::function<bool(const QString &path)> convertIfNecessary;

    // Commands.
    void CMFileNew();
    void CMFileOpen();
    bool SaveFile();
    bool SaveFileAs();
    void RevertFile();
    void SaveCategory();
    // Recent file k, 1 to 5.
    void CMFile(int k);
    void ChangeFont();

    // The save-before-leaving question. False when the user wanted the deck
    // saved and it was not (dialog cancelled, write failed): the command
    // that asked then stops and the deck stays as it was.
    bool SaveFileIfNeeded();
    // The exit question; false when the user wanted the deck saved and it
    // was not, so that closing does not lose the changes.
    bool SaveBeforeExit();

    // The Open dialog and read; true when a file was read.
    bool LoadFile();
    // Reads the card file at path, named displayName in the caption and
    // status line. The deck is untouched unless it returns true.
    bool FileLoad(const QString &path, const QString &displayName);
    // Loads the file named on the command line (name with or without its
    // extension, in dir) and enters it in the recent files.
    bool LoadStartupFile(const QString &dir, const QString &name);

    // Enablers.
    bool SaveEnable() const;
    bool SaveAsEnable() const;
    bool RevertEnable() const;

    // The file in dir that a display name stands for: its name with ".mdk"
    // in the letter case given, else the lower-cased on-disk name, else any
    // entry matching either without regard to case, else the name itself.
    static QString locateCardFile(const QString &dir, const QString &displayName);

private:
    // Save's and Save As's refusal of an empty deck; true when refused.
    bool refuseBlank(const QString &caption);
    bool writeDeckTo(const QString &path);
    // A failed write: the stop box of "Save File", saying why.
    void reportWriteFailure(const QString &path, bool existed, const QString &error);
    void enterFile(const QString &path, const QString &displayName);
    void setWindowTitle(const QString &title);
    QString dialogStart(const QString &lastChosen) const;
    bool defaultConvertIfNecessary(const QString &path);

    Deck &deck_;
    Options &options_;
    UserDialogs &dialogs_;
    FileHost &host_;
    QWidget *parent_;
    QString openFile_;
    // Each dialog remembers the name last chosen in it during the run.
    QString lastOpenTitle_, lastSaveAsTitle_, lastCategoryTitle_;
};

} // namespace mdk
