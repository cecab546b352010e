#include "extendeddlg.h"

#include "gui/common/chartarget.h"
#include "gui/common/dialogfont.h"
#include "ui_extendeddlg.h"

#include <QKeyEvent>

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
        ui_->side1Radio->setText(tr("Add to search text"));
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
        if (!button->objectName().startsWith(QLatin1String("char")))
            continue;
        connect(button, &QPushButton::clicked, this, [this, button] { insertCharacter(button->text()); });
        button->installEventFilter(this);
        button->setProperty("letter", true);
        letters_.push_back(button);
    }
    // The style's own focus mark on a button this small is a faint line;
    // the keyboard's letter gets a frame that can be seen.
    setStyleSheet(QStringLiteral("QPushButton[letter=\"true\"]:focus { border: 2px solid palette(highlight);"
                                 " border-radius: 2px; background: palette(base); }"));
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ui_->cancelButton->installEventFilter(this);
    // The keyboard starts on the first letter.
    lastLetter_ = ui_->charA1;
    lastLetter_->setFocus(Qt::OtherFocusReason);
}

bool ExtendedDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool arrow = key->key() == Qt::Key_Left || key->key() == Qt::Key_Right || key->key() == Qt::Key_Up
                       || key->key() == Qt::Key_Down;
    if (watched == ui_->cancelButton) {
        // Cancel is the letters' way in and out of the Tab chain.
        if (!arrow || !lastLetter_)
            return false;
        lastLetter_->setFocus(Qt::TabFocusReason);
        return true;
    }
    auto *letter = static_cast<QPushButton *>(watched);
    if (arrow) {
        if (QPushButton *next = letterTowards(letter, key->key())) {
            lastLetter_ = next;
            next->setFocus(Qt::TabFocusReason);
        }
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space) {
        if (!key->isAutoRepeat())
            insertCharacter(letter->text());
        return true;
    }
    return false;
}

QPushButton *ExtendedDlg::letterTowards(const QPushButton *from, int key) const
{
    // The letters stand in uneven rows: the nearest one ahead wins, and a
    // step sideways counts four times a step ahead, so rows and columns
    // are followed where they exist.
    const QPoint origin = from->geometry().center();
    QPushButton *best = nullptr;
    int bestScore = 0;
    for (QPushButton *candidate : letters_) {
        const QPoint d = candidate->geometry().center() - origin;
        const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
        const int ahead = horizontal ? (key == Qt::Key_Right ? d.x() : -d.x()) : (key == Qt::Key_Down ? d.y() : -d.y());
        const int aside = qAbs(horizontal ? d.y() : d.x());
        if (ahead <= 0)
            continue;
        const int score = ahead + 4 * aside;
        if (!best || score < bestScore) {
            best = candidate;
            bestScore = score;
        }
    }
    return best;
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
