"""Real photographs for the utility calibration set, each labelled by the Debian package it
comes from, so that the utility flag can be measured on whole packages left out of fitting.

The packages are downloaded and unpacked (never installed) by make-calibration-set. Pictures
are picked by folder from wallpapers of several desktops, the photographs of an educational
suite (animals, monuments, tools, food, music), astronomical and landscape photographs of a
planetarium, the documentation of a panorama stitcher, image-codec test data, computer-vision
sample data, photographic textures of games, and frames of real videos. Game and texture
folders also hold drawn and rendered pictures: those are screened out by how many colours
they use (a photograph's thumbnail has hundreds of greys or thousands of colours, a drawing
far fewer) and by transparency (cut-out stamps and sprites are no photographs); drawings that
pass the screen (logos and adverts painted over a photographic ground, painted skins) are left
out by name, each named in DRAWN with the reason after a look at what the screen keeps. Large
photographs also give a few crops (a zoomed shot of the same scene), kept in their source.

Each file is written as a JPEG no longer than LONG_SIDE; the category is "photo-real-scene",
"photo-real-texture" or "photo-real-night" by the folder's kind; the source is the package.
"""

import fnmatch
import os
import random
import re
import struct
import subprocess
import zipfile
import zlib

from PIL import Image

Image.MAX_IMAGE_PIXELS = None

LONG_SIDE = 1280
MIN_SIDE = 240
# A photograph's 96-pixel thumbnail uses at least this many colours, or greys when it is
# nearly neutral; drawings, sprites and track maps use far fewer.
MIN_COLOURS = 900
MIN_GREYS = 48
# Crops of a large photograph: (shortest side, number of crops).
CROPS = [(1400, 4), (900, 3), (600, 2), (400, 1)]
# Maps that shade a texture rather than show it (normals, masks, overlays, relief); the
# screenshots, diagrams and drawn shapes that lie among the photographs of a manual or of
# sample data; drawn tiles, kerbs, logos and signs among a racing game's photographic textures;
# a drawn wallpaper among photographs.
NOT_PICTURES = re.compile(r"(_n|_s|_z|_nm)\.[a-z]+$|normal|bump|spec|gloss|mask|overlay|relief|"
                          r"structure|Celeste_|distortion|Aliasing|Interpolate|RatingStar|-plate|"
                          r"^pic\d|white-tile|curb|flatspot|PASS\d|SEATS|firstgeneration", re.I)

# Drawn pictures that pass the colour screen (logos and adverts painted over a photographic
# ground, painted skins of karts and characters, synthetic aerial tiles), reviewed on a
# contact sheet of what the screen keeps: file name, why it is no photograph.
DRAWN = {
    "logo_trb2.png": "a racing league's logo",
    "logo_x4y.png": "a sponsor's logo",
    "logo_cmyk.png": "a sponsor's logo",
    "sign3.png": "a sheet of drawn sponsor logos",
    "advert-cola.png": "a painted poster",
    "advert-joes.png": "a painted poster",
    "advert-ols.png": "a logo over a texture",
    "wall-water.png": "lettering on a flat ground",
    "PDKKA02.png": "a sponsor's banner",
    "kilo.png": "a sponsor's banner",
    "shadow2.png": "a drawn track map",
    "asphalt-tile-stripes-e2.png": "drawn stripes",
    "improveyou-wall.png": "a sponsor's banner",
    "tire-wall-at.png": "a sponsor's banner",
    "tire-wall-se.png": "a sponsor's banner",
    "tire-wall-ur.png": "a sponsor's banner",
    "megafuel-wall.png": "a sponsor's banner",
    "REF.png": "a drawn title board",
    "cs_tux_engine.jpg": "a kart's painted skin",
    "cs_tux_kart.jpg": "a kart's painted skin",
    "egypt2.jpg": "painted hieroglyphs",
    "konqi.jpg": "a character's painted skin",
    "stkflag_caldeiraFashion_a.jpg": "a drawn flag with lettering",
    "purplenebula.jpg": "a painted sky",
    "wingtop.jpg": "a drawn spacecraft skin",
    "Abstract_lines.png": "drawn triangles",
    "industry-midle-east.png": "a drawn town plan",
    "dunes-lencois.png": "drawn dunes and ponds",
    "cropwood.png": "a synthetic field pattern",
    "cropwood.dds": "a synthetic field pattern",
}

PLASMA = "usr/share/wallpapers/%s/contents/images/*"
RCC = "rcc/"  # globs under a package's unpacked Qt resource files
PK3 = "pk3/"  # globs under a package's unpacked game archives

# (package, category, at most this many pictures, screen by colours?, largest of each
# folder only?, globs under the unpacked package). Globs use fnmatch on the whole relative path.
SOURCES = [
    ("plasma-workspace-wallpapers", "photo-real-scene", 40, False, True,
     [PLASMA % n for n in ("BytheWater", "ColdRipple", "ColorfulCups", "EveningGlow",
                           "FallenLeaf", "Grey", "Kite", "Path", "summer_1am", "DarkestHour",
                           "OneStandsOut")]),
    ("mate-backgrounds", "photo-real-scene", 40, False, False, ["usr/share/backgrounds/mate/nature/*"]),
    ("ukui-wallpapers", "photo-real-scene", 40, True, False, ["usr/share/backgrounds/*.jpg"]),
    ("lomiri-wallpapers-16.04", "photo-real-scene", 40, True, False, ["usr/share/backgrounds/*.jpg"]),
    ("lomiri-wallpapers-20.04", "photo-real-scene", 40, True, False, ["usr/share/backgrounds/*.jpg"]),
    ("gnome-backgrounds", "photo-real-scene", 40, True, False, ["usr/share/backgrounds/gnome/*.webp"]),
    ("lxqt-themes", "photo-real-scene", 40, True, False, ["usr/share/lxqt/wallpapers/*"]),
    ("stellarium-data", "photo-real-night", 200, True, False,
     ["usr/share/stellarium/nebulae/default/*.png"]),
    ("stellarium-data", "photo-real-scene", 40, True, False, ["usr/share/stellarium/landscapes/*.png"]),
    ("gcompris-qt-data", "photo-real-scene", 400, True, False,
     [RCC + d + "/*.webp" for d in ("categorization", "explore_monuments", "erase", "details",
                                   "explore_world_animals", "explore_farm_animals",
                                   "explore_world_music")]),
    ("hugin-data", "photo-real-scene", 60, True, False, ["usr/share/hugin/xrc/data/help_en_EN/*.jpg"]),
    ("libjxl-testdata", "photo-real-scene", 60, True, False,
     ["usr/share/libjxl-testdata/jxl/flower/*.png", "usr/share/libjxl-testdata/jxl/flower/*.jpg",
      "usr/share/libjxl-testdata/external/*/*.png", "usr/share/libjxl-testdata/external/*/*.jpg",
      "usr/share/libjxl-testdata/external/*/*/*.jpg"]),
    ("palapeli-data", "photo-real-scene", 20, True, False, ["usr/share/palapeli/*/*.jpg"]),
    ("scorched3d-data", "photo-real-texture", 150, True, False,
     ["usr/share/games/scorched3d/data/globalmods/none/data/textures/landscape/*/*.jpg"]),
    ("torcs-data", "photo-real-texture", 200, True, False, ["usr/share/games/torcs/tracks/*/*/*.png"]),
    ("supertuxkart-data", "photo-real-texture", 200, True, False,
     ["usr/share/games/supertuxkart/data/textures/*.jpg"]),
    ("flightgear-data-base", "photo-real-texture", 300, True, False,
     ["usr/share/games/flightgear/Textures/Terrain/*"]),
    ("megaglest-data", "photo-real-texture", 80, True, False,
     ["usr/share/games/megaglest/tilesets/*/textures/*"]),
    ("krita-data", "photo-real-texture", 40, True, False, ["usr/share/krita/patterns/*"]),
    ("foobillardplus-data", "photo-real-scene", 40, True, False, ["usr/share/games/foobillardplus/data/*.png"]),
    ("openuniverse-common", "photo-real-texture", 40, True, False, ["usr/share/openuniverse/textures/*"]),
    ("visp-images-data", "photo-real-scene", 160, False, False,
     ["usr/share/visp-images-data/ViSP-images/" + d for d in (
         "cube/*.pgm", "mbt/cube/*.pgm", "faces/*", "mbt-depth/castel/castel/*.png")]),
    ("python3-skimage", "photo-real-scene", 40, False, False,
     ["usr/lib/python3/dist-packages/skimage/data/" + f for f in (
         "astronaut.png", "brick.png", "camera.png", "chelsea.png", "coffee.png", "coins.png",
         "grass.png", "gravel.png", "hubble_deep_field.jpg", "ihc.png", "motorcycle_left.png",
         "rocket.jpg", "moon.png", "retina.jpg", "cell.png", "microaneurysms.png")]),
    ("python3-sklearn", "photo-real-scene", 4, False, False,
     ["usr/lib/python3/dist-packages/sklearn/datasets/images/*.jpg"]),
    ("opencv-doc", "photo-real-scene", 60, False, False,
     ["usr/share/doc/opencv-doc/examples/data/" + f for f in (
         "aero1.jpg", "aloeL.jpg", "apple.jpg", "baboon.jpg", "basketball1.png",
         "box_in_scene.png", "building.jpg", "butterfly.jpg", "fruits.jpg", "home.jpg",
         "leuvenA.jpg", "messi5.jpg", "orange.jpg", "graf1.png", "ela_original.jpg",
         "HappyFish.jpg", "licenseplate_motion.jpg", "chicky_512.png", "squirrel_cls.jpg",
         "stuff.jpg", "rubberwhale1.png", "smarties.png", "left.jpg", "board.jpg", "vtest.avi",
         "tree.avi")]),
    ("digikam-data", "photo-real-scene", 20, True, False, ["usr/share/digikam/data/*"]),
    ("imagemagick-6-doc", "photo-real-scene", 20, True, False,
     ["usr/share/doc/imagemagick-6-common/html/images/*.jpg"]),
    ("tuxpaint-data", "photo-real-scene", 40, True, False, ["usr/share/tuxpaint/templates/*.jpg"]),
    ("renpy-demo", "photo-real-scene", 40, True, False,
     ["usr/share/games/renpy/demo/game/images/bg *", "usr/share/games/renpy/demo/game/*.webm"]),
    ("gem-doc", "photo-real-scene", 20, True, False,
     ["usr/share/gem/examples/10.glsl/cam*.jpg", "usr/share/gem/examples/10.glsl/img[12].jpg",
      "usr/share/gem/examples/data/ducks.png"]),
    ("python3-imageio", "photo-real-scene", 40, False, False,
     ["usr/lib/python3/dist-packages/imageio/resources/images/*.mp4"]),
]

VIDEOS = (".avi", ".mp4", ".webm")

# Frames taken from each video file picked: this many, evenly spaced.
VIDEO_FRAMES = 12


def rcc_extract(path, dest):
    """Unpacks a compiled Qt resource file (zlib-compressed or stored entries) into `dest`."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"qres":
        return
    version, tree, payload, names = struct.unpack(">IIII", data[4:20])
    node = 22 if version >= 2 else 14

    def name(offset):
        length = struct.unpack(">H", data[names + offset:names + offset + 2])[0]
        return data[names + offset + 6:names + offset + 6 + 2 * length].decode("utf-16-be")

    def walk(index, prefix):
        base = tree + index * node
        offset, flags = struct.unpack(">IH", data[base:base + 6])
        here = os.path.join(prefix, name(offset)) if index else prefix
        if flags & 2:
            count, first = struct.unpack(">II", data[base + 6:base + 14])
            for k in range(count):
                walk(first + k, here)
            return
        at = struct.unpack(">I", data[base + 10:base + 14])[0]
        size = struct.unpack(">I", data[payload + at:payload + at + 4])[0]
        blob = data[payload + at + 4:payload + at + 4 + size]
        if flags & 4:  # zstd: not needed for the pictures used
            return
        if flags & 1:
            blob = zlib.decompress(blob[4:])
        os.makedirs(os.path.dirname(here), exist_ok=True)
        with open(here, "wb") as f:
            f.write(blob)

    walk(0, os.path.join(dest, os.path.splitext(os.path.basename(path))[0]))


def expanded(root, kind):
    """The folder holding a package's Qt resources or game archives unpacked, made once."""
    folder = root.rstrip("/") + "-" + kind
    if os.path.isdir(folder):
        return folder
    os.makedirs(folder + ".part", exist_ok=True)
    for dirpath, _, files in os.walk(root):
        for f in sorted(files):
            path = os.path.join(dirpath, f)
            if kind == "rcc" and f.endswith(".rcc"):
                rcc_extract(path, folder + ".part")
            elif kind == "pk3" and f.endswith(".pk3"):
                with zipfile.ZipFile(path) as archive:
                    for member in archive.namelist():
                        if member.lower().endswith((".jpg", ".tga")):
                            archive.extract(member, folder + ".part")
    os.rename(folder + ".part", folder)
    return folder


def video_frames(video, cache):
    """VIDEO_FRAMES frames of `video` as PNG files, evenly spaced, made once."""
    folder = os.path.join(cache, "frames-" + os.path.basename(video))
    if not os.path.isdir(folder):
        seconds = float(subprocess.run(
            ["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0",
             video], capture_output=True, text=True, check=True).stdout)
        os.makedirs(folder + ".part", exist_ok=True)
        for i in range(VIDEO_FRAMES):
            # Seeking after the input decodes from the start: every frame comes out whole.
            at = "%.2f" % (seconds * (i + 0.5) / VIDEO_FRAMES)
            subprocess.run(["ffmpeg", "-v", "quiet", "-y", "-i", video, "-ss", at, "-frames:v",
                            "1", os.path.join(folder + ".part", "f%02d.png" % i)], check=True)
        os.rename(folder + ".part", folder)
    return [os.path.join(folder, f) for f in sorted(os.listdir(folder))]


def candidates(root, globs, largest):
    """Files under `root` matching any of `globs`, sorted; with `largest` only the largest
    file of each folder (a wallpaper's full-size picture)."""
    found = []
    for dirpath, dirs, files in os.walk(root):
        dirs.sort()
        for f in sorted(files):
            rel = os.path.relpath(os.path.join(dirpath, f), root)
            drawn = NOT_PICTURES.search(f) or f in DRAWN
            if any(fnmatch.fnmatch(rel, g) for g in globs) and not drawn:
                found.append(os.path.join(dirpath, f))
    if largest:
        best = {}
        for path in found:
            folder = os.path.dirname(path)
            if folder not in best or os.path.getsize(path) > os.path.getsize(best[folder]):
                best[folder] = path
        found = sorted(best.values())
    return found


def opened(path, screen):
    """The picture as RGB, or None when it is no usable photograph: too small, partly
    transparent, or (screened) in too few colours."""
    try:
        image = Image.open(path)
        image.load()
    except Exception:
        return None
    if min(image.size) < MIN_SIDE or max(image.size) > 6 * min(image.size):
        return None
    if image.mode in ("RGBA", "LA", "PA") or "transparency" in image.info:
        alpha = image.convert("RGBA").getchannel("A")
        if sum(alpha.histogram()[:250]) > 0.01 * image.size[0] * image.size[1]:
            return None
    rgb = image.convert("RGB")
    if screen and not photographic(rgb):
        return None
    return rgb


def photographic(rgb):
    small = rgb.resize((96, 96), Image.BILINEAR)
    colours = len(set(small.getdata()))
    pixels = list(small.getdata())
    neutral = sum(max(p) - min(p) for p in pixels) / len(pixels) < 6
    greys = len(set(small.convert("L").getdata()))
    most = max(small.getcolors(96 * 96))[0] / len(pixels)
    return most < 0.2 and (greys >= MIN_GREYS if neutral else colours >= MIN_COLOURS)


def spread(items, most):
    if len(items) <= most:
        return items
    return [items[i * len(items) // most] for i in range(most)]


def save(rgb, out):
    scale = LONG_SIDE / max(rgb.size)
    if scale < 1:
        rgb = rgb.resize((max(1, round(rgb.size[0] * scale)), max(1, round(rgb.size[1] * scale))),
                         Image.LANCZOS)
    rgb.save(out, "JPEG", quality=90)


def crops(rgb, key):
    """A few crops of a large photograph, 40–65 % of its sides, placed at random."""
    count = next((n for side, n in CROPS if min(rgb.size) >= side), 0)
    rng = random.Random(key)
    w, h = rgb.size
    for _ in range(count):
        s = rng.uniform(0.4, 0.65)
        cw, ch = int(w * s), int(h * s)
        x, y = rng.randint(0, w - cw), rng.randint(0, h - ch)
        yield rgb.crop((x, y, x + cw, y + ch))


def source_labels(out, cache, source, unpacked):
    """Writes the pictures of one SOURCES entry; returns their labels and, for each picture,
    the file it was taken from."""
    package, category, most, screen, largest, globs = source
    root = unpacked(package, cache)
    plain = [g for g in globs if not g.startswith((RCC, PK3))]
    found = candidates(root, plain, largest) if plain else []
    for kind, prefix in (("rcc", RCC), ("pk3", PK3)):
        inner = [g[len(prefix):] for g in globs if g.startswith(prefix)]
        if inner:
            found += candidates(expanded(root, kind), inner, largest)
    found = [f for path in found for f in (video_frames(path, cache) if path.endswith(VIDEOS)
                                           else [path])]
    labels, origins = [], []
    picked = []
    for path in found:
        rgb = opened(path, screen)
        if rgb is not None:
            picked.append((path, rgb.size))
        del rgb
    for index, (path, _) in enumerate(spread(picked, most)):
        rgb = opened(path, False)
        name = "real-%s-%s-%03d" % (package, category.split("-")[-1], index)
        save(rgb, os.path.join(out, name + ".jpg"))
        labels.append((name + ".jpg", 0, category, package))
        origins.append((name + ".jpg", os.path.relpath(path, cache)))
        for k, crop in enumerate(crops(rgb, name)):
            save(crop, os.path.join(out, "%s-c%d.jpg" % (name, k)))
            labels.append(("%s-c%d.jpg" % (name, k), 0, category, package))
    return labels, origins


def build(out, cache, pool, unpacked):
    """Writes every source's photographs into `out`, and in ORIGINS.tsv beside them the file
    each was taken from (to trace a doubtful label); returns (file, 0, category, package)."""
    jobs = [pool.submit(source_labels, out, cache, s, unpacked) for s in SOURCES]
    results = [job.result() for job in jobs]
    with open(os.path.join(out, "ORIGINS.tsv"), "w") as f:
        for _, origins in results:
            for name, origin in origins:
                f.write("%s\t%s\n" % (name, origin))
    return [label for labels, _ in results for label in labels]


def main():
    """Builds only this part: calibration_real_photos.py OUT CACHE (for a quick look)."""
    import concurrent.futures
    import sys
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    out, cache = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)

    def unpacked(package, cache):
        folder = os.path.join(cache, package)
        if not os.path.isdir(folder):
            os.makedirs(cache, exist_ok=True)
            subprocess.run(["apt-get", "download", "-q", package], cwd=cache, check=True,
                           stdout=subprocess.DEVNULL)
            deb = next(f for f in sorted(os.listdir(cache))
                       if f.startswith(package + "_") and f.endswith(".deb"))
            subprocess.run(["dpkg-deb", "-x", deb, folder], cwd=cache, check=True)
            os.remove(os.path.join(cache, deb))
        return folder

    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        labels = build(out, cache, pool, unpacked)
    for label in labels:
        print("%s\t%d\t%s\t%s" % label)


if __name__ == "__main__":
    main()
