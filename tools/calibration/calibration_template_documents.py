"""Documents that share a template but differ in what is written on them, with true copies of
some, for measuring how the analyzer keeps different documents apart and copies together:

  paper forms   two printed forms (a permit application, a club registration) filled in by
                hand, each in its own hand (Debian's handwriting fonts) and ink, photographed
                on a desk by this module's own camera or scanned flat;
  receipts      two till receipts (a shop's in Latin type, a cafe's in Chinese), one template
                each, different lines on every one, photographed;
  invoices      one invoice template typeset by ReportLab and rendered by pdftoppm;
  dialogs       yad expense-claim forms with different entries (light and dark theme), yad
                message boxes on one desktop with different messages, yad file choosers
                showing different folders (dark theme), yad lists of different rows, and
                gxmessage windows with different texts, drawn on a virtual X server.

Copies: a JPEG re-save at 85 % of the size ("resave"), a second capture of the same screen by
the program run again ("capture2"), a second rendering at another resolution ("resized") and a
rescan turned by at most 1 degree ("rescan"). LABELS.tsv has similarity-eval's columns: file,
group (one per document: its copies share it), tier, worse, origin, source (the template; the
figures are read held out by source); UTILITY.tsv has utility-eval's: file, 1, category
("page-template" or "screenshot-template"), source.

    calibration_template_documents.py OUT [--second]

With --second it writes instead a second set of other templates (a health questionnaire, zenity
entries, warnings and file choosers, xmessage boxes), for figures held out from the first.

Needs Debian's python3 with numpy and PIL, python3-reportlab, poppler-utils, Xvfb, xwd
(x11-apps), openbox, yad, gxmessage, ImageMagick and the fonts named in
FONTS; a kind whose program is missing is skipped with a note. Deterministic but for the
clock and the folders' dates a file chooser shows.
"""

import concurrent.futures
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

sys.dont_write_bytecode = True  # nothing of this tool's lands in the source tree
import calibration_capture  # noqa: E402  (beside this tool)
from calibration_offscreen_windows import capture  # noqa: E402

IMAGEMAGICK = "/usr/bin/convert-im6.q16"
FONTS = {
    "print": "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf",
    "print-bold": "/usr/share/fonts/opentype/urw-base35/NimbusSans-Bold.otf",
    "serif": "/usr/share/fonts/opentype/urw-base35/C059-Roman.otf",
    "serif-bold": "/usr/share/fonts/opentype/urw-base35/C059-Bold.otf",
    "mono": "/usr/share/fonts/truetype/inconsolata/Inconsolata.otf",
    "cjk": "/usr/share/fonts/truetype/arphic/ukai.ttc",
}
HANDS = ["/usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf",
         "/usr/share/fonts/opentype/comic-neue/ComicNeue-LightItalic.otf",
         "/usr/share/fonts/opentype/dancingscript/DancingScript-Regular.otf",
         "/usr/share/fonts/truetype/kristi/Kristi.ttf",
         "/usr/share/fonts/truetype/klee/KleeOne-Regular.ttf",
         "/usr/share/fonts/truetype/klee/KleeOne-SemiBold.ttf"]
INKS = [(20, 30, 120), (15, 15, 20), (40, 40, 60), (10, 50, 140)]
FIRST = ["Anna", "Bernd", "Chloe", "Dmitri", "Elena", "Farid", "Greta", "Hiro", "Ines", "Jonas",
         "Karin", "Luis", "Mei", "Nadia", "Oskar", "Priya", "Quentin", "Rosa", "Sven", "Tala"]
LAST = ["Albrecht", "Moreau", "Kowalski", "Lindqvist", "Okafor", "Tanaka", "Varga", "Novak",
        "Castillo", "Petersen", "Haddad", "Brennan", "Yilmaz", "Schulz", "Rossi", "Dubois"]
STREETS = ["Lindenweg", "Harbour Road", "Rue des Lilas", "Mill Lane", "Birkenallee",
           "Station Street", "Via Roma", "Oak Avenue", "Kirchgasse", "Seaview Terrace"]
ITEMS = ["Milk 1L", "Bread rye", "Apples 1kg", "Coffee beans", "Pasta 500g", "Tomatoes",
         "Cheese", "Butter", "Eggs x10", "Rice 2kg", "Olive oil", "Yoghurt", "Tea", "Soap",
         "Batteries AA", "Light bulb", "Notebook", "Pens x3", "Orange juice", "Chocolate",
         "Onions", "Carrots", "Salmon", "Chicken", "Flour", "Sugar", "Honey", "Beer x6"]
CAFE_ITEMS = ["拿铁咖啡", "美式咖啡", "卡布奇诺", "抹茶拿铁", "柠檬红茶", "芝士蛋糕", "牛角面包",
              "三明治", "热巧克力", "焦糖玛奇朵", "蓝莓松饼", "鲜榨橙汁", "意式浓缩", "提拉米苏"]
MESSAGES = ["The disk is full.", "Delete 14 items?", "Update finished.", "Connection lost.",
            "Save changes to \"report.odt\" before closing?", "Printer is out of paper.",
            "A new version is available.", "Could not open the file.", "Battery low (9 %).",
            "Do you want to replace the existing file?", "Network password required.",
            "Sync completed: 238 files.", "The operation timed out.", "Empty the trash?",
            "Restart now to finish installing?", "You have 3 unread messages."]
FOLDERS = ["/usr/share/doc", "/usr/share/icons", "/usr/share/fonts", "/usr/lib", "/etc",
           "/usr/share/locale", "/usr/bin", "/var/lib", "/usr/share/X11", "/usr/include",
           "/usr/share/zoneinfo", "/usr/share/man"]
SCREEN = (1366, 768)


def face(key, size):
    return ImageFont.truetype(FONTS.get(key, key), size)


def person(rng):
    return "%s %s" % (rng.choice(FIRST), rng.choice(LAST))


# ---------------------------------------------------------------- paper, drawn

def permit_form(rng, hand, ink):
    """A parking-permit application: printed title, labelled boxes, check boxes, a signature
    line; the boxes filled in by `hand`."""
    page = Image.new("RGB", (1240, 1754), "white")
    d = ImageDraw.Draw(page)
    d.text((100, 90), "CITY OF NORTHFIELD", font=face("print-bold", 34), fill="black")
    d.text((100, 140), "Application for a residents' parking permit", font=face("print", 30),
           fill="black")
    d.line((100, 190, 1140, 190), fill="black", width=3)
    fields = ["Surname", "First name", "Street and number", "Postcode and town", "Telephone",
              "Vehicle make and model", "Registration number", "Colour", "Date of birth",
              "Permit zone"]
    y = 240
    hw = face(hand, 40)
    for label in fields:
        d.text((100, y), label, font=face("print", 24), fill="black")
        d.rectangle((100, y + 32, 1140, y + 88), outline="black", width=2)
        value = {"Surname": rng.choice(LAST), "First name": rng.choice(FIRST),
                 "Street and number": "%s %d" % (rng.choice(STREETS), rng.randint(1, 180)),
                 "Postcode and town": "%05d Northfield" % rng.randint(10000, 99999),
                 "Telephone": "0%d %d" % (rng.randint(100, 999), rng.randint(100000, 9999999)),
                 "Vehicle make and model": rng.choice(["VW Golf", "Renault Clio", "Toyota Yaris",
                                                       "Skoda Octavia", "Fiat 500", "Volvo V60"]),
                 "Registration number": "NF-%s %d" % (
                     "".join(rng.choice("ABCDEFGHKLMNPRST") for _ in range(2)),
                     rng.randint(1, 9999)),
                 "Colour": rng.choice(["blue", "silver", "red", "black", "white", "green"]),
                 "Date of birth": "%02d.%02d.19%02d" % (rng.randint(1, 28), rng.randint(1, 12),
                                                       rng.randint(40, 99)),
                 "Permit zone": rng.choice(["A", "B", "C", "D", "E"])}[label]
        d.text((120 + rng.randint(0, 60), y + 36 + rng.randint(-4, 4)), value, font=hw,
               fill=ink)
        y += 118
    for i, text in enumerate(["first permit", "renewal", "second vehicle", "visitor card"]):
        x = 100 + i * 260
        d.rectangle((x, y + 10, x + 30, y + 40), outline="black", width=2)
        d.text((x + 42, y + 12), text, font=face("print", 22), fill="black")
        if rng.random() < 0.4:
            d.line((x + 4, y + 24, x + 14, y + 36, x + 34, y + 2), fill=ink, width=4)
    y += 90
    d.text((100, y), "Date, signature", font=face("print", 24), fill="black")
    d.line((100, y + 110, 700, y + 110), fill="black", width=2)
    scribble(d, rng, (140, y + 40, 640, y + 105), ink)
    d.text((100, 1660), "Form PK-7  (please fill in in block capitals)", font=face("print", 20),
           fill="black")
    return page


def club_form(rng, hand, ink):
    """A sports club's registration: a serif heading, a table of family members with some
    rows filled, a bank box."""
    page = Image.new("RGB", (1240, 1754), (252, 252, 248))
    d = ImageDraw.Draw(page)
    d.text((620, 110), "Rowing Club Aurora e.V.", font=face("serif-bold", 44), fill="black",
           anchor="mm")
    d.text((620, 170), "Membership registration 2026", font=face("serif", 30), fill="black",
           anchor="mm")
    columns = [100, 460, 700, 900, 1140]
    heads = ["Name", "Born", "Section", "Fee"]
    top = 260
    for r in range(13):
        d.line((100, top + r * 64, 1140, top + r * 64), fill="black", width=2 if r else 3)
    for c in columns:
        d.line((c, top, c, top + 12 * 64), fill="black", width=2)
    for c, head in zip(columns, heads):
        d.text((c + 12, top + 16), head, font=face("serif-bold", 26), fill="black")
    hw = face(hand, 36)
    for r in range(1, 1 + rng.randint(2, 11)):
        y = top + r * 64 + 10
        d.text((columns[0] + 14, y), person(rng), font=hw, fill=ink)
        d.text((columns[1] + 14, y), "%d" % rng.randint(1950, 2020), font=hw, fill=ink)
        d.text((columns[2] + 14, y), rng.choice(["eight", "scull", "youth", "masters"]),
               font=hw, fill=ink)
        d.text((columns[3] + 14, y), "%d,-" % rng.choice([60, 90, 120, 180]), font=hw,
               fill=ink)
    y = top + 12 * 64 + 60
    d.rectangle((100, y, 1140, y + 260), outline="black", width=3)
    d.text((120, y + 16), "Direct debit: account holder, IBAN, bank", font=face("serif", 24),
           fill="black")
    d.text((140 + rng.randint(0, 80), y + 70), person(rng), font=hw, fill=ink)
    d.text((140 + rng.randint(0, 80), y + 140), "DE%02d %04d %04d %04d %02d" % tuple(
        rng.randint(0, 9999) for _ in range(5)), font=hw, fill=ink)
    scribble(d, rng, (700, y + 300, 1100, y + 380), ink)
    d.line((680, y + 390, 1140, y + 390), fill="black", width=2)
    d.text((680, y + 400), "Signature", font=face("serif", 22), fill="black")
    return page


def scribble(d, rng, box, ink):
    """A signature: one pen stroke of loops across `box`."""
    x0, y0, x1, y1 = box
    x1 = x0 + (x1 - x0) * rng.uniform(0.4, 1.0)
    points, x = [], x0
    while x < x1:
        points.append((x, rng.uniform(y0, y1)))
        x += rng.uniform(8, 30)
    d.line(points, fill=ink, width=3, joint="curve")


def shop_receipt(rng):
    """A till receipt of one shop: a logo line, address, 3 to 16 items, totals, a bar code."""
    items = [(rng.choice(ITEMS), rng.randint(59, 1999)) for _ in range(rng.randint(3, 16))]
    height = 560 + 34 * len(items) + 260
    page = Image.new("RGB", (576, height), (250, 250, 246))
    d = ImageDraw.Draw(page)
    mono, big = face("mono", 26), face("mono", 44)
    d.text((288, 60), "FRESHMART", font=big, fill="black", anchor="mm")
    for i, line in enumerate(["Market Square 4", "Northfield", "Tel 0341 228811",
                              "%02d.%02d.2026  %02d:%02d" % (rng.randint(1, 28), rng.randint(1, 12),
                                                             rng.randint(8, 20),
                                                             rng.randint(0, 59))]):
        d.text((288, 120 + 32 * i), line, font=mono, fill="black", anchor="mm")
    y = 280
    for name, cents in items:
        d.text((30, y), name, font=mono, fill="black")
        d.text((546, y), "%d.%02d" % divmod(cents, 100), font=mono, fill="black", anchor="ra")
        y += 34
    total = sum(c for _, c in items)
    d.line((30, y + 10, 546, y + 10), fill="black", width=2)
    d.text((30, y + 24), "TOTAL EUR", font=big, fill="black")
    d.text((546, y + 24), "%d.%02d" % divmod(total, 100), font=big, fill="black", anchor="ra")
    d.text((30, y + 90), rng.choice(["CARD  **** %04d" % rng.randint(0, 9999), "CASH"]),
           font=mono, fill="black")
    x = 60
    while x < 516:  # a bar code of the receipt number
        w = rng.choice([2, 2, 4, 6])
        d.rectangle((x, y + 150, x + w, y + 220), fill="black")
        x += w + rng.choice([2, 4, 6])
    return page


def cafe_receipt(rng):
    """A cafe's receipt in Chinese: heading, table number, 2 to 9 drinks and cakes, total."""
    items = [(rng.choice(CAFE_ITEMS), rng.randint(12, 48)) for _ in range(rng.randint(2, 9))]
    height = 520 + 48 * len(items) + 200
    page = Image.new("RGB", (600, height), "white")
    d = ImageDraw.Draw(page)
    cjk, big = face("cjk", 30), face("cjk", 48)
    d.text((300, 70), "晨光咖啡馆", font=big, fill="black", anchor="mm")
    d.text((300, 130), "欢迎光临 · 谢谢惠顾", font=cjk, fill="black", anchor="mm")
    d.text((40, 190), "桌号 %d    单号 %06d" % (rng.randint(1, 30), rng.randint(0, 999999)),
           font=cjk, fill="black")
    d.text((40, 236), "2026-%02d-%02d %02d:%02d" % (rng.randint(1, 12), rng.randint(1, 28),
                                                  rng.randint(8, 21), rng.randint(0, 59)),
           font=cjk, fill="black")
    d.line((40, 290, 560, 290), fill="black", width=2)
    y = 310
    for name, price in items:
        d.text((40, y), name, font=cjk, fill="black")
        d.text((560, y), "¥%d.00" % price, font=cjk, fill="black", anchor="ra")
        y += 48
    d.line((40, y + 10, 560, y + 10), fill="black", width=2)
    d.text((40, y + 30), "合计", font=big, fill="black")
    d.text((560, y + 30), "¥%d.00" % sum(p for _, p in items), font=big, fill="black",
           anchor="ra")
    return page


# ---------------------------------------------------------------- camera and scanner

def photographed(page, rng, desk=None):
    """`page` on a desk seen by a phone's camera: perspective, light falling off, a colour
    cast, slight blur, sensor noise, JPEG quality 85-92 (returns the frame and its quality)."""
    w, h = page.size
    frame = (1600, 1200) if w > h * 1.1 else (1200, 1600)
    scale = min(frame[0] / w, frame[1] / h) * rng.uniform(0.72, 0.9)
    cx, cy = frame[0] / 2 + rng.uniform(-40, 40), frame[1] / 2 + rng.uniform(-40, 40)
    corners = []
    for sx, sy in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
        corners.append((cx + sx * w * scale / 2 + rng.uniform(-30, 30),
                        cy + sy * h * scale / 2 + rng.uniform(-30, 30)))
    coeffs = perspective_coefficients(corners, [(0, 0), (w, 0), (w, h), (0, h)])
    desk = desk or tuple(rng.randint(60, 140) for _ in range(3))
    mask = Image.new("L", page.size, 255).transform(frame, Image.PERSPECTIVE, coeffs,
                                                    Image.BILINEAR)
    warped = page.transform(frame, Image.PERSPECTIVE, coeffs, Image.BICUBIC)
    shot = Image.composite(warped, Image.new("RGB", frame, desk), mask)
    a = np.asarray(shot).astype(np.float32)
    yy, xx = np.mgrid[0:frame[1], 0:frame[0]].astype(np.float32)
    angle = rng.uniform(0, 2 * np.pi)
    ramp = (np.cos(angle) * xx / frame[0] + np.sin(angle) * yy / frame[1])
    light = 1.0 - rng.uniform(0.1, 0.35) * (ramp - ramp.min()) / max(1e-6, np.ptp(ramp))
    cast = np.array([rng.uniform(0.92, 1.0), rng.uniform(0.92, 1.0), rng.uniform(0.85, 1.0)])
    a = a * light[..., None] * cast
    a += np.random.default_rng(rng.randint(0, 2 ** 31)).normal(0, rng.uniform(2, 6), a.shape)
    shot = Image.fromarray(np.clip(a, 0, 255).astype(np.uint8))
    return shot.filter(ImageFilter.GaussianBlur(rng.uniform(0.4, 1.2))), rng.choice([85, 88, 92])


def perspective_coefficients(source, target):
    """PIL's perspective coefficients that map `source` points of the output onto `target`
    points of the input."""
    rows = []
    for (x, y), (u, v) in zip(source, target):
        rows.append([x, y, 1, 0, 0, 0, -u * x, -u * y])
        rows.append([0, 0, 0, x, y, 1, -v * x, -v * y])
    b = [c for point in target for c in point]
    return np.linalg.solve(np.array(rows, dtype=float), np.array(b, dtype=float)).tolist()


def scanned(page, rng, turn):
    """`page` on a flatbed scanner: greyish paper, turned by `turn` degrees, noise, JPEG."""
    grey = np.asarray(page.convert("L")).astype(np.float32)
    grey = 12 + grey * rng.uniform(0.84, 0.92)
    img = Image.fromarray(np.clip(grey, 0, 255).astype(np.uint8)).rotate(
        turn, resample=Image.BICUBIC, expand=False, fillcolor=int(grey.max()))
    a = np.asarray(img).astype(np.float32)
    a += np.random.default_rng(rng.randint(0, 2 ** 31)).normal(0, rng.uniform(1.5, 4), a.shape)
    return Image.fromarray(np.clip(a, 0, 255).astype(np.uint8)), rng.choice([75, 82, 88])


def resaved(path, out):
    """A JPEG re-save at 85 % of the size, quality 75."""
    image = Image.open(path).convert("RGB")
    image = image.resize((int(image.width * 0.85), int(image.height * 0.85)), Image.BICUBIC)
    image.save(out, quality=75)


def paper_kind(out, source, count, draw, seed, photo_share):
    """`count` documents of one template: photographed (a share `photo_share`) or scanned,
    some re-saved, some scanned again turned by up to 1 degree. Returns label rows."""
    rng = random.Random(seed)
    rows = []
    hands = list(HANDS)
    for i in range(count):
        group = "%s-%02d" % (source, i)
        page = draw(rng, hands[i % len(hands)], INKS[i % len(INKS)])
        name = group + ".jpg"
        photo = rng.random() < photo_share
        shot, quality = photographed(page, rng) if photo else \
            scanned(page, rng, rng.uniform(-1, 1) * 0.6)
        shot.save(os.path.join(out, name), quality=quality)
        rows.append((name, group, source))
        if i % 3 == 0:
            resaved(os.path.join(out, name), os.path.join(out, group + "-resave.jpg"))
            rows.append((group + "-resave.jpg", group, source))
        if i % 3 == 1 and not photo:
            again, quality = scanned(page, rng, rng.uniform(-1, 1))
            again.save(os.path.join(out, group + "-rescan.jpg"), quality=quality)
            rows.append((group + "-rescan.jpg", group, source))
    return rows


# ---------------------------------------------------------------- typeset invoices

def invoices(out, tmp, count, seed):
    """Invoices of one ReportLab template with different customers and lines, rendered by
    pdftoppm at 110 dpi, some again at 72 dpi."""
    try:
        from reportlab.lib.pagesizes import A4
        from reportlab.pdfgen import canvas
    except ImportError:
        print("template documents: no ReportLab, no invoices", file=sys.stderr)
        return []
    if not shutil.which("pdftoppm"):
        return []
    rng = random.Random(seed)
    rows = []
    for i in range(count):
        group = "invoice-%02d" % i
        pdf = os.path.join(tmp, group + ".pdf")
        c = canvas.Canvas(pdf, pagesize=A4)
        c.setFont("Helvetica-Bold", 22)
        c.drawString(60, 780, "Lindgren Office Supplies")
        c.setFont("Helvetica", 10)
        c.drawString(60, 762, "Kungsgatan 12 - 111 43 Stockholm - VAT SE5566778899")
        c.setFont("Helvetica-Bold", 16)
        c.drawString(380, 700, "INVOICE %05d" % rng.randint(0, 99999))
        c.setFont("Helvetica", 11)
        for k, line in enumerate([person(rng), "%s %d" % (rng.choice(STREETS), rng.randint(1, 99)),
                                  "%05d %s" % (rng.randint(10000, 99999),
                                               rng.choice(["Uppsala", "Malmo", "Lund", "Umea"]))]):
            c.drawString(60, 700 - 16 * k, line)
        y = 600
        c.setFont("Helvetica-Bold", 11)
        for x, head in ((60, "Item"), (330, "Qty"), (400, "Price"), (480, "Amount")):
            c.drawString(x, y, head)
        c.line(60, y - 6, 540, y - 6)
        c.setFont("Helvetica", 11)
        total = 0
        for _ in range(rng.randint(2, 18)):
            y -= 20
            qty, price = rng.randint(1, 12), rng.randint(2, 300)
            total += qty * price
            c.drawString(60, y, rng.choice(ITEMS + ["Stapler", "Paper A4 x500", "Toner",
                                                    "Desk lamp", "Folder", "Whiteboard"]))
            c.drawRightString(350, y, str(qty))
            c.drawRightString(440, y, "%d.00" % price)
            c.drawRightString(540, y, "%d.00" % (qty * price))
        c.line(380, y - 10, 540, y - 10)
        c.setFont("Helvetica-Bold", 12)
        c.drawString(380, y - 30, "Total SEK")
        c.drawRightString(540, y - 30, "%d.00" % total)
        c.setFont("Helvetica", 9)
        c.drawString(60, 60, "Payment within 30 days to bankgiro 123-4567. Thank you!")
        c.save()
        base = os.path.join(tmp, group)
        subprocess.run(["pdftoppm", "-png", "-r", "110", "-singlefile", pdf, base], check=True)
        shutil.move(base + ".png", os.path.join(out, group + ".png"))
        rows.append((group + ".png", group, "invoice"))
        if i % 2 == 0:
            subprocess.run(["pdftoppm", "-png", "-r", "72", "-singlefile", pdf, base + "-lo"],
                           check=True)
            shutil.move(base + "-lo.png", os.path.join(out, group + "-resized.png"))
            rows.append((group + "-resized.png", group, "invoice"))
    return rows


# ---------------------------------------------------------------- dialogs on a screen

def paint_desktop(display, desk, tmp):
    """Fills the root window of `display` with the colour `desk`."""
    picture = os.path.join(tmp, "desk.png")
    subprocess.run([IMAGEMAGICK, "-size", "%dx%d" % SCREEN, "xc:" + desk, picture], check=True)
    # display exits with 1 after painting the root window.
    subprocess.run([IMAGEMAGICK.replace("convert", "display"), "-window", "root", picture],
                   env=dict(os.environ, DISPLAY=display), check=False)


def dialog_commands(rng):
    """(source, theme, desktop colour, command) of every dialog, in a fixed order."""
    jobs = []
    for k in range(12):  # expense claims, light and dark
        theme = "Adwaita:dark" if k % 2 else "Adwaita"
        fields = [("Employee", person(rng)), ("Cost centre", "CC-%d" % rng.randint(100, 999)),
                  ("Destination", rng.choice(["Berlin", "Lyon", "Oslo", "Porto", "Riga",
                                              "Gdansk", "Turin", "Ghent", "Brno"])),
                  ("Purpose", rng.choice(["Customer visit", "Trade fair", "Training",
                                          "Audit", "Conference talk"])),
                  ("Nights", str(rng.randint(1, 6))),
                  ("Amount", "%d.%02d EUR" % (rng.randint(40, 2400), rng.randint(0, 99)))]
        cmd = ["yad", "--form", "--title=Expense claim", "--width=640", "--center",
               "--text=Travel expense claim %d/2026" % rng.randint(1, 400)]
        cmd += ["--field=%s" % f for f, _ in fields] + [v for _, v in fields]
        jobs.append(("yad-expense", theme, "#3a5f7f", cmd))
    for k in range(12):  # small message boxes on one desktop
        icon = rng.choice(["dialog-warning", "dialog-information", "dialog-question",
                           "dialog-error"])
        cmd = ["yad", "--title=Message", "--image=" + icon, "--center", "--width=360",
               "--text=" + MESSAGES[k], "--button=OK:0"] + \
              (["--button=Cancel:1"] if rng.random() < 0.5 else [])
        jobs.append(("yad-message", "Adwaita", "#2e3436", cmd))
    for k in range(10):  # file choosers on different folders, dark
        cmd = ["yad", "--file", "--title=Open", "--width=1000", "--height=640", "--center",
               "--filename=" + FOLDERS[k] + "/"]
        jobs.append(("yad-file", "Adwaita:dark", "#1c1c1c", cmd))
    for k in range(10):  # lists of different rows
        rows = []
        for _ in range(rng.randint(3, 16)):
            rows += [rng.choice(ITEMS), str(rng.randint(1, 40)), rng.choice(["yes", "no"])]
        cmd = ["yad", "--list", "--title=Inventory", "--width=700", "--height=520", "--center",
               "--column=Item", "--column=Count:NUM", "--column=Ordered"] + rows
        jobs.append(("yad-list", "Adwaita", "#5e5c64", cmd))
    for k in range(10):  # gxmessage windows
        text = "\n".join(rng.sample(MESSAGES, rng.randint(1, 5)))
        cmd = ["gxmessage", "-center", "-title", "Notice", "-buttons", "OK:0,Details:1", text]
        jobs.append(("gxmessage", "Adwaita", "#4a4a4a", cmd))
    return jobs


def second_dialog_commands(rng):
    """Dialogs of other programs (zenity, xmessage), for figures held out from the first set."""
    jobs = []
    for k in range(10):  # an entry prefilled with different text, light and dark
        jobs.append(("zenity-entry", "Adwaita:dark" if k % 2 else "Adwaita", "#204a87",
                     ["zenity", "--entry", "--title=Rename", "--width=480",
                      "--text=New name for the selected file:",
                      "--entry-text=%s %s.odt" % (rng.choice(ITEMS), person(rng))]))
    for k in range(10):  # warnings of different messages
        jobs.append(("zenity-warning", "Adwaita", "#3c3c3c",
                     ["zenity", "--warning", "--width=320",
                      "--text=" + MESSAGES[(k + 5) % len(MESSAGES)]]))
    for k in range(8):  # file choosers on different folders, light
        jobs.append(("zenity-file", "Adwaita", "#506070",
                     ["zenity", "--file-selection", "--filename=" + FOLDERS[(k + 3) % len(FOLDERS)]
                      + "/"]))
    for k in range(10):  # Athena message boxes
        jobs.append(("xmessage", "Adwaita", "#2a2a2a",
                     ["xmessage", "-center", "-buttons", "OK,Cancel",
                      "\n".join(rng.sample(MESSAGES, rng.randint(1, 4)))]))
    return jobs


def document_groups(jobs):
    """(file name, label group, number) of each dialog job, numbered per source in order. A job
    that runs the same command as an earlier one of its source, in the same theme on the same
    desktop, draws the same window: it is labelled the earlier one's document, not another."""
    counters, first, out = {}, {}, []
    for source, theme, desk, cmd in jobs:
        n = counters.setdefault(source, 0)
        counters[source] = n + 1
        name = "%s-%02d" % (source, n)
        out.append((name, first.setdefault((source, theme, desk, tuple(cmd)), name), n))
    return out


def dialogs(out, tmp, seed, commands=None):
    """Every dialog once, every third captured again by the program run anew and every third
    re-saved; returns label rows."""
    if not (shutil.which("Xvfb") and shutil.which("xwd") and shutil.which("yad")):
        print("template documents: no Xvfb, xwd or yad, no dialogs", file=sys.stderr)
        return []
    rng = random.Random(seed)
    rows = []
    with calibration_capture.x_server(SCREEN) as display:
        manager = subprocess.Popen(["openbox"], env=dict(os.environ, DISPLAY=display),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) \
            if shutil.which("openbox") else None
        jobs = [job for job in (commands or dialog_commands)(rng) if shutil.which(job[3][0])]
        for (source, theme, desk, cmd), (name, group, n) in zip(jobs, document_groups(jobs)):
            paint_desktop(display, desk, tmp)
            env = dict(os.environ, GTK_THEME=theme)
            capture(display, cmd, os.path.join(out, name + ".png"), env)
            rows.append((name + ".png", group, source))
            if n % 3 == 0:
                capture(display, cmd, os.path.join(out, name + "-capture2.png"), env)
                rows.append((name + "-capture2.png", group, source))
            if n % 3 == 1:
                resaved(os.path.join(out, name + ".png"), os.path.join(out, name + "-resave.jpg"))
                rows.append((name + "-resave.jpg", group, source))
        if manager:
            manager.kill()
            manager.wait()
    return rows


def questionnaire(rng, hand, ink):
    """A patient questionnaire: ruled lines to write on and yes/no boxes ticked by hand."""
    page = Image.new("RGB", (1240, 1754), (250, 251, 255))
    d = ImageDraw.Draw(page)
    d.text((100, 100), "Health questionnaire", font=face("serif-bold", 40), fill=(20, 40, 90))
    d.text((100, 160), "Please answer every question before your appointment.",
           font=face("serif", 24), fill="black")
    hw = face(hand, 34)
    y = 240
    for q in range(12):
        d.text((100, y), "%d. %s" % (q + 1, rng.choice(
            ["Allergies?", "Current medication?", "Operations in the last 5 years?",
             "Do you smoke?", "Blood pressure known?", "Vaccinations up to date?",
             "Chronic illness?", "Pregnant?", "Hearing aid?", "Glasses?"])),
            font=face("serif", 24), fill="black")
        for i, answer in enumerate(["yes", "no"]):
            x = 820 + i * 150
            d.rectangle((x, y, x + 26, y + 26), outline="black", width=2)
            d.text((x + 36, y), answer, font=face("serif", 22), fill="black")
        tick = 820 + rng.randint(0, 1) * 150
        d.line((tick + 3, y + 14, tick + 11, y + 24, tick + 30, y - 4), fill=ink, width=4)
        d.line((100, y + 80, 1140, y + 80), fill=(150, 150, 170), width=1)
        if rng.random() < 0.5:
            d.text((130 + rng.randint(0, 100), y + 40), " ".join(
                rng.sample(ITEMS + FIRST, rng.randint(1, 4))), font=hw, fill=ink)
        y += 118
    return page


def build_second(out, tmp, pool):
    """The second set: other programs' dialogs and another paper template."""
    os.makedirs(out, exist_ok=True)
    future = pool.submit(paper_kind, out, "form-health", 10, questionnaire, 21, 0.5)
    return dialogs(out, tmp, 22, second_dialog_commands) + future.result()


def build(out, tmp, pool):
    """Writes every kind into `out`; returns label rows (file, group, source)."""
    os.makedirs(out, exist_ok=True)
    paper = [("form-permit", 10, permit_form, 11, 0.5),
             ("form-club", 10, club_form, 12, 0.5)]
    futures = [pool.submit(paper_kind, out, s, n, lambda r, h, i, f=f: f(r, h, i), seed, share)
               for s, n, f, seed, share in paper]
    futures.append(pool.submit(paper_kind, out, "receipt-shop", 12,
                               lambda r, h, i: shop_receipt(r), 13, 0.8))
    futures.append(pool.submit(paper_kind, out, "receipt-cafe", 10,
                               lambda r, h, i: cafe_receipt(r), 14, 0.8))
    futures.append(pool.submit(invoices, out, tmp, 12, 15))
    rows = dialogs(out, tmp, 16)
    for f in futures:
        rows += f.result()
    return rows


def main():
    args = sys.argv[1:]
    second = "--second" in args
    args = [a for a in args if a != "--second"]
    if len(args) != 1 or args[0].startswith("-"):
        print(__doc__)
        return 0 if args and args[0] in ("-h", "--help") else 2
    out = args[0]
    with tempfile.TemporaryDirectory() as tmp, \
            concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 4) as pool:
        rows = (build_second if second else build)(out, tmp, pool)
    with open(os.path.join(out, "LABELS.tsv"), "w") as f:
        for name, group, source in sorted(rows):
            f.write("%s\t%s\ttight\t0\t\t%s\n" % (name, group, source))
    with open(os.path.join(out, "UTILITY.tsv"), "w") as f:
        for name, _, source in sorted(rows):
            kind = "page-template" if source.startswith(("form", "receipt", "invoice")) \
                else "screenshot-template"
            f.write("%s\t1\t%s\t%s\n" % (name, kind, source))
    print("template documents: %d files in %s" % (len(rows), out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
