"""Near-identical pairs for the similarity calibration set: consecutive frames of video clips
with a moving subject (a bird, walkers, a rendered film, hands moving a cup and a box, a tree
in the wind), and stereo pairs of small disparity rendered from the wallpaper photographs.

  frames  two frames one frame time apart (1/30 to 1/10 s), each pair a group of its own,
          taken from moments of a clip far enough apart to show other things; real footage
          from the Debian packages opencv-doc and python3-imageio, decoded by ffmpeg
  stereo  a photograph seen from two points a few centimetres apart: a soft-edged near
          region moves 2 to 8 pixels (of 1600) against the far scene, which itself moves 0
          to 2; rendered here, each pair a group of its own

Every file is labelled tight and "real" for the frames (they are footage), plain for the
rendered stereo pairs. Deterministic. Needs ffmpeg, python3-numpy, python3-scipy, python3-pil.
"""

import os
import random
import subprocess

import numpy as np
from PIL import Image
from scipy import ndimage

OPENCV = "/usr/share/doc/opencv-doc/examples/data/"
IMAGEIO = "/usr/lib/python3/dist-packages/imageio/resources/images/"
PACKAGES = ["opencv-doc", "python3-imageio", "ffmpeg"]

# (clip name, video, frames per second, moments in seconds)
CLIPS = [
    ("cockatoo", IMAGEIO + "cockatoo.mp4", 20.0, [1.0, 4.5, 8.0, 12.0]),
    ("realshort", IMAGEIO + "realshort.mp4", 30.0, [0.3]),
    ("walkers", OPENCV + "vtest.avi", 10.0, [25.0]),
    ("tree", OPENCV + "tree.avi", 15.0, [8.0]),
    ("film", OPENCV + "Megamind.avi", 24.0, [1.5, 4.8, 9.8]),
]
STEREO_PAIRS = 12


def frame(video, seconds, out):
    """The frame at `seconds`, decoded from the start (seeking to a key frame first leaves
    some of these clips' frames undecodable)."""
    subprocess.run(["ffmpeg", "-v", "quiet", "-nostdin", "-i", video, "-ss", "%.4f" % seconds,
                    "-frames:v", "1", "-q:v", "2", "-y", out], check=True)


def frame_pairs(out):
    labels = []
    for clip, video, fps, moments in CLIPS:
        if not os.path.exists(video):
            continue
        for k, t in enumerate(moments):
            group = "frames-%s-%d" % (clip, k)
            for step, suffix in ((0, "a"), (1, "b")):
                name = "%s-%s.jpg" % (group, suffix)
                frame(video, t + step / fps, os.path.join(out, name))
                labels.append((name, group, "tight", 0, "real"))
    return labels


def stereo_pair(path, index, out):
    """Two views of the photograph at `path`: the near region (a soft ellipse) shifts by the
    disparity against the far scene."""
    rng = random.Random("stereo-%d" % index)
    image = Image.open(path).convert("RGB")
    image.thumbnail((1600, 1600))
    pixels = np.asarray(image, dtype=np.float32)
    h, w = pixels.shape[:2]
    far, near = rng.uniform(0, 2), rng.uniform(2, 8)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    cx, cy = rng.uniform(0.3, 0.7) * w, rng.uniform(0.4, 0.8) * h
    rx, ry = rng.uniform(0.15, 0.35) * w, rng.uniform(0.15, 0.35) * h
    mask = np.clip((1 - ((xx - cx) / rx) ** 2 - ((yy - cy) / ry) ** 2) * 4, 0, 1)

    def view(shift_far, shift_near):
        moved_far = ndimage.shift(pixels, (0, shift_far, 0), order=1, mode="nearest")
        moved_near = ndimage.shift(pixels, (0, shift_near, 0), order=1, mode="nearest")
        moved_mask = ndimage.shift(mask, (0, shift_near), order=1, mode="constant")[:, :, None]
        return moved_near * moved_mask + moved_far * (1 - moved_mask)

    labels = []
    group = "stereo-%02d" % index
    for suffix, (a, b) in (("left", (far / 2, near / 2)), ("right", (-far / 2, -near / 2))):
        name = "%s-%s.jpg" % (group, suffix)
        Image.fromarray(np.clip(view(a, b), 0, 255).astype(np.uint8)).save(
            os.path.join(out, name), quality=92)
        labels.append((name, group, "tight", 0, ""))
    return labels


def build(out, photos):
    """Writes the pairs into `out`; `photos` are the wallpaper files the stereo pairs are
    rendered from. Returns LABELS.tsv rows (file, group, tier, worse, origin)."""
    labels = frame_pairs(out)
    for index, path in enumerate(photos[:STEREO_PAIRS]):
        labels += stereo_pair(path, index, out)
    return labels
