"""Checks of the utility flag's calibration tools: where each file of the set comes from, how
real photographs are unpacked and screened, and that the trainer's features and table read
back as the analyzer computes them. Parts that need PIL, numpy or scikit-learn are skipped,
with the reason, where those are not installed, and fail under CI."""

import io
import os
import random
import struct
import sys
import tempfile
import unittest
import zlib

sys.dont_write_bytecode = True  # nothing of this test lands in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from calibration_tool import importable, load_tool, main  # noqa: E402


def qres(entries):
    """A version-2 Qt resource file holding `entries` (name, bytes, zlib?) in one folder "d"."""
    names, payload, tree = b"", b"", b""

    def name(text):
        nonlocal names
        at = len(names)
        raw = text.encode("utf-16-be")
        names += struct.pack(">HI", len(text), 0) + raw
        return at

    root, folder = name(""), name("d")
    tree += struct.pack(">IHII", root, 2, 1, 1) + bytes(8)
    tree += struct.pack(">IHII", folder, 2, len(entries), 2) + bytes(8)
    for file, data, packed in entries:
        blob = struct.pack(">I", len(data)) + zlib.compress(data) if packed else data
        tree += struct.pack(">IHHHI", name(file), 1 if packed else 0, 0, 0, len(payload))
        tree += bytes(8)
        payload += struct.pack(">I", len(blob)) + blob
    header = 20
    return (b"qres" + struct.pack(">IIII", 2, header, header + len(tree),
                                  header + len(tree) + len(payload)) + tree + payload + names)


class SetMakerAsksBeforeItInstalls(unittest.TestCase):
    """The set maker installs nothing and writes nothing unless told: help changes nothing, and
    a run that finds packages missing stops, naming them and the option that installs them."""

    def run_tool(self, args, missing):
        tool = load_tool("make-calibration-set")
        installed = []
        tool.missing_packages = lambda: list(missing)
        tool.install_packages = installed.extend
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "cal")
            argv, stdout, stderr = sys.argv, sys.stdout, sys.stderr
            sys.argv = ["make-calibration-set"] + [out if a == "OUT" else a for a in args]
            sys.stdout = sys.stderr = printed = io.StringIO()
            try:
                code = tool.main()
            finally:
                sys.argv, sys.stdout, sys.stderr = argv, stdout, stderr
            return code, printed.getvalue(), installed, os.listdir(tmp)

    def test_help_prints_what_it_does_needs_and_shapes_and_touches_nothing(self):
        for flag in ("--help", "-h"):
            code, text, installed, made = self.run_tool(["OUT", flag], ["xvfb"])
            self.assertEqual(code, 0)
            for words in ("--install-packages", "OUT", "What shapes the output", "faketime"):
                self.assertIn(words, text)
            self.assertEqual((installed, made), ([], []))

    def test_missing_packages_stop_the_run_unless_it_may_install_them(self):
        code, text, installed, made = self.run_tool(["OUT"], ["xvfb", "zenity"])
        self.assertEqual(code, 1)
        self.assertIn("xvfb zenity", text)
        self.assertIn("--install-packages", text)
        self.assertEqual((installed, made), ([], []))
        code, _, installed, _ = self.run_tool(["--install-packages", "OUT", "--only", "nothing"],
                                              ["xvfb"])
        self.assertEqual((code, installed), (2, []), "a bad part is refused before installing")

    def test_unknown_options_are_refused(self):
        code, text, installed, made = self.run_tool(["--instal-packages", "OUT"], [])
        self.assertEqual(code, 2)
        self.assertIn("--instal-packages", text)
        self.assertEqual((installed, made), ([], []))


class CapturedWindows(unittest.TestCase):
    """A captured program is photographed once its screen stands still, however long it takes
    to get there: the looks are counted, never timed (the pause between them is skipped)."""

    class App:
        args = ["prog"]

        def __init__(self, ended=False):
            self.ended = ended

        def poll(self):
            return 0 if self.ended else None

    def looks_until_drawn(self, screens, app):
        capture = __import__("calibration_capture")
        shown = iter(screens)
        taken = []

        def screen(env, dump):
            taken.append(next(shown))
            return taken[-1]

        saved = capture.screen, capture.time.sleep, sys.stderr
        capture.screen, capture.time.sleep, sys.stderr = screen, lambda s: None, io.StringIO()
        try:
            return capture.drawn(app, {}, "dump", b"blank"), len(taken), sys.stderr.getvalue()
        finally:
            capture.screen, capture.time.sleep, sys.stderr = saved

    def test_a_window_is_taken_once_it_stood_still_after_drawing_in_stages(self):
        still = 4 * [b"done"]
        stages = [b"blank"] * 5 + [b"frame", b"frame", b"frame", b"title"] + still + [b"late"]
        self.assertEqual(self.looks_until_drawn(stages, self.App()), (True, 13, ""))

    def test_a_program_that_ends_without_drawing_gives_no_window(self):
        self.assertEqual(self.looks_until_drawn([b"blank"] * 3, self.App(ended=True))[:2],
                         (False, 1))

    def test_an_endless_animation_is_taken_at_the_bound_with_a_note(self):
        capture = __import__("calibration_capture")
        frames = [b"a", b"b"] * capture.BOUND
        drawn, looks, note = self.looks_until_drawn(frames, self.App())
        self.assertEqual((drawn, looks), (True, int(capture.BOUND / capture.LOOK)))
        self.assertIn("never stood still", note)


@unittest.skipUnless(importable("PIL"), "needs python3-pil")
class LetterWords(unittest.TestCase):
    def test_words_come_from_the_modules_prose_only_in_their_order(self):
        kinds = __import__("calibration_page_kinds")
        with tempfile.TemporaryDirectory() as tmp:
            modules = []
            for name, text in (("A.pm", "sub code { alpha() }\n=head1 NAME\n\nFirst words here"
                                        "\n  verbatim code\n=cut\nmore code\n"),
                               ("B.pm", "=pod\n\nSecond part, 2 words\n")):
                modules.append(os.path.join(tmp, name))
                with open(modules[-1], "w") as f:
                    f.write(text)
            saved, kinds.MODULES = kinds.MODULES, modules
            try:
                self.assertEqual(kinds.words(), ["First", "words", "here", "Second", "words"])
            finally:
                kinds.MODULES = saved


class SourcesOfTheSet(unittest.TestCase):
    def test_each_file_names_the_package_program_manual_or_generator_it_comes_from(self):
        tool = load_tool("make-calibration-set")
        self.assertEqual(tool.source_of("win-gnumeric-doc-sheet.png"), "gnumeric-doc")
        self.assertEqual(tool.source_of("win-kstars-data-chart-2.png"), "kstars-data")
        self.assertEqual(tool.source_of("xwin-files-empty-dark.png"), "xwin-files-empty")
        self.assertEqual(tool.source_of("pagephoto-R-intro-p58.jpg"), "manual-R-intro")
        self.assertEqual(tool.source_of("doc-R-intro-p4.png"), "manual-R-intro")
        self.assertEqual(tool.source_of("pageshot-receipt-07.jpg"), "pageshot-receipt")
        self.assertEqual(tool.source_of("photokind-snow-75.jpg"), "photokind-snow")
        self.assertEqual(tool.source_of("photo-cv-baboon.jpg"), "opencv-doc")
        self.assertEqual(tool.source_of("screen-results.png"), "qt-widgets")


@unittest.skipUnless(importable("PIL"), "needs python3-pil")
class RealPhotographs(unittest.TestCase):
    def setUp(self):
        import calibration_real_photos
        self.photos = calibration_real_photos

    def test_qt_resources_unpack_stored_and_compressed_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "pack.rcc")
            with open(path, "wb") as f:
                f.write(qres([("a.webp", b"stored bytes", False), ("b.webp", b"x" * 500, True)]))
            self.photos.rcc_extract(path, tmp)
            with open(os.path.join(tmp, "pack", "d", "a.webp"), "rb") as f:
                self.assertEqual(f.read(), b"stored bytes")
            with open(os.path.join(tmp, "pack", "d", "b.webp"), "rb") as f:
                self.assertEqual(f.read(), b"x" * 500)

    def test_drawings_fail_the_screen_and_photographs_pass_it(self):
        from PIL import Image, ImageDraw
        rng = random.Random(3)
        drawing = Image.new("RGB", (300, 300), "white")
        ImageDraw.Draw(drawing).ellipse((40, 40, 260, 260), fill="red", outline="black")
        self.assertFalse(self.photos.photographic(drawing))
        photo = Image.new("RGB", (300, 300))
        photo.putdata([(min(255, x // 2 + rng.randint(0, 40)), min(255, y // 2 + rng.randint(0, 40)),
                        rng.randint(60, 120)) for y in range(300) for x in range(300)])
        self.assertTrue(self.photos.photographic(photo))
        grey = photo.convert("L").convert("RGB")  # a black-and-white photograph
        self.assertTrue(self.photos.photographic(grey))

    def test_shading_maps_and_drawn_textures_are_no_pictures(self):
        for name in ("wall_n.png", "rock_normal.jpg", "town.mask.png", "flatspot-wall.png"):
            self.assertTrue(self.photos.NOT_PICTURES.search(name), name)
        for name in ("grass.png", "wood_planks.jpg", "snow.png"):
            self.assertFalse(self.photos.NOT_PICTURES.search(name), name)
        # Reviewed drawings are left out by name wherever they lie; photographs beside them stay.
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, "track"))
            for name in ("sign3.png", "grass.png", "wall_n.png", "kilo.png"):
                open(os.path.join(root, "track", name), "wb").close()
            found = self.photos.candidates(root, ["track/*.png"], False)
        self.assertEqual([os.path.basename(f) for f in found], ["grass.png"])

    def test_crops_lie_inside_and_repeat_for_the_same_name(self):
        from PIL import Image
        big = Image.new("RGB", (2400, 1600))
        first = [c.size for c in self.photos.crops(big, "real-x-001")]
        self.assertEqual(first, [c.size for c in self.photos.crops(big, "real-x-001")])
        self.assertEqual(len(first), 4)
        self.assertTrue(all(w <= 2400 * 0.65 and h <= 1600 * 0.65 for w, h in first))
        self.assertEqual(list(self.photos.crops(Image.new("RGB", (500, 300)), "small")), [])


@unittest.skipUnless(importable("PIL"), "needs python3-pil")
class SmallAndOddDocuments(unittest.TestCase):
    def test_hershey_glyphs_read_strokes_across_pen_lifts_and_wrapped_lines(self):
        import calibration_handwriting
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "two.jhf")
            with open(path, "w", encoding="latin-1") as f:
                # A space (bounds only), then "!" of two strokes whose points wrap a line.
                f.write("12345  1JZ\n12346  6MWRFRT R\nRYQZR[SZRY\n")
            glyphs = calibration_handwriting.hershey_glyphs(path)
        self.assertEqual(glyphs[" "], (-8, 8, []))
        self.assertEqual(glyphs["!"], (-5, 5, [[(0, -12), (0, 2)], [(0, 7), (-1, 8)]]))

    def test_terminal_lines_fill_every_printf_hole_and_use_only_catalogs_found(self):
        import calibration_offscreen_windows as windows
        rng = random.Random(1)
        line = windows.filled("要卸载 %lu 个软件包，%s 未被升级 (%d%%)", rng)
        self.assertNotIn("%l", line)
        self.assertNotIn("%s", line)
        self.assertTrue(line.endswith("%)"))
        catalogs = {p: [] for p in windows.PROGRAMS}
        catalogs["apt"] = ["正在读取软件包列表"]
        lines = windows.session(rng, catalogs, 30)
        self.assertEqual(len(lines), 30)
        self.assertTrue(all("正在读取" in l or "$ " in l for l in lines))
        self.assertEqual(windows.session(rng, {p: [] for p in windows.PROGRAMS}, 5), [])

    def test_crops_are_cut_where_the_page_bears_print(self):
        import calibration_page_crops as crops
        from PIL import Image, ImageDraw
        page = Image.new("L", (900, 1200), 255)
        draw = ImageDraw.Draw(page)
        for y in range(600, 1150, 18):  # lines of print on the lower half only
            draw.rectangle((60, y, 840, y + 8), fill=0)
        for seed in range(20):
            box = crops.inked_box(page, random.Random(seed))
            self.assertIsNotNone(box)
            self.assertTrue(0 <= box[0] < box[2] <= 900 and 0 <= box[1] < box[3] <= 1200)
            self.assertGreater(box[3], 600 + 0.3 * (box[3] - box[1]))
        self.assertIsNone(crops.inked_box(Image.new("L", (900, 1200), 255), random.Random(0)))


@unittest.skipUnless(importable("numpy", "sklearn"), "needs python3-numpy and python3-sklearn")
class Trainer(unittest.TestCase):
    def setUp(self):
        self.trainer = load_tool("train-utility-flag")

    def test_ratios_use_the_contrast_floor_and_single_precision(self):
        import numpy as np
        names = ["contrast", "sharpness", "noise", "meanGrey", "colourfulness"]
        x = np.array([[8, 512, 2, 100, 30], [40, 0, 0, 10, 2]], dtype=np.float32)
        named, features = self.trainer.with_ratios(names, x)
        self.assertEqual(named[-2:], ["detailOverContrast", "noiseShare"])
        self.assertEqual(features.dtype, np.float32)
        self.assertEqual(features[0, -2], np.float32(2.0))
        self.assertEqual(features[0, -1], np.float32(20) / np.float32(512))
        self.assertEqual(features[1, -1], 0.0)
        self.assertEqual(list(self.trainer.night_photos(named, features)), [False, True])

    def test_rules_flag_panel_and_blank_frames_and_spare_night_photos_as_the_analyzer_does(self):
        import numpy as np
        names = ["meanGrey", "sharpness", "colourfulness", "exactFlat", "flatBorderSides",
                 "blankFlat", "blankFringe", "markLines", "boxedPanels", "printPatchSpan",
                 "lineRhythm", "printedText", "darkLineRhythm", "pageShape"]
        rows = [[40, 5, 1, 0.95, 4, 0, 0, 0, 0],    # a grey window of flat panels
                [40, 5, 1, np.float32(0.92), 4, 0, 0, 0, 0],  # at the bound
                [40, 5, 12, 0.97, 4, 0, 0, 0, 0],   # a flat drawing in colour
                [40, 5, 1, 0.95, 3, 0, 0, 0, 0],    # open on one side
                [10, 5, 1, 0.95, 4, 0, 0, 0, 0],    # nearly black and soft: a night photo
                [90, 900, 30, 0.1, 0, 0, 0, 0, 0],
                [250, 90, 1, 0, 2, 0.9, 0.03, 0.02, 0],  # an empty white table
                [250, 90, 1, 0, 2, 0.9, 0.12, 0.02, 0],  # a blown sky fading into a scene
                [250, 90, 1, 0, 2, 0.9, 0.03, 0, 0],     # white without a line of marks
                [70, 900, 9, 0.96, 0, 0, 0, 0.01, 0.45],  # a dialog on an empty desktop
                [70, 900, 9, np.float32(0.9), 0, 0, 0, 0.01, np.float32(0.08)],  # bounds
                [70, 900, 9, 0.96, 0, 0, 0, 0.01, 0.07],  # too few panels in its box
                [70, 900, 20, 0.96, 0, 0, 0, 0.01, 0.45],  # too colourful
                [128, 900, 9, 0.5, 0, 0, 0, 0, 0.45]]    # the box a large part of it
        page = [120, 300, 40, 0.05, 0, 0, 0, 0, 0]
        pages = [page + [11, 0.8, 0.04],  # a receipt lying in a scene
                 page + [6, np.float32(0.6), np.float32(0.01)],  # at the bounds
                 page + [5, 0.9, 0.04],    # too little print: ripples
                 page + [16, 0.55, 0.04],  # lines too uneven
                 page + [14, 1.1, 0.002]]  # even rules without letters: blinds
        screen = [20, 2000, 25, 0, 0, 0, 0, 0, 0, 0, 0, 0]
        screens = [screen[:12] + [0.6],  # a dark terminal on a phone
                   [np.float32(63.9), 300] + screen[2:12] + [np.float32(0.5)],  # at the bounds
                   [20, 120] + screen[2:12] + [0.6],  # soft: a dark flower's petals in rows
                   [70] + screen[1:12] + [0.8],       # brighter: an even texture
                   screen[:12] + [0.45]]              # lines too uneven
        sheet = page + [3, 0.1]  # a page lying in a scene, its lines too close or too few
        sheets = [sheet + [0.02, 0, 0.85],
                  sheet + [np.float32(0.01), 0, np.float32(0.7)],  # at the bounds
                  sheet + [0.02, 0, 0.66],   # rounder than a sheet: a pale stone or a face
                  sheet + [0.005, 0, 0.9]]   # a pale tile without letters
        x = np.array([r + [0, 0, 0, 0, 0] for r in rows] + [p + [0, 0] for p in pages]
                     + [s + [0] for s in screens] + sheets, dtype=np.float32)
        margins = np.array([-3, -3, -3, -3, 5, 5] + [-3] * 22)
        self.assertEqual(list(self.trainer.flagged_by_rules(names, x, margins)),
                         [True, True, False, False, False, True, True, False, False,
                          True, True, False, False, False, True, True, False, False, False,
                          True, True, False, False, False, True, True, False, False])
        # The trees read none of the blank, boxed, lined, dark-screen and sheet rules' own
        # measures.
        features, _ = self.trainer.tree_features(names + ["contrast", "noise"],
                                                 np.zeros((1, 16), dtype=np.float32))
        for name in ("blankFlat", "blankFringe", "boxedPanels", "lineRhythm", "darkLineRhythm",
                     "pageShape"):
            self.assertNotIn(name, features)

    def test_random_splits_hold_out_whole_sources_and_repeat_for_a_seed(self):
        import numpy as np
        groups = np.array(["s%d" % (i % 23) for i in range(200)])
        splits = self.trainer.random_splits(groups, 3)
        self.assertEqual(len(splits), self.trainer.FOLDS)
        tested = np.concatenate([test for _, test in splits])
        self.assertEqual(sorted(tested), list(range(200)))  # every file judged exactly once
        for train, test in splits:
            self.assertFalse(set(groups[train]) & set(groups[test]))
        again = self.trainer.random_splits(groups, 3)
        self.assertTrue(all((a[1] == b[1]).all() for a, b in zip(splits, again)))
        other = self.trainer.random_splits(groups, 4)
        self.assertFalse(all(np.array_equal(a[1], b[1]) for a, b in zip(splits, other)))

    def test_seeded_figures_report_mean_and_range_per_category(self):
        import contextlib
        import io
        import numpy as np
        y = np.array([0, 0, 0, 1, 1])
        categories = ["photo-real-scene", "photo-snow", "photo", "page", "page"]
        figures = [self.trainer.split_figures(y, categories, np.array(flags, dtype=bool))
                   for flags in ([1, 0, 0, 1, 1], [0, 0, 0, 1, 0], [1, 1, 0, 1, 1])]
        self.assertEqual(figures[0], ({"photo-real-scene": 0.0, "photo-snow": 1.0, "photo": 1.0,
                                       "page": 1.0}, 1))
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            self.trainer.report_seeds(categories, figures)
        text = out.getvalue()
        self.assertIn("(seeds 0-2)", text)
        self.assertRegex(text, r"page +files +2 +right mean 0.8333 +range 0.5000-1.0000")
        self.assertIn("photographs flagged: mean 1.0 of 3 (1 in 3), range 0-2", text)

    def test_float_literals_read_back_exactly(self):
        import numpy as np
        for value in (0.0, 1.0, 0.1, 3.4e38, 1e-7, 204.09616):
            text = self.trainer.float_literal(np.float32(value))
            self.assertTrue(text.endswith("f") and ("." in text or "e" in text), text)
            self.assertEqual(np.float32(text[:-1]), np.float32(value))

    def test_header_and_checks_hold_the_fitted_trees_the_bounds_and_the_command(self):
        import numpy as np
        rng = np.random.RandomState(1)
        x = rng.rand(200, 3).astype(np.float32)
        y = (x[:, 0] + 0.3 * x[:, 1] > 0.7).astype(int)
        self.trainer.TREES = 5
        model = self.trainer.fitted(x, y)
        margins = model.decision_function(x[:4])
        # The prior plus each tree's leaf gives the model's own margin, as the analyzer adds them.
        summed = np.full(4, self.trainer.prior_margin(model))
        for tree in model.estimators_[:, 0]:
            summed = summed + self.trainer.RATE * tree.predict(x[:4])
        self.assertEqual(list(summed), list(margins))
        with tempfile.TemporaryDirectory() as tmp:
            measures = os.path.join(tmp, "M.tsv")
            with open(measures, "w") as f:
                f.write("file\tlabel\n")
            opening = self.trainer.provenance.header_lines(
                self.trainer.__file__, ["M.tsv", "--header", "H.h"], [measures])
            self.trainer.write_header(os.path.join(tmp, "Model.h"), ["a", "b", "c"], model,
                                      opening)
            self.trainer.write_checks(os.path.join(tmp, "Checks.h"), model, x[:4], opening)
            with open(os.path.join(tmp, "Model.h")) as f:
                header = f.read()
            with open(os.path.join(tmp, "Checks.h")) as f:
                checks = f.read()
        for text in (header, checks):
            self.assertTrue(text.startswith(
                "// generated by tools/calibration/train-utility-flag, do not edit\n"
                "// clang-format off\n"
                "// command: tools/calibration/train-utility-flag M.tsv --header H.h\n"
                "// input %s: sha256 " % measures))
            self.assertRegex(text, r"\n// made with Python [0-9.]+, numpy [0-9.]+, "
                                   r"scikit-learn [0-9.]+\n#pragma once\n")
        self.assertIn("std::array<int, 5> kRoots", header)
        self.assertIn("inline constexpr float kPanelsExactFlat = 0.920000017f;", header)
        self.assertIn("inline constexpr float kNoiseVariancePerSigma2 = 5.0f;", header)
        self.assertNotIn("kChecks", header)
        self.assertIn("std::array<Check, 4> kChecks", checks)
        for margin in margins:
            self.assertIn(repr(float(margin)), checks)

    def test_the_opening_names_what_made_the_inputs_between_the_command_and_their_digests(self):
        with tempfile.TemporaryDirectory() as tmp:
            measures = os.path.join(tmp, "M.tsv")
            with open(measures, "w") as f:
                f.write("file\tlabel\na.png\t1\n")
            opening = self.trainer.provenance.header_lines(
                self.trainer.__file__, ["M.tsv", "U.tsv"], [measures],
                made_by=["make-calibration-set cal --only utility", "the day's date"])
        self.assertEqual(opening[2:5], [
            "// command: tools/calibration/train-utility-flag M.tsv U.tsv",
            "// inputs made by: make-calibration-set cal --only utility",
            "// inputs made by: the day's date"])
        self.assertTrue(opening[5].startswith("// input %s: sha256 " % measures))
        self.assertTrue(opening[5].endswith(", 2 lines"))


if __name__ == "__main__":
    sys.exit(main())
