#pragma once

#include "core/study/autorepeat.h"
#include "gui/study/carddisplay.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QScrollBar;
class QTreeWidget;

namespace mdk {

class Deck;
struct LogFont;

// The main dialog: the study pane in the middle of the frame. It shows the
// category tree and the current card with its scroll bar, and steps through
// the cards with the mouse, repeating while a button is held, and with the
// keys the card display passes on. The commands,
// menus and status bar belong to the frame.
class MDKMainDlg : public QWidget {
    Q_OBJECT
public:
    explicit MDKMainDlg(Deck &deck, QWidget *parent = nullptr);
    ~MDKMainDlg() override;

    // Pixels of the main dialog's template at the dialog font.
    QSize templateSize() const;

    // Shows the current card and side.
    void SetText();
    void ChangeSide();
    void ChangeSideBackwards();
    void ScrollCard();
    // Shows the deck's category tree with the selected node current.
    void RefreshTree();
    // Shows the tree and the card again where the deck's revisions moved
    // since they were last shown; the frame calls it after every command.
    void refresh();
    void expandTree();
    void setCardFont(const LogFont &font);
    // The card text's zoom in percent; zoomBy steps it (+1 larger, -1
    // smaller, 0 back to 100 %) as Ctrl+Plus, Ctrl+Minus, Ctrl+0 and Ctrl
    // with the wheel over the card do.
    void setZoom(int percent);
    void zoomBy(int direction);

    // Ends a held button's stepping: a dialog is about to take the mouse.
    void stopAutoRepeat();
    // The tick of the auto-repeat timer.
    void repeatTick();
    QTimer &repeatTimer() { return repeatTimer_; }
    const AutoRepeat &autoRepeat() const { return repeat_; }
    // Where the pointer is, in global coordinates, and which buttons are
    // down; replaceable for tests.
    std::function<QPoint()> pointerPosition;
    std::function<Qt::MouseButtons()> mouseButtons;

    CardDisplay *cardDisplay() const { return display_; }
    QScrollBar *cardScrollBar() const { return scrollBar_; }
    QTreeWidget *categoriesTree() const { return tree_; }
    int scrollposition = 0;
    int amounttodelete = 0;

Q_SIGNALS:
    // The card caption ("Card 3, side 2") for the status line; empty when
    // no card is shown.
    void cardCaption(const QString &text);
    // The user changed the deck's state here (a category opened): the
    // commands' enablers may have changed.
    void stateChanged();
    // The user zoomed the card text to percent.
    void zoomChanged(int percent);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void TvnSelChanged();
    void keyStep(CardDisplay::Step step);
    void followFocus(QWidget *now);
    void applyRepeat(const AutoRepeat::Action &action);
    void pressButton(QMouseEvent *event);

    Deck &deck_;
    CardDisplay *display_ = nullptr;
    QScrollBar *scrollBar_ = nullptr;
    QTreeWidget *tree_ = nullptr;
    QTimer repeatTimer_; // 500 ms, then 100 ms
    AutoRepeat repeat_;
    bool fillingTree_ = false;
    // A dialog holds the keys; when they come back, the card takes them.
    bool dialogHadFocus_ = false;
    // The deck's revisions the card and the tree last showed.
    quint64 shownView_ = 0;
    quint64 shownTree_ = 0;
    // When the last press arrived, so that a double-click delivered along
    // with its own press is not counted twice.
    std::optional<quint64> lastPressTime_;
};

} // namespace mdk
