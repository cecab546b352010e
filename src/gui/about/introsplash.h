#pragma once

#include <QPixmap>
#include <QWidget>

namespace mdk {

// The splash shown when the program starts without a card file: the intro
// picture, unscaled, in a frameless window centred on the screen, above the
// main window but never taking the focus, so the user works on meanwhile.
// It counts ticks of its own timer (any timer event counts) and closes after
// kTicks of them whatever the user does; closing destroys it.
class IntroSplash : public QWidget {
    Q_OBJECT
public:
    explicit IntroSplash(QWidget *mainWindow);
    static constexpr int kTicks = 40, kTickMs = 60;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QPixmap picture_;
    int ticks_ = 0;
};

} // namespace mdk
