"""Preview composites of a generated skin, built only from Skin.ini and the
pictures it names (as the program would), with stand-ins for the parts the
program draws itself: texts, lists and animations."""

import os
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from check_skin import Fields, numbered, read_profile  # noqa: E402
from draw import runtime_fonts  # noqa: E402

DESKTOP = (62, 88, 112)

# what the program would show in its live texts during a typical run
LIVE = {
    "TEXT_ERRORSCAN_CURRENTITEM": "C:\\Program Files\\Common Files\\Vendor\\Shared\\component.dll",
    "TEXT_ERRORSCAN_STATUS": "Scanning CLSID",
    "TEXT_ERRORSCAN_ITEMSCANNED": "14382",
    "TEXT_ERRORSCAN_ERRORFOUND": "27",
    "TEXT_ERRORFIXING_CURRENTITEM": "HKEY_CLASSES_ROOT\nCLSID\\{6B4F1C2A-0D1E-4C55-9A7B-2F3E8D9C1A20}",
    "TEXT_ERRORFIXING_STATUS": "Fixing CLSID ",
    "TEXT_SCANCOMPLETE_ITEMSCANNED": "15210",
    "TEXT_SCANCOMPLETE_ERRORFOUND": "31",
    "TEXT_SCREENSCANCOMPLETE_TITLE": "Orvalin has found 31 potentially dangerous errors\n"
                                     "click the button below to repair your computer",
    "TEXT_FIXCOMPLETE_STATUS": "Fixed",
    "TEXT_FIXCOMPLETE_ITEMSCANNED": "15210",
    "TEXT_FIXCOMPLETE_ERRORFOUND": "31",
    "TEXT_FIXCOMPLETE_FIXED": "30",
}
ROWS_SCAN = [["Invalid CLSID", "9120", "12"], ["Corrupt Help Files", "410", "3"],
             ["Invalid Shared Tools", "96", "0"], ["Corrupt Shared Files", "2210", "9"],
             ["Corrupt Fonts", "388", "1"], ["Missing ShortCuts", "2986", "6"]]
ROWS_FIX = [r + [f] for r, f in zip(ROWS_SCAN, ["12", "3", "0", "Access Denied", "1", "6"])]
ROWS_SCHEDULE = [["1", "At 09:30 every Monday starting 07/12/2026", "Never"],
                 ["2", "At 18:00 every day starting 07/12/2026", "Never"]]


class Ini:
    def __init__(self, folder):
        self.folder = folder
        self.s = read_profile(os.path.join(folder, "Skin.ini"))

    def get(self, sec, key):
        return self.s.get(sec.upper(), {}).get(key.upper(), "")

    def pic(self, name):
        return Image.open(os.path.join(self.folder, name)).convert("RGB")

    def buttons(self, sec):
        out = []
        for _, v in numbered(self.s, sec):
            f = Fields(v)
            out.append((f.next(), f.rect()))
        return out

    def texts(self, sec):
        out = []
        for _, v in numbered(self.s, sec):
            f = Fields(v)
            name, face, bold, _it = f.next(), f.next(), f.next(), f.next()
            height, colour = f.number(), f.number()
            r = f.rect()
            text = f.next() if "," in v else ""
            out.append((name, bold.startswith("T"), abs(height), colour, r, text))
        return out

    def listbox(self, sec):
        v = self.get(sec, "1")
        if not v:
            return None
        f = Fields(v)
        r = f.rect()
        n = f.number()
        return r, [(f.next(), f.number()) for _ in range(n)]


def paste_crop(dst, src, r, at=(0, 0)):
    x, y, w, h = r
    dst.paste(src.crop((x, y, x + w, y + h)), (at[0] + x, at[1] + y))


def draw_texts(img, texts, origin=(0, 0)):
    for name, bold, height, colour, r, text in texts:
        text = LIVE.get(name, text)
        x, y, w, h = r
        font = runtime_fonts(height, bold)[0]
        rgb = (colour & 255, (colour >> 8) & 255, (colour >> 16) & 255)
        box = img.crop((origin[0] + x, origin[1] + y, origin[0] + x + w, origin[1] + y + h))
        d = ImageDraw.Draw(box)
        asc, desc = font.getmetrics()
        for i, line in enumerate(text.split("\n")):
            d.text((0, i * (asc + desc)), line, font=font, fill=rgb)
        img.paste(box, (origin[0] + x, origin[1] + y))


def draw_list(img, lb, rows, origin=(0, 0)):
    (x, y, w, h), cols = lb
    x, y = x + origin[0], y + origin[1]
    d = ImageDraw.Draw(img)
    d.rectangle([x, y, x + w - 1, y + h - 1], fill=(255, 255, 255), outline=(100, 100, 100))
    font = runtime_fonts(11)[0]
    d.rectangle([x + 1, y + 1, x + w - 2, y + 22], fill=(240, 240, 240))
    cx = x + 1
    for title, width in cols:
        d.text((cx + 6, y + 5), title, font=font, fill=(0, 0, 0))
        cx += width
        d.line([cx - 1, y + 2, cx - 1, y + 21], fill=(200, 200, 200))
    for i, row in enumerate(rows):
        ry = y + 24 + i * 17
        if ry + 17 > y + h:
            break
        cx = x + 1
        for (title, width), cell in zip(cols, row):
            d.text((cx + 6, ry + 2), cell, font=font, fill=(0, 0, 0))
            cx += width


def animation_frame(path, index):
    im = Image.open(path)
    im.seek(min(index, im.n_frames - 1))
    return im.convert("RGB")


def main_preview(ini, page, hover=None):
    main = ini.pic(ini.get("MAINSCREENINFO", "Main"))
    over = ini.pic(ini.get("MAINSCREENINFO", "Over"))
    disabled = ini.pic(ini.get("MAINSCREENINFO", "Disabled"))
    mask = ini.pic(ini.get("MAINSCREENINFO", "Mask")).convert("L")
    win = main.copy()
    buttons = ini.buttons("MAINSCREENBUTTONINFO")
    tab = {"SUBMAIN_MAIN": "BUTTON_MAIN", "SUBMAIN_SCHEDULE": "BUTTON_SCHEDULE",
           "SUBMAIN_LIVEUPDATE": "BUTTON_LIVEUPDATE", "SUBMAIN_SUPPORT": "BUTTON_SUPPORT"}[page]
    for name, r in buttons:
        if name == tab:
            paste_crop(win, disabled, r)
        elif name == hover:
            paste_crop(win, over, r)
    draw_texts(win, ini.texts("TEXTINFO"))
    anim = Fields(ini.get("MAINSCREENANIMATION", "DIMENSION")).rect()
    win.paste(animation_frame(os.path.join(ini.folder, "bug.gif"), 6), anim[:2])
    for _, v in numbered(ini.s, "SUBMAINSCREENINFO"):
        f = Fields(v)
        name = f.next()
        files = [f.next() for _ in range(4)]
        r = f.rect()
        if name != page:
            continue
        pimg = ini.pic(files[0])
        pover = ini.pic(files[1])
        for bname, br in ini.buttons(f"{page}_BUTTONINFO"):
            if bname == hover:
                paste_crop(pimg, pover, br)
        draw_texts(pimg, ini.texts(f"{page}_TEXTINFO"))
        lb = ini.listbox(f"{page}_LISTINFO")
        if lb:
            draw_list(pimg, lb, ROWS_SCHEDULE)
        win.paste(pimg, r[:2])
    out = Image.new("RGB", (win.width + 60, win.height + 60), DESKTOP)
    out.paste(win, (30, 30), mask.point(lambda v: 0 if v == 255 else 255))
    return out


def dialog_preview(ini, prefix, rows, anim_frame=None, hover=None):
    v = numbered(ini.s, f"{prefix}INFO")[0][1]
    f = Fields(v)
    f.next()
    files = [f.next() for _ in range(4)]
    img = ini.pic(files[0])
    over = ini.pic(files[1])
    for name, r in ini.buttons(f"{prefix}_BUTTONINFO"):
        if name == hover:
            paste_crop(img, over, r)
    draw_texts(img, ini.texts(f"{prefix}_TEXTINFO"))
    lb = ini.listbox(f"{prefix}_LISTINFO")
    if lb and rows:
        draw_list(img, lb, rows)
    if anim_frame is not None:
        r = Fields(ini.get("SCANSCREENANIMATION", "DIMENSION")).rect()
        img.paste(animation_frame(os.path.join(ini.folder, "scan.gif"), anim_frame), r[:2])
    out = Image.new("RGB", (img.width + 60, img.height + 60), DESKTOP)
    out.paste(img, (30, 30))
    return out


def button_sheet(ini):
    """Every button in its four states, side by side."""
    groups = [("MAINSCREENINFO", [ini.get("MAINSCREENINFO", k) for k in ("Main", "Over", "Down", "Disabled")],
               "MAINSCREENBUTTONINFO")]
    for _, v in numbered(ini.s, "SUBMAINSCREENINFO"):
        f = Fields(v)
        name = f.next()
        groups.append((name, [f.next() for _ in range(4)], f"{name}_BUTTONINFO"))
    for prefix in ("SCREENERRORSCAN", "SCREENSCANCOMPLETE", "SCREENERRORFIXING", "SCREENFIXCOMPLETE"):
        f = Fields(numbered(ini.s, f"{prefix}INFO")[0][1])
        f.next()
        groups.append((prefix, [f.next() for _ in range(4)], f"{prefix}_BUTTONINFO"))
    cells = []
    for _, files, sec in groups:
        pics = [ini.pic(n) for n in files]
        for name, (x, y, w, h) in ini.buttons(sec):
            cells.append([p.crop((x, y, x + w, y + h)) for p in pics])
    colw = max(c[0].width for c in cells) + 16
    rowh = [c[0].height + 10 for c in cells]
    sheet = Image.new("RGB", (colw * 4 + 10, sum(rowh) + 10), (200, 205, 212))
    y = 5
    for cell, h in zip(cells, rowh):
        for i, im in enumerate(cell):
            sheet.paste(im, (5 + i * colw, y))
        y += h
    return sheet


def write_all(skin_dir, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    ini = Ini(skin_dir)
    main_preview(ini, "SUBMAIN_MAIN").save(os.path.join(out_dir, "main.png"))
    main_preview(ini, "SUBMAIN_MAIN", hover="BUTTON_SCAN").save(os.path.join(out_dir, "main-hover.png"))
    main_preview(ini, "SUBMAIN_SCHEDULE", hover="BUTTON_SUPPORT").save(os.path.join(out_dir, "schedule.png"))
    main_preview(ini, "SUBMAIN_LIVEUPDATE").save(os.path.join(out_dir, "liveupdate.png"))
    main_preview(ini, "SUBMAIN_SUPPORT").save(os.path.join(out_dir, "support.png"))
    dialog_preview(ini, "SCREENERRORSCAN", None, 14).save(os.path.join(out_dir, "dialog-scan.png"))
    dialog_preview(ini, "SCREENSCANCOMPLETE", ROWS_SCAN, hover="BUTTON_FIXERROR").save(
        os.path.join(out_dir, "dialog-results.png"))
    dialog_preview(ini, "SCREENERRORFIXING", None).save(os.path.join(out_dir, "dialog-fixing.png"))
    dialog_preview(ini, "SCREENFIXCOMPLETE", ROWS_FIX).save(os.path.join(out_dir, "dialog-fixed.png"))
    button_sheet(ini).save(os.path.join(out_dir, "buttons.png"))
