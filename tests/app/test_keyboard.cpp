// Every control of every window is reached by Tab, in the order it is
// read: along a row or down a column, never back up and to the left.

#include "support/allwindows.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QButtonGroup>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>

#include <algorithm>

using namespace mdk::testsupport;

namespace {

QString nameOf(const QWidget *w)
{
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
}

// A control the keyboard must reach: a button (of an exclusive set of radio
// buttons any one, the arrows go on from there, as they do over the
// character palette's letters), a text field, a list or a tree. The tool
// bar's buttons repeat menu commands.
bool mustReach(QWidget *w, QWidget &window, const QList<QWidget *> &chain)
{
    if (!w->isVisibleTo(&window) || !w->isEnabled() || w->window() != &window)
        return false;
    if (auto *radio = qobject_cast<QRadioButton *>(w)) {
        QList<QAbstractButton *> set;
        if (radio->group() && radio->group()->exclusive())
            set = radio->group()->buttons();
        else if (radio->autoExclusive())
            set = radio->parentWidget()->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly);
        return std::none_of(set.begin(), set.end(), [&](QAbstractButton *b) { return chain.contains(b); });
    }
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return !qobject_cast<QToolBar *>(button->parentWidget()) && !button->property("letter").toBool();
    return qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w)
           || (qobject_cast<QAbstractItemView *>(w) && !qobject_cast<QHeaderView *>(w));
}

// What is wrong with the Tab order of window: controls it never reaches,
// and steps that go back up and to the left.
QStringList tabFaults(QWidget &window)
{
    QStringList faults;
    QList<QWidget *> chain;
    for (QWidget *w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&window) && w->isEnabled()
            && w->window() == &window)
            chain.append(w);
    }
    const QString where = QString::fromLatin1(window.metaObject()->className()) + QStringLiteral(": ");
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (mustReach(w, window, chain) && !chain.contains(w))
            faults.append(where + nameOf(w) + QStringLiteral(" is not reached by Tab"));
    }
    for (qsizetype i = 1; i < chain.size(); ++i) {
        const QRect a(chain[i - 1]->mapTo(&window, QPoint()), chain[i - 1]->size());
        const QRect b(chain[i]->mapTo(&window, QPoint()), chain[i]->size());
        const bool sameRowOrBelow = b.top() >= a.top() - 2;
        const bool nextColumn = b.left() >= a.left() + a.width() / 2;
        if (!sameRowOrBelow && !nextColumn)
            faults.append(where + nameOf(chain[i - 1]) + QStringLiteral(" -> ") + nameOf(chain[i])
                          + QStringLiteral(" goes back up and to the left"));
    }
    return faults;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tabReachesEveryControlInReadingOrder();
};

void TestKeyboard::tabReachesEveryControlInReadingOrder()
{
    QStringList faults;
    forEachWindow([&](QWidget &w) { faults += tabFaults(w); });
    for (const QString &fault : faults)
        qWarning("%s", qPrintable(fault));
    QVERIFY2(faults.isEmpty(), "see the warnings");
}

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
