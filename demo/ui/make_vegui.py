#!/usr/bin/env python3
"""Writes the demo saver's VEGUI.veu from the window texts beside this script: for each
window its form text, its actions and the one-line designer block, with the line counts
the file format wants, CR LF line ends, Windows-1252 bytes."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# (control, kind, first parameter) per window. Kinds: 0 open an address, 1 show a window,
# 2 next, 3 previous, 4 preview, 5 settings, 6 close, 9 wallpaper.
WINDOWS = [
    ("MainWindow.txt", [
        ("btnNext", 2, ""), ("btnPrevious", 3, ""), ("btnPreview", 4, ""),
        ("btnSettings", 5, ""), ("btnWallpaper", 9, ""), ("btnClose", 6, ""),
        ("lblWebsite", 0, "<Website>"), ("lblAbout", 1, "About"),
    ]),
    ("About.txt", [("btnOk", 6, "")]),
]


def main(out):
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
    with open(out, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main(sys.argv[1])
