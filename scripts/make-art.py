#!/usr/bin/env python3
"""Draws the scene's artwork as SVG into modules/img/, where the scene loads
it from: Qt renders each picture at the screen's scale, so it stays sharp at
any scale factor.

Lettering is written as outlines, taken from DejaVu Sans (Debian's
fonts-dejavu-core, read with python3-fonttools): a <text> would be drawn
in whatever font the user's system has, and rendering it would load the
text shaper and the font's files into the program for its whole life."""
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "modules", "img")
ORANGE, BLUE, GRAY0, GRAY1, GRAY2, GRAY3 = "#cf3e00", "#09347f", "#1a1a1a", "#3c3c3c", "#969696", "#d1d1d1"
FONT_FILES = {False: "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
              True: "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"}


def svg(path, w, h, body, defs=""):
    full = os.path.join(ROOT, path + ".svg")
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w") as f:
        f.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n')
        if defs:
            f.write(f"<defs>{defs}</defs>\n")
        f.write(body + "\n</svg>\n")


def lettering(text, x, y, size, fill, bold=False, middle=False):
    """`text` as one path: glyph outlines on the baseline at `y`, advanced by
    the font's widths, starting at `x` or centred on it."""
    from fontTools.pens.svgPathPen import SVGPathPen
    from fontTools.pens.transformPen import TransformPen
    from fontTools.ttLib import TTFont
    font = TTFont(FONT_FILES[bold])
    glyphs, cmap = font.getGlyphSet(), font.getBestCmap()
    scale = size / font["head"].unitsPerEm
    names = [cmap[ord(c)] for c in text]
    width = sum(glyphs[n].width * scale for n in names)
    pen = SVGPathPen(glyphs, ntos=lambda v: f"{v:.2f}".rstrip("0").rstrip("."))
    pen_x = x - width / 2 if middle else x
    for name in names:
        glyphs[name].draw(TransformPen(pen, (scale, 0, 0, -scale, pen_x, y)))
        pen_x += glyphs[name].width * scale
    return f'<path d="{pen.getCommands()}" fill="{fill}"/>'


def emblem(cx, cy, r, stroke=ORANGE):
    """The Skarn mark: a hexagonal shield with a stylised S-shaped cut."""
    import math
    pts = " ".join(f"{cx + r * math.cos(math.radians(a - 90)):.1f},{cy + r * math.sin(math.radians(a - 90)):.1f}"
                   for a in range(0, 360, 60))
    s = r * 0.42
    return (f'<polygon points="{pts}" fill="none" stroke="{stroke}" stroke-width="{r * 0.12:.1f}" stroke-linejoin="round"/>'
            f'<path d="M{cx + s:.1f},{cy - s:.1f} L{cx - s * 0.4:.1f},{cy - s:.1f} Q{cx - s:.1f},{cy - s:.1f} {cx - s:.1f},{cy - s * 0.4:.1f} '
            f'Q{cx - s:.1f},{cy:.1f} {cx - s * 0.4:.1f},{cy:.1f} L{cx + s * 0.4:.1f},{cy:.1f} Q{cx + s:.1f},{cy:.1f} {cx + s:.1f},{cy + s * 0.4:.1f} '
            f'Q{cx + s:.1f},{cy + s:.1f} {cx + s * 0.4:.1f},{cy + s:.1f} L{cx - s:.1f},{cy + s:.1f}" '
            f'fill="none" stroke="#ffffff" stroke-width="{r * 0.13:.1f}" stroke-linecap="round" stroke-linejoin="round"/>')


def background():
    # The backdrop itself is drawn by the scene (a gradient, a frame); only
    # its two patterns are pictures, both tiny: one cell of the faint
    # 24-pixel grid, repeated, and the blue glow, stretched.
    svg("gridCell", 24, 24, '<path d="M0.5 0 V24 M0 0.5 H24" fill="none" stroke="#ffffff" stroke-opacity="0.03"/>')
    defs = ('<radialGradient id="glow" cx="0.5" cy="0.55" r="0.5">'
            f'<stop offset="0" stop-color="{BLUE}" stop-opacity="0.35"/><stop offset="1" stop-color="{BLUE}" stop-opacity="0"/></radialGradient>')
    svg("glow", 60, 52, '<ellipse cx="30" cy="26" rx="30" ry="26" fill="url(#glow)"/>', defs)


def title_logo():
    body = (emblem(10, 10, 9) +
            lettering("SKARN", 26, 15, 14, "#ffffff", bold=True) +
            lettering("CONFIG", 90, 15, 12, GRAY2))
    svg("titleLogo", 150, 20, body)


def power_on():
    # A dark card of its own: while it shows, the rest of the window is
    # transparent. The middle band stays free for the "LOADING" text.
    defs = ('<radialGradient id="halo" cx="0.5" cy="0.5" r="0.5">'
            f'<stop offset="0" stop-color="{ORANGE}" stop-opacity="0.45"/><stop offset="1" stop-color="{ORANGE}" stop-opacity="0"/></radialGradient>'
            '<linearGradient id="card" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#202124"/><stop offset="1" stop-color="#0b0b0d"/></linearGradient>')
    body = ('<rect x="0.5" y="0.5" width="479" height="279" rx="14" fill="url(#card)" stroke="#3c3c3c"/>'
            '<circle cx="240" cy="72" r="62" fill="url(#halo)"/>' + emblem(240, 72, 40) +
            lettering("SKARN", 240, 212, 34, "#ffffff", bold=True, middle=True) +
            lettering("GAMING MOUSE CONFIG", 240, 236, 12, GRAY2, middle=True) +
            f'<rect x="160" y="252" width="160" height="2" fill="{ORANGE}"/>')
    svg("skin1/index/powerOn", 480, 280, body, defs)


def title_buttons():
    glyphs = {
        "help": '<circle cx="10" cy="10" r="8" fill="none" stroke="{c}" stroke-width="1.6"/>'
                '<path d="M7.4,7.8 Q7.6,5.2 10,5.2 Q12.6,5.2 12.6,7.6 Q12.6,9.2 10.6,10 Q10,10.3 10,11.6" fill="none" stroke="{c}" stroke-width="1.6" stroke-linecap="round"/>'
                '<circle cx="10" cy="14.4" r="1.1" fill="{c}"/>',
        "minimize": '<rect x="4" y="13" width="12" height="2" rx="1" fill="{c}"/>',
        "close": '<path d="M5,5 L15,15 M15,5 L5,15" stroke="{c}" stroke-width="2" stroke-linecap="round"/>',
    }
    for name, g in glyphs.items():
        svg(f"skin1/index/{name}", 20, 20, g.format(c=GRAY3))
        hover_bg = ORANGE if name == "close" else GRAY1
        svg(f"skin1/index/{name}Hover", 20, 20,
            f'<rect width="20" height="20" rx="4" fill="{hover_bg}"/>' + g.format(c="#ffffff"))
    back = ('<path d="M4.5,6.5 A5.5,5.5 0 1 1 3,10" fill="none" stroke="{c}" stroke-width="1.8" stroke-linecap="round"/>'
            '<path d="M1.5,3.5 L4.8,7.2 L8.6,4.4" fill="none" stroke="{c}" stroke-width="1.8" stroke-linecap="round" stroke-linejoin="round"/>')
    svg("skin1/index/back", 16, 16, back.format(c=GRAY3))
    svg("skin1/index/backHover", 16, 16, back.format(c=ORANGE))
    mark = '<path d="M3.5,3.5 L12.5,12.5 M12.5,3.5 L3.5,12.5" stroke="{c}" stroke-width="1.8" stroke-linecap="round"/>'
    svg("skin1/index/closeMark", 16, 16, mark.format(c=GRAY3))
    svg("skin1/index/closeMarkHover", 16, 16, mark.format(c=ORANGE))


def controls():
    svg("dropBtn", 10, 6, f'<path d="M0.5,0.5 L5,5.5 L9.5,0.5 Z" fill="{GRAY3}"/>')
    svg("dropBtnU", 10, 6, f'<path d="M0.5,5.5 L5,0.5 L9.5,5.5 Z" fill="{ORANGE}"/>')
    defs = ('<radialGradient id="k" cx="0.4" cy="0.35" r="0.7">'
            '<stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#bfbfbf"/></radialGradient>')
    svg("slide", 12, 12, '<circle cx="6" cy="6" r="5.6" fill="#000000" fill-opacity="0.5"/>'
        '<circle cx="6" cy="6" r="5" fill="url(#k)"/>'
        f'<circle cx="6" cy="6" r="1.8" fill="{ORANGE}"/>', defs)
    svg("checkBtn", 10, 10, f'<path d="M1.5,5.2 L4,7.8 L8.6,2.2" fill="none" stroke="{ORANGE}" stroke-width="2" stroke-linecap="round" stroke-linejoin="round"/>')


def mouse():
    defs = ('<linearGradient id="shell" x1="0" y1="0" x2="1" y2="1">'
            '<stop offset="0" stop-color="#3a3b40"/><stop offset="0.5" stop-color="#1c1d21"/><stop offset="1" stop-color="#0b0b0d"/></linearGradient>'
            '<linearGradient id="side" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{ORANGE}" stop-opacity="0"/><stop offset="0.5" stop-color="{ORANGE}"/><stop offset="1" stop-color="{ORANGE}" stop-opacity="0"/></linearGradient>')
    body = ('<ellipse cx="140" cy="408" rx="110" ry="10" fill="#000000" opacity="0.5"/>'
            '<path d="M140,12 C210,12 250,60 256,150 C262,250 248,330 222,370 C200,402 170,410 140,410 '
            'C110,410 80,402 58,370 C32,330 18,250 24,150 C30,60 70,12 140,12 Z" fill="url(#shell)" stroke="#4a4b52" stroke-width="2"/>'
            '<path d="M138,14 C90,16 56,48 40,110 L44,150 L136,160 Z" fill="#2a2b30" stroke="#50515a" stroke-width="1.5"/>'
            '<path d="M142,14 C190,16 224,48 240,110 L236,150 L144,160 Z" fill="#26272c" stroke="#50515a" stroke-width="1.5"/>'
            '<rect x="130" y="50" width="20" height="46" rx="10" fill="#0c0c0e" stroke="#60616a" stroke-width="1.5"/>'
            f'<rect x="136" y="58" width="8" height="30" rx="4" fill="{ORANGE}" opacity="0.85"/>'
            # Two buttons behind the wheel, wheel tilt marks, a fire button on
            # the left shell, three buttons on the left side, two on the right
            # and one at the rear: room for up to 14 buttons.
            '<rect x="133" y="106" width="14" height="14" rx="3" fill="#15161a" stroke="#60616a" stroke-width="1.2"/>'
            '<rect x="133" y="124" width="14" height="14" rx="3" fill="#15161a" stroke="#60616a" stroke-width="1.2"/>'
            '<path d="M127,56 L122,60 L127,64 Z M153,56 L158,60 L153,64 Z" fill="#60616a"/>'
            '<rect x="42" y="116" width="14" height="24" rx="5" fill="#1d1e22" stroke="#60616a" stroke-width="1.2"/>'
            '<path d="M24,170 C22,200 24,230 28,250" fill="none" stroke="url(#side)" stroke-width="4" stroke-linecap="round"/>'
            '<path d="M256,170 C258,200 256,230 252,250" fill="none" stroke="url(#side)" stroke-width="4" stroke-linecap="round"/>'
            + "".join(f'<rect x="{x}" y="{y}" width="10" height="30" rx="4" fill="#2c2d33" stroke="#60616a"/>'
                      for x, y in [(16, 180), (16, 216), (16, 252), (254, 180), (254, 216)])
            + emblem(140, 300, 22) +
            '<rect x="128" y="346" width="24" height="14" rx="5" fill="#15161a" stroke="#60616a" stroke-width="1.2"/>'
            f'<path d="M100,384 Q140,398 180,384" fill="none" stroke="{ORANGE}" stroke-width="2" opacity="0.7"/>')
    svg("skin1/mouse/mouse", 280, 420, body, defs)


def guns():
    # Silhouettes in profile, muzzle to the right: stock, receiver, grip,
    # magazine, barrel, sights; each model with its own proportions.
    models = {
        "M416": dict(stock=(4, 16, 30, 14), body=(34, 14, 48, 12), barrel=(82, 17, 34), mag=(56, 26, 9, 14, 8), rail=True, hand=(82, 15, 20, 9)),
        "AKM": dict(stock=(4, 18, 30, 11), body=(34, 15, 44, 11), barrel=(78, 18, 38), mag=(54, 26, 10, 15, 14), rail=False, hand=(78, 16, 18, 8)),
        "M16A4": dict(stock=(2, 16, 34, 12), body=(36, 14, 42, 12), barrel=(78, 18, 40), mag=(56, 26, 8, 13, 5), rail=True, hand=(78, 15, 24, 9)),
        "SCAR-L": dict(stock=(4, 14, 28, 15), body=(32, 12, 52, 14), barrel=(84, 18, 32), mag=(58, 26, 9, 13, 6), rail=True, hand=(84, 14, 18, 10)),
        "Thomson": dict(stock=(4, 18, 32, 11), body=(36, 16, 40, 10), barrel=(76, 19, 30), mag=(50, 26, 16, 16, 0), rail=False, hand=(76, 17, 14, 7)),
        "UNP9": dict(stock=(10, 17, 24, 10), body=(34, 13, 42, 14), barrel=(76, 18, 22), mag=(52, 27, 8, 14, 3), rail=False, hand=(76, 16, 10, 8)),
    }
    for name, m in models.items():
        sx, sy, sw, sh = m["stock"]
        bx, by, bw, bh = m["body"]
        rx, ry, rl = m["barrel"]
        mx, my, mw, mh, slant = m["mag"]
        hx, hy, hw, hh = m["hand"]
        body = (f'<path d="M{sx},{sy} L{sx + sw},{sy - 2} L{sx + sw},{sy + sh} L{sx + 4},{sy + sh + 4} Z" fill="#2e2f35" stroke="#5a5b63"/>'
                f'<rect x="{bx}" y="{by}" width="{bw}" height="{bh}" rx="2" fill="#3a3b42" stroke="#6a6b74"/>'
                f'<rect x="{hx}" y="{hy}" width="{hw}" height="{hh}" rx="2" fill="#2a2b31" stroke="#5a5b63"/>'
                f'<rect x="{rx}" y="{ry}" width="{rl}" height="3" fill="#7a7b84"/>'
                f'<rect x="{rx + rl - 4}" y="{ry - 1}" width="5" height="5" fill="#8a8b94"/>'
                f'<path d="M{mx},{my} L{mx + mw},{my} L{mx + mw + slant},{my + mh} L{mx + slant},{my + mh} Z" fill="#26272c" stroke="#5a5b63"/>'
                f'<path d="M{bx + 6},{by + bh} L{bx + 12},{by + bh} L{bx + 8},{by + bh + 13} L{bx + 2},{by + bh + 12} Z" fill="#26272c" stroke="#5a5b63"/>'
                f'<rect x="{bx + 4}" y="{by + bh - 3}" width="{bw - 8}" height="1" fill="{ORANGE}" opacity="0.9"/>')
        if m["rail"]:
            body += f'<rect x="{bx + 6}" y="{by - 4}" width="{bw - 12}" height="3" fill="#4a4b52"/>'
            body += f'<rect x="{bx + bw // 2 - 5}" y="{by - 9}" width="10" height="5" rx="1" fill="#1c1d21" stroke="{ORANGE}" stroke-width="0.8"/>'
        else:
            body += f'<rect x="{rx + rl - 8}" y="{ry - 4}" width="2" height="4" fill="#8a8b94"/>'
        svg(f"skin1/gun/{name}", 120, 44, body)
    rings = "".join(f'<circle cx="95" cy="95" r="{r}" fill="none" stroke="{c}" stroke-width="{w}"/>'
                    for r, c, w in [(90, GRAY1, 2), (70, GRAY2, 1.5), (50, GRAY2, 1.5), (30, ORANGE, 2), (10, ORANGE, 2)])
    svg("skin1/gun/target", 190, 190,
        '<circle cx="95" cy="95" r="92" fill="#101012"/>' + rings +
        f'<path d="M95,0 V190 M0,95 H190" stroke="{GRAY1}" stroke-width="1"/>'
        + "".join(f'<rect x="{95 - 4}" y="{95 + d}" width="8" height="1" fill="{GRAY2}"/>' for d in range(-80, 90, 10)))


def icons():
    def icon(path, g):
        svg(path, 16, 16, g)
    icon("skin1/dpiSetting/icon", f'<circle cx="8" cy="8" r="6.5" fill="none" stroke="{GRAY3}" stroke-width="1.5"/>'
         f'<circle cx="8" cy="8" r="2" fill="{ORANGE}"/><path d="M8,0.5 V4 M8,12 V15.5 M0.5,8 H4 M12,8 H15.5" stroke="{GRAY3}" stroke-width="1.5"/>')
    icon("skin1/reportRate/icon", f'<path d="M1,9 L4,9 L6,3 L9,13 L11,7 L15,7" fill="none" stroke="{ORANGE}" stroke-width="1.6" stroke-linejoin="round" stroke-linecap="round"/>')
    icon("skin1/mouseRate/icon", f'<path d="M3,2 L3,13 L6,10 L8.5,15 L10.5,14 L8,9 L12,9 Z" fill="{GRAY3}"/>')
    icon("skin1/scrollRate/icon", f'<rect x="4" y="1" width="8" height="14" rx="4" fill="none" stroke="{GRAY3}" stroke-width="1.5"/>'
         f'<rect x="7.2" y="3.5" width="1.6" height="4" rx="0.8" fill="{ORANGE}"/>')
    icon("skin1/profile/icon", f'<rect x="2" y="2" width="12" height="12" rx="2" fill="none" stroke="{GRAY3}" stroke-width="1.5"/>'
         f'<path d="M5,6 H11 M5,9 H11 M5,12 H9" stroke="{ORANGE}" stroke-width="1.4"/>')
    icon("skin1/xySetting/icon", f'<path d="M2,14 V2 M2,14 H14" stroke="{GRAY3}" stroke-width="1.6"/>'
         f'<path d="M4,12 L13,3" stroke="{ORANGE}" stroke-width="1.6" stroke-linecap="round"/>')
    icon("skin1/lightControl/icon", f'<circle cx="8" cy="7" r="4.5" fill="{ORANGE}" fill-opacity="0.25" stroke="{ORANGE}" stroke-width="1.5"/>'
         f'<path d="M6,12.5 H10 M6.5,15 H9.5" stroke="{GRAY3}" stroke-width="1.4"/>')
    stops = "".join(f'<stop offset="{i / 6:.4f}" stop-color="{c}"/>' for i, c in
                    enumerate(["#ff0000", "#ffff00", "#00ff00", "#00ffff", "#0000ff", "#ff00ff", "#ff0000"]))
    svg("skin1/lightControl/hueBar", 185, 12, f'<rect x="0.5" y="0.5" width="184" height="11" rx="3" fill="url(#hue)" stroke="{GRAY1}"/>',
        f'<linearGradient id="hue" x1="0" y1="0" x2="1" y2="0">{stops}</linearGradient>')
    # The event icons sit on list rows that turn orange when selected: each
    # coloured stroke lies on a wider black one, so it keeps its outline there.
    def accent(d, colour, width):
        return (f'<path d="{d}" fill="none" stroke="#000000" stroke-width="{width + 2}" stroke-linecap="round" stroke-linejoin="round"/>'
                f'<path d="{d}" fill="none" stroke="{colour}" stroke-width="{width}" stroke-linecap="round" stroke-linejoin="round"/>')
    icon("skin1/macros/delay", f'<circle cx="8" cy="8" r="6.5" fill="none" stroke="{GRAY3}" stroke-width="1.4"/>'
         + accent("M8,4 V8 L11,10", ORANGE, 1.5))
    key = '<rect x="1.5" y="3.5" width="13" height="11" rx="2" fill="none" stroke="{c}" stroke-width="1.4"/>'
    icon("skin1/macros/keyDown", key.format(c=GRAY3) + accent("M8,1 V7 M5.5,4.5 L8,7 L10.5,4.5", ORANGE, 1.5))
    icon("skin1/macros/keyUp", key.format(c=GRAY3) + accent("M8,7 V1 M5.5,3.5 L8,1 L10.5,3.5", "#5b8be0", 1.5))
    mouse_shape = '<path d="M5,6 Q5,1.5 8,1.5 Q11,1.5 11,6 V10 Q11,14.5 8,14.5 Q5,14.5 5,10 Z" fill="none" stroke="{c}" stroke-width="1.3"/>'
    icon("skin1/macros/mouseDown", mouse_shape.format(c=GRAY3) + accent("M5,6 H11 M8,1.5 V6", ORANGE, 1.3))
    icon("skin1/macros/mouseUp", mouse_shape.format(c=GRAY3) + accent("M5,6 H11 M8,1.5 V6", "#5b8be0", 1.3))

if __name__ == "__main__":
    background(); title_logo(); power_on(); title_buttons(); controls(); mouse(); guns(); icons()
