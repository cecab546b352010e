#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QFont;
class QPlainTextEdit;

namespace Ui {
class AddCardDlg;
}

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

// The Add a Card dialog (template "ADD"). It only gathers the two sides;
// the caller adds the card for Done and for each Add another.
class AddCardDlg : public QDialog {
    Q_OBJECT
public:
    AddCardDlg(const QString &category, const QFont &cardFont, QWidget *parent = nullptr);
    ~AddCardDlg() override;

    QString side1() const;
    QString side2() const;
    QPlainTextEdit *side1Edit() const;
    QPlainTextEdit *side2Edit() const;
    // Empties both fields and puts the caret back in side 1.
    void clearFields();

Q_SIGNALS:
    // "&Add another": the caller adds side1()/side2() and, when that
    // succeeded, calls clearFields(); the dialog stays open.
    void addAnotherRequested();
    void extendedCharsRequested();
    void helpRequested();

private:
    std::unique_ptr<Ui::AddCardDlg> ui_;
};

} // namespace mdk
