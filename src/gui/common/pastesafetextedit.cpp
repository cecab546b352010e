#include "pastesafetextedit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace mdk {

namespace {

bool holdsText(const QMimeData *source) { return source && source->hasText(); }

bool offersText(QClipboard::Mode mode)
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    return (mode == QClipboard::Clipboard || clipboard->supportsSelection()) && holdsText(clipboard->mimeData(mode));
}

} // namespace

bool PasteSafeTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return holdsText(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void PasteSafeTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (holdsText(source))
        QPlainTextEdit::insertFromMimeData(source);
}

void PasteSafeTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        // Ctrl+Shift+Insert pastes the selection where there is one.
        const bool selection = event->key() == Qt::Key_Insert
                               && event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)
                               && QGuiApplication::clipboard()->supportsSelection();
        if (!offersText(selection ? QClipboard::Selection : QClipboard::Clipboard)) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PasteSafeTextEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton && !offersText(QClipboard::Selection)) {
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

} // namespace mdk
