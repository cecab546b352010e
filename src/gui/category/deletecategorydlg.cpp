#include "deletecategorydlg.h"

#include "gui/common/dialogfont.h"
#include "ui_deletecategorydlg.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{151, 88};
} // namespace

DeleteCategoryDlg::DeleteCategoryDlg(const QString &name, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DeleteCategoryDlg>())
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    ui_->categoryNameLabel->setText(name);
    // A long name is cut by the label; the tooltip still shows it whole.
    ui_->categoryNameLabel->setToolTip(name);
    connect(ui_->yesButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->noButton, &QPushButton::clicked, this, &QDialog::reject);
}

DeleteCategoryDlg::~DeleteCategoryDlg() = default;

} // namespace mdk
