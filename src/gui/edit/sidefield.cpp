#include "sidefield.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace mdk {

namespace sidefield {

namespace {

// Beyond this many characters without white space a run is far wider than
// any line of the field.
constexpr qsizetype kLongRun = 1000;

bool hasLongRun(const QString &text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongRun)
            return true;
    }
    return false;
}

} // namespace

void prepare(QPlainTextEdit *field, const QFont &cardFont)
{
    field->setFont(cardFont);
    field->setTabChangesFocus(true);
    field->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void show(QPlainTextEdit *field, const QString &text)
{
    // The document takes CR LF, a bare CR and a bare LF each as one line
    // break; read() hands back the text itself while the field is untouched.
    // Looking for a word boundary in a run of many thousand characters costs
    // the layout most of a second, and the run is cut anywhere in the end
    // all the same; so such a text wraps anywhere from the start.
    field->setWordWrapMode(hasLongRun(text) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    field->setPlainText(text);
    field->document()->setModified(false);
}

QString read(const QPlainTextEdit *field, const QString &shown)
{
    if (!field->document()->isModified())
        return shown;
    // The raw text keeps no-break spaces, which toPlainText() turns into
    // plain ones; paragraph and line separators are the typed line breaks.
    QString text = field->document()->toRawText();
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (const QChar c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            out += QLatin1String("\r\n");
        else
            out += c;
    }
    return out;
}

} // namespace sidefield

} // namespace mdk
