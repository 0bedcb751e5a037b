#!/usr/bin/env python3
"""Writes the demo saver's VEGUI.veu from the window texts beside this script: for each
window its form text, its actions and the one-line designer block, with the line counts
the file format wants, CR LF line ends, Windows-1252 bytes.

usage: make_vegui.py OUT.veu          writes the file
       make_vegui.py --check FILE.veu  fails unless FILE.veu is what would be written"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# (control, kind, first parameter) per window. Kinds: 0 open an address, 1 show a window,
# 2 next, 3 previous, 4 preview, 5 settings, 6 close, 9 wallpaper.
WINDOWS = [
    ("MainWindow.txt", [
        ("btnNext", 2, ""), ("btnPrevious", 3, ""), ("btnPreview", 4, ""),
        ("btnSettings", 5, ""), ("btnWallpaper", 9, ""), ("btnClose", 6, ""),
        ("lblWebsite", 0, "<Website>"), ("lblAbout", 1, "About"), ("Preview", 4, ""),
    ]),
    ("About.txt", [("btnOk", 6, "")]),
]


def definitions():
    lines = [str(len(WINDOWS))]
    for name, actions in WINDOWS:
        with open(os.path.join(HERE, name), encoding="ascii") as f:
            form = f.read().splitlines()
        lines += [str(len(form))] + form
        action_lines = [str(len(actions))]
        for control, kind, param in actions:
            action_lines += [control, str(kind), param or " ", " ", " "]
        lines += [str(len(action_lines))] + action_lines
        lines += ["1", "Dummy"]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def main(args):
    if len(args) == 2 and args[0] == "--check":
        with open(args[1], "rb") as f:
            if f.read() != definitions():
                print(f"{args[1]} is not what {__file__} writes from the window texts; "
                      "run it again", file=sys.stderr)
                return 1
        return 0
    if len(args) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    with open(args[0], "wb") as f:
        f.write(definitions())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
