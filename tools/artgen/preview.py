"""Composes both editor pages from the skin script and the artwork.

The controls are read from resources/QolmSkin.txt, so the preview shows the
layout that the plug-in builds: images at their frames, the pot dots at
sample values, and texts placed and clipped as the editor's canvas places
them. Writes docs/preview.png, docs/preview@2x.png and docs/art-frames.png.
"""

import math
import os
import re

from PIL import Image, ImageDraw

import nvgtext
import theme as T

# Sample state shown in the preview.
VALUES = {"gain": 0.5, "cut off": math.log10(6) / 3, "res": 0.5}
DISPLAY = {"gain": "0.0 dB", "cut off": "120 Hz", "res": "50 %"}
PEAK_TEXT = "Peak: -6.0 dB"
VARIABLES = {"PlugVer": "3.1", "PlugBuild": "3.1", "Platform": "Linux32", "BuildDate": "09 Sep 2024",
             "SRate": "48000", "Inputs": "2", "Outputs": "2", "HostName": "Host"}
GAP = 10


def tokens(line):
    line = line.split("#", 1)[0]
    return [a if a else b for a, b in re.findall(r'"([^"]*)"|(\S+)', line)]


def expand(text):
    return re.sub(r"\$\{(\w+)\}", lambda m: VARIABLES.get(m.group(1), ""), text)


def load_skin():
    path = os.path.join(T.RESOURCES, "QolmSkin.txt")
    res, faces, controls = {}, {}, []
    zfont1, zsans = T.embedded_fonts()
    files = {"zfont1.ttf": zfont1, "zsans.ttf": zsans}
    for raw in open(path, "rb").read().decode("ascii").splitlines():
        t = tokens(raw)
        if not t:
            continue
        k = t[0].lower()
        if k == "installttf":
            faces[t[1]] = files[t[2].lower()]
        elif k == "addresource":
            kind = t[2].lower()
            if kind == "rgbcolour":
                res[t[1]] = ("colour", tuple(int(v) for v in t[3:6]) + (255,))
            elif kind == "deffont":
                res[t[1]] = ("font", float(t[3]), res[t[4]][1], faces[t[5]])
            elif kind == "pngresource":
                res[t[1]] = ("image", t[3], int(t[4]), int(t[5]), int(t[6]))
        elif k == "addcontrol":
            controls.append((int(t[1]), int(t[2]), int(t[3]), int(t[4]), int(t[5]), t[6], t[7:]))
    return res, controls


def frame_of(images, res, name, n):
    _, file, fw, fh, _ = res[name]
    img = images[file]
    return img.crop((fw * n, 0, fw * (n + 1), fh))


def draw_page(page, images, res, controls):
    _, file, fw, fh, _ = res["bgimg"]
    img = images[file].crop((fw * (page - 1), 0, fw * page, fh)).copy()
    for cpage, x, y, w, h, kind, args in controls:
        if cpage not in (0, page):
            continue
        k = kind.lower()
        if k == "zimgpagesel":
            img.alpha_composite(frame_of(images, res, args[0], 1 if int(args[1]) == page else 0), (x, y))
        elif k in ("zimg", "zimgurl"):
            img.alpha_composite(frame_of(images, res, args[0], 0), (x, y))
        elif k == "zlabel":
            _, size, colour, path = res[args[2]]
            align = {"c": 1, "r": 2}.get(args[0][:1].lower(), 0)
            nvgtext.draw_text(img, expand(args[1]), (x, y, w, h), path, size, colour, align)
        elif k == "zbgpotdot":
            img.alpha_composite(frame_of(images, res, args[1], 0), (x, y))
            v = VALUES[args[0].lower()]
            theta = v * 1.5 * math.pi + math.pi / 4
            r = float(args[2])
            px = x + w * 0.5 - r * math.sin(theta)
            py = y + h * 0.5 + r * math.cos(theta)
            dot(img, px, py, 2.0, res[args[3]][1])
        elif k == "zbgvalue":
            img.alpha_composite(frame_of(images, res, args[1], 0), (x, y))
            _, size, colour, path = res[args[2]]
            nvgtext.draw_text(img, DISPLAY[args[0].lower()], (x, y, w, h), path, size, colour, 1)
        elif k == "zimgpeak":
            img.alpha_composite(frame_of(images, res, args[2], 0), (x, y))
        elif k == "ztextpeak":
            _, size, colour, path = res[args[2]]
            nvgtext.draw_text(img, PEAK_TEXT, (x, y, w, h), path, size, colour, 1)
    return img


def dot(img, cx, cy, r, colour):
    ss = 8
    m = Image.new("L", (img.size[0] * ss, img.size[1] * ss), 0)
    ImageDraw.Draw(m).ellipse(((cx - r) * ss, (cy - r) * ss, (cx + r) * ss, (cy + r) * ss), fill=255)
    m = m.resize(img.size, Image.BOX)
    layer = Image.new("RGBA", img.size, colour[:3] + (255,))
    layer.putalpha(m)
    img.alpha_composite(layer)


def frames_sheet(images, res):
    """Every frame of every image, on a neutral grey, at 3x."""
    pad = 6
    rows = []
    for name, r in res.items():
        if r[0] == "image" and r[1] != "Qolm.png":
            rows.append(r)
    width = max(r[2] * r[4] + pad * (r[4] - 1) for r in rows) + 2 * pad
    height = sum(r[3] for r in rows) + pad * (len(rows) + 1)
    sheet = Image.new("RGBA", (width, height), (58, 62, 68, 255))
    y = pad
    for _, file, fw, fh, n in rows:
        for i in range(n):
            sheet.alpha_composite(images[file].crop((fw * i, 0, fw * (i + 1), fh)), (pad + i * (fw + pad), y))
        y += fh + pad
    return sheet.resize((width * 3, height * 3), Image.NEAREST)


def render(images):
    res, controls = load_skin()
    a = draw_page(1, images, res, controls)
    b = draw_page(2, images, res, controls)
    out = Image.new("RGBA", (a.size[0] * 2 + GAP, a.size[1]), (12, 13, 15, 255))
    out.alpha_composite(a, (0, 0))
    out.alpha_composite(b, (a.size[0] + GAP, 0))
    os.makedirs(T.DOCS, exist_ok=True)
    out.convert("RGB").save(os.path.join(T.DOCS, "preview.png"), optimize=True)
    out.resize((out.size[0] * 2, out.size[1] * 2), Image.NEAREST).convert("RGB").save(
        os.path.join(T.DOCS, "preview@2x.png"), optimize=True)
    frames_sheet(images, res).convert("RGB").save(os.path.join(T.DOCS, "art-frames.png"), optimize=True)
