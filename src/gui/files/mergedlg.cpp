#include "mergedlg.h"

#include "core/deck/transfer.h"
#include "gui/common/dialogfont.h"
#include "ui_mergedlg.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{236, 152};
constexpr QPoint kTemplatePosition{30, 20};
} // namespace

MergeDlg::MergeDlg(const QString &newSource, const QString &destination, bool loadAfterMerge, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::MergeDlg>())
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);

    ui_->newSourceEdit->setText(newSource);
    ui_->destinationEdit->setText(destination);
    ui_->loadAfterBox->setChecked(loadAfterMerge);
    ui_->sourcesList->setSelectionMode(QAbstractItemView::SingleSelection);

    connect(ui_->addButton, &QPushButton::clicked, this, &MergeDlg::Add);
    connect(ui_->deleteButton, &QPushButton::clicked, this, &MergeDlg::Delete);
    connect(ui_->sourceBrowseButton, &QPushButton::clicked, this, &MergeDlg::sourceBrowseRequested);
    connect(ui_->destinationBrowseButton, &QPushButton::clicked, this, &MergeDlg::destinationBrowseRequested);
    connect(ui_->mergeButton, &QPushButton::clicked, this, &MergeDlg::mergeRequested);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &MergeDlg::helpRequested);
}

MergeDlg::~MergeDlg() = default;

void MergeDlg::Add()
{
    const QString typed = ui_->newSourceEdit->text().trimmed();
    if (typed.isEmpty())
        return;
    ui_->sourcesList->addItem(transfer::addedSourceName(typed));
    ui_->newSourceEdit->clear();
}

void MergeDlg::Delete()
{
    const QList<QListWidgetItem *> selected = ui_->sourcesList->selectedItems();
    if (!selected.isEmpty())
        delete ui_->sourcesList->takeItem(ui_->sourcesList->row(selected.first()));
}

QStringList MergeDlg::sources() const
{
    QStringList out;
    for (int i = 0; i < ui_->sourcesList->count(); ++i)
        out << ui_->sourcesList->item(i)->text();
    return out;
}

QString MergeDlg::destination() const { return ui_->destinationEdit->text().trimmed(); }

bool MergeDlg::loadAfterMerge() const { return ui_->loadAfterBox->isChecked(); }

QString MergeDlg::message() const { return ui_->messageLabel->text(); }

void MergeDlg::setMessage(const QString &text) { ui_->messageLabel->setText(text); }

void MergeDlg::setNewSource(const QString &name) { ui_->newSourceEdit->setText(name); }

void MergeDlg::setDestination(const QString &name) { ui_->destinationEdit->setText(name); }

} // namespace mdk
