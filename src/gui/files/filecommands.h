#pragma once

#include "core/deck/openfile.h"
#include "gui/common/commandcontroller.h"
#include "gui/files/converter.h"

#include <QString>

namespace mdk {

// New, Open, Save, Save As, Revert, Save separately, the recent files,
// Change font, Exit and the save-before-leaving questions. The open file is
// known by its full path, so Save, Revert and the recent files reach the
// file the user chose whatever the letter case of its name on disk; the
// process's working directory is never changed.
class FileCommands : public CommandController {
    Q_OBJECT
public:
    FileCommands(const CommandContext &context, OpenFile &open, QObject *parent = nullptr);

    const OpenFile &openFile() const { return open_; }
    // Makes path the open file (for loads run by other commands).
    void setOpenFile(const QString &path);

    // The format test and conversion question run before every read.
    Converter &converter() { return converter_; }

    // Commands.
    void CMFileNew();
    // True when a file was read.
    bool CMFileOpen();
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

    // Reads the card file at path, named displayName in the caption and
    // status line. The deck is untouched unless it returns true.
    bool FileLoad(const QString &path, const QString &displayName);
    // Reads the card file at path as Open reads a chosen file: it becomes
    // the open file and enters the recent files. No save question.
    bool loadAsOpen(const QString &path);
    // Loads the file named on the command line (name with or without its
    // extension, in dir) and enters it in the recent files.
    bool LoadStartupFile(const QString &dir, const QString &name);

    // The file in dir that a display name stands for: its name with ".mdk"
    // in the letter case given, else the lower-cased on-disk name, else any
    // entry matching either without regard to case, else the name itself.
    static QString locateCardFile(const QString &dir, const QString &displayName);

Q_SIGNALS:
    // The frame's caption.
    void captionChanged(const QString &caption);
    // The deck was written: the tree shows every category again.
    void deckSaved();
    // The recent-file slots changed.
    void recentFilesChanged();
    // The card font of the options changed.
    void cardFontChanged();
    // Exit: close the frame (it asks the exit question).
    void exitRequested();

private:
    bool LoadFile();
    bool differsFromFile() const;
    bool saveLeavingSubcategories();
    // Save's and Save As's refusal of an empty deck; true when refused.
    bool refuseBlank(const QString &caption);
    // Asks before replacing an existing file that the file dialog did not
    // confirm (a name that gained ".mdk"); false when the user declined.
    bool mayReplace(const QString &target, const QString &chosen, const QString &caption);
    bool writeDeckTo(const QString &path);
    // A failed write: the stop box of "Save File", saying why.
    void reportWriteFailure(const QString &path, bool existed, const QString &error);
    void enterFile(const QString &path, const QString &displayName);
    void setWindowTitle(const QString &title);
    QString dialogStart(const QString &lastChosen) const;
    bool mayRead(const QString &path);

    OpenFile &open_;
    // Each dialog remembers the name last chosen in it during the run.
    QString lastOpenTitle_, lastSaveAsTitle_, lastCategoryTitle_;
    Converter converter_{dialogs_, open_};
};

} // namespace mdk
