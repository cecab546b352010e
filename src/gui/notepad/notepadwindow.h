#pragma once

#include <QWidget>

class QFont;
class QPlainTextEdit;
class QPoint;

namespace mdk {

// The notepad (template "NotepadDlg"): free notes beside the cards, kept
// only while the window is open. A tool window of the main window with no
// close box; "Close" or Escape closes it, and closing by any means destroys
// it, so whoever holds a QPointer to it sees when it is gone.
class NotepadWindow : public QWidget {
    Q_OBJECT
public:
    // Placed with its top-left at storedPosition, moved just far enough to
    // lie wholly on a screen when that position is off the desktop.
    NotepadWindow(const QFont &font, const QPoint &storedPosition, QWidget *mainWindow);

    // The notes: Enter gives a line break, both scroll bars.
    QPlainTextEdit *textEdit() const;

Q_SIGNALS:
    // "Extended chars...": the caller opens the palette into textEdit().
    void extendedCharsRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPlainTextEdit *edit_;
};

} // namespace mdk
