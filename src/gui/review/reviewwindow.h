#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class ReviewWindow;
}

namespace mdk {

// The review round's window: the question large, "Show answer", then "Knew
// it" or "Didn't know", the round's progress line, the direction, and at
// the end a summary. It only shows what the controller gives it and says
// what the user chose; the keys: Space or Enter shows the answer, Right, K
// or 1 knew it, Left, J or 2 did not, Ctrl+Z takes the last answer back,
// Escape ends the round. With grades (the memory model's four), the
// buttons are Again, Hard, Good and Easy on 1, 2, 3 and 4, each showing the
// interval it would give. Long sides scroll; the window stays within the
// screen.
class ReviewWindow : public QDialog {
    Q_OBJECT
public:
    enum class Buttons { KnewOrNot, AgainGood, FourGrades };
    explicit ReviewWindow(int direction, QWidget *parent = nullptr, Buttons buttons = Buttons::KnewOrNot);
    ~ReviewWindow() override;

    int direction() const;
    // A card's question; the answer waits for "Show answer".
    void showCard(const QString &question, const QString &answer, const QString &progress);
    // What each grade would give (Again, Hard, Good, Easy), shown on its
    // button; empty: none shown.
    void setIntervals(const QStringList &intervals);
    void showSummary(const QString &text, bool canRepeat);
    // The deck and category the round's cards come from.
    void setPlace(const QString &deck, const QString &category);

Q_SIGNALS:
    void answered(bool knew); // two buttons
    void graded(int grade);   // four grades: 1 Again .. 4 Easy
    void directionChanged(int direction);
    void roundEnded(); // Escape in the middle of a round
    void repeatRequested();
    void takeBackRequested(); // Ctrl+Z

protected:
    void showEvent(QShowEvent *event) override;

    void keyPressEvent(QKeyEvent *event) override;

private:
    void revealAnswer();
    void give(bool knew);
    void grade(int grade);
    bool inRound() const;
    bool four() const { return buttons_ == Buttons::FourGrades; }
    void fitScreen();

    std::unique_ptr<Ui::ReviewWindow> ui_;
    bool revealed_ = false;
    Buttons buttons_ = Buttons::KnewOrNot;
};

} // namespace mdk
