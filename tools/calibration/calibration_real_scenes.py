"""Real pairs for the similarity calibration set: photographs and video frames of one scene
taken apart in space or time, from the sample data of Debian's computer-vision packages.

Unlike the rendered variants of make-calibration-set, nothing here is synthetic apart from the
degraded copies: the pairs differ by real parallax, motion, viewpoint and light.
  tight  stereo pairs of a close scene (a few percent of parallax), consecutive video frames 0.3 s apart, an edited copy
         with a region changed, and reduced or blurred copies of a photo;
  loose  one scene from other viewpoints (a planar wall, a street, a city from the air, one
         chessboard, a rendered head from two angles, books moved and lit anew) and later
         frames of one video shot.
Other shots of the same film, other buildings, fruit and animals are the hard negatives: each
shot is a group of its own, and the distinct photos stand alone.
"""

import gzip
import os
import shutil
import subprocess

PACKAGES = ["opencv-doc", "python3-skimage", "ffmpeg"]

OPENCV = "/usr/share/doc/opencv-doc/examples/data/"
OPENCV_VIDEO = "/usr/share/doc/opencv-doc/opencv4/html/"
SKIMAGE = "/usr/lib/python3/dist-packages/skimage/data/"

LONG_SIDE = 1600
REDUCED_SIDE = 320


def frame(video, seconds):
    return ("frame", video, seconds)


def pictures(prefix, tier, *names):
    return [(name.split(".")[0], prefix + name, tier) for name in names]


# (group, [(suffix, picture path or video frame, tier)])
SCENES = [
    ("aloe", [("left", OPENCV + "aloeL.jpg", "tight"), ("right", OPENCV + "aloeR.jpg", "tight")]),
    ("motorcycle", [("left", SKIMAGE + "motorcycle_left.png", "tight"),
                    ("right", SKIMAGE + "motorcycle_right.png", "tight")]),
    ("basketball", pictures(OPENCV, "tight", "basketball1.png", "basketball2.png")),
    ("rubberwhale", pictures(OPENCV, "tight", "rubberwhale1.png", "rubberwhale2.png")),
    ("notebook", [("original", OPENCV + "ela_original.jpg", "tight"),
                  ("edited", OPENCV + "ela_modified.jpg", "tight")]),
    # The board's stereo pair is a sixth of the frame apart: a viewpoint change, not parallax.
    ("chessboard", pictures(OPENCV, "tight", "left01.jpg") +
     pictures(OPENCV, "loose", "right01.jpg", "left04.jpg", "left08.jpg", "left12.jpg")),
    ("graffiti", pictures(OPENCV, "loose", "graf1.png", "graf3.png")),
    ("leuven", pictures(OPENCV, "loose", "leuvenA.jpg", "leuvenB.jpg")),
    ("aerial", pictures(OPENCV, "loose", "aero1.jpg", "aero3.jpg")),
    ("suzanne", pictures(OPENCV, "loose", "Blender_Suzanne1.jpg", "Blender_Suzanne2.jpg")),
    ("books", pictures(OPENCV, "loose", "left.jpg", "right.jpg")),
    ("walkers", [("f10", frame(OPENCV + "vtest.avi", 10.0), "tight"),
                 ("f10b", frame(OPENCV + "vtest.avi", 10.3), "tight"),
                 ("f40", frame(OPENCV + "vtest.avi", 40.0), "loose"),
                 ("f70", frame(OPENCV + "vtest.avi", 70.0), "loose")]),
    ("tree", [("f2", frame(OPENCV + "tree.avi", 2.0), "tight"),
              ("f2b", frame(OPENCV + "tree.avi", 2.3), "tight"),
              ("f20", frame(OPENCV + "tree.avi", 20.0), "loose")]),
    ("boxvideo", [("f0", frame(OPENCV_VIDEO + "box.mp4.gz", 0.5), "tight"),
                  ("f0b", frame(OPENCV_VIDEO + "box.mp4.gz", 0.8), "tight"),
                  ("f5", frame(OPENCV_VIDEO + "box.mp4.gz", 5.0), "loose")]),
    ("cup", [("f0", frame(OPENCV_VIDEO + "cup.mp4.gz", 0.5), "tight"),
             ("f0b", frame(OPENCV_VIDEO + "cup.mp4.gz", 0.8), "tight"),
             ("f3", frame(OPENCV_VIDEO + "cup.mp4.gz", 3.0), "loose")]),
    # Four shots of one animated dinner scene: two of each character.
    ("dinner-a", [("f0", frame(OPENCV + "Megamind.avi", 0.5), "tight"),
                  ("f0b", frame(OPENCV + "Megamind.avi", 0.8), "tight"),
                  ("f3", frame(OPENCV + "Megamind.avi", 3.0), "loose")]),
    ("dinner-b", [("f4", frame(OPENCV + "Megamind.avi", 4.2), "tight"),
                  ("f4b", frame(OPENCV + "Megamind.avi", 4.5), "tight"),
                  ("f5", frame(OPENCV + "Megamind.avi", 5.8), "loose")]),
    ("dinner-c", [("f6", frame(OPENCV + "Megamind.avi", 6.8), "tight"),
                  ("f7", frame(OPENCV + "Megamind.avi", 7.1), "tight")]),
    ("dinner-d", [("f9", frame(OPENCV + "Megamind.avi", 9.0), "tight"),
                  ("f9b", frame(OPENCV + "Megamind.avi", 9.3), "tight"),
                  ("f10", frame(OPENCV + "Megamind.avi", 10.8), "loose")]),
]

# Members that also get degraded copies: one reduced to 320 pixels, one blurred and saved at
# high quality (the largest file of its group). Both are worse than the member.
DEGRADED = [("aloe", "left"), ("motorcycle", "right"), ("notebook", "original"),
            ("rubberwhale", "rubberwhale1"), ("walkers", "f10"), ("dinner-a", "f0"),
            ("cup", "f0"), ("chessboard", "left01")]

# Distinct photos: other buildings, fruit, animals and a drawn chessboard.
DISTINCT = pictures(OPENCV, "none", "building.jpg", "home.jpg", "orange.jpg", "apple.jpg",
                    "chessboard.png", "squirrel_cls.jpg", "butterfly.jpg", "baboon.jpg",
                    "fruits.jpg", "box_in_scene.png") + \
    pictures(SKIMAGE, "none", "chelsea.png", "coffee.png", "astronaut.png", "rocket.jpg")


def vips(*args):
    subprocess.run(["vips"] + [str(a) for a in args], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE)


def unpacked(video, tmp):
    """Where a compressed video is unpacked to (by `unpack_videos`), or the video itself."""
    return os.path.join(tmp, os.path.basename(video)[:-3]) if video.endswith(".gz") else video


def unpack_videos(tmp):
    for video in {job[1][1] for job in jobs() if isinstance(job[1], tuple)}:
        if video.endswith(".gz") and os.path.exists(video):
            with gzip.open(video, "rb") as src, open(unpacked(video, tmp), "wb") as dst:
                shutil.copyfileobj(src, dst)


def extract_frame(source, seconds, out, tmp):
    video = unpacked(source[1], tmp)
    subprocess.run(["ffmpeg", "-v", "error", "-nostdin", "-ss", "%.3f" % seconds, "-i", video,
                    "-frames:v", "1", "-y", out], check=True)


def render(source, out, tmp, side=LONG_SIDE, blur=0.0, quality=92):
    """Writes `source` (a picture or a video frame) as a JPEG whose long side is at most
    `side`, blurred by `blur` when asked."""
    stem = os.path.join(tmp, "real-" + os.path.basename(out))
    picture = source
    if isinstance(source, tuple):
        picture = stem + "-frame.png"
        extract_frame(source, source[2], picture, tmp)
    vips("thumbnail", picture, stem + ".v", side, "--height", side, "--size", "down")
    current = stem + ".v"
    if blur > 0:
        vips("gaussblur", current, stem + "-blur.v", blur)
        current = stem + "-blur.v"
    vips("jpegsave", current, out, "--Q", quality, "--strip")
    for f in os.listdir(tmp):
        if f.startswith(os.path.basename(stem)):
            os.remove(os.path.join(tmp, f))


def jobs():
    """(file name, source, group, tier, worse, long side, blur, quality) for every file."""
    out = []
    members = {}
    for group, shots in SCENES:
        for suffix, source, tier in shots:
            out.append(("%s-%s.jpg" % (group, suffix), source, group, tier, 0, LONG_SIDE, 0.0, 92))
            members[(group, suffix)] = source
    for group, suffix in DEGRADED:
        source = members[(group, suffix)]
        out.append(("%s-%s-small.jpg" % (group, suffix), source, group, "tight", 1, REDUCED_SIDE,
                    0.0, 92))
        out.append(("%s-%s-soft.jpg" % (group, suffix), source, group, "tight", 1, LONG_SIDE,
                    2.0, 97))
    for suffix, source, _ in DISTINCT:
        out.append(("distinct-%s.jpg" % suffix, source, "-", "none", 0, LONG_SIDE, 0.0, 92))
    return out


def build(out, tmp, pool):
    """Renders every real scene into `out`; returns LABELS.tsv lines (file, group, tier,
    worse, "real"). Scenes whose package is missing are left out."""
    def one(job):
        name, source, group, tier, worse, side, blur, quality = job
        path = source[1] if isinstance(source, tuple) else source
        if not os.path.exists(path):
            return None
        render(source, os.path.join(out, name), tmp, side, blur, quality)
        return (name, group, tier, worse, "real")

    unpack_videos(tmp)
    return [line for line in pool.map(one, jobs()) if line]
