#include "infodlg.h"

#include "gui/common/dialogfont.h"
#include "ui_infodlg.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{224, 138};
}

InfoDlg::InfoDlg(const study::Information &info, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::InfoDlg>())
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    ui_->field867->setText(info.fileName);
    ui_->field868->setText(info.location);
    ui_->field868->setToolTip(info.location);
    ui_->field200->setText(info.totalCards);
    ui_->field870->setText(info.markedCards);
    ui_->field871->setText(info.deletedCards);
    ui_->field793->setText(info.totalCategories);
    ui_->field792->setText(info.cardsInCategory);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

InfoDlg::~InfoDlg() = default;

} // namespace mdk
