#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class DeleteCardDlg;
}

namespace mdk {

// The Delete Card confirmation (template "DeleteCardDlg"): the card's
// number and sides, and whether to ask again.
class DeleteCardDlg : public QDialog {
    Q_OBJECT
public:
    enum class Answer { Yes, No, Cancelled };

    // cardNumber: the number shown (the view index + 1).
    DeleteCardDlg(int cardNumber, const QString &side1, const QString &side2, QWidget *parent = nullptr);
    ~DeleteCardDlg() override;

    // Yes, No, or Cancelled for Escape and the close box.
    Answer answer() const { return answer_; }
    bool dontAskTicked() const;

private:
    std::unique_ptr<Ui::DeleteCardDlg> ui_;
    Answer answer_ = Answer::Cancelled;
};

} // namespace mdk
