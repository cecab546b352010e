#include "copydlg.h"

#include "gui/common/dialogfont.h"
#include "ui_copydlg.h"

#include <QShortcut>

namespace mdk {

namespace {
constexpr QSize kTemplateSize{212, 46};
constexpr QPoint kTemplatePosition{30, 40};
} // namespace

CopyDlg::CopyDlg(const QString &destination, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CopyDlg>())
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);
    ui_->destinationEdit->setText(destination);

    connect(ui_->browseButton, &QPushButton::clicked, this, &CopyDlg::browseRequested);
    connect(ui_->saveButton, &QPushButton::clicked, this, &QDialog::accept);
    // The template has no Help button; the key still reaches the topic.
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &CopyDlg::helpRequested);
}

CopyDlg::~CopyDlg() = default;

QString CopyDlg::destination() const { return ui_->destinationEdit->text().trimmed(); }

void CopyDlg::setDestination(const QString &name) { ui_->destinationEdit->setText(name); }

} // namespace mdk
