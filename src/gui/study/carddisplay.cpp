#include "carddisplay.h"

#include "core/study/contrast.h"
#include "gui/common/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextOption>
#include <QWheelEvent>

#include <algorithm>
#include <optional>
#include <utility>

namespace mdk {

namespace {
// A little air between the border and the text. Kept out of the widget's
// contents margins: QFrame draws its border around the contents rect, so
// margins there would leave a ring of background outside the border.
constexpr int kPadX = 3;
constexpr int kPadY = 2;
// The focus frame lies in that air, inside the border.
constexpr int kFocusWidth = 2;

std::optional<CardDisplay::Step> stepOfKey(const QKeyEvent &event)
{
    // Keys with Ctrl or Alt belong to the window's commands.
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    switch (event.key()) {
    case Qt::Key_Space:
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        return CardDisplay::Step::Forward;
    case Qt::Key_Backspace:
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        return CardDisplay::Step::Backward;
    case Qt::Key_Home:
        return CardDisplay::Step::First;
    case Qt::Key_End:
        return CardDisplay::Step::Last;
    default:
        return std::nullopt;
    }
}
// What a screen reader finds in the card: a read-only text named after
// its position ("Card 3 of 40, side 2"), holding the whole card text.
class CardAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CardAccessible(CardDisplay *card) : QAccessibleWidget(card, QAccessible::EditableText) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return card().position().isEmpty() ? QStringLiteral("Card") : card().position();
        case QAccessible::Value:
            return card().text();
        default:
            return QAccessibleWidget::text(t);
        }
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The text is read, never selected; the caret stays at its start.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override
    {
        start = std::clamp(start, 0, characterCount());
        end = std::clamp(end, start, characterCount());
        return card().text().mid(start, end - start);
    }
    int characterCount() const override { return int(card().text().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }

private:
    const CardDisplay &card() const { return *static_cast<const CardDisplay *>(object()); }
};

QAccessibleInterface *cardAccessibleFactory(const QString &, QObject *object)
{
    if (auto *card = qobject_cast<CardDisplay *>(object))
        return new CardAccessible(card);
    return nullptr;
}
} // namespace

CardDisplay::CardDisplay(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    // A card is the desktop's text ground (white in a light scheme); the
    // paint event fills it, in a colour the text stays readable on.
    setBackgroundRole(QPalette::Base);
    // Tab reaches the card; a click on it gives it the keys too.
    setFocusPolicy(Qt::StrongFocus);
    static const bool accessible = (QAccessible::installFactory(cardAccessibleFactory), true);
    Q_UNUSED(accessible);
    relayout();
}

void CardDisplay::setPosition(const QString &position)
{
    if (position == position_)
        return;
    position_ = position;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    accessible::notify(event);
}

void CardDisplay::setText(const QString &text)
{
    if (text != text_) {
        QAccessibleTextUpdateEvent event(this, 0, text_, text);
        accessible::notify(event);
    }
    text_ = text;
    firstLine_ = 0;
    relayout();
    update();
}

void CardDisplay::setCardFont(const QFont &font)
{
    cardFont_ = font;
    applyFont();
}

void CardDisplay::setZoom(int percent)
{
    zoom_ = percent;
    applyFont();
}

void CardDisplay::applyFont()
{
    QFont shown = cardFont_;
    if (shown.pixelSize() > 0)
        shown.setPixelSize(std::max(1, shown.pixelSize() * zoom_ / 100));
    else if (shown.pointSizeF() > 0)
        shown.setPointSizeF(shown.pointSizeF() * zoom_ / 100);
    setFont(shown);
    relayout();
    update();
}

int CardDisplay::lineStart(int n) const
{
    if (n <= 0 || lines_.empty())
        return 0;
    return lines_[size_t(qMin(n, lineCount() - 1))].start;
}

void CardDisplay::setFirstLine(int n)
{
    firstLine_ = qBound(0, n, qMax(0, lineCount() - 1));
    update();
}

QRect CardDisplay::textRect() const
{
    return contentsRect().adjusted(kPadX, kPadY, -kPadX, -kPadY);
}

void CardDisplay::setWheelTarget(QScrollBar *bar)
{
    wheelTarget_ = bar;
}

void CardDisplay::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        if (const int dy = event->angleDelta().y(); dy != 0)
            Q_EMIT zoomRequested(dy > 0 ? 1 : -1);
        event->accept();
        return;
    }
    if (!wheelTarget_) {
        QFrame::wheelEvent(event);
        return;
    }
    QCoreApplication::sendEvent(wheelTarget_, event);
    // Handled here whatever the bar did with it, so it does not travel on
    // to the card's parents a second time.
    event->accept();
}

void CardDisplay::keyPressEvent(QKeyEvent *event)
{
    const std::optional<Step> step = stepOfKey(*event);
    if (!step) {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat()) {
        repeatPending_ = false;
        Q_EMIT stepRequested(*step);
        return;
    }
    // A held key: repeats that pile up while a step draws collapse into one
    // step, run once the queue has been read, so a release already queued
    // behind them (or a dialog taking the focus) cancels it instead of the
    // cards running on.
    pendingStep_ = *step;
    if (repeatPending_)
        return;
    repeatPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!std::exchange(repeatPending_, false) || !hasFocus())
                return;
            Q_EMIT stepRequested(pendingStep_);
        },
        Qt::QueuedConnection);
}

void CardDisplay::keyReleaseEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat() && stepOfKey(*event))
        repeatPending_ = false;
    QFrame::keyReleaseEvent(event);
}

void CardDisplay::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    update();
}

void CardDisplay::focusOutEvent(QFocusEvent *event)
{
    repeatPending_ = false;
    QFrame::focusOutEvent(event);
    update();
}

void CardDisplay::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    relayout();
}

void CardDisplay::relayout()
{
    layouts_.clear();
    lines_.clear();
    const qreal width = qMax(1, textRect().width());
    lineHeight_ = fontMetrics().height();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(Qt::AlignLeft);

    // Paragraphs end at CR LF, LF or CR; each is laid out on its own.
    qreal y = 0;
    int start = 0;
    const int n = int(text_.size());
    while (true) {
        int end = start;
        while (end < n && text_.at(end) != QLatin1Char('\r') && text_.at(end) != QLatin1Char('\n'))
            ++end;
        auto layout = std::make_unique<QTextLayout>(text_.mid(start, end - start), font());
        layout->setTextOption(option);
        layout->beginLayout();
        int lineNo = 0;
        while (true) {
            QTextLine line = layout->createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            lines_.push_back({int(layouts_.size()), lineNo++, start + line.textStart(), y});
            y += lineHeight_;
        }
        layout->endLayout();
        layouts_.push_back(std::move(layout));
        if (end >= n)
            break;
        start = end + ((text_.at(end) == QLatin1Char('\r') && end + 1 < n && text_.at(end + 1) == QLatin1Char('\n')) ? 2 : 1);
    }
    firstLine_ = qBound(0, firstLine_, qMax(0, lineCount() - 1));
}

contrast::Colours CardDisplay::colours() const
{
    return contrast::readable({palette().color(QPalette::Base).rgb() & 0xffffff,
                               palette().color(QPalette::Text).rgb() & 0xffffff});
}

void CardDisplay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const contrast::Colours card = colours();
    painter.fillRect(rect(), QColor::fromRgb(card.ground));
    drawFrame(&painter);
    if (hasFocus()) {
        const int half = kFocusWidth / 2;
        painter.setPen(QPen(palette().color(QPalette::Highlight), kFocusWidth));
        painter.drawRect(contentsRect().adjusted(half, half, -half, -half));
    }
    if (lines_.empty())
        return;
    const QRect area = textRect();
    painter.setClipRect(area);
    painter.setPen(QColor::fromRgb(card.ink));
    const qreal top = lines_[size_t(firstLine_)].top;
    const QPointF origin(area.left(), area.top() - top);
    // Whole lines only: a line cut at the bottom edge reads as a different
    // text. The top line is drawn even when the panel is lower than a line.
    for (size_t i = size_t(firstLine_); i < lines_.size(); ++i) {
        const Line &line = lines_[i];
        if (i > size_t(firstLine_) && line.top - top + lineHeight_ > area.height())
            break;
        layouts_[size_t(line.paragraph)]->lineAt(line.lineInParagraph).draw(&painter, origin);
    }
}

} // namespace mdk
