#include "printdlg.h"

#include "gui/common/accessibility.h"
#include "gui/common/dialogfont.h"
#include "ui_printdlg.h"

#include <QButtonGroup>
#include <QStyle>

namespace mdk {

namespace {

constexpr QSize kTemplateSize{157, 127};

// The template's radio buttons and check box wrap their captions over the
// lines their height allows; Qt's buttons draw one line unless told where
// to break. Breaks at spaces so that every line fits beside the indicator.
void wrapCaption(QAbstractButton *button, QStyle::PixelMetric indicator, QStyle::PixelMetric spacing)
{
    const QString caption = button->text();
    const int width = button->width() - button->style()->pixelMetric(indicator, nullptr, button)
                      - button->style()->pixelMetric(spacing, nullptr, button) - 2;
    const QFontMetrics metrics(button->font());
    QStringList lines;
    for (const QString &word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!lines.isEmpty() && metrics.horizontalAdvance(lines.last() + QLatin1Char(' ') + word) <= width)
            lines.last() += QLatin1Char(' ') + word;
        else
            lines << word;
    }
    button->setText(lines.join(QLatin1Char('\n')));
    button->setAccessibleName(caption);
}

} // namespace

PrintDialog::PrintDialog(bool cardFormat, int scope, bool confirm, bool viewHasCards, bool haveFoundCards,
                         QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::PrintDialog>()), formats_(new QButtonGroup(this)),
      scopes_(new QButtonGroup(this)), scope_(scope), viewHasCards_(viewHasCards), haveFoundCards_(haveFoundCards)
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    for (QAbstractButton *button : {static_cast<QAbstractButton *>(ui_->thisCategoryButton),
                                    static_cast<QAbstractButton *>(ui_->subcategoriesButton)})
        wrapCaption(button, QStyle::PM_ExclusiveIndicatorWidth, QStyle::PM_RadioButtonLabelSpacing);
    wrapCaption(ui_->confirmBox, QStyle::PM_IndicatorWidth, QStyle::PM_CheckBoxLabelSpacing);
    // A screen reader says each group's title with its controls.
    accessible::groupInBoxes(*this);

    formats_->addButton(ui_->listFormatButton, 0);
    formats_->addButton(ui_->cardFormatButton, 1);
    formats_->button(cardFormat ? 1 : 0)->setChecked(true);

    scopes_->addButton(ui_->allCardsButton, 0);
    scopes_->addButton(ui_->thisCategoryButton, 1);
    scopes_->addButton(ui_->subcategoriesButton, 2);
    if (!scopes_->button(scope_))
        scope_ = 0;
    scopes_->button(scope_)->setChecked(true);
    connect(scopes_, &QButtonGroup::idClicked, this, [this](int id) {
        const bool allowed = id == 0 || (id == 1 && viewHasCards_) || (id == 2 && haveFoundCards_);
        if (allowed)
            scope_ = id;
        else // nothing to print there: the click changes nothing
            scopes_->button(scope_)->setChecked(true);
    });

    ui_->confirmBox->setChecked(confirm);

    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &PrintDialog::helpRequested);
    connect(ui_->printerSetupButton, &QPushButton::clicked, this, &PrintDialog::printerSetupRequested);
    connect(ui_->previewButton, &QPushButton::clicked, this, &PrintDialog::previewRequested);
}

PrintDialog::~PrintDialog() = default;

bool PrintDialog::cardFormat() const { return ui_->cardFormatButton->isChecked(); }

int PrintDialog::scope() const { return scope_; }

bool PrintDialog::confirm() const { return ui_->confirmBox->isChecked(); }

} // namespace mdk
