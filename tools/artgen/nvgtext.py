"""Text placed the way the editor's renderer places it, for the preview.

The editor draws text through NanoVG's font stash: the size is a pixel
height (ascender minus descender, not the em), every advance and kerning
step is rounded to whole pixels, and glyphs sit on whole pixels. The box
anchors follow the canvas: the text's middle sits at h * 0.55 + 0.5.
"""

import math
import struct
from functools import lru_cache

import numpy as np
from PIL import Image, ImageDraw, ImageFont

SS = 4


def _tables(data):
    num = struct.unpack(">H", data[4:6])[0]
    out = {}
    for i in range(num):
        tag, _, off, ln = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        out[tag] = (off, ln)
    return out


@lru_cache(maxsize=None)
def metrics(path):
    data = open(path, "rb").read()
    t = _tables(data)
    head = t[b"head"][0]
    upem = struct.unpack(">H", data[head + 18:head + 20])[0]
    hhea = t[b"hhea"][0]
    asc, desc = struct.unpack(">hh", data[hhea + 4:hhea + 8])
    return upem, asc, desc


@lru_cache(maxsize=None)
def _unit_font(path):
    upem, _, _ = metrics(path)
    return ImageFont.truetype(path, upem)


@lru_cache(maxsize=None)
def _advance(path, ch):
    return _unit_font(path).getlength(ch)


@lru_cache(maxsize=None)
def _kern(path, a, b):
    f = _unit_font(path)
    return f.getlength(a + b) - _advance(path, a) - _advance(path, b)


def _f32(v):
    return struct.unpack("f", struct.pack("f", v))[0]


def layout(text, path, size):
    """Pen positions (whole pixels) of each character and the advance."""
    upem, asc, desc = metrics(path)
    isize = int(_f32(_f32(size) * 10.0))
    px = isize / 10.0
    scale = px / (asc - desc)
    x = 0
    pos = []
    prev = None
    for ch in text:
        if prev is not None:
            x += int(_kern(path, prev, ch) * scale + 0.5)
        pos.append(x)
        xadv = int(scale * _advance(path, ch) * 10.0)
        x += int(xadv / 10.0 + 0.5)
        prev = ch
    return pos, x, px, scale


def width(text, path, size):
    return layout(text, path, size)[1]


def _round_away(v):
    return math.floor(v + 0.5) if v >= 0 else -math.floor(-v + 0.5)


def draw_text(img, text, box, path, size, colour, align):
    """Draws text into img (RGBA, final pixels) inside box = (x, y, w, h),
    clipped to the box as the control's scissor clips it. align: 0 left,
    1 centre, 2 right."""
    bx, by, bw, bh = box
    upem, asc, desc = metrics(path)
    pos, adv, px, scale = layout(text, path, size)
    if align == 0:
        anchor = bx
    elif align == 2:
        anchor = bx + bw
    else:
        anchor = bx + bw * 0.5
    X = _round_away(_f32(anchor))
    Y = _round_away(_f32(bh * _f32(0.55) + by + 0.5))
    start = X if align == 0 else (X - adv if align == 2 else X - adv * 0.5)
    baseline = Y + (asc + desc) / (asc - desc) / 2.0 * px
    em = scale * upem
    font = ImageFont.truetype(path, max(1, round(em * SS)))
    # Render into a supersampled patch covering the box plus a margin.
    mx = 4
    pw, ph = bw + 2 * mx, bh + 2 * mx
    m = Image.new("L", (pw * SS, ph * SS), 0)
    d = ImageDraw.Draw(m)
    for ch, p in zip(text, pos):
        gx = math.floor(start + p)
        d.text(((gx - bx + mx) * SS, (math.floor(baseline) - by + mx) * SS), ch, font=font, fill=255, anchor="ls")
    m = m.resize((pw, ph), Image.BOX)
    a = np.asarray(m, np.float32) / 255.0
    # Clip to the control's rectangle.
    a[:mx, :] = 0
    a[mx + bh:, :] = 0
    a[:, :mx] = 0
    a[:, mx + bw:] = 0
    layer = np.zeros((ph, pw, 4), np.float32)
    layer[..., 0] = colour[0]
    layer[..., 1] = colour[1]
    layer[..., 2] = colour[2]
    layer[..., 3] = a * (colour[3] if len(colour) > 3 else 255)
    patch = Image.fromarray(np.clip(layer + 0.5, 0, 255).astype(np.uint8), "RGBA")
    _composite_clipped(img, patch, bx - mx, by - mx)
    return adv


def _composite_clipped(img, patch, x, y):
    """alpha_composite that accepts a patch reaching past the top or left."""
    sx = max(0, -x)
    sy = max(0, -y)
    img.alpha_composite(patch.crop((sx, sy, patch.size[0], patch.size[1])), (x + sx, y + sy))
