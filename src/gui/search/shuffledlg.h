#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QButtonGroup;

namespace Ui {
class ShuffleDlg;
}

namespace mdk {

// The Shuffle Cards dialog (template "ShuffleDialog"). It offers the four
// orders and shows the progress the caller reports while it shuffles.
class ShuffleDlg : public QDialog {
    Q_OBJECT
public:
    // shuffletype: 0 Reverse, 1 Pattern, 2 Random, 3 Alphabetize; its radio
    // button starts checked (Random for any other value).
    explicit ShuffleDlg(int shuffletype, QWidget *parent = nullptr);
    ~ShuffleDlg() override;

    int shuffletype() const;

    // Both paint at once, without the event loop, and only on a change:
    // the caller shuffles inside okRequested.
    void setOperation(const QString &text);
    void setProgress(int value); // 0..100

Q_SIGNALS:
    // A radio button was chosen; the choice counts even if the dialog is
    // then cancelled.
    void shuffletypeChosen(int shuffletype);
    // "&OK": the caller shuffles, then accept()s.
    void okRequested();
    void helpRequested();

private:
    std::unique_ptr<Ui::ShuffleDlg> ui_;
    QButtonGroup *orders_;
};

} // namespace mdk
