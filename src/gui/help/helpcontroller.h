#pragma once

#include "core/deck/openfile.h"
#include "gui/common/commandcontroller.h"

#include <QPointer>

namespace mdk {

class HelpViewer;

// The Help command and the help window that the dialogs' Help buttons
// share.
class HelpController : public CommandController {
    Q_OBJECT
public:
    HelpController(const CommandContext &context, const OpenFile &open, QObject *parent = nullptr);

    // Opens the help file at its index.
    void CMHelp();
    // Opens the help file at topic (0: the index). A dialog passes itself
    // as owner, so that the help window is usable while it is open.
    void openHelp(int topic, QWidget *owner = nullptr);
    HelpViewer *helpViewer() const;

private:
    const OpenFile &open_;
    QPointer<HelpViewer> viewer_;
};

} // namespace mdk
