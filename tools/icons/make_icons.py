#!/usr/bin/python3
"""Draws the program's icons (resources/orvalin.ico and resources/tray.ico).

A rounded teal tile with a white shield and a check mark: the same calm palette as the skin.
Drawn at 4x and reduced, so the edges are smooth at every size. Deterministic output.
"""
import os
import sys

from PIL import Image, ImageDraw

TOP = (38, 150, 170)
BOTTOM = (22, 96, 128)
SIZES = [16, 24, 32, 48, 64, 128, 256]


def tile(size, tray=False):
    s = size * 4
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    grad = Image.new("RGBA", (s, s))
    gd = ImageDraw.Draw(grad)
    for y in range(s):
        t = y / max(1, s - 1)
        c = tuple(int(TOP[i] + (BOTTOM[i] - TOP[i]) * t) for i in range(3))
        gd.line([(0, y), (s, y)], fill=c + (255,))
    mask = Image.new("L", (s, s), 0)
    inset = 0 if tray else s // 16
    ImageDraw.Draw(mask).rounded_rectangle([inset, inset, s - 1 - inset, s - 1 - inset], radius=s // 5, fill=255)
    img.paste(grad, (0, 0), mask)
    d = ImageDraw.Draw(img)
    # Shield.
    cx, top, w, h = s / 2, s * 0.2, s * 0.5, s * 0.62
    shield = [(cx - w / 2, top + h * 0.12), (cx, top), (cx + w / 2, top + h * 0.12),
              (cx + w / 2, top + h * 0.5), (cx, top + h), (cx - w / 2, top + h * 0.5)]
    d.polygon(shield, fill=(255, 255, 255, 255))
    # Check mark in the tile's colour.
    lw = max(4, int(s * 0.07))
    d.line([(cx - w * 0.24, top + h * 0.47), (cx - w * 0.05, top + h * 0.66), (cx + w * 0.26, top + h * 0.3)],
           fill=BOTTOM + (255,), width=lw, joint="curve")
    return img.resize((size, size), Image.LANCZOS)


def save_ico(path, tray):
    images = [tile(n, tray) for n in SIZES]
    images[-1].save(path, format="ICO", sizes=[(n, n) for n in SIZES], append_images=images[:-1])


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "resources")
    save_ico(os.path.join(out, "orvalin.ico"), tray=False)
    save_ico(os.path.join(out, "tray.ico"), tray=True)


if __name__ == "__main__":
    main()
