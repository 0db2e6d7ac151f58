"""Monochrome glyph outlines on a 24 by 24 grid, drawn into an Svg at any
place and size. Each function returns path data in the 24-unit grid; place()
moves and scales it."""

import math

from svgkit import circle_d, num, poly_d, rrect_d


def place(svg, d, x, y, size, **kw):
    """Draw 24-grid path data d with its grid's corner at x, y, size pixels wide."""
    s = size / 24.0
    svg.path(d, transform=f"translate({num(x)},{num(y)}) scale({num(s)})", **kw)


def person():
    head = circle_d(12, 7.6, 4.3)
    body = ("M3.6,21 C3.6,15.6 7.4,13 12,13 C16.6,13 20.4,15.6 20.4,21 "
            "C20.4,21.6 20,22 19.4,22 H4.6 C4,22 3.6,21.6 3.6,21 Z")
    return head + body


def briefcase():
    handle = rrect_d(8, 3, 8, 6, 2) + rrect_d(10, 5, 4, 4.5, 0.9)
    upper = "M3,10.5 C3,9.1 4.1,8 5.5,8 H18.5 C19.9,8 21,9.1 21,10.5 V13 H14 V12.2 H10 V13 H3 Z"
    lower = "M3,14.6 H10 V15.8 H14 V14.6 H21 V18.5 C21,19.9 19.9,21 18.5,21 H5.5 C4.1,21 3,19.9 3,18.5 Z"
    return handle + upper + lower


def _tube(fn, n, half_out, half_in):
    """Filled outline around the curve fn(t), half_out(t) wide on its left
    side and half_in(t) on its right, with flat ends."""
    pts_l, pts_r = [], []
    for i in range(n + 1):
        t = i / n
        x, y = fn(t)
        x2, y2 = fn(min(1, t + 1e-3))
        x1, y1 = fn(max(0, t - 1e-3))
        dx, dy = x2 - x1, y2 - y1
        ln = math.hypot(dx, dy) or 1
        nx, ny = -dy / ln, dx / ln
        pts_l.append((x + nx * half_out(t), y + ny * half_out(t)))
        pts_r.append((x - nx * half_in(t), y - ny * half_in(t)))
    return poly_d(pts_l + list(reversed(pts_r)))


def _bez(p0, p1, p2, p3):
    def f(t):
        u = 1 - t
        return (u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1])
    return f


def handset():
    """Classic telephone receiver: ear piece upper left, mouth piece lower
    right; the pads stand out on the inner side of the handle's bend."""
    f = _bez((4.6, 2.2), (1.6, 12.5), (11.5, 22.4), (21.8, 19.4))

    def pad(t):
        a, b = 0.17, 0.30
        u = t if t < 0.5 else 1 - t
        if u <= a:
            return 1.0
        if u >= b:
            return 0.0
        k = (u - a) / (b - a)
        return 1 - k * k * (3 - 2 * k)

    return _tube(f, 90, lambda t: 1.5 + 0.4 * pad(t), lambda t: 1.3 + 3.6 * pad(t))


def gear(teeth=8, r_out=10.6, r_in=7.9, r_hole=3.3):
    pts = []
    step = 2 * math.pi / teeth
    for i in range(teeth):
        a = i * step - math.pi / 2
        for frac, r in ((-0.30, r_in), (-0.17, r_out), (0.17, r_out), (0.30, r_in)):
            pts.append((12 + math.cos(a + frac * step) * r, 12 + math.sin(a + frac * step) * r))
    # the bottom of each gap follows the inner circle
    d = poly_d(pts)
    return d + circle_d(12, 12, r_hole)


def info():
    return circle_d(12, 5.6, 2.3) + rrect_d(9.9, 9.4, 4.2, 11.8, 1.6)


def play():
    return "M8.2,4.9 C8.2,3.8 9.3,3.2 10.2,3.8 L20.1,10.6 C20.9,11.2 20.9,12.8 20.1,13.4 L10.2,20.2 C9.3,20.8 8.2,20.2 8.2,19.1 Z"


def cross(w=2.7, a=6.2):
    """An X made of two rounded bars."""
    ds = []
    for ang in (45, -45):
        c, s = math.cos(math.radians(ang)), math.sin(math.radians(ang))
        l = a * math.sqrt(2)
        pts = []
        for px, py in ((-l, -w / 2), (l, -w / 2), (l, w / 2), (-l, w / 2)):
            pts.append((12 + px * c - py * s, 12 + px * s + py * c))
        ds.append(poly_d(pts))
    return "".join(ds)


def magnifier():
    ring = circle_d(10, 10, 7) + circle_d(10, 10, 4.6)
    c, s = math.cos(math.radians(45)), math.sin(math.radians(45))
    pts = []
    for px, py in ((7.4, -1.6), (14.2, -1.6), (14.2, 1.6), (7.4, 1.6)):
        pts.append((10 + px * c - py * s, 10 + px * s + py * c))
    return ring + poly_d(pts)
