"""Printed matter of other kinds than book pages, photographed, for the utility calibration set
(category "page-kind"): till receipts, sheet music, ruled tables, program listings and short
letters, drawn here in the URW fonts from the code and the documentation of Perl's own modules,
then photographed by make-calibration-set's desk pipeline with the page filling as little as a
third of the frame and, on some, the shadow of the photographer's hand or phone falling across
it.

A receipt is narrow and set small, so that its lines of print come out a few pixels high in a
thumbnail; music is mostly five even rules with sparse notes; a table is ruled in a grid.
Deterministic for the same packages. Needs python3-pil.
"""

import glob
import os
import random

from PIL import Image, ImageDraw, ImageFont

FONTS = "/usr/share/fonts/opentype/urw-base35/"
SERIF = ["NimbusRoman-Regular.otf", "P052-Roman.otf", "C059-Roman.otf", "URWBookman-Light.otf"]
SANS = ["NimbusSans-Regular.otf", "NimbusSansNarrow-Regular.otf", "URWGothic-Book.otf"]
MONO = ["NimbusMonoPS-Regular.otf", "NimbusMonoPS-Bold.otf"]
MODULES = sorted(glob.glob("/usr/share/perl/5*/[A-Z]*.pm"))
KINDS = ["receipt", "music", "table", "listing", "letter"]
PER_KIND = 24
# The second dozen of every kind is photographed the hard way (see build).
EASY = 12


def font(name, size):
    return ImageFont.truetype(FONTS + name, size)


def words():
    """Words of the prose in the Perl modules' documentation (the same modules the listings
    print), module by module in sorted order: text that comes from an installed package, so
    that the same packages draw the same letters whatever else the machine has installed."""
    found = []
    for module in MODULES:
        prose = False
        with open(module, encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("="):
                    prose = not line.startswith("=cut")
                elif prose and line[:1].isalpha():
                    found += [w for w in line.split() if w.isalpha()]
    return found or ["print"] * 100


def blank_page(shade):
    """An A4 sheet at 150 dpi in grey `shade`, and a pen to draw on it."""
    page = Image.new("L", (1240, 1754), shade)
    return page, ImageDraw.Draw(page)


def paragraph_lines(draw, text, typeface, width):
    lines, line = [], ""
    for word in text:
        trial = (line + " " + word).strip()
        if draw.textlength(trial, font=typeface) > width and line:
            lines.append(line)
            line = word
        else:
            line = trial
    return lines + ([line] if line else [])


def receipt(rng, vocabulary):
    """A till receipt: a narrow strip of small monospaced lines, prices right-aligned, a few
    rules of dashes and a larger total."""
    width = rng.randint(420, 560)
    height = int(width * rng.uniform(1.8, 3.0))
    page = Image.new("L", (width, height), rng.randint(236, 252))
    draw = ImageDraw.Draw(page)
    size = rng.randint(15, 20)
    mono = font(rng.choice(MONO), size)
    columns = int((width - 40) / draw.textlength("0", font=mono))
    y = 30
    draw.text((width // 2, y), rng.choice(vocabulary).upper(), font=font(SANS[0], size + 10),
              fill=20, anchor="mt")
    y += size * 3
    while y < height - 4 * size:
        r = rng.random()
        if r < 0.12:
            line = "-" * columns
        elif r < 0.2:
            line = ""
        else:
            name = " ".join(rng.choice(vocabulary) for _ in range(rng.randint(1, 3))).upper()
            price = "%d.%02d" % (rng.randint(0, 60), rng.randint(0, 99))
            line = name[:columns - len(price) - 1].ljust(columns - len(price)) + price
        draw.text((20, y), line, font=mono, fill=rng.randint(10, 70))
        y += int(size * rng.uniform(1.15, 1.4))
    draw.text((20, y), "TOTAL", font=font(MONO[1], size + 6), fill=15)
    return page


def music(rng, vocabulary):
    """Sheet music: systems of five even staff lines with bar lines, note heads on stems, beams
    now and then, and a line of lyrics under some systems."""
    page, draw = blank_page(250)
    width, height = page.size
    gap = rng.randint(9, 13)
    left, right = 90, width - 90
    y = 160
    draw.text((width // 2, 70), " ".join(rng.choice(vocabulary) for _ in range(2)).title(),
              font=font(rng.choice(SERIF), 44), fill=10, anchor="mt")
    lyrics = rng.random() < 0.5
    while y + 4 * gap < height - 120:
        for i in range(5):
            draw.line((left, y + i * gap, right, y + i * gap), fill=30, width=2)
        bars = rng.randint(3, 5)
        for b in range(bars + 1):
            x = left + (right - left) * b // bars
            draw.line((x, y, x, y + 4 * gap), fill=20, width=2)
        x = left + 70
        while x < right - 30:
            step = rng.randint(-4, 12)
            cy = y + step * gap // 2
            draw.ellipse((x - gap * 0.65, cy - gap * 0.45, x + gap * 0.65, cy + gap * 0.45),
                         fill=15 if rng.random() < 0.8 else None, outline=15, width=2)
            up = cy > y + 2 * gap
            draw.line((x + (gap * 0.6 if up else -gap * 0.6), cy,
                       x + (gap * 0.6 if up else -gap * 0.6), cy + (-3.5 if up else 3.5) * gap),
                      fill=15, width=2)
            x += rng.randint(int(2.5 * gap), int(6 * gap))
        y += 4 * gap
        if lyrics:
            line = " ".join(rng.choice(vocabulary) for _ in range(rng.randint(6, 10)))
            draw.text((left + 60, y + 2 * gap), line, font=font(SERIF[0], 22), fill=25)
        y += rng.randint(7, 10) * gap
    return page


def table(rng, vocabulary):
    """A ruled table of figures: a grid of thin rules, a bold heading row, numbers in cells."""
    page, draw = blank_page(248)
    width, height = page.size
    size = rng.randint(18, 26)
    typeface, bold = font(SANS[0], size), font("NimbusSans-Bold.otf", size)
    columns = rng.randint(3, 7)
    row = int(size * rng.uniform(1.6, 2.2))
    left, right, top = 80, width - 80, rng.randint(100, 260)
    bottom = top + row * ((height - top - 100) // row)
    ruled_rows = rng.random() < 0.7
    for c in range(columns + 1):
        x = left + (right - left) * c // columns
        draw.line((x, top, x, bottom), fill=40, width=2)
    for i, y in enumerate(range(top, bottom + 1, row)):
        if ruled_rows or i < 2 or y + row > bottom:
            draw.line((left, y, right, y), fill=40, width=2)
        if y + row > bottom:
            break
        for c in range(columns):
            x = left + (right - left) * c // columns + 10
            text = rng.choice(vocabulary).title() if i == 0 or c == 0 else \
                "%d,%03d" % (rng.randint(0, 99), rng.randint(0, 999))
            draw.text((x, y + (row - size) // 2), text, font=bold if i == 0 else typeface,
                      fill=20)
    return page


def listing(rng, vocabulary):
    """A printed program listing: monospaced lines of a Perl module, indented as written."""
    page, draw = blank_page(250)
    width, height = page.size
    size = rng.randint(17, 24)
    mono = font(MONO[0], size)
    with open(rng.choice(MODULES), encoding="utf-8", errors="replace") as f:
        source = [line.rstrip().expandtabs(4) for line in f]
    start = rng.randint(0, max(0, len(source) - 80))
    y = 90
    for line in source[start:]:
        if y > height - 90:
            break
        draw.text((90, y), line[:90], font=mono, fill=20)
        y += int(size * 1.25)
    return page


def letter(rng, vocabulary):
    """A short letter: a heading, a few paragraphs, much blank paper below."""
    page, draw = blank_page(250)
    width, height = page.size
    size = rng.randint(20, 30)
    typeface = font(rng.choice(SERIF + SANS), size)
    y = 140
    draw.text((100, y), " ".join(rng.choice(vocabulary) for _ in range(3)).title(),
              font=font(rng.choice(SERIF), size + 14), fill=10)
    y += 3 * size
    start = rng.randint(0, max(0, len(vocabulary) - 400))
    for _ in range(rng.randint(2, 5)):
        count = rng.randint(30, 90)
        for line in paragraph_lines(draw, vocabulary[start:start + count], typeface, width - 200):
            draw.text((100, y), line, font=typeface, fill=25)
            y += int(size * 1.4)
        start += count
        y += size
    return page


DRAW = {"receipt": receipt, "music": music, "table": table, "listing": listing, "letter": letter}


def build(out, tmp, pool, photograph):
    """Draws PER_KIND pages of every kind into `tmp`, photographs each into `out` with
    `photograph(page, out_file, rng, cover, hard)` and returns their labels. The first EASY of
    every kind are photographed as a careful user does; the rest `hard`: turned further, some
    receipts smaller still, under a deeper shadow or a wrong white balance."""
    vocabulary = words()
    jobs = [(kind, i) for kind in KINDS for i in range(PER_KIND)]

    def render(job):
        kind, i = job
        rng = random.Random("page-kind-%s-%d" % (kind, i))
        page = os.path.join(tmp, "kind-%s-%d.png" % (kind, i))
        DRAW[kind](rng, vocabulary).save(page)
        # A third fill only a third to three fifths of the frame; receipts, being narrow,
        # always fill little of it.
        small = kind == "receipt" or rng.random() < 0.35
        hard = i >= EASY
        cover = rng.uniform(0.4 if hard else 0.55, 0.8) if small else rng.uniform(0.8, 0.97)
        name = "pagekind-%s-%02d.jpg" % (kind, i)
        photograph(page, os.path.join(out, name), rng, cover, hard)
        os.remove(page)
        return name, 1, "page-kind"

    return list(pool.map(render, jobs))
