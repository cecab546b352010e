#include "deletecarddlg.h"

#include "core/edit/cardedit.h"
#include "gui/common/accessibility.h"
#include "gui/common/dialogfont.h"
#include "ui_deletecarddlg.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{194, 149};
constexpr QPoint kTemplatePosition{18, 30};
} // namespace

DeleteCardDlg::DeleteCardDlg(int cardNumber, const QString &side1, const QString &side2, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DeleteCardDlg>())
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    // A screen reader says each group's title with its controls.
    accessible::groupInBoxes(*this);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);
    ui_->cardNumberLabel->setText(QString::number(cardNumber));
    ui_->side1Label->setText(edit::labelText(side1));
    ui_->side2Label->setText(edit::labelText(side2));
    connect(ui_->yesButton, &QPushButton::clicked, this, [this] {
        answer_ = Answer::Yes;
        accept();
    });
    connect(ui_->noButton, &QPushButton::clicked, this, [this] {
        answer_ = Answer::No;
        reject();
    });
}

DeleteCardDlg::~DeleteCardDlg() = default;

bool DeleteCardDlg::dontAskTicked() const { return ui_->dontAskBox->isChecked(); }

} // namespace mdk
