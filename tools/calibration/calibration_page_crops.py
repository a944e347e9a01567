"""Small grey crops of typeset pages for the utility calibration set (category "page-crop"): a
few lines, a table or a listing cut from a manual's page as a user crops a picture of a
document, on paper that came out grey with ink of little contrast, soft, zoomed or saved as
JPEG on some; 120 to 640 pixels on the long side, so that the analyzer's thumbnail is the
picture itself.

The pages are those of manuals and typesetting examples in Debian packages that the other page
sets do not use, rendered by poppler's pdftoppm (not by libvips, which renders the other
pages). Each package is a source of its own, so the flag's trainer leaves each out whole.
Deterministic for the same packages. Needs poppler-utils and python3-pil.
"""

import glob
import gzip
import os
import random
import shutil
import subprocess

from PIL import Image, ImageFilter

# (package, glob of its PDFs inside it)
MANUALS = [
    ("valgrind", "usr/share/doc/valgrind/valgrind_manual.pdf.gz"),
    ("gnucobol3", "usr/share/doc/gnucobol3/gnucobol.pdf.gz"),
    ("liblcms2-dev", "usr/share/doc/liblcms2-dev/*.pdf.gz"),
    ("nettle-dev", "usr/share/doc/nettle-dev/nettle.pdf.gz"),
    ("groff", "usr/share/doc/groff-base/examples/mom/*.pdf.gz"),
    ("fonts-lmodern", "usr/share/doc/fonts-lmodern/lm-info.pdf"),
    ("zlib1g-dev", "usr/share/doc/zlib1g-dev/crc-doc*.pdf.gz"),
    ("fonts-arphic-ukai", "usr/share/doc/fonts-arphic-ukai/*.pdf.gz"),
]
PER_PACKAGE = 30
# A crop's long side in pixels, and the least share of it that is ink-bearing rows.
LONG_SIDES = (120, 640)
MIN_INKED_ROWS = 0.35
# A scan passes over smaller files (ScanOptions::minFileSize): a JPEG crop this small is
# saved as PNG instead, and left out when that is still too small.
MIN_FILE_BYTES = 8192
# The least share of a crop's pixels that is print: a rule or a table's frame alone is no text.
MIN_INK = 0.03


def plain_pdf(path, tmp):
    if not path.endswith(".gz"):
        return path
    plain = os.path.join(tmp, os.path.basename(path)[:-3].replace(" ", "_"))
    with gzip.open(path, "rb") as src, open(plain, "wb") as dst:
        shutil.copyfileobj(src, dst)
    return plain


def page_count(path):
    info = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
    for line in info.splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    return 0


def rendered(path, page, dpi, tmp, key):
    """Page `page` (1-based) of `path` in grey at `dpi`."""
    stem = os.path.join(tmp, "crop-%s-%d" % (key, page))
    subprocess.run(["pdftoppm", "-gray", "-r", str(dpi), "-f", str(page), "-l", str(page),
                    "-singlefile", "-png", path, stem], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    image = Image.open(stem + ".png").convert("L")
    os.remove(stem + ".png")
    return image


def inked_box(image, rng):
    """A crop box of a random size over part of the page that bears print, or None."""
    w, h = image.size
    long_side = rng.randint(*LONG_SIDES)
    aspect = rng.uniform(0.35, 1.6)
    cw, ch = (long_side, int(long_side / aspect)) if aspect >= 1 else \
        (int(long_side * aspect), long_side)
    cw, ch = min(cw, w), min(ch, h)
    dark = image.point(lambda v: 255 if v < 160 else 0)
    for _ in range(30):
        x, y = rng.randint(0, w - cw), rng.randint(0, h - ch)
        rows = dark.crop((x, y, x + cw, y + ch)).resize((1, ch), Image.BOX)
        inked = sum(1 for v in rows.getdata() if v > 2) / ch
        ink = sum(rows.getdata()) / 255.0 / ch
        if inked >= MIN_INKED_ROWS and ink >= MIN_INK:
            return x, y, x + cw, y + ch
    return None


def greyed(crop, rng):
    """The crop on grey paper: white mapped to a grey of 130-230, black lifted to 20-110 (a
    contrast of 60 levels at least); soft, smaller or blown up from fewer pixels on some."""
    paper = rng.randint(130, 230)
    ink = rng.randint(20, min(110, paper - 60))
    crop = crop.point(lambda v: int(ink + (paper - ink) * v / 255))
    if rng.random() < 0.6:
        crop = crop.filter(ImageFilter.GaussianBlur(rng.uniform(0.3, 1.5)))
    r = rng.random()
    if r < 0.4:
        scale = rng.uniform(0.5, 0.9)
        crop = crop.resize((max(40, int(crop.width * scale)), max(40, int(crop.height * scale))),
                           Image.LANCZOS)
    elif r < 0.55:  # a crop zoomed in from a smaller picture
        small = crop.resize((max(30, crop.width // 2), max(30, crop.height // 2)), Image.LANCZOS)
        crop = small.resize(crop.size, Image.BILINEAR)
    return crop


def build(out, tmp, pool, unpack):
    """PER_PACKAGE crops of every manual package, `unpack(package)` giving its unpacked
    folder; returns their labels (file, 1, "page-crop", package)."""
    jobs = []
    for package, pattern in MANUALS:
        root = unpack(package)
        paths = [plain_pdf(p, tmp) for p in sorted(glob.glob(os.path.join(root, pattern)))]
        pages = [(p, n) for p in paths for n in range(2, page_count(p) + 1)]
        rng = random.Random(package)
        for i in range(PER_PACKAGE):
            if pages:
                path, page = pages[rng.randrange(len(pages))]
                jobs.append((package, path, page, i))

    def crop(job):
        package, path, page, i = job
        rng = random.Random("%s-%d" % (package, i))
        image = rendered(path, page, rng.choice([72, 96, 110, 150]), tmp, "%s-%d" % (package, i))
        box = inked_box(image, rng)
        if box is None:
            return None
        picture = greyed(image.crop(box), rng)
        quality = rng.choice([50, 70, 80, 90])
        for kind in ("png", "jpg")[i % 3 != 0:]:
            name = "pagecrop-%s-%02d.%s" % (package, i, kind)
            picture.save(os.path.join(out, name), quality=quality)
            if os.path.getsize(os.path.join(out, name)) >= MIN_FILE_BYTES:
                return name, 1, "page-crop", package
            os.remove(os.path.join(out, name))
        return None

    return [label for label in pool.map(crop, jobs) if label]
