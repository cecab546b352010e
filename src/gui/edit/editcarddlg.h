#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QFont;
class QPlainTextEdit;

namespace Ui {
class EditCardDlg;
}

namespace mdk {

// The Edit Card dialog (template "EDIT"): the card's number and its two
// sides to change. The caller writes the texts back on Done.
class EditCardDlg : public QDialog {
    Q_OBJECT
public:
    // cardNumber: the number shown (the view index + 1).
    EditCardDlg(int cardNumber, const QString &side1, const QString &side2, const QFont &cardFont,
                QWidget *parent = nullptr);
    ~EditCardDlg() override;

    // A side the user did not touch comes back exactly as given, after
    // Flip as the other side's text.
    QString side1() const;
    QString side2() const;
    QPlainTextEdit *side1Edit() const;
    QPlainTextEdit *side2Edit() const;

Q_SIGNALS:
    void extendedCharsRequested();
    void helpRequested();

private:
    void Flip();

    std::unique_ptr<Ui::EditCardDlg> ui_;
    QString shown1_, shown2_;
};

} // namespace mdk
