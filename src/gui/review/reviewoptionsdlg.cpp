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
    ui_->scheduler->setCurrentIndex(std::clamp(values.scheduler, 0, 1));
    ui_->twoButtons->setChecked(values.twoButtons);
    ui_->retention->setValue(values.retention);
    ui_->maximum->setValue(values.maximumInterval);
    parameters_ = values.parameters;
    showParameters();
    schedulerChosen();
    ui_->scheduler->view()->setAccessibleName(tr("Scheduler"));
    connect(ui_->scheduler, &QComboBox::currentIndexChanged, this, &ReviewOptionsDlg::schedulerChosen);
    connect(ui_->optimise, &QPushButton::clicked, this, &ReviewOptionsDlg::optimiseRequested);
    connect(ui_->resetParameters, &QPushButton::clicked, this, [this] {
        parameters_ = review::fsrs::defaultParameters();
        showParameters();
        ui_->fit->clear();
    });
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
    return Values{ui_->newCards->value(),
                  ui_->maxDue->value(),
                  ui_->direction->currentIndex(),
                  ui_->dayStarts->currentIndex(),
                  ui_->scheduler->currentIndex(),
                  ui_->twoButtons->isChecked(),
                  ui_->retention->value(),
                  ui_->maximum->value(),
                  parameters_};
}

void ReviewOptionsDlg::setFitted(const review::fsrs::Parameters *parameters, const QString &report)
{
    if (parameters) {
        parameters_ = *parameters;
        showParameters();
    }
    ui_->fit->setText(report);
}

void ReviewOptionsDlg::showParameters()
{
    // Three lines of seven: the label's size is known without wrapping.
    QStringList lines;
    const QLocale locale;
    for (size_t k = 0; k < parameters_.size(); ++k) {
        if (k % 7 == 0)
            lines << QString();
        lines.last() += (k % 7 ? QStringLiteral("  ") : QString()) + locale.toString(parameters_[k], 'f', 4);
    }
    ui_->parameters->setText(lines.join(QLatin1Char('\n')));
}

// The memory model's settings mean nothing to the boxes.
void ReviewOptionsDlg::schedulerChosen()
{
    const bool fsrs = ui_->scheduler->currentIndex() == 0;
    for (QWidget *w : std::initializer_list<QWidget *>{ui_->twoButtons, ui_->retention, ui_->maximum, ui_->optimise,
                                                       ui_->resetParameters, ui_->parameters})
        w->setEnabled(fsrs);
}

} // namespace mdk
