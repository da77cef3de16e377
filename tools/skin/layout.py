"""The one description of the default skin.

Every screen, button, text, list and animation rectangle lives here. The
generator writes Skin.ini from these tables and draws every image from the
same rectangles, so the art and the layout cannot disagree.

Rectangles are (x, y, width, height) in the owning window's client area.
"""

from dataclasses import dataclass, field

# ---------------------------------------------------------------- palette

SIDEBAR = (28, 47, 66)
SIDEBAR_HOVER = (40, 64, 88)
SIDEBAR_DOWN = (21, 36, 51)
SIDEBAR_SELECTED = (45, 74, 101)
SIDEBAR_TEXT = (172, 190, 208)
SIDEBAR_TEXT_HI = (240, 244, 248)
SIDEBAR_MUTED = (120, 142, 164)
TEAL = (63, 190, 160)

BG = (241, 244, 248)
FOOTER = (232, 237, 243)
CARD = (253, 253, 254)
BORDER = (218, 224, 232)
BORDER_STRONG = (196, 205, 216)
INK = (27, 38, 51)
BODY = (78, 92, 108)
MUTED = (116, 128, 143)

PRIMARY = (40, 104, 204)
PRIMARY_HOVER = (54, 121, 222)
PRIMARY_DOWN = (30, 86, 172)
PRIMARY_TEXT = (246, 249, 253)
DISABLED_FILL = (214, 220, 228)
DISABLED_TEXT = (140, 150, 163)

SECONDARY_HOVER = (234, 240, 248)
SECONDARY_DOWN = (221, 230, 242)

SUCCESS = (30, 142, 96)
WARN = (184, 98, 16)
DANGER = (212, 64, 64)
DANGER_DOWN = (180, 48, 48)

FONT_FACE = "Tahoma"
# The focused button's frame (Skin.ini FOCUSMARK): the accent stands off the light, the blue and the dark
# buttons alike.
FOCUS_MARK = (TEAL, 2)


def colorref(rgb):
    """A Windows COLORREF as the skin file writes it (decimal)."""
    r, g, b = rgb
    return r + 256 * g + 65536 * b


# ---------------------------------------------------------------- records


@dataclass
class Button:
    name: str
    rect: tuple
    style: str  # primary, secondary, nav, winctl, winclose, darkclose
    label: str = ""
    icon: str = ""


@dataclass
class Text:
    name: str
    rect: tuple
    text: str
    size: int = 13  # character height in pixels (written as a negative lfHeight)
    bold: bool = False
    colour: tuple = BODY


@dataclass
class ListBox:
    rect: tuple
    columns: list  # (title, width)


@dataclass
class Screen:
    key: str  # image file prefix
    name: str  # page name, screen name
    size: tuple
    kind: str  # main, page, dialog
    buttons: list = field(default_factory=list)
    texts: list = field(default_factory=list)
    listbox: ListBox = None
    deco: list = field(default_factory=list)
    animation: tuple = None  # rectangle of the animation control, if any


def images(key):
    return [f"{key}_{state}.gif" for state in ("normal", "over", "down", "disabled")]


# ---------------------------------------------------------------- main screen

MAIN_SIZE = (720, 470)
SIDEBAR_W = 200
CORNER = 12
# Pages are laid out on a 480-pixel column; the panel is wider by PAGE_PAD on
# each side so that card shadows fade out inside it instead of being cut.
PAGE_PAD = 12
PANEL_RECT = (220 - PAGE_PAD, 48, 480 + 2 * PAGE_PAD, 402)
MAIN_ANIMATION = (20, 296, 160, 128)

MAIN = Screen(
    key="main",
    name="MAIN",
    size=MAIN_SIZE,
    kind="main",
    buttons=[
        Button("BUTTON_MAIN", (12, 104, 176, 40), "nav", "Scan & repair", "search"),
        Button("BUTTON_SCHEDULE", (12, 148, 176, 40), "nav", "Schedule", "calendar"),
        Button("BUTTON_LIVEUPDATE", (12, 192, 176, 40), "nav", "Live Update", "download"),
        Button("BUTTON_SUPPORT", (12, 236, 176, 40), "nav", "Support", "question"),
        Button("BUTTON_MINIMIZE", (638, 10, 34, 28), "winctl", "", "minimize"),
        Button("BUTTON_EXIT", (676, 10, 34, 28), "winclose", "", "close"),
    ],
    texts=[
        Text("TEXT_TAGLINE", (59, 53, 130, 16), "Registry care", 11, False, SIDEBAR_MUTED),
        Text("TEXT_VERSION", (24, 440, 150, 16), "Version 1.0", 11, False, SIDEBAR_MUTED),
    ],
    deco=[("sidebar",), ("logo", (22, 22)), ("sidecard", MAIN_ANIMATION)],
    animation=MAIN_ANIMATION,
)

# ---------------------------------------------------------------- pages


def _page_head(prefix, title, intro):
    texts = [Text(f"TEXT_{prefix}_TITLE", (0, 0, 400, 30), title, 22, True, INK)]
    for i, line in enumerate(intro):
        texts.append(Text(f"TEXT_{prefix}_INTRO{i + 1}", (0, 38 + 18 * i, 480, 18), line, 13, False, BODY))
    return texts


CARD_RECT = (0, 90, 480, 190)
CARD_FOOT_Y = 232  # divider inside the card; the safety line sits below it
BUTTON_ROW_Y = 304
HINT_RECT = (0, 372, 480, 18)

_checks = [
    "COM and type libraries",
    "Help files and fonts",
    "Shared tools and DLLs",
    "Application paths",
    "Startup programs",
    "Uninstall and installer entries",
    "Sounds and the MUI cache",
    "Shortcuts on fixed drives",
]


def _check_items():
    texts, deco = [], []
    for i, label in enumerate(_checks):
        x = 20 + 232 * (i % 2)
        y = 130 + 23 * (i // 2)
        deco.append(("icon", "check_disc", (x, y - 1, 18, 18), TEAL))
        texts.append(Text(f"TEXT_MAIN_ITEM{i + 1}", (x + 28, y, 196, 18), label, 13, False, INK))
    return texts, deco


_items_texts, _items_deco = _check_items()

PAGE_MAIN = Screen(
    key="page_main",
    name="SUBMAIN_MAIN",
    size=PANEL_RECT[2:],
    kind="page",
    buttons=[
        Button("BUTTON_SCAN", (0, BUTTON_ROW_Y, 210, 52), "primary", "Scan now", "search"),
        Button("BUTTON_RESTORE", (226, BUTTON_ROW_Y, 196, 52), "secondary", "Restore backup", "restore"),
    ],
    texts=_page_head("MAIN", "Keep your registry clean", [
        "Orvalin finds registry entries and shortcuts that point to files",
        "which no longer exist and removes them safely.",
    ]) + [
        Text("TEXT_MAIN_CHECKS", (20, 106, 300, 18), "What a scan checks", 13, True, INK),
    ] + _items_texts + [
        Text("TEXT_MAIN_SAFETY", (48, 247, 412, 18), "Every entry is saved to a backup file before it is removed.", 12, False, BODY),
        Text("TEXT_MAIN_HINT", HINT_RECT, "Restore backup puts back the entries removed by an earlier repair.", 12, False, MUTED),
    ],
    deco=[("card", CARD_RECT), ("divider", (20, CARD_FOOT_Y, 440))] + _items_deco + [
        ("icon", "shield", (20, 246, 18, 18), PRIMARY),
    ],
)

PAGE_SCHEDULE = Screen(
    key="page_schedule",
    name="SUBMAIN_SCHEDULE",
    size=PANEL_RECT[2:],
    kind="page",
    buttons=[
        Button("BUTTON_ADDSCHEDULE", (0, BUTTON_ROW_Y, 196, 52), "primary", "Add schedule", "plus"),
        Button("BUTTON_DELETESCHEDULE", (212, BUTTON_ROW_Y, 196, 52), "secondary", "Delete selected", "trash"),
    ],
    texts=_page_head("SCHEDULE", "Scheduled scans", [
        "Orvalin can scan your computer by itself at the times you choose.",
        "Each scheduled scan opens the scan window when it starts.",
    ]) + [
        Text("TEXT_SCHEDULE_HINT", HINT_RECT, "Select a schedule in the list before you delete it.", 12, False, MUTED),
    ],
    listbox=ListBox((0, 90, 480, 198), [("No.", 44), ("Schedule", 296), ("Last run", 132)]),
    deco=[("listframe", (0, 90, 480, 198))],
)

PAGE_LIVEUPDATE = Screen(
    key="page_liveupdate",
    name="SUBMAIN_LIVEUPDATE",
    size=PANEL_RECT[2:],
    kind="page",
    buttons=[
        Button("BUTTON_RUNUPDATE", (0, BUTTON_ROW_Y, 236, 52), "primary", "Check for updates", "download"),
    ],
    texts=_page_head("LIVEUPDATE", "Live Update", [
        "Get the latest program fixes and scan improvements",
        "from the Orvalin update service.",
    ]) + [
        Text("TEXT_LIVEUPDATE_VERSIONLABEL", (136, 112, 320, 18), "Installed version", 12, False, MUTED),
        Text("TEXT_LIVEUPDATE_VERSION", (136, 131, 320, 28), "Orvalin 1.0", 20, True, INK),
        Text("TEXT_LIVEUPDATE_NOTE1", (136, 170, 320, 18), "Orvalin closes while the update runs.", 12, False, BODY),
        Text("TEXT_LIVEUPDATE_NOTE2", (136, 189, 320, 18), "Start it again once the update has finished.", 12, False, BODY),
        Text("TEXT_LIVEUPDATE_SAFETY", (48, 247, 412, 18), "An Internet connection is needed to look for updates.", 12, False, BODY),
        Text("TEXT_LIVEUPDATE_HINT", HINT_RECT, "Orvalin asks you before it closes.", 12, False, MUTED),
    ],
    deco=[("card", CARD_RECT), ("divider", (20, CARD_FOOT_Y, 440)),
          ("badge", "cloud", (24, 112, 88, 88), PRIMARY),
          ("icon", "info", (20, 246, 18, 18), PRIMARY)],
)

PAGE_SUPPORT = Screen(
    key="page_support",
    name="SUBMAIN_SUPPORT",
    size=PANEL_RECT[2:],
    kind="page",
    buttons=[
        Button("BUTTON_SUPPORT", (0, BUTTON_ROW_Y, 236, 52), "primary", "Open support site", "external"),
    ],
    texts=_page_head("SUPPORT", "Support", [
        "Questions about a scan or a repair? We are glad to help.",
        "Our support site has answers and a way to reach our team.",
    ]) + [
        Text("TEXT_SUPPORT_TIPTITLE", (136, 112, 320, 18), "Before you contact us", 13, True, INK),
        Text("TEXT_SUPPORT_TIP1", (136, 140, 320, 18), "Note the problem counts that the scan showed.", 12, False, BODY),
        Text("TEXT_SUPPORT_TIP2", (136, 164, 320, 18), "Keep the backup files named FixedOn and a date:", 12, False, BODY),
        Text("TEXT_SUPPORT_TIP3", (136, 182, 320, 18), "Restore backup needs them to undo a repair.", 12, False, BODY),
        Text("TEXT_SUPPORT_SAFETY", (48, 247, 412, 18), "The support site opens in your web browser.", 12, False, BODY),
    ],
    deco=[("card", CARD_RECT), ("divider", (20, CARD_FOOT_Y, 440)),
          ("badge", "chat", (24, 112, 88, 88), TEAL),
          ("icon", "info", (20, 246, 18, 18), PRIMARY)],
)



def _shift_rect(r, dx):
    return (r[0] + dx,) + tuple(r[1:])


def _pad_page(page, dx=PAGE_PAD):
    """Move a page's content from the 480-pixel column into the panel."""
    for b in page.buttons:
        b.rect = _shift_rect(b.rect, dx)
    for t in page.texts:
        t.rect = _shift_rect(t.rect, dx)
    if page.listbox:
        page.listbox.rect = _shift_rect(page.listbox.rect, dx)
    deco = []
    for item in page.deco:
        item = list(item)
        for i, v in enumerate(item):
            if isinstance(v, tuple) and len(v) in (3, 4) and all(isinstance(n, int) for n in v) \
                    and item[0] not in ("sidebar",) and not (i == len(item) - 1 and item[0] in ("icon", "badge")):
                item[i] = _shift_rect(v, dx)
        deco.append(tuple(item))
    page.deco = deco
    return page


PAGES = [_pad_page(p) for p in (PAGE_MAIN, PAGE_SCHEDULE, PAGE_LIVEUPDATE, PAGE_SUPPORT)]

# ---------------------------------------------------------------- scan dialog

DIALOG_SIZE = (560, 420)
DIALOG_POS = (232, 174)  # centred on a 1024 x 768 desktop
HEADER_H = 52
FOOTER_Y = 348
SCAN_ANIMATION = (34, 86, 160, 120)


def _close_button():
    return Button("BUTTON_CANCEL", (516, 10, 32, 32), "darkclose", "", "close")


def _footer_button(name, x, w, style, label, icon):
    return Button(name, (x, 362, w, 40), style, label, icon)


def _progress_texts(prefix, title, status, item_label):
    return [
        Text(f"TEXT_{prefix}_TITLE", (224, 76, 312, 28), title, 19, True, INK),
        Text(f"TEXT_{prefix}_STATUS", (224, 110, 312, 18), status, 13, False, PRIMARY),
        Text(f"TEXT_{prefix}_LABELITEM", (24, 240, 512, 18), item_label, 12, True, INK),
    ]


def _chip_texts(prefix, chips, x0, y, w, label_w):
    texts, deco = [], []
    for i, (suffix, label, value_name) in enumerate(chips):
        x = x0 + (w + 12) * i
        deco.append(("chip", (x, y, w, 30)))
        texts.append(Text(f"TEXT_{prefix}_LABEL{suffix}", (x + 12, y + 7, label_w, 16), label, 12, False, MUTED))
        texts.append(Text(value_name, (x + 16 + label_w, y + 6, w - label_w - 26, 18), "0", 13, True, INK))
    return texts, deco


SCREEN_ERRORSCAN = Screen(
    key="scan_progress",
    name="ErrorScan",
    size=DIALOG_SIZE,
    kind="dialog",
    buttons=[
        _close_button(),
        _footer_button("BUTTON_STOPSCAN", 404, 132, "secondary", "Stop scan", "stop"),
    ],
    texts=_progress_texts("ERRORSCAN", "Scanning your computer", "Preparing the scan", "Now checking") + [
        Text("TEXT_ERRORSCAN_LABELSCANNED", (238, 156, 124, 16), "Items scanned", 12, False, MUTED),
        Text("TEXT_ERRORSCAN_ITEMSCANNED", (238, 176, 124, 28), "0", 22, True, INK),
        Text("TEXT_ERRORSCAN_LABELFOUND", (402, 156, 124, 16), "Problems found", 12, False, MUTED),
        Text("TEXT_ERRORSCAN_ERRORFOUND", (402, 176, 124, 28), "0", 22, True, WARN),
        Text("TEXT_ERRORSCAN_CURRENTITEM", (36, 273, 488, 18), "", 12, False, BODY),
        Text("TEXT_ERRORSCAN_NOTE", (24, 316, 512, 18),
             "Nothing is changed during the scan. You choose what to repair afterwards.", 12, False, MUTED),
    ],
    deco=[("header",), ("footer",), ("card", (24, 76, 180, 140)),
          ("tile", (224, 144, 148, 72)), ("tile", (388, 144, 148, 72)),
          ("field", (24, 262, 512, 40))],
    animation=SCAN_ANIMATION,
)

_sc_chip_texts, _sc_chip_deco = _chip_texts("SCANCOMPLETE", [
    ("SCANNED", "Items scanned", "TEXT_SCANCOMPLETE_ITEMSCANNED"),
    ("FOUND", "Problems found", "TEXT_SCANCOMPLETE_ERRORFOUND"),
], 92, 126, 210, 104)

SCREEN_SCANCOMPLETE = Screen(
    key="scan_results",
    name="ScanComplete",
    size=DIALOG_SIZE,
    kind="dialog",
    buttons=[
        _close_button(),
        _footer_button("BUTTON_OK", 282, 110, "secondary", "Close", ""),
        _footer_button("BUTTON_FIXERROR", 404, 132, "primary", "Repair all", "shield"),
        _footer_button("BUTTON_REVIEW", 182, 88, "secondary", "Review", ""),
    ],
    texts=[
        Text("TEXT_SCREENSCANCOMPLETE_TITLE", (92, 74, 444, 44), "Scan complete", 14, True, INK),
    ] + _sc_chip_texts + [
        Text("TEXT_SCANCOMPLETE_NOTE", (24, 374, 150, 18), "Backed up first.", 12, False, MUTED),
    ],
    listbox=ListBox((24, 170, 512, 166), [("Category", 296), ("Scanned", 100), ("Problems", 100)]),
    deco=[("header",), ("footer",), ("badge", "search", (24, 72, 52, 52), PRIMARY),
          ("listframe", (24, 170, 512, 166))] + _sc_chip_deco,
)

SCREEN_ERRORFIXING = Screen(
    key="fix_progress",
    name="ErrorFixing",
    size=DIALOG_SIZE,
    kind="dialog",
    buttons=[
        _close_button(),
        _footer_button("BUTTON_STOPSCAN", 404, 132, "secondary", "Stop repair", "stop"),
    ],
    texts=_progress_texts("ERRORFIXING", "Repairing your registry", "Preparing the repair", "Now repairing") + [
        Text("TEXT_ERRORFIXING_NOTE1", (224, 144, 312, 18), "Every entry is written to a backup file", 12, False, BODY),
        Text("TEXT_ERRORFIXING_NOTE2", (224, 162, 312, 18), "before it is removed from the registry.", 12, False, BODY),
        Text("TEXT_ERRORFIXING_NOTE3", (224, 192, 312, 18), "Please keep this window open.", 12, False, MUTED),
        Text("TEXT_ERRORFIXING_CURRENTITEM", (36, 270, 488, 50), "", 12, False, BODY),
    ],
    deco=[("header",), ("footer",), ("card", (24, 76, 180, 140)),
          ("badge", "shield", (74, 106, 80, 80), TEAL),
          ("field", (24, 262, 512, 64))],
)

_fc_chip_texts, _fc_chip_deco = _chip_texts("FIXCOMPLETE", [
    ("SCANNED", "Scanned", "TEXT_FIXCOMPLETE_ITEMSCANNED"),
    ("FOUND", "Found", "TEXT_FIXCOMPLETE_ERRORFOUND"),
    ("FIXED", "Fixed", "TEXT_FIXCOMPLETE_FIXED"),
], 92, 132, 140, 56)

SCREEN_FIXCOMPLETE = Screen(
    key="fix_results",
    name="FixComplete",
    size=DIALOG_SIZE,
    kind="dialog",
    buttons=[
        _close_button(),
        _footer_button("BUTTON_OK", 416, 120, "primary", "Done", "check"),
        _footer_button("BUTTON_SCANAGAIN", 296, 112, "secondary", "Scan again", ""),
    ],
    texts=[
        Text("TEXT_FIXCOMPLETE_STATUS", (92, 72, 444, 28), "Repair complete", 20, True, SUCCESS),
        Text("TEXT_FIXCOMPLETE_SUBTITLE", (92, 104, 444, 18),
             "Your registry has been repaired and a backup was saved first.", 12, False, BODY),
    ] + _fc_chip_texts + [
        Text("TEXT_FIXCOMPLETE_NOTE", (24, 374, 260, 18),
             "Restore backup undoes this repair.", 12, False, MUTED),
    ],
    listbox=ListBox((24, 176, 512, 160), [("Category", 236), ("Scanned", 84), ("Found", 84), ("Fixed", 92)]),
    deco=[("header",), ("footer",), ("badge", "check_disc", (24, 72, 52, 52), SUCCESS),
          ("listframe", (24, 176, 512, 160))] + _fc_chip_deco,
)

SCREEN_REVIEW = Screen(
    key="review",
    name="Review",
    size=DIALOG_SIZE,
    kind="dialog",
    buttons=[
        _close_button(),
        _footer_button("BUTTON_REVIEW_BACK", 24, 76, "secondary", "Back", ""),
        _footer_button("BUTTON_REVIEW_ALL", 108, 92, "secondary", "Select all", ""),
        _footer_button("BUTTON_REVIEW_NONE", 208, 100, "secondary", "Select none", ""),
        _footer_button("BUTTON_REVIEW_IGNORE", 316, 76, "secondary", "Ignore", ""),
        _footer_button("BUTTON_REVIEW_REPAIR", 400, 136, "primary", "Repair selected", ""),
        # Last, so the buttons above keep their keys; in the header, beside the title.
        Button("BUTTON_REVIEW_SHOWIGNORED", (416, 74, 120, 40), "secondary", "Show ignored", ""),
    ],
    texts=[
        Text("TEXT_REVIEW_TITLE", (92, 70, 312, 24), "Review what will be repaired", 16, True, INK),
        Text("TEXT_REVIEW_SELECTION", (92, 98, 312, 18), "0 of 0 entries selected", 12, False, BODY),
    ],
    listbox=ListBox((24, 126, 512, 212), [("Problem", 130), ("Entry", 242), ("File not found", 136)]),
    deco=[("header",), ("footer",), ("badge", "search", (24, 68, 52, 52), PRIMARY),
          ("listframe", (24, 126, 512, 212))],
)

# The ignore list, reached from the review: ticked entries are taken back and the next scan shows them.
SCREEN_IGNORED = Screen(
    key="ignored",
    name="Ignored",
    size=DIALOG_SIZE,
    kind="dialog",
    buttons=[
        _close_button(),
        _footer_button("BUTTON_IGNORED_BACK", 24, 76, "secondary", "Back", ""),
        _footer_button("BUTTON_IGNORED_ALL", 108, 92, "secondary", "Select all", ""),
        _footer_button("BUTTON_IGNORED_NONE", 208, 100, "secondary", "Select none", ""),
        _footer_button("BUTTON_IGNORED_TAKEBACK", 400, 136, "primary", "Take back", ""),
    ],
    texts=[
        Text("TEXT_IGNORED_TITLE", (92, 70, 444, 24), "Entries you chose to ignore", 16, True, INK),
        Text("TEXT_IGNORED_SELECTION", (92, 98, 444, 18), "0 of 0 entries selected", 12, False, BODY),
    ],
    listbox=ListBox((24, 126, 512, 212), [("Category", 110), ("Key path", 262), ("Value name", 136)]),
    deco=[("header",), ("footer",), ("badge", "search", (24, 68, 52, 52), MUTED),
          ("listframe", (24, 126, 512, 212))],
)

# Screen sections of the scan dialog, in the order the dialog shows them.
DIALOG_SCREENS = [
    ("SCREENERRORSCAN", SCREEN_ERRORSCAN),
    ("SCREENSCANCOMPLETE", SCREEN_SCANCOMPLETE),
    ("SCREENERRORFIXING", SCREEN_ERRORFIXING),
    ("SCREENFIXCOMPLETE", SCREEN_FIXCOMPLETE),
    ("SCREENREVIEW", SCREEN_REVIEW),
    ("SCREENIGNORED", SCREEN_IGNORED),
]

MAIN_ANIMATION_FILE = "bug.gif"
SCAN_ANIMATION_FILE = "scan.gif"
