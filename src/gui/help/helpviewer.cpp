#include "helpviewer.h"

#include "core/settings/helpfile.h"
#include "gui/common/accessibility.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace mdk {

HelpViewer::HelpViewer(QWidget *parent) : QDialog(parent), browser_(new QTextBrowser(this))
{
    setWindowTitle(tr("Mnemodeck Help"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    browser_->setOpenExternalLinks(false);
    browser_->setAccessibleName(tr("Help text"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(buttons);
    resize(560, 480);
    accessible::nameScrollBars(*this);
}

void HelpViewer::showTopic(const QString &path, int topic)
{
    // The file keeps its traditional name, so it is read as HTML explicitly
    // rather than by its extension.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        browser_->setHtml(QString::fromUtf8(file.readAll()));
    } else {
        browser_->setPlainText(tr("The help file %1 could not be opened: %2")
                                   .arg(path, file.errorString()));
    }
    show();
    raise();
    activateWindow();
    browser_->scrollToAnchor(help::anchor(topic)); // once the page has its size
}

} // namespace mdk
