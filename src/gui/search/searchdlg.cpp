#include "searchdlg.h"

#include "core/settings/options.h"
#include "gui/common/dialogfont.h"
#include "gui/common/logfontqt.h"
#include "ui_searchdlg.h"

#include <QFontMetrics>
#include <QTextLayout>

namespace mdk {

namespace {
constexpr QSize kTemplateSize{139, 195};
constexpr QPoint kTemplatePosition{26, 20};

// The text as a label of fixed size can show it: wrapped between words, or
// inside a word longer than a line, in as many lines as the label holds,
// the last one elided when the text runs over.
QString fitted(const QLabel *label, const QString &text)
{
    const QRect box = label->contentsRect();
    const QFontMetrics metrics(label->font());
    const int maxLines = qMax(1, box.height() / metrics.lineSpacing());
    QTextLayout layout(text, label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        if (lines.size() + 1 == maxLines) {
            lines << metrics.elidedText(text.mid(line.textStart()), Qt::ElideRight, box.width());
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines.join(QLatin1Char('\n'));
}

void setAndPaint(QLabel *label, const QString &text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    label->repaint();
}
} // namespace

SearchDlg::SearchDlg(const QString &lastSearch, search::Options options, int totalCards, int startCard,
                     bool duplicatesAllowed, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::SearchDlg>())
{
    ui_->setupUi(this);
    dlu::applyDialogUnits(this, kTemplateSize);
    dlu::placeAtTemplatePosition(this, parent, kTemplatePosition);

    LogFont fieldFont;
    fieldFont.Height = -12;
    fieldFont.Typeface = QStringLiteral("Arial");
    ui_->searchEdit->setFont(toQFont(fieldFont));
    // Only this many characters are searched; the field shows the cut.
    ui_->searchEdit->setMaxLength(search::kPatternChars);
    ui_->searchEdit->setText(lastSearch);
    ui_->searchEdit->selectAll();

    ui_->caseSensitiveBox->setChecked(options.caseSensitive);
    ui_->wholeWordsBox->setChecked(options.wholeWords);
    ui_->duplicates1Box->setEnabled(duplicatesAllowed);
    ui_->duplicates2Box->setEnabled(duplicatesAllowed);

    ui_->totalCardsLabel->setText(QString::number(totalCards));
    ui_->startedAtLabel->setText(QString::number(startCard));
    scanning_ = startCard;
    ui_->scanningLabel->setText(QString::number(startCard));

    scanFlush_.setSingleShot(true);
    scanFlush_.setInterval(0);
    connect(&scanFlush_, &QTimer::timeout, this, &SearchDlg::paintScanning);

    connect(ui_->beginSearchButton, &QPushButton::clicked, this, &SearchDlg::beginSearchRequested);
    connect(ui_->extendedCharsButton, &QPushButton::clicked, this, &SearchDlg::extendedCharsRequested);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, &SearchDlg::helpRequested);
    ui_->searchEdit->setFocus();
}

SearchDlg::~SearchDlg() = default;

QString SearchDlg::searchText() const { return ui_->searchEdit->text(); }

search::Options SearchDlg::options() const
{
    return {ui_->caseSensitiveBox->isChecked(), ui_->wholeWordsBox->isChecked()};
}

bool SearchDlg::deleteDuplicatesOnSide1() const
{
    return ui_->duplicates1Box->isEnabled() && ui_->duplicates1Box->isChecked();
}

bool SearchDlg::deleteDuplicatesOnSide2() const
{
    return ui_->duplicates2Box->isEnabled() && ui_->duplicates2Box->isChecked();
}

QLineEdit *SearchDlg::searchEdit() const { return ui_->searchEdit; }

void SearchDlg::setScanning(int cardNumber)
{
    // Called for every card of a scan: most calls only store the number,
    // and the clock is read on every 64th call only.
    scanning_ = cardNumber;
    const bool checkClock = (scanCalls_++ & 63U) == 0;
    if (!lastScanPaint_.isValid() || (checkClock && lastScanPaint_.elapsed() >= kScanPaintInterval)) {
        paintScanning();
        return;
    }
    if (!scanFlush_.isActive())
        scanFlush_.start();
}

void SearchDlg::paintScanning()
{
    scanFlush_.stop();
    lastScanPaint_.start();
    setAndPaint(ui_->scanningLabel, QString::number(scanning_));
}

void SearchDlg::setSearchingFor(const QString &text)
{
    // The label is two short lines: a long word would be cut off, so it is
    // wrapped anywhere and elided, and the tool tip holds the whole text.
    ui_->searchingForLabel->setToolTip(text);
    setAndPaint(ui_->searchingForLabel, fitted(ui_->searchingForLabel, text));
}

void SearchDlg::setTotalCards(int n) { setAndPaint(ui_->totalCardsLabel, QString::number(n)); }

} // namespace mdk
