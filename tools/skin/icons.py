"""Line icons on a 24-unit grid, drawn into a coverage mask.

Each icon is paint(d, P, s): d draws on the mask, P(u, v) maps grid units to
mask coordinates and s is mask pixels per unit. Painting with 0 cuts a hole.
"""

import math


def _w(s, width):
    return max(1, int(round(width * s)))


def line(d, P, s, pts, width, fill=255):
    d.line([P(*p) for p in pts], fill=fill, width=_w(s, width), joint="curve")
    r = width / 2.0
    for u, v in (pts[0], pts[-1]):
        a, b = P(u - r, v - r), P(u + r, v + r)
        d.ellipse([a[0], a[1], b[0], b[1]], fill=fill)


def disc(d, P, s, cx, cy, r, fill=255):
    a, b = P(cx - r, cy - r), P(cx + r, cy + r)
    d.ellipse([a[0], a[1], b[0], b[1]], fill=fill)


def ring(d, P, s, cx, cy, r, width, fill=255):
    disc(d, P, s, cx, cy, r + width / 2.0, fill)
    disc(d, P, s, cx, cy, r - width / 2.0, 255 - fill)


def arc(d, P, s, cx, cy, r, start, end, width, fill=255):
    # a polyline keeps the ends round and the stroke even
    n = max(8, int(abs(end - start) / 6))
    pts = []
    for i in range(n + 1):
        a = math.radians(start + (end - start) * i / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    line(d, P, s, pts, width, fill)


def poly(d, P, s, pts, fill=255):
    d.polygon([P(*p) for p in pts], fill=fill)


def rbox(d, P, s, x0, y0, x1, y1, r, fill=255):
    a, b = P(x0, y0), P(x1, y1)
    d.rounded_rectangle([a[0], a[1], b[0], b[1]], radius=r * s, fill=fill)


SHIELD = [(12, 1.8), (20.6, 4.8), (20.6, 11), (19.6, 15), (16.6, 18.9), (12, 22.2),
          (7.4, 18.9), (4.4, 15), (3.4, 11), (3.4, 4.8)]


def search(d, P, s):
    ring(d, P, s, 10, 10, 6.2, 2.4)
    line(d, P, s, [(14.8, 14.8), (20.4, 20.4)], 2.8)


def calendar(d, P, s):
    rbox(d, P, s, 3, 5, 21, 21, 2.5)
    rbox(d, P, s, 5.2, 10.5, 18.8, 18.8, 1, 0)
    line(d, P, s, [(8, 2.8), (8, 6.5)], 2.2)
    line(d, P, s, [(16, 2.8), (16, 6.5)], 2.2)
    for u, v in ((8.5, 13.5), (12, 13.5), (15.5, 13.5), (8.5, 16.6), (12, 16.6)):
        rbox(d, P, s, u - 1.1, v - 1.1, u + 1.1, v + 1.1, 0.4)


def download(d, P, s):
    line(d, P, s, [(12, 3), (12, 14.5)], 2.3)
    line(d, P, s, [(7.2, 10.2), (12, 15), (16.8, 10.2)], 2.3)
    line(d, P, s, [(4, 15), (4, 20), (20, 20), (20, 15)], 2.3)


def question(d, P, s):
    ring(d, P, s, 12, 12, 9.2, 2.2)
    arc(d, P, s, 12, 9.6, 3.1, 180, 405, 2.2)
    line(d, P, s, [(14.2, 11.8), (12.1, 13.4), (12.1, 14.2)], 2.2)
    disc(d, P, s, 12.1, 17.4, 1.35)


def shield(d, P, s):
    poly(d, P, s, SHIELD)
    line(d, P, s, [(8, 12.2), (11, 15.2), (16.4, 9.2)], 2.3, 0)


def shield_outline(d, P, s):
    poly(d, P, s, SHIELD)
    inner = [(12 + (u - 12) * 0.78, 12 + (v - 12) * 0.8) for u, v in SHIELD]
    poly(d, P, s, inner, 0)


def restore(d, P, s):
    start, end = -150, 150
    arc(d, P, s, 12, 12, 7.6, start, end, 2.3)
    a = math.radians(start)
    px, py = 12 + 7.6 * math.cos(a), 12 + 7.6 * math.sin(a)
    # the arrow points against the drawing direction (anticlockwise)
    tx, ty = math.sin(a), -math.cos(a)
    nx, ny = -ty, tx
    tip = (px + tx * 4.2, py + ty * 4.2)
    b1 = (px + nx * 3.4 - tx * 0.6, py + ny * 3.4 - ty * 0.6)
    b2 = (px - nx * 3.4 - tx * 0.6, py - ny * 3.4 - ty * 0.6)
    poly(d, P, s, [tip, b1, b2])


def plus(d, P, s):
    line(d, P, s, [(12, 4.5), (12, 19.5)], 2.5)
    line(d, P, s, [(4.5, 12), (19.5, 12)], 2.5)


def trash(d, P, s):
    line(d, P, s, [(4, 6.5), (20, 6.5)], 2.2)
    line(d, P, s, [(9, 6.2), (9.6, 3.4), (14.4, 3.4), (15, 6.2)], 2)
    line(d, P, s, [(6.4, 9), (7.4, 20.6), (16.6, 20.6), (17.6, 9)], 2.2)
    line(d, P, s, [(10.2, 11), (10.4, 17.6)], 1.8)
    line(d, P, s, [(13.8, 11), (13.6, 17.6)], 1.8)


def external(d, P, s):
    line(d, P, s, [(11, 5), (5, 5), (5, 19), (19, 19), (19, 13)], 2.2)
    line(d, P, s, [(11.5, 12.5), (19.5, 4.5)], 2.2)
    line(d, P, s, [(13.5, 4.5), (19.5, 4.5), (19.5, 10.5)], 2.2)


def check(d, P, s):
    line(d, P, s, [(5, 12.6), (9.8, 17.4), (19.4, 7.2)], 2.6)


def check_disc(d, P, s):
    disc(d, P, s, 12, 12, 11)
    line(d, P, s, [(7, 12.4), (10.6, 16), (17.2, 9)], 2.4, 0)


def close(d, P, s):
    line(d, P, s, [(6.5, 6.5), (17.5, 17.5)], 1.9)
    line(d, P, s, [(17.5, 6.5), (6.5, 17.5)], 1.9)


def minimize(d, P, s):
    line(d, P, s, [(6.5, 12.5), (17.5, 12.5)], 1.9)


def stop(d, P, s):
    ring(d, P, s, 12, 12, 8.6, 2.2)
    rbox(d, P, s, 8.8, 8.8, 15.2, 15.2, 1)


def chat(d, P, s):
    rbox(d, P, s, 2.5, 3.5, 21.5, 17, 4)
    poly(d, P, s, [(6.5, 15), (6, 21.5), (12.5, 15.5)])
    for u in (7.6, 12, 16.4):
        disc(d, P, s, u, 10.3, 1.5, 0)


def cloud(d, P, s):
    disc(d, P, s, 8, 14, 5)
    disc(d, P, s, 13.5, 10.5, 6.3)
    disc(d, P, s, 18.2, 14.6, 4.2)
    rbox(d, P, s, 8, 12, 18.2, 18.8, 0)
    line(d, P, s, [(13.2, 9.2), (13.2, 15.6)], 2, 0)
    line(d, P, s, [(10.4, 13.2), (13.2, 16.1), (16, 13.2)], 2, 0)


def info(d, P, s):
    ring(d, P, s, 12, 12, 9.2, 2.2)
    line(d, P, s, [(12, 11), (12, 16.8)], 2.4)
    disc(d, P, s, 12, 7.6, 1.45)


def sparkle(d, P, s):
    def star(cx, cy, r):
        k = r * 0.28
        poly(d, P, s, [(cx, cy - r), (cx + k, cy - k), (cx + r, cy), (cx + k, cy + k),
                        (cx, cy + r), (cx - k, cy + k), (cx - r, cy), (cx - k, cy - k)])

    star(10, 13, 8.5)
    star(18.5, 5.5, 4)


def document(d, P, s):
    rbox(d, P, s, 4.5, 2.5, 19.5, 21.5, 2.2)
    rbox(d, P, s, 6.6, 4.6, 17.4, 19.4, 0.8, 0)
    for v in (8, 11.5, 15):
        line(d, P, s, [(8.6, v), (15.4, v)], 1.6)


ICONS = {name: fn for name, fn in globals().items()
         if callable(fn) and fn.__code__.co_varnames[:3] == ("d", "P", "s")}
