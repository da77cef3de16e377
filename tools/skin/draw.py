"""Anti-aliased drawing on an RGB canvas.

Shapes are rasterised as coverage masks at SS times the final resolution and
reduced with a box filter, so edges are smooth and the output is the same on
every run. Text is drawn at final resolution so that it keeps its hinting.
"""

from PIL import Image, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor for shape coverage

FONT_DIRS = [
    "/usr/share/fonts/truetype/dejavu",
    "/usr/share/fonts/truetype/liberation",
]
FONT_FILES = {
    "regular": ["LiberationSans-Regular.ttf", "DejaVuSans.ttf"],
    "bold": ["LiberationSans-Bold.ttf", "DejaVuSans-Bold.ttf"],
    "logo": ["DejaVuSans-Bold.ttf", "LiberationSans-Bold.ttf"],
}
# The program draws its texts in Tahoma. Wine on Debian maps Tahoma to
# Liberation Sans; Windows has the real one, a little wider. Text must fit in
# all of these, and in the wider DejaVu Sans as a margin.
RUNTIME_FONT_FILES = {
    "regular": ["/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
                "/usr/share/wine/fonts/tahoma.ttf",
                "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"],
    "bold": ["/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
             "/usr/share/wine/fonts/tahomabd.ttf",
             "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"],
}

_font_cache = {}


def _find(paths):
    import os

    for p in paths:
        if os.path.exists(p):
            return p
    return None


def art_font(size, bold=False, logo=False):
    """The font painted into the images (button labels, logo)."""
    kind = "logo" if logo else "bold" if bold else "regular"
    key = ("art", size, kind)
    if key not in _font_cache:
        names = FONT_FILES[kind]
        path = _find([f"{d}/{n}" for n in names for d in FONT_DIRS])
        if path is None:
            raise SystemExit("no DejaVu or Liberation font found (install fonts-dejavu-core)")
        _font_cache[key] = ImageFont.truetype(path, size)
    return _font_cache[key]


def runtime_fonts(size, bold=False):
    """Stand-ins for the run-time text font, the one Wine shows first."""
    import os

    fonts = []
    for path in RUNTIME_FONT_FILES["bold" if bold else "regular"]:
        if os.path.exists(path):
            key = ("rt", size, bold, path)
            if key not in _font_cache:
                _font_cache[key] = ImageFont.truetype(path, size)
            fonts.append(_font_cache[key])
    return fonts or [art_font(size, bold)]


def text_width(font, s):
    return font.getlength(s)


class Canvas:
    def __init__(self, w, h, colour):
        self.img = Image.new("RGB", (w, h), colour)
        self.w, self.h = w, h

    # -- coverage masks -------------------------------------------------

    def fill_mask(self, box, colour, paint, alpha=1.0):
        """Run paint(draw, scale) on a supersampled mask covering box and
        blend colour through the reduced mask."""
        x0, y0, x1, y1 = (int(v) for v in box)
        x0, y0 = max(x0, 0), max(y0, 0)
        x1, y1 = min(x1, self.w), min(y1, self.h)
        if x1 <= x0 or y1 <= y0:
            return
        m = Image.new("L", ((x1 - x0) * SS, (y1 - y0) * SS), 0)
        d = ImageDraw.Draw(m)
        paint(d, lambda x, y: ((x - x0) * SS, (y - y0) * SS))
        m = m.resize((x1 - x0, y1 - y0), Image.Resampling.BOX)
        if alpha < 1.0:
            m = m.point(lambda v: int(v * alpha + 0.5))
        self.img.paste(colour, (x0, y0, x1, y1), m)

    def rrect(self, rect, radius, colour, alpha=1.0):
        x, y, w, h = rect

        def paint(d, t):
            a = t(x, y)
            b = t(x + w, y + h)
            d.rounded_rectangle([a[0], a[1], b[0] - 1, b[1] - 1], radius=radius * SS, fill=255)

        self.fill_mask((x, y, x + w, y + h), colour, paint, alpha)

    def rrect_outline(self, rect, radius, colour, fill, width=1):
        """A rounded rectangle with a border of the given width."""
        x, y, w, h = rect
        self.rrect(rect, radius, colour)
        if fill is not None:
            self.rrect((x + width, y + width, w - 2 * width, h - 2 * width), max(radius - width, 0), fill)

    def ellipse(self, box, colour, alpha=1.0):
        x0, y0, x1, y1 = box

        def paint(d, t):
            a, b = t(x0, y0), t(x1, y1)
            d.ellipse([a[0], a[1], b[0] - 1, b[1] - 1], fill=255)

        self.fill_mask((x0 - 1, y0 - 1, x1 + 1, y1 + 1), colour, paint, alpha)

    def rect(self, rect, colour):
        x, y, w, h = rect
        self.img.paste(colour, (x, y, x + w, y + h))

    def shadow(self, rect, radius, blur=6, offset=(0, 2), colour=(20, 40, 60), strength=0.18):
        """A soft drop shadow under a rounded rectangle."""
        x, y, w, h = rect
        pad = blur * 3
        m = Image.new("L", (w + 2 * pad, h + 2 * pad), 0)
        d = ImageDraw.Draw(m)
        d.rounded_rectangle([pad, pad, pad + w - 1, pad + h - 1], radius=radius, fill=int(255 * strength))
        m = m.filter(ImageFilter.GaussianBlur(blur))
        ox, oy = x - pad + offset[0], y - pad + offset[1]
        full = Image.new("L", (self.w, self.h), 0)
        full.paste(m, (ox, oy))
        self.img.paste(colour, (0, 0, self.w, self.h), full)

    def vector(self, box, colour, paint, alpha=1.0):
        """Draw an icon given as paint(d, P, s): P maps icon units (0..24 over
        the box) to mask coordinates and s is the mask pixels per unit."""
        x, y, w, h = box
        unit = w / 24.0

        def inner(d, t):
            def P(u, v):
                return t(x + u * unit, y + v * unit)

            paint(d, P, unit * SS)

        self.fill_mask((x - 1, y - 1, x + w + 1, y + h + 1), colour, inner, alpha)

    # -- text -----------------------------------------------------------

    def text(self, pos, s, font, colour, anchor="la"):
        ImageDraw.Draw(self.img).text(pos, s, font=font, fill=colour, anchor=anchor)

    def text_centered(self, rect, s, font, colour, dx=0, dy=0):
        x, y, w, h = rect
        self.text((x + w / 2 + dx, y + h / 2 + dy), s, font, colour, anchor="mm")

    # -- results --------------------------------------------------------

    def crop(self, rect):
        x, y, w, h = rect
        return self.img.crop((x, y, x + w, y + h))
