#include "extendeddlg.h"

#include "gui/common/chartarget.h"
#include "gui/common/dialogfont.h"
#include "ui_extendeddlg.h"

namespace mdk {

namespace {
constexpr QSize kTemplateSize{230, 143};
constexpr QPoint kTemplatePosition{8, 20};
// The one-target form keeps its radio buttons, but below the visible area:
// the target is fixed, so the user has nothing to choose.
constexpr QRect kSearchRadio{4, 148, 73, 12};
constexpr QRect kHiddenSide2Radio{4, 161, 60, 12};
} // namespace

ExtendedDlg::ExtendedDlg(CharTarget &side1, CharTarget &side2, bool &addToSide1, QWidget *parent)
    : ExtendedDlg(side1, &side2, &addToSide1, parent)
{
}

ExtendedDlg::ExtendedDlg(CharTarget &only, QWidget *parent) : ExtendedDlg(only, nullptr, nullptr, parent) {}

ExtendedDlg::ExtendedDlg(CharTarget &side1, CharTarget *side2, bool *addToSide1, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ExtendedDlg>()), side1_(side1), side2_(side2),
      addToSide1_(addToSide1)
{
    ui_->setupUi(this);
    if (side2_) {
        (*addToSide1_ ? ui_->side1Radio : ui_->side2Radio)->setChecked(true);
    } else {
        ui_->side1Radio->setGeometry(kSearchRadio);
        ui_->side1Radio->setText(QStringLiteral("Add to search text"));
        ui_->side1Radio->setFocusPolicy(Qt::NoFocus);
        ui_->side1Radio->setChecked(true);
        ui_->side2Radio->setGeometry(kHiddenSide2Radio);
        ui_->side2Radio->hide();
    }
    dlu::applyDialogUnits(this, kTemplateSize);
    // The palette's template asks for Arial; the layout stays in the dialog
    // units every other dialog uses.
    QFont arial(QStringLiteral("Arial"));
    arial.setStyleHint(QFont::SansSerif);
    arial.setPointSize(8);
    setFont(arial);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);

    // Every letter button inserts its own caption.
    for (QPushButton *button : findChildren<QPushButton *>()) {
        if (button->objectName().startsWith(QLatin1String("char")))
            connect(button, &QPushButton::clicked, this, [this, button] { insertCharacter(button->text()); });
    }
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ExtendedDlg::~ExtendedDlg() = default;

void ExtendedDlg::insertCharacter(const QString &c)
{
    const bool toSide1 = ui_->side1Radio->isChecked();
    const bool toSide2 = side2_ && ui_->side2Radio->isChecked();
    if (addToSide1_)
        *addToSide1_ = toSide1;
    // Closed first, so that the field's window is no longer blocked and can
    // take the focus back with the character.
    reject();
    if (toSide1)
        side1_.insertText(c);
    else if (toSide2)
        side2_->insertText(c);
}

} // namespace mdk
