"""Bursts of a moving subject for the similarity calibration: frames 1 to 10 apart from real
video clips and image sequences shipped in Debian packages (documentation, games, science and
test data), decoded by ffmpeg.

Each clip is a burst at one moment of a source: three frames a few frames apart (a subject
moving across a still or slowly moving background, a handheld camera, smoke and water, small
frames), its first frame once more as a blurred and heavily recompressed copy (the degraded
copy, marked worse). A shot is one camera set-up of a source: its first clip is tight; further
clips of the same shot, seconds later, are its loose members (the same place, the subject
elsewhere). Different shots of one source (a film's cuts, a camera turned elsewhere) and the
shots of other sources of the same package are the hard negatives: each shot is a group of its
own.

LABELS.tsv: file, group, tier, worse, origin ("real" for footage, empty for renders), source.
The source (package/video) lets an evaluation hold out whole sources: every clip of a video
falls on the same side of a split. Deterministic: the same packages give the same files.
"""

import os
import random
import subprocess
import tempfile

# Decoded by ffmpeg; the data packages are downloaded and unpacked, not installed.
PACKAGES = ["ffmpeg"]
DATA_PACKAGES = ["opencv-doc", "python3-imageio", "visp-images-data", "renpy-demo", "gem-doc",
                 "xine-ui", "freecol"]

OPENCV = "opencv-doc/usr/share/doc/opencv-doc/examples/data/"
OPENCV_HTML = "opencv-doc/usr/share/doc/opencv-doc/opencv4/html/"
IMAGEIO = "python3-imageio/usr/lib/python3/dist-packages/imageio/resources/images/"
VISP = "visp-images-data/usr/share/visp-images-data/ViSP-images/"
GEM = "gem-doc/usr/share/gem/examples/data/"
RENPY = "renpy-demo/usr/share/games/renpy/demo/game/"
XINE = "xine-ui/usr/share/xine/"
FREECOL = "freecol/usr/share/games/freecol/default/resources/video/"

# (source, path under the unpacked packages (a video, or a printf pattern of numbered frames
# with its first number), real footage?, largest step between burst frames,
#  [(first frame of a clip, shot)]). Shots were told apart by eye on contact sheets. ViSP's
# numbered dice sequence is left out: it is the same recording as its cube.mpeg.
SOURCES = [
    ("opencv-walkers", OPENCV + "vtest.avi", True, 3, [(40, "a"), (350, "a"), (650, "a")]),
    ("opencv-tree", OPENCV + "tree.avi", True, 4, [(8, "a"), (50, "a")]),
    ("opencv-box", OPENCV_HTML + "box.mp4.gz", True, 8, [(20, "a"), (140, "a")]),
    ("opencv-cup", OPENCV_HTML + "cup.mp4.gz", True, 8, [(15, "a"), (120, "a"), (190, "a")]),
    ("opencv-film", OPENCV + "Megamind.avi", False, 6,
     [(45, "woman"), (105, "man"), (175, "woman"), (225, "close")]),
    ("opencv-basketball", (OPENCV + "basketball%d.png", 1), True, 1, [(0, "a")]),
    ("opencv-whale", (OPENCV + "rubberwhale%d.png", 1), True, 1, [(0, "a")]),
    ("imageio-cockatoo", IMAGEIO + "cockatoo.mp4", True, 6,
     [(5, "far"), (45, "face"), (100, "beak"), (205, "perch"), (250, "perch")]),
    ("imageio-office", IMAGEIO + "realshort.mp4", True, 5, [(2, "a"), (22, "a")]),
    ("imageio-cradle", IMAGEIO + "newtonscradle.gif", False, 3, [(2, "a"), (20, "a")]),
    ("visp-cube-video", VISP + "video/cube.mpeg", True, 6, [(5, "a"), (55, "a")]),
    ("visp-target", (VISP + "mire-2/image.%04d.pgm", 1), True, 10,
     [(10, "a"), (170, "a"), (330, "a"), (470, "turned")]),
    ("visp-pushed-cube", (VISP + "mbt/cube/image%04d.pgm", 0), True, 8,
     [(10, "a"), (70, "a"), (130, "a"), (190, "a")]),
    ("visp-ellipse", (VISP + "ellipse-1/image.%04d.pgm", 1), True, 4, [(5, "a"), (35, "a")]),
    ("visp-castle", (VISP + "mbt-depth/castel/castel/image_%04d.pgm", 0), True, 3,
     [(2, "a"), (18, "a")]),
    ("visp-castle-render", (VISP + "mbt-depth/Castle-simu/Images/Image_%04d.pgm", 1), False, 3,
     [(3, "a"), (28, "a")]),
    ("renpy-launch", RENPY + "oa4_launch.webm", True, 6,
     [(10, "pad"), (40, "pad"), (95, "tower"), (160, "tower")]),
    ("gem-dice", GEM + "alea.mpg", False, 6, [(20, "a"), (90, "a")]),
    ("gem-room", GEM + "anim-1.mov", False, 6, [(5, "a"), (60, "a")]),
    ("gem-cartoon", GEM + "homer.avi", False, 5, [(10, "a"), (55, "a")]),
    ("xine-water", XINE + "visuals/default.mpv", False, 6, [(10, "a"), (60, "a")]),
    # Old film footage cut together: the hard negatives are shots of one place or kind (a hut
    # from afar and near, four shots of sailing ships at sea, three of crowded halls), each a
    # few seconds from the next.
    ("freecol-opening", FREECOL + "freecol-opening.video.ogg", True, 6,
     [(30, "plain"), (150, "plain"), (255, "hut"), (300, "hut"), (380, "hut-near"),
      (440, "hut-near"), (620, "ship"), (650, "ship"), (700, "wagon"), (800, "rock"),
      (860, "hall"), (930, "signing"), (1000, "document"), (1120, "tower"), (1190, "assembly"),
      (1250, "coach"), (1290, "coach"), (1370, "cavalry"), (1410, "cavalry"),
      (1500, "two-ships"), (1540, "hull"), (1620, "ships-fire"), (1640, "ships-fire"),
      (1725, "fleet")]),
]
FRAMES_PER_CLIP = 3
# The degraded copy: blurred by a share of the frame's width (as a shaken 1600-pixel photo
# blurred by 4 pixels), so that a small frame is not blurred out of recognition.
DEGRADED_BLUR = 1 / 400  # of the width; at least DEGRADED_BLUR_MIN pixels
DEGRADED_BLUR_MIN = 0.6
DEGRADED_QUALITY = 12  # ffmpeg's JPEG scale (2 best, 31 worst): blocky, about 50 of 100
MIN_FILE_SIZE = 8192  # a scan passes over smaller files


def clip_frames(rng, first, step, count, length):
    """Frame numbers of one clip of a source of `length` frames: `count` frames (fewer when the
    source is shorter), each 1 to `step` after the one before, starting at `first` or as much
    earlier as the clip needs to fit."""
    count = min(count, length)
    frames = [min(first, length - count)]
    while len(frames) < count:
        room = length - 1 - frames[-1] - (count - len(frames) - 1)
        frames.append(frames[-1] + rng.randint(1, min(step, room)))
    return frames


def video_frames(video, numbers, tmp):
    """Decodes the frames `numbers` (counted from the start) of `video` into PNGs; returns
    their paths in the order of `numbers`."""
    picks = "+".join("eq(n\\,%d)" % n for n in sorted(set(numbers)))
    subprocess.run(["ffmpeg", "-v", "error", "-nostdin", "-i", video, "-vf", "select=" + picks,
                    "-vsync", "0", "-y", os.path.join(tmp, "f%04d.png")], check=True)
    decoded = sorted(f for f in os.listdir(tmp) if f.startswith("f"))
    by_number = dict(zip(sorted(set(numbers)), decoded))
    return [os.path.join(tmp, by_number[n]) for n in numbers]


def save(picture, out, stem, filters=None, quality=2):
    """Writes `picture` as OUT/STEM.jpg, or as a PNG when the JPEG would be smaller than a scan
    takes (the frames of a small video); returns the file name."""
    command = ["ffmpeg", "-v", "error", "-nostdin", "-i", picture]
    command += ["-vf", filters] if filters else []
    for name, options in ((stem + ".jpg", ["-q:v", str(quality)]), (stem + ".png", [])):
        subprocess.run(command + options + ["-y", os.path.join(out, name)], check=True)
        if os.path.getsize(os.path.join(out, name)) >= MIN_FILE_SIZE:
            return name
        os.remove(os.path.join(out, name))
    return None


def width(picture):
    return int(subprocess.run(
        ["ffprobe", "-v", "error", "-show_entries", "stream=width", "-of", "csv=p=0", picture],
        capture_output=True, text=True, check=True).stdout.strip())


def frame_count(video):
    return int(subprocess.run(
        ["ffprobe", "-v", "error", "-select_streams", "v:0", "-count_frames", "-show_entries",
         "stream=nb_read_frames", "-of", "csv=p=0", video], capture_output=True, text=True,
        check=True).stdout.strip().split(",")[0])


def source_path(root, path, tmp):
    """A video as ffmpeg reads it (unzipped when needed) and its frame count, or a numbered
    sequence's pattern, first number and count."""
    if isinstance(path, tuple):
        pattern, start = os.path.join(root, path[0]), path[1]
        count = 0
        while os.path.exists(pattern % (start + count)):
            count += 1
        return (pattern, start), count
    video = os.path.join(root, path)
    if video.endswith(".gz"):
        plain = os.path.join(tmp, os.path.basename(video)[:-3])
        subprocess.run("zcat '%s' > '%s'" % (video, plain), shell=True, check=True)
        video = plain
    return video, frame_count(video)


def build_source(root, out, source, tmp):
    name, path, real, step, clips = source
    rng = random.Random(name)
    media, length = source_path(root, path, tmp)
    if length < 2:
        return []
    bursts = []  # (group, tier, frame numbers)
    first_of_shot = {}
    for first, shot in clips:
        frames = clip_frames(rng, min(first, length - 1), step, FRAMES_PER_CLIP, length)
        tier = "tight" if first_of_shot.setdefault(shot, first) == first else "loose"
        bursts.append(("%s-%s" % (name, shot), tier, frames))
    numbers = [n for _, _, frames in bursts for n in frames]
    if isinstance(media, tuple):
        pictures = [media[0] % (media[1] + n) for n in numbers]
    else:
        pictures = video_frames(media, numbers, tempfile.mkdtemp(dir=tmp))
    picture_of = dict(zip(numbers, pictures))
    origin = "real" if real else ""
    labels = []
    for group, tier, frames in bursts:
        for n in frames:
            file = save(picture_of[n], out, "%s-f%04d" % (group, n))
            labels.append((file, group, tier, 0, origin, name))
        sigma = max(DEGRADED_BLUR_MIN, width(picture_of[frames[0]]) * DEGRADED_BLUR)
        degraded = save(picture_of[frames[0]], out, "%s-f%04d-degraded" % (group, frames[0]),
                        "gblur=sigma=%.2f" % sigma, DEGRADED_QUALITY)
        labels.append((degraded, group, tier, 1, origin, name))
    return [label for label in labels if label[0]]


def build(out, unpack):
    """Writes the bursts into `out` and returns LABELS.tsv rows (file, group, tier, worse,
    origin, source); `unpack(package)` returns the folder a data package is unpacked in."""
    roots = {p: unpack(p) for p in DATA_PACKAGES}
    labels = []
    with tempfile.TemporaryDirectory() as tmp:
        for source in SOURCES:
            package = source[1][0] if isinstance(source[1], tuple) else source[1]
            package = package.split("/")[0]
            root = os.path.dirname(roots[package])
            labels += build_source(root, out, source, tmp)
    return labels
