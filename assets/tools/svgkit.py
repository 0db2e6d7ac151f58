"""Small SVG writing kit for the program's artwork: documents, gradients,
shapes and text turned into outlines (so the pictures look the same on every
machine, whatever fonts it has).

Only features that Qt SVG renders are produced: paths, basic shapes, linear
and radial gradients, opacity attributes and transforms. No filters, masks,
clip paths or CSS.
"""

import functools
import json
import math
import subprocess

from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont

INTER = "/usr/share/fonts/opentype/inter/"
FONTS = {
    "regular": INTER + "Inter-Regular.otf",
    "medium": INTER + "Inter-Medium.otf",
    "semibold": INTER + "Inter-SemiBold.otf",
    "bold": INTER + "Inter-Bold.otf",
    "extrabold": INTER + "Inter-ExtraBold.otf",
    "display": INTER + "InterDisplay-Bold.otf",
    "display-black": INTER + "InterDisplay-Black.otf",
    "display-semibold": INTER + "InterDisplay-SemiBold.otf",
}


def num(v):
    """Shortest decimal text of a coordinate (two decimals at most)."""
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


@functools.lru_cache(maxsize=None)
def _font(weight):
    f = TTFont(FONTS[weight])
    return f.getGlyphSet(), f["head"].unitsPerEm


@functools.lru_cache(maxsize=None)
def _shape(weight, text):
    out = subprocess.run(
        ["hb-shape", "--output-format=json", "--font-file=" + FONTS[weight], "--text=" + text],
        check=True, capture_output=True, text=True).stdout
    return tuple((g["g"], g["ax"], g["dx"], g["dy"]) for g in json.loads(out))


def text_width(text, weight, size, tracking=0.0):
    _, upem = _font(weight)
    glyphs = _shape(weight, text)
    return sum(g[1] for g in glyphs) * size / upem + tracking * max(0, len(glyphs) - 1)


def text_d(text, weight, size, x, y, anchor="start", tracking=0.0):
    """Outline path data of a line of text whose baseline starts (or is centred
    or ends, by anchor) at x, y."""
    gs, upem = _font(weight)
    s = size / upem
    w = text_width(text, weight, size, tracking)
    pen_x = x - (w / 2 if anchor == "middle" else w if anchor == "end" else 0)
    pen = SVGPathPen(gs, ntos=num)
    for name, ax, dx, dy in _shape(weight, text):
        gs[name].draw(TransformPen(pen, (s, 0, 0, -s, pen_x + dx * s, y - dy * s)))
        pen_x += ax * s + tracking
    return pen.getCommands()


def wrap(text, weight, size, width):
    """Greedy line breaking of text into lines no wider than width."""
    lines, cur = [], ""
    for word in text.split():
        cand = word if not cur else cur + " " + word
        if cur and text_width(cand, weight, size) > width:
            lines.append(cur)
            cur = word
        else:
            cur = cand
    if cur:
        lines.append(cur)
    return lines


def attrs(**kw):
    parts = []
    for k, v in kw.items():
        if v is None:
            continue
        k = k.rstrip("_").replace("_", "-")
        if k == "xlink-href":
            k = "xlink:href"
        parts.append(f'{k}="{num(v) if isinstance(v, float) else v}"')
    return " ".join(parts)


def rrect_d(x, y, w, h, r):
    """Rounded rectangle as path data (used where a path is needed)."""
    r = min(r, w / 2, h / 2)
    return (f"M{num(x + r)},{num(y)}H{num(x + w - r)}A{num(r)},{num(r)} 0 0 1 {num(x + w)},{num(y + r)}"
            f"V{num(y + h - r)}A{num(r)},{num(r)} 0 0 1 {num(x + w - r)},{num(y + h)}"
            f"H{num(x + r)}A{num(r)},{num(r)} 0 0 1 {num(x)},{num(y + h - r)}"
            f"V{num(y + r)}A{num(r)},{num(r)} 0 0 1 {num(x + r)},{num(y)}Z")


def circle_d(cx, cy, r):
    return (f"M{num(cx - r)},{num(cy)}A{num(r)},{num(r)} 0 1 0 {num(cx + r)},{num(cy)}"
            f"A{num(r)},{num(r)} 0 1 0 {num(cx - r)},{num(cy)}Z")


def poly_d(points, close=True):
    d = "M" + " L".join(f"{num(x)},{num(y)}" for x, y in points)
    return d + ("Z" if close else "")


def rotate_pt(x, y, cx, cy, deg):
    a = math.radians(deg)
    dx, dy = x - cx, y - cy
    return cx + dx * math.cos(a) - dy * math.sin(a), cy + dx * math.sin(a) + dy * math.cos(a)


class Svg:
    """One SVG document under construction."""

    def __init__(self, w, h, title=""):
        self.w, self.h, self.title = w, h, title
        self.defs, self.body = [], []
        self._n = 0

    def _id(self, p):
        self._n += 1
        return f"{p}{self._n}"

    def lin(self, x1, y1, x2, y2, stops, transform=None):
        """Linear gradient in user space; stops: (offset, colour[, opacity])."""
        gid = self._id("g")
        self.defs.append(f'<linearGradient {attrs(id=gid, gradientUnits="userSpaceOnUse", x1=float(x1), y1=float(y1), x2=float(x2), y2=float(y2), gradientTransform=transform)}>'
                         + self._stops(stops) + "</linearGradient>")
        return f"url(#{gid})"

    def rad(self, cx, cy, r, stops, fx=None, fy=None, transform=None):
        """Radial gradient in user space."""
        gid = self._id("r")
        self.defs.append(f'<radialGradient {attrs(id=gid, gradientUnits="userSpaceOnUse", cx=float(cx), cy=float(cy), r=float(r), fx=None if fx is None else float(fx), fy=None if fy is None else float(fy), gradientTransform=transform)}>'
                         + self._stops(stops) + "</radialGradient>")
        return f"url(#{gid})"

    @staticmethod
    def _stops(stops):
        out = []
        for s in stops:
            off, col = s[0], s[1]
            op = s[2] if len(s) > 2 else 1
            out.append(f'<stop offset="{num(off)}" stop-color="{col}"' + (f' stop-opacity="{num(op)}"' if op != 1 else "") + "/>")
        return "".join(out)

    def add(self, s):
        self.body.append(s)

    def path(self, d, **kw):
        self.add(f'<path d="{d}" {attrs(**kw)}/>')

    def rect(self, x, y, w, h, r=0, **kw):
        self.add(f'<rect {attrs(x=float(x), y=float(y), width=float(w), height=float(h), rx=float(r) if r else None, ry=float(r) if r else None, **kw)}/>')

    def circle(self, cx, cy, r, **kw):
        self.add(f'<circle {attrs(cx=float(cx), cy=float(cy), r=float(r), **kw)}/>')

    def ellipse(self, cx, cy, rx, ry, **kw):
        self.add(f'<ellipse {attrs(cx=float(cx), cy=float(cy), rx=float(rx), ry=float(ry), **kw)}/>')

    def line(self, x1, y1, x2, y2, **kw):
        self.add(f'<line {attrs(x1=float(x1), y1=float(y1), x2=float(x2), y2=float(y2), **kw)}/>')

    def text(self, text, weight, size, x, y, anchor="start", tracking=0.0, **kw):
        self.path(text_d(text, weight, size, x, y, anchor, tracking), **kw)

    def group(self, transform=None, opacity=None):
        self.add(f'<g {attrs(transform=transform, opacity=opacity)}>')

    def end(self):
        self.add("</g>")

    def shadow_rrect(self, x, y, w, h, r, spread=4, opacity=0.28, dy=2, colour="#0B1533"):
        """Soft drop shadow under a rounded rectangle: stacked, widening,
        nearly transparent copies (filters are not available)."""
        steps = max(1, int(spread))
        for i in range(steps, 0, -1):
            g = i * 1.0
            self.rect(x - g + 0.5, y - g + dy + 0.5, w + 2 * g - 1, h + 2 * g - 1, r + g,
                      fill=colour, fill_opacity=opacity / steps * 1.2 * (1 - (i - 1) / steps) + 0.004)

    def svg(self):
        head = (f'<?xml version="1.0" encoding="UTF-8"?>\n'
                f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
                f'version="1.2" baseProfile="tiny" width="{self.w}" height="{self.h}" viewBox="0 0 {self.w} {self.h}">\n')
        if self.title:
            t = self.title.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            head += f"<title>{t}</title>\n"
        defs = "<defs>\n" + "\n".join(self.defs) + "\n</defs>\n" if self.defs else ""
        return head + defs + "\n".join(self.body) + "\n</svg>\n"

    def save(self, path):
        with open(path, "w", encoding="utf-8") as f:
            f.write(self.svg())
