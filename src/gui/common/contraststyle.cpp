#include "contraststyle.h"

#include "core/study/contrast.h"

#include <QFrame>
#include <QPaintDevice>
#include <QPainter>
#include <QStyleOption>

#include <cmath>

namespace mdk {

namespace {

// Fusion's rims: a check box's is the window colour darker(140) then
// lighter(110), a radio button's darker(150). A small margin over 3:1
// covers the anti-aliasing at the rounded edges.
constexpr double kRimTarget = contrast::kGraphicMinimum + 1.0;

bool rimsRead(const QColor &source, const QColor &ground)
{
    const QColor check = source.darker(140).lighter(110);
    const QColor radio = source.darker(150);
    return contrast::ratio(check.rgb(), ground.rgb()) >= kRimTarget
        && contrast::ratio(radio.rgb(), ground.rgb()) >= kRimTarget;
}

} // namespace

ContrastStyle::ContrastStyle(QStyle *base) : QProxyStyle(base) {}

QColor ContrastStyle::rimSource(const QColor &ground, const QColor &text)
{
    // Only a dark ground: on a light one the rim is darker than the ground
    // already, and that look stays as the style draws it.
    if (ground.lightness() >= text.lightness() || rimsRead(ground, ground))
        return ground;
    // The least step from the ground towards the text, then white, that does.
    for (const QColor &towards : {text, QColor(Qt::white)})
        for (int step = 1; step <= 64; ++step) {
            const double t = step / 64.0;
            const QColor c = QColor::fromRgbF(float(ground.redF() + (towards.redF() - ground.redF()) * t),
                                              float(ground.greenF() + (towards.greenF() - ground.greenF()) * t),
                                              float(ground.blueF() + (towards.blueF() - ground.blueF()) * t));
            if (rimsRead(c, ground))
                return c;
        }
    return QColor(Qt::white);
}

void ContrastStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    if ((element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton) && option
        && baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {
        const QColor ground = option->palette.color(QPalette::Window);
        const QColor source = rimSource(ground, option->palette.color(QPalette::WindowText));
        if (source != ground) {
            // The option keeps its own type: the style reads the check state from it.
            const auto draw = [&](auto copy) {
                copy.palette.setColor(QPalette::Window, source);
                QProxyStyle::drawPrimitive(element, &copy, painter, widget);
            };
            if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option))
                draw(*button);
            else if (const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option))
                draw(*item);
            else if (const auto *menu = qstyleoption_cast<const QStyleOptionMenuItem *>(option))
                draw(*menu);
            else
                draw(*option);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ContrastStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    if (element == CE_ShapedFrame && painter && painter->device()) {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
        if (frame && ratio != std::floor(ratio)
            && (frame->frameShape == QFrame::Panel || frame->frameShape == QFrame::WinPanel
                || frame->frameShape == QFrame::Box)
            && frame->state & (State_Sunken | State_Raised)) {
            QStyleOptionFrame inside(*frame);
            inside.rect.adjust(0, 0, -1, -1);
            QProxyStyle::drawControl(element, &inside, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

} // namespace mdk
