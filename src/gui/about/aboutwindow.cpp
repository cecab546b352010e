#include "gui/about/aboutwindow.h"

#include "core/about/panelscene.h"
#include "core/appinfo.h"
#include "gui/about/sharppicture.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <cstring>

// The picture lives in a static library, whose resource initialiser the
// linker would otherwise drop.
static void initResources() { Q_INIT_RESOURCE(mnemodeck); }

namespace mdk {

namespace {

constexpr int kTickMs = 100;
// The client area is the picture's size, so the button inside it shows.
constexpr int kWidth = 274;
constexpr int kHeight = 315;

QColor toColour(about::Rgb c) { return QColor(c.r, c.g, c.b); }

} // namespace

AboutWindow::AboutWindow(float &angle, QWidget *mainWindow)
    : QDialog(mainWindow), angle_(angle)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(tr("About Mnemodeck"));
    setFixedSize(kWidth, kHeight);
    // The frame is fully painted from the composed picture: no erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);

    static const bool registered = (initResources(), true);
    Q_UNUSED(registered);
    sky_ = QImage(sharpPicture(QStringLiteral("sky"))).convertToFormat(QImage::Format_RGB32);
    if (sky_.isNull()) {
        sky_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
        sky_.fill(Qt::black);
    }
    drawTexts();
    // The frames are composed at the picture's own pixels: twice the
    // window's on a scaled screen, so the panels' edges stay sharp too.
    scale_ = int(sky_.devicePixelRatio());
    frame_ = sky_.copy();

    ok_ = new QPushButton(tr("&Ok"), this);
    ok_->setGeometry(100, 282, 75, 24);
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    // In the middle of the screen the main window is on.
    const QScreen *screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
    move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

void AboutWindow::drawTexts()
{
    // The texts are the translation's, drawn over the picture where the
    // scene leaves room; a screen reader hears them as the description.
    const QString name = QStringLiteral("Mnemodeck");
    const QString version = tr("Version %1").arg(appinfo::kVersion);
    const QString blurb = tr("Two-sided study cards: learn a word, a date or a formula one side at a time.");
    setAccessibleDescription(QStringLiteral("%1. %2. %3").arg(name, version, blurb));

    QPainter p(&sky_);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QString face = QStringLiteral("Liberation Sans");
    p.setPen(QColor(246, 206, 120));
    p.setFont(QFont(face, 20, QFont::Bold));
    p.drawText(QRect(0, 8, kWidth, 40), Qt::AlignCenter, name);
    p.setPen(QColor(236, 224, 236));
    p.setFont(QFont(face, 10));
    p.drawText(QRect(0, 180, kWidth, 20), Qt::AlignCenter, version);
    QFont small(face, 9);
    // A longer translation is set smaller rather than cut.
    const QRect blurbArea(12, 204, 250, 44);
    while (small.pointSize() > 6
           && QFontMetrics(small).boundingRect(blurbArea, Qt::AlignCenter | Qt::TextWordWrap, blurb).height()
                  > blurbArea.height())
        small.setPointSize(small.pointSize() - 1);
    p.setFont(small);
    p.drawText(blurbArea, Qt::AlignCenter | Qt::TextWordWrap, blurb);
}

void AboutWindow::composeFrame()
{
    // Restore the view area from the clean picture: one row copy each.
    const QRect area(about::kViewArea.topLeft() * scale_, about::kViewArea.size() * scale_);
    const int bytes = area.width() * 4;
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(frame_.scanLine(y) + area.left() * 4,
                    sky_.constScanLine(y) + area.left() * 4, bytes);

    QPainter p(&frame_);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const about::DrawnPanel &d : about::sceneFrame(angle_)) {
        p.setPen(QPen(toColour(d.border), 1));
        p.setBrush(toColour(d.fill));
        p.drawPolygon(d.points.data(), 4, Qt::OddEvenFill);
    }
    composedAngle_ = angle_;
}

void AboutWindow::paintEvent(QPaintEvent *event)
{
    if (composedAngle_ != angle_)
        composeFrame();
    QPainter p(this);
    // On a screen scaled by other than the picture's own factor (150 % shows
    // the 2x picture at 1.5), it is scaled smoothly: plain sampling drops
    // every fourth row and column, and stars and edges come out uneven.
    p.setRenderHint(QPainter::SmoothPixmapTransform, devicePixelRatioF() != qreal(scale_));
    // The whole picture width is copied (a narrower copy cut off the right
    // glyph); Qt clips to the invalid region, so a tick updates the view area only.
    const QRect r = event->rect();
    p.drawImage(r, frame_, QRect(r.topLeft() * scale_, r.size() * scale_));
}

void AboutWindow::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timer_.timerId()) {
        QDialog::timerEvent(event);
        return;
    }
    angle_ = about::nextAngle(angle_);
    update(about::kViewArea);
}

void AboutWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    timer_.start(kTickMs, this);
}

void AboutWindow::hideEvent(QHideEvent *event)
{
    timer_.stop();
    QDialog::hideEvent(event);
}

} // namespace mdk
