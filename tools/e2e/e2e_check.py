#!/usr/bin/python3
"""Checks of tools/e2e.sh and tools/drills.sh.

  e2e_check.py screen SHOT SKIN_DIR          the scan dialog screen shown at the skin's position in SHOT
                                             (ErrorScan, ScanComplete, ErrorFixing, FixComplete) or "none"
  e2e_check.py fix-diff BEFORE AFTER FINDINGS.json [KEPT]
                                             every finding gone, nothing else changed (registry exports);
                                             KEPT: positions of findings that must still be there (0,1)
  e2e_check.py backup-diff BEFORE AFTER BACKUP.xml
                                             the backup file holds exactly the keys and values removed
  e2e_check.py ids FINDINGS.json             "<id> <category> <key path> [<value name>]" per finding
  e2e_check.py same BEFORE AFTER             the two registry exports hold the same keys and values
  e2e_check.py count FINDINGS.json           "<registry findings> <missing shortcuts>"
  e2e_check.py main SHOT SKIN_DIR            the main window at the top left of SHOT shows the skin's main
                                             picture (exit 0) or not (exit 1)

BEFORE and AFTER are lists of registry export files (regedit /E), joined with commas.
"""
import json
import sys
import xml.etree.ElementTree as ElementTree

from PIL import Image, ImageChops, ImageStat

# Keys the system itself writes while the program runs (the open-file dialog's recent files and folders).
# Wine's display driver also rewrites its own state whenever a program opens a window.
IGNORED = (
    "hkey_current_user\\software\\microsoft\\windows\\currentversion\\explorer\\comdlg32",
    "hkey_current_user\\software\\wine\\temporary system parameters",
    "hkey_local_machine\\system\\currentcontrolset\\control\\class\\{4d36e968-e325-11ce-bfc1-08002be10318}",
    "hkey_local_machine\\system\\currentcontrolset\\control\\video",
    "hkey_local_machine\\system\\currentcontrolset\\enum\\display",
    "hkey_local_machine\\system\\currentcontrolset\\control\\servicecurrent",
    # the shell of the open-file dialog
    "hkey_current_user\\software\\microsoft\\windows\\currentversion\\explorer\\advanced",
    # rebuilt by Wine at every start from the machine it runs on (a second display adds DEVICEMAP\VIDEO)
    "hkey_local_machine\\hardware\\",
    # Wine's device manager records the display adapter and monitor the first time a WoW64 prefix starts
    # a program after it was made
    "hkey_local_machine\\system\\currentcontrolset\\control\\deviceclasses\\",
    "hkey_local_machine\\system\\currentcontrolset\\control\\class\\{4d36e96e-e325-11ce-bfc1-08002be10318}",
    "hkey_local_machine\\system\\currentcontrolset\\hardware profiles\\current\\system",
)


def skin_screens(skin_dir):
    screens = {}
    section = None
    with open(f"{skin_dir}/Skin.ini", encoding="latin-1") as ini:
        for line in ini:
            line = line.strip()
            if line.startswith("["):
                section = line
                continue
            if section and section.startswith("[SCREEN") and section.endswith("INFO]") and "_" not in section and "=" in line:
                fields = [f.strip() for f in line.split("=", 1)[1].split(",")]
                if len(fields) >= 9:
                    screens[fields[0]] = (fields[1], *map(int, fields[5:9]))
    return screens


def screen(shot_path, skin_dir):
    shot = Image.open(shot_path).convert("RGB")
    best, best_score = "none", None
    for name, (picture, x, y, w, h) in skin_screens(skin_dir).items():
        try:
            reference = Image.open(f"{skin_dir}/{picture}").convert("RGB").resize((w, h))
        except OSError:
            continue
        region = shot.crop((x, y, x + w, y + h))
        score = sum(ImageStat.Stat(ImageChops.difference(region, reference)).mean) / 3
        if best_score is None or score < best_score:
            best, best_score = name, score
    # Texts and the list cover part of the picture; anything else (the main window, the desktop) is far off.
    print(best if best_score is not None and best_score < 25 else "none", f"{best_score or 0:.1f}")


def main_window(shot_path, skin_dir):
    shot = Image.open(shot_path).convert("RGB")
    picture = None
    with open(f"{skin_dir}/Skin.ini", encoding="latin-1") as ini:
        for line in ini:
            if line.strip().lower().startswith("main="):
                picture = line.split("=", 1)[1].strip()
                break
    reference = Image.open(f"{skin_dir}/{picture}").convert("RGB")
    region = shot.crop((0, 0, *reference.size))
    score = sum(ImageStat.Stat(ImageChops.difference(region, reference)).mean) / 3
    # The page's texts and the animation cover part of it; an empty desktop or another window is far off.
    print(f"main picture {picture}: mean difference {score:.1f}")
    return 0 if score < 25 else 1


def read_export(paths):
    """{key: {value name: data}}, names in lower case (the registry ignores case)."""
    keys = {}
    for path in paths.split(","):
        raw = open(path, "rb").read()
        text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("latin-1")
        lines = text.splitlines()
        current = None
        i = 0
        while i < len(lines):
            line = lines[i]
            while line.endswith("\\") and i + 1 < len(lines) and not line.startswith("["):
                i += 1
                line = line[:-1] + lines[i].lstrip()
            i += 1
            if line.startswith("[") and line.endswith("]"):
                current = keys.setdefault(line[1:-1].lower(), {})
            elif current is not None and line and line[0] in '"@':
                if line[0] == "@":
                    name, rest = "@", line[1:]
                else:
                    j, name = 1, ""
                    while j < len(line) and line[j] != '"':
                        if line[j] == "\\" and j + 1 < len(line):
                            j += 1
                        name += line[j]
                        j += 1
                    rest = line[j + 1:]
                current[name.lower()] = rest[1:] if rest.startswith("=") else rest
    return keys


def ignored(key):
    return key.startswith(IGNORED) or key == "hkey_local_machine\\hardware"


def differences(before, after):
    """(removed keys, added keys, removed values, added values, changed values)"""
    removed_keys = sorted(k for k in before if k not in after and not ignored(k))
    added_keys = sorted(k for k in after if k not in before and not ignored(k))
    removed_values, added_values, changed = [], [], []
    for key in before.keys() & after.keys():
        if ignored(key):
            continue
        b, a = before[key], after[key]
        removed_values += [(key, n) for n in b if n not in a]
        added_values += [(key, n) for n in a if n not in b]
        changed += [(key, n) for n in b if n in a and a[n] != b[n]]
    return removed_keys, added_keys, sorted(removed_values), sorted(added_values), sorted(changed)


def finding_keys(path):
    """The registry keys as the exports name them for one finding's key path (a class key may be in either hive)."""
    low = path.lower()
    if low.startswith("hkey_classes_root\\"):
        rest = low[len("hkey_classes_root\\"):]
        keys = ["hkey_local_machine\\software\\classes\\" + rest, "hkey_current_user\\software\\classes\\" + rest]
    else:
        keys = [low]
    # Wine shares some keys between the 64-bit and the 32-bit view: the export lists them under both names.
    # Classes keep their 32-bit view inside themselves (Software\Classes\Wow6432Node), and keys both views
    # share there (TypeLib) are listed under that name too.
    hklm = "hkey_local_machine\\software\\"
    views = [hklm + "wow6432node\\" + k[len(hklm):] for k in keys if k.startswith(hklm)]
    for classes in ("hkey_local_machine\\software\\classes\\", "hkey_current_user\\software\\classes\\"):
        views += [classes + "wow6432node\\" + k[len(classes):] for k in keys if k.startswith(classes)]
    # The machine's 32-bit classes are listed under Software\Wow6432Node\Classes too (the same key).
    wow_classes = "hkey_local_machine\\software\\classes\\wow6432node\\"
    views += [hklm + "wow6432node\\classes\\" + k[len(wow_classes):] for k in keys if k.startswith(wow_classes)]
    return keys + views


def fix_diff(before_paths, after_paths, findings_path, kept_positions=""):
    before, after = read_export(before_paths), read_export(after_paths)
    findings = json.load(open(findings_path, encoding="utf-8"))["findings"]
    kept = {int(p) for p in kept_positions.split(",") if p}
    problems = []
    key_findings, value_findings = [], []
    for position, f in enumerate(findings):
        keys = finding_keys(f["keyPath"])
        if f.get("kind") != "KEY" and f.get("value"):
            name = f["value"]["name"].lower()
            name = "@" if name in ("", "(default)") else name  # the unnamed value (a sound event's file)
            there = any(k in after and name in after[k] for k in keys)
            what = f"{f['keyPath']} value {name}"
        else:
            there = any(k in after for k in keys)
            what = f["keyPath"]
        if position in kept:
            if not there:
                problems.append(f"finding left unticked but removed: {what}")
            continue
        if there:
            problems.append(f"finding still there: {what}")
        if f.get("kind") != "KEY" and f.get("value"):
            value_findings.append((keys, name))
        else:
            key_findings.append(keys)
    removed_keys, added_keys, removed_values, added_values, changed = differences(before, after)

    def under_key_finding(key):
        return any(key == k or key.startswith(k + "\\") for keys in key_findings for k in keys)

    for key in removed_keys:
        if not under_key_finding(key):
            problems.append(f"key removed without a finding: {key}")
    for key, name in removed_values:
        if not under_key_finding(key) and not any(key in keys and name == n for keys, n in value_findings):
            problems.append(f"value removed without a finding: {key} {name}")
    problems += [f"key added: {k}" for k in added_keys]
    problems += [f"value added: {k} {n}" for k, n in added_values]
    problems += [f"value changed: {k} {n}" for k, n in changed]
    print(f"{len(findings)} findings, {len(kept)} kept; {len(removed_keys)} keys and {len(removed_values)} "
          f"values removed; {len(problems)} problems")
    for p in problems[:40]:
        print("  " + p)
    return 1 if problems else 0


def same(before_paths, after_paths):
    before, after = read_export(before_paths), read_export(after_paths)
    removed_keys, added_keys, removed_values, added_values, changed = differences(before, after)
    problems = ([f"key missing: {k}" for k in removed_keys] + [f"key added: {k}" for k in added_keys] +
                [f"value missing: {k} {n}" for k, n in removed_values] +
                [f"value added: {k} {n}" for k, n in added_values] +
                [f"value changed: {k} {n}" for k, n in changed])
    print(f"{len(before)} keys before, {len(after)} after; {len(problems)} differences")
    for p in problems[:40]:
        print("  " + p)
    return 1 if problems else 0


def one_view(key):
    """Wine lists keys both registry views share under both names: compare them under one."""
    return key.replace("\\wow6432node\\", "\\").replace("\\wow6432node", "")


def read_backup(path):
    """({key}, {(key, value name)}) of a backup file, names in lower case as in read_export."""
    keys, values = set(), set()

    def walk(element, parent):
        for child in element:
            if child.tag == "k":
                key = (parent + "\\" if parent else "") + child.get("name", "").lower()
                keys.add(key)
                walk(child, key)
            elif child.tag == "v" and parent:
                name = child.get("name", "").lower()
                values.add((parent, "@" if name == "(default)" else name))

    walk(ElementTree.parse(path).getroot(), "")
    return keys, values


def backup_diff(before_paths, after_paths, backup_path):
    before, after = read_export(before_paths), read_export(after_paths)
    removed_keys, _, removed_values, _, _ = differences(before, after)
    removed = {one_view(k) for k in removed_keys}
    removed_pairs = {(one_view(k), n) for k, n in removed_values}
    removed_pairs |= {(one_view(k), n) for k in removed_keys for n in before[k]}
    keys, values = read_backup(backup_path)
    # The backup names the keys above each entry too; those are still in the registry.
    backed_up = {one_view(k) for k in keys if k not in after}
    pairs = {(one_view(k), n) for k, n in values}
    problems = ([f"removed, not in the backup: key {k}" for k in sorted(removed - backed_up)] +
                [f"in the backup, not removed: key {k}" for k in sorted(backed_up - removed)] +
                [f"removed, not in the backup: value {k} {n}" for k, n in sorted(removed_pairs - pairs)] +
                [f"in the backup, not removed: value {k} {n}" for k, n in sorted(pairs - removed_pairs)])
    print(f"backup: {len(backed_up)} keys and {len(pairs)} values; removed: {len(removed)} keys and "
          f"{len(removed_pairs)} values; {len(problems)} differences")
    for p in problems[:40]:
        print("  " + p)
    return 1 if problems else 0


def ids(findings_path):
    for f in json.load(open(findings_path, encoding="utf-8"))["findings"]:
        value = f["value"]["name"] if f.get("kind") != "KEY" and f.get("value") else ""
        print(f["id"], f["category"], f["keyPath"], value)


def count(findings_path):
    report = json.load(open(findings_path, encoding="utf-8"))
    shortcuts = report.get("shortcuts", {}).get("missing", [])
    print(len(report["findings"]), len(shortcuts))


def main(argv):
    if len(argv) == 4 and argv[1] == "screen":
        screen(argv[2], argv[3])
        return 0
    if len(argv) in (5, 6) and argv[1] == "fix-diff":
        return fix_diff(*argv[2:])
    if len(argv) == 5 and argv[1] == "backup-diff":
        return backup_diff(argv[2], argv[3], argv[4])
    if len(argv) == 3 and argv[1] == "ids":
        ids(argv[2])
        return 0
    if len(argv) == 4 and argv[1] == "same":
        return same(argv[2], argv[3])
    if len(argv) == 4 and argv[1] == "main":
        return main_window(argv[2], argv[3])
    if len(argv) == 3 and argv[1] == "count":
        count(argv[2])
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
