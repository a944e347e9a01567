"""Photographed pages and receipts for the utility calibration set, made by a pipeline of its
own: the thresholds of the utility flag are tuned on make-calibration-set's photographed PDF
pages, and this set measures whether what they learnt carries over (category "page-shot").

Pages are drawn here (text set in DejaVu fonts from licence texts, code listings from Python's
own library, tables of figures, engraved-looking music, till receipts), then laid on a surface
and photographed: backgrounds cut from the wallpaper photographs (wood, grass, stone, sand) or
made (dark woven cloth, a sofa's cushion, floor tiles), the page covering 35 % to 90 % of the
frame, seen from above or at a slant, bowed or folded, a cast shadow over up to half of it,
light falling off across the frame, a colour cast, defocus, sensor noise and JPEG 75-90.
Deterministic for the same packages. Needs python3-numpy, python3-scipy and python3-pil.
"""

import glob
import math
import os
import random

import numpy as np
from PIL import Image, ImageDraw, ImageFont
from scipy import ndimage

FONTS = "/usr/share/fonts/truetype/dejavu/"
TEXTS = sorted(glob.glob("/usr/share/common-licenses/*"))
CODE = sorted(glob.glob("/usr/lib/python3*/[a-t]*.py"))
SURFACES = ["/usr/share/backgrounds/mate/nature/Wood.jpg",
            "/usr/share/backgrounds/mate/nature/GreenMeadow.jpg",
            "/usr/share/backgrounds/mate/nature/Dune.jpg",
            "/usr/share/backgrounds/mate/nature/Blinds.jpg",
            "/usr/share/backgrounds/mate/nature/Storm.jpg",
            "/usr/share/wallpapers/OneStandsOut/contents/images/1920x1080.jpg",
            "/usr/share/wallpapers/Path/contents/images/1920x1080.jpg",
            "/usr/share/wallpapers/ColdRipple/contents/images/1920x1080.jpg"]
KINDS = ["text", "code", "table", "music", "receipt"]
PER_KIND = 48


def font(name, size):
    return ImageFont.truetype(FONTS + name, size)


def words(rng):
    with open(rng.choice(TEXTS), encoding="utf-8", errors="replace") as f:
        text = f.read().split()
    start = rng.randrange(max(1, len(text) - 2000))
    return text[start:start + 2000]


def text_page(rng):
    page = Image.new("L", (1240, 1754), 255)
    draw = ImageDraw.Draw(page)
    size = rng.choice([22, 26, 30, 34])
    face = font(rng.choice(["DejaVuSerif.ttf", "DejaVuSans.ttf", "DejaVuSerifCondensed.ttf"]), size)
    margin, y, pool = rng.randint(90, 160), rng.randint(100, 180), words(rng)
    columns = 2 if rng.random() < 0.3 else 1
    width = (1240 - 2 * margin - 40 * (columns - 1)) // columns
    for column in range(columns):
        x0, y = margin + column * (width + 40), rng.randint(100, 180)
        line = ""
        while y < 1754 - 120 and pool:
            word = pool.pop(0)
            if draw.textlength(line + " " + word, font=face) > width:
                draw.text((x0, y), line.strip(), fill=rng.randint(0, 50), font=face)
                y += int(size * rng.uniform(1.25, 1.6))
                line = ""
                if rng.random() < 0.06:
                    y += size
            line += " " + word
    return page


def code_page(rng):
    page = Image.new("RGB", (1240, 1754), (255, 255, 255))
    draw = ImageDraw.Draw(page)
    size = rng.choice([20, 24, 28])
    face = font("DejaVuSansMono.ttf", size)
    with open(rng.choice(CODE), encoding="utf-8", errors="replace") as f:
        lines = f.read().splitlines()
    start = rng.randrange(max(1, len(lines) - 80))
    colours = [(0, 0, 0), (20, 20, 120), (120, 20, 20), (20, 100, 20)]
    y = 110
    for number, line in enumerate(lines[start:start + 80]):
        if y > 1754 - 100:
            break
        draw.text((80, y), "%4d" % (start + number + 1), fill=(120, 120, 120), font=face)
        draw.text((170, y), line[:80], fill=rng.choice(colours), font=face)
        y += int(size * 1.3)
    return page


def table_page(rng):
    page = Image.new("L", (1240, 1754), 255)
    draw = ImageDraw.Draw(page)
    face = font("DejaVuSans.ttf", rng.choice([20, 24]))
    columns, row_height = rng.randint(4, 7), rng.randint(40, 56)
    x0, x1 = 100, 1140
    widths = np.diff(np.linspace(x0, x1, columns + 1)).astype(int)
    y = 140
    ruled = rng.random() < 0.6
    while y < 1600:
        x = x0
        for c, w in enumerate(widths):
            cell = rng.choice(["%d" % rng.randint(1, 99999), "%.2f" % rng.uniform(0, 999),
                               rng.choice(["Total", "North", "South", "Q3", "net", "—"])])
            draw.text((x + 8, y + 8), cell, fill=0, font=face)
            if ruled:
                draw.line([(x, y), (x, y + row_height)], fill=60, width=2)
            x += w
        if ruled or rng.random() < 0.2:
            draw.line([(x0, y), (x1, y)], fill=60, width=2)
        y += row_height
    return page


def music_page(rng):
    page = Image.new("L", (1240, 1754), 255)
    draw = ImageDraw.Draw(page)
    gap = rng.choice([14, 16, 18])
    y = 160
    while y < 1600:
        for k in range(5):
            draw.line([(90, y + k * gap), (1150, y + k * gap)], fill=20, width=2)
        draw.line([(90, y), (90, y + 4 * gap)], fill=20, width=3)
        x = 160
        while x < 1120:
            if rng.random() < 0.12:
                draw.line([(x, y), (x, y + 4 * gap)], fill=20, width=3)
                x += 30
                continue
            step = rng.randint(-4, 12)
            cy = y + step * gap / 2
            draw.ellipse([x - gap * 0.65, cy - gap * 0.45, x + gap * 0.65, cy + gap * 0.45],
                         fill=10 if rng.random() < 0.8 else None, outline=10, width=2)
            up = step > 4
            sx = x + (gap * 0.6 if up else -gap * 0.6)
            draw.line([(sx, cy), (sx, cy + (-3.5 if up else 3.5) * gap)], fill=10, width=2)
            x += rng.choice([32, 40, 48, 64])
        y += 9 * gap + rng.randint(20, 50)
    return page


def receipt_page(rng):
    width = rng.randint(520, 640)
    page = Image.new("L", (width, rng.randint(1500, 2000)), rng.randint(238, 252))
    draw = ImageDraw.Draw(page)
    size = rng.choice([20, 22, 24])
    face = font(rng.choice(["DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf"]), size)
    y = 60
    for header in ["CORNER MARKET", "12 High Street", "VAT 4471 2290"]:
        draw.text(((width - draw.textlength(header, font=face)) / 2, y), header, fill=30, font=face)
        y += int(size * 1.4)
    y += size
    total = 0.0
    items = ["BREAD", "MILK 1L", "APPLES", "COFFEE", "RICE 2KG", "TEA", "SOAP", "EGGS x12",
             "BUTTER", "PASTA", "TOMATOES", "CHEESE", "JUICE", "ONIONS"]
    while y < page.height - 320:
        price = rng.uniform(0.5, 25)
        total += price
        item = rng.choice(items)
        draw.text((30, y), item, fill=40, font=face)
        label = "%.2f" % price
        draw.text((width - 30 - draw.textlength(label, font=face), y), label, fill=40, font=face)
        y += int(size * 1.35)
    draw.text((30, y), "-" * 40, fill=60, font=face)
    y += size * 2
    draw.text((30, y), "TOTAL   %.2f" % total, fill=20, font=face)
    y += size * 3
    for x in range(60, width - 60, 6):  # a bar code
        if rng.random() < 0.5:
            draw.rectangle([x, y, x + rng.choice([1, 2, 3]), y + 90], fill=10)
    return page


DRAW = {"text": text_page, "code": code_page, "table": table_page, "music": music_page,
        "receipt": receipt_page}


def surface(rng, size):
    """A background of `size` (w, h) as float RGB: a cut of a wallpaper photograph or a made
    surface (dark cloth, a sofa cushion, floor tiles)."""
    w, h = size
    choice = rng.random()
    sources = [s for s in SURFACES if os.path.exists(s)]
    if sources and choice < 0.5:
        image = Image.open(rng.choice(sources)).convert("RGB")
        scale = rng.uniform(1.0, 2.5) * max(w / image.width, h / image.height)
        image = image.resize((int(image.width * scale) + 1, int(image.height * scale) + 1))
        x, y = rng.randint(0, image.width - w), rng.randint(0, image.height - h)
        return np.asarray(image.crop((x, y, x + w, y + h)), dtype=np.float32)
    nrng = np.random.default_rng(rng.randint(0, 2 ** 31))
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    base = np.array([rng.uniform(20, 200) for _ in range(3)], dtype=np.float32)
    if choice < 0.7:  # dark woven cloth
        base *= 0.35
        period = rng.uniform(3, 7)
        weave = 10 * np.sin(xx * 2 * math.pi / period) * np.sin(yy * 2 * math.pi / period)
        grain = ndimage.gaussian_filter(nrng.normal(0, 14, (h, w)), 1.2)
        plane = weave + grain
    elif choice < 0.85:  # a sofa cushion: soft folds
        plane = 25 * np.sin(xx / w * rng.uniform(2, 5) + yy / h * rng.uniform(1, 3)) + \
            ndimage.gaussian_filter(nrng.normal(0, 6, (h, w)), 2)
    else:  # floor tiles
        tile = rng.randint(120, 260)
        plane = np.where(((xx % tile) < 4) | ((yy % tile) < 4), -40, 0) + \
            ndimage.gaussian_filter(nrng.normal(0, 8, (h, w)), 1.5)
    return np.clip(base[None, None, :] + plane[:, :, None], 0, 255).astype(np.float32)


def bow_or_fold(page, rng):
    """A bowed page (its lines curve and its middle is shaded) or a folded one (a crease
    across, one half a little darker); `page` float RGB, returned likewise."""
    h, w = page.shape[:2]
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    if rng.random() < 0.5:
        depth = rng.uniform(0.01, 0.04) * h
        shift = depth * np.sin(math.pi * xx / w)
        warped = np.stack([ndimage.map_coordinates(page[:, :, c], [yy - shift, xx], order=1,
                                                   mode="nearest") for c in range(3)], axis=2)
        shade = 1 - rng.uniform(0.03, 0.12) * np.abs(np.cos(math.pi * xx / w))
        return warped * shade[:, :, None]
    if rng.random() < 0.5:
        line = rng.uniform(0.3, 0.7) * h
        side = (yy > line)[:, :, None]
    else:
        line = rng.uniform(0.3, 0.7) * w
        side = (xx > line)[:, :, None]
    return np.where(side, page * rng.uniform(0.82, 0.95), page)


def cast_shadow(page, rng):
    """A soft shadow over a fifth to a half of the page, cut by a line at any angle."""
    h, w = page.shape[:2]
    share = rng.uniform(0.2, 0.5)
    angle = rng.uniform(0, 2 * math.pi)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    along = (xx - w / 2) * math.cos(angle) + (yy - h / 2) * math.sin(angle)
    cut = np.quantile(along, 1 - share)
    soft = rng.uniform(5, 40)
    inside = 1 / (1 + np.exp(-(along - cut) / soft))
    return page * (1 - rng.uniform(0.3, 0.6) * inside)[:, :, None]


def perspective_coefficients(corners, w, h):
    """PIL's output-to-input perspective coefficients for a page of w × h whose corners land
    at `corners` (top left, top right, bottom right, bottom left)."""
    source = [(0, 0), (w, 0), (w, h), (0, h)]
    rows, rhs = [], []
    for (x, y), (u, v) in zip(corners, source):
        rows.append([x, y, 1, 0, 0, 0, -u * x, -u * y])
        rows.append([0, 0, 0, x, y, 1, -v * x, -v * y])
        rhs += [u, v]
    return np.linalg.solve(np.array(rows, dtype=float), np.array(rhs, dtype=float)).tolist()


def place(page, background, rng):
    """Lays the page on the background, covering 35-90 % of the frame, turned and seen at a
    slant; returns the frame."""
    fh, fw = background.shape[:2]
    ph, pw = page.shape[:2]
    cover = rng.uniform(0.35, 0.9)
    scale = math.sqrt(cover * fw * fh / (pw * ph))
    scale = min(scale, 0.98 * fw / pw * 1.15, 0.98 * fh / ph * 1.15)
    angle = math.radians(rng.uniform(-25, 25) if rng.random() < 0.5 else rng.uniform(-6, 6))
    slant = rng.uniform(0, 0.3)
    cx = fw / 2 + rng.uniform(-0.12, 0.12) * fw
    cy = fh / 2 + rng.uniform(-0.12, 0.12) * fh
    corners = []
    for sx, sy in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
        x = sx * pw / 2 * scale * (1 - slant * (sy < 0))
        y = sy * ph / 2 * scale * (1 - 0.5 * slant)
        corners.append((cx + x * math.cos(angle) - y * math.sin(angle),
                        cy + x * math.sin(angle) + y * math.cos(angle)))
    coefficients = perspective_coefficients(corners, pw, ph)
    rgba = np.dstack([np.clip(page, 0, 255), np.full((ph, pw), 255, np.float32)]).astype(np.uint8)
    warped = Image.fromarray(rgba, "RGBA").transform((fw, fh), Image.PERSPECTIVE, coefficients,
                                                    Image.BICUBIC)
    warped = np.asarray(warped, dtype=np.float32)
    alpha = warped[:, :, 3:] / 255
    return warped[:, :, :3] * alpha + background * (1 - alpha)


def camera(frame, rng, path):
    """Light falling off across the frame, a colour cast, defocus, noise and JPEG 75-90."""
    h, w = frame.shape[:2]
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    angle = rng.uniform(0, 2 * math.pi)
    ramp = ((xx / w - 0.5) * math.cos(angle) + (yy / h - 0.5) * math.sin(angle))
    frame = frame * (1 - rng.uniform(0.1, 0.45) * (ramp + 0.5))[:, :, None]
    cast = np.array([rng.uniform(0.85, 1.1), rng.uniform(0.9, 1.05), rng.uniform(0.75, 1.1)])
    frame = frame * cast[None, None, :] * rng.uniform(0.8, 1.1)
    sigma = rng.uniform(0.3, 2.5)
    frame = np.stack([ndimage.gaussian_filter(frame[:, :, c], sigma) for c in range(3)], axis=2)
    nrng = np.random.default_rng(rng.randint(0, 2 ** 31))
    frame = frame + nrng.normal(0, rng.uniform(1, 6), frame.shape)
    image = Image.fromarray(np.clip(frame, 0, 255).astype(np.uint8), "RGB")
    image.save(path, quality=rng.randint(75, 90))


def shoot(kind, index, out):
    rng = random.Random("page-shot-%s-%d" % (kind, index))
    page = DRAW[kind](rng).convert("RGB")
    page = np.asarray(page, dtype=np.float32)
    if rng.random() < 0.6:
        page = bow_or_fold(page, rng)
    if rng.random() < 0.6:
        page = cast_shadow(page, rng)
    size = (1600, 1200) if rng.random() < 0.6 else (1200, 1600)
    frame = place(page, surface(rng, size), rng)
    name = "pageshot-%s-%02d.jpg" % (kind, index)
    camera(frame, rng, os.path.join(out, name))
    return name, 1, "page-shot"


def build(out, pool):
    """Writes the photographed pages into `out`; returns their labels."""
    jobs = [(kind, i) for kind in KINDS for i in range(PER_KIND)]
    return list(pool.map(lambda job: shoot(job[0], job[1], out), jobs))


if __name__ == "__main__":
    import concurrent.futures
    import sys
    os.makedirs(sys.argv[1], exist_ok=True)
    with concurrent.futures.ThreadPoolExecutor(4) as p:
        for label in build(sys.argv[1], p):
            print("%s\t%d\t%s" % label)
