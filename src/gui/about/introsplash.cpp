#include "introsplash.h"

#include "gui/about/sharppicture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

// The pictures are in the widgets library's resources, which a static
// library registers only when asked; the splash may come before the frame.
static void initResources() { Q_INIT_RESOURCE(mnemodeck); }

namespace mdk {

namespace {
// The client area is the picture's size, whatever the picture file holds.
constexpr QSize kPictureSize{402, 273};
} // namespace

IntroSplash::IntroSplash(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    static const bool registered = (initResources(), true);
    Q_UNUSED(registered);
    picture_ = QPixmap(sharpPicture(QStringLiteral("intro")));
    // Kept for tools that look windows up by their title.
    setWindowTitle(tr("Welcome to Mnemodeck"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // The picture covers the whole client area: no background to erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kPictureSize);

    // Centred on the main window's screen (the primary one before it shows);
    // on a smaller screen the window goes where the centring puts it.
    const QScreen *screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect g = screen->geometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
    }
    // Precise, so that the 40 ticks last 2.4 s and not up to 5 % less.
    startTimer(kTickMs, Qt::PreciseTimer);
}

bool IntroSplash::event(QEvent *event)
{
    // Some platforms activate every window they show, hints or not: hand the
    // activation straight back, so the keys go on reaching the main window.
    if (event->type() == QEvent::WindowActivate && parentWidget())
        parentWidget()->activateWindow();
    return QWidget::event(event);
}

void IntroSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // The 2x picture at 150 % is scaled down: smoothly, or stars and edges go uneven.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, devicePixelRatioF() != picture_.devicePixelRatio());
    painter.drawPixmap(0, 0, picture_);
}

void IntroSplash::timerEvent(QTimerEvent *)
{
    if (++ticks_ >= kTicks) {
        ticks_ = kTicks; // later ticks, already queued, count no further
        close();
    }
}

} // namespace mdk
