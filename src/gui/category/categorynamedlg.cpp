#include "categorynamedlg.h"

#include "gui/common/dialogfont.h"
#include "ui_categorynamedlg.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{175, 51};
// A category name is at most this long; the field stops there.
constexpr int kMaxNameChars = 999;
} // namespace

CategoryNameDlg::CategoryNameDlg(Kind kind, const QString &name, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CategoryNameDlg>())
{
    ui_->setupUi(this);
    // The count beside the field says it only as "3/40".
    ui_->nameEdit->setAccessibleDescription(tr("At most %1 characters").arg(kMaxNameChars));
    dlu::applyDialogUnits(this, kTemplateSize);
    setWindowTitle(kind == Kind::New ? tr("Create new category") : tr("Rename category"));
    ui_->nameEdit->setMaxLength(kMaxNameChars);
    if (kind == Kind::Rename) {
        oldName_ = name;
        ui_->nameEdit->setText(name);
        ui_->nameEdit->selectAll();
    }
    showLength();
    connect(ui_->nameEdit, &QLineEdit::textChanged, this, &CategoryNameDlg::showLength);
    connect(ui_->okButton, &QPushButton::clicked, this, &CategoryNameDlg::okRequested);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ui_->nameEdit->setFocus();
}

CategoryNameDlg::~CategoryNameDlg() = default;

QString CategoryNameDlg::name() const
{
    const QString text = ui_->nameEdit->text();
    return oldName_.size() > kMaxNameChars && text == oldName_.left(kMaxNameChars) ? oldName_ : text;
}

void CategoryNameDlg::showLength()
{
    ui_->limitLabel->setText(QStringLiteral("%1/%2").arg(name().size()).arg(kMaxNameChars));
}

} // namespace mdk
