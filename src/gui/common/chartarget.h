#pragma once

#include <QPointer>
#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace mdk {

// Where a palette character goes: a text field of the dialog or window that
// opened the palette.
class CharTarget {
public:
    virtual ~CharTarget() = default;
    // Replaces the selection (or inserts at the caret) with text, caret after it, and gives the field the focus.
    virtual void insertText(const QString &text) = 0;
};

// A multi-line field (card sides, the notepad). A field that was destroyed
// meanwhile takes nothing.
class PlainTextTarget : public CharTarget {
public:
    explicit PlainTextTarget(QPlainTextEdit *edit);
    void insertText(const QString &text) override;

private:
    QPointer<QPlainTextEdit> edit_;
};

// A one-line field (the search text).
class LineEditTarget : public CharTarget {
public:
    explicit LineEditTarget(QLineEdit *edit);
    void insertText(const QString &text) override;

private:
    QPointer<QLineEdit> edit_;
};

} // namespace mdk
