#pragma once

#include <QDialog>

class QTextBrowser;

namespace mdk {

// A small window that shows the help file at its index or at a topic.
class HelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // Shows the help file at path, scrolled to topic (0: the index).
    void showTopic(const QString &path, int topic);
    QTextBrowser *browser() const { return browser_; }

private:
    QTextBrowser *browser_;
};

} // namespace mdk
