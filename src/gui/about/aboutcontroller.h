#pragma once

#include "gui/common/commandcontroller.h"

#include <QPointer>

namespace mdk {

class AboutWindow;

// The About command and the intro splash. The About window exists at most
// once; its scene's angle belongs here, so that the rotation goes on where
// it stopped when the window is opened again.
class AboutController : public CommandController {
    Q_OBJECT
public:
    AboutController(const CommandContext &context, QObject *parent = nullptr);

    void CMAbout();
    bool AboutIsOpen() const { return !about_.isNull(); }
    AboutWindow *aboutWindow() const;
    // The splash shown when the program starts without a card file.
    void NewIntroWindow();

Q_SIGNALS:
    // The About window opened or closed: the command's enabler changed.
    void aboutChanged();
    // The About window opened: the program's random generator is seeded
    // again from the clock.
    void reseedRequested(quint64 seed);

private:
    QPointer<AboutWindow> about_;
    float angle_ = 0.0f;
};

} // namespace mdk
