"""GIF output with one fixed palette per group of pictures.

Pictures that are cut from one another (a screen's four state pictures, the
frames of an animation) share a palette, so a colour that is the same in the
source stays the same in every file. Frequent colours are kept exactly.
"""

import io
import struct

from PIL import Image


def build_palette(images):
    """A palette of at most 256 colours for all images together."""
    width = sum(im.width for im in images)
    height = max(im.height for im in images)
    sheet = Image.new("RGB", (width, height), images[0].getpixel((0, 0)))
    x = 0
    for im in images:
        sheet.paste(im, (x, 0))
        x += im.width
    colours = sheet.getcolors(maxcolors=width * height)
    colours.sort(key=lambda c: (-c[0], c[1]))
    if len(colours) <= 256:
        palette = [rgb for _, rgb in colours]
    else:
        # flat fills are exact; anti-aliased edges share the remaining entries
        palette = [rgb for _, rgb in colours[:112]]
        q = sheet.quantize(colors=256 - len(palette), method=Image.Quantize.MEDIANCUT,
                           dither=Image.Dither.NONE)
        flat = q.getpalette()[: 3 * (256 - len(palette))]
        seen = set(palette)
        for i in range(0, len(flat), 3):
            rgb = tuple(flat[i:i + 3])
            if rgb not in seen:
                seen.add(rgb)
                palette.append(rgb)
    palette = palette[:256]
    while len(palette) < 256:
        palette.append(palette[-1])
    pal_img = Image.new("P", (1, 1))
    pal_img.putpalette([v for rgb in palette for v in rgb])
    return pal_img


def to_indexed(im, pal_img):
    """Map every pixel to its nearest palette entry; a colour that is in the
    palette keeps its exact value (PIL's own mapping works on a coarse grid
    and may not)."""
    im = im.convert("RGB")
    flat = pal_img.getpalette()[:768]
    entries = [tuple(flat[i:i + 3]) for i in range(0, 768, 3)]
    exact = {}
    for i, rgb in enumerate(entries):
        exact.setdefault(rgb, i)
    lookup = {}
    for _, rgb in im.getcolors(maxcolors=im.width * im.height):
        if rgb in exact:
            lookup[rgb] = exact[rgb]
        else:
            lookup[rgb] = min(range(len(entries)), key=lambda i: (
                (entries[i][0] - rgb[0]) ** 2 + (entries[i][1] - rgb[1]) ** 2
                + (entries[i][2] - rgb[2]) ** 2, i))
    out = Image.new("P", im.size)
    out.putdata([lookup[p] for p in im.getdata()])
    out.putpalette(flat)
    return out


def gif_bytes(indexed):
    buf = io.BytesIO()
    indexed.save(buf, "GIF", optimize=False)
    return buf.getvalue()


def save_static(path, indexed):
    with open(path, "wb") as f:
        f.write(gif_bytes(indexed))


def _split(data):
    """Header with the global colour table, and the image block (from the
    image descriptor up to, not including, the trailer)."""
    flags = data[10]
    pos = 13
    if flags & 0x80:
        pos += 3 * (2 << (flags & 7))
    header = data[:pos]
    while data[pos] == 0x21:  # skip extensions
        pos += 2
        while data[pos]:
            pos += data[pos] + 1
        pos += 1
    if data[pos] != 0x2C or data[-1] != 0x3B:
        raise ValueError("unexpected GIF layout")
    return header, data[pos:-1]


def save_animation(path, frames, delay_cs):
    """An endlessly looping GIF whose every frame is a whole picture (no
    frame relies on the one before), so simple players show it right."""
    pal = build_palette(frames[:: max(1, len(frames) // 8)] + [frames[-1]])
    header = None
    blocks = []
    for fr in frames:
        h, block = _split(gif_bytes(to_indexed(fr, pal)))
        if header is None:
            header = h
        elif h[10:] != header[10:]:
            raise ValueError("frames ended up with different palettes")
        blocks.append(block)
    out = bytearray(b"GIF89a" + header[6:])
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for block in blocks:
        out += b"\x21\xf9\x04\x04" + struct.pack("<H", delay_cs) + b"\x00\x00"
        out += block
    out += b"\x3b"
    with open(path, "wb") as f:
        f.write(out)
