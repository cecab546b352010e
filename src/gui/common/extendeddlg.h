#pragma once

#include <QDialog>

#include <memory>
#include <vector>

class QPushButton;

namespace Ui {
class ExtendedDlg;
}

namespace mdk {

class CharTarget;

// The accented-character palette (templates "ExtendedCharacters" and
// "ExtendedCharactersSearch"). A click on a letter inserts that one
// character into the target field and closes the palette; Cancel inserts
// nothing. Either way the result is "rejected", which callers ignore.
// Without the mouse: the first letter has the focus at opening, the arrow
// keys move it among the letters (from Cancel too), Enter or Space inserts
// the focused one. The letters are no Tab stops.
class ExtendedDlg : public QDialog {
    Q_OBJECT
public:
    // Two targets (the card dialogs): radio buttons "Add to side 1"/"Add to side 2" shown, the checked one from *addToSide1;
    // a character click inserts into the checked side's target and records the choice in *addToSide1; Cancel records nothing.
    ExtendedDlg(CharTarget &side1, CharTarget &side2, bool &addToSide1, QWidget *parent = nullptr);
    // One target (search text, notepad): template "ExtendedCharactersSearch" (radio "Add to search text" checked, both below the visible area, side 2 hidden); nothing recorded.
    ExtendedDlg(CharTarget &only, QWidget *parent = nullptr);
    ~ExtendedDlg() override;

private:
    ExtendedDlg(CharTarget &side1, CharTarget *side2, bool *addToSide1, QWidget *parent);
    void insertCharacter(const QString &c);
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The letter nearest from `from` in the arrow's direction, or null.
    QPushButton *letterTowards(const QPushButton *from, int key) const;

    std::unique_ptr<Ui::ExtendedDlg> ui_;
    CharTarget &side1_;
    CharTarget *side2_;
    bool *addToSide1_; // null in the one-target form
    std::vector<QPushButton *> letters_;
    QPushButton *lastLetter_ = nullptr; // where the arrows come back from Cancel
};

} // namespace mdk
