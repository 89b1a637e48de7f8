// How many screen pixels the desktop wants per editor pixel: Xft.dpi from
// the X resource database (96 is 1x, 192 is 2x), or GDK_SCALE where Xft.dpi
// is not set; dpi / 96 rounded to a quarter and held to 1..3. 1 when neither
// says anything, so that a plain desktop gets exactly the 96 DPI editor.
#pragma once

namespace VRAX {

// The scale those settings give: `resources` is the resource database as
// text (RESOURCE_MANAGER, may be null), `gdkScale` GDK_SCALE's value (may
// be null).
double scaleFromSettings(const char* resources, const char* gdkScale);

// The scale of the default display now. Opens a connection of its own for
// the look and closes it again; 1 when there is no display.
double desktopScale();

}  // namespace VRAX
