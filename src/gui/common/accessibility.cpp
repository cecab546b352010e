#include "accessibility.h"

#include <QCoreApplication>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QScrollBar>
#include <QWidget>

#include <utility>

namespace mdk::accessible {

namespace {
std::function<void(QAccessibleEvent &)> &observer()
{
    static std::function<void(QAccessibleEvent &)> watching;
    return watching;
}
} // namespace

void nameScrollBars(QWidget &window)
{
    for (QAbstractScrollArea *area : window.findChildren<QAbstractScrollArea *>()) {
        // A part without a name of its own (a tree's header) takes its
        // control's.
        QString name;
        for (QWidget *w = area; w && w != &window && name.isEmpty(); w = w->parentWidget()) {
            if (qobject_cast<QAbstractScrollArea *>(w))
                name = w->accessibleName();
        }
        if (name.isEmpty())
            continue;
        area->verticalScrollBar()->setAccessibleName(
            QCoreApplication::translate("mdk::accessible", "%1 vertical scroll bar").arg(name));
        area->horizontalScrollBar()->setAccessibleName(
            QCoreApplication::translate("mdk::accessible", "%1 horizontal scroll bar").arg(name));
    }
}

void notify(QAccessibleEvent &event)
{
    if (observer())
        observer()(event);
    QAccessible::updateAccessibility(&event);
}

void setObserver(std::function<void(QAccessibleEvent &)> watching)
{
    observer() = std::move(watching);
}

} // namespace mdk::accessible
