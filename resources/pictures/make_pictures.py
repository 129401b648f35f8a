#!/usr/bin/env python3
"""Generate the launcher's artwork as SVG Tiny files.

Writes into the directory holding this script:
  banner.svg              317x178 log-in banner
  rank_1.svg..rank_7.svg  131x128 rank insignia (1 = lowest)
  avatar_01..54.svg       131x128 player portraits

Only plain shapes, groups and gradients are used so that QSvgRenderer
(SVG Tiny 1.2) draws everything without warnings. The output is fully
deterministic: running the script twice gives identical files.
"""

import math
import os
import random

OUT = os.path.dirname(os.path.abspath(__file__))
OUTLINE = "#0b0808"


# ---------------------------------------------------------------- helpers

def num(v):
    """Compact number formatting (one decimal at most)."""
    s = "%.1f" % v
    if s.endswith(".0"):
        s = s[:-2]
    if s == "-0":
        s = "0"
    return s


def pts(points):
    return " ".join("%s,%s" % (num(p[0]), num(p[1])) for p in points)


def hex2rgb(c):
    c = c.lstrip("#")
    return tuple(int(c[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    ra, rb = hex2rgb(a), hex2rgb(b)
    return "#%02x%02x%02x" % tuple(
        int(round(ra[i] + (rb[i] - ra[i]) * t)) for i in range(3))


def shade(c, t):
    """t > 0 lightens towards white, t < 0 darkens towards black."""
    return mix(c, "#ffffff", t) if t >= 0 else mix(c, "#000000", -t)


class Svg:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.defs = []
        self.body = []
        self.grads = {}

    def _grad(self, key, text_fn):
        if key in self.grads:
            return self.grads[key]
        gid = "g%d" % (len(self.grads) + 1)
        self.defs.append(text_fn(gid))
        self.grads[key] = "url(#%s)" % gid
        return self.grads[key]

    @staticmethod
    def _stops(stops):
        out = []
        for st in stops:
            op = ' stop-opacity="%s"' % num_op(st[2]) if len(st) > 2 else ""
            out.append('<stop offset="%s" stop-color="%s"%s/>'
                       % (num_op(st[0]), st[1], op))
        return "".join(out)

    def lin(self, stops, x1=0, y1=0, x2=0, y2=1, user=False):
        key = ("l", tuple(stops), x1, y1, x2, y2, user)
        units = ' gradientUnits="userSpaceOnUse"' if user else ""
        fmt = num if user else num_op

        def text(gid):
            return ('<linearGradient id="%s"%s x1="%s" y1="%s" x2="%s" '
                    'y2="%s">%s</linearGradient>'
                    % (gid, units, fmt(x1), fmt(y1), fmt(x2), fmt(y2),
                       self._stops(stops)))
        return self._grad(key, text)

    def rad(self, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None,
            user=False, squash=None):
        """Radial gradient; squash=k flattens it vertically about cy."""
        key = ("r", tuple(stops), cx, cy, r, fx, fy, user, squash)
        units = ' gradientUnits="userSpaceOnUse"' if user else ""
        fmt = num if user else num_op
        focus = ""
        if fx is not None:
            focus = ' fx="%s" fy="%s"' % (fmt(fx), fmt(fy))
        if squash is not None:
            focus += (' gradientTransform="matrix(1 0 0 %s 0 %s)"'
                      % (num_op(squash), num(cy * (1 - squash))))

        def text(gid):
            return ('<radialGradient id="%s"%s cx="%s" cy="%s" r="%s"%s>'
                    '%s</radialGradient>'
                    % (gid, units, fmt(cx), fmt(cy), fmt(r), focus,
                       self._stops(stops)))
        return self._grad(key, text)

    def el(self, tag, **attrs):
        self.body.append(element(tag, **attrs))

    def raw(self, text):
        self.body.append(text)

    def open(self, **attrs):
        self.body.append(element("g", **attrs)[:-2] + ">")

    def close(self):
        self.body.append("</g>")

    def text(self):
        head = ('<svg xmlns="http://www.w3.org/2000/svg" version="1.2" '
                'baseProfile="tiny" width="%d" height="%d" '
                'viewBox="0 0 %d %d">' % (self.w, self.h, self.w, self.h))
        defs = "<defs>%s</defs>" % "".join(self.defs) if self.defs else ""
        return head + defs + "".join(self.body) + "</svg>\n"

    def save(self, name):
        with open(os.path.join(OUT, name), "w", encoding="ascii",
                  newline="\n") as fh:
            fh.write(self.text())


def num_op(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return s if s not in ("", "-0") else "0"


def element(tag, **attrs):
    parts = []
    for k, v in attrs.items():
        if v is None:
            continue
        k = k.rstrip("_").replace("_", "-")
        if isinstance(v, float):
            v = num(v) if k not in ("opacity", "fill-opacity",
                                    "stroke-opacity") else num_op(v)
        parts.append('%s="%s"' % (k, v))
    return "<%s %s/>" % (tag, " ".join(parts))


def blob(points):
    """Smooth closed path through the midpoints of a control polygon.

    A point given as (x, y, 1) is kept as a sharp corner.
    """
    n = len(points)

    def mid(a, b):
        return ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
    start = mid(points[-1], points[0])
    d = ["M%s %s" % (num(start[0]), num(start[1]))]
    for i in range(n):
        p = points[i]
        m = mid(p, points[(i + 1) % n])
        if len(p) > 2:
            d.append("L%s %sL%s %s" % (num(p[0]), num(p[1]),
                                       num(m[0]), num(m[1])))
        else:
            d.append("Q%s %s %s %s" % (num(p[0]), num(p[1]),
                                       num(m[0]), num(m[1])))
    return "".join(d) + "Z"


def mirror(left, cx=65.5):
    """Complete a symmetric outline from its left half (top to bottom)."""
    right = [(2 * cx - p[0],) + tuple(p[1:]) for p in reversed(left)
             if abs(p[0] - cx) > 1e-6]
    return list(left) + right


def poly_path(points):
    return "M" + "L".join("%s %s" % (num(p[0]), num(p[1]))
                          for p in points) + "Z"


def star_points(cx, cy, r_out, r_in, n=5, rot=-90):
    out = []
    for i in range(n * 2):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rot + i * 180.0 / n)
        out.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return out


# ------------------------------------------------------ block-letter font
# Glyphs on a 14-unit high grid: (advance width, [outline, hole, ...]).
# Outlines and holes are simple polygons filled with the even-odd rule.

GLYPHS = {
    "B": (10, [[(0, 0), (8, 0), (10, 2), (10, 5.5), (9, 7), (10, 8.5),
                (10, 12), (8, 14), (0, 14)],
               [(3, 3), (7, 3), (7, 5.75), (3, 5.75)],
               [(3, 8.25), (7, 8.25), (7, 11), (3, 11)]]),
    "R": (10, [[(0, 0), (8, 0), (10, 2), (10, 6.75), (8.5, 8.25),
                (10, 9.75), (10, 14), (7, 14), (7, 10), (5.25, 8.25),
                (3, 8.25), (3, 14), (0, 14)],
               [(3, 3), (7, 3), (7, 5.75), (3, 5.75)]]),
    "U": (10, [[(0, 0), (3, 0), (3, 11), (7, 11), (7, 0), (10, 0),
                (10, 12), (8, 14), (2, 14), (0, 12)]]),
    "M": (12, [[(0, 0), (3, 0), (6, 4.5), (9, 0), (12, 0), (12, 14),
                (9, 14), (9, 5.5), (6, 9.5), (3, 5.5), (3, 14), (0, 14)]]),
    "V": (10, [[(0, 0), (3, 0), (5, 10), (7, 0), (10, 0), (6.6, 14),
                (3.4, 14)]]),
    "E": (9, [[(0, 0), (9, 0), (9, 3), (3, 3), (3, 5.75), (7.5, 5.75),
               (7.5, 8.25), (3, 8.25), (3, 11), (9, 11), (9, 14),
               (0, 14)]]),
    "K": (10, [[(0, 0), (3, 0), (3, 5.5), (6.5, 0), (10, 0), (5.6, 7),
                (10, 14), (6.5, 14), (3, 8.6), (3, 14), (0, 14)]]),
    "G": (10, [[(2, 0), (10, 0), (10, 3), (3, 3), (3, 11), (7, 11),
                (7, 9), (5.5, 9), (5.5, 6.5), (10, 6.5), (10, 14), (2, 14),
                (0, 12), (0, 2)]]),
    "A": (10, [[(3.4, 0), (6.6, 0), (10, 14), (7, 14), (6.4, 11),
                (3.6, 11), (3, 14), (0, 14)],
               [(5, 4.2), (5.85, 8.5), (4.15, 8.5)]]),
    "O": (10, [[(2, 0), (8, 0), (10, 2), (10, 12), (8, 14), (2, 14),
                (0, 12), (0, 2)],
               [(3, 3), (7, 3), (7, 11), (3, 11)]]),
    "W": (12, [[(0, 0), (3, 0), (3, 8.5), (6, 4.5), (9, 8.5), (9, 0),
                (12, 0), (12, 14), (9, 14), (6, 9.5), (3, 14), (0, 14)]]),
    "S": (10, [[(2, 0), (10, 0), (10, 3), (3, 3), (3, 5.75), (8, 5.75),
                (10, 7.75), (10, 12), (8, 14), (0, 14), (0, 11), (7, 11),
                (7, 8.25), (2, 8.25), (0, 6.25), (0, 2)]]),
    " ": (5, []),
}


def word_path(word, tracking):
    """Return (path data, width) of a word in font units (14 high)."""
    d = []
    cx = 0.0
    for i, ch in enumerate(word):
        adv, polys = GLYPHS[ch]
        for poly in polys:
            d.append(poly_path([(cx + px, py) for px, py in poly]))
        cx += adv + (tracking if i < len(word) - 1 else 0)
    return "".join(d), cx


# ----------------------------------------------------------------- banner

def jagged(rng, x0, x1, base, lo, hi, step_lo, step_hi):
    out = [(x0, base)]
    x = x0
    while x < x1:
        out.append((x, rng.uniform(lo, hi)))
        x += rng.uniform(step_lo, step_hi)
    out.append((x1, rng.uniform(lo, hi)))
    out.append((x1, base))
    return out


def fortress(cx, base):
    """Silhouette of a spired citadel standing on a rock spur."""
    p = [(cx - 48, base), (cx - 40, base - 10), (cx - 34, base - 12)]
    # left wall with crenellations
    x = cx - 34
    p += [(x, base - 24)]
    for i in range(3):
        p += [(x + 3, base - 24), (x + 3, base - 21), (x + 6, base - 21),
              (x + 6, base - 24)]
        x += 6
    p += [(cx - 16, base - 24), (cx - 16, base - 40), (cx - 18, base - 40),
          (cx - 13, base - 52), (cx - 8, base - 40), (cx - 10, base - 40),
          (cx - 10, base - 34), (cx - 5, base - 34), (cx - 5, base - 54),
          (cx - 7, base - 54), (cx, base - 74), (cx + 7, base - 54),
          (cx + 5, base - 54), (cx + 5, base - 30), (cx + 10, base - 30),
          (cx + 10, base - 44), (cx + 8, base - 44), (cx + 13, base - 58),
          (cx + 18, base - 44), (cx + 16, base - 44), (cx + 16, base - 22)]
    x = cx + 16
    for i in range(3):
        p += [(x + 3, base - 22), (x + 3, base - 19), (x + 6, base - 19),
              (x + 6, base - 22)]
        x += 6
    p += [(cx + 34, base - 22), (cx + 34, base - 12), (cx + 42, base - 8),
          (cx + 50, base)]
    return p


def make_banner():
    W, H = 317, 178
    s = Svg(W, H)
    rng = random.Random(1993)
    full = dict(x=0, y=0, width=W, height=H)
    # sky, then glows; Qt does not clip to the view box, so every shape
    # stays inside the canvas and glows are gradients on full-size rects
    s.el("rect", fill=s.lin(
        [(0, "#050203"), (0.35, "#160405"), (0.7, "#4a0e06"),
         (0.86, "#8e2a08"), (1, "#2a0604")]), **full)
    s.el("rect", fill=s.rad(
        [(0, "#ff9a30", 0.75), (0.45, "#d0400c", 0.35), (1, "#600a00", 0)],
        158.5, 118, 210, user=True, squash=0.21), **full)
    s.el("rect", fill=s.rad(
        [(0, "#c83a0c", 0.5), (0.6, "#6a1206", 0.2), (1, "#200000", 0)],
        158.5, 50, 175, user=True, squash=0.34), **full)
    # a dim dying sun sinking behind the citadel
    s.el("circle", cx=236, cy=112, r=30, fill=s.rad(
        [(0, "#ffd27a", 0.85), (0.55, "#ff7a1c", 0.55),
         (1, "#ff4000", 0)]))
    # drifting smoke bands
    for cy, op in ((30, 0.35), (96, 0.25)):
        s.el("rect", x=0, y=cy - 8, width=W, height=16, fill=s.rad(
            [(0, "#000000", op), (1, "#000000", 0)], 158.5, cy, 160,
            user=True, squash=0.05))
    # far range
    far = jagged(rng, 0, W, H, 108, 126, 6, 14)
    # (outlines along the canvas edge hide under the frame drawn last)
    s.el("polygon", points=pts(far), fill=s.lin(
        [(0, "#3a0d08"), (1, "#120304")]), stroke="#ff7a30",
         stroke_width=0.8, stroke_opacity=0.35, stroke_linejoin="round")
    # citadel on its spur
    cit = fortress(236, 140)
    s.el("polygon", points=pts(cit), fill="#12040a", stroke="#ff5a20",
         stroke_width=0.7, stroke_opacity=0.45, stroke_linejoin="round")
    for wx, wy in ((230, 100), (241, 106), (236, 118), (224, 120),
                   (249, 119), (213, 124), (259, 125), (236, 86)):
        s.el("rect", x=wx, y=wy, width=2, height=3.5, fill="#ffb040")
    # middle ridge
    mid = jagged(rng, 0, W, H, 134, 150, 5, 11)
    s.el("polygon", points=pts(mid), fill=s.lin(
        [(0, "#1e0606"), (1, "#0a0203")]), stroke="#ff6a20",
         stroke_width=0.7, stroke_opacity=0.3, stroke_linejoin="round")
    # lava river across the valley
    s.el("path", d="M0 168C60 158 110 164 158 160C210 156 260 166 317 158"
         "L317 165C260 172 210 163 158 167C110 171 60 165 0 175Z",
         fill=s.lin([(0, "#ffe08a"), (0.5, "#ff8a1a"), (1, "#c02a04")]))
    s.el("rect", x=0, y=150, width=W, height=28, fill=s.rad(
        [(0, "#ff8a20", 0.45), (1, "#ff4000", 0)], 158.5, 164, 160,
        user=True, squash=0.08))
    # foreground crags
    left = [(0, H), (0, 132), (8, 128), (14, 138), (22, 134), (30, 146),
            (42, 150), (50, 162), (64, 166), (76, 178)]
    right = [(W, H), (W, 130), (309, 126), (301, 136), (292, 133),
             (284, 146), (270, 152), (262, 164), (250, 168), (238, 178)]
    for crag in (left, right):
        s.el("polygon", points=pts(crag), fill="#070102", stroke="#ff7a30",
             stroke_width=0.8, stroke_opacity=0.4, stroke_linejoin="round")
    # embers
    for _ in range(22):
        x, y = rng.uniform(6, W - 6), rng.uniform(90, 170)
        r = rng.uniform(0.5, 1.3)
        s.el("circle", cx=round(x, 1), cy=round(y, 1), r=round(r, 1),
             fill=rng.choice(("#ffd070", "#ff9a30", "#ff6a10")),
             opacity=round(rng.uniform(0.45, 0.95), 2))

    # title, drawn in font units and scaled into place
    th, tt = 44.0, 2.6
    title, tw = word_path("BRUMVEK", tt)
    k = th / 14.0
    tx, ty = (W - tw * k) / 2, 20.0

    def at(dx, dy):
        s.open(transform="translate(%s,%s) scale(%s)"
               % (num(tx + dx), num(ty + dy), num_op(k)))

    at(1, 4)
    s.el("path", d=title, fill="#3a0804", stroke="#2a0603",
         stroke_width=1.3, stroke_linejoin="round")
    s.close()
    at(0, 0)
    s.el("path", d=title, fill=s.lin(
        [(0, "#fff8d0"), (0.3, "#ffd050"), (0.5, "#ff9a20"),
         (0.52, "#e0520c"), (0.8, "#a82006"), (1, "#6a0e04")]),
         fill_rule="evenodd", stroke="#1a0402", stroke_width=0.5,
         stroke_linejoin="round")
    s.close()

    # subtitle with flanking rules
    sh, st = 9.0, 4.0
    sub, sw = word_path("GAME BROWSER", st)
    k2 = sh / 14.0
    sw *= k2
    sx, sy = (W - sw) / 2, 76.0
    s.open(transform="translate(%s,%s) scale(%s)"
           % (num(sx), num(sy), num_op(k2)))
    s.el("path", d=sub, fill=s.lin([(0, "#ffffff"), (1, "#c8b8b0")]),
         fill_rule="evenodd", stroke="#000000", stroke_width=1.2,
         stroke_opacity=0.5, stroke_linejoin="round")
    s.close()
    ry = sy + sh / 2
    for side in (-1, 1):
        x0 = W / 2 + side * (sw / 2 + 8)
        x1 = W / 2 + side * (sw / 2 + 62)
        s.el("line", x1=x0, y1=ry, x2=x1, y2=ry, stroke=s.lin(
            [(0, "#ffb040"), (1, "#ffb040", 0)], x0, 0, x1, 0, user=True),
             stroke_width=1.2)
        s.el("polygon", points=pts([(x0, ry - 3), (x0 + 3 * side, ry),
                                    (x0, ry + 3), (x0 - 3 * side, ry)]),
             fill="#ffc050")

    # frame with corner brackets
    s.el("rect", x=0.5, y=0.5, width=W - 1, height=H - 1, fill="none",
         stroke="#000000", stroke_opacity=0.8)
    s.el("rect", x=2.5, y=2.5, width=W - 5, height=H - 5, fill="none",
         stroke="#ff7a30", stroke_opacity=0.22)
    for cx, cy, dx, dy in ((5, 5, 1, 1), (W - 5, 5, -1, 1),
                           (5, H - 5, 1, -1), (W - 5, H - 5, -1, -1)):
        s.el("polyline", points=pts([(cx, cy + 14 * dy), (cx, cy),
                                     (cx + 14 * dx, cy)]),
             fill="none", stroke="#ffb050", stroke_width=1.5,
             stroke_opacity=0.8)
    s.save("banner.svg")


# ------------------------------------------------------------------ ranks

METALS = {
    "steel": ("#e4eaf0", "#9aa5b0", "#5a646e", "#252a30"),
    "bronze": ("#ffd9a8", "#cd8440", "#7a4416", "#2e1706"),
    "silver": ("#ffffff", "#d4dbe2", "#8a96a2", "#2b3138"),
    "gold": ("#fff6c0", "#f4c430", "#a8700a", "#3a2404"),
}


def metal_fill(s, metal):
    hi, mid, lo, _ = METALS[metal]
    return s.lin([(0, hi), (0.45, mid), (0.55, shade(mid, -0.15)),
                  (1, lo)], 0.2, 0, 0.8, 1)


def metal_shape(s, metal, d, width=1.4):
    s.el("path", d=d, fill=metal_fill(s, metal), stroke=METALS[metal][3],
         stroke_width=width, stroke_linejoin="round")


def chevron(cx, y, w, h, t):
    """Upward-pointing chevron with its apex at (cx, y)."""
    return poly_path([(cx - w, y + h), (cx, y), (cx + w, y + h),
                      (cx + w, y + h + t), (cx, y + t),
                      (cx - w, y + h + t)])


SHIELD = ("M14 16Q65.5 2 117 16L117 64C117 92 96 110 65.5 123"
          "C35 110 14 92 14 64Z")


def rank_plate(s, metal):
    s.el("path", d=SHIELD, fill=s.rad(
        [(0, "#3a4250"), (0.7, "#161a22"), (1, "#0a0c10")], 0.5, 0.35, 0.7),
         stroke=METALS[metal][3], stroke_width=6.5, stroke_linejoin="round")
    s.el("path", d=SHIELD, fill="none", stroke=metal_fill(s, metal),
         stroke_width=4, stroke_linejoin="round")
    s.el("path", d="M22 22Q65.5 10 109 22L109 64C109 88 91 103 65.5 114"
         "C40 103 22 88 22 64Z", fill="none", stroke=METALS[metal][1],
         stroke_width=0.8, stroke_opacity=0.45)


def bevel_star(s, metal, cx, cy, r_out, r_in):
    """Five-pointed star cut into lit and shaded facets."""
    hi, mid, lo, edge = METALS[metal]
    p = star_points(cx, cy, r_out, r_in)
    s.el("polygon", points=pts(p), fill=mid, stroke=edge, stroke_width=2.2,
         stroke_linejoin="round")
    light = (-0.55, -0.83)
    for i in range(0, 10, 2):
        for j in (i - 1, i + 1):
            q = p[j % 10]
            vx = (p[i][0] + q[0]) / 2 - cx
            vy = (p[i][1] + q[1]) / 2 - cy
            n = math.hypot(vx, vy)
            b = (vx * light[0] + vy * light[1]) / n
            col = mix(mid, hi, b) if b > 0 else mix(mid, lo, -b)
            s.el("polygon", points=pts([(cx, cy), p[i], q]), fill=col)


def laurel(s, metal, side):
    """A laurel branch rising along one side of the shield."""
    lo, edge = METALS[metal][2:]
    c = 65.5
    p0, p1, p2 = (c + side * 8, 112), (c + side * 48, 100), (c + side * 41, 34)
    s.el("path", d="M%s %sQ%s %s %s %s" % (num(p0[0]), num(p0[1]),
                                           num(p1[0]), num(p1[1]),
                                           num(p2[0]), num(p2[1])),
         fill="none", stroke=lo, stroke_width=2.2)
    fill = metal_fill(s, metal)
    for j in range(8):
        t = 0.16 + j * 0.115
        x = (1 - t) ** 2 * p0[0] + 2 * t * (1 - t) * p1[0] + t * t * p2[0]
        y = (1 - t) ** 2 * p0[1] + 2 * t * (1 - t) * p1[1] + t * t * p2[1]
        dx = 2 * (1 - t) * (p1[0] - p0[0]) + 2 * t * (p2[0] - p1[0])
        dy = 2 * (1 - t) * (p1[1] - p0[1]) + 2 * t * (p2[1] - p1[1])
        ang = math.degrees(math.atan2(dy, dx))
        size = 1.0 - j * 0.04
        for turn in (-38, 38):
            s.el("path", d="M0 0Q6 -3.4 12 0Q6 3.4 0 0Z", fill=fill,
                 stroke=edge, stroke_width=0.7,
                 transform="translate(%s,%s) rotate(%s) scale(%s)"
                 % (num(x), num(y), num(ang + turn), num_op(size)))


def winged_skull(s):
    gold = "gold"
    hi, mid, lo, edge = METALS[gold]
    tips = [(3, 30), (2, 46), (5, 61), (11, 75), (20, 88)]

    def wing():
        for i in reversed(range(len(tips))):
            tx, ty = tips[i]
            ay = 48 + i * 7
            s.el("path", d="M52 %sQ%s %s %s %sQ%s %s 52 %sZ" % (
                num(ay), num(tx + 22), num(ty - 8), num(tx), num(ty),
                num(tx + 26), num(ty + 7), num(ay + 10)),
                 fill=s.lin([(0, mix(hi, mid, 0.35 + i * 0.12)),
                             (0.6, mix(mid, lo, i * 0.15)), (1, lo)]),
                 stroke=edge, stroke_width=1.1, stroke_linejoin="round")
            s.el("path", d="M50 %sQ%s %s %s %s" % (
                num(ay + 5), num(tx + 24), num(ty), num(tx + 3),
                num(ty + 1)), fill="none", stroke=edge, stroke_width=0.7,
                 stroke_opacity=0.6)
        shape(s, blob([(54, 44), (38, 40), (24, 46), (28, 56), (44, 64),
                       (54, 70)]), metal_fill(s, gold), 1.2, edge)
    both(s, wing)
    skull = mirror([(65.5, 32), (48, 34), (42, 50), (45, 63), (51, 67, 1),
                    (52, 80), (65.5, 82)])
    s.el("path", d=blob(skull), fill=s.lin(
        [(0, "#ffffff"), (0.6, "#ece4d0"), (1, "#a09478")]),
         stroke="#2a1e0a", stroke_width=1.6)

    def socket():
        s.el("path", d=blob([(63, 52), (60, 46), (50, 47), (50, 56),
                             (57, 59)]), fill="#1a0606")
        halo(s, 56, 52, 6, "#ff3a20", 0.9)
        s.el("circle", cx=56, cy=52, r=1.8, fill="#ffb080")
    both(s, socket)
    s.el("polygon", points=pts([(65.5, 59), (62.5, 65), (68.5, 65)]),
         fill="#1a0606")
    d = "M54 74L77 74" + "".join("M%s 69L%s 79" % (num(x), num(x))
                                 for x in (57, 61.3, 65.5, 69.7, 74))
    s.el("path", d=d, stroke="#3a2a14", stroke_width=1)
    shape(s, "M47 37L46 20L54 28L60 16L65.5 26L71 16L77 28L85 20L84 37Z",
          metal_fill(s, gold), 1.3, edge)
    s.el("rect", x=47, y=32, width=37, height=5, fill="#8a1010",
         stroke=edge, stroke_width=1)
    for x, y in ((46, 20), (60, 16), (71, 16), (85, 20)):
        s.el("circle", cx=x, cy=y, r=2.4, fill="#ff3030", stroke="#3a0404",
             stroke_width=0.8)


def make_rank(level):
    s = Svg(131, 128)
    metal = {1: "steel", 2: "bronze", 3: "bronze", 4: "silver",
             5: "silver", 6: "gold", 7: "gold"}[level]
    cx = 65.5
    rank_plate(s, metal)
    if level in (6, 7):
        rays = []
        for i in range(16):
            a = math.radians(i * 22.5)
            b = math.radians(i * 22.5 + 7)
            rays.append(poly_path([
                (cx, 60), (cx + 48 * math.cos(a), 60 + 48 * math.sin(a)),
                (cx + 48 * math.cos(b), 60 + 48 * math.sin(b))]))
        s.el("path", d="".join(rays), fill=s.rad(
            [(0, "#ffd860", 0.5), (1, "#ffd860", 0)], cx, 60, 48, user=True))
    if level <= 3:
        step = 17
        top = 62 - (level - 1) * step / 2 - 18
        for i in range(level):
            metal_shape(s, metal, chevron(cx, top + i * step, 34, 24, 12))
    elif level == 4:
        for i in range(3):
            metal_shape(s, metal, chevron(cx, 22 + i * 14, 32, 20, 10))
        metal_shape(s, metal, "M31 82Q65.5 100 100 82L100 92"
                    "Q65.5 112 31 92Z")
    elif level == 5:
        s.el("circle", cx=cx, cy=56, r=31, fill="none",
             stroke=METALS[metal][2], stroke_width=1.5)
        bevel_star(s, metal, cx, 57, 28, 11.5)
        metal_shape(s, metal, "M36 94L95 94L90 102L41 102Z")
    elif level == 6:
        laurel(s, metal, -1)
        laurel(s, metal, 1)
        for x in (cx - 17, cx + 17):
            bevel_star(s, metal, x, 54, 15.5, 6.6)
        metal_shape(s, metal, "M41 80L90 80L85 88L46 88Z")
    else:
        winged_skull(s)
        metal_shape(s, "gold", "M37 92L94 92L88 102L43 102Z")
        for x in (52, 65.5, 79):
            s.el("polygon", points=pts(star_points(x, 97, 3.8, 1.6)),
                 fill="#fff6c0")
    # one stud on the rim per level
    for i in range(level):
        x = cx + (i - (level - 1) / 2) * 9
        u = (x - 14) / 103.0
        y = 16 - 28 * u * (1 - u)
        s.el("circle", cx=x, cy=y, r=1.8, fill=METALS[metal][0],
             stroke=METALS[metal][3], stroke_width=0.6)
    s.save("rank_%d.svg" % level)


# ---------------------------------------------------------------- avatars
# Each portrait combines one of nine head designs with one of six colour
# schemes and one of six head-specific features.

SCHEMES = [
    dict(arm=("#b8cc7a", "#62803a", "#26340f"), glow=("#fff6b0", "#ffae1a"),
         bg=("#3e5440", "#0d130e"), frame="#7d9a50", acc="#f0a020",
         skin="#f1c6a0", hair="#3a2a1a"),
    dict(arm=("#ff9a88", "#b8281a", "#480a06"), glow=("#fffbd8", "#ffd420"),
         bg=("#532038", "#12060c"), frame="#c03a30", acc="#f4f0e8",
         skin="#c88c60", hair="#111111"),
    dict(arm=("#b8d0f0", "#4a70a4", "#16243c"), glow=("#e8ffff", "#30dcff"),
         bg=("#223c64", "#060b16"), frame="#5a8ac8", acc="#ffc830",
         skin="#8a5a3a", hair="#1a1410"),
    dict(arm=("#f6e4b4", "#bc9c5c", "#54401e"), glow=("#f0ffe0", "#58f040"),
         bg=("#54422c", "#120c06"), frame="#b09258", acc="#c02818",
         skin="#e0ac84", hair="#8a4a1a"),
    dict(arm=("#8a9098", "#3c4048", "#111316"), glow=("#ffd8c8", "#ff3010"),
         bg=("#681414", "#140304"), frame="#9a3024", acc="#e02818",
         skin="#f4d2b4", hair="#c8b890"),
    dict(arm=("#fff0a8", "#d4a432", "#584008"), glow=("#ffe8ff", "#f050ff"),
         bg=("#3a2160", "#0c0618"), frame="#a478dc", acc="#7a30c0",
         skin="#a86e48", hair="#2a1020"),
]

STEEL = ("#e8eef4", "#8e9aa6", "#333a42")
BONE = ("#fffaea", "#d8ccaa", "#6e6046")
RUBBER = ("#6a6e74", "#34373c", "#101214")
BOTTOM = "L117 126L14 126C7.4 126 2 120.6 2 114"   # along the frame


def mat(s, tri, x1=0.3, y1=0, x2=0.7, y2=1):
    return s.lin([(0, tri[0]), (0.5, tri[1]), (1, tri[2])], x1, y1, x2, y2)


def darker(tri, t=0.3):
    return tuple(shade(c, -t) for c in tri)


def shape(s, d, fill, sw=2.0, stroke=OUTLINE, **kw):
    s.el("path", d=d, fill=fill, stroke=stroke, stroke_width=sw,
         stroke_linejoin="round", **kw)


def glow_fill(s, sc):
    return s.lin([(0, sc["glow"][0]), (1, sc["glow"][1])])


def halo(s, cx, cy, r, color, op=0.7):
    s.el("circle", cx=cx, cy=cy, r=r, fill=s.rad(
        [(0, color, op), (1, color, 0)]))


def shine(s, cx, cy, rx, ry, rot, op=0.28):
    s.el("ellipse", cx=0, cy=0, rx=rx, ry=ry, fill="#ffffff", opacity=op,
         transform="translate(%s,%s) rotate(%s)" % (num(cx), num(cy),
                                                     num(rot)))


def both(s, fn):
    """Draw fn() and its mirror image about the portrait's centre line."""
    fn()
    s.open(transform="translate(131,0) scale(-1,1)")
    fn()
    s.close()


def line(s, x1, y1, x2, y2, color=OUTLINE, w=1.5, **kw):
    s.el("line", x1=x1, y1=y1, x2=x2, y2=y2, stroke=color, stroke_width=w,
         stroke_linecap="round", **kw)


def backdrop(s, sc, motif):
    # Qt does not clip to the view box: motifs that overrun the rounded
    # card use a gradient that fades to nothing before its edge.
    s.el("rect", x=2, y=2, width=127, height=124, rx=12, fill=s.rad(
        [(0, shade(sc["bg"][0], 0.12)), (0.55, sc["bg"][0]),
         (1, sc["bg"][1])], 0.5, 0.42, 0.72))
    fade = s.rad([(0, sc["frame"], 0.55), (0.7, sc["frame"], 0.2),
                  (1, sc["frame"], 0)], 65.5, 58, 58, user=True)
    if motif == 0:
        for r in (30, 42, 54):
            s.el("circle", cx=65.5, cy=58, r=r, fill="none", stroke=fade,
                 stroke_width=2)
    elif motif == 1:
        d = []
        for i in range(12):
            a = math.radians(i * 30 + 8)
            b = math.radians(i * 30 + 20)
            d.append(poly_path([
                (65.5, 58), (65.5 + 70 * math.cos(a), 58 + 70 * math.sin(a)),
                (65.5 + 70 * math.cos(b), 58 + 70 * math.sin(b))]))
        s.el("path", d="".join(d), fill=fade)
    elif motif == 2:
        d = "".join("M%s 8L%s 120" % (num(x), num(x - 30))
                    for x in range(22, 150, 14))
        s.el("path", d=d, stroke=fade, stroke_width=4)
    elif motif == 3:
        d = "".join("M10 %dL121 %d" % (y, y) for y in range(14, 118, 13))
        d += "".join("M%s 8L%s 120" % (num(x), num(x))
                     for x in (13.5, 26.5, 39.5, 52.5, 65.5, 78.5, 91.5,
                               104.5, 117.5))
        s.el("path", d=d, stroke=fade, stroke_width=0.8)
    elif motif == 4:
        hexa = [(65.5 + 50 * math.cos(math.radians(a)),
                 58 + 50 * math.sin(math.radians(a)))
                for a in range(30, 390, 60)]
        s.el("polygon", points=pts(hexa), fill="none", stroke=fade,
             stroke_width=3)
        inner = [(65.5 + (x - 65.5) * 0.75, 58 + (y - 58) * 0.75)
                 for x, y in hexa]
        s.el("polygon", points=pts(inner), fill="none", stroke=fade,
             stroke_width=1.2)
    else:
        rng = random.Random(int(sc["frame"][1:], 16))
        for _ in range(22):
            s.el("circle", cx=round(rng.uniform(10, 121), 1),
                 cy=round(rng.uniform(10, 100), 1),
                 r=round(rng.uniform(0.6, 1.6), 1), fill=sc["glow"][0],
                 opacity=round(rng.uniform(0.25, 0.7), 2))
    halo(s, 65.5, 56, 50, sc["glow"][1], 0.22)


def frame(s, sc):
    s.el("rect", x=2, y=2, width=127, height=124, rx=12, fill="none",
         stroke=sc["frame"], stroke_width=2.5)
    s.el("rect", x=0.8, y=0.8, width=129.4, height=126.4, rx=13,
         fill="none", stroke=OUTLINE, stroke_width=1)
    s.el("rect", x=4.5, y=4.5, width=122, height=119, rx=10, fill="none",
         stroke="#ffffff", stroke_opacity=0.12, stroke_width=1)


def torso(s, sc, kind):
    A = sc["arm"]
    body = ("M2 104Q8 95 26 92L48 86L83 86L105 92Q123 95 129 104"
            "L129 114C129 120.6 123.6 126 117 126" + BOTTOM + "Z")
    if kind == "cloak":
        shape(s, body, mat(s, darker(A, 0.45)))
        for x in (30, 44, 87, 101):
            line(s, x, 100, x + (x - 65.5) * 0.15, 124, shade(A[2], -0.6), 2)
        return
    if kind == "demon":
        skin = sc["skin_tri"]
        shape(s, body, mat(s, skin))

        def spikes():
            shape(s, "M14 100L10 80L22 95ZM28 94L28 74L38 91Z",
                  mat(s, BONE), 1.5)
        both(s, spikes)
        line(s, 65.5, 96, 65.5, 124, shade(skin[2], -0.3), 2)
        return
    shape(s, body, mat(s, darker(A, 0.35)))
    s.el("rect", x=49, y=80, width=33, height=22, rx=4,
         fill=mat(s, RUBBER), stroke=OUTLINE, stroke_width=2)
    for y in (86, 92, 98):
        line(s, 52, y, 79, y, "#000000", 1.2, stroke_opacity=0.6)

    def pauldron():
        if kind == "robot":
            shape(s, "M2 100L6 92L40 90L46 98L46 126" + BOTTOM + "Z",
                  mat(s, A))
            for x, y in ((12, 98), (38, 98), (12, 114), (38, 114)):
                s.el("circle", cx=x, cy=y, r=2, fill=A[0], stroke=OUTLINE,
                     stroke_width=1)
            return
        shape(s, "M2 106Q4 88 24 85Q44 84 48 102L49 126" + BOTTOM + "Z",
              mat(s, A))
        s.el("path", d="M5 104Q8 91 24 89Q40 88 45 101", fill="none",
             stroke=sc["acc"], stroke_width=2.5)
        shine(s, 20, 94, 8, 3, -15, 0.3)
    both(s, pauldron)


# --- shared features

def claw_scar(s, x, y, ang=-35, n=3, length=22):
    d = []
    for i in range(n):
        ox = x + i * 6
        a = math.radians(ang)
        d.append("M%s %sL%s %s" % (num(ox), num(y),
                                   num(ox + length * math.cos(a) * -0.4),
                                   num(y - length * math.sin(a))))
    s.el("path", d="".join(d), stroke="#2a0a06", stroke_width=3,
         stroke_linecap="round")
    s.el("path", d="".join(d), stroke="#ffffff", stroke_width=0.8,
         stroke_opacity=0.5, stroke_linecap="round",
         transform="translate(1,0)")


def antenna(s, sc, x, y, top):
    line(s, x, y, x + 6, top, OUTLINE, 3.5)
    line(s, x, y, x + 6, top, STEEL[1], 1.6)
    halo(s, x + 6, top, 8, sc["glow"][1], 0.8)
    s.el("circle", cx=x + 6, cy=top, r=3, fill=sc["glow"][0],
         stroke=OUTLINE, stroke_width=1.2)


def horn_pair(s, d, tri=BONE):
    def one():
        shape(s, d, mat(s, tri), 1.8)
    both(s, one)


# --- head designs

def h_marine(s, sc, f):
    A = sc["arm"]
    torso(s, sc, "armor")
    if f == 3:
        crest = mat(s, (shade(sc["acc"], 0.4), sc["acc"],
                        shade(sc["acc"], -0.5)))

        def blade():
            shape(s, "M44 24L30 5L37 4L52 18Z", crest, 1.6)
        both(s, blade)
        shape(s, "M59 22L61 3L70 3L72 22Z", crest, 1.6)
    if f == 5:
        horn_pair(s, "M34 30Q16 22 14 6Q24 18 44 20Z")
    dome = mirror([(65.5, 13), (38, 16), (24, 38), (25, 68), (33, 90),
                   (50, 104), (65.5, 106)])
    shape(s, blob(dome), mat(s, A), 2.2)
    jaw = mirror([(65.5, 68), (42, 66), (28, 64, 1), (34, 90), (50, 103),
                  (65.5, 105)])
    shape(s, blob(jaw), mat(s, darker(A, 0.25)), 1.6)
    if f == 4:
        s.el("rect", x=60, y=14, width=11, height=32, fill=sc["acc"],
             stroke=OUTLINE, stroke_width=1.2)
        s.el("rect", x=63.5, y=14, width=4, height=32, fill="#ffffff",
             opacity=0.5)
    else:
        s.el("rect", x=62, y=14, width=7, height=32, rx=2,
             fill=mat(s, (shade(A[0], 0.3), A[0], A[1])), stroke=OUTLINE,
             stroke_width=1.2)
    visor = [(28, 44, 1), (103, 44, 1), (99, 60, 1), (78, 62, 1),
             (65.5, 70, 1), (53, 62, 1), (32, 60, 1)]
    halo(s, 65.5, 54, 40, sc["glow"][1], 0.35)
    shape(s, poly_path(visor), glow_fill(s, sc), 2.4)
    s.el("polygon", points=pts([(32, 47), (99, 47), (98.3, 50), (32.7, 50)]),
         fill="#ffffff", opacity=0.55)
    for i in range(3):
        line(s, 57 + i, 80 + i * 6, 74 - i, 80 + i * 6, OUTLINE, 2.6)
    for side in (-1, 1):
        line(s, 65.5 + side * 30, 66, 65.5 + side * 24, 90,
             shade(A[2], -0.4), 1.6)
    shine(s, 44, 28, 12, 5, -35)
    if f == 0:
        def paint():
            s.el("polygon", points=pts([(36, 66), (42, 66), (46, 84),
                                        (42, 86)]), fill=sc["acc"],
                 stroke=OUTLINE, stroke_width=1)
        both(s, paint)
    elif f == 1:
        claw_scar(s, 76, 40)
    elif f == 2:
        antenna(s, sc, 100, 52, 10)


def h_demon(s, sc, f):
    torso(s, sc, "demon")
    skin = sc["skin_tri"]
    dark = shade(skin[2], -0.4)
    if f == 0:
        horn_pair(s, "M36 34Q12 28 12 5Q24 22 48 24Z")
    elif f == 1:
        def ram():
            s.el("circle", cx=24, cy=36, r=12, fill="none", stroke=OUTLINE,
                 stroke_width=11)
            s.el("circle", cx=24, cy=36, r=12, fill="none",
                 stroke=mat(s, BONE), stroke_width=7.5)
            for a in range(0, 360, 45):
                r = math.radians(a)
                line(s, 24 + 9 * math.cos(r), 36 + 9 * math.sin(r),
                     24 + 15 * math.cos(r), 36 + 15 * math.sin(r), BONE[2], 1)
        both(s, ram)
    elif f == 2:
        horn_pair(s, "M40 30L32 5L52 24Z")
    elif f == 3:
        shape(s, "M36 34Q12 28 12 5Q24 22 48 24Z", mat(s, BONE), 1.8)
        shape(s, "M95 34Q110 32 114 22L108 16Q96 24 83 24Z", mat(s, BONE),
              1.8)
    elif f == 4:
        for x, h in ((40, 16), (52, 8), (65.5, 4), (79, 8), (91, 16)):
            shape(s, poly_path([(x - 6, 26), (x, h), (x + 6, 26)]),
                  mat(s, BONE), 1.5)
    else:
        horn_pair(s, "M36 40Q18 40 6 22Q20 30 42 30Z")
    head = mirror([(65.5, 20), (46, 20), (32, 30), (13, 38, 1), (28, 56),
                   (28, 78), (40, 98), (54, 108), (65.5, 110)])
    shape(s, blob(head), mat(s, skin), 2.2)
    shape(s, "M28 50Q65.5 32 103 50L99 58Q65.5 44 32 58Z",
          shade(skin[2], -0.1), 1.4)
    for y in (30, 36):
        s.el("path", d="M52 %dQ65.5 %d 79 %d" % (y, y - 4, y), fill="none",
             stroke=dark, stroke_width=1.4)
    halo(s, 65.5, 62, 30, sc["glow"][1], 0.5)

    def eye():
        shape(s, poly_path([(36, 57), (57, 62), (55, 69), (40, 65)]),
              glow_fill(s, sc), 1.6)
        line(s, 47, 61, 47, 66, OUTLINE, 2)
        s.el("path", d="M34 70Q40 80 42 88", fill="none", stroke=dark,
             stroke_width=1.6)
        s.el("ellipse", cx=60, cy=78, rx=2.2, ry=1.2, fill=OUTLINE)
    both(s, eye)
    s.el("path", d="M63 62L61 74M68 62L70 74", stroke=dark, stroke_width=1.2)
    mouth = mirror([(65.5, 84, 1), (40, 83, 1), (46, 100), (65.5, 102, 1)])
    shape(s, blob(mouth), "#2a0606", 1.8)
    teeth = []
    for i in range(7):
        x = 44 + i * 6.5
        big = i in (0, 6)
        teeth.append(poly_path([(x - 2.6, 84), (x, 84 + (10 if big else 6)),
                                (x + 2.6, 84)]))
    for i in range(5):
        x = 51.5 + i * 7
        teeth.append(poly_path([(x - 2.6, 100), (x, 94), (x + 2.6, 100)]))
    s.el("path", d="".join(teeth), fill="#f4ecd4", stroke=OUTLINE,
         stroke_width=0.6)
    shine(s, 46, 30, 10, 4, -20, 0.22)
    if f == 3:
        claw_scar(s, 72, 72, -50, 3, 18)


def h_skull(s, sc, f):
    A = sc["arm"]
    torso(s, sc, "cloak")
    bone = tuple(mix(BONE[i], A[i], 0.12) for i in range(3))
    if f == 2:
        horn_pair(s, "M32 34Q18 24 22 8Q28 22 44 24Z", darker(A, 0.4))
    skull = mirror([(65.5, 14), (38, 16), (24, 36), (24, 58), (32, 74),
                    (38, 80, 1), (42, 84), (44, 100), (54, 106),
                    (65.5, 107)])
    shape(s, blob(skull), mat(s, bone), 2.2)

    def socket():
        s.el("ellipse", cx=31, cy=52, rx=4, ry=12, fill=bone[2], opacity=0.35)
        shape(s, blob([(38, 50), (58, 48), (60, 62), (52, 71), (40, 66)]),
              "#160808", 1.2)
        s.el("path", d="M34 74Q44 78 50 76", fill="none", stroke=bone[2],
             stroke_width=1.6)
    both(s, socket)
    for x in (49, 82):
        if f == 3 and x == 49:
            continue
        halo(s, x, 59, 11, sc["glow"][1], 0.8)
        s.el("circle", cx=x, cy=59, r=3.4, fill=sc["glow"][0])
    shape(s, blob([(65.5, 67, 1), (71, 79), (65.5, 84, 1), (60, 79)]),
          "#160808", 1)
    s.el("rect", x=47, y=87, width=37, height=14, rx=4, fill=bone[0],
         stroke=OUTLINE, stroke_width=1.6)
    d = "M47 94L84 94" + "".join("M%s 87L%s 101" % (num(x), num(x))
                                 for x in (52.5, 58.5, 65.5, 72.5, 78.5))
    s.el("path", d=d, stroke=bone[2], stroke_width=1.2)
    shine(s, 46, 28, 12, 5, -30, 0.35)
    if f == 0:
        s.el("polyline", points=pts([(70, 15), (74, 24), (69, 30), (76, 38),
                                     (73, 44)]), fill="none",
             stroke="#1a0c08", stroke_width=1.8, stroke_linejoin="round")
        line(s, 74, 24, 82, 27, "#1a0c08", 1.4)
    elif f == 1:
        helm = "M21 46Q18 9 65.5 9Q113 9 110 46L116 50L15 50Z"
        shape(s, helm, mat(s, A), 2.2)
        s.el("path", d="M17 48L114 48", stroke=shade(A[2], -0.3),
             stroke_width=2)
        shine(s, 44, 22, 13, 4, -15, 0.3)
        s.el("circle", cx=65.5, cy=30, r=6, fill=sc["acc"], stroke=OUTLINE,
             stroke_width=1.2)
    elif f == 3:
        line(s, 28, 32, 104, 76, "#1a1410", 3)
        shape(s, blob([(37, 50), (58, 46), (62, 62), (52, 72), (38, 66)]),
              mat(s, RUBBER), 1.6)
    elif f == 4:
        plate = "M65.5 15Q95 15 106 34L107 60L96 76L84 80L70 72L66 52Z"
        shape(s, plate, mat(s, STEEL), 1.8)
        for x, y in ((74, 24), (98, 36), (100, 62), (74, 66)):
            s.el("circle", cx=x, cy=y, r=1.6, fill=STEEL[2])
        s.el("circle", cx=85, cy=56, r=9, fill="#141418", stroke=OUTLINE,
             stroke_width=1.4)
        halo(s, 85, 56, 12, sc["glow"][1], 0.9)
        s.el("circle", cx=85, cy=56, r=4.5, fill=sc["glow"][0])
    elif f == 5:
        halo(s, 65.5, 32, 16, sc["glow"][1], 0.6)
        s.el("path", d="M65.5 20L74 32L65.5 44L57 32ZM65.5 26L65.5 38"
             "M61 32L70 32",
             fill="none", stroke=sc["glow"][0], stroke_width=2.2,
             stroke_linejoin="round")


def h_cyborg(s, sc, f):
    torso(s, sc, "armor")
    sk = sc["skin"]
    skin = (shade(sk, 0.25), sk, shade(sk, -0.45))
    hair = sc["hair"]
    s.el("ellipse", cx=31, cy=62, rx=5, ry=9, fill=mat(s, skin),
         stroke=OUTLINE, stroke_width=1.6)
    face = mirror([(65.5, 18), (42, 19), (32, 36), (31, 62), (35, 82),
                   (47, 99), (65.5, 105)])
    shape(s, blob(face), mat(s, skin, 0, 0, 1, 0.6), 2.2)
    if f == 3:
        beard = mirror([(65.5, 84), (50, 84), (36, 74), (38, 90), (50, 104),
                        (65.5, 108)])
        shape(s, blob(beard), mat(s, (shade(hair, 0.25), hair,
                                      shade(hair, -0.4))), 1.6)
    if f in (0, 1, 3, 5):
        cap = mirror([(65.5, 14), (40, 15), (30, 30), (31, 44, 1),
                      (40, 32), (65.5, 28)])
        shape(s, blob(cap), mat(s, (shade(hair, 0.25), hair,
                                    shade(hair, -0.4))), 1.8)
    if f == 0:
        shape(s, blob([(58, 30, 1), (56, 10), (65.5, 2), (75, 10),
                       (73, 30, 1)]),
              mat(s, (shade(sc["acc"], 0.3), sc["acc"],
                      shade(sc["acc"], -0.5))), 1.8)
    s.el("polygon", points=pts([(40, 52), (59, 50), (59, 54), (41, 56)]),
         fill=hair, stroke=OUTLINE, stroke_width=0.8)
    s.el("ellipse", cx=50, cy=61, rx=7, ry=4, fill="#f8f4ee",
         stroke=OUTLINE, stroke_width=1.2)
    s.el("circle", cx=51, cy=61, r=3, fill="#3a2a1a")
    s.el("path", d="M64 64L61 77L66 78", fill="none", stroke=skin[2],
         stroke_width=1.6, stroke_linejoin="round")
    s.el("path", d="M51 89Q58 92 67 89", fill="none", stroke="#3a1a10",
         stroke_width=2, stroke_linecap="round")
    plate = ("M66 19Q92 18 99 34L100 62L96 84L84 96L72 92L68 76L71 56"
             "L66 44Z")
    shape(s, plate, mat(s, STEEL), 1.9)
    for x, y in ((72, 26), (94, 34), (96, 74), (80, 90), (71, 62)):
        s.el("circle", cx=x, cy=y, r=1.7, fill=STEEL[2])
    s.el("path", d="M74 44L96 44M76 78L92 80", stroke=STEEL[2],
         stroke_width=1.2)
    s.el("circle", cx=83, cy=61, r=9, fill="#15161a", stroke=OUTLINE,
         stroke_width=1.6)
    halo(s, 83, 61, 14, sc["glow"][1], 0.9)
    s.el("circle", cx=83, cy=61, r=4.5, fill=sc["glow"][0])
    s.el("circle", cx=81, cy=59, r=1.4, fill="#ffffff")
    shine(s, 44, 34, 6, 3, -30, 0.25)
    if f == 1:
        s.el("path", d="M40 66L48 82", stroke="#7a2a20", stroke_width=2.4,
             stroke_linecap="round")
        s.el("path", d="M40 72L45 70M43 77L48 75", stroke="#7a2a20",
             stroke_width=1.2)
    elif f == 2:
        s.el("path", d="M27 38Q30 12 65.5 12Q101 12 104 38", fill="none",
             stroke=OUTLINE, stroke_width=6)
        s.el("path", d="M27 38Q30 12 65.5 12Q101 12 104 38", fill="none",
             stroke=sc["acc"], stroke_width=3)
        s.el("rect", x=22, y=52, width=12, height=22, rx=5,
             fill=mat(s, RUBBER), stroke=OUTLINE, stroke_width=1.6)
        s.el("path", d="M28 72Q32 92 50 94", fill="none", stroke=OUTLINE,
             stroke_width=2.5)
        s.el("circle", cx=51, cy=94, r=3, fill=sc["acc"], stroke=OUTLINE,
             stroke_width=1)
    elif f == 4:
        for i, c in enumerate((sc["acc"], sc["glow"][1])):
            d = "M%d 30Q%d 8 %d 7" % (78 + i * 8, 96 + i * 6, 104 + i * 6)
            s.el("path", d=d, fill="none", stroke=OUTLINE, stroke_width=5)
            s.el("path", d=d, fill="none", stroke=c, stroke_width=2.6)
    elif f == 5:
        s.el("rect", x=33, y=30, width=65, height=8, rx=3,
             fill=mat(s, RUBBER), stroke=OUTLINE, stroke_width=1.4)
        for x in (50, 81):
            s.el("circle", cx=x, cy=34, r=8, fill=mat(s, STEEL),
                 stroke=OUTLINE, stroke_width=1.6)
            s.el("circle", cx=x, cy=34, r=5, fill=glow_fill(s, sc),
                 stroke=OUTLINE, stroke_width=1)


def h_pilot(s, sc, f):
    A = sc["arm"]
    torso(s, sc, "armor")
    if f == 5:
        def fin():
            shape(s, "M15 62L5 22L15 21L29 52Z", mat(s, darker(A, 0.2)), 1.8)
            line(s, 10, 25, 20, 56, sc["acc"], 2)
        both(s, fin)
    if f == 2:
        antenna(s, sc, 96, 30, 6)
    helmet = mirror([(65.5, 11), (34, 13), (19, 38), (19, 74), (28, 96),
                     (46, 108), (65.5, 110)])
    shape(s, blob(helmet), mat(s, A), 2.2)

    def ear():
        s.el("circle", cx=22, cy=66, r=10, fill=mat(s, darker(A, 0.3)),
             stroke=OUTLINE, stroke_width=1.8)
        s.el("circle", cx=22, cy=66, r=4.5, fill=sc["acc"], stroke=OUTLINE,
             stroke_width=1.2)
    both(s, ear)
    visor = mirror([(65.5, 33), (37, 35), (29, 54), (32, 80), (46, 95),
                    (65.5, 99)])
    shape(s, blob(visor), mat(s, darker(A, 0.5)), 5)
    shape(s, blob(visor), s.lin(
        [(0, sc["glow"][0]), (0.3, sc["glow"][1]),
         (0.62, shade(sc["bg"][0], -0.2)), (1, "#040406")]), 2)
    s.el("path", d="M33 66Q65.5 58 98 66", fill="none", stroke="#ffffff",
         stroke_opacity=0.35, stroke_width=1.2)
    s.el("polygon", points=pts([(40, 44), (50, 39), (41, 78), (35, 70)]),
         fill="#ffffff", opacity=0.35)
    s.el("polygon", points=pts([(54, 38), (58, 37), (47, 88), (44, 85)]),
         fill="#ffffff", opacity=0.2)
    shine(s, 44, 22, 12, 4, -25, 0.3)
    if f == 0:
        for x in (57, 70):
            s.el("rect", x=x, y=12, width=4, height=22, fill=sc["acc"],
                 stroke=OUTLINE, stroke_width=0.8)
    elif f == 1:
        def wing():
            shape(s, "M30 40L12 30L16 38L8 40L18 46L30 46Z", sc["acc"], 1.2)
        both(s, wing)
    elif f == 3:
        s.el("polyline", points=pts([(84, 42), (76, 54), (86, 60), (78, 76)]),
             fill="none", stroke="#ffffff", stroke_width=1.4,
             stroke_opacity=0.85, stroke_linejoin="round")
        s.el("polyline", points=pts([(76, 54), (66, 56), (62, 66)]),
             fill="none", stroke="#ffffff", stroke_width=1,
             stroke_opacity=0.7)
    elif f == 4:
        for i in range(2):
            shape(s, chevron(65.5, 14 + i * 7, 11, 7, 4), sc["acc"], 1)


def h_knight(s, sc, f):
    A = sc["arm"]
    torso(s, sc, "armor")
    if f == 0:
        horn_pair(s, "M32 36Q10 34 10 8Q20 24 38 24Z")
    elif f == 1:
        shape(s, blob([(62, 20, 1), (58, 4), (80, 6), (100, 18), (104, 36),
                       (94, 28), (80, 20), (70, 20, 1)]),
              mat(s, (shade(sc["acc"], 0.3), sc["acc"],
                      shade(sc["acc"], -0.5))), 1.8)
    elif f == 4:
        def wing():
            for i in range(3):
                shape(s, "M32 %dQ14 %d 6 %dQ18 %d 32 %dZ" % (
                    30 + i * 10, 20 + i * 12, 14 + i * 14, 30 + i * 12,
                    38 + i * 10), mat(s, STEEL), 1.3)
        both(s, wing)
    elif f == 5:
        def fin():
            shape(s, "M30 50L14 42L18 58L30 62Z", mat(s, darker(A, 0.2)),
                  1.5)
        both(s, fin)
    helm = mirror([(65.5, 13), (33, 17), (28, 36), (28, 96, 1),
                   (40, 107, 1), (65.5, 107, 1)])
    shape(s, blob(helm), mat(s, A, 0, 0.3, 1, 0.7), 2.2)
    if f == 2:
        for x, h in ((36, 6), (50, 3), (65.5, 1), (81, 3), (95, 6)):
            shape(s, poly_path([(x - 5, 22), (x, h + 4), (x + 5, 22)]),
                  mat(s, METALS["gold"][:3]), 1.3)
        s.el("rect", x=30, y=18, width=71, height=7, fill=mat(
            s, METALS["gold"][:3]), stroke=OUTLINE, stroke_width=1.3)
    s.el("polygon", points=pts([(65.5, 14), (69, 18), (69, 48), (62, 48),
                                (62, 18)]),
         fill=shade(A[0], 0.3), stroke=OUTLINE, stroke_width=1)
    s.el("rect", x=29, y=44, width=73, height=18,
         fill=mat(s, darker(A, 0.3)), stroke=OUTLINE, stroke_width=1.6)
    halo(s, 65.5, 53, 40, sc["glow"][1], 0.45)
    s.el("rect", x=34, y=50, width=63, height=6, fill="#0a0606")
    s.el("rect", x=37, y=51.5, width=57, height=3, fill=glow_fill(s, sc))
    s.el("rect", x=62.5, y=56, width=6, height=30, fill="#0a0606")
    s.el("rect", x=64.3, y=57, width=2.4, height=24, fill=sc["glow"][1],
         opacity=0.8)
    for x in (33, 98):
        s.el("circle", cx=x, cy=53, r=1.8, fill=A[0], stroke=OUTLINE,
             stroke_width=0.8)

    def holes():
        for r in range(4):
            for c in range(3 - (r == 3)):
                s.el("circle", cx=44 + c * 5.5, cy=70 + r * 6.5, r=1.5,
                     fill="#0a0606")
    both(s, holes)
    shine(s, 42, 30, 7, 14, 10, 0.25)
    if f == 3:
        s.el("path", d="M78 22L92 38M82 20L95 34M40 72L50 92",
             stroke="#ffffff", stroke_opacity=0.45, stroke_width=1.2)
        s.el("path", d="M79 23L93 39M41 73L51 93", stroke=OUTLINE,
             stroke_opacity=0.5, stroke_width=1)
        s.el("circle", cx=88, cy=80, r=4, fill=shade(A[2], -0.2),
             stroke=A[0], stroke_width=0.8, stroke_opacity=0.6)


def h_gasmask(s, sc, f):
    A = sc["arm"]
    torso(s, sc, "armor")
    hood = mirror([(65.5, 12), (36, 14), (20, 40), (20, 82), (30, 106),
                   (65.5, 112)])
    shape(s, blob(hood), mat(s, darker(A, 0.45)), 2.2)
    if f == 0 or f == 4:
        helm = "M19 50Q16 8 65.5 8Q115 8 112 50L118 55L13 55Z"
        shape(s, helm, mat(s, A), 2.2)
        shine(s, 44, 22, 13, 4, -15, 0.3)
        if f == 4:
            lum = sum(hex2rgb(A[1])) / 765.0
            camo = shade(A[1], 0.3) if lum < 0.3 else shade(A[1], -0.45)
            for blot in ([(30, 30), (40, 18), (50, 24), (44, 36)],
                         [(62, 14), (78, 12), (84, 22), (70, 26)],
                         [(90, 30), (102, 28), (106, 44), (94, 42)],
                         [(52, 44), (64, 38), (72, 46), (60, 50)]):
                s.el("path", d=blob(blot), fill=camo, opacity=0.8)
    if f == 2:
        s.el("rect", x=26, y=18, width=79, height=7, rx=3,
             fill=mat(s, RUBBER), stroke=OUTLINE, stroke_width=1.2)
        s.el("rect", x=55, y=12, width=21, height=16, rx=4,
             fill=mat(s, STEEL), stroke=OUTLINE, stroke_width=1.4)
        halo(s, 65.5, 20, 16, sc["glow"][1], 0.7)
        s.el("circle", cx=65.5, cy=20, r=5, fill=sc["glow"][0],
             stroke=OUTLINE, stroke_width=1)
    mask = mirror([(65.5, 34), (40, 36), (30, 56), (34, 80), (50, 98),
                   (65.5, 102)])
    shape(s, blob(mask), mat(s, RUBBER), 2)

    def strap():
        line(s, 31, 52, 25, 47, OUTLINE, 4)
        line(s, 33, 78, 25, 84, OUTLINE, 4)
    both(s, strap)
    if f == 1:
        def side_filter():
            s.el("rect", x=30, y=82, width=16, height=18, rx=3,
                 fill=mat(s, STEEL), stroke=OUTLINE, stroke_width=1.6,
                 transform="rotate(30,38,91)")
        both(s, side_filter)
    if f == 5:
        s.el("path", d="M65.5 104Q66 120 100 116Q118 114 116 98",
             fill="none", stroke=OUTLINE, stroke_width=8)
        s.el("path", d="M65.5 104Q66 120 100 116Q118 114 116 98",
             fill="none", stroke=RUBBER[0], stroke_width=5)
        for t in range(6):
            x = 70 + t * 8
            line(s, x, 112 + (t > 3) * -4, x + 1, 118 + (t > 3) * -4,
                 OUTLINE, 1)
    for x in (48, 83):
        halo(s, x, 58, 18, sc["glow"][1], 0.5)
        s.el("circle", cx=x, cy=58, r=11, fill=s.rad(
            [(0, sc["glow"][0]), (0.6, sc["glow"][1]),
             (1, shade(sc["glow"][1], -0.5))]),
             stroke=OUTLINE, stroke_width=1.5)
        s.el("circle", cx=x, cy=58, r=11.5, fill="none", stroke=mat(s, STEEL),
             stroke_width=3)
        s.el("ellipse", cx=x - 4, cy=54, rx=3.5, ry=2, fill="#ffffff",
             opacity=0.6)
    if f == 3:
        s.el("polyline", points=pts([(76, 50), (82, 58), (79, 63), (88, 67)]),
             fill="none", stroke=OUTLINE, stroke_width=1.4)
        s.el("polyline", points=pts([(82, 58), (91, 54)]),
             fill="none", stroke=OUTLINE, stroke_width=1.2)
    can = "M53 78L78 78L82 104L49 104Z"
    shape(s, can, mat(s, STEEL, 0, 0, 1, 0), 1.8)
    s.el("path", d="M51 86L80 86M50.5 92L81 92M50 98L81.5 98",
         stroke=STEEL[2], stroke_width=1.4)
    s.el("ellipse", cx=65.5, cy=78, rx=12.5, ry=3.5, fill=STEEL[1],
         stroke=OUTLINE, stroke_width=1.2)
    s.el("circle", cx=65.5, cy=68, r=4, fill=sc["acc"], stroke=OUTLINE,
         stroke_width=1)


def h_robot(s, sc, f):
    A = sc["arm"]
    torso(s, sc, "robot")
    if f in (0, 3, 5):
        antenna(s, sc, 62, 24, 8 if f != 3 else 12)
    elif f == 1:
        def ant():
            line(s, 36, 26, 28, 8, OUTLINE, 3.5)
            line(s, 36, 26, 28, 8, STEEL[1], 1.6)
            s.el("circle", cx=28, cy=8, r=3, fill=sc["acc"], stroke=OUTLINE,
                 stroke_width=1.2)
        both(s, ant)

    def ear():
        s.el("rect", x=18, y=44, width=12, height=32, rx=4,
             fill=mat(s, darker(A, 0.3)), stroke=OUTLINE, stroke_width=1.8)
        line(s, 24, 50, 24, 70, sc["glow"][1], 2)
    both(s, ear)
    s.el("rect", x=42, y=84, width=47, height=22, rx=6,
         fill=mat(s, darker(A, 0.25)), stroke=OUTLINE, stroke_width=2)
    s.el("rect", x=27, y=20, width=77, height=72, rx=15, fill=mat(s, A),
         stroke=OUTLINE, stroke_width=2.2)
    if f == 4:
        shape(s, "M36 20L46 6L56 20ZM75 20L85 6L95 20Z", mat(s, A), 1.6)
    s.el("rect", x=35, y=38, width=61, height=36, rx=9, fill=s.lin(
        [(0, "#20242c"), (1, "#06070a")]), stroke=OUTLINE, stroke_width=2)
    halo(s, 65.5, 56, 28, sc["glow"][1], 0.45)
    g = glow_fill(s, sc)
    if f == 0:
        for x in (51, 80):
            s.el("circle", cx=x, cy=55, r=8, fill=g, stroke=OUTLINE,
                 stroke_width=1.2)
            s.el("circle", cx=x - 2.5, cy=52.5, r=2, fill="#ffffff")
    elif f == 1:
        s.el("rect", x=40, y=51, width=51, height=8, rx=4, fill=s.lin(
            [(0, sc["glow"][1], 0.2), (0.5, sc["glow"][0]),
             (1, sc["glow"][1], 0.2)], 0, 0, 1, 0))
    elif f == 2:
        s.el("circle", cx=65.5, cy=56, r=14, fill=mat(s, STEEL),
             stroke=OUTLINE, stroke_width=1.4)
        s.el("circle", cx=65.5, cy=56, r=9, fill=s.rad(
            [(0, sc["glow"][0]), (0.5, sc["glow"][1]), (1, "#101010")]))
        s.el("circle", cx=62, cy=52.5, r=2.4, fill="#ffffff")
    elif f == 3:
        def angry():
            s.el("polygon", points=pts([(42, 48), (60, 54), (58, 62),
                                        (44, 60)]), fill=g)
        both(s, angry)
    elif f == 4:
        for x in (44, 71):
            s.el("rect", x=x, y=46, width=16, height=16, rx=2, fill=g)
            s.el("path", d="M%s 54L%s 54M%s 46L%s 62" % (
                num(x), num(x + 16), num(x + 8), num(x + 8)),
                stroke="#000000", stroke_opacity=0.35, stroke_width=1.2)
    else:
        for x, y in ((52, 62), (79, 62), (65.5, 48)):
            s.el("circle", cx=x, cy=y, r=6, fill=g, stroke=OUTLINE,
                 stroke_width=1)
    s.el("rect", x=38, y=40, width=55, height=4, rx=2, fill="#ffffff",
         opacity=0.12)
    for i in range(5):
        x = 50 + i * 7.75
        s.el("rect", x=x - 2, y=78, width=4, height=8, rx=1.5,
             fill=sc["glow"][1] if i % 2 == f % 2 else "#1a1c20",
             stroke=OUTLINE, stroke_width=0.8)
    for x, y in ((33, 26), (98, 26), (33, 86), (98, 86)):
        s.el("circle", cx=x, cy=y, r=2, fill=A[0], stroke=OUTLINE,
             stroke_width=0.9)
    shine(s, 46, 28, 12, 3.5, -12, 0.35)
    for y in (92, 98):
        line(s, 47, y, 84, y, shade(A[2], -0.3), 1.4)


def h_hood(s, sc, f):
    A = sc["arm"]
    torso(s, sc, "cloak")
    if f == 2:
        horn_pair(s, "M38 36Q16 26 18 4Q28 22 46 24Z", darker(BONE, 0.15))
    hood = mirror([(65.5, 6, 1), (46, 16), (26, 44), (21, 86), (25, 108),
                   (44, 112), (65.5, 110)])
    shape(s, blob(hood), mat(s, darker(A, 0.2)), 2.2)
    for d in ("M38 30Q30 60 32 100", "M93 30Q101 60 99 100"):
        s.el("path", d=d, fill="none", stroke=shade(A[2], -0.5),
             stroke_width=1.8, stroke_opacity=0.7)
    opening = mirror([(65.5, 28), (45, 34), (37, 58), (41, 86), (53, 101),
                      (65.5, 103)])
    shape(s, blob(opening), s.rad([(0, "#000000"), (0.7, "#050304"),
                                   (1, shade(A[2], -0.3))], 0.5, 0.55, 0.6),
          3.5, sc["acc"])
    halo(s, 65.5, 62, 24, sc["glow"][1], 0.4)
    if f == 1:
        mask = mirror([(65.5, 40), (50, 42), (44, 58), (48, 80),
                       (58, 94), (65.5, 96)])
        shape(s, blob(mask), mat(s, BONE), 1.6)
        for x in (55, 76):
            shape(s, blob([(x - 6, 58), (x, 54), (x + 6, 58), (x, 64)]),
                  "#0a0404", 1)
            s.el("circle", cx=x, cy=59, r=2, fill=sc["glow"][0])
        s.el("path", d="M56 82L75 82M60 78L60 86M65.5 78L65.5 86M71 78L71 86",
             stroke=OUTLINE, stroke_width=1.2)
    elif f == 5:
        for x, y, r in ((55, 58, 3.2), (76, 58, 3.2), (65.5, 50, 2.6),
                        (48, 70, 2.2), (83, 70, 2.2), (65.5, 68, 2.6)):
            halo(s, x, y, r * 3, sc["glow"][1], 0.7)
            s.el("ellipse", cx=x, cy=y, rx=r, ry=r * 0.7, fill=sc["glow"][0])
    else:
        def eye():
            halo(s, 55, 60, 12, sc["glow"][1], 0.8)
            s.el("polygon", points=pts([(47, 56), (61, 60), (58, 64),
                                        (49, 62)]), fill=glow_fill(s, sc))
        both(s, eye)
    if f == 3:
        halo(s, 65.5, 20, 14, sc["glow"][1], 0.7)
        s.el("path", d="M55 20Q65.5 10 76 20Q65.5 30 55 20Z", fill="none",
             stroke=sc["glow"][0], stroke_width=1.8, stroke_linejoin="round")
        s.el("circle", cx=65.5, cy=20, r=2.8, fill=sc["glow"][0])
    elif f == 4:
        halo(s, 65.5, 84, 18, sc["glow"][1], 0.6)
        s.el("polyline", points=pts([(50, 80), (55, 86), (60, 82),
                                     (65.5, 88), (71, 82), (76, 86),
                                     (81, 80)]),
             fill="none", stroke=sc["glow"][0], stroke_width=2.4,
             stroke_linejoin="round")
    elif f == 0:
        for y in (104, 112):
            s.el("path", d="M%d %dQ65.5 %d %d %d" % (40, y, y + 8, 91, y),
                 fill="none", stroke=sc["acc"], stroke_width=1.6)
        s.el("polygon", points=pts(star_points(65.5, 117, 5, 2)),
             fill=sc["acc"])
    shine(s, 44, 40, 10, 4, -55, 0.2)


HEADS = [h_marine, h_demon, h_skull, h_cyborg, h_pilot, h_knight, h_gasmask,
         h_robot, h_hood]


def make_avatar(k):
    row, head = divmod(k, len(HEADS))
    scheme = (row + head) % len(SCHEMES)
    sc = dict(SCHEMES[scheme])
    sc["skin_tri"] = tuple(mix(c, "#a01808", 0.3) for c in sc["arm"])
    s = Svg(131, 128)
    backdrop(s, sc, (head + row * 2) % 6)
    HEADS[head](s, sc, row)
    frame(s, sc)
    s.save("avatar_%02d.svg" % (k + 1))


def main():
    make_banner()
    for level in range(1, 8):
        make_rank(level)
    for k in range(54):
        make_avatar(k)


if __name__ == "__main__":
    main()
