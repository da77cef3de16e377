"""Drawing of the screens, buttons and animations of the default skin."""

import math

from PIL import Image, ImageDraw

import icons
from draw import Canvas, art_font
from layout import (
    BG, BODY, BORDER, BORDER_STRONG, CARD, CORNER, DANGER, DANGER_DOWN, DISABLED_FILL,
    DISABLED_TEXT, FOOTER, FOOTER_Y, HEADER_H, INK, MUTED, PRIMARY, PRIMARY_DOWN,
    PRIMARY_HOVER, PRIMARY_TEXT, SECONDARY_DOWN, SECONDARY_HOVER, SIDEBAR, SIDEBAR_DOWN,
    SIDEBAR_HOVER, SIDEBAR_SELECTED, SIDEBAR_TEXT, SIDEBAR_TEXT_HI, SIDEBAR_W, TEAL,
)

STATES = ("normal", "over", "down", "disabled")
NEAR_WHITE = (250, 251, 252)


def mix(a, b, t):
    """t of colour a over colour b."""
    return tuple(int(round(a[i] * t + b[i] * (1 - t))) for i in range(3))


def icon(c, name, box, colour, alpha=1.0):
    c.vector(box, colour, icons.ICONS[name], alpha)


def ring_outline(c, rect, radius, colour, clip=None):
    """A 1-pixel rounded border just inside rect, optionally clipped to a
    rectangle (x0, y0, x1, y1)."""
    x, y, w, h = rect
    box = clip or (x, y, x + w, y + h)

    def paint(d, t):
        a, b = t(x, y), t(x + w, y + h)
        d.rounded_rectangle([a[0], a[1], b[0] - 1, b[1] - 1], radius=radius * 4, fill=255)
        a, b = t(x + 1, y + 1), t(x + w - 1, y + h - 1)
        d.rounded_rectangle([a[0], a[1], b[0] - 1, b[1] - 1], radius=(radius - 1) * 4, fill=0)

    c.fill_mask(box, colour, paint)


# ---------------------------------------------------------------- decoration


def draw_logo(c, x, y, size=28, word=22):
    icon(c, "shield", (x, y, size, size), TEAL)
    c.text((x + size + 8, y + size / 2 + 1), "Orvalin", art_font(word, logo=True), SIDEBAR_TEXT_HI, "lm")


def draw_card(c, rect, radius=10, shadow=True):
    if shadow:
        c.shadow(rect, radius, blur=7, offset=(0, 2), strength=0.16)
    c.rrect_outline(rect, radius, BORDER, CARD)


def draw_badge(c, name, rect, colour):
    x, y, w, h = rect
    c.ellipse((x, y, x + w, y + h), mix(colour, CARD, 0.13))
    s = int(w * 0.52)
    icon(c, name, (x + (w - s) // 2, y + (h - s) // 2, s, s), colour)


def draw_deco(c, screen):
    for item in screen.deco:
        kind = item[0]
        if kind == "sidebar":
            c.rect((0, 0, SIDEBAR_W, c.h), SIDEBAR)
        elif kind == "sidecard":
            c.rrect(item[1], 12, mix(SIDEBAR_HOVER, SIDEBAR, 0.45))
        elif kind == "logo":
            draw_logo(c, *item[1])
        elif kind == "header":
            c.rect((0, 0, c.w, HEADER_H), SIDEBAR)
            icon(c, "shield", (20, 14, 24, 24), TEAL)
            c.text((52, HEADER_H / 2 + 1), "Orvalin", art_font(17, logo=True), SIDEBAR_TEXT_HI, "lm")
        elif kind == "footer":
            c.rect((0, FOOTER_Y, c.w, c.h - FOOTER_Y), FOOTER)
            c.rect((0, FOOTER_Y, c.w, 1), BORDER)
        elif kind == "card":
            draw_card(c, item[1])
        elif kind == "tile":
            c.rrect_outline(item[1], 8, BORDER, CARD)
        elif kind == "field":
            c.rrect_outline(item[1], 6, BORDER_STRONG, CARD)
        elif kind == "chip":
            c.rrect(item[1], item[1][3] // 2, mix(PRIMARY, BG, 0.07))
        elif kind == "divider":
            x, y, w = item[1]
            c.rect((x, y, w, 1), BORDER)
        elif kind == "listframe":
            c.shadow(item[1], 2, blur=5, offset=(0, 1), strength=0.14)
            c.rrect_outline(item[1], 1, BORDER_STRONG, CARD)
        elif kind == "icon":
            icon(c, item[1], item[2], item[3])
        elif kind == "badge":
            draw_badge(c, item[1], item[2], item[3])
        else:
            raise ValueError(f"unknown decoration {kind}")
    if screen.kind == "dialog":
        # a hairline frame so the dialog stands off whatever lies behind it
        c.rect((0, 0, c.w, 1), SIDEBAR_DOWN)
        c.rect((0, 0, 1, c.h), SIDEBAR_DOWN)
        c.rect((c.w - 1, 0, 1, c.h), SIDEBAR_DOWN)
        c.rect((0, c.h - 1, c.w, 1), SIDEBAR_DOWN)


def draw_main_outline(c):
    """The window's rounded edge: dark along the sidebar, grey elsewhere."""
    full = (0, 0, c.w, c.h)
    ring_outline(c, full, CORNER, SIDEBAR_DOWN, (0, 0, SIDEBAR_W, c.h))
    ring_outline(c, full, CORNER, (168, 178, 190), (SIDEBAR_W, 0, c.w, c.h))


# ---------------------------------------------------------------- buttons


def _label_group(c, rect, label, icon_name, font, fg, icon_fg, icon_size, dy=0, pad_left=None):
    """Icon and label centred in rect (or from pad_left when given)."""
    x, y, w, h = rect
    gap = 9 if label else 0
    tw = font.getlength(label) if label else 0
    iw = icon_size if icon_name else 0
    total = iw + (gap if iw else 0) + tw
    left = x + pad_left if pad_left is not None else x + (w - total) / 2
    cy = y + h / 2 + dy
    if icon_name:
        ix = int(round(left))
        iy = int(round(cy - icon_size / 2))
        icon(c, icon_name, (ix, iy, icon_size, icon_size), icon_fg)
        left += iw + gap
    if label:
        c.text((left, cy + 1), label, font, fg, "lm")


def draw_button(c, b, state):
    x, y, w, h = b.rect
    big = h >= 48
    font = art_font(15 if big else 14, True)
    isz = 20 if big else 18
    dy = 1 if state == "down" else 0

    if b.style == "primary":
        fill = {"normal": PRIMARY, "over": PRIMARY_HOVER, "down": PRIMARY_DOWN, "disabled": DISABLED_FILL}[state]
        fg = DISABLED_TEXT if state == "disabled" else PRIMARY_TEXT
        edge = mix((0, 0, 0), fill, 0.12)
        c.rrect(b.rect, 8, edge)
        c.rrect((x, y, w, h - 1), 8, fill)
        _label_group(c, b.rect, b.label, b.icon, font, fg, fg, isz, dy)

    elif b.style == "secondary":
        border, fill, fg, ifg = {
            "normal": (BORDER_STRONG, CARD, INK, BODY),
            "over": ((150, 174, 204), SECONDARY_HOVER, PRIMARY_DOWN, PRIMARY),
            "down": ((140, 164, 196), SECONDARY_DOWN, PRIMARY_DOWN, PRIMARY_DOWN),
            "disabled": (BORDER, (244, 246, 249), DISABLED_TEXT, DISABLED_TEXT),
        }[state]
        c.rrect_outline(b.rect, 8, border, fill)
        _label_group(c, b.rect, b.label, b.icon, font, fg, ifg, isz, dy)

    elif b.style == "nav":
        font = art_font(14, state == "disabled")
        if state == "normal":
            fg, ifg = SIDEBAR_TEXT, SIDEBAR_TEXT
        elif state == "over":
            c.rrect(b.rect, 8, SIDEBAR_HOVER)
            fg, ifg = SIDEBAR_TEXT_HI, SIDEBAR_TEXT_HI
        elif state == "down":
            c.rrect(b.rect, 8, SIDEBAR_DOWN)
            fg, ifg = SIDEBAR_TEXT_HI, SIDEBAR_TEXT_HI
        else:  # the page on show keeps its button disabled: the selected tab
            c.rrect(b.rect, 8, SIDEBAR_SELECTED)
            c.rrect((x + 4, y + 10, 3, h - 20), 1.5, TEAL)
            fg, ifg = SIDEBAR_TEXT_HI, TEAL
        _label_group(c, b.rect, b.label, b.icon, font, fg, ifg, 20, dy, pad_left=18)

    elif b.style in ("winctl", "winclose", "darkclose"):
        dark = b.style == "darkclose"
        danger = b.style != "winctl"
        rest = SIDEBAR_TEXT if dark else MUTED
        if state == "over":
            c.rrect(b.rect, 6, DANGER if danger else (224, 229, 236))
            fg = NEAR_WHITE if danger else INK
        elif state == "down":
            c.rrect(b.rect, 6, DANGER_DOWN if danger else (208, 216, 226))
            fg = NEAR_WHITE if danger else INK
        elif state == "disabled":
            fg = mix(rest, SIDEBAR if dark else BG, 0.4)
        else:
            fg = rest
        s = 18
        icon(c, b.icon, (x + (w - s) // 2, y + (h - s) // 2 + dy, s, s), fg)
    else:
        raise ValueError(f"unknown button style {b.style}")


# ---------------------------------------------------------------- screens


def render_screen(screen):
    """The four state pictures of a screen: the shared background with every
    button drawn in that state."""
    w, h = screen.size
    base = Canvas(w, h, BG)
    draw_deco(base, screen)
    out = {}
    for state in STATES:
        c = Canvas(w, h, BG)
        c.img = base.img.copy()
        for b in screen.buttons:
            draw_button(c, b, state)
        if screen.kind == "main":
            draw_main_outline(c)
        out[state] = c.img
    return out


def main_mask(screen):
    """Pure white outside the rounded outline, black inside."""
    w, h = screen.size
    m = Image.new("L", (w * 4, h * 4), 0)
    ImageDraw.Draw(m).rounded_rectangle([0, 0, w * 4 - 1, h * 4 - 1], radius=CORNER * 4, fill=255)
    m = m.resize((w, h), Image.Resampling.BOX).point(lambda v: 0 if v >= 128 else 255)
    return Image.merge("RGB", (m, m, m))


# ---------------------------------------------------------------- animations


def shield_pulse_frames(background, n=28):
    """The main screen's animation: a shield with calm rings pulsing out."""
    w, h = background.size
    cx, cy = w / 2, h / 2 - 4
    frames = []
    for i in range(n):
        c = Canvas(w, h, BG)
        c.img = background.copy()
        for phase in (0.0, 0.5):
            t = (i / n + phase) % 1.0
            r = 26 + 36 * t
            alpha = 0.55 * (1 - t) ** 1.5

            def paint(d, tr, r=r):
                a, b = tr(cx - r, cy - r), tr(cx + r, cy + r)
                d.ellipse([a[0], a[1], b[0], b[1]], fill=255)
                a, b = tr(cx - r + 2, cy - r + 2), tr(cx + r - 2, cy + r - 2)
                d.ellipse([a[0], a[1], b[0], b[1]], fill=0)

            c.fill_mask((0, 0, w, h), TEAL, paint, alpha)
        glow = 0.10 + 0.05 * math.cos(2 * math.pi * i / n)
        c.ellipse((cx - 30, cy - 30, cx + 30, cy + 30), TEAL, glow)
        s = 44
        icon(c, "shield", (int(cx - s / 2), int(cy - s / 2), s, s), TEAL)
        frames.append(c.img)
    return frames


def registry_scan_frames(background, rows=6, per_row=6):
    """The scan screen's animation: a magnifier moving down a list of
    registry entries, each ticked once it has been looked at."""
    w, h = background.size
    n = rows * per_row
    sheet = (22, 8, 100, h - 16)
    row_h = (sheet[3] - 16) / rows
    bars = [0.78, 0.55, 0.68, 0.47, 0.72, 0.6]
    frames = []
    for i in range(n):
        c = Canvas(w, h, BG)
        c.img = background.copy()
        c.rrect_outline(sheet, 6, BORDER, (246, 248, 251))
        pos = i / per_row  # current row, fractional
        current = int(pos)
        for r in range(rows):
            ry = sheet[1] + 8 + r * row_h
            mid = ry + row_h / 2
            if r == current:
                c.rrect((sheet[0] + 4, int(ry + 1), sheet[2] - 8, int(row_h - 2)), 3, mix(PRIMARY, CARD, 0.12))
            done = r < current
            dot = TEAL if done else BORDER_STRONG
            if done:
                icon(c, "check_disc", (sheet[0] + 9, int(mid - 5), 10, 10), TEAL)
            else:
                c.ellipse((sheet[0] + 10, mid - 4, sheet[0] + 18, mid + 4), dot)
            bw = int((sheet[2] - 36) * bars[r])
            c.rrect((sheet[0] + 24, int(mid - 2), bw, 4), 2, mix(INK, CARD, 0.22 if done else 0.14))
        # the magnifier glides along the current row
        t = pos - current
        my = sheet[1] + 8 + (current + 0.5) * row_h
        mx = sheet[0] + sheet[2] - 28 + 10 * math.sin(2 * math.pi * t)
        s = 30
        c.ellipse((mx - 9, my - 9 - 3, mx + 9, my + 9 - 3), CARD, 0.85)
        icon(c, "search", (int(mx - 12), int(my - 15), s, s), PRIMARY)
        frames.append(c.img)
    return frames
