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
template <class T = QWidget>
T *child(QWidget *dialog, const char *name)
{
    T *w = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qWarning("no %s in %s", name, qPrintable(dialog->windowTitle()));
    return w;
}

// Shows a dialog as the program's modal run would and waits until it has
// the keyboard and has painted once.
inline bool showActive(QDialog &dialog)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    const bool active = QTest::qWaitForWindowActive(&dialog);
    QCoreApplication::processEvents();
    return active;
}

inline void click(QWidget *dialog, const char *button)
{
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}

} // namespace mdk::testsupport
