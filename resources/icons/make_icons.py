#!/usr/bin/env python3
"""Generate the launcher's icons as SVG Tiny files.

Writes into the directory holding this script:
  toolbar_NAME.svg, toolbar_NAME_hot.svg, toolbar_NAME_disabled.svg
      32x31 toolbar buttons in their normal, pointed-at and disabled states,
      for NAME in launch, refresh, refresh_all, query_master, wad_directories,
      player_lookup, about
  server.svg, server_scorecard.svg
      16x16 server list icons: a dark sphere, and the same sphere with a tick
  pellrig.svg   256x256 application icon
  welcome.svg   120x120 picture of the first-run welcome dialog

Only paths, basic shapes, groups and gradients are used, so that QSvgRenderer
(SVG Tiny 1.2) draws everything; arcs are written as cubic curves because
Tiny paths have no arc command. The three toolbar states are one drawing
passed through different colour filters. The output is deterministic.
"""

import math
import os

OUT = os.path.dirname(os.path.abspath(__file__))
OUTLINE = "#1c0604"

# Fire, from its hottest to its darkest colour; the banner's palette.
FIRE = ("#fff0b0", "#ffc850", "#ff8a1a", "#d8420a", "#8a1a04")


# ---------------------------------------------------------------- helpers

def num(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return s if s not in ("", "-0") else "0"


def pts(points):
    return " ".join("%s,%s" % (num(x), num(y)) for x, y in points)


def hex2rgb(c):
    c = c.lstrip("#")
    return tuple(int(c[i:i + 2], 16) for i in (0, 2, 4))


def rgb2hex(r, g, b):
    return "#%02x%02x%02x" % tuple(
        max(0, min(255, int(round(v)))) for v in (r, g, b))


def mix(a, b, t):
    ra, rb = hex2rgb(a), hex2rgb(b)
    return rgb2hex(*(ra[i] + (rb[i] - ra[i]) * t for i in range(3)))


# Colour filters of the toolbar states.

def normal(c):
    return c


def hot(c):
    """Brighter and warmer: the button glows when pointed at."""
    r, g, b = hex2rgb(c)
    r, g, b = r * 1.12 + 40, g * 1.12 + 22, b * 1.05 + 6
    return rgb2hex(r, g, b)


def disabled(c):
    """Grey, lighter and flatter, like a control that cannot be used."""
    r, g, b = hex2rgb(c)
    lum = (0.299 * r + 0.587 * g + 0.114 * b) / 255
    v = 112 + 100 * lum
    return rgb2hex(v, v, v)


class Svg:
    def __init__(self, w, h, tint=normal):
        self.w, self.h = w, h
        self.tint = tint
        self.defs = []
        self.body = []
        self.ids = {}

    def c(self, colour):
        return self.tint(colour)

    def _stops(self, stops):
        out = []
        for st in stops:
            op = ' stop-opacity="%s"' % num(st[2]) if len(st) > 2 else ""
            out.append('<stop offset="%s" stop-color="%s"%s/>'
                       % (num(st[0]), self.c(st[1]), op))
        return "".join(out)

    def _define(self, key, text):
        if key not in self.ids:
            gid = "g%d" % (len(self.ids) + 1)
            self.ids[key] = gid
            self.defs.append(text % gid)
        return "url(#%s)" % self.ids[key]

    def lin(self, stops, x1, y1, x2, y2):
        """Linear gradient in user space."""
        key = ("l", tuple(stops), x1, y1, x2, y2)
        return self._define(key, (
            '<linearGradient id="%%s" gradientUnits="userSpaceOnUse" '
            'x1="%s" y1="%s" x2="%s" y2="%s">%s</linearGradient>'
            % (num(x1), num(y1), num(x2), num(y2), self._stops(stops))))

    def rad(self, stops, cx, cy, r, fx=None, fy=None):
        """Radial gradient in user space, optionally with a focus."""
        key = ("r", tuple(stops), cx, cy, r, fx, fy)
        focus = ""
        if fx is not None:
            focus = ' fx="%s" fy="%s"' % (num(fx), num(fy))
        return self._define(key, (
            '<radialGradient id="%%s" gradientUnits="userSpaceOnUse" '
            'cx="%s" cy="%s" r="%s"%s>%s</radialGradient>'
            % (num(cx), num(cy), num(r), focus, self._stops(stops))))

    def el(self, tag, **attrs):
        parts = []
        for k, v in attrs.items():
            if v is None:
                continue
            k = k.rstrip("_").replace("_", "-")
            if isinstance(v, float):
                v = num(v)
            elif k in ("fill", "stroke") and v.startswith("#"):
                v = self.c(v)
            parts.append('%s="%s"' % (k, v))
        self.body.append("<%s %s/>" % (tag, " ".join(parts)))

    def open(self, transform):
        self.body.append('<g transform="%s">' % transform)

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


def arc_path(cx, cy, r, a0, a1, move=True):
    """Circular arc from angle a0 to a1 (degrees, clockwise on screen) as
    cubic curves of at most 90 degrees each."""
    n = max(1, int(math.ceil(abs(a1 - a0) / 90.0)))
    step = (a1 - a0) / n
    d = []
    a = math.radians(a0)
    x, y = cx + r * math.cos(a), cy + r * math.sin(a)
    if move:
        d.append("M%s %s" % (num(x), num(y)))
    for i in range(n):
        t0 = math.radians(a0 + i * step)
        t1 = math.radians(a0 + (i + 1) * step)
        k = 4.0 / 3.0 * math.tan((t1 - t0) / 4.0)
        p1 = (cx + r * (math.cos(t0) - k * math.sin(t0)),
              cy + r * (math.sin(t0) + k * math.cos(t0)))
        p2 = (cx + r * (math.cos(t1) + k * math.sin(t1)),
              cy + r * (math.sin(t1) - k * math.cos(t1)))
        p3 = (cx + r * math.cos(t1), cy + r * math.sin(t1))
        d.append("C%s %s %s %s %s %s" % tuple(
            num(v) for v in (p1 + p2 + p3)))
    return "".join(d)


def poly_path(points):
    return "M" + "L".join("%s %s" % (num(x), num(y))
                          for x, y in points) + "Z"


def polar(cx, cy, r, deg):
    a = math.radians(deg)
    return cx + r * math.cos(a), cy + r * math.sin(a)


# ------------------------------------------------------------- the sphere

def sphere(s, cx, cy, r, rim=True):
    """The dark sphere that stands for a game server."""
    s.el("circle", cx=cx, cy=cy, r=r, fill=s.rad(
        [(0, "#9a9096"), (0.22, "#5a4e56"), (0.62, "#221a20"),
         (1, "#060405")],
        cx, cy, r, cx - r * 0.38, cy - r * 0.42))
    if rim:
        # Warm light from below, as if from the fires of the banner.
        s.el("path", d=arc_path(cx, cy, r * 0.86, 30, 150),
             fill="none", stroke="#ff7a30", stroke_opacity=0.45,
             stroke_width=max(0.6, r * 0.12), stroke_linecap="round")
    s.el("ellipse", cx=cx - r * 0.36, cy=cy - r * 0.42, rx=r * 0.3,
         ry=r * 0.18, fill="#ffffff", fill_opacity=0.5,
         transform="rotate(-35 %s %s)" % (num(cx - r * 0.36),
                                          num(cy - r * 0.42)))
    s.el("circle", cx=cx, cy=cy, r=r, fill="none", stroke="#000000",
         stroke_opacity=0.8, stroke_width=max(0.7, r * 0.09))


def make_server_icons():
    for name, tick in (("server.svg", False), ("server_scorecard.svg", True)):
        s = Svg(16, 16)
        sphere(s, 7.5, 7.5, 6.5)
        if tick:
            check = pts([(6.6, 11.2), (9.3, 13.9), (14.6, 7.4)])
            s.el("polyline", points=check, fill="none", stroke="#0a1a04",
                 stroke_width=3.8, stroke_linecap="round",
                 stroke_linejoin="round")
            s.el("polyline", points=check, fill="none", stroke="#3ee03a",
                 stroke_width=2.0, stroke_linecap="round",
                 stroke_linejoin="round")
        s.save(name)


# ---------------------------------------------------------- toolbar icons

def outlined(s, d, fill, width=1.3):
    s.el("path", d=d, fill=fill, stroke=OUTLINE, stroke_width=width,
         stroke_linejoin="round")


def fire_fill(s, y0, y1):
    return s.lin([(0, FIRE[0]), (0.3, FIRE[1]), (0.65, FIRE[2]),
                  (1, FIRE[3])], 0, y0, 0, y1)


def arrow_stroke(s, d):
    """A thick orange stroke with a dark edge, for refresh arrows."""
    s.el("path", d=d, fill="none", stroke=OUTLINE, stroke_width=4.4,
         stroke_linecap="round")
    s.el("path", d=d, fill="none", stroke=s.lin(
        [(0, FIRE[1]), (1, FIRE[3])], 0, 2, 0, 30), stroke_width=2.4,
        stroke_linecap="round")


def arrow_head(s, cx, cy, r, deg, size=4.6):
    """An arrow head at angle `deg` of a circle, pointing clockwise."""
    tip_dir = deg + 90
    base = polar(cx, cy, r, deg)
    tip = polar(base[0], base[1], size * 0.9, tip_dir)
    back = polar(base[0], base[1], size * 0.35, tip_dir + 180)
    left = polar(back[0], back[1], size * 0.78, deg)
    right = polar(back[0], back[1], size * 0.78, deg + 180)
    outlined(s, poly_path([tip, left, right]),
             s.lin([(0, FIRE[1]), (1, FIRE[3])], 0, 2, 0, 30), 1.1)


def tb_launch(s):
    tri = [(9.5, 5), (27, 15.5), (9.5, 26)]
    # Speed streaks behind the arrow.
    for y, x0 in ((10, 3.5), (15.5, 2), (21, 3.5)):
        s.el("line", x1=x0, y1=y, x2=7, y2=y, stroke=FIRE[3],
             stroke_width=1.6, stroke_linecap="round")
    outlined(s, poly_path(tri), fire_fill(s, 5, 26), 1.6)
    s.el("polyline", points=pts([(11.5, 22), (11.5, 8.5), (22, 15)]),
         fill="none", stroke="#fff6d0", stroke_width=1.0,
         stroke_opacity=0.7, stroke_linejoin="round")


def tb_refresh(s):
    cx, cy, r = 16, 15.5, 10.5
    sphere(s, cx, cy, 5.6)
    arrow_stroke(s, arc_path(cx, cy, r, -150, 150))
    arrow_head(s, cx, cy, r, 155)


def tb_refresh_all(s):
    cx, cy, r = 16, 15.5, 11.2
    for x, y in ((12.6, 13), (19.4, 13), (16, 19.2)):
        sphere(s, x, y, 3.6, rim=False)
    arrow_stroke(s, arc_path(cx, cy, r, -160, -30))
    arrow_stroke(s, arc_path(cx, cy, r, 20, 150))
    arrow_head(s, cx, cy, r, -25)
    arrow_head(s, cx, cy, r, 155)


def tb_query_master(s):
    cx, cy, r = 15, 15, 11.5
    s.el("circle", cx=cx, cy=cy, r=r, fill=s.rad(
        [(0, "#6a1a0c"), (0.55, "#2a0806"), (1, "#0a0203")],
        cx, cy, r, cx - 4, cy - 5))
    grid = s.lin([(0, FIRE[1]), (1, FIRE[3])], 0, 4, 0, 27)
    s.el("ellipse", cx=cx, cy=cy, rx=4.8, ry=r, fill="none", stroke=grid,
         stroke_width=1.1)
    s.el("line", x1=cx, y1=cy - r, x2=cx, y2=cy + r, stroke=grid,
         stroke_width=1.1)
    for dy in (-5.5, 0, 5.5):
        half = math.sqrt(r * r - dy * dy)
        s.el("line", x1=cx - half, y1=cy + dy, x2=cx + half, y2=cy + dy,
             stroke=grid, stroke_width=1.1)
    s.el("circle", cx=cx, cy=cy, r=r, fill="none", stroke=OUTLINE,
         stroke_width=1.5)
    # The master's beacon: a bright node with waves going out.
    s.el("path", d=arc_path(24, 24, 4.5, -150, -30), fill="none",
         stroke=OUTLINE, stroke_width=3.2, stroke_linecap="round")
    s.el("path", d=arc_path(24, 24, 4.5, -150, -30), fill="none",
         stroke=FIRE[0], stroke_width=1.4, stroke_linecap="round")
    s.el("circle", cx=24, cy=24.5, r=3.2, fill=s.rad(
        [(0, FIRE[0]), (0.5, FIRE[2]), (1, FIRE[4])], 24, 24.5, 3.2),
        stroke=OUTLINE, stroke_width=1.1)


def tb_wad_directories(s):
    back = [(2.5, 7), (2.5, 5), (4, 3.5), (11, 3.5), (13, 6), (27.5, 6),
            (27.5, 26.5), (2.5, 26.5)]
    outlined(s, poly_path(back), s.lin(
        [(0, "#b45a14"), (1, "#5a2006")], 0, 3, 0, 27))
    # A sheet of paper sticking out: the WAD files inside.
    s.el("rect", x=6, y=8.5, width=19, height=12, fill="#f4e6c8",
         stroke=OUTLINE, stroke_width=0.9)
    for y in (11.5, 14, 16.5):
        s.el("line", x1=8.5, y1=y, x2=22.5, y2=y, stroke="#a83010",
             stroke_width=1.0)
    front = [(1, 12), (31, 12), (28, 27.5), (3.5, 27.5)]
    outlined(s, poly_path(front), s.lin(
        [(0, FIRE[1]), (0.55, FIRE[2]), (1, FIRE[3])], 0, 12, 0, 28))
    s.el("line", x1=3, y1=13.6, x2=29, y2=13.6, stroke="#fff2c0",
         stroke_width=0.9, stroke_opacity=0.7)


def tb_player_lookup(s):
    body = s.lin([(0, "#8a2a12"), (1, "#2a0806")], 0, 4, 0, 28)
    outlined(s, ("M3 27.5C3 21 6.5 17.5 13 17.5C19.5 17.5 23 21 23 27.5Z"),
             body)
    s.el("circle", cx=13, cy=10.5, r=6, fill=s.rad(
        [(0, "#c8643a"), (0.6, "#8a2a12"), (1, "#3a0c06")],
        13, 10.5, 6, 11, 8.5), stroke=OUTLINE, stroke_width=1.3)
    # Magnifying glass.
    s.el("line", x1=25.2, y1=24.2, x2=29.5, y2=28.5, stroke=OUTLINE,
         stroke_width=4.2, stroke_linecap="round")
    s.el("line", x1=25.2, y1=24.2, x2=29.5, y2=28.5, stroke="#6a4a3a",
         stroke_width=2.2, stroke_linecap="round")
    s.el("circle", cx=21.5, cy=20.5, r=5.2, fill="#fff0c0",
         fill_opacity=0.45, stroke=OUTLINE, stroke_width=3.4)
    s.el("circle", cx=21.5, cy=20.5, r=5.2, fill="none",
         stroke=FIRE[1], stroke_width=1.6)
    s.el("path", d=arc_path(21.5, 20.5, 3.2, 190, 260), fill="none",
         stroke="#ffffff", stroke_width=1.1, stroke_linecap="round",
         stroke_opacity=0.8)


def tb_about(s):
    cx, cy, r = 16, 15.5, 12.5
    s.el("circle", cx=cx, cy=cy, r=r, fill=s.rad(
        [(0, FIRE[1]), (0.45, FIRE[2]), (0.85, FIRE[3]), (1, FIRE[4])],
        cx, cy, r, cx - 3.5, cy - 4.5), stroke=OUTLINE, stroke_width=1.5)
    s.el("circle", cx=cx, cy=8.8, r=2.3, fill="#fffaf0", stroke=OUTLINE,
         stroke_width=0.9)
    s.el("path", d="M13 13H18V22.5H19.5V25H12.5V22.5H14V15.5H13Z",
         fill="#fffaf0", stroke=OUTLINE, stroke_width=0.9,
         stroke_linejoin="round")


TOOLBAR = (
    ("launch", tb_launch),
    ("refresh", tb_refresh),
    ("refresh_all", tb_refresh_all),
    ("query_master", tb_query_master),
    ("wad_directories", tb_wad_directories),
    ("player_lookup", tb_player_lookup),
    ("about", tb_about),
)


def make_toolbar():
    for name, draw in TOOLBAR:
        for suffix, tint in (("", normal), ("_hot", hot),
                             ("_disabled", disabled)):
            s = Svg(32, 31, tint)
            if tint is hot:
                s.el("ellipse", cx=16, cy=15.5, rx=16, ry=15.5,
                     fill=s.rad([(0, "#ffb040", 0.65), (0.6, "#ff7010", 0.3),
                                 (1, "#ff4000", 0)], 16, 15.5, 16))
            if tint is disabled:
                s.body.append('<g fill-opacity="0.85" stroke-opacity="0.85">')
            draw(s)
            if tint is disabled:
                s.body.append("</g>")
            s.save("toolbar_%s%s.svg" % (name, suffix))


# ------------------------------------------------------- application icon

def make_app_icon():
    s = Svg(256, 256)
    tile = ("M40 8H216C234 8 248 22 248 40V216C248 234 234 248 216 248H40"
            "C22 248 8 234 8 216V40C8 22 22 8 40 8Z")
    s.el("path", d=tile, fill=s.lin(
        [(0, "#0a0203"), (0.45, "#1e0505"), (0.8, "#5a1206"),
         (1, "#2a0604")], 0, 8, 0, 248))
    s.el("path", d=tile, fill=s.rad(
        [(0, "#ff9a30", 0.85), (0.35, "#d0400c", 0.5),
         (1, "#600a00", 0)], 128, 150, 118))
    # Flames rising round the sphere.
    flames = [(8, 248), (8, 200)]
    for i in range(12):
        x = 8 + i * 20
        h = 112 - 34 * math.cos(i * 1.7) - 18 * (i % 3)
        flames += [(x + 4, 248 - h * 0.45), (x + 10, 248 - h),
                   (x + 16, 248 - h * 0.5)]
    # Down the tile's rounded corners, so no flame licks outside it.
    flame_path = ("M" + "L".join("%s %s" % (num(x), num(y)) for x, y in flames[1:])
                  + "L248 216C248 234 234 248 216 248H40C22 248 8 234 8 216Z")
    s.el("path", d=flame_path, fill=s.lin(
        [(0, "#ffd060", 0.0), (0.35, "#ff8a1a", 0.55), (1, "#c02a04", 0.9)],
        0, 120, 0, 248))
    s.el("circle", cx=128, cy=124, r=100, fill=s.rad(
        [(0.6, "#ff6a10", 0.55), (0.8, "#c02a04", 0.2),
         (1, "#600a00", 0)], 128, 124, 100))
    # The server sphere, cracked open by lava.
    cx, cy, r = 128, 118, 74
    # Horns, their roots hidden behind the sphere: a demon's head.
    for side in (-1, 1):
        base_out, base_in = cx + side * 62, cx + side * 34
        horn = ("M%s %sC%s %s %s %s %s %sC%s %s %s %s %s %sZ" % tuple(num(v) for v in (
            base_out, 84,
            cx + side * 84, 60, cx + side * 96, 40, cx + side * 92, 14,
            cx + side * 74, 40, cx + side * 56, 52, base_in, 60)))
        s.el("path", d=horn, fill=s.lin(
            [(0, "#f0e0c0"), (0.5, "#b89a78"), (1, "#4a3828")],
            0, 14, 0, 84), stroke="#0a0203", stroke_width=3,
            stroke_linejoin="round")
    s.el("circle", cx=cx, cy=cy, r=r, fill=s.rad(
        [(0, "#7a6c70"), (0.25, "#40343a"), (0.65, "#1a1014"),
         (1, "#050304")], cx, cy, r, cx - 30, cy - 34))
    veins = [
        [(74, 96), (96, 104), (112, 96), (134, 110), (152, 104), (178, 118),
         (200, 114)],
        [(134, 110), (128, 134), (146, 150), (140, 176), (150, 190)],
        [(96, 104), (90, 130), (70, 146)],
        [(146, 150), (174, 160), (190, 150)],
        [(112, 96), (118, 70), (108, 52)],
    ]
    for width, colour, op in ((9, "#ff5a10", 0.35), (4.5, "#ff9a30", 0.9),
                              (1.8, "#fff0a0", 1.0)):
        for vein in veins:
            s.el("polyline", points=pts(vein), fill="none", stroke=colour,
                 stroke_width=width, stroke_opacity=op,
                 stroke_linejoin="round", stroke_linecap="round")
    s.el("path", d=arc_path(cx, cy, r - 5, 25, 155), fill="none",
         stroke="#ff8a30", stroke_width=7, stroke_opacity=0.55,
         stroke_linecap="round")
    s.el("ellipse", cx=cx - 28, cy=cy - 32, rx=22, ry=12, fill="#ffffff",
         fill_opacity=0.3, transform="rotate(-35 %s %s)"
         % (num(cx - 28), num(cy - 32)))
    s.el("circle", cx=cx, cy=cy, r=r, fill="none", stroke="#000000",
         stroke_opacity=0.8, stroke_width=3)
    s.el("path", d=tile, fill="none", stroke="#000000", stroke_width=3)
    s.el("path", d=("M44 15H212C228 15 241 28 241 44V212C241 228 228 241 212"
                    " 241H44C28 241 15 228 15 212V44C15 28 28 15 44 15Z"),
         fill="none", stroke="#ff7a30", stroke_opacity=0.35, stroke_width=2)
    s.save("pellrig.svg")


# --------------------------------------------------------- welcome picture

def make_welcome():
    s = Svg(120, 120)
    cx = 60
    s.el("circle", cx=cx, cy=60, r=58, fill=s.lin(
        [(0, "#0a0203"), (0.5, "#1e0505"), (0.85, "#5a1206"),
         (1, "#2a0604")], 0, 2, 0, 118), stroke="#000000", stroke_width=2)
    s.el("circle", cx=cx, cy=60, r=54.5, fill="none", stroke="#ff7a30",
         stroke_opacity=0.3, stroke_width=1.2)
    # The gate: a stone arch with hell's light inside.
    inner = ("M38 100V58C38 40 48 30 60 30C72 30 82 40 82 58V100Z")
    s.el("path", d=inner, fill=s.rad(
        [(0, "#fff4c0"), (0.3, "#ffc850"), (0.6, "#ff7a1a"),
         (1, "#8a1a04")], cx, 78, 40, cx, 86))
    # Flames licking up inside the gate.
    flame = [(38, 100)]
    for i, h in enumerate((20, 34, 16, 42, 22, 30, 14, 26)):
        x = 38 + i * 5.5
        flame += [(x + 1.5, 100 - h * 0.5), (x + 2.75, 100 - h),
                  (x + 4, 100 - h * 0.45)]
    flame.append((82, 100))
    s.el("path", d=poly_path(flame), fill=s.lin(
        [(0, "#ffe080", 0.2), (0.6, "#ff6a10", 0.8), (1, "#c02a04")],
        0, 58, 0, 100))
    # A marine's silhouette walking in.
    s.el("path", d=("M57 100L57.6 88L55.5 87L55.8 78C55.8 75 57 73.6 59 73"
                    "C57.6 72 57.6 69 60 68.6C62.4 69 62.4 72 61 73"
                    "C63 73.6 64.2 75 64.2 78L64.5 87L62.4 88L63 100"
                    "L60.8 100L60 90L59.2 100Z"), fill="#120304")
    # Stone blocks of the arch.
    for i in range(9):
        a0 = 180 + i * 20
        a1 = a0 + 20
        outer_r, inner_r = 30, 22
        p = [polar(cx, 58, inner_r, a0), polar(cx, 58, outer_r, a0),
             polar(cx, 58, outer_r, a1), polar(cx, 58, inner_r, a1)]
        s.el("path", d=poly_path(p), fill=s.lin(
            [(0, "#6a5a56"), (1, "#2a2224")], 0, 28, 0, 58),
            stroke="#0a0203", stroke_width=1.1, stroke_linejoin="round")
    for side in (-1, 1):
        for k in range(4):
            y = 58 + k * 10.5
            x0 = cx + side * 22
            x1 = cx + side * 30
            s.el("path", d=poly_path([(x0, y), (x1, y), (x1, y + 10.5),
                                      (x0, y + 10.5)]),
                 fill=s.lin([(0, "#5a4c48"), (1, "#241c1e")],
                            min(x0, x1), 0, max(x0, x1), 0),
                 stroke="#0a0203", stroke_width=1.1)
    # Keystone with a glowing eye.
    s.el("path", d=poly_path([(55, 26), (65, 26), (63.5, 38), (56.5, 38)]),
         fill="#4a3c3a", stroke="#0a0203", stroke_width=1.1)
    s.el("ellipse", cx=60, cy=31.5, rx=2.6, ry=1.6, fill="#ffd040")
    # Ground with the glow spilling out of the gate.
    s.el("path", d="M8 100H112C108 110 92 117 60 118C28 117 12 110 8 100Z",
         fill=s.lin([(0, "#3a0d08"), (1, "#120304")], 0, 100, 0, 118))
    s.el("ellipse", cx=cx, cy=101, rx=30, ry=4.5, fill=s.rad(
        [(0, "#ffc050", 0.9), (0.5, "#ff7010", 0.5), (1, "#ff4000", 0)],
        cx, 101, 30))
    for x, y, r in ((30, 52, 1.2), (88, 44, 1.0), (24, 78, 0.9),
                    (94, 70, 1.3), (46, 20, 0.8), (78, 18, 1.0),
                    (100, 90, 0.9), (18, 92, 1.1)):
        s.el("circle", cx=x, cy=y, r=r, fill="#ffb040", fill_opacity=0.8)
    s.save("welcome.svg")


def main():
    make_toolbar()
    make_server_icons()
    make_app_icon()
    make_welcome()


if __name__ == "__main__":
    main()
