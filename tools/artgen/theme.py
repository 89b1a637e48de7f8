"""Colours, fonts and layout shared by the artwork and the preview."""

import os
import re

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
RESOURCES = os.path.join(ROOT, "resources")
DOCS = os.path.join(ROOT, "docs")

# Fonts baked into the artwork (same family as the embedded fonts; Debian
# package fonts-roboto-unhinted).
_ROBOTO = "/usr/share/fonts/truetype/roboto/unhinted"
FONT_WORDMARK = _ROBOTO + "/RobotoTTF/Roboto-Bold.ttf"
FONT_SMALLCAPS = _ROBOTO + "/RobotoTTF/Roboto-Medium.ttf"
FONT_BUTTON = _ROBOTO + "/RobotoCondensed-Bold.ttf"


def embedded_fonts():
    """ZFont1 and ZSans as the build embeds them (resources/fonts.cmake)."""
    text = open(os.path.join(RESOURCES, "fonts.cmake")).read()
    found = dict(re.findall(r'set\(\s*(QOLM_FONT_\w+)\s+"([^"]+)"\s*\)', text))
    return found["QOLM_FONT_ZFONT1"], found["QOLM_FONT_ZSANS"]


# Page background and panels: blue-grey charcoal, lit from above.
BG_TOP = (33, 38, 46)
BG_BOTTOM = (21, 24, 30)
PANEL_TOP = (44, 50, 60)
PANEL_BOTTOM = (33, 38, 46)
PANEL_EDGE_LIGHT = (78, 88, 102)
OUTLINE = (9, 11, 14)
WELL_TOP = (10, 12, 15)
WELL_BOTTOM = (15, 18, 22)

# The accent: ice blue, the hue of the skin's text colours.
ACCENT = (122, 206, 250)
ACCENT_LIGHT = (196, 236, 255)
ACCENT_DEEP = (48, 128, 186)

# Skin colours (the script's RGBColour lines), for the preview and checks.
VALCOL = (220, 240, 255)
DOTCOL = (40, 40, 50)
LBLCOL = (180, 190, 200)
PEAKCOL = (140, 160, 175)
CLIPCOL = (220, 240, 255)
PRMCOL = (235, 245, 255)

# Main page geometry: the three parameter columns (panel x range, centre).
PANEL_Y0, PANEL_Y1 = 67, 179
COLUMNS = [(19, 91), (114, 186), (189, 261)]
STRIP = (158, 29, 267, 56)
INFO_PANEL = (12, 75, 273, 181)
