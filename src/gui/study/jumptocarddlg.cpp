#include "jumptocarddlg.h"

#include "gui/common/dialogfont.h"
#include "ui_jumptocarddlg.h"
#include "core/study/study.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{194, 78};
constexpr QPoint kTemplatePosition{35, 40};
} // namespace

JumpToCardDlg::JumpToCardDlg(int viewCount, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::JumpToCardDlg>())
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);
    ui_->rangeLabel->setText(QStringLiteral("(1 - ") + QString::number(viewCount)
                             + QStringLiteral(")"));
    // The range stands beside the field, where a screen reader would miss it.
    ui_->cardNumberEdit->setAccessibleDescription(tr("From 1 to %1").arg(viewCount));
    connect(ui_->okButton, &QPushButton::clicked, this,
            [this] { Q_EMIT okRequested(study::jumpNumber(ui_->cardNumberEdit->text())); });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &JumpToCardDlg::helpRequested);
}

JumpToCardDlg::~JumpToCardDlg() = default;

} // namespace mdk
