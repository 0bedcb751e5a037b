#!/usr/bin/env python3
"""Writes the sample packages of this folder and the fuzzers' seeds (run from this folder).

valid.scr         a pretend program followed by a package: two pictures, settings, UI
pipe-marker.scr   the same package behind a stray '|' right before the marker
truncated.scr     valid.scr cut inside the files container (the second picture is short)
huge-count.scr    a package whose count and first size are far beyond the file
hostile-names.scr names that try to leave the run's folder
no-package.bin    no marker at all
"""
import struct

MARKER = bytes(c + 1 for c in b"{VERESROURCE}")


def container(records):
    out = MARKER + struct.pack("<I", len(records))
    for r in records:
        out += struct.pack("<I", len(r)) + r
    return out


def package(files, file_list, settings, ui=b"[UI]\r\nUIFile=VEGUI.veu\r\n", gui=b"object MainWindow\r\nend\r\n"):
    names = b"".join(n + b"\r\n" for n, _ in files)
    return container([container([file_list, settings, ui]), names, container([c for _, c in files]), gui])


PROGRAM = b"\x7fELF pretend program image " + b"{VERESROURCE}" + b"\0" * 32
FILES = [(b"VEImage0.vep", b"vep-bytes"), (b"C:\\Work\\Beach.jpg", b"\xff\xd8jpeg-bytes\xff\xd9")]
LIST = b"[FileListHeader]\r\nHeader=x\r\n[FileList]\r\nVEImage0.vep=1\r\nBeach.jpg=0\r\n"
SETTINGS = (b"[General]\r\nProductName=Sample\r\n[Default]\r\nDuration=12\r\nTransitionEffects=1,5,9\r\n"
            b"ShowImageMode=1\r\n[Advance]\r\nPreviewFile=Beach.jpg\r\n")

valid = PROGRAM + package(FILES, LIST, SETTINGS)
samples = {
    "valid.scr": valid,
    "pipe-marker.scr": PROGRAM + b"|" + package(FILES, LIST, SETTINGS),
    "truncated.scr": valid[:-40],
    "huge-count.scr": PROGRAM + MARKER + struct.pack("<II", 0xFFFFFFFF, 0xFFFFFF00) + b"short",
    "hostile-names.scr": PROGRAM + package(
        [(b"..\\..\\up.jpg", b"1"), (b"../../up2.jpg", b"2"), (b"..", b"3"), (b"", b"4"),
         (b"VEFiles.res", b"5"), (b"ok.jpg", b"6")], b"[FileList]\r\nok.jpg=1\r\n", b""),
    "no-package.bin": PROGRAM,
}
for name, data in samples.items():
    open(name, "wb").write(data)

open("../fuzz/fuzz_container/valid", "wb").write(valid)
open("../fuzz/fuzz_container/hostile", "wb").write(samples["hostile-names.scr"])
open("../fuzz/fuzz_ini/settings", "wb").write(SETTINGS + LIST)
open("../fuzz/fuzz_ini/user", "wb").write(
    b"[Setting]\r\nImageMode=2\r\nSpeed=12\r\n[MusicList]\r\n/m/a.mp3=\r\n[Files]\r\n1=\r\n")
open("../fuzz/fuzz_settings/mode2", "wb").write(
    container([LIST, SETTINGS, b"[UI]\r\n"]) + b"\0[Setting]\r\nImageMode=2\r\n[Files]\r\n0=\r\n")
open("../fuzz/fuzz_settings/mode3", "wb").write(
    container([LIST, SETTINGS, b"[UI]\r\n", b"x"]) + b"\0[Setting]\r\nImageMode=3\r\nIndex=1\r\nCustomMusic=1\r\n")
