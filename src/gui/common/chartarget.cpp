#include "chartarget.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace mdk {

namespace {
// The field's window may not be the active one (the palette was, a moment
// ago), so it is activated too; otherwise the focus would only be noted for
// later.
void giveFocus(QWidget *field)
{
    field->activateWindow();
    field->setFocus(Qt::OtherFocusReason);
}
} // namespace

PlainTextTarget::PlainTextTarget(QPlainTextEdit *edit) : edit_(edit) {}

void PlainTextTarget::insertText(const QString &text)
{
    if (!edit_)
        return;
    QTextCursor cursor = edit_->textCursor();
    cursor.insertText(text);
    // The field's own cursor, so the caret shows after the new text.
    edit_->setTextCursor(cursor);
    giveFocus(edit_);
}

LineEditTarget::LineEditTarget(QLineEdit *edit) : edit_(edit) {}

void LineEditTarget::insertText(const QString &text)
{
    if (!edit_)
        return;
    edit_->insert(text);
    giveFocus(edit_);
}

} // namespace mdk
