#pragma once

#include <QProxyStyle>

namespace mdk {

// The desktop's style with check box and radio button indicators that stay
// visible in a dark scheme. Fusion (Qt's style where the desktop offers none,
// as on a KDE desktop without a Qt 6 Breeze) draws their rim a shade darker
// than the window, which on a dark window is 1.1:1; here, under a dark
// palette, the rim is drawn from a lighter window colour so that it reaches
// 3:1 on its ground. A light palette is passed through untouched, and other
// styles, which draw their own rims, are too.
// On a screen scaled by a fraction (125 %), Qt draws a sunken or raised
// panel's right and bottom lines at device pixels rounded past the frame's
// edge, where they are clipped away; there the panel is drawn one pixel
// smaller, so all four edges show.
class ContrastStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Takes ownership of base.
    explicit ContrastStyle(QStyle *base);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

    // The window colour Fusion draws the indicator rims from, so that they
    // read 3:1 on ground; ground itself when they already do.
    static QColor rimSource(const QColor &ground, const QColor &text);
};

} // namespace mdk
