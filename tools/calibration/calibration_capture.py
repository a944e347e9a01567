"""Photographing a program's window on a virtual X server once it has drawn, for the utility
calibration set (make-calibration-set's captured windows, calibration_offscreen_windows.py's
terminals and large windows).

A window is photographed once the screen has stood still for STILL looks in a row, LOOK
seconds apart, after it first changed: how fast the machine is moves the moment, not the
picture. BOUND seconds bound a stuck program or an endless animation; such a window is taken
as it stands, with a note. The PNG files written carry no date.
"""

import contextlib
import os
import select
import signal
import subprocess
import sys
import time

LOOK = 1.0
STILL = 4
BOUND = 120
IMAGEMAGICK = "/usr/bin/convert-im6.q16"
# ImageMagick otherwise writes the time of writing into every PNG.
PNG_WITHOUT_DATES = ["-define", "png:exclude-chunks=date,time"]


@contextlib.contextmanager
def x_server(size, options=()):
    """A virtual X server of one screen of `size`, with Xvfb's further `options`, on a display
    it picks itself; yields the display's name once the server accepts clients (it writes
    the display's number when it does), or None when it does not start."""
    ready, told = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-screen", "0",
                               "%dx%dx24" % size, "-nolisten", "tcp"] + list(options),
                              pass_fds=(told,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(told)
    with os.fdopen(ready) as f:
        number = f.readline().strip() if select.select([f], [], [], BOUND)[0] else ""
    try:
        yield ":" + number if number.isdigit() else None
    finally:
        server.terminate()
        server.wait()


def screen(env, dump):
    """The whole screen of env's DISPLAY, as the bytes of an xwd dump (also left in `dump`).
    xwd also reads the windows on the screen and fails when one goes while it does: it looks
    again."""
    for _ in range(10):
        with open(dump, "wb") as f:
            done = subprocess.run(["xwd", "-root", "-silent"], env=env, stdout=f,
                                  stderr=subprocess.DEVNULL)
        if done.returncode == 0:
            with open(dump, "rb") as f:
                return f.read()
        time.sleep(LOOK)
    raise subprocess.CalledProcessError(done.returncode, done.args)


def drawn(app, env, dump, blank):
    """Waits until the program `app` has drawn: the screen is no longer `blank` and stays the
    same for STILL looks in a row. False when the program ended without drawing."""
    looks, still, last = 0, 0, None
    while True:
        time.sleep(LOOK)
        looks += 1
        now = screen(env, dump)
        if now == blank:
            if app.poll() is not None:
                return False
            still, last = 0, None
            continue
        still = still + 1 if now == last else 1
        last = now
        if still >= STILL:
            return True
        if looks * LOOK >= BOUND:
            print("calibration: %s never stood still; taken as it stands" % " ".join(app.args),
                  file=sys.stderr)
            return True


def photograph(command, env, out, dump, convert=()):
    """Runs `command` (on env's DISPLAY, in env's HOME, in a process group of its own so that
    every process it starts goes with it), writes the screen to `out` through ImageMagick with `convert`'s
    options once the program has drawn, and ends the program, waiting until its windows are
    gone. False when nothing was drawn or the screen could not be read."""
    try:
        blank = screen(env, dump)
    except subprocess.CalledProcessError:
        return False
    app = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, start_new_session=True,
                           cwd=env.get("HOME"))
    try:
        if not drawn(app, env, dump, blank):
            return False
        subprocess.run([IMAGEMAGICK, dump] + list(convert) + PNG_WITHOUT_DATES + [out],
                       check=True)
        return True
    except subprocess.CalledProcessError:
        return False
    finally:
        os.killpg(app.pid, signal.SIGKILL)
        app.wait()
        for _ in range(int(BOUND / LOOK)):
            if screen(env, dump) == blank:
                break
            time.sleep(LOOK)
