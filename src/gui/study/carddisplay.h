#pragma once

#include "core/study/contrast.h"

#include <QFont>
#include <QFrame>
#include <QPointer>
#include <QTextLayout>

#include <memory>
#include <vector>

class QScrollBar;

namespace mdk {

// The card display: a bordered panel showing a card text word-wrapped at its
// width, from a chosen line on. The same layout both measures the lines (for
// the scroll bar) and paints them, so the two always agree. Only whole lines
// are painted; the scroll bar reaches the rest. Mouse clicks pass through to
// the main dialog, which steps the cards; the wheel goes to the scroll bar.
// With the keyboard focus it draws a frame in the highlight colour and turns
// the study keys into step requests.
class CardDisplay : public QFrame {
    Q_OBJECT
public:
    enum class Step { Forward, Backward, First, Last };
    explicit CardDisplay(QWidget *parent = nullptr);

    // A screen reader hears of every change of the text and the position.
    void setText(const QString &text);
    const QString &text() const { return text_; }
    // "Card 3 of 40, side 2": the panel's accessible name.
    void setPosition(const QString &position);
    const QString &position() const { return position_; }
    void setCardFont(const QFont &font);
    // The text's size in percent of the card font; lines break again.
    void setZoom(int percent);
    int zoom() const { return zoom_; }

    // Lines of the text at the current width and font; at least 1.
    int lineCount() const { return int(lines_.size()); }
    // Offset in the text at which line n starts.
    int lineStart(int n) const;
    // The line shown at the top.
    void setFirstLine(int n);
    int firstLine() const { return firstLine_; }
    // The text from the top line on: what the panel shows.
    QString visibleText() const { return text_.mid(lineStart(firstLine_)); }
    // The card's ground and text: the palette's, unless they read worse
    // than 7:1 (see contrast::readable).
    contrast::Colours colours() const;
    // The area the lines are painted in: inside the border, less the padding.
    QRect textRect() const;
    // Wheel turns over the card are handed to this scroll bar, so they
    // scroll the card exactly as they would over the bar itself.
    void setWheelTarget(QScrollBar *bar);
    // Drops a held key's repeat that has not run yet: a dialog is opening.
    void cancelKeyRepeat() { repeatPending_ = false; }

Q_SIGNALS:
    // Space, Right, Page Down step as a left click does; Backspace, Left,
    // Page Up as a right click; Home and End go to the first and last card.
    void stepRequested(CardDisplay::Step step);
    // Ctrl and the wheel over the card: +1 larger, -1 smaller.
    void zoomRequested(int direction);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct Line {
        int paragraph; // index into layouts_
        int lineInParagraph;
        int start;     // offset in text_
        qreal top;     // y in the unscrolled text
    };

    void relayout();
    void applyFont();

    QString text_;
    QString position_;
    std::vector<std::unique_ptr<QTextLayout>> layouts_;
    std::vector<Line> lines_;
    int firstLine_ = 0;
    QFont cardFont_;
    int zoom_ = 100;
    qreal lineHeight_ = 0;
    QPointer<QScrollBar> wheelTarget_;
    // A held key's repeat waiting for the event queue to drain.
    bool repeatPending_ = false;
    Step pendingStep_ = Step::Forward;
};

} // namespace mdk
