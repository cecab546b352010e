#include "notepadcontroller.h"

#include "core/settings/options.h"
#include "core/shell/commandids.h"
#include "gui/common/chartarget.h"
#include "gui/common/extendeddlg.h"
#include "gui/notepad/notepadwindow.h"

#include <QFont>
#include <QFontDatabase>

namespace mdk {

namespace {

// The notes' font: Arial, 13 pixels, normal weight; Liberation Sans has the
// same metrics where Arial is missing.
QFont notesFont()
{
    const QString family = QFontDatabase::hasFamily(QStringLiteral("Arial")) ? QStringLiteral("Arial")
                                                                             : QStringLiteral("Liberation Sans");
    QFont font(family);
    font.setPixelSize(13);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

NotepadController::NotepadController(const CommandContext &context, QObject *parent)
    : CommandController(context, parent)
{
    bind(CM_NOTEPAD, &NotepadController::NewNotepad);
}

NotepadWindow *NotepadController::notepad() const { return notepad_; }

bool NotepadController::closeForExit() { return !notepad_ || notepad_->close(); }

void NotepadController::NewNotepad()
{
    if (notepad_)
        return;
    notepad_ = new NotepadWindow(dialogs_, notesFont(), options_.NotePad, window_);
    NotepadWindow *pad = notepad_;
    connect(pad, &NotepadWindow::extendedCharsRequested, this, [this, pad] {
        PlainTextTarget target(pad->textEdit());
        ExtendedDlg palette(target, window_);
        palette.exec();
    });
    // The flag follows the window itself: whatever closes it frees the
    // command again.
    // A widget announces its destruction before its guards are cleared.
    connect(pad, &QObject::destroyed, this, [this] {
        notepad_.clear();
        Q_EMIT notepadChanged();
    });
    pad->show();
    // The user opened it to type in it.
    pad->activateWindow();
    Q_EMIT notepadChanged();
}

} // namespace mdk
