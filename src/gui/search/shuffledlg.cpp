#include "shuffledlg.h"

#include "gui/common/dialogfont.h"
#include "ui_shuffledlg.h"

#include <QButtonGroup>

namespace mdk {

namespace {
constexpr QSize kTemplateSize{194, 129};
constexpr QPoint kTemplatePosition{21, 27};
constexpr int kRandom = 2;
} // namespace

ShuffleDlg::ShuffleDlg(int shuffletype, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ShuffleDlg>()), orders_(new QButtonGroup(this))
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);

    // The button ids are the stored shuffletype values.
    orders_->addButton(ui_->reverseButton, 0);
    orders_->addButton(ui_->patternButton, 1);
    orders_->addButton(ui_->randomButton, kRandom);
    orders_->addButton(ui_->alphabetizeButton, 3);
    QAbstractButton *initial = orders_->button(shuffletype);
    (initial ? initial : orders_->button(kRandom))->setChecked(true);
    connect(orders_, &QButtonGroup::idClicked, this, &ShuffleDlg::shuffletypeChosen);

    ui_->progressBar->setRange(0, 100);
    ui_->progressBar->setValue(0);

    connect(ui_->okButton, &QPushButton::clicked, this, &ShuffleDlg::okRequested);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &ShuffleDlg::helpRequested);
}

ShuffleDlg::~ShuffleDlg() = default;

int ShuffleDlg::shuffletype() const { return orders_->checkedId(); }

void ShuffleDlg::setOperation(const QString &text)
{
    if (ui_->operationLabel->text() == text)
        return;
    ui_->operationLabel->setText(text);
    ui_->operationLabel->repaint();
}

void ShuffleDlg::setProgress(int value)
{
    value = qBound(0, value, 100);
    if (ui_->progressBar->value() == value)
        return;
    // QProgressBar::setValue repaints at once whenever the change shows.
    ui_->progressBar->setValue(value);
}

} // namespace mdk
