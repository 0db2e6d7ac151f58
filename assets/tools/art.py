"""The drawings themselves. Every function returns a list of (relative path,
Svg) pairs; ALL lists them in the order they are written."""

from svgkit import Svg, num, poly_d, rrect_d, text_width
import glyphs
from glyphs import place

# Palette: the panel colour and its darker and lighter relatives, and the
# orange accent of the program's progress bars.
NAVY0 = "#101B3A"
NAVY1 = "#1A2850"
NAVY2 = "#263A6B"
BLUE3 = "#34497F"
BLUE4 = "#42588F"
PANEL = "#536A9F"
BLUE6 = "#6F86BD"
BLUE7 = "#9AACD8"
PALE = "#D4DDF2"
ICE = "#EEF2FB"
ORANGE = "#F28000"
ORANGE_L = "#FFB347"
ORANGE_P = "#FFDBB3"
ORANGE_D = "#B35600"
WHITE = "#FFFFFF"
INK = "#1C2B55"

HEADER_H = 208
WELL_TOP, WELL_BOTTOM = 47, 151     # frame around the advertisement strip (49..149)
EDGE_W = 30
WELL_INSET = 14                      # frame starts 2 px outside the strip at x 16


# ---------------------------------------------------------------- header

def _header_bands(s, x0, x1):
    """The horizontally uniform layers of the header between x0 and x1."""
    w = x1 - x0
    s.rect(x0, 0, w, 45, fill=s.lin(0, 0, 0, 45, [(0, "#2C4279"), (1, NAVY1)]))
    s.rect(x0, 0, w, 18, fill=s.lin(0, 0, 0, 18, [(0, WHITE, 0.13), (1, WHITE, 0)]))
    s.rect(x0, 0, w, 1, fill=WHITE, fill_opacity=0.22)
    s.rect(x0, 45, w, 111, fill=s.lin(0, 45, 0, 156, [(0, "#2E4377"), (1, "#3E548B")]))
    s.rect(x0, 44, w, 1, fill=NAVY0, fill_opacity=0.6)
    s.rect(x0, 45, w, 1.6, fill=s.lin(0, 45, 0, 46.6, [(0, ORANGE_L), (1, ORANGE)]))
    s.rect(x0, 156, w, 52, fill=s.lin(0, 156, 0, 208, [(0, "#4A609A"), (0.7, PANEL), (1, PANEL)]))
    s.rect(x0, 155, w, 1, fill=NAVY0, fill_opacity=0.35)
    s.rect(x0, 156, w, 1, fill=WHITE, fill_opacity=0.20)


def _well(s, x0, x1, round_left, round_right):
    """Recessed frame around the advertisement strip, from x0 to x1."""
    r = 5
    top, bot = WELL_TOP, WELL_BOTTOM

    def shape(dx, dy, inset):
        l = x0 + inset if round_left else x0 - 10
        rr = x1 - inset if round_right else x1 + 10
        return rrect_d(l + dx, top + inset + dy, rr - l, bot - top - 2 * inset, max(0.5, r - inset))
    s.path(shape(0, 1, 0), fill=WHITE, fill_opacity=0.22)        # light lower lip
    s.path(shape(0, 0, 0), fill=NAVY0, fill_opacity=0.85)        # dark rim
    s.path(shape(0, 0, 1), fill=PANEL)                            # the strip's own colour


def header_pictures():
    tile = Svg(16, HEADER_H, "Header background tile")
    _header_bands(tile, 0, 16)
    _well(tile, 0, 16, False, False)

    left = Svg(EDGE_W, HEADER_H, "Header left edge")
    _header_bands(left, 0, EDGE_W)
    _well(left, WELL_INSET, EDGE_W, True, False)
    left.rect(0, 0, 1, HEADER_H, fill=WHITE, fill_opacity=0.10)

    right = Svg(EDGE_W, HEADER_H, "Header right edge")
    _header_bands(right, 0, EDGE_W)
    _well(right, 0, EDGE_W - WELL_INSET, False, True)
    right.rect(EDGE_W - 1, 0, 1, HEADER_H, fill=NAVY0, fill_opacity=0.25)
    return [("header/header_tile.svg", tile), ("header/header_left.svg", left),
            ("header/header_right.svg", right)]


# ---------------------------------------------------------------- brand mark

def brand_mark(s, x, y, size, detail=True):
    """The product's mark: an orange address book with index tabs and a
    contact on its cover. size is the width of the book with its tabs."""
    k = size / 48.0

    def X(v):
        return x + v * k

    def Y(v):
        return y + v * k
    # index tabs on the right edge
    tabs = [("#5B7DD3", 9), ("#9DB8F4", 19.5), (WHITE, 30)]
    for col, ty in tabs:
        s.rect(X(36), Y(ty), 11 * k, 8.5 * k, 2.6 * k, fill=col, stroke=NAVY1, stroke_width=0.8 * k, stroke_opacity=0.35)
    # cover
    if detail:
        s.rect(X(2), Y(4.5), 40 * k, 42 * k, 8 * k, fill=NAVY0, fill_opacity=0.25)
    s.rect(X(1), Y(2), 40 * k, 42 * k, 8 * k,
           fill=s.lin(X(1), Y(2), X(1), Y(44), [(0, "#FFB85A"), (0.55, "#F58A12"), (1, "#DB6A00")]),
           stroke=ORANGE_D, stroke_width=0.9 * k)
    # binding
    r = 8 * k
    s.path(f"M{num(X(1) + r)},{num(Y(2))} H{num(X(8.5))} V{num(Y(44))} H{num(X(1) + r)} "
           f"A{num(r)},{num(r)} 0 0 1 {num(X(1))},{num(Y(44) - r)} V{num(Y(2) + r)} A{num(r)},{num(r)} 0 0 1 {num(X(1) + r)},{num(Y(2))} Z",
           fill=ORANGE_D, fill_opacity=0.28)
    if detail:
        for ry in (9, 17, 25, 33):
            s.rect(X(3), Y(ry), 3.5 * k, 3 * k, 1.2 * k, fill=WHITE, fill_opacity=0.55)
    # gloss
    s.path(rrect_d(X(2.2), Y(3.2), 37.6 * k, 18 * k, 7 * k), fill=s.lin(0, Y(3), 0, Y(21), [(0, WHITE, 0.5), (1, WHITE, 0.04)]))
    # contact on the cover
    place(s, glyphs.person(), X(12), Y(11), 24 * k, fill=WHITE)


def logo():
    s = Svg(150, 100, "Tessaro Kavelin logo")
    s.rect(0, 0, 150, 100, fill=s.lin(0, 0, 0, 100, [(0, "#263B70"), (1, "#15224A")]))
    s.rect(0, 0, 150, 100, fill=s.rad(20, 0, 120, [(0, "#5A7BD0", 0.45), (1, "#5A7BD0", 0)]))
    s.rect(0, 0, 150, 1, fill=WHITE, fill_opacity=0.2)
    # right divider towards the banner
    s.rect(149, 0, 1, 100, fill=WHITE, fill_opacity=0.18)
    s.rect(148, 0, 1, 100, fill=NAVY0, fill_opacity=0.5)
    brand_mark(s, 51, 8, 48)
    name = "Tessaro Kavelin"
    size = 18.0
    while text_width(name, "display", size) > 134:
        size -= 0.25
    s.text(name, "display", size, 75, 72 + 1, "middle", fill=NAVY0, fill_opacity=0.6)
    s.text(name, "display", size, 75, 72, "middle", fill=WHITE)
    tag = "CONTACTS  \u00b7  DIRECTORIES"
    s.text(tag, "semibold", 7.2, 75, 87, "middle", tracking=0.9, fill=ORANGE_P)
    return [("header/tlogo.svg", s)]


def banner():
    s = Svg(600, 100, "Tessaro Kavelin banner")
    s.rect(0, 0, 600, 100, fill=PANEL)
    s.rect(0, 0, 600, 100, fill=s.lin(0, 0, 600, 0, [(0, PANEL, 0), (0.45, "#5B73AA"), (1, "#6A82BB")]))
    # decorative rings to the right
    for i, r in enumerate((40, 58, 76, 94, 112)):
        s.circle(520, 50, r, fill="none", stroke=WHITE, stroke_width=1.2, stroke_opacity=0.10 - i * 0.015)
    # headline
    s.text("Every number you need,", "display", 22, 26, 41, fill=NAVY0, fill_opacity=0.35, transform="translate(0,1)")
    s.text("Every number you need,", "display", 22, 26, 41, fill=WHITE)
    s.text("one click away.", "display", 22, 26, 66, fill=NAVY0, fill_opacity=0.35, transform="translate(0,1)")
    s.text("one click away.", "display", 22, 26, 66, fill=ORANGE_P)
    s.text("Personal, business and PTCL directories  \u00b7  Dialer  \u00b7  Reports", "medium", 11.5, 26, 86, fill=PALE)
    # three round badges: phone, mail, web
    for cx, cy, r, kind in ((455, 54, 25, "mail"), (555, 54, 25, "web"), (505, 48, 31, "phone")):
        _badge(s, cx, cy, r, kind)
    return [("header/tban.svg", s)]


def _badge(s, cx, cy, r, kind):
    s.circle(cx, cy + 2.5, r + 1.5, fill=NAVY0, fill_opacity=0.25)
    if kind == "phone":
        fill = s.lin(0, cy - r, 0, cy + r, [(0, "#FFC06A"), (0.55, "#F58A12"), (1, "#D96800")])
        rim = ORANGE_D
    else:
        fill = s.lin(0, cy - r, 0, cy + r, [(0, "#8EA6DE"), (0.55, "#4F68A8"), (1, "#33487F")])
        rim = NAVY1
    s.circle(cx, cy, r, fill=fill, stroke=rim, stroke_width=1)
    s.circle(cx, cy, r - 2, fill="none", stroke=WHITE, stroke_width=1, stroke_opacity=0.35)
    s.path(f"M{num(cx - r * 0.82)},{num(cy - r * 0.1)} A{num(r * 0.84)},{num(r * 0.84)} 0 0 1 {num(cx + r * 0.82)},{num(cy - r * 0.1)} "
           f"C{num(cx + r * 0.4)},{num(cy - r * 0.3)} {num(cx - r * 0.4)},{num(cy - r * 0.3)} {num(cx - r * 0.82)},{num(cy - r * 0.1)}Z",
           fill=WHITE, fill_opacity=0.30)
    g = r * 1.05
    if kind == "phone":
        place(s, glyphs.handset(), cx - g / 2, cy - g / 2, g, fill=WHITE)
    elif kind == "mail":
        _mono_envelope(s, cx, cy, g * 0.9)
    else:
        _mono_globe(s, cx, cy, g * 0.42)


def _mono_envelope(s, cx, cy, w):
    h = w * 0.68
    x, y = cx - w / 2, cy - h / 2
    s.rect(x, y, w, h, w * 0.08, fill=WHITE)
    s.path(f"M{num(x + w * 0.06)},{num(y + h * 0.1)} L{num(cx)},{num(y + h * 0.58)} L{num(x + w * 0.94)},{num(y + h * 0.1)}",
           fill="none", stroke=BLUE3, stroke_width=w * 0.07, stroke_linejoin="round", stroke_linecap="round")


def _mono_globe(s, cx, cy, r, col=WHITE, width=None):
    sw = width or r * 0.16
    s.circle(cx, cy, r, fill="none", stroke=col, stroke_width=sw)
    s.ellipse(cx, cy, r * 0.45, r, fill="none", stroke=col, stroke_width=sw)
    s.line(cx - r, cy, cx + r, cy, stroke=col, stroke_width=sw)
    s.path(f"M{num(cx - r * 0.86)},{num(cy - r * 0.5)} H{num(cx + r * 0.86)} M{num(cx - r * 0.86)},{num(cy + r * 0.5)} H{num(cx + r * 0.86)}",
           stroke=col, stroke_width=sw * 0.8, fill="none")


# ---------------------------------------------------------------- glass buttons

SCHEMES = {
    "blue": dict(rim=NAVY0, top="#6E87C2", mid="#4B64A2", bot="#30457C", gloss=0.42, text=WHITE),
    "orange": dict(rim="#8A4300", top="#FFC46E", mid="#F8961A", bot="#E06E00", gloss=0.50, text=WHITE),
    "red": dict(rim="#7A1D0A", top="#FF9A6E", mid="#EE5A2A", bot="#C8380F", gloss=0.45, text=WHITE),
    "green": dict(rim="#1D5A16", top="#8FE07A", mid="#3FB43A", bot="#23862A", gloss=0.45, text=WHITE),
    "green_hot": dict(rim="#1D5A16", top="#B5F5A0", mid="#55CC4B", bot="#2A9A31", gloss=0.55, text=WHITE),
    "red_hot": dict(rim="#7A1D0A", top="#FFB596", mid="#F8704A", bot="#D94418", gloss=0.55, text=WHITE),
    "dark": dict(rim=NAVY0, top="#3B538D", mid="#2A3E72", bot="#1D2D58", gloss=0.30, text=WHITE),
}


def glass(s, x, y, w, h, r, scheme, shadow=True):
    c = SCHEMES[scheme]
    if shadow:
        s.rect(x, y + 1.2, w, h, r, fill=NAVY0, fill_opacity=0.35)
    s.rect(x, y, w, h, r, fill=s.lin(0, y, 0, y + h, [(0, c["top"]), (0.5, c["mid"]), (1, c["bot"])]),
           stroke=c["rim"], stroke_width=1, stroke_opacity=0.9)
    s.rect(x + 1, y + 1, w - 2, h - 2, r - 1, fill="none", stroke=WHITE, stroke_width=1, stroke_opacity=0.22)
    gh = h * 0.48
    s.path(rrect_d(x + 1.5, y + 1.5, w - 3, gh, max(1, r - 1.5)),
           fill=s.lin(0, y + 1.5, 0, y + 1.5 + gh, [(0, WHITE, c["gloss"]), (1, WHITE, 0.05)]))


def glass_circle(s, cx, cy, r, scheme):
    c = SCHEMES[scheme]
    s.circle(cx, cy + 1.2, r, fill=NAVY0, fill_opacity=0.35)
    s.circle(cx, cy, r, fill=s.lin(0, cy - r, 0, cy + r, [(0, c["top"]), (0.5, c["mid"]), (1, c["bot"])]),
             stroke=c["rim"], stroke_width=1, stroke_opacity=0.9)
    s.circle(cx, cy, r - 1, fill="none", stroke=WHITE, stroke_width=1, stroke_opacity=0.22)
    s.ellipse(cx, cy - r * 0.42, r * 0.74, r * 0.46,
              fill=s.lin(0, cy - r * 0.9, 0, cy, [(0, WHITE, c["gloss"] + 0.05), (1, WHITE, 0.04)]))


def _shadowed_glyph(s, d, x, y, size, col=WHITE, shade=0.45, rule="evenodd"):
    place(s, d, x, y + 1, size, fill=NAVY0, fill_opacity=shade, fill_rule=rule,
          stroke=NAVY0, stroke_opacity=shade, stroke_width=0.6, stroke_linejoin="round")
    place(s, d, x, y, size, fill=col, fill_rule=rule, stroke=col, stroke_width=0.6, stroke_linejoin="round")


def mbil():
    captions = [("Personal Directory", glyphs.person()),
                ("Business Directory", glyphs.briefcase()),
                ("PTCL Directory", glyphs.handset())]
    res = []
    for tag, (cap, glyph) in enumerate(captions):
        for hot in (0, 1):
            s = Svg(155, 35, f"{cap} page button" + (" (highlighted)" if hot else ""))
            glass(s, 1.5, 1.5, 152, 31, 8, "orange" if hot else "blue")
            size = 12.5
            while text_width(cap, "semibold", size) > 112:
                size -= 0.25
            gx = (155 - (20 + 7 + text_width(cap, "semibold", size))) / 2
            _shadowed_glyph(s, glyph, gx, 7.5, 20)
            tx = gx + 27
            s.text(cap, "semibold", size, tx, 22 + 1, fill=NAVY0 if not hot else ORANGE_D, fill_opacity=0.5)
            s.text(cap, "semibold", size, tx, 22, fill=WHITE)
            res.append((f"mbil/mbil_{2 * tag + hot}.svg", s))
    return res


def sbil():
    items = [("Settings", glyphs.gear(), 21), ("About", glyphs.info(), 19), ("Watch Live Demo", glyphs.play(), 18)]
    res = []
    for tag, (cap, glyph, gsize) in enumerate(items):
        for hot in (0, 1):
            s = Svg(35, 35, f"{cap} button" + (" (highlighted)" if hot else ""))
            glass_circle(s, 17.5, 17, 15.5, "orange" if hot else "blue")
            _shadowed_glyph(s, glyph, 17.5 - gsize / 2, 17 - gsize / 2, gsize)
            res.append((f"sbil/sbil_{2 * tag + hot}.svg", s))
    return res


def cbil():
    res = []
    for hot in (0, 1):
        s = Svg(27, 27, "Close to tray button" + (" (highlighted)" if hot else ""))
        if hot:
            glass(s, 1.5, 1.5, 24, 23, 6, "red")
        else:
            s.rect(1.5, 1.5, 24, 23, 6, fill=WHITE, fill_opacity=0.10, stroke=WHITE, stroke_opacity=0.35, stroke_width=1)
            s.path(rrect_d(2.5, 2.5, 22, 10, 5), fill=s.lin(0, 2.5, 0, 12.5, [(0, WHITE, 0.22), (1, WHITE, 0.02)]))
        _shadowed_glyph(s, glyphs.cross(2.6, 5.6), 4.5, 4, 18, rule="nonzero")
        res.append((f"cbil/cbil_{hot}.svg", s))
    return res


# ---------------------------------------------------------------- colour icons
# Drawn on a 48-unit grid (g.group applies the scale); P is the palette, so
# the same drawing gives the normal and the greyed (disabled) picture.

NORMAL = dict(
    ink="#1C2B55", paper1="#FFFFFF", paper2="#DDE5F5", blue1="#8DB0F5", blue2="#2C52B3",
    dark1="#4A6199", dark2="#17244A", orange1="#FFBD5E", orange2="#E26F00", amber1="#FFD976",
    amber2="#E9990F", amber3="#C97C00", screen1="#D2E3FF", screen2="#5C8BE6", line="#9AAACD",
    accent=ORANGE, white=WHITE, shade=0.28, gloss=0.55)
MUTED = dict(
    ink="#7F90BE", paper1="#C3CDE7", paper2="#B3BFDF", blue1="#AAB8DC", blue2="#93A4CF",
    dark1="#8E9FCB", dark2="#8192C0", orange1="#B4C1E2", orange2="#A1B0D8", amber1="#B9C5E4",
    amber2="#A8B6DC", amber3="#95A6D0", screen1="#C0CCE8", screen2="#A5B4DB", line="#94A4CD",
    accent="#A6B5DA", white="#D5DDF0", shade=0.0, gloss=0.0)


def icon_envelope(s, P):
    s.ellipse(24, 42.5, 19, 2.5, fill=NAVY0, fill_opacity=P["shade"] * 0.45)
    s.rect(4.5, 10.5, 39, 28, 3.5, fill=s.lin(0, 10, 0, 38, [(0, P["paper1"]), (1, P["paper2"])]), stroke=P["ink"], stroke_width=1.6)
    s.path("M6.5,37 L19,24.5 M41.5,37 L29,24.5", fill="none", stroke=P["ink"], stroke_width=1.3, stroke_opacity=0.35, stroke_linecap="round")
    s.path("M5.5,12.5 L24,27.5 L42.5,12.5 Z", fill=s.lin(0, 12, 0, 28, [(0, P["paper2"]), (1, P["paper1"])]), fill_opacity=0.9)
    s.path("M5.8,12.2 L24,27.5 L42.2,12.2", fill="none", stroke=P["ink"], stroke_width=1.7, stroke_linejoin="round", stroke_linecap="round")
    s.circle(37, 35.5, 8.6, fill=s.lin(0, 27, 0, 44, [(0, P["orange1"]), (1, P["orange2"])]), stroke=P["white"], stroke_width=1.6)
    s.text("@", "bold", 12.5, 37, 40, "middle", fill=P["white"])


def icon_deskphone(s, P):
    s.ellipse(24, 43, 20, 2.6, fill=NAVY0, fill_opacity=P["shade"] * 0.45)
    s.path("M12,21 H36 C38,21 39.2,22.2 39.6,24 L43,38.5 C43.4,40.6 42.2,42 40,42 H8 C5.8,42 4.6,40.6 5,38.5 L8.4,24 C8.8,22.2 10,21 12,21 Z",
           fill=s.lin(0, 21, 0, 42, [(0, P["blue1"]), (1, P["blue2"])]), stroke=P["ink"], stroke_width=1.5)
    s.path("M11,22.6 H37 L38,27 H10 Z", fill=P["white"], fill_opacity=P["gloss"] * 0.6)
    for r in range(3):
        for c in range(3):
            s.rect(16.2 + c * 5.6, 27.4 + r * 4.4, 4, 3, 0.9, fill=P["white"], fill_opacity=0.92)
    # handset resting on the cradle
    s.path("M5.5,16.5 C5.5,9.5 13,6.2 24,6.2 C35,6.2 42.5,9.5 42.5,16.5 C42.5,18.6 41.2,19.6 39.4,19.6 H33.6 "
           "C32,19.6 31.2,18.6 31.4,17 L31.8,14.2 C29.5,13.2 27,12.8 24,12.8 C21,12.8 18.5,13.2 16.2,14.2 "
           "L16.6,17 C16.8,18.6 16,19.6 14.4,19.6 H8.6 C6.8,19.6 5.5,18.6 5.5,16.5 Z",
           fill=s.lin(0, 6, 0, 20, [(0, P["dark1"]), (1, P["dark2"])]), stroke=P["ink"], stroke_width=1.2, stroke_linejoin="round")
    s.path("M9,11.6 C11.5,8.8 17,7.7 24,7.7 C31,7.7 36.5,8.8 39,11.6", fill="none", stroke=P["white"], stroke_width=1.2, stroke_opacity=P["gloss"] * 0.8, stroke_linecap="round")


def icon_globe(s, P):
    s.ellipse(24, 43.5, 15, 2.2, fill=NAVY0, fill_opacity=P["shade"] * 0.45)
    s.circle(24, 23.5, 18, fill=s.rad(24, 23.5, 18, [(0, P["screen1"]), (0.5, P["screen2"]), (1, P["blue2"])], fx=17, fy=15),
             stroke=P["ink"], stroke_width=1.4)
    w = dict(fill="none", stroke=P["white"], stroke_width=1.3, stroke_opacity=0.7)
    s.ellipse(24, 23.5, 8, 17.5, **w)
    s.line(24, 6, 24, 41, **w)
    s.line(6, 23.5, 42, 23.5, **w)
    s.path("M8.5,14.5 C17,17 31,17 39.5,14.5 M8.5,32.5 C17,30 31,30 39.5,32.5", **w)
    s.ellipse(18, 13.5, 9, 5.5, fill=P["white"], fill_opacity=P["gloss"] * 0.55, transform="rotate(-25 18 13.5)")
    # pointer: visiting a page
    s.path("M33,27 L33,45 L37.2,40.8 L40.2,47 L43.2,45.6 L40.3,39.5 L46,39.5 Z",
           fill=s.lin(0, 27, 0, 47, [(0, P["orange1"]), (1, P["orange2"])]), stroke=P["white"], stroke_width=1.5, stroke_linejoin="round")


def icon_mobile(s, P):
    s.ellipse(22, 45, 12, 2, fill=NAVY0, fill_opacity=P["shade"] * 0.45)
    s.rect(11.5, 3, 21, 41, 4.5, fill=s.lin(11, 0, 33, 0, [(0, P["dark1"]), (1, P["dark2"])]), stroke=P["ink"], stroke_width=1.4)
    s.rect(14.3, 8.5, 15.4, 27, 1.6, fill=s.lin(0, 8, 0, 36, [(0, P["screen1"]), (1, P["screen2"])]))
    s.rect(19, 5.2, 6, 1.4, 0.7, fill=P["white"], fill_opacity=0.6)
    s.circle(22, 39.6, 2.1, fill="none", stroke=P["white"], stroke_width=1.1, stroke_opacity=0.7)
    place(s, glyphs.handset(), 15.5, 15, 13, fill=P["white"])
    s.path("M14.3,8.5 H29.7 V18 C24,15 19,17 14.3,22 Z", fill=P["white"], fill_opacity=P["gloss"] * 0.5)
    w = dict(fill="none", stroke=P["accent"], stroke_width=2.4, stroke_linecap="round")
    s.path("M36.5,9.5 A6,6 0 0 1 36.5,19.5", **w)
    s.path("M39.8,6 A10.5,10.5 0 0 1 39.8,23", **w)


def icon_report(s, P):
    s.ellipse(25, 45, 15, 2, fill=NAVY0, fill_opacity=P["shade"] * 0.45)
    s.path("M13,5 H33 L41,13 V43 C41,44 40.3,44.5 39.5,44.5 H14.5 C13.6,44.5 13,44 13,43 Z", fill=P["paper2"], stroke=P["ink"],
           stroke_width=1.2, stroke_opacity=0.6, transform="rotate(6 27 25)")
    s.path("M9,3.5 H30 L38,11.5 V42.5 C38,43.4 37.4,44 36.5,44 H10.5 C9.6,44 9,43.4 9,42.5 Z",
           fill=s.lin(0, 3, 0, 44, [(0, P["paper1"]), (1, P["paper2"])]), stroke=P["ink"], stroke_width=1.5, stroke_linejoin="round")
    s.path("M30,3.5 V10 C30,10.9 30.6,11.5 31.5,11.5 H38 Z", fill=P["paper2"], stroke=P["ink"], stroke_width=1.3, stroke_linejoin="round")
    s.rect(13, 8, 13, 4.2, 1.2, fill=P["accent"])
    for i, w in enumerate((20, 16, 20, 12)):
        s.rect(13, 15.5 + i * 3.6, w, 1.6, 0.8, fill=P["line"])
    for i, (h, col) in enumerate(((6, "blue2"), (10, "blue1"), (7.5, "blue2"), (12.5, "orange2"))):
        s.rect(14 + i * 5.4, 40 - h, 3.8, h, 0.6, fill=P[col])
    s.rect(12.5, 40.2, 22, 1.1, fill=P["ink"], fill_opacity=0.5)


def folder_shape(s, P, x, y, w, h, open_=False):
    """A manila folder in the given box (any units)."""
    k = w / 40.0
    tab = f"M{num(x)},{num(y + 4 * k)} C{num(x)},{num(y + 1.8 * k)} {num(x + 1.6 * k)},{num(y)} {num(x + 3.6 * k)},{num(y)} H{num(x + 13 * k)} C{num(x + 14.6 * k)},{num(y)} {num(x + 15.4 * k)},{num(y + 0.6 * k)} {num(x + 16.4 * k)},{num(y + 2 * k)} L{num(x + 17.8 * k)},{num(y + 3.8 * k)} H{num(x + w - 3 * k)} C{num(x + w - 1.3 * k)},{num(y + 3.8 * k)} {num(x + w)},{num(y + 5.2 * k)} {num(x + w)},{num(y + 7 * k)} V{num(y + h - 3 * k)} C{num(x + w)},{num(y + h - 1.3 * k)} {num(x + w - 1.3 * k)},{num(y + h)} {num(x + w - 3 * k)},{num(y + h)} H{num(x + 3 * k)} C{num(x + 1.3 * k)},{num(y + h)} {num(x)},{num(y + h - 1.3 * k)} {num(x)},{num(y + h - 3 * k)} Z"
    s.path(tab, fill=s.lin(0, y, 0, y + h, [(0, P["amber2"]), (1, P["amber3"])]), stroke=P["ink"], stroke_width=1.2 * k, stroke_opacity=0.55, stroke_linejoin="round")
    if open_:
        s.rect(x + 3 * k, y + 5.5 * k, w - 6 * k, h * 0.5, 1 * k, fill=P["paper1"], stroke=P["ink"], stroke_width=0.8 * k, stroke_opacity=0.3)
        front = f"M{num(x + 5 * k)},{num(y + 11 * k)} H{num(x + w + 2.5 * k)} C{num(x + w + 3.6 * k)},{num(y + 11 * k)} {num(x + w + 4.1 * k)},{num(y + 12 * k)} {num(x + w + 3.7 * k)},{num(y + 13.2 * k)} L{num(x + w - 1 * k)},{num(y + h - 1.6 * k)} C{num(x + w - 1.5 * k)},{num(y + h - 0.5 * k)} {num(x + w - 2.5 * k)},{num(y + h)} {num(x + w - 3.6 * k)},{num(y + h)} H{num(x + 2.2 * k)} C{num(x + 0.8 * k)},{num(y + h)} {num(x - 0.2 * k)},{num(y + h - 1 * k)} {num(x + 0.3 * k)},{num(y + h - 2.4 * k)} L{num(x + 3 * k)},{num(y + 12.6 * k)} C{num(x + 3.3 * k)},{num(y + 11.6 * k)} {num(x + 4 * k)},{num(y + 11 * k)} {num(x + 5 * k)},{num(y + 11 * k)} Z"
    else:
        front = (rrect_d(x, y + 8.5 * k, w, h - 8.5 * k, 3 * k))
    s.path(front, fill=s.lin(0, y + 8 * k, 0, y + h, [(0, P["amber1"]), (1, P["amber2"])]), stroke=P["ink"], stroke_width=1.2 * k, stroke_opacity=0.55, stroke_linejoin="round")
    s.path(f"M{num(x + 2 * k)},{num(y + (12.5 if open_ else 10.2) * k)} H{num(x + w - 2 * k)}", stroke=P["white"], stroke_width=1.2 * k, stroke_opacity=P["gloss"] * 0.9, stroke_linecap="round")


def icon_copyfolder(s, P):
    s.ellipse(24, 43, 19, 2.4, fill=NAVY0, fill_opacity=P["shade"] * 0.45)
    folder_shape(s, P, 4, 8, 38, 32)
    s.circle(36.5, 35, 8.6, fill=s.lin(0, 26, 0, 44, [(0, P["blue1"]), (1, P["blue2"])]), stroke=P["white"], stroke_width=1.6)
    s.path("M36.5,30.2 V39.8 M31.7,35 H41.3", stroke=P["white"], stroke_width=2.6, stroke_linecap="round", fill="none")


BIL_ICONS = [("Send E-Mail", icon_envelope), ("Ring Phone", icon_deskphone), ("Visit Home Page", icon_globe),
             ("Ring Mobile", icon_mobile), ("View Report", icon_report), ("Copy To Folder", icon_copyfolder)]


def bil():
    res = []
    for tag, (hint, fn) in enumerate(BIL_ICONS):
        for state in (0, 1, 2):
            s = Svg(58, 58, f"{hint} action button, " + ("normal", "under the mouse", "disabled")[state])
            if state == 2:
                s.rect(3, 3, 52, 52, 12, fill=WHITE, fill_opacity=0.13, stroke=WHITE, stroke_opacity=0.28, stroke_width=1)
            else:
                s.rect(3, 4.5, 52, 52, 12, fill=NAVY0, fill_opacity=0.30)
                s.rect(3, 3.5, 52, 52, 12, fill=NAVY0, fill_opacity=0.20)
                if state == 1:
                    s.rect(1.5, 1.5, 55, 55, 13.5, fill="none", stroke=ORANGE_L, stroke_width=2, stroke_opacity=0.55)
                    top, bot, rim = "#FFFDF7", "#FFC47E", ORANGE_D
                else:
                    top, bot, rim = "#FFFFFF", "#C9D5EF", NAVY1
                s.rect(3, 3, 52, 52, 12, fill=s.lin(0, 3, 0, 55, [(0, top), (1, bot)]), stroke=rim, stroke_width=1, stroke_opacity=0.75)
                s.path(rrect_d(4.5, 4.5, 49, 24, 10.5), fill=s.lin(0, 4.5, 0, 28.5, [(0, WHITE, 0.9), (1, WHITE, 0.1)]))
            k = 38 / 48.0 if state != 1 else 40 / 48.0
            off = 29 - 24 * k
            s.group(transform=f"translate({num(off)},{num(off - 0.5)}) scale({num(k)})")
            fn(s, MUTED if state == 2 else NORMAL)
            s.end()
            res.append((f"bil/bil_{3 * tag + state}.svg", s))
    return res


# ---------------------------------------------------------------- list images (24 by 24)

def building24(s):
    """Office building on a 24 grid."""
    s.rect(4.5, 2.5, 15, 19.5, 1.6, fill=s.lin(4, 0, 20, 0, [(0, "#7FA2EE"), (1, "#2C4FA8")]), stroke=INK, stroke_width=0.9, stroke_opacity=0.75)
    for r in range(4):
        for c2 in range(3):
            s.rect(7 + c2 * 3.7, 5 + r * 3.4, 2.3, 2, 0.4, fill=WHITE, fill_opacity=0.9)
    s.rect(10.2, 18.2, 3.6, 3.8, 0.5, fill=ORANGE)
    s.rect(2, 21.6, 20, 1.4, 0.7, fill=INK, fill_opacity=0.6)


def gimg():
    P = NORMAL
    res = []
    # 0 folder
    s = Svg(24, 24, "Folder")
    folder_shape(s, P, 1.5, 3.5, 21, 17)
    res.append(("gimg/gimg_0.svg", s))
    # 1 contact: round avatar
    s = Svg(24, 24, "Contact")
    s.circle(12, 12, 10.2, fill=s.lin(0, 2, 0, 22, [(0, "#7FA2EE"), (1, "#2C4FA8")]), stroke=INK, stroke_width=0.9, stroke_opacity=0.7)
    place(s, glyphs.person(), 5.4, 4.8, 13.2, fill=WHITE)
    s.ellipse(12, 7.2, 6.5, 3.6, fill=WHITE, fill_opacity=0.25)
    res.append(("gimg/gimg_1.svg", s))
    # 2 open folder
    s = Svg(24, 24, "Open folder")
    folder_shape(s, P, 1.2, 3.5, 19.5, 17, open_=True)
    res.append(("gimg/gimg_2.svg", s))
    # 3 search
    s = Svg(24, 24, "Search")
    s.circle(10, 10, 6.6, fill=s.rad(10, 10, 6.6, [(0, "#FFFFFF"), (1, "#C6D8FA")], fx=8, fy=7.5))
    c = 0.7071
    s.path(poly_d([(10 + 7 * c - 1.9 * c, 10 + 7 * c + 1.9 * c), (10 + 7 * c + 1.9 * c, 10 + 7 * c - 1.9 * c),
                   (10 + 13.4 * c + 1.9 * c, 10 + 13.4 * c - 1.9 * c), (10 + 13.4 * c - 1.9 * c, 10 + 13.4 * c + 1.9 * c)]),
           fill=s.lin(0, 14, 0, 22, [(0, "#F7A03A"), (1, ORANGE_D)]), stroke=INK, stroke_width=0.8, stroke_linejoin="round")
    s.circle(10, 10, 6.6, fill="none", stroke=INK, stroke_width=2.2)
    s.path("M6.4,8.6 A4,4 0 0 1 9.2,5.8", fill="none", stroke=WHITE, stroke_width=1.3, stroke_linecap="round")
    res.append(("gimg/gimg_3.svg", s))
    # 4 business listing: office building
    s = Svg(24, 24, "Business listing")
    building24(s)
    res.append(("gimg/gimg_4.svg", s))
    # 5 telephone listing
    s = Svg(24, 24, "Telephone listing")
    s.circle(12, 12, 10.2, fill=s.lin(0, 2, 0, 22, [(0, "#FFBD5E"), (1, "#E06E00")]), stroke=ORANGE_D, stroke_width=0.9)
    place(s, glyphs.handset(), 5.5, 5.5, 13, fill=WHITE)
    s.ellipse(12, 7, 6.5, 3.4, fill=WHITE, fill_opacity=0.25)
    res.append(("gimg/gimg_5.svg", s))
    return res


# ---------------------------------------------------------------- dialer

DIALER_BUTTONS = [("Close", "dark", "red_hot", "cross"), ("Dial", "green", "green_hot", "dial"),
                  ("Hang Up", "red", "red_hot", "hangup")]


def dialer_buttons():
    res = []
    for tag, (hint, normal, hot, glyph) in enumerate(DIALER_BUTTONS):
        for h in (0, 1):
            s = Svg(45, 42, f"Dialer {hint} button" + (" (under the mouse)" if h else ""))
            glass(s, 1.5, 1.5, 42, 38, 10, hot if h else normal)
            if glyph == "cross":
                _shadowed_glyph(s, glyphs.cross(2.8, 5.4), 11, 9, 23, rule="nonzero")
            elif glyph == "dial":
                _shadowed_glyph(s, glyphs.handset(), 11, 8, 23)
            else:
                s.group(transform="rotate(135 22.5 20)")
                _shadowed_glyph(s, glyphs.handset(), 11, 8.5, 23)
                s.end()
            res.append((f"dialer/dialer_btn_{2 * tag + h}.svg", s))
    return res


def dialer_background():
    s = Svg(440, 292, "Dialer window background")
    draw_dialer(s)
    return [("dialer/dialer_bg.svg", s)]


def draw_dialer(s):
    """The dialer's background in its own 440 by 292 coordinates."""
    s.rect(0, 0, 440, 292, fill=s.lin(0, 0, 0, 292, [(0, "#34497F"), (0.2, "#3B5189"), (1, "#2A3E72")]))
    s.rect(0, 0, 440, 292, fill=s.rad(360, 140, 200, [(0, "#6F8AD0", 0.35), (1, "#6F8AD0", 0)]))
    # title band
    s.rect(0, 0, 440, 52, fill=s.lin(0, 0, 0, 52, [(0, "#2C4279"), (1, NAVY1)]))
    s.rect(0, 0, 440, 20, fill=s.lin(0, 0, 0, 20, [(0, WHITE, 0.14), (1, WHITE, 0)]))
    s.rect(0, 51, 440, 1, fill=NAVY0, fill_opacity=0.6)
    s.rect(0, 52, 440, 1.6, fill=s.lin(0, 52, 0, 53.6, [(0, ORANGE_L), (1, ORANGE)]))
    brand_mark(s, 12, 11, 30)
    # frame
    s.rect(0.5, 0.5, 439, 291, fill="none", stroke=NAVY0, stroke_width=1)
    s.rect(1.5, 1.5, 437, 289, fill="none", stroke=WHITE, stroke_width=1, stroke_opacity=0.15)
    # number display, behind NUM (32, 84, 212 by 33) and INB (248, 84, 20 by 33)
    cap = dict(fill=PALE, fill_opacity=0.85)
    s.text("NUMBER", "semibold", 9, 28, 76, tracking=1.2, **cap)
    s.rect(26, 80, 248, 41, 8, fill=WHITE, fill_opacity=0.2)
    s.rect(26, 79, 248, 41, 8, fill=NAVY0, fill_opacity=0.75)
    s.rect(27, 80, 246, 39, 7, fill=s.lin(0, 80, 0, 119, [(0, "#D8E3F7"), (0.12, "#F4F7FD"), (1, "#E3EAF8")]))
    # status strip, behind STA (32, 146)
    s.text("STATUS", "semibold", 9, 28, 139, tracking=1.2, **cap)
    s.rect(26, 143, 248, 30, 7, fill=NAVY0, fill_opacity=0.35)
    s.rect(26, 143, 248, 1, fill=NAVY0, fill_opacity=0.3)
    s.rect(27, 172, 246, 1, fill=WHITE, fill_opacity=0.12)
    # options, behind ACC (32, 196) and ADC (32, 217) and their labels
    s.rect(26, 189, 248, 50, 7, fill=WHITE, fill_opacity=0.07, stroke=WHITE, stroke_opacity=0.12, stroke_width=1)
    # call badge to the right
    cx, cy = 358, 118
    for i, r in enumerate((44, 56, 68)):
        s.path(f"M{num(cx + r * 0.64)},{num(cy - r * 0.77)} A{r},{r} 0 0 1 {num(cx + r * 0.64)},{num(cy + r * 0.77)}",
               fill="none", stroke=ORANGE_L, stroke_width=3, stroke_opacity=0.55 - i * 0.15, stroke_linecap="round")
        s.path(f"M{num(cx - r * 0.64)},{num(cy - r * 0.77)} A{r},{r} 0 0 0 {num(cx - r * 0.64)},{num(cy + r * 0.77)}",
               fill="none", stroke=ORANGE_L, stroke_width=3, stroke_opacity=0.55 - i * 0.15, stroke_linecap="round")
    _badge(s, cx, cy, 34, "phone")
    # seats of the Dial (304, 200) and Hang Up (360, 200) buttons
    s.rect(296, 193, 120, 56, 12, fill=NAVY0, fill_opacity=0.28)
    s.rect(296, 248, 120, 1, fill=WHITE, fill_opacity=0.12)
    s.text("TESSARO KAVELIN  ·  DIALER", "semibold", 8, 414, 278, "end", tracking=1.1, fill=PALE, fill_opacity=0.45)
    return [("dialer/dialer_bg.svg", s)]


# ---------------------------------------------------------------- window icon, balloon icons

def app_icons():
    big = Svg(256, 256, "Tessaro Kavelin")
    brand_mark(big, 4, 8, 248)
    small = Svg(24, 24, "Tessaro Kavelin")
    _small_mark(small)
    return [("icon/tessaro-kavelin.svg", big), ("icon/tessaro-kavelin-small.svg", small)]


def _small_mark(s):
    """The mark drawn for 16 to 24 pixels: fewer, bolder parts on whole pixels."""
    s.rect(17, 4, 6, 5, 1.5, fill="#7E9DE8", stroke=NAVY1, stroke_width=0.6, stroke_opacity=0.5)
    s.rect(17, 12, 6, 5, 1.5, fill=WHITE, stroke=NAVY1, stroke_width=0.6, stroke_opacity=0.5)
    s.rect(1, 1, 19, 22, 4, fill=s.lin(0, 1, 0, 23, [(0, "#FFB85A"), (0.55, "#F58A12"), (1, "#DB6A00")]),
           stroke=ORANGE_D, stroke_width=1)
    s.path("M4.5,1.3 V22.7 A3.8,3.8 0 0 1 1.3,19 V5 A3.8,3.8 0 0 1 4.5,1.3 Z", fill=ORANGE_D, fill_opacity=0.3)
    place(s, glyphs.person(), 4.5, 4.5, 15, fill=WHITE)


def balloon_icons():
    res = []
    for name, scheme, glyph, rule in (("error", "red", glyphs.cross(3.0, 5.2), "nonzero"), ("info", "blue", glyphs.info(), "evenodd")):
        s = Svg(32, 32, "Error" if name == "error" else "Information")
        glass_circle(s, 16, 15.5, 14.5, scheme)
        _shadowed_glyph(s, glyph, 6, 5.5, 20, rule=rule)
        res.append((f"msg/msg_{name}.svg", s))
    return res


ALL = [
    ("header", header_pictures),
    ("logo", logo),
    ("banner", banner),
    ("mbil", mbil),
    ("sbil", sbil),
    ("cbil", cbil),
    ("bil", bil),
    ("gimg", gimg),
    ("dialer", dialer_buttons),
    ("dialer_bg", dialer_background),
    ("icons", app_icons),
    ("balloons", balloon_icons),
]
