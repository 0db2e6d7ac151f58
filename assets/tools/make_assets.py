#!/usr/bin/python3
"""Draws every picture of Tessaro Kavelin into assets/.

Run from anywhere: /usr/bin/python3 assets/tools/make_assets.py
Needs: python3-fonttools, libharfbuzz-bin (hb-shape), fonts-inter,
librsvg2-bin (rsvg-convert, for the PNG icon sizes).
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import art  # noqa: E402
import info_art  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def out(rel):
    path = os.path.join(ROOT, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def main():
    for name, fn in art.ALL + [("info", info_art.info_pictures)]:
        for rel, svg in fn():
            svg.save(out(rel))
            print(rel)
    icon_pngs()


def icon_pngs():
    for size in (16, 22, 24, 32, 48, 64, 128, 256):
        src = out("icon/tessaro-kavelin-small.svg" if size <= 24 else "icon/tessaro-kavelin.svg")
        if not os.path.exists(src):
            continue
        dst = out(f"icon/tessaro-kavelin-{size}.png")
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", dst, src], check=True)
        print(os.path.relpath(dst, ROOT))


if __name__ == "__main__":
    main()
