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
