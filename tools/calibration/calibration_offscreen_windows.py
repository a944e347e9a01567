"""Screens of programs drawn on a virtual X server, of kinds the manuals' figures and the GTK
windows of make-calibration-set lack, for the utility calibration set:

  "screenshot-phone"  a phone's screen (828 x 1792 and other phone sizes): a terminal, dark
                      mostly, showing a shell session whose messages are the Chinese
                      translations that Debian's command-line programs ship (coreutils, apt,
                      git, dpkg, ...), in xterm with a CJK font, under a phone's status bar and
                      some over a row of extra keys;
  "screenshot-large"  a large screen (2560 x 1600 and other large sizes), mostly white: a Tk
                      window filling it with a table, a list or a short text in one of Tk's
                      themes, or a light terminal with a few lines.

The source of each file is the program and its kind ("xterm-<font>", "tk-<widget>"), so the
flag's trainer leaves each out whole. Needs Xvfb, xwd, xterm, python3-tk, the CJK fonts and
ImageMagick; skipped (with a note) when one is missing. Deterministic but for the clock a
terminal prompt does not show.
"""

import gettext
import os
import random
import shutil
import sys

from PIL import Image, ImageColor, ImageDraw, ImageFont

import calibration_capture

PHONE_SIZES = [(828, 1792), (750, 1334), (1080, 2340), (1170, 2532), (720, 1600), (1242, 2688)]
LARGE_SIZES = [(2560, 1600), (2560, 1440), (2880, 1800), (3840, 2160)]
# (source, xterm font): monospaced faces whose CJK glyphs xterm draws double width.
TERMINAL_FONTS = [
    ("xterm-wqy-microhei", "WenQuanYi Micro Hei Mono"),
    ("xterm-wqy-zenhei", "WenQuanYi Zen Hei Mono"),
    ("xterm-noto-cjk", "Noto Sans Mono CJK SC"),
    ("xterm-jetbrains", "JetBrains Mono"),
    ("xterm-dejavu", "DejaVu Sans Mono"),
]
PER_FONT = 14
# Dark grounds of terminal themes, then a few light ones.
DARK = [("#000000", "#d0d0d0"), ("#1e1e1e", "#cccccc"), ("#282a36", "#f8f8f2"),
        ("#002b36", "#93a1a1"), ("#300a24", "#ffffff"), ("#0c0c0c", "#00ff66")]
LIGHT = [("#ffffff", "#202020"), ("#fdf6e3", "#586e75")]
# Programs whose Chinese messages a session shows, with a command line of each.
PROGRAMS = {
    "coreutils": ["ls -la", "cp -r 照片 备份/", "rm 旧文件.txt", "mv a.txt b/", "du -sh *"],
    "apt": ["sudo apt update", "apt install vim", "apt list --upgradable"],
    "git": ["git status", "git pull", "git commit -m '修复'", "git log --oneline"],
    "dpkg": ["dpkg -l | head", "sudo dpkg -i pkg.deb"],
    "findutils": ["find . -name '*.jpg'"],
    "bash": ["cd 文档", "export LANG=zh_CN.UTF-8"],
}
LARGE_KINDS = ["tk-table", "tk-list", "tk-text", "xterm-light-large"]
PER_LARGE_KIND = 16
TK_THEMES = ["default", "clam", "alt", "classic"]


def messages(program):
    """The Chinese translations of `program`'s messages, one line each."""
    path = "/usr/share/locale/zh_CN/LC_MESSAGES/%s.mo" % program
    if not os.path.exists(path):  # a system installed without translations
        return []
    with open(path, "rb") as f:
        catalog = gettext.GNUTranslations(f)._catalog
    lines = []
    for key in sorted(k for k in catalog if isinstance(k, str) and k):
        text = catalog[key]
        if isinstance(text, str):
            lines += [line for line in text.split("\n") if line.strip()]
    return lines


def filled(line, rng):
    """A message with its printf holes filled with numbers and names."""
    for hole in ("%lu", "%ld", "%d", "%u", "%zu", "%i"):
        while hole in line:
            line = line.replace(hole, str(rng.randint(0, 4000)), 1)
    for hole in ("%s", "%1$s", "%2$s", "%3$s", "%c"):
        while hole in line:
            line = line.replace(hole, rng.choice(["main", "photo.jpg", "libvips42", "/home/u"]), 1)
    return line.replace("%%", "%")


def session(rng, catalogs, rows):
    """A shell session of about `rows` lines: prompts in colour, commands and their Chinese
    messages (ANSI colours as a shell prints them)."""
    lines = []
    programs = sorted(p for p in PROGRAMS if catalogs[p])
    while programs and len(lines) < rows:
        program = rng.choice(programs)
        lines.append("\033[1;32mu0_a%d@localhost\033[0m:\033[1;34m~/%s\033[0m$ %s" % (
            rng.randint(100, 400), rng.choice(["", "文档", "src", "照片"]),
            rng.choice(PROGRAMS[program])))
        for _ in range(rng.randint(1, 9)):
            lines.append(filled(rng.choice(catalogs[program]), rng)[:160])
    return lines[:rows]


def capture(display, command, out, env):
    """Runs `command` on `display` and saves the whole screen to `out` (PNG) once it has
    drawn (see calibration_capture)."""
    env = dict(env, DISPLAY=display, NO_AT_BRIDGE="1")
    if not calibration_capture.photograph(command, env, out, out + ".xwd"):
        raise RuntimeError("nothing drawn by " + " ".join(command))
    os.remove(out + ".xwd")


def status_bar(path, rng, ground):
    """Draws a phone's status bar (clock, signal, battery) over the top of the screen, and on
    some a row of a terminal app's extra keys along the bottom."""
    image = Image.open(path).convert("RGB")
    w, h = image.size
    draw = ImageDraw.Draw(image)
    bar = int(h * rng.uniform(0.025, 0.045))
    draw.rectangle((0, 0, w, bar), fill=ground)
    ink = "#ffffff" if sum(ImageColor.getrgb(ground)) < 384 else "#000000"
    face = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                              int(bar * 0.55))
    draw.text((int(w * 0.06), bar // 2), "%d:%02d" % (rng.randint(7, 23), rng.randint(0, 59)),
              font=face, fill=ink, anchor="lm")
    x = w - int(w * 0.06)
    draw.rectangle((x - bar, bar * 0.3, x, bar * 0.7), outline=ink, width=2)
    draw.rectangle((x - bar + 3, bar * 0.3 + 3, x - bar + 3 + rng.randint(4, bar - 6),
                    bar * 0.7 - 3), fill=ink)
    for i in range(4):
        left = x - 2 * bar - i * bar * 0.25
        draw.rectangle((left, bar * (0.7 - 0.1 * (4 - i)), left + bar * 0.15, bar * 0.7),
                       fill=ink)
    if rng.random() < 0.5:
        keys = ["ESC", "/", "-", "HOME", "↑", "END", "PGUP", "TAB", "CTRL", "ALT", "←", "↓", "→"]
        row = int(h * 0.035)
        top = h - 2 * row
        draw.rectangle((0, top, w, h), fill=ground)
        small = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                   int(row * 0.45))
        for i, key in enumerate(keys):
            draw.text(((i % 7 + 0.5) * w / 7, top + (i // 7 + 0.5) * row), key, font=small,
                      fill=ink, anchor="mm")
    image.save(path)


def phone_screen(job, out, tmp, catalogs):
    """One terminal on a phone's screen; returns its label."""
    source, face, i = job
    rng = random.Random("phone-%s-%d" % (source, i))
    size = PHONE_SIZES[0] if i % 3 == 0 else rng.choice(PHONE_SIZES)
    ground, ink = rng.choice(DARK) if i % 5 else rng.choice(LIGHT)
    points = rng.randint(int(size[0] / 70), int(size[0] / 40))
    text = os.path.join(tmp, "session-%s-%d.txt" % (source, i))
    with open(text, "w") as t:
        t.write("\n".join(session(rng, catalogs, rng.randint(12, 90))))
    name = "phone-%s-%02d.png" % (source, i)
    with calibration_capture.x_server(size) as display:
        capture(display, ["xterm", "-fa", face, "-fs", str(points), "-bg", ground, "-fg", ink,
                          "-geometry", "300x200+0+0", "-b", "0", "-bw", "0", "+sb", "-u8", "-e",
                          "sh", "-c", "cat '%s'; sleep 60" % text],
                os.path.join(out, name), dict(os.environ, LANG="C.UTF-8"))
    status_bar(os.path.join(out, name), rng, ground)
    return name, 1, "screenshot-phone", source


TK_SCRIPT = r"""
import os, random, sys, tkinter as tk
from tkinter import ttk
kind, theme, seed, width, height, scaling = sys.argv[1:7]
rng = random.Random(seed)
root = tk.Tk()
root.tk.call("tk", "scaling", float(scaling))
root.geometry("%sx%s+0+0" % (width, height))
style = ttk.Style(); style.theme_use(theme)
style.configure("Treeview", rowheight=int(15 * float(scaling)))
names = sorted(os.listdir("/usr/share/doc"))
start = rng.randrange(len(names))
rows = names[start:start + rng.randint(3, 45)]
bar = ttk.Frame(root); bar.pack(fill="x")
for label in ("Open", "Save", "Delete", "Refresh")[:rng.randint(1, 4)]:
    ttk.Button(bar, text=label).pack(side="left", padx=2, pady=2)
ttk.Entry(bar, width=40).pack(side="right", padx=4)
if kind == "tk-table":
    tree = ttk.Treeview(root, columns=("size", "modified", "type"))
    for c, t in (("#0", "Name"), ("size", "Size"), ("modified", "Modified"), ("type", "Type")):
        tree.heading(c, text=t)
    for n in rows:
        tree.insert("", "end", text=n, values=("%d kB" % rng.randint(1, 9000),
                    "2024-%02d-%02d" % (rng.randint(1, 12), rng.randint(1, 28)), "Folder"))
    tree.pack(fill="both", expand=True)
elif kind == "tk-list":
    box = tk.Listbox(root, bg="white", selectmode="extended")
    for n in rows:
        box.insert("end", n)
    box.selection_set(rng.randrange(len(rows)))
    box.pack(fill="both", expand=True, side="left")
    ttk.Scrollbar(root).pack(fill="y", side="right")
else:
    text = tk.Text(root, bg="white", wrap="word")
    with open("/usr/share/common-licenses/GPL-3") as f:
        lines = f.read().split("\n")
    text.insert("1.0", "\n".join(lines[start % 600:start % 600 + rng.randint(2, 25)]))
    text.pack(fill="both", expand=True)
ttk.Label(root, text="%d items" % len(rows), anchor="w").pack(fill="x")
root.mainloop()
"""


def large_screen(job, out, tmp, script, catalogs):
    """One mostly white window filling a large screen; returns its label."""
    kind, i = job
    rng = random.Random("large-%s-%d" % (kind, i))
    size = LARGE_SIZES[0] if i % 2 == 0 else rng.choice(LARGE_SIZES)
    name = "large-%s-%02d.png" % (kind, i)
    if kind.startswith("tk-"):
        command = [sys.executable, script, kind, TK_THEMES[i % len(TK_THEMES)], name,
                   str(size[0]), str(size[1]), rng.choice(["1.33", "2.0", "2.7"])]
    else:
        text = os.path.join(tmp, "large-%d.txt" % i)
        with open(text, "w") as t:
            t.write("\n".join(session(rng, catalogs, rng.randint(3, 20))))
        command = ["xterm", "-fa", "DejaVu Sans Mono", "-fs", str(rng.randint(9, 16)), "-bg",
                   "white", "-fg", "black", "-geometry", "400x200+0+0", "+sb", "-u8", "-e", "sh",
                   "-c", "cat '%s'; sleep 60" % text]
    with calibration_capture.x_server(size) as display:
        capture(display, command, os.path.join(out, name), dict(os.environ, LANG="C.UTF-8"))
    return name, 1, "screenshot-large", kind


def build(out, tmp, pool):
    """Every phone and large screen, each on its own virtual X server; returns their labels
    (file, 1, category, source)."""
    missing = [p for p in ("Xvfb", "xwd", "xterm") if not shutil.which(p)]
    if missing:
        print("calibration: no %s, no phone or large screens" % ", ".join(missing),
              file=sys.stderr)
        return []
    catalogs = {p: messages(p) for p in PROGRAMS}
    if not any(catalogs.values()):
        print("calibration: no Chinese message catalogs, no phone or large screens",
              file=sys.stderr)
        return []
    script = os.path.join(tmp, "tk-window.py")
    with open(script, "w") as f:
        f.write(TK_SCRIPT)
    phones = [(source, face, i) for source, face in TERMINAL_FONTS for i in range(PER_FONT)]
    larges = [(kind, i) for kind in LARGE_KINDS for i in range(PER_LARGE_KIND)]
    return list(pool.map(lambda job: phone_screen(job, out, tmp, catalogs), phones)) + \
        list(pool.map(lambda job: large_screen(job, out, tmp, script, catalogs), larges))
