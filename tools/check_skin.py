#!/usr/bin/python3
"""Checks that a skin folder is complete and consistent.

Usage: check_skin.py SKIN_DIR

Reads SKIN_DIR/Skin.ini the way the program does (numbered keys, comma
separated fields) and checks that every section and control name the program
acts on is present, that every picture exists and decodes, that the pictures
of one screen share one size, and that every control lies inside its screen.
Exits 1 with a list of problems, or prints a short summary and exits 0.
"""

import os
import re
import sys

MAX_SKIN_BYTES = 3 * 1024 * 1024
MAX_VALUE_CHARS = 255
PICTURE_FORMATS = ("BMP", "GIF", "JPEG")

MAIN_BUTTONS = ["BUTTON_MAIN", "BUTTON_SCHEDULE", "BUTTON_LIVEUPDATE", "BUTTON_SUPPORT",
                "BUTTON_MINIMIZE", "BUTTON_EXIT"]
PAGES = {
    "SUBMAIN_MAIN": ["BUTTON_SCAN", "BUTTON_RESTORE"],
    "SUBMAIN_SCHEDULE": ["BUTTON_ADDSCHEDULE", "BUTTON_DELETESCHEDULE"],
    "SUBMAIN_LIVEUPDATE": ["BUTTON_RUNUPDATE"],
    "SUBMAIN_SUPPORT": ["BUTTON_SUPPORT"],
}
SCHEDULE_COLUMNS = 3
# screen section prefix: (buttons, texts the dialog writes, list columns needed)
DIALOG = {
    "SCREENERRORSCAN": (["BUTTON_STOPSCAN", "BUTTON_CANCEL"],
                        ["TEXT_ERRORSCAN_CURRENTITEM", "TEXT_ERRORSCAN_STATUS",
                         "TEXT_ERRORSCAN_ITEMSCANNED", "TEXT_ERRORSCAN_ERRORFOUND"], 0),
    "SCREENSCANCOMPLETE": (["BUTTON_FIXERROR", "BUTTON_CANCEL"],
                           ["TEXT_SCANCOMPLETE_ITEMSCANNED", "TEXT_SCANCOMPLETE_ERRORFOUND",
                            "TEXT_SCREENSCANCOMPLETE_TITLE"], 3),
    "SCREENERRORFIXING": (["BUTTON_STOPSCAN", "BUTTON_CANCEL"],
                          ["TEXT_ERRORFIXING_CURRENTITEM", "TEXT_ERRORFIXING_STATUS"], 0),
    "SCREENFIXCOMPLETE": (["BUTTON_OK", "BUTTON_CANCEL"],
                          ["TEXT_FIXCOMPLETE_STATUS", "TEXT_FIXCOMPLETE_ITEMSCANNED",
                           "TEXT_FIXCOMPLETE_ERRORFOUND", "TEXT_FIXCOMPLETE_FIXED"], 4),
}
ANIMATIONS = [("MAINSCREENANIMATION", "bug"), ("SCANSCREENANIMATION", "scan")]

NUMBER = re.compile(r"^\s*[+-]?\d+")


# ---------------------------------------------------------------- reading


def read_profile(path):
    """Sections and keys of a Windows profile file. Section and key names
    compare without regard to case; the first of a duplicate wins."""
    sections = {}
    current = None
    with open(path, "rb") as f:
        raw = f.read()
    for line in raw.decode("latin-1").splitlines():
        s = line.strip()
        if not s or s.startswith(";"):
            continue
        if s.startswith("["):
            name = s[1:s.index("]")] if "]" in s else s[1:]
            current = sections.setdefault(name.strip().upper(), {})
            continue
        if current is None or "=" not in s:
            continue
        key, value = s.split("=", 1)
        current.setdefault(key.strip().upper(), value.strip())
    return sections


class Fields:
    """The program's field reader: a field is everything before the next
    comma; the rest is trimmed; the last field repeats once used up."""

    def __init__(self, text):
        self.text = text
        self.count = 0

    def next(self):
        self.count += 1
        if "," not in self.text:
            return self.text
        field, rest = self.text.split(",", 1)
        self.text = rest.strip()
        return field

    def number(self):
        m = NUMBER.match(self.next())
        return int(m.group(0)) if m else None

    def rect(self):
        vals = [self.number() for _ in range(4)]
        if None in vals:
            return None
        return tuple(vals)

    def exhausted(self):
        return "," not in self.text


def numbered(sections, name):
    """Values of keys "1".."N" of a section, N being its key count; empty
    values are skipped as the program skips them."""
    sec = sections.get(name.upper(), {})
    out = []
    for i in range(1, len(sec) + 1):
        v = sec.get(str(i), "")
        if v:
            out.append((i, v))
    return out


class Skin:
    def __init__(self, folder):
        self.folder = folder
        self.ini = os.path.join(folder, "Skin.ini")
        self.sections = read_profile(self.ini)
        self.problems = []
        self.counts = {"screens": 0, "buttons": 0, "texts": 0, "lists": 0, "pictures": 0}

    def problem(self, msg):
        self.problems.append(msg)

    def value(self, section, key):
        return self.sections.get(section.upper(), {}).get(key.upper(), "")

    def has_section(self, section):
        return bool(self.sections.get(section.upper()))

    # -- records --------------------------------------------------------

    def buttons(self, section):
        out = []
        for key, v in numbered(self.sections, section):
            self._length(section, key, v)
            f = Fields(v)
            name = f.next()
            r = f.rect()
            if r is None:
                self.problem(f"[{section}] {key}: button {name!r} has a rectangle that is not four numbers")
                continue
            if v.count(",") > 5:
                self.problem(f"[{section}] {key}: button {name!r} has more than six fields")
            out.append((name, r))
        self.counts["buttons"] += len(out)
        return out

    def texts(self, section):
        out = []
        for key, v in numbered(self.sections, section):
            self._length(section, key, v)
            f = Fields(v)
            name, face, _bold, _italic = f.next(), f.next(), f.next(), f.next()
            height, colour = f.number(), f.number()
            r = f.rect()
            if r is None or height is None or colour is None:
                self.problem(f"[{section}] {key}: text {name!r} has a field that is not a number")
                continue
            if not face:
                self.problem(f"[{section}] {key}: text {name!r} names no font face")
            if height == 0:
                self.problem(f"[{section}] {key}: text {name!r} has font height 0")
            if not 0 <= colour <= 0xFFFFFF:
                self.problem(f"[{section}] {key}: text {name!r} has colour {colour} outside 0..16777215")
            if v.count(",") > 10:
                self.problem(f"[{section}] {key}: text {name!r} has more than eleven fields "
                             "(a comma in the text cuts it)")
            if v.count(",") < 10:
                self.problem(f"[{section}] {key}: text {name!r} has fewer than eleven fields")
            out.append((name, r))
        self.counts["texts"] += len(out)
        return out

    def listbox(self, section):
        v = self.value(section, "1")
        if not v:
            return None
        self._length(section, "1", v)
        f = Fields(v)
        r = f.rect()
        n = f.number()
        if r is None or n is None:
            self.problem(f"[{section}] 1: the list record is not a rectangle and a column count")
            return None
        cols = []
        for i in range(n):
            if f.exhausted() and i:
                self.problem(f"[{section}] 1: the list names {n} columns but gives fewer")
                break
            title = f.next()
            width = f.number()
            cols.append((title, width or 0))
            if not width or width <= 0:
                self.problem(f"[{section}] 1: column {title!r} has no width")
        if not f.exhausted():
            self.problem(f"[{section}] 1: the list record has fields after its {n} columns")
        self.counts["lists"] += 1
        return r, cols

    def _length(self, section, key, v):
        if len(v) > MAX_VALUE_CHARS:
            self.problem(f"[{section}] {key}: value is {len(v)} characters long; "
                         f"the program reads at most {MAX_VALUE_CHARS}")

    # -- pictures -------------------------------------------------------

    def picture(self, name, where):
        from PIL import Image

        if not name:
            self.problem(f"{where}: no picture named")
            return None
        path = os.path.join(self.folder, name.replace("\\", os.sep))
        if not os.path.isfile(path):
            self.problem(f"{where}: picture {name} does not exist")
            return None
        try:
            with Image.open(path) as im:
                fmt = im.format
                im.load()
                pic = im.convert("RGB")
        except Exception as e:  # any decoding failure is a broken skin
            self.problem(f"{where}: picture {name} does not decode: {e}")
            return None
        if fmt not in PICTURE_FORMATS:
            self.problem(f"{where}: picture {name} is {fmt}; the program loads only BMP, GIF and JPEG")
        self.counts["pictures"] += 1
        return pic

    def screen_pictures(self, names, where):
        pics = [self.picture(n, f"{where} ({state})")
                for n, state in zip(names, ("normal", "over", "down", "disabled"))]
        if None in pics:
            return None
        sizes = {p.size for p in pics}
        if len(sizes) != 1:
            self.problem(f"{where}: the four state pictures differ in size: {sorted(sizes)}")
            return None
        self.counts["screens"] += 1
        return pics[0].size


# ---------------------------------------------------------------- checks


def inside(r, size):
    x, y, w, h = r
    return w > 0 and h > 0 and x >= 0 and y >= 0 and x + w <= size[0] and y + h <= size[1]


def overlap(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def check_controls(skin, where, size, controls):
    """controls: (kind, name, rect). All inside the screen; none on top of
    another, since each is a window that paints its own piece."""
    for kind, name, r in controls:
        if not inside(r, size):
            skin.problem(f"{where}: {kind} {name} {r} lies outside the {size[0]}x{size[1]} screen")
    for i, (ka, na, ra) in enumerate(controls):
        for kb, nb, rb in controls[i + 1:]:
            if ka == kb == "page":
                continue  # pages share one place and are shown one at a time
            if overlap(ra, rb):
                skin.problem(f"{where}: {ka} {na} {ra} overlaps {kb} {nb} {rb}")
    names = [n for k, n, _ in controls if k in ("button", "text")]
    for n in sorted({n for n in names if names.count(n) > 1}):
        skin.problem(f"{where}: the name {n} is used twice; only the first is reachable")


def require_names(skin, where, have, want, kind):
    for n in want:
        if n not in have:
            skin.problem(f"{where}: {kind} {n} is missing")


def require_section(skin, section):
    if not skin.has_section(section):
        skin.problem(f"section [{section}] is missing or empty")
        return False
    return True


def check_mask(skin, mask, size):
    if mask.size != size:
        skin.problem(f"the main screen's mask is {mask.size}, the screen {size}")
        return
    w, h = size
    px = mask.load()

    def white(x, y):
        return px[x, y] == (255, 255, 255)

    if not white(0, 0) or not white(w - 1, h - 1):
        skin.problem("the main screen's mask is not pure white at its corners (the rounded outline)")
    if white(w // 2, h // 2):
        skin.problem("the main screen's mask is pure white at its centre: the window would have a hole")
    for y in range(h):
        runs, inrun = 0, False
        for x in range(w):
            solid = not white(x, y)
            if solid and not inrun:
                runs += 1
            inrun = solid
        if runs != 1:
            skin.problem(f"the main screen's mask row {y} has {runs} solid runs; the outline should be one shape")
            break


def check_animation(skin, section, stem, size):
    r = Fields(skin.value(section, "DIMENSION")).rect()
    if r is None or not skin.value(section, "DIMENSION"):
        skin.problem(f"[{section}] DIMENSION is missing or not four numbers")
        return None
    if size and not inside(r, size):
        skin.problem(f"[{section}] DIMENSION {r} lies outside its screen")
    swf = os.path.join(skin.folder, stem + ".swf")
    gif = os.path.join(skin.folder, stem + ".gif")
    if os.path.isfile(gif):
        from PIL import Image

        try:
            with Image.open(gif) as im:
                frames = getattr(im, "n_frames", 1)
                if im.size != r[2:]:
                    skin.problem(f"{stem}.gif is {im.size[0]}x{im.size[1]}, its rectangle {r[2]}x{r[3]}")
                for i in range(frames):
                    im.seek(i)
                    im.load()
            if frames < 2:
                skin.problem(f"{stem}.gif has a single frame; it should be animated")
        except Exception as e:
            skin.problem(f"{stem}.gif does not decode: {e}")
    elif not os.path.isfile(swf):
        skin.problem(f"neither {stem}.swf nor {stem}.gif exists")
    return r


def check(folder):
    skin = Skin(folder)

    # main screen
    main_size = None
    if require_section(skin, "MAINSCREENINFO"):
        names = [skin.value("MAINSCREENINFO", k) for k in ("Main", "Over", "Down", "Disabled")]
        main_size = skin.screen_pictures(names, "[MAINSCREENINFO]")
        mask = skin.picture(skin.value("MAINSCREENINFO", "Mask"), "[MAINSCREENINFO] Mask")
        if mask is not None and main_size:
            check_mask(skin, mask, main_size)
    controls = []
    if require_section(skin, "MAINSCREENBUTTONINFO"):
        buttons = skin.buttons("MAINSCREENBUTTONINFO")
        require_names(skin, "[MAINSCREENBUTTONINFO]", [n for n, _ in buttons], MAIN_BUTTONS, "button")
        controls += [("button", n, r) for n, r in buttons]
    if require_section(skin, "TEXTINFO"):
        controls += [("text", n, r) for n, r in skin.texts("TEXTINFO")]
    if require_section(skin, "MAINSCREENANIMATION"):
        r = check_animation(skin, "MAINSCREENANIMATION", "bug", main_size)
        if r:
            controls.append(("animation", "bug", r))

    # pages
    pages = {}
    if require_section(skin, "SUBMAINSCREENINFO"):
        for key, v in numbered(skin.sections, "SUBMAINSCREENINFO"):
            f = Fields(v)
            name = f.next()
            files = [f.next() for _ in range(4)]
            r = f.rect()
            if r is None:
                skin.problem(f"[SUBMAINSCREENINFO] {key}: page {name} has no rectangle")
                continue
            pages[name] = (files, r)
            controls.append(("page", name, r))
    if main_size:
        check_controls(skin, "main screen", main_size, controls)
    for page, want in PAGES.items():
        if page not in pages:
            skin.problem(f"[SUBMAINSCREENINFO]: page {page} is missing")
            continue
        files, r = pages[page]
        size = skin.screen_pictures(files, f"page {page}")
        if size and size != r[2:]:
            skin.problem(f"page {page}: pictures are {size[0]}x{size[1]}, the page {r[2]}x{r[3]}")
        size = r[2:]
        ctl = []
        if require_section(skin, f"{page}_BUTTONINFO"):
            b = skin.buttons(f"{page}_BUTTONINFO")
            require_names(skin, f"[{page}_BUTTONINFO]", [n for n, _ in b], want, "button")
            ctl += [("button", n, r) for n, r in b]
        if require_section(skin, f"{page}_TEXTINFO"):
            ctl += [("text", n, r) for n, r in skin.texts(f"{page}_TEXTINFO")]
        lb = skin.listbox(f"{page}_LISTINFO")
        if page == "SUBMAIN_SCHEDULE":
            if lb is None:
                skin.problem(f"[{page}_LISTINFO] is missing: the schedule page shows its list there")
            elif len(lb[1]) < SCHEDULE_COLUMNS:
                skin.problem(f"[{page}_LISTINFO] has {len(lb[1])} columns, the schedule needs {SCHEDULE_COLUMNS}")
        if lb:
            ctl.append(("list", "list", lb[0]))
        check_controls(skin, f"page {page}", size, ctl)

    # scan dialog
    dialog_size = None
    anim = None
    if require_section(skin, "SCANSCREENANIMATION"):
        anim = check_animation(skin, "SCANSCREENANIMATION", "scan", None)
    for prefix, (want_buttons, want_texts, columns) in DIALOG.items():
        section = f"{prefix}INFO"
        if not require_section(skin, section):
            continue
        entries = numbered(skin.sections, section)
        if not entries:
            continue
        f = Fields(entries[0][1])
        name = f.next()
        files = [f.next() for _ in range(4)]
        r = f.rect()
        size = skin.screen_pictures(files, f"[{section}] {name}")
        if size is None:
            continue
        if r and r[2:] != size:
            skin.problem(f"[{section}]: pictures are {size[0]}x{size[1]}, the record says {r[2]}x{r[3]}")
        # the first screen sizes the window; the others are drawn into it
        if dialog_size is None:
            dialog_size = size
        elif size != dialog_size:
            skin.problem(f"[{section}]: screen is {size[0]}x{size[1]} but the dialog window is "
                         f"{dialog_size[0]}x{dialog_size[1]}")
        ctl = []
        if require_section(skin, f"{prefix}_BUTTONINFO"):
            b = skin.buttons(f"{prefix}_BUTTONINFO")
            require_names(skin, f"[{prefix}_BUTTONINFO]", [n for n, _ in b], want_buttons, "button")
            ctl += [("button", n, r) for n, r in b]
        if require_section(skin, f"{prefix}_TEXTINFO"):
            t = skin.texts(f"{prefix}_TEXTINFO")
            require_names(skin, f"[{prefix}_TEXTINFO]", [n for n, _ in t], want_texts, "text")
            ctl += [("text", n, r) for n, r in t]
        if columns:
            lb = skin.listbox(f"{prefix}_LISTINFO")
            if lb is None:
                skin.problem(f"[{prefix}_LISTINFO] is missing: the results list goes there")
            else:
                if len(lb[1]) < columns:
                    skin.problem(f"[{prefix}_LISTINFO] has {len(lb[1])} columns, the results need {columns}")
                ctl.append(("list", "list", lb[0]))
        if prefix == "SCREENERRORSCAN" and anim:
            ctl.append(("animation", "scan", anim))
        check_controls(skin, f"dialog screen {name}", size, ctl)

    # optional; the program draws the dotted rectangle for a malformed one, which the author should hear of
    if skin.has_section("FOCUSMARK"):
        colour = skin.value("FOCUSMARK", "COLOUR")
        width = skin.value("FOCUSMARK", "WIDTH") or "2"
        if not (colour.isdigit() and len(colour) <= 9 and int(colour) <= 0xFFFFFF):
            skin.problem(f"[FOCUSMARK] COLOUR={colour!r} is not a colour from 0 to 16777215")
        if not (width.isdigit() and len(width) <= 9 and 1 <= int(width) <= 8):
            skin.problem(f"[FOCUSMARK] WIDTH={width!r} is not a width from 1 to 8")

    total = sum(os.path.getsize(os.path.join(folder, n)) for n in os.listdir(folder)
                if os.path.isfile(os.path.join(folder, n)))
    if total > MAX_SKIN_BYTES:
        skin.problem(f"the skin folder holds {total} bytes, more than {MAX_SKIN_BYTES}")
    return skin, total


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    folder = argv[1]
    if not os.path.isfile(os.path.join(folder, "Skin.ini")):
        print(f"check_skin: {folder}/Skin.ini does not exist", file=sys.stderr)
        return 1
    try:
        import PIL  # noqa: F401
    except ImportError:
        print("check_skin: Python's PIL is missing (install python3-pil)", file=sys.stderr)
        return 1
    skin, total = check(folder)
    if skin.problems:
        print(f"check_skin: {len(skin.problems)} problem(s) in {skin.ini}:", file=sys.stderr)
        for p in skin.problems:
            print("  " + p, file=sys.stderr)
        return 1
    c = skin.counts
    print(f"skin OK: {c['screens']} screens, {c['buttons']} buttons, {c['texts']} texts, "
          f"{c['lists']} lists, {c['pictures']} pictures, {total / 1024:.0f} KiB")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
