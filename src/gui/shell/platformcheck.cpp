#include "platformcheck.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#ifdef MDK_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace mdk {

namespace {
bool isSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}
} // namespace

bool canOpenGraphicalSession()
{
    // An explicit platform (offscreen, vnc, ...) is the user's choice.
    if (isSet("QT_QPA_PLATFORM") || isSet("WAYLAND_DISPLAY"))
        return true;
    if (!isSet("DISPLAY"))
        return false;
#ifdef MDK_HAVE_XCB
    // Without this, a dead X display makes the toolkit abort with a trace.
    // A busy server can refuse a connection for a moment: try a few times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
        const bool ok = xcb_connection_has_error(connection) == 0;
        xcb_disconnect(connection);
        if (ok)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
#else
    return true;
#endif
}

} // namespace mdk
