#include "jumptocarddlg.h"

#include "gui/common/dialogfont.h"
#include "ui_jumptocarddlg.h"
#include "core/study/study.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{194, 78};
constexpr QPoint kTemplatePosition{35, 40};
} // namespace

JumpToCardDlg::JumpToCardDlg(Deck &deck, QWidget *parent)
    : QDialog(parent), deck_(deck), ui_(std::make_unique<Ui::JumpToCardDlg>())
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);
    ui_->rangeLabel->setText(QStringLiteral("(1 - ") + QString::number(deck.viewCount())
                             + QStringLiteral(")"));
    connect(ui_->okButton, &QPushButton::clicked, this, &JumpToCardDlg::Ok);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &JumpToCardDlg::helpRequested);
}

JumpToCardDlg::~JumpToCardDlg() = default;

void JumpToCardDlg::Ok()
{
    jumpcardnumber_ = study::jumpNumber(ui_->cardNumberEdit->text());
    if (study::acceptJump(deck_, jumpcardnumber_))
        accept();
}

} // namespace mdk
