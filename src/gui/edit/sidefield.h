#pragma once

#include <QString>

class QFont;
class QPlainTextEdit;

namespace mdk {

// The card side fields of the Add and Edit dialogs. The deck stores line
// breaks as CR LF; a field shows them as line breaks and gives CR LF back.
// A field the user left alone gives back the very text it was shown, so a
// bare CR or LF, or any other character the field would normalise, survives.
namespace sidefield {
// Card font, Enter for a line break, Tab to the next control.
void prepare(QPlainTextEdit *field, const QFont &cardFont);
// Shows text; the field counts as untouched until the user changes it.
void show(QPlainTextEdit *field, const QString &text);
// The field's text: `shown` itself while untouched, else CR LF line breaks.
QString read(const QPlainTextEdit *field, const QString &shown);
} // namespace sidefield

} // namespace mdk
