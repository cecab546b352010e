#pragma once

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
class CardDisplay : public QFrame {
    Q_OBJECT
public:
    explicit CardDisplay(QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const { return text_; }
    void setCardFont(const QFont &font);

    // Lines of the text at the current width and font; at least 1.
    int lineCount() const { return int(lines_.size()); }
    // Offset in the text at which line n starts.
    int lineStart(int n) const;
    // The line shown at the top.
    void setFirstLine(int n);
    int firstLine() const { return firstLine_; }
    // The text from the top line on: what the panel shows.
    QString visibleText() const { return text_.mid(lineStart(firstLine_)); }
    // The area the lines are painted in: inside the border, less the padding.
    QRect textRect() const;
    // Wheel turns over the card are handed to this scroll bar, so they
    // scroll the card exactly as they would over the bar itself.
    void setWheelTarget(QScrollBar *bar);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    struct Line {
        int paragraph; // index into layouts_
        int lineInParagraph;
        int start;     // offset in text_
        qreal top;     // y in the unscrolled text
    };

    void relayout();

    QString text_;
    std::vector<std::unique_ptr<QTextLayout>> layouts_;
    std::vector<Line> lines_;
    int firstLine_ = 0;
    qreal lineHeight_ = 0;
    QPointer<QScrollBar> wheelTarget_;
};

} // namespace mdk
