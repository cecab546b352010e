#include "convertfiledlg.h"

#include "gui/common/accessibility.h"
#include "gui/common/dialogfont.h"
#include "ui_convertfiledlg.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{212, 100};
constexpr QPoint kTemplatePosition{30, 30};
} // namespace

ConvertFileDlg::ConvertFileDlg(const QStringList &versions, const QString &fileName, bool loadAfterConvert,
                               QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ConvertFileDlg>())
{
    ui_->setupUi(this);
    accessible::nameScrollBars(*this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);

    ui_->fileEdit->setText(fileName);
    ui_->versionList->addItems(versions);
    connect(ui_->versionList, &QListWidget::currentTextChanged, ui_->formatLabel, &QLabel::setText);
    // Some layout is always chosen: a click on empty space keeps the last.
    ui_->versionList->setSelectionMode(QAbstractItemView::SingleSelection);
    ui_->versionList->setCurrentRow(0);
    ui_->loadAfterBox->setChecked(loadAfterConvert);

    connect(ui_->browseButton, &QPushButton::clicked, this, &ConvertFileDlg::browseRequested);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &ConvertFileDlg::helpRequested);
}

ConvertFileDlg::~ConvertFileDlg() = default;

QString ConvertFileDlg::fileName() const { return ui_->fileEdit->text().trimmed(); }

void ConvertFileDlg::setFileName(const QString &name) { ui_->fileEdit->setText(name); }

int ConvertFileDlg::version() const { return qMax(0, ui_->versionList->currentRow()); }

bool ConvertFileDlg::loadAfterConvert() const { return ui_->loadAfterBox->isChecked(); }

} // namespace mdk
