"""Supersampled drawing surface for the artwork.

Everything is drawn at SS times the final size and scaled down once with
Lanczos, so edges come out antialiased while the callers think in final
pixels: a coordinate of 10 means the boundary between pixel 9 and pixel 10.
"""

import math

import numpy as np
from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SS = 4
# Pixels of the result per final pixel: 1 for the images the editor shows
# at 96 DPI, 2 for their @2x twins on HiDPI screens. Drawing still happens
# at SS, so a 2x image is drawn from twice as many samples, not enlarged.
OUT = 1


def _arr(img):
    return np.asarray(img, dtype=np.float32)


class Surface:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.im = Image.new("RGBA", (w * SS, h * SS), fill)

    # ---- masks -----------------------------------------------------------
    def mask(self):
        return Image.new("L", self.im.size, 0)

    def rrect_mask(self, x0, y0, x1, y1, r, corners=None):
        m = self.mask()
        d = ImageDraw.Draw(m)
        box = (round(x0 * SS), round(y0 * SS), round(x1 * SS) - 1, round(y1 * SS) - 1)
        if r <= 0:
            d.rectangle(box, fill=255)
        else:
            d.rounded_rectangle(box, radius=r * SS, fill=255)
            if corners is not None:
                # Square off the corners that are not to be rounded
                # (top left, top right, bottom right, bottom left).
                x0s, y0s, x1s, y1s = box
                rs = int(math.ceil(r * SS))
                spots = [(x0s, y0s), (x1s - rs, y0s), (x1s - rs, y1s - rs), (x0s, y1s - rs)]
                for keep, (sx, sy) in zip(corners, spots):
                    if not keep:
                        d.rectangle((sx, sy, sx + rs, sy + rs), fill=255)
        return m

    def circle_mask(self, cx, cy, r):
        m = self.mask()
        d = ImageDraw.Draw(m)
        d.ellipse(((cx - r) * SS, (cy - r) * SS, (cx + r) * SS - 1, (cy + r) * SS - 1), fill=255)
        return m

    def ring_mask(self, cx, cy, r_out, r_in):
        return ImageChops.subtract(self.circle_mask(cx, cy, r_out), self.circle_mask(cx, cy, r_in))

    def line_mask(self, pts, width, round_caps=True):
        m = self.mask()
        d = ImageDraw.Draw(m)
        sp = [(x * SS, y * SS) for x, y in pts]
        d.line(sp, fill=255, width=max(1, round(width * SS)), joint="curve")
        if round_caps:
            rr = width * SS / 2
            for x, y in (sp[0], sp[-1]):
                d.ellipse((x - rr, y - rr, x + rr, y + rr), fill=255)
        return m

    def text_mask(self, x, y, text, font_path, size, anchor="ls", tracking=0.0):
        """Text at (x, y) with a PIL anchor; size is the em size in final
        pixels; tracking adds space between letters (final pixels)."""
        m = self.mask()
        d = ImageDraw.Draw(m)
        f = ImageFont.truetype(font_path, round(size * SS))
        if tracking == 0.0:
            d.text((x * SS, y * SS), text, font=f, fill=255, anchor=anchor)
            return m
        # Letter by letter; the anchor's horizontal part applies to the run.
        widths = [f.getlength(c) for c in text]
        total = sum(widths) + tracking * SS * (len(text) - 1)
        if anchor[0] == "m":
            px = x * SS - total / 2
        elif anchor[0] == "r":
            px = x * SS - total
        else:
            px = x * SS
        for c, wdt in zip(text, widths):
            d.text((px, y * SS), c, font=f, fill=255, anchor="l" + anchor[1])
            px += wdt + tracking * SS
        return m

    @staticmethod
    def text_width(text, font_path, size, tracking=0.0):
        f = ImageFont.truetype(font_path, round(size * SS))
        return (sum(f.getlength(c) for c in text) + tracking * SS * (len(text) - 1)) / SS

    # ---- mask algebra ----------------------------------------------------
    @staticmethod
    def inter(a, b):
        return ImageChops.multiply(a, b)

    @staticmethod
    def minus(a, b):
        return ImageChops.subtract(a, b)

    @staticmethod
    def union(a, b):
        return ImageChops.lighter(a, b)

    @staticmethod
    def blur(m, radius):
        return m.filter(ImageFilter.GaussianBlur(radius * SS))

    @staticmethod
    def shift(m, dx, dy):
        """The mask moved by (dx, dy); what moves out is lost, what comes in
        is empty (no wrapping round)."""
        out = Image.new(m.mode, m.size, 0)
        out.paste(m, (round(dx * SS), round(dy * SS)))
        return out

    @staticmethod
    def scale(m, k):
        return m.point(lambda v: int(round(v * k)))

    # ---- paints ----------------------------------------------------------
    def solid(self, colour):
        c = tuple(colour) + ((255,) if len(colour) == 3 else ())
        return Image.new("RGBA", self.im.size, c)

    def vgrad(self, stops, y0=0.0, y1=None):
        """Vertical gradient; stops are (t, colour) with t from 0 (y0) to 1 (y1)."""
        if y1 is None:
            y1 = self.h
        ys = (np.arange(self.im.size[1], dtype=np.float32) + 0.5) / SS
        t = np.clip((ys - y0) / max(1e-6, (y1 - y0)), 0.0, 1.0)
        return self._ramp(stops, t[:, None] * np.ones((1, self.im.size[0]), np.float32))

    def hgrad(self, stops, x0=0.0, x1=None):
        if x1 is None:
            x1 = self.w
        xs = (np.arange(self.im.size[0], dtype=np.float32) + 0.5) / SS
        t = np.clip((xs - x0) / max(1e-6, (x1 - x0)), 0.0, 1.0)
        return self._ramp(stops, np.ones((self.im.size[1], 1), np.float32) * t[None, :])

    def rgrad(self, stops, cx, cy, r, sx=1.0, sy=1.0):
        """Radial gradient around (cx, cy); t = distance / r (with x and y
        stretched by 1/sx and 1/sy, for elliptic glows)."""
        ys = (np.arange(self.im.size[1], dtype=np.float32) + 0.5) / SS
        xs = (np.arange(self.im.size[0], dtype=np.float32) + 0.5) / SS
        dx = (xs[None, :] - cx) / sx
        dy = (ys[:, None] - cy) / sy
        t = np.clip(np.sqrt(dx * dx + dy * dy) / r, 0.0, 1.0)
        return self._ramp(stops, t)

    def _ramp(self, stops, t):
        ts = np.array([s[0] for s in stops], np.float32)
        cols = np.array([tuple(s[1]) + ((255,) if len(s[1]) == 3 else ()) for s in stops], np.float32)
        out = np.empty(t.shape + (4,), np.float32)
        for ch in range(4):
            out[..., ch] = np.interp(t, ts, cols[:, ch])
        return Image.fromarray(np.clip(out + 0.5, 0, 255).astype(np.uint8), "RGBA")

    # ---- compositing -----------------------------------------------------
    def paint(self, mask, paint, opacity=1.0):
        if isinstance(paint, tuple):
            paint = self.solid(paint)
        a = ImageChops.multiply(paint.getchannel("A"), mask)
        if opacity != 1.0:
            a = a.point(lambda v: int(round(v * opacity)))
        layer = paint.copy()
        layer.putalpha(a)
        self.im.alpha_composite(layer)

    def result(self):
        return self.im.resize((self.w * OUT, self.h * OUT), Image.LANCZOS)


def pot_point(cx, cy, r, v):
    """Point on a pot's 270 degree arc for value v (0 at 7:30, 1 at 4:30)."""
    theta = v * 1.5 * math.pi + math.pi / 4
    return cx - r * math.sin(theta), cy + r * math.cos(theta)
