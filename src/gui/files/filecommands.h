#pragma once

#include "core/deck/openfile.h"
#include "gui/common/commandcontroller.h"
#include "gui/files/opendocument.h"

#include <QString>

namespace mdk {

// New, Open, Save, Save As, Revert, Save separately, the recent files,
// Change font and Exit. What the open file is, the save question, the
// saves and the loads belong to the OpenDocument it shares with the
// transfer commands; its signals are repeated here.
class FileCommands : public CommandController {
    Q_OBJECT
public:
    FileCommands(const CommandContext &context, OpenDocument &document, QObject *parent = nullptr);

    const OpenFile &openFile() const { return document_.file(); }
    void setOpenFile(const QString &path) { document_.setOpenFile(path); }
    Converter &converter() { return document_.converter(); }

    // Commands.
    void CMFileNew();
    // True when a file was read.
    bool CMFileOpen();
    bool SaveFile() { return document_.SaveFile(); }
    bool SaveFileAs() { return document_.SaveFileAs(); }
    void RevertFile();
    void SaveCategory();
    // Recent file k, 1 to 5.
    void CMFile(int k);
    void ChangeFont();

    bool SaveFileIfNeeded() { return document_.SaveFileIfNeeded(); }
    // The exit question; false when closing must not go on.
    bool SaveBeforeExit() { return document_.SaveBeforeExit(); }
    bool FileLoad(const QString &path, const QString &displayName)
    {
        return document_.FileLoad(path, displayName);
    }
    // Loads the file named on the command line (name with or without its
    // extension, in dir) and enters it in the recent files.
    bool LoadStartupFile(const QString &dir, const QString &name);

    static QString locateCardFile(const QString &dir, const QString &displayName)
    {
        return OpenDocument::locateCardFile(dir, displayName);
    }

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
    OpenDocument &document_;
    OpenFile &open_ = document_.file();
    // Each dialog remembers the name last chosen in it during the run.
    QString lastCategoryTitle_;
};

} // namespace mdk
