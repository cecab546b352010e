#include "aboutcontroller.h"

#include "core/shell/commandids.h"
#include "gui/about/aboutwindow.h"
#include "gui/about/introsplash.h"

#include <QDateTime>

namespace mdk {

AboutController::AboutController(const CommandContext &context, QObject *parent)
    : CommandController(context, parent)
{
    bind(CM_ABOUT, &AboutController::CMAbout);
}

AboutWindow *AboutController::aboutWindow() const { return about_; }

void AboutController::CMAbout()
{
    if (about_)
        return;
    Q_EMIT reseedRequested(quint64(QDateTime::currentSecsSinceEpoch()));
    about_ = new AboutWindow(angle_, window_);
    // A widget announces its destruction before its guards are cleared.
    connect(about_.data(), &QObject::destroyed, this, [this] {
        about_.clear();
        Q_EMIT aboutChanged();
    });
    about_->show();
    Q_EMIT aboutChanged();
}

void AboutController::NewIntroWindow()
{
    auto *splash = new IntroSplash(window_);
    splash->show();
}

} // namespace mdk
