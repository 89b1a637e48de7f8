#!/usr/bin/python3
"""Draws Qolm's editor artwork and writes the palette PNGs to resources/.

Run from anywhere: /usr/bin/python3 tools/artgen/artgen.py
Then a preview of both pages goes to docs/ (see preview.py).
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from PIL import Image, ImageDraw  # noqa: E402

import raster  # noqa: E402
from raster import SS, Surface, pot_point  # noqa: E402
import pngpal  # noqa: E402
import preview  # noqa: E402
import theme as T  # noqa: E402


# ---- shared pieces -------------------------------------------------------

def full(s):
    return s.rrect_mask(0, 0, s.w, s.h, 0)


def drop_shadow(s, mask, dy=1.5, radius=1.6, opacity=0.55):
    s.paint(s.blur(s.shift(mask, 0, dy), radius), (0, 0, 0), opacity)


def raised_panel(s, x0, y0, x1, y1, r=5):
    outer = s.rrect_mask(x0, y0, x1, y1, r)
    drop_shadow(s, outer, 2.0, 2.2, 0.6)
    s.paint(outer, T.OUTLINE)
    inner = s.rrect_mask(x0 + 1, y0 + 1, x1 - 1, y1 - 1, r - 1)
    s.paint(inner, s.vgrad([(0, T.PANEL_TOP), (1, T.PANEL_BOTTOM)], y0, y1))
    # Light from above: a bright first row fading down the rounded corners.
    lip = s.minus(inner, s.shift(inner, 0, 1))
    s.paint(lip, s.vgrad([(0, T.PANEL_EDGE_LIGHT), (1, T.PANEL_TOP)], y0, y0 + r + 2))
    # A faint darker last row grounds the panel.
    base = s.minus(inner, s.shift(inner, 0, -1))
    s.paint(base, (0, 0, 0), 0.25)
    return inner


def sunken_well(s, x0, y0, x1, y1, r=4, top=T.WELL_TOP, bottom=T.WELL_BOTTOM):
    # The lower lip catches the light: a faint line just below the well.
    s.paint(s.minus(s.rrect_mask(x0, y0 + 1, x1, y1 + 1, r), s.rrect_mask(x0, y0, x1, y1, r)),
            (255, 255, 255), 0.09)
    outer = s.rrect_mask(x0, y0, x1, y1, r)
    s.paint(outer, T.OUTLINE)
    inner = s.rrect_mask(x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(0, r - 1))
    s.paint(inner, s.vgrad([(0, top), (1, bottom)], y0, y1))
    # Inner shadow along the top edge.
    lit = s.blur(s.shift(inner, 0, 2.0), 1.2)
    shade = s.inter(inner, lit.point(lambda v: 255 - v))
    s.paint(shade, (0, 0, 0), 0.7)
    return inner


def hline(s, x0, x1, y, colour, opacity=1.0, fade=0.0):
    m = s.rrect_mask(x0, y, x1, y + 1, 0)
    if fade > 0:
        g = s.hgrad([(0, (255, 255, 255, 0)), (fade, (255, 255, 255, 255)),
                     (1 - fade, (255, 255, 255, 255)), (1, (255, 255, 255, 0))], x0, x1)
        m = s.inter(m, g.getchannel("A"))
    s.paint(m, colour, opacity)


# ---- page backgrounds ----------------------------------------------------

def page_base(s):
    s.paint(full(s), s.vgrad([(0, T.BG_TOP), (1, T.BG_BOTTOM)]))
    # Soft light falling from the top edge, a little darker in the corners.
    s.paint(full(s), s.rgrad([(0, (120, 170, 210, 22)), (1, (120, 170, 210, 0))], s.w / 2, -30, 210, sy=0.55))
    s.paint(full(s), s.rgrad([(0, (0, 0, 0, 0)), (0.7, (0, 0, 0, 0)), (1, (0, 0, 0, 70))],
                             s.w / 2, s.h / 2, 190, sy=0.75))
    # A dark rail under the page tabs.
    rail = s.rrect_mask(172, 0, 283, 22, 4, corners=(False, False, True, True))
    s.paint(s.blur(rail, 1.0), (0, 0, 0), 0.35)
    # Hairline at the top: the window's upper edge.
    hline(s, 0, s.w, 0, (0, 0, 0), 0.5)


def main_page():
    s = Surface(285, 195)
    page_base(s)
    # Display strip: clip lamp and peak readout.
    x0, y0, x1, y1 = T.STRIP
    sunken_well(s, x0, y0, x1, y1, 4, (8, 11, 14), (13, 17, 21))
    s.paint(s.rrect_mask(182, y0 + 5, 183, y1 - 5, 0), (255, 255, 255), 0.06)
    # Header rule between title and parameters.
    hline(s, 10, 275, 61, (0, 0, 0), 0.55, fade=0.12)
    hline(s, 10, 275, 62, (255, 255, 255), 0.07, fade=0.12)
    # The parameter panels.
    for px0, px1 in T.COLUMNS:
        raised_panel(s, px0, T.PANEL_Y0, px1, T.PANEL_Y1, 5)
        # Caption band: a shade darker, closed by an etched line.
        band = s.rrect_mask(px0 + 1, T.PANEL_Y0 + 1, px1 - 1, 95, 4, corners=(True, True, False, False))
        s.paint(band, (0, 0, 0), 0.16)
        hline(s, px0 + 6, px1 - 6, 95, (0, 0, 0), 0.45)
        hline(s, px0 + 6, px1 - 6, 96, (255, 255, 255), 0.05)
    return s


def info_page():
    s = Surface(285, 195)
    page_base(s)
    x0, y0, x1, y1 = T.INFO_PANEL
    sunken_well(s, x0, y0, x1, y1, 5, (11, 13, 17), (15, 18, 23))
    for y in (117, 145):
        hline(s, 20, 265, y, (0, 0, 0), 0.5)
        hline(s, 20, 265, y + 1, (255, 255, 255), 0.05)
    return s


def strip(frames):
    """Frames of one size side by side, in order, as the skin reads them."""
    w, h = frames[0].size
    img = Image.new("RGBA", (w * len(frames), h), (0, 0, 0, 0))
    for i, frame in enumerate(frames):
        img.paste(frame, (w * i, 0))
    return img


def background():
    return strip([main_page().result(), info_page().result()])


# ---- knob ----------------------------------------------------------------

def dial_frame(held):
    s = Surface(60, 60)
    cx = cy = 30
    # Scale: eleven ticks on the 270 degree arc, the ends and the middle longer.
    for i in range(11):
        v = i / 10
        major = i in (0, 5, 10)
        r0, r1 = (23.6, 28.2) if major else (24.4, 27.0)
        p0 = pot_point(cx, cy, r0, v)
        p1 = pot_point(cx, cy, r1, v)
        col = (T.ACCENT_LIGHT if major else T.ACCENT) if held else ((150, 162, 178) if major else (98, 108, 122))
        s.paint(s.line_mask([p0, p1], 1.15 if major else 1.0), col)
    if held:
        # Held: the arc glows.
        glow = s.ring_mask(cx, cy, 24.5, 20.5)
        s.paint(s.blur(glow, 1.8), T.ACCENT, 0.55)
    # Shadow of the knob on the panel.
    body = s.circle_mask(cx, cy, 22)
    drop_shadow(s, body, 2.0, 1.8, 0.75)
    # Dark skirt with a turned edge, lit from above.
    s.paint(body, (6, 7, 9))
    skirt = s.circle_mask(cx, cy, 21)
    s.paint(skirt, s.vgrad([(0, (74, 82, 94)), (0.45, (34, 38, 45)), (1, (17, 19, 23))], cy - 21, cy + 21))
    ring = s.ring_mask(cx, cy, 21, 20)
    s.paint(ring, s.vgrad([(0, (120, 130, 144)), (0.5, (40, 45, 52)), (1, (28, 31, 36))], cy - 21, cy + 21), 0.8)
    if held:
        s.paint(s.ring_mask(cx, cy, 22, 20.6), T.ACCENT, 0.95)
    # The light face, slightly domed.
    lip = s.circle_mask(cx, cy, 18.8)
    s.paint(lip, (14, 16, 19))
    face = s.circle_mask(cx, cy, 18.0)
    top, bottom = ((236, 241, 246), (186, 194, 204)) if not held else ((242, 247, 251), (196, 206, 216))
    s.paint(face, s.vgrad([(0, top), (1, bottom)], cy - 18.0, cy + 18.0))
    s.paint(face, s.rgrad([(0, (255, 255, 255, 150)), (1, (255, 255, 255, 0))], cx - 4, cy - 7, 15, sy=0.8))
    # A soft rim shade inside the face edge gives it depth.
    edge = s.inter(face, s.blur(s.circle_mask(cx, cy, 17.0), 0.9).point(lambda v: 255 - v))
    s.paint(edge, (70, 80, 92), 0.45)
    # Fine concentric turning marks.
    for r in (6.5, 11.0):
        s.paint(s.ring_mask(cx, cy, r + 0.5, r), (120, 130, 142), 0.14)
    return s.result()


def dial():
    return strip([dial_frame(False), dial_frame(True)])


# ---- clip lamp -----------------------------------------------------------

def led_frame(lit):
    s = Surface(15, 15)
    c = 7.5
    if lit:
        s.paint(s.blur(s.circle_mask(c, c, 5.5), 1.4), (255, 40, 30), 0.9)
    # Bezel, sunk into the strip.
    s.paint(s.circle_mask(c, c, 6.2), s.vgrad([(0, (4, 5, 6)), (1, (58, 64, 72))], c - 6.2, c + 6.2))
    s.paint(s.circle_mask(c, c, 5.2), (10, 4, 4))
    lens = s.circle_mask(c, c, 4.6)
    if lit:
        s.paint(lens, s.rgrad([(0, (255, 236, 220)), (0.35, (255, 98, 70)), (1, (214, 24, 20))], c, c + 0.3, 4.6))
    else:
        s.paint(lens, s.rgrad([(0, (104, 30, 30)), (1, (52, 12, 14))], c, c + 0.5, 4.6))
    s.paint(s.circle_mask(c - 1.3, c - 1.6, 1.6), (255, 255, 255), 0.55 if lit else 0.22)
    return s.result()


def red_led():
    return strip([led_frame(False), led_frame(True)])


# ---- value field ---------------------------------------------------------

def value_bg():
    s = Surface(60, 15)
    # Keep the lower lip in the frame: the well is one pixel shorter.
    sunken_well(s, 0, 0, 60, 14, 3, (7, 9, 12), (13, 16, 20))
    return s.result()


# ---- page tabs -----------------------------------------------------------

def tab_frame(label, state):
    """state 0 inactive, 1 active, 2 pressed."""
    s = Surface(50, 20)
    shape = s.rrect_mask(0.5, -4, 49.5, 20, 4)
    inner = s.rrect_mask(1.5, -4, 48.5, 19, 3)
    drop_shadow(s, shape, 1.0, 1.0, 0.5)
    s.paint(shape, T.OUTLINE)
    if state == 0:
        fill = [(0, (30, 34, 41)), (1, (37, 42, 50))]
        text = (124, 136, 150)
    elif state == 1:
        fill = [(0, (44, 50, 60)), (1, (55, 63, 75))]
        text = T.VALCOL
    else:
        fill = [(0, (20, 23, 28)), (1, (27, 31, 37))]
        text = T.ACCENT
    s.paint(inner, s.vgrad(fill, 0, 19))
    if state == 1:
        lip = s.minus(inner, s.shift(inner, 0, -1))
        s.paint(s.rrect_mask(5, 16, 45, 18, 1), T.ACCENT)
        s.paint(s.blur(s.rrect_mask(5, 16, 45, 18, 1), 1.5), T.ACCENT, 0.6)
        s.paint(lip, (255, 255, 255), 0.05)
    elif state == 2:
        s.paint(s.inter(inner, s.blur(s.shift(inner, 0, 2.5), 1.2).point(lambda v: 255 - v)), (0, 0, 0), 0.6)
        s.paint(s.rrect_mask(5, 16, 45, 18, 1), T.ACCENT_DEEP)
    dy = 0.5 if state == 2 else 0.0
    s.paint(s.text_mask(25, 12.6 + dy, label, T.FONT_BUTTON, 11.5, "ms", tracking=1.1), text)
    return s.result()


def tab(label):
    return strip([tab_frame(label, i) for i in range(3)])


# ---- support button ------------------------------------------------------

def heart_mask(s, cx, cy, size):
    pts = []
    for i in range(96):
        t = 2 * math.pi * i / 96
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        pts.append(((cx + x * size / 34) * SS, (cy - y * size / 34) * SS))
    m = s.mask()
    ImageDraw.Draw(m).polygon(pts, fill=255)
    return m


def donate():
    s = Surface(85, 30)
    body = s.rrect_mask(1, 1, 84, 28, 6)
    drop_shadow(s, body, 1.2, 1.0, 0.7)
    s.paint(body, (120, 46, 8))
    inner = s.rrect_mask(2, 2, 83, 27, 5)
    s.paint(inner, s.vgrad([(0, (255, 172, 76)), (0.5, (244, 128, 36)), (1, (222, 96, 20))], 2, 27))
    lip = s.minus(inner, s.shift(inner, 0, 1))
    s.paint(lip, (255, 222, 170), 0.9)
    s.paint(s.rrect_mask(3, 3, 82, 14, 4), (255, 255, 255), 0.10)
    label = "Donate"
    size = 14.5
    tw = Surface.text_width(label, T.FONT_BUTTON, size, 0.3)
    gap, hw = 4.0, 10.0
    x0 = (85 - (hw + gap + tw)) / 2
    base = 19.6
    heart = heart_mask(s, x0 + hw / 2, 14.0, hw)
    text = s.text_mask(x0 + hw + gap, base, label, T.FONT_BUTTON, size, "ls", tracking=0.3)
    both = s.union(heart, text)
    s.paint(s.shift(both, 0, 1), (128, 50, 4), 0.55)
    s.paint(both, (255, 255, 255))
    return s.result()


# ---- title badge ---------------------------------------------------------

def response(u, q=1.6):
    """Magnitude (linear) of a second-order resonant high-pass at position u
    of a log frequency axis (cut off at u = 0.55, 1.6 decades across)."""
    f = 10 ** ((u - 0.55) * 1.6)
    return f * f / math.sqrt((1 - f * f) ** 2 + (f / q) ** 2)


def emblem(s, cx, cy, r):
    """A round scope: a ring around a resonant high-pass response whose
    peak carries a node, the way a filter display marks its cut off."""
    s.paint(s.blur(s.circle_mask(cx, cy + 1, r), 1.5), (0, 0, 0), 0.6)
    inner_r = r - 2.6
    disc = s.circle_mask(cx, cy, inner_r)
    s.paint(disc, s.vgrad([(0, (9, 13, 17)), (1, (20, 27, 34))], cy - r, cy + r))
    ring = s.ring_mask(cx, cy, r, inner_r)
    s.paint(s.blur(ring, 2.0), T.ACCENT, 0.3)
    s.paint(ring, s.vgrad([(0, T.ACCENT_LIGHT), (0.55, T.ACCENT), (1, T.ACCENT_DEEP)], cy - r, cy + r))
    # Faint graticule: the pass band level.
    floor = cy + r * 0.42
    unit = r * 0.44
    zero = floor - unit
    s.paint(s.inter(s.rrect_mask(cx - r, zero, cx + r, zero + 0.6, 0), disc), T.ACCENT, 0.22)
    # The response, its peak, and a node on the peak.
    x0, x1 = cx - r * 0.95, cx + r * 0.95
    pts = []
    peak = (0, 1e9)
    for i in range(161):
        u = i / 160.0
        y = floor - response(u) * unit
        x = x0 + u * (x1 - x0)
        pts.append((x, y))
        if y < peak[1]:
            peak = (x, y)
    curve = s.inter(s.line_mask(pts, 1.8), s.circle_mask(cx, cy, inner_r - 0.4))
    fill_pts = pts + [(x1, cy + r), (x0, cy + r)]
    under = s.mask()
    ImageDraw.Draw(under).polygon([(x * SS, y * SS) for x, y in fill_pts], fill=255)
    s.paint(s.inter(under, disc), s.vgrad([(0, T.ACCENT + (90,)), (1, T.ACCENT + (0,))], peak[1], cy + r))
    s.paint(s.blur(curve, 1.2), T.ACCENT, 0.55)
    s.paint(curve, (232, 246, 255))
    node = s.circle_mask(peak[0], peak[1], 2.4)
    s.paint(s.blur(node, 1.4), T.ACCENT, 0.8)
    s.paint(node, (255, 255, 255))
    s.paint(s.circle_mask(peak[0], peak[1], 1.2), T.ACCENT)


def title():
    s = Surface(150, 55)
    cx, cy, r = 28, 28, 17
    emblem(s, cx, cy, r)
    # Word mark.
    x = 54
    qolm = s.text_mask(x, 40.5, "Qolm", T.FONT_WORDMARK, 29, "ls", tracking=0.2)
    s.paint(s.shift(qolm, 0, 1), (0, 0, 0), 0.6)
    s.paint(qolm, s.vgrad([(0, (250, 252, 255)), (1, (196, 210, 224))], 18, 41))
    s.paint(s.text_mask(x + 1.5, 15.5, "VRAX", T.FONT_SMALLCAPS, 8.5, "ls", tracking=2.2), T.ACCENT)
    return s.result()


# ---- output --------------------------------------------------------------

IMAGES = [
    ("Qolm.png", background, 8),
    ("QolmTitle.png", title, 8),
    ("Dial060.png", dial, 8),
    ("RedLed.png", red_led, 8),
    ("ValBg60x15.png", value_bg, 4),
    ("TabTopMain50x20.png", lambda: tab("MAIN"), 8),
    ("TabTopInfo50x20.png", lambda: tab("INFO"), 8),
    ("Donate85x30.png", donate, 8),
]


def twin_name(name):
    """The HiDPI twin of an image: Dial060.png gives Dial060@2x.png."""
    stem, ext = os.path.splitext(name)
    return stem + "@2x" + ext


def main():
    os.makedirs(T.RESOURCES, exist_ok=True)
    made = {}
    for out in (1, 2):
        raster.OUT = out
        for name, make, bits in IMAGES:
            file_name = name if out == 1 else twin_name(name)
            pal, rows = pngpal.save(make(), os.path.join(T.RESOURCES, file_name), bits)
            if out == 1:
                made[name] = pngpal.decode_rgba(pal, rows)
            print("%-24s %4d x %3d  %2d-bit, %3d colours" % (file_name, len(rows[0]), len(rows), bits, len(pal)))
    raster.OUT = 1
    preview.render(made)


if __name__ == "__main__":
    main()
