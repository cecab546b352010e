#pragma once

// Drives a modal dialog from a test: body runs on the dialog that action
// opens, once it is showing; a dialog still open afterwards is cancelled.

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace mdk::testsupport {

inline void onModal(const std::function<void()> &action, const std::function<void(QDialog *)> &body)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        ran = true;
        body(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    action();
    QVERIFY(ran);
}

// A named control of a dialog; a warning names what is missing.
template <class T>
T *child(QDialog *dialog, const char *name)
{
    T *w = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qWarning("no %s in %s", name, qPrintable(dialog->windowTitle()));
    return w;
}

inline void click(QDialog *dialog, const char *button)
{
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}

} // namespace mdk::testsupport
