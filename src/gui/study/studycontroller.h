#pragma once

#include "core/deck/openfile.h"
#include "gui/common/commandcontroller.h"

namespace mdk {

// Information, Jump to Card, Mark and Unmark all. Stepping through the
// cards with the mouse belongs to the study pane itself.
class StudyController : public CommandController {
    Q_OBJECT
public:
    StudyController(const CommandContext &context, const OpenFile &open, QObject *parent = nullptr);

    void CMInformation();
    void CMJump();
    void CMMark();
    void CMUnmarkAll();

private:
    const OpenFile &open_;
};

} // namespace mdk
