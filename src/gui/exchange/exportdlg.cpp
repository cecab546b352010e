#include "exportdlg.h"

#include "gui/common/accessibility.h"
#include "ui_exportdlg.h"

#include <QAbstractItemView>
#include <QPushButton>

namespace mdk {

ExportDlg::ExportDlg(const ExportChoice &start, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ExportDlg>())
{
    ui_->setupUi(this);
    ui_->buttons->button(QDialogButtonBox::Ok)->setText(tr("E&xport"));
    // The list the combo box opens, and so its scroll bars, say whose it is.
    ui_->formatCombo->view()->setAccessibleName(tr("Format"));
    accessible::nameScrollBars(*this);
    switch (start.scope) {
    case exchange::Scope::Category: ui_->categoryRadio->setChecked(true); break;
    case exchange::Scope::CategoryAndSubcategories: ui_->subcategoriesRadio->setChecked(true); break;
    case exchange::Scope::All: ui_->allRadio->setChecked(true); break;
    }
    ui_->formatCombo->setCurrentIndex(int(start.format));
    connect(ui_->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ExportDlg::~ExportDlg() = default;

ExportChoice ExportDlg::choice() const
{
    ExportChoice c;
    c.scope = ui_->categoryRadio->isChecked()        ? exchange::Scope::Category
              : ui_->subcategoriesRadio->isChecked() ? exchange::Scope::CategoryAndSubcategories
                                                     : exchange::Scope::All;
    c.format = exchange::ExportFormat(ui_->formatCombo->currentIndex());
    return c;
}

} // namespace mdk
