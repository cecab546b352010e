#pragma once

#include "gui/common/commandcontroller.h"

#include <QPointer>

namespace mdk {

class NotepadWindow;

// The Notepad command: one modeless notepad beside the cards at most. Its
// notes live only while the window is open; the command is greyed exactly
// while it exists, however it was closed.
class NotepadController : public CommandController {
    Q_OBJECT
public:
    NotepadController(const CommandContext &context, QObject *parent = nullptr);

    void NewNotepad();
    bool NotepadOn() const { return !notepad_.isNull(); }
    NotepadWindow *notepad() const;
    // Before the program ends: closes the notepad, which asks before
    // discarding typed notes; false when the user kept them.
    bool closeForExit();

Q_SIGNALS:
    // The notepad opened or closed: the command's enabler changed.
    void notepadChanged();

private:
    QPointer<NotepadWindow> notepad_;
};

} // namespace mdk
