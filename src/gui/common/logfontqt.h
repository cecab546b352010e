#pragma once

#include "core/settings/options.h"

#include <QFont>

namespace mdk {

// The card font from its stored description, and back.
QFont toQFont(const LogFont &lf);
LogFont fromQFont(const QFont &font, const LogFont &base = {});

} // namespace mdk
