#pragma once

#include "gui/common/commandcontroller.h"

namespace mdk {

class OpenDocument;

// Earlier versions: the versions of the open file kept at each save, one of
// which can be made the open deck again.
class VersionController : public CommandController {
    Q_OBJECT
public:
    VersionController(const CommandContext &context, OpenDocument &document, QObject *parent = nullptr);

    void EarlierVersions();

private:
    OpenDocument &document_;
};

} // namespace mdk
