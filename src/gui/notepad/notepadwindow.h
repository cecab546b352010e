#pragma once

#include <QWidget>

class QFont;
class QPlainTextEdit;
class QPoint;

namespace mdk {

class UserDialogs;

// The notepad (template "NotepadDlg"): free notes beside the cards, kept
// only while the window is open. A window owned by the main window, with no
// close box; "Close" or Escape closes it, and closing by any means destroys
// it, so whoever holds a QPointer to it sees when it is gone. Closing with
// notes typed asks first, since they are lost. Keys typed in it stay in it:
// the main window's shortcuts and menu mnemonics do not reach it.
class NotepadWindow : public QWidget {
    Q_OBJECT
public:
    // Placed with its top-left at storedPosition, moved just far enough to
    // lie wholly on a screen when that position is off the desktop.
    NotepadWindow(UserDialogs &dialogs, const QFont &font, const QPoint &storedPosition, QWidget *mainWindow);

    // The notes: Enter gives a line break, both scroll bars.
    QPlainTextEdit *textEdit() const;

Q_SIGNALS:
    // "Extended chars...": the caller opens the palette into textEdit().
    void extendedCharsRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    UserDialogs &dialogs_;
    QPlainTextEdit *edit_;
};

} // namespace mdk
