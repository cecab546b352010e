#include "earlierversionsdlg.h"

#include "gui/common/accessibility.h"
#include "ui_earlierversionsdlg.h"

#include <QLocale>
#include <QPushButton>

namespace mdk {

EarlierVersionsDlg::EarlierVersionsDlg(const QList<Row> &rows, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::EarlierVersionsDlg>())
{
    ui_->setupUi(this);
    accessible::nameScrollBars(*this);
    const QLocale locale;
    for (const Row &row : rows) {
        auto *item = new QTreeWidgetItem(ui_->versionList);
        item->setText(0, locale.toString(row.time.date(), QLocale::ShortFormat));
        item->setText(1, locale.toString(row.time.time(), QStringLiteral("HH:mm:ss")));
        item->setText(2, row.cards < 0 ? QStringLiteral("?") : locale.toString(row.cards));
        item->setText(3, locale.formattedDataSize(row.size));
        for (int column : {2, 3})
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column = 0; column < ui_->versionList->columnCount(); ++column)
        ui_->versionList->resizeColumnToContents(column);
    QPushButton *restore = ui_->buttons->addButton(tr("&Restore"), QDialogButtonBox::AcceptRole);
    restore->setDefault(true);
    restore->setEnabled(false);
    connect(ui_->versionList, &QTreeWidget::currentItemChanged, restore,
            [restore](QTreeWidgetItem *current) { restore->setEnabled(current != nullptr); });
    connect(ui_->versionList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(ui_->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (!rows.isEmpty())
        ui_->versionList->setCurrentItem(ui_->versionList->topLevelItem(0));
}

EarlierVersionsDlg::~EarlierVersionsDlg() = default;

int EarlierVersionsDlg::chosen() const
{
    return ui_->versionList->indexOfTopLevelItem(ui_->versionList->currentItem());
}

} // namespace mdk
