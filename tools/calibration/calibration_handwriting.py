"""Handwritten formulas and notes on paper, photographed, for the utility calibration set
(category "page-hand"): lines of algebra, calculus and physics written with a pen of uneven
pressure on plain, ruled or squared paper, each glyph a little turned, scaled and off the line,
with fraction bars, roots, integral signs, boxed results and crossings-out drawn as strokes;
then photographed close up by make-calibration-set's desk pipeline.

The hands are the Hershey vector fonts' script and cursive faces (pen strokes, as a hand
draws them) and handwriting fonts packaged by Debian; each hand is a source of its own, so the
flag's trainer leaves each out whole. Deterministic. Needs python3-pil, hershey-fonts-data and
the handwriting fonts (a hand whose file is missing is skipped).
"""

import math
import os
import random

from PIL import Image, ImageDraw, ImageFont

HERSHEY = "/usr/share/hershey-fonts/"
# (source, Hershey font file or outline font file)
HANDS = [
    ("hand-hershey-scripts", HERSHEY + "scripts.jhf"),
    ("hand-hershey-scriptc", HERSHEY + "scriptc.jhf"),
    ("hand-hershey-cursive", HERSHEY + "cursive.jhf"),
    ("hand-hershey-futural", HERSHEY + "futural.jhf"),
    ("hand-dkg", "/usr/share/fonts/truetype/fifthhorseman/dkg.ttf"),
    ("hand-breip", "/usr/share/fonts/truetype/breip/Breip.ttf"),
    ("hand-femkeklaver", "/usr/share/fonts/truetype/femkeklaver/femkeklaver.ttf"),
    ("hand-bwht", "/usr/share/fonts/opentype/bwht/BecauseWeLearn-Regular.otf"),
    ("hand-humor-sans", "/usr/share/fonts/truetype/humor-sans/Humor-Sans.ttf"),
]
PER_HAND = 16
INKS = [(25, 35, 120), (20, 20, 25), (70, 70, 75), (10, 40, 160), (120, 20, 20), (110, 110, 115)]
SIZE = (1240, 1754)  # an A4 sheet at 150 dpi


def hershey_glyphs(path):
    """The strokes of every glyph of a Hershey .jhf file, keyed by character (the files hold
    the printable ASCII characters in order): (left, right, strokes as lists of points)."""
    with open(path, encoding="latin-1") as f:
        text = f.read().split("\n")
    glyphs, i = [], 0
    while i < len(text):
        line = text[i]
        i += 1
        if len(line) < 10:
            continue
        count = int(line[5:8])
        data = line[8:]
        while len(data) < 2 * count and i < len(text):
            data += text[i]
            i += 1
        left, right = ord(data[0]) - 82, ord(data[1]) - 82
        strokes, stroke = [], []
        for k in range(2, 2 * count, 2):
            pair = data[k:k + 2]
            if pair == " R":
                strokes.append(stroke)
                stroke = []
            else:
                stroke.append((ord(pair[0]) - 82, ord(pair[1]) - 82))
        strokes.append(stroke)
        glyphs.append((left, right, [s for s in strokes if s]))
    return {chr(32 + k): g for k, g in enumerate(glyphs[:95])}


class Pen:
    """Writes characters by hand: Hershey strokes or an outline font's glyphs, each a little
    turned, scaled and off the line."""

    def __init__(self, hand, height, ink, rng):
        self.rng, self.ink, self.height = rng, ink, height
        self.width = max(2, int(height * rng.uniform(0.06, 0.11)))
        self.slant = rng.uniform(-0.05, 0.3)
        if hand.endswith(".jhf"):
            self.glyphs, self.face = hershey_glyphs(hand), None
        else:
            self.glyphs, self.face = None, ImageFont.truetype(hand, int(height * 1.25))

    def char(self, draw, page, x, y, c, scale=1.0):
        """Writes `c` with its baseline at y, starting at x; returns the advance."""
        rng = self.rng
        s = scale * rng.uniform(0.9, 1.1)
        y += rng.uniform(-0.06, 0.06) * self.height
        if self.face is None:
            left, right, strokes = self.glyphs.get(c, self.glyphs["?"])
            unit = self.height * s / 21.0
            turn = rng.uniform(-0.08, 0.08)
            for stroke in strokes:
                points = []
                for px, py in stroke:
                    px, py = px - left, py - 9  # baseline at 9 in Hershey units
                    px, py = px * math.cos(turn) - py * math.sin(turn), \
                        px * math.sin(turn) + py * math.cos(turn)
                    points.append((x + (px - py * self.slant) * unit, y + py * unit))
                if len(points) > 1:
                    draw.line(points, fill=self.ink, width=max(1, int(self.width * s)),
                              joint="curve")
            return (right - left) * unit
        face = self.face if scale == 1.0 else self.face.font_variant(
            size=max(8, int(self.face.size * scale)))
        glyph = Image.new("L", (int(face.size * 2), int(face.size * 2)), 0)
        ImageDraw.Draw(glyph).text((face.size // 2, face.size * 1.4), c, font=face, fill=255,
                                   anchor="ls")
        glyph = glyph.rotate(rng.uniform(-6, 6), resample=Image.BICUBIC)
        page.paste(Image.new("RGB", glyph.size, self.ink),
                   (int(x - face.size // 2), int(y - face.size * 1.4)), glyph)
        return face.getlength(c) * s

    def text(self, draw, page, x, y, text, scale=1.0):
        """Writes `text`; "^" raises the next character or (group) as an exponent."""
        i = 0
        while i < len(text):
            c = text[i]
            if c == "^" and i + 1 < len(text):
                group = text[i + 1]
                if group == "(":
                    end = text.find(")", i)
                    group, i = text[i + 2:end], end
                else:
                    i += 1
                x = self.text(draw, page, x, y - self.height * 0.55 * scale, group, scale * 0.6)
            elif x < SIZE[0] - 90:  # a hand stops at the paper's edge
                x += self.char(draw, page, x, y, c, scale) + self.height * 0.08 * scale
            i += 1
        return x


def formula(rng):
    """One line of working: an equation, a derivation step or a short note."""
    v = rng.choice("xyztabnk")
    a, b, c = rng.randint(2, 9), rng.randint(1, 12), rng.randint(1, 20)
    forms = [
        "f(%s) = %d%s^2 + %d%s - %d" % (v, a, v, b, v, c),
        "(a+b)^2 = a^2 + 2ab + b^2",
        "%d%s + %d = %d" % (a, v, b, a * c + b),
        "%s = %d" % (v, c),
        "y = mx + b",
        "F = ma",
        "E = mc^2",
        "d/d%s (%s^%d) = %d%s^%d" % (v, v, a, a, v, a - 1),
        "sin^2%s + cos^2%s = 1" % (v, v),
        "a_n = a_1 + (n-1)d",
        "P(A|B) = P(B|A)P(A)/P(B)",
        "%s^2 - %d = 0  =>  %s = +-%d" % (v, a * a, v, a),
        "v = v0 + at",
        "log(ab) = log a + log b",
        "lim (1 + 1/n)^n = e",
        "det A = ad - bc",
        "Note: check n = %d" % a,
        "Ex. %d.%d" % (a, b),
    ]
    return rng.choice(forms)


def paper(rng):
    """A sheet: plain, ruled with a margin, or squared; its ground a little off white."""
    ground = tuple(rng.randint(236, 252) - d for d in (0, rng.randint(0, 4), rng.randint(0, 14)))
    page = Image.new("RGB", SIZE, ground)
    draw = ImageDraw.Draw(page)
    kind = rng.choice(["plain", "ruled", "squared", "squared"])
    gap = rng.randint(52, 70) if kind == "ruled" else rng.randint(28, 36)
    rule = (150, 180, 220) if rng.random() < 0.7 else (180, 180, 180)
    if kind != "plain":
        for y in range(rng.randint(80, 160), SIZE[1], gap):
            draw.line((0, y, SIZE[0], y), fill=rule, width=2)
    if kind == "squared":
        for x in range(rng.randint(0, gap), SIZE[0], gap):
            draw.line((x, 0, x, SIZE[1]), fill=rule, width=2)
    if kind == "ruled" and rng.random() < 0.7:
        draw.line((150, 0, 150, SIZE[1]), fill=(225, 120, 120), width=3)
    return page, draw, kind, gap


def written_page(hand, rng):
    page, draw, kind, gap = paper(rng)
    pen = Pen(hand, rng.randint(38, 62) if kind != "squared" else gap * 1.4,
              rng.choice(INKS), rng)
    step = gap * max(1, round(pen.height * 1.9 / gap)) if kind != "plain" else \
        int(pen.height * rng.uniform(1.8, 2.5))
    y = rng.randint(140, 260)
    while y < SIZE[1] - 120:
        x0 = rng.randint(170, 260) + (rng.randint(40, 160) if rng.random() < 0.3 else 0)
        line = formula(rng)
        end = pen.text(draw, page, x0, y, line)
        if rng.random() < 0.12:  # a boxed result
            draw.rectangle((x0 - 15, y - pen.height * 1.3, end + 10, y + pen.height * 0.4),
                           outline=pen.ink, width=pen.width)
        elif rng.random() < 0.1:  # a step crossed out
            draw.line((x0, y - pen.height * 0.4, end, y - pen.height * 0.2), fill=pen.ink,
                      width=pen.width)
        elif rng.random() < 0.12:  # a fraction bar under the line and a denominator
            draw.line((x0, y + pen.height * 0.35, end, y + pen.height * 0.3), fill=pen.ink,
                      width=pen.width)
            pen.text(draw, page, (x0 + end) / 2 - pen.height, y + pen.height * 1.5,
                     str(rng.randint(2, 99)))
            y += step
        y += step * (2 if rng.random() < 0.15 else 1)
        if rng.random() < 0.04:
            break  # a half-written sheet
    return page


def build(out, tmp, pool, photograph):
    """Writes PER_HAND sheets in every hand found, photographs each into `out` with
    `photograph(page, out_file, rng, cover, hard)` and returns their labels (file, 1,
    "page-hand", source). Each is a close-up, the sheet larger than the frame, as formulas are
    photographed to be read again (whole sheets on a desk are the other page sets' kind)."""
    jobs = [(source, hand, i) for source, hand in HANDS if os.path.exists(hand)
            for i in range(PER_HAND)]

    def render(job):
        source, hand, i = job
        rng = random.Random("%s-%d" % (source, i))
        sheet = os.path.join(tmp, "%s-%d.png" % (source, i))
        written_page(hand, rng).save(sheet)
        cover = rng.uniform(1.2, 1.9)
        name = "pagehand-%s-%02d.jpg" % (source[5:], i)
        photograph(sheet, os.path.join(out, name), rng, cover, i % 4 == 3)
        os.remove(sheet)
        return name, 1, "page-hand", source

    return list(pool.map(render, jobs))
