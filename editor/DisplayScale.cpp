#include "editor/DisplayScale.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace VRAX {

namespace {

constexpr double kMinimumScale = 1.0;
constexpr double kMaximumScale = 3.0;

double heldScale(double scale) {
    if (!(scale >= kMinimumScale)) return kMinimumScale;  // also not a number
    return scale > kMaximumScale ? kMaximumScale : scale;
}

// Xft.dpi as the resource database resolves it (wildcards included); 0
// when it is not set or not a positive number.
double xftDpi(const char* resources) {
    if (!resources || !*resources) return 0.0;
    static std::once_flag once;
    std::call_once(once, [] { XrmInitialize(); });
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database) return 0.0;
    char* type = nullptr;
    XrmValue value{};
    double dpi = 0.0;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
        char* end = nullptr;
        dpi = std::strtod(value.addr, &end);
        if (end == value.addr || !(dpi > 0.0)) dpi = 0.0;
    }
    XrmDestroyDatabase(database);
    return dpi;
}

}  // namespace

double scaleFromSettings(const char* resources, const char* gdkScale) {
    const double dpi = xftDpi(resources);
    if (dpi > 0.0) return heldScale(std::round(dpi / 96.0 * 4.0) / 4.0);
    if (gdkScale && *gdkScale) {
        char* end = nullptr;
        const double scale = std::strtod(gdkScale, &end);
        if (end != gdkScale) return heldScale(std::round(scale * 4.0) / 4.0);
    }
    return kMinimumScale;
}

double desktopScale() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return kMinimumScale;
    const double scale = scaleFromSettings(XResourceManagerString(display), std::getenv("GDK_SCALE"));
    XCloseDisplay(display);
    return scale;
}

}  // namespace VRAX
