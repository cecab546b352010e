#include "movecarddlg.h"

#include "gui/common/accessibility.h"
#include "gui/common/categorytreewidget.h"
#include "gui/common/dialogfont.h"
#include "ui_movecarddlg.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{194, 111};
constexpr QPoint kTemplatePosition{35, 41};
} // namespace

MoveCardDlg::MoveCardDlg(const CategoryTree &tree, bool moveAll, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::MoveCardDlg>())
{
    ui_->setupUi(this);
    accessible::nameScrollBars(*this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);

    QTreeWidget *moveTree = ui_->moveTree;
    categorytreewidget::prepare(*moveTree);
    moveTree->setSelectionMode(QAbstractItemView::SingleSelection);
    // The chosen destination stays visible while a button has the focus.
    QPalette palette = moveTree->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    moveTree->setPalette(palette);

    // Built from the model, not from the main tree widget, which expands
    // only to a limited depth. The deck's own selection is not carried
    // over: the user must pick a destination.
    categorytreewidget::fill(*moveTree, tree);
    if (QTreeWidgetItem *main = moveTree->topLevelItem(0))
        main->setExpanded(true);

    ui_->moveAllBox->setChecked(moveAll);
    connect(ui_->okButton, &QPushButton::clicked, this, &MoveCardDlg::okRequested);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &MoveCardDlg::helpRequested);
}

MoveCardDlg::~MoveCardDlg()
{
    // The tree widget would delete a deep tree's items recursively.
    categorytreewidget::clear(*ui_->moveTree);
}

std::optional<QString> MoveCardDlg::destination() const
{
    const QList<QTreeWidgetItem *> selected = ui_->moveTree->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.first()->text(0);
}

bool MoveCardDlg::moveAll() const { return ui_->moveAllBox->isChecked(); }

} // namespace mdk
