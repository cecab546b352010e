#pragma once

namespace mdk {

// Whether a graphical session can be opened: a platform chosen explicitly,
// a Wayland display, or an X display that accepts a connection.
bool canOpenGraphicalSession();

} // namespace mdk
