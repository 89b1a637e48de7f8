"""Palette quantisation and a small PNG writer.

The writer is our own so that the files carry exactly what the plug-in
needs (IHDR, PLTE, tRNS when some entry is not opaque, IDAT, IEND), nothing
that varies between runs, and the bit depth we ask for whatever the number
of colours turns out to be.
"""

import struct
import zlib

import numpy as np
from PIL import Image


def _premultiplied(rgba):
    a = rgba[..., 3:4] / 255.0
    return np.concatenate([rgba[..., :3] * a, rgba[..., 3:4]], axis=-1)


def _nearest(pixels, palette):
    """Index of the nearest palette entry for every pixel (premultiplied
    RGBA, Euclidean): what shows over any background differs least."""
    out = np.empty(len(pixels), np.int64)
    pp = (palette * palette).sum(axis=1)
    for i in range(0, len(pixels), 8192):
        chunk = pixels[i:i + 8192]
        d = pp[None, :] - 2.0 * chunk @ palette.T
        out[i:i + 8192] = np.argmin(d, axis=1)
    return out


def quantise(img, colours):
    """RGBA image -> (palette [(r, g, b, a)...], index rows).

    libimagequant proposes the palette; the pixels are then mapped to their
    nearest entry without dithering (dithered alpha puts stray opaque dots
    into soft edges), and a few k-means rounds pull each entry to the mean of
    its pixels. The palette is sorted (transparent entries first, then by
    brightness) so the file does not depend on the quantiser's order."""
    img = img.convert("RGBA")
    src = np.asarray(img, np.float64).reshape(-1, 4)
    # Resampling leaves a little alpha noise: nearly opaque is opaque and
    # nearly clear is clear, and clear pixels carry no colour.
    src[src[:, 3] >= 250, 3] = 255.0
    src[src[:, 3] <= 3] = 0.0
    clean = Image.fromarray(src.reshape(img.size[1], img.size[0], 4).astype(np.uint8), "RGBA")
    q = clean.quantize(colours, method=Image.Quantize.LIBIMAGEQUANT)
    raw = np.frombuffer(q.palette.tobytes(), np.uint8)
    step = len(q.palette.mode)
    pal = raw.reshape(-1, step).astype(np.float64)
    if step == 3:
        pal = np.concatenate([pal, np.full((len(pal), 1), 255.0)], axis=1)
    pal = pal[:colours]
    pix = _premultiplied(src)
    cent = _premultiplied(pal)
    for _ in range(6):
        idx = _nearest(pix, cent)
        for k in range(len(cent)):
            sel = pix[idx == k]
            if len(sel):
                cent[k] = sel.mean(axis=0)
    # Back to straight alpha, in whole bytes.
    ents = []
    for c in cent:
        a = int(round(c[3]))
        if a >= 250:
            a = 255
        if a <= 0:
            ents.append((0, 0, 0, 0))
        else:
            ents.append(tuple(int(min(255, max(0, round(v * 255.0 / a)))) for v in c[:3]) + (min(255, a),))
    ents = sorted(set(ents), key=lambda e: (e[3] == 255, e[3], e[0] * 299 + e[1] * 587 + e[2] * 114, e))
    final = _premultiplied(np.array(ents, np.float64))
    idx = _nearest(pix, final)
    used = sorted(set(idx.tolist()))
    remap = {old: new for new, old in enumerate(used)}
    palette = [ents[i] for i in used]
    w, h = img.size
    flat = [remap[i] for i in idx.tolist()]
    rows = [flat[y * w:(y + 1) * w] for y in range(h)]
    return palette, rows


def _chunk(tag, body):
    c = struct.pack(">I", len(body)) + tag + body
    return c + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF)


def encode(palette, rows, bits):
    if len(palette) > (1 << bits):
        raise ValueError("palette of %d entries does not fit %d bits" % (len(palette), bits))
    h = len(rows)
    w = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type None: best for palette images
        if bits == 8:
            raw.extend(row)
        else:
            per = 8 // bits
            for i in range(0, w, per):
                b = 0
                for k in range(per):
                    v = row[i + k] if i + k < w else 0
                    b |= v << (8 - bits * (k + 1))
                raw.append(b)
    out = b"\x89PNG\r\n\x1a\n"
    out += _chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, bits, 3, 0, 0, 0))
    out += _chunk(b"PLTE", b"".join(bytes(p[:3]) for p in palette))
    alphas = [p[3] for p in palette]
    while alphas and alphas[-1] == 255:
        alphas.pop()
    if alphas:
        out += _chunk(b"tRNS", bytes(alphas))
    out += _chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    out += _chunk(b"IEND", b"")
    return out


def save(img, path, bits=8):
    palette, rows = quantise(img, 1 << bits)
    data = encode(palette, rows, bits)
    with open(path, "wb") as f:
        f.write(data)
    return palette, rows


def decode_rgba(palette, rows):
    """The quantised picture as an RGBA image, for previews."""
    h = len(rows)
    w = len(rows[0])
    img = Image.new("RGBA", (w, h))
    img.putdata([palette[v] for row in rows for v in row])
    return img
