#include "platformcheck.h"

#include <cstdlib>
#include <cstring>

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
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool ok = connection && xcb_connection_has_error(connection) == 0;
    if (connection)
        xcb_disconnect(connection);
    return ok;
#else
    return true;
#endif
}

} // namespace mdk
