#include "accessibility.h"

#include <QCoreApplication>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QToolButton>
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

void groupInBoxes(QWidget &window)
{
    const QList<QGroupBox *> boxes = window.findChildren<QGroupBox *>(Qt::FindDirectChildrenOnly);
    if (boxes.isEmpty())
        return;
    // The tab order, to be kept: reparenting moves a control to the end.
    QList<QWidget *> chain;
    for (QWidget *w = window.nextInFocusChain(); w && w != &window && !chain.contains(w); w = w->nextInFocusChain())
        chain.append(w);
    bool moved = false;
    for (QWidget *w : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QGroupBox *>(w) || w->isWindow())
            continue;
        for (QGroupBox *box : boxes) {
            if (!box->geometry().contains(w->geometry()))
                continue;
            const QRect place = w->geometry().translated(-box->pos());
            const bool hidden = w->isHidden();
            w->setParent(box);
            w->setGeometry(place);
            w->setVisible(!hidden);
            moved = true;
            break;
        }
    }
    if (!moved)
        return;
    for (qsizetype i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

namespace {

class ToolBarExtensionAccessible : public QAccessibleWidget {
public:
    explicit ToolBarExtensionAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::ButtonMenu) {}
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = static_cast<QToolButton *>(widget())->isChecked();
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            static_cast<QToolButton *>(widget())->click();
    }
};

QAccessibleInterface *toolBarExtensionFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QToolBarExtension") && object && object->isWidgetType())
        return new ToolBarExtensionAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void nameToolBarExtension(QWidget &toolBar, const QString &name)
{
    static const bool installed = (QAccessible::installFactory(toolBarExtensionFactory), true);
    Q_UNUSED(installed);
    if (auto *more = toolBar.findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(name);
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
