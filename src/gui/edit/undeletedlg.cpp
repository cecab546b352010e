#include "undeletedlg.h"

#include "core/edit/cardedit.h"
#include "gui/common/dialogfont.h"
#include "ui_undeletedlg.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{194, 165};
constexpr QPoint kTemplatePosition{11, 27};
} // namespace

UndeleteDlg::UndeleteDlg(const Deck &deck, QWidget *parent)
    : QDialog(parent), deck_(deck), ui_(std::make_unique<Ui::UndeleteDlg>())
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);
    connect(ui_->prevButton, &QPushButton::clicked, this,
            [this] { showDeleted(edit::previousDeleted(deck_, undeleteindex_)); });
    connect(ui_->nextButton, &QPushButton::clicked, this,
            [this] { showDeleted(edit::nextDeleted(deck_, undeleteindex_)); });
    connect(ui_->undeleteButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &UndeleteDlg::helpRequested);
    showDeleted(0);
}

UndeleteDlg::~UndeleteDlg() = default;

void UndeleteDlg::showDeleted(int u)
{
    undeleteindex_ = u;
    const bool any = u < deck_.deletedCount();
    ui_->side1Label->setText(any ? edit::labelText(deck_.deletedSide1(u)) : QString());
    ui_->side2Label->setText(any ? edit::labelText(deck_.deletedSide2(u)) : QString());
}

} // namespace mdk
