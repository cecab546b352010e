#include "reviewoptionsdlg.h"

#include "gui/common/accessibility.h"
#include "ui_reviewoptionsdlg.h"

#include <QAbstractItemView>
#include <QLocale>
#include <QTime>

#include <algorithm>

namespace mdk {

ReviewOptionsDlg::ReviewOptionsDlg(const Values &values, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ReviewOptionsDlg>())
{
    ui_->setupUi(this);
    const QLocale locale;
    for (int hour = 0; hour < 24; ++hour)
        ui_->dayStarts->addItem(locale.toString(QTime(hour, 0), QLocale::ShortFormat), hour);
    ui_->newCards->setValue(values.newCards);
    ui_->maxDue->setValue(values.maxDue);
    ui_->direction->setCurrentIndex(std::clamp(values.direction, 0, 2));
    ui_->dayStarts->setCurrentIndex(std::clamp(values.dayStartHour, 0, 23));
    ui_->direction->view()->setAccessibleName(tr("Ask"));
    ui_->dayStarts->view()->setAccessibleName(tr("A new day starts at"));
    accessible::nameScrollBars(*this);
    connect(ui_->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ui_->newCards->setFocus();
}

ReviewOptionsDlg::~ReviewOptionsDlg() = default;

ReviewOptionsDlg::Values ReviewOptionsDlg::values() const
{
    return Values{ui_->newCards->value(), ui_->maxDue->value(), ui_->direction->currentIndex(),
                  ui_->dayStarts->currentIndex()};
}

} // namespace mdk
