"""Checks of the calibration tools' bookkeeping: which frames a burst takes, which photos the
weight fit may see and how held-out figures are pooled, and what the projection fit measures and
writes."""

import os
import random
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # nothing of this test lands in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from calibration_tool import importable, load_tool, main  # noqa: E402
import calibration_bursts  # noqa: E402


weights = load_tool("learn-feature-weights")
if importable("numpy"):  # the projection fit needs numpy (Debian python3-numpy)
    import numpy
    projection = load_tool("learn-feature-projection")
else:
    numpy = projection = None


class ClipFrames(unittest.TestCase):
    def test_frames_are_one_to_step_apart_and_exist(self):
        for seed in range(50):
            rng = random.Random(seed)
            length = rng.randint(2, 40)
            first, step = rng.randrange(length), rng.randint(1, 10)
            frames = calibration_bursts.clip_frames(rng, first, step, 3, length)
            self.assertEqual(len(frames), min(3, length))
            self.assertTrue(all(1 <= b - a <= step for a, b in zip(frames, frames[1:])))
            self.assertTrue(0 <= frames[0] and frames[-1] < length)

    def test_a_clip_at_the_end_starts_earlier(self):
        frames = calibration_bursts.clip_frames(random.Random(1), 9, 1, 3, 10)
        self.assertEqual(frames, [7, 8, 9])


class HeldOutSources(unittest.TestCase):
    def test_the_source_column_decides_else_the_group_else_the_file(self):
        labels = {"a.jpg": ("clip-a", "tight", "video-1"), "b.jpg": ("clip-b", "tight", ""),
                  "c.jpg": ("-", "none", "")}
        self.assertEqual(weights.source_of(labels, "a.jpg"), "video-1")
        self.assertEqual(weights.source_of(labels, "b.jpg"), "clip-b")
        self.assertEqual(weights.source_of(labels, "c.jpg"), "#c.jpg")
        self.assertEqual(weights.source_of(labels, "unlabelled.jpg"), "#unlabelled.jpg")

    def test_clips_of_one_source_fall_on_one_side(self):
        blocks = [("%s-%d.jpg" % (clip, k), [[1.0, float(k)]]) for clip in "abcdef"
                  for k in range(2)]
        labels = {name: (name[0], "tight", "video-%d" % ("abcdef".index(name[0]) // 2))
                  for name, _ in blocks}
        held = weights.LabelledSet(blocks, labels, weights.is_held_out)
        fitted = weights.LabelledSet(blocks, labels, lambda s: not weights.is_held_out(s))
        self.assertEqual(len(held.photos) + len(fitted.photos), len(blocks))
        held_sources = {weights.source_of(labels, p[0]) for p in held.photos}
        fitted_sources = {weights.source_of(labels, p[0]) for p in fitted.photos}
        self.assertFalse(held_sources & fitted_sources)

    def test_pooled_figures_add_counts_not_ratios(self):
        one = {0.3: weights.ratios({"tight": [1, 1], "false_merge": [0, 10]})}
        two = {0.3: weights.ratios({"tight": [1, 3], "false_merge": [1, 10]})}
        both = weights.pooled([one, two])[0.3]
        self.assertAlmostEqual(both["tight"], 0.5)
        self.assertAlmostEqual(both["false_merge"], 0.05)
        self.assertEqual(weights.ratios({"tight": [0, 0], "false_merge": [0, 0]})["tight"], 1.0)


@unittest.skipIf(projection is None, "numpy is not installed")
class ProjectionFit(unittest.TestCase):
    def photos(self, seed, spread):
        """Four groups of three photos apart along the first axis, their members scattered by
        `spread` along the second, noise elsewhere."""
        rng = numpy.random.default_rng(seed)
        blocks, labels = [], {}
        for g in range(4):
            for m in range(3):
                name = "g%d-%d.jpg" % (g, m)
                x = 0.05 * rng.standard_normal(6)
                x[0] += g - 1.5
                x[1] += spread * rng.standard_normal()
                x[2] += 2.0
                blocks.append((name, [list(x)]))
                labels[name] = ("g%d" % g, "tight", "")
        return projection.Photos(blocks, labels, [1.0])

    def test_between_scatter_is_the_sum_over_pairs_of_different_groups(self):
        photos = self.photos(1, 1.0)
        rows = list(range(len(photos.names)))
        expected, count = 0.0, 0
        for a in rows:
            for b in rows[a + 1:]:
                if photos.groups[a] != photos.groups[b]:
                    d = photos.vectors[a] - photos.vectors[b]
                    expected, count = expected + numpy.outer(d, d), count + 1
        numpy.testing.assert_allclose(projection.between_scatter([(photos, rows)]),
                                      expected / count, atol=1e-12)

    def test_the_leading_direction_separates_groups_and_the_share_holds(self):
        photos = self.photos(2, 1.0)
        rows = list(range(len(photos.names)))
        p = projection.fit([(photos, rows)], 2, 0.01, 0.3, 0.5)
        self.assertEqual(p.shape, (2, 6))
        lead = numpy.abs(p[0]) / numpy.linalg.norm(p[0])
        self.assertEqual(int(numpy.argmax(lead)), 0)
        self.assertLess(lead[1], 0.2)
        share = numpy.mean(numpy.sum((photos.vectors @ p.T) ** 2, axis=1))
        self.assertAlmostEqual(share, 0.5)
        extended = projection.extended(photos.vectors, p)
        numpy.testing.assert_allclose(numpy.linalg.norm(extended, axis=1), 1.0)

    def test_the_table_holds_every_entry_in_row_order(self):
        p = numpy.arange(6.0).reshape(2, 3) / 7
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "Table.h")
            projection.write_table(path, p, "--rank 2")
            text = open(path).read()
        self.assertTrue(text.startswith("// generated by tools/calibration/learn-feature-projection"))
        self.assertIn("\n// from the calibration sets with --rank 2\n", text)
        body = text[text.index("= {") + 3:text.index("};")]
        values = [float(v.strip().rstrip("f")) for v in body.split(",") if v.strip()]
        numpy.testing.assert_allclose(values, p.reshape(-1), rtol=1e-6)
        self.assertIn("kProjectionRows = 2;", text)
        self.assertIn("kProjectionColumns = 3;", text)


if __name__ == "__main__":
    sys.exit(main())
