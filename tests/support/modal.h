#pragma once

// Drives a modal dialog from a test: body runs on the dialog that action
// opens, once it is showing; a dialog still open afterwards is cancelled.

#include <QApplication>
#include <QDialog>
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

} // namespace mdk::testsupport
