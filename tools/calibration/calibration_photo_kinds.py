"""Photographs of the kinds that look most like documents or windows to the utility flag, for
the utility calibration set: mostly flat, grey or plain frames with few strokes. Each kind is
its own category ("photo-mist", "photo-sky", …); none of them is a utility image.

  mist       a wallpaper photograph hazed into grey, or a misty lake with a far shore and a
             jetty of planks and posts
  sky        a flat blue sky with one pyramid, tower or obelisk over a strip of real ground
  texture    close-ups cut from the texture photographs, and brick walls, in colour
  grey       the same close-ups and walls in grey
  sand       dunes cut from a photograph, and rippled sand with a crab or a shell
  snow       a snowfield with trunks, fence posts or tracks under a white sky
  water      water cut from the photographs, and a sea under a sky with ripples and glitter
  minimal    one object (a cut of a photograph) on a plain or shaded ground
  night      photographs taken down to night levels with lit windows, a moon and stars
  panorama   a wide strip of a photograph under one smooth sky gradient, as stitched

Everything is drawn from the wallpaper photographs make-calibration-set installs plus made
shapes and noise; the camera finish (noise, mild blur, JPEG) differs per picture. Deterministic.
Needs python3-numpy, python3-scipy and python3-pil.
"""

import math
import os
import random

import numpy as np
from PIL import Image
from scipy import ndimage

KINDS = ["mist", "sky", "texture", "grey", "sand", "snow", "water", "minimal", "night",
         "panorama"]
PER_KIND = 90


def picture_file(source):
    """A wallpaper file, or the largest rendering of a wallpaper folder."""
    if os.path.isdir(source):
        names = [n for n in os.listdir(source) if n.lower().endswith((".jpg", ".png"))]
        if not names:
            return None
        best = max(names, key=lambda n: int("".join(c for c in n.split("x")[0] if c.isdigit()) or 0))
        return os.path.join(source, best)
    return source if os.path.exists(source) else None


class Sources:
    def __init__(self, photos, textures, waters, sands):
        self.photos = [p for p in map(picture_file, photos) if p]
        self.textures = [p for p in map(picture_file, textures) if p]
        self.waters = [p for p in map(picture_file, waters) if p] or self.photos
        self.sands = [p for p in map(picture_file, sands) if p] or self.textures

    @staticmethod
    def cut(path, rng, w, h, zoom=1.0):
        """A w × h cut of the picture at `path`, `zoom` times closer than filling the frame."""
        image = Image.open(path).convert("RGB")
        scale = zoom * max(w / image.width, h / image.height)
        image = image.resize((max(w, int(image.width * scale) + 1),
                              max(h, int(image.height * scale) + 1)), Image.BILINEAR)
        x, y = rng.randint(0, image.width - w), rng.randint(0, image.height - h)
        return np.asarray(image.crop((x, y, x + w, y + h)), dtype=np.float32)


def grid(h, w):
    return np.mgrid[0:h, 0:w].astype(np.float32)


def grey_of(frame):
    g = frame @ np.array([0.299, 0.587, 0.114], dtype=np.float32)
    return np.repeat(g[:, :, None], 3, axis=2)


def sky(h, w, rng, top=None, bottom=None):
    """One smooth vertical gradient, top colour to bottom colour."""
    top = np.array(top or [rng.uniform(30, 90), rng.uniform(80, 140), rng.uniform(170, 230)])
    bottom = np.array(bottom or [rng.uniform(150, 210), rng.uniform(185, 225), rng.uniform(215, 250)])
    t = np.linspace(0, 1, h, dtype=np.float32)[:, None, None] ** rng.uniform(0.6, 1.5)
    return np.broadcast_to(top * (1 - t) + bottom * t, (h, w, 3)).astype(np.float32)


def grain(rng, h, w, sigma, blur=1.0):
    nrng = np.random.default_rng(rng.randint(0, 2 ** 31))
    return ndimage.gaussian_filter(nrng.normal(0, sigma, (h, w)), blur).astype(np.float32)


def mist(src, rng, h, w):
    fog = rng.uniform(140, 215)
    yy, _ = grid(h, w)
    if rng.random() < 0.5:
        photo = Sources.cut(rng.choice(src.photos), rng, w, h)
        if rng.random() < 0.6:
            photo = grey_of(photo)
        t = rng.uniform(0.08, 0.35)
        haze = fog + 15 * (0.5 - yy / h)
        return photo * t + haze[:, :, None] * (1 - t)
    frame = np.repeat((fog + 20 * (0.5 - yy / h))[:, :, None], 3, axis=2)
    horizon = int(h * rng.uniform(0.35, 0.55))
    band = int(h * rng.uniform(0.02, 0.08))
    shore = Sources.cut(rng.choice(src.photos), rng, w, band)
    frame[horizon - band:horizon] = grey_of(shore) * 0.3 + fog * 0.7 - 25
    frame[horizon:] -= rng.uniform(3, 15)
    frame[horizon:] += (3 * np.sin(yy[horizon:] * rng.uniform(0.3, 0.8)))[:, :, None]
    jetty_far, jetty_near = w * rng.uniform(0.4, 0.6), w * rng.uniform(0.2, 0.8)
    width_far, width_near = w * 0.01, w * rng.uniform(0.08, 0.2)
    dark = fog - rng.uniform(60, 120)
    for y in range(horizon + int(h * 0.1), h):
        t = (y - horizon) / (h - horizon)
        centre = jetty_far * (1 - t) + jetty_near * t
        half = (width_far * (1 - t) + width_near * t) / 2
        frame[y, int(max(0, centre - half)):int(min(w, centre + half))] = dark + 30 * (1 - t)
    for k in range(rng.randint(3, 9)):
        t = rng.uniform(0.15, 1.0)
        y = int(horizon + t * (h - horizon)) - 1
        x = int((jetty_far * (1 - t) + jetty_near * t) + rng.choice([-1, 1]) *
                (width_far * (1 - t) + width_near * t) / 2)
        post = max(2, int(6 * t))
        frame[max(0, y - int(40 * t) - 10):y, max(0, x - post):min(w, x + post)] = dark
    return frame


def sky_monument(src, rng, h, w):
    frame = sky(h, w, rng).copy()
    ground = int(h * rng.uniform(0.72, 0.9))
    frame[ground:] = Sources.cut(rng.choice(src.sands + src.photos), rng, w, h - ground)
    yy, xx = grid(h, w)
    kind = rng.random()
    stone = Sources.cut(rng.choice(src.sands), rng, w, h) * rng.uniform(0.6, 1.0)
    if kind < 0.55:  # a pyramid, lit on one face
        cx, half = w * rng.uniform(0.3, 0.7), w * rng.uniform(0.12, 0.3)
        top = ground - half * rng.uniform(0.6, 1.0)
        inside = (yy >= top) & (yy <= ground) & (np.abs(xx - cx) <= (yy - top) / (ground - top) * half)
        shade = np.where(xx < cx + (yy - top) * rng.uniform(-0.2, 0.2), 1.0, rng.uniform(0.55, 0.8))
        frame = np.where(inside[:, :, None], stone * shade[:, :, None], frame)
    elif kind < 0.8:  # a tower with a few windows
        x0, x1 = sorted(rng.sample(range(int(w * 0.3), int(w * 0.7)), 2))
        x1 = max(x1, x0 + w // 20)
        top = int(h * rng.uniform(0.15, 0.45))
        frame[top:ground, x0:x1] = stone[top:ground, x0:x1]
        for y in range(top + 30, ground - 30, rng.randint(40, 90)):
            for x in range(x0 + 10, x1 - 20, rng.randint(30, 60)):
                frame[y:y + 18, x:x + 10] *= 0.45
    else:  # an obelisk or a statue against the light
        cx, half = w * rng.uniform(0.3, 0.7), w * rng.uniform(0.015, 0.04)
        top = h * rng.uniform(0.1, 0.4)
        taper = 1 - 0.4 * (ground - yy) / (ground - top)
        inside = (yy >= top) & (yy <= ground) & (np.abs(xx - cx) <= half * taper)
        frame = np.where(inside[:, :, None], stone * 0.4, frame)
    return frame


def brick_wall(rng, h, w):
    yy, xx = grid(h, w)
    height = rng.randint(30, 90)
    length = int(height * rng.uniform(2.0, 2.6))
    mortar = rng.randint(4, 10)
    row = (yy // height).astype(int)
    shifted = xx + (row % 2) * length / 2
    brick_id = row * 1000 + (shifted // length).astype(int)
    nrng = np.random.default_rng(rng.randint(0, 2 ** 31))
    tones = nrng.uniform(0.75, 1.15, brick_id.max() + 1)
    joint = ((yy % height) < mortar) | ((shifted % length) < mortar)
    base = np.array([rng.uniform(120, 180), rng.uniform(50, 90), rng.uniform(35, 70)])
    bricks = base[None, None, :] * tones[brick_id][:, :, None]
    wall = np.where(joint[:, :, None], rng.uniform(140, 190), bricks)
    return wall + grain(rng, h, w, 18, 1.0)[:, :, None]


def close_up(src, rng, h, w):
    if rng.random() < 0.3:
        return brick_wall(rng, h, w)
    return Sources.cut(rng.choice(src.textures + src.sands), rng, w, h, rng.uniform(1.5, 4.0))


def texture(src, rng, h, w):
    return close_up(src, rng, h, w)


def grey_texture(src, rng, h, w):
    return grey_of(close_up(src, rng, h, w))


def sand(src, rng, h, w):
    if rng.random() < 0.4:
        return Sources.cut(rng.choice(src.sands), rng, w, h, rng.uniform(1.0, 3.0))
    yy, xx = grid(h, w)
    tone = rng.uniform(120, 200)
    ripple = 6 * np.sin((yy + 20 * np.sin(xx / rng.uniform(80, 200))) / rng.uniform(6, 14))
    plane = tone + ripple + grain(rng, h, w, 14, 0.8)
    tint = np.array([1.0, rng.uniform(0.93, 1.0), rng.uniform(0.8, 1.0)]) if rng.random() < 0.5 \
        else np.ones(3)
    frame = plane[:, :, None] * tint[None, None, :]
    cx, cy = w * rng.uniform(0.3, 0.7), h * rng.uniform(0.3, 0.7)
    r = min(w, h) * rng.uniform(0.04, 0.12)
    body = ((xx - cx) / r) ** 2 + ((yy - cy) / (0.7 * r)) ** 2 <= 1
    colour = np.array([rng.uniform(90, 200), rng.uniform(50, 110), rng.uniform(40, 80)])
    if rng.random() < 0.5:
        colour = np.full(3, tone * rng.uniform(0.4, 0.7))
    legs = np.zeros_like(body)
    for k in range(8):
        angle = math.pi * (k / 7.0) * 0.8 + (0.1 if k < 4 else 1.2) * math.pi
        for s in np.linspace(r * 0.8, r * 1.8, 40):
            x, y = int(cx + s * math.cos(angle)), int(cy + s * math.sin(angle) * 0.8)
            if 0 <= x < w - 3 and 0 <= y < h - 3:
                legs[y:y + 3, x:x + 3] = True
    return np.where((body | legs)[:, :, None], colour, frame)


def snow(src, rng, h, w):
    yy, xx = grid(h, w)
    horizon = int(h * rng.uniform(0.2, 0.5))
    white = rng.uniform(215, 250)
    frame = np.full((h, w, 3), white, np.float32) * np.array([rng.uniform(0.92, 1.0), 1.0, 1.0])
    frame += (grain(rng, h, w, 4, 3) + 8 * (yy / h))[:, :, None] * -1
    frame[:horizon] = sky(horizon, w, rng, [white - 20] * 3, [white - 5] * 3)
    objects = rng.random()
    dark = rng.uniform(20, 80)
    if objects < 0.4:  # bare trunks
        for _ in range(rng.randint(2, 10)):
            x, width = rng.randint(0, w - 10), rng.randint(3, 14)
            top = rng.randint(0, horizon + 40)
            frame[top:rng.randint(horizon + 20, h), x:x + width] = dark
    elif objects < 0.7:  # a fence
        y0 = int(h * rng.uniform(0.55, 0.8))
        for x in range(rng.randint(0, 60), w, rng.randint(60, 140)):
            frame[y0 - 80:y0, x:x + 8] = dark
        frame[y0 - 70:y0 - 64] = dark
    else:  # tracks
        for s in range(0, h - horizon, rng.randint(25, 50)):
            y = horizon + s
            x = int(w / 2 + 40 * math.sin(s / 90))
            frame[y:y + 10, x:x + 16] -= 35
    return frame


def water(src, rng, h, w):
    if rng.random() < 0.4:
        return Sources.cut(rng.choice(src.waters), rng, w, h, rng.uniform(1.0, 2.5))
    yy, xx = grid(h, w)
    horizon = int(h * rng.uniform(0.3, 0.6))
    frame = sky(h, w, rng).copy()
    sea = np.array([rng.uniform(20, 80), rng.uniform(60, 110), rng.uniform(90, 150)])
    ripple = 8 * np.sin(yy * rng.uniform(0.2, 0.6) + 3 * np.sin(xx / rng.uniform(30, 90)))
    depth = (yy - horizon) / max(1, h - horizon)
    water = sea[None, None, :] * (0.8 + 0.4 * depth[:, :, None]) + ripple[:, :, None]
    glitter = (grain(rng, h, w, 30, 0.7) > 25) & (np.abs(xx - w * 0.5) < w * 0.15)
    water = np.where(glitter[:, :, None], 245, water)
    return np.where((yy >= horizon)[:, :, None], water, frame)


def minimal(src, rng, h, w):
    """One thing on a plain ground: lit from one side, darker towards the corners, the thing
    round or soft-edged with a soft shadow (a photographed object, not a picture pasted in)."""
    yy, xx = grid(h, w)
    ground = np.array([rng.uniform(40, 230)] * 3) * (np.array([rng.uniform(0.8, 1.1) for _ in range(3)])
                                                    if rng.random() < 0.6 else 1)
    vignette = 1 - rng.uniform(0.08, 0.3) * (((xx / w - 0.5) ** 2 + (yy / h - 0.5) ** 2) * 2)
    light = 1 + rng.uniform(0.03, 0.12) * (xx / w - 0.5) * rng.choice([-1, 1])
    frame = ground[None, None, :] * (vignette * light)[:, :, None]
    size = int(min(w, h) * rng.uniform(0.1, 0.35))
    thing = Sources.cut(rng.choice(src.photos), rng, size, size, rng.uniform(1, 3))
    x, y = rng.randint(0, w - size - size // 4), rng.randint(0, h - size - size // 4)
    radius = np.sqrt(((np.mgrid[0:size, 0:size] - size / 2) ** 2).sum(0)) / (size / 2)
    if rng.random() < 0.5:
        radius = np.maximum(*np.abs(np.mgrid[0:size, 0:size] - size / 2) / (size / 2)) ** 4
    mask = np.clip((1 - radius) * size / 6, 0, 1)[:, :, None]
    shadow = ndimage.gaussian_filter(mask[:, :, 0], size / 10)[:, :, None]
    dx = size // 8
    frame[y + dx:y + dx + size, x + dx:x + dx + size] *= 1 - 0.45 * shadow
    region = frame[y:y + size, x:x + size]
    frame[y:y + size, x:x + size] = thing * mask + region * (1 - mask)
    return frame


def night(src, rng, h, w):
    photo = Sources.cut(rng.choice(src.photos), rng, w, h)
    frame = 255 * (photo / 255) ** rng.uniform(1.8, 3.0) * rng.uniform(0.15, 0.4)
    nrng = np.random.default_rng(rng.randint(0, 2 ** 31))
    if rng.random() < 0.5:  # lit windows
        for _ in range(rng.randint(10, 80)):
            x, y = nrng.integers(0, w - 12), nrng.integers(h // 3, h - 12)
            frame[y:y + 10, x:x + 7] = [255, 200, 120]
    else:  # a moon and stars
        stars = nrng.random((h, w)) > 0.9995
        frame[stars] = 230
        cx, cy, r = rng.uniform(0.2, 0.8) * w, rng.uniform(0.1, 0.4) * h, rng.uniform(15, 50)
        yy, xx = grid(h, w)
        frame[(xx - cx) ** 2 + (yy - cy) ** 2 <= r * r] = 240
    return frame


def panorama(src, rng, h, w):
    w = int(h * rng.uniform(2.5, 4.0))
    horizon = int(h * rng.uniform(0.45, 0.7))
    frame = sky(h, w, rng).copy()
    strip = Sources.cut(rng.choice(src.photos), rng, w, h - horizon)
    frame[horizon:] = strip
    seam = rng.randint(w // 4, 3 * w // 4)
    frame[:, seam:] *= rng.uniform(0.97, 1.03)
    return frame


DRAW = {"mist": mist, "sky": sky_monument, "texture": texture, "grey": grey_texture,
        "sand": sand, "snow": snow, "water": water, "minimal": minimal, "night": night,
        "panorama": panorama}


def finish(frame, rng, path):
    """The camera: mild blur, sensor noise (from none to plain), JPEG 78-95."""
    h, w = frame.shape[:2]
    if rng.random() < 0.6:
        sigma = rng.uniform(0.3, 1.2)
        frame = np.stack([ndimage.gaussian_filter(frame[:, :, c], sigma) for c in range(3)], 2)
    noise = rng.choice([0.0, 0.5, 1.0, 2.0, 3.5])
    if noise:
        frame = frame + grain(rng, h, w, noise, 0.5)[:, :, None]
    Image.fromarray(np.clip(frame, 0, 255).astype(np.uint8), "RGB").save(
        path, quality=rng.randint(78, 95))


def make(kind, index, src, out):
    rng = random.Random("photo-kind-%s-%d" % (kind, index))
    h, w = (1200, 1600) if rng.random() < 0.7 else (1600, 1200)
    frame = DRAW[kind](src, rng, h, w)
    name = "photokind-%s-%02d.jpg" % (kind, index)
    finish(np.asarray(frame, dtype=np.float32), rng, os.path.join(out, name))
    return name, 0, "photo-" + kind


def build(out, pool, src):
    """Writes the photographs into `out`; returns their labels."""
    jobs = [(kind, i) for kind in KINDS for i in range(PER_KIND)]
    return list(pool.map(lambda job: make(job[0], job[1], src, out), jobs))
