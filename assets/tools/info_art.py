"""The seven pictures of the information page, 480 by 300 each: an
illustration above a caption."""

import math
import random

from svgkit import Svg, num, poly_d, text_width, wrap
import glyphs
from glyphs import place
import art
from art import (INK, NAVY0, NAVY1, NORMAL, ORANGE, ORANGE_D, ORANGE_L, ORANGE_P, PANEL,
                 WHITE, brand_mark, folder_shape, glass, _badge, draw_dialer, _shadowed_glyph)

W, H = 480, 300
AX, AY, AW, AH = 12, 10, 456, 186   # illustration area

INFO = [
    ("Tessaro Kavelin", "Your contacts, the business and PTCL directories, the dialer and reports in one desktop tool."),
    ("Personal Directory", "Keep your contacts in nested folders, find them in an instant and flag hot contacts for the tray menu."),
    ("Business Directory", "Search the online business directory and copy any listing straight into your own folders."),
    ("PTCL Telephone Directory", "Look up telephone numbers in the PTCL directory by number, or by name and address."),
    ("Dialer", "Ring any phone or mobile number through your modem or phone line, with the area code added for you."),
    ("Reports", "See a detail sheet of every entry and print lists of contacts and listings from report templates."),
    ("Backup & Updates", "Back up and restore your data in one step; new data and program updates install themselves."),
]


def card(s, n, title, text):
    s.rect(4, 5, 472, 292, 16, fill=NAVY0, fill_opacity=0.18)
    s.rect(3, 3.5, 474, 292, 17, fill=NAVY0, fill_opacity=0.10)
    s.rect(4, 2, 472, 292, 16, fill=s.lin(0, 2, 0, 294, [(0, WHITE), (1, "#E9EEF9")]), stroke=NAVY1, stroke_opacity=0.35, stroke_width=1)
    area = (f"M{AX + 11},{AY} H{AX + AW - 11} A11,11 0 0 1 {AX + AW},{AY + 11} V{AY + AH} H{AX} V{AY + 11} "
            f"A11,11 0 0 1 {AX + 11},{AY} Z")
    s.path(area, fill=s.lin(0, AY, 0, AY + AH, [(0, "#E6EDFB"), (1, "#C4D3F2")]))
    s.path(area, fill=s.rad(AX + AW - 70, AY + 30, 150, [(0, WHITE, 0.55), (0.6, WHITE, 0.12), (1, WHITE, 0)]))
    s.path(area, fill=s.rad(AX + 40, AY + AH, 120, [(0, WHITE, 0.35), (1, WHITE, 0)]))
    s.rect(AX, AY + AH - 1, AW, 1, fill=NAVY1, fill_opacity=0.12)
    # caption
    s.rect(26, 213, 4.5, 21, 2.2, fill=s.lin(0, 213, 0, 234, [(0, ORANGE_L), (1, ORANGE)]))
    size = 21.0
    while text_width(title, "display", size) > 420:
        size -= 0.5
    s.text(title, "display", size, 39, 231, fill=INK)
    s.text(f"{n + 1} / 7", "semibold", 10, 456, 230, "end", fill="#8A9AC2", tracking=0.5)
    tsize = 13.5
    lines = wrap(text, "regular", tsize, 424)
    while len(lines) > 2:
        tsize -= 0.25
        lines = wrap(text, "regular", tsize, 424)
    for i, ln in enumerate(lines):
        s.text(ln, "regular", tsize, 28, 258 + i * 19, fill="#4A5A82")


def tile(s, cx, cy, size, fn, hot=False):
    """A floating action tile with a colour icon (as on the directory pages)."""
    x, y = cx - size / 2, cy - size / 2
    r = size * 0.21
    s.rect(x, y + size * 0.05, size, size, r, fill=NAVY0, fill_opacity=0.18)
    top, bot, rim = ("#FFFDF7", "#FFC47E", ORANGE_D) if hot else ("#FFFFFF", "#D3DDF2", NAVY1)
    s.rect(x, y, size, size, r, fill=s.lin(0, y, 0, y + size, [(0, top), (1, bot)]), stroke=rim, stroke_width=1, stroke_opacity=0.5)
    k = size * 0.72 / 48
    s.group(transform=f"translate({num(cx - 24 * k)},{num(cy - 24 * k)}) scale({num(k)})")
    fn(s, NORMAL)
    s.end()


def avatar(s, cx, cy, r, col1="#7FA2EE", col2="#2C4FA8"):
    s.circle(cx, cy, r, fill=s.lin(0, cy - r, 0, cy + r, [(0, col1), (1, col2)]), stroke=WHITE, stroke_width=max(1, r * 0.12))
    place(s, glyphs.person(), cx - r * 0.66, cy - r * 0.72, r * 1.32, fill=WHITE)


def bars(s, x, y, widths, h=5, gap=9, col="#AAB8D8"):
    for i, w in enumerate(widths):
        s.rect(x, y + i * gap, w, h, h / 2, fill=col)


def mini_window(s, x, y, w, h):
    s.rect(x + 2, y + 4, w, h, 9, fill=NAVY0, fill_opacity=0.2)
    s.rect(x, y, w, h, 9, fill=PANEL, stroke=NAVY0, stroke_width=1, stroke_opacity=0.6)
    s.path(f"M{num(x + 9)},{num(y)} H{num(x + w - 9)} A9,9 0 0 1 {num(x + w)},{num(y + 9)} V{num(y + 44)} H{num(x)} V{num(y + 9)} A9,9 0 0 1 {num(x + 9)},{num(y)} Z",
           fill=s.lin(0, y, 0, y + 44, [(0, "#2C4279"), (1, NAVY1)]))
    s.rect(x, y + 20, w, 1.2, fill=ORANGE)
    brand_mark(s, x + 7, y + 4, 13)
    s.rect(x + 25, y + 7.5, 52, 5, 2.5, fill=WHITE, fill_opacity=0.8)
    for i in range(3):
        s.rect(x + 6 + i * 38, y + 27, 35, 12, 4, fill=ORANGE if i == 0 else "#4B64A2", stroke=NAVY0, stroke_width=0.6, stroke_opacity=0.6)
        s.rect(x + 12 + i * 38, y + 31.5, 23, 3, 1.5, fill=WHITE, fill_opacity=0.85)
    for i in range(2):
        s.circle(x + w - 14 - i * 11, y + 33, 4.5, fill="#4B64A2", stroke=NAVY0, stroke_width=0.6, stroke_opacity=0.6)


def pic_overview(s):
    x, y, w, h = 158, 26, 170, 150
    mini_window(s, x, y, w, h)
    s.rect(x + 7, y + 51, 118, h - 58, 4, fill=WHITE)
    for i in range(4):
        ry = y + 56 + i * 22
        if i == 1:
            s.rect(x + 8, ry - 3, 116, 20, 2, fill="#3875D7")
        avatar(s, x + 19, ry + 7, 7)
        bars(s, x + 31, ry + 1, [56 - i * 6, 38], h=4, gap=7, col=WHITE if i == 1 else "#AAB8D8")
    for i, fn in enumerate((art.icon_deskphone, art.icon_envelope, art.icon_report)):
        tile(s, x + w - 22, y + 66 + i * 29, 25, fn)
    # what it reaches out to
    tile(s, 92, 62, 54, art.icon_envelope)
    tile(s, 80, 140, 54, art.icon_globe)
    tile(s, 394, 62, 54, art.icon_mobile, hot=True)
    tile(s, 404, 140, 54, art.icon_report)
    for (x1, y1, x2, y2) in ((122, 70, 156, 86), (110, 134, 156, 126), (364, 70, 330, 86), (374, 134, 330, 126)):
        s.line(x1, y1, x2, y2, stroke=PANEL, stroke_width=1.6, stroke_dasharray="3,3", stroke_opacity=0.7, stroke_linecap="round")


def tree_row(s, x, y, w, indent, title_w, sel=False, open_=False):
    if sel:
        s.rect(x, y, w, 21, 0, fill="#3875D7")
    folder_shape(s, NORMAL, x + 6 + indent, y + 3.5, 17, 14, open_=open_)
    s.rect(x + 29 + indent, y + 8, title_w, 5, 2.5, fill=WHITE if sel else "#8E9CC0")


def pic_personal(s):
    x, y, w = 40, 26, 168
    s.rect(x + 2, y + 4, w, 150, 6, fill=NAVY0, fill_opacity=0.15)
    s.rect(x, y, w, 150, 6, fill=WHITE, stroke=NAVY1, stroke_width=1, stroke_opacity=0.3)
    s.path(f"M{x + 6},{y} H{x + w - 6} A6,6 0 0 1 {x + w},{y + 6} V{y + 20} H{x} V{y + 6} A6,6 0 0 1 {x + 6},{y} Z", fill="#DCE4F5")
    s.text("Folders", "semibold", 10, x + 10, y + 14, fill=INK)
    rows = [(0, 44, False, False), (0, 56, False, True), (14, 48, True, False), (14, 60, False, False), (28, 40, False, False), (0, 52, False, False)]
    for i, (ind, tw, sel, op) in enumerate(rows):
        tree_row(s, x + 1, y + 23 + i * 21, w - 2, ind, tw, sel, op)
    # contact cards
    for k, (cx, cy, hot) in enumerate(((318, 70, False), (348, 120, True))):
        s.rect(cx - 86, cy - 32 + 4, 172, 66, 10, fill=NAVY0, fill_opacity=0.16)
        s.rect(cx - 86, cy - 32, 172, 66, 10, fill=s.lin(0, cy - 32, 0, cy + 34, [(0, WHITE), (1, "#EEF2FB")]), stroke=NAVY1, stroke_width=1, stroke_opacity=0.3)
        avatar(s, cx - 58, cy + 1, 19, *(("#FFBD5E", "#E06E00") if hot else ("#7FA2EE", "#2C4FA8")))
        s.rect(cx - 30, cy - 18, 92 if not hot else 80, 7, 3.5, fill=INK)
        place(s, glyphs.handset(), cx - 31, cy - 5, 10, fill=PANEL)
        s.rect(cx - 18, cy - 2, 62, 4.5, 2.2, fill="#AAB8D8")
        place(s, glyphs.person(), cx - 31, cy + 8, 10, fill=PANEL)
        s.rect(cx - 18, cy + 11, 80, 4.5, 2.2, fill="#AAB8D8")
        if hot:
            _star(s, cx + 72, cy - 30, 13)


def _star(s, cx, cy, r):
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        rr = r if i % 2 == 0 else r * 0.45
        pts.append((cx + math.cos(a) * rr, cy + math.sin(a) * rr))
    s.path(poly_d(pts), fill=s.lin(0, cy - r, 0, cy + r, [(0, "#FFE07A"), (1, "#F29A00")]), stroke=ORANGE_D, stroke_width=1.2, stroke_linejoin="round")


def pic_business(s):
    # skyline
    rnd = random.Random(7)
    for layer, (col, base, hmin, hmax, op) in enumerate((("#9FB3E0", AY + AH, 50, 95, 0.9), ("#6E86C2", AY + AH, 30, 70, 1.0))):
        x = AX + (6 if layer else 0)
        while x < AX + AW - 14:
            bw = min(rnd.randint(22, 40), AX + AW - 2 - x)
            bh = rnd.randint(hmin, hmax)
            top = base - bh
            s.path(f"M{x},{base} V{top + 3} Q{x},{top} {x + 3},{top} H{x + bw - 3} Q{x + bw},{top} {x + bw},{top + 3} V{base} Z", fill=col, fill_opacity=op)
            if layer:
                for wy in range(int(top) + 7, int(base) - 6, 9):
                    for wx in range(x + 5, x + bw - 6, 8):
                        s.rect(wx, wy, 4, 4, 0.8, fill=WHITE, fill_opacity=0.55 if rnd.random() > 0.3 else 0.95)
            x += bw + rnd.randint(3, 9)
    s.rect(AX, AY + AH - 3, AW, 3, fill="#4B64A2")
    # search bar
    x, y = 58, 30
    s.rect(x + 1, y + 3, 250, 34, 17, fill=NAVY0, fill_opacity=0.15)
    s.rect(x, y, 250, 34, 17, fill=WHITE, stroke=NAVY1, stroke_width=1, stroke_opacity=0.35)
    place(s, glyphs.magnifier(), x + 12, y + 8, 18, fill=PANEL, fill_rule="evenodd")
    s.text("Restaurants, Lahore", "medium", 13.5, x + 38, y + 22, fill="#5A6A90")
    s.rect(x + 178, y + 4, 68, 26, 13, fill=s.lin(0, y + 4, 0, y + 30, [(0, "#FFBD5E"), (1, "#E67600")]))
    s.text("Search", "bold", 12, x + 212, y + 21.5, "middle", fill=WHITE)
    # listing card
    cx, cy = 340, 96
    s.rect(cx - 92, cy - 34 + 4, 184, 70, 10, fill=NAVY0, fill_opacity=0.18)
    s.rect(cx - 92, cy - 34, 184, 70, 10, fill=WHITE, stroke=NAVY1, stroke_width=1, stroke_opacity=0.3)
    s.group(transform=f"translate({cx - 84},{cy - 24}) scale(2)")
    art.building24(s)
    s.end()
    s.rect(cx - 28, cy - 20, 96, 7, 3.5, fill=INK)
    bars(s, cx - 28, cy - 4, [108, 80, 92], h=4.5, gap=10)
    tile(s, cx + 94, cy + 38, 46, art.icon_copyfolder, hot=True)


def pic_ptcl(s):
    # open phone book
    bx, by, pw, ph = 46, 30, 108, 142
    s.path(f"M{bx - 4},{by + ph + 6} H{bx + 2 * pw + 4} V{by + 8} H{bx - 4} Z", fill=ORANGE_D)
    s.rect(bx - 6, by + 4, 2 * pw + 12, ph + 8, 6, fill=s.lin(0, by, 0, by + ph + 12, [(0, "#F59A2A"), (1, "#D26400")]))
    for side in (0, 1):
        px = bx + side * pw
        s.rect(px, by, pw, ph, 3, fill=s.lin(px, 0, px + pw, 0, [(0, "#F4F6FB" if side else WHITE), (1, WHITE if side else "#E9EDF6")]),
               stroke=NAVY1, stroke_width=0.8, stroke_opacity=0.25)
        for i in range(8):
            ly = by + 14 + i * 15.5
            s.rect(px + 10, ly, 44 - (i * 7 % 18), 4.5, 2.2, fill="#7F8FB8")
            s.rect(px + pw - 44, ly, 34, 4.5, 2.2, fill="#C2CCE4")
    s.rect(bx + pw - 1, by, 2, ph, fill=NAVY1, fill_opacity=0.25)
    for i, ch in enumerate("ABCDE"):
        ty = by + 10 + i * 26
        s.rect(bx + 2 * pw - 1, ty, 14, 22, 3, fill=["#5B7DD3", "#7E9DE8", "#9DB8F4", "#5B7DD3", "#7E9DE8"][i])
        s.text(ch, "bold", 10, bx + 2 * pw + 6, ty + 15, "middle", fill=WHITE)
    _badge(s, bx + 2 * pw - 4, by + ph - 12, 26, "phone")
    # search boxes
    fx, fy = 300, 36
    for i, (label, value) in enumerate((("Phone #", "5551234"), ("Name", "Ahmed"), ("Address", "Gulberg"))):
        y = fy + i * 44
        s.text(label, "semibold", 11.5, fx, y + 10, fill=INK)
        s.rect(fx, y + 15, 146, 22, 5, fill=WHITE, stroke=NAVY1, stroke_width=1, stroke_opacity=0.35)
        s.text(value, "medium", 12, fx + 8, y + 30.5, fill="#5A6A90")
        if i < 2:
            s.rect(fx + 124, y + 17, 20, 18, 4, fill=s.lin(0, y + 17, 0, y + 35, [(0, "#FFBD5E"), (1, "#E67600")]))
            place(s, glyphs.magnifier(), fx + 127.5, y + 19.5, 13, fill=WHITE, fill_rule="evenodd")


def pic_dialer(s):
    k = 0.5
    dx, dy = 64, 30
    s.rect(dx + 3, dy + 5, 440 * k, 292 * k, 4, fill=NAVY0, fill_opacity=0.22)
    s.group(transform=f"translate({dx},{dy}) scale({k})")
    draw_dialer(s)
    s.text("Acme Trading Co.", "bold", 20, 52, 34, fill=WHITE)
    s.text("042+5551234", "bold", 23, 38, 109, fill=NAVY1)
    s.rect(250, 86, 18, 29, 3, fill="#C9D5EE")
    s.text("Dialing...", "bold", 16, 34, 164, fill=ORANGE_P)
    for i, lab in enumerate(("Use Area Code", "Auto Dial")):
        s.rect(32, 196 + 21 * i, 13, 13, 2, fill=WHITE)
        s.text(lab, "medium", 12, 49, 208 + 21 * i, fill=WHITE)
    s.path("M34.5,202.5 L37.5,205.5 L42.5,199", fill="none", stroke=NAVY1, stroke_width=2, stroke_linecap="round", stroke_linejoin="round")
    for bx, by, scheme, rot in ((387, 5, "dark", None), (304, 200, "green", 0), (360, 200, "red", 135)):
        s.group(transform=f"translate({bx},{by})")
        glass(s, 1.5, 1.5, 42, 38, 10, scheme)
        if rot is None:
            _shadowed_glyph(s, glyphs.cross(2.8, 5.4), 11, 9, 23, rule="nonzero")
        else:
            s.group(transform=f"rotate({rot} 22.5 20)")
            _shadowed_glyph(s, glyphs.handset(), 11, 8.5, 23)
            s.end()
        s.end()
    s.end()
    # the call going out
    cx, cy = 330, 104
    for i, r in enumerate((18, 32, 46)):
        s.path(f"M{num(cx + r * 0.5)},{num(cy - r * 0.87)} A{r},{r} 0 0 1 {num(cx + r * 0.5)},{num(cy + r * 0.87)}",
               fill="none", stroke=ORANGE, stroke_width=3.2, stroke_opacity=0.85 - i * 0.22, stroke_linecap="round")
    tile(s, 408, 104, 64, art.icon_mobile, hot=True)


def pic_reports(s):
    cx, cy = 200, 104
    for ang, dx, op in ((-9, -34, 0.8), (7, 34, 0.9)):
        s.group(transform=f"rotate({ang} {cx + dx} {cy})")
        s.rect(cx + dx - 56, cy - 74, 112, 150, 5, fill="#F3F6FC", stroke=NAVY1, stroke_width=1, stroke_opacity=0.3)
        bars(s, cx + dx - 44, cy - 60, [60, 80, 70, 84, 50, 76, 66, 80, 58, 72, 44], h=4, gap=12, col="#C7D1E8")
        s.end()
    x, y, w, h = cx - 64, cy - 82, 128, 166
    s.rect(x + 3, y + 5, w, h, 5, fill=NAVY0, fill_opacity=0.2)
    s.path(f"M{x},{y + 5} A5,5 0 0 1 {x + 5},{y} H{x + w - 18} L{x + w},{y + 18} V{y + h - 5} A5,5 0 0 1 {x + w - 5},{y + h} H{x + 5} A5,5 0 0 1 {x},{y + h - 5} Z",
           fill=WHITE, stroke=NAVY1, stroke_width=1, stroke_opacity=0.4)
    s.path(f"M{x + w - 18},{y} V{y + 14} A4,4 0 0 0 {x + w - 14},{y + 18} H{x + w} Z", fill="#DDE5F5", stroke=NAVY1, stroke_width=1, stroke_opacity=0.4)
    s.rect(x + 12, y + 12, 62, 8, 3, fill=ORANGE)
    # table
    ty = y + 30
    s.rect(x + 12, ty, w - 24, 13, 2, fill="#4B64A2")
    for c in range(3):
        s.rect(x + 16 + c * 34, ty + 4.5, 22, 4, 2, fill=WHITE, fill_opacity=0.9)
    for r in range(5):
        yy = ty + 15 + r * 12
        if r % 2 == 0:
            s.rect(x + 12, yy, w - 24, 12, 0, fill="#EEF2FB")
        for c in range(3):
            s.rect(x + 16 + c * 34, yy + 4, 18 + (r * 5 + c * 7) % 10, 3.5, 1.7, fill="#97A6CB")
    # chart
    by = y + h - 16
    for i, (bh, col) in enumerate(((22, "#4B64A2"), (34, "#7E9DE8"), (28, "#4B64A2"), (44, ORANGE), (38, "#7E9DE8"))):
        s.rect(x + 18 + i * 19, by - bh, 12, bh, 1.5, fill=col)
    s.rect(x + 12, by, w - 24, 1.4, fill=INK, fill_opacity=0.6)
    # badge and printer hint
    s.circle(x + w - 6, y + h - 12, 22, fill=s.lin(0, y + h - 34, 0, y + h + 10, [(0, "#FFBD5E"), (1, "#E06E00")]), stroke=WHITE, stroke_width=2.5)
    s.text("RTF", "extrabold", 13, x + w - 6, y + h - 7.5, "middle", fill=WHITE)
    tile(s, 384, 70, 60, art.icon_report)
    tile(s, 384, 144, 48, art.icon_envelope)


def pic_backup(s):
    # database with circular arrows
    cx, cy = 132, 100
    ring_r = 66
    for a0, a1 in ((200, 340), (20, 160)):
        p0 = (cx + ring_r * math.cos(math.radians(a0)), cy + ring_r * math.sin(math.radians(a0)))
        p1 = (cx + ring_r * math.cos(math.radians(a1)), cy + ring_r * math.sin(math.radians(a1)))
        s.path(f"M{num(p0[0])},{num(p0[1])} A{ring_r},{ring_r} 0 0 1 {num(p1[0])},{num(p1[1])}", fill="none", stroke=ORANGE, stroke_width=7, stroke_linecap="round")
        # arrow head at p1, along the tangent
        t = math.radians(a1 + 90)
        tx, ty = math.cos(t), math.sin(t)
        nx, ny = -ty, tx
        tip = (p1[0] + tx * 10, p1[1] + ty * 10)
        b1 = (p1[0] + nx * 10, p1[1] + ny * 10)
        b2 = (p1[0] - nx * 10, p1[1] - ny * 10)
        s.path(f"M{num(tip[0])},{num(tip[1])} L{num(b1[0])},{num(b1[1])} L{num(b2[0])},{num(b2[1])} Z", fill=ORANGE, stroke=ORANGE, stroke_width=2, stroke_linejoin="round")
    w, top = 64, cy - 40
    body = s.lin(cx - w / 2, 0, cx + w / 2, 0, [(0, "#2C4FA8"), (0.35, "#7FA2EE"), (1, "#22408F")])
    for i in range(3):
        y0 = top + i * 26
        s.path(f"M{cx - w / 2},{y0 + 8} V{y0 + 30} A{w / 2},9 0 0 0 {cx + w / 2},{y0 + 30} V{y0 + 8} Z", fill=body, stroke=NAVY1, stroke_width=1, stroke_opacity=0.6)
    s.ellipse(cx, top + 8, w / 2, 9, fill=s.lin(0, top, 0, top + 17, [(0, "#C9DAFF"), (1, "#7FA2EE")]), stroke=NAVY1, stroke_width=1, stroke_opacity=0.6)
    # cloud with download arrow
    ux, uy = 340, 64
    s.path(f"M{ux - 62},{uy + 30} C{ux - 84},{uy + 30} {ux - 84},{uy} {ux - 60},{uy - 2} C{ux - 56},{uy - 28} {ux - 20},{uy - 34} {ux - 6},{uy - 14} "
           f"C{ux + 12},{uy - 34} {ux + 50},{uy - 24} {ux + 48},{uy + 2} C{ux + 72},{uy + 4} {ux + 70},{uy + 30} {ux + 48},{uy + 30} Z",
           fill=s.lin(0, uy - 34, 0, uy + 30, [(0, WHITE), (1, "#DCE5F6")]), stroke=NAVY1, stroke_width=1.2, stroke_opacity=0.35)
    s.path(f"M{ux - 7},{uy - 14} H{ux + 7} V{uy + 4} H{ux + 16} L{ux},{uy + 22} L{ux - 16},{uy + 4} H{ux - 7} Z",
           fill=s.lin(0, uy - 14, 0, uy + 22, [(0, "#7FA2EE"), (1, "#2C4FA8")]), stroke=NAVY1, stroke_width=1, stroke_opacity=0.5, stroke_linejoin="round")
    # the update window's progress bar
    px, py, pw, ph = 250, 112, 190, 66
    s.rect(px + 2, py + 4, pw, ph, 8, fill=NAVY0, fill_opacity=0.2)
    s.rect(px, py, pw, ph, 8, fill=PANEL, stroke=NAVY0, stroke_width=1, stroke_opacity=0.5)
    s.text("Updating Data", "bold", 13, px + 12, py + 22, fill=WHITE)
    s.rect(px + 10, py + 32, pw - 20, 24, 4, fill="#46598C")
    s.rect(px + 10, py + 32, (pw - 20) * 0.72, 24, 4, fill=s.lin(0, py + 32, 0, py + 56, [(0, "#FFDBB3"), (1, "#F28000")]))
    s.text("72%", "bold", 12, px + pw / 2, py + 48.5, "middle", fill=WHITE)


PICS = [pic_overview, pic_personal, pic_business, pic_ptcl, pic_dialer, pic_reports, pic_backup]


def info_pictures():
    res = []
    for n, ((title, text), fn) in enumerate(zip(INFO, PICS)):
        s = Svg(W, H, title)
        card(s, n, title, text)
        fn(s)
        res.append((f"info/info_{n}.svg", s))
    return res
