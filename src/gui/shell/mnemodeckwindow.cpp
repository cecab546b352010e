#include "mnemodeckwindow.h"

#include "gui/common/dialogunits.h"
#include "gui/shell/mdkmaindlg.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMenuBar>

namespace mdk {

MnemodeckWindow::MnemodeckWindow(MDKMainDlg *client, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      client_(client)
{
    setObjectName(QStringLiteral("MnemodeckWindow"));
    setWindowTitle(QStringLiteral("Mnemodeck"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/icon1.png")));
    setCentralWidget(client);
    client->attachFrame(this);
}

void MnemodeckWindow::sizeFrame()
{
    const QSize size = dlu::frameSize(client_->templateSize(), menuBar()->sizeHint().height());
    setFixedSize(size);
    move(client_->options.Xpos, client_->options.Ypos);
}

void MnemodeckWindow::closeEvent(QCloseEvent *event)
{
    if (!client_->CanClose()) {
        event->ignore();
        return;
    }
    client_->stopTimers();
    event->accept();
}

} // namespace mdk
