#include "mergedlg.h"

#include "core/deck/transfer.h"
#include "gui/common/accessibility.h"
#include "gui/common/dialogfont.h"
#include "ui_mergedlg.h"

#include <QKeyEvent>

namespace mdk {

namespace {
constexpr QSize kTemplateSize{236, 152};
constexpr QPoint kTemplatePosition{30, 20};
} // namespace

MergeDlg::MergeDlg(const QString &newSource, const QString &destination, bool loadAfterMerge, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::MergeDlg>())
{
    ui_->setupUi(this);
    accessible::nameScrollBars(*this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);

    ui_->newSourceEdit->setText(newSource);
    ui_->destinationEdit->setText(destination);
    ui_->loadAfterBox->setChecked(loadAfterMerge);
    ui_->sourcesList->setSelectionMode(QAbstractItemView::SingleSelection);
    ui_->messageLabel->setWordWrap(true);
    // Enter in "New source" adds the name typed there; Merge stays the
    // default button everywhere else.
    ui_->newSourceEdit->installEventFilter(this);

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

bool MergeDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui_->newSourceEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Add();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString MergeDlg::message() const { return message_; }

void MergeDlg::setMessage(const QString &text)
{
    message_ = text;
    QLabel *label = ui_->messageLabel;
    // A source is often listed as a whole path, one long word: it may break
    // after any folder.
    label->setText(QString(text).replace(QLatin1Char('/'), QStringLiteral("/\u200B")));
    // A message longer than its line wraps, and the dialog grows to show
    // every line instead of clipping it.
    const int extra = label->heightForWidth(label->width()) - label->height();
    if (extra <= 0)
        return;
    for (QObject *child : children())
        if (auto *w = qobject_cast<QWidget *>(child); w && w != label && !w->isWindow())
            w->move(w->x(), w->y() + extra);
    label->resize(label->width(), label->height() + extra);
    setFixedSize(width(), height() + extra);
}

void MergeDlg::setNewSource(const QString &name) { ui_->newSourceEdit->setText(name); }

void MergeDlg::setDestination(const QString &name) { ui_->destinationEdit->setText(name); }

} // namespace mdk
