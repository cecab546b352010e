#include "editcarddlg.h"

#include "gui/common/accessibility.h"
#include "gui/common/dialogfont.h"
#include "gui/edit/sidefield.h"
#include "ui_editcarddlg.h"

#include <QPlainTextEdit>

namespace mdk {

namespace {
constexpr QSize kTemplateSize{311, 172};
constexpr QPoint kTemplatePosition{18, 18};
} // namespace

EditCardDlg::EditCardDlg(int cardNumber, const QString &side1, const QString &side2, const QFont &cardFont,
                         QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::EditCardDlg>()), shown1_(side1), shown2_(side2)
{
    ui_->setupUi(this);
    accessible::nameScrollBars(*this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);
    ui_->cardNumberLabel->setText(QString::number(cardNumber));
    sidefield::prepare(ui_->side1Edit, cardFont);
    sidefield::prepare(ui_->side2Edit, cardFont);
    sidefield::show(ui_->side1Edit, shown1_);
    sidefield::show(ui_->side2Edit, shown2_);
    connect(ui_->doneButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->extendedCharsButton, &QPushButton::clicked, this, &EditCardDlg::extendedCharsRequested);
    connect(ui_->flipButton, &QPushButton::clicked, this, &EditCardDlg::Flip);
    connect(ui_->helpButton, &QPushButton::clicked, this, &EditCardDlg::helpRequested);
    ui_->side1Edit->setFocus();
}

EditCardDlg::~EditCardDlg() = default;

QString EditCardDlg::side1() const { return sidefield::read(ui_->side1Edit, shown1_); }
QString EditCardDlg::side2() const { return sidefield::read(ui_->side2Edit, shown2_); }
QPlainTextEdit *EditCardDlg::side1Edit() const { return ui_->side1Edit; }
QPlainTextEdit *EditCardDlg::side2Edit() const { return ui_->side2Edit; }

// Each field takes what the other holds now, typed or not; a field that
// was untouched carries its exact text across.
void EditCardDlg::Flip()
{
    const QString now1 = side1();
    const QString now2 = side2();
    shown1_ = now2;
    shown2_ = now1;
    sidefield::show(ui_->side1Edit, shown1_);
    sidefield::show(ui_->side2Edit, shown2_);
}

} // namespace mdk
