#pragma once

#include "core/deck/filelock.h"
#include "core/deck/openfile.h"
#include "gui/common/commandcontroller.h"
#include "gui/files/converter.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace mdk {

// The open card file: which file it is, the save question asked before the
// deck is left, Save and Save As, reading a file as the open one, and the
// conversion question every read asks. The file commands and the transfer
// commands share it, so a load or save either runs looks the same: the
// caption, the status line and the recent files follow. The open file is
// known by its full path; the process's working directory is never changed.
class OpenDocument : public QObject {
    Q_OBJECT
public:
    OpenDocument(const CommandContext &context, OpenFile &open, QObject *parent = nullptr);

    OpenFile &file() { return open_; }
    const OpenFile &file() const { return open_; }
    Converter &converter() { return converter_; }

    // Makes path the open file (for loads run by other commands).
    void setOpenFile(const QString &path);
    // True when the open file on disk and path are the same file.
    bool isOpenFile(const QString &path) const;
    // The deck holds changes its file (or no file) lacks.
    bool differsFromFile() const;

    // The save-before-leaving question. False when the command that asked
    // must stop with the deck as it was: the box was closed unanswered, or
    // the user wanted the deck saved and it was not (dialog cancelled,
    // write failed).
    bool SaveFileIfNeeded();
    // The save question for a command that reads the open file from disk
    // (a merge): true to go on. The changed flag stays as the answer left
    // it, since the deck itself is not replaced.
    bool offerToSave() { return askBeforeLeaving(kBeforeLoadingQuestion); }
    // The same question at exit.
    bool SaveBeforeExit();

    bool SaveFile();
    bool SaveFileAs();

    // The Open command: the save question, the open dialog and the read;
    // true when a file was read.
    bool Open();

    // Reads the card file at path, named displayName in the caption and
    // status line. The deck is untouched unless it returns true.
    bool FileLoad(const QString &path, const QString &displayName);
    // Reads the card file at path as Open reads a chosen file: it becomes
    // the open file and enters the recent files. No save question.
    bool loadAsOpen(const QString &path);
    // Records path, shown as displayName, as the open file and enters it in
    // the recent files.
    void enterFile(const QString &path, const QString &displayName);
    // Makes path the open file as a read would, for a deck that came from
    // elsewhere (a recovery copy of it): its lock, its state on disk, its
    // versions, the caption and the recent files. False, with nothing
    // changed, when another window holds it and the user said No.
    bool adoptFile(const QString &path, const QString &displayName);

    // Where a file dialog starts: the name last chosen in it, in the folder
    // of the last dialog.
    QString dialogStart(const QString &lastChosen) const;
    // Asks before replacing an existing file that the file dialog did not
    // confirm (a name that gained ".mdk"); false when the user declined.
    bool mayReplace(const QString &target, const QString &chosen, const QString &caption);
    // A failed write: the stop box of "Save File", saying why.
    void reportWriteFailure(const QString &path, bool existed, const QString &error);

    // The file in dir that a display name stands for: its name with ".mdk"
    // in the letter case given, else the lower-cased on-disk name, else any
    // entry matching either without regard to case, else the name itself.
    static QString locateCardFile(const QString &dir, const QString &displayName);

    // Another window and other programs: the open file's lock, and what the
    // file looked like when last read or written here.
    // The deck no longer stands for a file (New): its lock goes.
    void closeFile();
    // Before the program itself writes path (a card copied or merged into
    // it): false when path is the open file and someone else changed it.
    bool unchangedOnDisk(const QString &path) const;
    // After such a write to a file that was unchanged: when it is the open
    // file, the write is no change by someone else.
    void noteOwnWrite(const QString &path);
    // The open file has earlier versions kept.
    bool hasVersions() const { return hasVersions_; }
    // This window holds the open file's lock.
    bool holdsLock() const { return lock_.holds(); }
    // After "Open it anyway": takes the open file's lock once its holder
    // lets it go (run by a timer while one is wanted).
    void retryLock();
    // Makes the bytes of a kept version the open deck, changed and unsaved.
    void restoreVersion(const QByteArray &bytes);

Q_SIGNALS:
    void captionChanged(const QString &caption);
    // The deck was written: the tree shows every category again.
    void deckSaved();
    void recentFilesChanged();
    void statusMessage(const QString &text);

private:
    static const QString kBeforeLoadingQuestion;
    bool LoadFile();
    bool askBeforeLeaving(const QString &question);
    bool saveLeavingSubcategories();
    // Save's and Save As's refusal of an empty deck; true when refused.
    bool refuseBlank(const QString &caption);
    bool writeDeckTo(const QString &path);
    // Before a file is read as the open one (or written as it, by Save As):
    // its lock, or the user's yes to using a file another window holds.
    // False when the user said No.
    bool claimLock(const QString &path, const QString &displayName, FileLock &lock, bool writing = false);
    // The lock claimed for the file now open: kept, or wanted when a Yes
    // opened the file while another window holds it.
    void holdLock(const QString &path, FileLock &lock);
    // After a read: once per run, that no lock could be taken.
    void sayIfUnprotected(const QString &displayName);
    static constexpr int kLockRetryMs = 2'000;
    enum class DiskAnswer { Overwrite, SaveAs, Cancel };
    // Save's question when the open file changed on disk since it was read
    // or written here; Overwrite when it did not.
    DiskAnswer askIfChangedOnDisk(const QString &target);
    // The file about to be replaced kept as an earlier version; a failure
    // only notes why, once, for the status line.
    void keepVersion(const QString &path);
    QString savedMessage();

    Deck &deck_;
    Options &options_;
    UserDialogs &dialogs_;
    QWidget *window_;
    OpenFile &open_;
    // Each dialog remembers the name last chosen in it during the run.
    QString lastOpenTitle_, lastSaveAsTitle_;
    Converter converter_{dialogs_, open_};
    FileLock lock_;
    // The open file's lock is wanted but another window holds it.
    QString lockWanted_;
    QTimer lockRetry_;
    // The lock folder could not be used: said once per run.
    bool unlockedShown_ = false;
    bool lockFailed_ = false;
    DiskStamp stamp_;
    // Why the last version could not be kept, until the status line said it.
    QString versionNote_;
    bool versionFailureShown_ = false;
    // Whether the open file has versions, looked up after each load and
    // save rather than at every redraw of the menus.
    bool hasVersions_ = false;
};

} // namespace mdk
