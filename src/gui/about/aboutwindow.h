#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QImage>

class QPushButton;

namespace mdk {

// The About window: the sky picture (which carries every text) with the
// turning panel scene drawn into its view area. Modeless; deletes itself on
// close, and its timer ends with it.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    // `angle` belongs to the caller so the scene continues where it stopped
    // when the window is opened again.
    AboutWindow(float &angle, QWidget *mainWindow);

    // Draws the current angle's frame into the composed picture.
    void composeFrame();
    const QImage &composedPicture() const { return frame_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The window's texts, from the translation, into the picture.
    void drawTexts();

    float &angle_;
    QImage sky_;   // the untouched picture, to restore the view area from
    QImage frame_; // the picture with the current frame drawn over it
    int scale_ = 1; // the pictures' pixels per window pixel
    float composedAngle_ = -1;
    QBasicTimer timer_;
    QPushButton *ok_ = nullptr;
};

} // namespace mdk
