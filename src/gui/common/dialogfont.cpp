#include "dialogfont.h"

#include <QFontMetrics>
#include <QWidget>

namespace mdk::dlu {

QFont dialogFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

BaseUnits baseUnits(const QFont &font)
{
    const QFontMetrics fm(font);
    const int letters = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {qMax(1, (letters / 26 + 1) / 2), qMax(1, fm.height())};
}

void applyDialogUnits(QWidget *dialog, const QSize &sizeInUnits)
{
    dialog->setFont(dialogFont());
    const BaseUnits base = baseUnits(dialog->font());
    for (QObject *child : dialog->children()) {
        if (auto *w = qobject_cast<QWidget *>(child); w && !w->isWindow())
            w->setGeometry(toPixels(w->geometry(), base));
    }
    dialog->setFixedSize(toPixels(sizeInUnits, base));
}

void placeAtTemplatePosition(QWidget *dialog, const QWidget *parent, const QPoint &positionInUnits)
{
    if (!parent)
        return;
    const BaseUnits base = baseUnits(parent->font());
    dialog->move(parent->mapToGlobal(QPoint(toPixelsX(positionInUnits.x(), base), toPixelsY(positionInUnits.y(), base))));
}

} // namespace mdk::dlu
