#include "addcarddlg.h"

#include "core/edit/cardedit.h"
#include "gui/common/accessibility.h"
#include "gui/common/dialogfont.h"
#include "gui/edit/sidefield.h"
#include "ui_addcarddlg.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace mdk {

namespace {
constexpr QSize kTemplateSize{310, 166};
constexpr QPoint kTemplatePosition{18, 19};
} // namespace

AddCardDlg::AddCardDlg(const QString &category, const QFont &cardFont, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::AddCardDlg>())
{
    ui_->setupUi(this);
    accessible::nameScrollBars(*this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);
    ui_->categoryLabel->setText(tr("Category: ") + edit::labelText(category));
    sidefield::prepare(ui_->side1Edit, cardFont);
    sidefield::prepare(ui_->side2Edit, cardFont);
    connect(ui_->doneButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->addAnotherButton, &QPushButton::clicked, this, &AddCardDlg::addAnotherRequested);
    connect(ui_->extendedCharsButton, &QPushButton::clicked, this, &AddCardDlg::extendedCharsRequested);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &AddCardDlg::helpRequested);
    ui_->side1Edit->setFocus();
}

AddCardDlg::~AddCardDlg() = default;

// A new card has no original texts: whatever the fields hold is read.
QString AddCardDlg::side1() const { return sidefield::read(ui_->side1Edit, QString()); }
QString AddCardDlg::side2() const { return sidefield::read(ui_->side2Edit, QString()); }
QPlainTextEdit *AddCardDlg::side1Edit() const { return ui_->side1Edit; }
QPlainTextEdit *AddCardDlg::side2Edit() const { return ui_->side2Edit; }

void AddCardDlg::clearFields()
{
    sidefield::show(ui_->side1Edit, QString());
    sidefield::show(ui_->side2Edit, QString());
    ui_->side1Edit->setFocus(Qt::OtherFocusReason);
}

} // namespace mdk
