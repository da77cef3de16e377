#!/usr/bin/python3
"""Writes the default skin: skin/Skin.ini, every screen picture, the main
window's mask and the two animations, all from the tables in layout.py.

Usage: generate.py [--out DIR] [--preview DIR]
The output is the same on every run, so the generated files are committed.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import art  # noqa: E402
import gifwriter  # noqa: E402
from draw import runtime_fonts  # noqa: E402
from layout import (  # noqa: E402
    DIALOG_POS, DIALOG_SCREENS, FOCUS_MARK, FONT_FACE, MAIN, MAIN_ANIMATION_FILE, PAGES, PANEL_RECT,
    SCAN_ANIMATION_FILE, colorref, images,
)

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

# Texts that the program replaces at run time, with the longest contents they
# are expected to show. Each entry is a list of lines.
RUNTIME_SAMPLES = {
    "TEXT_ERRORSCAN_ITEMSCANNED": ["9999999"],
    "TEXT_ERRORSCAN_ERRORFOUND": ["999999"],
    "TEXT_ERRORSCAN_STATUS": ["Scanning Application Paths"],
    "TEXT_ERRORFIXING_STATUS": ["Fixing Application Paths "],
    "TEXT_ERRORFIXING_CURRENTITEM": ["HKEY_LOCAL_MACHINE", "Software\\Classes\\CLSID\\{00000000-0000-0000-0000-000000000000}", "InprocServer32"],
    "TEXT_SCREENSCANCOMPLETE_TITLE": ["Orvalin has found 99999 potentially dangerous errors",
                                      "click the button below to repair your computer"],
    "TEXT_SCANCOMPLETE_ITEMSCANNED": ["9999999"],
    "TEXT_SCANCOMPLETE_ERRORFOUND": ["9999999"],
    "TEXT_FIXCOMPLETE_STATUS": ["Fixed"],
    "TEXT_FIXCOMPLETE_ITEMSCANNED": ["999999"],
    "TEXT_FIXCOMPLETE_ERRORFOUND": ["99999"],
    "TEXT_FIXCOMPLETE_FIXED": ["99999"],
    "TEXT_REVIEW_SELECTION": ["99999 of 99999 entries selected"],
    "TEXT_IGNORED_SELECTION": ["99999 of 99999 entries selected"],
}


def line_height(font):
    ascent, descent = font.getmetrics()
    return ascent + descent


def check_fit(screen, problems):
    """Every text must fit its rectangle in the run-time font: the program
    neither wraps nor shrinks it."""
    for t in screen.texts:
        lines = RUNTIME_SAMPLES.get(t.name, [t.text])
        x, y, w, h = t.rect
        for font in runtime_fonts(t.size, t.bold):
            for line in lines:
                if font.getlength(line) > w:
                    problems.append(f"{screen.name}: {t.name} too narrow for {line!r} "
                                    f"({font.getlength(line):.0f} > {w})")
            if line_height(font) * len(lines) > h + 1:
                problems.append(f"{screen.name}: {t.name} too low for {len(lines)} line(s) "
                                f"({line_height(font) * len(lines)} > {h})")
        if "," in t.text:
            problems.append(f"{screen.name}: {t.name} contains a comma, which ends a skin field")


# ---------------------------------------------------------------- Skin.ini


def rect_fields(r):
    return ", ".join(str(v) for v in r)


def button_record(b):
    return f"{b.name}, {rect_fields(b.rect)}"


def text_record(t):
    # The italic field reads N: the main screen and its pages would take "F"
    # as italic and the scan dialog "T", so neither letter is used.
    bold = "T" if t.bold else "F"
    return f"{t.name}, {FONT_FACE}, {bold}, N, {-t.size}, {colorref(t.colour)}, {rect_fields(t.rect)}, {t.text}"


def list_record(lb):
    cols = ", ".join(f"{title}, {width}" for title, width in lb.columns)
    return f"{rect_fields(lb.rect)}, {len(lb.columns)}, {cols}"


def numbered(section, values):
    lines = [f"[{section}]"]
    lines += [f"{i}={v}".rstrip() for i, v in enumerate(values, 1)]
    return lines + [""]


def skin_ini():
    out = [
        "; Orvalin default skin, written by tools/skin/generate.py from tools/skin/layout.py.",
        "; Rectangles are x, y, width, height in the owning window's client area.",
        "; Buttons: name, rectangle. Texts: name, face, bold, italic, height, colour",
        "; (red + 256 * green + 65536 * blue), rectangle, initial text.",
        "; Lists: rectangle, column count, then title and width of each column.",
        "; FOCUSMARK: the focused button's frame, its colour and width in pixels (1 to 8).",
        "",
        "[MAINSCREENINFO]",
    ]
    normal, over, down, disabled = images(MAIN.key)
    out += [f"Main={normal}", f"Mask={MAIN.key}_mask.gif", f"Over={over}", f"Down={down}",
            f"Disabled={disabled}", ""]
    out += numbered("MAINSCREENBUTTONINFO", [button_record(b) for b in MAIN.buttons])
    out += numbered("TEXTINFO", [text_record(t) for t in MAIN.texts])
    out += ["[MAINSCREENANIMATION]", f"DIMENSION={rect_fields(MAIN.animation)}", ""]
    out += numbered("SUBMAINSCREENINFO",
                    [f"{p.name}, {', '.join(images(p.key))}, {rect_fields(PANEL_RECT)}" for p in PAGES])
    for p in PAGES:
        out += numbered(f"{p.name}_BUTTONINFO", [button_record(b) for b in p.buttons])
        out += numbered(f"{p.name}_TEXTINFO", [text_record(t) for t in p.texts])
        if p.listbox:
            out += numbered(f"{p.name}_LISTINFO", [list_record(p.listbox)])
    scan = DIALOG_SCREENS[0][1]
    out += ["[SCANSCREENANIMATION]", f"DIMENSION={rect_fields(scan.animation)}", ""]
    for section, s in DIALOG_SCREENS:
        rect = DIALOG_POS + s.size
        out += numbered(f"{section}INFO", [f"{s.name}, {', '.join(images(s.key))}, {rect_fields(rect)}"])
        out += numbered(f"{section}_BUTTONINFO", [button_record(b) for b in s.buttons])
        out += numbered(f"{section}_TEXTINFO", [text_record(t) for t in s.texts])
        if s.listbox:
            out += numbered(f"{section}_LISTINFO", [list_record(s.listbox)])
    colour, width = FOCUS_MARK
    out += ["[FOCUSMARK]", f"COLOUR={colorref(colour)}", f"WIDTH={width}", ""]
    for line in out:
        if len(line.split("=", 1)[-1]) > 255:
            raise SystemExit(f"value longer than 255 characters: {line}")
    return "\r\n".join(out)


# ---------------------------------------------------------------- images


def write_screen(outdir, screen, pictures):
    states = [pictures[s] for s in art.STATES]
    pal = gifwriter.build_palette(states)
    for name, im in zip(images(screen.key), states):
        gifwriter.save_static(os.path.join(outdir, name), gifwriter.to_indexed(im, pal))


def crop(im, r):
    x, y, w, h = r
    return im.crop((x, y, x + w, y + h))


def generate(outdir):
    problems = []
    for s in [MAIN] + PAGES + [s for _, s in DIALOG_SCREENS]:
        check_fit(s, problems)
    if problems:
        raise SystemExit("layout problems:\n  " + "\n  ".join(problems))

    os.makedirs(outdir, exist_ok=True)
    rendered = {}
    for s in [MAIN] + PAGES + [s for _, s in DIALOG_SCREENS]:
        rendered[s.key] = art.render_screen(s)
        write_screen(outdir, s, rendered[s.key])

    mask = art.main_mask(MAIN).convert("1").convert("P")
    gifwriter.save_static(os.path.join(outdir, f"{MAIN.key}_mask.gif"), mask)

    bug = art.shield_pulse_frames(crop(rendered[MAIN.key]["normal"], MAIN.animation))
    gifwriter.save_animation(os.path.join(outdir, MAIN_ANIMATION_FILE), bug, 9)
    scan = DIALOG_SCREENS[0][1]
    frames = art.registry_scan_frames(crop(rendered[scan.key]["normal"], scan.animation))
    gifwriter.save_animation(os.path.join(outdir, SCAN_ANIMATION_FILE), frames, 7)

    with open(os.path.join(outdir, "Skin.ini"), "w", newline="") as f:
        f.write(skin_ini() + "\r\n")
    return rendered


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=os.path.join(ROOT, "skin"))
    ap.add_argument("--preview", help="also write preview composites into this folder")
    args = ap.parse_args()
    generate(args.out)
    if args.preview:
        import preview

        preview.write_all(args.out, args.preview)
    total = sum(os.path.getsize(os.path.join(args.out, n)) for n in os.listdir(args.out))
    print(f"skin written to {args.out}: {len(os.listdir(args.out))} files, {total / 1024:.0f} KiB")


if __name__ == "__main__":
    main()
